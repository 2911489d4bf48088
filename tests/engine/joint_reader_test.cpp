// The joint read of files of one size: one read of each byte splits a class into its groups of
// equal bytes, whatever block they differ in, with the whole files' CRC and sum; a file that
// changes, is cut short or vanishes during the read is named and left out; a stop is heard.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <map>
#include <random>

#include "engine/search/checksum.h"
#include "engine/search/duplicate_search.h"
#include "engine/search/joint_reader.h"
#include "platform/error_text.h"
#include "support/faulty_source.h"
#include "support/platform_rules.h"
#include "support/random_bytes.h"
#include "support/temp_dir.h"

namespace {

// The records of `dir`'s files, by name, after their first look (which, on Windows, gives a
// record its file's identity).
std::map<std::string, CFileRecord*> Scan(const TempDir& dir, RecordList* records) {
    EXPECT_TRUE(DuplicateSearch(nullptr).CollectFiles(*records, {dir.Path()}, "*.*", nullptr));
    DetailsRequest firstLook;
    firstLook.firstBlock = true;
    std::map<std::string, CFileRecord*> byName;
    for (const auto& r : *records) {
        r->ComputeDetails(firstLook);
        byName[r->Name()] = r.get();
    }
    return byName;
}

std::vector<std::vector<std::string>> Names(const std::vector<std::vector<CFileRecord*>>& groups) {
    std::vector<std::vector<std::string>> names;
    for (const auto& group : groups) {
        names.emplace_back();
        for (const CFileRecord* r : group) names.back().push_back(r->Name());
        std::sort(names.back().begin(), names.back().end());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(JointRead, AClassSplitsAtDifferentBlocksIntoItsGroups) {
    // Four blocks and a bit. a: three copies; b: two copies that differ from a in the second
    // block; c: two copies that differ from a in the third; d differs from a in its last byte,
    // e in its first block, f from b in the last block: each alone.
    const std::size_t size = 4 * kChecksumBlockSize + 17;
    const std::string a = RandomBytes(size, 7);
    std::string b = a, c = a, d = a, e = a, f;
    b[kChecksumBlockSize + 5] ^= 1;
    c[2 * kChecksumBlockSize + 99] ^= 0x40;
    d[size - 1] ^= 1;
    e[100] ^= 1;
    f = b;
    f[size - 2] ^= 1;
    TempDir dir;
    const std::map<std::string, std::string> contents = {
        {"a1", a}, {"b1", b}, {"a2", a}, {"c1", c}, {"d", d}, {"b2", b},
        {"e", e},  {"c2", c}, {"a3", a}, {"f", f}};
    for (const auto& file : contents) dir.WriteFile(file.first, file.second);
    std::uint64_t bytesBefore = 0;
    // The same groups whether every file stays open or only two at a time (each reopened and
    // read on where it was left, read no more for that).
    for (const std::size_t window : {std::size_t{64}, std::size_t{2}}) {
        RecordList records;
        const auto byName = Scan(dir, &records);
        std::vector<JointReader::File> files;
        for (const auto& r : records) files.push_back({r.get(), {}});
        std::atomic<std::uint64_t> bytesRead{0};
        int asked = 0;
        std::vector<std::vector<CFileRecord*>> groups;
        ASSERT_TRUE(JointReader(DiskBlockOpener(), window)
                        .Read(files, [&asked] { return ++asked < 0; }, &bytesRead, &groups));
        EXPECT_EQ(Names(groups), (std::vector<std::vector<std::string>>{
                                     {"a1", "a2", "a3"}, {"b1", "b2"}, {"c1", "c2"}}))
            << "window " << window;
        for (const auto& group : groups) {
            // Each group in the order of the list; every listed file with its whole file's
            // fingerprints.
            EXPECT_TRUE(std::is_sorted(group.begin(), group.end(),
                                       [&](const CFileRecord* x, const CFileRecord* y) {
                                           return std::find_if(records.begin(), records.end(),
                                                               [&](const auto& r) { return r.get() == x; }) <
                                                  std::find_if(records.begin(), records.end(),
                                                               [&](const auto& r) { return r.get() == y; });
                                       }));
            for (const CFileRecord* r : group) {
                const std::string& bytes = contents.at(r->Name());
                EXPECT_TRUE(r->DetailsKnown());
                EXPECT_EQ(r->m_dwCrc, Crc32Update(0, bytes.data(), bytes.size())) << r->Name();
                EXPECT_EQ(r->m_dwChecksum, ByteSumUpdate(0, bytes.data(), bytes.size())) << r->Name();
            }
        }
        for (const char* alone : {"d", "e", "f"}) {
            EXPECT_FALSE(byName.at(alone)->DetailsKnown()) << alone;
            EXPECT_FALSE(byName.at(alone)->IsUnreadable()) << alone;
        }
        // No byte twice: e stops after its first block, the rest where they split off or at
        // their end.
        const std::uint64_t once = 9 * size + kChecksumBlockSize;
        EXPECT_EQ(bytesRead.load(), once) << "window " << window;
        if (bytesBefore != 0) {
            EXPECT_EQ(bytesRead.load(), bytesBefore);
        }
        bytesBefore = bytesRead.load();
        EXPECT_GE(asked, static_cast<int>(records.size()));
    }
}

// Of two copies, one found changed at the end of the read: the other is left alone, for a
// group of one file is no group of copies.
TEST(JointRead, AFileWhoseOnlyCopyFailsTheEndCheckIsNoGroup) {
    const std::string body = RandomBytes(kChecksumBlockSize + 9, 5);
    TempDir dir;
    dir.WriteFile("p", body);
    dir.WriteFile("q", body);
    for (const char* failing : {"p", "q"}) {
        RecordList records;
        const auto byName = Scan(dir, &records);
        const BlockOpener fails = PlantingOpener(
            [failing](const CFileRecord& record, std::unique_ptr<BlockSource> disk)
                -> std::unique_ptr<BlockSource> {
                auto faulty = std::make_unique<FaultySource>(std::move(disk));
                if (record.Name() == failing) faulty->endError = kErrorChanged;
                return faulty;
            });
        std::vector<JointReader::File> files = {{byName.at("p"), {}}, {byName.at("q"), {}}};
        std::vector<std::vector<CFileRecord*>> groups;
        ASSERT_TRUE(JointReader(fails).Read(files, nullptr, nullptr, &groups));
        EXPECT_TRUE(groups.empty()) << failing;
        const std::string other = std::string(failing) == "p" ? "q" : "p";
        EXPECT_TRUE(byName.at(failing)->IsUnreadable()) << failing;
        EXPECT_FALSE(byName.at(other)->IsUnreadable()) << other;
        EXPECT_FALSE(byName.at(other)->DetailsKnown()) << other;
    }
}

#ifndef _WIN32
TEST(JointRead, FilesChangedCutOrGoneDuringTheReadAndAStop) {
    const std::size_t size = 3 * kChecksumBlockSize;
    const std::string body = RandomBytes(size, 11);
    const std::string changed = "文件在搜索期间已改变";
    TempDir dir;
    for (const char* name : {"p", "q", "grows", "shrinks", "gone", "r", "swapped"})
        dir.WriteFile(name, body);
    // "gone" has a second name: it is read under that one once the first has vanished.
    ASSERT_EQ(link((dir / "gone").c_str(), (dir / "other-name").c_str()), 0);
    RecordList records;
    const auto byName = Scan(dir, &records);
    std::vector<JointReader::File> files;
    for (const char* name : {"p", "q", "grows", "shrinks", "gone", "r", "swapped"})
        files.push_back({byName.at(name), {}});
    files[4].otherNames.push_back(byName.at("other-name"));
    std::remove((dir / "gone").c_str());
    // Another file with the same bytes, size and time put in the place of "swapped": it is
    // not the file looked at, so it is no copy of anything found.
    struct stat scanned;
    ASSERT_EQ(stat((dir / "swapped").c_str(), &scanned), 0);
    dir.WriteFile("swapped.new", body);
    const struct timespec times[2] = {scanned.st_atim, scanned.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, (dir / "swapped.new").c_str(), times, 0), 0);
    ASSERT_EQ(std::rename((dir / "swapped.new").c_str(), (dir / "swapped").c_str()), 0);
    const BlockOpener faults = PlantingOpener(
        [&](const CFileRecord& record, std::unique_ptr<BlockSource> disk)
            -> std::unique_ptr<BlockSource> {
            auto faulty = std::make_unique<FaultySource>(std::move(disk));
            const std::string path = record.Path();
            if (record.Name() == "grows")
                faulty->afterFirstRead = [path] {
                    std::ofstream(path, std::ios::binary | std::ios::app) << "MORE";
                };
            if (record.Name() == "shrinks")
                faulty->afterFirstRead = [path] { ASSERT_EQ(truncate(path.c_str(), 100), 0); };
            return faulty;
        });
    std::vector<std::vector<CFileRecord*>> groups;
    std::atomic<std::uint64_t> read{0};
    ASSERT_TRUE(JointReader(faults).Read(files, nullptr, &read, &groups));
    // Five files read to their end (one of them under its other name), one block of the file
    // cut short, nothing of the file that was not the one looked at.
    EXPECT_EQ(read.load(), 5 * size + kChecksumBlockSize);
    EXPECT_EQ(Names(groups),
              (std::vector<std::vector<std::string>>{{"other-name", "p", "q", "r"}}));
    for (const char* name : {"grows", "shrinks"}) {
        EXPECT_TRUE(byName.at(name)->IsUnreadable()) << name;
        EXPECT_EQ(byName.at(name)->ReadErrorText(), changed) << name;
    }
    EXPECT_TRUE(byName.at("gone")->IsUnreadable());
    EXPECT_EQ(byName.at("gone")->ReadErrorText(), platform::ErrorText(ENOENT));
    EXPECT_TRUE(byName.at("swapped")->IsUnreadable());
    EXPECT_EQ(byName.at("swapped")->ReadErrorText(), "文件在搜索期间已被替换");
    EXPECT_FALSE(byName.at("other-name")->IsUnreadable());
    EXPECT_EQ(byName.at("r")->m_dwCrc, Crc32Update(0, body.data(), body.size()));

    // A stop in the middle of a long read ends it: nothing is listed, nothing more is read.
    RecordList again;
    const auto second = Scan(dir, &again);
    std::vector<JointReader::File> copies = {{second.at("p"), {}}, {second.at("q"), {}},
                                             {second.at("r"), {}}};
    std::atomic<std::uint64_t> bytesRead{0};
    int asked = 0;
    EXPECT_FALSE(JointReader(DiskBlockOpener())
                     .Read(copies, [&asked] { return ++asked == 4; }, &bytesRead, &groups));
    EXPECT_EQ(asked, 4);
    EXPECT_EQ(bytesRead.load(), 4 * kChecksumBlockSize);
    EXPECT_TRUE(groups.empty());
    for (const auto& file : copies) EXPECT_FALSE(file.record->DetailsKnown());
}
#endif

}  // namespace
