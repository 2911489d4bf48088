// The whole search on real files: scan, size sort, fingerprints, rows and totals.
#include "engine/search/duplicate_search.h"

#include <gtest/gtest.h>

#include <thread>

#include "engine/search/checksum.h"
#include "engine/text/string_table.h"
#include "support/platform_rules.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"

namespace {

std::vector<std::string> Paths(const ResultsModel& model) {
    std::vector<std::string> paths;
    for (std::size_t r = 0; r < model.RowCount(); ++r) paths.push_back(model.Row(r).record->Path());
    return paths;
}

TEST(DuplicateSearch, CrcTwinsWithOtherSumsCopiesAndEmptyFiles) {
    TempDir dir;
    // XOR-ing the CRC polynomial into a message leaves its CRC-32 as it was: two files of one
    // size and one CRC whose byte sums differ must not be taken for copies.
    std::string original(300, 'A');
    std::string twin = original;
    const unsigned char polynomial[] = {0x41, 0x06, 0x71, 0xDB, 0x01};
    for (int i = 0; i < 5; ++i) twin[100 + i] = static_cast<char>(twin[100 + i] ^ polynomial[i]);
    ASSERT_EQ(Crc32Update(0, original.data(), original.size()), Crc32Update(0, twin.data(), twin.size()));
    ASSERT_NE(ByteSumUpdate(0, original.data(), original.size()), ByteSumUpdate(0, twin.data(), twin.size()));
    dir.WriteFile("twins/original.bin", original);
    dir.WriteFile("twins/twin.bin", twin);

    const std::string copy(70000, 'c');  // more than one block
    dir.WriteFile("copies/one.dat", copy);
    dir.WriteFile("copies/sub/two.dat", copy);
    dir.WriteFile("copies/sub/deeper/three.dat", copy);
    dir.WriteFile("empty/e1", "");
    dir.WriteFile("empty/e2", "");
    dir.WriteFile("empty/e3", "");

    SearchOptions options;
    // Empty elements and a trailing separator name nothing.
    options.paths = {dir / "twins", "", dir / "copies", dir / "empty", ""};
    RecordingSink sink;
    DuplicateSearch search(&sink);
    ResultsModel model;
    ASSERT_EQ(search.Run(options, model), DuplicateSearch::kFinished);

    // Largest first: the three copies, then the empty files; the CRC twins form no group.
    ASSERT_EQ(model.RowCount(), 6u);
    EXPECT_EQ(model.Row(0).record->Path(), dir / Native("copies/one.dat"));
    EXPECT_EQ(model.Row(1).record->Path(), dir / Native("copies/sub/two.dat"));
    EXPECT_EQ(model.Row(2).record->Path(), dir / Native("copies/sub/deeper/three.dat"));
    EXPECT_EQ(model.Row(0).image, kImageGroupFirst);
    EXPECT_EQ(model.Row(1).image, kImageGroupMiddle);
    EXPECT_EQ(model.Row(2).image, kImageGroupLast);
    EXPECT_EQ(model.Row(3).image, kImageGroupFirst);
    EXPECT_EQ(model.Row(5).image, kImageGroupLast);
    EXPECT_EQ(model.CellText(0, kColumnSize), "70000");
    EXPECT_EQ(model.CellText(3, kColumnSize), "0");
    EXPECT_EQ(model.CellText(3, kColumnCrc), "0");
    EXPECT_EQ(model.DuplicateCount(), 4);
    EXPECT_EQ(model.DuplicateBytes(), 140000);
    EXPECT_EQ(SummaryText(model.DuplicateCount(), model.DuplicateBytes()),
              "发现 4 个重复文件 (137 KB)");
    EXPECT_EQ(sink.m_texts.back(), "发现 4 个重复的文件, 总共 140000 字节");
    for (const std::string& path : Paths(model)) EXPECT_EQ(path.find("twin"), std::string::npos);

    // Leaving out empty files: they are no candidates at all, in either filter mode, and the
    // other groups stay as they were.
    for (const int mode : {0, 1}) {
        SearchOptions noEmpty = options;
        noEmpty.filter.m_nMode = mode;
        noEmpty.filter.m_bLeaveOutEmpty = true;
        ResultsModel without;
        ASSERT_EQ(search.Run(noEmpty, without), DuplicateSearch::kFinished);
        ASSERT_EQ(without.RowCount(), 3u) << mode;
        for (const std::string& path : Paths(without))
            EXPECT_EQ(path.find("empty"), std::string::npos) << path;
        EXPECT_EQ(without.DuplicateCount(), 2);
        EXPECT_EQ(without.DuplicateBytes(), 140000);
        RecordList records;
        ASSERT_TRUE(search.CollectFiles(records, {dir / "empty", dir / "copies"}, "*.*",
                                        &noEmpty.filter));
        EXPECT_EQ(records.size(), 3u) << mode;
    }

    // A second search replaces the rows and totals of the first.
    options.paths = {dir / "twins"};
    ASSERT_EQ(search.Run(options, model), DuplicateSearch::kFinished);
    EXPECT_EQ(model.RowCount(), 0u);
    EXPECT_EQ(model.DuplicateCount(), 0);
}

TEST(DuplicateSearch, CancelWhileScanningListsNothing) {
    TempDir dir;
    dir.WriteFile("a/x", "same");
    dir.WriteFile("b/y", "same");
    // The sink sets the cancel flag as soon as the scanner shows its first count.
    class CancelOnCount : public RecordingSink {
    public:
        void SetStatus(const std::string& text) override {
            RecordingSink::SetStatus(text);
            if (text.find("发现") == 0) m_cancel = true;
        }
    };
    CancelOnCount sink;
    DuplicateSearch search(&sink);
    ResultsModel model;
    SearchOptions options;
    options.paths = {dir.Path()};
    EXPECT_EQ(search.Run(options, model), DuplicateSearch::kCancelledWhileScanning);
    EXPECT_EQ(model.RowCount(), 0u);
    // Nothing after the scan was shown: no sorting, no grouping.
    for (const std::string& text : sink.m_texts) EXPECT_EQ(text.find("正在"), std::string::npos);
    EXPECT_FALSE(search.Partial());

    // Stopped while comparing: what was found so far is listed and known to be partial. The
    // walk's counts say what it looked at and what the masks and filters left out.
    class CancelOnCompare : public RecordingSink {
    public:
        void SetStatus(const std::string& text) override {
            RecordingSink::SetStatus(text);
            if (text == LoadStringText(IDS_SEARCHING_DUPLICATES)) m_cancel = true;
        }
    };
    dir.WriteFile("c/z.log", "same");
    dir.WriteFile("c/small", "");
    CancelOnCompare comparing;
    DuplicateSearch stopped(&comparing);
    options.mask = "*.*;~*.log";
    options.filter.m_bLeaveOutEmpty = true;
    EXPECT_EQ(stopped.Run(options, model), DuplicateSearch::kFinished);
    EXPECT_TRUE(stopped.Partial());
    EXPECT_EQ(stopped.FilesSeen(), 4);
    EXPECT_EQ(stopped.FilesLeftOut(), 2);
    DuplicateSearch whole(nullptr);
    EXPECT_EQ(whole.Run(options, model), DuplicateSearch::kFinished);
    EXPECT_FALSE(whole.Partial());
    EXPECT_EQ(model.RowCount(), 2u);
    EXPECT_EQ(whole.FilesSeen(), 4);
}

TEST(DuplicateSearch, TwoSearchesAtOnceKeepTheirOwnState) {
    // Two trees, each searched with masks (and folder parts) that would change the other's
    // rows if the mask state, the scan root or the fingerprint switches were shared.
    TempDir dir;
    for (int k = 0; k < 40; ++k) {
        const std::string n = std::to_string(k);
        const std::string body(1000 + k, static_cast<char>('a' + k % 26));
        dir.WriteFile("one/keep/" + n + ".txt", body);
        dir.WriteFile("one/keep/copy" + n + ".txt", body);
        dir.WriteFile("one/skip/" + n + ".txt", body);
        dir.WriteFile("two/" + n + ".dat", body + "x");
        dir.WriteFile("two/sub/" + n + ".dat", body + "x");
        dir.WriteFile("two/sub/" + n + ".txt", body + "x");
    }
    SearchOptions first;
    first.paths = {dir / "one"};
    first.mask = Native("/keep/*.txt");
    SearchOptions second;
    second.paths = {dir / "two"};
    second.mask = "*.dat;~" + Native("sub/*.txt");

    const auto alone = [](const SearchOptions& options) {
        ResultsModel model;
        DuplicateSearch(nullptr).Run(options, model);
        return Paths(model);
    };
    const std::vector<std::string> expectFirst = alone(first);
    const std::vector<std::string> expectSecond = alone(second);
    ASSERT_EQ(expectFirst.size(), 80u);
    ASSERT_EQ(expectSecond.size(), 80u);
    for (int round = 0; round < 5; ++round) {
        std::vector<std::string> gotFirst, gotSecond;
        std::thread other([&] { gotSecond = alone(second); });
        gotFirst = alone(first);
        other.join();
        EXPECT_EQ(gotFirst, expectFirst);
        EXPECT_EQ(gotSecond, expectSecond);
    }
}

}  // namespace
