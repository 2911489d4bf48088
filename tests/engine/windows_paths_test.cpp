// Rules that hold on Windows only: the backslash as folder separator in masks and paths, "/"
// turned into "\" by the walker, drive roots, and one file named by paths that differ in
// letter case.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "engine/search/directory_scanner.h"
#include "engine/search/duplicate_search.h"
#include "engine/search/mask_matcher.h"
#include "support/platform_rules.h"
#include "support/recording_sink.h"
#include "support/scan_support.h"
#include "support/temp_dir.h"

namespace {

using StatusLines = RecordingSink;

int MatchUnder(const char* root, std::string mask, const std::string& path) {
    MaskMatcher m(mask, 1);
    m.ScanRoot = root != nullptr ? root : "";
    return m.MatchPath(path);
}

std::string WithSlashes(std::string path) {
    std::replace(path.begin(), path.end(), '\\', '/');
    return path;
}

TEST(WindowsMasks, BackslashFolderPartsUnderADriveRoot) {
    const char* root = "C:\\DATA";
    EXPECT_EQ(MatchUnder(root, "*\\TEMP\\*.TMP", "C:\\DATA\\X\\TEMP\\F.TMP"), 1);
    EXPECT_EQ(MatchUnder(root, "*\\TEMP\\*.TMP", "C:\\DATA\\TEMP\\F.TMP"), 1);
    EXPECT_EQ(MatchUnder(root, "*\\TEMP\\*.TMP", "C:\\DATA\\TEMP\\SUB\\F.TMP"), 0);
    EXPECT_EQ(MatchUnder(root, "*\\TEMP\\*.TMP", "C:\\DATA\\TEMP\\X\\TEMP\\F.TMP"), 0);
    EXPECT_EQ(MatchUnder(root, "TEMP\\*\\*.TMP", "C:\\DATA\\TEMP\\F.TMP"), 1);
    EXPECT_EQ(MatchUnder(root, "TEMP\\*\\*.TMP", "C:\\DATA\\TEMP\\SUB\\F.TMP"), 1);
    EXPECT_EQ(MatchUnder(root, "TEMP\\*\\*.TMP", "C:\\DATA\\X\\TEMP\\F.TMP"), 0);
    EXPECT_EQ(MatchUnder(root, "SUB\\*.TXT", "C:\\DATA\\SUB\\A.TXT"), 1);
    EXPECT_EQ(MatchUnder(root, "SUB\\*.TXT", "C:\\DATA\\X\\SUB\\A.TXT"), 0);
    EXPECT_EQ(MatchUnder(root, "\\*.TXT", "C:\\DATA\\A.TXT"), 1);
    EXPECT_EQ(MatchUnder(root, "\\*.TXT", "C:\\DATA\\SUB\\A.TXT"), 0);
    // Folder parts ignore letter case like names do.
    EXPECT_EQ(MatchUnder(root, "*\\temp\\*.tmp", "c:\\data\\x\\Temp\\f.TMP"), 1);
    // Escape letters after a folder backslash stay letters: "\t" is no TAB here.
    EXPECT_EQ(MatchUnder(root, "tmp\\new\\*.*", "C:\\DATA\\TMP\\NEW\\A.B"), 1);
    // A drive root with its backslash gives the same relative folders as one without.
    for (const char* driveRoot : {"C:", "C:\\"}) {
        EXPECT_EQ(MatchUnder(driveRoot, "\\*.TXT", "C:\\A.TXT"), 1) << driveRoot;
        EXPECT_EQ(MatchUnder(driveRoot, "DATA\\*.TXT", "C:\\DATA\\A.TXT"), 1) << driveRoot;
        EXPECT_EQ(MatchUnder(driveRoot, "\\*.TXT", "C:\\DATA\\A.TXT"), 0) << driveRoot;
    }
    // "/" is an ordinary byte of a Windows mask: no folder part.
    std::string slash = "SUB/*.TXT";
    MaskMatcher m(slash, 1);
    EXPECT_EQ(m.hasDir, 0);
}

// Names are UTF-8 whatever the code page. "乗" is 0x81 0x5C in GBK (Chinese Windows), a second
// byte that is "\\"; in UTF-8 no byte of it is ASCII: it neither splits a mask nor a path,
// nor ends a root, on any code page.
TEST(WindowsMasks, ChineseNamesNeverHoldASeparator) {
    const std::string jou = "\xE4\xB9\x97";

    std::string folder = "sub\\" + jou, file;
    int hasDir = 0, anyPrefix = 0, anySuffix = 0;
    SplitMaskPath(folder, file, hasDir, anyPrefix, anySuffix);
    EXPECT_EQ(folder, "\\sub\\");
    EXPECT_EQ(file, jou);
    EXPECT_EQ(hasDir, 1);

    // The name is everything after the last real separator.
    EXPECT_EQ(MatchUnder("C:\\DATA", "\\*.txt", "C:\\DATA\\" + jou + "x.txt"), 1);
    EXPECT_EQ(MatchUnder("C:\\DATA", "\\*.txt", "C:\\DATA\\" + jou + "\\x.txt"), 0);
    EXPECT_EQ(MatchUnder("C:\\DATA", "\\" + jou + "*.txt", "C:\\DATA\\" + jou + "x.txt"), 1);
    // A root that ends in such a character keeps it.
    const std::string root = "C:\\" + jou;
    EXPECT_EQ(MatchUnder(root.c_str(), "\\*.txt", root + "\\a.txt"), 1);
    EXPECT_EQ(MatchUnder(root.c_str(), "\\*.txt", root + "\\b\\a.txt"), 0);
}

TEST(WindowsScanner, SlashesAreWalkedAsBackslashes) {
    TempDir dir;
    dir.WriteFile("Data/a.txt", "a");
    dir.WriteFile("Data/sub/b.txt", "b");
    const std::string data = dir / "Data\\";
    const std::string typed = WithSlashes(dir / "Data");  // "C:/.../Data"

    StatusLines sink;
    EXPECT_EQ(Scan(typed, "*.*", nullptr, &sink),
              (std::vector<std::string>{data + "a.txt", data + "sub\\b.txt"}));
    ASSERT_EQ(sink.Folders().size(), 2u);
    EXPECT_EQ(sink.Folders().front(), typed);  // the status shows the text as typed
    EXPECT_EQ(sink.Folders().back(), data + "sub\\");

    // Mask folders are relative to the typed root all the same, with or without its "/".
    EXPECT_EQ(Scan(typed, "sub\\*.txt"), (std::vector<std::string>{data + "sub\\b.txt"}));
    EXPECT_EQ(Scan(typed + "/", "\\*.txt"), (std::vector<std::string>{data + "a.txt"}));
    // Separators of both kinds in one start path.
    EXPECT_EQ(Scan(dir / "Data/sub", "*.*"), (std::vector<std::string>{data + "sub\\b.txt"}));
}

TEST(WindowsSearch, OneFileThroughTwoSpellingsIsNeverItsOwnCopy) {
    TempDir dir;
    dir.WriteFile("Data/one.txt", "contents");
    std::string upper = dir / "Data";
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });

    SearchOptions options;
    options.paths = {dir / "Data", upper};
    DuplicateSearch search(nullptr);
    ResultsModel results;
    ASSERT_EQ(search.Run(options, results), DuplicateSearch::kFinished);
    EXPECT_EQ(results.RowCount(), 0u);
    EXPECT_EQ(results.DuplicateCount(), 0);

    // A real copy is listed once, and so is each file, however many spellings reach it: the
    // file index of the open file tells, not the path.
    dir.WriteFile("Data/copy.txt", "contents");
    ASSERT_EQ(search.Run(options, results), DuplicateSearch::kFinished);
    // Found as lower/X, lower/Y, UPPER/X, UPPER/Y (X, Y in the file system's order): the
    // group is lower/X with lower/Y; the UPPER records are those files again.
    ASSERT_EQ(results.RowCount(), 2u);
    const std::string lower = dir / "Data\\";
    const std::string first = results.Row(0).record->Path();
    const std::string second = results.Row(1).record->Path();
    ASSERT_EQ(first.compare(0, lower.size(), lower), 0) << first;
    ASSERT_EQ(second.compare(0, lower.size(), lower), 0) << second;
    EXPECT_NE(first, second);
    EXPECT_EQ(results.DuplicateCount(), 1);
    EXPECT_NE(results.Row(0).record->m_nInode, results.Row(1).record->m_nInode);
}

// The script that runs this suite under Wine maps folders as drives of several types and names
// them in PAIRSCOUT_TEST_DRIVES, for example "M:cdrom;N:network;O:floppy;P:hd".
TEST(WindowsDrives, LocalDiskKeywordTakesOnlyFixedDrives) {
    const char* mapped = std::getenv("PAIRSCOUT_TEST_DRIVES");
    if (mapped == nullptr || *mapped == '\0') GTEST_SKIP() << "no test drives are mapped";

    std::vector<std::string> roots;
    const int disks = ExpandLocalDrives("本地硬盘", roots);
    ASSERT_GT(disks, 0);
    ASSERT_EQ(roots.size(), static_cast<std::size_t>(disks));
    const std::string spec = JoinString(roots, ";");
    const std::string listed = ";" + spec + ";";
    EXPECT_NE(listed.find(";C:\\;"), std::string::npos) << spec;

    std::vector<std::string> entries;
    SplitString(mapped, entries, ";");
    std::string fixedRoot;
    for (const std::string& entry : entries) {
        ASSERT_GE(entry.size(), 3u) << entry;
        const std::string root = entry.substr(0, 2) + "\\";
        const bool fixed = entry.substr(2) == "hd";
        EXPECT_EQ(listed.find(";" + root + ";") != std::string::npos, fixed) << entry << " in "
                                                                             << spec;
        if (fixed) fixedRoot = root;
    }

    // Expanded, the keyword gives one folder per root, and a fixed root is walked.
    std::vector<std::string> folders;
    ASSERT_EQ(ExpandPathSpec("本地硬盘", folders), 1);
    ASSERT_EQ(folders.size(), static_cast<std::size_t>(disks));
    EXPECT_EQ(folders[0].back(), '\\');
    if (!fixedRoot.empty()) {
        const auto found = Scan(fixedRoot, "marker.txt");
        EXPECT_EQ(found, (std::vector<std::string>{fixedRoot + "marker.txt"}));
    }
}

TEST(WindowsDrives, ServerNamesWithBackslashes) {
    EXPECT_TRUE(IsPlaceKeyword("\\\\no-such-server"));
    EXPECT_TRUE(IsPlaceKeyword("\\\\no-such-server\\"));
    EXPECT_FALSE(IsPlaceKeyword("\\\\server\\share\\x"));
    std::vector<std::string> folders;
    EXPECT_EQ(ExpandPathSpec("\\\\no-such-server", folders), 0);
    EXPECT_TRUE(Scan("\\\\no-such-server", "*.*").empty());
    std::vector<std::string> roots;
    EXPECT_EQ(ExpandLocalDrives("C:\\", roots), 0);
    EXPECT_TRUE(roots.empty());
}

}  // namespace

#endif  // _WIN32
