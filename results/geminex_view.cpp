#include "results/geminex_view.h"

#include <algorithm>

#include <wx/imaglist.h>
#include <wx/msgdlg.h>
#include <wx/utils.h>

#include "app/command_ids.h"
#include "app/geminex_app.h"
#include "app/main_frame.h"
#include "app/pictures.h"
#include "app/settings_store.h"
#include "app/wx_text.h"
#include "engine/safe_delete.h"
#include "options/options_sheet.h"
#include "platform/drives.h"
#include "platform/file_delete.h"
#include "results/csv_export.h"
#include "results/display_text.h"
#include "results/file_launcher.h"
#include "results/kv_list_ctrl.h"
#include "results/list_printout.h"
#include "results/progress_dialog.h"
#include "results/skipped_places.h"

wxIMPLEMENT_DYNAMIC_CLASS(CGeminexView, CKvListViewView);

// clang-format off
wxBEGIN_EVENT_TABLE(CGeminexView, CKvListViewView)
    EVT_UPDATE_UI(WxId(cmd::ID_FILE_PRINT_DIRECT), CGeminexView::OnUpdateLaterCommand)
    EVT_UPDATE_UI(WxId(cmd::ID_FILE_PRINT_PREVIEW), CGeminexView::OnUpdateLaterCommand)
    // The list's commands (handled by the base): while the list has rows.
    EVT_UPDATE_UI(WxId(cmd::ID_EDIT_FIND), CGeminexView::OnUpdateNeedRows)
    EVT_UPDATE_UI(WxId(cmd::ID_EDIT_REPLACE), CGeminexView::OnUpdateNeedRows)
    EVT_UPDATE_UI(WxId(cmd::ID_EDIT_REPEAT), CGeminexView::OnUpdateNeedRows)
    EVT_UPDATE_UI(WxId(cmd::ID_SELECT_ALL_ROWS), CGeminexView::OnUpdateNeedRows)
    EVT_UPDATE_UI(WxId(cmd::ID_COPY_ROWS), CGeminexView::OnUpdateNeedRows)
    // Export and printing (results/csv_export.h, results/list_printout.h).
    EVT_MENU(WxId(cmd::ID_FILE_SAVE_AS), CGeminexView::OnFileSaveAs)
    EVT_UPDATE_UI(WxId(cmd::ID_FILE_SAVE_AS), CGeminexView::OnUpdateExportOrPrint)
    EVT_MENU(WxId(cmd::ID_FILE_PRINT), CGeminexView::OnFilePrint)
    EVT_UPDATE_UI(WxId(cmd::ID_FILE_PRINT), CGeminexView::OnUpdateExportOrPrint)
    EVT_MENU(WxId(cmd::ID_FILE_PRINT_SETUP), CGeminexView::OnFilePrintSetup)
    // The search and the file commands.
    EVT_MENU(WxId(cmd::ID_FIND_DUPLICATES), CGeminexView::OnFindDuplicates)
    EVT_MENU(WxId(cmd::ID_FILE_OPEN), CGeminexView::OnOpenFile)
    EVT_MENU(WxId(cmd::ID_EXPLORE_FOLDER), CGeminexView::OnExploreFolder)
    EVT_MENU(WxId(cmd::ID_FILE_PROPERTIES), CGeminexView::OnFileProperties)
    EVT_MENU(WxId(cmd::ID_SELECT_ALL_DUPLICATES), CGeminexView::OnSelectAllDuplicates)
    EVT_MENU(WxId(cmd::ID_DELETE_FILES), CGeminexView::OnDeleteFiles)
    EVT_UPDATE_UI(WxId(cmd::ID_FIND_DUPLICATES), CGeminexView::OnUpdateFindDuplicates)
    EVT_UPDATE_UI(WxId(cmd::ID_FILE_OPEN), CGeminexView::OnUpdateNeedSelection)
    EVT_UPDATE_UI(WxId(cmd::ID_EXPLORE_FOLDER), CGeminexView::OnUpdateNeedSelection)
    EVT_UPDATE_UI(WxId(cmd::ID_FILE_PROPERTIES), CGeminexView::OnUpdateNeedSelection)
    EVT_UPDATE_UI(WxId(cmd::ID_DELETE_FILES), CGeminexView::OnUpdateNeedSelection)
    EVT_UPDATE_UI(WxId(cmd::ID_SELECT_ALL_DUPLICATES), CGeminexView::OnUpdateSelectAllDuplicates)
wxEND_EVENT_TABLE()
// clang-format on

namespace {

// Column headings: strings IDS_COLUMN_NAME (2144) to IDS_COLUMN_CHECKSUM (2148).
constexpr int kFirstColumnString = IDS_COLUMN_NAME;
constexpr int kColumnCount = IDS_COLUMN_CHECKSUM - IDS_COLUMN_NAME + 1;

// Column sizing: rows measured at least, the room around a cell's text, the group picture.
constexpr long kMeasuredRows = 50;
constexpr int kCellMargin = 16;
constexpr int kImageWidth = 16 + 5;

const char kSettings[] = "Settings";
const char kOptions[] = "Options";

// A message about files after a search or a delete: the program's texts with file names in
// any encoding.
void ShowFilesMessage(const std::string& text, wxWindow* parent) {
    wxMessageBox(wxString::FromUTF8(ShownUtf8(text)), wxTheApp->GetAppDisplayName(),
                 wxOK | wxICON_EXCLAMATION, parent);
}

std::vector<std::string> RemoveFiles(const std::vector<std::string>& paths, bool toTrash) {
    return platform::DeleteFiles(paths, (toTrash ? unsigned{platform::kDeleteToTrash} : 0u) |
                                            platform::kDeleteNoConfirmation |
                                            platform::kDeleteNoErrorUi);
}

}  // namespace

CGeminexView::CGeminexView()
    : m_launcher(std::make_unique<CFileLauncher>()),
      m_deleter(&RemoveFiles),
      m_shiftDown([] { return wxGetKeyState(WXK_SHIFT); }),
      m_optionsSheet(&RunSearchOptionsSheet) {
    LoadSettings();
}

CGeminexView::~CGeminexView() { SaveSettings(); }

void CGeminexView::LoadSettings() {
    CSettingsStore& store = GetAppSettings();
    m_strFileMask.clear();
    m_filter = SearchFilter();
    m_strPaths.clear();
    m_strPaths = store.GetProfileString(kSettings, "Drives");
    m_strFileMask = store.GetProfileString(kSettings, "File Mask", "*.*");
    m_strLastSaveFile = store.GetProfileString(kSettings, "Last save file");
    m_filter.m_nMode = store.GetProfileInt(kOptions, "Reverse Filters", m_filter.m_nMode);
    // Each limit is taken only when it is exactly 8 bytes long.
    store.GetProfileInt64(kOptions, "Min Size Filter", m_filter.m_nMinSize);
    store.GetProfileInt64(kOptions, "Max Size Filter", m_filter.m_nMaxSize);
    store.GetProfileInt64(kOptions, "Min Date Filter", m_filter.m_ftMinDate);
    store.GetProfileInt64(kOptions, "Max Date Filter", m_filter.m_ftMaxDate);
    m_filter.m_dwAttrStates = static_cast<std::uint32_t>(store.GetProfileInt(
        kOptions, "Skip Files Mask", static_cast<int>(m_filter.m_dwAttrStates)));
    m_filter.m_dwIgnoreAttrs = static_cast<std::uint32_t>(store.GetProfileInt(
        kOptions, "Ignore Attributes", static_cast<int>(m_filter.m_dwIgnoreAttrs)));
    if (m_strPaths.empty()) {
        // A first start searches every local disk.
        for (const std::string& root : platform::LocalFixedDiskRoots()) {
            if (!m_strPaths.empty()) m_strPaths += ";";
            m_strPaths += root;
        }
    }
    m_bCancelSearch = 0;
}

void CGeminexView::SaveSettings() const {
    CSettingsStore& store = GetAppSettings();
    store.WriteProfileString(kSettings, "Drives", m_strPaths);
    store.WriteProfileString(kSettings, "File Mask", m_strFileMask);
    store.WriteProfileString(kSettings, "Last save file", m_strLastSaveFile);
    store.WriteProfileInt(kOptions, "Reverse Filters", m_filter.m_nMode);
    store.WriteProfileInt64(kOptions, "Min Size Filter", m_filter.m_nMinSize);
    store.WriteProfileInt64(kOptions, "Max Size Filter", m_filter.m_nMaxSize);
    store.WriteProfileInt64(kOptions, "Min Date Filter", m_filter.m_ftMinDate);
    store.WriteProfileInt64(kOptions, "Max Date Filter", m_filter.m_ftMaxDate);
    store.WriteProfileInt(kOptions, "Skip Files Mask", static_cast<int>(m_filter.m_dwAttrStates));
    store.WriteProfileInt(kOptions, "Ignore Attributes",
                          static_cast<int>(m_filter.m_dwIgnoreAttrs));
}

SearchOptions CGeminexView::GetSearchOptions() const {
    SearchOptions options;
    options.paths = m_strPaths;
    options.mask = m_strFileMask;
    options.filter = m_filter;
    return options;
}

void CGeminexView::SetSearchOptions(const SearchOptions& options) {
    m_strPaths = options.paths;
    m_strFileMask = options.mask;
    m_filter = options.filter;
}

void CGeminexView::SetLauncher(std::unique_ptr<CFileLauncher> launcher) {
    m_launcher = launcher ? std::move(launcher) : std::make_unique<CFileLauncher>();
}

long CGeminexView::PreCreateWindow(long style) {
    // Grid lines; the report list selects whole rows and shows its selection always.
    return CKvListViewView::PreCreateWindow(style | wxLC_HRULES | wxLC_VRULES);
}

bool CGeminexView::OnClose(bool deleteWindow) {
    if (m_closeBound != nullptr) {
        m_closeBound->Unbind(wxEVT_CLOSE_WINDOW, &CGeminexView::OnFrameClose, this);
        m_closeBound = nullptr;
    }
    return CKvListViewView::OnClose(deleteWindow);
}

void CGeminexView::OnFrameClose(wxCloseEvent& event) {
    if (m_bBusy) {
        // The search or delete still runs on the stack below this handler and uses the view,
        // its rows and the dialog: stop it, and close once it has returned. A close that may not
        // be refused is not passed on either (the window would go under the running work); it
        // follows the same way.
        m_bCancelSearch = 1;
        m_bCloseAfterWork = true;
        if (m_pProgressDlg != nullptr) m_pProgressDlg->Cancel();
        if (event.CanVeto()) event.Veto();
        return;
    }
    event.Skip();
}

bool CGeminexView::OnCreate(wxDocument* doc, long flags) {
    if (!CKvListViewView::OnCreate(doc, flags)) return false;
    CKvListCtrl* list = GetListCtrl();
    for (int i = 0; i < kColumnCount; ++i) {
        list->InsertColumn(i, LoadWxString(kFirstColumnString + i), wxLIST_FORMAT_LEFT);
    }
    AutoSizeColumns(-1);
    list->AssignImageList(LoadGroupImages(), wxIMAGE_LIST_SMALL);
    list->Bind(wxEVT_LIST_ITEM_ACTIVATED, &CGeminexView::OnItemActivated, this);
    // Bound after the application's own close handler, so asked first.
    m_closeBound = GetFrame();
    m_closeBound->Bind(wxEVT_CLOSE_WINDOW, &CGeminexView::OnFrameClose, this);

    Activate(true);
    GetFrame()->SendSizeEvent();
    list->SetFocus();
    return true;
}

void CGeminexView::OnChangeFilename() {}

void CGeminexView::AutoSizeColumns(int column) {
    CKvListCtrl* list = GetListCtrl();
    if (list == nullptr) return;
    const int first = column < 0 ? 0 : column;
    const int last = column < 0 ? list->GetColumnCount() - 1 : column;
    // The contents are measured over the rows on the first screen from the top row, as a
    // virtual list can (the list's own measure of a virtual list keeps its first result).
    const ResultsModel& model = GetModel();
    const long top = std::max(0L, list->GetTopItem());
    const long rows = std::min<long>(static_cast<long>(model.RowCount()) - top,
                                     std::max<long>(list->GetCountPerPage() + 1, kMeasuredRows));
    list->Freeze();
    for (int i = first; i <= last; ++i) {
        int contents = 0;
        for (long row = top; row < top + rows; ++row) {
            const wxString text = Utf8ToWx(model.CellText(static_cast<std::size_t>(row), i));
            if (!text.empty()) contents = std::max(contents, list->GetTextExtent(text).x);
        }
        contents += kCellMargin + (i == 0 ? kImageWidth : 0);
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

// Export and printing read the rows that a running search or delete is changing: refused then.
void CGeminexView::OnUpdateExportOrPrint(wxUpdateUIEvent& event) {
    event.Enable(GetModel().RowCount() > 0 && !m_bBusy);
}

void CGeminexView::OnFileSaveAs(wxCommandEvent&) {
    if (GetModel().RowCount() == 0 || m_bBusy) return;
    SaveRowsAsCsv(GetModel(), m_strLastSaveFile, GetFrame());
}

void CGeminexView::OnFilePrint(wxCommandEvent&) {
    if (GetModel().RowCount() == 0 || m_bBusy) return;
    PrintRows(GetModel(), GetDocumentManager()->GetPageSetupDialogData(), GetFrame());
}

void CGeminexView::OnFilePrintSetup(wxCommandEvent&) {
    RunPrintSetup(GetDocumentManager()->GetPageSetupDialogData(), GetFrame());
}

void CGeminexView::OnUpdateNeedSelection(wxUpdateUIEvent& event) {
    const CKvListCtrl* list = GetListCtrl();
    const bool selected = list != nullptr && list->GetSelectedItemCount() > 0;
    // Open, explore and properties only read; delete must wait for the running work.
    const bool removes = event.GetId() == WxId(cmd::ID_DELETE_FILES);
    event.Enable(selected && !(removes && m_bBusy));
}

void CGeminexView::OnUpdateFindDuplicates(wxUpdateUIEvent& event) { event.Enable(!m_bBusy); }

void CGeminexView::OnUpdateSelectAllDuplicates(wxUpdateUIEvent& event) {
    event.Enable(GetModel().RowCount() > 0);
}

// ---- The search ----

void CGeminexView::OnFindDuplicates(wxCommandEvent& /*event*/) { FindDuplicates(); }

bool CGeminexView::FindDuplicates(const std::string* startPaths) {
    if (m_bBusy) return false;
    SearchOptions options = GetSearchOptions();
    if (startPaths != nullptr) options.paths = *startPaths;
    wxWindow* parent = GetFrame() != nullptr ? GetFrame() : GetListCtrl();
    if (!m_optionsSheet || !m_optionsSheet(parent, options)) return false;
    RunSearch(options);
    return true;
}

DuplicateSearch::Outcome CGeminexView::RunSearch(const SearchOptions& options) {
    m_bBusy = true;
    m_bCancelSearch = 0;
    new CProgressDialog(&m_pProgressDlg, 1000, &m_bCancelSearch, 0, GetListCtrl());
    SetModel(nullptr);
    SetSearchOptions(options);

    auto model = std::make_unique<ResultsModel>();
    SkippedPlaces skipped(m_pProgressDlg);
    DuplicateSearch search(&skipped);
    const DuplicateSearch::Outcome outcome = search.Run(options, *model);

    if (m_pProgressDlg != nullptr) m_pProgressDlg->DestroyWindow();
    m_bCancelSearch = 0;
    if (outcome == DuplicateSearch::kFinished) {
        SetModel(std::move(model));
        AutoSizeColumns(-1);
        UpdateStatusText();
        // What was passed over, under the rows found; not for a window on its way to close.
        if (skipped.Count() > 0 && !m_bCloseAfterWork) ShowFilesMessage(skipped.Message(), GetFrame());
    }
    EndBusy();
    return outcome;
}

void CGeminexView::EndBusy() {
    m_bBusy = false;
    if (m_bCloseAfterWork) {
        m_bCloseAfterWork = false;
        if (wxWindow* frame = GetFrame()) frame->GetEventHandler()->CallAfter([frame] {
            frame->Close();
        });
    }
}

void CGeminexView::UpdateStatusText() {
    CMainFrame* frame = GetMainFrame();
    if (frame == nullptr) return;
    const ResultsModel& model = GetModel();
    frame->SetIdleText(Utf8ToWx(SummaryText(model.DuplicateCount(), model.DuplicateBytes())));
    frame->OnSetMessageString(IDS_IDLE_MESSAGE);
}

// ---- File commands ----

const CFileRecord* CGeminexView::FocusedRecord() const {
    const CKvListCtrl* list = GetListCtrl();
    if (list == nullptr) return nullptr;
    const long row = list->GetFocusedRow();
    const ResultsModel& model = GetModel();
    if (row < 0 || static_cast<std::size_t>(row) >= model.RowCount()) return nullptr;
    return model.Row(static_cast<std::size_t>(row)).record.get();
}

void CGeminexView::OpenFile() {
    if (const CFileRecord* record = FocusedRecord()) m_launcher->Open(record->Path());
}

void CGeminexView::ExploreFolder() {
    const CFileRecord* record = FocusedRecord();
    if (record == nullptr) return;
    const std::string folder = FolderOfFile(record->Path());
    if (folder.empty()) return;
    m_launcher->Explore(record->Path(), folder);
}

void CGeminexView::FileProperties() {
    if (const CFileRecord* record = FocusedRecord())
        m_launcher->Properties(record->Path(), GetFrame());
}

void CGeminexView::OnOpenFile(wxCommandEvent& /*event*/) { OpenFile(); }
void CGeminexView::OnExploreFolder(wxCommandEvent& /*event*/) { ExploreFolder(); }
void CGeminexView::OnFileProperties(wxCommandEvent& /*event*/) { FileProperties(); }

void CGeminexView::OnItemActivated(wxListEvent& /*event*/) { OpenFile(); }

void CGeminexView::SelectAllDuplicates() {
    CKvListCtrl* list = GetListCtrl();
    if (list == nullptr || GetModel().RowCount() == 0) return;
    wxBusyCursor wait;
    // The first rows lose selection and focus; every other row is selected.
    list->ClearSelection(true);
    list->SelectRows(GetModel().DuplicateRows());
}

void CGeminexView::OnSelectAllDuplicates(wxCommandEvent& /*event*/) { SelectAllDuplicates(); }

void CGeminexView::OnDeleteFiles(wxCommandEvent& /*event*/) { DeleteFiles(m_shiftDown && m_shiftDown()); }

std::size_t CGeminexView::DeleteFiles(bool forGood) {
    CKvListCtrl* list = GetListCtrl();
    if (m_bBusy || list == nullptr) return 0;
    const std::vector<std::size_t> rows = list->GetSelectedRows();
    if (rows.empty()) return 0;
    if (forGood) {
        const std::string question = FormatConfirmDeleteFiles(static_cast<int>(rows.size()));
        if (wxMessageBox(Utf8ToWx(question), wxTheApp->GetAppDisplayName(),
                         wxYES_NO | wxICON_QUESTION, GetFrame()) != wxYES) {
            return 0;
        }
    }

    m_bBusy = true;
    m_bCancelSearch = 0;
    new CProgressDialog(&m_pProgressDlg, static_cast<std::int64_t>(rows.size()), &m_bCancelSearch,
                        0, list);
    const FileDeleter deleter = m_deleter;
    SafeDelete remover(m_pProgressDlg, [deleter, forGood](const std::vector<std::string>& paths) {
        return deleter ? deleter(paths, !forGood) : paths;
    });
    const DeleteOutcome outcome = remover.Run(GetModel(), rows);
    if (m_pProgressDlg != nullptr) m_pProgressDlg->DestroyWindow();
    m_bCancelSearch = 0;

    if (!outcome.goneRows.empty()) {
        list->ClearSelection(true);
        GetModel().RemoveRows(outcome.goneRows);
        RefreshRows();
        UpdateStatusText();
    }
    // Named while the view is still busy: a close asked for meanwhile waits for the answer.
    if (!outcome.kept.empty()) ShowFilesMessage(KeptFilesMessage(outcome.kept), GetFrame());
    const std::size_t gone = outcome.goneRows.size();
    EndBusy();
    return gone;
}
