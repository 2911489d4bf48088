#include "results/print_pages.h"

#include <algorithm>

namespace {

bool IsContinuationByte(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// The next tab position after `x`.
int NextTabStop(int x, const std::vector<int>& stops) {
    for (int stop : stops)
        if (stop > x) return stop;
    if (stops.empty()) return x + 1;
    const int last = stops.back();
    const int step = stops.size() > 1 ? std::max(1, last - stops[stops.size() - 2])
                                      : std::max(1, last);
    int stop = last;
    while (stop <= x) stop += step;
    return stop;
}

// A line split at its tabs: where each piece begins in the text and at which x (laid out
// from 0), so that the width of any prefix costs one measurement of a part of one piece.
class TabbedLine {
public:
    TabbedLine(const TextMeasurer& measurer, const std::string& text,
               const std::vector<int>& stops)
        : m_measurer(measurer), m_text(text) {
        std::size_t begin = 0;
        int x = 0;
        for (;;) {
            const std::size_t tab = text.find('\t', begin);
            const std::size_t end = tab == std::string::npos ? text.size() : tab;
            m_pieces.push_back({begin, end, x});
            x += end > begin ? measurer.TextWidth(text.substr(begin, end - begin)) : 0;
            if (tab == std::string::npos) break;
            x = NextTabStop(x, stops);
            begin = tab + 1;
        }
        m_width = x;
    }

    int Width() const { return m_width; }

    // Width of the first `length` bytes.
    int PrefixWidth(std::size_t length) const {
        auto piece = std::upper_bound(m_pieces.begin(), m_pieces.end(), length,
                                      [](std::size_t n, const Piece& p) { return n < p.begin; });
        --piece;  // the last piece that begins at or before byte `length`
        const std::size_t count = length - piece->begin;
        return piece->x + (count > 0 ? m_measurer.TextWidth(m_text.substr(piece->begin, count)) : 0);
    }

private:
    struct Piece {
        std::size_t begin;
        std::size_t end;
        int x;
    };
    const TextMeasurer& m_measurer;
    const std::string& m_text;
    std::vector<Piece> m_pieces;
    int m_width = 0;
};

// The length of the longest prefix of `line` (cut between characters) whose width plus the
// left margin is less than `pageWidth`; the length of the first character when none is.
// Widths grow with the prefix, so the longest fitting one is found by halving.
std::size_t FittingPrefix(const TabbedLine& line, const std::string& text, int pageWidth) {
    std::vector<std::size_t> cuts;  // character boundaries after the first character
    for (std::size_t i = 1; i < text.size(); ++i)
        if (!IsContinuationByte(text[i])) cuts.push_back(i);
    std::size_t lo = 0, hi = cuts.size();  // cuts[0, lo) fit; cuts[hi, ...) do not
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        if (line.PrefixWidth(cuts[mid]) + kPrintLeft < pageWidth)
            lo = mid + 1;
        else
            hi = mid;
    }
    if (lo > 0) return cuts[lo - 1];
    return cuts.empty() ? text.size() : cuts[0];
}

}  // namespace

int LinesPerPage(const PrintPageFormat& format) {
    const int height = std::max(1, format.lineHeight);
    return std::max(1, format.pageHeight / height - 1);
}

std::vector<int> PrintTabStops(int pageWidth) {
    return {pageWidth / 4, 2 * pageWidth / 5, 3 * pageWidth / 5, pageWidth};
}

std::vector<TextRun> LayOutTabbed(const TextMeasurer& measurer, const std::string& text,
                                  int left, const std::vector<int>& stops, int* right) {
    std::vector<TextRun> runs;
    std::size_t begin = 0;
    int x = left;
    for (;;) {
        const std::size_t tab = text.find('\t', begin);
        const std::size_t end = tab == std::string::npos ? text.size() : tab;
        if (end > begin) {
            runs.push_back({text.substr(begin, end - begin), x});
            x += measurer.TextWidth(runs.back().text);
        }
        if (tab == std::string::npos) break;
        x = NextTabStop(x, stops);
        begin = tab + 1;
    }
    if (right != nullptr) *right = x;
    return runs;
}

int TabbedWidth(const TextMeasurer& measurer, const std::string& text,
                const std::vector<int>& stops) {
    return TabbedLine(measurer, text, stops).Width();
}

bool PrintTextReader::ReadString(std::string* piece) {
    piece->clear();
    if (m_pos >= m_text.size()) return false;
    std::size_t characters = 0;
    while (m_pos < m_text.size() && characters < kPrintReadLimit) {
        const char c = m_text[m_pos];
        if (c == '\r' && m_pos + 1 < m_text.size() && m_text[m_pos + 1] == '\n') {
            *piece += '\n';
            m_pos += 2;
            return true;
        }
        if (c == '\n') {
            *piece += '\n';
            ++m_pos;
            return true;
        }
        // One whole character at a time, so that a cut never splits one.
        std::size_t end = m_pos + 1;
        while (end < m_text.size() && IsContinuationByte(m_text[end])) ++end;
        piece->append(m_text, m_pos, end - m_pos);
        m_pos = end;
        ++characters;
    }
    return true;
}

std::vector<PrintedPage> PaginatePrintText(const std::string& text,
                                           const TextMeasurer& measurer,
                                           const PrintPageFormat& format) {
    const int lineHeight = std::max(1, format.lineHeight);
    const int linesPerPage = LinesPerPage(format);
    const int width = format.pageWidth;
    const std::vector<int> stops = PrintTabStops(width);

    std::vector<PrintedPage> pages(1);
    int i = 1;
    auto put = [&](const std::string& piece) {
        pages.back().push_back({i * lineHeight, LayOutTabbed(measurer, piece, kPrintLeft, stops,
                                                             nullptr)});
    };

    PrintTextReader reader(text);
    std::string line;
    for (;;) {
        if (i > linesPerPage) {
            pages.emplace_back();
            i = 1;
        }
        if (!reader.ReadString(&line)) break;
        if (!line.empty() && line.back() == '\n') line.pop_back();

        for (;;) {
            const TabbedLine measured(measurer, line, stops);
            if (line.empty() || measured.Width() + kPrintLeft <= width) break;
            const std::size_t cut = FittingPrefix(measured, line, width);
            put(line.substr(0, cut));
            line.erase(0, cut);
            ++i;
            if (i > linesPerPage) {
                pages.emplace_back();
                i = 1;
            }
        }
        put(line);
        ++i;
    }
    return pages;
}
