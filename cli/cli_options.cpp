#include "cli/cli_options.h"

#include "engine/date_value.h"
#include "engine/engine_strings.h"
#include "engine/size_text.h"
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

// A date limit read as the filters page reads it; `endOfDay` for the maximum.
bool ReadDate(const std::string& text, bool endOfDay, platform::FileTime* out, std::string* error) {
    CDateValue date;
    const int refusal = date.CheckDate(text.c_str());
    if (refusal != 0) {
        *error = LoadStringText(refusal);
        return false;
    }
    date.m_bEndOfDay = endOfDay ? 1 : 0;
    *out = date.ToFileTime(1);
    return true;
}

bool ReadSize(const std::string& text, std::int64_t* out, std::string* error) {
    const int refusal = ParseSizeText(text, out);
    if (refusal != 0) {
        *error = LoadStringText(refusal);
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
        *error = LoadStringText(kIdsInvalidFileSize);
        return false;
    }
    if (paths.empty() && !options->help && !options->version) {
        *error = "no PATH given";
        return false;
    }
    std::string joined;
    for (const std::string& p : paths) {
        if (!joined.empty()) joined += ';';
        joined += p;
    }
    options->search.paths = joined;
    return true;
}

std::string CliUsage() {
    return
        "Usage: pairscout-cli [OPTIONS] PATH...\n"
        "\n"
        "Finds duplicate files below the PATHs: files are sorted by size, and files of equal\n"
        "size are compared by CRC-32 and byte sum. The PATHs are joined with \";\" into one start\n"
        "path list, so a PATH may itself be a \";\" list, the keyword \"本地硬盘\" (all local\n"
        "fixed disks) or \"//server\" (the mounted shares of a server). Symbolic links are never\n"
        "followed; hard links and a file reached twice are never listed as duplicates of\n"
        "themselves; files that cannot be read completely are never listed.\n"
        "\n"
        "Options:\n"
        "  --mask TEXT           file masks joined by \";\"; a mask starting with \"~\" excludes\n"
        "                        (default \"*.*\"); \"dir/*/\" masks name folders below a PATH\n"
        "  --min-date TEXT       leave out files written before this date (the locale's short\n"
        "  --max-date TEXT       date, or \"%%today\" with an optional signed day offset such as\n"
        "                        \"%%today-7\"); the maximum date is the end of its day\n"
        "  --min-size TEXT       leave out files smaller / larger than this: bytes, or a number\n"
        "  --max-size TEXT       followed by K or M\n"
        "  --readonly=yes|no     attribute filters: leave out the files whose named attributes\n"
        "  --hidden=yes|no       are exactly as given (yes = set, no = clear); an attribute\n"
        "  --system=yes|no       that is not named is not examined. On this system hidden means\n"
        "  --directory=yes|no    a name starting with \".\", read-only means no write permission\n"
        "  --archive=yes|no      for the owner; system and archive are never set\n"
        "  --reverse             reversed filter: the limits describe the only files to keep\n"
        "  --csv                 write the rows as the CSV export does (every cell quoted,\n"
        "                        CR LF line ends, no header line)\n"
        "  -h, --help            show this text\n"
        "      --version         show the program's name and version\n"
        "\n"
        "Output: the paths of each group, one per line, the first file first, with an empty\n"
        "line after each group. The summary goes to standard error, and so does a progress line\n"
        "when standard error is a terminal.\n"
        "\n"
        "Exit status: 0 after a search, whether or not duplicates were found; 2 for bad\n"
        "arguments; 130 after Ctrl+C, which stops the search and prints the groups found so far.\n";
}

std::string CliVersionText() { return "pairscout-cli (Pairscout) " PAIRSCOUT_VERSION "\n"; }

std::string FormatResults(const ResultsModel& results, bool csv) {
    std::string out;
    for (std::size_t row = 0; row < results.RowCount(); ++row) {
        if (csv) {
            out += results.RowText(row, ",", true);
            continue;
        }
        out += results.Row(row).record->Path();
        out += '\n';
        if (results.Row(row).image == kImageGroupLast) out += '\n';
    }
    return out;
}
