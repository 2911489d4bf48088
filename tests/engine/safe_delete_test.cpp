// The delete command's checks on real files: a file goes only while it is still the file that
// was listed and a copy with the same bytes stays; the last copy of a wholly chosen group stays;
// what the system refuses and what a stop leaves are kept; the message names them.
#include <chrono>
#include <filesystem>
#include <set>
#include <thread>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/duplicate_search.h"
#include "engine/safe_delete.h"
#include "support/recording_sink.h"
#include "support/platform_rules.h"
#include "support/temp_dir.h"

namespace {

class SafeDeleteTest : public ::testing::Test {
protected:
    // Groups: three files of 4000 "a" (rows 0-2), two of 3000 "b" (rows 3-4).
    void SetUp() override {
        dir.WriteFile("x/a1", std::string(4000, 'a'));
        dir.WriteFile("y/a2", std::string(4000, 'a'));
        dir.WriteFile("z/a3", std::string(4000, 'a'));
        dir.WriteFile("x/b1", std::string(3000, 'b'));
        dir.WriteFile("y/b2", std::string(3000, 'b'));
        SearchOptions options;
        options.paths = {dir.Path()};
        DuplicateSearch search(nullptr);
        ASSERT_EQ(search.Run(options, model), DuplicateSearch::kFinished);
        ASSERT_EQ(model.RowCount(), 5u);
    }

    std::string Path(std::size_t row) const { return model.Row(row).record->Path(); }

    // Removes for good what it is given, except `refuse`; notes every path.
    SafeDelete::Deleter Remover(std::set<std::string> refuse = {}) {
        return [this, refuse](const std::vector<std::string>& paths) {
            std::vector<std::string> left;
            for (const std::string& path : paths) {
                given.push_back(path);
                std::error_code error;
                if (refuse.count(path) != 0 || !std::filesystem::remove(path, error))
                    left.push_back(path);
            }
            return left;
        };
    }

    bool Exists(std::size_t row) const { return std::filesystem::exists(Path(row)); }

    TempDir dir;
    ResultsModel model;
    std::vector<std::string> given;
};

TEST_F(SafeDeleteTest, UnchangedDuplicatesGo) {
    SafeDelete remover(nullptr, Remover());
    const DeleteOutcome out = remover.Run(model, model.DuplicateRows());
    EXPECT_EQ(out.goneRows, (std::vector<std::size_t>{1, 2, 4}));
    EXPECT_TRUE(out.kept.empty());
    EXPECT_FALSE(out.stopped);
    EXPECT_EQ(given, (std::vector<std::string>{Path(1), Path(2), Path(4)}));
    EXPECT_TRUE(Exists(0));
    EXPECT_TRUE(Exists(3));
}

TEST_F(SafeDeleteTest, ChangedFilesAndChangedCopiesAreKept) {
    // Row 4 changed after the search (same size, other bytes); the only copy of row 3 ...
    dir.WriteFile(Path(4).substr(dir.Path().size()), std::string(2999, 'b') + "c");
    // ... and in the group of three the first file changed: row 1 is compared with row 2.
    dir.WriteFile(Path(0).substr(dir.Path().size()), std::string(3999, 'a') + "!");
    SafeDelete remover(nullptr, Remover());
    const DeleteOutcome out = remover.Run(model, {1, 4});
    EXPECT_EQ(out.goneRows, (std::vector<std::size_t>{1}));
    ASSERT_EQ(out.kept.size(), 1u);
    EXPECT_EQ(out.kept[0].first, Path(4));
    EXPECT_FALSE(out.kept[0].second.empty());
    EXPECT_EQ(given, (std::vector<std::string>{Path(1)}));

    // The copy that stays changed: its duplicate stays too, and the copy is named.
    const DeleteOutcome again = SafeDelete(nullptr, Remover()).Run(model, {2});
    EXPECT_TRUE(again.goneRows.empty()) << "row 0 changed; row 1 is gone from disk";
    ASSERT_EQ(again.kept.size(), 1u);
    EXPECT_EQ(again.kept[0].second.rfind("没有保留的副本: ", 0), 0u) << again.kept[0].second;
    EXPECT_TRUE(Exists(2));
}

TEST_F(SafeDeleteTest, FilesWhoseContentsDifferFromEveryCopyStay) {
    // Same size and time, other bytes: written back with the scanned time kept.
    const std::string path = Path(2);
    const auto written = std::filesystem::last_write_time(path);
    dir.WriteFile(path.substr(dir.Path().size()), std::string(3999, 'a') + "z");
    std::filesystem::last_write_time(path, written);
    const DeleteOutcome out = SafeDelete(nullptr, Remover()).Run(model, {2});
    EXPECT_TRUE(out.goneRows.empty());
    ASSERT_EQ(out.kept.size(), 1u);
    EXPECT_EQ(out.kept[0].first, path);
    // Where the time set back is not exactly the scanned one (the Windows C++ library rounds
    // it), the time check keeps the file first; either way it stays.
    if (!kWindows) {
        EXPECT_EQ(out.kept[0].second, "内容与保留的副本不同");
    }
    EXPECT_TRUE(given.empty());
}

TEST_F(SafeDeleteTest, AWhollyChosenGroupKeepsItsFirstFile) {
    const DeleteOutcome out = SafeDelete(nullptr, Remover()).Run(model, {0, 1, 2, 3, 4, 4, 99});
    EXPECT_EQ(out.goneRows, (std::vector<std::size_t>{1, 2, 4}));
    ASSERT_EQ(out.kept.size(), 2u);
    EXPECT_EQ(out.kept[0].first, Path(0));
    EXPECT_EQ(out.kept[1].first, Path(3));
    EXPECT_EQ(out.kept[0].second, "该组的所有文件都被选择, 保留这最后一份");
    EXPECT_TRUE(Exists(0));
    EXPECT_TRUE(Exists(3));
}

TEST_F(SafeDeleteTest, RefusedFilesAndAStopKeepTheirFiles) {
    const DeleteOutcome out = SafeDelete(nullptr, Remover({Path(2)})).Run(model, {1, 2});
    EXPECT_EQ(out.goneRows, (std::vector<std::size_t>{1}));
    ASSERT_EQ(out.kept.size(), 1u);
    EXPECT_EQ(out.kept[0], (std::pair<std::string, std::string>(Path(2), "系统无法删除此文件")));

    RecordingSink sink;
    sink.m_cancel = true;
    given.clear();
    const DeleteOutcome stopped = SafeDelete(&sink, Remover()).Run(model, {2, 4});
    EXPECT_TRUE(stopped.stopped);
    EXPECT_TRUE(stopped.goneRows.empty());
    EXPECT_TRUE(stopped.kept.empty()) << "what a stop leaves is not a failure";
    EXPECT_TRUE(given.empty());
    EXPECT_TRUE(Exists(4));
    EXPECT_EQ(sink.m_texts, (std::vector<std::string>{"正在检查和删除文件..."}));
}

// The remover gets as many files at a time as it removed in about 40 ms the last time: a slow
// trash or disk never keeps the window from its events for long, a fast one gets big batches.
TEST(SafeDeleteBatchTest, BatchesAreSizedByTheTimeTheRemoverTakes) {
    TempDir dir;
    constexpr int kPairs = 40;
    for (int i = 0; i < kPairs; ++i) {
        const std::string body = "pair " + std::to_string(1000 + i);
        dir.WriteFile("a/" + std::to_string(i), body);
        dir.WriteFile("b/" + std::to_string(i), body);
    }
    SearchOptions options;
    options.paths = {dir.Path()};
    ResultsModel model;
    ASSERT_EQ(DuplicateSearch(nullptr).Run(options, model), DuplicateSearch::kFinished);
    ASSERT_EQ(model.RowCount(), 2u * kPairs);

    // 15 ms a file: after the first batch, at most two files a call.
    std::size_t removed = 0;
    SafeDelete slow(nullptr, [&removed](const std::vector<std::string>& paths) {
        std::vector<std::string> left;
        for (const std::string& path : paths) {
            std::this_thread::sleep_for(std::chrono::milliseconds(15));
            std::error_code error;
            if (std::filesystem::remove(path, error)) ++removed;
            else left.push_back(path);
        }
        return left;
    });
    std::vector<std::size_t> half;
    for (std::size_t row = 1; row < model.RowCount() && half.size() < 20; row += 2) half.push_back(row);
    const DeleteOutcome out = slow.Run(model, half);
    EXPECT_EQ(out.goneRows.size(), 20u);
    EXPECT_EQ(removed, 20u);
    const std::vector<std::size_t>& sizes = slow.BatchSizes();
    ASSERT_GE(sizes.size(), 2u);
    EXPECT_EQ(sizes[0], SafeDelete::kFirstBatch);
    std::size_t total = 0;
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        total += sizes[i];
        if (i > 0) {
            EXPECT_LE(sizes[i], 2u) << "batch " << i;
        }
    }
    EXPECT_EQ(total, 20u);

    // A remover that takes no time at all: batches of the largest size.
    SafeDelete instant(nullptr, [](const std::vector<std::string>&) {
        return std::vector<std::string>();
    });
    std::vector<std::size_t> rest;
    for (std::size_t row = 41; row < model.RowCount(); row += 2) rest.push_back(row);
    EXPECT_EQ(instant.Run(model, rest).goneRows.size(), rest.size());
    for (std::size_t size : instant.BatchSizes()) EXPECT_LE(size, SafeDelete::kBatch);
}

TEST(KeptFilesMessageTest, NamesEachFileUpToALimit) {
    EXPECT_EQ(KeptFilesMessage({}), "");
    std::vector<std::pair<std::string, std::string>> kept;
    for (int i = 0; i < 25; ++i) kept.emplace_back("/f" + std::to_string(i), "why");
    const std::string text = KeptFilesMessage(kept, 20);
    EXPECT_EQ(text.rfind("以下文件没有被删除:\n\n/f0: why\n/f1: why\n", 0), 0u) << text;
    EXPECT_NE(text.find("\n/f19: why\n还有 5 个文件没有被删除"), std::string::npos) << text;
    EXPECT_EQ(text.find("/f20"), std::string::npos);
}

}  // namespace
