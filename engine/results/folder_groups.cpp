#include "engine/results/folder_groups.h"

#include <algorithm>
#include <functional>
#include <unordered_map>
#include <unordered_set>

#include "platform/file_find.h"

namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

std::uint64_t Mix(std::uint64_t x) {
    // A 64-bit finaliser: neighbouring inputs land far apart, so that a sum of them stands for
    // the set they came from.
    x ^= x >> 33;
    x *= 0xff51afd7ed558ccdULL;
    x ^= x >> 33;
    x *= 0xc4ceb9fe1a85ec53ULL;
    x ^= x >> 33;
    return x;
}

std::uint64_t TextHash(const char* text, std::size_t length) {
    std::uint64_t h = 1469598103934665603ULL;
    for (std::size_t k = 0; k < length; ++k) {
        h ^= static_cast<unsigned char>(text[k]);
        h *= 1099511628211ULL;
    }
    return Mix(h);
}

// The folder of `path` (ending in a separator), or "" at the top.
std::string ParentOf(const std::string& folder) {
    if (folder.size() < 2) return std::string();
    std::size_t at = folder.size() - 1;  // its own separator
    while (at > 0 && !platform::IsPathSeparator(folder[at - 1])) --at;
    return at == 0 ? std::string() : folder.substr(0, at);
}

// The last name of `folder` (which ends in a separator).
std::string LastNameOf(const std::string& folder) {
    const std::string parent = ParentOf(folder);
    return folder.substr(parent.size(), folder.size() - parent.size() - 1);
}

struct Folder {
    std::size_t parent = kNone;
    std::uint64_t nameHash = 0;  // of its last name
    bool whole = true;           // it and everything below it seen whole
    std::uint32_t total = 0;     // records below it
    std::uint32_t grouped = 0;   // rows here below it
    std::int64_t bytes = 0;
    platform::FileTime newest = 0;
    std::uint64_t sum = 0;  // the sum of its files' keys: names below it and groups
    std::size_t firstRow = kNone;
};

}  // namespace

FolderFindings FindFolderGroups(const ResultsModel& model, const std::vector<FolderSeen>& seen,
                                bool ignoreNames) {
    FolderFindings out;
    // The folders, each by its path, with their parents; a folder the walk did not enter but
    // whose subfolder it did (above a start path) is no folder of the search.
    std::vector<Folder> folders(seen.size());
    std::unordered_map<std::string, std::size_t> index;
    index.reserve(seen.size());
    for (std::size_t f = 0; f < seen.size(); ++f) index.emplace(seen[f].path, f);
    for (std::size_t f = 0; f < seen.size(); ++f) {
        const auto parent = index.find(ParentOf(seen[f].path));
        folders[f].parent = parent != index.end() && parent->second != f ? parent->second : kNone;
        const std::string name = LastNameOf(seen[f].path);
        folders[f].nameHash = TextHash(name.data(), name.size());
        folders[f].whole = seen[f].whole;
        folders[f].total = seen[f].files;
    }
    // Totals from the bottom up: the walk lists a folder before those below it.
    for (std::size_t f = seen.size(); f-- > 0;) {
        const std::size_t p = folders[f].parent;
        if (p == kNone) continue;
        folders[p].total += folders[f].total;
        folders[p].whole = folders[p].whole && folders[f].whole;
    }
    // Each row here adds its key to every folder above it: the name below the folder (left out
    // when names are ignored) and the group.
    // Each row's folder, looked up once (rows of one folder follow one another mostly).
    std::vector<std::size_t> folderOf(model.RowCount(), kNone);
    std::size_t last = kNone;
    const std::string* lastFolder = nullptr;
    for (std::size_t row = 0; row < model.RowCount(); ++row) {
        const ResultRow& r = model.Row(row);
        if (!r.StandsHere()) continue;
        const CFileRecord& record = *r.record;
        if (lastFolder == nullptr || *lastFolder != record.Folder()) {
            const auto at = index.find(record.Folder());
            last = at != index.end() ? at->second : kNone;
            lastFolder = &record.Folder();
        }
        folderOf[row] = last;
        const std::uint64_t group = Mix(model.GroupOf(row) + 0x9E3779B97F4A7C15ULL);
        const std::string name = record.Name();
        std::uint64_t below = TextHash(name.data(), name.size());
        for (std::size_t f = last; f != kNone; f = folders[f].parent) {
            Folder& folder = folders[f];
            ++folder.grouped;
            folder.bytes += record.m_nSize;
            folder.newest = std::max(folder.newest, record.m_ftWritten);
            folder.sum += Mix(ignoreNames ? group : group ^ below);
            if (folder.firstRow == kNone) folder.firstRow = row;
            below = Mix(below * 31 + folder.nameHash);
        }
    }
    const auto qualifies = [&](std::size_t f) {
        return folders[f].whole && folders[f].total > 0 && folders[f].grouped == folders[f].total;
    };
    const auto inside = [&](std::size_t inner, std::size_t outer) {
        for (std::size_t f = folders[inner].parent; f != kNone; f = folders[f].parent)
            if (f == outer) return true;
        return false;
    };
    // Folders of one count, size and key sum are candidates; their files are then compared
    // one by one, since a sum can meet another by chance.
    struct Key {
        std::uint32_t total;
        std::int64_t bytes;
        std::uint64_t sum;
        bool operator==(const Key& o) const {
            return total == o.total && bytes == o.bytes && sum == o.sum;
        }
    };
    struct KeyHash {
        std::size_t operator()(const Key& k) const {
            return static_cast<std::size_t>(k.sum ^ Mix(k.total + static_cast<std::uint64_t>(k.bytes)));
        }
    };
    std::unordered_map<Key, std::vector<std::size_t>, KeyHash> candidates;
    for (std::size_t f = 0; f < folders.size(); ++f)
        if (qualifies(f)) candidates[{folders[f].total, folders[f].bytes, folders[f].sum}].push_back(f);
    // What each candidate folder holds, exactly: its files' names below it (or none) and groups.
    std::unordered_map<std::size_t, std::vector<std::pair<std::string, std::size_t>>> contents;
    for (const auto& entry : candidates)
        if (entry.second.size() >= 2)
            for (std::size_t f : entry.second) contents[f];
    if (!contents.empty()) {
        for (std::size_t row = 0; row < model.RowCount(); ++row) {
            const ResultRow& r = model.Row(row);
            for (std::size_t f = folderOf[row]; f != kNone; f = folders[f].parent) {
                const auto held = contents.find(f);
                if (held == contents.end()) continue;
                const std::string path = r.record->Path();
                held->second.emplace_back(ignoreNames ? std::string() : path.substr(seen[f].path.size()),
                                          model.GroupOf(row));
            }
        }
        for (auto& entry : contents) std::sort(entry.second.begin(), entry.second.end());
    }
    std::vector<std::vector<std::size_t>> groups;
    for (const auto& entry : candidates) {
        if (entry.second.size() < 2) continue;
        std::vector<char> placed(entry.second.size(), 0);
        for (std::size_t a = 0; a < entry.second.size(); ++a) {
            if (placed[a]) continue;
            std::vector<std::size_t> group = {entry.second[a]};
            for (std::size_t b = a + 1; b < entry.second.size(); ++b) {
                const std::size_t fa = entry.second[a], fb = entry.second[b];
                if (placed[b] || inside(fa, fb) || inside(fb, fa)) continue;
                if (contents[fa] != contents[fb]) continue;
                // A folder and one inside another member hold the same files: not a copy.
                bool nested = false;
                for (std::size_t g : group) nested = nested || inside(fb, g) || inside(g, fb);
                if (nested) continue;
                placed[b] = 1;
                group.push_back(fb);
            }
            if (group.size() >= 2) groups.push_back(std::move(group));
        }
    }
    // The largest folder that qualifies: a group whose every folder lies in a folder of
    // another group is that group's already.
    std::unordered_set<std::size_t> grouped;
    for (const auto& group : groups)
        for (std::size_t f : group) grouped.insert(f);
    for (auto& group : groups) {
        bool covered = true;
        for (std::size_t f : group) {
            bool in = false;
            for (std::size_t p = folders[f].parent; p != kNone && !in; p = folders[p].parent)
                in = grouped.count(p) != 0;
            covered = covered && in;
        }
        if (covered) continue;
        std::sort(group.begin(), group.end(), [&](std::size_t a, std::size_t b) {
            return folders[a].firstRow < folders[b].firstRow;
        });
        FolderGroup listed;
        for (std::size_t f : group) listed.folders.push_back(seen[f].path);
        listed.files = folders[group.front()].total;
        listed.bytes = folders[group.front()].bytes;
        listed.newest = folders[group.front()].newest;
        out.identical.push_back(std::move(listed));
    }
    std::sort(out.identical.begin(), out.identical.end(), [](const FolderGroup& a, const FolderGroup& b) {
        return a.bytes != b.bytes ? a.bytes > b.bytes : a.folders.front() < b.folders.front();
    });

    // Contained: every file of the folder has a copy outside it. Counted per group, for the
    // folders that qualify only.
    std::vector<std::size_t> here(model.GroupCount(), 0);
    for (std::size_t row = 0; row < model.RowCount(); ++row)
        if (model.Row(row).StandsHere()) ++here[model.GroupOf(row)];
    std::vector<char> contained(folders.size(), 0);
    for (std::size_t f = 0; f < folders.size(); ++f)
        contained[f] = qualifies(f) && grouped.count(f) == 0 ? 1 : 0;
    // Per folder: how many of each group's rows lie below it.
    std::unordered_map<std::size_t, std::unordered_map<std::size_t, std::size_t>> within;
    for (std::size_t row = 0; row < model.RowCount(); ++row)
        for (std::size_t f = folderOf[row]; f != kNone; f = folders[f].parent)
            if (contained[f]) ++within[f][model.GroupOf(row)];
    for (const auto& entry : within)
        for (const auto& group : entry.second)
            if (group.second >= here[group.first]) contained[entry.first] = 0;
    for (std::size_t f = 0; f < folders.size(); ++f) {
        if (!contained[f]) continue;
        // The largest: one inside a contained folder (or a grouped one) is that one's.
        bool covered = false;
        for (std::size_t p = folders[f].parent; p != kNone && !covered; p = folders[p].parent)
            covered = contained[p] != 0 || grouped.count(p) != 0;
        if (covered) continue;
        ContainedFolder listed;
        listed.folder = seen[f].path;
        listed.files = folders[f].total;
        listed.bytes = folders[f].bytes;
        std::unordered_map<std::string, std::uint32_t> holders;
        std::vector<std::size_t> touched;
        for (const auto& group : within[f]) touched.push_back(group.first);
        std::sort(touched.begin(), touched.end());
        for (std::size_t g : touched) {
            const RowGroup& rows = model.Group(g);
            std::vector<std::size_t> mine, others;
            for (std::size_t row = rows.begin; row < rows.end; ++row) {
                if (!model.Row(row).StandsHere()) continue;
                const std::string& folder = model.Row(row).record->Folder();
                const bool below = folder.compare(0, listed.folder.size(), listed.folder) == 0;
                (below ? mine : others).push_back(row);
            }
            std::unordered_set<std::string> places;
            for (std::size_t row : others) places.insert(model.Row(row).record->Folder());
            for (std::size_t row : mine) {
                listed.copies.emplace_back(row, others.front());
                for (const std::string& place : places) ++holders[place];
            }
        }
        listed.holders.assign(holders.begin(), holders.end());
        std::sort(listed.holders.begin(), listed.holders.end(),
                  [](const auto& a, const auto& b) {
                      return a.second != b.second ? a.second > b.second : a.first < b.first;
                  });
        std::sort(listed.copies.begin(), listed.copies.end());
        out.contained.push_back(std::move(listed));
    }
    std::sort(out.contained.begin(), out.contained.end(),
              [](const ContainedFolder& a, const ContainedFolder& b) {
                  return a.bytes != b.bytes ? a.bytes > b.bytes : a.folder < b.folder;
              });
    return out;
}
