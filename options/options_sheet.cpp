#include "options/options_sheet.h"

#include <wx/bookctrl.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/textctrl.h>
#include <wx/sizer.h>

#include "gui/wx_text.h"
#include "options/dialog_buttons.h"
#include "options/filter_prop_page.h"
#include "options/keep_rules_page.h"
#include "options/paths_page.h"

COptionsSheet::COptionsSheet(wxWindow* parent) {
    Create(parent, wxID_ANY, LoadWxString(IDS_OPTIONS_CAPTION));
    wxBookCtrlBase* book = GetBookCtrl();
    m_pathsPage = new CPathsPage(book);
    m_filterPage = new CFilterPropPage(book);
    book->AddPage(m_pathsPage, LoadWxString(IDS_PAGE_PATHS), true);
    book->AddPage(m_filterPage, LoadWxString(IDS_PAGE_FILTERS), false);
    m_keepPage = new CKeepRulesPage(book);
    book->AddPage(m_keepPage, LoadWxString(IDS_PAGE_KEEP_RULES), false);
    // No Apply button: OK and Cancel only, with their Chinese texts.
    GetInnerSizer()->Add(CreateOkCancelButtons(this), 0, wxEXPAND | wxALL, 5);
    LayoutDialog();

    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { OnOK(); }, wxID_OK);
    book->Bind(wxEVT_BOOKCTRL_PAGE_CHANGING, &COptionsSheet::OnPageChanging, this);
    book->Bind(wxEVT_BOOKCTRL_PAGE_CHANGED, &COptionsSheet::OnPageChanged, this);
    Bind(wxEVT_CHAR_HOOK, &COptionsSheet::OnCharHook, this);
}

void COptionsSheet::OnCharHook(wxKeyEvent& event) {
    // Enter presses OK wherever the focus is (the path list would take it for itself), except
    // on a button, which Enter presses, and in a text that takes several lines; Escape cancels.
    const int key = event.GetKeyCode();
    if (key == WXK_ESCAPE && !event.HasAnyModifiers()) {
        EndModal(wxID_CANCEL);
        return;
    }
    // Ctrl+PageDown/PageUp and Ctrl+Tab/Ctrl+Shift+Tab change the page wherever the focus is:
    // the path list would take them for its own PageDown and Tab, and the toolkit's book sees
    // them only when no control did. The change goes through the page checks as a click does.
    const int step = PageStepOfKey(key, event.GetModifiers());
    if (step != 0) {
        GetBookCtrl()->AdvanceSelection(step > 0);
        return;
    }
    if ((key == WXK_RETURN || key == WXK_NUMPAD_ENTER) && !event.HasAnyModifiers()) {
        wxWindow* focus = wxWindow::FindFocus();
        const auto* text = wxDynamicCast(focus, wxTextCtrl);
        if (wxDynamicCast(focus, wxButton) == nullptr && (text == nullptr || !text->IsMultiLine())) {
            OnOK();
            return;
        }
    }
    event.Skip();
}

void COptionsSheet::CopyIn(const SearchOptions& options) {
    m_pathsPage->m_startPaths = options.paths;
    m_pathsPage->m_strFileTypes = options.mask;
    m_filterPage->m_fields.CopyIn(options.filter);
    m_filterPage->VerifyCachedBox()->SetValue(options.verifyCached);
    m_pathsPage->InitPage();
    m_pathsPage->TransferDataToWindow();
    m_filterPage->TransferDataToWindow();
    LayoutDialog();
}

void COptionsSheet::CopyBack(SearchOptions& options) {
    options.paths = m_pathsPage->m_startPaths;
    options.mask = m_pathsPage->m_strFileTypes;
    m_filterPage->m_fields.CopyBack(options.filter);
    options.verifyCached = m_filterPage->VerifyCachedBox()->GetValue();
}

void COptionsSheet::CopyInKeep(const KeepSettings& keep) {
    m_keepPage->m_settings = keep;
    m_keepPage->TransferDataToWindow();
    LayoutDialog();
}

void COptionsSheet::CopyBackKeep(KeepSettings& keep) { keep = m_keepPage->m_settings; }

void COptionsSheet::OnPageChanging(wxBookCtrlEvent& event) {
    // Leaving a page saves it; a page that refuses its values keeps the focus.
    const int old = event.GetOldSelection();
    if (old == wxNOT_FOUND) return;
    wxWindow* page = GetBookCtrl()->GetPage(static_cast<size_t>(old));
    if (page == nullptr || page->TransferDataFromWindow()) return;
    event.Veto();
    // The book may have switched already (a page chosen from code, or the toolkit putting
    // the page back only later): go back to the refusing page and its control.
    wxWindow* focus = wxWindow::FindFocus();
    CallAfter([this, old, focus] {
        if (GetBookCtrl()->GetSelection() != old) GetBookCtrl()->ChangeSelection(old);
        if (focus != nullptr && GetBookCtrl()->GetPage(old)->IsDescendant(focus))
            focus->SetFocus();
    });
}

void COptionsSheet::OnPageChanged(wxBookCtrlEvent& event) {
    const int selection = event.GetSelection();
    if (selection == wxNOT_FOUND) return;
    if (wxWindow* page = GetBookCtrl()->GetPage(static_cast<size_t>(selection)))
        page->TransferDataToWindow();
}

void COptionsSheet::OnOK() {
    wxWindow* page = GetBookCtrl()->GetCurrentPage();
    if (page != nullptr && !page->TransferDataFromWindow()) return;
    EndModal(wxID_OK);
}

int PageStepOfKey(int keyCode, int modifiers) {
    switch (keyCode) {
        case WXK_PAGEDOWN:
        case WXK_NUMPAD_PAGEDOWN:
            return modifiers == wxMOD_CONTROL ? 1 : 0;
        case WXK_PAGEUP:
        case WXK_NUMPAD_PAGEUP:
            return modifiers == wxMOD_CONTROL ? -1 : 0;
        case WXK_TAB:
            if (modifiers == wxMOD_CONTROL) return 1;
            return modifiers == (wxMOD_CONTROL | wxMOD_SHIFT) ? -1 : 0;
        default:
            return 0;
    }
}

bool RunSearchOptionsSheet(wxWindow* parent, SearchOptions& options) {
    COptionsSheet sheet(parent);
    sheet.CopyIn(options);
    if (sheet.ShowModal() != wxID_OK) return false;
    sheet.CopyBack(options);
    return true;
}

bool RunSearchOptionsSheet(wxWindow* parent, SearchOptions& options, KeepSettings& keep) {
    COptionsSheet sheet(parent);
    sheet.CopyIn(options);
    sheet.CopyInKeep(keep);
    if (sheet.ShowModal() != wxID_OK) return false;
    sheet.CopyBack(options);
    sheet.CopyBackKeep(keep);
    return true;
}
