#include "results/file_properties_dlg.h"

#include <algorithm>
#include <cerrno>
#include <cinttypes>
#include <cstdio>

#include <wx/button.h>
#include <wx/display.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "gui/wx_text.h"
#include "engine/text/text_helpers.h"
#include "platform/error_text.h"
#include "platform/file_time.h"

// FilePropertyLines is in file_properties_lines_posix.cpp and file_properties_lines_win32.cpp.

CFilePropertiesDlg::CFilePropertiesDlg(wxWindow* parent, const std::string& path)
    : wxDialog(parent, wxID_ANY, LoadWxString(IDS_PROPERTIES_TITLE), wxDefaultPosition, wxDefaultSize,
               wxDEFAULT_DIALOG_STYLE) {
    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* grid = new wxFlexGridSizer(2, wxSize(12, 6));
    grid->AddGrowableCol(1);
    // A value wider than half the screen wraps (a path at any character) rather than being cut.
    const int display = wxDisplay::GetFromWindow(parent != nullptr ? parent : this);
    const wxRect screen = wxDisplay(static_cast<unsigned>(std::max(0, display))).GetClientArea();
    const int widest = std::max(360, screen.width / 2);
    for (const auto& line : FilePropertyLines(path)) {
        const wxString text = Utf8ToWx(line.second);
        const int textWidth = GetTextExtent(text).x + GetCharWidth();
        const bool wraps = textWidth > widest;
        grid->Add(new wxStaticText(this, wxID_ANY, Utf8ToWx(line.first + ":")), 0,
                  wraps ? wxALIGN_TOP : wxALIGN_CENTER_VERTICAL);
        // Read-only text: the value can be selected and copied.
        const long style = wxTE_READONLY | wxBORDER_NONE |
                           (wraps ? wxTE_MULTILINE | wxTE_CHARWRAP | wxTE_NO_VSCROLL : 0);
        auto* value = new wxTextCtrl(this, wxID_ANY, text, wxDefaultPosition, wxDefaultSize, style);
        if (wraps) {
            // Room for every wrapped line and one more: a line breaks before a character that
            // would not fit, so lines come out a little shorter than the width.
            const int lines = textWidth / widest + 2;
            value->SetMinSize(value->GetSizeFromTextSize(widest, lines * GetCharHeight()));
        } else {
            value->SetMinSize(wxSize(std::max(360, value->GetSizeFromTextSize(textWidth).x), -1));
        }
        grid->Add(value, 1, wxEXPAND);
    }
    top->Add(grid, 1, wxEXPAND | wxALL, 12);
    auto* ok = new wxButton(this, wxID_OK, LoadWxString(IDS_BUTTON_OK));
    ok->SetDefault();
    top->Add(ok, 0, wxALIGN_RIGHT | wxLEFT | wxRIGHT | wxBOTTOM, 12);
    SetEscapeId(wxID_OK);
    SetSizerAndFit(top);
    ok->SetFocus();
}
