// Spreadsheet files read back by other programs: a CSV file by Python's csv module, a workbook
// by openpyxl (Debian's python3-openpyxl, so Debian's own python3), a CSV file converted by
// Gnumeric's ssconvert. POSIX only: the Windows tests run under Wine, without these tools.
#pragma once

#ifndef _WIN32

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <utility>

namespace sheet_reader {

// One cell as the reader saw it: type "s" text, "n" number, "d" date and time, "b" true or
// false, "e" empty; the value as text (a number as Python writes it, a date as
// "YYYY-MM-DD hh:mm:ss"); the fill ("FFRRGGBB", or "none"), the number format, bold.
struct Cell {
    std::string type, value, fill, format;
    bool bold = false;
};

struct Sheet {
    bool read = false;     // false: the reader failed; `error` says what it printed
    std::string error;
    int sheets = 0;        // a workbook's worksheets
    std::string title;     // the first worksheet's name
    std::string freeze;    // its frozen panes' top left cell ("A2"), "None" for none
    std::string filter;    // its autofilter's range ("A1:E7"), "None" for none
    std::map<std::pair<int, int>, Cell> cells;  // by (row, column), both from 0

    const Cell* At(int row, int column) const {
        auto it = cells.find({row, column});
        return it == cells.end() ? nullptr : &it->second;
    }
};

constexpr const char kPython[] = "/usr/bin/python3";

// Prints one line per fact, each field separated by a tab, texts as hexadecimal UTF-8 so that
// tabs, line ends and quotes in a cell cannot break a line.
constexpr const char kScript[] = R"PY(
import binascii, csv, datetime, sys, warnings
warnings.simplefilter('ignore')
def hx(s): return binascii.hexlify(str(s).encode('utf-8')).decode() or '-'
def out(*f): print('\t'.join(f))
mode, path = sys.argv[1], sys.argv[2]
if mode == 'csv':
    with open(path, newline='', encoding='utf-8-sig') as f:
        for r, row in enumerate(csv.reader(f)):
            for c, v in enumerate(row):
                out('cell', str(r), str(c), 's', hx(v), 'none', '-', '0')
else:
    import openpyxl
    wb = openpyxl.load_workbook(path, data_only=True)
    ws = wb.worksheets[0]
    out('book', str(len(wb.worksheets)), hx(ws.title), str(ws.freeze_panes), str(ws.auto_filter.ref))
    for row in ws.iter_rows():
        for cell in row:
            v = cell.value
            if v is None: t, s = 'e', ''
            elif isinstance(v, bool): t, s = 'b', str(v)
            elif isinstance(v, datetime.datetime): t, s = 'd', v.isoformat(sep=' ')
            elif isinstance(v, (int, float)): t, s = 'n', repr(v)
            else: t, s = 's', v
            fill = cell.fill.fgColor.rgb if cell.fill.patternType == 'solid' else 'none'
            out('cell', str(cell.row - 1), str(cell.column - 1), t, hx(s), str(fill),
                hx(cell.number_format), '1' if cell.font.b else '0')
)PY";

inline std::string FromHex(const std::string& hex) {
    if (hex == "-") return std::string();
    std::string text;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        text += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return text;
}

// The output of `command` (its standard error too), and whether it exited with 0.
inline bool Run(const std::string& command, std::string* output) {
    output->clear();
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (pipe == nullptr) return false;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) output->append(buffer, n);
    return pclose(pipe) == 0;
}

inline std::string Quoted(const std::string& path) {
    std::string text = "'";
    for (char c : path) text += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return text + "'";
}

// Reads `path` as "csv" or "xlsx" (`mode`). The script is written beside it as read_sheet.py.
inline Sheet Read(const std::string& mode, const std::string& path, const std::string& folder) {
    Sheet sheet;
    const std::string script = folder + "/read_sheet.py";
    std::ofstream(script) << kScript;
    std::string output;
    if (!Run(std::string(kPython) + " " + Quoted(script) + " " + mode + " " + Quoted(path),
             &output)) {
        sheet.error = output;
        return sheet;
    }
    std::istringstream lines(output);
    std::string line;
    while (std::getline(lines, line)) {
        std::istringstream fields(line);
        std::string kind, a, b, c, d, e, f, g;
        std::getline(fields, kind, '\t');
        if (kind == "book") {
            std::getline(fields, a, '\t');
            std::getline(fields, b, '\t');
            std::getline(fields, sheet.freeze, '\t');
            std::getline(fields, sheet.filter, '\t');
            sheet.sheets = std::stoi(a);
            sheet.title = FromHex(b);
        } else if (kind == "cell") {
            for (std::string* field : {&a, &b, &c, &d, &e, &f, &g})
                std::getline(fields, *field, '\t');
            Cell cell{c, FromHex(d), e, FromHex(f), g == "1"};
            sheet.cells[{std::stoi(a), std::stoi(b)}] = cell;
        } else {
            sheet.error += line + "\n";
        }
    }
    sheet.read = sheet.error.empty();
    return sheet;
}

// Converts `from` into `to` with Gnumeric's ssconvert (each file's type by its extension), its
// settings kept under `home`. Returns "" when done, else what it printed.
inline std::string Convert(const std::string& from, const std::string& to,
                           const std::string& home) {
    std::string output;
    if (Run("HOME=" + Quoted(home) + " ssconvert " + Quoted(from) + " " + Quoted(to), &output))
        return std::string();
    return output.empty() ? std::string("ssconvert failed") : output;
}

}  // namespace sheet_reader

#endif  // _WIN32
