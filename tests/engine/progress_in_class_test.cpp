// The bar and the count of a search whose files are all of one size: they move while the class
// is read, not only once it is done.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/search/duplicate_search.h"
#include "support/temp_dir.h"

namespace {

// Notes the bar's total, where it stood at each count of files looked at, and those counts.
class BarSink : public ProgressSink {
public:
    void SetStatus(const std::string&) override {}
    void SetTotal(std::int64_t total) override {
        m_total = total;
        m_done = 0;
    }
    void StepProgress(std::int64_t amount) override { m_done += amount; }
    void FilesLooked(std::int64_t files, std::int64_t of, std::int64_t bytes) override {
        looks.push_back({files, of, bytes, m_done});
    }
    bool Cancelled() override {
        return m_cancelAt >= 0 && !looks.empty() && looks.back().files >= m_cancelAt;
    }

    struct Look {
        std::int64_t files, of, bytes, barDone;
    };
    std::vector<Look> looks;
    std::int64_t m_total = 0, m_done = 0;
    std::int64_t m_cancelAt = -1;  // stop once this many files were looked at (-1: never)
};

TEST(ProgressInASizeClass, BarAndCountMoveWhileTheClassIsRead) {
    TempDir dir;
    constexpr int kFiles = 400;
    for (int i = 0; i < kFiles; ++i) {
        char name[32], contents[16];
        std::snprintf(name, sizeof name, "f/%04d", i);
        std::snprintf(contents, sizeof contents, "%010d", i);  // ten bytes, all different
        dir.WriteFile(name, contents);
    }
    SearchOptions options;
    options.paths = {dir.Path()};
    BarSink sink;
    DuplicateSearch search(&sink);
    ResultsModel model;
    ASSERT_EQ(search.Run(options, model), DuplicateSearch::kFinished);
    EXPECT_EQ(model.RowCount(), 0u);

    // The steps stay the loop's records.
    EXPECT_EQ(sink.m_total, kFiles);
    // Counts came while the one class was read, rising.
    ASSERT_GE(sink.looks.size(), 2u);
    std::int64_t lastFiles = 0;
    for (const BarSink::Look& look : sink.looks) {
        EXPECT_EQ(look.of, kFiles);
        EXPECT_GT(look.files, lastFiles);
        EXPECT_LE(look.files, kFiles);
        EXPECT_GE(look.bytes, 10 * look.files);  // the other thread may be a file ahead
        EXPECT_LE(look.bytes, 10 * kFiles);
        // All while the class's first record waited for its class.
        EXPECT_EQ(look.barDone, 1);
        lastFiles = look.files;
    }
    // Before the grouping loop went on to the class's other records, most files were counted.
    EXPECT_GT(sink.looks.back().files, kFiles / 2);
}

TEST(ProgressInASizeClass, StopAskedWhileTheClassIsReadIsHeard) {
    TempDir dir;
    for (int i = 0; i < 300; ++i) {
        char name[32], contents[16];
        std::snprintf(name, sizeof name, "g/%04d", i);
        std::snprintf(contents, sizeof contents, "%010d", i);
        dir.WriteFile(name, contents);
    }
    SearchOptions options;
    options.paths = {dir.Path()};
    BarSink sink;
    sink.m_cancelAt = 50;  // well inside the reading of the one class
    DuplicateSearch search(&sink);
    ResultsModel model;
    search.Run(options, model);
    EXPECT_EQ(model.RowCount(), 0u);
    ASSERT_FALSE(sink.looks.empty());
    // It stopped soon after: far from every file looked at.
    EXPECT_LT(sink.looks.back().files, 300);
}

}  // namespace
