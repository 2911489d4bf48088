#include "engine/actions/safe_delete.h"

#include <algorithm>

#include "engine/text/string_table.h"
#include "engine/text/text_format.h"

SafeDelete::SafeDelete(ProgressSink* progress, Deleter deleter) : m_pProgress(progress) {
    m_default = [deleter](platform::HeldFile& file, const platform::HeldFile::Confirm& confirm) {
        const int checked = confirm ? confirm() : 0;
        if (checked != 0) return checked;
        return deleter && deleter({file.Path()}).empty() ? 0 : -1;
    };
    m_parts.remover = m_default;
}

SafeDelete::SafeDelete(ProgressSink* progress, bool toTrash)
    : m_pProgress(progress), m_toTrash(toTrash) {
    m_default = [toTrash](platform::HeldFile& file, const platform::HeldFile::Confirm& confirm) {
        return file.Remove(toTrash, confirm);
    };
    m_parts.remover = m_default;
}

PlanSettings SafeDelete::Settings() const {
    PlanSettings settings;
    settings.kind = m_toTrash ? DuplicateActionKind::kTrash : DuplicateActionKind::kDelete;
    settings.protectedFolders = m_protected;
    settings.startPaths = m_startPaths;
    settings.removeEmptiedFolders = m_removeEmptied;
    return settings;
}

DeleteOutcome SafeDelete::Apply(const ResultsModel& model, const ActionPlan& plan) {
    m_leftovers = SettleLeftovers();
    return DeleteOutcomeOf(ApplyPlan(model, plan, m_pProgress, m_parts));
}

DeleteOutcome SafeDelete::Run(const ResultsModel& model, const std::vector<std::size_t>& rows) {
    return Apply(model, ActionPlan(model, rows, Settings()));
}

DeleteOutcome SafeDelete::RunFolders(const ResultsModel& model,
                                     const std::vector<std::string>& folders) {
    return Apply(model, ActionPlan(model, folders, Settings()));
}

DeleteOutcome DeleteOutcomeOf(const ActionOutcome& outcome) {
    DeleteOutcome out;
    out.kept = outcome.refused;
    out.stopped = outcome.stopped;
    out.removedFolders = outcome.removedFolders;
    for (const ActionStep& step : outcome.done) {
        out.goneRows.push_back(step.row);
        if (step.trashed) out.trashed.emplace_back(step.row, step.trash);
    }
    std::sort(out.goneRows.begin(), out.goneRows.end());
    return out;
}

std::string KeptFilesMessage(const std::vector<std::pair<std::string, std::string>>& kept,
                             std::size_t maxLines) {
    if (kept.empty()) return std::string();
    std::string text = LoadStringText(IDS_DELETE_KEPT_HEADING);
    text += "\n";
    const std::size_t shown = std::min(kept.size(), maxLines);
    for (std::size_t i = 0; i < shown; ++i) text += "\n" + kept[i].first + ": " + kept[i].second;
    if (kept.size() > shown) {
        text += "\n";
        text += FormatDeleteKeptMore(static_cast<int>(kept.size() - shown));
    }
    return text;
}
