#include "results/delete_question.h"

#include <cstdio>

#include <wx/app.h>
#include <wx/msgdlg.h>

#include "app/wx_text.h"
#include "engine/string_table.h"

namespace {

// "你确定要删除 %d 个文件吗?"
constexpr int IDS_CONFIRM_DELETE = 2206;
// "这些文件将被永久删除, 无法恢复。"
constexpr int IDS_CANNOT_RECOVER = 2211;

}  // namespace

bool AskDeleteForGood(wxWindow* parent, int count) {
    char question[1024];
    std::snprintf(question, sizeof question, LoadStringText(IDS_CONFIRM_DELETE), count);
    const std::string text = std::string(question) + "\n\n" + LoadStringText(IDS_CANNOT_RECOVER);
    wxMessageDialog box(parent, Utf8ToWx(text), wxTheApp->GetAppDisplayName(),
                        wxYES_NO | wxNO_DEFAULT | wxICON_WARNING);
    box.SetYesNoLabels(Utf8ToWx("是(&Y)"), Utf8ToWx("否(&N)"));
    return box.ShowModal() == wxID_YES;
}
