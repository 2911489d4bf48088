#include "results/delete_question.h"

#include <wx/app.h>
#include <wx/msgdlg.h>

#include "engine/string_table.h"
#include "engine/text_format.h"
#include "gui/wx_text.h"

bool AskDeleteForGood(wxWindow* parent, int count) {
    const std::string text = FormatConfirmDeleteFiles(count) + "\n\n" + LoadStringText(IDS_CANNOT_RECOVER);
    wxMessageDialog box(parent, Utf8ToWx(text), wxTheApp->GetAppDisplayName(),
                        wxYES_NO | wxNO_DEFAULT | wxICON_WARNING);
    box.SetYesNoLabels(LoadWxString(IDS_BUTTON_YES), LoadWxString(IDS_BUTTON_NO));
    return box.ShowModal() == wxID_YES;
}
