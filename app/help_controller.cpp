#include "app/help_controller.h"

#include <algorithm>
#include <utility>

#include <wx/display.h>
#include <wx/html/helpfrm.h>

CHelpController::CHelpController(std::function<wxWindow*()> over)
    : wxHtmlHelpController(wxHF_DEFAULT_STYLE), m_over(std::move(over)) {}

bool CHelpController::ShowPage(const wxString& page) {
    wxFrame* frame = GetFrame();
    if (frame != nullptr && !frame->IsEnabled()) CloseWindow();
    return Display(page);
}

void CHelpController::CloseWindow() {
    wxFrame* frame = GetFrame();
    if (frame == nullptr) return;
#ifdef __WXGTK__
    // As the frame does when the user closes it: a window may not go while it holds the grab.
    if (frame->IsGrabbed()) frame->RemoveGrab();
#endif
    Quit();
}

wxHtmlHelpFrame* CHelpController::CreateHelpFrame(wxHtmlHelpData* data) {
    wxHtmlHelpFrame* frame = wxHtmlHelpController::CreateHelpFrame(data);
    // Escape closes the help as the window's close button does, wherever its focus is.
    frame->Bind(wxEVT_CHAR_HOOK, [frame](wxKeyEvent& event) {
        if (event.GetKeyCode() == WXK_ESCAPE && !event.HasAnyModifiers()) frame->Close();
        else event.Skip();
    });
    wxWindow* over = m_over ? m_over() : nullptr;
    // Not shown yet: it appears where it is put.
    if (over != nullptr && over->IsShown()) {
        const int display = wxDisplay::GetFromWindow(over);
        const wxRect screen = wxDisplay(display != wxNOT_FOUND ? display : 0).GetClientArea();
        frame->Move(CentredOver(over->GetScreenRect(), frame->GetSize(), screen));
    }
    return frame;
}

wxPoint CentredOver(const wxRect& over, const wxSize& size, const wxRect& screen) {
    const auto place = [](int overStart, int overLength, int length, int screenStart,
                          int screenLength) {
        const int centred = overStart + (overLength - length) / 2;
        const int last = screenStart + screenLength - length;  // the right or bottom edge
        return std::max(screenStart, std::min(centred, last));
    };
    return wxPoint(place(over.x, over.width, size.x, screen.x, screen.width),
                   place(over.y, over.height, size.y, screen.y, screen.height));
}
