#include "cli/cli_options.h"

#include <cinttypes>
#include <cstdio>

#include "cli/terminal_progress.h"
#include "engine/date_value.h"
#include "engine/keep_rules.h"
#include "engine/size_text.h"
#include "engine/start_path_list.h"
#include "engine/string_table.h"
#include "engine/text_format.h"
#include "engine/text_helpers.h"
#include "engine/validation_message.h"
#include "platform/file_find.h"

namespace {

struct AttributeOption {
    const char* name;
    std::uint32_t bit;
};

const AttributeOption kAttributes[] = {
    {"readonly", platform::kAttrReadOnly}, {"hidden", platform::kAttrHidden},
    {"system", platform::kAttrSystem},     {"directory", platform::kAttrDirectory},
    {"archive", platform::kAttrArchive},
};

// "--name=value" or "--name value": the value of option `name`, taking the next argument
// when needed. Returns false when `arg` is not that option. An empty value is refused for
// every option alike: for some it would mean "no limit", for others nothing at all.
bool TakeValue(const std::vector<std::string>& args, std::size_t* i, const std::string& name,
               std::string* value, std::string* error) {
    const std::string& arg = args[*i];
    const std::string prefix = "--" + name;
    if (arg == prefix) {
        if (*i + 1 >= args.size()) {
            *error = prefix + " needs a value";
            return true;
        }
        *value = args[++*i];
    } else if (arg.compare(0, prefix.size() + 1, prefix + "=") == 0) {
        *value = arg.substr(prefix.size() + 1);
    } else {
        return false;
    }
    if (value->empty()) *error = prefix + ": " + LoadStringText(IDS_CLI_EMPTY_VALUE);
    return true;
}

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

struct KeepRuleName {
    const char* name;
    KeepReason kind;
};

const KeepRuleName kKeepRuleNames[] = {
    {"oldest", kKeptOldest},         {"newest", kKeptNewest},
    {"shortest", kKeptShortestPath}, {"longest", kKeptLongestPath},
    {"nocopymark", kKeptNoCopyMark},
};

}  // namespace

bool ParseKeepRules(const std::string& text, std::vector<KeepRule>* rules, std::string* error) {
    std::vector<std::string> names;
    SplitString(text, names, ",");
    if (text.empty()) names.assign(1, std::string());
    for (const std::string& name : names) {
        if (name == "none") continue;
        KeepRule rule;
        if (name.compare(0, 5, "path:") == 0) {
            const std::string folder = name.substr(5);
            if (folder.empty()) {
                *error = "--keep: path: needs a folder";
                return false;
            }
            if (!rules->empty() && rules->back().kind == kKeptFolder) {
                rules->back().folders.push_back(folder);  // one list, in the order given
                continue;
            }
            rule.kind = kKeptFolder;
            rule.folders.push_back(folder);
        } else if (name.compare(0, 5, "mask:") == 0) {
            rule.kind = kKeptMask;
            rule.mask = name.substr(5);
            if (rule.mask.empty()) {
                *error = "--keep: mask: needs a mask";
                return false;
            }
        } else {
            bool known = false;
            for (const KeepRuleName& entry : kKeepRuleNames) {
                if (name != entry.name) continue;
                rule.kind = entry.kind;
                known = true;
            }
            if (!known) {
                *error = "--keep: unknown rule \"" + name +
                         "\" (path:DIR, oldest, newest, shortest, longest, mask:PATTERN, "
                         "nocopymark or none)";
                return false;
            }
        }
        rules->push_back(rule);
    }
    return true;
}

const char* KeepReasonName(KeepReason reason) {
    switch (reason) {
        case kKeptProtected: return "protected";
        case kKeptFolder: return "path";
        case kKeptMask: return "mask";
        case kKeptAsFound: return "found";
        default: break;
    }
    for (const KeepRuleName& entry : kKeepRuleNames)
        if (entry.kind == reason) return entry.name;
    return "found";
}

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
        std::string value;
        error->clear();
        if (arg == "--") {
            onlyPaths = true;
        } else if (arg == "--help" || arg == "-h") {
            options->help = true;
        } else if (arg == "--version") {
            options->version = true;
        } else if (arg == "--csv") {
            options->csv = true;
        } else if (arg == "-0" || arg == "--null") {
            options->nul = true;
        } else if (arg == "--reverse") {
            filter.m_nMode = 1;
        } else if (arg == "--no-empty") {
            filter.m_bLeaveOutEmpty = true;
        } else if (arg == "--json") {
            options->json = true;
        } else if (arg == "--codepage") {
#ifdef _WIN32
            options->ansiCodePage = true;
#else
            *error = LoadStringText(IDS_CLI_CODEPAGE_WINDOWS_ONLY);
            return false;
#endif
        } else if (arg == "--dry-run") {
            options->dryRun = true;
        } else if (arg == "--trash" || arg == "--delete") {
            if (options->act) {
                *error = "only one of --trash, --delete, --link and --move-to can be given";
                return false;
            }
            options->act = true;
            options->action =
                arg == "--trash" ? DuplicateActionKind::kTrash : DuplicateActionKind::kDelete;
        } else if (arg == "--yes") {
            options->yes = true;
        } else if (arg == "--link-any-owner") {
            options->linkAnyOwner = true;
        } else if (TakeValue(args, &i, "link", &value, error)) {
            if (!error->empty()) return false;
            if (options->act) {
                *error = "only one of --trash, --delete, --link and --move-to can be given";
                return false;
            }
            if (value != "hard" && value != "clone") {
                *error = "--link takes hard or clone";
                return false;
            }
            options->act = true;
            options->action =
                value == "hard" ? DuplicateActionKind::kHardLink : DuplicateActionKind::kShareData;
        } else if (TakeValue(args, &i, "move-to", &value, error)) {
            if (!error->empty()) return false;
            if (options->act) {
                *error = "only one of --trash, --delete, --link and --move-to can be given";
                return false;
            }
            options->act = true;
            options->action = DuplicateActionKind::kMove;
            options->moveTo = value;
        } else if (arg == "--only-protected") {
            keep.onlyGroupsWithProtected = true;
        } else if (TakeValue(args, &i, "keep", &value, error)) {
            if (!error->empty()) return false;
            // The first --keep replaces the default rules; more of them add to it.
            if (!keepGiven) keep.rules.clear();
            keepGiven = true;
            if (!ParseKeepRules(value, &keep.rules, error)) return false;
        } else if (TakeValue(args, &i, "protect", &value, error)) {
            if (!error->empty()) return false;
            keep.protectedFolders.push_back(value);
        } else if (TakeValue(args, &i, "order", &value, error)) {
            if (!error->empty()) return false;
            if (value == "freed") keep.order = GroupOrder::kFreedBytes;
            else if (value == "found") keep.order = GroupOrder::kAsFound;
            else {
                *error = "--order takes freed or found";
                return false;
            }
        } else if (TakeValue(args, &i, "mask", &value, error)) {
            if (!error->empty()) return false;
            options->search.mask = value;
        } else if (TakeValue(args, &i, "min-date", &value, error)) {
            if (!error->empty() || !ReadDate(value, false, &filter.m_ftMinDate, error)) return false;
        } else if (TakeValue(args, &i, "max-date", &value, error)) {
            if (!error->empty() || !ReadDate(value, true, &filter.m_ftMaxDate, error)) return false;
        } else if (TakeValue(args, &i, "min-size", &value, error)) {
            if (!error->empty() || !ReadSize(value, &filter.m_nMinSize, error)) return false;
        } else if (TakeValue(args, &i, "max-size", &value, error)) {
            if (!error->empty() || !ReadSize(value, &filter.m_nMaxSize, error)) return false;
        } else {
            bool known = false;
            for (const AttributeOption& attr : kAttributes) {
                if (!TakeValue(args, &i, attr.name, &value, error)) continue;
                if (!error->empty()) return false;
                known = true;
                if (value != "yes" && value != "no") {
                    *error = "--" + std::string(attr.name) + " takes yes or no";
                    return false;
                }
                // A named attribute is examined: wanted set for yes, wanted clear for no.
                filter.m_dwIgnoreAttrs &= ~attr.bit;
                if (value == "yes") filter.m_dwAttrStates |= attr.bit;
                else filter.m_dwAttrStates &= ~attr.bit;
            }
            if (!known) {
                *error = "unknown option " + arg;
                return false;
            }
        }
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
    if (options->help || options->version) return true;
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

const char* ActionWord(DuplicateActionKind kind) {
    switch (kind) {
        case DuplicateActionKind::kTrash: return "trash";
        case DuplicateActionKind::kDelete: return "delete";
        case DuplicateActionKind::kHardLink: return "link";
        case DuplicateActionKind::kShareData: return "clone";
        case DuplicateActionKind::kMove: return "move";
    }
    return "delete";
}

std::string FormatActionSteps(const std::vector<ActionStep>& steps, bool nul, bool escape) {
    std::string out;
    const auto name = [escape](const std::string& path) {
        return escape ? EscapeControls(path) : path;
    };
    // With NUL after each record, fields end in NUL too: a tab is a character of a name.
    const char field = nul ? '\0' : '\t';
    for (const ActionStep& step : steps) {
        out += ActionWord(step.kind);
        out += field;
        out += name(step.path);
        if (step.kind == DuplicateActionKind::kHardLink ||
            step.kind == DuplicateActionKind::kShareData)
            out += field + name(step.copy);
        if (step.kind == DuplicateActionKind::kMove) out += field + name(step.target);
        out += nul ? '\0' : '\n';
    }
    return out;
}

std::string FormatDryRun(const ResultsModel& results, bool nul, bool escape, int* files,
                         std::int64_t* bytes, const CliOptions* action) {
    std::string out;
    const char end = nul ? '\0' : '\n';
    // With NUL after each record, fields end in NUL too: a tab is a character of a name.
    const char field = nul ? '\0' : '\t';
    *files = 0;
    *bytes = 0;
    for (std::size_t row = 0; row < results.RowCount(); ++row) {
        const ResultRow& r = results.Row(row);
        const bool first = r.image == kImageGroupFirst;
        if (first) {
            out += "keep";
            out += field;
            out += KeepReasonName(r.keptBy);
        } else if (r.isProtected) {
            out += "protect";
            out += field;
            out += '-';
        } else {
            out += action != nullptr ? ActionWord(action->action) : "delete";
            out += field;
            out += '-';
            ++*files;
            *bytes += r.record->m_nSize;
        }
        out += field;
        const std::string path = r.record->Path();
        out += escape ? EscapeControls(path) : path;
        if (!first && !r.isProtected && action != nullptr &&
            action->action == DuplicateActionKind::kMove) {
            const std::string target =
                MoveTarget(action->moveTo, action->search.paths, path);
            out += field;
            out += escape ? EscapeControls(target) : target;
        }
        out += end;
        if (r.image == kImageGroupLast) out += end;
    }
    return out;
}

namespace {

// The length of the valid UTF-8 sequence at `at` (1 to 4), or 0 when the byte there starts
// none: no overlong forms, no surrogates, nothing above U+10FFFF.
std::size_t Utf8Length(const std::string& text, std::size_t at) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char c = byte(at);
    if (c < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) length = 2;
    else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        if (c == 0xE0) low = 0xA0;
        if (c == 0xED) high = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        if (c == 0xF0) low = 0x90;
        if (c == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (at + length > text.size()) return 0;
    if (byte(at + 1) < low || byte(at + 1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k)
        if ((byte(at + k) & 0xC0) != 0x80) return 0;
    return length;
}

// The local time of `time` as "YYYY-MM-DDTHH:MM:SS".
std::string IsoTimeText(platform::FileTime time) {
    const std::int64_t ticks = 10000000;  // per second
    std::int64_t seconds = (time - platform::kUnixEpochAsFileTime) / ticks;
    if ((time - platform::kUnixEpochAsFileTime) % ticks < 0) --seconds;
    std::int64_t days = seconds / 86400;
    std::int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    // Days since 1970-01-01 to a civil date (proleptic Gregorian).
    const std::int64_t z = days + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const std::int64_t day = doy - (153 * mp + 2) / 5 + 1;
    const std::int64_t month = mp < 10 ? mp + 3 : mp - 9;
    const std::int64_t year = yoe + era * 400 + (month <= 2 ? 1 : 0);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%04" PRId64 "-%02" PRId64 "-%02" PRId64 "T%02" PRId64
                  ":%02" PRId64 ":%02" PRId64,
                  year, month, day, rest / 3600, rest / 60 % 60, rest % 60);
    return buf;
}

}  // namespace

std::string JsonString(const std::string& text) {
    std::string out;
    char buf[8];
    for (std::size_t at = 0; at < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[at]);
        const std::size_t length = Utf8Length(text, at);
        if (length == 0) {
            std::snprintf(buf, sizeof buf, "\\udc%02x", c);
            out += buf;
            ++at;
            continue;
        }
        if (length == 1) {
            if (c == '"' || c == '\\') {
                out += '\\';
                out += static_cast<char>(c);
            } else if (c < 0x20 || c == 0x7F) {
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += static_cast<char>(c);
            }
            ++at;
            continue;
        }
        const std::string sequence = text.substr(at, length);
        // U+202A to U+202E and U+2066 to U+2069: direction marks.
        const bool mark = length == 3 && static_cast<unsigned char>(sequence[0]) == 0xE2 &&
                          ((static_cast<unsigned char>(sequence[1]) == 0x80 &&
                            static_cast<unsigned char>(sequence[2]) >= 0xAA &&
                            static_cast<unsigned char>(sequence[2]) <= 0xAE) ||
                           (static_cast<unsigned char>(sequence[1]) == 0x81 &&
                            static_cast<unsigned char>(sequence[2]) >= 0xA6 &&
                            static_cast<unsigned char>(sequence[2]) <= 0xA9));
        if (mark) {
            const unsigned code = 0x2000u |
                                  ((static_cast<unsigned char>(sequence[1]) & 0x3Fu) << 6) |
                                  (static_cast<unsigned char>(sequence[2]) & 0x3Fu);
            std::snprintf(buf, sizeof buf, "\\u%04x", code);
            out += buf;
        } else {
            out += sequence;
        }
        at += length;
    }
    return out;
}

std::string FormatJson(const ResultsModel& results) {
    std::string out = "{\"groups\": [";
    char buf[64];
    for (std::size_t row = 0; row < results.RowCount(); ++row) {
        const ResultRow& r = results.Row(row);
        const CFileRecord& record = *r.record;
        const bool first = r.image == kImageGroupFirst;
        if (first) {
            if (row > 0) out += "]},";
            std::snprintf(buf, sizeof buf, "%" PRId64, record.m_nSize);
            out += "\n  {\"size\": ";
            out += buf;
            // A group's fingerprints are those of its files; the first row may have lost its
            // cells to a delete, the record keeps them.
            std::snprintf(buf, sizeof buf, ", \"crc\": \"%08" PRIx32 "\", \"checksum\": \"%08" PRIx32
                          "\", \"files\": [",
                          record.m_dwCrc, record.m_dwChecksum);
            out += buf;
        } else {
            out += ",";
        }
        out += "\n    {\"path\": \"" + JsonString(record.Path()) + "\", \"time\": \"" +
               IsoTimeText(record.m_ftWritten) + "\", \"keep\": ";
        out += first ? "true, \"rule\": \"" + std::string(KeepReasonName(r.keptBy)) + "\""
                     : std::string("false");
        out += ", \"protected\": ";
        out += r.isProtected ? "true}" : "false}";
    }
    if (results.RowCount() > 0) out += "]}\n";
    out += "]}\n";
    return out;
}

std::string CliVersionText() { return "pairscout-cli (Pairscout) " PAIRSCOUT_VERSION "\n"; }

std::string FormatResults(const ResultsModel& results, bool csv, bool nul, bool escape) {
    std::string out;
    const char end = nul ? '\0' : '\n';
    for (std::size_t row = 0; row < results.RowCount(); ++row) {
        if (csv) {
            std::string line = results.RowText(row, ",", true);
            if (escape && line.size() >= 2) {
                // The cells, not the CR LF that ends the row.
                line = EscapeControls(line.substr(0, line.size() - 2)) + "\r\n";
            }
            out += line;
            continue;
        }
        const std::string& path = results.Row(row).record->Path();
        out += escape ? EscapeControls(path) : path;
        out += end;
        if (results.Row(row).image == kImageGroupLast) out += end;
    }
    return out;
}
