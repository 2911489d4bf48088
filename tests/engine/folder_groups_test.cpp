// Folder groups from a real search: identical folders (by name and by bytes alone), the
// largest one listed once, folders whose every file is elsewhere, and folders that cannot be
// vouched for (a file left out by the mask, a file of their own).
#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/results/folder_groups.h"
#include "engine/search/duplicate_search.h"
#include "support/random_bytes.h"
#include "support/platform_rules.h"
#include "support/temp_dir.h"

namespace {

struct Found {
    std::vector<std::set<std::string>> identical;  // relative to the tree
    std::vector<std::string> contained;
    std::vector<std::vector<std::pair<std::string, std::uint32_t>>> holders;
    FolderFindings raw;
};

Found Search(const TempDir& tree, bool ignoreNames, const std::string& mask = "*.*") {
    SearchOptions options;
    options.paths = {tree.Path()};
    options.mask = mask;
    ResultsModel model;
    DuplicateSearch search(nullptr);
    EXPECT_EQ(search.Run(options, model), DuplicateSearch::kFinished);
    Found found;
    found.raw = FindFolderGroups(model, search.FoldersSeen(), ignoreNames);
    const std::string top = Slashes(tree.Path());
    const auto relative = [&](const std::string& path) { return Slashes(path).substr(top.size()); };
    for (const FolderGroup& group : found.raw.identical) {
        std::set<std::string> folders;
        for (const std::string& folder : group.folders) folders.insert(relative(folder));
        found.identical.push_back(folders);
    }
    for (const ContainedFolder& folder : found.raw.contained) {
        found.contained.push_back(relative(folder.folder));
        found.holders.emplace_back();
        for (const auto& holder : folder.holders)
            found.holders.back().emplace_back(relative(holder.first), holder.second);
    }
    return found;
}

}  // namespace

TEST(FolderGroups, IdenticalFoldersAreListedOnceAtTheTopByNameOrByBytes) {
    TempDir tree;
    const std::string p1 = RandomBytes(3000, 1), p2 = RandomBytes(4000, 2), note = RandomBytes(300, 3);
    const std::string doc = RandomBytes(700, 9);
    for (const std::string top : {"photos/", "backup/photos/"}) {
        tree.WriteFile(top + "2021/a.jpg", p1);
        tree.WriteFile(top + "2021/b.jpg", p2);
        tree.WriteFile(top + "notes.txt", note);
        tree.WriteFile(top + "docs/d.txt", doc);
    }
    // The same bytes under other names, and a copy with one file more.
    tree.WriteFile("renamed/x/one.jpg", p1);
    tree.WriteFile("renamed/x/two.jpg", p2);
    tree.WriteFile("renamed/n.txt", note);
    tree.WriteFile("renamed/d2.txt", doc);
    tree.WriteFile("more/2021/a.jpg", p1);
    tree.WriteFile("more/2021/b.jpg", p2);
    tree.WriteFile("more/notes.txt", note);
    tree.WriteFile("more/own.txt", RandomBytes(100, 4));

    const Found byName = Search(tree, false);
    // photos/ and backup/photos/ once, not their docs/ again; more/2021/ is a third copy of
    // 2021/, so that group stands (more/ itself has a file of its own).
    const std::vector<std::set<std::string>> expected = {
        {"photos/", "backup/photos/"}, {"photos/2021/", "backup/photos/2021/", "more/2021/"}};
    EXPECT_EQ(std::set<std::set<std::string>>(byName.identical.begin(), byName.identical.end()),
              std::set<std::set<std::string>>(expected.begin(), expected.end()));
    for (const FolderGroup& group : byName.raw.identical) {
        if (group.folders.size() != 2) continue;
        EXPECT_EQ(group.files, 4u);
        EXPECT_EQ(group.bytes, 8000);
    }
    // renamed/ holds only copies, under other names: elsewhere, but no twin by name.
    EXPECT_NE(std::find(byName.contained.begin(), byName.contained.end(), "renamed/"),
              byName.contained.end());
    EXPECT_EQ(std::find(byName.contained.begin(), byName.contained.end(), "more/"),
              byName.contained.end()) << "more/ has a file of its own";

    const Found byBytes = Search(tree, true);
    bool renamed = false;
    for (const auto& group : byBytes.identical)
        if (group.count("renamed/") != 0) {
            renamed = true;
            // backup/ holds nothing but photos/: by bytes alone it is the largest such folder.
            EXPECT_EQ(group, (std::set<std::string>{"photos/", "backup/", "renamed/"}));
        }
    EXPECT_TRUE(renamed);

    // A file the mask leaves out is still in the folder: it is not vouched for.
    const Found masked = Search(tree, false, "*.jpg");
    for (const auto& group : masked.identical) {
        EXPECT_EQ(group.count("photos/"), 0u);
        EXPECT_EQ(group.count("backup/photos/"), 0u);
    }
    EXPECT_FALSE(masked.identical.empty()) << "their 2021/ folders still are copies";
}

TEST(FolderGroups, AFolderWhoseFilesAreElsewhereNamesWhereLargestShareFirst) {
    TempDir tree;
    const std::string a = RandomBytes(2000, 5), b = RandomBytes(2100, 6), c = RandomBytes(2200, 7);
    tree.WriteFile("old phone/a.jpg", a);
    tree.WriteFile("old phone/b.jpg", b);
    tree.WriteFile("old phone/sub/c.jpg", c);
    tree.WriteFile("library/2020/a.jpg", a);
    tree.WriteFile("library/2020/b.jpg", b);
    tree.WriteFile("library/2021/c.jpg", c);
    tree.WriteFile("library/2021/d.jpg", RandomBytes(500, 8));
    const Found found = Search(tree, false);
    EXPECT_TRUE(found.identical.empty());
    // library/ has a file of its own, sub/ is old phone's; library/2020/ is all in old phone/.
    ASSERT_EQ(found.contained, (std::vector<std::string>{"old phone/", "library/2020/"}));
    EXPECT_EQ(found.raw.contained[0].files, 3u);
    EXPECT_EQ(found.raw.contained[0].bytes, 6300);
    const std::vector<std::pair<std::string, std::uint32_t>> holders = {{"library/2020/", 2},
                                                                        {"library/2021/", 1}};
    EXPECT_EQ(found.holders[0], holders);
    EXPECT_EQ(found.raw.contained[0].copies.size(), 3u);
    EXPECT_EQ(found.holders[1], (std::vector<std::pair<std::string, std::uint32_t>>{{"old phone/", 2}}));
}
