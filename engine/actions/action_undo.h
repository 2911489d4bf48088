// The last replacement of duplicates (by hard links or shared data) or their move into a folder,
// kept so that the user can take it back:
// - a hard link gets a file of its own again: only while its name still holds the kept copy's
//   file as it stood right after the link (so the kept copy has not changed since), through a
//   copy in its folder that is read back and compared, then renamed over the name in one step;
// - shared data blocks stay shared (the data is the same either way): only the row goes back
//   to a plain duplicate;
// - a moved file goes back where it was, only while the place it went to holds it as it went
//   in, and never over a file that has taken its old name meanwhile; its row goes back into
//   its group as after an undone move to the trash.
// Taking back touches the disk and runs on a worker; the rows are mended where they live.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "engine/actions/duplicate_action.h"
#include "engine/results/found_order.h"
#include "engine/search/progress_sink.h"
#include "engine/results/results_model.h"
#include "engine/actions/trash_undo.h"

class ActionUndo {
public:
    ActionUndo();

    // Takes over what `outcome` (a run of `kind`) did to the rows of `model`, before the rows
    // of moved files are removed from it. `found` (may be null) gives each file its place in
    // the search's order. Forgets the action before. A removal (trash, for good) is none of
    // this class's: it leaves it empty.
    void Remember(DuplicateActionKind kind, const ResultsModel& model,
                  const ActionOutcome& outcome, const FoundOrder* found);
    bool Empty() const { return m_steps.empty() && m_moved.Empty(); }
    std::size_t Count() const { return m_steps.size() + m_moved.Count(); }
    DuplicateActionKind Kind() const { return m_kind; }
    void Clear();

    // Takes the files back (no rows are touched). `progress` may be null. The indices in
    // UndoOutcome::restored are the steps taken back.
    UndoOutcome Restore(ProgressSink* progress) const;
    // The rows of the files taken back: a replaced row becomes a plain duplicate again, a
    // moved file's row goes back into its group (see TrashUndo::PutBackRows for `sameResults`
    // and `found`). Then forgets the action.
    void PutBackRows(const UndoOutcome& outcome, ResultsModel& model, bool sameResults,
                     FoundOrder* found);

    // The action as lines (see TrashUndo::Save), and back: Load refuses (false, and holds
    // nothing) damaged or cut lines and an action with nothing to take back.
    std::vector<std::string> Save() const;
    bool Load(const std::vector<std::string>& lines);

private:
    // Moves: each moved file is taken back only while it is the file that went (by where it
    // went).
    void SetMoveRestorer();

    DuplicateActionKind m_kind = DuplicateActionKind::kHardLink;
    std::vector<ActionStep> m_steps;  // hard links and shared data, as done
    TrashUndo m_moved;                // moves: their files and rows, as for the trash
    std::map<std::string, platform::FileIdentity> m_movedAs;  // where each went -> as it went
    // The folders the move made, deepest first: taken away again once the files are back,
    // each only while it is empty.
    std::vector<std::string> m_madeFolders;
};

// Takes one hard link back: "" when its name has a file of its own again, else why not.
std::string UndoHardLink(const ActionStep& step);

// Moves a file back from where a move put it (`moved.trashFile`) to where it was
// (`moved.original`), if it is still the file of `expected` (device, inode, size and last-write
// time as it went in) and nothing has taken the old name. `error` (may be null) gets the
// system's code on kFailed.
platform::RestoreResult MoveBack(const platform::TrashedFile& moved,
                                 const platform::FileIdentity& expected, int* error);

// The message after an action that left files as they were: string IDS_CLI_ACTION_REFUSED, then
// "path: reason" per file, at most `maxLines`, then how many more. "" when none was left.
std::string ActionLeftMessage(const std::vector<std::pair<std::string, std::string>>& left,
                              std::size_t maxLines = 20);
