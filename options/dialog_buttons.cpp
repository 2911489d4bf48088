#include "options/dialog_buttons.h"

#include <wx/button.h>
#include <wx/msgdlg.h>

#include "gui/wx_text.h"

namespace {

// The framework's application title (AFX_IDS_APP_TITLE).
constexpr int kIdsAppTitle = 57344;

const char kOkLabel[] = "确定";
const char kCancelLabel[] = "取消";
const char kHelpLabel[] = "帮助(&H)";
const char kYesLabel[] = "是(&Y)";
const char kNoLabel[] = "否(&N)";

}  // namespace

wxStdDialogButtonSizer* CreateOkCancelButtons(wxWindow* parent, bool withHelp) {
    auto* buttons = new wxStdDialogButtonSizer;
    auto* ok = new wxButton(parent, wxID_OK, wxString::FromUTF8(kOkLabel));
    ok->SetDefault();
    buttons->AddButton(ok);
    buttons->AddButton(new wxButton(parent, wxID_CANCEL, wxString::FromUTF8(kCancelLabel)));
    if (withHelp) buttons->AddButton(new wxButton(parent, wxID_HELP, wxString::FromUTF8(kHelpLabel)));
    buttons->Realize();
    return buttons;
}

wxString OptionsMessageCaption() { return LoadWxString(kIdsAppTitle); }

int ShowOptionsMessage(wxWindow* parent, const wxString& text, long style) {
    wxMessageDialog dialog(parent, text, OptionsMessageCaption(), style);
    if (style & wxYES_NO)
        dialog.SetYesNoLabels(wxString::FromUTF8(kYesLabel), wxString::FromUTF8(kNoLabel));
    else
        dialog.SetOKLabel(wxString::FromUTF8(kOkLabel));
    return dialog.ShowModal();
}
