// CKvListCtrl: the report list of the results view, a virtual wxListCtrl over a ResultsModel.
//
// The list holds no copy of the rows: cell texts and pictures are asked from the model when a
// row is drawn, and row texts and the search run in the model. What lives here is what works on
// any list of rows: select all, copy rows to the clipboard as tab-separated text, the context
// menu, the modeless find dialog with its remembered options, find next, and the keys for them.
//
// The selection is the list's own (RowSelection): the generic toolkit list (GTK) reads back a
// large selection of a virtual list in minutes, and asks for a row's texts for each row it
// changes. The list answers every question about the selection from its own, takes the clicks
// and the keys that change the selection before the toolkit does and applies the usual rules
// itself, and writes each change to the toolkit only so that it is drawn (a change of many
// rows in one pass). The toolkit still draws the rows, keeps the focus and scrolls. (The native
// list of Windows is asked instead, and keeps its own input rules.)
//
// The beep of a search that finds nothing, the Ctrl key state and the showing of the context
// menu go through hooks, so tests can watch them and need no real key or open menu.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include <wx/fdrepdlg.h>
#include <wx/listctrl.h>
#include <wx/weakref.h>

#include "results/row_selection.h"

class ResultsModel;
class wxMenu;
class wxStaticText;

class CKvListCtrl : public wxListCtrl {
public:
    CKvListCtrl();
    ~CKvListCtrl() override;

    // Creates the window; wxLC_REPORT and wxLC_VIRTUAL are always added to `style`.
    bool Create(wxWindow* parent, wxWindowID id, long style);

    // The rows shown. Not owned: the view owns the model and outlives this use of it (it sets
    // nullptr before the model goes). nullptr shows no rows.
    void SetModel(const ResultsModel* model);
    const ResultsModel* GetModel() const { return m_model; }
    // Tells the list the model's row count and repaints it once; call after the model's rows
    // changed. Selection and focus stay on the row numbers they had (those beyond the end go).
    void RefreshRows();
    // Shows only the model's first `rows` rows (a filter put the rest after them); every
    // operation on all rows (select all, copy, find) keeps to them. Takes effect at RefreshRows.
    void SetShownRows(std::size_t rows);
    std::size_t ShownRowCount() const;

    // Selects every row and puts the focus on the last one (one selection call for all rows).
    void SelectAllRows();
    // Unselects every row (one call for all rows); with `focusToo` no row keeps the focus.
    void ClearSelection(bool focusToo = false);
    // Selects exactly `rows` (any order; rows out of range ignored): one pass, one repaint. The
    // focus stays where it was.
    void SelectRows(const std::vector<std::size_t>& rows);
    // The selected rows in list order. Should the toolkit have changed its selection by a way
    // the list did not see (their counts differ), the toolkit's rows are read back and taken.
    std::vector<std::size_t> GetSelectedRows();
    bool IsRowSelected(long row) const;
    // The row with the focus, -1 when none has it.
    long GetFocusedRow() const;

    // The toolkit's functions of these names, for the list's own selection (they hide those of
    // wxListCtrl, which are not virtual: called on a CKvListCtrl they use the list's selection;
    // every other state bit, the focus above all, is the toolkit's).
    bool SetItemState(long item, long state, long stateMask);
    int GetItemState(long item, long stateMask) const;
    int GetSelectedItemCount() const;
    long GetNextItem(long item, int geometry = wxLIST_NEXT_ALL,
                     int state = wxLIST_STATE_DONTCARE) const;
    const RowSelection& GetSelection() const { return m_selection; }
    // Called after every change of the selection, by the program or the user (may be empty).
    void SetSelectionWatcher(std::function<void()> watcher) {
        m_selectionWatcher = std::move(watcher);
    }

    // Puts the selected rows, or every row when none is selected, on the clipboard as text: the
    // cells of a row separated by a tab, CR LF after every row, no heading. An empty list
    // leaves the clipboard as it is. False when nothing was put on the clipboard.
    bool CopyRowsToClipboard();

    // Shows the context menu at `screenPos`, or 5 pixels right of and below the client area's
    // top-left corner when it is wxDefaultPosition (the menu was asked for from the keyboard).
    // Its commands go up to the view like menu commands.
    void ShowContextMenu(const wxPoint& screenPos);
    // Builds the context menu `id`; nullptr for an unknown id.
    static wxMenu* LoadContextMenu(int id);

    // Opens the find dialog in the find-only form, or the find-and-replace form when `findOnly`
    // is false, with the remembered options. An open dialog of the same form is brought to the
    // front; one of the other form is closed first.
    void ShowFindDialog(bool findOnly);
    // Find next: searches again with the remembered text and options; beeps when nothing is
    // found; opens the find dialog when nothing was searched for yet.
    void FindNext();
    // Searches the rows after the focused row (before it when searching up) for `what` and
    // selects the first row found (SelectFoundRow). False when none was found.
    bool FindRow(const std::string& what, bool down, bool matchCase, bool wholeWord);
    // Remembers the found text's place, selects the row alone (or adds it to the selection while
    // Ctrl is held), focuses it and scrolls it into view.
    void SelectFoundRow(long row, std::size_t start, std::size_t length);
    // Scrolls `row` fully into view.
    void EnsureRowVisible(long row);
    // When the open find dialog covers `row`, the rows are scrolled to bring it out from under
    // the dialog; where they cannot scroll so far, the dialog moves off the row.
    void KeepRowClearOfFindDialog(long row);
    // `row`'s rectangle on the screen (empty when it has none).
    wxRect RowScreenRect(long row) const;

    // Appends row `row` as text (cells joined by `separator`, quoted when `quote`, CR LF at the
    // end) to `text`; appends nothing for a row that does not exist.
    void GetRowText(long row, std::string& text, const std::string& separator, bool quote) const;

    // The open find dialog, or nullptr.
    wxFindReplaceDialog* GetFindDialog() const { return m_pFindDialog; }
    bool IsFindOnly() const { return m_bFindOnly; }
    // The remembered search.
    const std::string& GetFindWhat() const { return m_strFindWhat; }
    bool GetMatchCase() const { return m_bMatchCase; }
    bool GetSearchDown() const { return m_bSearchDown; }
    bool GetWholeWord() const { return m_bWholeWord; }
    // Where the last successful search found its text (-1 when none has been found).
    long GetFoundRow() const { return m_nFoundRow; }
    long GetFoundStart() const { return m_nFoundStart; }
    long GetFoundLength() const { return m_nFoundLength; }
    // The text the find dialog opens with: the last found text as it stands in its row, else the
    // last search text.
    std::string InitialFindText() const;

    // The hint drawn in the middle of the rows while there are none (where to begin); hidden
    // once rows come.
    const wxStaticText* EmptyHint() const { return m_pHint; }

    // Hooks; an empty function restores the default (wxBell; the Ctrl key's state from the
    // window system; PopupMenu at the client position).
    void SetBeepHook(std::function<void()> beep) { m_beep = std::move(beep); }
    void SetCtrlDownHook(std::function<bool()> ctrlDown) { m_ctrlDown = std::move(ctrlDown); }
    void SetPopupMenuHook(std::function<void(wxMenu&, const wxPoint&)> popup) {
        m_popup = std::move(popup);
    }

protected:
    wxString OnGetItemText(long item, long column) const override;
    int OnGetItemImage(long item) const override;
    // A file no longer as listed is drawn greyed; a catalog's entry (not here) in italics; a
    // file in a protected folder in the protected colour (with a padlock picture).
    wxItemAttr* OnGetItemAttr(long item) const override;

private:
    bool IsRow(long row) const;
    void Beep();
    // A search that found nothing: the beep, and the text not found in the status bar.
    void NotFound();
    bool IsCtrlDown() const;
    // Writes the selection's changes to the toolkit, which draws them.
    void ApplySelection();
    // Takes the rows the toolkit shows as selected (slow on the generic list).
    void TakeToolkitSelection();
    // Moves the focus to `row` by the keyboard with the given keys, and shows the row.
    void MoveFocus(long row, bool ctrl, bool shift);
    void Activate(long row);

    void OnKeyDown(wxKeyEvent& event);
    void OnChar(wxKeyEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnLeftDClick(wxMouseEvent& event);
    void OnRightDown(wxMouseEvent& event);
    void OnToolkitSelection(wxListEvent& event);
    void OnContextMenu(wxContextMenuEvent& event);
    void OnUpdateContextMenuItem(wxUpdateUIEvent& event);
    void OnFindNotification(wxFindDialogEvent& event);
    void OnFindClose(wxFindDialogEvent& event);
    void OnRowsSize(wxSizeEvent& event);
    // Shows the hint in the middle of the rows' window when there are no rows, else hides it.
    void PlaceHint();

    const ResultsModel* m_model = nullptr;
    wxStaticText* m_pHint = nullptr;  // a child of the rows' window, which owns it
    std::size_t m_nShownRows = static_cast<std::size_t>(-1);
    mutable wxItemAttr m_notHereAttr, m_catalogAttr;
    mutable wxItemAttr m_protectedAttr;  // results/protected_rows.cpp
    wxItemAttr* ProtectedAttr() const;

    RowSelection m_selection;
    std::function<void()> m_selectionWatcher;
    bool m_bWriting = false;    // the list is writing its selection to the toolkit
    long m_nLastClicked = -1;   // the row of the last click, for a double click

    // The find dialog and the remembered search.
    wxWeakRef<wxFindReplaceDialog> m_pFindDialog;
    wxFindReplaceData m_findData;  // the open dialog's data: it must outlive the dialog
    bool m_bFindOnly = true;
    std::string m_strFindWhat;
    bool m_bMatchCase = false;
    bool m_bSearchDown = true;
    bool m_bWholeWord = false;
    long m_nFoundRow = -1;
    long m_nFoundLength = -1;
    long m_nFoundStart = -1;

    // Resource id of the context menu (the only one).
    const int m_nContextMenuId = 139;

    std::function<void()> m_beep;
    std::function<bool()> m_ctrlDown;
    std::function<void(wxMenu&, const wxPoint&)> m_popup;

    wxDECLARE_DYNAMIC_CLASS(CKvListCtrl);
    wxDECLARE_NO_COPY_CLASS(CKvListCtrl);
};
