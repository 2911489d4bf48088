// The Paths page of the search options: the start paths as a list with Add, Edit and Delete,
// and the file-mask text with the button that opens the include/exclude editor.
#pragma once

#include <string>
#include <vector>

#include <wx/panel.h>

#include "options/paths_list.h"

class wxListCtrl;
class wxListEvent;
class wxTextCtrl;

class CPathsPage : public wxPanel {
public:
    enum {
        IDC_PATH_LIST = 1000,
        IDC_ADD = 1001,
        IDC_EDIT = 1002,
        IDC_DELETE = 1003,
        IDC_FILE_TYPES = 1010,
        IDC_PATH_FIELD = 1011,
        IDC_MASK_EDITOR = 1099,
    };

    explicit CPathsPage(wxWindow* parent);

    // Fills the list from m_strPaths (once per showing, after m_strPaths was set) and selects
    // the last item.
    void InitPage();

    // The mask text into its edit; the list keeps what the user made of it.
    bool TransferDataToWindow() override;
    // m_strPaths from the list items in order (a typed path first added), m_strFileTypes as
    // typed. Fails only for a typed path that cannot be searched.
    bool TransferDataFromWindow() override;

    // The button handlers, also called by the tests. Add takes the typed path when there is
    // one, else opens the folder picker.
    void OnAdd();
    // Adds the typed path (PathsList::AppendTyped) and empties the field; a refused one is
    // named with its reason and keeps the focus. False when refused.
    bool AddTypedPath();
    void OnEdit();
    // F2: the selected item becomes editable in the list; the text is checked as a typed path
    // is (CPathsPage::OnEndLabelEdit). Returns the editor, or nullptr when nothing is selected.
    wxTextCtrl* EditInPlace();
    void OnDelete();
    void OnMaskEditor();

    wxListCtrl* PathList() const { return m_listPaths; }
    wxTextCtrl* FileTypesEdit() const { return m_editFileTypes; }
    wxTextCtrl* PathEdit() const { return m_editPath; }
    const PathsList& Paths() const { return m_paths; }

    std::vector<std::string> m_startPaths;
    std::string m_strFileTypes;  // the file-mask text

private:
    void ShowList();
    void FitColumn();
    void OnSelected(wxListEvent& event);
    void OnListKey(wxListEvent& event);
    void OnEndLabelEdit(wxListEvent& event);
    // Names a refused change made in place and opens the editor again with what was typed.
    // False when no refusal waits.
    bool ReportRefusedEdit();

    PathsList m_paths;
    wxListCtrl* m_listPaths = nullptr;
    wxTextCtrl* m_editFileTypes = nullptr;
    wxTextCtrl* m_editPath = nullptr;  // a start path typed by the user
    // A change made in place that was refused, until it is named: the item, the text, why.
    struct RefusedEdit {
        int index = -1;
        std::string typed, why;
    };
    RefusedEdit m_refusedEdit;
};
