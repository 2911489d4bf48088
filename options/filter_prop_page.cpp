#include "options/filter_prop_page.h"

#include <algorithm>
#include <cstdint>
#include <string>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/sizer.h>
#include <wx/statbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "gui/message_box.h"
#include "gui/wx_text.h"
#include "engine/search/date_value.h"
#include "options/dialog_buttons.h"
#include "platform/file_time.h"

namespace {

// The width of the widest date a field shows or reads: the user's short date of each month on
// a two-digit day (the picture may hold month names), and the form 2024-01-31.
int WidestDateText(const wxWindow& edit) {
    int widest = edit.GetTextExtent("0000-00-00").x;
    for (std::uint16_t month = 1; month <= 12; ++month) {
        platform::SystemTime day;
        day.wYear = 2028;
        day.wMonth = month;
        day.wDay = 28;
        day.wHour = 12;
        platform::FileTime time = 0;
        std::string text;
        if (platform::SystemTimeToFileTime(day, &time) && FormatShortDate(text, time) > 0)
            widest = std::max(widest, edit.GetTextExtent(Utf8ToWx(text)).x);
    }
    return widest;
}

wxCheckBoxState ToBox(int state) {
    switch (state) {
        case FilterFields::kChecked: return wxCHK_CHECKED;
        case FilterFields::kIndeterminate: return wxCHK_UNDETERMINED;
        default: return wxCHK_UNCHECKED;
    }
}

int FromBox(const wxCheckBox* box) {
    switch (box->Get3StateValue()) {
        case wxCHK_CHECKED: return FilterFields::kChecked;
        case wxCHK_UNDETERMINED: return FilterFields::kIndeterminate;
        default: return FilterFields::kUnchecked;
    }
}

}  // namespace

CFilterPropPage::CFilterPropPage(wxWindow* parent) : wxPanel(parent, wxID_ANY) {
    auto* outer = new wxStaticBoxSizer(wxVERTICAL, this, LoadWxString(IDS_FILTER_BOX));
    wxWindow* box = outer->GetStaticBox();

    // Each label is made just before its control, so that its mnemonic moves to that control.
    m_labelToday = new wxStaticText(box, IDC_TODAY, LoadWxString(IDS_FILTER_MODIFIED_TODAY));
    auto* beforeLabel = new wxStaticText(box, wxID_ANY, LoadWxString(IDS_FILTER_BEFORE));
    m_editMinDate = new wxTextCtrl(box, IDC_MIN_DATE);
    auto* afterLabel = new wxStaticText(box, wxID_ANY, LoadWxString(IDS_FILTER_AFTER));
    m_editMaxDate = new wxTextCtrl(box, IDC_MAX_DATE);
    auto* sizeLabel = new wxStaticText(box, wxID_ANY, LoadWxString(IDS_FILTER_SIZE));
    auto* lessLabel = new wxStaticText(box, wxID_ANY, LoadWxString(IDS_FILTER_LESS));
    m_editMinSize = new wxTextCtrl(box, IDC_MIN_SIZE);
    auto* greaterLabel = new wxStaticText(box, wxID_ANY, LoadWxString(IDS_FILTER_GREATER));
    m_editMaxSize = new wxTextCtrl(box, IDC_MAX_SIZE);

    auto* attributes = new wxStaticBoxSizer(wxVERTICAL, box, LoadWxString(IDS_FILTER_ATTRIBUTES_BOX));
    wxWindow* attrBox = attributes->GetStaticBox();
    const long triState = wxCHK_3STATE | wxCHK_ALLOW_3RD_STATE_FOR_USER;
    m_checkReadOnly = new wxCheckBox(attrBox, IDC_READ_ONLY, LoadWxString(IDS_FILTER_READ_ONLY),
                                     wxDefaultPosition, wxDefaultSize, triState);
    m_checkArchive = new wxCheckBox(attrBox, IDC_ARCHIVE, LoadWxString(IDS_FILTER_ARCHIVE), wxDefaultPosition,
                                    wxDefaultSize, triState);
    m_checkHidden = new wxCheckBox(attrBox, IDC_HIDDEN, LoadWxString(IDS_FILTER_HIDDEN), wxDefaultPosition,
                                   wxDefaultSize, triState);
    m_checkSystem = new wxCheckBox(attrBox, IDC_SYSTEM, LoadWxString(IDS_FILTER_SYSTEM), wxDefaultPosition,
                                   wxDefaultSize, triState);
    m_checkDirectory = new wxCheckBox(attrBox, IDC_DIRECTORY, LoadWxString(IDS_FILTER_DIRECTORY),
                                      wxDefaultPosition, wxDefaultSize, triState);
    m_checkNoEmpty = new wxCheckBox(box, IDC_NO_EMPTY, LoadWxString(IDS_FILTER_NO_EMPTY));
    m_checkVerifyCached = new wxCheckBox(box, IDC_VERIFY_CACHED, LoadWxString(IDS_VERIFY_CACHED));
    m_checkReverse = new wxCheckBox(box, IDC_REVERSE, LoadWxString(IDS_FILTER_REVERSE));
    auto* reset = new wxButton(box, IDC_RESET, LoadWxString(IDS_FILTER_RESET));

    // The edits are as wide as the widest date with its frame and the caret's room (the text
    // alone would lose its last character, 日 of a Chinese date, to the frame); the size edits
    // match, so that both ranges line up.
    const wxSize editSize = m_editMinDate->GetSizeFromTextSize(
        WidestDateText(*m_editMinDate) + m_editMinDate->GetCharWidth());
    for (wxTextCtrl* edit : {m_editMinDate, m_editMaxDate, m_editMinSize, m_editMaxSize})
        edit->SetMinSize(wxSize(editSize.x, -1));

    // The four labels share one width, so that the edits of both ranges line up.
    int labelWidth = 0;
    for (wxStaticText* label : {beforeLabel, afterLabel, lessLabel, greaterLabel})
        labelWidth = std::max(labelWidth, label->GetBestSize().x);
    for (wxStaticText* label : {beforeLabel, afterLabel, lessLabel, greaterLabel})
        label->SetMinSize(wxSize(labelWidth, -1));

    auto* dates = new wxFlexGridSizer(2, 5, 8);
    dates->Add(beforeLabel, 0, wxALIGN_CENTER_VERTICAL);
    dates->Add(m_editMinDate, 0, wxALIGN_CENTER_VERTICAL);
    dates->Add(afterLabel, 0, wxALIGN_CENTER_VERTICAL);
    dates->Add(m_editMaxDate, 0, wxALIGN_CENTER_VERTICAL);
    auto* sizes = new wxFlexGridSizer(2, 5, 8);
    sizes->Add(lessLabel, 0, wxALIGN_CENTER_VERTICAL);
    sizes->Add(m_editMinSize, 0, wxALIGN_CENTER_VERTICAL);
    sizes->Add(greaterLabel, 0, wxALIGN_CENTER_VERTICAL);
    sizes->Add(m_editMaxSize, 0, wxALIGN_CENTER_VERTICAL);

    auto* boxes = new wxGridSizer(2, 5, 16);
    for (wxCheckBox* check :
         {m_checkReadOnly, m_checkArchive, m_checkHidden, m_checkSystem, m_checkDirectory})
        boxes->Add(check, 0, wxALIGN_CENTER_VERTICAL);
    attributes->Add(boxes, 0, wxALL, 6);

    auto* bottom = new wxBoxSizer(wxHORIZONTAL);
    bottom->Add(m_checkReverse, 0, wxALIGN_CENTER_VERTICAL);
    bottom->AddStretchSpacer();
    bottom->Add(reset, 0, wxALIGN_CENTER_VERTICAL);

    outer->Add(m_labelToday, 0, wxALL, 6);
    outer->Add(dates, 0, wxLEFT | wxRIGHT | wxBOTTOM, 6);
    outer->Add(sizeLabel, 0, wxLEFT | wxRIGHT | wxTOP, 6);
    outer->Add(sizes, 0, wxALL, 6);
    outer->Add(attributes, 0, wxEXPAND | wxALL, 6);
    outer->Add(m_checkNoEmpty, 0, wxLEFT | wxRIGHT | wxTOP, 6);
    outer->Add(m_checkVerifyCached, 0, wxLEFT | wxRIGHT | wxTOP, 6);
    outer->Add(bottom, 0, wxEXPAND | wxALL, 6);

    auto* top = new wxBoxSizer(wxVERTICAL);
    top->Add(outer, 1, wxEXPAND | wxALL, 10);
    SetSizerAndFit(top);

    reset->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnReset(); });
}

wxTextCtrl* CFilterPropPage::Edit(FilterFields::Edit which) const {
    switch (which) {
        case FilterFields::kMinDateEdit: return m_editMinDate;
        case FilterFields::kMaxDateEdit: return m_editMaxDate;
        case FilterFields::kMinSizeEdit: return m_editMinSize;
        case FilterFields::kMaxSizeEdit: return m_editMaxSize;
        default: return nullptr;
    }
}

wxCheckBox* CFilterPropPage::AttributeBox(int id) const {
    switch (id) {
        case IDC_READ_ONLY: return m_checkReadOnly;
        case IDC_ARCHIVE: return m_checkArchive;
        case IDC_HIDDEN: return m_checkHidden;
        case IDC_SYSTEM: return m_checkSystem;
        case IDC_DIRECTORY: return m_checkDirectory;
        default: return nullptr;
    }
}

bool CFilterPropPage::TransferDataToWindow() {
    m_checkHidden->Set3StateValue(ToBox(m_fields.m_nHidden));
    m_checkDirectory->Set3StateValue(ToBox(m_fields.m_nDirectory));
    m_checkReadOnly->Set3StateValue(ToBox(m_fields.m_nReadOnly));
    m_checkSystem->Set3StateValue(ToBox(m_fields.m_nSystem));
    m_checkArchive->Set3StateValue(ToBox(m_fields.m_nArchive));
    m_checkReverse->SetValue(m_fields.m_bReverse != 0);
    m_checkNoEmpty->SetValue(m_fields.m_bLeaveOutEmpty != 0);

    std::string today;
    FormatShortDate(today, 0);
    const wxString label = Utf8ToWx(FillTodayLabel(WxToUtf8(m_labelToday->GetLabel()), today));
    if (label != m_labelToday->GetLabel()) {
        m_labelToday->SetLabel(label);
        Layout();
    }

    m_fields.LoadTexts();
    m_editMinDate->ChangeValue(Utf8ToWx(m_fields.m_strMinDate));
    m_editMaxDate->ChangeValue(Utf8ToWx(m_fields.m_strMaxDate));
    m_editMinSize->ChangeValue(Utf8ToWx(m_fields.m_strMinSize));
    m_editMaxSize->ChangeValue(Utf8ToWx(m_fields.m_strMaxSize));
    return true;
}

bool CFilterPropPage::TransferDataFromWindow() {
    m_fields.m_nHidden = FromBox(m_checkHidden);
    m_fields.m_nDirectory = FromBox(m_checkDirectory);
    m_fields.m_nReadOnly = FromBox(m_checkReadOnly);
    m_fields.m_nSystem = FromBox(m_checkSystem);
    m_fields.m_nArchive = FromBox(m_checkArchive);
    m_fields.m_bReverse = m_checkReverse->GetValue() ? 1 : 0;
    m_fields.m_bLeaveOutEmpty = m_checkNoEmpty->GetValue() ? 1 : 0;

    m_fields.m_strMinDate = WxToUtf8(m_editMinDate->GetValue());
    m_fields.m_strMaxDate = WxToUtf8(m_editMaxDate->GetValue());
    m_fields.m_strMinSize = WxToUtf8(m_editMinSize->GetValue());
    m_fields.m_strMaxSize = WxToUtf8(m_editMaxSize->GetValue());
    FilterFields::Edit failed = FilterFields::kNoEdit;
    const int refusal = m_fields.StoreTexts(&failed);
    if (refusal == 0) return true;
    ShowMessageBox(this, Utf8ToWx(DateRefusalText(refusal)), wxOK | wxICON_EXCLAMATION);
    if (wxTextCtrl* edit = Edit(failed)) {
        edit->SetFocus();
        edit->SelectAll();
    }
    return false;
}

void CFilterPropPage::OnReset() {
    m_fields.Reset();
    TransferDataToWindow();
}
