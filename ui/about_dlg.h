// CAboutDlg: the About box (dialog 100). The product name and version beside the enlarged
// application icon, the links to the maker's web site and mail address, the memory available
// and the free space of the current folder's disk. OK, Enter and Escape close it.
#pragma once

#include <wx/dialog.h>

#include "ui/kv_hyper_link.h"

class CKvIconButton;
class wxButton;
class wxStaticText;

// windows.h names a cursor IDC_ICON; here it is the dialog's own control. Included first so
// that no later inclusion brings the name back.
#ifdef _WIN32
#include "platform/win32/win32.h"
#undef IDC_ICON
#endif

class CAboutDlg : public wxDialog {
public:
    // Control ids of dialog 100.
    enum : int {
        IDC_TITLE = 1044,
        IDC_ICON = 1008,
        IDC_WEB_LINK = 154,
        IDC_MAIL_LINK = 153,
        IDC_MEMORY = 901,
        IDC_DISK = 906,
    };

    // Without a parent the dialog belongs to the application's main window. The links open
    // their targets with `opener` (empty: the desktop's default handler).
    explicit CAboutDlg(wxWindow* parent = nullptr,
                       CKvHyperLink::Opener opener = CKvHyperLink::Opener());

    // Shows the dialog modally; the button that closed it.
    int DoModal() { return ShowModal(); }

    CKvHyperLink* GetWebLink() const { return m_webLink; }
    CKvHyperLink* GetMailLink() const { return m_mailLink; }
    CKvIconButton* GetIconButton() const { return m_iconButton; }

private:
    // Children; the dialog's window owns them.
    CKvHyperLink* m_webLink = nullptr;
    CKvHyperLink* m_mailLink = nullptr;
    CKvIconButton* m_iconButton = nullptr;
};
