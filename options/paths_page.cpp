#include "options/paths_page.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/wupdlock.h>

#include "gui/message_box.h"
#include "engine/text/text_format.h"
#include "gui/wx_text.h"
#include "options/dialog_buttons.h"
#include "options/include_exclude_dlg.h"
#include "options/select_path_dialog.h"


CPathsPage::CPathsPage(wxWindow* parent) : wxPanel(parent, wxID_ANY) {
    m_listPaths = new wxListCtrl(this, IDC_PATH_LIST, wxDefaultPosition, wxSize(360, 180),
                                 wxLC_REPORT | wxLC_SINGLE_SEL | wxLC_EDIT_LABELS |
                                     wxBORDER_SUNKEN);
    m_listPaths->InsertColumn(0, LoadWxString(IDS_PATHS_COLUMN), wxLIST_FORMAT_LEFT);
    auto* add = new wxButton(this, IDC_ADD, LoadWxString(IDS_BUTTON_ADD));
    auto* edit = new wxButton(this, IDC_EDIT, LoadWxString(IDS_BUTTON_EDIT));
    edit->SetToolTip(LoadWxString(IDS_PATH_EDIT_TIP));
    auto* remove = new wxButton(this, IDC_DELETE, LoadWxString(IDS_BUTTON_DELETE));
    auto* pathLabel = new wxStaticText(this, wxID_ANY, LoadWxString(IDS_PATHS_PATH_FIELD));
    m_editPath = new wxTextCtrl(this, IDC_PATH_FIELD, wxString());
    auto* label = new wxStaticText(this, wxID_ANY, LoadWxString(IDS_PATHS_FILE_TYPES));
    m_editFileTypes = new wxTextCtrl(this, IDC_FILE_TYPES, wxString());
    auto* editor = new wxButton(this, IDC_MASK_EDITOR, "...", wxDefaultPosition, wxDefaultSize,
                                wxBU_EXACTFIT);

    auto* buttons = new wxBoxSizer(wxVERTICAL);
    buttons->Add(add, 0, wxEXPAND | wxBOTTOM, 5);
    buttons->Add(edit, 0, wxEXPAND | wxBOTTOM, 5);
    buttons->Add(remove, 0, wxEXPAND);
    auto* listRow = new wxBoxSizer(wxHORIZONTAL);
    listRow->Add(m_listPaths, 1, wxEXPAND | wxRIGHT, 8);
    listRow->Add(buttons, 0);
    // A path typed here is added by 添加, or by OK itself.
    auto* pathRow = new wxBoxSizer(wxHORIZONTAL);
    pathRow->Add(pathLabel, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 5);
    pathRow->Add(m_editPath, 1, wxALIGN_CENTER_VERTICAL);
    auto* maskRow = new wxBoxSizer(wxHORIZONTAL);
    maskRow->Add(label, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 5);
    maskRow->Add(m_editFileTypes, 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, 5);
    maskRow->Add(editor, 0, wxALIGN_CENTER_VERTICAL);
    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(listRow, 1, wxEXPAND | wxALL, 10);
    top->Add(pathRow, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 10);
    top->Add(maskRow, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 10);
    SetSizerAndFit(top);

    add->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnAdd(); });
    edit->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnEdit(); });
    remove->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnDelete(); });
    editor->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnMaskEditor(); });
    m_listPaths->Bind(wxEVT_LIST_ITEM_SELECTED, &CPathsPage::OnSelected, this);
    m_listPaths->Bind(wxEVT_LIST_ITEM_DESELECTED, &CPathsPage::OnSelected, this);
    m_listPaths->Bind(wxEVT_LIST_KEY_DOWN, &CPathsPage::OnListKey, this);
    m_listPaths->Bind(wxEVT_LIST_END_LABEL_EDIT, &CPathsPage::OnEndLabelEdit, this);
}

void CPathsPage::InitPage() {
    m_paths.Load(m_startPaths);
    ShowList();
}

void CPathsPage::ShowList() {
    // The list shows the model; its own selection events only follow the user's clicks.
    m_listPaths->Unbind(wxEVT_LIST_ITEM_SELECTED, &CPathsPage::OnSelected, this);
    m_listPaths->Unbind(wxEVT_LIST_ITEM_DESELECTED, &CPathsPage::OnSelected, this);
    m_listPaths->DeleteAllItems();
    const auto& items = m_paths.Items();
    for (std::size_t i = 0; i < items.size(); ++i)
        m_listPaths->InsertItem(static_cast<long>(i), Utf8ToWx(items[i]));
    const int selected = m_paths.Selection();
    if (selected >= 0) {
        m_listPaths->SetItemState(selected, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                                  wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
        m_listPaths->EnsureVisible(selected);
    }
    FitColumn();
    m_listPaths->Bind(wxEVT_LIST_ITEM_SELECTED, &CPathsPage::OnSelected, this);
    m_listPaths->Bind(wxEVT_LIST_ITEM_DESELECTED, &CPathsPage::OnSelected, this);
}

void CPathsPage::FitColumn() {
    wxWindowUpdateLocker noRedraw(m_listPaths);
    for (int column = 0; column < m_listPaths->GetColumnCount(); ++column) {
        m_listPaths->SetColumnWidth(column, wxLIST_AUTOSIZE);
        const int contents = m_listPaths->GetColumnWidth(column);
        m_listPaths->SetColumnWidth(column, wxLIST_AUTOSIZE_USEHEADER);
        const int header = m_listPaths->GetColumnWidth(column);
        const int width = std::max(contents, header);
        m_listPaths->SetColumnWidth(column, width <= 9 ? 10 : width);
    }
}

void CPathsPage::OnSelected(wxListEvent&) {
    m_paths.Select(static_cast<int>(
        m_listPaths->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED)));
}

void CPathsPage::OnListKey(wxListEvent& event) {
    if (event.GetKeyCode() == WXK_F2)
        EditInPlace();
    else
        event.Skip();
}

wxTextCtrl* CPathsPage::EditInPlace() {
    const int selected = m_paths.Selection();
    if (selected < 0) return nullptr;
    m_listPaths->EnsureVisible(selected);
    wxTextCtrl* editor = m_listPaths->EditLabel(selected);
#ifndef __WXMSW__
    // The toolkit's editor is as wide as the column, which fits the longest path: give it the
    // list's width, room for a longer one.
    if (editor != nullptr && editor->GetParent() != nullptr) {
        const int width = editor->GetParent()->GetClientSize().x - editor->GetPosition().x - 2;
        if (width > editor->GetSize().x) editor->SetSize(width, -1);
    }
#endif
    return editor;
}

void CPathsPage::OnEndLabelEdit(wxListEvent& event) {
    if (event.IsEditCancelled()) return;
    // The list shows the model's form of the path (a folder with its separator), never the
    // text as typed: the list's own renaming is always declined.
    event.Veto();
    const int index = static_cast<int>(event.GetIndex());
    if (index < 0 || index >= m_paths.Count()) return;
    const std::string typed = WxToUtf8(event.GetLabel());
    if (typed == m_paths.Items()[index]) return;  // unchanged: nothing to check
    std::string why;
    if (m_paths.ReplaceTyped(index, typed, &why)) {
        m_listPaths->SetItemText(index, Utf8ToWx(m_paths.Items()[index]));
        CallAfter([this] { FitColumn(); });
        return;
    }
    // Named once the editor is gone (this runs inside it; it may be going because OK or
    // Cancel was clicked, and OK asks first).
    m_refusedEdit = RefusedEdit{index, typed, why};
    CallAfter([this] { ReportRefusedEdit(); });
}

bool CPathsPage::ReportRefusedEdit() {
    if (m_refusedEdit.index < 0) return false;
    const RefusedEdit refused = m_refusedEdit;
    m_refusedEdit = RefusedEdit();
    ShowMessageBox(this, Utf8ToWx(FormatPathEditRefused(refused.typed, refused.why)),
                   wxOK | wxICON_EXCLAMATION);
    if (refused.index >= m_paths.Count()) return true;
    // Back to the editor with what was typed, to be put right or left with Escape.
    m_paths.Select(refused.index);
    ShowList();
    if (wxTextCtrl* editor = EditInPlace()) {
        editor->ChangeValue(Utf8ToWx(refused.typed));
        editor->SelectAll();
    }
    return true;
}

bool CPathsPage::TransferDataToWindow() {
    m_editFileTypes->ChangeValue(Utf8ToWx(m_strFileTypes));
    return true;
}

bool CPathsPage::TransferDataFromWindow() {
    // A change in place that was refused keeps the sheet open, as a refused typed path does.
    if (ReportRefusedEdit()) return false;
    // A typed path not added yet is what the user means to search too.
    if (!m_editPath->GetValue().empty() && !AddTypedPath()) return false;
    m_strFileTypes = WxToUtf8(m_editFileTypes->GetValue());
    m_startPaths = m_paths.Items();
    return true;
}

bool CPathsPage::AddTypedPath() {
    const std::string typed = WxToUtf8(m_editPath->GetValue());
    std::string why;
    if (!m_paths.AppendTyped(typed, &why)) {
        ShowMessageBox(this, Utf8ToWx(FormatPathRefused(typed, why)), wxOK | wxICON_EXCLAMATION);
        m_editPath->SetFocus();
        m_editPath->SelectAll();
        return false;
    }
    m_editPath->ChangeValue(wxString());
    ShowList();
    return true;
}

void CPathsPage::OnAdd() {
    if (!m_editPath->GetValue().empty()) {
        AddTypedPath();
        return;
    }
    CSelectPathDialog picker(this);
    picker.SetSinglePath(m_paths.SelectedText());
    if (picker.DoModal() != 1) return;
    m_paths.Append(picker.GetPath());
    ShowList();
}

void CPathsPage::OnEdit() {
    if (m_paths.Selection() < 0) return;
    CSelectPathDialog picker(this);
    picker.SetSinglePath(m_paths.SelectedText());
    if (picker.DoModal() != 1) return;
    m_paths.ReplaceSelected(picker.GetPath());
    ShowList();
}

void CPathsPage::OnDelete() {
    if (m_paths.Selection() < 0) return;
    const wxString question = Utf8ToWx(FormatConfirmDeletePath(m_paths.SelectedText()));
    if (ShowMessageBox(this, question, wxYES_NO | wxICON_QUESTION) != wxID_YES) return;
    m_paths.DeleteSelected();
    ShowList();
}

void CPathsPage::OnMaskEditor() {
    m_strFileTypes = WxToUtf8(m_editFileTypes->GetValue());
    CIncludeExcludeDlg editor(m_strFileTypes, this);
    if (editor.ShowModal() != wxID_OK) return;
    m_strFileTypes = editor.m_strMask;
    m_editFileTypes->ChangeValue(Utf8ToWx(m_strFileTypes));
}
