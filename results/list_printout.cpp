#include "results/list_printout.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include <wx/dc.h>
#include <wx/printdlg.h>
#include <wx/settings.h>
#include <wx/utils.h>

#include "gui/wx_text.h"
#include "engine/results_model.h"
#include "results/csv_export.h"
#include "platform/temp_file.h"

namespace {


class DcTextMeasurer : public TextMeasurer {
public:
    explicit DcTextMeasurer(wxDC& dc) : m_dc(dc) {}
    int TextWidth(const std::string& text) const override {
        return m_dc.GetTextExtent(Utf8ToWx(text)).x;
    }

private:
    wxDC& m_dc;
};

// Removes the temporary print file however the command ends.
class FileRemover {
public:
    explicit FileRemover(std::string path) : m_path(std::move(path)) {}
    ~FileRemover() { platform::RemoveTempFile(m_path); }
    FileRemover(const FileRemover&) = delete;
    FileRemover& operator=(const FileRemover&) = delete;

private:
    std::string m_path;
};

}  // namespace

CListPrintout::CListPrintout(const wxString& title, std::string text)
    : wxPrintout(title),
      m_text(std::move(text)),
      m_font(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT)) {}

void CListPrintout::OnPreparePrinting() {
    wxDC* dc = GetDC();
    if (dc == nullptr) return;
    // The desktop's font in its size on paper: scaled from screen pixels to printer pixels.
    int printerX = 0, printerY = 0, screenX = 0, screenY = 0;
    GetPPIPrinter(&printerX, &printerY);
    GetPPIScreen(&screenX, &screenY);
    if (printerY > 0 && screenY > 0) m_font = m_font.Scaled(float(printerY) / screenY);
    dc->SetFont(m_font);
    wxCoord width = 0, height = 0, descent = 0, leading = 0;
    dc->GetTextExtent("X", &width, &height, &descent, &leading);
    m_format.lineHeight = height + leading;
    dc->GetSize(&m_format.pageWidth, &m_format.pageHeight);
    m_pages = PaginatePrintText(m_text, DcTextMeasurer(*dc), m_format);
}

bool CListPrintout::HasPage(int page) {
    return page >= 1 && page <= static_cast<int>(m_pages.size());
}

void CListPrintout::GetPageInfo(int* minPage, int* maxPage, int* selFrom, int* selTo) {
    *minPage = *selFrom = 1;
    *maxPage = *selTo = static_cast<int>(m_pages.size());
}

bool CListPrintout::OnPrintPage(int page) {
    wxDC* dc = GetDC();
    if (dc == nullptr || !HasPage(page)) return false;
    dc->SetFont(m_font);
    dc->SetTextForeground(*wxBLACK);
    dc->SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    for (const PrintedLine& line : m_pages[page - 1])
        for (const TextRun& run : line.runs) dc->DrawText(Utf8ToWx(run.text), run.x, line.y);
    return true;
}

void PrintTextFile(const std::string& path, wxPrintDialogData& data, wxWindow* parent,
                   bool prompt) {
    errno = 0;
    std::ifstream file(std::filesystem::u8path(path), std::ios::binary);
    std::string text;
    if (file) text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    if (!file.is_open() || file.bad()) {
        ReportFileReadError(path, errno != 0 ? errno : EIO, parent);
        return;
    }
    wxBusyCursor wait;
    CListPrintout printout(Utf8ToWx(path), std::move(text));
    wxPrinter printer(&data);
    printer.Print(parent, &printout, prompt);
}

void PrintRows(const ResultsModel& model, const wxPageSetupDialogData& setup, wxWindow* parent) {
    wxPrintDialogData data(setup.GetPrintData());
    data.EnableSelection(false);
    data.EnablePageNumbers(false);
    data.EnablePrintToFile(false);
    data.SetAllPages(true);

    errno = 0;
    const std::string path = platform::CreateTempFile("DTP");
    if (path.empty()) {
        ReportFileError(platform::TempFolder() + "DTP", errno != 0 ? errno : EIO, parent);
        return;
    }
    FileRemover remover(path);
    {
        wxBusyCursor wait;
        // A failure is reported; what the file holds is printed all the same.
        WriteWholeFile(path, model.AllRowsText("\t", false), parent);
    }
    // The desktop's print dialog belongs to the print job: the printer is chosen and the job
    // printed in one go (a printer chosen in a dialog of its own, such as the file printer,
    // could not be found again by a second job).
    PrintTextFile(path, data, parent, true);
}

void RunPrintSetup(wxPageSetupDialogData& setup, wxWindow* parent,
                   const PageSetupDialogRunner& runDialog) {
    if (runDialog) {
        wxPageSetupDialogData edited(setup);
        if (runDialog(edited)) setup = edited;
        return;
    }
    wxPageSetupDialog dialog(parent, &setup);
    if (dialog.ShowModal() == wxID_OK) setup = dialog.GetPageSetupDialogData();
}
