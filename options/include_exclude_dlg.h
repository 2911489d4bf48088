// The include/exclude editor of the file-mask text: one mask piece per line, each built from
// include or exclude, a file pattern and a folder part. MaskEntries holds the list and the
// values; this dialog shows them and hands each user action to it.
#pragma once

#include <string>

#include <wx/dialog.h>

#include "options/mask_entries.h"

class wxCheckBox;
class wxListBox;
class wxRadioButton;
class wxTextCtrl;
class wxButton;

class CIncludeExcludeDlg : public wxDialog {
public:
    enum {
        IDC_ADD = 1001,
        IDC_ENTRIES = 1002,
        IDC_INCLUDE = 1003,
        IDC_EXCLUDE = 1004,
        IDC_FILE_MATCH = 1005,
        IDC_DIR_MATCH = 1006,
        IDC_UP = 1007,
        IDC_DOWN = 1008,
        IDC_DELETE = 1011,
        IDC_ALL_FOLDERS = 1012,
        IDC_USE_MATCH = 1013,
        IDC_ANY_LEVEL = 1014,
        IDC_SUBFOLDERS = 1015,
        IDC_APPLY = 1063,
        IDC_INSERT = 1069,
    };

    // `maskText` is the text to edit; `parent` may be null. The list is filled and its first
    // entry shown at once.
    CIncludeExcludeDlg(const std::string& maskText, wxWindow* parent);

    // The user's actions, also called by the tests. Each reads the controls first and shows
    // the result afterwards.
    void OnSelectionChanged(int index);
    void OnAdd();
    void OnInsert();
    void OnDelete();
    void OnUp();
    void OnDown();
    void OnApply();
    void OnDirMatchChanged();
    // OK: stores the shown entry, builds m_strMask and closes with wxID_OK.
    void OnOK();

    wxListBox* EntryList() const { return m_listEntries; }
    wxTextCtrl* DirMatchEdit() const { return m_editDirMatch; }
    wxTextCtrl* FileMatchEdit() const { return m_editFileMatch; }
    wxRadioButton* Radio(int id) const;
    wxCheckBox* AnyLevelBox() const { return m_checkAnyLevel; }
    wxCheckBox* SubfoldersBox() const { return m_checkSubfolders; }
    wxButton* Button(int id) const;
    const MaskEntries& Entries() const { return m_entries; }

    std::string m_strMask;  // the text given and, after OK, the result

private:
    void ReadControls();
    void ShowEntries();
    void ShowFields();
    void ShowKind(int kind);
    void ShowDirMode(int mode);
    template <typename Action>
    void Run(Action action);

    MaskEntries m_entries;
    wxListBox* m_listEntries = nullptr;
    wxRadioButton* m_radioInclude = nullptr;
    wxRadioButton* m_radioExclude = nullptr;
    wxRadioButton* m_radioNoKind = nullptr;
    wxTextCtrl* m_editFileMatch = nullptr;
    wxRadioButton* m_radioAllFolders = nullptr;
    wxRadioButton* m_radioUseMatch = nullptr;
    wxRadioButton* m_radioNoDirMode = nullptr;
    wxTextCtrl* m_editDirMatch = nullptr;
    wxCheckBox* m_checkAnyLevel = nullptr;
    wxCheckBox* m_checkSubfolders = nullptr;
};
