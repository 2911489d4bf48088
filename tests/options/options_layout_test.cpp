// The options dialogs as they appear: no text cut off, every label with a mnemonic placed just
// before the control it leads to (so that its key and Tab reach that control), Enter and
// Escape bound to OK and Cancel. With PAIRSCOUT_PICTURE_DIR set, a picture of each dialog is
// saved there (docs/options-paths.png, docs/options-filters.png, docs/mask-editor.png).
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>
#include <wx/bookctrl.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/utils.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "app/gui_test_env.h"
#include "gui/wx_text.h"
#include "options/filter_prop_page.h"
#include "options/include_exclude_dlg.h"
#include "options/options_sheet.h"
#include "options/paths_page.h"
#include "platform/file_time.h"
#include "support/scoped_env.h"

namespace {

// Every shown text control of `window` gets at least its best size; every label with a
// mnemonic is followed by a control that takes the focus.
void CheckLayout(wxWindow* window, const std::string& where) {
    for (wxWindow* child : window->GetChildren()) {
        if (!child->IsShown()) continue;
        if (wxDynamicCast(child, wxStaticText) || wxDynamicCast(child, wxCheckBox) ||
            wxDynamicCast(child, wxRadioButton) || wxDynamicCast(child, wxButton)) {
            const wxSize size = child->GetSize();
            const wxSize best = child->GetBestSize();
            EXPECT_GE(size.x, best.x) << where << ": " << WxToUtf8(child->GetLabel());
            EXPECT_GE(size.y, best.y) << where << ": " << WxToUtf8(child->GetLabel());
            const wxRect inside(wxPoint(0, 0), window->GetClientSize());
            EXPECT_TRUE(inside.Contains(child->GetRect()))
                << where << ": " << WxToUtf8(child->GetLabel()) << " outside its parent";
        }
        if (wxDynamicCast(child, wxStaticText) && child->GetLabel().Contains("&")) {
            wxWindow* next = child->GetNextSibling();
            ASSERT_NE(next, nullptr) << WxToUtf8(child->GetLabel());
            EXPECT_TRUE(next->AcceptsFocus()) << where << ": " << WxToUtf8(child->GetLabel());
        }
        CheckLayout(child, where);
    }
}

// Saves a picture of `window` as it is on the screen into $PAIRSCOUT_PICTURE_DIR/name.
void SavePicture(wxWindow* window, const char* name) {
    const char* dir = std::getenv("PAIRSCOUT_PICTURE_DIR");
    if (dir == nullptr || *dir == '\0') return;
    window->Raise();
    window->Refresh();
    window->Update();
    // Let the toolkit paint the window on its next frames before the screen is read.
    guitest::ProcessEvents(1500);
    // The display's own picture of the window's area (the toolkit cannot read a window back).
    const wxRect rect = window->GetScreenRect();
    const wxString command = wxString::Format("import -window root -crop %dx%d+%d+%d +repage %s/%s",
                                              rect.width, rect.height, rect.x, rect.y,
                                              wxString::FromUTF8(dir), name);
    EXPECT_EQ(wxExecute(command, wxEXEC_SYNC), 0) << WxToUtf8(command);
}

TEST(OptionsLayoutTest, SheetPagesShowAllTheirTexts) {
    // Chinese dates are the widest the fields hold (年, 月 and 日 between the numbers).
    ScopedLocale chinese("zh_CN.UTF-8");
    COptionsSheet sheet(nullptr);
    SearchOptions options;
    platform::SystemTime late;
    late.wYear = 2024;
    late.wMonth = 12;
    late.wDay = 28;
    late.wHour = 12;
    ASSERT_TRUE(platform::SystemTimeToFileTime(late, &options.filter.m_ftMinDate));
    options.filter.m_ftMaxDate = options.filter.m_ftMinDate;
    options.paths = {"/home/user/", "/srv/data/", "/media/backup/"};
    options.mask = "*.*;~*.tmp;~/*/cache/*/*.dat";
    options.filter.m_nMinSize = 1024;
    options.filter.m_dwAttrStates = 0x02;
    options.filter.m_dwIgnoreAttrs = 0x35;
    sheet.CopyIn(options);
    sheet.Move(20, 20);
    sheet.Show();
    guitest::ProcessEvents(300);

    EXPECT_EQ(sheet.GetDefaultItem(), sheet.FindWindow(wxID_OK)) << "Enter is OK";
    EXPECT_EQ(sheet.GetEscapeId(), wxID_ANY) << "Escape is the Cancel button";
    ASSERT_NE(sheet.FindWindow(wxID_CANCEL), nullptr);

    CheckLayout(sheet.PathsPage(), "paths page");
    SavePicture(&sheet, "options-paths.png");
    sheet.GetBookCtrl()->SetSelection(1);
    guitest::ProcessEvents(300);
    CheckLayout(sheet.FilterPage(), "filters page");
    // The date fields hold their dates whole, with the field's frame around them.
    for (FilterFields::Edit which : {FilterFields::kMinDateEdit, FilterFields::kMaxDateEdit}) {
        wxTextCtrl* edit = sheet.FilterPage()->Edit(which);
        const wxString date = edit->GetValue();
        EXPECT_TRUE(date.Contains("28")) << WxToUtf8(date);
        EXPECT_GE(edit->GetSize().x, edit->GetSizeFromTextSize(edit->GetTextExtent(date).x).x)
            << WxToUtf8(date) << (chinese.Ok() ? "" : " (no zh_CN locale here)");
    }
    SavePicture(&sheet, "options-filters.png");
    sheet.Hide();
}

TEST(OptionsLayoutTest, MaskEditorShowsAllItsTexts) {
    CIncludeExcludeDlg editor("*.*;~*.tmp;~/*/cache/*/*.dat;/temp/*.log", nullptr);
    editor.Move(600, 20);
    editor.Show();
    guitest::ProcessEvents(300);
    editor.OnSelectionChanged(2);
    EXPECT_EQ(editor.GetDefaultItem(), editor.FindWindow(wxID_OK));
    EXPECT_EQ(WxToUtf8(editor.FindWindow(wxID_HELP)->GetLabel()), "帮助(&H)");
    CheckLayout(&editor, "mask editor");
    SavePicture(&editor, "mask-editor.png");
    editor.Hide();
}

}  // namespace
