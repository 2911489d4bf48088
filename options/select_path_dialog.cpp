#include "options/select_path_dialog.h"

#include <wx/dirdlg.h>
#include <wx/utils.h>

#include "gui/wx_text.h"

int CSelectPathDialog::DoModal() {
    wxDirDialog chooser(m_pParentWnd, LoadWxString(IDS_SELECT_PATH),
                        Utf8ToWx(m_text.StartFolder(WxToUtf8(wxGetHomeDir()))),
                        wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
    if (chooser.ShowModal() != wxID_OK) return 2;
    const wxString chosen = chooser.GetPath();
    // Only a folder of the file system can be confirmed; a chooser that returns nothing has
    // chosen nothing.
    if (chosen.empty()) return 2;
    m_text.SetChosen(WxToUtf8(chosen));
    return 1;
}
