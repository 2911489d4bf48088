// CFolderDialog: the duplicate folders of the last search (folders that hold the same files,
// folders whose every file is elsewhere), to choose from and take whole. The rows and their
// texts are FolderRow's; the choice goes back to the view, which runs it like any action.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <wx/dialog.h>

#include "engine/actions/action_kinds.h"
#include "engine/results/folder_rows.h"

class wxCheckBox;
class wxListCtrl;
class wxStaticText;

class CFolderDialog : public wxDialog {
public:
    // `find` gives the findings with names ignored or not; `explore` shows a folder in the file
    // manager (the dialog stays open).
    CFolderDialog(wxWindow* parent, std::function<FolderFindings(bool ignoreNames)> find,
                  bool ignoreNames, std::function<void(const std::string&)> explore);

    // What the user chose once the dialog ended with wxID_OK: the folders, in the order to
    // take them, and the action.
    const std::vector<std::string>& ChosenFolders() const { return m_chosen; }
    DuplicateActionKind ChosenAction() const { return m_action; }
    bool IgnoreNames() const;

    // For tests and the keyboard: the list, and the commands of the buttons.
    wxListCtrl* List() const { return m_list; }
    const std::vector<FolderRow>& Rows() const { return m_rows; }
    void SelectDuplicates();
    void Choose(DuplicateActionKind kind);

private:
    void Fill();
    std::vector<std::size_t> SelectedRows() const;
    void OnKey(wxKeyEvent& event);

    std::function<FolderFindings(bool)> m_find;
    std::function<void(const std::string&)> m_explore;
    std::vector<FolderRow> m_rows;
    wxListCtrl* m_list = nullptr;
    wxCheckBox* m_ignoreNames = nullptr;
    wxStaticText* m_count = nullptr;
    std::vector<std::string> m_chosen;
    DuplicateActionKind m_action = DuplicateActionKind::kTrash;
};
