#include "options/dialog_buttons.h"

#include <wx/button.h>

#include "gui/wx_text.h"

wxStdDialogButtonSizer* CreateOkCancelButtons(wxWindow* parent, bool withHelp) {
    auto* buttons = new wxStdDialogButtonSizer;
    auto* ok = new wxButton(parent, wxID_OK, LoadWxString(IDS_BUTTON_OK));
    ok->SetDefault();
    buttons->AddButton(ok);
    buttons->AddButton(new wxButton(parent, wxID_CANCEL, LoadWxString(IDS_BUTTON_CANCEL)));
    if (withHelp) buttons->AddButton(new wxButton(parent, wxID_HELP, LoadWxString(IDS_BUTTON_HELP)));
    buttons->Realize();
    return buttons;
}
