// The results view's preview pane and its ignored groups.
#include <algorithm>
#include <ctime>

#include <wx/frame.h>
#include <wx/splitter.h>

#include "engine/text/text_format.h"
#include "gui/frame_status.h"
#include "gui/message_box.h"
#include "gui/settings_store.h"
#include "gui/wx_text.h"
#include "platform/user_folders.h"
#include "results/geminex_view.h"
#include "results/ignore_list_dialog.h"
#include "results/kv_list_ctrl.h"
#include "results/preview_pane.h"

namespace {

constexpr const char kSettings[] = "Settings";

}  // namespace

void CGeminexView::SetUpPreview() {
    CKvListCtrl* list = GetListCtrl();
    wxWindow* frame = GetFrame();
    if (list == nullptr || frame == nullptr) return;
    m_splitter = new wxSplitterWindow(frame, wxID_ANY, wxDefaultPosition, frame->GetClientSize(),
                                      wxSP_LIVE_UPDATE | wxSP_3DSASH | wxSP_NOBORDER);
    // The list takes what the window gains; the pane keeps its width.
    m_splitter->SetSashGravity(1.0);
    m_splitter->SetMinimumPaneSize(frame->FromDIP(160));
    list->Reparent(m_splitter);
    m_splitter->Initialize(list);
    m_preview = new CPreviewPane(m_splitter);
    m_preview->Hide();
    m_preview->SetRowChooser([this](long row) {
        SelectRow(row);
        UpdatePreview();
    });
    // The pane follows the focus; the idle check also sees focus moves the list makes itself
    // (rows removed, a find), which send no event.
    list->Bind(wxEVT_LIST_ITEM_FOCUSED, [this](wxListEvent& event) {
        event.Skip();
        UpdatePreview();
    });
    list->Bind(wxEVT_IDLE, [this](wxIdleEvent& event) {
        event.Skip();
        UpdatePreview();
    });
    m_nPreviewWidth = std::max(0, m_settings.GetProfileInt(kSettings, "Preview Width", 0));
    if (m_settings.GetProfileInt(kSettings, "Preview", 0) != 0) ShowPreview(true);
}

void CGeminexView::SavePreviewPlace() const {
    if (!m_splitter) return;
    int width = m_nPreviewWidth;
    if (m_splitter->IsSplit())
        width = m_splitter->GetClientSize().GetWidth() - m_splitter->GetSashPosition();
    m_settings.WriteProfileInt(kSettings, "Preview", IsPreviewShown() ? 1 : 0);
    if (width > 0) m_settings.WriteProfileInt(kSettings, "Preview Width", width);
}

void CGeminexView::DropPreview() {
    if (m_splitter) m_splitter->Destroy();
    m_splitter = nullptr;
    m_preview = nullptr;
}

bool CGeminexView::IsPreviewShown() const { return m_splitter && m_splitter->IsSplit(); }

void CGeminexView::ShowPreview(bool show) {
    CKvListCtrl* list = GetListCtrl();
    if (!m_splitter || !m_preview || list == nullptr || show == IsPreviewShown()) return;
    const int room = m_splitter->GetClientSize().GetWidth();
    if (show) {
        int width = m_nPreviewWidth > 0 ? m_nPreviewWidth : room / 3;
        width = std::min(width, std::max(room - m_splitter->GetMinimumPaneSize(), room / 2));
        m_preview->Show();
        m_splitter->SplitVertically(list, m_preview, room > 0 ? room - width : -width);
        m_previewRecord = nullptr;
        m_strPreviewPath.clear();
        UpdatePreview();
    } else {
        m_nPreviewWidth = room - m_splitter->GetSashPosition();
        m_splitter->Unsplit(m_preview);
        m_preview->ShowNothing();
        m_previewRecord = nullptr;
    }
    FitPathColumn();
}

void CGeminexView::UpdatePreview() {
    CKvListCtrl* list = GetListCtrl();
    if (!IsPreviewShown() || list == nullptr) return;
    const long row = list->GetFocusedRow();
    const ResultsModel& model = GetModel();
    if (row < 0 || static_cast<std::size_t>(row) >= model.RowCount()) {
        if (m_previewRecord != nullptr || m_preview->Path().empty() == false) m_preview->ShowNothing();
        m_previewRecord = nullptr;
        m_strPreviewPath.clear();
        return;
    }
    const CFileRecord* record = model.Row(static_cast<std::size_t>(row)).record.get();
    std::string path = record->Path();
    if (record == m_previewRecord && path == m_strPreviewPath) return;
    m_previewRecord = record;
    m_strPreviewPath = path;
    const RowGroup& group = model.GroupOfRow(static_cast<std::size_t>(row));
    std::vector<CPreviewPane::Copy> copies;
    for (std::size_t r = group.begin; r < group.end; ++r)
        copies.push_back({static_cast<long>(r), model.Row(r).record->Path(), model.Row(r).isProtected});
    m_preview->ShowFile(std::move(copies), static_cast<std::size_t>(row) - group.begin);
}

void CGeminexView::OnViewPreview(wxCommandEvent& /*event*/) {
    ShowPreview(!IsPreviewShown());
    if (CKvListCtrl* list = GetListCtrl()) list->SetFocus();
}

void CGeminexView::OnUpdateViewPreview(wxUpdateUIEvent& event) {
    event.Enable(m_splitter != nullptr);
    event.Check(IsPreviewShown());
}

// ---- Ignored groups ----

void CGeminexView::LoadIgnoreList() {
    m_strIgnoreProblem.clear();
    const std::string folder = platform::ApplicationDataFolder(m_settings.Application());
    const std::string path = IgnoreList::FilePathIn(folder);
    std::string why;
    if (!m_ignore.Load(path, &why)) m_strIgnoreProblem = FormatIgnoreDamaged(path, why);
}

bool CGeminexView::IgnoreFocusedGroup() {
    CKvListCtrl* list = GetListCtrl();
    if (m_bBusy || list == nullptr) return false;
    const long row = list->GetFocusedRow();
    ResultsModel& model = GetModel();
    if (row < 0 || static_cast<std::size_t>(row) >= model.RowCount()) return false;
    const std::size_t g = model.GroupOf(static_cast<std::size_t>(row));
    const RowGroup group = model.Group(g);
    IgnoredGroup ignored;
    ignored.identity = IdentityOfGroup(model, g);
    ignored.example = model.Row(group.begin).record->Path();
    ignored.when = static_cast<std::int64_t>(std::time(nullptr));
    m_ignore.Add(ignored);
    std::string why;
    if (!m_ignore.Save(&why)) {
        m_strIgnoreProblem = FormatIgnoreNotSaved(m_ignore.Path(), why);
        ShowMessageBox(GetFrame(), Utf8ToWx(m_strIgnoreProblem), wxOK | wxICON_EXCLAMATION);
    } else {
        // A list that was refused is replaced by this one: said once, not again.
        m_strIgnoreProblem.clear();
    }
    std::vector<std::size_t> rows;
    for (std::size_t r = group.begin; r < group.end; ++r) rows.push_back(r);
    list->ClearSelection(true);
    model.RemoveRows(rows);
    RefreshRows();
    ++m_nIgnoredLeftOut;
    UpdateStatusText();
    // The focus goes on to the group that took its place (or the last row).
    if (model.RowCount() > 0) FocusList(static_cast<long>(std::min(group.begin, model.RowCount() - 1)));
    UpdatePreview();
    return true;
}

void CGeminexView::OnIgnoreGroup(wxCommandEvent& /*event*/) { IgnoreFocusedGroup(); }

void CGeminexView::OnUpdateIgnoreGroup(wxUpdateUIEvent& event) {
    const CKvListCtrl* list = GetListCtrl();
    event.Enable(!m_bBusy && list != nullptr && list->GetFocusedRow() >= 0 &&
                 static_cast<std::size_t>(list->GetFocusedRow()) < GetModel().RowCount());
}

void CGeminexView::ShowIgnoreList() {
    if (m_runIgnoreList) {
        m_runIgnoreList(m_ignore, m_strIgnoreProblem);
        return;
    }
    CIgnoreListDialog dialog(GetFrame(), m_ignore, m_strIgnoreProblem);
    dialog.ShowModal();
    if (dialog.TakenBack() > 0) m_strIgnoreProblem.clear();
}

void CGeminexView::OnIgnoreList(wxCommandEvent& /*event*/) { ShowIgnoreList(); }
