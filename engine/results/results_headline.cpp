#include "engine/results/results_headline.h"

#include "engine/results/results_model.h"
#include "engine/search/duplicate_search.h"
#include "engine/text/text_format.h"

ResultsHeadline CountHeadline(const ResultsModel& model) {
    ResultsHeadline headline;
    for (std::size_t row : model.DuplicateRows()) {
        ++headline.goes;
        headline.bytes += model.Row(row).record->m_nSize;
    }
    for (std::size_t row = 0; row < model.RowCount(); ++row) {
        const ResultRow& r = model.Row(row);
        if (r.isProtected && r.StandsHere()) ++headline.protectedFiles;
    }
    return headline;
}

std::string HeadlineText(const ResultsModel& model) {
    if (model.RowCount() == 0) return std::string();
    const ResultsHeadline headline = CountHeadline(model);
    std::string text = FormatDuplicatesSummary(
        headline.goes, FormatSizeText(static_cast<double>(headline.bytes)));
    if (headline.protectedFiles > 0) text += FormatProtectedShare(headline.protectedFiles);
    return text;
}
