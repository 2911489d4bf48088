// The printed list's pages: a heading row of column titles at the top of every page, the rows
// in columns that never run into each other (a cell too wide for its column is cut in the
// middle with "…"), and at the foot the date of the search and the page number. Plain code
// that measures text through a callback, so the printout (results/list_printout.h) only draws
// what it is given, and tests lay out pages without a printer.
//
// All positions are in the units of the measuring callback (the printer's device units), with
// the printable area given by the caller: the paper less the margins the printer reports.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

class ResultsModel;

// The width of a text (UTF-8, one line) in the print font. Must be 0 for "" and must not
// shrink when characters are added (true of every font the printer has).
using PrintTextWidth = std::function<int(const std::string& text)>;

// The part of the page that may be printed on.
struct PrintArea {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// One piece of text and the top-left corner it is drawn at.
struct PrintedText {
    std::string text;
    int x = 0;
    int y = 0;
};

// A column: where it begins and how wide it is; a cell never reaches past x + width.
struct PrintColumn {
    int x = 0;
    int width = 0;
    bool alignRight = false;  // numbers end at the column's right edge
};

// Everything drawn on one page: texts, and two rules (horizontal lines across the area),
// under the heading row and over the foot.
struct PrintedPage {
    std::vector<PrintedText> texts;
    int headingRuleY = 0;
    int footRuleY = 0;
};

// `text` cut to `maxWidth`: unchanged when it fits; else its first and last characters with
// "…" between them, as many as fit (the front keeps the odd one), never cutting inside a UTF-8
// character; "…" alone when no character fits beside it, "" when not even that fits. Bytes that
// are not UTF-8 count as one character each.
std::string CutInMiddle(const std::string& text, int maxWidth, const PrintTextWidth& width);

class PrintLayout {
public:
    // The text of a cell: row 0 .. rowCount-1, column 0 .. headings.size()-1.
    using CellText = std::function<std::string(std::size_t row, int column)>;

    // `headings` name the columns, left to right; `alignRight` (same length or empty) marks the
    // columns of numbers. Column 0 takes the room the others leave (the path); the others are
    // as wide as their widest cell or title, together at most three fifths of the area, so
    // the first column always keeps two fifths. `searchDate` is the date text printed at the
    // foot ("" leaves it out). `lineHeight` is the print font's line height.
    // Every cell is measured here once, to size the columns.
    PrintLayout(std::vector<std::string> headings, std::vector<bool> alignRight,
                std::size_t rowCount, CellText cells, std::string searchDate,
                PrintTextWidth width, PrintArea area, int lineHeight);

    const std::vector<PrintColumn>& Columns() const { return m_columns; }
    // The room between two columns.
    int Gap() const { return m_gap; }
    // Rows under the heading row of one page (at least 1).
    int RowsPerPage() const { return m_rowsPerPage; }
    // Pages, at least 1 (an empty list prints its heading row).
    int PageCount() const;
    // The text at the foot of `page` (1-based): the search date and the page number.
    std::string SearchDateText() const;
    std::string PageNumberText(int page) const;
    // The page `page` (1 .. PageCount()): the heading row, its rows, the foot.
    PrintedPage LayOutPage(int page) const;

private:
    // The cell's text as printed: cut to its column, placed by the column's alignment.
    PrintedText Cell(const std::string& text, int column, int y) const;

    std::vector<std::string> m_headings;
    std::size_t m_rowCount;
    CellText m_cells;
    std::string m_searchDate;
    PrintTextWidth m_width;
    PrintArea m_area;
    int m_lineHeight;
    int m_gap = 0;
    int m_rowsTop = 0;
    int m_footY = 0;
    int m_rowsPerPage = 1;
    std::vector<PrintColumn> m_columns;
};

// The layout of the results: the five columns of the list with their titles (size, CRC and
// checksum aligned right), the cells as the list shows them (bytes that are not UTF-8 as
// replacement marks), and the search's date in the form of the list's dates.
PrintLayout ResultsPrintLayout(const ResultsModel& model, PrintTextWidth width, PrintArea area,
                               int lineHeight);
