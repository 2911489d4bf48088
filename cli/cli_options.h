// The command line of pairscout-cli, read into the search options the window also uses.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/actions/duplicate_action.h"
#include "engine/search/duplicate_search.h"

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
    bool verbose = false;       // -v, --verbose: how each disk is read, on stderr
    int readers = 0;            // --readers N: files read at once on every disk (0: decided)
    bool cache = true;          // --no-cache: neither read nor write the cache
    bool clearCache = false;    // --clear-cache
    std::int64_t cacheSize = 0; // --cache-size SIZE (0: the default)
    std::string load;     // --load FILE: a saved result, checked again, in place of a search
    std::string catalog;  // --catalog FILE: what is under the PATHs, written as a catalog
    std::string against;  // --against FILE: the files under the PATHs that the catalog holds
    // --folders: the folder groups in place of the file groups; with an action (or --dry-run
    // with one) the folders are what it takes, whole.
    bool folders = false;
    bool keepEmptyFolders = false;  // --keep-empty-folders: what an action empties stays
    bool ignoreNames = false;  // --ignore-names: folders of the same bytes under other names too
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

// The text of --help.
std::string CliUsage();

// The text of --version: the program's name and version.
std::string CliVersionText();

// The PATH arguments as start paths, one per argument exactly as typed (empty ones dropped).
// An argument holding ";" that names nothing on disk is a typed list: its elements without
// the blanks around them, empty ones dropped.
std::vector<std::string> StartPathList(const std::vector<std::string>& args);
