// Folder arguments in their Windows forms: drives, UNC shares, forward slashes, paths relative
// to the current folder or to the root of its drive, and a file standing for its folder.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/command_line_info.h"
#include "engine/text/text_helpers.h"
#include "support/temp_dir.h"

namespace {

std::string Start(const std::vector<std::string>& args, const std::string& current) {
    return JoinString(CCommandLineInfo::StartPathsFromArguments(args, current), ";");
}

TEST(WindowsCommandLine, FolderArgumentsInWindowsForms) {
    const std::string base = "C:\\work\\base";
    EXPECT_EQ(Start({"D:\\photos\\"}, base), "D:\\photos");
    EXPECT_EQ(Start({"D:\\"}, base), "D:\\");
    EXPECT_EQ(Start({"D:/photos/./2024//"}, base), "D:\\photos\\2024");
    EXPECT_EQ(Start({"sub\\dir"}, base), "C:\\work\\base\\sub\\dir");
    EXPECT_EQ(Start({"."}, base), "C:\\work\\base");
    // ".." stays: the folder before it may be a link.
    EXPECT_EQ(Start({"..\\other"}, base), "C:\\work\\base\\..\\other");
    // The root of the current drive, and the current drive named without a separator.
    EXPECT_EQ(Start({"\\top"}, base), "C:\\top");
    EXPECT_EQ(Start({"c:sub"}, base), "C:\\work\\base\\sub");
    // A share keeps its server and share name whole.
    EXPECT_EQ(Start({"\\\\server\\share\\dir\\"}, base), "\\\\server\\share\\dir");
    EXPECT_EQ(Start({"\\\\server\\share\\"}, base), "\\\\server\\share\\");
    // Named twice (once with other separators): listed once, where first named.
    EXPECT_EQ(Start({"D:\\a", "E:\\b", "D:/a/"}, base), "D:\\a;E:\\b");
    // "/p" is a flag only as a flag's name; as a path it is rooted on the current drive.
    CCommandLineInfo info;
    info.ParseCommandLine({"/photos"}, base);
    EXPECT_EQ(info.m_startPaths, std::vector<std::string>{"C:\\photos"});
    EXPECT_EQ(info.m_nShellCommand, CCommandLineInfo::FileNew);
}

TEST(WindowsCommandLine, AFileStandsForItsFolder) {
    TempDir dir;
    const std::string file = dir.WriteFile("列表\\list.csv", "a");
    const std::string folder = file.substr(0, file.rfind('\\'));
    EXPECT_EQ(Start({file}, "C:\\"), folder);
    // Relative to the current folder, with forward slashes.
    std::string root = dir.Path();
    root.pop_back();
    EXPECT_EQ(Start({"列表/list.csv"}, root), folder);
    // A folder, and a path that does not exist, stay as named.
    EXPECT_EQ(Start({folder}, "C:\\"), folder);
    EXPECT_EQ(Start({folder + "\\missing.txt"}, "C:\\"), folder + "\\missing.txt");
}

}  // namespace
