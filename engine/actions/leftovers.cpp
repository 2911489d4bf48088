#include "engine/actions/leftovers.h"

#include <algorithm>
#include <set>

#include "engine/text/string_table.h"
#include "engine/text/text_format.h"
#include "platform/file_delete.h"
#include "platform/leftover_files.h"
#include "platform/file_find.h"

namespace {

std::string::size_type LastSeparator(const std::string& path) {
    return path.find_last_of(platform::kPathSeparator == '/' ? "/" : "\\/");
}

std::string FolderOf(const std::string& path) {
    const std::string::size_type at = LastSeparator(path);
    if (at == std::string::npos) return ".";
    return at == 0 ? path.substr(0, 1) : path.substr(0, at);
}

std::string NameOf(const std::string& path) {
    const std::string::size_type at = LastSeparator(path);
    return at == std::string::npos ? path : path.substr(at + 1);
}

std::string Join(const std::string& folder, const std::string& name) {
    if (!folder.empty() && (folder.back() == '/' || folder.back() == platform::kPathSeparator))
        return folder + name;
    return folder + platform::kPathSeparator + name;
}

bool SameFile(const platform::FileIdentity& a, const platform::FileIdentity& b) {
    return a.device == b.device && a.inode == b.inode;
}

// Whether the spare name `spare` may stand for `name` (a long name's spare keeps only the
// start of it).
bool SpareOf(const std::string& spare, const std::string& name) {
    std::string original;
    if (!platform::IsSpareName(spare, &original)) return false;
    if (!original.empty()) return original == name;
    const std::size_t stem = spare.size() - 1 - 13 - 10;  // ".", ".<12 hex>", ".pairscout"
    return stem <= name.size() && name.compare(0, stem, spare, 1, stem) == 0;
}

class Settler {
public:
    explicit Settler(LeftoverReport* report) : m_report(*report) {}

    // The spare `spare` of `folder` that stood for `name`; `act` (may be null) is its act.
    void Spare(const std::string& folder, const std::string& spare, const std::string& name,
               const JournalAct* act) {
        const std::string sparePath = Join(folder, spare);
        const std::string namePath = Join(folder, name);
        platform::FileIdentity spareId, nameId;
        if (!platform::EntryIdentity(sparePath, &spareId)) return;
        if (!platform::EntryIdentity(namePath, &nameId)) {
            const int code = platform::RenameNoReplace(sparePath, namePath);
            if (code == 0) {
                m_report.settled.push_back(FormatLeftoverPutBack(namePath));
                return;
            }
        } else if (SameFile(spareId, nameId)) {
            Remove(sparePath, FormatLeftoverSpareRemoved(sparePath, namePath));
            return;
        } else if (act != nullptr && !act->copy.empty()) {
            // A link made to the copy that stays, killed before it took the name: the copy
            // keeps its own name.
            platform::FileIdentity copyId;
            if (platform::EntryIdentity(act->copy, &copyId) && SameFile(spareId, copyId) &&
                act->copy != sparePath) {
                Remove(sparePath, FormatLeftoverSpareRemoved(sparePath, act->copy));
                return;
            }
        }
        m_report.left.push_back(FormatLeftoverLeft(sparePath, namePath));
    }

    void Act(const JournalAct& act) {
        const std::string folder = FolderOf(act.path);
        const std::string name = NameOf(act.path);
        for (const std::string& spare : platform::SpareNamesIn(folder))
            if (SpareOf(spare, name)) Spare(folder, spare, name, &act);
        if (act.kind == DuplicateActionKind::kMove && !act.target.empty()) MoveCopies(act);
        if (act.kind == DuplicateActionKind::kTrash) m_trashed.push_back(act);
    }

    // The trash records of the trashes of `folders`: those a file never reached are removed,
    // those whose file is one of the trashed acts' goes back.
    void Trash(const std::vector<std::string>& folders) {
        for (const std::string& trash : platform::TrashFoldersOf(folders)) {
            for (const platform::UnfinishedTrashRecord& record :
                 platform::UnfinishedTrashRecords(trash)) {
                if (!record.fileThere) {
                    if (platform::RemoveUnfinishedTrashRecord(record))
                        m_report.settled.push_back(FormatLeftoverRecordRemoved(record.info));
                    continue;
                }
                const auto act = std::find_if(
                    m_trashed.begin(), m_trashed.end(), [&record](const JournalAct& a) {
                        return a.device == record.identity.device &&
                               a.inode == record.identity.inode;
                    });
                if (act == m_trashed.end()) continue;  // not ours to tell
                if (platform::RenameNoReplace(record.file, act->path) == 0) {
                    platform::RemoveEntry(record.info);
                    m_report.settled.push_back(FormatLeftoverPutBack(act->path));
                } else {
                    m_report.left.push_back(FormatLeftoverInTrash(record.file, act->path));
                }
            }
        }
    }

private:
    // A move to another file system writes its copy under a spare name beside the target
    // first: while the file it copies is still where it was, that copy is not needed.
    void MoveCopies(const JournalAct& act) {
        const std::string folder = FolderOf(act.target);
        const std::string name = NameOf(act.target);
        platform::FileIdentity source;
        const bool sourceThere = platform::EntryIdentity(act.path, &source) &&
                                 source.device == act.device && source.inode == act.inode;
        for (const std::string& spare : platform::SpareNamesIn(folder)) {
            if (!SpareOf(spare, name)) continue;
            const std::string sparePath = Join(folder, spare);
            if (sourceThere)
                Remove(sparePath, FormatLeftoverCopyRemoved(sparePath));
            else
                m_report.left.push_back(FormatLeftoverLeft(sparePath, act.target));
        }
    }

    void Remove(const std::string& path, const std::string& text) {
        if (platform::RemoveEntry(path) == 0)
            m_report.settled.push_back(text);
        else
            m_report.left.push_back(FormatLeftAt(path));
    }

    LeftoverReport& m_report;
    std::vector<JournalAct> m_trashed;
};

}  // namespace

LeftoverReport SettleLeftovers(ActionJournal& journal) {
    LeftoverReport report;
    const JournalContents contents = journal.Read();
    Settler settler(&report);
    std::set<std::string> settled;
    std::vector<std::string> folders;
    for (const JournalAct& act : contents.unfinished) {
        if (platform::ProcessRunning(act.process)) continue;  // still at it
        settler.Act(act);
        settled.insert(act.id);
        folders.push_back(FolderOf(act.path));
    }
    settler.Trash(folders);
    journal.Compact(settled);
    return report;
}

LeftoverReport SettleLeftovers() {
    ActionJournal journal;
    return SettleLeftovers(journal);
}

LeftoverReport FindLeftovers(const std::string& folder) {
    LeftoverReport report;
    Settler settler(&report);
    for (const std::string& spare : platform::SpareNamesIn(folder)) {
        std::string original;
        if (platform::IsSpareName(spare, &original) && !original.empty())
            settler.Spare(folder, spare, original, nullptr);
    }
    return report;
}

std::string LeftoverMessage(const LeftoverReport& report, std::size_t maxLines) {
    if (report.Empty()) return std::string();
    std::vector<std::string> lines = report.left;
    lines.insert(lines.end(), report.settled.begin(), report.settled.end());
    std::string text = LoadStringText(IDS_LEFTOVER_HEADING);
    text += "\n";
    const std::size_t shown = std::min(lines.size(), maxLines);
    for (std::size_t i = 0; i < shown; ++i) text += "\n" + lines[i];
    if (lines.size() > shown) text += "\n" + FormatLeftoverMore(static_cast<int>(lines.size() - shown));
    return text;
}
