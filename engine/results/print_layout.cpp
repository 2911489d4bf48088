#include "engine/results/print_layout.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <utility>

#include "engine/results/results_model.h"
#include "engine/results/results_text.h"
#include "engine/text/string_table.h"
#include "engine/text/text_format.h"
#include "engine/text/text_helpers.h"

namespace {

const char kEllipsis[] = "\xE2\x80\xA6";  // …

}  // namespace

std::string CutInMiddle(const std::string& text, int maxWidth, const PrintTextWidth& width) {
    if (width(text) <= maxWidth) return text;
    const std::string ellipsis = kEllipsis;
    if (width(ellipsis) > maxWidth) return std::string();

    std::vector<std::size_t> starts;  // where each character begins
    for (std::size_t i = 0; i < text.size();) {
        starts.push_back(i);
        i += std::max<std::size_t>(1, Utf8SequenceLength(text, i));
    }
    const std::size_t count = starts.size();
    auto keep = [&](std::size_t kept) {
        const std::size_t front = (kept + 1) / 2, back = kept / 2;
        const std::size_t frontEnd = front < count ? starts[front] : text.size();
        const std::size_t backBegin = back > 0 ? starts[count - back] : text.size();
        return text.substr(0, frontEnd) + ellipsis + text.substr(backBegin);
    };
    // The most characters that fit beside the ellipsis: all of them is the text itself, which
    // does not fit; none is the ellipsis alone, which does.
    std::size_t lo = 0, hi = count - 1;
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo + 1) / 2;
        if (width(keep(mid)) <= maxWidth)
            lo = mid;
        else
            hi = mid - 1;
    }
    return keep(lo);
}

PrintLayout::PrintLayout(std::vector<std::string> headings, std::vector<bool> alignRight,
                         std::size_t rowCount, CellText cells, std::string searchDate,
                         PrintTextWidth width, PrintArea area, int lineHeight)
    : m_headings(std::move(headings)),
      m_rowCount(rowCount),
      m_cells(std::move(cells)),
      m_searchDate(std::move(searchDate)),
      m_width(std::move(width)),
      m_area(area),
      m_lineHeight(std::max(1, lineHeight)) {
    m_area.width = std::max(0, m_area.width);
    m_area.height = std::max(0, m_area.height);
    // Vertically: the heading row, half a line, the rows, half a line, the foot.
    m_rowsTop = m_area.top + m_lineHeight + m_lineHeight / 2;
    m_footY = std::max(m_rowsTop, m_area.top + m_area.height - m_lineHeight);
    m_rowsPerPage = std::max(1, (m_footY - m_lineHeight / 2 - m_rowsTop) / m_lineHeight);

    // Horizontally: the widest text of each column but the first, which takes the rest.
    const int columns = static_cast<int>(m_headings.size());
    m_gap = std::max(1, m_lineHeight * 2 / 3);
    m_columns.resize(columns);
    if (columns == 0) return;
    std::vector<std::int64_t> natural(columns, 0);
    std::unordered_map<std::string, int> measured;  // dates and sizes repeat
    for (int c = 1; c < columns; ++c) {
        natural[c] = m_width(m_headings[c]);
        for (std::size_t row = 0; row < m_rowCount; ++row) {
            const std::string text = m_cells(row, c);
            auto found = measured.find(text);
            if (found == measured.end()) found = measured.emplace(text, m_width(text)).first;
            natural[c] = std::max<std::int64_t>(natural[c], found->second);
        }
    }
    const std::int64_t gaps = static_cast<std::int64_t>(m_gap) * (columns - 1);
    const std::int64_t room = std::max<std::int64_t>(0, m_area.width - gaps);
    const std::int64_t othersRoom = room - room * 2 / 5;
    std::int64_t others = 0;
    for (int c = 1; c < columns; ++c) others += natural[c];
    if (others > othersRoom) {
        // Too wide together: each gives up room in proportion, and its cells are cut.
        for (int c = 1; c < columns; ++c) natural[c] = natural[c] * othersRoom / others;
        others = 0;
        for (int c = 1; c < columns; ++c) others += natural[c];
    }
    natural[0] = room - others;
    int x = m_area.left;
    for (int c = 0; c < columns; ++c) {
        m_columns[c].x = x;
        m_columns[c].width = static_cast<int>(natural[c]);
        m_columns[c].alignRight = c < static_cast<int>(alignRight.size()) && alignRight[c];
        x += m_columns[c].width + m_gap;
    }
}

int PrintLayout::PageCount() const {
    if (m_rowCount == 0) return 1;
    return static_cast<int>((m_rowCount + m_rowsPerPage - 1) / m_rowsPerPage);
}

std::string PrintLayout::SearchDateText() const {
    return m_searchDate.empty() ? std::string() : FormatPrintSearchDate(m_searchDate);
}

std::string PrintLayout::PageNumberText(int page) const {
    return FormatPrintPageNumber(page, PageCount());
}

PrintedText PrintLayout::Cell(const std::string& text, int column, int y) const {
    const PrintColumn& col = m_columns[column];
    PrintedText cell{CutInMiddle(text, col.width, m_width), col.x, y};
    if (col.alignRight) cell.x = col.x + col.width - m_width(cell.text);
    return cell;
}

PrintedPage PrintLayout::LayOutPage(int page) const {
    PrintedPage printed;
    const int columns = static_cast<int>(m_columns.size());
    for (int c = 0; c < columns; ++c) printed.texts.push_back(Cell(m_headings[c], c, m_area.top));
    printed.headingRuleY = m_area.top + m_lineHeight + m_lineHeight / 4;

    if (page >= 1 && page <= PageCount()) {
        const std::size_t first = static_cast<std::size_t>(page - 1) * m_rowsPerPage;
        const std::size_t end = std::min(m_rowCount, first + m_rowsPerPage);
        int y = m_rowsTop;
        for (std::size_t row = first; row < end; ++row, y += m_lineHeight)
            for (int c = 0; c < columns; ++c) {
                PrintedText cell = Cell(m_cells(row, c), c, y);
                if (!cell.text.empty()) printed.texts.push_back(std::move(cell));
            }
    }

    // The foot: the page number at the right edge; the date takes what room is left of it.
    printed.footRuleY = m_footY - m_lineHeight / 4;
    const std::string number = CutInMiddle(PageNumberText(page), m_area.width, m_width);
    const int numberWidth = m_width(number);
    const std::string date =
        CutInMiddle(SearchDateText(), m_area.width - numberWidth - m_gap, m_width);
    if (!date.empty()) printed.texts.push_back({date, m_area.left, m_footY});
    printed.texts.push_back({number, m_area.left + m_area.width - numberWidth, m_footY});
    return printed;
}

PrintLayout ResultsPrintLayout(const ResultsModel& model, PrintTextWidth width, PrintArea area,
                               int lineHeight) {
    std::vector<std::string> headings;
    for (int column = 0; column < kResultColumnCount; ++column)
        headings.push_back(LoadStringText(IDS_COLUMN_NAME + column));
    std::vector<bool> alignRight(kResultColumnCount, false);
    alignRight[kColumnSize] = alignRight[kColumnCrc] = alignRight[kColumnChecksum] = true;
    std::string date;
    if (model.SearchTime() != 0) {
        const platform::FileTime time = model.SearchTime();
        FileTimeToText(&time, date);
    }
    // The model outlives the layout: the printout holds both for the print job.
    auto cells = [&model](std::size_t row, int column) {
        return ValidUtf8(::CellText(model, row, column));
    };
    return PrintLayout(std::move(headings), std::move(alignRight), model.RowCount(), cells,
                       std::move(date), std::move(width), area, lineHeight);
}
