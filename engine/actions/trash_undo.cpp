#include "engine/actions/trash_undo.h"

#include <algorithm>
#include <unordered_map>

#include "engine/string_table.h"
#include "engine/text_format.h"

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

}  // namespace

TrashUndo::TrashUndo() : m_restore(platform::RestoreTrashedFile) {}

void TrashUndo::Clear() {
    m_movedToFolder = false;
    m_groups.clear();
    m_files.clear();
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
    return UndoSteps(m_files.size(), progress, [this](std::size_t i) {
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
    std::string text = LoadStringText(IDS_UNDO_KEPT_HEADING);
    text += "\n";
    const std::size_t shown = std::min(kept.size(), maxLines);
    for (std::size_t i = 0; i < shown; ++i) text += "\n" + kept[i].first + ": " + kept[i].second;
    if (kept.size() > shown) text += "\n" + FormatUndoKeptMore(static_cast<int>(kept.size() - shown));
    return text;
}
