#include "results/kv_list_ctrl.h"

#include <wx/settings.h>

#include <algorithm>
#include <memory>

#include <wx/clipbrd.h>
#include <wx/display.h>
#include <wx/menu.h>
#include <wx/stattext.h>
#include <wx/toplevel.h>
#include <wx/utils.h>

#include "gui/command_ids.h"
#include "gui/frame_resources.h"
#include "gui/frame_status.h"
#include "gui/pictures.h"
#include "gui/wx_text.h"
#include "gui/window_platform.h"
#include "engine/results/results_model.h"
#include "engine/results/results_text.h"
#include "engine/text/text_format.h"
#include "engine/text/text_helpers.h"

wxIMPLEMENT_DYNAMIC_CLASS(CKvListCtrl, wxListCtrl);

namespace {

// Menu 139, "ListView Menu": the context menu of the list.
constexpr int kListViewMenuId = 139;
// The main menu's commands, so that they are enabled by the same rules; 属性 and 资源管理器 (the
// toolbar's name for 浏览目录) with letters of their own: the main menu's are 打开's and
// 选择全部重复的文件's here.
const MenuItemResource kListViewMenu[] = {
    {cmd::ID_FILE_OPEN, IDS_MENU_OPEN},
    {cmd::ID_EXPLORE_FOLDER, IDS_CONTEXT_EXPLORE_FOLDER},
    {cmd::ID_FILE_PROPERTIES, IDS_CONTEXT_PROPERTIES},
    {0, 0},
    {cmd::ID_SELECT_ALL_ROWS, IDS_MENU_SELECT_ALL},
    {cmd::ID_SELECT_ALL_DUPLICATES, IDS_MENU_SELECT_ALL_DUPLICATES},
    {cmd::ID_COPY_ROWS, IDS_MENU_COPY},
    {cmd::ID_DELETE_FILES, IDS_MENU_DELETE},
    {0, 0},
    {cmd::ID_EDIT_FIND, IDS_MENU_FIND},
    {cmd::ID_EDIT_REPEAT, IDS_MENU_FIND_NEXT},
    {0, 0},
    {cmd::ID_REPLACE_HARD_LINK, IDS_MENU_REPLACE_HARD_LINK},
    {cmd::ID_SHARE_DATA, IDS_MENU_SHARE_DATA},
    {cmd::ID_MOVE_TO, IDS_MENU_MOVE_TO},
    {cmd::ID_IGNORE_GROUP, IDS_MENU_IGNORE_GROUP},
};

// The context menu's file commands: enabled by the view's rules (a selection, rows, no work
// running, a file system that can share blocks), not always like the list's own.
bool IsViewCommand(int command) {
    return command == cmd::ID_REPLACE_HARD_LINK || command == cmd::ID_SHARE_DATA ||
           command == cmd::ID_MOVE_TO || command == cmd::ID_FILE_OPEN ||
           command == cmd::ID_EXPLORE_FOLDER || command == cmd::ID_FILE_PROPERTIES ||
           command == cmd::ID_SELECT_ALL_DUPLICATES || command == cmd::ID_DELETE_FILES ||
           command == cmd::ID_IGNORE_GROUP;
}

// Whether the list keeps the selection itself (see gui/window_platform.h).
const bool kOwnSelection = window_platform::ListKeepsOwnSelection();

// Clipboard text as wxString. Rows are converted one by one when the whole text is not valid
// UTF-8, so that one file name of another encoding spoils only its own row.
wxString ClipboardText(const std::string& text) {
    wxString wide = wxString::FromUTF8(text.data(), text.size());
    if (!wide.empty() || text.empty()) return wide;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find("\r\n", begin);
        end = end == std::string::npos ? text.size() : end + 2;
        wide += Utf8ToWx(text.substr(begin, end - begin));
        begin = end;
    }
    return wide;
}

}  // namespace

CKvListCtrl::CKvListCtrl() = default;

CKvListCtrl::~CKvListCtrl() {
    // The dialog points at m_findData, which goes with this object.
    if (wxFindReplaceDialog* dialog = m_pFindDialog) delete dialog;
}

bool CKvListCtrl::Create(wxWindow* parent, wxWindowID id, long style) {
    if (!wxListCtrl::Create(parent, id, wxDefaultPosition, wxDefaultSize,
                            style | wxLC_REPORT | wxLC_VIRTUAL)) {
        return false;
    }
    Bind(wxEVT_KEY_DOWN, &CKvListCtrl::OnKeyDown, this);
    if (kOwnSelection) {
        // The toolkit's row window hands its mouse and key events to this window before it
        // acts on them; taken here, the toolkit never changes the selection by itself.
        Bind(wxEVT_CHAR, &CKvListCtrl::OnChar, this);
        Bind(wxEVT_LEFT_DOWN, &CKvListCtrl::OnLeftDown, this);
        Bind(wxEVT_LEFT_DCLICK, &CKvListCtrl::OnLeftDClick, this);
        Bind(wxEVT_RIGHT_DOWN, &CKvListCtrl::OnRightDown, this);
    }
    Bind(wxEVT_LIST_ITEM_SELECTED, &CKvListCtrl::OnToolkitSelection, this);
    Bind(wxEVT_LIST_ITEM_DESELECTED, &CKvListCtrl::OnToolkitSelection, this);
    Bind(wxEVT_CONTEXT_MENU, &CKvListCtrl::OnContextMenu, this);
    Bind(wxEVT_UPDATE_UI, &CKvListCtrl::OnUpdateContextMenuItem, this);
    Bind(wxEVT_FIND, &CKvListCtrl::OnFindNotification, this);
    Bind(wxEVT_FIND_NEXT, &CKvListCtrl::OnFindNotification, this);
    Bind(wxEVT_FIND_REPLACE, &CKvListCtrl::OnFindNotification, this);
    Bind(wxEVT_FIND_REPLACE_ALL, &CKvListCtrl::OnFindNotification, this);
    Bind(wxEVT_FIND_CLOSE, &CKvListCtrl::OnFindClose, this);
    // The hint lies on the window the rows are drawn in: the generic list's first child (its
    // heading comes after it), the native list itself.
    wxWindow* rows = GetChildren().empty() ? this : GetChildren().GetFirst()->GetData();
    m_pHint = new wxStaticText(rows, wxID_ANY, LoadWxString(IDS_EMPTY_LIST_HINT));
    m_pHint->SetForegroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT));
    rows->Bind(wxEVT_SIZE, &CKvListCtrl::OnRowsSize, this);
    PlaceHint();
    return true;
}

void CKvListCtrl::OnRowsSize(wxSizeEvent& event) {
    PlaceHint();
    event.Skip();
}

void CKvListCtrl::PlaceHint() {
    if (m_pHint == nullptr) return;
    const bool empty = GetItemCount() == 0;
    if (empty) m_pHint->CentreOnParent();
    m_pHint->Show(empty);
}

void CKvListCtrl::SetModel(const ResultsModel* model) {
    m_model = model;
    RefreshRows();
}

void CKvListCtrl::SetShownRows(std::size_t rows) { m_nShownRows = rows; }

std::size_t CKvListCtrl::ShownRowCount() const {
    return m_model != nullptr ? std::min(m_model->RowCount(), m_nShownRows) : 0;
}

void CKvListCtrl::RefreshRows() {
    const long count = static_cast<long>(ShownRowCount());
    // The native list's selection may have changed by its own rules since the list last looked.
    if (!kOwnSelection) TakeToolkitSelection();
    SetItemCount(count);
    m_selection.Resize(static_cast<std::size_t>(count));
    ApplySelection();
    PlaceHint();
    Refresh();
}

bool CKvListCtrl::IsRow(long row) const {
    return m_model != nullptr && row >= 0 && static_cast<std::size_t>(row) < ShownRowCount();
}

wxString CKvListCtrl::OnGetItemText(long item, long column) const {
    // The toolkit fetches the cells of every row whose selection it is told; nothing is drawn
    // meanwhile.
    if (m_bWriting || !IsRow(item)) return wxString();
    // A name of another encoding shows a mark for each stray byte and keeps its other
    // characters, as the spreadsheet CSV writes it.
    return Utf8ToWx(
        ValidUtf8(CellText(*m_model, static_cast<std::size_t>(item), static_cast<int>(column))));
}

int CKvListCtrl::OnGetItemImage(long item) const {
    if (m_bWriting || !IsRow(item)) return -1;
    const ResultRow& row = m_model->Row(static_cast<std::size_t>(item));
    return row.isProtected ? row.image + kLockedImages : row.image;
}

wxItemAttr* CKvListCtrl::OnGetItemAttr(long item) const {
    if (m_bWriting || !IsRow(item)) return nullptr;
    const RowStanding standing = m_model->Row(static_cast<std::size_t>(item)).standing;
    if (standing == kStandsHere && m_model->Row(static_cast<std::size_t>(item)).isProtected)
        return ProtectedAttr();
    if (standing == kStandsHere) return nullptr;
    if (standing == kStandsInCatalog) {
        if (!m_catalogAttr.HasFont()) {
            wxFont font = GetFont();
            font.SetStyle(wxFONTSTYLE_ITALIC);
            m_catalogAttr.SetFont(font);
            m_catalogAttr.SetTextColour(wxSystemSettings::GetColour(wxSYS_COLOUR_HOTLIGHT));
        }
        return &m_catalogAttr;
    }
    if (!m_notHereAttr.HasTextColour())
        m_notHereAttr.SetTextColour(wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT));
    return &m_notHereAttr;
}

void CKvListCtrl::SelectAllRows() {
    const long count = GetItemCount();
    if (count == 0) return;
    // Item -1 selects every row of the virtual list in one step (see the benchmark test).
    SetItemState(-1, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    SetItemState(count - 1, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
}

void CKvListCtrl::ClearSelection(bool focusToo) {
    if (GetItemCount() == 0) return;
    SetItemState(-1, 0, wxLIST_STATE_SELECTED | (focusToo ? wxLIST_STATE_FOCUSED : 0));
}

void CKvListCtrl::SelectRows(const std::vector<std::size_t>& rows) {
    m_selection.Assign(rows);
    ApplySelection();
}

std::vector<std::size_t> CKvListCtrl::GetSelectedRows() {
    // With the list's own rules a difference is not expected (every way the generic toolkit
    // changes a selection is taken here); should it come, what the toolkit shows is what the
    // user chose, so it is read back, slowly but exactly.
    if (!kOwnSelection ||
        wxListCtrl::GetSelectedItemCount() != static_cast<int>(m_selection.Count()))
        TakeToolkitSelection();
    return m_selection.Rows();
}

void CKvListCtrl::TakeToolkitSelection() {
    std::vector<std::size_t> shown;
    for (long row = wxListCtrl::GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); row != -1;
         row = wxListCtrl::GetNextItem(row, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED))
        shown.push_back(static_cast<std::size_t>(row));
    m_selection.Resize(static_cast<std::size_t>(GetItemCount()));
    m_selection.Assign(shown);
    m_selection.TakeChanges();
}

bool CKvListCtrl::IsRowSelected(long row) const {
    if (!kOwnSelection)
        return row >= 0 && row < GetItemCount() &&
               wxListCtrl::GetItemState(row, wxLIST_STATE_SELECTED) != 0;
    return row >= 0 && m_selection.IsSelected(static_cast<std::size_t>(row));
}

int CKvListCtrl::GetSelectedItemCount() const {
    return kOwnSelection ? static_cast<int>(m_selection.Count())
                         : wxListCtrl::GetSelectedItemCount();
}

long CKvListCtrl::GetFocusedRow() const {
    // Focus only: the toolkit compares row numbers and asks nothing about the selection.
    return wxListCtrl::GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED);
}

bool CKvListCtrl::SetItemState(long item, long state, long stateMask) {
    bool done = true;
    const long others = stateMask & ~static_cast<long>(wxLIST_STATE_SELECTED);
    if (others != 0) done = wxListCtrl::SetItemState(item, state, others);
    if ((stateMask & wxLIST_STATE_SELECTED) != 0) {
        if (!kOwnSelection) TakeToolkitSelection();
        const bool on = (state & wxLIST_STATE_SELECTED) != 0;
        if (item == -1) {
            if (on) m_selection.SelectAll();
            else m_selection.Clear();
        } else if (item >= 0 && static_cast<std::size_t>(item) < m_selection.Size()) {
            m_selection.Set(static_cast<std::size_t>(item), on);
        } else {
            done = false;
        }
        ApplySelection();
    }
    return done;
}

int CKvListCtrl::GetItemState(long item, long stateMask) const {
    const long others = stateMask & ~static_cast<long>(wxLIST_STATE_SELECTED);
    int state = others != 0 ? wxListCtrl::GetItemState(item, others) : 0;
    if ((stateMask & wxLIST_STATE_SELECTED) != 0 && IsRowSelected(item))
        state |= wxLIST_STATE_SELECTED;
    return state;
}

long CKvListCtrl::GetNextItem(long item, int geometry, int state) const {
    if (!kOwnSelection || (state & wxLIST_STATE_SELECTED) == 0)
        return wxListCtrl::GetNextItem(item, geometry, state);
    long next = m_selection.Next(item);
    if ((state & wxLIST_STATE_FOCUSED) != 0) {
        const long focused = GetFocusedRow();
        if (focused > item && (next < 0 || focused < next)) next = focused;
    }
    return next;
}

void CKvListCtrl::ApplySelection() {
    const RowSelection::Changes changes = m_selection.TakeChanges();
    if (!changes.all && changes.rows.empty()) return;
    const long count = GetItemCount();
    if (count == 0) return;
    m_bWriting = true;
    if (changes.all) {
        // All rows in one step to the state most rows have, then the others one by one.
        const bool most = m_selection.Count() * 2 > m_selection.Size();
        const long mostState = most ? wxLIST_STATE_SELECTED : 0;
        const long otherState = most ? 0 : wxLIST_STATE_SELECTED;
        Freeze();
        wxListCtrl::SetItemState(-1, mostState, wxLIST_STATE_SELECTED);
        const std::size_t rows = std::min(m_selection.Size(), static_cast<std::size_t>(count));
        for (std::size_t row = 0; row < rows; ++row)
            if (m_selection.IsSelected(row) != most)
                wxListCtrl::SetItemState(static_cast<long>(row), otherState, wxLIST_STATE_SELECTED);
        Thaw();
    } else {
        for (std::size_t row : changes.rows) {
            if (static_cast<long>(row) >= count) continue;
            wxListCtrl::SetItemState(static_cast<long>(row),
                                     m_selection.IsSelected(row) ? wxLIST_STATE_SELECTED : 0,
                                     wxLIST_STATE_SELECTED);
        }
    }
    m_bWriting = false;
    if (m_selectionWatcher) m_selectionWatcher();
}

void CKvListCtrl::OnToolkitSelection(wxListEvent& event) {
    // The list's own writes: nobody needs to hear of them row by row.
    if (m_bWriting) return;
    // The toolkit changed a row by itself: the selection follows what it shows.
    const long row = event.GetIndex();
    if (row >= 0) {
        m_selection.Set(static_cast<std::size_t>(row),
                        event.GetEventType() == wxEVT_LIST_ITEM_SELECTED);
        m_selection.TakeChanges();
        if (m_selectionWatcher) m_selectionWatcher();
    }
    event.Skip();
}

void CKvListCtrl::MoveFocus(long row, bool ctrl, bool shift) {
    m_selection.MoveTo(static_cast<std::size_t>(row), ctrl, shift);
    wxListCtrl::SetItemState(row, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
    ApplySelection();
    EnsureRowVisible(row);
}

void CKvListCtrl::Activate(long row) {
    wxListEvent activated(wxEVT_LIST_ITEM_ACTIVATED, GetId());
    activated.SetEventObject(this);
    activated.m_itemIndex = row;
    activated.m_item.m_itemId = row;
    GetEventHandler()->ProcessEvent(activated);
}

void CKvListCtrl::OnLeftDown(wxMouseEvent& event) {
    if (GetItemCount() == 0) {
        event.Skip();
        return;
    }
    int flags = 0;
    const long row = HitTest(event.GetPosition(), flags);
    const bool ctrl = event.ControlDown();
    const bool shift = event.ShiftDown();
    if (row < 0 || row >= GetItemCount() || (flags & wxLIST_HITTEST_ONITEM) == 0) {
        // Beside the rows: a plain click unselects everything.
        if (!ctrl && !shift) {
            m_selection.Clear();
            ApplySelection();
        }
        m_nLastClicked = -1;
        return;
    }
    m_selection.Click(static_cast<std::size_t>(row), ctrl, shift);
    wxListCtrl::SetItemState(row, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
    ApplySelection();
    m_nLastClicked = row;
}

void CKvListCtrl::OnLeftDClick(wxMouseEvent& event) {
    int flags = 0;
    const long row = GetItemCount() > 0 ? HitTest(event.GetPosition(), flags) : -1;
    if (row >= 0 && row == m_nLastClicked && (flags & wxLIST_HITTEST_ONITEM) != 0) {
        Activate(row);
        return;
    }
    // The first click was on another row: this one is a click of its own.
    OnLeftDown(event);
}

void CKvListCtrl::OnRightDown(wxMouseEvent& event) {
    int flags = 0;
    const long row = GetItemCount() > 0 ? HitTest(event.GetPosition(), flags) : -1;
    if (row >= 0 && row < GetItemCount() && (flags & wxLIST_HITTEST_ONITEM) != 0 &&
        !IsRowSelected(row)) {
        // The context menu acts on the row under the pointer, alone unless it was selected.
        m_selection.Click(static_cast<std::size_t>(row), false, false);
        wxListCtrl::SetItemState(row, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
        ApplySelection();
    }
    // The toolkit goes on to the context menu; for it the row is selected already.
    event.Skip();
}

void CKvListCtrl::OnChar(wxKeyEvent& event) {
    // Typed letters would make the toolkit jump to a row and select it by itself.
    const wxChar typed = event.GetUnicodeKey();
    if (typed != WXK_NONE && typed > WXK_SPACE && typed != WXK_DELETE && !event.ControlDown() &&
        !event.AltDown())
        return;
    event.Skip();
}

bool CKvListCtrl::CopyRowsToClipboard() {
    if (m_model == nullptr || GetItemCount() == 0) return false;
    wxBusyCursor wait;
    std::string text;
    if (GetSelectedItemCount() > 0) {
        text = RowsText(*m_model, GetSelectedRows(), "\t", false);
    } else if (ShownRowCount() < m_model->RowCount()) {
        // A filter is on: the rows shown.
        std::vector<std::size_t> shown(ShownRowCount());
        for (std::size_t row = 0; row < shown.size(); ++row) shown[row] = row;
        text = RowsText(*m_model, shown, "\t", false);
    } else {
        text = AllRowsText(*m_model, "\t", false);
    }
    wxClipboardLocker clipboard;
    if (!clipboard) return false;
    return wxTheClipboard->SetData(new wxTextDataObject(ClipboardText(text)));
}

wxMenu* CKvListCtrl::LoadContextMenu(int id) {
    if (id != kListViewMenuId) return nullptr;
    auto* menu = new wxMenu;
    for (const MenuItemResource& item : kListViewMenu) {
        if (item.command == 0) {
            menu->AppendSeparator();
        } else {
            wxString label = LoadWxString(item.text);
            if (const int shortcut = MenuShortcutText(item.command))
                label += "\t" + LoadWxString(shortcut);
            menu->Append(WxId(item.command), label);
        }
    }
    // The marking commands, as under 编辑 → 标记.
    if (const SubmenuResource* mark = FindSubmenu(IDS_MENU_MARK)) {
        menu->AppendSeparator();
        menu->AppendSubMenu(BuildSubmenu(*mark), LoadWxString(mark->text));
    }
    return menu;
}

void CKvListCtrl::ShowContextMenu(const wxPoint& screenPos) {
    const wxPoint at = screenPos == wxDefaultPosition ? wxPoint(5, 5) : ScreenToClient(screenPos);
    std::unique_ptr<wxMenu> menu(LoadContextMenu(m_nContextMenuId));
    if (!menu) return;
    if (m_popup) {
        m_popup(*menu, at);
    } else {
        PopupMenu(menu.get(), at);
    }
}

void CKvListCtrl::OnContextMenu(wxContextMenuEvent& event) { ShowContextMenu(event.GetPosition()); }

void CKvListCtrl::OnUpdateContextMenuItem(wxUpdateUIEvent& event) {
    // Only the context menu asks this window about commands. The list's own items are always
    // enabled, also on an empty list (select all and copy then do nothing, find opens the
    // dialog); the main menu's items and the file commands go on to the view's rules.
    for (const MenuItemResource& item : kListViewMenu) {
        if (item.command != 0 && !IsViewCommand(item.command) && event.GetId() == WxId(item.command)) {
            event.Enable(true);
            return;
        }
    }
    event.Skip();
}

void CKvListCtrl::OnKeyDown(wxKeyEvent& event) {
    const int key = event.GetKeyCode();
    // Shift and Ctrl alone never reach the list's own key handling.
    if (key == WXK_SHIFT || key == WXK_CONTROL) return;
    const bool ctrl = event.ControlDown();
    // The menu bar knows Ctrl+F and F3 as shortcuts of the same commands: a key handled here
    // is consumed, or the command would run a second time from the menu.
    if (ctrl && (key == 'A' || key == 'a')) {
        SelectAllRows();
        return;
    }
    if (ctrl && (key == 'C' || key == 'c')) {
        CopyRowsToClipboard();
        return;
    }
    if (ctrl && (key == 'F' || key == 'f')) {
        ShowFindDialog(true);
        return;
    }
    if (key == WXK_F3) {
        FindNext();
        return;
    }
    // The keys that move the focus or change the selection: the list's own rules.
    const long count = GetItemCount();
    if (kOwnSelection && count > 0 && !event.AltDown()) {
        const long focused = GetFocusedRow();
        const long page = std::max(1, GetCountPerPage() - 1);
        long target = -1;
        switch (key) {
            case WXK_UP: target = focused < 0 ? 0 : std::max(0L, focused - 1); break;
            case WXK_DOWN: target = focused < 0 ? 0 : std::min(count - 1, focused + 1); break;
            case WXK_HOME: target = 0; break;
            case WXK_END: target = count - 1; break;
            case WXK_PAGEUP: target = focused < 0 ? 0 : std::max(0L, focused - page); break;
            case WXK_PAGEDOWN:
                target = focused < 0 ? 0 : std::min(count - 1, focused + page);
                break;
            case WXK_SPACE:
                if (focused >= 0) {
                    // Space turns the focused row's selection over.
                    m_selection.Set(static_cast<std::size_t>(focused), !IsRowSelected(focused));
                    m_selection.SetAnchor(focused);
                    ApplySelection();
                }
                return;
            default: break;
        }
        if (target >= 0) {
            MoveFocus(target, ctrl, event.ShiftDown());
            return;
        }
    }
    event.Skip();
}

void CKvListCtrl::GetRowText(long row, std::string& text, const std::string& separator,
                             bool quote) const {
    if (!IsRow(row)) return;
    text += RowText(*m_model, static_cast<std::size_t>(row), separator, quote);
}

std::string CKvListCtrl::InitialFindText() const {
    std::string slice;
    if (m_nFoundRow != -1) {
        std::string rowText;
        GetRowText(m_nFoundRow, rowText, "\t", false);
        // The row may have changed since it was found: take what stands there now.
        if (m_nFoundStart >= 0 && m_nFoundLength > 0 &&
            static_cast<std::size_t>(m_nFoundStart) < rowText.size()) {
            slice = rowText.substr(static_cast<std::size_t>(m_nFoundStart),
                                   static_cast<std::size_t>(m_nFoundLength));
        }
    }
    return slice.empty() ? m_strFindWhat : slice;
}

void CKvListCtrl::ShowFindDialog(bool findOnly) {
    if (wxFindReplaceDialog* open = m_pFindDialog) {
        if (m_bFindOnly == findOnly) {
            open->Show();
            open->Raise();
            return;
        }
        open->Close();  // its close notification forgets it
        if (m_pFindDialog) {
            m_pFindDialog->Destroy();
            m_pFindDialog = nullptr;
        }
    }

    m_findData.SetFindString(Utf8ToWx(InitialFindText()));
    m_findData.SetReplaceString(wxString());
    int flags = 0;
    if (m_bSearchDown) flags |= wxFR_DOWN;
    if (m_bMatchCase) flags |= wxFR_MATCHCASE;
    if (m_bWholeWord) flags |= wxFR_WHOLEWORD;
    m_findData.SetFlags(flags);

    const int titleId = findOnly ? cmd::ID_EDIT_FIND : cmd::ID_EDIT_REPLACE;
    auto* dialog = new wxFindReplaceDialog;
    if (!dialog->Create(this, &m_findData, LoadWxTooltip(titleId),
                        findOnly ? 0 : wxFR_REPLACEDIALOG)) {
        delete dialog;
        m_pFindDialog = nullptr;
        return;
    }
    m_pFindDialog = dialog;
    // Taken at the dialog itself: it passes a notification on to its parent only when no
    // handler on its own way took it, and closing it did not reach the parent that way.
    dialog->Bind(wxEVT_FIND, &CKvListCtrl::OnFindNotification, this);
    dialog->Bind(wxEVT_FIND_NEXT, &CKvListCtrl::OnFindNotification, this);
    dialog->Bind(wxEVT_FIND_REPLACE, &CKvListCtrl::OnFindNotification, this);
    dialog->Bind(wxEVT_FIND_REPLACE_ALL, &CKvListCtrl::OnFindNotification, this);
    dialog->Bind(wxEVT_FIND_CLOSE, &CKvListCtrl::OnFindClose, this);
    dialog->Show();
    dialog->Raise();
    m_bFindOnly = findOnly;
}

void CKvListCtrl::OnFindNotification(wxFindDialogEvent& event) {
    // Replace and replace all: the dialog offers them, the list has nothing to replace.
    if (event.GetEventType() != wxEVT_FIND && event.GetEventType() != wxEVT_FIND_NEXT) return;
    m_strFindWhat = WxToUtf8(event.GetFindString());
    const int flags = event.GetFlags();
    m_bSearchDown = (flags & wxFR_DOWN) != 0;
    m_bMatchCase = (flags & wxFR_MATCHCASE) != 0;
    m_bWholeWord = (flags & wxFR_WHOLEWORD) != 0;
    if (!FindRow(m_strFindWhat, m_bSearchDown, m_bMatchCase, m_bWholeWord)) NotFound();
}

void CKvListCtrl::NotFound() {
    Beep();
    // Said in the status bar as well: the beep alone is easily missed.
    if (auto* frame = dynamic_cast<CFrameStatus*>(wxGetTopLevelParent(this)))
        frame->OnSetMessageString(0, Utf8ToWx(FormatFindNotFound(m_strFindWhat)));
}

void CKvListCtrl::OnFindClose(wxFindDialogEvent& event) {
    // The dialog only hides itself; it is taken down here.
    if (auto* dialog = wxDynamicCast(event.GetEventObject(), wxFindReplaceDialog)) {
        dialog->Destroy();
    }
    m_pFindDialog = nullptr;
    // The keys go back to the rows: as the dialog hides, the window system may hand the focus
    // to the frame itself or to no window at all. Not when another find dialog took its place.
    CallAfter([this] {
        if (m_pFindDialog) return;
        auto* top = wxDynamicCast(wxGetTopLevelParent(this), wxTopLevelWindow);
        if (top == nullptr || !top->IsShown() || top->IsBeingDeleted()) return;
        if (!top->IsActive()) top->Raise();
        SetFocus();
    });
}

void CKvListCtrl::FindNext() {
    if (m_strFindWhat.empty()) {
        ShowFindDialog(true);
        return;
    }
    if (!FindRow(m_strFindWhat, m_bSearchDown, m_bMatchCase, m_bWholeWord)) NotFound();
}

bool CKvListCtrl::FindRow(const std::string& what, bool down, bool matchCase, bool wholeWord) {
    if (m_model == nullptr) return false;
    const FoundText found = ::FindRow(*m_model, what, GetFocusedRow(), down, matchCase, wholeWord);
    // A row a filter hides is not found (the rows shown come first).
    if (found.row < 0 || static_cast<std::size_t>(found.row) >= ShownRowCount()) return false;
    SelectFoundRow(found.row, found.start, found.length);
    return true;
}

void CKvListCtrl::SelectFoundRow(long row, std::size_t start, std::size_t length) {
    m_nFoundRow = row;
    m_nFoundLength = static_cast<long>(length);
    m_nFoundStart = static_cast<long>(start);
    if (!IsCtrlDown()) ClearSelection();
    EnsureRowVisible(row);
    SetItemState(row, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                 wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    m_selection.SetAnchor(row);
    KeepRowClearOfFindDialog(row);
}

wxRect CKvListCtrl::RowScreenRect(long row) const {
    wxRect item;
    if (!const_cast<CKvListCtrl*>(this)->GetItemRect(row, item)) return wxRect();
    return wxRect(ClientToScreen(item.GetTopLeft()), item.GetSize());
}

void CKvListCtrl::KeepRowClearOfFindDialog(long row) {
    wxFindReplaceDialog* dialog = m_pFindDialog;
    if (dialog == nullptr || !dialog->IsShown()) return;
    wxRect found = RowScreenRect(row);
    wxRect covered = dialog->GetScreenRect();
    if (found.IsEmpty() || !found.Intersects(covered)) return;
    // The rows move first: the found row to above the dialog, or else below it.
    const int line = found.height;
    const wxRect shown = GetScreenRect();
    if (covered.y - shown.y > 2 * line) ScrollList(0, found.GetBottom() - covered.y + line);
    else ScrollList(0, -(covered.GetBottom() - found.y + line));
    found = RowScreenRect(row);
    if (found.IsEmpty() || !found.Intersects(covered)) return;
    // The list cannot scroll that far (its first or last rows): the dialog moves instead,
    // below the row, or above it when there is no room below.
    const wxRect screen = wxDisplay(static_cast<unsigned>(std::max(0, wxDisplay::GetFromWindow(this))))
                              .GetClientArea();
    int y = found.GetBottom() + line;
    if (y + covered.height > screen.GetBottom()) y = found.y - line - covered.height;
    dialog->Move(covered.x, std::max(screen.y, y));
}

void CKvListCtrl::EnsureRowVisible(long row) {
    if (row >= 0 && row < GetItemCount()) EnsureVisible(row);
}

void CKvListCtrl::Beep() {
    if (m_beep) {
        m_beep();
    } else {
        wxBell();
    }
}

bool CKvListCtrl::IsCtrlDown() const {
    if (m_ctrlDown) return m_ctrlDown();
    // The modifier state comes with the pointer state on X11 and Wayland alike.
    return wxGetMouseState().ControlDown();
}
