#include "options/include_exclude_dlg.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/listbox.h>
#include <wx/radiobut.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "gui/command_ids.h"
#include "gui/message_box.h"
#include "gui/wx_text.h"
#include "engine/search/directory_scanner.h"
#include "options/dialog_buttons.h"

CIncludeExcludeDlg::CIncludeExcludeDlg(const std::string& maskText, wxWindow* parent)
    : wxDialog(parent, wxID_ANY, LoadWxString(IDS_MASK_TITLE), wxDefaultPosition,
               wxDefaultSize, wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      m_strMask(maskText) {
    auto* listLabel = new wxStaticText(this, wxID_ANY, LoadWxString(IDS_MASK_LIST));
    m_listEntries = new wxListBox(this, IDC_ENTRIES, wxDefaultPosition, wxSize(300, 160), 0,
                                  nullptr, wxLB_SINGLE | wxLB_NEEDED_SB);
    auto* up = new wxButton(this, IDC_UP, LoadWxString(IDS_MASK_UP));
    auto* down = new wxButton(this, IDC_DOWN, LoadWxString(IDS_MASK_DOWN));
    auto* add = new wxButton(this, IDC_ADD, LoadWxString(IDS_BUTTON_ADD));
    auto* insert = new wxButton(this, IDC_INSERT, LoadWxString(IDS_MASK_INSERT));
    auto* remove = new wxButton(this, IDC_DELETE, LoadWxString(IDS_BUTTON_DELETE));
    auto* apply = new wxButton(this, IDC_APPLY, LoadWxString(IDS_MASK_APPLY));

    // Each radio group has a hidden third button: an empty list shows neither kind nor
    // folder mode checked, which a group of two cannot show on every toolkit.
    auto* kindSizer = new wxStaticBoxSizer(wxVERTICAL, this, LoadWxString(IDS_MASK_KIND_BOX));
    wxWindow* kindBox = kindSizer->GetStaticBox();
    m_radioInclude = new wxRadioButton(kindBox, IDC_INCLUDE, LoadWxString(IDS_MASK_INCLUDE), wxDefaultPosition,
                                       wxDefaultSize, wxRB_GROUP);
    m_radioExclude = new wxRadioButton(kindBox, IDC_EXCLUDE, LoadWxString(IDS_MASK_EXCLUDE));
    m_radioNoKind = new wxRadioButton(kindBox, wxID_ANY, wxString());
    m_radioNoKind->Hide();
    auto* fileLabel = new wxStaticText(kindBox, wxID_ANY, LoadWxString(IDS_MASK_FILE_MATCH));
    m_editFileMatch = new wxTextCtrl(kindBox, IDC_FILE_MATCH);

    auto* dirSizer = new wxStaticBoxSizer(wxVERTICAL, this, LoadWxString(IDS_MASK_FOLDER_BOX));
    wxWindow* dirBox = dirSizer->GetStaticBox();
    m_radioAllFolders = new wxRadioButton(dirBox, IDC_ALL_FOLDERS, LoadWxString(IDS_MASK_ALL_FOLDERS),
                                          wxDefaultPosition, wxDefaultSize, wxRB_GROUP);
    m_radioUseMatch = new wxRadioButton(dirBox, IDC_USE_MATCH, LoadWxString(IDS_MASK_USE_MATCH));
    m_radioNoDirMode = new wxRadioButton(dirBox, wxID_ANY, wxString());
    m_radioNoDirMode->Hide();
    auto* dirLabel = new wxStaticText(dirBox, wxID_ANY, LoadWxString(IDS_MASK_FOLDER_MATCH));
    m_editDirMatch = new wxTextCtrl(dirBox, IDC_DIR_MATCH);
    m_checkAnyLevel = new wxCheckBox(dirBox, IDC_ANY_LEVEL, LoadWxString(IDS_MASK_ANY_LEVEL));
    m_checkSubfolders = new wxCheckBox(dirBox, IDC_SUBFOLDERS, LoadWxString(IDS_MASK_SUBFOLDERS));

    auto* buttons = new wxBoxSizer(wxVERTICAL);
    for (wxButton* button : {up, down, apply}) buttons->Add(button, 0, wxEXPAND | wxBOTTOM, 4);
    buttons->AddSpacer(8);
    for (wxButton* button : {add, insert, remove}) buttons->Add(button, 0, wxEXPAND | wxBOTTOM, 4);
    auto* listColumn = new wxBoxSizer(wxVERTICAL);
    listColumn->Add(listLabel, 0, wxBOTTOM, 4);
    listColumn->Add(m_listEntries, 1, wxEXPAND);
    auto* listRow = new wxBoxSizer(wxHORIZONTAL);
    listRow->Add(listColumn, 1, wxEXPAND | wxRIGHT, 8);
    listRow->Add(buttons, 0, wxTOP, listLabel->GetBestSize().y + 4);

    auto* kindRadios = new wxBoxSizer(wxHORIZONTAL);
    kindRadios->Add(m_radioInclude, 0, wxRIGHT, 16);
    kindRadios->Add(m_radioExclude, 0);
    kindSizer->Add(kindRadios, 0, wxALL, 6);
    kindSizer->Add(fileLabel, 0, wxLEFT | wxRIGHT | wxTOP, 6);
    kindSizer->Add(m_editFileMatch, 0, wxEXPAND | wxALL, 6);

    auto* dirRadios = new wxBoxSizer(wxHORIZONTAL);
    dirRadios->Add(m_radioAllFolders, 0, wxRIGHT, 16);
    dirRadios->Add(m_radioUseMatch, 0);
    auto* dirRow = new wxBoxSizer(wxHORIZONTAL);
    dirRow->Add(dirLabel, 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 5);
    dirRow->Add(m_editDirMatch, 1, wxALIGN_CENTER_VERTICAL);
    dirSizer->Add(dirRadios, 0, wxALL, 6);
    dirSizer->Add(dirRow, 0, wxEXPAND | wxLEFT | wxRIGHT, 6);
    dirSizer->Add(m_checkAnyLevel, 0, wxLEFT | wxRIGHT | wxTOP, 6);
    dirSizer->Add(m_checkSubfolders, 0, wxALL, 6);

    auto* groups = new wxBoxSizer(wxHORIZONTAL);
    groups->Add(kindSizer, 1, wxEXPAND | wxRIGHT, 8);
    groups->Add(dirSizer, 1, wxEXPAND);

    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(listRow, 1, wxEXPAND | wxALL, 10);
    top->Add(groups, 0, wxEXPAND | wxLEFT | wxRIGHT, 10);
    top->Add(CreateOkCancelButtons(this, true), 0, wxEXPAND | wxALL, 10);
    SetSizerAndFit(top);

    m_listEntries->Bind(wxEVT_LISTBOX, [this](wxCommandEvent& event) {
        OnSelectionChanged(event.GetSelection());
    });
    add->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnAdd(); });
    insert->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnInsert(); });
    remove->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnDelete(); });
    up->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnUp(); });
    down->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnDown(); });
    apply->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnApply(); });
    m_editDirMatch->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { OnDirMatchChanged(); });
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnOK(); }, wxID_OK);
    Bind(wxEVT_BUTTON, [](wxCommandEvent&) {
        // The framework's help command, handled by the application: the page about masks.
        if (wxWindow* top = wxTheApp != nullptr ? wxTheApp->GetTopWindow() : nullptr) {
            wxCommandEvent help(wxEVT_MENU, WxId(cmd::ID_HELP));
            help.SetString(kHelpPageMasks);
            wxPostEvent(top, help);
        }
    }, wxID_HELP);
    m_entries.FillList(m_strMask);
    ShowEntries();
    CentreOnParent();
}

wxRadioButton* CIncludeExcludeDlg::Radio(int id) const {
    switch (id) {
        case IDC_INCLUDE: return m_radioInclude;
        case IDC_EXCLUDE: return m_radioExclude;
        case IDC_ALL_FOLDERS: return m_radioAllFolders;
        case IDC_USE_MATCH: return m_radioUseMatch;
        default: return nullptr;
    }
}

wxButton* CIncludeExcludeDlg::Button(int id) const {
    return wxDynamicCast(FindWindow(id), wxButton);
}

void CIncludeExcludeDlg::ReadControls() {
    MaskEntries::Fields& f = m_entries.m_fields;
    f.m_nKind = m_radioInclude->GetValue() ? 0 : m_radioExclude->GetValue() ? 1 : -1;
    f.m_nDirMode = m_radioAllFolders->GetValue() ? 0 : m_radioUseMatch->GetValue() ? 1 : -1;
    f.m_bAnyLevel = m_checkAnyLevel->GetValue() ? 1 : 0;
    f.m_bSubfolders = m_checkSubfolders->GetValue() ? 1 : 0;
    f.m_strDirMatch = WxToUtf8(m_editDirMatch->GetValue());
    f.m_strFileMatch = WxToUtf8(m_editFileMatch->GetValue());
}

void CIncludeExcludeDlg::ShowFields() {
    const MaskEntries::Fields& f = m_entries.m_fields;
    ShowKind(f.m_nKind);
    ShowDirMode(f.m_nDirMode);
    m_checkAnyLevel->SetValue(f.m_bAnyLevel != 0);
    m_checkSubfolders->SetValue(f.m_bSubfolders != 0);
    m_editDirMatch->ChangeValue(Utf8ToWx(f.m_strDirMatch));
    m_editFileMatch->ChangeValue(Utf8ToWx(f.m_strFileMatch));
}

void CIncludeExcludeDlg::ShowEntries() {
    wxArrayString items;
    for (const std::string& entry : m_entries.Entries()) items.Add(Utf8ToWx(entry));
    if (items != m_listEntries->GetStrings()) m_listEntries->Set(items);
    if (m_entries.Selection() >= 0)
        m_listEntries->SetSelection(m_entries.Selection());
    else if (m_listEntries->GetSelection() != wxNOT_FOUND)
        m_listEntries->SetSelection(wxNOT_FOUND);
    ShowFields();
    FindWindow(IDC_DELETE)->Enable(m_entries.CanDelete());
    FindWindow(IDC_APPLY)->Enable(m_entries.CanApply());
    FindWindow(IDC_UP)->Enable(m_entries.CanMoveUp());
    FindWindow(IDC_DOWN)->Enable(m_entries.CanMoveDown());
}

template <typename Action>
void CIncludeExcludeDlg::Run(Action action) {
    ReadControls();
    action();
    ShowEntries();
}

void CIncludeExcludeDlg::OnSelectionChanged(int index) {
    Run([this, index] { m_entries.SelectionChanged(index); });
}
void CIncludeExcludeDlg::OnAdd() { Run([this] { m_entries.Add(); }); }
void CIncludeExcludeDlg::OnInsert() { Run([this] { m_entries.Insert(); }); }
void CIncludeExcludeDlg::OnDelete() { Run([this] { m_entries.Delete(); }); }
void CIncludeExcludeDlg::OnUp() { Run([this] { m_entries.Up(); }); }
void CIncludeExcludeDlg::OnDown() { Run([this] { m_entries.Down(); }); }
void CIncludeExcludeDlg::OnApply() { Run([this] { m_entries.Apply(); }); }

void CIncludeExcludeDlg::OnDirMatchChanged() {
    m_entries.DirMatchChanged(WxToUtf8(m_editDirMatch->GetValue()));
    ShowDirMode(m_entries.m_fields.m_nDirMode);
}

void CIncludeExcludeDlg::ShowKind(int kind) {
    (kind == 0 ? m_radioInclude : kind == 1 ? m_radioExclude : m_radioNoKind)->SetValue(true);
}

void CIncludeExcludeDlg::ShowDirMode(int mode) {
    (mode == 0 ? m_radioAllFolders : mode == 1 ? m_radioUseMatch : m_radioNoDirMode)
        ->SetValue(true);
}

void CIncludeExcludeDlg::OnOK() {
    ReadControls();
    m_entries.StoreEntry();
    const std::string mask = m_entries.BuildMaskString();
    // Only exclude parts: a search would find no file at all. Said before the editor closes;
    // Cancel goes back to the entries.
    if (MaskAdmitsNothing(mask) &&
        ShowMessageBox(this, Utf8ToWx(LoadStringText(IDS_MASK_ONLY_EXCLUDES)),
                       wxOK | wxCANCEL | wxICON_WARNING) != wxID_OK)
        return;
    m_strMask = mask;
    EndModal(wxID_OK);
}
