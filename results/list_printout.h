// Print (command 57607), print preview (57609) and print setup (57606) of the results: the rows
// in five columns under a heading row, the search's date and the page number at the foot of
// each page (engine/results/print_layout.h lays the pages out; the printout draws them).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include <wx/cmndata.h>
#include <wx/font.h>
#include <wx/print.h>

#include "engine/results/print_layout.h"

class ResultsModel;
class wxWindow;

// The printout of the results. `model` must stay unchanged while the printout lives (printing
// runs to its end inside the Print command; the preview is modal). Lays out the pages on the
// printable area as the printer reports it, kept inside the margins of `setup` and never less
// than kMinimumMarginMm from the paper's edges.
class CListPrintout : public wxPrintout {
public:
    static constexpr int kMinimumMarginMm = 10;

    CListPrintout(const wxString& title, const ResultsModel& model,
                  const wxPageSetupDialogData& setup);

    void OnPreparePrinting() override;
    bool HasPage(int page) override;
    void GetPageInfo(int* minPage, int* maxPage, int* selFrom, int* selTo) override;
    bool OnPrintPage(int page) override;

    // What the last OnPreparePrinting found, in the DC's logical units (for tests): the area
    // printed on, and the layout (null before).
    const PrintArea& Area() const { return m_area; }
    const PrintLayout* Layout() const { return m_layout.get(); }
    // The font the pages are printed in.
    const wxFont& Font() const { return m_font; }

private:
    // Sets the DC's scale and origin so that its logical units are screen pixels at the
    // paper's size, the origin at the paper's corner.
    void MapToPaper();

    const ResultsModel& m_model;
    wxPageSetupDialogData m_setup;
    wxFont m_font;
    PrintArea m_area;
    int m_lineHeight = 0;
    std::unique_ptr<PrintLayout> m_layout;
};

// The Print command: the desktop's print dialog (starting from the settings `setup` holds),
// then the rows of `model` on the printer chosen. A cancelled dialog, or a printer that cannot
// be opened, ends printing silently.
void PrintRows(const ResultsModel& model, const wxPageSetupDialogData& setup, wxWindow* parent);

// The Print preview command: the pages in a preview window over `parent`, modal while it is
// open (its Print button prints them). Returns the preview window (already shown) or null when
// no preview could be made.
wxFrame* PreviewRows(const ResultsModel& model, const wxPageSetupDialogData& setup,
                     wxWindow* parent);

// The modal run of a page setup dialog: gets the dialog's data to change and returns true for
// OK. Tests put their own in place of the desktop's dialog (it runs a loop of its own).
using PageSetupDialogRunner = std::function<bool(wxPageSetupDialogData& data)>;

// The Print setup command: the page setup dialog on `setup`, which keeps the choice for the
// following prints when the dialog is confirmed. `runDialog` runs the dialog (empty: the
// desktop's page setup dialog).
void RunPrintSetup(wxPageSetupDialogData& setup, wxWindow* parent,
                   const PageSetupDialogRunner& runDialog = PageSetupDialogRunner());
