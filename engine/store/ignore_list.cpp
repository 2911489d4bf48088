#include "engine/store/ignore_list.h"

#include <algorithm>
#include <cstdio>

#include "engine/results/results_model.h"
#include "engine/store/json_reader.h"
#include "engine/store/json_text.h"
#include "engine/store/saved_results.h"
#include "platform/error_text.h"
#include "platform/file_find.h"
#include "platform/file_replace.h"

namespace {

constexpr const char kFileName[] = "ignored-groups.json";
constexpr int kVersion = 1;
// Far more than anyone ignores by hand; a bigger file is not one of ours.
constexpr std::size_t kMaxFileBytes = 16u << 20;

std::string Hex8(std::uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08x", static_cast<unsigned>(value));
    return text;
}

bool ParseHex8(const std::string& text, std::uint32_t* out) {
    if (text.size() != 8) return false;
    std::uint32_t value = 0;
    for (char c : text) {
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else return false;
        value = value << 4 | static_cast<std::uint32_t>(digit);
    }
    *out = value;
    return true;
}

}  // namespace

GroupIdentity IdentityOfGroup(const ResultsModel& model, std::size_t g) {
    const CFileRecord& first = *model.Row(model.Group(g).begin).record;
    return GroupIdentity{first.m_nSize, first.m_dwCrc, first.m_dwChecksum};
}

std::string IgnoreList::FilePathIn(const std::string& folder) {
    if (folder.empty()) return std::string();
    const char last = folder.back();
    const bool separated = last == '/' || last == '\\';
    return folder + (separated ? "" : "/") + kFileName;
}

bool IgnoreList::Load(const std::string& path, std::string* error) {
    m_path = path;
    m_groups.clear();
    if (path.empty()) return true;
    // No list yet is the usual case.
    if (platform::GetFileAttributes(path) == platform::kInvalidFileAttributes) return true;
    std::string text, why;
    if (!ReadWholeFile(path, &text, &why, kMaxFileBytes)) {
        if (error != nullptr) *error = why;
        return false;
    }
    std::vector<IgnoredGroup> groups;
    if (!Parse(text, &groups, error)) return false;
    m_groups = std::move(groups);
    return true;
}

bool IgnoreList::Save(std::string* error) const {
    if (m_path.empty()) return true;
    int code = 0;
    if (platform::ReplaceFileContents(m_path, Format(m_groups), &code)) return true;
    if (error != nullptr) *error = platform::ErrorText(code);
    return false;
}

bool IgnoreList::Contains(const GroupIdentity& identity) const {
    return std::any_of(m_groups.begin(), m_groups.end(),
                       [&](const IgnoredGroup& g) { return g.identity == identity; });
}

bool IgnoreList::Add(IgnoredGroup group) {
    if (Contains(group.identity)) return false;
    m_groups.push_back(std::move(group));
    return true;
}

bool IgnoreList::Remove(const GroupIdentity& identity) {
    const auto it = std::find_if(m_groups.begin(), m_groups.end(),
                                 [&](const IgnoredGroup& g) { return g.identity == identity; });
    if (it == m_groups.end()) return false;
    m_groups.erase(it);
    return true;
}

std::size_t IgnoreList::FilterResults(ResultsModel& model) const {
    if (m_groups.empty()) return 0;
    std::vector<GroupIdentity> sorted;
    sorted.reserve(m_groups.size());
    for (const IgnoredGroup& g : m_groups) sorted.push_back(g.identity);
    std::sort(sorted.begin(), sorted.end());
    std::vector<std::size_t> rows;
    std::size_t removed = 0;
    for (std::size_t g = 0; g < model.GroupCount(); ++g) {
        if (!std::binary_search(sorted.begin(), sorted.end(), IdentityOfGroup(model, g))) continue;
        ++removed;
        for (std::size_t row = model.Group(g).begin; row < model.Group(g).end; ++row)
            rows.push_back(row);
    }
    if (!rows.empty()) model.RemoveRows(rows);
    return removed;
}

std::string IgnoreList::Format(const std::vector<IgnoredGroup>& groups) {
    std::string text = "{\"version\": " + std::to_string(kVersion) + ", \"groups\": [";
    for (std::size_t i = 0; i < groups.size(); ++i) {
        const IgnoredGroup& g = groups[i];
        text += i == 0 ? "\n" : ",\n";
        text += "  {\"size\": " + std::to_string(g.identity.size) + ", \"crc\": \"" +
                Hex8(g.identity.crc) + "\", \"checksum\": \"" + Hex8(g.identity.checksum) +
                "\", \"when\": " + std::to_string(g.when) + ", \"example\": \"" +
                JsonString(g.example) + "\"}";
    }
    text += groups.empty() ? "]}\n" : "\n]}\n";
    return text;
}

bool IgnoreList::Parse(const std::string& text, std::vector<IgnoredGroup>* out,
                       std::string* error) {
    JsonReader json(text, 4);
    std::vector<IgnoredGroup> groups;
    bool sawVersion = false, sawGroups = false;
    std::string key;
    if (json.BeginObject()) {
        while (json.NextMember(&key)) {
            if (key == "version") {
                std::int64_t version = 0;
                if (json.ReadInt64(&version) && version != kVersion)
                    json.Fail("version " + std::to_string(version) + " is not read here");
                sawVersion = true;
            } else if (key == "groups" && json.BeginArray()) {
                sawGroups = true;
                while (json.NextElement() && json.BeginObject()) {
                    IgnoredGroup g;
                    bool size = false, crc = false, checksum = false;
                    std::string hex;
                    while (json.NextMember(&key)) {
                        if (key == "size") {
                            size = json.ReadInt64(&g.identity.size);
                            if (size && g.identity.size < 0) json.Fail("a negative size");
                        } else if (key == "crc") {
                            crc = json.ReadString(&hex, 16) && ParseHex8(hex, &g.identity.crc);
                            if (!crc) json.Fail("a CRC is 8 hexadecimal digits");
                        } else if (key == "checksum") {
                            checksum =
                                json.ReadString(&hex, 16) && ParseHex8(hex, &g.identity.checksum);
                            if (!checksum) json.Fail("a checksum is 8 hexadecimal digits");
                        } else if (key == "when") {
                            json.ReadInt64(&g.when);
                        } else if (key == "example") {
                            json.ReadString(&g.example, 1 << 16);
                        } else {
                            json.Skip();  // a later version's detail
                        }
                    }
                    if (json.Failed()) break;
                    if (!size || !crc || !checksum) {
                        json.Fail("a group without its size, CRC and checksum");
                        break;
                    }
                    groups.push_back(std::move(g));
                }
            } else {
                json.Skip();
            }
            if (json.Failed()) break;
        }
    }
    if (!json.Failed()) json.Finish();
    if (!json.Failed() && (!sawVersion || !sawGroups)) json.Fail("not a list of ignored groups");
    if (json.Failed()) {
        if (error != nullptr) *error = json.Error();
        return false;
    }
    *out = std::move(groups);
    return true;
}
