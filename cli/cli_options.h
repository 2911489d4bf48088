// The command line of pairscout-cli, read into the search options the window also uses.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/duplicate_action.h"
#include "engine/duplicate_search.h"

struct CliOptions {
    CliOptions() { search.keep = DefaultKeepPolicy(); }
    SearchOptions search;
    bool dryRun = false;  // --dry-run: which copy stays (and why) and which would go
    bool json = false;    // --json: the groups as one JSON document
    bool csv = false;
    bool nul = false;  // -0, --null: every path ends in NUL, every group in one more
    bool ansiCodePage = false;  // --codepage (Windows): files and pipes in the ANSI code page
    bool help = false;
    bool version = false;
    // What is done with every copy but the kept one: --trash, --delete, --link hard|clone,
    // --move-to DIR. Unset: nothing, the groups are written.
    bool act = false;
    DuplicateActionKind action = DuplicateActionKind::kTrash;
    std::string moveTo;         // --move-to
    bool yes = false;           // --yes: --delete without asking
    bool linkAnyOwner = false;  // --link-any-owner
};

// Reads `args` (without the program name). Returns true on success; otherwise `error` holds
// the message to show (the filters' own messages for bad dates and sizes). Sizes are read
// strictly (ParseSizeTextStrict), dates also as ISO 8601.
bool ParseCliOptions(const std::vector<std::string>& args, CliOptions* options, std::string* error);

// Reads the keep rules of one --keep value ("oldest,path:DIR,..."; "none" for none) and appends
// them to `rules`; consecutive "path:" rules make one folder-priority rule. False, with
// `error` set, for an unknown or empty rule.
bool ParseKeepRules(const std::string& text, std::vector<KeepRule>* rules, std::string* error);

// The name of a keep reason as --keep writes it ("oldest", "path", ...), "protected" for a copy
// kept because it lies in a protected folder and "found" for none.
const char* KeepReasonName(KeepReason reason);

// The rows as --dry-run writes them: per file "keep", "protect" (in a protected folder) or
// "delete", a tab, the rule that kept a group's first file (else "-"), a tab and the path; an
// empty line after each group. `nul` and `escape` as FormatResults; with `nul` a NUL also
// ends every field in place of the tab. `files` and `bytes` get what would go.
// With `action` set (not null), the files that would go are named by the action's word (trash,
// delete, link, clone, move) and a move adds a tab and the place the file would go to.
std::string FormatDryRun(const ResultsModel& results, bool nul, bool escape, int* files,
                         std::int64_t* bytes, const CliOptions* action = nullptr);

// The word of an action in the lines of --dry-run and of what was done: "trash", "delete",
// "link", "clone" or "move".
const char* ActionWord(DuplicateActionKind kind);

// What an action did, one line per file: the action's word, a tab and the path, then for a
// hard link or shared data a tab and the copy, for a move a tab and the new place. `nul` and
// `escape` as FormatResults; with `nul` a NUL also ends every field in place of the tab.
std::string FormatActionSteps(const std::vector<ActionStep>& steps, bool nul, bool escape);

// `text` as the inside of a JSON string (without the quotes). Valid UTF-8 stays as it is,
// except quotes, backslashes, control characters and the direction marks that could make a
// terminal show a name reversed, which are written as escapes. A byte that is not part of
// valid UTF-8 is written as "\udcXX" (XX: the byte), the escape that Python's surrogateescape
// reads back, so that the exact bytes of any name can be recovered.
std::string JsonString(const std::string& text);

// The rows as --json writes them: {"groups": [{"size", "crc", "checksum", "files": [{"path",
// "time" (local, ISO 8601 without a zone), "keep", "rule" (the kept file's), "protected"}]}]}.
std::string FormatJson(const ResultsModel& results);

// The text of --help.
std::string CliUsage();

// The text of --version: the program's name and version.
std::string CliVersionText();

// The PATH arguments as start paths, one per argument exactly as typed (empty ones dropped).
// An argument holding ";" that names nothing on disk is a typed list: its elements without
// the blanks around them, empty ones dropped.
std::vector<std::string> StartPathList(const std::vector<std::string>& args);

// The rows of `results` as the program writes them: the paths of each group one per line with
// an empty line after each group; with `nul` each path followed by NUL and one more NUL after
// each group; with `csv` every row as the CSV export writes it. With `escape` (the output is a
// terminal) the names go through EscapeControls; the separators stay as they are.
std::string FormatResults(const ResultsModel& results, bool csv, bool nul = false,
                          bool escape = false);

