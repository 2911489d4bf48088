#include "engine/actions/trash_undo.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>

#include "engine/text/string_table.h"
#include "engine/text/text_format.h"
#include "engine/actions/action_journal.h"
#include "engine/actions/emptied_folders.h"

namespace {

const char* RestoreText(platform::RestoreResult result, bool moved) {
    switch (result) {
        case platform::RestoreResult::kNameTaken: return LoadStringText(IDS_UNDO_NAME_TAKEN);
        case platform::RestoreResult::kNotInTrash:
            return LoadStringText(moved ? IDS_UNDO_MOVED_GONE : IDS_UNDO_NOT_IN_TRASH);
        case platform::RestoreResult::kChanged:
            return LoadStringText(moved ? IDS_UNDO_MOVED_CHANGED : IDS_UNDO_CHANGED);
        case platform::RestoreResult::kRestored:
        case platform::RestoreResult::kFailed: break;
    }
    return LoadStringText(IDS_UNDO_FAILED);
}

// The saved lines of a move: "T <version> <moved to a folder> <groups> <files>"; per group
// "G <paths> <stayed>", its paths ("P <path>") and the records of the copies that stayed; per
// file "F <group> <where it was> <its place> <its record> <size> <last write>" and its record.
// Version 2 adds the count of removed folders to the first line, and a "D" line per folder at
// the end (RemovedFolderLine); a move that removed none is still written as version 1.
constexpr const char kTrashVersion[] = "1";
constexpr const char kTrashFoldersVersion[] = "2";
// More lines than a journal could hold are damage.
constexpr std::size_t kMostLines = ActionJournal::kMaxJournal / 8;

bool ToSize(const std::string& text, std::size_t limit, std::size_t* out) {
    std::uint64_t value = 0;
    if (!ParseNumberField(text, &value) || value > limit) return false;
    *out = static_cast<std::size_t>(value);
    return true;
}

// A record as the list shows it and as later checks compare it, with its rank.
std::string RecordLine(const CFileRecord& r, std::size_t rank) {
    const unsigned flags = (r.DetailsKnown() ? 1u : 0u) | (r.FirstBlockOnly() ? 2u : 0u) |
                           (r.IsUnreadable() ? 4u : 0u);
    return UndoLine({"R", r.Folder(), r.Name(), NumberField(r.m_dwAttributes), SignedField(r.m_ftCreated),
                     SignedField(r.m_ftAccessed), SignedField(r.m_ftWritten), SignedField(r.m_nSize),
                     NumberField(r.m_dwChecksum), NumberField(r.m_dwCrc), SignedField(r.m_ftWrittenUtc),
                     NumberField(r.m_nDevice), NumberField(r.m_nInode), NumberField(flags),
                     NumberField(static_cast<std::uint32_t>(r.ReadErrorCode())), NumberField(rank)});
}

bool RecordFromLine(const std::string& line, std::unique_ptr<CFileRecord>* record,
                    std::size_t* rank) {
    std::vector<std::string> f;
    if (!UndoLineFields(line, &f) || f.size() != 16 || f[0] != "R" || f[2].empty() ||
        f[2].size() > 0xffff)
        return false;
    std::uint64_t attributes = 0, checksum = 0, crc = 0, flags = 0, error = 0;
    platform::FindData data;
    std::int64_t created = 0, accessed = 0, written = 0, size = 0, writtenUtc = 0;
    if (!ParseNumberField(f[3], &attributes) || attributes > UINT32_MAX ||
        !ParseSignedField(f[4], &created) || !ParseSignedField(f[5], &accessed) || !ParseSignedField(f[6], &written) ||
        !ParseSignedField(f[7], &size) || size < 0 || !ParseNumberField(f[8], &checksum) ||
        checksum > UINT32_MAX || !ParseNumberField(f[9], &crc) || crc > UINT32_MAX ||
        !ParseSignedField(f[10], &writtenUtc) || !ParseNumberField(f[11], &data.nDevice) ||
        !ParseNumberField(f[12], &data.nInode) || !ParseNumberField(f[13], &flags) || flags > 7 ||
        !ParseNumberField(f[14], &error) || error > UINT32_MAX ||
        !ToSize(f[15], static_cast<std::size_t>(-1), rank))
        return false;
    data.dwFileAttributes = static_cast<std::uint32_t>(attributes);
    data.ftLastWriteTime = writtenUtc;
    data.nFileSize = static_cast<std::uint64_t>(size);
    data.cFileName = f[2];
    auto r = std::make_unique<CFileRecord>(data, f[1]);
    // The times as they were shown, not as this start's time zone would give them.
    r->m_ftCreated = created;
    r->m_ftAccessed = accessed;
    r->m_ftWritten = written;
    if ((flags & 3) != 0) {
        r->SetDetails(static_cast<std::uint32_t>(crc), static_cast<std::uint32_t>(checksum),
                      (flags & 2) != 0, 0);
    } else {
        r->m_dwCrc = static_cast<std::uint32_t>(crc);
        r->m_dwChecksum = static_cast<std::uint32_t>(checksum);
    }
    if ((flags & 4) != 0) r->MarkUnreadable(static_cast<int>(static_cast<std::uint32_t>(error)));
    *record = std::move(r);
    return true;
}

}  // namespace

std::string UndoLine(const std::vector<std::string>& fields) {
    std::string line;
    for (const std::string& field : fields) {
        if (!line.empty()) line += ' ';
        line += EscapeField(field);
    }
    return line;
}

bool UndoLineFields(const std::string& line, std::vector<std::string>* fields) {
    fields->clear();
    if (line.empty()) return false;
    std::size_t start = 0;
    for (;;) {
        const std::size_t space = std::min(line.find(' ', start), line.size());
        std::string field;
        if (space == start || !UnescapeField(line.substr(start, space - start), &field)) {
            fields->clear();
            return false;
        }
        fields->push_back(std::move(field));
        if (space == line.size()) return true;
        start = space + 1;
    }
}

std::vector<std::string> TrashUndo::Save() const {
    std::vector<std::string> lines;
    if (m_files.empty()) return lines;
    std::vector<std::string> head{"T", kTrashVersion, m_movedToFolder ? "1" : "0",
                                  NumberField(m_groups.size()), NumberField(m_files.size())};
    if (!m_folders.empty()) {
        head[1] = kTrashFoldersVersion;
        head.push_back(NumberField(m_folders.size()));
    }
    lines.push_back(UndoLine(head));
    for (const Group& group : m_groups) {
        lines.push_back(UndoLine({"G", NumberField(group.paths.size()), NumberField(group.stayed.size())}));
        for (const std::string& path : group.paths) lines.push_back(UndoLine({"P", path}));
        for (const Member& member : group.stayed)
            lines.push_back(RecordLine(*member.record, member.rank));
    }
    for (const File& file : m_files) {
        const platform::TrashedFile& place = file.place;
        lines.push_back(UndoLine({"F", NumberField(file.group), place.original, place.trashFile,
                                  place.infoFile, NumberField(place.size), SignedField(place.lastWrite)}));
        lines.push_back(RecordLine(*file.member.record, file.member.rank));
    }
    for (const platform::RemovedFolder& folder : m_folders) lines.push_back(RemovedFolderLine(folder));
    return lines;
}

bool TrashUndo::Load(const std::vector<std::string>& lines) {
    Clear();
    std::vector<std::string> f;
    std::size_t groups = 0, files = 0, folders = 0;
    if (lines.empty() || lines.size() > kMostLines || !UndoLineFields(lines[0], &f) ||
        f.size() < 5 || f[0] != "T" ||
        !((f[1] == kTrashVersion && f.size() == 5) ||
          (f[1] == kTrashFoldersVersion && f.size() == 6 && ToSize(f[5], lines.size(), &folders))) ||
        (f[2] != "0" && f[2] != "1") || !ToSize(f[3], lines.size(), &groups) ||
        !ToSize(f[4], lines.size(), &files) || files == 0 || groups == 0)
        return false;
    const bool moved = f[2] == "1";
    std::size_t at = 1;
    auto fail = [this] {
        Clear();
        return false;
    };
    for (std::size_t g = 0; g < groups; ++g) {
        std::size_t paths = 0, stayed = 0;
        if (at >= lines.size() || !UndoLineFields(lines[at++], &f) || f.size() != 3 ||
            f[0] != "G" || !ToSize(f[1], lines.size() - at, &paths) ||
            !ToSize(f[2], lines.size() - at - paths, &stayed))
            return fail();
        Group group;
        for (std::size_t p = 0; p < paths; ++p) {
            if (!UndoLineFields(lines[at++], &f) || f.size() != 2 || f[0] != "P" || f[1].empty())
                return fail();
            group.paths.push_back(std::move(f[1]));
        }
        for (std::size_t s = 0; s < stayed; ++s) {
            Member member;
            if (!RecordFromLine(lines[at++], &member.record, &member.rank)) return fail();
            group.stayed.push_back(std::move(member));
        }
        m_groups.push_back(std::move(group));
    }
    for (std::size_t i = 0; i < files; ++i) {
        File file;
        std::int64_t lastWrite = 0;
        if (lines.size() - at < 2 || !UndoLineFields(lines[at++], &f) || f.size() != 7 ||
            f[0] != "F" || !ToSize(f[1], groups - 1, &file.group) || f[2].empty() ||
            !ParseNumberField(f[5], &file.place.size) || !ParseSignedField(f[6], &lastWrite) ||
            !RecordFromLine(lines[at++], &file.member.record, &file.member.rank))
            return fail();
        file.place.original = std::move(f[2]);
        file.place.trashFile = std::move(f[3]);
        file.place.infoFile = std::move(f[4]);
        file.place.lastWrite = lastWrite;
        m_files.push_back(std::move(file));
    }
    for (std::size_t d = 0; d < folders; ++d) {
        platform::RemovedFolder folder;
        if (at >= lines.size() || !RemovedFolderFromLine(lines[at++], &folder)) return fail();
        m_folders.push_back(std::move(folder));
    }
    if (at != lines.size()) return fail();
    m_movedToFolder = moved;
    return true;
}

TrashUndo::TrashUndo() : m_restore(platform::RestoreTrashedFile) {}

void TrashUndo::Clear() {
    m_movedToFolder = false;
    m_groups.clear();
    m_files.clear();
    m_folders.clear();
}

void TrashUndo::Remember(const ResultsModel& model, const DeleteOutcome& outcome,
                         const FoundOrder* found) {
    Clear();
    if (outcome.trashed.empty()) return;
    std::vector<char> gone(model.RowCount(), 0);
    for (std::size_t row : outcome.goneRows)
        if (row < gone.size()) gone[row] = 1;
    std::vector<std::pair<std::size_t, const platform::TrashedFile*>> trashed;
    for (const auto& entry : outcome.trashed)
        if (entry.first < model.RowCount()) trashed.emplace_back(entry.first, &entry.second);
    std::sort(trashed.begin(), trashed.end(),
              [](const auto& a, const auto& b) { return a.first < b.first; });
    auto copy = [&](std::size_t row) {
        const CFileRecord* record = model.Row(row).record.get();
        return Member{std::make_unique<CFileRecord>(*record),
                      found != nullptr ? found->RankOf(record) : row};
    };
    std::size_t next = 0;
    for (const RowGroup& group : model.Groups()) {
        if (next >= trashed.size()) break;
        if (trashed[next].first >= group.end) continue;
        Group kept;
        for (std::size_t row = group.begin; row < group.end; ++row) {
            kept.paths.push_back(model.Row(row).record->Path());
            if (!gone[row]) kept.stayed.push_back(copy(row));
        }
        m_groups.push_back(std::move(kept));
        for (; next < trashed.size() && trashed[next].first < group.end; ++next)
            m_files.push_back({*trashed[next].second, copy(trashed[next].first),
                               m_groups.size() - 1});
    }
    if (!m_files.empty()) m_folders = outcome.removedFolders;
}

UndoOutcome UndoSteps(std::size_t count, ProgressSink* progress,
                      const std::function<std::pair<std::string, std::string>(std::size_t)>& step) {
    UndoOutcome out;
    if (progress != nullptr) {
        progress->SetTotal(static_cast<std::int64_t>(count));
        progress->SetStatus(LoadStringText(IDS_UNDO_RUNNING));
    }
    for (std::size_t i = 0; i < count; ++i) {
        if (progress != nullptr) {
            if (progress->Cancelled()) {
                out.stopped = true;
                break;
            }
            progress->StepProgress(1);
        }
        std::pair<std::string, std::string> result = step(i);
        if (result.second.empty()) {
            out.restored.push_back(i);
        } else {
            out.kept.push_back(std::move(result));
        }
    }
    return out;
}

UndoOutcome TrashUndo::Restore(ProgressSink* progress) const {
    // A folder that cannot be made again keeps its files where they are: the restorer finds
    // no place for them and says so.
    const std::vector<std::pair<std::string, std::string>> notMade = MakeFoldersAgain(m_folders);
    UndoOutcome out = UndoSteps(m_files.size(), progress, [this](std::size_t i) {
        const File& file = m_files[i];
        int error = 0;
        const platform::RestoreResult result = m_restore(file.place, &error);
        if (result == platform::RestoreResult::kRestored)
            return std::make_pair(std::string(), std::string());
        std::string why = RestoreText(result, m_movedToFolder);
        if (result == platform::RestoreResult::kFailed && error != 0)
            why = CFileRecord::ErrorCodeText(error);
        return std::make_pair(file.member.record->Path(), why);
    });
    GiveFoldersTheirTimes(m_folders);
    for (std::size_t i : out.restored) out.bytes += static_cast<std::int64_t>(m_files[i].place.size);
    for (const auto& folder : notMade)
        out.kept.emplace_back(folder.first, FormatFolderNotMade(folder.second));
    return out;
}

void TrashUndo::PutBackRows(const UndoOutcome& outcome, ResultsModel& model, bool sameResults,
                            FoundOrder* found) {
    std::unordered_map<std::string, std::size_t> rowOf;
    rowOf.reserve(model.RowCount());
    for (std::size_t row = 0; row < model.RowCount(); ++row)
        rowOf.emplace(model.Row(row).record->Path(), row);
    // The restored files of each group.
    std::vector<std::vector<std::size_t>> restoredOf(m_groups.size());
    for (std::size_t i : outcome.restored)
        if (i < m_files.size()) restoredOf[m_files[i].group].push_back(i);

    std::vector<std::pair<std::size_t, std::unique_ptr<CFileRecord>>> additions;
    for (std::size_t g = 0; g < m_groups.size(); ++g) {
        if (restoredOf[g].empty()) continue;
        Group& group = m_groups[g];
        std::size_t listed = static_cast<std::size_t>(-1);
        for (const std::string& path : group.paths) {
            const auto hit = rowOf.find(path);
            if (hit != rowOf.end()) {
                listed = hit->second;
                break;
            }
        }
        if (listed != static_cast<std::size_t>(-1)) {
            for (std::size_t i : restoredOf[g]) {
                if (found != nullptr) found->Add(m_files[i].member.record.get(), m_files[i].member.rank);
                additions.emplace_back(listed, std::move(m_files[i].member.record));
            }
            continue;
        }
        if (!sameResults) continue;
        // The group had lost every row: it comes back with the copies that stayed.
        std::vector<Member*> members;
        for (Member& member : group.stayed) members.push_back(&member);
        for (std::size_t i : restoredOf[g]) members.push_back(&m_files[i].member);
        if (members.size() < 2) continue;
        std::stable_sort(members.begin(), members.end(),
                         [](const Member* a, const Member* b) { return a->rank < b->rank; });
        std::vector<std::unique_ptr<CFileRecord>> files;
        for (Member* member : members) {
            if (found != nullptr) found->Add(member->record.get(), member->rank);
            files.push_back(std::move(member->record));
        }
        model.AppendGroup(std::move(files));
    }
    model.AddToGroups(std::move(additions));
    Clear();
}

std::string UndoKeptMessage(const std::vector<std::pair<std::string, std::string>>& kept,
                            std::size_t maxLines) {
    if (kept.empty()) return std::string();
    return LoadStringText(IDS_UNDO_KEPT_HEADING) + std::string("\n") +
           FilesLeftText(kept, maxLines, FormatUndoKeptMore);
}
