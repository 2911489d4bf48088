// The keep rules page of the search options: which copy of each group stays (the rules in
// order, each on or off, moved with Up and Down), the folder priority list and the protected
// folders (added with the folder picker), "only groups with a copy in a protected folder", and
// the order of the groups. The page edits a KeepSettings; the rules' logic lives there.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <wx/panel.h>

#include "engine/results/keep_settings.h"

class wxCheckBox;
class wxCheckListBox;
class wxChoice;
class wxListBox;
class wxTextCtrl;

class CKeepRulesPage : public wxPanel {
public:
    explicit CKeepRulesPage(wxWindow* parent);

    // m_settings into the controls.
    bool TransferDataToWindow() override;
    // The controls into m_settings. Never fails.
    bool TransferDataFromWindow() override;

    // The buttons' handlers, also called by the tests.
    void OnRuleUp();
    void OnRuleDown();
    void OnAddFolder(bool toProtected);
    void OnRemoveFolder(bool fromProtected);
    void OnFolderUp();
    void OnFolderDown();

    // Replaceable for tests: the folder picker (returns "" when nothing was chosen).
    void SetFolderChooser(std::function<std::string()> choose) { m_choose = std::move(choose); }

    wxCheckListBox* RuleList() const { return m_rules; }
    wxListBox* PriorityList() const { return m_priority; }
    wxListBox* ProtectedList() const { return m_protected; }
    wxTextCtrl* MaskEdit() const { return m_mask; }
    wxCheckBox* OnlyProtectedBox() const { return m_only; }
    wxChoice* OrderChoice() const { return m_order; }
    wxCheckBox* LinkAnyOwnerBox() const { return m_anyOwner; }
    wxCheckBox* RemoveEmptiedBox() const { return m_removeEmptied; }

    KeepSettings m_settings = KeepSettings::Defaults();

private:
    void ShowRules(int selection);
    void ShowFolders(wxListBox* list, const std::vector<std::string>& folders, int selection);
    void MoveFolder(bool up);

    wxCheckListBox* m_rules = nullptr;
    wxTextCtrl* m_mask = nullptr;
    wxListBox* m_priority = nullptr;
    wxListBox* m_protected = nullptr;
    wxCheckBox* m_only = nullptr;
    wxChoice* m_order = nullptr;
    wxCheckBox* m_anyOwner = nullptr;
    wxCheckBox* m_removeEmptied = nullptr;
    std::function<std::string()> m_choose;
};
