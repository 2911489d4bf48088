// Help: Contents (F1, 57670, and 57667, 57671, 57669) and Search help (40013) reach the bundled
// help book, made for this platform; the mask editor's Help opens its page about masks; the help
// window opens centred on the main window, and Escape closes it.
#include <functional>

#include <gtest/gtest.h>
#include <wx/filefn.h>
#include <wx/frame.h>
#include <wx/html/helpctrl.h>
#include <wx/html/helpfrm.h>
#include <wx/html/helpwnd.h>
#include <wx/html/htmlwin.h>

#include "gui/command_ids.h"
#include "app/gui_test_env.h"
#include "app/help_controller.h"
#include "options/include_exclude_dlg.h"
#include "support/temp_dir.h"

namespace {

wxFrame* HelpFrame(CGeminexApp* app) {
    wxHtmlHelpController* help = app->GetHelpController();
    return help != nullptr ? help->GetFrame() : nullptr;
}

TEST(HelpBook, IsFound) {
    const wxString book = CGeminexApp::FindHelpBook();
    ASSERT_FALSE(book.empty());
    EXPECT_TRUE(book.EndsWith("pairscout.hhp"));
}

TEST(HelpBook, IsFoundBesideTheBuiltOrTheInstalledProgram) {
    TempDir prefix;
    const wxString exe = wxString::FromUTF8(prefix / "bin/pairscout");
    EXPECT_TRUE(CGeminexApp::FindHelpBookBeside(exe).empty());
    // Installed: bin/../share/pairscout/help/, whatever the current folder.
    prefix.WriteFile("share/pairscout/help/pairscout.hhp", "[OPTIONS]\n");
    const wxString installed = wxString::FromUTF8(prefix / "share/pairscout/help/pairscout.hhp");
    EXPECT_EQ(CGeminexApp::FindHelpBookBeside(exe), installed);
    const wxString oldCwd = wxGetCwd();
    ASSERT_TRUE(wxSetWorkingDirectory("/"));
    EXPECT_EQ(CGeminexApp::FindHelpBookBeside(exe), installed);
    wxSetWorkingDirectory(oldCwd);
    // In the build folder the copy beside the program comes first.
    prefix.WriteFile("bin/help/pairscout.hhp", "[OPTIONS]\n");
    EXPECT_EQ(CGeminexApp::FindHelpBookBeside(exe),
              wxString::FromUTF8(prefix / "bin/help/pairscout.hhp"));
}

TEST_F(GeminexAppTest, ContentsCommandOpensTheHelpBook) {
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_HELP)));
    ASSERT_TRUE(guitest::WaitFor([this] { return HelpFrame(app) != nullptr; }));
    wxFrame* help = HelpFrame(app);
    EXPECT_TRUE(help->IsShown());
    // The first page of the book, in Chinese, is shown; its title is in the window's title.
    EXPECT_TRUE(guitest::WaitFor(
        [help] { return help->GetTitle().Contains(wxString::FromUTF8("Pairscout 简介")); }))
        << help->GetTitle().utf8_str().data();
    // The book's title and contents (UTF-8 texts) are read as written.
    wxHtmlHelpData* data = app->GetHelpController()->GetHelpWindow()->GetData();
    ASSERT_NE(data, nullptr);
    ASSERT_EQ(data->GetBookRecArray().size(), 1u);
    EXPECT_EQ(data->GetBookRecArray()[0].GetTitle(), wxString::FromUTF8("Pairscout 帮助"));
    ASSERT_GE(data->GetContentsArray().size(), 9u);
    EXPECT_EQ(data->GetContentsArray()[1].name, wxString::FromUTF8("Pairscout 简介"));
    EXPECT_EQ(data->GetContentsArray()[2].name, wxString::FromUTF8("查找重复的文件"));
    app->CloseHelp();
    EXPECT_TRUE(guitest::WaitFor([this] { return HelpFrame(app) == nullptr; }));
}

TEST_F(GeminexAppTest, EveryHelpCommandOfTheFrameReachesTheBook) {
    // The frame does not handle them itself: they go on to the application's event table.
    for (const int command : {cmd::ID_HELP_FINDER, cmd::ID_DEFAULT_HELP, cmd::ID_CONTEXT_HELP}) {
        SCOPED_TRACE(FindCommand(command)->name);
        EXPECT_TRUE(frame->ExecuteCommand(WxId(command)));
        ASSERT_TRUE(guitest::WaitFor([this] { return HelpFrame(app) != nullptr; }));
        EXPECT_TRUE(HelpFrame(app)->IsShown());
        app->CloseHelp();
        ASSERT_TRUE(guitest::WaitFor([this] { return HelpFrame(app) == nullptr; }));
    }
}

TEST_F(GeminexAppTest, SearchCommandOpensTheHelpIndex) {
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_HELP_SEARCH)));
    ASSERT_TRUE(guitest::WaitFor([this] { return HelpFrame(app) != nullptr; }));
    EXPECT_TRUE(HelpFrame(app)->IsShown());
    wxHtmlHelpData* data = app->GetHelpController()->GetHelpWindow()->GetData();
    EXPECT_GE(data->GetIndexArray().size(), 10u);
}

TEST_F(GeminexAppTest, HelpWindowGoesWithTheMainWindow) {
    ASSERT_TRUE(app->ShowHelpContents());
    ASSERT_NE(HelpFrame(app), nullptr);
    frame->Close(true);
    EXPECT_TRUE(guitest::WaitFor([this] { return HelpFrame(app) == nullptr; }));
}

TEST(HelpWindowPlace, CentredOverTheWindowAndKeptOnTheScreen) {
    const wxRect screen(0, 0, 1280, 1024);
    EXPECT_EQ(CentredOver(wxRect(100, 100, 800, 600), wxSize(600, 400), screen), wxPoint(200, 200));
    // Past an edge: moved back onto the screen; larger than it: its top left corner.
    EXPECT_EQ(CentredOver(wxRect(1000, 900, 200, 100), wxSize(600, 400), screen),
              wxPoint(680, 624));
    EXPECT_EQ(CentredOver(wxRect(-50, -50, 100, 100), wxSize(600, 400), screen), wxPoint(0, 0));
    EXPECT_EQ(CentredOver(wxRect(0, 0, 100, 100), wxSize(2000, 1500), screen), wxPoint(0, 0));
    // A second screen to the left of the first.
    EXPECT_EQ(CentredOver(wxRect(-1000, 100, 800, 600), wxSize(600, 400),
                          wxRect(-1280, 0, 1280, 1024)), wxPoint(-900, 200));
}

TEST_F(GeminexAppTest, HelpWindowOpensCentredOnTheMainWindow) {
    frame->SetSize(150, 120, 900, 700);
    ASSERT_TRUE(guitest::WaitFor([this] { return frame->GetScreenRect().GetWidth() == 900; }));
    ASSERT_TRUE(app->ShowHelpContents());
    wxFrame* help = HelpFrame(app);
    ASSERT_NE(help, nullptr);
    const wxRect main = frame->GetScreenRect();
    wxRect shown;
    // The window system may settle its place a moment later.
    guitest::WaitFor([&] {
        shown = help->GetScreenRect();
        return std::abs((shown.x + shown.width / 2) - (main.x + main.width / 2)) <= 2 &&
               std::abs((shown.y + shown.height / 2) - (main.y + main.height / 2)) <= 2;
    }, 1000);
    EXPECT_NEAR(shown.x + shown.width / 2, main.x + main.width / 2, 2);
    EXPECT_NEAR(shown.y + shown.height / 2, main.y + main.height / 2, 2);

    // Escape closes it, from wherever its focus is; other keys stay the page's.
    wxWindow* focus = wxWindow::FindFocus();
    if (focus == nullptr || !help->IsDescendant(focus)) focus = help;
    const auto press = [focus](int keyCode) {
        wxKeyEvent key(wxEVT_CHAR_HOOK);
        key.m_keyCode = keyCode;
        key.SetEventObject(focus);
        focus->GetEventHandler()->ProcessEvent(key);
    };
    press(WXK_PAGEDOWN);
    guitest::ProcessEvents(50);
    EXPECT_EQ(HelpFrame(app), help);
    press(WXK_ESCAPE);
    EXPECT_TRUE(guitest::WaitFor([this] { return HelpFrame(app) == nullptr; }));
    app->CloseHelp();
    ASSERT_TRUE(guitest::WaitFor([this] { return HelpFrame(app) == nullptr; }));
}

TEST_F(GeminexAppTest, MaskEditorHelpOpensThePageAboutMasks) {
    wxString page, title;
    bool enabled = false;
    // Help asked from a modal dialog is itself modal (the toolkit's grab): it is read and
    // closed from inside its own event loop.
    std::function<void(int)> whenHelpShown = [&](int triesLeft) {
        wxTheApp->CallAfter([&, triesLeft] {
            wxFrame* help = HelpFrame(app);
            const wxString opened =
                help != nullptr
                    ? app->GetHelpController()->GetHelpWindow()->GetHtmlWindow()->GetOpenedPage()
                    : wxString();
            if (opened.EndsWith("masks.html") || triesLeft <= 0) {
                page = opened.empty() ? wxString("none") : opened;
                if (help != nullptr) {
                    title = help->GetTitle();
                    enabled = help->IsShown() && help->IsEnabled();
                }
                app->CloseHelp();
            } else {
                wxMilliSleep(10);
                whenHelpShown(triesLeft - 1);
            }
        });
    };
    guitest::WhenModal<CIncludeExcludeDlg>([&](CIncludeExcludeDlg* editor) {
        whenHelpShown(300);
        wxCommandEvent press(wxEVT_BUTTON, wxID_HELP);
        press.SetEventObject(editor->FindWindow(wxID_HELP));
        editor->FindWindow(wxID_HELP)->GetEventHandler()->ProcessEvent(press);
        guitest::WaitFor([&] { return !page.empty(); }, 5000);
        guitest::WaitFor([this] { return HelpFrame(app) == nullptr; });
        editor->EndModal(wxID_CANCEL);
    });
    std::string mask = "*.txt";
    CIncludeExcludeDlg editor(mask, frame);
    editor.ShowModal();
    EXPECT_TRUE(page.EndsWith("masks.html")) << page.utf8_str().data();
    EXPECT_TRUE(enabled);  // usable while the editor waits
    EXPECT_TRUE(title.Contains(wxString::FromUTF8("文件类型和掩码"))) << title.utf8_str().data();
    // The menu's Contents still opens the book at its first page.
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_HELP)));
    ASSERT_TRUE(guitest::WaitFor([this] { return HelpFrame(app) != nullptr; }));
    EXPECT_TRUE(guitest::WaitFor([this] {
        return app->GetHelpController()->GetHelpWindow()->GetHtmlWindow()->GetOpenedPage()
            .EndsWith("index.html");
    }));
    app->CloseHelp();
    EXPECT_TRUE(guitest::WaitFor([this] { return HelpFrame(app) == nullptr; }));
}

}  // namespace
