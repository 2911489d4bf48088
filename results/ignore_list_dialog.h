// CIgnoreListDialog: 文件 → 忽略列表, the groups left out of the results, each by its size, CRC,
// checksum and a file it held when it was ignored. 不再忽略 takes the selected group back (the
// list is saved at once; the next search lists it again); Enter and Escape close the dialog.
#pragma once

#include <string>

#include <wx/dialog.h>

class IgnoreList;
class wxButton;
class wxListCtrl;

class CIgnoreListDialog : public wxDialog {
public:
    // `list` is changed and saved as groups are taken back; `problem` ("" for none) is said
    // above the list (the file could not be read).
    CIgnoreListDialog(wxWindow* parent, IgnoreList& list, const std::string& problem);

    // Groups taken back while the dialog was open.
    int TakenBack() const { return m_nTakenBack; }
    wxListCtrl* GroupList() const { return m_list; }
    // Takes the selected group back; false when none is selected.
    bool TakeBackSelected();

private:
    void Fill();
    void UpdateButtons();

    IgnoreList& m_ignore;
    wxListCtrl* m_list = nullptr;
    wxButton* m_takeBack = nullptr;
    int m_nTakenBack = 0;
};
