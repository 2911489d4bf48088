// The string table: every text of the program (engine/text/text_list.h) keyed by its id, UTF-8.
//
// Every text has a stable name (the TextId constant) and an id; see engine/text/text_list.h for the
// id ranges. A prompt string holds the status-bar prompt, then "\n" and the tooltip. Format
// texts are shown through their typed formatters (engine/text/text_format.h).
//
// Plain C++: no wx header, shared by the engine, the command line and the window.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/text/text_list.h"

// The name of every text, valued by its id.
enum TextId : int {
#define PAIRSCOUT_TEXT_ENUM(name, id, text) name = id,
    PAIRSCOUT_TEXTS(PAIRSCOUT_TEXT_ENUM)
#undef PAIRSCOUT_TEXT_ENUM
};

// The text of string `id` in the language in use (see UseTranslatedTexts), or "" when the table
// has no such string (like a failed LoadString). The pointer stays valid until the language is
// changed again, which happens at start, before any thread runs.
const char* LoadStringText(int id);

// The original (Chinese) text of string `id`, whatever the language in use; "" when none.
const char* LoadOriginalText(int id);

// True when the table holds string `id`.
bool HasStringText(int id);

// The status-bar prompt of a command: the text of string `id` before its first "\n" (all of it
// when there is none).
std::string LoadPromptText(int id);

// The tooltip of a command: the text of string `id` after its first "\n" ("" when there is none).
std::string LoadTooltipText(int id);

// Field `index` (0-based) of a "\n"-separated resource string such as the document string 128:
// 0 window title, 1 document name, 2 new-file name, 3 filter name, 4 filter extension,
// 5 registry file-type id, 6 registry file-type name. "" past the last field.
std::string LoadStringField(int id, int index);

// One entry of the table.
struct StringTableEntry {
    int id;
    const char* name;  // the stable name, "IDS_..."
    const char* text;
};

// Every entry, in ascending id order; `count` receives their number. A tool that writes a
// message catalog template walks this list (name as context, text as the message).
const StringTableEntry* StringTable(std::size_t* count);

// The original text of entry `index` (0-based, as StringTable lists them) as a message catalog
// holds it: a 64-bit directive is written "%<PRId64>" / "%<PRIu64>" (gettext's portable form)
// rather than as this platform's expansion.
const char* PortableStringText(std::size_t index);

class MessageCatalog;

// Texts from `catalog` from now on, each found by its name as context and its portable original
// text. An entry the catalog lacks, whose original changed since it was translated or whose
// printf directives differ from the original's stays in the original. Returns how many texts
// were taken; UseOriginalTexts goes back.
std::size_t UseTranslatedTexts(const MessageCatalog& catalog);
void UseOriginalTexts();
// True while texts from a catalog are in use.
bool TranslatedTextsInUse();

// What is wrong with `catalog` as the translation of the whole table, one line each: a text
// without an entry, an entry whose original is not the table's text (stale), an empty
// translation, directives that differ, an entry whose name the table does not have.
std::vector<std::string> CatalogProblems(const MessageCatalog& catalog);

// The entry of the text named `name`, or nullptr.
const StringTableEntry* FindStringByName(const char* name);

// The maker's web address and mail address, as strings 3014 and 3015 contain them.
extern const char* const kMakerWebAddress;
extern const char* const kMakerMailAddress;
