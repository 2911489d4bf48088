#include "cli/cli_options.h"

#include "engine/search/date_value.h"
#include "engine/results/keep_rule_names.h"
#include "engine/results/keep_rules.h"
#include "engine/text/size_text.h"
#include "engine/search/start_path_list.h"
#include "engine/text/string_table.h"
#include "engine/text/text_format.h"
#include "engine/text/text_helpers.h"
#include "engine/text/validation_message.h"
#include "platform/file_find.h"

namespace {

// A date refusal and the forms accepted stay on the one line of an error.
constexpr const char* kRefusalSeparator = ": ";

// A date limit read as the filters page reads it; `endOfDay` for the maximum.
bool ReadDate(const std::string& text, bool endOfDay, platform::FileTime* out, std::string* error) {
    CDateValue date;
    const int refusal = date.CheckDate(text.c_str());
    if (refusal != 0) {
        *error = DateRefusalText(refusal, kRefusalSeparator);
        return false;
    }
    date.m_bEndOfDay = endOfDay ? 1 : 0;
    if (!date.ToFileTime(1, out)) {
        *error = DateRefusalText(IDS_INVALID_YEAR, kRefusalSeparator);
        return false;
    }
    return true;
}

// A size limit, read strictly: in a script "10KB" is a slip to report, not 10K. The refusal
// names the largest size accepted.
bool ReadSize(const std::string& text, std::int64_t* out, std::string* error) {
    const int refusal = ParseSizeTextStrict(text, out);
    if (refusal != 0) {
        *error = std::string(LoadStringText(refusal)) + " " +
                 FormatLargestSize(kLargestSizeLimit, kLargestSizeLimit / 1024,
                                   kLargestSizeLimit / 1048576);
        return false;
    }
    return true;
}

}  // namespace

bool ParseKeepRules(const std::string& text, std::vector<KeepRule>* rules, std::string* error) {
    std::vector<std::string> names;
    SplitString(text, names, ",");
    if (text.empty()) names.assign(1, std::string());
    for (const std::string& name : names) {
        if (name == "none") continue;
        KeepRule rule;
        std::string value;
        const KeepRuleName* known = FindKeepRuleByCommandWord(name, &value);
        if (known == nullptr) {
            *error = "--keep: unknown rule \"" + name +
                     "\" (path:DIR, oldest, newest, shortest, longest, mask:PATTERN, "
                     "nocopymark or none)";
            return false;
        }
        rule.kind = known->kind;
        if (known->takesValue && value.empty()) {
            *error = std::string("--keep: ") + known->commandWord + ": needs " +
                     (rule.kind == kKeptFolder ? "a folder" : "a mask");
            return false;
        }
        if (rule.kind == kKeptFolder) {
            if (!rules->empty() && rules->back().kind == kKeptFolder) {
                rules->back().folders.push_back(value);  // one list, in the order given
                continue;
            }
            rule.folders.push_back(value);
        } else if (rule.kind == kKeptMask) {
            rule.mask = value;
        }
        rules->push_back(rule);
    }
    return true;
}

const char* KeepReasonName(KeepReason reason) { return KeepReasonWord(reason); }

namespace {

// One option at work: the options so far, its name and value (empty for one that takes
// none), the datum of its entry, and where a refusal goes.
struct OptionCall {
    CliOptions& options;
    bool& keepGiven;  // the first --keep replaces the default rules; more of them add to it
    const std::string& name;
    const std::string& value;
    std::uint32_t data;
    std::string& error;
};

// False, with the call's error set, to refuse the option.
using OptionHandler = bool (*)(const OptionCall& call);

struct OptionEntry {
    const char* name;  // as typed: "--mask", "-0"
    bool takesValue;   // "--name value" or "--name=value"
    OptionHandler handler;
    std::uint32_t data;  // an attribute bit or an action, for the entries that share a handler
};

bool SetAction(const OptionCall& c, DuplicateActionKind kind) {
    if (c.options.act) {
        c.error = "only one of --trash, --delete, --link and --move-to can be given";
        return false;
    }
    c.options.act = true;
    c.options.action = kind;
    return true;
}

bool SetAttribute(const OptionCall& c) {
    if (c.value != "yes" && c.value != "no") {
        c.error = c.name + " takes yes or no";
        return false;
    }
    // A named attribute is examined: wanted set for yes, wanted clear for no.
    SearchFilter& filter = c.options.search.filter;
    filter.m_dwIgnoreAttrs &= ~c.data;
    if (c.value == "yes") filter.m_dwAttrStates |= c.data;
    else filter.m_dwAttrStates &= ~c.data;
    return true;
}

constexpr std::uint32_t ActionData(DuplicateActionKind kind) {
    return static_cast<std::uint32_t>(kind);
}

const OptionEntry kOptionTable[] = {
    {"--help", false, [](const OptionCall& c) { return c.options.help = true; }, 0},
    {"-h", false, [](const OptionCall& c) { return c.options.help = true; }, 0},
    {"--version", false, [](const OptionCall& c) { return c.options.version = true; }, 0},
    {"--csv", false, [](const OptionCall& c) { return c.options.csv = true; }, 0},
    {"-0", false, [](const OptionCall& c) { return c.options.nul = true; }, 0},
    {"--null", false, [](const OptionCall& c) { return c.options.nul = true; }, 0},
    {"--reverse", false,
     [](const OptionCall& c) {
         c.options.search.filter.m_nMode = 1;
         return true;
     },
     0},
    {"--no-empty", false,
     [](const OptionCall& c) { return c.options.search.filter.m_bLeaveOutEmpty = true; }, 0},
    {"--json", false, [](const OptionCall& c) { return c.options.json = true; }, 0},
    {"--codepage", false,
     [](const OptionCall& c) {
#ifdef _WIN32
         return c.options.ansiCodePage = true;
#else
         c.error = LoadStringText(IDS_CLI_CODEPAGE_WINDOWS_ONLY);
         return false;
#endif
     },
     0},
    {"--dry-run", false, [](const OptionCall& c) { return c.options.dryRun = true; }, 0},
    {"-v", false, [](const OptionCall& c) { return c.options.verbose = true; }, 0},
    {"--verbose", false, [](const OptionCall& c) { return c.options.verbose = true; }, 0},
    {"--readers", true,
     [](const OptionCall& c) {
         // Digits only, and no more than a number of threads that still makes sense.
         const bool digits = !c.value.empty() && c.value.size() <= 3 &&
                             c.value.find_first_not_of("0123456789") == std::string::npos;
         const int n = digits ? std::stoi(c.value) : 0;
         if (n < 1 || n > kMostReaders) {
             c.error = FormatReadersRange(kMostReaders);
             return false;
         }
         c.options.readers = n;
         return true;
     },
     0},
    {"--no-cache", false, [](const OptionCall& c) { return !(c.options.cache = false); }, 0},
    {"--verify", false, [](const OptionCall& c) { return c.options.search.verifyCached = true; },
     0},
    {"--clear-cache", false, [](const OptionCall& c) { return c.options.clearCache = true; }, 0},
    {"--cache-size", true,
     [](const OptionCall& c) {
         // A number and K, M or G: the cache's limit is no place for a byte count.
         const std::string& v = c.value;
         const bool digits = v.size() >= 2 && v.size() <= 7 &&
                             v.find_first_not_of("0123456789") == v.size() - 1;
         const char unit = v.empty() ? '\0' : v.back();
         const int shift = unit == 'K' || unit == 'k'   ? 10
                           : unit == 'M' || unit == 'm' ? 20
                           : unit == 'G' || unit == 'g' ? 30
                                                        : -1;
         const std::int64_t size =
             digits && shift > 0 ? std::stoll(v.substr(0, v.size() - 1)) << shift : 0;
         if (size < (std::int64_t{1} << 20) || size > (std::int64_t{64} << 30)) {
             c.error = LoadStringText(IDS_CLI_CACHE_SIZE_RANGE);
             return false;
         }
         c.options.cacheSize = size;
         return true;
     },
     0},
    {"--load", true,
     [](const OptionCall& c) {
         c.options.load = c.value;
         return true;
     },
     0},
    {"--catalog", true,
     [](const OptionCall& c) {
         c.options.catalog = c.value;
         return true;
     },
     0},
    {"--against", true,
     [](const OptionCall& c) {
         c.options.against = c.value;
         return true;
     },
     0},
    {"--folders", false, [](const OptionCall& c) { return c.options.folders = true; }, 0},
    {"--ignore-names", false, [](const OptionCall& c) { return c.options.ignoreNames = true; }, 0},
    {"--keep-empty-folders", false,
     [](const OptionCall& c) { return c.options.keepEmptyFolders = true; }, 0},
    {"--trash", false,
     [](const OptionCall& c) { return SetAction(c, static_cast<DuplicateActionKind>(c.data)); },
     ActionData(DuplicateActionKind::kTrash)},
    {"--delete", false,
     [](const OptionCall& c) { return SetAction(c, static_cast<DuplicateActionKind>(c.data)); },
     ActionData(DuplicateActionKind::kDelete)},
    {"--yes", false, [](const OptionCall& c) { return c.options.yes = true; }, 0},
    {"--link-any-owner", false, [](const OptionCall& c) { return c.options.linkAnyOwner = true; },
     0},
    {"--link", true,
     [](const OptionCall& c) {
         if (c.options.act) return SetAction(c, DuplicateActionKind::kHardLink);  // refused
         if (c.value != "hard" && c.value != "clone") {
             c.error = "--link takes hard or clone";
             return false;
         }
         return SetAction(c, c.value == "hard" ? DuplicateActionKind::kHardLink
                                               : DuplicateActionKind::kShareData);
     },
     0},
    {"--move-to", true,
     [](const OptionCall& c) {
         if (!SetAction(c, DuplicateActionKind::kMove)) return false;
         c.options.moveTo = c.value;
         return true;
     },
     0},
    {"--only-protected", false,
     [](const OptionCall& c) { return c.options.search.keep.onlyGroupsWithProtected = true; }, 0},
    {"--keep", true,
     [](const OptionCall& c) {
         if (!c.keepGiven) c.options.search.keep.rules.clear();
         c.keepGiven = true;
         return ParseKeepRules(c.value, &c.options.search.keep.rules, &c.error);
     },
     0},
    {"--protect", true,
     [](const OptionCall& c) {
         c.options.search.keep.protectedFolders.push_back(c.value);
         return true;
     },
     0},
    {"--order", true,
     [](const OptionCall& c) {
         KeepPolicy& keep = c.options.search.keep;
         if (c.value == "freed") keep.order = GroupOrder::kFreedBytes;
         else if (c.value == "found") keep.order = GroupOrder::kAsFound;
         else {
             c.error = "--order takes freed or found";
             return false;
         }
         return true;
     },
     0},
    {"--mask", true,
     [](const OptionCall& c) {
         c.options.search.mask = c.value;
         return true;
     },
     0},
    {"--min-date", true,
     [](const OptionCall& c) {
         return ReadDate(c.value, false, &c.options.search.filter.m_ftMinDate, &c.error);
     },
     0},
    {"--max-date", true,
     [](const OptionCall& c) {
         return ReadDate(c.value, true, &c.options.search.filter.m_ftMaxDate, &c.error);
     },
     0},
    {"--min-size", true,
     [](const OptionCall& c) { return ReadSize(c.value, &c.options.search.filter.m_nMinSize, &c.error); },
     0},
    {"--max-size", true,
     [](const OptionCall& c) { return ReadSize(c.value, &c.options.search.filter.m_nMaxSize, &c.error); },
     0},
    {"--readonly", true, SetAttribute, platform::kAttrReadOnly},
    {"--hidden", true, SetAttribute, platform::kAttrHidden},
    {"--system", true, SetAttribute, platform::kAttrSystem},
    {"--directory", true, SetAttribute, platform::kAttrDirectory},
    {"--archive", true, SetAttribute, platform::kAttrArchive},
};

// The entry of `arg` ("--name", or "--name=value" for one that takes a value), with its value
// in *value (the next argument for "--name value"); null, with *error set, for an unknown
// option or a missing or empty value.
const OptionEntry* FindOption(const std::vector<std::string>& args, std::size_t* i,
                              std::string* value, std::string* error) {
    const std::string& arg = args[*i];
    for (const OptionEntry& entry : kOptionTable) {
        const std::string name = entry.name;
        if (arg == name) {
            if (entry.takesValue) {
                if (*i + 1 >= args.size()) {
                    *error = name + " needs a value";
                    return nullptr;
                }
                *value = args[++*i];
            }
        } else if (entry.takesValue && arg.compare(0, name.size() + 1, name + "=") == 0) {
            *value = arg.substr(name.size() + 1);
        } else {
            continue;
        }
        // An empty value is refused for every option alike: for some it would mean "no
        // limit", for others nothing at all.
        if (entry.takesValue && value->empty()) {
            *error = name + ": " + LoadStringText(IDS_CLI_EMPTY_VALUE);
            return nullptr;
        }
        return &entry;
    }
    *error = "unknown option " + arg;
    return nullptr;
}

}  // namespace

bool ParseCliOptions(const std::vector<std::string>& args, CliOptions* options, std::string* error) {
    SearchFilter& filter = options->search.filter;
    std::vector<std::string> paths;
    bool onlyPaths = false;
    bool keepGiven = false;
    KeepPolicy& keep = options->search.keep;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (onlyPaths || arg.empty() || arg[0] != '-' || arg == "-") {
            paths.push_back(arg);
            continue;
        }
        error->clear();
        if (arg == "--") {
            onlyPaths = true;
            continue;
        }
        std::string value;
        const OptionEntry* entry = FindOption(args, &i, &value, error);
        if (entry == nullptr) return false;
        const std::string name = entry->name;
        if (!entry->handler(OptionCall{*options, keepGiven, name, value, entry->data, *error}))
            return false;
    }
    if (CheckSizeLimits(filter.m_nMinSize, filter.m_nMaxSize) != 0) {
        *error = LoadStringText(IDS_SIZE_ORDER);
        return false;
    }
    if (filter.m_ftMinDate != 0 && filter.m_ftMaxDate != 0 && filter.m_ftMinDate > filter.m_ftMaxDate) {
        *error = LoadStringText(IDS_DATE_ORDER);
        return false;
    }
    // CSV cells are quoted, so a line feed in a name is already safe there.
    if (options->csv && options->nul) {
        *error = "--null and --csv cannot be combined";
        return false;
    }
    if (options->dryRun && (options->csv)) {
        *error = "--dry-run and --csv cannot be combined";
        return false;
    }
    if (options->json && (options->csv || options->nul || options->dryRun)) {
        *error = "--json cannot be combined with --csv, --null or --dry-run";
        return false;
    }
    if (options->act && (options->json || options->csv)) {
        *error = "--trash, --delete, --link and --move-to cannot be combined with --json or --csv";
        return false;
    }
    if (options->linkAnyOwner && !(options->act && options->action == DuplicateActionKind::kHardLink)) {
        *error = "--link-any-owner goes with --link hard";
        return false;
    }
    // Moving into a protected folder would change it.
    if (options->act && options->action == DuplicateActionKind::kMove &&
        FolderList(keep.protectedFolders).Holds(options->moveTo + platform::kPathSeparator + "x")) {
        *error = "--move-to: the folder lies in a protected folder";
        return false;
    }
    if (keep.onlyGroupsWithProtected && keep.protectedFolders.empty()) {
        *error = "--only-protected needs --protect";
        return false;
    }
    const int sources = !options->load.empty() + !options->catalog.empty() + !options->against.empty();
    if (sources > 1) {
        *error = "only one of --load, --catalog and --against can be given";
        return false;
    }
    if (!options->catalog.empty() && (options->act || options->dryRun || options->json ||
                                      options->csv || options->nul)) {
        *error = "--catalog writes a catalog and nothing else";
        return false;
    }
    // The catalog's files are not here: their bytes cannot be compared with these.
    if (!options->against.empty() && options->act && options->action != DuplicateActionKind::kMove) {
        *error = LoadStringText(IDS_CLI_AGAINST_ONLY_MOVE);
        return false;
    }
    if (options->ignoreNames && !options->folders) {
        *error = "--ignore-names goes with --folders";
        return false;
    }
    if (options->folders && (options->csv || !options->load.empty() ||
                             !options->catalog.empty() || !options->against.empty())) {
        *error = "--folders cannot be combined with --csv, --load, --catalog or --against";
        return false;
    }
    // A folder goes whole or not at all: a replacement keeps every name in its place.
    if (options->folders && options->act && !ActionKind(options->action).removesName) {
        *error = "--folders goes with --trash, --delete or --move-to";
        return false;
    }
    if (options->keepEmptyFolders && !options->act) {
        *error = "--keep-empty-folders goes with an action";
        return false;
    }
    if (options->help || options->version) return true;
    if (!options->load.empty()) {
        // The saved result names its files and its start paths.
        if (!paths.empty()) {
            *error = "--load takes no PATH";
            return false;
        }
        return true;
    }
    if (paths.empty() && options->clearCache) return true;  // only that
    if (paths.empty()) {
        *error = "no PATH given";
        return false;
    }
    options->search.paths = StartPathList(paths);
    if (options->search.paths.empty()) {
        *error = LoadStringText(IDS_CLI_NO_START_PATH);
        return false;
    }
    return true;
}

std::vector<std::string> StartPathList(const std::vector<std::string>& args) {
    std::vector<std::string> paths;
    for (const std::string& arg : args) {
        if (arg.empty()) continue;
        if (arg.find(';') == std::string::npos ||
            platform::GetFileAttributes(arg) != platform::kInvalidFileAttributes) {
            paths.push_back(arg);
            continue;
        }
        for (std::string& element : SplitStartPathList(arg)) paths.push_back(std::move(element));
    }
    return paths;
}

std::string CliUsage() { return LoadStringText(IDS_CLI_USAGE); }

std::string CliVersionText() { return "pairscout-cli (Pairscout) " PAIRSCOUT_VERSION "\n"; }

