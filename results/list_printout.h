// Print (command 57607) and print setup (57606): the rows of the results, tab-separated, go
// into a temporary file, which is printed as plain lines of text (results/print_pages.h) on
// the printer the user chose.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <wx/cmndata.h>
#include <wx/font.h>
#include <wx/print.h>

#include "results/print_pages.h"

class ResultsModel;
class wxWindow;

// The printout of one text file's lines: measures the text with the printer's device context
// when printing begins, then draws page after page.
class CListPrintout : public wxPrintout {
public:
    // `title` names the print job; `text` is the file's contents.
    CListPrintout(const wxString& title, std::string text);

    void OnPreparePrinting() override;
    bool HasPage(int page) override;
    void GetPageInfo(int* minPage, int* maxPage, int* selFrom, int* selTo) override;
    bool OnPrintPage(int page) override;

private:
    std::string m_text;
    wxFont m_font;
    PrintPageFormat m_format;
    std::vector<PrintedPage> m_pages;
};

// Prints the text file `path`: with `prompt` the desktop's print dialog (starting from `data`)
// asks for the printer first, else the printer `data` names is used. A file that cannot be read
// is reported; a cancelled dialog, or a printer that cannot be opened, ends printing silently.
void PrintTextFile(const std::string& path, wxPrintDialogData& data, wxWindow* parent,
                   bool prompt);

// The Print command: writes every row of `model` tab-separated into a new temporary file
// ("DTP" name prefix), prints that file through the print dialog (starting from the settings
// `setup` holds) and removes it again, also when something failed or was cancelled.
void PrintRows(const ResultsModel& model, const wxPageSetupDialogData& setup, wxWindow* parent);

// The modal run of a page setup dialog: gets the dialog's data to change and returns true for
// OK. Tests put their own in place of the desktop's dialog (it runs a loop of its own).
using PageSetupDialogRunner = std::function<bool(wxPageSetupDialogData& data)>;

// The Print setup command: the page setup dialog on `setup`, which keeps the choice for the
// following prints when the dialog is confirmed. `runDialog` runs the dialog (empty: the
// desktop's page setup dialog).
void RunPrintSetup(wxPageSetupDialogData& setup, wxWindow* parent,
                   const PageSetupDialogRunner& runDialog = PageSetupDialogRunner());
