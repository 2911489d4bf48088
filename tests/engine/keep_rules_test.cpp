// Which copy stays, on real trees: every keep rule puts the expected copy first and says so, a
// tie falls to the next rule, copy marks go last, folders match by whole components, and files
// in protected folders are never selected nor deleted.
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/actions/duplicate_action.h"
#include "engine/search/duplicate_search.h"
#include "engine/results/keep_rules.h"
#include "engine/actions/safe_delete.h"
#include "support/platform_rules.h"
#include "support/temp_dir.h"

namespace {

// Sets the modification time of `path` to `hours` hours before a fixed point in the past.
void SetAge(const std::string& path, int hours) {
    // One point for every call, so that equal ages give equal times.
    static const auto base = std::chrono::time_point_cast<std::chrono::seconds>(
        std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * 400));
    // The path is UTF-8, also on Windows, where a narrow path would be read in the ANSI code page.
    std::filesystem::last_write_time(std::filesystem::u8path(path), base - std::chrono::hours(hours));
}

KeepRule Rule(KeepReason kind, std::vector<std::string> folders = {}, std::string mask = {}) {
    KeepRule rule;
    rule.kind = kind;
    rule.folders = std::move(folders);
    rule.mask = std::move(mask);
    return rule;
}

// Searches `root` with `policy`; the rows of the model as paths relative to `root`, "|"
// between groups.
std::string Search(const TempDir& root, const KeepPolicy& policy, ResultsModel& model) {
    SearchOptions options;
    options.paths = {root.Path()};
    options.keep = policy;
    DuplicateSearch search(nullptr);
    EXPECT_EQ(search.Run(options, model), DuplicateSearch::kFinished);
    std::string text;
    for (std::size_t row = 0; row < model.RowCount(); ++row) {
        if (row > 0) text += model.Row(row).image == kImageGroupFirst ? "|" : ",";
        std::string path = model.Row(row).record->Path().substr(root.Path().size());
        for (char& c : path)
            if (c == '\\') c = '/';
        text += path;
    }
    return text;
}

KeepPolicy Rules(std::vector<KeepRule> rules) {
    KeepPolicy policy;
    policy.rules = std::move(rules);
    return policy;
}

TEST(CopyMark, ChineseAndEnglishFormsGoLast) {
    for (const char* name :
         {"X (1).ext", "X(12).txt", "X 副本.ext", "X - 副本.ext", "X - Copy.ext", "x - copy (3).doc",
          "X copy 2.txt", "X (copy).txt", "X (another copy).txt", "Copy of X.txt",
          "Copy (2) of X.txt", "X_备份.ext", "X (副本 2).ext", "报告副本.txt", "报告 副本 (2).txt",
          "复件 报告.txt", "X_backup.zip", "电影 (副本).mkv", "长城_备份.jpg", "noext (1)"}) {
        EXPECT_TRUE(HasCopyMark(name)) << name;
    }
    for (const char* name :
         {"X.ext", "Report (2019).pdf", "photocopy.txt", "xcopy.exe", "copy.txt", "(1).txt",
          "备份.txt", "报告.txt", "Copy of .txt", "X (final).txt", ".bashrc", "Copy ofX.txt",
          "backup", "X (1a).txt", "长城.jpg"}) {
        EXPECT_FALSE(HasCopyMark(name)) << name;
    }    // Folder names: the mark alone names a backup folder too.
    for (const char* name : {"备份", "Backup", "backups", "副本", "照片 2023 备份", "Copy of 照片",
                             "照片 (1)", "照片 - 副本", "v1.2 backup"})
        EXPECT_TRUE(FolderHasCopyMark(name)) << name;
    for (const char* name : {"照片 2023", "backupper", "Report (2019)", "s", "photocopies"})
        EXPECT_FALSE(FolderHasCopyMark(name)) << name;
    const std::string sep(1, kWindows ? '\\' : '/');
    EXPECT_EQ(CopyMarksOnPath(sep + "备份" + sep + "照片 备份" + sep + "a (1).jpg"), 3);
    EXPECT_EQ(CopyMarksOnPath(sep + "备份.d" + sep + "备份.txt"), 0);
}

TEST(FolderList, MatchesWholeComponentsInOrder) {
    const std::string cwd = std::filesystem::current_path().string();
    const std::string sep(1, kWindows ? '\\' : '/');
    const std::string root = kWindows ? "C:\\data" : "/data";
    const FolderList folders({root + sep + "b" + sep, root + sep + "a", "", "rel" + sep + "x"});
    EXPECT_EQ(folders.Size(), 3u);  // the empty entry names nothing
    EXPECT_EQ(folders.IndexOf(root + sep + "a" + sep + "f.txt"), 1);
    EXPECT_EQ(folders.IndexOf(root + sep + "a" + sep + "deep" + sep + "f.txt"), 1);
    EXPECT_EQ(folders.IndexOf(root + sep + "b" + sep + "f.txt"), 0);
    EXPECT_EQ(folders.IndexOf(root + sep + "bc" + sep + "f.txt"), -1) << "a prefix of a name";
    EXPECT_EQ(folders.IndexOf(root + sep + "a"), -1) << "the folder itself is no file under it";
    EXPECT_EQ(folders.IndexOf(root + sep + "c" + sep + ".." + sep + "a" + sep + "f"), 1);
    EXPECT_EQ(folders.IndexOf(root + sep + "a" + sep + ".." + sep + "c" + sep + "f"), -1);
    // A relative folder is taken from the current folder, for relative and absolute paths.
    EXPECT_EQ(folders.IndexOf("rel" + sep + "x" + sep + "f"), 2);
    EXPECT_EQ(folders.IndexOf("." + sep + "rel" + sep + "x" + sep + "f"), 2);
    EXPECT_EQ(folders.IndexOf(cwd + sep + "rel" + sep + "x" + sep + "f"), 2);
    EXPECT_EQ(folders.IndexOf("rel" + sep + "xy" + sep + "f"), -1);
    EXPECT_EQ(FolderList().IndexOf(root + sep + "a" + sep + "f"), -1);
    // Letter case counts where the file system's does.
    EXPECT_EQ(folders.IndexOf(root + sep + "A" + sep + "f"), kWindows ? 1 : -1);
}

class KeepRulesTest : public ::testing::Test {
protected:
    // One group of three copies: the oldest has the longest path; "a (1).txt" is the newest
    // and has the shortest.
    void SetUp() override {
        SetAge(tree.WriteFile("deep/er/orig.txt", "same bytes"), 30);
        SetAge(tree.WriteFile("b/plain.txt", "same bytes"), 20);
        SetAge(tree.WriteFile("a (1).txt", "same bytes"), 10);
    }
    TempDir tree;
    ResultsModel model;
};

TEST_F(KeepRulesTest, EachRulePutsItsCopyFirstAndIsNamed) {
    struct Case {
        KeepRule rule;
        const char* first;
        KeepReason reason;
    };
    const Case cases[] = {
        {Rule(kKeptOldest), "deep/er/orig.txt", kKeptOldest},
        {Rule(kKeptNewest), "a (1).txt", kKeptNewest},
        {Rule(kKeptShortestPath), "a (1).txt", kKeptShortestPath},
        {Rule(kKeptLongestPath), "deep/er/orig.txt", kKeptLongestPath},
        {Rule(kKeptFolder, {tree / "b"}), "b/plain.txt", kKeptFolder},
        {Rule(kKeptMask, {}, Native("*/B/*.TXT")), "b/plain.txt", kKeptMask},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.first);
        const std::string rows = Search(tree, Rules({c.rule}), model);
        EXPECT_EQ(rows.substr(0, rows.find(',')), c.first) << rows;
        EXPECT_EQ(model.Row(0).keptBy, c.reason);
        EXPECT_EQ(model.RowCount(), 3u);
        EXPECT_EQ(model.Row(0).image, kImageGroupFirst);
        EXPECT_EQ(model.Row(2).image, kImageGroupLast);
        EXPECT_TRUE(model.Row(0).showsDetails);
        EXPECT_FALSE(model.Row(1).showsDetails);
        EXPECT_EQ(model.DuplicateCount(), 2);
    }
    // Newest, then: the files in order.
    EXPECT_EQ(Search(tree, Rules({Rule(kKeptNewest)}), model), "a (1).txt,b/plain.txt,deep/er/orig.txt");
    // Without copy marks: the two unmarked files tie and keep the order found; the marked goes
    // last. No rule put the first ahead of the second, and the group says so; select-all
    // holds such a group back when asked to.
    const std::string noMark = Search(tree, Rules({Rule(kKeptNoCopyMark)}), model);
    EXPECT_EQ(noMark.substr(noMark.rfind(',') + 1), "a (1).txt");
    EXPECT_EQ(model.Row(0).keptBy, kKeptTied);
    EXPECT_EQ(std::string(KeepReasonText(model.Row(0).keptBy)), "无规则可区分");
    std::size_t tied = 9;
    EXPECT_TRUE(WithoutTiedGroups(model, model.DuplicateRows(), &tied).empty());
    EXPECT_EQ(tied, 1u);
    // No rules at all: the order found is what the user asked for, not a tie.
    Search(tree, KeepPolicy(), model);
    EXPECT_EQ(model.Row(0).keptBy, kKeptAsFound);
    EXPECT_EQ(WithoutTiedGroups(model, model.DuplicateRows(), &tied).size(), 2u);
    EXPECT_EQ(tied, 0u);

    // A photo and its backup of the same time, the backup found first: a new user's rules keep
    // the photo, because the backup's folders carry copy marks; a group whose files differ
    // in nothing the rules look at stays tied.
    TempDir photos;
    for (const char* name : {"备份/照片 2023 备份/长城.jpg", "照片 2023/长城.jpg", "Backups/x/报告.txt",
                             "docs/报告.txt", "a/same.txt", "b/same.txt"})
        SetAge(photos.WriteFile(name, std::string(name).find("长城") != std::string::npos ? "jpg"
                                     : std::string(name).find("报告") != std::string::npos ? "report"
                                                                                         : "same"),
               5);
    Search(photos, DefaultKeepPolicy(), model);
    ASSERT_EQ(model.GroupCount(), 3u);
    std::size_t kept = 0;
    for (const RowGroup& group : model.Groups()) {
        const ResultRow& first = model.Row(group.begin);
        const std::string path = first.record->Path().substr(photos.Path().size());
        if (path.find("same") != std::string::npos) {
            EXPECT_EQ(first.keptBy, kKeptTied) << path;
            continue;
        }
        EXPECT_TRUE(path == Native("照片 2023/长城.jpg") || path == Native("docs/报告.txt")) << path;
        EXPECT_EQ(first.keptBy, kKeptNoCopyMark) << path;
        ++kept;
    }
    EXPECT_EQ(kept, 2u);
    EXPECT_EQ(WithoutTiedGroups(model, model.DuplicateRows(), &tied).size(), 2u);
    EXPECT_EQ(tied, 1u);
}

TEST_F(KeepRulesTest, TiesFallToTheNextRule) {
    // Two files of one time: oldest ties, the shorter path decides.
    SetAge(tree / "b/plain.txt", 30);
    EXPECT_EQ(Search(tree, Rules({Rule(kKeptOldest), Rule(kKeptShortestPath)}), model),
              "b/plain.txt,deep/er/orig.txt,a (1).txt");
    EXPECT_EQ(model.Row(0).keptBy, kKeptShortestPath);
    EXPECT_EQ(std::string(KeepReasonText(kKeptShortestPath)), "路径最短");
    // A folder rule that holds none of them decides nothing; the mark does.
    EXPECT_EQ(Search(tree, Rules({Rule(kKeptFolder, {tree / "nowhere"}), Rule(kKeptNoCopyMark),
                                  Rule(kKeptOldest), Rule(kKeptLongestPath)}),
                     model),
              "deep/er/orig.txt,b/plain.txt,a (1).txt");
    EXPECT_EQ(model.Row(0).keptBy, kKeptLongestPath);
    // The folder list in order: the earlier folder wins although both hold a copy.
    EXPECT_EQ(Search(tree, Rules({Rule(kKeptFolder, {tree / "deep/er", tree / "b"})}), model),
              "deep/er/orig.txt,b/plain.txt,a (1).txt");
    EXPECT_EQ(model.Row(0).keptBy, kKeptFolder);
}

TEST(KeepRules, DefaultKeepsOriginalsOverMarkedCopiesAndOrdersGroupsByBytes) {
    TempDir tree;
    // The test's file helper writes names in the ANSI code page on Windows: English forms there
    // (the Chinese ones are checked by name above).
    const auto name = [](const char* chinese, const char* english) {
        return std::string(kWindows ? english : chinese);
    };
    const std::string film = name("视频/电影.mkv", "video/film.mkv");
    const std::string filmCopy = name("电影 (副本).mkv", "film - Copy.mkv");
    const std::string wall = name("2023年/旅行/长城.jpg", "2023/trip/wall.jpg");
    const std::string wallCopy = name("长城_备份.jpg", "wall_backup.jpg");
    const std::string report = name("工作/报告.txt", "work/report.txt");
    const std::string reportCopy = name("报告 副本.txt", "Copy of report.txt");
    // The marked copies are the older ones, and are found first.
    SetAge(tree.WriteFile("a/" + filmCopy, std::string(3000, 'm')), 50);
    SetAge(tree.WriteFile("b/" + film, std::string(3000, 'm')), 10);
    SetAge(tree.WriteFile("a/" + wallCopy, std::string(5000, 'j')), 50);
    SetAge(tree.WriteFile("b/" + wall, std::string(5000, 'j')), 10);
    // Three copies of 2000 bytes free 4000, more than the 3000 of the films.
    SetAge(tree.WriteFile("a/" + reportCopy, std::string(2000, 'r')), 40);
    SetAge(tree.WriteFile("b/" + report, std::string(2000, 'r')), 30);
    SetAge(tree.WriteFile("c/" + report, std::string(2000, 'r')), 20);
    ResultsModel model;
    EXPECT_EQ(Search(tree, DefaultKeepPolicy(), model),
              "b/" + wall + ",a/" + wallCopy + "|b/" + report + ",c/" + report + ",a/" + reportCopy +
                  "|b/" + film + ",a/" + filmCopy);
    EXPECT_EQ(model.Row(0).keptBy, kKeptNoCopyMark);
    EXPECT_EQ(model.Row(2).keptBy, kKeptOldest);
    EXPECT_EQ(model.DuplicateRows(), (std::vector<std::size_t>{1, 3, 4, 6}));

    // As found: the search's order of groups (largest size first) and of files.
    KeepPolicy found = DefaultKeepPolicy();
    found.order = GroupOrder::kAsFound;
    const std::string rows = Search(tree, found, model);
    EXPECT_EQ(rows.substr(0, rows.find('|')), "b/" + wall + ",a/" + wallCopy);
    EXPECT_EQ(rows.substr(rows.find('|') + 1, rows.find(',', rows.find('|')) - rows.find('|') - 1),
              "b/" + film);
    // No policy at all: the rows as the search found them, largest files first.
    Search(tree, KeepPolicy(), model);
    ASSERT_EQ(model.RowCount(), 7u);
    EXPECT_EQ(model.Row(0).record->m_nSize, 5000);
    EXPECT_EQ(model.Row(2).record->m_nSize, 3000);
    EXPECT_EQ(model.Row(0).keptBy, kKeptAsFound);
}

TEST(KeepRules, ProtectedFilesAreNeverSelectedNorDeleted) {
    TempDir tree;
    SetAge(tree.WriteFile("ref/one.txt", "one"), 5);   // the newest, yet protected
    SetAge(tree.WriteFile("other/one.txt", "one"), 50);
    SetAge(tree.WriteFile("ref/two.dat", "two2"), 50);
    SetAge(tree.WriteFile("ref/sub/two.dat", "two2"), 60);  // a group wholly protected
    SetAge(tree.WriteFile("refx/three.bin", "three"), 50);  // "refx" is not under "ref"
    SetAge(tree.WriteFile("other/three.bin", "three"), 40);
    KeepPolicy policy = DefaultKeepPolicy();
    policy.protectedFolders = {tree / "ref"};
    ResultsModel model;
    EXPECT_EQ(Search(tree, policy, model),
              "refx/three.bin,other/three.bin|ref/sub/two.dat,ref/two.dat|ref/one.txt,other/one.txt");
    EXPECT_EQ(model.Row(4).keptBy, kKeptProtected);
    EXPECT_TRUE(model.Row(2).isProtected && model.Row(3).isProtected);
    EXPECT_FALSE(model.Row(0).isProtected);
    // Select all duplicates passes over the protected copies.
    EXPECT_EQ(model.DuplicateRows(), (std::vector<std::size_t>{1, 5}));

    // Chosen by hand, every row: the protected files stay, named; the others go while a copy
    // stays (the first unprotected one of the all-chosen third group is its last copy).
    const DeleteOutcome out = SafeDelete(nullptr, false).Run(model, {0, 1, 2, 3, 4, 5});
    EXPECT_EQ(out.goneRows, (std::vector<std::size_t>{1, 5}));
    ASSERT_GE(out.kept.size(), 3u);
    EXPECT_EQ(out.kept[0].first, model.Row(2).record->Path());
    EXPECT_EQ(out.kept[0].second, "文件在受保护的文件夹中, 不删除");
    EXPECT_EQ(out.kept[2].first, model.Row(4).record->Path());
    EXPECT_TRUE(std::filesystem::exists(tree / "ref/one.txt"));
    EXPECT_TRUE(std::filesystem::exists(tree / "ref/two.dat"));
    EXPECT_TRUE(std::filesystem::exists(tree / "ref/sub/two.dat"));
    EXPECT_TRUE(std::filesystem::exists(tree / "refx/three.bin"));
    EXPECT_FALSE(std::filesystem::exists(tree / "other/one.txt"));
    EXPECT_FALSE(std::filesystem::exists(tree / "other/three.bin"));

    // The delete's own list refuses too, for rows no search marked.
    ResultsModel plain;
    tree.WriteFile("other/one.txt", "one");
    Search(tree, KeepPolicy(), plain);
    SafeDelete guarded(nullptr, false);
    guarded.SetProtectedFolders({tree / "ref"});
    std::vector<std::size_t> all;
    for (std::size_t row = 0; row < plain.RowCount(); ++row)
        if (plain.Row(row).record->Path().find("one.txt") != std::string::npos) all.push_back(row);
    ASSERT_EQ(all.size(), 2u);
    const DeleteOutcome second = guarded.Run(plain, all);
    EXPECT_EQ(second.goneRows.size(), 1u);
    EXPECT_TRUE(std::filesystem::exists(tree / "ref/one.txt"));
    EXPECT_FALSE(std::filesystem::exists(tree / "other/one.txt"));

    // Only the groups that hold a protected copy; none at all without protected folders.
    tree.WriteFile("other/one.txt", "one");
    tree.WriteFile("other/three.bin", "three");
    policy.onlyGroupsWithProtected = true;
    EXPECT_EQ(Search(tree, policy, model), "ref/sub/two.dat,ref/two.dat|ref/one.txt,other/one.txt");
    EXPECT_EQ(model.DuplicateCount(), 2);
    EXPECT_EQ(model.DuplicateBytes(), 7);
    policy.protectedFolders.clear();
    EXPECT_EQ(Search(tree, policy, model), "");
    EXPECT_EQ(model.DuplicateCount(), 0);
}

#ifndef _WIN32
TEST(FolderList, KnowsAFolderUnderEverySpellingOfLinks) {
    namespace fs = std::filesystem;
    TempDir tree;
    tree.WriteFile("real/keep/f", "twin");
    tree.WriteFile("real/keep/deep/g", "deep twin");
    tree.WriteFile("real/other/f", "twin");
    tree.WriteFile("real/other/g", "deep twin");
    tree.MakeDir("sub");
    fs::create_directory_symlink("../real", tree / "sub/r");
    fs::create_directory_symlink("real/keep", tree / "keeplink");
    fs::create_directory_symlink("real/keep/deep", tree / "deeplink");

    // Named through a linked folder: holds the files under the folder's own name.
    const FolderList throughLink({tree / "sub/r/keep"});
    EXPECT_TRUE(throughLink.Holds(tree / "real/keep/f"));
    EXPECT_TRUE(throughLink.Holds(tree / "real/keep/deep/g"));
    EXPECT_TRUE(throughLink.Holds(tree / "sub/r/keep/f"));
    EXPECT_FALSE(throughLink.Holds(tree / "real/other/f"));
    EXPECT_FALSE(throughLink.Holds(tree / "real/f"));
    // Files found through a link (a start path through it), and through a link into the folder.
    const FolderList direct({tree / "real/keep"});
    EXPECT_TRUE(direct.Holds(tree / "sub/r/keep/f"));
    EXPECT_TRUE(direct.Holds(tree / "sub/r/keep/deep/g"));
    EXPECT_TRUE(direct.Holds(tree / "deeplink/g"));
    EXPECT_TRUE(direct.Holds(tree / "keeplink/f"));
    EXPECT_FALSE(direct.Holds(tree / "sub/r/other/f"));
    // The folder named by a link to it.
    EXPECT_TRUE(FolderList({tree / "keeplink"}).Holds(tree / "real/keep/deep/g"));
    // The first folder that holds, whichever way it holds.
    EXPECT_EQ(FolderList({tree / "real/other", tree / "sub/r/keep"}).IndexOf(tree / "real/keep/f"), 1);
    EXPECT_EQ(FolderList({tree / "sub/r", tree / "real/keep"}).IndexOf(tree / "real/keep/f"), 0);
    // A folder that is not there (yet) holds by its spelling alone.
    const FolderList later({tree / "later", tree / "real/nothing"});
    EXPECT_TRUE(later.Holds(tree / "later/f"));
    EXPECT_FALSE(later.Holds(tree / "real/keep/f"));
    EXPECT_FALSE(later.Holds(tree / "real/f"));

    // A search and a delete of every row: the protected copies stay, however either is named.
    for (int how = 0; how < 3; ++how) {
        tree.WriteFile("real/other/f", "twin");
        tree.WriteFile("real/other/g", "deep twin");
        const std::string start = how == 1 ? tree / "sub/r" : tree / "real";
        const std::string protect = how == 0 ? tree / "sub/r/keep" : how == 1 ? tree / "real/keep"
                                                                               : tree / "keeplink";
        SearchOptions options;
        options.paths = {start};
        options.keep.protectedFolders = {protect};
        options.keep.rules = {Rule(kKeptFolder, {start + "/other"})};
        ResultsModel model;
        ASSERT_EQ(DuplicateSearch(nullptr).Run(options, model), DuplicateSearch::kFinished);
        ASSERT_EQ(model.RowCount(), 4u) << how;
        for (std::size_t row = 0; row < model.RowCount(); ++row) {
            const std::string& path = model.Row(row).record->Path();
            EXPECT_EQ(model.Row(row).isProtected, path.find("/keep/") != std::string::npos)
                << how << " " << path;
        }
        ResultsModel plain;  // no row marked: the action's own list must hold
        options.keep.protectedFolders.clear();
        ASSERT_EQ(DuplicateSearch(nullptr).Run(options, plain), DuplicateSearch::kFinished);
        DuplicateAction remove(DuplicateActionKind::kDelete, nullptr);
        remove.SetProtectedFolders({protect});
        const ActionOutcome out = remove.Run(plain, {0, 1, 2, 3});
        EXPECT_TRUE(fs::exists(tree / "real/keep/f")) << how;
        EXPECT_TRUE(fs::exists(tree / "real/keep/deep/g")) << how;
        EXPECT_FALSE(fs::exists(tree / "real/other/f")) << how;
        EXPECT_FALSE(fs::exists(tree / "real/other/g")) << how;
        EXPECT_EQ(out.done.size(), 2u) << how;
    }
}
#endif

TEST(ResultsModel, RearrangeRefusesOrdersThatBreakGroups) {
    TempDir tree;
    tree.WriteFile("a1", "aa");
    tree.WriteFile("a2", "aa");
    tree.WriteFile("b1", "b");
    tree.WriteFile("b2", "b");
    ResultsModel model;
    Search(tree, KeepPolicy(), model);
    ASSERT_EQ(model.RowCount(), 4u);
    const std::string first = model.Row(0).record->Path();
    using Groups = std::vector<std::vector<std::size_t>>;
    const std::vector<KeepReason> two(2, kKeptAsFound);
    EXPECT_FALSE(model.Rearrange(Groups{{0, 2}, {1, 3}}, two));  // mixes groups
    EXPECT_FALSE(model.Rearrange(Groups{{0, 1}, {2}}, two));     // leaves a row out
    EXPECT_FALSE(model.Rearrange(Groups{{0, 1}, {2, 2}}, two));  // a row twice
    EXPECT_FALSE(model.Rearrange(Groups{{0, 1}, {2, 9}}, two));  // no such row
    EXPECT_FALSE(model.Rearrange(Groups{{0, 1}}, {kKeptAsFound}));
    EXPECT_EQ(model.Row(0).record->Path(), first);
    EXPECT_TRUE(model.Rearrange(Groups{{3, 2}, {1, 0}}, {kKeptOldest, kKeptNewest}));
    EXPECT_EQ(model.Row(3).record->Path(), first);
    EXPECT_EQ(model.Row(0).keptBy, kKeptOldest);
    EXPECT_EQ(model.Row(2).keptBy, kKeptNewest);
    EXPECT_EQ(model.Row(3).image, kImageGroupLast);
    EXPECT_EQ(model.DuplicateCount(), 2);
    EXPECT_EQ(model.DuplicateBytes(), 3);
}

}  // namespace
