#include "engine/results/row_marking.h"

#include <limits>

#include "engine/search/mask_list.h"

namespace {
constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();
}  // namespace

RowMarking::RowMarking(const ResultsModel& model, std::size_t shownRows)
    : m_model(model), m_nRows(shownRows < model.RowCount() ? shownRows : model.RowCount()) {
    // The filter shows whole groups, so the shown rows end where a group ends.
    m_nGroups = m_nRows == 0 ? 0 : model.GroupOf(m_nRows - 1) + 1;
}

bool RowMarking::Selectable(std::size_t row) const {
    if (row >= m_nRows) return false;
    const ResultRow& r = m_model.Row(row);
    return r.StandsHere() && !r.isProtected;
}

bool RowMarking::InFolder(const std::string& path, const std::string& folder) {
    if (folder.empty() || path.size() <= folder.size() || path.compare(0, folder.size(), folder) != 0)
        return false;
    // "/a/b" holds "/a/b/c", not "/a/bc".
    const auto separator = [](char c) { return c == '/' || c == '\\'; };
    return separator(folder.back()) || separator(path[folder.size()]);
}

std::vector<char> RowMarking::Marks(const std::vector<std::size_t>& selected) const {
    std::vector<char> marked(m_nRows, 0);
    for (std::size_t row : selected)
        if (row < m_nRows) marked[row] = 1;
    return marked;
}

RowMarking::Result RowMarking::Finish(std::vector<char>& marked,
                                      const std::vector<std::size_t>* kept) const {
    Result result;
    for (std::size_t g = 0; g < m_nGroups; ++g) {
        const RowGroup& group = m_model.Group(g);
        std::size_t here = 0, chosen = 0, firstHere = kNone;
        bool inCatalog = false;
        for (std::size_t row = group.begin; row < group.end; ++row) {
            const ResultRow& r = m_model.Row(row);
            inCatalog = inCatalog || r.standing == kStandsInCatalog;
            if (!r.StandsHere()) continue;
            if (firstHere == kNone) firstHere = row;
            ++here;
            chosen += marked[row] ? 1 : 0;
        }
        // A catalog's entry stands for a copy elsewhere: every file here may go.
        if (inCatalog || here == 0 || chosen < here) continue;
        const std::size_t keep = kept != nullptr && (*kept)[g] != kNone ? (*kept)[g] : firstHere;
        marked[keep] = 0;
        ++result.heldBack;
    }
    for (std::size_t row = 0; row < m_nRows; ++row)
        if (marked[row]) result.rows.push_back(row);
    return result;
}

RowMarking::Result RowMarking::Invert(const std::vector<std::size_t>& selected) const {
    std::vector<char> marked = Marks(selected);
    for (std::size_t row = 0; row < m_nRows; ++row)
        marked[row] = marked[row] ? 0 : (Selectable(row) ? 1 : 0);
    return Finish(marked, nullptr);
}

RowMarking::Result RowMarking::MarkFolder(const std::vector<std::size_t>& selected,
                                          const std::string& folder, bool select) const {
    std::vector<char> marked = Marks(selected);
    for (std::size_t row = 0; row < m_nRows; ++row) {
        if (!InFolder(m_model.Row(row).record->Path(), folder)) continue;
        if (!select) marked[row] = 0;
        else if (Selectable(row)) marked[row] = 1;
    }
    return Finish(marked, nullptr);
}

RowMarking::Result RowMarking::MarkMask(const std::vector<std::size_t>& selected,
                                        const std::string& mask) const {
    std::vector<char> marked = Marks(selected);
    MaskList masks;
    masks.Build(mask);
    for (std::size_t row = 0; row < m_nRows; ++row)
        if (Selectable(row) && masks.IsAdmitted(m_model.Row(row).record->Path())) marked[row] = 1;
    return Finish(marked, nullptr);
}

RowMarking::Result RowMarking::AllBut(Keep keep, const std::string& folder) const {
    std::vector<char> marked(m_nRows, 0);
    std::vector<std::size_t> kept(m_nGroups, kNone);
    for (std::size_t g = 0; g < m_nGroups; ++g) {
        const RowGroup& group = m_model.Group(g);
        std::size_t keeps = kNone;
        for (std::size_t row = group.begin; row < group.end; ++row) {
            const ResultRow& r = m_model.Row(row);
            if (!r.StandsHere()) continue;
            if (keep == kInFolder) {
                if (InFolder(r.record->Path(), folder)) {
                    keeps = row;
                    break;
                }
                continue;
            }
            if (keeps == kNone) {
                keeps = row;
                continue;
            }
            const platform::FileTime time = r.record->m_ftWrittenUtc;
            const platform::FileTime best = m_model.Row(keeps).record->m_ftWrittenUtc;
            if (keep == kNewest ? time > best : time < best) keeps = row;
        }
        if (keeps == kNone) continue;  // nothing to keep by this criterion: the group is left
        kept[g] = keeps;
        for (std::size_t row = group.begin; row < group.end; ++row)
            if (row != keeps && Selectable(row)) marked[row] = 1;
    }
    return Finish(marked, &kept);
}

RowMarking::Result RowMarking::UnmarkProtected(const std::vector<std::size_t>& selected) const {
    std::vector<char> marked = Marks(selected);
    for (std::size_t row = 0; row < m_nRows; ++row)
        if (m_model.Row(row).isProtected) marked[row] = 0;
    return Finish(marked, nullptr);
}
