#include "results/list_printout.h"

#include <algorithm>

#include <wx/app.h>
#include <wx/dc.h>
#include <wx/printdlg.h>
#include <wx/settings.h>
#include <wx/utils.h>
#include <wx/weakref.h>

#include "engine/results/results_model.h"
#include "engine/text/string_table.h"
#include "gui/message_box.h"
#include "gui/wx_text.h"

CListPrintout::CListPrintout(const wxString& title, const ResultsModel& model,
                             const wxPageSetupDialogData& setup)
    : wxPrintout(title),
      m_model(model),
      m_setup(setup),
      m_font(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT)) {}

void CListPrintout::MapToPaper() {
    // Screen pixels at the paper's size: the desktop's font then prints at its own size, in
    // the preview as on paper.
    MapScreenSizeToPaper();
}

void CListPrintout::OnPreparePrinting() {
    wxDC* dc = GetDC();
    if (dc == nullptr) return;
    MapToPaper();
    dc->SetFont(m_font);

    // The printable area the printer reports, inside the margins of the page setup, and never
    // nearer the paper's edge than the least margin (a file printer reports the whole sheet).
    const wxRect paper = GetLogicalPaperRect();
    wxRect area = GetLogicalPageRect().Intersect(GetLogicalPageMarginsRect(m_setup));
    int ppiX = 0, ppiY = 0;
    GetPPIScreen(&ppiX, &ppiY);
    const int marginX = ppiX * kMinimumMarginMm * 10 / 254;
    const int marginY = ppiY * kMinimumMarginMm * 10 / 254;
    area.Intersect(wxRect(paper).Deflate(marginX, marginY));
    m_area = PrintArea{area.x, area.y, std::max(0, area.width), std::max(0, area.height)};

    wxCoord width = 0, height = 0, descent = 0, leading = 0;
    dc->GetTextExtent("X", &width, &height, &descent, &leading);
    m_lineHeight = height + std::max(leading, height / 5);

    // Measured on whatever DC the printout has when asked: the preview draws each page into a
    // DC of its own.
    auto measure = [this](const std::string& text) {
        wxDC* current = GetDC();
        return current != nullptr && !text.empty() ? current->GetTextExtent(Utf8ToWx(text)).x : 0;
    };
    m_layout = std::make_unique<PrintLayout>(ResultsPrintLayout(m_model, measure, m_area,
                                                                m_lineHeight));
}

bool CListPrintout::HasPage(int page) {
    return m_layout != nullptr && page >= 1 && page <= m_layout->PageCount();
}

void CListPrintout::GetPageInfo(int* minPage, int* maxPage, int* selFrom, int* selTo) {
    *minPage = *selFrom = 1;
    *maxPage = *selTo = m_layout != nullptr ? m_layout->PageCount() : 1;
}

bool CListPrintout::OnPrintPage(int page) {
    wxDC* dc = GetDC();
    if (dc == nullptr || !HasPage(page)) return false;
    MapToPaper();
    dc->SetFont(m_font);
    dc->SetTextForeground(*wxBLACK);
    dc->SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    const PrintedPage printed = m_layout->LayOutPage(page);
    for (const PrintedText& text : printed.texts) dc->DrawText(Utf8ToWx(text.text), text.x, text.y);
    dc->SetPen(wxPen(*wxBLACK, 1));
    const int right = m_area.left + m_area.width;
    dc->DrawLine(m_area.left, printed.headingRuleY, right, printed.headingRuleY);
    dc->DrawLine(m_area.left, printed.footRuleY, right, printed.footRuleY);
    return true;
}

void PrintRows(const ResultsModel& model, const wxPageSetupDialogData& setup, wxWindow* parent) {
    wxPrintDialogData data(setup.GetPrintData());
    data.EnableSelection(false);
    data.EnablePrintToFile(false);
    data.SetAllPages(true);
    CListPrintout printout(MessageBoxTitle(), model, setup);
    wxPrinter printer(&data);
    printer.Print(parent, &printout, true);
}

wxFrame* PreviewRows(const ResultsModel& model, const wxPageSetupDialogData& setup,
                     wxWindow* parent) {
    wxPrintDialogData data(setup.GetPrintData());
    auto* preview = new wxPrintPreview(new CListPrintout(MessageBoxTitle(), model, setup),
                                       new CListPrintout(MessageBoxTitle(), model, setup), &data);
    if (!preview->IsOk()) {
        delete preview;  // and its printouts
        return nullptr;
    }
    const wxString title = wxStripMenuCodes(LoadWxString(IDS_MENU_PRINT_PREVIEW), wxStrip_Menu);
    wxSize size(800, 900);
    if (parent != nullptr) size.SetHeight(std::max(480, parent->GetSize().GetHeight()));
    // The window that had the keys gets them back when the preview closes: the frame it
    // disabled does not hand them on by itself.
    wxWeakRef<wxWindow> hadFocus(wxWindow::FindFocus());
    auto* frame = new wxPreviewFrame(preview, parent, title, wxDefaultPosition, size);
    frame->Bind(wxEVT_CLOSE_WINDOW, [hadFocus](wxCloseEvent& event) {
        event.Skip();
        wxTheApp->CallAfter([hadFocus] {
            if (hadFocus && hadFocus->IsShownOnScreen() && hadFocus->IsEnabled())
                hadFocus->SetFocus();
        });
    });
    // The rows stay as they are while the preview shows them.
    frame->InitializeWithModality(wxPreviewFrame_AppModal);
    if (parent != nullptr) frame->CentreOnParent();
    frame->Show();
    // The pages take the keys at once (PageUp/PageDown, +/-, Enter prints): a new frame gives
    // its focus to no child of its own, and the window it disabled held it before.
    if (wxPreviewCanvas* canvas = preview->GetCanvas()) canvas->SetFocus();
    return frame;
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
