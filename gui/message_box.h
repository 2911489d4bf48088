// The one message box of the window: the program's name as its title and buttons labelled from
// the table of texts (是(Y), 否(N), 确定, 取消), whatever translations wx has loaded, so no box
// shows the toolkit's stock labels in another language.
#pragma once

#include <wx/string.h>
#include <wx/window.h>

// `style` is wxOK, wxOK | wxCANCEL, wxYES_NO or wxYES_NO | wxCANCEL, with an icon and default
// flags as wxMessageDialog takes them. Returns wxID_OK, wxID_YES, wxID_NO or wxID_CANCEL.
int ShowMessageBox(wxWindow* parent, const wxString& text, long style);

// The title of every message box: the program's name.
wxString MessageBoxTitle();
