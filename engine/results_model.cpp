#include "engine/results_model.h"

#include <cstring>

#include <algorithm>
#include <cinttypes>
#include <cstdio>

#include "engine/keep_rules.h"
#include "engine/string_table.h"
#include "engine/text_helpers.h"

std::string ResultsModel::CellText(std::size_t row, int column) const {
    const ResultRow& r = m_rows[row];
    const CFileRecord& rec = *r.record;
    char buf[32];
    switch (column) {
        case kColumnPath: return rec.Path();
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

}  // namespace

std::string ResultsModel::RowText(std::size_t row, const std::string& separator,
                                  bool quote) const {
    std::string text;
    for (int column = 0; column < kResultColumnCount; ++column) {
        if (column > 0) text += separator;
        const std::string cell = CellText(row, column);
        if (quote) AppendQuoted(cell, false, &text);
        else text += cell;
    }
    text += "\r\n";
    return text;
}

std::string ResultsModel::SpreadsheetCsvText() const {
    // The byte-order mark tells a spreadsheet the file is UTF-8 (without it some read the
    // system's code page, and every Chinese name comes out garbled).
    std::string text = "\xEF\xBB\xBF";
    for (int column = 0; column < kResultColumnCount; ++column) {
        if (column > 0) text += ',';
        AppendSpreadsheetCell(LoadStringText(IDS_COLUMN_NAME + column), &text);
    }
    text += "\r\n";
    for (std::size_t row = 0; row < m_rows.size(); ++row) {
        for (int column = 0; column < kResultColumnCount; ++column) {
            if (column > 0) text += ',';
            AppendSpreadsheetCell(CellText(row, column), &text);
        }
        text += "\r\n";
    }
    return text;
}

std::string ResultsModel::RowsText(const std::vector<std::size_t>& rows,
                                   const std::string& separator, bool quote) const {
    std::string text;
    for (std::size_t row : rows) text += RowText(row, separator, quote);
    return text;
}

std::string ResultsModel::AllRowsText(const std::string& separator, bool quote) const {
    std::string text;
    for (std::size_t row = 0; row < m_rows.size(); ++row) text += RowText(row, separator, quote);
    return text;
}

void ResultsModel::AppendGroup(std::vector<std::unique_ptr<CFileRecord>> files) {
    if (files.size() < 2) return;  // one file is no duplicate
    const std::int64_t size = files.front()->m_nSize;
    const std::size_t first = m_rows.size();
    for (std::size_t k = 0; k < files.size(); ++k) {
        ResultRow row;
        row.record = std::move(files[k]);
        row.image = k == 0 ? kImageGroupFirst : kImageGroupMiddle;
        row.showsDetails = k == 0;
        m_rows.push_back(std::move(row));
    }
    m_rows.back().image = kImageGroupLast;
    const std::size_t duplicates = m_rows.size() - first - 1;
    m_nDuplicateCount += static_cast<int>(duplicates);
    m_nDuplicateBytes += size * static_cast<std::int64_t>(duplicates);
}

std::vector<std::size_t> ResultsModel::DuplicateRows() const {
    std::vector<std::size_t> rows;
    for (std::size_t row = 0; row < m_rows.size(); ++row)
        if (m_rows[row].image != kImageGroupFirst && !m_rows[row].isProtected &&
            m_rows[row].replaced == kNotReplaced)
            rows.push_back(row);
    return rows;
}

std::vector<RowGroup> ResultsModel::Groups() const {
    std::vector<RowGroup> groups;
    for (std::size_t begin = 0; begin < m_rows.size();) {
        std::size_t end = begin + 1;
        while (end < m_rows.size() && m_rows[end].image != kImageGroupFirst) ++end;
        groups.push_back({begin, end});
        begin = end;
    }
    return groups;
}

bool ResultsModel::Rearrange(const std::vector<std::vector<std::size_t>>& groups,
                             const std::vector<KeepReason>& keptBy) {
    if (groups.size() != keptBy.size()) return false;
    // Every row once, and each new group exactly one old group.
    std::vector<std::size_t> groupOf(m_rows.size());
    const std::vector<RowGroup> old = Groups();
    for (std::size_t g = 0; g < old.size(); ++g)
        for (std::size_t row = old[g].begin; row < old[g].end; ++row) groupOf[row] = g;
    std::vector<char> seen(m_rows.size(), 0);
    std::size_t total = 0;
    for (const std::vector<std::size_t>& group : groups) {
        if (group.empty() || group.front() >= m_rows.size()) return false;
        const std::size_t g = groupOf[group.front()];
        if (group.size() != old[g].Count()) return false;
        for (std::size_t row : group) {
            if (row >= m_rows.size() || seen[row] || groupOf[row] != g) return false;
            seen[row] = 1;
        }
        total += group.size();
    }
    if (total != m_rows.size()) return false;

    std::vector<ResultRow> rows;
    rows.reserve(m_rows.size());
    for (std::size_t g = 0; g < groups.size(); ++g) {
        for (std::size_t k = 0; k < groups[g].size(); ++k) {
            rows.push_back(std::move(m_rows[groups[g][k]]));
            ResultRow& row = rows.back();
            row.image = k == 0 ? kImageGroupFirst
                               : k + 1 == groups[g].size() ? kImageGroupLast : kImageGroupMiddle;
            row.showsDetails = k == 0;
            row.keptBy = k == 0 ? keptBy[g] : kKeptAsFound;
        }
    }
    m_rows.swap(rows);
    return true;
}

void ResultsModel::AddToGroups(
    std::vector<std::pair<std::size_t, std::unique_ptr<CFileRecord>>> additions) {
    const std::vector<RowGroup> groups = Groups();
    std::vector<std::size_t> groupOf(m_rows.size());
    for (std::size_t g = 0; g < groups.size(); ++g)
        for (std::size_t row = groups[g].begin; row < groups[g].end; ++row) groupOf[row] = g;
    std::vector<std::vector<std::unique_ptr<CFileRecord>>> added(groups.size());
    for (auto& addition : additions)
        if (addition.first < m_rows.size() && addition.second)
            added[groupOf[addition.first]].push_back(std::move(addition.second));
    std::vector<ResultRow> rows;
    rows.reserve(m_rows.size() + additions.size());
    for (std::size_t g = 0; g < groups.size(); ++g) {
        for (std::size_t row = groups[g].begin; row < groups[g].end; ++row)
            rows.push_back(std::move(m_rows[row]));
        const std::int64_t size = rows.back().record->m_nSize;
        for (auto& record : added[g]) {
            rows.back().image = kImageGroupMiddle;
            ResultRow row;
            row.record = std::move(record);
            row.image = kImageGroupLast;
            rows.push_back(std::move(row));
            ++m_nDuplicateCount;
            m_nDuplicateBytes += size;
        }
    }
    m_rows.swap(rows);
}

void ResultsModel::RemoveRows(const std::vector<std::size_t>& rows) {
    std::vector<char> removed(m_rows.size(), 0);
    bool any = false;
    for (std::size_t row : rows) {
        if (row >= m_rows.size()) continue;
        removed[row] = 1;
        any = true;
    }
    if (!any) return;

    std::vector<ResultRow> kept;
    kept.reserve(m_rows.size());
    for (std::size_t start = 0; start < m_rows.size();) {
        // A group runs from a first-row picture to the next one.
        std::size_t end = start + 1;
        while (end < m_rows.size() && m_rows[end].image != kImageGroupFirst) ++end;
        std::size_t survivors = 0;
        for (std::size_t k = start; k < end; ++k) survivors += removed[k] ? 0 : 1;
        const std::size_t before = end - start;
        const std::int64_t size = m_rows[start].record->m_nSize;
        const std::size_t lost = (before - 1) - (survivors >= 2 ? survivors - 1 : 0);
        m_nDuplicateCount -= static_cast<int>(lost);
        m_nDuplicateBytes -= size * static_cast<std::int64_t>(lost);
        if (survivors >= 2) {
            const std::size_t firstKept = kept.size();
            for (std::size_t k = start; k < end; ++k) {
                if (removed[k]) continue;
                kept.push_back(std::move(m_rows[k]));
                kept.back().image = kImageGroupMiddle;
            }
            kept[firstKept].image = kImageGroupFirst;
            // Size, CRC and checksum are the group's: the new first row shows them.
            kept[firstKept].showsDetails = true;
            kept.back().image = kImageGroupLast;
        }
        start = end;
    }
    m_rows.swap(kept);
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

FoundText ResultsModel::FindRow(const std::string& what, long focusedRow, bool down,
                                bool matchCase, bool wholeWord) const {
    FoundText found;
    if (what.empty()) return found;
    const long count = static_cast<long>(m_rows.size());
    const long step = down ? 1 : -1;
    long row = focusedRow < 0 ? (down ? 0 : count - 1) : focusedRow + step;
    std::string pattern = what;
    if (!matchCase) UpperCaseInPlace(pattern);
    for (; row >= 0 && row < count; row += step) {
        std::string text = RowText(static_cast<std::size_t>(row), "\t", false);
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

void ResultsModel::Clear() {
    m_rows.clear();
    m_nDuplicateCount = 0;
    m_nDuplicateBytes = 0;
}
