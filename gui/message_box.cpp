#include "gui/message_box.h"

#include <wx/msgdlg.h>
// After wx/msgdlg.h, which declares its base.
#include <wx/generic/msgdlgg.h>

#include "gui/pictures.h"
#include "gui/wx_text.h"

wxString MessageBoxTitle() { return LoadWxString(IDS_APP_TITLE); }

namespace {

int ShowBox(wxMessageDialogBase& box, long style) {
    box.SetIcons(LoadAppIcons());
    const wxString ok = LoadWxString(IDS_BUTTON_OK), cancel = LoadWxString(IDS_BUTTON_CANCEL),
                   yes = LoadWxString(IDS_BUTTON_YES), no = LoadWxString(IDS_BUTTON_NO);
    if ((style & wxYES_NO) && (style & wxCANCEL)) box.SetYesNoCancelLabels(yes, no, cancel);
    else if (style & wxYES_NO) {
        box.SetYesNoLabels(yes, no);
        // With no Cancel button the dialog would take Escape for OK, which a question has not:
        // Escape answers No, as closing the box does.
        box.SetEscapeId(wxID_NO);
    }
    else if (style & wxCANCEL) box.SetOKCancelLabels(ok, cancel);
    else box.SetOKLabel(ok);
    return box.ShowModal();
}

}  // namespace

int ShowMessageBox(wxWindow* parent, const wxString& text, long style) {
    style |= wxCENTRE;
#ifdef __WXMSW__
    // The native box of Windows sizes itself; but with 是 and 否 alone it takes no Escape (the
    // system's box answers Escape only with a Cancel button), so such a question is wx's own.
    if (!(style & wxYES_NO) || (style & wxCANCEL)) {
        wxMessageDialog box(parent, text, MessageBoxTitle(), style);
        return ShowBox(box, style);
    }
#endif
    // The toolkit's own box (GTK) wraps the text at a narrow width, a long path at every thirty
    // characters or so, and leaves the title no room: the box made of wx's own parts is as wide
    // as its longest line and carries the program's icon.
    wxGenericMessageDialog box(parent, text, MessageBoxTitle(), style);
    return ShowBox(box, style);
}
