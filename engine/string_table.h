// The string table: every text of the program keyed by its string id, UTF-8.
//
// The ids are the resource numbers (2000s and 3000s for the program's texts, the command numbers
// for the status-bar prompts of commands, 57344 and up for the framework's texts). A prompt
// string holds the status-bar prompt, then "\n" and the tooltip. The Chinese texts are kept byte
// for byte. Texts that are formats keep their printf directives; a 64-bit count is written with
// the portable PRId64, so it displays the same on every platform.
//
// Plain C++: no wx header, shared by the engine, the command line and the window.
#pragma once

#include <cstddef>
#include <string>

// The text of string `id`, or "" when the table has no such string (like a failed LoadString).
// The pointer stays valid for the life of the program.
const char* LoadStringText(int id);

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
    const char* text;
};

// Every entry, in ascending id order; `count` receives their number.
const StringTableEntry* StringTable(std::size_t* count);

// The maker's web address and mail address, as strings 3014 and 3015 contain them.
extern const char* const kMakerWebAddress;
extern const char* const kMakerMailAddress;
