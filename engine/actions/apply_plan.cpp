#include "engine/actions/apply_plan.h"

#include <chrono>
#include <map>
#include <memory>
#include <thread>
#include <unordered_set>

#include "engine/actions/action_journal.h"
#include "engine/actions/emptied_folders.h"
#include "engine/text/string_table.h"
#include "engine/text/text_format.h"
#include "platform/disk_space.h"
#include "platform/error_text.h"
#include "platform/file_find.h"
#include "platform/file_identity.h"
#include "platform/path_forms.h"

namespace {

// The folder part of `path` (without its last separator).
std::string FolderOf(const std::string& path) {
    const std::string::size_type at = path.find_last_of(
        platform::kPathSeparator == '/' ? "/" : "\\/");
    if (at == std::string::npos) return ".";
    return at == 0 ? path.substr(0, 1) : path.substr(0, at);
}

std::string CodeText(int code) {
    return code == -1 ? std::string(LoadStringText(IDS_DELETE_FAILED))
                      : CFileRecord::ErrorCodeText(code);
}

// Free space before and after, once per file system acted on (by one of its folders).
class FreeSpaceMeter {
public:
    FreeSpaceMeter(const ResultsModel& model, const ActionPlan& plan) {
        for (const PlannedFile& file : plan.Files())
            if (file.verdict == PlanVerdict::kGoes)
                m_folders.emplace(model.Row(file.row).record->m_nDevice,
                                  FolderOf(model.Row(file.row).record->Path()));
        for (const auto& entry : m_folders) {
            std::uint64_t bytes = 0;
            m_known = m_known && platform::FreeDiskSpaceOf(entry.second, &bytes);
            m_before[entry.first] = bytes;
        }
    }

    // Some file systems free the blocks of a removed file in the background a moment later
    // (XFS): the figure is taken once it holds still (for a second at most).
    void Finish(ActionOutcome* out) {
        bool known = m_known && Freed(&out->freedBytes);
        for (int tries = 0; known && !m_folders.empty() && tries < 20; ++tries) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            std::int64_t again = 0;
            known = Freed(&again);
            if (again == out->freedBytes) break;
            out->freedBytes = again;
        }
        out->freedKnown = known;
    }

private:
    bool Freed(std::int64_t* total) {
        *total = 0;
        bool all = true;
        for (const auto& entry : m_folders) {
            std::uint64_t bytes = 0;
            all = all && platform::FreeDiskSpaceOf(entry.second, &bytes);
            *total += static_cast<std::int64_t>(bytes) -
                      static_cast<std::int64_t>(m_before[entry.first]);
        }
        return all;
    }

    std::map<std::uint64_t, std::string> m_folders;
    std::map<std::uint64_t, std::uint64_t> m_before;
    bool m_known = true;
};

class Applier {
public:
    Applier(const ResultsModel& model, const ActionPlan& plan, ProgressSink* progress,
            const ApplyParts& parts, ActionOutcome* out)
        : m_model(model), m_plan(plan), m_kind(ActionKind(plan.Kind())), m_progress(progress),
          m_parts(parts), m_out(*out) {}

    void Run() {
        m_out.refused = m_plan.StaysBeforehand(m_model);
        if (m_progress != nullptr) {
            m_progress->SetTotal(m_plan.Goes());
            m_progress->SetStatus(LoadStringText(m_kind.statusText));
        }
        // A folder chosen whole that stays keeps every file of it.
        std::vector<char> keeps(m_plan.Folders().size(), 0);
        for (std::size_t f = 0; f < keeps.size(); ++f) {
            const PlannedFolder& folder = m_plan.Folders()[f];
            if (!folder.goes || Cancelled()) continue;
            std::string file, why;
            if (FolderAsListed(folder, &file, &why)) continue;
            keeps[f] = 1;
            m_out.refused.emplace_back(folder.path, FormatFolderStays(file, why));
        }
        // The folders' times as they are before files leave them, to give back with an undo.
        const bool removeEmptied = m_plan.Settings().removeEmptiedFolders && m_kind.removesName;
        FolderStates before;
        if (removeEmptied) {
            std::vector<std::string> going;
            for (const PlannedFile& file : m_plan.Files())
                if (file.verdict == PlanVerdict::kGoes) going.push_back(Record(file.row).Path());
            before = FoldersBefore(going, m_plan.Settings().startPaths);
        }
        for (const PlannedFile& file : m_plan.Files()) {
            if (file.verdict == PlanVerdict::kNoTarget)
                Refuse(file, LoadStringText(IDS_ACTION_NO_START_PATH));
            if (file.verdict != PlanVerdict::kGoes) continue;
            if (m_progress != nullptr) m_progress->StepProgress(1);
            if (file.folder != PlannedFile::kNoFolder && keeps[file.folder]) continue;
            if (Cancelled()) m_out.stopped = true;
            const std::size_t done = m_out.done.size(), refused = m_out.refused.size();
            if (m_out.stopped || !One(file)) break;
            if (file.folder != PlannedFile::kNoFolder &&
                (m_out.done.size() == done || m_out.refused.size() != refused))
                keeps[file.folder] = 1;
        }
        std::vector<std::string> left;
        for (const ActionStep& step : m_out.done) left.push_back(step.path);
        for (std::size_t f = 0; f < keeps.size(); ++f)
            if (m_plan.Folders()[f].goes && !keeps[f] && !m_out.stopped)
                m_out.foldersDone.push_back(m_plan.Folders()[f].path);
        if (removeEmptied && (!left.empty() || !m_out.foldersDone.empty()))
            m_out.removedFolders = RemoveEmptiedFolders(left, m_out.foldersDone,
                                                        m_plan.Settings().startPaths, &before);
    }

private:
    bool Cancelled() const { return m_progress != nullptr && m_progress->Cancelled(); }
    const CFileRecord& Record(std::size_t row) const { return *m_model.Row(row).record; }
    void Refuse(const PlannedFile& file, const std::string& why) {
        m_out.refused.emplace_back(Record(file.row).Path(), why);
    }

    // Whether `folder` holds its listed files, each still as it was listed, and nothing else;
    // if not, the file that is not and why.
    bool FolderAsListed(const PlannedFolder& folder, std::string* file, std::string* why) const {
        std::unordered_set<std::string> listed;
        for (std::size_t r : folder.rows) {
            const CFileRecord& record = Record(r);
            listed.insert(record.Path());
            platform::FileIdentity identity;
            int code = 0;
            if (platform::QueryFileIdentity(record.Path(), &identity, &code))
                code = CheckScannedIdentity(record, identity);
            if (code != 0) {
                *file = record.Path();
                *why = CFileRecord::ErrorCodeText(code);
                return false;
            }
        }
        std::vector<std::string> pending{folder.path};
        while (!pending.empty()) {
            std::string at = std::move(pending.back());
            pending.pop_back();
            if (at.back() != platform::kPathSeparator && at.back() != '/')
                at += platform::kPathSeparator;
            platform::FileFinder finder;
            bool more = finder.First(at);
            if (!more && finder.ErrorCode() != 0) {
                *file = at;
                *why = CFileRecord::ErrorCodeText(finder.ErrorCode());
                return false;
            }
            for (const auto& unreadable : finder.Unreadable()) {
                *file = at + unreadable.first;
                *why = CFileRecord::ErrorCodeText(unreadable.second);
                return false;
            }
            for (; more; more = finder.Next()) {
                const platform::FindData& entry = finder.Data();
                if (entry.cFileName == "." || entry.cFileName == "..") continue;
                const std::string path = at + entry.cFileName;
                if ((entry.dwFileAttributes & platform::kAttrDirectory) != 0) {
                    pending.push_back(path);
                } else if (listed.count(path) == 0) {
                    *file = path;
                    *why = LoadStringText(IDS_FOLDER_UNLISTED_FILE);
                    return false;
                }
            }
        }
        return true;
    }

    // Does one file; false when the user stopped the work.
    bool One(const PlannedFile& file) {
        const CFileRecord& record = Record(file.row);
        // Held from its check to its act: what is acted on is the file that was compared.
        platform::HeldFile held;
        int code = held.Open(record.Path(), platform::HeldFile::kGoes);
        if (code == 0) code = CheckScannedIdentity(record, held.Reader().Identity());
        if (code != 0) {
            Refuse(file, CFileRecord::ErrorCodeText(code));
            return true;
        }
        if (file.copiesAbsent) {
            MoveAlone(file, held);
            return true;
        }
        const std::function<bool()> stop = [this] { return Cancelled(); };
        std::string why = LoadStringText(IDS_CONTENTS_DIFFER);
        for (std::size_t k = 0; k < file.copies.size(); ++k) {
            const CFileRecord& copyRecord = Record(file.copies[k]);
            // The copy stays open (shared-locked, leased) until the act is over.
            platform::HeldFile copy;
            code = copy.Open(copyRecord.Path(), platform::HeldFile::kStays);
            if (code == 0) code = CheckScannedIdentity(copyRecord, copy.Reader().Identity());
            if (code != 0) {
                why = std::string(LoadStringText(IDS_NO_COPY_STAYS)) + ": " + copyRecord.Path() +
                      " (" + CFileRecord::ErrorCodeText(code) + ")";
                continue;
            }
            if (k > 0 && !held.Reader().Rewind()) {
                why = CFileRecord::ErrorCodeText(platform::LastErrorCode());
                break;
            }
            std::string readError;
            const ContentMatch match =
                m_parts.compare
                    ? m_parts.compare(record, held.Reader(), copyRecord, copy.Reader(), stop,
                                      &readError)
                    : CompareOpenFiles(record, held.Reader(), copyRecord, copy.Reader(), stop,
                                       &readError);
            if (match == ContentMatch::kStopped) {
                m_out.stopped = true;
                return false;
            }
            if (match == ContentMatch::kFirstUnreadable) {
                why = readError;
                break;  // the file itself cannot be read: no copy will help
            }
            if (match == ContentMatch::kSecondUnreadable) {
                why = std::string(LoadStringText(IDS_NO_COPY_STAYS)) + ": " + copyRecord.Path() +
                      (readError.empty() ? "" : " (" + readError + ")");
                continue;
            }
            if (match == ContentMatch::kDifferent) {
                why = LoadStringText(IDS_CONTENTS_DIFFER);
                continue;
            }
            const std::string journaled = JournalActBegins(
                m_plan.Kind(), record.Path(), held.Reader().Identity(), copyRecord.Path(),
                file.target);
            Act(file, held, copy, copyRecord);
            JournalActEnds(journaled);
            return true;
        }
        Refuse(file, why);
        return true;
    }

    // A move of a file whose copies are a catalog's entries: no copy is here to hold or
    // compare. The file is still held and checked to its last step; a move takes nothing away.
    void MoveAlone(const PlannedFile& file, platform::HeldFile& held) {
        ActionStep step;
        step.kind = DuplicateActionKind::kMove;
        step.row = file.row;
        step.path = Record(file.row).Path();
        step.bytes = static_cast<std::int64_t>(held.Reader().Identity().size);
        step.target = file.target;
        const std::string journaled = JournalActBegins(step.kind, step.path,
                                                       held.Reader().Identity(), "", file.target);
        const int code = held.MoveTo(step.target, [this] {
            if (m_parts.betweenSteps) m_parts.betweenSteps();
            return 0;
        });
        JournalActEnds(journaled);
        if (code != 0) {
            std::string why = code == EEXIST || platform::GetFileAttributes(step.target) !=
                                                    platform::kInvalidFileAttributes
                                  ? FormatTargetExists(step.target)
                                  : CodeText(code);
            if (!held.LeftAt().empty()) why += "; " + FormatLeftAt(held.LeftAt());
            Refuse(file, why);
            return;
        }
        int error = 0;
        platform::QueryFileIdentity(step.target, &step.after, &error);
        m_out.done.push_back(std::move(step));
    }

    // The act itself, with both files held and their bytes found equal.
    void Act(const PlannedFile& file, platform::HeldFile& held, platform::HeldFile& copy,
             const CFileRecord& copyRecord) {
        const CFileRecord& record = Record(file.row);
        const DuplicateActionKind kind = m_plan.Kind();
        // A hard link changes the copy's change time: it adds a name to it.
        const bool linking = kind == DuplicateActionKind::kHardLink;
        // Between the act's two steps: the copy must still be what it was compared as, under
        // its name. A copy removed, replaced or written to meanwhile stops the act.
        const platform::HeldFile::Confirm confirm = [this, &copy, linking] {
            if (m_parts.betweenSteps) m_parts.betweenSteps();
            return copy.CheckUnchanged(linking);
        };
        ActionStep step;
        step.kind = kind;
        step.row = file.row;
        step.path = record.Path();
        step.bytes = static_cast<std::int64_t>(held.Reader().Identity().size);
        std::string why;
        int code = 0;
        switch (kind) {
            case DuplicateActionKind::kTrash:
            case DuplicateActionKind::kDelete: {
                const bool toTrash = kind == DuplicateActionKind::kTrash;
                code = m_parts.remover ? m_parts.remover(held, confirm)
                                       : held.Remove(toTrash, confirm);
                if (code != 0) break;
                step.trashed = held.Trashed();
                if (held.Trashed()) {
                    step.trash = held.TrashRecord();
                    step.target = held.TrashRecord().trashFile;
                }
                if (copy.CheckUnchanged() == 0) {
                    m_out.done.push_back(std::move(step));
                    return;
                }
                // The copy changed once the duplicate was gone: what stays may no longer be
                // what went. A file in the trash goes back under its name.
                if (held.Trashed() && held.Restore() == 0) {
                    Refuse(file, FormatCopyChangedBack(copyRecord.Path()));
                    return;
                }
                Refuse(file, held.Trashed() ? FormatCopyChangedTrash(copyRecord.Path())
                                            : FormatCopyChangedGone(copyRecord.Path()));
                m_out.done.push_back(std::move(step));
                return;
            }
            case DuplicateActionKind::kHardLink:
                step.copy = copyRecord.Path();
                if (held.Reader().Identity().device != copy.Reader().Identity().device) {
                    why = LoadStringText(IDS_ACTION_OTHER_FILE_SYSTEM);
                    code = -1;
                } else if (!m_parts.anyOwner && !held.SameAccess(copy)) {
                    why = LoadStringText(IDS_ACTION_OWNER_DIFFERS);
                    code = -1;
                } else {
                    step.before = held.Metadata();
                    code = held.LinkFrom(copy, confirm);
                }
                if (code == 0) copy.Reader().Current(&step.after);
                break;
            case DuplicateActionKind::kShareData:
                step.copy = copyRecord.Path();
                code = held.CheckUnchanged();
                if (code == 0) code = confirm();
                if (code == 0) {
                    // The file system compares the bytes itself while it holds both files.
                    code = held.ShareDataWith(copy, static_cast<std::uint64_t>(record.m_nSize));
                    if (code == platform::kErrorContentsDiffer)
                        why = LoadStringText(IDS_CONTENTS_DIFFER);
                    else if (code != 0)
                        why = FormatCannotShare(platform::ErrorText(code));
                }
                break;
            case DuplicateActionKind::kMove:
                step.target = file.target;
                code = held.MoveTo(step.target, confirm);
                if (code == EEXIST || (code != 0 && platform::GetFileAttributes(step.target) !=
                                                        platform::kInvalidFileAttributes))
                    why = FormatTargetExists(step.target);
                if (code == 0) {
                    int error = 0;
                    platform::QueryFileIdentity(step.target, &step.after, &error);
                }
                break;
        }
        if (code != 0) {
            if (why.empty()) why = CodeText(code);
            if (!held.LeftAt().empty()) why += "; " + FormatLeftAt(held.LeftAt());
            Refuse(file, why);
            return;
        }
        if (copy.CheckUnchanged(true) != 0)
            Refuse(file, FormatReplacedCopyChanged(copyRecord.Path()));
        m_out.done.push_back(std::move(step));
    }

    const ResultsModel& m_model;
    const ActionPlan& m_plan;
    const ActionKindInfo& m_kind;
    ProgressSink* m_progress;
    const ApplyParts& m_parts;
    ActionOutcome& m_out;
};

}  // namespace

ActionOutcome ApplyPlan(const ResultsModel& model, const ActionPlan& plan, ProgressSink* progress,
                        const ApplyParts& parts) {
    ActionOutcome out;
    std::unique_ptr<FreeSpaceMeter> meter;
    if (parts.measureFreed) meter = std::make_unique<FreeSpaceMeter>(model, plan);
    Applier(model, plan, progress, parts, &out).Run();
    if (meter) meter->Finish(&out);
    return out;
}
