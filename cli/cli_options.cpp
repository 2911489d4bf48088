#include "cli/cli_options.h"

#include <cinttypes>
#include <cstdio>

#include "cli/terminal_progress.h"
#include "engine/date_value.h"
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
// when needed. Returns false when `arg` is not that option.
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
        return true;
    }
    if (arg.compare(0, prefix.size() + 1, prefix + "=") == 0) {
        *value = arg.substr(prefix.size() + 1);
        return true;
    }
    return false;
}

// A date refusal and the forms accepted stay on the one line of an error.
constexpr const char* kRefusalSeparator = ": ";

// A date limit read as the filters page reads it; `endOfDay` for the maximum.
bool ReadDate(const std::string& text, bool endOfDay, platform::FileTime* out, std::string* error) {
    CDateValue date;
    const int refusal = date.CheckDateOrIso(text.c_str());
    if (refusal != 0) {
        *error = DateRefusalText(refusal, kRefusalSeparator);
        return false;
    }
    date.m_bEndOfDay = endOfDay ? 1 : 0;
    *out = date.ToFileTime(1);
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

bool ParseCliOptions(const std::vector<std::string>& args, CliOptions* options, std::string* error) {
    SearchFilter& filter = options->search.filter;
    std::vector<std::string> paths;
    bool onlyPaths = false;
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
        *error = LoadStringText(IDS_INVALID_FILE_SIZE);
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

std::string CliUsage() {
    return
        "Usage: pairscout-cli [OPTIONS] PATH...\n"
        "\n"
        "Finds duplicate files below the PATHs: files are sorted by size, and files of equal\n"
        "size are compared by CRC-32 and byte sum. Each PATH is one start path, taken exactly as\n"
        "typed: a folder, the keyword \"" +
        std::string(LoadStringText(IDS_LOCAL_HARD_DISKS)) + "\" (all local fixed disks) or \"//server\" (the\n"
        "mounted shares of a server). A PATH holding \";\" that names nothing is read as a list\n"
        "of start paths: blanks around each element are removed and empty elements skipped.\n"
        "Symbolic links are never followed; hard links and a file\n"
        "reached twice are never listed as duplicates of themselves; files that cannot be read\n"
        "completely are never listed.\n"
        "\n"
        "Options:\n"
        "  --mask TEXT           file masks joined by \";\"; a mask starting with \"~\" excludes\n"
        "                        (default \"*.*\"); \"dir/*/\" masks name folders below a PATH\n"
        "  --min-date DATE       leave out files written before this date: YYYY-MM-DD, the\n"
        "  --max-date DATE       locale's short date, or \"%%today\" with an optional signed\n"
        "                        day offset such as \"%%today-7\"; the maximum date is the end\n"
        "                        of its day; years 1601 to 30848\n"
        "  --min-size SIZE       leave out files smaller / larger than this: digits alone\n"
        "  --max-size SIZE       (bytes), or followed by K or M and nothing else; at most\n"
        "                        2147483647 bytes (2097151K, 2047M)\n"
        "  --readonly=yes|no     attribute filters: leave out the files whose named attributes\n"
        "  --hidden=yes|no       are exactly as given (yes = set, no = clear); an attribute\n"
        "  --system=yes|no       that is not named is not examined. On this system hidden means\n"
        "  --directory=yes|no    a name starting with \".\", read-only means no write permission\n"
        "  --archive=yes|no      for the owner; system and archive are never set\n"
        "  --reverse             reversed filter: the limits describe the only files to keep\n"
        "  --csv                 write the rows as the CSV export does (every cell quoted,\n"
        "                        CR LF line ends, no header line)\n"
        "  -0, --null            end each path with a NUL byte and each group with one more,\n"
        "                        for names that hold line feeds (not with --csv)\n"
        "  -h, --help            show this text\n"
        "      --version         show the program's name and version\n"
        "\n"
        "Output: the paths of each group, one per line, the first file first, with an empty\n"
        "line after each group. The summary goes to standard error, followed by the number of\n"
        "files that could not be read completely, if any; so does a progress line when\n"
        "standard error is a terminal. Each start path, folder and file passed over is named\n"
        "on standard error as \"pairscout-cli: PATH: reason\", and the search goes on. Control\n"
        "characters in names are shown there as \\xNN, and so they are in the list when\n"
        "standard output is a terminal (into a file or a pipe the names go as they are).\n"
        "\n"
        "Exit status: 0 after a search, whether or not duplicates were found; 1 when the\n"
        "output could not be written (a full disk, a closed pipe); 2 for bad arguments or when\n"
        "not one start path could be opened; 130 after Ctrl+C, which stops the search and\n"
        "prints the groups found so far (a second Ctrl+C ends at once).\n";
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
