// The pages of a printed list: plain lines of text in one font, tab stops at fixed fractions of
// the page width, long lines wrapped, no header, footer or page number. Plain code over a small
// measuring interface, so that the page breaks are tested without a printer; the printout
// (results/list_printout.h) measures and draws with the printer's device context.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

// Measures text in the printer's font, in device units.
class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    // Width of `text` (UTF-8, without tabs).
    virtual int TextWidth(const std::string& text) const = 0;
};

// Left margin of every printed line, in device units; wrapping keeps lines inside the page
// width from here.
constexpr int kPrintLeft = 50;
// One read of the print file takes at most this many characters; a longer line is printed as
// several lines.
constexpr std::size_t kPrintReadLimit = 1023;

// The page in device units: line height (the font's height and external leading), width and
// height of the printable area.
struct PrintPageFormat {
    int lineHeight = 0;
    int pageWidth = 0;
    int pageHeight = 0;
};

// Lines on one page: height / line height - 1 (the first line stands one line height below the
// top). Never less than 1, so that every page makes progress.
int LinesPerPage(const PrintPageFormat& format);

// The four tab stops for page width `w`: w/4, 2w/5, 3w/5, w.
std::vector<int> PrintTabStops(int pageWidth);

// A piece of a line between tabs, drawn at `x`.
struct TextRun {
    std::string text;
    int x = 0;
};

// Lays out `text` from x = `left`: each tab moves on to the first stop right of the current
// position (stops count from x = 0, whatever `left` is; past the last stop they go on at the
// distance between the last two stops). `right` (may be null) receives the end position,
// trailing tabs included. Runs are made for the non-empty pieces only.
std::vector<TextRun> LayOutTabbed(const TextMeasurer& measurer, const std::string& text,
                                  int left, const std::vector<int>& stops, int* right);

// Width of `text` laid out from 0 with `stops`: its end position, trailing tabs included.
int TabbedWidth(const TextMeasurer& measurer, const std::string& text,
                const std::vector<int>& stops);

// The print file read as the printer reads it: a CR LF pair counts as one line end, and each
// read returns at most kPrintReadLimit characters, up to and including a line end; a longer
// line comes in several reads. A cut never falls inside a UTF-8 character.
class PrintTextReader {
public:
    explicit PrintTextReader(std::string text) : m_text(std::move(text)) {}
    // The next piece ("\n" at its end when the read reached the line end); false at the end.
    bool ReadString(std::string* piece);

private:
    std::string m_text;
    std::size_t m_pos = 0;
};

// One printed line: its pieces and where they go (y is the line's top).
struct PrintedLine {
    int y = 0;
    std::vector<TextRun> runs;
};
using PrintedPage = std::vector<PrintedLine>;

// Breaks `text` (the print file) into pages. Each read line loses one trailing line end; while
// it is wider than the page (its width plus kPrintLeft greater than the page width) its longest
// prefix whose width plus kPrintLeft is less than the page width is printed on a line of its own
// and the rest goes on (at least one character goes each time, so even a page too narrow for
// one character ends). Line i of a page (from 1) stands at y = i * line height. A page is ended
// as soon as its last line is used, before the next read, so a text of exactly full pages ends
// with an empty page; an empty text gives one empty page.
std::vector<PrintedPage> PaginatePrintText(const std::string& text,
                                           const TextMeasurer& measurer,
                                           const PrintPageFormat& format);
