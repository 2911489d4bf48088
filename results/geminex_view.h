// CGeminexView: the one view of the program; its window is the report list of the results
// (CKvListViewView), with the five column headings and the group pictures.
//
// It holds the search settings (read at construction, written at destruction), runs the search
// (Find duplicates: the options sheet, then the search under the progress dialog), and carries
// the file commands: open, explore, properties, select all duplicates and delete. The list's own
// commands are enabled while the list has rows. The rows are the document's (ListedResults);
// what an action does to them, and its undo, is the ActionRunner's: the view asks the
// questions, runs the work on its worker and shows what came back.
//
// The search and the delete run on a worker thread; the window's thread only shows (the
// progress dialog reads the work's counts on a timer) and takes the results and messages when
// the worker hands them back (CallAfter). The window stays responsive meanwhile. While a search
// or a delete runs (IsBusy), every command that would start a search, remove rows, export or
// print is disabled and refused by its handler; closing the frame stops the work and closes
// once it has stopped (a close that may not be refused waits for the worker right there).
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <wx/splitter.h>
#include <wx/weakref.h>

#include "engine/actions/action_kinds.h"
#include "engine/search/duplicate_search.h"
#include "engine/results/folder_groups.h"
#include "engine/results/group_order.h"
#include "engine/results/shown_groups.h"
#include "engine/results/found_order.h"
#include "engine/results/keep_settings.h"
#include "engine/store/ignore_list.h"
#include "results/action_runner.h"
#include "results/csv_export.h"
#include "results/kv_list_view_view.h"
#include "results/list_printout.h"
#include "results/preview_pane.h"
#include "results/progress_dialog.h"
#include "results/work_progress.h"

class CFileLauncher;
class CSettingsStore;
class wxPanel;
class wxStaticText;
class wxTextCtrl;
class wxTimer;

class CGeminexView : public CKvListViewView {
public:
    // `settings` is where the search settings are read and written; it must outlive the view.
    explicit CGeminexView(CSettingsStore& settings);
    ~CGeminexView() override;

    // Creates the list in the main frame, inserts the columns and activates the view.
    bool OnCreate(wxDocument* doc, long flags) override;
    // The frame's title never shows the document name (CMainFrame keeps the application title).
    void OnChangeFilename() override;

    // Sizes column `column` (every column when negative) to the larger of its contents and its
    // heading, at least 10 pixels.
    void AutoSizeColumns(int column);
    // The path column widened to take the room the other columns leave in the list (never
    // narrower than its own width: the measured one, or the one the user dragged it to).
    void FitPathColumn();
    // The main window's place, size and maximised state and the column widths: written when
    // the view closes (section "Window"), taken when it is created.
    void SaveWindowPlace() const;
    void RestoreWindowPlace();
    // With no place kept: wide enough for every column as a search fills it beside a path of
    // some length, most of the screen high, centred, within the screen.
    void SizeFirstWindow();

    // Settings: "Settings" Drives, File Mask, Last save file, Last workbook file; "Options" Reverse Filters, the four
    // 8-byte limits, Skip Files Mask, Ignore Attributes. Read by the constructor (an empty
    // Drives becomes the local disks' roots), written by the destructor.
    void LoadSettings();
    void SaveSettings() const;
    // The search settings as one set of options, and back.
    SearchOptions GetSearchOptions() const;
    void SetSearchOptions(const SearchOptions& options);
    const std::string& GetLastSaveFile() const { return m_strLastSaveFile; }
    void SetLastSaveFile(const std::string& path) { m_strLastSaveFile = path; }
    const std::string& GetLastWorkbookFile() const { return m_strLastWorkbookFile; }

    // Find duplicates: the options sheet over the settings (with `startPaths` instead of the
    // stored start paths when given), and on OK the search. False when nothing was searched.
    bool FindDuplicates(const std::vector<std::string>* startPaths = nullptr);
    // Starts the search itself under the progress dialog: the list is emptied, the settings
    // become `options`, and the search runs on the worker. When it is over, the rows found are
    // shown with their summary in the status bar, and the places passed over are named. The
    // last summary goes when the search starts; one cancelled while scanning lists nothing.
    // False (nothing started) while other work runs.
    bool StartSearch(const SearchOptions& options);
    // How the last search ended (valid once it is no longer busy).
    DuplicateSearch::Outcome LastOutcome() const { return m_lastOutcome; }
    // The summary of the listed duplicates into the main frame's idle text, shown at once.
    void UpdateStatusText();

    // The keep rules as stored and edited on the options sheet ("Keep Rules" in the settings).
    const KeepSettings& GetKeepSettings() const { return m_keep; }
    // New rules: stored, and the listed groups ordered by them at once without a new search
    // (the files' places as found break the ties).
    void SetKeepSettings(const KeepSettings& keep);
    // What the listed rows were last ordered by.
    const KeepPolicy& ListedPolicy() const { return Listed().policy; }

    // Undo of the newest move to the trash, replacement or move into a folder not yet taken
    // back (each Ctrl+Z takes the next step of the stack): the files go back (on the worker), each only while it is as it was left, and their rows back
    // into their groups (a replaced row becomes a plain duplicate again); the files that
    // stayed are named. False when there is nothing to undo or other work runs.
    bool UndoDelete();
    bool CanUndoDelete() const { return !m_bBusy && m_actions.CanUndo(); }

    // Replaces the selected duplicates by hard links of their groups' kept copies, makes them
    // share the kept copies' data blocks, or moves them into `folder` below their start path's
    // name (DuplicateAction, the command line's checks): never a group's first row, never a
    // file in a protected folder, after the question with their number and size. On the
    // worker; when it is over, replaced rows stay and are marked, moved rows go, the status
    // bar gives what was done and the bytes the file systems freed, and the files left are
    // named. False when nothing was started.
    bool ReplaceSelected(DuplicateActionKind kind, const std::string& folder = std::string());
    // Move to...: the folder picker, then ReplaceSelected(kMove, folder).
    bool MoveSelected();
    // The duplicate folders of the last search (CFolderDialog, or the chooser set for tests),
    // and the action chosen there on the folders, whole, after its question. False when
    // nothing was started.
    bool ShowDuplicateFolders();
    // Replaceable for tests: the folder view; fills the folders to take and the action and
    // returns true, or false for none.
    using FolderChooser = std::function<bool(const std::function<FolderFindings(bool)>& find,
                                             std::vector<std::string>* folders,
                                             DuplicateActionKind* kind)>;
    void SetFolderChooser(FolderChooser choose) { m_chooseFolders = std::move(choose); }
    // Whether the file systems of the selected duplicates can share data blocks (asked once
    // per file system); with the reason when not.
    bool SelectionCanShare() const { return m_bShareCan; }
    // What the last action did, as the status bar shows it after the summary ("" after a new
    // search or an undo).
    const std::string& LastActionText() const { return m_actions.LastActionText(); }
    // Replaceable for tests: the question before an action (gets its text; true: go on) and
    // the folder picker of Move to ("": nothing chosen).
    void SetActionQuestion(std::function<bool(const std::string&)> ask) { m_askAction = std::move(ask); }
    void SetMoveFolderChooser(std::function<std::string()> choose) { m_chooseMoveFolder = std::move(choose); }
    // For tests: how a file is taken out of the trash (applies to the next delete's undo).
    void SetTrashRestorer(TrashUndo::Restorer restorer) { m_actions.SetTrashRestorer(std::move(restorer)); }
    // The status text: with rows selected, what deleting them would free; else the summary.
    void UpdateSelectionText();

    // Saved results (engine/store/saved_results.h): the listed rows written to `path`; false,
    // with the reason said, when they could not be.
    bool SaveResults(const std::string& path);
    // Opens the saved results at `path` on the worker: every file is looked at again, and one
    // gone, changed or replaced since is shown greyed with why, never selected or acted on. A
    // file that is not a whole document of a version this program reads is refused with the
    // reason, and the list stays as it was. False when nothing was started.
    bool OpenResults(const std::string& path);
    // Lists the files under `options`'s paths whose bytes the catalog at `catalogPath` holds,
    // with the catalog's entries heading their groups; such files can only be moved.
    bool CompareWithCatalog(const std::string& catalogPath, const SearchOptions& options);
    // For tests: the file dialog of the three commands above (gets whether it opens a file and
    // the filter text; returns the chosen path, "" for none).
    void SetResultsFileChooser(std::function<std::string(bool, const std::string&)> choose) {
        m_chooseResultsFile = std::move(choose);
    }

    // The preview pane beside the list (geminex_view_preview.cpp): shown or hidden (the
    // setting "Settings" Preview, with its width "Preview Width"), it follows the focused row.
    void ShowPreview(bool show);
    bool IsPreviewShown() const;
    CPreviewPane* GetPreviewPane() const { return m_preview; }
    wxSplitterWindow* GetSplitter() const { return m_splitter; }
    // The preview of the focused row, asked for when it is not the one shown.
    void UpdatePreview();
    // Writes whether the pane is shown and its width to the settings (done when the view
    // closes).
    void SavePreviewPlace() const;

    // The ignored groups (engine/store/ignore_list.h), read when the view is made: a search
    // leaves them out. IgnoreFocusedGroup adds the focused row's group and takes it out of the
    // list; false when there is none or work runs. ShowIgnoreList is 文件 → 忽略列表.
    bool IgnoreFocusedGroup();
    void ShowIgnoreList();
    IgnoreList& GetIgnoreList() { return m_ignore; }
    // Why the ignore list could not be read or saved ("" when it could).
    const std::string& IgnoreListProblem() const { return m_strIgnoreProblem; }
    // Reads the list from the folder beside the settings (again).
    void LoadIgnoreList();
    // Groups the last search left out because they are ignored.
    int IgnoredLeftOut() const { return m_nIgnoredLeftOut; }
    // For tests: the ignore list's dialog (gets the list and the problem text; the default
    // shows CIgnoreListDialog).
    void SetIgnoreListRunner(std::function<void(IgnoreList&, const std::string&)> run) {
        m_runIgnoreList = std::move(run);
    }

    // A search or a delete is running.
    bool IsBusy() const { return m_bBusy; }
    // The progress dialog of the running search or delete (nullptr when none).
    CProgressDialog* GetProgressDialog() const { return m_pProgressDlg; }

    // The file commands on the focused row (nothing without one).
    void OpenFile();
    void ExploreFolder();
    void FileProperties();
    // Selects every row that is not the first of its group (one pass, one repaint).
    void SelectAllDuplicates();
    // Deletes the files of the selected rows: to the trash, or for good after the question
    // 2206 when `forGood`. The delete runs on the worker; each file is checked first
    // (SafeDelete); when it is over, the files that stayed are named in one message and only
    // the rows of files that are gone are removed. False when nothing was started.
    bool DeleteFiles(bool forGood);
    // The number of files the last delete removed (valid once it is no longer busy).
    std::size_t LastRemovedCount() const { return m_actions.LastDoneCount(); }

    // Replaceable parts, for tests: the desktop launcher, the file remover (gets the paths and
    // whether to the trash; returns the paths still there; none: the checked handles remove
    // them), the Shift key, the runs of the Save as and page setup dialogs (csv_export.h,
    // list_printout.h; empty: the dialogs).
    void SetLauncher(std::unique_ptr<CFileLauncher> launcher);
    using FileDeleter = ActionRunner::FileDeleter;
    void SetFileDeleter(FileDeleter deleter) { m_actions.SetFileDeleter(std::move(deleter)); }
    void SetShiftDownHook(std::function<bool()> shiftDown) { m_shiftDown = std::move(shiftDown); }
    void SetSaveAsDialog(SaveAsDialogRunner run) { m_saveAsDialog = std::move(run); }
    void SetPageSetupDialog(PageSetupDialogRunner run) { m_pageSetupDialog = std::move(run); }
    // For tests, too: how the search reads files (empty: from the disk), a probe run on the
    // worker at every question to stop, and a watcher of the progress dialog's ticks. Each
    // applies to the work started after it is set.
    void SetContentReader(ContentReader reader) { m_reader = std::move(reader); }
    void SetWorkProbe(WorkProgress::Probe probe) { m_probe = std::move(probe); }
    void SetProgressWatcher(CProgressDialog::Watcher watcher) { m_watcher = std::move(watcher); }

    // ---- Marking, sorting and filtering (geminex_view_review.cpp) ----
    // A marking command of 编辑 → 标记 (cmd::ID_MARK_INVERT to ID_UNMARK_PROTECTED) on the rows
    // shown (RowMarking): the new selection set; the groups held back, and a filter that is
    // on, are said in the status bar (MarkNote). False when it could not run (no rows; a
    // folder command without a focused row; no mask given).
    bool Mark(int command);
    const std::string& MarkNote() const { return m_strMarkNote; }
    // For tests: the mask question of 按掩码选择 (returns the mask, "" for none).
    void SetMaskQuestion(std::function<std::string()> ask) { m_askMask = std::move(ask); }
    // The groups' sort: kept in the settings ("Window", "Sort") as soon as it changes, and
    // applied to every new listing (a search, opened results, new keep rules). SortBy is a
    // click on a heading or the 排序 menu (NextSort of the current); kNone goes back to the
    // keep rules' order. The selection stays on its files. False while work runs.
    const GroupSort& GetSort() const { return m_sort; }
    bool SortBy(SortKey key);
    bool SetSort(const GroupSort& sort);
    // The filter (the box above the list, ShownGroups): only the matching groups are shown and
    // acted on. A change while work runs waits for its end.
    void SetFilterText(const std::string& text);
    const ShownGroups& Shown() const { return m_shown; }
    std::size_t ShownRowCount() const;
    wxTextCtrl* GetFilterBox() const { return m_filterBox; }
    // "显示 N / M 组" while a filter is on, else "".
    std::string FilterCountText() const;

protected:
    long PreCreateWindow(long style) override;
    bool OnClose(bool deleteWindow) override;

private:
    void OnUpdateLaterCommand(wxUpdateUIEvent& event);
    void OnUpdateNeedRows(wxUpdateUIEvent& event);
    void OnUpdateExportOrPrint(wxUpdateUIEvent& event);
    // Save as (CSV), export as Excel workbook, print, print preview and print setup; the print
    // settings are the document manager's.
    void OnFileSaveAs(wxCommandEvent& event);
    void OnExportWorkbook(wxCommandEvent& event);
    void OnFilePrint(wxCommandEvent& event);
    void OnFilePrintPreview(wxCommandEvent& event);
    void OnFilePrintSetup(wxCommandEvent& event);
    // What export and printing write: the rows shown.
    const ResultsModel& RowsToExport();
    void OnClearCache(wxCommandEvent& event);
    void OnSaveResults(wxCommandEvent& event);
    void OnOpenResults(wxCommandEvent& event);
    void OnAgainstCatalog(wxCommandEvent& event);
    void OnFolderView(wxCommandEvent& event);
    void OnUpdateOpenResults(wxUpdateUIEvent& event);
    // The file dialog of saved results and catalogs ("" when nothing was chosen).
    std::string ChooseResultsFile(bool open, const std::string& filter);
    struct LoadJob;
    void LoadDone(LoadJob& job);
    void OnUpdateNeedSelection(wxUpdateUIEvent& event);
    void OnUpdateFindDuplicates(wxUpdateUIEvent& event);
    void OnUpdateSelectAllDuplicates(wxUpdateUIEvent& event);
    void OnFindDuplicates(wxCommandEvent& event);
    void OnOpenFile(wxCommandEvent& event);
    void OnExploreFolder(wxCommandEvent& event);
    void OnFileProperties(wxCommandEvent& event);
    void OnSelectAllDuplicates(wxCommandEvent& event);
    void OnDeleteFiles(wxCommandEvent& event);
    void OnUndoDelete(wxCommandEvent& event);
    void OnReplaceHardLink(wxCommandEvent& event);
    void OnShareData(wxCommandEvent& event);
    void OnMoveTo(wxCommandEvent& event);
    void OnUpdateAction(wxUpdateUIEvent& event);
    // What an action on the listed rows is given beside them, and the selected rows.
    ActionRunner::Setup ActionSetup() const;
    std::vector<std::size_t> SelectedRows() const;
    // Runs `job` on the worker under the progress dialog, then shows what came back.
    void RunAction(std::shared_ptr<ActionRunner::Job> job);
    void ActionDone(ActionRunner::Job& job);
    // m_bShareCan for the selected rows.
    void UpdateShareState();
    void OnUpdateUndoDelete(wxUpdateUIEvent& event);
    void OnViewPreview(wxCommandEvent& event);
    void OnUpdateViewPreview(wxUpdateUIEvent& event);
    void OnIgnoreGroup(wxCommandEvent& event);
    void OnUpdateIgnoreGroup(wxUpdateUIEvent& event);
    void OnIgnoreList(wxCommandEvent& event);
    // The splitter made around the list, the pane in it, as the settings say.
    void SetUpPreview();
    // The splitter and the pane go with the list.
    void DropPreview();
    void OnItemActivated(wxListEvent& event);
    void OnFrameClose(wxCloseEvent& event);
    const CFileRecord* FocusedRecord() const;
    // Open or Explore that the desktop could not do (a CFileLauncher::Failure): said, with the
    // folder offered instead of a file that nothing opens.
    void LaunchFailed(int failure, const std::string& path);
    // The list takes the keyboard focus, `row` (when there is one) the focus rectangle.
    void FocusList(long row);
    // `row` alone selected and focused, in view, the list with the keyboard focus.
    void SelectRow(long row);
    struct SearchJob;
    // The progress dialog of new work, its probe set; the view is busy from here on.
    std::shared_ptr<WorkProgress> BeginWork(std::int64_t total);
    // Runs `work` on the worker thread, then `done` on the window's thread, with the worker
    // joined and the progress dialog gone; not when the work was given up meanwhile.
    void StartWork(std::function<void()> work, std::function<void()> done);
    // On the window's thread once the worker is done.
    void SearchDone(SearchJob& job);
    // Waits for the worker to return (it has finished, or has been told to stop).
    void JoinWorker();
    void EndBusy();

    // Marking, sorting and filtering (geminex_view_review.cpp).
    void BindReviewCommands();
    void CreateFilterBar();
    void DestroyFilterBar();
    void OnMark(wxCommandEvent& event);
    void OnUpdateMark(wxUpdateUIEvent& event);
    void OnSortCommand(wxCommandEvent& event);
    void OnUpdateSort(wxUpdateUIEvent& event);
    void OnColumnClick(wxListEvent& event);
    // The rows were listed anew: sorted, remembered as the unfiltered order, filtered.
    void ArrangeListed();
    // The rows changed in place (an action, an undo): the filter applied again, the list told.
    // `row` (a row number from before, or -1) is mapped to where its file is now.
    long RefilterRows(long row);
    // Runs `rearrange` (which moves groups) with the selection kept on its files.
    void KeepingSelection(const std::function<void()>& rearrange);
    // The list told the rows shown, the count label and the sort arrow.
    void ShowArranged();
    // What the status bar says after the summary or (`selection`) the selection's total: the
    // groups held back, the filter.
    std::string ReviewNote(bool selection) const;
    GroupSort m_sort;
    ShownGroups m_shown;
    bool m_bFilterDue = false;   // the filter changed while work ran
    bool m_bMarking = false;     // a marking command is setting the selection
    std::string m_strMarkNote;
    std::string m_strLastMask;
    std::function<std::string()> m_askMask;
    wxPanel* m_filterBar = nullptr;
    wxTextCtrl* m_filterBox = nullptr;
    wxStaticText* m_filterCount = nullptr;
    wxTimer* m_filterPause = nullptr;  // owned by the filter bar (a child of it)
    std::unique_ptr<ResultsModel> m_shownCopy;  // what a filtered export or print reads

    // Settings.
    CSettingsStore& m_settings;
    std::string m_strLastSaveFile;
    std::string m_strLastWorkbookFile;
    std::string m_strFileMask;
    SearchFilter m_filter;
    std::vector<std::string> m_paths;  // start paths
    KeepSettings m_keep = KeepSettings::Defaults();

    // The actions on the listed rows and the undo of the last one.
    ActionRunner m_actions;
    bool m_bShareCan = false;
    std::function<bool(const std::string&)> m_askAction;
    std::function<std::string()> m_chooseMoveFolder;
    FolderChooser m_chooseFolders;
    bool m_bFolderIgnoreNames = true;  // the folder view's 忽略文件名
    bool m_bSelectionTextDue = false;

    int m_nPathWidth = 0;  // the path column's own width, before it fills the window
    int m_nReaders = 0;    // files read at once on every disk (settings only; 0: decided per disk)
    bool m_bVerifyCached = false;  // groups the cache answers for are compared all the same
    int m_nCacheSizeMb = 256;      // the cache's limit (settings only; 0: no cache)
    int m_nFromCache = 0;          // groups the last search listed from the cache
    // What the last search looked at, for a search that found nothing: the files its walk
    // listed and those the masks and filters left out (-1: the rows come from no search).
    std::int64_t m_nFilesSeen = -1;
    std::int64_t m_nFilesLeftOut = 0;
    bool m_bPartial = false;       // the last search was stopped while it compared
    int m_nIgnoredLeftOut = 0;     // groups the last search left out as ignored
    IgnoreList m_ignore;
    std::string m_strIgnoreProblem;
    std::function<void(IgnoreList&, const std::string&)> m_runIgnoreList;
    wxWeakRef<wxSplitterWindow> m_splitter;
    wxWeakRef<CPreviewPane> m_preview;
    int m_nPreviewWidth = 0;       // the pane's width when shown (0: a third of the window)
    const CFileRecord* m_previewRecord = nullptr;  // the row the pane was asked for
    std::string m_strPreviewPath;
    bool m_bBusy = false;
    std::thread m_worker;
    std::shared_ptr<WorkProgress> m_progress;  // of the running work
    unsigned m_nWork = 0;  // the running work's number: a result of work given up is dropped
    DuplicateSearch::Outcome m_lastOutcome = DuplicateSearch::kCancelledWhileScanning;
    bool m_bCloseAfterWork = false;  // the frame was asked to close while work ran
    wxWindow* m_closeBound = nullptr;  // the frame whose close this view watches
    CProgressDialog* m_pProgressDlg = nullptr;
    std::unique_ptr<CFileLauncher> m_launcher;
    std::function<bool()> m_shiftDown;
    SaveAsDialogRunner m_saveAsDialog;
    PageSetupDialogRunner m_pageSetupDialog;
    ContentReader m_reader;
    WorkProgress::Probe m_probe;
    CProgressDialog::Watcher m_watcher;
    std::function<std::string(bool, const std::string&)> m_chooseResultsFile;
    std::string m_strLastResultsFile;

    wxDECLARE_CLASS(CGeminexView);
    wxDECLARE_EVENT_TABLE();
};

// Where the first window goes: `wanted` cut to the screen's client area `screen`, centred on it.
wxRect FirstWindowPlace(const wxSize& wanted, const wxRect& screen);
