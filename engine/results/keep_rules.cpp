#include "engine/results/keep_rules.h"

#include <algorithm>
#include <memory>

#include "engine/search/mask_list.h"
#include "engine/results/keep_rule_names.h"
#include "engine/text/string_table.h"
#include "engine/text/text_helpers.h"
#include "platform/file_find.h"
#include "platform/file_metadata.h"
#include "platform/path_forms.h"

namespace {

bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }

std::string AsciiLowerCase(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

bool StartsWith(const std::string& text, const std::string& start) {
    return text.size() >= start.size() && text.compare(0, start.size(), start) == 0;
}

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

bool IsBlankOrDash(char c) { return c == ' ' || c == '_' || c == '-' || c == '\t'; }

std::string TrimEnd(std::string text) {
    while (!text.empty() && IsBlankOrDash(text.back())) text.pop_back();
    return text;
}

std::string TrimSpaces(const std::string& text) {
    std::size_t begin = 0, end = text.size();
    while (begin < end && text[begin] == ' ') ++begin;
    while (end > begin && text[end - 1] == ' ') --end;
    return text.substr(begin, end - begin);
}

// The words that mark a copy: the English ones, and those of the table (Chinese).
const std::vector<std::string>& MarkWords() {
    static const std::vector<std::string> words = [] {
        std::vector<std::string> list = {"copy", "backup"};
        std::vector<std::string> table;
        SplitString(LoadStringText(IDS_COPY_MARK_WORDS), table, ";");
        for (std::string& word : table)
            if (!word.empty()) list.push_back(word);
        return list;
    }();
    return words;
}

// A word of a script written without blanks (Chinese) needs no separator before it.
bool NeedsNoSeparator(const std::string& word) {
    return !word.empty() && static_cast<unsigned char>(word[0]) >= 0x80;
}

// `text` (lower-case) without trailing blanks and a number after a blank or "_" ("copy 2").
std::string WithoutTrailingNumber(const std::string& text) {
    std::size_t end = text.size();
    while (end > 0 && IsAsciiDigit(text[end - 1])) --end;
    if (end == text.size() || end == 0 || !(text[end - 1] == ' ' || text[end - 1] == '_'))
        return text;
    return TrimEnd(text.substr(0, end));
}

// True when `text` ends with a mark word that stands as a word of its own; with
// `aloneAllowed`, the word alone counts too ("(copy)").
bool EndsWithMarkWord(const std::string& text, bool aloneAllowed) {
    for (const std::string& word : MarkWords()) {
        if (!EndsWith(text, word)) continue;
        const std::string rest = text.substr(0, text.size() - word.size());
        if (rest.empty()) {
            if (aloneAllowed) return true;
            continue;
        }
        if (NeedsNoSeparator(word) || IsBlankOrDash(rest.back())) {
            if (aloneAllowed || !TrimEnd(rest).empty()) return true;
        }
    }
    return false;
}

// Number of characters (UTF-8 code points; other bytes count one each) of `text`.
std::int64_t CharacterCount(const std::string& text) {
    std::int64_t count = 0;
    for (unsigned char c : text) count += (c & 0xC0) == 0x80 ? 0 : 1;
    return count;
}

}  // namespace

std::vector<std::string> PathComponents(const std::string& path, const std::string& currentFolder) {
    // Made absolute as every typed path is (drives, shares, "/" read as "\" on Windows); the
    // root is the first component, and ".." never climbs above it.
    const std::string full = platform::AbsolutePath(path, currentFolder);
    const std::size_t root = platform::PathRootLength(full);
    const auto folded = [](std::string part) {
        if (platform::kPathsIgnoreCase)
            for (char& c : part) c = static_cast<char>(UpperCaseByte(static_cast<unsigned char>(c)));
        return part;
    };
    std::vector<std::string> parts{folded(full.substr(0, root))};
    for (std::size_t begin = root; begin <= full.size();) {
        std::size_t end = full.find(platform::kPathSeparator, begin);
        if (end == std::string::npos) end = full.size();
        std::string part = full.substr(begin, end - begin);
        begin = end + 1;
        if (part.empty() || part == ".") continue;
        if (part == "..") {
            if (parts.size() > 1) parts.pop_back();
            continue;
        }
        parts.push_back(folded(std::move(part)));
    }
    return parts;
}

namespace {

// The path of the first `count` components of `parts` (PathComponents' form).
std::string JoinComponents(const std::vector<std::string>& parts, std::size_t count) {
    std::string path = count > 0 ? parts[0] : std::string();
    for (std::size_t k = 1; k < count; ++k) {
        if (k > 1) path += platform::kPathSeparator;
        path += parts[k];
    }
    return path;
}

// The lower of two places in a list, -1 being none.
int FirstOf(int a, int b) { return a < 0 ? b : b < 0 ? a : std::min(a, b); }

}  // namespace

FolderList::FolderList(const std::vector<std::string>& folders) : m_current(platform::CurrentFolder()) {
    for (const std::string& folder : folders) {
        if (TrimSpaces(folder).empty()) continue;
        m_folders.push_back(PathComponents(folder, m_current));
        // As the system reaches it (a link to a folder is followed).
        platform::FileIdentity identity;
        if (platform::QueryFolderIdentity(platform::AbsolutePath(folder, m_current), &identity)) {
            m_identities.emplace_back(identity.device, identity.inode);
            m_anyIdentity = true;
        } else {
            m_identities.emplace_back(0, 0);
        }
    }
}

int FolderList::IndexByIdentity(const std::vector<std::string>& parts, std::size_t count) const {
    const std::string folder = JoinComponents(parts, count);
    const auto seen = m_byFolder.find(folder);
    if (seen != m_byFolder.end()) return seen->second;
    int index = -1;
    platform::FileIdentity identity;
    if (platform::QueryFolderIdentity(folder, &identity)) {
        for (std::size_t k = 0; k < m_identities.size() && index < 0; ++k)
            if (m_identities[k] != std::make_pair(std::uint64_t{0}, std::uint64_t{0}) &&
                m_identities[k] == std::make_pair(identity.device, identity.inode))
                index = static_cast<int>(k);
    }
    if (count > 1) index = FirstOf(index, IndexByIdentity(parts, count - 1));
    // A linked folder lies in the folders above the one it leads to, too.
    const std::string target = platform::LinkedFolderTarget(folder);
    if (!target.empty()) {
        const std::vector<std::string> real = PathComponents(target, m_current);
        if (real.size() > 1) index = FirstOf(index, IndexByIdentity(real, real.size() - 1));
    }
    m_byFolder.emplace(folder, index);
    return index;
}

int FolderList::IndexOf(const std::string& path) const {
    if (m_folders.empty()) return -1;
    const std::vector<std::string> parts = PathComponents(path, m_current);
    int index = -1;
    for (std::size_t k = 0; k < m_folders.size() && index < 0; ++k) {
        const std::vector<std::string>& folder = m_folders[k];
        if (parts.size() > folder.size() && std::equal(folder.begin(), folder.end(), parts.begin()))
            index = static_cast<int>(k);
    }
    // By identity, the folder that holds the file and every one above it.
    if (m_anyIdentity && parts.size() > 1 && index != 0)
        index = FirstOf(index, IndexByIdentity(parts, parts.size() - 1));
    return index;
}

namespace {
bool StemHasCopyMark(const std::string& stem);
}  // namespace

bool HasCopyMark(const std::string& fileName) {
    std::string stem = fileName;
    const std::size_t dot = stem.rfind('.');
    if (dot != std::string::npos && dot > 0) stem.erase(dot);
    return StemHasCopyMark(stem);
}

bool FolderHasCopyMark(const std::string& folderName) {
    if (StemHasCopyMark(folderName)) return true;
    // A folder may be named by the mark alone: "备份", "Backup", "Backups".
    std::string lower = AsciiLowerCase(TrimSpaces(folderName));
    if (lower.size() > 1 && lower.back() == 's') lower.pop_back();
    for (const std::string& word : MarkWords())
        if (lower == word) return true;
    return false;
}

int CopyMarksOnPath(const std::string& path) {
    int marks = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i < path.size() && !platform::IsPathSeparator(path[i])) continue;
        if (i > start) {
            const std::string part = path.substr(start, i - start);
            marks += (i == path.size() ? HasCopyMark(part) : FolderHasCopyMark(part)) ? 1 : 0;
        }
        start = i + 1;
    }
    return marks;
}

namespace {
bool StemHasCopyMark(const std::string& stem) {
    const std::string lower = AsciiLowerCase(TrimSpaces(stem));

    // Marks in front: "Copy of X", "Copy (2) of X", "复件 X".
    if (StartsWith(lower, "copy of ") && lower.size() > 8) return true;
    if (StartsWith(lower, "copy (")) {
        std::size_t k = 6;
        while (k < lower.size() && IsAsciiDigit(lower[k])) ++k;
        if (k > 6 && StartsWith(lower.substr(k), ") of ") && lower.size() > k + 5) return true;
    }
    for (const std::string& word : MarkWords())
        if (NeedsNoSeparator(word) && StartsWith(lower, word + " ") &&
            !TrimSpaces(lower.substr(word.size())).empty())
            return true;

    // Marks at the end, perhaps in brackets: "X (1)", "X (副本 2)", "X (copy)", then
    // "X - Copy", "X copy 2", "X_备份", "X 副本".
    std::string text = lower;
    if (!text.empty() && text.back() == ')') {
        const std::size_t open = text.rfind('(');
        if (open == std::string::npos) return false;
        const std::string inner = TrimSpaces(text.substr(open + 1, text.size() - open - 2));
        const std::string before = TrimEnd(text.substr(0, open));
        if (before.empty()) return false;  // the whole name is in brackets
        const bool number = !inner.empty() && inner.size() <= 3 &&
                            std::all_of(inner.begin(), inner.end(), IsAsciiDigit);
        if (number) return true;
        if (EndsWithMarkWord(WithoutTrailingNumber(inner), true)) return true;
        text = before;  // "X - Copy (2)": the mark may stand before the number
    }
    return EndsWithMarkWord(WithoutTrailingNumber(TrimEnd(text)), false);
}
}  // namespace

KeepPolicy DefaultKeepPolicy() {
    KeepPolicy policy;
    KeepRule folder;
    folder.kind = kKeptFolder;
    KeepRule noMark;
    noMark.kind = kKeptNoCopyMark;
    KeepRule oldest;
    oldest.kind = kKeptOldest;
    policy.rules = {folder, noMark, oldest};
    policy.order = GroupOrder::kFreedBytes;
    return policy;
}

const char* KeepReasonText(KeepReason reason) {
    return LoadStringText(KeepReasonTextId(reason));
}

namespace {

// One rule made ready to give each file its sort key: lower keys stay.
struct PreparedRule {
    KeepReason kind;
    FolderList folders;
    std::unique_ptr<MaskList> mask;  // the compiled mask pieces

    std::int64_t Key(const ResultRow& row) {
        const CFileRecord& record = *row.record;
        switch (kind) {
            case kKeptProtected: return row.isProtected ? 0 : 1;
            case kKeptFolder: {
                const int index = folders.IndexOf(record.Path());
                return index >= 0 ? index : static_cast<std::int64_t>(folders.Size());
            }
            case kKeptOldest: return record.m_ftWritten;
            case kKeptNewest: return -static_cast<std::int64_t>(record.m_ftWritten);
            case kKeptShortestPath: return CharacterCount(record.Path());
            case kKeptLongestPath: return -CharacterCount(record.Path());
            case kKeptMask: return mask->IsAdmitted(record.Path()) ? 0 : 1;
            // Marks in folder names count too: a backup folder's copy is the one to go.
            case kKeptNoCopyMark: return CopyMarksOnPath(record.Path());
            case kKeptAsFound:
            case kKeptTied: break;
        }
        return 0;
    }
};

}  // namespace

void ApplyKeepPolicy(const KeepPolicy& policy, ResultsModel& results) {
    if (policy.rules.empty() && policy.protectedFolders.empty() && !policy.onlyGroupsWithProtected &&
        policy.order == GroupOrder::kAsFound)
        return;  // the rows stay as found
    const FolderList protectedFolders(policy.protectedFolders);
    if (!protectedFolders.Empty()) {
        for (std::size_t row = 0; row < results.RowCount(); ++row)
            results.SetProtected(row, protectedFolders.Holds(results.Row(row).record->Path()));
        if (policy.onlyGroupsWithProtected) {
            std::vector<std::size_t> drop;
            for (const RowGroup& group : results.Groups()) {
                bool holds = false;
                for (std::size_t row = group.begin; row < group.end; ++row)
                    holds = holds || results.Row(row).isProtected;
                if (holds) continue;
                for (std::size_t row = group.begin; row < group.end; ++row) drop.push_back(row);
            }
            results.RemoveRows(drop);
        }
    } else if (policy.onlyGroupsWithProtected) {
        // No protected folder: no group holds a copy in one.
        results.Clear();
        return;
    }

    std::vector<PreparedRule> rules;
    if (!protectedFolders.Empty()) rules.push_back({kKeptProtected, FolderList(), nullptr});
    for (const KeepRule& rule : policy.rules) {
        PreparedRule prepared{rule.kind, FolderList(), nullptr};
        if (rule.kind == kKeptFolder) {
            prepared.folders = FolderList(rule.folders);
            if (prepared.folders.Empty()) continue;  // decides nothing
        } else if (rule.kind == kKeptMask) {
            prepared.mask = std::make_unique<MaskList>();
            prepared.mask->Build(rule.mask);
        } else if (rule.kind == kKeptAsFound || rule.kind == kKeptProtected) {
            continue;
        }
        rules.push_back(std::move(prepared));
    }

    // Keep rules of the user's own (protection is none): only they can tie.
    const bool anyRule = rules.size() > (protectedFolders.Empty() ? 0u : 1u);
    const std::vector<RowGroup> groups = results.Groups();
    std::vector<std::vector<std::size_t>> ordered(groups.size());
    std::vector<KeepReason> keptBy(groups.size(), kKeptAsFound);
    std::vector<std::vector<std::int64_t>> keys;
    for (std::size_t g = 0; g < groups.size(); ++g) {
        const RowGroup& group = groups[g];
        keys.assign(group.Count(), std::vector<std::int64_t>());
        std::vector<std::size_t>& order = ordered[g];
        for (std::size_t row = group.begin; row < group.end; ++row) {
            order.push_back(row);
            for (PreparedRule& rule : rules) keys[row - group.begin].push_back(rule.Key(results.Row(row)));
        }
        std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
            return keys[a - group.begin] < keys[b - group.begin];
        });
        // The rule that put the first file ahead of the next one decided; when every rule
        // tied, none did, and the group says so.
        if (order.size() >= 2) {
            if (anyRule) keptBy[g] = kKeptTied;
            const std::vector<std::int64_t>& first = keys[order[0] - group.begin];
            const std::vector<std::int64_t>& second = keys[order[1] - group.begin];
            for (std::size_t k = 0; k < rules.size(); ++k) {
                if (first[k] == second[k]) continue;
                keptBy[g] = rules[k].kind;
                break;
            }
        }
    }

    std::vector<std::size_t> groupOrder(groups.size());
    for (std::size_t g = 0; g < groups.size(); ++g) groupOrder[g] = g;
    if (policy.order == GroupOrder::kFreedBytes) {
        auto freed = [&](std::size_t g) {
            return results.Row(groups[g].begin).record->m_nSize *
                   static_cast<std::int64_t>(groups[g].Count() - 1);
        };
        std::stable_sort(groupOrder.begin(), groupOrder.end(),
                         [&](std::size_t a, std::size_t b) { return freed(a) > freed(b); });
    }
    std::vector<std::vector<std::size_t>> newGroups;
    std::vector<KeepReason> newKeptBy;
    newGroups.reserve(groups.size());
    for (std::size_t g : groupOrder) {
        newGroups.push_back(std::move(ordered[g]));
        newKeptBy.push_back(keptBy[g]);
    }
    results.Rearrange(newGroups, newKeptBy);
}

std::vector<std::size_t> WithoutTiedGroups(const ResultsModel& model,
                                           const std::vector<std::size_t>& rows,
                                           std::size_t* tiedGroups) {
    std::vector<std::size_t> out;
    std::vector<char> counted(model.GroupCount(), 0);
    std::size_t tied = 0;
    for (std::size_t row : rows) {
        if (row >= model.RowCount()) continue;
        const std::size_t g = model.GroupOf(row);
        if (model.Row(model.Group(g).begin).keptBy != kKeptTied) {
            out.push_back(row);
        } else if (!counted[g]) {
            counted[g] = 1;
            ++tied;
        }
    }
    if (tiedGroups != nullptr) *tiedGroups = tied;
    return out;
}
