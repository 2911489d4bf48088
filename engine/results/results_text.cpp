#include "engine/results/results_text.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "engine/results/keep_rules.h"
#include "engine/text/string_table.h"
#include "engine/text/text_format.h"
#include "engine/text/text_helpers.h"

int StandingTextId(RowStanding standing) {
    switch (standing) {
        case kStandsHere: return 0;
        case kStandsChanged: return IDS_STANDS_CHANGED;
        case kStandsMissing: return IDS_STANDS_MISSING;
        case kStandsReplaced: return IDS_STANDS_REPLACED;
        case kStandsInCatalog: return IDS_ONLY_IN_CATALOG;
    }
    return 0;
}

std::string CellText(const ResultsModel& model, std::size_t row, int column) {
    const ResultRow& r = model.Row(row);
    const CFileRecord& rec = *r.record;
    char buf[32];
    switch (column) {
        case kColumnPath:
            if (r.standing == kStandsInCatalog)
                return FormatInCatalog(rec.Path(), model.CatalogName());
            return rec.Path();
        case kColumnTime: {
            std::string text;
            FileTimeToText(&rec.m_ftWritten, text);
            return text;
        }
        case kColumnSize:
            if (!r.showsDetails) return std::string();
            std::snprintf(buf, sizeof buf, "%" PRId64, rec.m_nSize);
            return buf;
        case kColumnCrc:
        case kColumnChecksum:
            if (!r.showsDetails) return std::string();
            std::snprintf(buf, sizeof buf, "%" PRIx32,
                          column == kColumnCrc ? rec.m_dwCrc : rec.m_dwChecksum);
            return buf;
        case kColumnKeepReason:
            if (r.standing == kStandsInCatalog)
                return r.showsDetails ? LoadStringText(IDS_KEPT_IN_CATALOG) : std::string();
            if (!r.StandsHere()) return LoadStringText(StandingTextId(r.standing));
            if (r.replaced != kNotReplaced)
                return LoadStringText(r.replaced == kReplacedByLink ? IDS_ROW_HARD_LINK
                                                                     : IDS_ROW_SHARED);
            return r.showsDetails ? KeepReasonText(r.keptBy) : std::string();
        default: return std::string();
    }
}

namespace {

// One cell in double quotes, a quote inside doubled; with `guardFormula`, an apostrophe before a
// leading character a spreadsheet would take for the start of a formula.
void AppendQuoted(const std::string& cell, bool guardFormula, std::string* text) {
    *text += '"';
    if (guardFormula && !cell.empty() && std::strchr("=+-@", cell[0]) != nullptr) *text += '\'';
    for (char c : cell) {
        if (c == '"') *text += '"';
        *text += c;
    }
    *text += '"';
}

// One quoted cell of the spreadsheet CSV: valid UTF-8, formulas guarded.
void AppendSpreadsheetCell(const std::string& cell, std::string* text) {
    AppendQuoted(ValidUtf8(cell), true, text);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// A text cell written as the formula ="cell": spreadsheets show the text it yields and never
// read it as a number (quotes around the cell in the file do not stop them).
void AppendTextFormulaCell(const std::string& cell, std::string* text) {
    *text += "\"=\"\"";
    for (char c : cell) {
        if (c == '"') *text += "\"\"\"";  // doubled once in the formula, once more in the CSV
        *text += c;
    }
    *text += "\"\"\"";
}

}  // namespace

bool ReadsAsNumber(const std::string& cell) {
    std::size_t i = 0;
    const std::size_t n = cell.size();
    while (i < n && cell[i] == ' ') ++i;
    if (i < n && (cell[i] == '+' || cell[i] == '-')) ++i;
    std::size_t digits = 0;
    for (; i < n && (IsDigit(cell[i]) || cell[i] == ','); ++i) digits += IsDigit(cell[i]);
    if (i < n && cell[i] == '.')
        for (++i; i < n && IsDigit(cell[i]); ++i) ++digits;
    if (digits == 0) return false;
    if (i < n && (cell[i] == 'e' || cell[i] == 'E')) {
        std::size_t at = i + 1;
        if (at < n && (cell[at] == '+' || cell[at] == '-')) ++at;
        if (at >= n || !IsDigit(cell[at])) return false;  // "12e": text
        for (i = at; i < n && IsDigit(cell[i]); ++i) {}
    }
    if (i < n && cell[i] == '%') ++i;
    while (i < n && cell[i] == ' ') ++i;
    return i == n;
}

namespace {

// A cell of the spreadsheet CSV in column `column`. The CRC and checksum are hexadecimal codes,
// never numbers: every one is written as a text formula, since "53e98" reads as 5.3E+99, an
// all-digit code loses its leading zeros and some ("dec1") read as dates. A path that reads as
// a number is written so too; the size stays a plain number.
void AppendSpreadsheetColumnCell(const std::string& cell, int column, std::string* text) {
    const std::string valid = ValidUtf8(cell);
    const bool code = column == kColumnCrc || column == kColumnChecksum;
    if (!valid.empty() && column != kColumnSize && column != kColumnTime &&
        (code || ReadsAsNumber(valid)))
        AppendTextFormulaCell(valid, text);
    else
        AppendQuoted(valid, true, text);
}

}  // namespace

std::string RowText(const ResultsModel& model, std::size_t row, const std::string& separator,
                    bool quote) {
    std::string text;
    for (int column = 0; column < kResultColumnCount; ++column) {
        if (column > 0) text += separator;
        const std::string cell = CellText(model, row, column);
        if (quote) AppendQuoted(cell, false, &text);
        else text += cell;
    }
    text += "\r\n";
    return text;
}

std::string SpreadsheetCsvText(const ResultsModel& model) {
    // The byte-order mark tells a spreadsheet the file is UTF-8 (without it some read the
    // system's code page, and every Chinese name comes out garbled).
    std::string text = "\xEF\xBB\xBF";
    for (int column = 0; column < kResultColumnCount; ++column) {
        if (column > 0) text += ',';
        AppendSpreadsheetCell(LoadStringText(IDS_COLUMN_NAME + column), &text);
    }
    text += "\r\n";
    for (std::size_t row = 0; row < model.RowCount(); ++row) {
        for (int column = 0; column < kResultColumnCount; ++column) {
            if (column > 0) text += ',';
            AppendSpreadsheetColumnCell(CellText(model, row, column), column, &text);
        }
        text += "\r\n";
    }
    return text;
}

std::string RowsText(const ResultsModel& model, const std::vector<std::size_t>& rows,
                     const std::string& separator, bool quote) {
    std::string text;
    for (std::size_t row : rows) text += RowText(model, row, separator, quote);
    return text;
}

std::string AllRowsText(const ResultsModel& model, const std::string& separator, bool quote) {
    std::string text;
    for (std::size_t row = 0; row < model.RowCount(); ++row)
        text += RowText(model, row, separator, quote);
    return text;
}

namespace {

bool IsWordByte(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

void UpperCaseInPlace(std::string& s) {
    for (char& c : s) c = static_cast<char>(UpperCaseByte(static_cast<unsigned char>(c)));
}

}  // namespace

std::size_t FindInRowText(const std::string& text, const std::string& pattern, bool wholeWord) {
    if (pattern.empty()) return std::string::npos;
    std::size_t from = 0;  // where the text being searched begins
    for (;;) {
        const std::size_t at = text.find(pattern, from);
        if (at == std::string::npos || !wholeWord) return at;
        const std::size_t after = at + pattern.size();
        const bool wordBefore = at > from && IsWordByte(static_cast<unsigned char>(text[at - 1]));
        const bool wordAfter =
            after < text.size() && IsWordByte(static_cast<unsigned char>(text[after]));
        if (!wordBefore && !wordAfter) return at;
        // The rest after a rejected occurrence is searched as a text of its own: its first
        // byte has no byte before it.
        from = after;
    }
}

FoundText FindRow(const ResultsModel& model, const std::string& what, long focusedRow, bool down,
                  bool matchCase, bool wholeWord) {
    FoundText found;
    if (what.empty()) return found;
    const long count = static_cast<long>(model.RowCount());
    const long step = down ? 1 : -1;
    long row = focusedRow < 0 ? (down ? 0 : count - 1) : focusedRow + step;
    std::string pattern = what;
    if (!matchCase) UpperCaseInPlace(pattern);
    for (; row >= 0 && row < count; row += step) {
        std::string text = RowText(model, static_cast<std::size_t>(row), "\t", false);
        if (!matchCase) UpperCaseInPlace(text);
        const std::size_t at = FindInRowText(text, pattern, wholeWord);
        if (at == std::string::npos) continue;
        found.row = row;
        found.start = at;
        found.length = pattern.size();
        return found;
    }
    return found;
}

std::string ResultsModel::CellText(std::size_t row, int column) const {
    return ::CellText(*this, row, column);
}

std::string ResultsModel::RowText(std::size_t row, const std::string& separator,
                                  bool quote) const {
    return ::RowText(*this, row, separator, quote);
}

std::string ResultsModel::RowsText(const std::vector<std::size_t>& rows,
                                   const std::string& separator, bool quote) const {
    return ::RowsText(*this, rows, separator, quote);
}

std::string ResultsModel::AllRowsText(const std::string& separator, bool quote) const {
    return ::AllRowsText(*this, separator, quote);
}

std::string ResultsModel::SpreadsheetCsvText() const { return ::SpreadsheetCsvText(*this); }

FoundText ResultsModel::FindRow(const std::string& what, long focusedRow, bool down,
                                bool matchCase, bool wholeWord) const {
    return ::FindRow(*this, what, focusedRow, down, matchCase, wholeWord);
}
