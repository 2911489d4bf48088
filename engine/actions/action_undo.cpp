#include "engine/actions/action_undo.h"

#include <algorithm>
#include <map>
#include <unordered_map>

#include "engine/file_record.h"
#include "engine/string_table.h"
#include "engine/text_format.h"
#include "platform/error_text.h"
#include "platform/file_delete.h"
#include "platform/file_find.h"

std::string UndoHardLink(const ActionStep& step) {
    platform::HeldFile file;
    const int code = file.Open(step.path, platform::HeldFile::kGoes);
    if (code == platform::kErrorReplaced) return LoadStringText(IDS_UNDO_LINK_REPLACED);
    if (code != 0) return CFileRecord::ErrorCodeText(code);
    // The name must still hold the kept copy's file, unchanged since the link: its data is
    // what the duplicate held.
    const platform::FileIdentity& now = file.Reader().Identity();
    if (now.device != step.after.device || now.inode != step.after.inode)
        return LoadStringText(IDS_UNDO_LINK_REPLACED);
    if (now.size != step.after.size || now.lastWrite != step.after.lastWrite)
        return LoadStringText(IDS_UNDO_COPY_CHANGED);
    const int copied = file.ReplaceByCopy(step.before ? &*step.before : nullptr);
    if (copied == platform::kErrorReplaced) return LoadStringText(IDS_UNDO_LINK_REPLACED);
    return copied == 0 ? std::string() : CFileRecord::ErrorCodeText(copied);
}

platform::RestoreResult MoveBack(const platform::TrashedFile& moved,
                                 const platform::FileIdentity& expected, int* error) {
    if (error != nullptr) *error = 0;
    if (platform::GetFileAttributes(moved.trashFile) == platform::kInvalidFileAttributes)
        return platform::RestoreResult::kNotInTrash;
    platform::HeldFile file;
    const int code = file.Open(moved.trashFile, platform::HeldFile::kGoes);
    if (code == platform::kErrorReplaced) return platform::RestoreResult::kChanged;
    if (code != 0) {
        if (error != nullptr) *error = code;
        return platform::RestoreResult::kFailed;
    }
    const platform::FileIdentity& now = file.Reader().Identity();
    if (now.device != expected.device || now.inode != expected.inode ||
        now.size != expected.size || now.lastWrite != expected.lastWrite)
        return platform::RestoreResult::kChanged;
    // Never over a file that took the old name: asked first for a plain answer, and the move
    // itself refuses to replace one that comes in between.
    if (platform::GetFileAttributes(moved.original) != platform::kInvalidFileAttributes)
        return platform::RestoreResult::kNameTaken;
    const int back = file.MoveTo(moved.original);
    if (back == 0) return platform::RestoreResult::kRestored;
    if (platform::GetFileAttributes(moved.original) != platform::kInvalidFileAttributes)
        return platform::RestoreResult::kNameTaken;
    if (error != nullptr) *error = back;
    return platform::RestoreResult::kFailed;
}

ActionUndo::ActionUndo() = default;

void ActionUndo::Clear() {
    m_steps.clear();
    m_moved.Clear();
}

void ActionUndo::Remember(DuplicateActionKind kind, const ResultsModel& model,
                          const ActionOutcome& outcome, const FoundOrder* found) {
    Clear();
    m_kind = kind;
    if (kind == DuplicateActionKind::kHardLink || kind == DuplicateActionKind::kShareData) {
        for (const ActionStep& step : outcome.done)
            if (step.kind == kind) m_steps.push_back(step);
        return;
    }
    if (kind != DuplicateActionKind::kMove) return;
    // A moved file leaves the list as a file put in the trash does, and comes back the same way.
    DeleteOutcome gone;
    std::map<std::string, platform::FileIdentity> identities;
    for (const ActionStep& step : outcome.done) {
        if (step.kind != kind || step.row >= model.RowCount()) continue;
        gone.goneRows.push_back(step.row);
        gone.trashed.emplace_back(step.row, platform::TrashedFile{step.path, step.target, std::string(),
                                                                  step.after.size, step.after.lastWrite});
        identities[step.target] = step.after;
    }
    std::sort(gone.goneRows.begin(), gone.goneRows.end());
    m_moved.Remember(model, gone, found);
    m_moved.SetMovedToFolder(true);
    m_moved.SetRestorer([identities](const platform::TrashedFile& moved, int* error) {
        const auto it = identities.find(moved.trashFile);
        if (it == identities.end()) return platform::RestoreResult::kChanged;
        return MoveBack(moved, it->second, error);
    });
}

UndoOutcome ActionUndo::Restore(ProgressSink* progress) const {
    if (m_kind == DuplicateActionKind::kMove) return m_moved.Restore(progress);
    return UndoSteps(m_steps.size(), progress, [this](std::size_t i) {
        // Shared blocks hold the same data as the file's own would: only its row goes back.
        return std::make_pair(m_steps[i].path, m_steps[i].kind == DuplicateActionKind::kHardLink
                                                   ? UndoHardLink(m_steps[i])
                                                   : std::string());
    });
}

void ActionUndo::PutBackRows(const UndoOutcome& outcome, ResultsModel& model, bool sameResults,
                             FoundOrder* found) {
    if (m_kind == DuplicateActionKind::kMove) {
        m_moved.PutBackRows(outcome, model, sameResults, found);
        Clear();
        return;
    }
    std::unordered_map<std::string, std::size_t> rowOf;
    rowOf.reserve(model.RowCount());
    for (std::size_t row = 0; row < model.RowCount(); ++row)
        if (model.Row(row).replaced != kNotReplaced) rowOf.emplace(model.Row(row).record->Path(), row);
    for (std::size_t i : outcome.restored) {
        if (i >= m_steps.size()) continue;
        const auto hit = rowOf.find(m_steps[i].path);
        if (hit != rowOf.end()) model.SetReplaced(hit->second, kNotReplaced);
    }
    Clear();
}

std::string ActionLeftMessage(const std::vector<std::pair<std::string, std::string>>& left,
                              std::size_t maxLines) {
    if (left.empty()) return std::string();
    std::string text = FormatActionRefused(static_cast<int>(left.size()));
    text += "\n";
    const std::size_t shown = std::min(left.size(), maxLines);
    for (std::size_t i = 0; i < shown; ++i) text += "\n" + left[i].first + ": " + left[i].second;
    if (left.size() > shown) text += "\n" + FormatActionLeftMore(static_cast<int>(left.size() - shown));
    return text;
}
