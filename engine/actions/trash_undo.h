// The last move to the trash, kept so that the user can take it back: the files go back where
// they were, each only while the trash still holds it as it went in, and their rows go back
// into their groups. Restoring touches the disk and runs on a worker; putting the rows back
// runs where the rows live.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/results/found_order.h"
#include "engine/search/progress_sink.h"
#include "engine/results/results_model.h"
#include "engine/actions/safe_delete.h"
#include "platform/trash_restore.h"

struct UndoOutcome {
    std::vector<std::size_t> restored;  // indices of the files put back, ascending
    // Files that stayed in the trash: the path listed and why.
    std::vector<std::pair<std::string, std::string>> kept;
    bool stopped = false;
    std::int64_t bytes = 0;  // the bytes of the files put back
    // A hard link taken back: the step, and the file of its own its name holds now (a new
    // file, which its row must know as the listed one).
    std::vector<std::pair<std::size_t, platform::FileIdentity>> identities;
};

// Takes back `count` steps in order under `progress` (its bar, its status, a stop between
// steps). `step` takes back one and gives the path it concerns and, when it stayed, why.
UndoOutcome UndoSteps(std::size_t count, ProgressSink* progress,
                      const std::function<std::pair<std::string, std::string>(std::size_t)>& step);

class TrashUndo {
public:
    using Restorer =
        std::function<platform::RestoreResult(const platform::TrashedFile&, int* error)>;

    TrashUndo();

    // Takes over the files `outcome` moved to the trash, with their groups as `model` lists
    // them before the gone rows are removed (call it before RemoveRows). `found` (may be null)
    // gives each file its place in the search's order. Forgets the move before.
    void Remember(const ResultsModel& model, const DeleteOutcome& outcome,
                  const FoundOrder* found);
    bool Empty() const { return m_files.empty(); }
    std::size_t Count() const { return m_files.size(); }
    void Clear();

    // How a file is taken out of the trash (tests; a move into a folder taken back).
    void SetRestorer(Restorer restorer) { m_restore = std::move(restorer); }
    // The files were moved into a folder, not the trash: the reasons a file stayed say so.
    void SetMovedToFolder(bool moved) { m_movedToFolder = moved; }

    // Puts the files back (no rows are touched: safe on a worker while the rows are shown),
    // into the folders the move left empty and removed, made again first. `progress` may be
    // null.
    UndoOutcome Restore(ProgressSink* progress) const;

    // Puts the rows of the restored files back in `model`: into the group that still lists a
    // file of their group, else (when `sameResults`: the rows are those the move was made
    // from) as their group anew, with the copies that stayed. Then forgets the move. The
    // caller orders the rows again (FoundOrder::Reapply); `found` (may be null) learns the
    // new rows' places.
    void PutBackRows(const UndoOutcome& outcome, ResultsModel& model, bool sameResults,
                     FoundOrder* found);

    // The move as lines of printable text (see UndoLine), for keeping it past the program's
    // end; Load takes them back, replacing what it holds. Load refuses (false, and holds
    // nothing) lines that are damaged, cut short or describe nothing to take back; the
    // restorer set is kept.
    std::vector<std::string> Save() const;
    bool Load(const std::vector<std::string>& lines);

private:
    struct Member {
        std::unique_ptr<CFileRecord> record;  // a copy of the listed record
        std::size_t rank = 0;
    };
    struct Group {
        std::vector<std::string> paths;  // every file the group listed
        std::vector<Member> stayed;      // the files that were not moved
    };
    struct File {
        platform::TrashedFile place;
        Member member;
        std::size_t group = 0;
    };
    std::vector<Group> m_groups;
    std::vector<File> m_files;
    // The folders the move left empty and removed, deepest first: made again before the files
    // go back into them.
    std::vector<platform::RemovedFolder> m_folders;
    Restorer m_restore;
    bool m_movedToFolder = false;
};

// One saved line of an undo: `fields` escaped (EscapeField) and joined by spaces; and back
// (false when a field is damaged).
std::string UndoLine(const std::vector<std::string>& fields);
bool UndoLineFields(const std::string& line, std::vector<std::string>* fields);

// The message after an undo that left files in the trash: string 2301, then "path: reason".
std::string UndoKeptMessage(const std::vector<std::pair<std::string, std::string>>& kept,
                            std::size_t maxLines = 20);
