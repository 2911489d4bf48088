// Who goes and who stays, decided once before an action: for every chosen row, whether it is
// acted on or why not, which copies of its group it may be compared with, and what it frees.
// The window's "可释放" total, the command line's dry run and every question before an action
// read the plan; the apply loop does what it says and nothing else, so what is shown and what
// is done cannot drift apart.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/actions/action_kinds.h"
#include "engine/results/results_model.h"

enum class PlanVerdict : unsigned char {
    kGoes,       // acted on, once it passes its checks
    kProtected,  // in a protected folder, or marked protected by the search
    kLastCopy,   // every copy of its group was chosen: this one stays as the last
    kKeptCopy,   // its group's first row, which this action makes the others into
    kReplaced,   // already a second name of its group's kept copy (or, for a replacement,
                 // already sharing its data): nothing is left to do
    kNoTarget,   // a move, but no start path holds it: there is no place below the folder
    kNotHere,    // its file is not here as listed (changed or gone since it was saved, or an
                 // entry of a catalog)
    kOnlyInCatalog,  // its only copies are a catalog's entries, whose bytes cannot be compared
                     // here: it may be moved, nothing else
};

struct PlannedFile {
    std::size_t row = 0;
    PlanVerdict verdict = PlanVerdict::kGoes;
    // kGoes: the rows of its group that stay, in row order: the copies it may be compared
    // with, the first that passes being the one it is made into.
    std::vector<std::size_t> copies;
    std::int64_t bytes = 0;  // kGoes: what it frees when done
    std::string target;      // kGoes of a move: where it goes
    // kGoes of a move whose copies are a catalog's entries only: `copies` is empty and the
    // file is moved with no copy held (a move takes nothing away).
    bool copiesAbsent = false;
};

struct PlanSettings {
    DuplicateActionKind kind = DuplicateActionKind::kTrash;
    // Files under these folders are never acted on, even when chosen by hand (neither is a
    // row the search marked as protected); they may still vouch for their copies.
    std::vector<std::string> protectedFolders;
    // A move: the folder, and the search's start paths (see MoveTarget).
    std::string moveFolder;
    std::vector<std::string> startPaths;
};

class ActionPlan {
public:
    ActionPlan() = default;
    // The plan for the chosen `rows` of `model` (any order; repeats and rows out of range
    // ignored). One pass over the groups; `model` must not change while the plan is used.
    ActionPlan(const ResultsModel& model, const std::vector<std::size_t>& rows,
               const PlanSettings& settings);

    const PlanSettings& Settings() const { return m_settings; }
    DuplicateActionKind Kind() const { return m_settings.kind; }
    // Every chosen row, once each, in row order.
    const std::vector<PlannedFile>& Files() const { return m_files; }
    // The planned row `row`, or null when it was not chosen.
    const PlannedFile* Find(std::size_t row) const;
    int Chosen() const { return static_cast<int>(m_files.size()); }
    int Goes() const { return m_goes; }
    std::int64_t Bytes() const { return m_bytes; }

    // The files that stay before anything is tried, with why, in the order a report names
    // them: the protected files, then the last copies of groups chosen whole, each in row
    // order. (A replaced row chosen for a removal says it was replaced; rows that the action
    // keeps as its copies and rows already done by a replacement are passed over in silence.)
    std::vector<std::pair<std::string, std::string>> StaysBeforehand(const ResultsModel& model) const;

private:
    PlanSettings m_settings;
    std::vector<PlannedFile> m_files;
    int m_goes = 0;
    std::int64_t m_bytes = 0;
};

// Where a move puts `path`: `folder`, the last name of the start path that holds it (the longest
// of them when several do; "root" for a root), then the path below that start path. "" when no
// start path holds it.
std::string MoveTarget(const std::string& folder, const std::vector<std::string>& startPaths,
                       const std::string& path);
