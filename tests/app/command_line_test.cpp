// The command line: folders to search, and the framework's standard shell commands.
#include <unistd.h>

#include <functional>

#include <gtest/gtest.h>
#include <wx/docview.h>
#include <wx/filename.h>

#include "app/command_line_info.h"
#include "app/gui_test_env.h"
#include "engine/text/text_helpers.h"
#include "options/options_sheet.h"
#include "support/temp_dir.h"

namespace {

CCommandLineInfo Parse(const std::vector<std::string>& args,
                       const std::string& currentFolder = "/nowhere") {
    CCommandLineInfo info;
    info.ParseCommandLine(args, currentFolder);
    return info;
}

// The start paths with ";" between them, to compare at a glance (no name here holds one).
std::string Listed(const CCommandLineInfo& info) { return JoinString(info.m_startPaths, ";"); }

// A TempDir's path without its closing separator, as the start paths write folders.
std::string Bare(const std::string& folder) { return folder.substr(0, folder.size() - 1); }

TEST(CommandLine, NothingMeansANewDocument) {
    const CCommandLineInfo info = Parse({});
    EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FileNew);
    EXPECT_TRUE(info.m_strFileName.empty());
    EXPECT_TRUE(Listed(info).empty());
}

TEST(CommandLine, FoldersAndFilesBecomeTheStartPaths) {
    TempDir tree;
    const std::string a = Bare(tree.MakeDir("A"));
    const std::string b = Bare(tree.MakeDir("B b"));
    const std::string file = tree.WriteFile("B b/list.csv", "x");

    // Two folders: exactly those, in order, and a new document rather than an opened one.
    CCommandLineInfo info = Parse({a, b});
    EXPECT_EQ(Listed(info), a + ";" + b);
    EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FileNew);
    EXPECT_TRUE(info.m_strFileName.empty());

    // A file names its folder; that folder named again is listed once.
    EXPECT_EQ(Listed(Parse({a, file})), a + ";" + b);
    EXPECT_EQ(Listed(Parse({file, b + "/", a})), b + ";" + a);

    // Relative paths are taken from the current folder; "." parts, doubled and closing
    // separators go; ".." stays (a link may stand before it).
    EXPECT_EQ(Listed(Parse({"A", "./B b/list.csv", "."}, tree.Path())),
              a + ";" + b + ";" + Bare(tree.Path()));
    EXPECT_EQ(Listed(Parse({a + "//./", "A/../B b"}, tree.Path())),
              a + ";" + tree.Path() + "A/../B b");

    // A path that does not exist stays for the user to correct; the root stays the root.
    EXPECT_EQ(Listed(Parse({"/", "gone/x.txt"}, "/home/u")), "/;/home/u/gone/x.txt");
    // An empty argument names nothing.
    EXPECT_EQ(Listed(Parse({"", a, ""})), a);
    // Each argument is one folder, a ";" in its name included.
    const std::string semi = Bare(tree.MakeDir("a;b"));
    EXPECT_EQ(Parse({semi, a}).m_startPaths, (std::vector<std::string>{semi, a}));
}

TEST(CommandLine, ALinkCountsAsWhatItPointsTo) {
    TempDir tree;
    const std::string real = Bare(tree.MakeDir("real"));
    const std::string file = tree.WriteFile("real/f.txt", "x");
    ASSERT_EQ(symlink(real.c_str(), (tree / "folder-link").c_str()), 0);
    ASSERT_EQ(symlink(file.c_str(), (tree / "file-link").c_str()), 0);
    // A link to a folder is searched as that folder; a link to a file names the folder the
    // link is in.
    EXPECT_EQ(Listed(Parse({tree / "folder-link", tree / "file-link"})),
              tree / "folder-link" + ";" + Bare(tree.Path()));
}

TEST(CommandLine, RelativePathsDefaultToTheProcesssCurrentFolder) {
    const std::string here = wxFileName::GetCwd().utf8_string();
    // The process's own current folder by default.
    EXPECT_EQ(Listed(Parse({"no-such-folder"}, std::string())),
              (here == "/" ? "" : here) + "/no-such-folder");
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

TEST(CommandLine, PrintingKeepsTheDocumentMeaning) {
    // The document and printer are the plain arguments wherever the flag stands; none of them
    // is a folder to search.
    CCommandLineInfo info = Parse({"a.txt", "/p"});
    EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FilePrint);
    EXPECT_EQ(info.m_strFileName, "a.txt");
    EXPECT_TRUE(Listed(info).empty());
    info = Parse({"a.txt", "/pt", "printer"});
    EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FilePrintTo);
    EXPECT_EQ(info.m_strPrinterName, "printer");
    EXPECT_TRUE(info.m_strDriverName.empty());
    EXPECT_TRUE(Listed(info).empty());
}

TEST(CommandLine, OtherFlags) {
    EXPECT_EQ(Parse({"/dde"}).m_nShellCommand, CCommandLineInfo::FileDDE);
    // /dde still means a new document; a folder beside it is still a start path.
    const CCommandLineInfo dde = Parse({"/dde", "/srv/data"});
    EXPECT_EQ(dde.m_nShellCommand, CCommandLineInfo::FileDDE);
    EXPECT_EQ(Listed(dde), "/srv/data");
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
    EXPECT_EQ(Listed(Parse({"/pt/x"})), "/pt/x");
    EXPECT_EQ(Parse({"/pt/x"}).m_nShellCommand, CCommandLineInfo::FileNew);
    EXPECT_EQ(Parse({"/dde/list.csv"}).m_nShellCommand, CCommandLineInfo::FileNew);
    EXPECT_EQ(Listed(Parse({"/dde/list.csv"})), "/dde/list.csv");
}

class CommandLineAppTest : public GeminexAppTest {
protected:
    void SetUp() override {}
};

TEST_F(CommandLineAppTest, AFileArgumentOpensTheWindowWithANewDocument) {
    TempDir dir;
    const std::string file = dir.WriteFile("list.csv", "\"a\",\"b\"\r\n");
    // The folder argument opens the options sheet once the window is up; it is cancelled.
    std::string sheetPaths;
    guitest::WhenModal<COptionsSheet>([&](COptionsSheet* sheet) {
        SearchOptions options;
        sheet->CopyBack(options);
        sheetPaths = JoinString(options.paths, ";");
        sheet->EndModal(wxID_CANCEL);
    });
    ASSERT_NO_FATAL_FAILURE(StartApp({file}));
    EXPECT_TRUE(guitest::WaitFor([&] { return !sheetPaths.empty(); }));
    EXPECT_EQ(sheetPaths + "/", dir.Path());
    // The file names a folder to search; it is no longer opened as the document.
    wxDocument* doc = app->GetDocManager()->GetCurrentDocument();
    ASSERT_NE(doc, nullptr);
    EXPECT_NE(doc->GetFilename(), wxString::FromUTF8(file.c_str()));
    EXPECT_EQ(frame->GetTitle(), "Pairscout");
}

TEST_F(CommandLineAppTest, AMissingFileToPrintEndsTheStart) {
    app = GetGeminexApp();
    EXPECT_FALSE(app->InitInstance({"/p", guitest::TempHome() + "no-such-file.csv"}));
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
