#include "results/delete_question.h"


#include "engine/text/string_table.h"
#include "engine/text/text_format.h"
#include "gui/message_box.h"
#include "gui/wx_text.h"

bool AskDeleteForGood(wxWindow* parent, int count) {
    const std::string text = FormatConfirmDeleteFiles(count) + "\n\n" + LoadStringText(IDS_CANNOT_RECOVER);
    return ShowMessageBox(parent, Utf8ToWx(text), wxYES_NO | wxNO_DEFAULT | wxICON_WARNING) ==
           wxID_YES;
}
