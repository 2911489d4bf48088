#include "engine/results/results_model.h"

#include <utility>

void ResultsModel::Adopt(std::vector<ResultRow> rows, std::vector<RowGroup> groups) {
    m_rows.swap(rows);
    m_groups.swap(groups);
    m_groupOf.assign(m_rows.size(), 0);
    for (std::size_t g = 0; g < m_groups.size(); ++g) {
        const RowGroup& group = m_groups[g];
        for (std::size_t row = group.begin; row < group.end; ++row) {
            m_groupOf[row] = g;
            m_rows[row].image = row == group.begin     ? kImageGroupFirst
                                : row + 1 == group.end ? kImageGroupLast
                                                       : kImageGroupMiddle;
        }
    }
}

std::size_t ResultsModel::Duplicates(const std::vector<ResultRow>& rows, std::size_t begin,
                                     std::size_t end, const std::vector<char>* removed) {
    std::size_t here = 0;
    bool inCatalog = false;
    for (std::size_t row = begin; row < end; ++row) {
        if (removed != nullptr && (*removed)[row]) continue;
        here += rows[row].StandsHere();
        inCatalog = inCatalog || rows[row].standing == kStandsInCatalog;
    }
    return here > 0 && !inCatalog ? here - 1 : here;
}

void ResultsModel::SetRowIdentity(std::size_t row, const platform::FileIdentity& identity) {
    CFileRecord& record = *m_rows[row].record;
    if (static_cast<std::uint64_t>(record.m_nSize) != identity.size ||
        record.m_ftWrittenUtc != identity.lastWrite)
        return;
    record.m_nDevice = identity.device;
    record.m_nInode = identity.inode;
}

void ResultsModel::SetGroupStanding(std::size_t g, const std::vector<RowStanding>& standing) {
    const RowGroup& group = m_groups[g];
    const std::size_t before = Duplicates(m_rows, group.begin, group.end);
    for (std::size_t k = 0; k < standing.size() && group.begin + k < group.end; ++k)
        m_rows[group.begin + k].standing = standing[k];
    Count(m_rows[group.begin].record->m_nSize, before, Duplicates(m_rows, group.begin, group.end));
}

void ResultsModel::AppendGroup(std::vector<std::unique_ptr<CFileRecord>> files) {
    if (files.size() < 2) return;  // one file is no duplicate
    const std::int64_t size = files.front()->m_nSize;
    const std::size_t first = m_rows.size();
    const std::size_t g = m_groups.size();
    for (std::size_t k = 0; k < files.size(); ++k) {
        ResultRow row;
        row.record = std::move(files[k]);
        row.image = k == 0 ? kImageGroupFirst : kImageGroupMiddle;
        row.showsDetails = k == 0;
        m_rows.push_back(std::move(row));
        m_groupOf.push_back(g);
    }
    m_rows.back().image = kImageGroupLast;
    m_groups.push_back({first, m_rows.size()});
    const std::size_t duplicates = m_rows.size() - first - 1;
    m_nDuplicateCount += static_cast<int>(duplicates);
    m_nDuplicateBytes += size * static_cast<std::int64_t>(duplicates);
}

std::vector<std::size_t> ResultsModel::DuplicateRows() const {
    std::vector<std::size_t> rows;
    for (const RowGroup& group : m_groups) {
        // The copy that stays is the first one here (a catalog's entry stays elsewhere).
        bool kept = false;
        for (std::size_t row = group.begin; row < group.end; ++row) {
            const ResultRow& r = m_rows[row];
            if (r.standing == kStandsInCatalog) kept = true;
            if (!r.StandsHere()) continue;
            if (!kept) {
                kept = true;
                continue;
            }
            if (!r.isProtected && r.replaced == kNotReplaced) rows.push_back(row);
        }
    }
    return rows;
}

bool ResultsModel::Rearrange(const std::vector<std::vector<std::size_t>>& groups,
                             const std::vector<KeepReason>& keptBy) {
    if (groups.size() != keptBy.size()) return false;
    // Every row once, and each new group exactly one old group.
    std::vector<char> seen(m_rows.size(), 0);
    std::size_t total = 0;
    for (const std::vector<std::size_t>& group : groups) {
        if (group.empty() || group.front() >= m_rows.size()) return false;
        const std::size_t g = m_groupOf[group.front()];
        if (group.size() != m_groups[g].Count()) return false;
        for (std::size_t row : group) {
            if (row >= m_rows.size() || seen[row] || m_groupOf[row] != g) return false;
            seen[row] = 1;
        }
        total += group.size();
    }
    if (total != m_rows.size()) return false;

    std::vector<ResultRow> rows;
    std::vector<RowGroup> ranges;
    rows.reserve(m_rows.size());
    ranges.reserve(groups.size());
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const std::size_t begin = rows.size();
        for (std::size_t k = 0; k < groups[g].size(); ++k) {
            rows.push_back(std::move(m_rows[groups[g][k]]));
            ResultRow& row = rows.back();
            row.showsDetails = k == 0;
            row.keptBy = k == 0 ? keptBy[g] : kKeptAsFound;
        }
        ranges.push_back({begin, rows.size()});
    }
    Adopt(std::move(rows), std::move(ranges));
    return true;
}

void ResultsModel::AddToGroups(
    std::vector<std::pair<std::size_t, std::unique_ptr<CFileRecord>>> additions) {
    std::vector<std::vector<std::unique_ptr<CFileRecord>>> added(m_groups.size());
    for (auto& addition : additions)
        if (addition.first < m_rows.size() && addition.second)
            added[m_groupOf[addition.first]].push_back(std::move(addition.second));
    std::vector<ResultRow> rows;
    std::vector<RowGroup> ranges;
    rows.reserve(m_rows.size() + additions.size());
    ranges.reserve(m_groups.size());
    for (std::size_t g = 0; g < m_groups.size(); ++g) {
        const std::size_t begin = rows.size();
        for (std::size_t row = m_groups[g].begin; row < m_groups[g].end; ++row)
            rows.push_back(std::move(m_rows[row]));
        const std::int64_t size = rows.back().record->m_nSize;
        const std::size_t before = added[g].empty() ? 0 : Duplicates(rows, begin, rows.size());
        for (auto& record : added[g]) {
            ResultRow row;
            row.record = std::move(record);
            rows.push_back(std::move(row));
        }
        if (!added[g].empty()) Count(size, before, Duplicates(rows, begin, rows.size()));
        ranges.push_back({begin, rows.size()});
    }
    Adopt(std::move(rows), std::move(ranges));
}

void ResultsModel::RemoveRows(const std::vector<std::size_t>& rows) {
    std::vector<char> removed(m_rows.size(), 0);
    bool any = false;
    for (std::size_t row : rows) {
        if (row >= m_rows.size()) continue;
        removed[row] = 1;
        any = true;
    }
    if (!any) return;

    std::vector<ResultRow> kept;
    std::vector<RowGroup> ranges;
    kept.reserve(m_rows.size());
    for (const RowGroup& group : m_groups) {
        std::size_t survivors = 0;
        for (std::size_t k = group.begin; k < group.end; ++k) survivors += removed[k] ? 0 : 1;
        const std::int64_t size = m_rows[group.begin].record->m_nSize;
        Count(size, Duplicates(m_rows, group.begin, group.end),
              survivors >= 2 ? Duplicates(m_rows, group.begin, group.end, &removed) : 0);
        if (survivors < 2) continue;  // a file alone has no duplicate: its row goes too
        const std::size_t firstKept = kept.size();
        for (std::size_t k = group.begin; k < group.end; ++k)
            if (!removed[k]) kept.push_back(std::move(m_rows[k]));
        // Size, CRC and checksum are the group's: the new first row shows them.
        kept[firstKept].showsDetails = true;
        ranges.push_back({firstKept, kept.size()});
    }
    Adopt(std::move(kept), std::move(ranges));
}

void ResultsModel::Clear() {
    m_rows.clear();
    m_groups.clear();
    m_groupOf.clear();
    m_nDuplicateCount = 0;
    m_nDuplicateBytes = 0;
    m_catalogName.clear();
}
