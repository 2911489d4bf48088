// Moving duplicates to the trash or deleting them for good: the plan of a removal (a protected
// file stays; when every file of a group is chosen, its first chosen file stays as the last
// copy) applied by the one checked loop (engine/actions/apply_plan.h), with the outcome in the
// rows' terms that the window mends its list and its undo by.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "engine/actions/apply_plan.h"
#include "engine/actions/leftovers.h"
#include "engine/search/progress_sink.h"
#include "engine/results/results_model.h"
#include "platform/file_delete.h"

struct DeleteOutcome {
    // Rows whose files are gone, ascending.
    std::vector<std::size_t> goneRows;
    // Files that were to go and stayed: path and why (the protected files first, then the last
    // copies of wholly chosen groups, then the others, each in row order). A file removed for
    // good whose copy changed before the removal was over is named here too, with its copy (its
    // row is gone).
    std::vector<std::pair<std::string, std::string>> kept;
    bool stopped = false;  // the user stopped it; the files not reached yet were left alone
    // The files of goneRows that went to the trash, with where they went (for undo).
    std::vector<std::pair<std::size_t, platform::TrashedFile>> trashed;
    // The folders it left empty and removed, deepest first.
    std::vector<platform::RemovedFolder> removedFolders;
};

class SafeDelete {
public:
    // Removes the files of `paths`; returns those still there afterwards. Handed one checked
    // file at a time, while the check's handles are held (a replacement of the file system).
    using Deleter = std::function<std::vector<std::string>(const std::vector<std::string>&)>;
    using Remover = ApplyParts::Remover;
    using Compare = ApplyParts::Compare;

    // `progress` (may be null, not owned) shows the work and can stop it. Files go through
    // `deleter` by path.
    SafeDelete(ProgressSink* progress, Deleter deleter);
    // Files go to the trash, or for good, through the handles that were checked.
    SafeDelete(ProgressSink* progress, bool toTrash);

    // Replaceable parts, for tests: how a checked file is removed, how two are compared.
    void SetRemover(Remover remover) { m_parts.remover = std::move(remover); }
    void SetCompare(Compare compare) { m_parts.compare = std::move(compare); }
    void SetProtectedFolders(const std::vector<std::string>& folders) { m_protected = folders; }
    // The folders it leaves empty are removed, up to below the start path that holds them.
    void SetRemoveEmptiedFolders(const std::vector<std::string>& startPaths) {
        m_startPaths = startPaths;
        m_removeEmptied = true;
    }
    // The removal the constructor chose (a replacement may call it after doing its part).
    const Remover& DefaultRemover() const { return m_default; }

    // Checks and removes the files of `rows` (any order; repeats and rows out of range ignored)
    // of `model`, which is not changed: the caller removes the rows of DeleteOutcome::goneRows.
    // What an interrupted run left is settled first (Leftovers() tells what).
    DeleteOutcome Run(const ResultsModel& model, const std::vector<std::size_t>& rows);
    // The same for folders taken whole (see ActionPlan).
    DeleteOutcome RunFolders(const ResultsModel& model, const std::vector<std::string>& folders);
    const LeftoverReport& Leftovers() const { return m_leftovers; }

private:
    ProgressSink* m_pProgress;
    bool m_toTrash = true;
    Remover m_default;
    ApplyParts m_parts;
    std::vector<std::string> m_protected;
    std::vector<std::string> m_startPaths;
    bool m_removeEmptied = false;
    LeftoverReport m_leftovers;

    PlanSettings Settings() const;
    DeleteOutcome Apply(const ResultsModel& model, const ActionPlan& plan);
};

// A removal's outcome in the rows' terms.
DeleteOutcome DeleteOutcomeOf(const ActionOutcome& outcome);

// The files an action left and why, for a message: grouped by reason, the reasons the plan
// gave beforehand (protected, the last copy, replaced already, only in a catalog) after the
// others, so that a real failure is never buried under the expected ones. A reason of one
// file is "path: reason"; one of more is "reason (N 个):" over its paths, indented. At most
// `maxLines` paths; `more` names how many were left out.
std::string FilesLeftText(const std::vector<std::pair<std::string, std::string>>& left,
                          std::size_t maxLines, const std::function<std::string(int)>& more);

// The message after a delete that left files behind: string 2251, then the files as
// FilesLeftText gives them, then how many more (2255). "" when nothing was kept.
std::string KeptFilesMessage(const std::vector<std::pair<std::string, std::string>>& kept,
                             std::size_t maxLines = 20);
