#include "engine/actions/duplicate_action.h"

DuplicateAction::DuplicateAction(DuplicateActionKind kind, ProgressSink* progress)
    : m_progress(progress) {
    m_settings.kind = kind;
    m_parts.measureFreed = true;
}

ActionOutcome DuplicateAction::Run(const ResultsModel& model, const std::vector<std::size_t>& rows) {
    const ActionPlan plan = Plan(model, rows);
    return ApplyPlan(model, plan, m_progress, m_parts);
}
