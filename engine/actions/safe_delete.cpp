#include "engine/actions/safe_delete.h"

#include <algorithm>
#include <map>

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

std::string FilesLeftText(const std::vector<std::pair<std::string, std::string>>& left,
                          std::size_t maxLines, const std::function<std::string(int)>& more) {
    static const int kExpected[] = {IDS_DELETE_PROTECTED, IDS_DELETE_LAST_COPY, IDS_FILE_REPLACED,
                                    IDS_ONLY_IN_CATALOG};
    const auto expected = [](const std::string& why) {
        for (int id : kExpected)
            if (why == LoadStringText(id)) return true;
        return false;
    };
    // The reasons in the order first met, the unexpected ones first.
    std::vector<std::string> reasons;
    std::map<std::string, std::vector<std::string>> paths;
    for (const auto& file : left) {
        std::vector<std::string>& of = paths[file.second];
        if (of.empty()) reasons.push_back(file.second);
        of.push_back(file.first);
    }
    std::stable_partition(reasons.begin(), reasons.end(),
                          [&](const std::string& why) { return !expected(why); });
    std::string text;
    std::size_t budget = maxLines, hidden = 0;
    for (const std::string& why : reasons) {
        const std::vector<std::string>& of = paths[why];
        const std::size_t shown = std::min(of.size(), budget);
        budget -= shown;
        hidden += of.size() - shown;
        if (shown == 0) continue;
        if (of.size() == 1) {
            text += "\n" + of[0] + ": " + why;
            continue;
        }
        text += "\n" + FormatReasonGroup(why, static_cast<int>(of.size()));
        for (std::size_t i = 0; i < shown; ++i) text += "\n    " + of[i];
    }
    if (hidden > 0) text += "\n" + more(static_cast<int>(hidden));
    return text;
}

std::string KeptFilesMessage(const std::vector<std::pair<std::string, std::string>>& kept,
                             std::size_t maxLines) {
    if (kept.empty()) return std::string();
    return LoadStringText(IDS_DELETE_KEPT_HEADING) + std::string("\n") +
           FilesLeftText(kept, maxLines, FormatDeleteKeptMore);
}
