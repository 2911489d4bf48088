// The results as text: the cells the list shows, the rows that copying, the CSV export and
// printing write, and the list's find. The model holds rows and groups; this is how they read.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/results/results_model.h"

// Where FindRow found its text.
struct FoundText {
    long row = -1;         // -1: nothing found
    std::size_t start = 0; // byte position of the match in the row's text
    std::size_t length = 0;
};

// The text id of why a row does not stand here (0 for a row that does): shown in its keep
// reason cell and named when an action passes it over.
int StandingTextId(RowStanding standing);

// Text of one cell as the list shows it; "" for cells a row does not fill. A catalog's entry
// shows "目录中: path (catalog)" as its path.
std::string CellText(const ResultsModel& model, std::size_t row, int column);

// One row as text: the five cells joined by `separator`, each in double quotes when `quote`
// is set, then CR LF. Quotes inside a quoted cell are doubled, so that a file name holding
// a quote cannot break the CSV file into wrong cells.
std::string RowText(const ResultsModel& model, std::size_t row, const std::string& separator,
                    bool quote);
// RowText of each of `rows` (in the order given) one after another.
std::string RowsText(const ResultsModel& model, const std::vector<std::size_t>& rows,
                     const std::string& separator, bool quote);
// RowText of every row: the copy of an unselected list, the CSV export, printing.
std::string AllRowsText(const ResultsModel& model, const std::string& separator, bool quote);
// The window's CSV export, for spreadsheets: a UTF-8 byte-order mark, a heading row of the
// five column titles, then AllRowsText(",", true), except that a cell beginning with "=",
// "+", "-" or "@" starts with an apostrophe, so that a spreadsheet shows a name like
// "=HYPERLINK(...)" as the text it is instead of running it as a formula, that bytes
// that are not UTF-8 are written as the replacement marks the list shows (ValidUtf8), and
// that text a spreadsheet would read as a number is written as the text formula ="text"
// (in the file "=""text"""): every CRC and checksum cell that is not empty, and a path for
// which ReadsAsNumber holds. Sizes and dates are written as they are.
std::string SpreadsheetCsvText(const ResultsModel& model);

// True when a spreadsheet reading `cell` from a CSV file would take it for a number: blanks
// around, a sign, digits (with thousands commas, a decimal point), an exponent with digits
// ("53e98", "1E-3"), a percent sign.
bool ReadsAsNumber(const std::string& cell);

// Searches the rows' texts (RowText with "\t", unquoted) for `what`, starting after
// `focusedRow` (-1: no focused row; the search then starts at the first row going down and
// at the last row going up), towards the end when `down`, else towards the start, never
// wrapping and never looking at the focused row itself. Without `matchCase` ASCII letters
// are compared without case. With `wholeWord` an occurrence counts only when neither the
// byte before nor the byte after it is a word character (A-Z, a-z, _); after a rejected
// occurrence the search goes on in the text after it as a text of its own. An empty `what`
// finds nothing.
FoundText FindRow(const ResultsModel& model, const std::string& what, long focusedRow, bool down,
                  bool matchCase, bool wholeWord);

// The first place at or after `from` where `pattern` stands in `text` as FindRow's whole-word
// rule accepts it (or anywhere when `wholeWord` is false); std::string::npos when nowhere.
std::size_t FindInRowText(const std::string& text, const std::string& pattern, bool wholeWord);
