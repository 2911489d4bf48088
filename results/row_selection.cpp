#include "results/row_selection.h"

#include <algorithm>

void RowSelection::Resize(std::size_t rows) {
    if (rows == m_bits.size()) return;
    if (rows < m_bits.size()) {
        for (std::size_t row = rows; row < m_bits.size(); ++row) m_nCount -= m_bits[row];
        if (m_nAnchor >= 0 && static_cast<std::size_t>(m_nAnchor) >= rows) m_nAnchor = -1;
    }
    m_bits.resize(rows, 0);
    NoteAll();
}

bool RowSelection::Set(std::size_t row, bool selected) {
    if (row >= m_bits.size() || (m_bits[row] != 0) == selected) return false;
    m_bits[row] = selected ? 1 : 0;
    if (selected) ++m_nCount;
    else --m_nCount;
    Note(row);
    return true;
}

void RowSelection::SelectAll() {
    std::fill(m_bits.begin(), m_bits.end(), 1);
    m_nCount = m_bits.size();
    NoteAll();
}

void RowSelection::Clear() {
    std::fill(m_bits.begin(), m_bits.end(), 0);
    m_nCount = 0;
    NoteAll();
}

void RowSelection::Assign(const std::vector<std::size_t>& rows) {
    Clear();
    for (std::size_t row : rows) {
        if (row < m_bits.size() && m_bits[row] == 0) {
            m_bits[row] = 1;
            ++m_nCount;
        }
    }
}

void RowSelection::SetRange(std::size_t first, std::size_t last, bool selected) {
    if (m_bits.empty()) return;
    if (first > last) std::swap(first, last);
    if (first >= m_bits.size()) return;
    last = std::min(last, m_bits.size() - 1);
    if (last - first + 1 > kFewChanges) NoteAll();
    for (std::size_t row = first; row <= last; ++row) Set(row, selected);
}

std::vector<std::size_t> RowSelection::Rows() const {
    std::vector<std::size_t> rows;
    rows.reserve(m_nCount);
    for (std::size_t row = 0; row < m_bits.size(); ++row)
        if (m_bits[row] != 0) rows.push_back(row);
    return rows;
}

long RowSelection::Next(long row) const {
    for (std::size_t r = row < 0 ? 0 : static_cast<std::size_t>(row) + 1; r < m_bits.size(); ++r)
        if (m_bits[r] != 0) return static_cast<long>(r);
    return -1;
}

void RowSelection::Click(std::size_t row, bool ctrl, bool shift) {
    if (row >= m_bits.size()) return;
    if (shift && m_nAnchor >= 0) {
        if (!ctrl) Clear();
        SetRange(static_cast<std::size_t>(m_nAnchor), row, true);
        return;
    }
    if (ctrl) {
        Set(row, !IsSelected(row));
    } else {
        Clear();
        Set(row, true);
    }
    m_nAnchor = static_cast<long>(row);
}

void RowSelection::MoveTo(std::size_t row, bool ctrl, bool shift) {
    if (row >= m_bits.size()) return;
    if (shift) {
        Click(row, ctrl, true);
    } else if (!ctrl) {
        Click(row, false, false);
    }
}

RowSelection::Changes RowSelection::TakeChanges() {
    Changes changes;
    changes.all = m_bAllChanged;
    if (!m_bAllChanged) changes.rows.swap(m_changed);
    m_bAllChanged = false;
    m_changed.clear();
    return changes;
}

void RowSelection::Note(std::size_t row) {
    if (m_bAllChanged) return;
    if (m_changed.size() >= kFewChanges) {
        NoteAll();
        return;
    }
    // A row changed twice is told once: its state now is what counts.
    if (std::find(m_changed.begin(), m_changed.end(), row) == m_changed.end())
        m_changed.push_back(row);
}

void RowSelection::NoteAll() {
    m_bAllChanged = true;
    m_changed.clear();
}
