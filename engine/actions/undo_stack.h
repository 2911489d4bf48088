// The window's undo: a stack of the actions that can be taken back (moves to the trash,
// replacements, moves into a folder), newest on top, each taken back on its own and in turn.
// An action that did nothing adds nothing, so a refused delete never hides the one before.
//
// The stack is kept in the action journal as lines, so that it outlives the program; the
// journal holds the newest steps that fit in its share, the rest stays in memory only.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "engine/actions/action_undo.h"
#include "engine/actions/trash_undo.h"

// One action to take back: a move to the trash (`trash`) or a replacement or move (`action`),
// never both.
struct UndoStep {
    TrashUndo trash;
    ActionUndo action;
    unsigned results = 0;  // the listed results it was made from (ListedResults::number)

    bool IsTrash() const { return !trash.Empty(); }
    bool Empty() const { return trash.Empty() && action.Empty(); }
    std::size_t Count() const { return IsTrash() ? trash.Count() : action.Count(); }
    DuplicateActionKind Kind() const { return IsTrash() ? DuplicateActionKind::kTrash : action.Kind(); }
};

class UndoStack {
public:
    // The most steps kept: the oldest goes when one more comes.
    static constexpr std::size_t kMostSteps = 32;

    // Adds `step` on top; an empty step adds nothing (returns false).
    bool Push(std::unique_ptr<UndoStep> step);
    bool Empty() const { return m_steps.empty(); }
    std::size_t Size() const { return m_steps.size(); }
    // The newest step (null: none).
    const UndoStep* Top() const { return m_steps.empty() ? nullptr : m_steps.back().get(); }
    UndoStep* Top() { return m_steps.empty() ? nullptr : m_steps.back().get(); }
    // Removes the newest step.
    void Pop();
    void Clear() { m_steps.clear(); }

    // The steps as journal lines, oldest first: each a header line {"step", "trash"|"action"}
    // and then its own lines, one field each. Only the newest steps whose lines together take
    // at most `maxBytes` are written (none, when the newest alone is larger).
    std::vector<std::vector<std::string>> Save(std::size_t maxBytes) const;
    // Takes the steps back from `lines` (what Save wrote, or a single step kept before there
    // was a stack: {"trash"|"action"} and its lines), each made from results `results`.
    // Damaged steps are passed over; returns how many were taken. `restorer` (may be empty)
    // is how the trash steps take their files out of the trash.
    std::size_t Load(const std::vector<std::vector<std::string>>& lines, unsigned results,
                     const TrashUndo::Restorer& restorer);

private:
    std::vector<std::unique_ptr<UndoStep>> m_steps;  // oldest first
};
