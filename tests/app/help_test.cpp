// Help: Contents (F1, 57670, and 57667, 57671, 57669) and Search help (40013) reach the bundled
// help book.
#include <gtest/gtest.h>
#include <wx/filefn.h>
#include <wx/frame.h>
#include <wx/html/helpctrl.h>
#include <wx/html/helpfrm.h>

#include "gui/command_ids.h"
#include "app/gui_test_env.h"
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

}  // namespace
