// Windows names outside every code page (Chinese, Cyrillic, emoji, a lone surrogate) and paths
// deeper than 260 characters: found, grouped, listed with their true names and deleted.
#ifdef _WIN32

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "engine/search/duplicate_search.h"
#include "engine/actions/safe_delete.h"
#include "engine/text/string_table.h"
#include "platform/file_delete.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"
#include "support/windows_name_tree.h"

namespace {

std::vector<std::vector<std::string>> GroupsOf(const ResultsModel& model) {
    std::vector<std::vector<std::string>> groups;
    for (const RowGroup& group : model.Groups()) {
        std::vector<std::string> paths;
        for (std::size_t row = group.begin; row < group.end; ++row)
            paths.push_back(model.Row(row).record->Path());
        std::sort(paths.begin(), paths.end());
        groups.push_back(paths);
    }
    std::sort(groups.begin(), groups.end());
    return groups;
}

std::vector<std::string> Sorted(std::vector<std::string> paths) {
    std::sort(paths.begin(), paths.end());
    return paths;
}

std::size_t RowOf(const ResultsModel& model, const std::string& path) {
    for (std::size_t row = 0; row < model.RowCount(); ++row)
        if (model.Row(row).record->Path() == path) return row;
    ADD_FAILURE() << "not listed: " << path;
    return model.RowCount();
}

TEST(WindowsNames, EveryNameIsFoundAndGroupedAsItIs) {
    TempDir dir;
    const WindowsNameTree tree(dir);
    ASSERT_GT(tree.deep[0].size(), 300u);

    RecordingSink sink;
    SearchOptions options;
    options.paths = {dir.Path()};
    DuplicateSearch search(&sink);
    ResultsModel model;
    ASSERT_EQ(search.Run(options, model), DuplicateSearch::kFinished);
    // Nothing passed over: every folder entered, every file read.
    for (const auto& skipped : sink.m_skipped) ADD_FAILURE() << skipped.first << ": " << skipped.second;

    std::vector<std::vector<std::string>> expected = {Sorted(tree.photos), Sorted(tree.bins),
                                                      Sorted(tree.deep)};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(GroupsOf(model), expected);
    EXPECT_EQ(model.DuplicateCount(), tree.DuplicateCount());
    // The lone surrogate is kept as its three bytes, not replaced or dropped.
    if (tree.loneSurrogate) {
        EXPECT_NE(tree.bins[2].find("lone\xED\xA0\x80.bin"), std::string::npos);
    }

    // A start path deeper than 260 characters, typed with forward slashes, is walked too.
    std::string deepFolder = tree.deep[0].substr(0, tree.deep[0].rfind('\\'));
    std::replace(deepFolder.begin(), deepFolder.end(), '\\', '/');
    options.paths = {deepFolder, dir / "deep copy.dat"};
    options.paths = {deepFolder, dir.Path()};
    ASSERT_EQ(search.Run(options, model), DuplicateSearch::kFinished);
    EXPECT_EQ(GroupsOf(model), expected);
}

TEST(WindowsNames, OddAndLongNamesAreDeleted) {
    TempDir dir;
    WindowsNameTree tree(dir);
    SearchOptions options;
    options.paths = {dir.Path()};
    ResultsModel model;
    ASSERT_EQ(DuplicateSearch(nullptr).Run(options, model), DuplicateSearch::kFinished);

    // To the recycle bin: the Chinese, emoji and lone-surrogate names go; the shell takes no
    // path of 260 characters, so the deep file stays and the reason is our own words.
    std::vector<std::string> toTrash = {tree.photos[0], tree.photos[3], tree.bins.back(),
                                        tree.deep[0]};
    std::vector<std::size_t> rows;
    for (const std::string& path : toTrash) rows.push_back(RowOf(model, path));
    DeleteOutcome out = SafeDelete(nullptr, true).Run(model, rows);
    ASSERT_EQ(out.kept.size(), 1u);
    EXPECT_EQ(out.kept[0].first, tree.deep[0]);
    EXPECT_EQ(out.kept[0].second, LoadStringText(IDS_TRASH_PATH_TOO_LONG));
    EXPECT_EQ(out.goneRows.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) EXPECT_FALSE(WindowsNameTree::Exists(toTrash[i])) << toTrash[i];
    EXPECT_TRUE(WindowsNameTree::Exists(tree.deep[0]));
    EXPECT_TRUE(WindowsNameTree::Exists(tree.deep[1]));

    // For good: the deep file goes through the file calls; its copy stays.
    out = SafeDelete(nullptr, false).Run(model, {RowOf(model, tree.deep[0])});
    EXPECT_TRUE(out.kept.empty());
    EXPECT_FALSE(WindowsNameTree::Exists(tree.deep[0]));
    EXPECT_TRUE(WindowsNameTree::Exists(tree.deep[1]));

    // The shell's own delete by path: a deep file is refused for the bin, removed for good.
    const std::string another = dir.WriteFile("x.txt", "x");
    EXPECT_TRUE(platform::DeleteFiles({another}, platform::kDeleteToTrash |
                                                     platform::kDeleteNoConfirmation |
                                                     platform::kDeleteSilent |
                                                     platform::kDeleteNoErrorUi)
                    .empty());
    const std::string relative = tree.deep[0].substr(dir.Path().size());
    const std::string again = tree.Make(relative, "again");
    EXPECT_EQ(platform::DeleteFiles({again}, platform::kDeleteToTrash |
                                                 platform::kDeleteNoConfirmation |
                                                 platform::kDeleteSilent |
                                                 platform::kDeleteNoErrorUi),
              std::vector<std::string>{again});
    EXPECT_TRUE(WindowsNameTree::Exists(again));
    EXPECT_TRUE(platform::DeleteFiles({again}, platform::kDeleteNoConfirmation |
                                                   platform::kDeleteSilent |
                                                   platform::kDeleteNoErrorUi)
                    .empty());
    EXPECT_FALSE(WindowsNameTree::Exists(again));
}

}  // namespace

#endif  // _WIN32
