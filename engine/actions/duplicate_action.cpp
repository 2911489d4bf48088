#include "engine/actions/duplicate_action.h"

DuplicateAction::DuplicateAction(DuplicateActionKind kind, ProgressSink* progress)
    : m_progress(progress) {
    m_settings.kind = kind;
    // The trash keeps the bytes on the disk, and no one is told what it freed; the measure
    // would sync the whole file system before and after it (up to 20 times, a second at most,
    // until the figure holds still) while other programs fill it.
    m_parts.measureFreed = kind != DuplicateActionKind::kTrash;
}

ActionOutcome DuplicateAction::Run(const ResultsModel& model, const std::vector<std::size_t>& rows) {
    const ActionPlan plan = Plan(model, rows);
    return ApplyPlan(model, plan, m_progress, m_parts);
}
