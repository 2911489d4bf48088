#include "options/keep_rules_page.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/checklst.h>
#include <wx/choice.h>
#include <wx/listbox.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "engine/results/keep_rule_names.h"
#include "gui/wx_text.h"
#include "options/select_path_dialog.h"

namespace {

int RuleNameId(KeepReason kind) {
    const KeepRuleName* rule = FindKeepRule(kind);
    return rule != nullptr ? rule->sheetText : IDS_KEEP_RULE_NO_COPY_MARK;
}

wxButton* Button(wxWindow* parent, int text) {
    return new wxButton(parent, wxID_ANY, LoadWxString(text));
}

}  // namespace

CKeepRulesPage::CKeepRulesPage(wxWindow* parent) : wxPanel(parent, wxID_ANY) {
    m_choose = [this]() -> std::string {
        CSelectPathDialog dialog(this);
        return dialog.DoModal() == 1 ? dialog.GetPath() : std::string();
    };
    m_rules = new wxCheckListBox(this, wxID_ANY, wxDefaultPosition, wxSize(220, 180));
    wxButton* ruleUp = Button(this, IDS_KEEP_MOVE_UP);
    wxButton* ruleDown = Button(this, IDS_KEEP_MOVE_DOWN);
    m_mask = new wxTextCtrl(this, wxID_ANY, wxString());
    m_priority = new wxListBox(this, wxID_ANY, wxDefaultPosition, wxSize(300, 80));
    wxButton* addPriority = Button(this, IDS_KEEP_ADD_FOLDER);
    wxButton* removePriority = Button(this, IDS_KEEP_REMOVE_FOLDER);
    wxButton* folderUp = Button(this, IDS_KEEP_MOVE_UP);
    wxButton* folderDown = Button(this, IDS_KEEP_MOVE_DOWN);
    m_protected = new wxListBox(this, wxID_ANY, wxDefaultPosition, wxSize(300, 60));
    wxButton* addProtected = Button(this, IDS_KEEP_ADD_FOLDER);
    wxButton* removeProtected = Button(this, IDS_KEEP_REMOVE_FOLDER);
    m_only = new wxCheckBox(this, wxID_ANY, LoadWxString(IDS_KEEP_ONLY_PROTECTED));
    m_anyOwner = new wxCheckBox(this, wxID_ANY, LoadWxString(IDS_KEEP_LINK_ANY_OWNER));
    m_removeEmptied = new wxCheckBox(this, wxID_ANY, LoadWxString(IDS_KEEP_REMOVE_EMPTIED));
    m_order = new wxChoice(this, wxID_ANY);
    m_order->Append(LoadWxString(IDS_KEEP_ORDER_FREED));
    m_order->Append(LoadWxString(IDS_KEEP_ORDER_FOUND));
    // The access keys of Up and Down belong to the rule list's buttons.
    folderUp->SetLabel(wxStripMenuCodes(LoadWxString(IDS_KEEP_MOVE_UP)));
    folderDown->SetLabel(wxStripMenuCodes(LoadWxString(IDS_KEEP_MOVE_DOWN)));

    auto* ruleButtons = new wxBoxSizer(wxVERTICAL);
    ruleButtons->Add(ruleUp, 0, wxEXPAND | wxBOTTOM, 5);
    ruleButtons->Add(ruleDown, 0, wxEXPAND | wxBOTTOM, 10);
    ruleButtons->Add(new wxStaticText(this, wxID_ANY, LoadWxString(IDS_KEEP_MASK_LABEL)), 0,
                     wxBOTTOM, 3);
    ruleButtons->Add(m_mask, 0, wxEXPAND);
    auto* ruleRow = new wxBoxSizer(wxHORIZONTAL);
    ruleRow->Add(m_rules, 1, wxEXPAND | wxRIGHT, 8);
    ruleRow->Add(ruleButtons, 1);

    auto* priorityButtons = new wxBoxSizer(wxVERTICAL);
    for (wxButton* button : {addPriority, removePriority, folderUp, folderDown})
        priorityButtons->Add(button, 0, wxEXPAND | wxBOTTOM, 3);
    auto* priorityRow = new wxBoxSizer(wxHORIZONTAL);
    priorityRow->Add(m_priority, 1, wxEXPAND | wxRIGHT, 8);
    priorityRow->Add(priorityButtons, 0);

    auto* protectedButtons = new wxBoxSizer(wxVERTICAL);
    protectedButtons->Add(addProtected, 0, wxEXPAND | wxBOTTOM, 3);
    protectedButtons->Add(removeProtected, 0, wxEXPAND);
    auto* protectedRow = new wxBoxSizer(wxHORIZONTAL);
    protectedRow->Add(m_protected, 1, wxEXPAND | wxRIGHT, 8);
    protectedRow->Add(protectedButtons, 0);

    auto* orderRow = new wxBoxSizer(wxHORIZONTAL);
    orderRow->Add(new wxStaticText(this, wxID_ANY, LoadWxString(IDS_KEEP_GROUP_ORDER)), 0,
                  wxALIGN_CENTER_VERTICAL | wxRIGHT, 5);
    orderRow->Add(m_order, 1, wxALIGN_CENTER_VERTICAL);

    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(new wxStaticText(this, wxID_ANY, LoadWxString(IDS_KEEP_RULES_LABEL)), 0,
             wxLEFT | wxRIGHT | wxTOP, 10);
    top->Add(ruleRow, 1, wxEXPAND | wxALL, 10);
    top->Add(new wxStaticText(this, wxID_ANY, LoadWxString(IDS_KEEP_PRIORITY_FOLDERS)), 0,
             wxLEFT | wxRIGHT, 10);
    top->Add(priorityRow, 1, wxEXPAND | wxALL, 10);
    top->Add(new wxStaticText(this, wxID_ANY, LoadWxString(IDS_KEEP_PROTECTED_FOLDERS)), 0,
             wxLEFT | wxRIGHT, 10);
    top->Add(protectedRow, 1, wxEXPAND | wxALL, 10);
    top->Add(m_only, 0, wxLEFT | wxRIGHT | wxBOTTOM, 10);
    top->Add(orderRow, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 10);
    top->Add(m_anyOwner, 0, wxLEFT | wxRIGHT | wxBOTTOM, 10);
    top->Add(m_removeEmptied, 0, wxLEFT | wxRIGHT | wxBOTTOM, 10);
    SetSizerAndFit(top);

    ruleUp->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnRuleUp(); });
    ruleDown->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnRuleDown(); });
    addPriority->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnAddFolder(false); });
    removePriority->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnRemoveFolder(false); });
    folderUp->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnFolderUp(); });
    folderDown->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnFolderDown(); });
    addProtected->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnAddFolder(true); });
    removeProtected->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnRemoveFolder(true); });
    m_rules->Bind(wxEVT_CHECKLISTBOX, [this](wxCommandEvent& event) {
        const int item = event.GetInt();
        if (item >= 0 && static_cast<std::size_t>(item) < m_settings.rules.size())
            m_settings.rules[static_cast<std::size_t>(item)].enabled =
                m_rules->IsChecked(static_cast<unsigned>(item));
    });
}

void CKeepRulesPage::ShowRules(int selection) {
    m_rules->Clear();
    for (const KeepRuleEntry& entry : m_settings.rules) {
        const int item = m_rules->Append(LoadWxString(RuleNameId(entry.kind)));
        m_rules->Check(static_cast<unsigned>(item), entry.enabled);
    }
    if (selection >= 0 && selection < static_cast<int>(m_rules->GetCount()))
        m_rules->SetSelection(selection);
}

void CKeepRulesPage::ShowFolders(wxListBox* list, const std::vector<std::string>& folders,
                                 int selection) {
    list->Clear();
    for (const std::string& folder : folders) list->Append(Utf8ToWx(folder));
    if (selection >= 0 && selection < static_cast<int>(list->GetCount()))
        list->SetSelection(selection);
}

bool CKeepRulesPage::TransferDataToWindow() {
    ShowRules(0);
    ShowFolders(m_priority, m_settings.priorityFolders, 0);
    ShowFolders(m_protected, m_settings.protectedFolders, 0);
    m_mask->ChangeValue(Utf8ToWx(m_settings.mask));
    m_only->SetValue(m_settings.onlyGroupsWithProtected);
    m_order->SetSelection(m_settings.order == GroupOrder::kFreedBytes ? 0 : 1);
    m_anyOwner->SetValue(m_settings.linkAnyOwner);
    m_removeEmptied->SetValue(m_settings.removeEmptiedFolders);
    return true;
}

bool CKeepRulesPage::TransferDataFromWindow() {
    for (unsigned item = 0; item < m_rules->GetCount() && item < m_settings.rules.size(); ++item)
        m_settings.rules[item].enabled = m_rules->IsChecked(item);
    m_settings.mask = WxToUtf8(m_mask->GetValue());
    m_settings.onlyGroupsWithProtected = m_only->GetValue();
    m_settings.order = m_order->GetSelection() == 1 ? GroupOrder::kAsFound : GroupOrder::kFreedBytes;
    m_settings.linkAnyOwner = m_anyOwner->GetValue();
    m_settings.removeEmptiedFolders = m_removeEmptied->GetValue();
    return true;
}

void CKeepRulesPage::OnRuleUp() {
    const int item = m_rules->GetSelection();
    TransferDataFromWindow();
    if (item != wxNOT_FOUND && m_settings.MoveRule(static_cast<std::size_t>(item), true))
        ShowRules(item - 1);
}

void CKeepRulesPage::OnRuleDown() {
    const int item = m_rules->GetSelection();
    TransferDataFromWindow();
    if (item != wxNOT_FOUND && m_settings.MoveRule(static_cast<std::size_t>(item), false))
        ShowRules(item + 1);
}

void CKeepRulesPage::OnAddFolder(bool toProtected) {
    const std::string folder = m_choose ? m_choose() : std::string();
    if (folder.empty()) return;
    std::vector<std::string>& folders =
        toProtected ? m_settings.protectedFolders : m_settings.priorityFolders;
    if (std::find(folders.begin(), folders.end(), folder) == folders.end())
        folders.push_back(folder);
    const auto at = std::find(folders.begin(), folders.end(), folder) - folders.begin();
    ShowFolders(toProtected ? m_protected : m_priority, folders, static_cast<int>(at));
}

void CKeepRulesPage::OnRemoveFolder(bool fromProtected) {
    wxListBox* list = fromProtected ? m_protected : m_priority;
    std::vector<std::string>& folders =
        fromProtected ? m_settings.protectedFolders : m_settings.priorityFolders;
    const int item = list->GetSelection();
    if (item == wxNOT_FOUND || static_cast<std::size_t>(item) >= folders.size()) return;
    folders.erase(folders.begin() + item);
    ShowFolders(list, folders, std::min(item, static_cast<int>(folders.size()) - 1));
}

void CKeepRulesPage::MoveFolder(bool up) {
    std::vector<std::string>& folders = m_settings.priorityFolders;
    const int item = m_priority->GetSelection();
    if (item == wxNOT_FOUND) return;
    const int to = up ? item - 1 : item + 1;
    if (to < 0 || to >= static_cast<int>(folders.size())) return;
    std::swap(folders[static_cast<std::size_t>(item)], folders[static_cast<std::size_t>(to)]);
    ShowFolders(m_priority, folders, to);
}

void CKeepRulesPage::OnFolderUp() { MoveFolder(true); }
void CKeepRulesPage::OnFolderDown() { MoveFolder(false); }
