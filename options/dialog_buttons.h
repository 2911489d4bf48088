// The buttons and message boxes of the options dialogs with their Chinese texts, whatever
// translations wx has loaded: the labels are given, not taken from wx's stock texts.
#pragma once

#include <wx/sizer.h>
#include <wx/string.h>
#include <wx/window.h>

// An OK/Cancel (and, with `withHelp`, Help) button row laid out as the platform does. OK is
// the default button (Enter), Cancel the escape button.
wxStdDialogButtonSizer* CreateOkCancelButtons(wxWindow* parent, bool withHelp = false);

// A message box with Chinese buttons: `style` is wxOK or wxYES_NO with an icon flag. Returns
// wxID_OK, wxID_YES or wxID_NO.
int ShowOptionsMessage(wxWindow* parent, const wxString& text, long style);

// The caption of the options message boxes (the program's title).
wxString OptionsMessageCaption();
