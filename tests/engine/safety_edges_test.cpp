// The faults that lose files or miss copies and that the other suites let pass: an inode on two
// devices, a link to the scanned file itself, a stop or a file cut short in the middle of a
// read, the walk order and the size sort's stability, a head lost after it confirmed a copy.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <dirent.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include "engine/search/checksum.h"
#include "engine/actions/duplicate_action.h"
#include "engine/search/duplicate_search.h"
#include "engine/search/file_check.h"
#include "engine/actions/safe_delete.h"
#include "platform/file_reader.h"
#include "support/faulty_source.h"
#include "support/random_bytes.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"

// Every case here stands on POSIX files, links and devices.
#ifndef _WIN32
namespace {

std::vector<std::string> Paths(const ResultsModel& model) {
    std::vector<std::string> paths;
    for (std::size_t r = 0; r < model.RowCount(); ++r) paths.push_back(model.Row(r).record->Path());
    return paths;
}

std::vector<std::string> Paths(const RecordList& records) {
    std::vector<std::string> paths;
    for (const auto& record : records) paths.push_back(record->Path());
    return paths;
}

// A read record of `device` and `inode` that no file stands behind.
std::unique_ptr<CFileRecord> IdRecord(std::uint64_t device, std::uint64_t inode) {
    platform::FindData data;
    data.cFileName = "f" + std::to_string(device);
    data.nFileSize = 10;
    data.nDevice = device;
    data.nInode = inode;
    auto record = std::make_unique<CFileRecord>(data, "/nowhere/");
    record->SetDetails(7, 8, false, 0);
    return record;
}

TEST(SafetyEdges, OneInodeOnTwoDevicesIsTwoFiles) {
    // Inode numbers repeat across file systems: only the device tells such files apart.
    const auto a = IdRecord(1, 77), other = IdRecord(2, 77), same = IdRecord(1, 77);
    EXPECT_FALSE(IsSameFile(*a, *other));
    EXPECT_TRUE(IsSameFile(*a, *same));
    CFileRecord* pair[] = {a.get(), other.get()};
    unsigned char roles[2];
    FingerprintWorker::ChooseRoles(pair, 2, roles);
    EXPECT_EQ(roles[0], FingerprintWorker::kRead);
    EXPECT_EQ(roles[1], FingerprintWorker::kRead);
    // Such a class is read: it is not one file under two names.
    int reads = 0;
    FingerprintWorker worker({a.get(), other.get()}, {2}, DetailsRequest(),
                             [&reads](CFileRecord&, const DetailsRequest&) { ++reads; });
    EXPECT_TRUE(worker.EnsureClass(0, nullptr));
    EXPECT_EQ(reads, 2);

    // A scanned file and a subfolder, checked against identities that differ in one part.
    TempDir dir;
    dir.WriteFile("d/file", "contents");
    dir.MakeDir("d/sub");
    RecordList records;
    CDirectoryScanner(nullptr).ScanPathList(records, {dir / "d"}, "*.*", nullptr);
    ASSERT_EQ(records.size(), 1u);
    platform::FileIdentity id;
    int error = 0;
    ASSERT_TRUE(platform::QueryFileIdentity(records[0]->Path(), &id, &error));
    EXPECT_EQ(records[0]->CheckIdentity(id), 0);
    id.device ^= 1;
    EXPECT_EQ(records[0]->CheckIdentity(id), platform::kErrorReplaced);
    id.device ^= 1;
    ++id.inode;
    EXPECT_EQ(records[0]->CheckIdentity(id), platform::kErrorReplaced);
    // The same file, its size changed under an unchanged time (a file system of whole seconds,
    // a time set back), or its time alone.
    --id.inode;
    ++id.size;
    EXPECT_EQ(records[0]->CheckIdentity(id), kErrorChanged);
    --id.size;
    ++id.lastWrite;
    EXPECT_EQ(records[0]->CheckIdentity(id), kErrorChanged);

    std::unique_ptr<platform::FolderHandle> folder =
        platform::FolderHandle::OpenStart(dir / "d/", &error);
    ASSERT_TRUE(folder);
    platform::FileFinder finder;
    platform::FindData sub;
    for (bool more = finder.First(*folder); more; more = finder.Next())
        if (finder.Data().cFileName == "sub") sub = finder.Data();
    ASSERT_EQ(sub.cFileName, "sub");
    EXPECT_TRUE(folder->OpenSub(sub, dir / "d/sub/", &error));
    for (std::uint64_t platform::FindData::*part :
         {&platform::FindData::nDevice, &platform::FindData::nInode}) {
        platform::FindData changed = sub;
        changed.*part ^= 1;
        error = 0;
        EXPECT_FALSE(folder->OpenSub(changed, dir / "d/sub/", &error));
        EXPECT_EQ(error, platform::kErrorReplaced);
    }
    // Moved aside for a link to itself: the link is refused though it leads to the same folder.
    std::filesystem::rename(dir / "d/sub", dir / "d/sub2");
    ASSERT_EQ(symlink("sub2", (dir / "d/sub").c_str()), 0);
    EXPECT_FALSE(folder->OpenSub(sub, dir / "d/sub/", &error));
}

TEST(SafetyEdges, ALinkToTheScannedFileItselfIsRefused) {
    // The name now leads, through a link, to the very file that was scanned (same device,
    // inode, size and time): only the open that refuses links tells.
    TempDir dir;
    const std::string body(3000, 'k');
    dir.WriteFile("d/a", body);
    dir.WriteFile("d/b", body);
    SearchOptions options;
    options.paths = {dir / "d"};
    ResultsModel model;
    DuplicateSearch(nullptr).Run(options, model);
    ASSERT_EQ(model.RowCount(), 2u);
    const CFileRecord& b = *model.Row(1).record;
    RecordList unread;
    CDirectoryScanner(nullptr).ScanPathList(unread, {dir / "d"}, b.Name(), nullptr);
    ASSERT_EQ(unread.size(), 1u);
    dir.MakeDir("moved");
    ASSERT_EQ(std::rename(b.Path().c_str(), (dir / "moved/b").c_str()), 0);
    ASSERT_EQ(symlink((dir / "moved/b").c_str(), b.Path().c_str()), 0);
    std::string reason;
    EXPECT_FALSE(IsStillScannedFile(b, &reason));
    EXPECT_EQ(CompareContents(*model.Row(0).record, b, nullptr), ContentMatch::kSecondUnreadable);
    const DeleteOutcome out = SafeDelete(nullptr, false).Run(model, {1});
    EXPECT_TRUE(out.goneRows.empty());
    EXPECT_EQ(ReadWholeFile(dir / "moved/b"), body);
    // Scanned before and read only now: nothing is read through the link.
    unread[0]->ComputeDetails();
    EXPECT_TRUE(unread[0]->IsUnreadable());
    // A folder or a FIFO put in the file's place is never opened as a file: a FIFO would read
    // as empty, and a folder's identity would be compared as a file's.
    ASSERT_EQ(std::remove(b.Path().c_str()), 0);
    ASSERT_EQ(mkfifo(b.Path().c_str(), 0600), 0);
    platform::FileReader reader;
    platform::FileIdentity id;
    int error = 0;
    EXPECT_FALSE(reader.Open(b.Path(), true));
    EXPECT_EQ(errno, EINVAL);
    EXPECT_FALSE(platform::QueryFileIdentity(b.Path(), &id, &error));
    EXPECT_EQ(error, EINVAL);
    EXPECT_FALSE(reader.Open(dir / "moved", true));
    EXPECT_EQ(errno, EISDIR);
}

TEST(SafetyEdges, AStopOrAFileCutShortInTheMiddleOfAReadOrADelete) {
    TempDir dir;
    for (const char* folder : {"d/", "e/"}) {
        const std::string body = RandomBytes(3 * kChecksumBlockSize, folder[0]);
        dir.WriteFile(folder + std::string("a"), body);
        dir.WriteFile(folder + std::string("b"), body);
    }
    SearchOptions options;
    options.paths = {dir / "d", dir / "e"};
    ResultsModel model;
    DuplicateSearch(nullptr).Run(options, model);
    ASSERT_EQ(model.RowCount(), 4u);

    // Stopped while the bytes were compared, or compared without the answer "the same": the
    // delete leaves the file where it is.
    for (const ContentMatch match : {ContentMatch::kStopped, ContentMatch::kDifferent,
                                     ContentMatch::kFirstUnreadable,
                                     ContentMatch::kSecondUnreadable}) {
        SafeDelete refused(nullptr, false);
        refused.SetCompare([match](const CFileRecord&, platform::FileReader&, const CFileRecord&,
                                   platform::FileReader&, const std::function<bool()>&,
                                   std::string*) { return match; });
        const DeleteOutcome out = refused.Run(model, {1});
        EXPECT_EQ(out.stopped, match == ContentMatch::kStopped);
        EXPECT_TRUE(out.goneRows.empty());
        EXPECT_TRUE(std::filesystem::exists(model.Row(1).record->Path()));
    }

    // Cut short after the first block of a comparison (the stop question comes before the
    // files are opened, then between blocks): the second file of one group, the first of the
    // other.
    for (const std::size_t cut : {1, 2}) {
        const std::string path = model.Row(cut).record->Path();
        int asked = 0;
        const std::function<bool()> cutShort = [path, &asked] {
            if (++asked == 2) std::filesystem::resize_file(path, kChecksumBlockSize + 10);
            return false;
        };
        const std::size_t first = cut & ~std::size_t(1);
        std::string reason;
        EXPECT_EQ(CompareContents(*model.Row(first).record, *model.Row(first + 1).record,
                                  cutShort, &reason),
                  cut == 1 ? ContentMatch::kSecondUnreadable : ContentMatch::kFirstUnreadable);
        EXPECT_EQ(reason, "文件在搜索期间已改变");
    }
    // A byte already compared changed in place (same size, a new time): no copy.
    dir.WriteFile("g/a", std::string(3 * kChecksumBlockSize, 'g'));
    dir.WriteFile("g/b", std::string(3 * kChecksumBlockSize, 'g'));
    options.paths = {dir / "g"};
    DuplicateSearch(nullptr).Run(options, model);
    ASSERT_EQ(model.RowCount(), 2u);
    const std::string second = model.Row(1).record->Path();
    int asked = 0;
    const std::function<bool()> rewrite = [&second, &asked] {
        if (++asked == 2) std::fstream(second, std::ios::in | std::ios::out | std::ios::binary) << 'h';
        return false;
    };
    EXPECT_EQ(CompareContents(*model.Row(0).record, *model.Row(1).record, rewrite),
              ContentMatch::kSecondUnreadable);
    // The same during a fingerprint read: the record is unreadable, not read whole.
    dir.WriteFile("f/c", RandomBytes(3 * kChecksumBlockSize, 7));
    RecordList records;
    CDirectoryScanner(nullptr).ScanPathList(records, {dir / "f"}, "*.*", nullptr);
    ASSERT_EQ(records.size(), 1u);
    DetailsRequest request;
    request.stop = [&records] {
        std::filesystem::resize_file(records[0]->Path(), 100);
        return false;
    };
    records[0]->ComputeDetails(request);
    EXPECT_TRUE(records[0]->IsUnreadable());

    // A comparison that says "the same" does not vouch for a file, or a copy, put in place of
    // the scanned one since: each is checked before it is compared.
    dir.WriteFile("h/a", "h bytes");
    dir.WriteFile("h/b", "h bytes");
    options.paths = {dir / "h"};
    DuplicateSearch(nullptr).Run(options, model);
    ASSERT_EQ(model.RowCount(), 2u);
    for (const std::size_t replaced : {0, 1}) {
        const std::string path = model.Row(replaced).record->Path();
        const std::string bytes = ReadWholeFile(path);
        std::remove(path.c_str());
        dir.WriteFile(path.substr(dir.Path().size()), bytes);
        SafeDelete trusting(nullptr, false);
        trusting.SetCompare([](const CFileRecord&, platform::FileReader&, const CFileRecord&,
                               platform::FileReader&, const std::function<bool()>&,
                               std::string*) { return ContentMatch::kSame; });
        EXPECT_TRUE(trusting.Run(model, {1}).goneRows.empty()) << replaced;
        EXPECT_TRUE(std::filesystem::exists(model.Row(1).record->Path()));
    }
}

// The names of the entries of `folder` in the order the file system lists them.
std::vector<std::string> ListingOrder(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    while (const dirent* entry = dir != nullptr ? readdir(dir) : nullptr) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    if (dir != nullptr) closedir(dir);
    return names;
}

TEST(SafetyEdges, AStopEndsTheWalkAndTheWaitForAClass) {
    // Asked while the first subfolder opens: no sibling is opened after it.
    struct StopAtSubfolder : RecordingSink {
        std::string root;
        int subfolders = 0;
        void SetStatus(const std::string& text) override {
            if (text.size() <= root.size() || text.rfind(root, 0) != 0) return;
            ++subfolders;
            m_cancel = true;
        }
    } sink;
    TempDir dir;
    for (const char* name : {"s1/f", "s2/f", "s3/f"}) dir.WriteFile(name, "x");
    sink.root = dir.Path();
    RecordList records;
    CDirectoryScanner(&sink).ScanPathList(records, {dir.Path()}, "*.*", nullptr);
    EXPECT_EQ(sink.subfolders, 1);

    // Asked after the first read of a class: the wait for the rest of it ends.
    std::vector<std::unique_ptr<CFileRecord>> owned;
    std::vector<CFileRecord*> many;
    for (std::uint64_t inode = 1; inode <= 40; ++inode) {
        owned.push_back(IdRecord(1, inode));
        many.push_back(owned.back().get());
    }
    // It gives up at once, not after reading the rest of the class: the worker's own thread
    // reads slowly, so the files read by the time it returns are nearly all the asker's.
    std::atomic<int> reads{0};
    const std::thread::id asker = std::this_thread::get_id();
    FingerprintWorker worker(many, {40u}, DetailsRequest(),
                             [&reads, asker](CFileRecord&, const DetailsRequest&) {
                                 ++reads;
                                 std::this_thread::sleep_for(std::chrono::milliseconds(
                                     std::this_thread::get_id() == asker ? 2 : 50));
                             });
    EXPECT_FALSE(worker.EnsureClass(0, [&reads] { return reads > 0; }));
    EXPECT_LE(reads.load(), 10);
}

TEST(SafetyEdges, AFileOfAnotherDeviceMountedOverTheEntryIsNotRemoved) {
    // Two new tmpfs number their files alike: b/d has a/d's inode number on another device.
    if (geteuid() != 0) GTEST_SKIP() << "needs root to mount";
    TempDir dir;
    const std::string a = dir.MakeDir("a"), b = dir.MakeDir("b");
    struct Unmount {
        std::vector<std::string> at;
        ~Unmount() { for (auto k = at.rbegin(); k != at.rend(); ++k) umount2(k->c_str(), MNT_DETACH); }
    } mounts;
    for (const std::string& at : {a, b}) {
        if (mount("none", at.c_str(), "tmpfs", 0, nullptr) != 0) GTEST_SKIP() << "cannot mount tmpfs";
        mounts.at.push_back(at);
        // In this order tmpfs lists k first: it is the copy kept, d the one acted on.
        dir.WriteFile(at.substr(dir.Path().size()) + "d", "same");
        dir.WriteFile(at.substr(dir.Path().size()) + "k", "same");
    }
    struct stat ad, bd;
    ASSERT_TRUE(stat((a + "d").c_str(), &ad) == 0 && stat((b + "d").c_str(), &bd) == 0);
    if (ad.st_ino != bd.st_ino) GTEST_SKIP() << "this tmpfs numbers its files otherwise";
    SearchOptions options;
    options.paths = {a};
    ResultsModel model;
    DuplicateSearch(nullptr).Run(options, model);
    ASSERT_EQ(model.RowCount(), 2u);
    const std::size_t row = model.Row(0).record->Path() == a + "d" ? 0 : 1;
    ASSERT_EQ(row, 1u) << "the replacements act on a group's later rows only";
    // Mounted after the comparison: the delete, the link and the move each find the entry is
    // not the file compared, and leave no spare name behind.
    for (DuplicateActionKind kind : {DuplicateActionKind::kDelete, DuplicateActionKind::kHardLink,
                                     DuplicateActionKind::kMove}) {
        DuplicateAction action(kind, nullptr);
        action.SetMoveTarget(a + "aside", {a});  // on a's file system: a rename
        action.Parts().compare = ([&](const CFileRecord& x, platform::FileReader& rx,
                                       const CFileRecord& y, platform::FileReader& ry,
                                       const std::function<bool()>& stop, std::string* why) {
            const ContentMatch match = CompareOpenFiles(x, rx, y, ry, stop, why);
            if (mount((b + "d").c_str(), (a + "d").c_str(), nullptr, MS_BIND, nullptr) == 0)
                mounts.at.push_back(a + "d");
            return match;
        });
        const ActionOutcome out = action.Run(model, {row});
        EXPECT_TRUE(out.done.empty());
        ASSERT_EQ(out.refused.size(), 1u);
        EXPECT_EQ(out.refused[0].second, CFileRecord::ErrorCodeText(platform::kErrorReplaced))
            << ActionVerb(kind);
        ASSERT_EQ(mounts.at.back(), a + "d");
        umount2((a + "d").c_str(), MNT_DETACH);
        mounts.at.pop_back();
        for (const auto& entry : std::filesystem::directory_iterator(a))
            EXPECT_NE(entry.path().filename().string()[0], '.') << entry.path();
    }
}

TEST(SafetyEdges, SiblingsInListingOrderAndEqualSizesInScanOrder) {
    // The first copy found heads its group: siblings are walked in the order listed, and the
    // size sort keeps the scan order among equal sizes (past the 16 records below which an
    // unstable sort happens to keep it too).
    TempDir dir;
    for (int i = 0; i < 12; ++i) dir.WriteFile("t/s" + std::to_string(i) + "/same", "same");
    for (int i = 0; i < 60; ++i)
        dir.WriteFile("t/s0/f" + std::to_string(i), std::string(1 + i % 4, char('a' + i)));
    std::vector<std::string> walked;
    for (const std::string& name : ListingOrder(dir / "t")) walked.push_back(dir / "t/" + name + "/same");
    SearchOptions options;
    options.paths = {dir / "t"};
    options.mask = "same";
    ResultsModel model;
    DuplicateSearch(nullptr).Run(options, model);
    EXPECT_EQ(Paths(model), walked);

    RecordList scanned, sorted;
    CDirectoryScanner(nullptr).ScanPathList(scanned, {dir / "t/s0"}, "*.*", nullptr);
    ASSERT_TRUE(DuplicateSearch(nullptr).CollectFiles(sorted, {dir / "t/s0"}, "*.*", nullptr));
    ASSERT_EQ(sorted.size(), 61u);
    std::stable_sort(scanned.begin(), scanned.end(), [](const auto& x, const auto& y) {
        return x->m_nSize > y->m_nSize;
    });
    EXPECT_EQ(Paths(sorted), Paths(scanned));
}

TEST(SafetyEdges, AHeadChangedDuringTheReadAndAnUnreadableCopyAreNamed) {
    TempDir dir;
    for (const char* name : {"p", "q", "r", "s", "t"}) dir.WriteFile(std::string("d/") + name, "copy");
    RecordList order;
    ASSERT_TRUE(DuplicateSearch(nullptr).CollectFiles(order, {dir / "d"}, "*.*", nullptr));
    const std::vector<std::string> found = Paths(order);  // the scan order of the five copies
    const std::string changed = "文件在搜索期间已改变";
    // The head is found changed at the end of the read: it is no copy, and the other files
    // are grouped among themselves, in their order.
    RecordingSink sink;
    DuplicateSearch search(&sink);
    const auto failing = [](const std::string& path, bool cut) {
        return PlantingOpener([path, cut](const CFileRecord& record,
                                          std::unique_ptr<BlockSource> disk)
                                  -> std::unique_ptr<BlockSource> {
            if (record.Path() != path) return disk;
            auto faulty = std::make_unique<FaultySource>(std::move(disk));
            if (cut) faulty->cutShort = true;
            else faulty->endError = kErrorChanged;
            return faulty;
        });
    };
    // The faults are planted in the disk's reads: the small files are opened for them.
    search.m_keepBudget = 0;
    search.m_open = failing(found[0], false);
    SearchOptions options;
    options.paths = {dir / "d"};
    ResultsModel model;
    search.Run(options, model);
    EXPECT_EQ(Paths(model), (std::vector<std::string>{found[1], found[2], found[3], found[4]}));
    EXPECT_EQ(sink.m_skipped,
              (std::vector<std::pair<std::string, std::string>>{{found[0], changed}}));

    // A copy that cannot be read whole is named with its reason and left out.
    RecordingSink named;
    DuplicateSearch second(&named);
    second.m_keepBudget = 0;
    second.m_open = failing(found[1], true);
    second.Run(options, model);
    EXPECT_EQ(Paths(model), (std::vector<std::string>{found[0], found[2], found[3], found[4]}));
    EXPECT_EQ(named.m_skipped,
              (std::vector<std::pair<std::string, std::string>>{{found[1], changed}}));
}

}  // namespace
#endif
