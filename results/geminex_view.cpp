#include "results/geminex_view.h"

#include <algorithm>

#include "app/command_ids.h"
#include "app/geminex_app.h"
#include "app/settings_store.h"
#include "app/wx_text.h"
#include "results/csv_export.h"
#include "results/kv_list_ctrl.h"
#include "results/list_printout.h"

wxIMPLEMENT_DYNAMIC_CLASS(CGeminexView, CKvListViewView);

// clang-format off
wxBEGIN_EVENT_TABLE(CGeminexView, CKvListViewView)
    // Handlers of these come with the search, the file commands, the export and printing;
    // until then the commands are disabled.
    EVT_UPDATE_UI(WxId(cmd::ID_FIND_DUPLICATES), CGeminexView::OnUpdateLaterCommand)
    EVT_UPDATE_UI(WxId(cmd::ID_FILE_PROPERTIES), CGeminexView::OnUpdateLaterCommand)
    EVT_UPDATE_UI(WxId(cmd::ID_EXPLORE_FOLDER), CGeminexView::OnUpdateLaterCommand)
    EVT_UPDATE_UI(WxId(cmd::ID_FILE_OPEN), CGeminexView::OnUpdateLaterCommand)
    EVT_UPDATE_UI(WxId(cmd::ID_DELETE_FILES), CGeminexView::OnUpdateLaterCommand)
    EVT_UPDATE_UI(WxId(cmd::ID_FILE_PRINT_DIRECT), CGeminexView::OnUpdateLaterCommand)
    EVT_UPDATE_UI(WxId(cmd::ID_FILE_PRINT_PREVIEW), CGeminexView::OnUpdateLaterCommand)
    EVT_UPDATE_UI(WxId(cmd::ID_SELECT_ALL_DUPLICATES), CGeminexView::OnUpdateLaterCommand)
    // The list's commands (handled by the base): while the list has rows.
    EVT_UPDATE_UI(WxId(cmd::ID_EDIT_FIND), CGeminexView::OnUpdateNeedRows)
    EVT_UPDATE_UI(WxId(cmd::ID_EDIT_REPLACE), CGeminexView::OnUpdateNeedRows)
    EVT_UPDATE_UI(WxId(cmd::ID_EDIT_REPEAT), CGeminexView::OnUpdateNeedRows)
    EVT_UPDATE_UI(WxId(cmd::ID_SELECT_ALL_ROWS), CGeminexView::OnUpdateNeedRows)
    EVT_UPDATE_UI(WxId(cmd::ID_COPY_ROWS), CGeminexView::OnUpdateNeedRows)
    // Export and printing (results/csv_export.h, results/list_printout.h).
    EVT_MENU(WxId(cmd::ID_FILE_SAVE_AS), CGeminexView::OnFileSaveAs)
    EVT_UPDATE_UI(WxId(cmd::ID_FILE_SAVE_AS), CGeminexView::OnUpdateNeedRows)
    EVT_MENU(WxId(cmd::ID_FILE_PRINT), CGeminexView::OnFilePrint)
    EVT_UPDATE_UI(WxId(cmd::ID_FILE_PRINT), CGeminexView::OnUpdateNeedRows)
    EVT_MENU(WxId(cmd::ID_FILE_PRINT_SETUP), CGeminexView::OnFilePrintSetup)
wxEND_EVENT_TABLE()
// clang-format on

namespace {

// Column headings: strings 2144 to 2148.
constexpr int kFirstColumnString = 2144;
constexpr int kColumnCount = 5;

}  // namespace

CGeminexView::CGeminexView() = default;

CGeminexView::~CGeminexView() = default;

bool CGeminexView::OnCreate(wxDocument* doc, long flags) {
    if (!CKvListViewView::OnCreate(doc, flags)) return false;
    CKvListCtrl* list = GetListCtrl();
    for (int i = 0; i < kColumnCount; ++i) {
        list->InsertColumn(i, LoadWxString(kFirstColumnString + i), wxLIST_FORMAT_LEFT);
    }
    AutoSizeColumns(-1);

    Activate(true);
    GetFrame()->SendSizeEvent();
    list->SetFocus();
    return true;
}

void CGeminexView::OnChangeFilename() {}

void CGeminexView::AutoSizeColumns(int column) {
    wxListCtrl* list = GetListCtrl();
    if (list == nullptr) return;
    const int first = column < 0 ? 0 : column;
    const int last = column < 0 ? list->GetColumnCount() - 1 : column;
    list->Freeze();
    for (int i = first; i <= last; ++i) {
        list->SetColumnWidth(i, wxLIST_AUTOSIZE);
        const int contents = list->GetColumnWidth(i);
        list->SetColumnWidth(i, wxLIST_AUTOSIZE_USEHEADER);
        const int heading = list->GetColumnWidth(i);
        list->SetColumnWidth(i, std::max(std::max(contents, heading), 10));
    }
    list->Thaw();
}

void CGeminexView::OnUpdateLaterCommand(wxUpdateUIEvent& event) { event.Enable(false); }

void CGeminexView::OnUpdateNeedRows(wxUpdateUIEvent& event) {
    event.Enable(GetModel().RowCount() > 0);
}

void CGeminexView::OnFileSaveAs(wxCommandEvent&) {
    if (GetModel().RowCount() == 0) return;
    // "Last save file" belongs with the view's other settings; until the view holds them it is
    // read and written here.
    CSettingsStore& settings = GetAppSettings();
    std::string lastSaveFile = settings.GetProfileString("Settings", "Last save file");
    SaveRowsAsCsv(GetModel(), lastSaveFile, GetFrame());
    settings.WriteProfileString("Settings", "Last save file", lastSaveFile);
}

void CGeminexView::OnFilePrint(wxCommandEvent&) {
    if (GetModel().RowCount() == 0) return;
    PrintRows(GetModel(), GetDocumentManager()->GetPageSetupDialogData(), GetFrame());
}

void CGeminexView::OnFilePrintSetup(wxCommandEvent&) {
    RunPrintSetup(GetDocumentManager()->GetPageSetupDialogData(), GetFrame());
}
