// CFrameStatus: what a view may ask of the main window's status bar, so that the window folders
// below app/ need not know the main frame. The main frame implements it; a view finds it by
// casting its frame (nullptr when the frame is some other window, as in a test).
#pragma once

#include <wx/string.h>

class CFrameStatus {
public:
    // The text shown instead of the idle message ("" = show the idle message).
    virtual void SetIdleText(const wxString& text) = 0;
    // Shows the message of string `stringId` (its prompt part), or `text` when the id is 0.
    virtual void OnSetMessageString(int stringId, const wxString& text = wxString()) = 0;
    // A note after the program's name in the title ("" = the name alone): what the list
    // shows is not what it seems (a search stopped before its end).
    virtual void SetTitleNote(const wxString& note) = 0;

protected:
    ~CFrameStatus() = default;
};
