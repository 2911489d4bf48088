#include "engine/actions/selection_total.h"

#include "engine/actions/action_plan.h"
#include "engine/search/duplicate_search.h"
#include "engine/text/text_format.h"

SelectionTotal TotalOfSelection(const ResultsModel& model, const std::vector<std::size_t>& rows) {
    // What a move to the trash of the selection would take: the plan says it.
    const ActionPlan plan(model, rows, PlanSettings());
    SelectionTotal total;
    total.selected = plan.Chosen();
    total.goes = plan.Goes();
    total.bytes = plan.Bytes();
    return total;
}

std::string SelectionFreesText(const SelectionTotal& total) {
    return FormatSelectionFrees(total.selected, FormatSizeText(static_cast<double>(total.bytes)));
}
