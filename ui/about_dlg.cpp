#include "ui/about_dlg.h"

#include <cstdint>

#include <wx/app.h>
#include <wx/button.h>
#include <wx/sizer.h>
#include <wx/statline.h>
#include <wx/stattext.h>

#include "gui/wx_text.h"
#include "engine/text/string_table.h"
#include "platform/disk_space.h"
#include "platform/memory_status.h"
#include "ui/about_texts.h"
#include "ui/kv_hyper_link.h"
#include "ui/kv_icon_button.h"

namespace {
// A dialog made without a parent belongs to the main window (it is centred over it and stays
// above it); with no main window it stands alone.
wxWindow* OwnerOf(wxWindow* parent) {
    if (parent != nullptr) return parent;
    wxWindow* main = wxTheApp != nullptr ? wxTheApp->GetTopWindow() : nullptr;
    return main != nullptr && !main->IsBeingDeleted() ? main : nullptr;
}
}  // namespace

CAboutDlg::CAboutDlg(wxWindow* parent, CKvHyperLink::Opener opener)
    : wxDialog(OwnerOf(parent), wxID_ANY, LoadWxString(IDS_ABOUT_CAPTION)) {
    const int gap = FromDIP(10);

    m_iconButton = new CKvIconButton(this, IDC_ICON);
    auto* title = new wxStaticText(this, IDC_TITLE, Utf8ToWx(AboutTitleText(ProgramVersionText())),
                                   wxDefaultPosition, wxDefaultSize, wxALIGN_CENTRE_HORIZONTAL);

    m_webLink = new CKvHyperLink(this, IDC_WEB_LINK, wxDefaultPosition, wxDefaultSize, opener);
    m_webLink->SetLink(kMakerWebAddress, LoadStringText(IDS_WEB_LINK), true);
    m_webLink->SetHoverShadow(false);

    m_mailLink = new CKvHyperLink(this, IDC_MAIL_LINK, wxDefaultPosition, wxDefaultSize,
                                  std::move(opener));
    m_mailLink->SetLink(std::string("mailto:") + kMakerMailAddress, LoadStringText(IDS_MAIL_LINK),
                        true);
    m_mailLink->SetHoverShadow(false);

    // The label reads "available memory": show that figure (not the total).
    auto* memoryLabel = new wxStaticText(this, wxID_ANY, LoadWxString(IDS_ABOUT_MEMORY));
    auto* memory = new wxStaticText(this, IDC_MEMORY,
                                    Utf8ToWx(MemoryText(platform::AvailableMemoryBytes())));
    auto* diskLabel = new wxStaticText(this, wxID_ANY, LoadWxString(IDS_ABOUT_DISK));
    std::uint64_t freeBytes = 0;
    const bool known = platform::FreeDiskSpaceOfCurrentFolder(&freeBytes);
    auto* disk = new wxStaticText(this, IDC_DISK, Utf8ToWx(DiskFreeText(known, freeBytes)));

    auto* ok = new wxButton(this, wxID_OK, LoadWxString(IDS_BUTTON_OK));
    ok->SetDefault();

    // Layout: icon and title; the web link; a line; the mail link; a line; the figures; OK.
    auto* head = new wxBoxSizer(wxHORIZONTAL);
    head->Add(m_iconButton, 0, wxALIGN_TOP);
    head->Add(title, 1, wxALIGN_CENTRE_VERTICAL | wxLEFT, 2 * gap);

    auto* figures = new wxFlexGridSizer(2, wxSize(gap, gap / 2));
    figures->Add(memoryLabel);
    figures->Add(memory);
    figures->Add(diskLabel);
    figures->Add(disk);

    auto* body = new wxBoxSizer(wxVERTICAL);
    body->Add(head, 0, wxEXPAND);
    body->Add(m_webLink, 0, wxALIGN_CENTRE_HORIZONTAL | wxTOP, gap);
    body->Add(new wxStaticLine(this), 0, wxEXPAND | wxTOP, gap / 2);
    body->Add(m_mailLink, 0, wxALIGN_CENTRE_HORIZONTAL | wxTOP, 3 * gap);
    body->Add(new wxStaticLine(this), 0, wxEXPAND | wxTOP, gap / 2);
    body->Add(figures, 0, wxLEFT | wxTOP, gap);
    body->Add(ok, 0, wxLEFT | wxTOP, gap);

    auto* outer = new wxBoxSizer(wxVERTICAL);
    outer->Add(body, 1, wxEXPAND | wxALL, gap);
    SetSizerAndFit(outer);

    // Enter is OK from the start; the links are one Tab away.
    ok->SetFocus();
    Centre();
}
