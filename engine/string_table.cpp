#include "engine/string_table.h"

#include <algorithm>
#include <cstring>

const char* const kMakerWebAddress = PAIRSCOUT_WEB_ADDRESS;
const char* const kMakerMailAddress = PAIRSCOUT_MAIL_ADDRESS;

namespace {

#define PAIRSCOUT_TEXT_ENTRY(name, id, text) {id, #name, text},
constexpr StringTableEntry kStrings[] = {PAIRSCOUT_TEXTS(PAIRSCOUT_TEXT_ENTRY)};
#undef PAIRSCOUT_TEXT_ENTRY

constexpr std::size_t kCount = sizeof kStrings / sizeof kStrings[0];

// Looked up by binary search: the list must stay in strictly ascending id order.
constexpr bool IdsAscend() {
    for (std::size_t i = 1; i < kCount; ++i) {
        if (kStrings[i - 1].id >= kStrings[i].id) return false;
    }
    return true;
}
static_assert(IdsAscend(), "engine/text_list.h: ids must ascend, each used once");

const StringTableEntry* Find(int id) {
    const StringTableEntry* begin = kStrings;
    const StringTableEntry* end = kStrings + kCount;
    const StringTableEntry* it = std::lower_bound(
        begin, end, id, [](const StringTableEntry& e, int value) { return e.id < value; });
    if (it != end && it->id == id) return it;
    return nullptr;
}

}  // namespace

const char* LoadStringText(int id) {
    const StringTableEntry* entry = Find(id);
    return entry != nullptr ? entry->text : "";
}

bool HasStringText(int id) { return Find(id) != nullptr; }

std::string LoadPromptText(int id) {
    const char* text = LoadStringText(id);
    const char* newline = std::strchr(text, '\n');
    return newline != nullptr ? std::string(text, newline) : std::string(text);
}

std::string LoadTooltipText(int id) {
    const char* text = LoadStringText(id);
    const char* newline = std::strchr(text, '\n');
    return newline != nullptr ? std::string(newline + 1) : std::string();
}

std::string LoadStringField(int id, int index) {
    const std::string text = LoadStringText(id);
    std::size_t start = 0;
    for (int i = 0; i < index; ++i) {
        std::size_t newline = text.find('\n', start);
        if (newline == std::string::npos) return std::string();
        start = newline + 1;
    }
    std::size_t end = text.find('\n', start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

const StringTableEntry* StringTable(std::size_t* count) {
    if (count != nullptr) *count = kCount;
    return kStrings;
}

const StringTableEntry* FindStringByName(const char* name) {
    if (name == nullptr) return nullptr;
    for (const StringTableEntry& entry : kStrings) {
        if (std::strcmp(entry.name, name) == 0) return &entry;
    }
    return nullptr;
}
