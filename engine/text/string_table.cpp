#include "engine/text/string_table.h"

#include <algorithm>
#include <cinttypes>
#include <cstring>
#include <map>
#include <memory>

#include "engine/text/message_catalog.h"

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
static_assert(IdsAscend(), "engine/text/text_list.h: ids must ascend, each used once");

// The same texts as a message catalog writes them: the 64-bit directives in gettext's portable
// form, so that one catalog serves every platform.
#pragma push_macro("PRId64")
#pragma push_macro("PRIu64")
#undef PRId64
#undef PRIu64
#define PRId64 "<PRId64>"
#define PRIu64 "<PRIu64>"
#define PAIRSCOUT_TEXT_PORTABLE(name, id, text) text,
constexpr const char* kPortable[] = {PAIRSCOUT_TEXTS(PAIRSCOUT_TEXT_PORTABLE)};
#undef PAIRSCOUT_TEXT_PORTABLE
#pragma pop_macro("PRIu64")
#pragma pop_macro("PRId64")
static_assert(sizeof kPortable / sizeof kPortable[0] == kCount, "one portable text per entry");

// The translated texts while a catalog is in use (null: the originals).
std::unique_ptr<std::vector<std::string>> g_translated;

// This platform's expansion of the portable directives.
std::string ExpandPortable(std::string text) {
    const std::pair<const char*, const char*> forms[] = {{"%<PRId64>", "%" PRId64},
                                                         {"%<PRIu64>", "%" PRIu64}};
    for (const auto& [portable, local] : forms) {
        for (std::string::size_type at = text.find(portable); at != std::string::npos;
             at = text.find(portable, at + std::strlen(local))) {
            text.replace(at, std::strlen(portable), local);
        }
    }
    return text;
}

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
    if (entry == nullptr) return "";
    if (g_translated) return (*g_translated)[static_cast<std::size_t>(entry - kStrings)].c_str();
    return entry->text;
}

const char* LoadOriginalText(int id) {
    const StringTableEntry* entry = Find(id);
    return entry != nullptr ? entry->text : "";
}

const char* PortableStringText(std::size_t index) { return index < kCount ? kPortable[index] : ""; }

std::size_t UseTranslatedTexts(const MessageCatalog& catalog) {
    auto texts = std::make_unique<std::vector<std::string>>();
    texts->reserve(kCount);
    std::size_t taken = 0;
    for (std::size_t i = 0; i < kCount; ++i) {
        const std::string* found = catalog.Find(kStrings[i].name, kPortable[i]);
        std::string text = found != nullptr ? ExpandPortable(*found) : std::string();
        // The typed formatters pass the text to snprintf with the original's arguments.
        if (text.empty() || FormatDirectives(text) != FormatDirectives(kStrings[i].text)) {
            texts->push_back(kStrings[i].text);
        } else {
            texts->push_back(std::move(text));
            ++taken;
        }
    }
    g_translated = std::move(texts);
    return taken;
}

void UseOriginalTexts() { g_translated.reset(); }

bool TranslatedTextsInUse() { return g_translated != nullptr; }

std::vector<std::string> CatalogProblems(const MessageCatalog& catalog) {
    std::vector<std::string> problems;
    const std::map<std::string, MessageCatalog::Entry>& entries = catalog.ByContext();
    for (std::size_t i = 0; i < kCount; ++i) {
        const std::string name = kStrings[i].name;
        const auto it = entries.find(name);
        if (it == entries.end()) {
            problems.push_back(name + ": no translation");
            continue;
        }
        if (it->second.original != kPortable[i]) {
            problems.push_back(name + ": stale, translated from \"" + it->second.original + "\"");
        } else if (it->second.translation.empty()) {
            problems.push_back(name + ": empty translation");
        } else if (FormatDirectives(ExpandPortable(it->second.translation)) !=
                   FormatDirectives(kStrings[i].text)) {
            problems.push_back(name + ": directives " +
                               FormatDirectives(ExpandPortable(it->second.translation)) +
                               " where the original has " + FormatDirectives(kStrings[i].text));
        }
    }
    for (const auto& entry : entries) {
        if (FindStringByName(entry.first.c_str()) == nullptr)
            problems.push_back(entry.first + ": not in the table");
    }
    return problems;
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
