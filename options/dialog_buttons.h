// The buttons and message boxes of the options dialogs with their Chinese texts, whatever
// translations wx has loaded: the labels are given, not taken from wx's stock texts.
#pragma once

#include <wx/sizer.h>
#include <wx/string.h>
#include <wx/window.h>

// An OK/Cancel (and, with `withHelp`, Help) button row laid out as the platform does. OK is
// the default button (Enter), Cancel the escape button.
wxStdDialogButtonSizer* CreateOkCancelButtons(wxWindow* parent, bool withHelp = false);

// Message boxes: gui/message_box.h.
