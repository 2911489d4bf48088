// Save as (command 57604): every row of the results into a comma-separated file for
// spreadsheets (SpreadsheetCsvText: UTF-8 with a byte-order mark, a heading row,
// each cell in quotes, CR LF after each line); export as Excel workbook (command 32800): the
// same rows into an .xlsx file (WorkbookWriter). An existing file is replaced only after a
// question; the file is written whole or not at all.
#pragma once

#include <functional>
#include <string>

class CKVFileDialog;
class ResultsModel;
class wxWindow;

// Splits the last saved file into the folder the dialog opens in and the name it proposes:
// at the last folder separator; the folder is what stands before it, except that a file in a
// root folder ("/x.csv", "C:\x.csv") keeps the root with its separator. Without a separator
// the whole text is the name; an empty text gives both empty.
void SplitSaveFileName(const std::string& path, std::string* folder, std::string* name);

// The message for a file that could not be written: string 61732 with the path, then the
// system's reason for `errorCode` on a line of its own.
std::string FileErrorText(const std::string& path, int errorCode);
// Shows FileErrorText in a message box with an OK button.
void ReportFileError(const std::string& path, int errorCode, wxWindow* parent);
// A file that could not be read: its path and the system's reason, in a message box.
void ReportFileReadError(const std::string& path, int errorCode, wxWindow* parent);

// Writes `text` as the whole new contents of `path` (see platform::ReplaceFileContents); a
// failure is reported with ReportFileError. True when written.
bool WriteWholeFile(const std::string& path, const std::string& text, wxWindow* parent);

// The modal run of the Save as dialog: sees the dialog as it would open and returns true with
// the chosen path, or false for cancel. Tests put their own in place of the desktop's file
// chooser (it runs a loop of its own).
using SaveAsDialogRunner = std::function<bool(CKVFileDialog& dialog, std::string* path)>;

// The Save as command: asks for the file, starting from `lastSaveFile` (folder and name as
// SplitSaveFileName gives them), and writes every row of `model` to it. A chosen name becomes
// `lastSaveFile` whether or not the file could be written; a cancelled dialog changes nothing.
// `runDialog` runs the dialog (empty: the dialog's own modal run).
void SaveRowsAsCsv(const ResultsModel& model, std::string& lastSaveFile, wxWindow* parent,
                   const SaveAsDialogRunner& runDialog = SaveAsDialogRunner());

// The export as Excel workbook: as SaveRowsAsCsv, with a dialog for .xlsx files, the rows
// written by WorkbookWriter; a workbook that could not be written is reported with the
// chosen path and the reason, and nothing is left under that name but what was there before.
void SaveRowsAsWorkbook(const ResultsModel& model, std::string& lastSaveFile, wxWindow* parent,
                        const SaveAsDialogRunner& runDialog = SaveAsDialogRunner());
