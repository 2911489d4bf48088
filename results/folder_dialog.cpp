#include "results/folder_dialog.h"

#include <algorithm>

#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/imaglist.h>
#include <wx/listctrl.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "engine/text/string_table.h"
#include "engine/text/text_format.h"
#include "gui/wx_text.h"

CFolderDialog::CFolderDialog(wxWindow* parent, std::function<FolderFindings(bool)> find,
                             bool ignoreNames, std::function<void(const std::string&)> explore)
    : wxDialog(parent, wxID_ANY, LoadWxString(IDS_FOLDER_VIEW_TITLE), wxDefaultPosition,
               wxDefaultSize, wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      m_find(std::move(find)), m_explore(std::move(explore)) {
    m_ignoreNames = new wxCheckBox(this, wxID_ANY, LoadWxString(IDS_FOLDER_IGNORE_NAMES));
    m_ignoreNames->SetValue(ignoreNames);
    m_count = new wxStaticText(this, wxID_ANY, wxString());
    m_list = new wxListCtrl(this, wxID_ANY, wxDefaultPosition, FromDIP(wxSize(760, 320)),
                            wxLC_REPORT);
    auto* pictures = new wxImageList(FromDIP(16), FromDIP(16));
    pictures->Add(wxArtProvider::GetBitmap(wxART_FOLDER, wxART_LIST, FromDIP(wxSize(16, 16))));
    m_list->AssignImageList(pictures, wxIMAGE_LIST_SMALL);
    const int headings[kFolderColumnCount] = {IDS_FOLDER_COL_FOLDER, IDS_FOLDER_COL_FILES,
                                              IDS_FOLDER_COL_SIZE, IDS_FOLDER_COL_NEWEST,
                                              IDS_FOLDER_COL_WHAT};
    for (int c = 0; c < kFolderColumnCount; ++c)
        m_list->InsertColumn(c, LoadWxString(headings[c]),
                             c == kFolderColumnFiles || c == kFolderColumnSize ? wxLIST_FORMAT_RIGHT
                                                                               : wxLIST_FORMAT_LEFT);

    auto* select = new wxButton(this, wxID_ANY, LoadWxString(IDS_FOLDER_SELECT_DUPLICATES));
    auto* trash = new wxButton(this, wxID_ANY, LoadWxString(IDS_FOLDER_TRASH));
    auto* remove = new wxButton(this, wxID_ANY, LoadWxString(IDS_FOLDER_DELETE));
    auto* move = new wxButton(this, wxID_ANY, LoadWxString(IDS_FOLDER_MOVE));
    auto* exploreButton = new wxButton(this, wxID_ANY, LoadWxString(IDS_FOLDER_EXPLORE));
    auto* close = new wxButton(this, wxID_CANCEL, LoadWxString(IDS_FOLDER_CLOSE));
    SetEscapeId(wxID_CANCEL);

    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* head = new wxBoxSizer(wxHORIZONTAL);
    head->Add(m_ignoreNames, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, FromDIP(20));
    head->Add(m_count, 1, wxALIGN_CENTER_VERTICAL);
    top->Add(head, 0, wxEXPAND | wxALL, FromDIP(10));
    top->Add(m_list, 1, wxEXPAND | wxLEFT | wxRIGHT, FromDIP(10));
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    for (wxButton* button : {select, trash, remove, move, exploreButton})
        buttons->Add(button, 0, wxRIGHT, FromDIP(6));
    buttons->AddStretchSpacer();
    buttons->Add(close, 0);
    top->Add(buttons, 0, wxEXPAND | wxALL, FromDIP(10));
    SetSizerAndFit(top);

    m_ignoreNames->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { Fill(); });
    select->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { SelectDuplicates(); });
    trash->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Choose(DuplicateActionKind::kTrash); });
    remove->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Choose(DuplicateActionKind::kDelete); });
    move->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Choose(DuplicateActionKind::kMove); });
    const auto showFocused = [this] {
        const long row = m_list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_FOCUSED);
        if (row >= 0 && static_cast<std::size_t>(row) < m_rows.size() && m_explore)
            m_explore(m_rows[static_cast<std::size_t>(row)].path);
    };
    exploreButton->Bind(wxEVT_BUTTON, [showFocused](wxCommandEvent&) { showFocused(); });
    m_list->Bind(wxEVT_LIST_ITEM_ACTIVATED, [showFocused](wxListEvent&) { showFocused(); });
    m_list->Bind(wxEVT_KEY_DOWN, &CFolderDialog::OnKey, this);
    Fill();
    m_list->SetFocus();
    CentreOnParent();
}

bool CFolderDialog::IgnoreNames() const { return m_ignoreNames->GetValue(); }

void CFolderDialog::Fill() {
    const FolderFindings findings = m_find ? m_find(IgnoreNames()) : FolderFindings();
    m_rows = MakeFolderRows(findings);
    m_list->DeleteAllItems();
    for (std::size_t r = 0; r < m_rows.size(); ++r) {
        const long item = m_list->InsertItem(static_cast<long>(r),
                                             Utf8ToWx(FolderCellText(m_rows[r], kFolderColumnPath)),
                                             m_rows[r].kind == FolderRow::kHolder ? -1 : 0);
        for (int c = 1; c < kFolderColumnCount; ++c)
            m_list->SetItem(item, c, Utf8ToWx(FolderCellText(m_rows[r], c)));
        // A folder that holds copies is no choice of its own: drawn as a line under its folder.
        if (m_rows[r].kind == FolderRow::kHolder)
            m_list->SetItemTextColour(item, wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT));
    }
    // Each column as wide as its widest cell or its heading, whichever is wider; the list as
    // wide as its columns, within the screen.
    int total = 0;
    for (int c = 0; c < kFolderColumnCount; ++c) {
        m_list->SetColumnWidth(c, wxLIST_AUTOSIZE_USEHEADER);
        int width = m_list->GetColumnWidth(c);
        if (!m_rows.empty()) {
            m_list->SetColumnWidth(c, wxLIST_AUTOSIZE);
            width = std::max(width, m_list->GetColumnWidth(c));
        }
        width += FromDIP(8);
        m_list->SetColumnWidth(c, width);
        total += width;
    }
    const int most = wxSystemSettings::GetMetric(wxSYS_SCREEN_X, this) * 9 / 10;
    m_list->SetMinSize(wxSize(std::min(std::max(total + FromDIP(24), FromDIP(600)), most),
                              FromDIP(320)));
    if (GetSizer() != nullptr) GetSizer()->SetSizeHints(this);
    m_count->SetLabel(m_rows.empty() ? LoadWxString(IDS_FOLDER_NONE)
                                     : Utf8ToWx(FormatFolderCount(
                                           static_cast<int>(findings.identical.size()),
                                           static_cast<int>(findings.contained.size()))));
    if (!m_rows.empty())
        m_list->SetItemState(0, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
    Layout();
}

std::vector<std::size_t> CFolderDialog::SelectedRows() const {
    std::vector<std::size_t> rows;
    for (long item = m_list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); item >= 0;
         item = m_list->GetNextItem(item, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED))
        rows.push_back(static_cast<std::size_t>(item));
    return rows;
}

void CFolderDialog::SelectDuplicates() {
    for (long item = 0; item < m_list->GetItemCount(); ++item)
        m_list->SetItemState(item, 0, wxLIST_STATE_SELECTED);
    for (std::size_t row : DuplicateFolderRows(m_rows))
        m_list->SetItemState(static_cast<long>(row), wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    m_list->SetFocus();
}

void CFolderDialog::Choose(DuplicateActionKind kind) {
    m_chosen = FoldersToTake(m_rows, SelectedRows());
    if (m_chosen.empty()) {
        wxBell();
        return;
    }
    m_action = kind;
    EndModal(wxID_OK);
}

void CFolderDialog::OnKey(wxKeyEvent& event) {
    if (event.GetKeyCode() == WXK_DELETE || event.GetKeyCode() == WXK_NUMPAD_DELETE) {
        Choose(event.ShiftDown() ? DuplicateActionKind::kDelete : DuplicateActionKind::kTrash);
        return;
    }
    if (event.GetKeyCode() == 'A' && event.ControlDown()) {
        for (long item = 0; item < m_list->GetItemCount(); ++item)
            m_list->SetItemState(item, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
        return;
    }
    event.Skip();
}
