#include "results/ignore_list_dialog.h"

#include <algorithm>
#include <cstdio>

#include <wx/button.h>
#include <wx/listctrl.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "engine/search/duplicate_search.h"
#include "engine/store/ignore_list.h"
#include "engine/text/string_table.h"
#include "engine/text/text_format.h"
#include "gui/message_box.h"
#include "gui/wx_text.h"

namespace {

wxString Hex(std::uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(value));
    return text;
}

}  // namespace

CIgnoreListDialog::CIgnoreListDialog(wxWindow* parent, IgnoreList& list, const std::string& problem)
    : wxDialog(parent, wxID_ANY, LoadWxString(IDS_IGNORE_TITLE), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER),
      m_ignore(list) {
    auto* sizer = new wxBoxSizer(wxVERTICAL);
    const wxString intro = problem.empty() ? LoadWxString(IDS_IGNORE_INTRO) : Utf8ToWx(problem);
    auto* text = new wxStaticText(this, wxID_ANY, intro);
    text->Wrap(FromDIP(560));
    sizer->Add(text, 0, wxALL, FromDIP(10));
    m_list = new wxListCtrl(this, wxID_ANY, wxDefaultPosition, FromDIP(wxSize(640, 260)),
                            wxLC_REPORT | wxLC_SINGLE_SEL);
    const int headings[] = {IDS_IGNORE_COLUMN_SIZE, IDS_IGNORE_COLUMN_CRC,
                            IDS_IGNORE_COLUMN_CHECKSUM, IDS_IGNORE_COLUMN_FILE};
    for (int i = 0; i < 4; ++i) m_list->InsertColumn(i, LoadWxString(headings[i]));
    sizer->Add(m_list, 1, wxEXPAND | wxLEFT | wxRIGHT, FromDIP(10));
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    m_takeBack = new wxButton(this, wxID_ANY, LoadWxString(IDS_IGNORE_TAKE_BACK));
    auto* close = new wxButton(this, wxID_OK, LoadWxString(IDS_IGNORE_CLOSE));
    buttons->Add(m_takeBack, 0, wxRIGHT, FromDIP(8));
    buttons->AddStretchSpacer();
    buttons->Add(close, 0);
    sizer->Add(buttons, 0, wxEXPAND | wxALL, FromDIP(10));
    SetSizerAndFit(sizer);
    close->SetDefault();
    SetEscapeId(wxID_OK);

    m_takeBack->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { TakeBackSelected(); });
    m_list->Bind(wxEVT_LIST_ITEM_SELECTED, [this](wxListEvent&) { UpdateButtons(); });
    m_list->Bind(wxEVT_LIST_ITEM_DESELECTED, [this](wxListEvent&) { UpdateButtons(); });
    // Delete on a row takes it back too.
    m_list->Bind(wxEVT_LIST_KEY_DOWN, [this](wxListEvent& event) {
        if (event.GetKeyCode() == WXK_DELETE) TakeBackSelected();
        else event.Skip();
    });
    // Enter here, before the main window's accelerators (whose Enter is 打开): on 不再忽略 it
    // takes the group back, anywhere else it closes.
    Bind(wxEVT_CHAR_HOOK, [this](wxKeyEvent& event) {
        if (event.GetKeyCode() != WXK_RETURN && event.GetKeyCode() != WXK_NUMPAD_ENTER) {
            event.Skip();
            return;
        }
        if (FindFocus() == m_takeBack) TakeBackSelected();
        else EndModal(wxID_OK);
    });
    Fill();
    m_list->SetFocus();
    CentreOnParent();
}

void CIgnoreListDialog::Fill() {
    m_list->DeleteAllItems();
    const auto& groups = m_ignore.Groups();
    for (std::size_t i = 0; i < groups.size(); ++i) {
        const GroupIdentity& id = groups[i].identity;
        const long row = m_list->InsertItem(static_cast<long>(i),
                                            Utf8ToWx(FormatSizeText(static_cast<double>(id.size))));
        m_list->SetItem(row, 1, Hex(id.crc));
        m_list->SetItem(row, 2, Hex(id.checksum));
        m_list->SetItem(row, 3, Utf8ToWx(groups[i].example));
    }
    if (groups.empty()) m_list->InsertItem(0, LoadWxString(IDS_IGNORE_NONE));
    for (int i = 0; i < 4; ++i) m_list->SetColumnWidth(i, i == 3 ? wxLIST_AUTOSIZE : wxLIST_AUTOSIZE_USEHEADER);
    if (!groups.empty()) {
        m_list->SetItemState(0, wxLIST_STATE_FOCUSED | wxLIST_STATE_SELECTED,
                             wxLIST_STATE_FOCUSED | wxLIST_STATE_SELECTED);
    }
    UpdateButtons();
}

void CIgnoreListDialog::UpdateButtons() {
    m_takeBack->Enable(!m_ignore.Groups().empty() &&
                       m_list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED) >= 0);
}

bool CIgnoreListDialog::TakeBackSelected() {
    const long row = m_list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
    if (row < 0 || static_cast<std::size_t>(row) >= m_ignore.Groups().size()) return false;
    const GroupIdentity id = m_ignore.Groups()[static_cast<std::size_t>(row)].identity;
    m_ignore.Remove(id);
    std::string why;
    if (!m_ignore.Save(&why))
        ShowMessageBox(this, Utf8ToWx(FormatIgnoreNotSaved(m_ignore.Path(), why)), wxOK | wxICON_EXCLAMATION);
    ++m_nTakenBack;
    Fill();
    const long count = static_cast<long>(m_ignore.Groups().size());
    if (count > 0) {
        const long next = std::min(row, count - 1);
        m_list->SetItemState(next, wxLIST_STATE_FOCUSED | wxLIST_STATE_SELECTED,
                             wxLIST_STATE_FOCUSED | wxLIST_STATE_SELECTED);
    }
    m_list->SetFocus();
    return true;
}
