// The command line: the framework's standard shell commands.
#include <gtest/gtest.h>
#include <wx/docview.h>

#include "app/command_line_info.h"
#include "app/gui_test_env.h"
#include "support/temp_dir.h"

namespace {

CCommandLineInfo Parse(const std::vector<std::string>& args) {
    CCommandLineInfo info;
    info.ParseCommandLine(args);
    return info;
}

TEST(CommandLine, NothingMeansANewDocument) {
    const CCommandLineInfo info = Parse({});
    EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FileNew);
    EXPECT_TRUE(info.m_strFileName.empty());
}

TEST(CommandLine, AFileIsOpened) {
    const CCommandLineInfo info = Parse({"/home/user/list.csv"});
    EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FileOpen);
    EXPECT_EQ(info.m_strFileName, "/home/user/list.csv");
}

TEST(CommandLine, PrintAndPrintTo) {
    CCommandLineInfo info = Parse({"/p", "a.txt"});
    EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FilePrint);
    EXPECT_EQ(info.m_strFileName, "a.txt");
    info = Parse({"-PT", "a.txt", "printer", "driver", "port"});
    EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FilePrintTo);
    EXPECT_EQ(info.m_strFileName, "a.txt");
    EXPECT_EQ(info.m_strPrinterName, "printer");
    EXPECT_EQ(info.m_strDriverName, "driver");
    EXPECT_EQ(info.m_strPortName, "port");
}

TEST(CommandLine, OtherFlags) {
    EXPECT_EQ(Parse({"/dde"}).m_nShellCommand, CCommandLineInfo::FileDDE);
    EXPECT_EQ(Parse({"/Register"}).m_nShellCommand, CCommandLineInfo::AppRegister);
    EXPECT_EQ(Parse({"-regserver"}).m_nShellCommand, CCommandLineInfo::AppRegister);
    EXPECT_EQ(Parse({"/Unregister"}).m_nShellCommand, CCommandLineInfo::AppUnregister);
    const CCommandLineInfo info = Parse({"/Embedding", "-Automation"});
    EXPECT_TRUE(info.m_bRunEmbedded);
    EXPECT_TRUE(info.m_bRunAutomated);
    EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FileNew);
}

TEST(CommandLine, AnAbsolutePathIsNotAFlag) {
    const CCommandLineInfo info = Parse({"/p"});
    EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FilePrint);
    EXPECT_EQ(Parse({"/pt/x"}).m_strFileName, "/pt/x");
    EXPECT_EQ(Parse({"/dde/list.csv"}).m_nShellCommand, CCommandLineInfo::FileOpen);
}

class CommandLineAppTest : public GeminexAppTest {
protected:
    void SetUp() override {}
};

TEST_F(CommandLineAppTest, AFileArgumentBecomesTheDocumentAndTheTitleStays) {
    TempDir dir;
    const std::string file = dir.WriteFile("list.csv", "\"a\",\"b\"\r\n");
    ASSERT_NO_FATAL_FAILURE(StartApp({file}));
    wxDocument* doc = app->GetDocManager()->GetCurrentDocument();
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(doc->GetFilename(), wxString::FromUTF8(file.c_str()));
    EXPECT_EQ(frame->GetTitle(), "Pairscout");
}

TEST_F(CommandLineAppTest, AMissingFileEndsTheStart) {
    app = GetGeminexApp();
    EXPECT_FALSE(app->InitInstance({guitest::TempHome() + "no-such-file.csv"}));
    guitest::ProcessEvents();
    EXPECT_EQ(GetMainFrame(), nullptr);
    EXPECT_EQ(app->GetDocManager(), nullptr);
}

TEST_F(CommandLineAppTest, UnregisterEndsWithoutAWindow) {
    app = GetGeminexApp();
    EXPECT_FALSE(app->InitInstance({"/Unregister"}));
    guitest::ProcessEvents();
    EXPECT_EQ(GetMainFrame(), nullptr);
}

}  // namespace
