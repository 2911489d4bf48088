#include "results/kv_list_view_view.h"

#include <wx/app.h>
#include <wx/frame.h>

#include "gui/command_ids.h"
#include "results/kv_list_ctrl.h"
#include "results/results_document.h"

wxIMPLEMENT_ABSTRACT_CLASS(CKvListViewView, wxView);

// clang-format off
wxBEGIN_EVENT_TABLE(CKvListViewView, wxView)
    EVT_MENU(WxId(cmd::ID_SELECT_ALL_ROWS), CKvListViewView::OnSelectAllRows)
    EVT_MENU(WxId(cmd::ID_COPY_ROWS), CKvListViewView::OnCopyRows)
    EVT_MENU(WxId(cmd::ID_EDIT_FIND), CKvListViewView::OnEditFind)
    EVT_MENU(WxId(cmd::ID_EDIT_REPLACE), CKvListViewView::OnEditReplace)
    EVT_MENU(WxId(cmd::ID_EDIT_REPEAT), CKvListViewView::OnEditRepeat)
wxEND_EVENT_TABLE()
// clang-format on

CKvListViewView::CKvListViewView()
    : m_own(std::make_unique<ListedResults>()), m_listed(m_own.get()) {}

CKvListViewView::~CKvListViewView() {
    // A list that outlives the view must not read the model that goes with it.
    if (m_list) m_list->SetModel(nullptr);
}

bool CKvListViewView::OnCreate(wxDocument* doc, long flags) {
    if (!wxView::OnCreate(doc, flags)) return false;
    // The list lives in the application's top window (the main frame).
    wxFrame* frame =
        wxTheApp != nullptr ? wxDynamicCast(wxTheApp->GetTopWindow(), wxFrame) : nullptr;
    if (frame == nullptr) return false;
    auto* list = new CKvListCtrl;
    if (!list->Create(frame, wxID_ANY, PreCreateWindow(wxBORDER_NONE))) {
        delete list;
        return false;
    }
    // The rows are the document's from now on.
    if (auto* results = wxDynamicCast(doc, CResultsDocument)) {
        m_listed = &results->Listed();
        m_own.reset();
    }
    list->SetModel(m_listed->model.get());
    m_list = list;
    SetFrame(frame);
    return true;
}

bool CKvListViewView::OnClose(bool deleteWindow) {
    if (!wxView::OnClose(deleteWindow)) return false;
    Activate(false);
    if (deleteWindow && m_list) {
        m_list->SetModel(nullptr);
        m_list->Destroy();
        m_list = nullptr;
    }
    return true;
}

void CKvListViewView::OnDraw(wxDC* /*dc*/) {}

CKvListCtrl* CKvListViewView::GetListCtrl() const { return m_list; }

void CKvListViewView::SetModel(std::unique_ptr<ResultsModel> model) {
    if (!model) model = std::make_unique<ResultsModel>();
    // The list lets go of the old rows before they go.
    if (m_list) {
        m_list->ClearSelection(true);
        m_list->SetModel(model.get());
    }
    m_listed->model = std::move(model);
}

void CKvListViewView::RefreshRows() {
    if (m_list) m_list->RefreshRows();
}

void CKvListViewView::OnSelectAllRows(wxCommandEvent& /*event*/) {
    if (m_list) m_list->SelectAllRows();
}

void CKvListViewView::OnCopyRows(wxCommandEvent& /*event*/) {
    if (m_list) m_list->CopyRowsToClipboard();
}

void CKvListViewView::OnEditFind(wxCommandEvent& /*event*/) {
    if (m_list) m_list->ShowFindDialog(true);
}

void CKvListViewView::OnEditReplace(wxCommandEvent& /*event*/) {
    if (m_list) m_list->ShowFindDialog(false);
}

void CKvListViewView::OnEditRepeat(wxCommandEvent& /*event*/) {
    if (m_list) m_list->FindNext();
}
