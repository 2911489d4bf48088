// The view's marking commands, the groups' sort and the list's filter. The rules are the
// engine's (RowMarking, group_order.h, ShownGroups); here they are asked and the list is set.
#include "results/geminex_view.h"

#include <unordered_map>

#include <wx/frame.h>
#include <wx/panel.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/textdlg.h>
#include <wx/timer.h>

#include "engine/results/row_marking.h"
#include "engine/text/text_format.h"
#include "gui/command_ids.h"
#include "gui/settings_store.h"
#include "gui/wx_text.h"
#include "results/kv_list_ctrl.h"

namespace {

const char kWindowSection[] = "Window";
const char kSortEntry[] = "Sort";

// The list's column a sort shows its arrow on (-1: the key has no column of its own).
int SortColumn(SortKey key) {
    switch (key) {
        case SortKey::kPath: return kColumnPath;
        case SortKey::kDate: return kColumnTime;
        case SortKey::kSize: return kColumnSize;
        default: return -1;
    }
}

SortKey SortKeyOfCommand(int command) {
    switch (command) {
        case cmd::ID_SORT_PATH: return SortKey::kPath;
        case cmd::ID_SORT_DATE: return SortKey::kDate;
        case cmd::ID_SORT_SIZE: return SortKey::kSize;
        case cmd::ID_SORT_COUNT: return SortKey::kCount;
        case cmd::ID_SORT_FREED: return SortKey::kFreed;
        default: return SortKey::kNone;
    }
}

int CommandOfWxId(int wxId) {
    for (int command = cmd::ID_MARK_INVERT; command <= cmd::ID_FILTER_FOCUS; ++command)
        if (WxId(command) == wxId) return command;
    return 0;
}

}  // namespace

void CGeminexView::BindReviewCommands() {
    m_sort = ParseSortSetting(m_settings.GetProfileString(kWindowSection, kSortEntry));
    Bind(wxEVT_MENU, &CGeminexView::OnMark, this, WxId(cmd::ID_MARK_INVERT),
         WxId(cmd::ID_UNMARK_PROTECTED));
    Bind(wxEVT_UPDATE_UI, &CGeminexView::OnUpdateMark, this, WxId(cmd::ID_MARK_INVERT),
         WxId(cmd::ID_UNMARK_PROTECTED));
    Bind(wxEVT_MENU, &CGeminexView::OnSortCommand, this, WxId(cmd::ID_SORT_PATH),
         WxId(cmd::ID_SORT_NONE));
    Bind(wxEVT_UPDATE_UI, &CGeminexView::OnUpdateSort, this, WxId(cmd::ID_SORT_PATH),
         WxId(cmd::ID_SORT_NONE));
    Bind(wxEVT_MENU, [this](wxCommandEvent&) {
        if (m_filterBox == nullptr) return;
        m_filterBox->SetFocus();
        m_filterBox->SelectAll();
    }, WxId(cmd::ID_FILTER_FOCUS));
}

void CGeminexView::CreateFilterBar() {
    wxWindow* frame = GetFrame();
    CKvListCtrl* list = GetListCtrl();
    if (frame == nullptr || list == nullptr) return;
    m_filterBar = new wxPanel(frame);
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    auto* label = new wxStaticText(m_filterBar, wxID_ANY, LoadWxString(IDS_FILTER_LABEL));
    m_filterBox = new wxTextCtrl(m_filterBar, wxID_ANY, wxString(), wxDefaultPosition,
                                 wxDefaultSize, wxTE_PROCESS_ENTER);
    m_filterBox->SetHint(LoadWxString(IDS_FILTER_HINT));
    m_filterCount = new wxStaticText(m_filterBar, wxID_ANY, wxString());
    row->Add(label, 0, wxALIGN_CENTER_VERTICAL | wxLEFT | wxRIGHT, 6);
    row->Add(m_filterBox, 1, wxALIGN_CENTER_VERTICAL | wxTOP | wxBOTTOM, 3);
    row->Add(m_filterCount, 0, wxALIGN_CENTER_VERTICAL | wxLEFT | wxRIGHT, 8);
    m_filterBar->SetSizer(row);
    auto* column = new wxBoxSizer(wxVERTICAL);
    column->Add(m_filterBar, 0, wxEXPAND);
    column->Add(list, 1, wxEXPAND);
    frame->SetSizer(column);

    // Typing waits for a pause before the rows are filtered: a large list is not arranged
    // again at every letter. The timer goes with the bar.
    auto* pause = new wxTimer(m_filterBar);
    m_filterPause = pause;
    m_filterBar->Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
        if (m_filterBox != nullptr) SetFilterText(WxToUtf8(m_filterBox->GetValue()));
    });
    m_filterBar->Bind(wxEVT_DESTROY, [pause, bar = m_filterBar](wxWindowDestroyEvent& event) {
        event.Skip();
        if (event.GetEventObject() == bar) delete pause;
    });
    m_filterBox->Bind(wxEVT_TEXT, [pause](wxCommandEvent&) { pause->StartOnce(250); });
    m_filterBox->Bind(wxEVT_KEY_DOWN, [this, pause](wxKeyEvent& event) {
        const int key = event.GetKeyCode();
        if (key == WXK_ESCAPE) {
            // The filter goes, and the keys go back to the list.
            pause->Stop();
            m_filterBox->ChangeValue(wxString());
            SetFilterText(std::string());
            FocusList(-1);
            return;
        }
        if (key == WXK_RETURN || key == WXK_NUMPAD_ENTER || key == WXK_DOWN) {
            pause->Stop();
            SetFilterText(WxToUtf8(m_filterBox->GetValue()));
            CKvListCtrl* shown = GetListCtrl();
            const long focused = shown != nullptr ? shown->GetFocusedRow() : -1;
            FocusList(focused >= 0 ? focused : 0);
            return;
        }
        event.Skip();
    });
    list->Bind(wxEVT_LIST_COL_CLICK, &CGeminexView::OnColumnClick, this);
    ShowArranged();
}

void CGeminexView::DestroyFilterBar() {
    if (m_filterBar == nullptr) return;
    if (wxWindow* frame = GetFrame()) frame->SetSizer(nullptr);
    m_filterPause->Stop();
    m_filterBar->Destroy();
    m_filterBar = nullptr;
    m_filterBox = nullptr;
    m_filterCount = nullptr;
    m_filterPause = nullptr;
}

std::size_t CGeminexView::ShownRowCount() const {
    const CKvListCtrl* list = GetListCtrl();
    return list != nullptr ? list->ShownRowCount() : GetModel().RowCount();
}

std::string CGeminexView::FilterCountText() const {
    if (!m_shown.Active()) return std::string();
    return FormatFilterCount(static_cast<int>(m_shown.ShownGroupCount()),
                             static_cast<int>(GetModel().GroupCount()));
}

std::string CGeminexView::ReviewNote(bool selection) const {
    std::string note;
    if (selection && !m_strMarkNote.empty()) note += "  " + m_strMarkNote;
    if (m_shown.Active())
        note += "  " + (selection ? FormatFilterOn(static_cast<int>(m_shown.ShownGroupCount()))
                                  : FilterCountText());
    return note;
}

void CGeminexView::ShowArranged() {
    CKvListCtrl* list = GetListCtrl();
    if (list == nullptr) return;
    list->SetShownRows(m_shown.Active() ? m_shown.ShownRowCount() : static_cast<std::size_t>(-1));
    RefreshRows();
    const int column = SortColumn(m_sort.key);
    if (column >= 0) list->ShowSortIndicator(column, !m_sort.descending);
    else list->RemoveSortIndicator();
    if (m_filterCount != nullptr) {
        const wxString count = Utf8ToWx(FilterCountText());
        if (m_filterCount->GetLabel() != count) {
            m_filterCount->SetLabel(count);
            if (m_filterBar != nullptr) m_filterBar->Layout();
        }
    }
}

void CGeminexView::KeepingSelection(const std::function<void()>& rearrange) {
    CKvListCtrl* list = GetListCtrl();
    const ResultsModel& model = GetModel();
    std::vector<const CFileRecord*> selected;
    const CFileRecord* focused = nullptr;
    if (list != nullptr) {
        for (std::size_t row : list->GetSelectedRows()) selected.push_back(model.Row(row).record.get());
        const long focus = list->GetFocusedRow();
        if (focus >= 0 && static_cast<std::size_t>(focus) < model.RowCount())
            focused = model.Row(static_cast<std::size_t>(focus)).record.get();
        list->ClearSelection(true);
    }
    rearrange();
    ShowArranged();
    if (list == nullptr) return;
    std::unordered_map<const CFileRecord*, std::size_t> rowOf;
    const std::size_t shown = ShownRowCount();
    for (std::size_t row = 0; row < shown; ++row) rowOf[model.Row(row).record.get()] = row;
    std::vector<std::size_t> rows;
    for (const CFileRecord* record : selected) {
        const auto found = rowOf.find(record);
        if (found != rowOf.end()) rows.push_back(found->second);
    }
    list->SelectRows(rows);
    const auto at = rowOf.find(focused);
    if (at != rowOf.end()) {
        list->wxListCtrl::SetItemState(static_cast<long>(at->second), wxLIST_STATE_FOCUSED,
                                       wxLIST_STATE_FOCUSED);
        list->EnsureRowVisible(static_cast<long>(at->second));
    }
}

void CGeminexView::ArrangeListed() {
    ResultsModel& model = GetModel();
    SortGroups(model, m_sort);
    m_shown.Remember(model);
    m_shown.Apply(model);
    m_strMarkNote.clear();
    ShowArranged();
}

long CGeminexView::RefilterRows(long row) {
    ResultsModel& model = GetModel();
    const CFileRecord* record = row >= 0 && static_cast<std::size_t>(row) < model.RowCount()
                                    ? model.Row(static_cast<std::size_t>(row)).record.get()
                                    : nullptr;
    // Remembered again from the order without the filter, so that no record gone with its row
    // keeps a place a new record (put back by an undo) could take over at its address.
    m_shown.Unfilter(model);
    m_shown.Remember(model);
    m_shown.Apply(model);
    ShowArranged();
    const std::size_t shown = ShownRowCount();
    if (record == nullptr) return shown > 0 && row >= 0 ? static_cast<long>(shown) - 1 : -1;
    for (std::size_t r = 0; r < shown; ++r)
        if (model.Row(r).record.get() == record) return static_cast<long>(r);
    // Its file is hidden now: the last row shown, so that Delete goes on in the list.
    return shown > 0 ? static_cast<long>(shown) - 1 : -1;
}

bool CGeminexView::SetSort(const GroupSort& sort) {
    if (m_bBusy) return false;
    m_sort = sort;
    m_settings.WriteProfileString(kWindowSection, kSortEntry, SortSettingText(m_sort));
    KeepingSelection([this] {
        ResultsModel& model = GetModel();
        if (model.RowCount() == 0) return;
        if (m_sort.key == SortKey::kNone) {
            // The keep rules' order, as a new search with them would list the rows.
            Listed().found.Reapply(Listed().policy, model);
        } else {
            // Ties keep the order the list has without the filter.
            m_shown.Unfilter(model);
            SortGroups(model, m_sort);
        }
        m_shown.Remember(model);
        m_shown.Apply(model);
    });
    return true;
}

bool CGeminexView::SortBy(SortKey key) { return SetSort(NextSort(m_sort, key)); }

void CGeminexView::SetFilterText(const std::string& text) {
    m_shown.SetText(text);
    if (m_bBusy) {
        // The running work names rows by their numbers: they move once it is over.
        m_bFilterDue = true;
        return;
    }
    m_bFilterDue = false;
    KeepingSelection([this] { m_shown.Apply(GetModel()); });
    m_strMarkNote.clear();
    if (GetListCtrl() != nullptr && GetListCtrl()->GetSelectedItemCount() > 0) UpdateSelectionText();
    else UpdateStatusText();
}

void CGeminexView::OnColumnClick(wxListEvent& event) {
    const int column = event.GetColumn();
    const SortKey key = column == kColumnPath   ? SortKey::kPath
                        : column == kColumnTime ? SortKey::kDate
                        : column == kColumnSize ? SortKey::kSize
                                                : SortKey::kNone;
    // The checksum and reason columns sort nothing.
    if (key != SortKey::kNone) SortBy(key);
}

void CGeminexView::OnSortCommand(wxCommandEvent& event) {
    const int command = CommandOfWxId(event.GetId());
    if (command == cmd::ID_SORT_NONE) SetSort(GroupSort());
    else SortBy(SortKeyOfCommand(command));
}

void CGeminexView::OnUpdateSort(wxUpdateUIEvent& event) {
    event.Enable(!m_bBusy && GetModel().RowCount() > 0);
}

bool CGeminexView::Mark(int command) {
    CKvListCtrl* list = GetListCtrl();
    if (list == nullptr) return false;
    const ResultsModel& model = GetModel();
    const std::size_t shown = ShownRowCount();
    if (shown == 0) return false;
    const RowMarking marking(model, shown);
    const long focus = list->GetFocusedRow();
    const std::string folder = focus >= 0 && static_cast<std::size_t>(focus) < shown
                                   ? model.Row(static_cast<std::size_t>(focus)).record->Folder()
                                   : std::string();
    const bool needsFolder = command == cmd::ID_MARK_FOLDER || command == cmd::ID_UNMARK_FOLDER ||
                             command == cmd::ID_MARK_BUT_FOLDER;
    if (needsFolder && folder.empty()) return false;
    RowMarking::Result result;
    switch (command) {
        case cmd::ID_MARK_INVERT: result = marking.Invert(list->GetSelectedRows()); break;
        case cmd::ID_MARK_FOLDER: result = marking.MarkFolder(list->GetSelectedRows(), folder, true); break;
        case cmd::ID_UNMARK_FOLDER:
            result = marking.MarkFolder(list->GetSelectedRows(), folder, false);
            break;
        case cmd::ID_MARK_MASK: {
            std::string mask;
            if (m_askMask) {
                mask = m_askMask();
            } else {
                wxTextEntryDialog ask(GetFrame(), LoadWxString(IDS_MASK_PROMPT),
                                      LoadWxString(IDS_MASK_CAPTION), Utf8ToWx(m_strLastMask));
                if (ask.ShowModal() == wxID_OK) mask = WxToUtf8(ask.GetValue());
            }
            if (mask.empty()) return false;
            m_strLastMask = mask;
            result = marking.MarkMask(list->GetSelectedRows(), mask);
            break;
        }
        case cmd::ID_MARK_BUT_NEWEST: result = marking.AllButNewest(); break;
        case cmd::ID_MARK_BUT_OLDEST: result = marking.AllButOldest(); break;
        case cmd::ID_MARK_BUT_FOLDER: result = marking.AllButInFolder(folder); break;
        case cmd::ID_UNMARK_PROTECTED: result = marking.UnmarkProtected(list->GetSelectedRows()); break;
        default: return false;
    }
    m_bMarking = true;
    list->SelectRows(result.rows);
    m_bMarking = false;
    m_strMarkNote =
        result.heldBack > 0 ? FormatMarkHeldBack(static_cast<int>(result.heldBack)) : std::string();
    UpdateSelectionText();
    return true;
}

void CGeminexView::OnMark(wxCommandEvent& event) { Mark(CommandOfWxId(event.GetId())); }

void CGeminexView::OnUpdateMark(wxUpdateUIEvent& event) {
    const int command = CommandOfWxId(event.GetId());
    const CKvListCtrl* list = GetListCtrl();
    bool enable = list != nullptr && ShownRowCount() > 0;
    if (command == cmd::ID_MARK_FOLDER || command == cmd::ID_UNMARK_FOLDER ||
        command == cmd::ID_MARK_BUT_FOLDER)
        enable = enable && list->GetFocusedRow() >= 0;
    event.Enable(enable);
}
