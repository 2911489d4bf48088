// RowSelection: which rows of the results list are selected, kept by the list itself.
//
// The toolkit's own store for a virtual list answers "is row N selected" by going through all
// its selected rows one by one, so reading a selection of 150 000 rows back from it takes
// minutes, and it asks for a row's texts for every row whose state it changes. The list
// therefore keeps the selection here, answers every question from here, and writes changes to
// the toolkit only so that it draws them (one pass for a change of many rows).
//
// Plain code without the toolkit: the rules of a multiple-selection list (click, Ctrl+click,
// Shift+click and the keyboard with the anchor of a range) live here, and the rows changed since
// the widget was last told.
#pragma once

#include <cstddef>
#include <vector>

class RowSelection {
public:
    // The number of rows. Rows at or beyond a smaller count lose their selection (and the anchor
    // when it was one of them); new rows are not selected.
    void Resize(std::size_t rows);
    std::size_t Size() const { return m_bits.size(); }

    // The number of selected rows; whether `row` is one (false for rows out of range).
    std::size_t Count() const { return m_nCount; }
    bool IsSelected(std::size_t row) const { return row < m_bits.size() && m_bits[row] != 0; }

    // Selects or unselects one row (rows out of range are ignored); true when it changed.
    bool Set(std::size_t row, bool selected);
    void SelectAll();
    void Clear();
    // Exactly `rows` selected (any order; repeats and rows out of range ignored).
    void Assign(const std::vector<std::size_t>& rows);
    // Rows from `first` to `last` (either order, both included, clipped to the rows) selected
    // or unselected; the others keep their state.
    void SetRange(std::size_t first, std::size_t last, bool selected);

    // The selected rows, ascending.
    std::vector<std::size_t> Rows() const;
    // The first selected row after `row` (-1: from the first row); -1 when there is none.
    long Next(long row) const;

    // Where a range chosen with Shift starts (-1: nowhere yet).
    long Anchor() const { return m_nAnchor; }
    void SetAnchor(long row) { m_nAnchor = row; }

    // A click on `row` (in range): alone it selects the row alone; with Ctrl it turns the row's
    // selection over and leaves the others; with Shift it selects the range from the anchor to
    // the row instead of the selection (with Ctrl and Shift in addition to it). Without Shift
    // the row becomes the anchor; a Shift click without an anchor acts as a plain click.
    void Click(std::size_t row, bool ctrl, bool shift);
    // The keyboard moved the focus to `row` (in range): alone the row is selected alone and
    // becomes the anchor; with Ctrl only the focus moves; with Shift the range from the anchor
    // to the row is selected instead (with Ctrl and Shift in addition to it).
    void MoveTo(std::size_t row, bool ctrl, bool shift);

    // What changed since the last call: either a few rows (each once, in the order they first
    // changed; their state now is IsSelected) or, when many rows or the whole selection changed,
    // `all`. Taking the changes forgets them.
    struct Changes {
        bool all = false;
        std::vector<std::size_t> rows;
    };
    Changes TakeChanges();

    // Rows reported one by one before a change counts as a change of all.
    static constexpr std::size_t kFewChanges = 64;

private:
    void Note(std::size_t row);
    void NoteAll();

    std::vector<unsigned char> m_bits;
    std::size_t m_nCount = 0;
    long m_nAnchor = -1;
    bool m_bAllChanged = false;
    std::vector<std::size_t> m_changed;
};
