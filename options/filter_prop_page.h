// The Filters page of the search options: dates, sizes, five attribute boxes and the reverse
// flag. The fields (FilterFields) are the working copy; the controls show them.
#pragma once

#include <wx/panel.h>

#include "options/filter_fields.h"

class wxCheckBox;
class wxStaticText;
class wxTextCtrl;

class CFilterPropPage : public wxPanel {
public:
    enum {
        IDC_MIN_DATE = 1079,
        IDC_MAX_DATE = 1080,
        IDC_MIN_SIZE = 1081,
        IDC_MAX_SIZE = 1082,
        IDC_TODAY = 1083,
        IDC_READ_ONLY = 1093,
        IDC_ARCHIVE = 1094,
        IDC_HIDDEN = 1095,
        IDC_SYSTEM = 1096,
        IDC_DIRECTORY = 1097,
        IDC_REVERSE = 1118,
        IDC_RESET = 1124,
        IDC_NO_EMPTY = 1125,
        IDC_VERIFY_CACHED = 1126,
    };

    explicit CFilterPropPage(wxWindow* parent);

    // Loading: the boxes and the reverse flag, the today label (its "%s" becomes today's
    // short date the first time), the texts of set limits, then the four edits.
    bool TransferDataToWindow() override;
    // Saving: the boxes and the reverse flag, then the four texts in edit order. A refusal is
    // shown in a message box, the failing edit gets the focus and false is returned.
    bool TransferDataFromWindow() override;

    // The Reset button: no limits, empty texts, reverse off, every box indeterminate.
    void OnReset();

    wxTextCtrl* Edit(FilterFields::Edit which) const;
    wxCheckBox* AttributeBox(int id) const;
    wxCheckBox* ReverseBox() const { return m_checkReverse; }
    wxCheckBox* NoEmptyBox() const { return m_checkNoEmpty; }
    // Not a filter of files but how they are compared: the sheet sets and reads it directly.
    wxCheckBox* VerifyCachedBox() const { return m_checkVerifyCached; }
    wxStaticText* TodayLabel() const { return m_labelToday; }

    FilterFields m_fields;

private:
    wxStaticText* m_labelToday = nullptr;
    wxTextCtrl* m_editMinDate = nullptr;
    wxTextCtrl* m_editMaxDate = nullptr;
    wxTextCtrl* m_editMinSize = nullptr;
    wxTextCtrl* m_editMaxSize = nullptr;
    wxCheckBox* m_checkReadOnly = nullptr;
    wxCheckBox* m_checkArchive = nullptr;
    wxCheckBox* m_checkHidden = nullptr;
    wxCheckBox* m_checkSystem = nullptr;
    wxCheckBox* m_checkDirectory = nullptr;
    wxCheckBox* m_checkReverse = nullptr;
    wxCheckBox* m_checkNoEmpty = nullptr;
    wxCheckBox* m_checkVerifyCached = nullptr;
};
