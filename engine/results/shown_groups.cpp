#include "engine/results/shown_groups.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <vector>

#include "engine/results/group_order.h"
#include "engine/search/mask_list.h"

namespace {

std::string AsciiLower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

}  // namespace

void ShownGroups::Remember(const ResultsModel& model) {
    m_place.clear();
    m_place.reserve(model.RowCount());
    for (std::size_t row = 0; row < model.RowCount(); ++row)
        m_place[model.Row(row).record.get()] = model.GroupOf(row);
}

void ShownGroups::SetText(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    const std::size_t last = text.find_last_not_of(" \t");
    m_text = first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
    m_lower = AsciiLower(m_text);
    m_bMask = m_text.find_first_of("*?") != std::string::npos;
}

bool ShownGroups::Matches(const ResultsModel& model, std::size_t g) const {
    MaskList masks;
    if (m_bMask) masks.Build(m_text);
    return Matches(model, g, masks);
}

bool ShownGroups::Matches(const ResultsModel& model, std::size_t g, MaskList& masks) const {
    if (m_text.empty()) return true;
    const RowGroup& group = model.Group(g);
    for (std::size_t row = group.begin; row < group.end; ++row) {
        const std::string path = model.Row(row).record->Path();
        if (m_bMask ? masks.IsAdmitted(path) : AsciiLower(path).find(m_lower) != std::string::npos)
            return true;
    }
    return false;
}

void ShownGroups::Arrange(ResultsModel& model, bool filter) {
    const std::size_t groups = model.GroupCount();
    // A group's place is the least of its rows' (a row put back by an undo has none).
    constexpr std::size_t kUnknown = std::numeric_limits<std::size_t>::max();
    std::vector<std::size_t> place(groups, kUnknown);
    for (std::size_t row = 0; row < model.RowCount(); ++row) {
        const auto found = m_place.find(model.Row(row).record.get());
        if (found == m_place.end()) continue;
        std::size_t& p = place[model.GroupOf(row)];
        p = std::min(p, found->second);
    }
    std::vector<char> shown(groups, 1);
    if (filter && !m_text.empty()) {
        MaskList masks;
        if (m_bMask) masks.Build(m_text);
        for (std::size_t g = 0; g < groups; ++g) shown[g] = Matches(model, g, masks) ? 1 : 0;
    }
    std::vector<std::size_t> order(groups);
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (shown[a] != shown[b]) return shown[a] > shown[b];
        return place[a] < place[b];
    });
    bool moves = false;
    for (std::size_t k = 0; k < groups && !moves; ++k) moves = order[k] != k;
    if (moves) ArrangeGroups(model, order);
    m_nShownGroups = 0;
    m_nShownRows = 0;
    for (std::size_t g = 0; g < groups; ++g) {
        if (!shown[order[g]]) break;
        ++m_nShownGroups;
        m_nShownRows = model.Group(g).end;
    }
}

std::unique_ptr<ResultsModel> CopyOfFirstRows(const ResultsModel& model, std::size_t rows) {
    auto copy = std::make_unique<ResultsModel>();
    for (std::size_t g = 0; g < model.GroupCount() && model.Group(g).end <= rows; ++g) {
        const RowGroup& group = model.Group(g);
        std::vector<std::unique_ptr<CFileRecord>> files;
        std::vector<RowStanding> standing;
        for (std::size_t row = group.begin; row < group.end; ++row) {
            files.push_back(std::make_unique<CFileRecord>(*model.Row(row).record));
            standing.push_back(model.Row(row).standing);
        }
        const std::size_t begin = copy->RowCount();
        copy->AppendGroup(std::move(files));
        copy->SetGroupStanding(copy->GroupCount() - 1, standing);
        for (std::size_t row = group.begin; row < group.end; ++row) {
            const ResultRow& r = model.Row(row);
            const std::size_t to = begin + (row - group.begin);
            copy->SetProtected(to, r.isProtected);
            copy->SetKeptBy(to, r.keptBy);
            copy->SetReplaced(to, r.replaced);
        }
    }
    copy->SetSearchTime(model.SearchTime());
    copy->SetCatalogName(model.CatalogName());
    return copy;
}
