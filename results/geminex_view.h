// CGeminexView: the one view of the program; its window is the report list of the results
// (CKvListViewView), with the five column headings and the group pictures.
//
// It holds the search settings (read at construction, written at destruction), runs the search
// (Find duplicates: the options sheet, then the search under the progress dialog), and carries
// the file commands: open, explore, properties, select all duplicates and delete. The list's own
// commands are enabled while the list has rows.
//
// While a search or a delete runs (IsBusy), every command that would start a search, remove
// rows, export or print is disabled and refused by its handler, and the frame does not close
// (it closes once the work has stopped).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/duplicate_search.h"
#include "results/kv_list_view_view.h"

class CFileLauncher;
class CProgressDialog;

class CGeminexView : public CKvListViewView {
public:
    CGeminexView();
    ~CGeminexView() override;

    // Creates the list in the main frame, inserts the columns and activates the view.
    bool OnCreate(wxDocument* doc, long flags) override;
    // The frame's title never shows the document name (CMainFrame keeps the application title).
    void OnChangeFilename() override;

    // Sizes column `column` (every column when negative) to the larger of its contents and its
    // heading, at least 10 pixels.
    void AutoSizeColumns(int column);

    // Settings: "Settings" Drives, File Mask, Last save file; "Options" Reverse Filters, the four
    // 8-byte limits, Skip Files Mask, Ignore Attributes. Read by the constructor (an empty
    // Drives becomes the local disks' roots), written by the destructor.
    void LoadSettings();
    void SaveSettings() const;
    // The search settings as one set of options, and back.
    SearchOptions GetSearchOptions() const;
    void SetSearchOptions(const SearchOptions& options);
    const std::string& GetLastSaveFile() const { return m_strLastSaveFile; }
    void SetLastSaveFile(const std::string& path) { m_strLastSaveFile = path; }

    // Find duplicates: the options sheet over the settings (with `startPaths` instead of the
    // stored start paths when given), and on OK the search. False when nothing was searched.
    bool FindDuplicates(const std::string* startPaths = nullptr);
    // The search itself under the progress dialog: the list is emptied, the settings become
    // `options`, and the rows found are shown with their summary in the status bar. A search
    // cancelled while scanning leaves the list empty and the status text as it was.
    DuplicateSearch::Outcome RunSearch(const SearchOptions& options);
    // The summary of the listed duplicates into the main frame's idle text, shown at once.
    void UpdateStatusText();

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
    // 2206 when `forGood`. Each file is checked first (SafeDelete); the files that stayed are
    // named in one message; only the rows of files that are gone are removed. Returns the
    // number of files removed.
    std::size_t DeleteFiles(bool forGood);

    // Replaceable parts, for tests: the desktop launcher, the file remover (gets the paths and
    // whether to the trash; returns the paths still there; none: the checked handles remove
    // them), the Shift key, the options sheet.
    void SetLauncher(std::unique_ptr<CFileLauncher> launcher);
    using FileDeleter =
        std::function<std::vector<std::string>(const std::vector<std::string>&, bool toTrash)>;
    void SetFileDeleter(FileDeleter deleter) { m_deleter = std::move(deleter); }
    void SetShiftDownHook(std::function<bool()> shiftDown) { m_shiftDown = std::move(shiftDown); }
    using OptionsSheet = std::function<bool(wxWindow* parent, SearchOptions& options)>;
    void SetOptionsSheet(OptionsSheet sheet) { m_optionsSheet = std::move(sheet); }

protected:
    long PreCreateWindow(long style) override;
    bool OnClose(bool deleteWindow) override;

private:
    void OnUpdateLaterCommand(wxUpdateUIEvent& event);
    void OnUpdateNeedRows(wxUpdateUIEvent& event);
    void OnUpdateExportOrPrint(wxUpdateUIEvent& event);
    // Save as (CSV), print and print setup; the print settings are the document manager's.
    void OnFileSaveAs(wxCommandEvent& event);
    void OnFilePrint(wxCommandEvent& event);
    void OnFilePrintSetup(wxCommandEvent& event);
    void OnUpdateNeedSelection(wxUpdateUIEvent& event);
    void OnUpdateFindDuplicates(wxUpdateUIEvent& event);
    void OnUpdateSelectAllDuplicates(wxUpdateUIEvent& event);
    void OnFindDuplicates(wxCommandEvent& event);
    void OnOpenFile(wxCommandEvent& event);
    void OnExploreFolder(wxCommandEvent& event);
    void OnFileProperties(wxCommandEvent& event);
    void OnSelectAllDuplicates(wxCommandEvent& event);
    void OnDeleteFiles(wxCommandEvent& event);
    void OnItemActivated(wxListEvent& event);
    void OnFrameClose(wxCloseEvent& event);
    const CFileRecord* FocusedRecord() const;
    void EndBusy();

    // Settings.
    std::string m_strLastSaveFile;
    std::string m_strFileMask;
    SearchFilter m_filter;
    std::string m_strPaths;
    int m_bCancelSearch = 0;

    bool m_bBusy = false;
    bool m_bCloseAfterWork = false;  // the frame was asked to close while work ran
    wxWindow* m_closeBound = nullptr;  // the frame whose close this view watches
    CProgressDialog* m_pProgressDlg = nullptr;
    std::unique_ptr<CFileLauncher> m_launcher;
    FileDeleter m_deleter;
    std::function<bool()> m_shiftDown;
    OptionsSheet m_optionsSheet;

    wxDECLARE_DYNAMIC_CLASS(CGeminexView);
    wxDECLARE_EVENT_TABLE();
};
