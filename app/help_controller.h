// CHelpController: the bundled help book's window, opened centred on the main window (where the
// user is looking) rather than wherever the toolkit or an earlier session put it; Escape
// closes it.
#pragma once

#include <functional>

#include <wx/gdicmn.h>
#include <wx/html/helpctrl.h>

class CHelpController : public wxHtmlHelpController {
public:
    // `over` gives the window to centre on when the help window is made (may return nullptr:
    // then the toolkit places it).
    explicit CHelpController(std::function<wxWindow*()> over);

    // Shows page `page` of the book (a file name such as "masks.html"). A help window that a
    // modal dialog has disabled is made anew, so that the page can be read and closed while
    // the dialog waits. False when the page is not in the book.
    bool ShowPage(const wxString& page);

    // Closes the help window, also one that holds the toolkit's grab (help asked from a modal
    // dialog), whose event loop then ends.
    void CloseWindow();

protected:
    wxHtmlHelpFrame* CreateHelpFrame(wxHtmlHelpData* data) override;

private:
    std::function<wxWindow*()> m_over;
};

// Where a window of `size` goes to stand centred on `over`, kept inside `screen` (its top left
// corner on the screen when it is larger than the screen).
wxPoint CentredOver(const wxRect& over, const wxSize& size, const wxRect& screen);
