#include "engine/results/found_order.h"

#include <algorithm>
#include <vector>

void FoundOrder::Remember(const ResultsModel& model) {
    m_rank.clear();
    m_rank.reserve(model.RowCount());
    for (std::size_t row = 0; row < model.RowCount(); ++row) m_rank[model.Row(row).record.get()] = row;
}

std::size_t FoundOrder::RankOf(const CFileRecord* record) const {
    const auto found = m_rank.find(record);
    return found != m_rank.end() ? found->second : static_cast<std::size_t>(-1);
}

void FoundOrder::Reapply(const KeepPolicy& policy, ResultsModel& model) const {
    const std::vector<RowGroup> groups = model.Groups();
    std::vector<std::vector<std::size_t>> ordered(groups.size());
    std::vector<std::size_t> first(groups.size());
    for (std::size_t g = 0; g < groups.size(); ++g) {
        std::vector<std::size_t>& rows = ordered[g];
        for (std::size_t row = groups[g].begin; row < groups[g].end; ++row) rows.push_back(row);
        std::stable_sort(rows.begin(), rows.end(), [&](std::size_t a, std::size_t b) {
            return RankOf(model.Row(a).record.get()) < RankOf(model.Row(b).record.get());
        });
        first[g] = RankOf(model.Row(rows.front()).record.get());
    }
    std::vector<std::size_t> order(groups.size());
    for (std::size_t g = 0; g < order.size(); ++g) order[g] = g;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return first[a] < first[b]; });
    std::vector<std::vector<std::size_t>> newGroups;
    newGroups.reserve(order.size());
    for (std::size_t g : order) newGroups.push_back(std::move(ordered[g]));
    model.Rearrange(newGroups, std::vector<KeepReason>(newGroups.size(), kKeptAsFound));
    for (std::size_t row = 0; row < model.RowCount(); ++row) model.SetProtected(row, false);
    ApplyKeepPolicy(policy, model);
}
