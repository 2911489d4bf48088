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

void SaveRowsAsCsv(const ResultsModel& model, std::string& lastSaveFile, wxWindow* parent,
                   const SaveAsDialogRunner& runDialog) {
    std::string folder, name;
    SplitSaveFileName(lastSaveFile, &folder, &name);
    // A save dialog: the desktop's open dialog cannot name a file that does not exist yet. An
    // existing file is replaced only when the user says so.
    CKVFileDialog dialog(false, "csv", name, 0, LoadStringText(IDS_CSV_FILTER), parent);
    dialog.SetTitle(LoadWxTooltip(IDS_PROMPT_FILE_SAVE_AS));  // the command's name: "另存为"
    if (!folder.empty()) {
        dialog.SetDirectory(Utf8ToWx(folder));
        dialog.m_strInitialDir = folder;
    }
    std::string path;
    if (runDialog) {
        if (!runDialog(dialog, &path)) return;
    } else {
        if (dialog.DoModal() != 1) return;
        path = dialog.GetPathName();
    }
    lastSaveFile = path;
    // Asked of wx, whose dialog gave the path (windows.h renames the platform's own check).
    if (wxFileName::Exists(Utf8ToWx(path)) &&
        ShowMessageBox(parent, Utf8ToWx(ValidUtf8(FormatReplaceFile(path))),
                       wxYES_NO | wxNO_DEFAULT | wxICON_WARNING) != wxID_YES)
        return;

    wxBusyCursor wait;
    WriteWholeFile(path, SpreadsheetCsvText(model), parent);
}
