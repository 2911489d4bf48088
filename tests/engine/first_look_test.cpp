// A size class is read only as far as its files can differ: the first block of every file,
// the whole of a file only where another file has the same first block, and nothing of a class
// whose names all belong to one file. The listed files still show their whole files' CRC and sum.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <unistd.h>
#endif

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <map>
#include <mutex>
#include <thread>
#include <set>

#include "engine/search/checksum.h"
#include "engine/search/disk_readers.h"
#include "engine/search/duplicate_search.h"
#include "engine/search/fingerprint_worker.h"
#include "engine/search/joint_reader.h"
#include "platform/file_reader.h"
#include "support/platform_rules.h"
#include "support/random_bytes.h"
#include "support/recording_sink.h"
#include "support/temp_dir.h"

namespace {

const CFileRecord* Find(const RecordList& records, const std::string& path) {
    for (const auto& r : records)
        if (r && r->Path() == path) return r.get();
    return nullptr;
}

TEST(FirstLook, ReadsOnlyWhatCanDiffer) {
    TempDir dir;
    const std::string big = RandomBytes(100000, 1);
    std::string early = big, late = big;
    early[10] ^= 0x5A;          // differs in the first block
    late[big.size() - 1] ^= 1;  // differs only at its end
    dir.WriteFile("a.bin", big);
    dir.WriteFile("b.bin", big);
    dir.WriteFile("c.bin", early);
    dir.WriteFile("d.bin", late);
    const std::string small = RandomBytes(3000, 2);  // one block: the first look reads it all
    dir.WriteFile("e.bin", small);
    dir.WriteFile("f.bin", small);
    std::string smallOther = small;
    smallOther[2999] ^= 1;
    dir.WriteFile("g.bin", smallOther);
    const bool links = !kWindows;
#ifndef _WIN32
    // Two names of one 50 000-byte file, alone in their size: nothing to read.
    dir.WriteFile("h.bin", RandomBytes(50000, 3));
    ASSERT_EQ(link((dir / "h.bin").c_str(), (dir / "i.bin").c_str()), 0);
#endif

    DuplicateSearch search(nullptr);
    RecordList records;
    ASSERT_TRUE(search.CollectFiles(records, {dir.Path()}, "*.*", nullptr));
    ResultsModel model;
    search.GroupDuplicates(records, model);

    ASSERT_EQ(model.RowCount(), 4u);
    std::set<std::string> bigGroup = {model.Row(0).record->Path(), model.Row(1).record->Path()};
    EXPECT_EQ(bigGroup, (std::set<std::string>{dir / "a.bin", dir / "b.bin"}));
    std::set<std::string> smallGroup = {model.Row(2).record->Path(), model.Row(3).record->Path()};
    EXPECT_EQ(smallGroup, (std::set<std::string>{dir / "e.bin", dir / "f.bin"}));
    // The listed files carry the fingerprints of their whole contents.
    for (std::size_t r = 0; r < 4; ++r) {
        const std::string& data = r < 2 ? big : small;
        const CFileRecord& rec = *model.Row(r).record;
        EXPECT_TRUE(rec.DetailsKnown());
        EXPECT_FALSE(rec.FirstBlockOnly());
        EXPECT_EQ(rec.m_dwCrc, Crc32Update(0, data.data(), data.size())) << rec.Path();
        EXPECT_EQ(rec.m_dwChecksum, ByteSumUpdate(0, data.data(), data.size())) << rec.Path();
    }
    // Other in the first block: never read whole. Other only at the end: read with the copies
    // up to the block where it differs, then set aside: not listed, no whole fingerprints.
    const CFileRecord* c = Find(records, dir / "c.bin");
    ASSERT_NE(c, nullptr);
    EXPECT_TRUE(c->FirstBlockOnly());
    EXPECT_FALSE(c->DetailsKnown());
    const CFileRecord* d = Find(records, dir / "d.bin");
    ASSERT_NE(d, nullptr);
    EXPECT_FALSE(d->DetailsKnown());
    EXPECT_FALSE(d->IsUnreadable());
    // A small file is whole after its first look.
    const CFileRecord* g = Find(records, dir / "g.bin");
    ASSERT_NE(g, nullptr);
    EXPECT_TRUE(g->DetailsKnown());
    if (links) {
        for (const char* name : {"h.bin", "i.bin"}) {
            const CFileRecord* h = Find(records, dir / name);
            ASSERT_NE(h, nullptr) << name;
            EXPECT_FALSE(h->DetailsKnown()) << name;
            EXPECT_FALSE(h->FirstBlockOnly()) << name;
        }
    }
}

// A file that tells which looks it was given; its first block and whole contents are set by
// the test, and its whole read may fail. Its record is a plain one; the search reads it through
// Read (its stand-in for the disk).
class LookRecord {
public:
    LookRecord(const std::string& path, std::uint64_t inode, std::uint32_t firstKey,
               std::uint64_t content, bool wholeFails = false)
        : m_firstKey(firstKey), m_content(content),
          m_record(std::make_unique<CFileRecord>(platform::FindData(), path)),
          m_wholeFails(wholeFails) {
        m_record->m_nSize = 100000;
        m_record->m_nDevice = 1;
        m_record->m_nInode = inode;
        Known()[m_record.get()] = this;
    }
    void ComputeDetails(const DetailsRequest& request) {
        ASSERT_TRUE(request.firstBlock) << "files are read whole only together";
        ++m_firstLooks;
        m_unstoppable += request.stop ? 0 : 1;
        m_pRecord->SetDetails(m_firstKey, 1, true, 0);
    }
    static LookRecord& Of(const CFileRecord& record) { return *Known().at(&record); }
    static void Read(CFileRecord& record, const DetailsRequest& request) {
        Of(record).ComputeDetails(request);
    }
    CFileRecord& Record() { return *m_pRecord; }
    // The record for a list that owns it; this object stays the file's stand-in.
    std::unique_ptr<CFileRecord> Release() { return std::move(m_record); }

    int m_firstLooks = 0;
    int m_wholeReads = 0;
    int m_unstoppable = 0;  // first looks that could not be asked to stop
    std::uint32_t m_firstKey;
    std::uint64_t m_content;

private:
    static std::map<const CFileRecord*, LookRecord*>& Known() {
        static std::map<const CFileRecord*, LookRecord*> known;
        return known;
    }
    std::unique_ptr<CFileRecord> m_record;
    CFileRecord* m_pRecord = m_record.get();  // also once the list owns it

public:
    bool m_wholeFails;
};

// A look file opened for its whole read: its contents id over and over; it cannot be opened
// when its whole read is to fail.
class LookSource : public BlockSource {
public:
    LookSource(std::uint64_t content, std::uint64_t size) : m_content(content), m_size(size) {}
    long ReadAt(std::uint64_t offset, unsigned char* buffer, std::size_t want, int*) override {
        const std::size_t left = static_cast<std::size_t>(m_size - std::min(offset, m_size));
        const std::size_t got = std::min(want, left);
        for (std::size_t i = 0; i < got; ++i)
            buffer[i] = static_cast<unsigned char>(m_content >> (8 * ((offset + i) % 8)));
        return static_cast<long>(got);
    }
    int CheckEnd(std::uint64_t) override { return 0; }

private:
    std::uint64_t m_content, m_size;
};

std::unique_ptr<BlockSource> OpenLook(const CFileRecord& record, int* error) {
    LookRecord& look = LookRecord::Of(record);
    ++look.m_wholeReads;
    if (look.m_wholeFails) {
        *error = 5;
        return nullptr;
    }
    return std::make_unique<LookSource>(look.m_content,
                                        static_cast<std::uint64_t>(record.m_nSize));
}

TEST(FirstLook, RolesAfterTheFirstBlock) {
    // p1 p2: two names of one file; q: another file with their first block; r: alone in its
    // first block; s1 s2: names of one file sharing a first block with nothing else; t: unreadable.
    std::vector<std::unique_ptr<LookRecord>> made;
    made.push_back(std::make_unique<LookRecord>("p1", 1, 7, 70));
    made.push_back(std::make_unique<LookRecord>("r", 2, 8, 80));
    made.push_back(std::make_unique<LookRecord>("q", 3, 7, 70));
    made.push_back(std::make_unique<LookRecord>("p2", 1, 7, 70));
    made.push_back(std::make_unique<LookRecord>("s1", 4, 9, 90));
    made.push_back(std::make_unique<LookRecord>("s2", 4, 9, 90));
    made.push_back(std::make_unique<LookRecord>("t", 5, 7, 70));
    std::vector<CFileRecord*> list;
    DetailsRequest first;
    first.firstBlock = true;
    for (auto& r : made) {
        r->ComputeDetails(first);
        list.push_back(&r->Record());
    }
    made[6]->Record().MarkUnreadable(5);
    std::vector<unsigned char> roles(list.size(), 99);
    const std::size_t whole = FingerprintWorker::ChooseRoles(list.data(), list.size(), roles.data());
    using W = FingerprintWorker;
    EXPECT_EQ(roles, (std::vector<unsigned char>{W::kRead, W::kRuledOut, W::kRead, W::kSameFile,
                                                 W::kRuledOut, W::kRuledOut, W::kRuledOut}));
    EXPECT_EQ(whole, 2u);
}

TEST(FirstLook, AnotherNameIsReadWhenTheFirstFails) {
    // x1 and x2 name one file; x1's whole read fails (its name was taken away), so x2 is read
    // in its stead and pairs with the copy y. z shares only the size: one look, no whole read.
    std::vector<std::unique_ptr<LookRecord>> look;
    look.push_back(std::make_unique<LookRecord>("x1", 1, 7, 70, true));
    look.push_back(std::make_unique<LookRecord>("x2", 1, 7, 70));
    look.push_back(std::make_unique<LookRecord>("y", 2, 7, 70));
    look.push_back(std::make_unique<LookRecord>("z", 3, 6, 60));
    RecordList records;
    for (auto& r : look) records.push_back(r->Release());
    DuplicateSearch search(nullptr);
    search.m_read = LookRecord::Read;
    search.m_open = OpenLook;
    ResultsModel model;
    search.GroupDuplicates(records, model);
    ASSERT_EQ(model.RowCount(), 2u);
    EXPECT_EQ(model.Row(0).record->Path(), "x2");
    EXPECT_EQ(model.Row(1).record->Path(), "y");
    EXPECT_EQ(look[0]->m_wholeReads, 1);
    EXPECT_EQ(look[1]->m_wholeReads, 1);
    EXPECT_EQ(look[2]->m_wholeReads, 1);
    EXPECT_EQ(look[3]->m_wholeReads, 0);
    for (auto& r : look) {
        EXPECT_EQ(r->m_firstLooks, 1);
        EXPECT_EQ(r->m_unstoppable, 0) << "every first look can be stopped";
    }
}

TEST(FirstLook, ClassesOfOneFileAndManyClassesInOrder) {
    // Many classes, each of three names of one file and one copy of another: every class is
    // grouped by one whole read per file, and a class of names of one file only is not read.
    std::vector<std::unique_ptr<LookRecord>> look;
    std::vector<LookRecord*> alone;
    RecordList records;
    for (int c = 0; c < 300; ++c) {
        const std::uint32_t key = static_cast<std::uint32_t>(c);
        auto add = [&](const std::string& name, std::uint64_t inode, std::int64_t size) {
            look.push_back(std::make_unique<LookRecord>(name, inode, key, key));
            look.back()->Record().m_nSize = size;
            records.push_back(look.back()->Release());
            return look.back().get();
        };
        const std::int64_t size = 1000000 - c * 2;
        const std::string id = std::to_string(c);
        for (int n = 0; n < 3; ++n) add("a" + id + "-" + std::to_string(n), 10 * c + 1, size);
        add("b" + id, 10 * c + 2, size);
        alone.push_back(add("l" + id + "-0", 10 * c + 3, size - 1));
        add("l" + id + "-1", 10 * c + 3, size - 1);
    }
    DuplicateSearch search(nullptr);
    search.m_read = LookRecord::Read;
    search.m_open = OpenLook;
    ResultsModel model;
    search.GroupDuplicates(records, model);
    ASSERT_EQ(model.RowCount(), 600u);
    for (int c = 0; c < 300; ++c) {
        EXPECT_EQ(model.Row(2 * c).record->Path(), "a" + std::to_string(c) + "-0");
        EXPECT_EQ(model.Row(2 * c + 1).record->Path(), "b" + std::to_string(c));
        EXPECT_EQ(alone[c]->m_firstLooks, 0);
    }
    // The later names of a file stay with the caller, read neither whole nor listed.
    for (const auto& r : records) {
        if (r && r->Path()[0] == 'a') {
            EXPECT_EQ(LookRecord::Of(*r).m_wholeReads, 0);
        }
    }
}

// Small files are read whole by their first look; the copies among them are compared from the
// bytes it kept, each file opened once, as far as the budget for kept bytes goes.
TEST(FirstLook, SmallCopiesAreOpenedOnceWithinTheBudget) {
    TempDir dir;
    const std::string small = RandomBytes(3000, 7);
    for (const char* name : {"a", "b", "c"}) dir.WriteFile(std::string("s/") + name, small);
    dir.WriteFile("s/other", RandomBytes(2000, 8));
    dir.WriteFile("s/other2", RandomBytes(2000, 9));  // its size's other file: ruled out
    for (const std::size_t budget : {std::size_t{16} << 20, std::size_t{3000}, std::size_t{0}}) {
        std::atomic<int> looks{0}, opens{0};
        DuplicateSearch search(nullptr);
        search.m_keepBudget = budget;
        search.m_read = [&](CFileRecord& record, const DetailsRequest& request) {
            ++looks;
            DiskContentReader()(record, request);
        };
        search.m_open = [&](const CFileRecord& record, int* error) {
            ++opens;
            return DiskBlockOpener()(record, error);
        };
        SearchOptions options;
        options.paths = {dir / "s"};
        ResultsModel model;
        ASSERT_EQ(search.Run(options, model), DuplicateSearch::kFinished);
        ASSERT_EQ(model.RowCount(), 3u) << budget;
        for (std::size_t r = 0; r < 3; ++r) {
            EXPECT_EQ(model.Row(r).record->m_dwCrc, Crc32Update(0, small.data(), small.size()));
            EXPECT_EQ(model.Row(r).record->m_dwChecksum, ByteSumUpdate(0, small.data(), small.size()));
        }
        EXPECT_EQ(looks.load(), 5) << budget;
        // Room for every copy: none opened again; for one: the other two are; for none: all.
        EXPECT_EQ(opens.load(), budget == 0 ? 3 : budget == 3000 ? 2 : 0) << budget;
    }
}

// A small file rewritten (same size, other bytes) after its first look kept its bytes: it is no
// longer the file that was looked at, so it is named as changed and paired with nothing.
TEST(FirstLook, ASmallFileChangedAfterItsLookIsNoCopy) {
    TempDir dir;
    const std::string small = RandomBytes(1000, 11);
    for (const char* name : {"a", "b", "c"}) dir.WriteFile(std::string("s/") + name, small);
    const std::string folder = dir / (std::string("s") + platform::kPathSeparator);
    const std::string changed = folder + "b";
    RecordingSink sink;
    DuplicateSearch search(&sink);
    std::atomic<int> looks{0};
    search.m_read = [&](CFileRecord& record, const DetailsRequest& request) {
        DiskContentReader()(record, request);
        // The last look of the class: every file was looked at, none compared yet.
        if (++looks != 3) return;
        std::ofstream(changed, std::ios::binary | std::ios::trunc) << RandomBytes(1000, 12);
        const auto then = std::filesystem::last_write_time(changed);
        std::filesystem::last_write_time(changed, then + std::chrono::seconds(10));
    };
    SearchOptions options;
    options.paths = {dir / "s"};
    ResultsModel model;
    ASSERT_EQ(search.Run(options, model), DuplicateSearch::kFinished);
    ASSERT_EQ(model.RowCount(), 2u);
    const std::set<std::string> listed = {model.Row(0).record->Path(), model.Row(1).record->Path()};
    EXPECT_EQ(listed, (std::set<std::string>{folder + "a", folder + "c"}));
    EXPECT_EQ(sink.m_skipped, (std::vector<std::pair<std::string, std::string>>{
                                  {changed, "文件在搜索期间已改变"}}));
}

// The kept bytes stand in for a read that checks the file at its end: a file that grows while
// its first look reads it keeps nothing, and one that grows after the read came short (its end
// seen) is refused when its kept bytes are to be compared; neither is ever paired.
TEST(FirstLook, KeptBytesAreCheckedToTheEndOfTheFile) {
    enum Case { kUnchanged, kGrownAfterTheRead, kGrownDuringTheRead };
    for (const Case c : {kUnchanged, kGrownAfterTheRead, kGrownDuringTheRead}) {
        SCOPED_TRACE(static_cast<int>(c));
        TempDir dir;
        // Past one block of reading, a file is read in several, and asked to stop between them.
        const std::string data = RandomBytes(c == kGrownDuringTheRead ? 100000 : 1500, 13);
        dir.WriteFile("k/f", data);
        RecordList records;
        ASSERT_TRUE(DuplicateSearch(nullptr).CollectFiles(records, {dir / "k"}, "*.*", nullptr));
        ASSERT_EQ(records.size(), 1u);
        std::vector<unsigned char> bytes(data.size());
        bool kept = c != kUnchanged;  // the read itself must set it
        DetailsRequest request;
        request.firstBlock = c != kGrownDuringTheRead;
        request.keepInto = bytes.data();
        request.kept = &kept;
        // Asked once a block is read, before the next one.
        bool grown = false;
        request.stop = [&] {
            if (c != kUnchanged && !grown)
                std::ofstream(dir / "k/f", std::ios::binary | std::ios::app) << "more";
            grown = true;
            return false;
        };
        records[0]->ComputeDetails(request);
        EXPECT_EQ(kept, c != kGrownDuringTheRead);
        EXPECT_EQ(records[0]->IsUnreadable(), c == kGrownDuringTheRead);
        if (c == kGrownDuringTheRead) {
            EXPECT_EQ(records[0]->ReadErrorText(), "文件在搜索期间已改变");
            continue;
        }
        EXPECT_EQ(std::string(bytes.begin(), bytes.end()), data);
        int error = 0;
        const std::unique_ptr<BlockSource> source = KeptBlockSource(*records[0], bytes.data(), &error);
        EXPECT_EQ(source == nullptr, c == kGrownAfterTheRead);
        EXPECT_EQ(error, c == kGrownAfterTheRead ? kErrorChanged : 0);
    }
}

// The files of a joint read are opened in the order of their first extents on the disk when the
// first looks told every one of them, else in the order of their inode numbers.
TEST(FirstLook, JointReadsGoInDiskOrderElseInodeOrder) {
    const std::uint64_t inodes[] = {3, 1, 4, 2};         // the list's order
    const std::uint64_t places[] = {1000, 4000, 2000, 3000};
    for (const bool told : {true, false}) {
        std::vector<std::unique_ptr<LookRecord>> look;
        std::map<const CFileRecord*, std::uint64_t> placeOf;
        for (std::size_t i = 0; i < 4; ++i) {
            look.push_back(std::make_unique<LookRecord>("f" + std::to_string(inodes[i]), inodes[i], 7, 70));
            placeOf[&look.back()->Record()] = told ? places[i] : 0;
        }
        RecordList records;
        for (auto& r : look) records.push_back(r->Release());
        DuplicateSearch search(nullptr);
        search.m_read = [&](CFileRecord& record, const DetailsRequest& request) {
            LookRecord::Read(record, request);
            ASSERT_NE(request.place, nullptr) << "a file longer than its first block";
            *request.place = placeOf.at(&record);
        };
        std::mutex mutex;
        std::vector<std::string> opened;
        search.m_open = [&](const CFileRecord& record, int* error) {
            {
                std::lock_guard<std::mutex> lock(mutex);
                if (std::find(opened.begin(), opened.end(), record.Path()) == opened.end())
                    opened.push_back(record.Path());
            }
            return OpenLook(record, error);
        };
        ResultsModel model;
        search.GroupDuplicates(records, model);
        EXPECT_EQ(model.RowCount(), 4u);
        EXPECT_EQ(opened, told ? (std::vector<std::string>{"f3", "f4", "f2", "f1"})
                               : (std::vector<std::string>{"f1", "f2", "f3", "f4"}));
    }
}

// A disk whose head moves is read one file at a time, in the order the files were handed out
// (their disk order); what is in memory is read on every thread all the same. A disk that says
// it spins but answers like solid-state storage, a solid-state one and the user's own number
// need no turns.
TEST(FirstLook, ASpinningDiskIsReadInTurnsWhatIsInMemoryOnEveryThread) {
    enum Case { kSlowSpinning, kFastSpinning, kSolidState, kOneChosen };
    const bool cores = std::thread::hardware_concurrency() > 1;
    for (const Case c : {kSlowSpinning, kFastSpinning, kSolidState, kOneChosen}) {
        SCOPED_TRACE(static_cast<int>(c));
        std::vector<std::unique_ptr<LookRecord>> look;
        // Handed out in inode order; the even ones are not in memory.
        for (std::uint64_t i = 40; i >= 1; --i)
            look.push_back(std::make_unique<LookRecord>("f" + std::to_string(i), i, 7, 70));
        RecordList records;
        for (auto& r : look) records.push_back(r->Release());
        DuplicateSearch search(nullptr);
        std::mutex mutex;
        std::set<std::thread::id> threads;
        std::vector<std::uint64_t> entered;
        int inside = 0, mostInside = 0, withoutTurn = 0;
        search.m_read = [&](CFileRecord& record, const DetailsRequest& request) {
            const bool fromDisk = record.m_nInode % 2 == 0;
            if (fromDisk && request.turn != nullptr) request.turn->Take();
            {
                std::lock_guard<std::mutex> lock(mutex);
                threads.insert(std::this_thread::get_id());
                if (request.turn == nullptr) ++withoutTurn;
                if (fromDisk && request.turn != nullptr) {
                    entered.push_back(record.m_nInode);
                    mostInside = std::max(mostInside, ++inside);
                }
            }
            // Slow enough for another reader, if there is one, to take its share.
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            {
                std::lock_guard<std::mutex> lock(mutex);
                if (fromDisk && request.turn != nullptr) --inside;
            }
            LookRecord::Read(record, request);
        };
        search.m_open = OpenLook;
        std::vector<std::uint64_t> asked;
        search.m_diskKind = [&](std::uint64_t device) {
            asked.push_back(device);
            return c == kSolidState ? platform::DiskKind::kSolidState : platform::DiskKind::kSpinning;
        };
        int measured = 0;
        search.m_measureDisk = [&](const std::vector<const CFileRecord*>& files) {
            ++measured;
            // A few from far apart: one from each stretch of the disk's inode numbers.
            EXPECT_EQ(files.size(), 20u);
            EXPECT_TRUE(std::is_sorted(files.begin(), files.end(),
                                       [](const CFileRecord* a, const CFileRecord* b) {
                                           return a->m_nInode <= b->m_nInode;
                                       }));
            if (!files.empty()) {
                EXPECT_LE(files.front()->m_nInode, 2u);
                EXPECT_EQ(files.back()->m_nInode, 40u);
            }
            return c == kSlowSpinning ? 9.0 : 0.2;
        };
        if (c == kOneChosen) search.m_readers = 1;
        ResultsModel model;
        search.GroupDuplicates(records, model);
        EXPECT_EQ(model.RowCount(), 40u);
        ASSERT_EQ(search.Disks().size(), 1u);
        const DiskDecision& disk = search.Disks()[0];
        EXPECT_EQ(disk.device, 1u);
        if (c == kOneChosen) {
            EXPECT_TRUE(asked.empty());
            EXPECT_EQ(measured, 0);
            EXPECT_TRUE(disk.chosen);
            EXPECT_EQ(disk.readers, 1);
            EXPECT_EQ(threads.size(), 1u);
            EXPECT_EQ(withoutTurn, 40);
            continue;
        }
        EXPECT_EQ(asked, std::vector<std::uint64_t>{1}) << "each device is asked once";
        EXPECT_EQ(measured, c == kSolidState ? 0 : 1) << "only a disk that says it spins";
        if (c == kSlowSpinning) {
            EXPECT_EQ(disk.measured, platform::DiskKind::kSpinning);
            EXPECT_EQ(disk.readers, 1);
            std::vector<std::uint64_t> even;
            for (std::uint64_t i = 2; i <= 40; i += 2) even.push_back(i);
            EXPECT_EQ(entered, even) << "in the disk's order";
            EXPECT_EQ(mostInside, 1);
            EXPECT_EQ(withoutTurn, 0);
        } else {
            EXPECT_EQ(disk.measured, c == kSolidState ? platform::DiskKind::kUnknown
                                                      : platform::DiskKind::kSolidState);
            EXPECT_EQ(withoutTurn, 40);
            // More readers than cores where there are few: they wait for the disk, not a core.
            EXPECT_EQ(disk.readers, std::max<int>(kSolidStateReaders, std::thread::hardware_concurrency()));
            EXPECT_GE(threads.size(), 3u) << "threads beyond two cores for such a disk";
        }
        if (cores) {
            EXPECT_GE(threads.size(), 2u) << "memory is read on every core";
        }
    }
    // The turns themselves: threads that ask in the reverse order still enter in the order of
    // their tickets, one at a time, and a ticket that passes without reading lets the next in.
    for (const int readers : {1, 2}) {
        SCOPED_TRACE(readers);
        DiskQueue queue(readers);
        std::vector<std::uint64_t> tickets;
        for (int i = 0; i < 6; ++i) tickets.push_back(queue.Ticket());
        std::mutex mutex;
        std::vector<std::uint64_t> order;
        int inside = 0, mostInside = 0;
        std::vector<std::thread> askers;
        for (auto t = tickets.rbegin(); t != tickets.rend(); ++t) {
            const std::uint64_t ticket = *t;
            askers.emplace_back([&, ticket] {
                if (ticket == 2) {
                    queue.Leave(ticket, false);
                    return;
                }
                queue.Enter(ticket);
                {
                    std::lock_guard<std::mutex> lock(mutex);
                    order.push_back(ticket);
                    mostInside = std::max(mostInside, ++inside);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(3));
                {
                    std::lock_guard<std::mutex> lock(mutex);
                    --inside;
                }
                queue.Leave(ticket, true);
            });
            // The later tickets are surely waiting before the earlier ones ask.
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        for (std::thread& asker : askers) asker.join();
        // With two inside, two that entered one after the other may note it the other way:
        // there only who entered, and how many at once, is certain.
        if (readers == 2) std::sort(order.begin(), order.end());
        EXPECT_EQ(order, (std::vector<std::uint64_t>{0, 1, 3, 4, 5}));
        EXPECT_LE(mostInside, readers);
    }
}

}  // namespace
