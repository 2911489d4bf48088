#include "gui/message_box.h"

#include <wx/msgdlg.h>

#include "gui/wx_text.h"

wxString MessageBoxTitle() { return LoadWxString(IDS_APP_TITLE); }

int ShowMessageBox(wxWindow* parent, const wxString& text, long style) {
    wxMessageDialog box(parent, text, MessageBoxTitle(), style);
    const wxString ok = LoadWxString(IDS_BUTTON_OK), cancel = LoadWxString(IDS_BUTTON_CANCEL),
                   yes = LoadWxString(IDS_BUTTON_YES), no = LoadWxString(IDS_BUTTON_NO);
    if ((style & wxYES_NO) && (style & wxCANCEL)) box.SetYesNoCancelLabels(yes, no, cancel);
    else if (style & wxYES_NO) box.SetYesNoLabels(yes, no);
    else if (style & wxCANCEL) box.SetOKCancelLabels(ok, cancel);
    else box.SetOKLabel(ok);
    return box.ShowModal();
}
