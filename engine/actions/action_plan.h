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
    kFolderStays,    // it lies in a folder chosen whole that stays whole: another of its files
                     // cannot go (the folder is named, not each of its files)
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
    // The folder chosen whole that it lies in (its place in ActionPlan::Folders()), or kNoFolder.
    std::size_t folder = kNoFolder;
    static constexpr std::size_t kNoFolder = static_cast<std::size_t>(-1);
};

// A folder chosen whole: it goes with every file of it, or stays with every file of it.
struct PlannedFolder {
    std::string path;
    bool goes = false;
    // When it stays: the file that keeps it there and why (no file when it holds no listed row).
    std::string file, why;
    std::vector<std::size_t> rows;  // its listed rows, ascending
    std::int64_t bytes = 0;
};

struct PlanSettings {
    DuplicateActionKind kind = DuplicateActionKind::kTrash;
    // Files under these folders are never acted on, even when chosen by hand (neither is a
    // row the search marked as protected); they may still vouch for their copies.
    std::vector<std::string> protectedFolders;
    // A move: the folder, and the search's start paths (see MoveTarget).
    std::string moveFolder;
    // The search's start paths: a move keeps a file's place below them (see MoveTarget), and
    // no folder is removed unless it lies below one.
    std::vector<std::string> startPaths;
    // Once the action is over, the folders it left empty are removed (see RemoveEmptiedFolders).
    // Only an action that takes names away (trash, delete, move) leaves folders empty.
    bool removeEmptiedFolders = false;
};

class ActionPlan {
public:
    ActionPlan() = default;
    // The plan for the chosen `rows` of `model` (any order; repeats and rows out of range
    // ignored). One pass over the groups; `model` must not change while the plan is used.
    ActionPlan(const ResultsModel& model, const std::vector<std::size_t>& rows,
               const PlanSettings& settings);
    // The plan that takes `folders` whole (trash, delete or move): every listed row below a
    // folder goes, compared only with copies outside every folder that goes. The folders are
    // taken in the order given; one inside another given is part of it. A folder stays whole,
    // named with the file that keeps it, when any file of it could not go: protected, not here
    // as listed, no place for a move, or no copy left outside the folders that go (so of
    // folders that are copies of each other, the last given stays).
    ActionPlan(const ResultsModel& model, const std::vector<std::string>& folders,
               const PlanSettings& settings);

    const PlanSettings& Settings() const { return m_settings; }
    DuplicateActionKind Kind() const { return m_settings.kind; }
    // Every chosen row, once each, in row order.
    const std::vector<PlannedFile>& Files() const { return m_files; }
    // The planned row `row`, or null when it was not chosen.
    const PlannedFile* Find(std::size_t row) const;
    // The folders chosen whole, in the order given (none for a plan of rows).
    const std::vector<PlannedFolder>& Folders() const { return m_folders; }
    int FoldersGoing() const;
    int Chosen() const { return static_cast<int>(m_files.size()); }
    int Goes() const { return m_goes; }
    std::int64_t Bytes() const { return m_bytes; }

    // The files that stay before anything is tried, with why, in the order a report names
    // them: the protected files, then the last copies of groups chosen whole, each in row
    // order; a folder chosen whole that stays comes first, named once with its reason. (A replaced row chosen for a removal says it was replaced; rows that the action
    // keeps as its copies and rows already done by a replacement are passed over in silence.)
    std::vector<std::pair<std::string, std::string>> StaysBeforehand(const ResultsModel& model) const;

private:
    PlanSettings m_settings;
    std::vector<PlannedFile> m_files;
    std::vector<PlannedFolder> m_folders;
    int m_goes = 0;
    std::int64_t m_bytes = 0;
};

// Where a move puts `path`: `folder`, the last name of the start path that holds it (the longest
// of them when several do; "root" for a root), then the path below that start path. "" when no
// start path holds it.
std::string MoveTarget(const std::string& folder, const std::vector<std::string>& startPaths,
                       const std::string& path);
