#include "results/file_properties_dlg.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>

#include <wx/button.h>
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
    for (const auto& line : FilePropertyLines(path)) {
        grid->Add(new wxStaticText(this, wxID_ANY, Utf8ToWx(line.first + ":")), 0,
                  wxALIGN_CENTER_VERTICAL);
        // Read-only text: the path can be selected and copied, and a long one scrolls.
        auto* value = new wxTextCtrl(this, wxID_ANY, Utf8ToWx(line.second), wxDefaultPosition,
                                     wxDefaultSize, wxTE_READONLY | wxBORDER_NONE);
        value->SetMinSize(wxSize(360, -1));
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
