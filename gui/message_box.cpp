#include "gui/message_box.h"

#include <wx/msgdlg.h>
#ifndef __WXMSW__
#include <wx/generic/msgdlgg.h>
#endif

#include "gui/pictures.h"
#include "gui/wx_text.h"

wxString MessageBoxTitle() { return LoadWxString(IDS_APP_TITLE); }

namespace {

// The toolkit's own box (GTK) wraps the text at a narrow width, a long path at every thirty
// characters or so, and leaves the title no room: the box made of wx's own parts is as wide as
// its longest line and carries the program's icon. The native box of Windows sizes itself.
#ifdef __WXMSW__
using BoxClass = wxMessageDialog;
#else
using BoxClass = wxGenericMessageDialog;
#endif

}  // namespace

int ShowMessageBox(wxWindow* parent, const wxString& text, long style) {
    BoxClass box(parent, text, MessageBoxTitle(), style | wxCENTRE);
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
