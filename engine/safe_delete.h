// The delete command's safety: a listed file is removed only while a copy of it stays. Before a
// file goes it must still be the file that was scanned, and its contents must equal, byte for
// byte, those of a file of its group that is not being removed (which is checked the same way).
// When every file of a group is chosen, the group's first chosen file stays as the last copy.
// Each file is removed right after its own check, through the handles the check used: the file
// held open with an exclusive lock, the copy that stays with a shared one (a second delete of
// the same group elsewhere is refused, never raced). The copy is checked once more after the
// removal; if it changed meanwhile, a file moved to the trash is put back.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "engine/file_check.h"
#include "engine/keep_rules.h"
#include "engine/progress_sink.h"
#include "engine/results_model.h"
#include "engine/string_table.h"
#include "platform/file_delete.h"

struct DeleteOutcome {
    // Rows whose files are gone (with an action: the rows it was done for), ascending.
    std::vector<std::size_t> goneRows;
    // Files that were to go and stayed: path and why (the protected files first, then the last
    // copies of wholly chosen groups, then the others, each in row order). A file removed for
    // good whose copy changed before the removal was over is named here too, with its copy (its
    // row is gone).
    std::vector<std::pair<std::string, std::string>> kept;
    bool stopped = false;  // the user stopped it; the files not reached yet were left alone
    // The files of goneRows that went to the trash, with where they went (for undo).
    std::vector<std::pair<std::size_t, platform::TrashedFile>> trashed;
};

class SafeDelete {
public:
    // Removes the files of `paths`; returns those still there afterwards. Handed one checked
    // file at a time, while the check's handles are held.
    using Deleter = std::function<std::vector<std::string>(const std::vector<std::string>&)>;
    // Removes one checked file through its handles: 0, or the error code (-1: the system
    // refused without a reason of its own).
    using Remover = std::function<int(platform::HeldFile& file)>;
    // Compares two checked files held open (see CompareOpenFiles).
    using Compare = std::function<ContentMatch(
        const CFileRecord& a, platform::FileReader& readerA, const CFileRecord& b,
        platform::FileReader& readerB, const std::function<bool()>& stop, std::string* reason)>;

    // `progress` (may be null, not owned) shows the work and can stop it. Files go through
    // `deleter` by path.
    SafeDelete(ProgressSink* progress, Deleter deleter);
    // Files go to the trash, or for good, through the handles that were checked.
    SafeDelete(ProgressSink* progress, bool toTrash);

    // Does something else than a removal with a checked file, while both it and the copy it
    // was compared with are held: 0, or an error code with (when it has its own words) the
    // reason in *why. Afterwards the copy must still have its size and last-write time (its
    // change time may move: a hard link to it changes it).
    using Action = std::function<int(platform::HeldFile& file, const CFileRecord& record,
                                     platform::HeldFile& copy, const CFileRecord& copyRecord,
                                     std::string* why)>;
    // From now on each checked file goes to `action` instead of being removed.
    void SetAction(Action action) { m_action = std::move(action); }

    // Replaceable parts, for tests: how a checked file is removed, how two are compared.
    void SetRemover(Remover remover) { m_remover = std::move(remover); }
    void SetCompare(Compare compare) { m_compare = std::move(compare); }
    // Files under these folders are never removed, even when chosen by hand; neither is a row
    // the search marked as protected. They are named with the reason.
    void SetProtectedFolders(const std::vector<std::string>& folders) {
        m_protected = FolderList(folders);
    }
    // The progress dialog's status line while it runs (a text id; the delete's by default).
    void SetStatusText(int id) { m_nStatusText = id; }
    // The removal the constructor chose (a replacement may call it after doing its part).
    const Remover& DefaultRemover() const { return m_default; }

    // Checks and removes the files of `rows` (any order; repeats and rows out of range ignored)
    // of `model`, which is not changed: the caller removes the rows of DeleteOutcome::goneRows.
    DeleteOutcome Run(const ResultsModel& model, const std::vector<std::size_t>& rows);

private:
    bool Cancelled() const { return m_pProgress != nullptr && m_pProgress->Cancelled(); }

    ProgressSink* m_pProgress;
    Remover m_default;
    Remover m_remover;
    Compare m_compare;
    Action m_action;
    FolderList m_protected;
    int m_nStatusText = IDS_DELETE_CHECKING;
};

// The message after a delete that left files behind: string 2251, then "path: reason" per file,
// at most `maxLines` of them, then how many more (2255). "" when nothing was kept.
std::string KeptFilesMessage(const std::vector<std::pair<std::string, std::string>>& kept,
                             std::size_t maxLines = 20);
