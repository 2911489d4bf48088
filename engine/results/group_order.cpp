#include "engine/results/group_order.h"

#include <algorithm>
#include <numeric>

namespace {

const struct {
    SortKey key;
    const char* word;
} kSortWords[] = {{SortKey::kPath, "path"},   {SortKey::kDate, "date"},
                  {SortKey::kSize, "size"},   {SortKey::kCount, "count"},
                  {SortKey::kFreed, "freed"}};

// Paths compare by letter without regard to ASCII case, then byte for byte.
int ComparePaths(const std::string& a, const std::string& b) {
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y) return x < y ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

}  // namespace

GroupSort NextSort(const GroupSort& current, SortKey key) {
    GroupSort next;
    next.key = key;
    if (key == SortKey::kNone) return next;
    next.descending = current.key == key ? !current.descending : key != SortKey::kPath;
    return next;
}

std::int64_t FreedBytes(const ResultsModel& model, std::size_t g) {
    const RowGroup& group = model.Group(g);
    std::int64_t here = 0;
    bool inCatalog = false;
    for (std::size_t row = group.begin; row < group.end; ++row) {
        here += model.Row(row).StandsHere() ? 1 : 0;
        inCatalog = inCatalog || model.Row(row).standing == kStandsInCatalog;
    }
    const std::int64_t goes = here > 0 && !inCatalog ? here - 1 : here;
    return goes * model.Row(group.begin).record->m_nSize;
}

std::vector<std::size_t> SortedGroups(const ResultsModel& model, const GroupSort& sort) {
    std::vector<std::size_t> order(model.GroupCount());
    std::iota(order.begin(), order.end(), std::size_t{0});
    if (sort.key == SortKey::kNone) return order;
    // One key per group, taken once: a comparison reads no record.
    std::vector<std::int64_t> number;
    std::vector<std::string> path;
    if (sort.key == SortKey::kPath) {
        path.resize(order.size());
        for (std::size_t g = 0; g < order.size(); ++g)
            path[g] = model.Row(model.Group(g).begin).record->Path();
    } else {
        number.resize(order.size());
        for (std::size_t g = 0; g < order.size(); ++g) {
            const RowGroup& group = model.Group(g);
            switch (sort.key) {
                case SortKey::kDate: {
                    platform::FileTime newest = model.Row(group.begin).record->m_ftWrittenUtc;
                    for (std::size_t row = group.begin + 1; row < group.end; ++row)
                        newest = std::max(newest, model.Row(row).record->m_ftWrittenUtc);
                    number[g] = static_cast<std::int64_t>(newest);
                    break;
                }
                case SortKey::kSize: number[g] = model.Row(group.begin).record->m_nSize; break;
                case SortKey::kCount: number[g] = static_cast<std::int64_t>(group.Count()); break;
                default: number[g] = FreedBytes(model, g); break;
            }
        }
    }
    const bool down = sort.descending;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (!path.empty()) {
            const int c = ComparePaths(path[a], path[b]);
            return down ? c > 0 : c < 0;
        }
        return down ? number[a] > number[b] : number[a] < number[b];
    });
    return order;
}

bool ArrangeGroups(ResultsModel& model, const std::vector<std::size_t>& order) {
    if (order.size() != model.GroupCount()) return false;
    std::vector<std::vector<std::size_t>> groups;
    std::vector<KeepReason> keptBy;
    groups.reserve(order.size());
    keptBy.reserve(order.size());
    for (std::size_t g : order) {
        if (g >= model.GroupCount()) return false;
        const RowGroup& group = model.Group(g);
        std::vector<std::size_t> rows(group.Count());
        std::iota(rows.begin(), rows.end(), group.begin);
        groups.push_back(std::move(rows));
        keptBy.push_back(model.Row(group.begin).keptBy);
    }
    return model.Rearrange(groups, keptBy);
}

void SortGroups(ResultsModel& model, const GroupSort& sort) {
    if (sort.key == SortKey::kNone) return;
    ArrangeGroups(model, SortedGroups(model, sort));
}

std::string SortSettingText(const GroupSort& sort) {
    for (const auto& word : kSortWords)
        if (word.key == sort.key) return std::string(word.word) + (sort.descending ? " desc" : " asc");
    return std::string();
}

GroupSort ParseSortSetting(const std::string& text) {
    GroupSort sort;
    const std::size_t space = text.find(' ');
    const std::string word = text.substr(0, space);
    const std::string direction = space == std::string::npos ? "asc" : text.substr(space + 1);
    if (direction != "asc" && direction != "desc") return sort;
    for (const auto& entry : kSortWords) {
        if (word == entry.word) {
            sort.key = entry.key;
            sort.descending = direction == "desc";
        }
    }
    return sort;
}
