#include "results/geminex_view.h"

#include "engine/results/results_headline.h"
#include "engine/actions/action_journal.h"
#include "engine/actions/leftovers.h"

#include <algorithm>

#include <wx/app.h>
#include <wx/display.h>
#include <wx/frame.h>
#include <wx/toplevel.h>
#include <wx/imaglist.h>
#include <wx/menu.h>
#include <wx/settings.h>
#include <wx/utils.h>

#include "gui/command_ids.h"
#include "gui/frame_status.h"
#include "gui/pictures.h"
#include "gui/settings_store.h"
#include "gui/message_box.h"
#include "gui/wx_text.h"
#include "engine/actions/safe_delete.h"
#include "engine/store/cache_answers.h"
#include "engine/results/keep_rules.h"
#include "engine/text/text_format.h"
#include "engine/actions/selection_total.h"
#include "engine/text/text_helpers.h"
#include "options/options_sheet.h"
#include "options/select_path_dialog.h"
#include "platform/drives.h"
#include "platform/file_delete.h"
#include "platform/file_time.h"
#include "results/csv_export.h"
#include "results/workbook_writer.h"
#include "results/delete_question.h"
#include "results/folder_dialog.h"
#include "results/display_text.h"
#include "results/file_launcher.h"
#include "results/kv_list_ctrl.h"
#include "results/list_printout.h"
#include "results/progress_dialog.h"
#include "results/skipped_places.h"

// Made by the program's document template with the settings store, never by class info.
wxIMPLEMENT_CLASS(CGeminexView, CKvListViewView);

// clang-format off
wxBEGIN_EVENT_TABLE(CGeminexView, CKvListViewView)
    EVT_UPDATE_UI(WxId(cmd::ID_FILE_PRINT_DIRECT), CGeminexView::OnUpdateLaterCommand)
    // The list's commands (handled by the base): while the list has rows.
    EVT_UPDATE_UI(WxId(cmd::ID_EDIT_FIND), CGeminexView::OnUpdateNeedRows)
    EVT_UPDATE_UI(WxId(cmd::ID_EDIT_REPLACE), CGeminexView::OnUpdateNeedRows)
    EVT_UPDATE_UI(WxId(cmd::ID_EDIT_REPEAT), CGeminexView::OnUpdateNeedRows)
    EVT_UPDATE_UI(WxId(cmd::ID_SELECT_ALL_ROWS), CGeminexView::OnUpdateNeedRows)
    EVT_UPDATE_UI(WxId(cmd::ID_COPY_ROWS), CGeminexView::OnUpdateNeedRows)
    // Export and printing (results/csv_export.h, results/list_printout.h).
    EVT_MENU(WxId(cmd::ID_FILE_SAVE_AS), CGeminexView::OnFileSaveAs)
    EVT_UPDATE_UI(WxId(cmd::ID_FILE_SAVE_AS), CGeminexView::OnUpdateExportOrPrint)
    EVT_MENU(WxId(cmd::ID_EXPORT_XLSX), CGeminexView::OnExportWorkbook)
    EVT_UPDATE_UI(WxId(cmd::ID_EXPORT_XLSX), CGeminexView::OnUpdateExportOrPrint)
    EVT_MENU(WxId(cmd::ID_FILE_PRINT), CGeminexView::OnFilePrint)
    EVT_UPDATE_UI(WxId(cmd::ID_FILE_PRINT), CGeminexView::OnUpdateExportOrPrint)
    EVT_MENU(WxId(cmd::ID_FILE_PRINT_PREVIEW), CGeminexView::OnFilePrintPreview)
    EVT_UPDATE_UI(WxId(cmd::ID_FILE_PRINT_PREVIEW), CGeminexView::OnUpdateExportOrPrint)
    EVT_MENU(WxId(cmd::ID_FILE_PRINT_SETUP), CGeminexView::OnFilePrintSetup)
    EVT_MENU(WxId(cmd::ID_CLEAR_CACHE), CGeminexView::OnClearCache)
    // Saved results and catalogs (geminex_view_files.cpp).
    EVT_MENU(WxId(cmd::ID_SAVE_RESULTS), CGeminexView::OnSaveResults)
    EVT_UPDATE_UI(WxId(cmd::ID_SAVE_RESULTS), CGeminexView::OnUpdateExportOrPrint)
    EVT_MENU(WxId(cmd::ID_OPEN_RESULTS), CGeminexView::OnOpenResults)
    EVT_UPDATE_UI(WxId(cmd::ID_OPEN_RESULTS), CGeminexView::OnUpdateOpenResults)
    EVT_MENU(WxId(cmd::ID_AGAINST_CATALOG), CGeminexView::OnAgainstCatalog)
    EVT_MENU(WxId(cmd::ID_FOLDER_VIEW), CGeminexView::OnFolderView)
    EVT_UPDATE_UI(WxId(cmd::ID_AGAINST_CATALOG), CGeminexView::OnUpdateOpenResults)
    // The search and the file commands.
    EVT_MENU(WxId(cmd::ID_FIND_DUPLICATES), CGeminexView::OnFindDuplicates)
    EVT_MENU(WxId(cmd::ID_FILE_OPEN), CGeminexView::OnOpenFile)
    EVT_MENU(WxId(cmd::ID_EXPLORE_FOLDER), CGeminexView::OnExploreFolder)
    EVT_MENU(WxId(cmd::ID_FILE_PROPERTIES), CGeminexView::OnFileProperties)
    EVT_MENU(WxId(cmd::ID_SELECT_ALL_DUPLICATES), CGeminexView::OnSelectAllDuplicates)
    EVT_MENU(WxId(cmd::ID_DELETE_FILES), CGeminexView::OnDeleteFiles)
    EVT_MENU(WxId(cmd::ID_UNDO_DELETE), CGeminexView::OnUndoDelete)
    EVT_UPDATE_UI(WxId(cmd::ID_UNDO_DELETE), CGeminexView::OnUpdateUndoDelete)
    EVT_MENU(WxId(cmd::ID_REPLACE_HARD_LINK), CGeminexView::OnReplaceHardLink)
    EVT_MENU(WxId(cmd::ID_SHARE_DATA), CGeminexView::OnShareData)
    EVT_MENU(WxId(cmd::ID_MOVE_TO), CGeminexView::OnMoveTo)
    EVT_UPDATE_UI(WxId(cmd::ID_REPLACE_HARD_LINK), CGeminexView::OnUpdateAction)
    EVT_UPDATE_UI(WxId(cmd::ID_SHARE_DATA), CGeminexView::OnUpdateAction)
    EVT_UPDATE_UI(WxId(cmd::ID_MOVE_TO), CGeminexView::OnUpdateAction)
    EVT_UPDATE_UI(WxId(cmd::ID_FIND_DUPLICATES), CGeminexView::OnUpdateFindDuplicates)
    EVT_UPDATE_UI(WxId(cmd::ID_FILE_OPEN), CGeminexView::OnUpdateNeedSelection)
    EVT_UPDATE_UI(WxId(cmd::ID_EXPLORE_FOLDER), CGeminexView::OnUpdateNeedSelection)
    EVT_UPDATE_UI(WxId(cmd::ID_FILE_PROPERTIES), CGeminexView::OnUpdateNeedSelection)
    EVT_UPDATE_UI(WxId(cmd::ID_DELETE_FILES), CGeminexView::OnUpdateNeedSelection)
    EVT_UPDATE_UI(WxId(cmd::ID_SELECT_ALL_DUPLICATES), CGeminexView::OnUpdateSelectAllDuplicates)
    // The preview pane and the ignored groups (geminex_view_preview.cpp).
    EVT_MENU(WxId(cmd::ID_VIEW_PREVIEW), CGeminexView::OnViewPreview)
    EVT_UPDATE_UI(WxId(cmd::ID_VIEW_PREVIEW), CGeminexView::OnUpdateViewPreview)
    EVT_MENU(WxId(cmd::ID_IGNORE_GROUP), CGeminexView::OnIgnoreGroup)
    EVT_UPDATE_UI(WxId(cmd::ID_IGNORE_GROUP), CGeminexView::OnUpdateIgnoreGroup)
    EVT_MENU(WxId(cmd::ID_IGNORE_LIST), CGeminexView::OnIgnoreList)
    EVT_UPDATE_UI(WxId(cmd::ID_IGNORE_LIST), CGeminexView::OnUpdateFindDuplicates)
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

// The first window (no place kept yet): a path of this many characters beside the other
// columns, and this share of the screen's height, at least the old default's 520 pixels.
constexpr int kFirstPathCharacters = 100;
constexpr int kFirstHeightPercent = 70;

// The widest texts a search writes into column `column` (other than the path), so that the
// first window holds them: the latest date of a two-digit day and month, ten digits of size,
// eight hex digits, each keep reason.
std::vector<std::string> WidestCellTexts(int column) {
    switch (column) {
        case kColumnTime: {
            platform::SystemTime day;
            day.wYear = 2028;
            day.wMonth = 12;
            day.wDay = 28;
            day.wHour = 20;
            day.wMinute = 58;
            day.wSecond = 58;
            platform::FileTime time = 0;
            std::string text;
            if (platform::SystemTimeToFileTime(day, &time)) FileTimeToText(&time, text);
            return {text};
        }
        case kColumnSize: return {"9999999999"};
        case kColumnCrc:
        case kColumnChecksum: return {"00000000", "dddddddd", "ffffffff"};
        case kColumnKeepReason: {
            std::vector<std::string> texts = {LoadStringText(IDS_ROW_HARD_LINK),
                                              LoadStringText(IDS_ROW_SHARED)};
            for (int reason = kKeptAsFound; reason <= kKeptTied; ++reason)
                texts.push_back(KeepReasonText(static_cast<KeepReason>(reason)));
            return texts;
        }
        default: return {};
    }
}

const char kSettings[] = "Settings";
const char kOptions[] = "Options";
const char kWindow[] = "Window";  // the main window's place and size, the column widths

// Column widths as "w0,w1,..." and back; a text that is not such a list gives none.
std::string WidthsText(const std::vector<int>& widths) {
    std::string text;
    for (int width : widths) text += (text.empty() ? "" : ",") + std::to_string(width);
    return text;
}

std::vector<int> ParseWidths(const std::string& text) {
    std::vector<int> widths;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find(',', at);
        if (end == std::string::npos) end = text.size();
        const std::string piece = text.substr(at, end - at);
        if (piece.empty() || piece.size() > 5 ||
            piece.find_first_not_of("0123456789") != std::string::npos)
            return {};
        widths.push_back(std::stoi(piece));
        at = end + 1;
    }
    return widths;
}

const char kKeepRules[] = "Keep Rules";

// The same search: only the keep rules may differ.
bool SameSearch(const SearchOptions& a, const SearchOptions& b) {
    const SearchFilter& f = a.filter;
    const SearchFilter& g = b.filter;
    return a.paths == b.paths && a.mask == b.mask && f.m_nMode == g.m_nMode &&
           f.m_nMinSize == g.m_nMinSize && f.m_nMaxSize == g.m_nMaxSize &&
           f.m_ftMinDate == g.m_ftMinDate && f.m_ftMaxDate == g.m_ftMaxDate &&
           f.m_dwAttrStates == g.m_dwAttrStates && f.m_dwIgnoreAttrs == g.m_dwIgnoreAttrs;
}

// A message about files after a search or a delete: the program's texts with file names in
// any encoding.
void ShowFilesMessage(const std::string& text, wxWindow* parent) {
    ShowMessageBox(parent, wxString::FromUTF8(ShownUtf8(text)), wxOK | wxICON_EXCLAMATION);
}

}  // namespace

CGeminexView::CGeminexView(CSettingsStore& settings)
    : m_settings(settings),
      m_shiftDown([] { return wxGetKeyState(WXK_SHIFT); }) {
    SetLauncher(nullptr);
    m_askAction = [this](const std::string& question) {
        return ShowMessageBox(GetFrame(), Utf8ToWx(question), wxYES_NO | wxICON_QUESTION) == wxID_YES;
    };
    m_chooseMoveFolder = [this]() -> std::string {
        CSelectPathDialog dialog(GetFrame());
        return dialog.DoModal() == 1 ? dialog.GetPath() : std::string();
    };
    LoadSettings();
    BindReviewCommands();
    LoadIgnoreList();
    m_actions.LoadKeptUndo(Listed());
}

CGeminexView::~CGeminexView() {
    // Work still running (its frame went without asking this view) must not outlive the rows,
    // the records and this handler it reports back to.
    if (m_progress) m_progress->Stop();
    JoinWorker();
    SaveSettings();
    // A pane left in a frame that outlives the view must not call it back.
    DropPreview();
}

void CGeminexView::LoadSettings() {
    CSettingsStore& store = m_settings;
    m_strFileMask.clear();
    m_filter = SearchFilter();
    m_paths = store.GetProfilePathList(kSettings, "Drives");
    m_strFileMask = store.GetProfileString(kSettings, "File Mask", "*.*");
    m_strLastSaveFile = store.GetProfileString(kSettings, "Last save file");
    m_strLastWorkbookFile = store.GetProfileString(kSettings, "Last workbook file");
    m_strLastResultsFile = store.GetProfileString(kSettings, "Last results file");
    m_filter.m_nMode = store.GetProfileInt(kOptions, "Reverse Filters", m_filter.m_nMode);
    m_filter.m_bLeaveOutEmpty = store.GetProfileInt(kOptions, "Leave Out Empty Files", 0) != 0;
    // Each limit is taken only when it is exactly 8 bytes long.
    store.GetProfileInt64(kOptions, "Min Size Filter", m_filter.m_nMinSize);
    store.GetProfileInt64(kOptions, "Max Size Filter", m_filter.m_nMaxSize);
    store.GetProfileInt64(kOptions, "Min Date Filter", m_filter.m_ftMinDate);
    store.GetProfileInt64(kOptions, "Max Date Filter", m_filter.m_ftMaxDate);
    m_filter.m_dwAttrStates = static_cast<std::uint32_t>(store.GetProfileInt(
        kOptions, "Skip Files Mask", static_cast<int>(m_filter.m_dwAttrStates)));
    m_filter.m_dwIgnoreAttrs = static_cast<std::uint32_t>(store.GetProfileInt(
        kOptions, "Ignore Attributes", static_cast<int>(m_filter.m_dwIgnoreAttrs)));
    // Out of range is no setting at all: each disk is decided for.
    m_nReaders = store.GetProfileInt(kOptions, "Readers", 0);
    if (m_nReaders < 0 || m_nReaders > kMostReaders) m_nReaders = 0;
    m_bVerifyCached = store.GetProfileInt(kOptions, "Verify Cached Groups", 0) != 0;
    // In MB, 1 to 64 GB; 0 searches without the cache; anything else is the default.
    m_nCacheSizeMb = store.GetProfileInt(kOptions, "Cache Size", 256);
    if (m_nCacheSizeMb < 0 || m_nCacheSizeMb > 65536) m_nCacheSizeMb = 256;
    // A first start searches every local disk, shown as the keyword that stands for them.
    if (m_paths.empty()) m_paths = {LoadStringText(IDS_LOCAL_HARD_DISKS)};
    // A first start keeps by the default rules.
    m_keep = KeepSettings::Defaults();
    m_keep.SetRulesText(store.GetProfileString(kKeepRules, "Rules", m_keep.RulesText()));
    m_keep.priorityFolders = store.GetProfilePathList(kKeepRules, "Priority Folders");
    m_keep.protectedFolders = store.GetProfilePathList(kKeepRules, "Protected Folders");
    m_keep.mask = store.GetProfileString(kKeepRules, "Mask");
    m_keep.onlyGroupsWithProtected = store.GetProfileInt(kKeepRules, "Only Protected Groups", 0) != 0;
    m_keep.order = store.GetProfileInt(kKeepRules, "Group Order", 0) == 1 ? GroupOrder::kAsFound
                                                                           : GroupOrder::kFreedBytes;
    m_keep.linkAnyOwner = store.GetProfileInt(kKeepRules, "Link Any Owner", 0) != 0;
    m_keep.removeEmptiedFolders = store.GetProfileInt(kKeepRules, "Remove Emptied Folders", 1) != 0;
    m_bFolderIgnoreNames = store.GetProfileInt(kSettings, "Folders Ignore Names", 1) != 0;
}

void CGeminexView::SaveSettings() const {
    CSettingsStore& store = m_settings;
    store.WriteProfilePathList(kSettings, "Drives", m_paths);
    store.WriteProfileString(kSettings, "File Mask", m_strFileMask);
    store.WriteProfileString(kSettings, "Last save file", m_strLastSaveFile);
    store.WriteProfileString(kSettings, "Last workbook file", m_strLastWorkbookFile);
    store.WriteProfileString(kSettings, "Last results file", m_strLastResultsFile);
    store.WriteProfileInt(kOptions, "Reverse Filters", m_filter.m_nMode);
    store.WriteProfileInt(kOptions, "Readers", m_nReaders);
    store.WriteProfileInt(kOptions, "Verify Cached Groups", m_bVerifyCached ? 1 : 0);
    store.WriteProfileInt(kOptions, "Cache Size", m_nCacheSizeMb);
    store.WriteProfileInt(kOptions, "Leave Out Empty Files", m_filter.m_bLeaveOutEmpty ? 1 : 0);
    store.WriteProfileInt64(kOptions, "Min Size Filter", m_filter.m_nMinSize);
    store.WriteProfileInt64(kOptions, "Max Size Filter", m_filter.m_nMaxSize);
    store.WriteProfileInt64(kOptions, "Min Date Filter", m_filter.m_ftMinDate);
    store.WriteProfileInt64(kOptions, "Max Date Filter", m_filter.m_ftMaxDate);
    store.WriteProfileInt(kOptions, "Skip Files Mask", static_cast<int>(m_filter.m_dwAttrStates));
    store.WriteProfileInt(kOptions, "Ignore Attributes",
                          static_cast<int>(m_filter.m_dwIgnoreAttrs));
    store.WriteProfileString(kKeepRules, "Rules", m_keep.RulesText());
    store.WriteProfilePathList(kKeepRules, "Priority Folders", m_keep.priorityFolders);
    store.WriteProfilePathList(kKeepRules, "Protected Folders", m_keep.protectedFolders);
    store.WriteProfileString(kKeepRules, "Mask", m_keep.mask);
    store.WriteProfileInt(kKeepRules, "Only Protected Groups", m_keep.onlyGroupsWithProtected ? 1 : 0);
    store.WriteProfileInt(kKeepRules, "Group Order", m_keep.order == GroupOrder::kAsFound ? 1 : 0);
    store.WriteProfileInt(kKeepRules, "Link Any Owner", m_keep.linkAnyOwner ? 1 : 0);
    store.WriteProfileInt(kKeepRules, "Remove Emptied Folders", m_keep.removeEmptiedFolders ? 1 : 0);
    store.WriteProfileInt(kSettings, "Folders Ignore Names", m_bFolderIgnoreNames ? 1 : 0);
}

SearchOptions CGeminexView::GetSearchOptions() const {
    SearchOptions options;
    options.paths = m_paths;
    options.mask = m_strFileMask;
    options.filter = m_filter;
    options.keep = m_keep.Policy();
    options.verifyCached = m_bVerifyCached;
    return options;
}

void CGeminexView::SetSearchOptions(const SearchOptions& options) {
    m_paths = options.paths;
    m_strFileMask = options.mask;
    m_filter = options.filter;
    m_bVerifyCached = options.verifyCached;
}

void CGeminexView::SetLauncher(std::unique_ptr<CFileLauncher> launcher) {
    m_launcher = launcher ? std::move(launcher) : std::make_unique<CFileLauncher>();
    m_launcher->SetFailureHandler(
        [this](CFileLauncher::Failure failure, const std::string& path) {
            LaunchFailed(failure, path);
        });
}

void CGeminexView::LaunchFailed(int failure, const std::string& path) {
    if (failure != CFileLauncher::kOpenFailed) {
        ShowFilesMessage(FormatExploreFailed(path), GetFrame());
        return;
    }
    // The file's folder may still be shown where the file itself has no application.
    const wxString question = wxString::FromUTF8(ShownUtf8(FormatOpenFailed(path)));
    if (ShowMessageBox(GetFrame(), question, wxYES_NO | wxICON_EXCLAMATION) != wxID_YES) return;
    const std::string folder = FolderOfFile(path);
    if (!folder.empty()) m_launcher->Explore(path, folder);
}

long CGeminexView::PreCreateWindow(long style) {
    // Grid lines; the report list selects whole rows and shows its selection always.
    return CKvListViewView::PreCreateWindow(style | wxLC_HRULES | wxLC_VRULES);
}

bool CGeminexView::OnClose(bool deleteWindow) {
    SaveWindowPlace();
    if (deleteWindow) DestroyFilterBar();
    SavePreviewPlace();
    if (m_closeBound != nullptr) {
        m_closeBound->Unbind(wxEVT_CLOSE_WINDOW, &CGeminexView::OnFrameClose, this);
        m_closeBound = nullptr;
    }
    if (!CKvListViewView::OnClose(deleteWindow)) return false;
    if (deleteWindow) DropPreview();
    return true;
}

void CGeminexView::OnFrameClose(wxCloseEvent& event) {
    if (m_bBusy) {
        if (m_progress) m_progress->Stop();
        if (m_pProgressDlg != nullptr) m_pProgressDlg->Cancel();
        if (event.CanVeto() || !m_worker.joinable()) {
            // The window closes once the worker has handed back what it did (or, when the
            // results are being shown, once that is over).
            m_bCloseAfterWork = true;
            if (event.CanVeto()) event.Veto();
            return;
        }
        // A close that may not be refused (the session ends): the worker has been told to stop
        // and is waited for here; what it did is dropped, and its report back finds a new
        // work number (or no view at all: a handler's queued calls go with it).
        JoinWorker();
        ++m_nWork;
        if (m_pProgressDlg != nullptr) m_pProgressDlg->DestroyWindow();
        m_progress.reset();
        m_bBusy = false;
        m_bCloseAfterWork = false;
    }
    event.Skip();
}

bool CGeminexView::OnCreate(wxDocument* doc, long flags) {
    if (!CKvListViewView::OnCreate(doc, flags)) return false;
    CKvListCtrl* list = GetListCtrl();
    for (int i = 0; i < kColumnCount; ++i) {
        list->InsertColumn(i, LoadWxString(kFirstColumnString + i), wxLIST_FORMAT_LEFT);
    }
    list->InsertColumn(kColumnKeepReason, LoadWxString(IDS_COLUMN_KEEP_REASON), wxLIST_FORMAT_LEFT);
    list->SetSelectionWatcher([this] {
        // The groups a marking held back are said until the selection changes otherwise.
        if (!m_bMarking) m_strMarkNote.clear();
        // Many changes in one go (a drag, Shift+End) make one status text.
        if (m_bSelectionTextDue) return;
        m_bSelectionTextDue = true;
        CallAfter([this] { UpdateSelectionText(); });
    });
    AutoSizeColumns(-1);
    list->AssignImageList(LoadGroupImages(), wxIMAGE_LIST_SMALL);
    list->Bind(wxEVT_LIST_ITEM_ACTIVATED, &CGeminexView::OnItemActivated, this);
    RestoreWindowPlace();
    // The path column takes the room the other columns leave, as the window grows.
    list->Bind(wxEVT_SIZE, [this](wxSizeEvent& event) {
        event.Skip();
        FitPathColumn();
    });
    list->Bind(wxEVT_LIST_COL_END_DRAG, [this](wxListEvent& event) {
        event.Skip();
        // A width the user gave the path column is its own from now on.
        if (event.GetColumn() == 0)
            CallAfter([this] {
                if (CKvListCtrl* shown = GetListCtrl()) m_nPathWidth = shown->GetColumnWidth(0);
            });
    });
    // Bound after the application's own close handler, so asked first.
    m_closeBound = GetFrame();
    m_closeBound->Bind(wxEVT_CLOSE_WINDOW, &CGeminexView::OnFrameClose, this);
    CreateFilterBar();

    SetUpPreview();
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
            const wxString text =
                Utf8ToWx(ValidUtf8(model.CellText(static_cast<std::size_t>(row), i)));
            if (!text.empty()) contents = std::max(contents, list->GetTextExtent(text).x);
        }
        contents += kCellMargin + (i == 0 ? kImageWidth : 0);
        list->SetColumnWidth(i, wxLIST_AUTOSIZE_USEHEADER);
        const int heading = list->GetColumnWidth(i);
        list->SetColumnWidth(i, std::max(std::max(contents, heading), 10));
        if (i == 0) m_nPathWidth = list->GetColumnWidth(0);
    }
    list->Thaw();
    FitPathColumn();
}

void CGeminexView::FitPathColumn() {
    CKvListCtrl* list = GetListCtrl();
    if (list == nullptr || list->GetColumnCount() == 0) return;
    int others = 0;
    for (int i = 1; i < list->GetColumnCount(); ++i) others += list->GetColumnWidth(i);
    const int width = std::max(m_nPathWidth, list->GetClientSize().x - others);
    if (width > 0 && width != list->GetColumnWidth(0)) list->SetColumnWidth(0, width);
}

void CGeminexView::SaveWindowPlace() const {
    wxWindow* frame = GetFrame();
    const CKvListCtrl* list = GetListCtrl();
    if (frame == nullptr || list == nullptr) return;
    auto* top = wxDynamicCast(frame, wxTopLevelWindow);
    const bool maximized = top != nullptr && top->IsMaximized();
    // A maximised window keeps the place it comes back to.
    if (!maximized && !(top != nullptr && top->IsIconized())) {
        // The size inside the window's frame: the outer size counts the window manager's
        // frame, which the toolkit does not know yet when the next start sets it, so a kept
        // outer size grew by that frame at every start.
        const wxPoint place = frame->GetPosition();
        const wxSize inside = frame->GetClientSize();
        m_settings.WriteProfileInt(kWindow, "Left", place.x);
        m_settings.WriteProfileInt(kWindow, "Top", place.y);
        m_settings.WriteProfileInt(kWindow, "Client Width", inside.x);
        m_settings.WriteProfileInt(kWindow, "Client Height", inside.y);
    }
    m_settings.WriteProfileInt(kWindow, "Maximized", maximized ? 1 : 0);
    std::vector<int> widths;
    for (int i = 0; i < list->GetColumnCount(); ++i)
        widths.push_back(i == 0 ? m_nPathWidth : list->GetColumnWidth(i));
    m_settings.WriteProfileString(kWindow, "Column Widths", WidthsText(widths));
}

void CGeminexView::SizeFirstWindow() {
    wxWindow* frame = GetFrame();
    CKvListCtrl* list = GetListCtrl();
    if (frame == nullptr || list == nullptr) return;
    int columns = kImageWidth + kCellMargin + list->GetCharWidth() * kFirstPathCharacters;
    for (int i = 1; i < list->GetColumnCount(); ++i) {
        // The heading's text, not the column's width: the native list of Windows makes its
        // last column as wide as the room left when it is sized by its heading.
        wxListItem heading;
        heading.SetMask(wxLIST_MASK_TEXT);
        list->GetColumn(i, heading);
        int widest = list->GetTextExtent(heading.GetText()).x + kCellMargin;
        for (const std::string& text : WidestCellTexts(i))
            widest = std::max(widest, list->GetTextExtent(Utf8ToWx(text)).x + kCellMargin);
        columns += widest;
    }
    // Around the columns: the list's border and vertical scroll bar, the frame's edges.
    const int around = frame->GetSize().x - frame->GetClientSize().x + 8 +
                       wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, list);
    const int display = wxDisplay::GetFromWindow(frame);
    const wxRect screen =
        wxDisplay(static_cast<unsigned>(display != wxNOT_FOUND ? display : 0)).GetClientArea();
    const int height = std::max(520, screen.height * kFirstHeightPercent / 100);
    frame->SetSize(FirstWindowPlace(wxSize(columns + around, height), screen));
}

wxRect FirstWindowPlace(const wxSize& wanted, const wxRect& screen) {
    const wxSize size(std::min(wanted.x, screen.width), std::min(wanted.y, screen.height));
    return wxRect(screen.x + (screen.width - size.x) / 2, screen.y + (screen.height - size.y) / 2,
                  size.x, size.y);
}

void CGeminexView::RestoreWindowPlace() {
    wxWindow* frame = GetFrame();
    CKvListCtrl* list = GetListCtrl();
    if (frame == nullptr || list == nullptr) return;
    // The size inside the frame; settings of earlier versions kept the outer size.
    const bool inside = m_settings.HasEntry(kWindow, "Client Width");
    const wxRect place(m_settings.GetProfileInt(kWindow, "Left", 0),
                       m_settings.GetProfileInt(kWindow, "Top", 0),
                       m_settings.GetProfileInt(kWindow, inside ? "Client Width" : "Width", 0),
                       m_settings.GetProfileInt(kWindow, inside ? "Client Height" : "Height", 0));
    // A place on no screen any more (a screen was taken away) is not taken.
    const wxPoint middle(place.x + place.width / 2, place.y + place.height / 2);
    if (place.width >= 200 && place.height >= 150 &&
        wxDisplay::GetFromPoint(middle) != wxNOT_FOUND) {
        frame->Move(place.GetPosition());
        if (inside) frame->SetClientSize(place.GetSize());
        else frame->SetSize(place.GetSize());
    } else {
        SizeFirstWindow();
    }
    auto* top = wxDynamicCast(frame, wxTopLevelWindow);
    if (top != nullptr && m_settings.GetProfileInt(kWindow, "Maximized", 0) != 0)
        top->Maximize(true);
    const std::vector<int> widths =
        ParseWidths(m_settings.GetProfileString(kWindow, "Column Widths"));
    for (std::size_t i = 0; i < widths.size() && i < static_cast<std::size_t>(list->GetColumnCount());
         ++i) {
        const int width = std::max(widths[i], 10);
        list->SetColumnWidth(static_cast<int>(i), width);
        if (i == 0) m_nPathWidth = width;
    }
}

void CGeminexView::OnUpdateLaterCommand(wxUpdateUIEvent& event) { event.Enable(false); }

void CGeminexView::OnUpdateNeedRows(wxUpdateUIEvent& event) {
    event.Enable(ShownRowCount() > 0);
}

// Export and printing read the rows that a running search or delete is changing: refused then.
void CGeminexView::OnUpdateExportOrPrint(wxUpdateUIEvent& event) {
    event.Enable(ShownRowCount() > 0 && !m_bBusy);
}

const ResultsModel& CGeminexView::RowsToExport() {
    // With a filter on, the rows shown: a copy of them, kept until the next export (the print
    // preview reads it while it is open).
    if (ShownRowCount() >= GetModel().RowCount()) return GetModel();
    m_shownCopy = CopyOfFirstRows(GetModel(), ShownRowCount());
    return *m_shownCopy;
}

void CGeminexView::OnFileSaveAs(wxCommandEvent&) {
    if (ShownRowCount() == 0 || m_bBusy) return;
    SaveRowsAsCsv(RowsToExport(), m_strLastSaveFile, GetFrame(), m_saveAsDialog);
}

void CGeminexView::OnExportWorkbook(wxCommandEvent&) {
    if (ShownRowCount() == 0 || m_bBusy || !WorkbookWriter::Available()) return;
    SaveRowsAsWorkbook(RowsToExport(), m_strLastWorkbookFile, GetFrame(), m_saveAsDialog);
}

void CGeminexView::OnFilePrint(wxCommandEvent&) {
    if (ShownRowCount() == 0 || m_bBusy) return;
    PrintRows(RowsToExport(), GetDocumentManager()->GetPageSetupDialogData(), GetFrame());
}

void CGeminexView::OnFilePrintPreview(wxCommandEvent&) {
    if (ShownRowCount() == 0 || m_bBusy) return;
    PreviewRows(RowsToExport(), GetDocumentManager()->GetPageSetupDialogData(), GetFrame());
}

void CGeminexView::OnClearCache(wxCommandEvent&) {
    // A search that runs holds it open: it is emptied when no work is under way.
    if (m_bBusy) return;
    const std::string path = FingerprintCache::DefaultPath();
    std::string why;
    if (path.empty())
        ShowFilesMessage(FormatCacheNotCleared("", LoadStringText(IDS_CACHE_NO_FOLDER)), GetFrame());
    else if (!FingerprintCache::Clear(path, &why))
        ShowFilesMessage(FormatCacheNotCleared(path, why), GetFrame());
    else
        ShowMessageBox(GetFrame(), Utf8ToWx(FormatCacheCleared(path)), wxOK | wxICON_INFORMATION);
}

void CGeminexView::OnFilePrintSetup(wxCommandEvent&) {
    RunPrintSetup(GetDocumentManager()->GetPageSetupDialogData(), GetFrame(), m_pageSetupDialog);
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
    event.Enable(ShownRowCount() > 0);
}

// ---- The search ----

void CGeminexView::OnFindDuplicates(wxCommandEvent& /*event*/) { FindDuplicates(); }

bool CGeminexView::FindDuplicates(const std::vector<std::string>* startPaths) {
    if (m_bBusy) return false;
    SearchOptions options = GetSearchOptions();
    if (startPaths != nullptr) options.paths = *startPaths;
    wxWindow* parent = GetFrame() != nullptr ? GetFrame() : GetListCtrl();
    KeepSettings keep = m_keep;
    if (!RunSearchOptionsSheet(parent, options, keep)) return false;
    // Only the keep rules changed while rows are listed: they are ordered anew, no search.
    if (keep != m_keep && GetModel().RowCount() > 0 && SameSearch(options, GetSearchOptions())) {
        SetKeepSettings(keep);
        return false;
    }
    m_keep = keep;
    options.keep = m_keep.Policy();
    return StartSearch(options);
}

void CGeminexView::SetKeepSettings(const KeepSettings& keep) {
    m_keep = keep;
    if (m_bBusy) return;  // the running work's rows are ordered by the rules it began with
    ListedResults& listed = Listed();
    listed.policy = m_keep.Policy();
    if (GetModel().RowCount() == 0) return;
    if (CKvListCtrl* list = GetListCtrl()) list->ClearSelection(true);
    listed.found.Reapply(listed.policy, GetModel());
    ArrangeListed();
    AutoSizeColumns(-1);
    UpdateStatusText();
}

// What a search on the worker owns: shared with the report back, which may outlive the view.
struct CGeminexView::SearchJob {
    SearchOptions options;
    ContentReader reader;
    int readers = 0;
    std::int64_t cacheSize = 0;  // 0: no cache
    int fromCache = 0;
    std::shared_ptr<WorkProgress> progress;
    std::unique_ptr<SkippedPlaces> skipped;
    std::unique_ptr<ResultsModel> model = std::make_unique<ResultsModel>();
    FoundOrder found;
    std::vector<FolderSeen> foldersSeen;
    std::int64_t filesSeen = 0, filesLeftOut = 0;
    bool partial = false;
    DuplicateSearch::Outcome outcome = DuplicateSearch::kCancelledWhileScanning;
    IgnoreList ignored;     // the groups to leave out
    std::size_t leftOut = 0;  // groups left out for it
};

std::shared_ptr<WorkProgress> CGeminexView::BeginWork(std::int64_t total) {
    m_bBusy = true;
    m_bCloseAfterWork = false;
    new CProgressDialog(&m_pProgressDlg, total, GetListCtrl(), m_watcher);
    m_progress = m_pProgressDlg->Progress();
    m_progress->SetProbe(m_probe);
    return m_progress;
}

bool CGeminexView::StartSearch(const SearchOptions& options) {
    if (m_bBusy) return false;
    auto job = std::make_shared<SearchJob>();
    job->progress = BeginWork(1000);
    job->options = options;
    job->reader = m_reader ? m_reader : DiskContentReader();
    job->readers = m_nReaders;
    job->cacheSize = std::int64_t{m_nCacheSizeMb} << 20;
    m_nFromCache = 0;
    m_nFilesSeen = -1;
    m_bPartial = false;
    job->skipped = std::make_unique<SkippedPlaces>(job->progress.get());
    job->ignored = m_ignore;
    SetModel(nullptr);
    m_actions.NewSearch();
    m_bShareCan = false;
    // The last search's summary does not stand over the empty list of this one.
    if (auto* frame = dynamic_cast<CFrameStatus*>(GetFrame())) {
        frame->SetIdleText(wxString());
        frame->SetTitleNote(wxString());
        frame->OnSetMessageString(IDS_IDLE_MESSAGE);
    }
    SetSearchOptions(options);
    // The date printed at the foot of the list's pages.
    platform::FileTime now = 0;
    if (platform::SystemTimeToFileTime(platform::GetLocalTime(), &now))
        job->model->SetSearchTime(now);
    StartWork([job] {
        DuplicateSearch search(job->skipped.get());
        search.m_read = job->reader;
        search.m_readers = job->readers;
        // What earlier searches read; one that cannot be used is named with what was passed
        // over, and the search goes on.
        FingerprintCache cache;
        const std::string cachePath = FingerprintCache::DefaultPath();
        if (job->cacheSize > 0) {
            OpenSearchCache(cache, cachePath, job->cacheSize, job->skipped.get());
            search.m_cache = &cache;
        }
        // The rows as found are remembered, so that other rules can order them later.
        SearchOptions asFound = job->options;
        asFound.keep = KeepPolicy();
        job->outcome = search.Run(asFound, *job->model);
        FlushSearchCache(cache, cachePath, job->skipped.get());
        job->fromCache = search.GroupsFromCache();
        job->foldersSeen = search.FoldersSeen();
        job->filesSeen = search.FilesSeen();
        job->filesLeftOut = search.FilesLeftOut();
        job->partial = search.Partial();
        if (job->outcome == DuplicateSearch::kFinished) {
            job->leftOut = job->ignored.FilterResults(*job->model);
            job->found.Remember(*job->model);
            ApplyKeepPolicy(job->options.keep, *job->model);
        }
    }, [this, job] { SearchDone(*job); });
    return true;
}

void CGeminexView::StartWork(std::function<void()> work, std::function<void()> done) {
    const unsigned id = ++m_nWork;
    m_worker = std::thread([this, work = std::move(work), done = std::move(done), id] {
        work();
        // The last the worker does: the window's thread takes it from here.
        CallAfter([this, done, id] {
            if (id != m_nWork || !m_bBusy) return;  // given up when the window closed
            JoinWorker();
            if (m_pProgressDlg != nullptr) m_pProgressDlg->DestroyWindow();
            done();
        });
    });
}

void CGeminexView::SearchDone(SearchJob& job) {
    m_lastOutcome = job.outcome;
    if (job.outcome == DuplicateSearch::kFinished) {
        ListedResults& listed = Listed();
        listed.found = std::move(job.found);
        listed.policy = job.options.keep;
        listed.startPaths = job.options.paths;
        listed.foldersSeen = std::move(job.foldersSeen);
        ++listed.number;
        m_nFromCache = job.fromCache;
        m_nFilesSeen = job.filesSeen;
        m_nFilesLeftOut = job.filesLeftOut;
        m_bPartial = job.partial;
        m_nIgnoredLeftOut = static_cast<int>(job.leftOut);
        SetModel(std::move(job.model));
        ArrangeListed();
        AutoSizeColumns(-1);
        UpdateStatusText();
        FocusList(0);
        // What was passed over, under the rows found; not for a window on its way to close.
        if (job.skipped->Count() > 0 && !m_bCloseAfterWork)
            ShowFilesMessage(job.skipped->Message(), GetFrame());
    }
    EndBusy();
}

void CGeminexView::JoinWorker() {
    if (m_worker.joinable()) m_worker.join();
}

void CGeminexView::EndBusy() {
    m_bBusy = false;
    m_progress.reset();
    if (m_bFilterDue) SetFilterText(m_shown.Text());
    if (m_bCloseAfterWork) {
        m_bCloseAfterWork = false;
        if (wxWindow* frame = GetFrame()) frame->GetEventHandler()->CallAfter([frame] {
            frame->Close();
        });
    }
}

void CGeminexView::UpdateStatusText() {
    auto* frame = dynamic_cast<CFrameStatus*>(GetFrame());
    if (frame == nullptr) return;
    const ResultsModel& model = GetModel();
    std::vector<std::string> parts;
    // One stopped says its list is not the whole answer (in the title too, which stays in
    // sight); one that found nothing says what it looked at.
    const std::string partial = m_bPartial ? LoadStringText(IDS_SEARCH_CANCELLED_PARTIAL) : "";
    frame->SetTitleNote(Utf8ToWx(partial));
    parts.push_back(partial);
    parts.push_back(HeadlineText(model));
    if (model.RowCount() == 0 && m_nFilesSeen >= 0 && m_actions.LastActionText().empty())
        parts.back() = FormatSearchFoundNone(m_nFilesSeen, m_nFilesLeftOut);
    if (m_nFromCache > 0) parts.push_back(FormatGroupsFromCache(m_nFromCache));
    if (m_nIgnoredLeftOut > 0) {
        const std::string ignored = FormatIgnoreLeftOut(m_nIgnoredLeftOut);
        parts.push_back(ignored.substr(ignored.find_first_not_of(' ')));
    }
    // What the last action or undo did stays in view until the next search.
    parts.push_back(m_actions.LastActionText());
    std::string text;
    for (const std::string& part : parts)
        if (!part.empty()) text += (text.empty() ? "" : "  ") + part;
    // The filter's count, while one is on.
    const std::string note = ReviewNote(false);
    text += text.empty() && note.size() >= 2 ? note.substr(2) : note;
    frame->SetIdleText(Utf8ToWx(text));
    frame->OnSetMessageString(IDS_IDLE_MESSAGE);
}

void CGeminexView::UpdateSelectionText() {
    m_bSelectionTextDue = false;
    UpdateShareState();
    CKvListCtrl* list = GetListCtrl();
    auto* frame = dynamic_cast<CFrameStatus*>(GetFrame());
    if (list == nullptr || frame == nullptr) return;
    if (list->GetSelectedItemCount() == 0 || m_bBusy) {
        UpdateStatusText();
        return;
    }
    const SelectionTotal total = TotalOfSelection(GetModel(), list->GetSelectedRows());
    frame->SetIdleText(Utf8ToWx(SelectionFreesText(total) + ReviewNote(true)));
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
    if (list == nullptr || ShownRowCount() == 0) return;
    wxBusyCursor wait;
    // The first rows lose selection and focus; every other row is selected, except the files
    // in protected folders. With a filter on, only in the groups shown.
    std::vector<std::size_t> rows = GetModel().DuplicateRows();
    const std::size_t shown = ShownRowCount();
    rows.erase(std::remove_if(rows.begin(), rows.end(), [shown](std::size_t row) { return row >= shown; }),
               rows.end());
    // A group the keep rules could not tell apart keeps a copy only because it was found
    // first: its duplicates are chosen only when the user says so, once for all such groups.
    std::size_t tied = 0;
    const std::vector<std::size_t> untied = WithoutTiedGroups(GetModel(), rows, &tied);
    if (tied > 0 && ShowMessageBox(GetFrame(), Utf8ToWx(FormatTiedGroupsQuestion(static_cast<int>(tied))),
                                   wxYES_NO | wxNO_DEFAULT | wxICON_QUESTION) != wxID_YES) {
        rows = untied;
        if (auto* frame = dynamic_cast<CFrameStatus*>(GetFrame())) {
            frame->SetIdleText(Utf8ToWx(FormatTiedGroupsLeft(static_cast<int>(tied))));
            frame->OnSetMessageString(IDS_IDLE_MESSAGE);
        }
    }
    list->ClearSelection(true);
    list->SelectRows(rows);
}

void CGeminexView::OnSelectAllDuplicates(wxCommandEvent& /*event*/) { SelectAllDuplicates(); }

void CGeminexView::OnDeleteFiles(wxCommandEvent& /*event*/) { DeleteFiles(m_shiftDown && m_shiftDown()); }

bool CGeminexView::DeleteFiles(bool forGood) {
    if (m_bBusy || GetListCtrl() == nullptr) return false;
    const std::vector<std::size_t> rows = SelectedRows();
    if (rows.empty()) return false;
    const ActionRunner::Setup setup = ActionSetup();
    // The question counts the files the plan would remove, not the rows chosen.
    if (forGood &&
        !AskDeleteForGood(GetFrame(), ActionRunner::Plan(GetModel(), rows, DuplicateActionKind::kDelete,
                                                         std::string(), setup)
                                          .Goes()))
        return false;
    RunAction(m_actions.Delete(GetModel(), rows, forGood, setup));
    return true;
}

ActionRunner::Setup CGeminexView::ActionSetup() const {
    ActionRunner::Setup setup;
    setup.protectedFolders = m_keep.protectedFolders;
    // A move keeps the path below the start paths of the search that listed the rows (a
    // reopened result's own).
    setup.startPaths = Listed().startPaths.empty() ? m_paths : Listed().startPaths;
    setup.linkAnyOwner = m_keep.linkAnyOwner;
    setup.removeEmptiedFolders = m_keep.removeEmptiedFolders;
    return setup;
}

std::vector<std::size_t> CGeminexView::SelectedRows() const {
    CKvListCtrl* list = GetListCtrl();
    return list != nullptr ? list->GetSelectedRows() : std::vector<std::size_t>();
}

void CGeminexView::RunAction(std::shared_ptr<ActionRunner::Job> job) {
    std::shared_ptr<WorkProgress> progress = BeginWork(m_actions.Total(*job));
    StartWork([job, progress] { ActionRunner::Run(*job, progress.get()); },
              [this, job] { ActionDone(*job); });
}

void CGeminexView::ActionDone(ActionRunner::Job& job) {
    const ActionRunner::Report report = m_actions.Finish(job, Listed(), [this] {
        if (CKvListCtrl* list = GetListCtrl()) list->ClearSelection(true);
    });
    // Rows that went or came back change which groups the filter shows.
    const long selectRow = report.rowsChanged ? RefilterRows(report.selectRow) : report.selectRow;
    UpdateStatusText();
    if (selectRow >= 0) SelectRow(selectRow);
    // Named while the view is still busy: a close asked for meanwhile waits for the answer.
    for (const std::string& message : report.messages) ShowFilesMessage(message, GetFrame());
    EndBusy();
}

void CGeminexView::FocusList(long row) {
    CKvListCtrl* list = GetListCtrl();
    if (list == nullptr) return;
    list->SetFocus();
    if (row >= 0 && row < list->GetItemCount()) {
        list->SetItemState(row, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
        list->EnsureRowVisible(row);
    }
}

void CGeminexView::SelectRow(long row) {
    CKvListCtrl* list = GetListCtrl();
    if (list == nullptr || row < 0 || row >= list->GetItemCount()) return;
    list->SetItemState(row, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                       wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    list->EnsureRowVisible(row);
    list->SetFocus();
}

// ---- Undo, step by step, of moves to the trash, replacements and moves ----

void CGeminexView::OnUndoDelete(wxCommandEvent& /*event*/) { UndoDelete(); }

void CGeminexView::OnUpdateUndoDelete(wxUpdateUIEvent& event) {
    event.Enable(CanUndoDelete());
    // The item says what it takes back: the newest step of the stack.
    const std::string step = m_actions.UndoMenuText();
    const wxString text = step.empty() ? LoadWxString(IDS_MENU_UNDO_DELETE)
                                       : Utf8ToWx(step) + "\tCtrl+Z";
    event.SetText(text);
}

bool CGeminexView::UndoDelete() {
    if (!CanUndoDelete() || GetListCtrl() == nullptr) return false;
    RunAction(m_actions.Undo());
    return true;
}

// ---- Replacement by hard links or shared data, move into a folder ----

void CGeminexView::OnReplaceHardLink(wxCommandEvent&) { ReplaceSelected(DuplicateActionKind::kHardLink); }
void CGeminexView::OnShareData(wxCommandEvent&) { ReplaceSelected(DuplicateActionKind::kShareData); }
void CGeminexView::OnMoveTo(wxCommandEvent&) { MoveSelected(); }

void CGeminexView::OnUpdateAction(wxUpdateUIEvent& event) {
    const CKvListCtrl* list = GetListCtrl();
    bool enable = !m_bBusy && list != nullptr && list->GetSelectedItemCount() > 0;
    if (event.GetId() == WxId(cmd::ID_SHARE_DATA)) {
        enable = enable && m_bShareCan;
        // Why it cannot, where the item's hover text goes (the status bar).
        if (wxFrame* frame = wxDynamicCast(GetFrame(), wxFrame)) {
            if (wxMenuBar* bar = frame->GetMenuBar()) {
                if (wxMenuItem* item = bar->FindItem(event.GetId())) {
                    const bool selected = list != nullptr && list->GetSelectedItemCount() > 0;
                    const wxString help = selected && !m_bShareCan
                                              ? LoadWxString(IDS_SHARE_NOT_SUPPORTED)
                                              : LoadWxPrompt(cmd::ID_SHARE_DATA);
                    if (item->GetHelp() != help) item->SetHelp(help);
                }
            }
        }
        // A disabled item shows no hover text on every desktop: its label says why too.
        const bool selected = list != nullptr && list->GetSelectedItemCount() > 0;
        event.SetText(LoadWxString(selected && !m_bShareCan ? IDS_MENU_SHARE_DATA_CANNOT
                                                            : IDS_MENU_SHARE_DATA));
    }
    event.Enable(enable);
}

void CGeminexView::UpdateShareState() {
    m_bShareCan = m_actions.CanShare(GetModel(), SelectedRows(), ActionSetup());
}

void CGeminexView::OnFolderView(wxCommandEvent&) { ShowDuplicateFolders(); }

bool CGeminexView::ShowDuplicateFolders() {
    if (m_bBusy || GetListCtrl() == nullptr) return false;
    const ListedResults& listed = Listed();
    if (listed.foldersSeen.empty() && GetModel().RowCount() > 0) {
        ShowMessageBox(GetFrame(), LoadWxString(IDS_FOLDER_NEEDS_SEARCH), wxOK | wxICON_INFORMATION);
        return false;
    }
    const auto find = [this](bool ignoreNames) {
        return FindFolderGroups(GetModel(), Listed().foldersSeen, ignoreNames);
    };
    std::vector<std::string> folders;
    DuplicateActionKind kind = DuplicateActionKind::kTrash;
    bool chosen = false;
    if (m_chooseFolders) {
        chosen = m_chooseFolders(find, &folders, &kind);
    } else {
        CFolderDialog dialog(GetFrame(), find, m_bFolderIgnoreNames,
                             [this](const std::string& folder) { m_launcher->Explore(folder, folder); });
        chosen = dialog.ShowModal() == wxID_OK;
        m_bFolderIgnoreNames = dialog.IgnoreNames();
        folders = dialog.ChosenFolders();
        kind = dialog.ChosenAction();
    }
    if (!chosen || folders.empty()) return false;
    std::string moveFolder;
    if (kind == DuplicateActionKind::kMove) {
        moveFolder = m_chooseMoveFolder ? m_chooseMoveFolder() : std::string();
        if (moveFolder.empty()) return false;
    }
    std::string question, refusal;
    std::shared_ptr<ActionRunner::Job> job = m_actions.ActOnFolders(
        GetModel(), folders, kind, moveFolder, ActionSetup(), &question, &refusal);
    if (!refusal.empty()) ShowFilesMessage(refusal, GetFrame());
    if (!job) return false;
    if (m_askAction && !m_askAction(question)) return false;
    RunAction(job);
    return true;
}

bool CGeminexView::MoveSelected() {
    if (m_bBusy ||
        ActionRunner::ActionRows(GetModel(), SelectedRows(), DuplicateActionKind::kMove, ActionSetup())
            .empty())
        return false;
    const std::string folder = m_chooseMoveFolder ? m_chooseMoveFolder() : std::string();
    if (folder.empty()) return false;
    return ReplaceSelected(DuplicateActionKind::kMove, folder);
}

bool CGeminexView::ReplaceSelected(DuplicateActionKind kind, const std::string& folder) {
    if (m_bBusy || GetListCtrl() == nullptr) return false;
    std::string question, refusal;
    std::shared_ptr<ActionRunner::Job> job =
        m_actions.Act(GetModel(), SelectedRows(), kind, folder, ActionSetup(), &question, &refusal);
    if (!refusal.empty()) ShowFilesMessage(refusal, GetFrame());
    if (!job) return false;
    if (m_shown.Active()) question += "\n\n" + FormatFilterOn(static_cast<int>(m_shown.ShownGroupCount()));
    if (m_askAction && !m_askAction(question)) return false;
    RunAction(std::move(job));
    return true;
}
