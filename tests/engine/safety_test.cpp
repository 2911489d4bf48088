// What stands between a listing and a deletion: no group holds two files with other contents
// or one file twice, nothing behind a link swapped in is read or listed, nothing changed since
// the scan passes the deletion check, virtual file systems are never walked.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>

#include "engine/search/checksum.h"
#include "engine/search/duplicate_search.h"
#include "engine/search/start_path_list.h"
#include "engine/search/file_check.h"
#include "platform/file_find.h"
#include "support/faulty_source.h"
#include "support/platform_rules.h"
#include "support/random_bytes.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"

namespace {

[[maybe_unused]] std::vector<std::string> Paths(const ResultsModel& model) {
    std::vector<std::string> paths;
    for (std::size_t r = 0; r < model.RowCount(); ++r) paths.push_back(model.Row(r).record->Path());
    return paths;
}

ResultsModel Search(const std::string& paths, RecordingSink* sink = nullptr,
                    const std::string& mask = "*.*") {
    SearchOptions options;
    options.paths = ReadStartPathText(paths);
    options.mask = mask;
    ResultsModel model;
    DuplicateSearch(sink).Run(options, model);
    return model;
}

TEST(Safety, SameCrcAndSumButOtherContentsAreNoCopies) {
    // The CRC polynomial XOR-ed in at any place keeps the CRC-32; done once where the bits are
    // clear and once where they are set, it keeps the byte sum too. Two files of one size, one
    // CRC and one sum, with other contents: deleting one for the other would lose data.
    const unsigned char poly[] = {0x41, 0x06, 0x71, 0xDB, 0x01};
    std::string a = RandomBytes(5000, 9);
    for (int i = 0; i < 5; ++i) {
        a[100 + i] = 0;
        a[3000 + i] = static_cast<char>(0xFF);
    }
    std::string b = a;
    for (int i = 0; i < 5; ++i) {
        b[100 + i] = static_cast<char>(b[100 + i] ^ poly[i]);
        b[3000 + i] = static_cast<char>(b[3000 + i] ^ poly[i]);
    }
    ASSERT_NE(a, b);
    ASSERT_EQ(Crc32Update(0, a.data(), a.size()), Crc32Update(0, b.data(), b.size()));
    ASSERT_EQ(ByteSumUpdate(0, a.data(), a.size()), ByteSumUpdate(0, b.data(), b.size()));

    TempDir dir;
    dir.WriteFile("x/a.bin", a);
    dir.WriteFile("x/b.bin", b);
    EXPECT_EQ(Search(dir / "x").RowCount(), 0u);
    // With a real copy of each, each pairs with its own copy only.
    dir.WriteFile("x/a2.bin", a);
    dir.WriteFile("x/b2.bin", b);
    const ResultsModel model = Search(dir / "x");
    ASSERT_EQ(model.RowCount(), 4u);
    for (std::size_t r = 0; r < 4; r += 2) {
        const std::string first = ReadWholeFile(model.Row(r).record->Path());
        EXPECT_EQ(ReadWholeFile(model.Row(r + 1).record->Path()), first);
    }
    EXPECT_EQ(model.DuplicateCount(), 2);
}

TEST(Safety, AFileChangedOrReplacedSinceTheScanFailsTheCheck) {
    TempDir dir;
    const std::string body(70000, 'q');
    dir.WriteFile("d/one.dat", body);
    dir.WriteFile("d/two.dat", body);
    dir.WriteFile("d/three.dat", body);
    ResultsModel model = Search(dir / "d");
    ASSERT_EQ(model.RowCount(), 3u);
    std::string reason;
    for (std::size_t r = 0; r < 3; ++r) EXPECT_TRUE(IsStillScannedFile(*model.Row(r).record, &reason)) << reason;
    EXPECT_EQ(CompareContents(*model.Row(0).record, *model.Row(1).record, nullptr), ContentMatch::kSame);

    // Same size, other contents written later: the time tells (set two seconds on, for file
    // systems that keep whole seconds).
    const CFileRecord& changed = *model.Row(1).record;
    std::string other = body;
    other[5] = 'x';
    {
        std::ofstream out(changed.Path(), std::ios::binary | std::ios::trunc);
        out << other;
    }
    const auto when = std::filesystem::last_write_time(changed.Path());
    std::filesystem::last_write_time(changed.Path(), when + std::chrono::seconds(2));
    EXPECT_FALSE(IsStillScannedFile(changed, &reason));
    EXPECT_EQ(reason, "文件在搜索期间已改变");
    EXPECT_EQ(CompareContents(*model.Row(0).record, changed, nullptr, &reason),
              ContentMatch::kSecondUnreadable);

    // Removed: the system's reason.
    std::remove(model.Row(2).record->Path().c_str());
    EXPECT_FALSE(IsStillScannedFile(*model.Row(2).record, &reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(CompareContents(*model.Row(0).record, *model.Row(2).record, nullptr),
              ContentMatch::kSecondUnreadable);

    // A record never read has no identity (a Windows scan leaves each file so until its first
    // look): nothing tells that the file there now is the one the search compared.
    dir.WriteFile("d/four.dat", body);
    const std::string folder = dir / Native("d/");
    platform::FindData found;
    platform::FileFinder finder;
    for (bool ok = finder.First(folder); ok; ok = finder.Next())
        if (finder.Data().cFileName == "four.dat") found = finder.Data();
    ASSERT_EQ(found.cFileName, "four.dat");
    found.nDevice = 0;
    found.nInode = 0;
    EXPECT_FALSE(IsStillScannedFile(CFileRecord(found, folder), &reason));
    EXPECT_EQ(reason, "文件在搜索期间已被替换");
}

// A comparison is asked whether to stop before it opens anything and between blocks: a search
// or a delete comparing many small files (one block each) is asked once per comparison.
TEST(Safety, AComparisonAsksToStopBeforeItBeginsAndBetweenBlocks) {
    TempDir dir;
    dir.WriteFile("s/one.dat", "ten bytes!");
    dir.WriteFile("s/two.dat", "ten bytes!");
    const std::string big(2 * kChecksumBlockSize + 5, 'b');
    dir.WriteFile("b/one.dat", big);
    dir.WriteFile("b/two.dat", big);
    const ResultsModel small = Search(dir / "s");
    const ResultsModel large = Search(dir / "b");
    ASSERT_EQ(small.RowCount(), 2u);
    ASSERT_EQ(large.RowCount(), 2u);

    int asked = 0;
    const std::function<bool()> count = [&asked] {
        ++asked;
        return false;
    };
    EXPECT_EQ(CompareContents(*small.Row(0).record, *small.Row(1).record, count), ContentMatch::kSame);
    EXPECT_EQ(asked, 1);
    asked = 0;
    EXPECT_EQ(CompareContents(*large.Row(0).record, *large.Row(1).record, count), ContentMatch::kSame);
    EXPECT_EQ(asked, 3);

    const std::function<bool()> stop = [] { return true; };
    EXPECT_EQ(CompareContents(*small.Row(0).record, *small.Row(1).record, stop),
              ContentMatch::kStopped);
    // A stop in the grouping of small files: the search ends with what it grouped so far.
    RecordingSink sink;
    sink.m_cancel = false;
    DuplicateSearch search(&sink);
    std::atomic<int> opened{0};
    search.m_keepBudget = 0;  // the small files are opened again for their comparison
    search.m_open = [&](const CFileRecord& record, int* error) {
        ++opened;
        sink.m_cancel = true;  // the user stops as the first file is read for its comparison
        return DiskBlockOpener()(record, error);
    };
    SearchOptions options;
    options.paths = {dir / "s"};
    ResultsModel model;
    EXPECT_EQ(search.Run(options, model), DuplicateSearch::kFinished);
    // Either thread may be the one reading the pair; the second thread hears of the stop only
    // through the search's own thread, so it may have opened the other file before that.
    EXPECT_GE(opened.load(), 1);
    EXPECT_EQ(model.RowCount(), 0u) << "the comparison under way was stopped";
}

// A file that grows while it is compared: its first bytes equal the other file's, but what
// was appended was never compared. Neither the search nor the delete may call it a copy.
TEST(Safety, AFileThatGrowsWhileComparedIsNoCopy) {
    TempDir dir;
    const std::string body = RandomBytes(kChecksumBlockSize * 2 + 100, 21);
    dir.WriteFile("g/a", body);
    dir.WriteFile("g/b", body);
    const auto append = [](const std::string& path) {
        std::ofstream(path, std::ios::binary | std::ios::app) << "NEW DATA";
    };

    // The comparison is asked whether to stop between blocks: the append happens there.
    ResultsModel model = Search(dir / "g");
    ASSERT_EQ(model.RowCount(), 2u);
    const CFileRecord& a = *model.Row(0).record;
    const CFileRecord& b = *model.Row(1).record;
    bool grown = false;
    const std::function<bool()> growB = [&] {
        if (!grown) append(b.Path());
        grown = true;
        return false;
    };
    std::string reason;
    EXPECT_EQ(CompareContents(a, b, growB, &reason), ContentMatch::kSecondUnreadable);
    EXPECT_TRUE(grown);
    EXPECT_EQ(reason, "文件在搜索期间已改变");

    // The search: the copy that grew while its pair was compared is not listed.
    dir.WriteFile("s/a", body);
    dir.WriteFile("s/b", body);
    DuplicateSearch search(nullptr);
    bool appended = false;
    search.m_open = PlantingOpener([&](const CFileRecord& record, std::unique_ptr<BlockSource> disk)
                                       -> std::unique_ptr<BlockSource> {
        if (record.Name() != "b") return disk;
        auto grows = std::make_unique<FaultySource>(std::move(disk));
        grows->afterFirstRead = [&appended, path = record.Path(), append] {
            append(path);
            appended = true;
        };
        return grows;
    });
    SearchOptions options;
    options.paths = {dir / "s"};
    ResultsModel listed;
    EXPECT_EQ(search.Run(options, listed), DuplicateSearch::kFinished);
    EXPECT_TRUE(appended);
    EXPECT_EQ(listed.RowCount(), 0u);
}

#ifndef _WIN32
TEST(Safety, ReplacedByAnotherFileOrALinkFailsTheCheck) {
    TempDir dir;
    const std::string body(1000, 'r');
    dir.WriteFile("d/a", body);
    dir.WriteFile("d/b", body);
    dir.WriteFile("elsewhere/b", body);
    ResultsModel model = Search(dir / "d");
    ASSERT_EQ(model.RowCount(), 2u);
    const CFileRecord& b = *model.Row(1).record;
    std::string reason;
    // The same contents, size and time, but another file put in its place.
    struct stat st;
    ASSERT_EQ(stat(b.Path().c_str(), &st), 0);
    const std::string moved = dir / "elsewhere/b";
    struct timespec times[2] = {st.st_atim, st.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, moved.c_str(), times, 0), 0);
    ASSERT_EQ(std::rename(moved.c_str(), b.Path().c_str()), 0);
    EXPECT_FALSE(IsStillScannedFile(b, &reason));
    EXPECT_EQ(reason, "文件在搜索期间已被替换");
    // A link to the very file that was scanned: links are never followed.
    std::remove(b.Path().c_str());
    ASSERT_EQ(symlink(model.Row(0).record->Path().c_str(), b.Path().c_str()), 0);
    EXPECT_FALSE(IsStillScannedFile(b, &reason));
    EXPECT_NE(CompareContents(*model.Row(0).record, b, nullptr), ContentMatch::kSame);
}

TEST(Safety, EachFileOnceInAGroupWhateverReachesItTwice) {
    TempDir dir;
    const std::string body = RandomBytes(3000, 4);
    dir.WriteFile("copy/c.txt", body);
    dir.WriteFile("links/a.txt", body);
    ASSERT_EQ(link((dir / "links/a.txt").c_str(), (dir / "links/b.txt").c_str()), 0);
    // The copy first, then two names of one file: one of them only.
    ResultsModel model = Search(dir / "copy" + ";" + (dir / "links"));
    ASSERT_EQ(model.RowCount(), 2u) << ::testing::PrintToString(Paths(model));
    EXPECT_EQ(model.Row(0).record->Path(), dir / "copy/c.txt");
    EXPECT_EQ(model.DuplicateCount(), 1);
    EXPECT_EQ(model.DuplicateBytes(), 3000);

    // A folder searched twice through overlapping start paths: every file once.
    dir.WriteFile("x/one.dat", body + "1");
    dir.WriteFile("x/sub/two.dat", body + "1");
    model = Search(dir / "x" + ";" + (dir / "x/sub"));
    EXPECT_EQ(Paths(model), (std::vector<std::string>{dir / "x/one.dat", dir / "x/sub/two.dat"}));
    EXPECT_EQ(model.DuplicateCount(), 1);
}

TEST(Safety, AFolderSwappedForALinkDuringTheWalkIsNotEntered) {
    TempDir dir;
    const std::string body(4000, 's');
    dir.WriteFile("tree/a/f.bin", body);
    dir.WriteFile("tree/z/g.bin", std::string(10, 'g'));
    dir.WriteFile("outside/f.bin", body);
    dir.WriteFile("outside/h.bin", body);
    // While the walk reads "a", the folder "z" (listed, not yet entered) becomes a link to a
    // folder outside the tree.
    class SwapWhileWalking : public RecordingSink {
    public:
        SwapWhileWalking(std::string at, std::string folder, std::string target)
            : m_at(std::move(at)), m_folder(std::move(folder)), m_target(std::move(target)) {}
        void SetStatus(const std::string& text) override {
            RecordingSink::SetStatus(text);
            if (text != m_at || m_done) return;
            m_done = true;
            std::remove((m_folder + "/f.bin").c_str());
            std::remove((m_folder + "/g.bin").c_str());
            rmdir(m_folder.c_str());
            EXPECT_EQ(symlink(m_target.c_str(), m_folder.c_str()), 0);
        }
        std::string m_at, m_folder, m_target;
        bool m_done = false;
    };
    // The walk order of "a" and "z" is the file system's: swap whichever comes second.
    for (const char* first : {"a", "z"}) {
        const std::string second = std::string(first) == "a" ? "z" : "a";
        dir.WriteFile("tree/a/f.bin", body);
        dir.WriteFile("tree/z/g.bin", std::string(10, 'g'));
        SwapWhileWalking sink(dir / "tree/" + first + "/", dir / "tree/" + second,
                              dir / "outside");
        const ResultsModel model = Search(dir / "tree", &sink);
        for (const std::string& path : Paths(model))
            EXPECT_EQ(path.find(dir / "tree/" + second + "/"), std::string::npos) << path;
        EXPECT_EQ(model.RowCount(), 0u);
        std::remove((dir / "tree/" + second).c_str());
        rmdir((dir / "tree/" + second).c_str());
    }

    // Swapped after the walk, before the files are read: read through the link they would be
    // the outside files, which have other identities. Nothing is paired.
    dir.WriteFile("tree2/a/f.bin", body);
    dir.WriteFile("tree2/b/f.bin", body);
    SearchOptions options;
    options.paths = {dir / "tree2"};
    DuplicateSearch search(nullptr);
    RecordList records;
    ASSERT_TRUE(search.CollectFiles(records, options.paths, "*.*", nullptr));
    ASSERT_EQ(records.size(), 2u);
    std::remove((dir / "tree2/b/f.bin").c_str());
    rmdir((dir / "tree2/b").c_str());
    ASSERT_EQ(symlink((dir / "outside").c_str(), (dir / "tree2/b").c_str()), 0);
    ResultsModel model;
    RecordingSink sink;
    DuplicateSearch(&sink).GroupDuplicates(records, model);
    EXPECT_EQ(model.RowCount(), 0u);
    ASSERT_EQ(sink.m_skipped.size(), 1u);
    EXPECT_EQ(sink.m_skipped[0].second, "文件在搜索期间已被替换");
}

TEST(Safety, PathsLongerThanTheSystemLimitAreWalkedAndRead) {
    TempDir dir;
    // Made one level at a time from the previous level's handle: the full path is too long
    // for the system to take at once.
    const std::string level(200, 'L');
    int fd = open(dir.Path().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_GE(fd, 0);
    std::string deep = dir.Path();
    for (int i = 0; i < 25; ++i) {
        ASSERT_EQ(mkdirat(fd, level.c_str(), 0755), 0);
        const int sub = openat(fd, level.c_str(), O_RDONLY | O_DIRECTORY);
        close(fd);
        ASSERT_GE(sub, 0);
        fd = sub;
        deep += level + "/";
    }
    ASSERT_GT(deep.size(), 4096u);
    const std::string body = RandomBytes(100000, 8);
    for (const char* name : {"one.bin", "two.bin"}) {
        const int f = openat(fd, name, O_WRONLY | O_CREAT, 0644);
        ASSERT_GE(f, 0);
        ASSERT_EQ(write(f, body.data(), body.size()), static_cast<ssize_t>(body.size()));
        close(f);
    }
    close(fd);
    RecordingSink sink;
    const ResultsModel model = Search(dir.Path(), &sink);
    EXPECT_TRUE(sink.m_skipped.empty());
    ASSERT_EQ(model.RowCount(), 2u);
    std::vector<std::string> found = Paths(model);
    std::sort(found.begin(), found.end());
    // (Compared as a whole: the paths are too long to print usefully.)
    EXPECT_TRUE(found == (std::vector<std::string>{deep + "one.bin", deep + "two.bin"}));
    std::string reason;
    EXPECT_TRUE(IsStillScannedFile(*model.Row(1).record, &reason)) << reason;
    // Named relative to the working folder, the path is walked from there.
    char* cwd = getcwd(nullptr, 0);
    ASSERT_EQ(chdir(dir.Path().c_str()), 0);
    platform::FileReader relative;
    const bool opened = relative.Open(deep.substr(dir.Path().size()) + "one.bin");
    EXPECT_EQ(chdir(cwd), 0);
    free(cwd);
    EXPECT_TRUE(opened);
    // The temporary folder's removal cannot take such paths: take the tree down by handle.
    fd = open(dir.Path().c_str(), O_RDONLY | O_DIRECTORY);
    for (int i = 0; i < 25; ++i) {
        const int sub = openat(fd, level.c_str(), O_RDONLY | O_DIRECTORY);
        close(fd);
        fd = sub;
    }
    unlinkat(fd, "one.bin", 0);
    unlinkat(fd, "two.bin", 0);
    close(fd);
    for (int i = 25; i > 0; --i) {
        std::string parent = dir.Path();
        fd = open(parent.c_str(), O_RDONLY | O_DIRECTORY);
        for (int k = 0; k < i - 1; ++k) {
            const int sub = openat(fd, level.c_str(), O_RDONLY | O_DIRECTORY);
            close(fd);
            fd = sub;
        }
        unlinkat(fd, level.c_str(), AT_REMOVEDIR);
        close(fd);
    }
}

TEST(Safety, VirtualFileSystemsAreAskedOfTheFileSystemAndNeverWalked) {
    for (const char* start : {"/proc/.", "/proc/", "/sys/.", "/proc/self/"}) {
        RecordingSink sink;
        RecordList records;
        CDirectoryScanner scanner(&sink);
        scanner.ScanPathList(records, {start}, "*.*", nullptr);
        EXPECT_TRUE(records.empty()) << start;
        ASSERT_EQ(sink.m_skipped.size(), 1u) << start;
        EXPECT_EQ(sink.m_skipped[0].second, "虚拟文件系统, 不搜索");
        EXPECT_EQ(scanner.m_nStartFoldersOpened, 0);
    }
}

TEST(Safety, AReadAsksToStopBetweenBlocksAndNeverPassesTheScannedSize) {
    TempDir dir;
    // 200 MB of holes: quick to read, but thousands of blocks.
    for (const char* name : {"big1", "big2"}) {
        std::ofstream(dir / name).close();
        ASSERT_EQ(truncate((dir / name).c_str(), 200 * 1000 * 1000), 0);
    }
    class CountingSink : public RecordingSink {
    public:
        bool Cancelled() override {
            ++m_asked;
            return m_asked > m_stopAfter;
        }
        int m_asked = 0;
        int m_stopAfter = 1 << 30;
    };
    CountingSink counting;
    ResultsModel model = Search(dir.Path(), &counting);
    EXPECT_EQ(model.RowCount(), 2u);
    // The read of the two files is asked between its blocks (on whichever thread reads them,
    // the waiting one asking the user every tenth of a second): a stop soon after the start
    // ends it long before its end.
    CountingSink stopping;
    stopping.m_stopAfter = 3;
    model = Search(dir.Path(), &stopping);
    EXPECT_EQ(model.RowCount(), 0u);
    EXPECT_LT(stopping.m_asked, 10);

    // A file that grows after the scan is read only to its scanned size, and not paired.
    dir.WriteFile("g/a", "12345");
    dir.WriteFile("g/b", "12345");
    DuplicateSearch search(nullptr);
    RecordList records;
    ASSERT_TRUE(search.CollectFiles(records, {dir / "g"}, "*.*", nullptr));
    dir.WriteFile("g/b", "123456789");
    search.GroupDuplicates(records, model);
    EXPECT_EQ(model.RowCount(), 0u);
}
#endif

TEST(Safety, BlanksAroundListElementsButNotAroundOnePath) {
    TempDir dir;
    dir.WriteFile("A/x.txt", "same");
    dir.WriteFile("B/y.txt", "same");
    const ResultsModel model = Search(dir / "A" + "; " + (dir / "B") + " ;");
    EXPECT_EQ(model.RowCount(), 2u);
    RecordingSink sink;
    EXPECT_EQ(Search(dir / "B" + " ", &sink).RowCount(), 0u);
    if (!kWindows) {
        ASSERT_EQ(sink.m_skipped.size(), 1u);  // "B " is no folder: said so, not searched
        EXPECT_EQ(sink.m_skipped[0].first, dir / "B ");
    }
}

}  // namespace
