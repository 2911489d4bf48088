#include "results/csv_export.h"

#include <wx/app.h>
#include <wx/filename.h>
#include <wx/utils.h>

#include "gui/message_box.h"
#include "gui/wx_text.h"
#include "engine/results/results_model.h"
#include "engine/results/results_text.h"
#include "engine/text/string_table.h"
#include "engine/text/text_helpers.h"
#include "options/kv_file_dialog.h"
#include "platform/error_text.h"
#include "platform/file_find.h"
#include "platform/file_replace.h"
#include "results/workbook_writer.h"

namespace {

// True when the separator at `index` of `path` is the one of a root folder.
bool IsRootSeparator(const std::string& path, std::string::size_type index) {
    if (index == 0) return true;  // "/x.csv"
    // "C:\x.csv": on Windows the root of a drive.
    return platform::kPathSeparator == '\\' && index == 2 && path[1] == ':';
}

}  // namespace

void SplitSaveFileName(const std::string& path, std::string* folder, std::string* name) {
    const std::string::size_type at = path.rfind(platform::kPathSeparator);
    if (at == std::string::npos) {
        folder->clear();
        *name = path;
        return;
    }
    *folder = path.substr(0, IsRootSeparator(path, at) ? at + 1 : at);
    *name = path.substr(at + 1);
}

std::string FileErrorText(const std::string& path, int errorCode) {
    return FormatCannotWriteFile(path) + "\n" + platform::ErrorText(errorCode);
}

void ReportFileError(const std::string& path, int errorCode, wxWindow* parent) {
    ShowMessageBox(parent, Utf8ToWx(FileErrorText(path, errorCode)), wxOK | wxICON_EXCLAMATION);
}

void ReportFileReadError(const std::string& path, int errorCode, wxWindow* parent) {
    ShowMessageBox(parent, Utf8ToWx(path + "\n" + platform::ErrorText(errorCode)),
                   wxOK | wxICON_EXCLAMATION);
}

bool WriteWholeFile(const std::string& path, const std::string& text, wxWindow* parent) {
    int error = 0;
    if (platform::ReplaceFileContents(path, text, &error)) return true;
    ReportFileError(path, error, parent);
    return false;
}

namespace {

// The Save as dialog of an export: for files ending in `extension`, with the filter of text
// `filterId` and the title of the prompt `titleId`, starting from `lastSaveFile`. True with the
// chosen path once the user has chosen it and agreed to replace a file that is there; the
// chosen name becomes `lastSaveFile` even when the replacement is refused.
bool AskExportFile(const char* extension, int filterId, int titleId, std::string& lastSaveFile,
                   wxWindow* parent, const SaveAsDialogRunner& runDialog, std::string* chosen) {
    std::string folder, name;
    SplitSaveFileName(lastSaveFile, &folder, &name);
    // A save dialog: the desktop's open dialog cannot name a file that does not exist yet. An
    // existing file is replaced only when the user says so.
    CKVFileDialog dialog(false, extension, name, 0, LoadStringText(filterId), parent);
    dialog.SetTitle(LoadWxTooltip(titleId));  // the command's name: "另存为", ...
    if (!folder.empty()) {
        dialog.SetDirectory(Utf8ToWx(folder));
        dialog.m_strInitialDir = folder;
    }
    std::string path;
    if (runDialog) {
        if (!runDialog(dialog, &path)) return false;
    } else {
        if (dialog.DoModal() != 1) return false;
        path = dialog.GetPathName();
    }
    lastSaveFile = path;
    // Asked of wx, whose dialog gave the path (windows.h renames the platform's own check).
    if (wxFileName::Exists(Utf8ToWx(path)) &&
        ShowMessageBox(parent, Utf8ToWx(ValidUtf8(FormatReplaceFile(path))),
                       wxYES_NO | wxNO_DEFAULT | wxICON_WARNING) != wxID_YES)
        return false;
    *chosen = path;
    return true;
}

}  // namespace

void SaveRowsAsCsv(const ResultsModel& model, std::string& lastSaveFile, wxWindow* parent,
                   const SaveAsDialogRunner& runDialog) {
    std::string path;
    if (!AskExportFile("csv", IDS_CSV_FILTER, IDS_PROMPT_FILE_SAVE_AS, lastSaveFile, parent,
                       runDialog, &path))
        return;
    wxBusyCursor wait;
    WriteWholeFile(path, SpreadsheetCsvText(model), parent);
}

void SaveRowsAsWorkbook(const ResultsModel& model, std::string& lastSaveFile, wxWindow* parent,
                        const SaveAsDialogRunner& runDialog) {
    std::string path;
    if (!AskExportFile("xlsx", IDS_XLSX_FILTER, IDS_PROMPT_EXPORT_XLSX, lastSaveFile, parent,
                       runDialog, &path))
        return;
    wxBusyCursor wait;
    std::string reason;
    if (!WorkbookWriter(model).Write(path, &reason))
        ShowMessageBox(parent, Utf8ToWx(ValidUtf8(FormatCannotWriteFile(path) + "\n" + reason)),
                       wxOK | wxICON_EXCLAMATION);
}
