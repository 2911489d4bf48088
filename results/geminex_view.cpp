#include "results/geminex_view.h"

#include <algorithm>

#include <wx/listctrl.h>

#include "app/command_ids.h"
#include "app/main_frame.h"
#include "app/wx_text.h"

wxIMPLEMENT_DYNAMIC_CLASS(CGeminexView, wxView);

// clang-format off
wxBEGIN_EVENT_TABLE(CGeminexView, wxView)
    // Handlers of these come with the search, the list view base, the file commands, the
    // export and printing; until then the commands are disabled.
    EVT_UPDATE_UI(WxId(cmd::ID_FIND_DUPLICATES), CGeminexView::OnUpdateLaterCommand)
    EVT_UPDATE_UI(WxId(cmd::ID_FILE_PROPERTIES), CGeminexView::OnUpdateLaterCommand)
    EVT_UPDATE_UI(WxId(cmd::ID_EXPLORE_FOLDER), CGeminexView::OnUpdateLaterCommand)
    EVT_UPDATE_UI(WxId(cmd::ID_FILE_OPEN), CGeminexView::OnUpdateLaterCommand)
    EVT_UPDATE_UI(WxId(cmd::ID_DELETE_FILES), CGeminexView::OnUpdateLaterCommand)
    EVT_UPDATE_UI(WxId(cmd::ID_FILE_SAVE_AS), CGeminexView::OnUpdateLaterCommand)
    EVT_UPDATE_UI(WxId(cmd::ID_FILE_PRINT), CGeminexView::OnUpdateLaterCommand)
    EVT_UPDATE_UI(WxId(cmd::ID_FILE_PRINT_DIRECT), CGeminexView::OnUpdateLaterCommand)
    EVT_UPDATE_UI(WxId(cmd::ID_FILE_PRINT_PREVIEW), CGeminexView::OnUpdateLaterCommand)
    EVT_UPDATE_UI(WxId(cmd::ID_EDIT_FIND), CGeminexView::OnUpdateLaterCommand)
    EVT_UPDATE_UI(WxId(cmd::ID_EDIT_REPLACE), CGeminexView::OnUpdateLaterCommand)
    EVT_UPDATE_UI(WxId(cmd::ID_EDIT_REPEAT), CGeminexView::OnUpdateLaterCommand)
    EVT_UPDATE_UI(WxId(cmd::ID_SELECT_ALL_ROWS), CGeminexView::OnUpdateLaterCommand)
    EVT_UPDATE_UI(WxId(cmd::ID_COPY_ROWS), CGeminexView::OnUpdateLaterCommand)
    EVT_UPDATE_UI(WxId(cmd::ID_SELECT_ALL_DUPLICATES), CGeminexView::OnUpdateLaterCommand)
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
    if (!wxView::OnCreate(doc, flags)) return false;
    CMainFrame* frame = GetMainFrame();
    if (frame == nullptr) return false;

    auto* list = new wxListCtrl(frame, wxID_ANY, wxDefaultPosition, wxDefaultSize,
                                wxLC_REPORT | wxBORDER_NONE);
    for (int i = 0; i < kColumnCount; ++i) {
        list->InsertColumn(i, LoadWxString(kFirstColumnString + i), wxLIST_FORMAT_LEFT);
    }
    m_list = list;
    AutoSizeColumns(-1);

    SetFrame(frame);
    Activate(true);
    frame->SendSizeEvent();
    list->SetFocus();
    return true;
}

bool CGeminexView::OnClose(bool deleteWindow) {
    if (!wxView::OnClose(deleteWindow)) return false;
    Activate(false);
    if (deleteWindow && m_list) {
        m_list->Destroy();
        m_list = nullptr;
    }
    return true;
}

void CGeminexView::OnDraw(wxDC* /*dc*/) {}

void CGeminexView::OnChangeFilename() {}

wxListCtrl* CGeminexView::GetListCtrl() const { return m_list; }

void CGeminexView::AutoSizeColumns(int column) {
    wxListCtrl* list = m_list;
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
