#include "engine/selection_total.h"

#include <algorithm>

#include "engine/duplicate_search.h"
#include "engine/text_format.h"

SelectionTotal TotalOfSelection(const ResultsModel& model, const std::vector<std::size_t>& rows) {
    SelectionTotal total;
    std::vector<std::size_t> chosen;
    chosen.reserve(rows.size());
    for (std::size_t row : rows)
        if (row < model.RowCount()) chosen.push_back(row);
    std::sort(chosen.begin(), chosen.end());
    chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
    total.selected = static_cast<int>(chosen.size());
    const std::size_t n = model.RowCount();
    for (std::size_t i = 0; i < chosen.size();) {
        // The group of chosen[i]: back to its first row, on to its end.
        std::size_t begin = chosen[i];
        while (begin > 0 && model.Row(begin).image != kImageGroupFirst) --begin;
        std::size_t end = chosen[i] + 1;
        while (end < n && model.Row(end).image != kImageGroupFirst) ++end;
        int goes = 0;
        bool anyStays = false;
        for (std::size_t row = begin; row < end; ++row) {
            const bool isChosen = i < chosen.size() && chosen[i] == row;
            if (isChosen) ++i;
            if (isChosen && !model.Row(row).isProtected) ++goes;
            else anyStays = true;
        }
        if (!anyStays && goes > 0) --goes;  // the last copy stays
        total.goes += goes;
        total.bytes += model.Row(begin).record->m_nSize * goes;
    }
    return total;
}

std::string SelectionFreesText(const SelectionTotal& total) {
    return FormatSelectionFrees(total.selected, FormatSizeText(static_cast<double>(total.bytes)));
}
