// The cache of what earlier searches read: an unchanged file is never read again, every kind
// of change is seen, and a cache that cannot be used never stops a search.
#include <atomic>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>
#include <sqlite3.h>

#ifndef _WIN32
#include <fcntl.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "engine/search/duplicate_search.h"
#include "engine/store/fingerprint_cache.h"
#include "support/random_bytes.h"
#include "support/platform_rules.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

struct Searched {
    std::vector<std::set<std::string>> groups;  // the paths of each group, in list order
    int reads = 0;                              // first looks and opens for the joint reads
    std::set<std::string> readPaths;
    int fromCache = 0;
};

Searched Search(const std::vector<std::string>& folders, FingerprintCache* cache,
                bool verify = false, std::int64_t settleNs = 0) {
    Searched out;
    std::mutex lock;
    SearchOptions options;
    options.paths = folders;
    DuplicateSearch search(nullptr);
    search.m_cache = cache;
    options.verifyCached = verify;
    search.m_cacheSettleNs = settleNs;  // 0: the test's files are written a moment before
    const ContentReader read = DiskContentReader();
    const BlockOpener open = DiskBlockOpener();
    search.m_read = [&](CFileRecord& record, const DetailsRequest& request) {
        {
            std::lock_guard<std::mutex> hold(lock);
            ++out.reads;
            out.readPaths.insert(Slashes(record.Path()));
        }
        read(record, request);
    };
    search.m_open = [&](const CFileRecord& record, int* error) {
        {
            std::lock_guard<std::mutex> hold(lock);
            ++out.reads;
            out.readPaths.insert(Slashes(record.Path()));
        }
        return open(record, error);
    };
    ResultsModel model;
    EXPECT_EQ(search.Run(options, model), DuplicateSearch::kFinished);
    for (std::size_t row = 0; row < model.RowCount(); ++row) {
        if (model.IsGroupFirst(row)) out.groups.emplace_back();
        out.groups.back().insert(Slashes(model.Row(row).record->Path()));
    }
    out.fromCache = search.GroupsFromCache();
    if (cache != nullptr && cache->IsOpen()) {
        EXPECT_TRUE(cache->Flush()) << cache->Trouble();
    }
    return out;
}

#ifndef _WIN32
// Writes `bytes` over the file in place and gives it back its last-write time: only its
// change time tells.
void RewriteKeepingTimes(const std::string& path, const std::string& bytes) {
    struct stat before;
    ASSERT_EQ(stat(path.c_str(), &before), 0);
    const int fd = open(path.c_str(), O_WRONLY | O_TRUNC);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(futimens(fd, times), 0);
    close(fd);
}
#endif

}  // namespace

TEST(FingerprintCache, AnUnchangedTreeIsListedWithoutAReadAndEveryChangeIsSeen) {
    TempDir dir, home;
    const auto at = [&](const std::string& relative) { return Slashes(dir / relative); };
    const std::string big = RandomBytes(200000, 1), small = RandomBytes(3000, 2);
    std::string sameStart = big;
    sameStart[150000] ^= 1;  // its first block is big's: it takes a whole read to tell
    dir.WriteFile("a/big", big);
    dir.WriteFile("b/big", big);
    // Three copies more made one after another: their file numbers are neighbours, which must
    // never pass for one another.
    for (const char* name : {"b/big1", "b/big2", "b/big3"}) dir.WriteFile(name, big);
    dir.WriteFile("a/start", sameStart);
    dir.WriteFile("a/small", small);
    dir.WriteFile("b/small", small);
    dir.WriteFile("a/lone", RandomBytes(3000, 3));
    FingerprintCache cache;
    std::string why;
    ASSERT_TRUE(cache.Open(home / "fingerprints.sqlite", FingerprintCache::kDefaultLimit, &why)) << why;
    const std::vector<std::set<std::string>> expected = {
        {at("a/big"), at("b/big"), at("b/big1"), at("b/big2"), at("b/big3")},
        {at("a/small"), at("b/small")}};
    // Just written: not learnt while a change in the same tick could still come unseen.
    Search({dir / "a", dir / "b"}, &cache, false, std::int64_t{60} * 1000000000);
    EXPECT_EQ(cache.EntryCount(), 0);
    const Searched first = Search({dir / "a", dir / "b"}, &cache);
    EXPECT_EQ(first.groups, expected);
    EXPECT_GT(first.reads, 0);
    EXPECT_EQ(first.fromCache, 0);
    EXPECT_GE(cache.EntryCount(), 5);

    // Unchanged: the same groups, and not one byte read.
    const Searched again = Search({dir / "a", dir / "b"}, &cache);
    EXPECT_EQ(again.groups, expected);
    EXPECT_EQ(again.reads, 0) << *again.readPaths.begin();
    EXPECT_EQ(again.fromCache, 2);
    // --verify reads them all the same.
    const Searched verified = Search({dir / "a", dir / "b"}, &cache, true);
    EXPECT_EQ(verified.groups, expected);
    EXPECT_GT(verified.reads, 0);
    EXPECT_EQ(verified.fromCache, 0);

    // A renamed folder keeps its files' entries: they are the same files.
    fs::rename(dir / "b", dir / "c");
    const Searched renamed = Search({dir / "a", dir / "c"}, &cache);
    const std::set<std::string> bigs = {at("a/big"), at("c/big"), at("c/big1"),
                                        at("c/big2"), at("c/big3")};
    EXPECT_EQ(renamed.groups,
              (std::vector<std::set<std::string>>{bigs, {at("a/small"), at("c/small")}}));
    EXPECT_EQ(renamed.reads, 0);

    // Searched apart, two copies are each alone by their first block and learnt without a
    // whole read; searched together, they share it: read, and listed as copies.
    const std::string copy = RandomBytes(3000, 4);
    dir.WriteFile("p/copy", copy);
    dir.WriteFile("p/other", RandomBytes(3000, 5));
    dir.WriteFile("q/copy", copy);
    dir.WriteFile("q/other", RandomBytes(3000, 6));
    EXPECT_TRUE(Search({dir / "p"}, &cache).groups.empty());
    EXPECT_TRUE(Search({dir / "q"}, &cache).groups.empty());
    const Searched together = Search({dir / "p", dir / "q"}, &cache);
    EXPECT_EQ(together.groups, (std::vector<std::set<std::string>>{{at("p/copy"), at("q/copy")}}));
    EXPECT_GT(together.reads, 0);

#ifndef _WIN32
    // Bytes rewritten, the size and last-write time put back: read again, no longer a copy.
    std::string other = small;
    other[10] ^= 1;
    RewriteKeepingTimes(dir / "c/small", other);
    const Searched rewritten = Search({dir / "a", dir / "c"}, &cache);
    EXPECT_EQ(rewritten.groups, (std::vector<std::set<std::string>>{bigs}));
    EXPECT_EQ(rewritten.readPaths.count(at("c/small")), 1u);
    EXPECT_EQ(rewritten.readPaths.count(at("a/big")), 0u);  // its class was answered

    // Cut to nothing and grown back to the same bytes and time: read again, a copy again.
    RewriteKeepingTimes(dir / "c/small", "");
    RewriteKeepingTimes(dir / "c/small", small);
    const Searched regrown = Search({dir / "a", dir / "c"}, &cache);
    EXPECT_EQ(regrown.groups,
              (std::vector<std::set<std::string>>{bigs, {at("a/small"), at("c/small")}}));
    EXPECT_EQ(regrown.readPaths.count(at("c/small")), 1u);

    // Another file put in its place, with the same size and time: a new file, read.
    struct stat old;
    ASSERT_EQ(stat((dir / "c/big").c_str(), &old), 0);
    std::string replacement = big;
    replacement[199999] ^= 1;
    dir.WriteFile("c/new", replacement);
    const struct timespec times[2] = {old.st_atim, old.st_mtim};
    ASSERT_EQ(utimensat(AT_FDCWD, (dir / "c/new").c_str(), times, 0), 0);
    fs::rename(dir / "c/new", dir / "c/big");
    const Searched replaced = Search({dir / "a", dir / "c"}, &cache);
    std::set<std::string> bigsLeft = bigs;
    bigsLeft.erase(at("c/big"));
    EXPECT_EQ(replaced.groups,
              (std::vector<std::set<std::string>>{bigsLeft, {at("a/small"), at("c/small")}}));
    EXPECT_EQ(replaced.readPaths.count(at("c/big")), 1u);

    // A new file system at the same place, its files made alike (same names, sizes, times,
    // and the new file system numbers them alike): nothing of the old one answers for it.
    if (geteuid() == 0) {
        const std::string mountAt = dir.MakeDir("m");
        for (int round = 0; round < 2; ++round) {
            ASSERT_EQ(mount("none", mountAt.c_str(), "tmpfs", 0, nullptr), 0);
            dir.WriteFile("m/x", big);
            dir.WriteFile("m/y", round == 0 ? big : sameStart);
            const struct timespec fixed[2] = {old.st_atim, old.st_mtim};
            for (const char* name : {"m/x", "m/y"})
                ASSERT_EQ(utimensat(AT_FDCWD, (dir / name).c_str(), fixed, 0), 0);
            const Searched mounted = Search({mountAt}, &cache);
            EXPECT_EQ(mounted.groups.size(), round == 0 ? 1u : 0u) << round;
            EXPECT_GT(mounted.reads, 0) << round;
            ASSERT_EQ(umount2(mountAt.c_str(), MNT_DETACH), 0);
        }
    }
#endif
}

TEST(FingerprintCache, ADamagedLockedOrUnwritableCacheIsNamedAndTheSearchGoesOn) {
    TempDir dir, home;
    const auto at = [&](const std::string& relative) { return Slashes(dir / relative); };
    dir.WriteFile("a/f", "same bytes");
    dir.WriteFile("b/f", "same bytes");
    const std::vector<std::set<std::string>> expected = {{at("a/f"), at("b/f")}};

    // Damaged: not a database at all.
    const std::string damaged = home.WriteFile("damaged.sqlite", std::string(8192, 'x'));
    FingerprintCache cache;
    std::string why;
    EXPECT_FALSE(cache.Open(damaged, FingerprintCache::kDefaultLimit, &why));
    EXPECT_FALSE(why.empty());
    EXPECT_FALSE(cache.IsOpen());
    EXPECT_EQ(Search({at("a"), at("b")}, &cache).groups, expected);
    // It can be cleared, and is made anew.
    ASSERT_TRUE(FingerprintCache::Clear(damaged, &why)) << why;
    EXPECT_FALSE(fs::exists(damaged));
    EXPECT_TRUE(cache.Open(damaged, FingerprintCache::kDefaultLimit, &why)) << why;

    // No folder to make it in.
    const std::string blocked = home.WriteFile("file", "") + "/cache/fingerprints.sqlite";
    FingerprintCache nowhere;
    EXPECT_FALSE(nowhere.Open(blocked, FingerprintCache::kDefaultLimit, &why));
    EXPECT_FALSE(why.empty());

    // Locked by another program for longer than a search waits: the writes are named, the
    // groups are listed all the same, and the cache works again once it is let go.
    const std::string path = home / "locked.sqlite";
    ASSERT_TRUE(cache.Open(path, FingerprintCache::kDefaultLimit, &why)) << why;
    cache.SetBusyTimeout(50);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    SearchOptions options;
    options.paths = {dir / "a", dir / "b"};
    DuplicateSearch search(nullptr);
    search.m_cache = &cache;
    search.m_cacheSettleNs = 0;
    ResultsModel model;
    ASSERT_EQ(search.Run(options, model), DuplicateSearch::kFinished);
    EXPECT_EQ(model.RowCount(), 2u);
    EXPECT_FALSE(cache.Flush());
    EXPECT_FALSE(cache.Trouble().empty());
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    FingerprintCache reopened;
    ASSERT_TRUE(reopened.Open(path, FingerprintCache::kDefaultLimit, &why)) << why;
    Search({dir / "a", dir / "b"}, &reopened);
    EXPECT_EQ(Search({at("a"), at("b")}, &reopened).reads, 0);
#ifndef _WIN32
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);  // its owner's only
#endif
}

#ifndef _WIN32
// Two searches writing at once, and one killed in the middle of its write, leave a cache that
// opens, passes SQLite's own check and still answers for what was written before; the size
// limit and the age limit drop entries.
TEST(FingerprintCache, TwoAtOnceOneKilledMidWriteAndItsLimits) {
    TempDir home;
    const std::string path = home / "fingerprints.sqlite";
    const auto stampOf = [](std::uint64_t inode) {
        platform::FileStamp stamp;
        stamp.device = 7;
        stamp.inode = inode;
        stamp.size = 1000 + inode;
        stamp.writtenNs = 1600000000000000000 + static_cast<std::int64_t>(inode);
        stamp.changedNs = stamp.writtenNs + 5;
        return stamp;
    };
    const auto factsOf = [](std::uint64_t inode) {
        CachedFacts facts;
        facts.firstKey = inode * 3;
        facts.whole = true;
        facts.crc = static_cast<std::uint32_t>(inode);
        facts.hashHigh = inode;
        facts.hashLow = ~inode;
        return facts;
    };
    const auto learnRange = [&](FingerprintCache& cache, std::uint64_t from, std::uint64_t to) {
        for (std::uint64_t inode = from; inode < to; ++inode)
            cache.Learn("uuid:test", stampOf(inode), factsOf(inode));
    };
    {
        FingerprintCache a, b;
        std::string why;
        ASSERT_TRUE(a.Open(path, FingerprintCache::kDefaultLimit, &why)) << why;
        ASSERT_TRUE(b.Open(path, FingerprintCache::kDefaultLimit, &why)) << why;
        learnRange(a, 1, 20001);
        learnRange(b, 20001, 40001);
        bool wroteA = false, wroteB = false;
        std::thread other([&] { wroteB = b.Flush(); });
        wroteA = a.Flush();
        other.join();
        EXPECT_TRUE(wroteA) << a.Trouble();
        EXPECT_TRUE(wroteB) << b.Trouble();
        EXPECT_EQ(a.EntryCount(), 40000);
    }
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t writer = fork();
    if (writer == 0) {
        close(ready[0]);
        FingerprintCache cache;
        if (!cache.Open(path)) _exit(1);
        learnRange(cache, 100000, 400000);
        char c = 'w';
        if (write(ready[1], &c, 1) != 1) _exit(1);
        cache.Flush();
        _exit(0);
    }
    close(ready[1]);
    char c;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    usleep(30000);  // well inside its write of 300 000 entries
    kill(writer, SIGKILL);
    int status = 0;
    waitpid(writer, &status, 0);
    close(ready[0]);
    EXPECT_TRUE(WIFSIGNALED(status));
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
        sqlite3_stmt* check = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &check, nullptr), SQLITE_OK);
        ASSERT_EQ(sqlite3_step(check), SQLITE_ROW);
        EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(check, 0)), "ok");
        sqlite3_finalize(check);
        // Entries older than the age limit (made so here) go at the next write.
        ASSERT_EQ(sqlite3_exec(db, "UPDATE files SET seen = seen - 100 WHERE inode <= 10", nullptr,
                               nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(db);
    }
    FingerprintCache cache;
    std::string why;
    ASSERT_TRUE(cache.Open(path, FingerprintCache::kDefaultLimit, &why)) << why;
    const std::int64_t afterKill = cache.EntryCount();
    EXPECT_TRUE(afterKill == 40000 || afterKill == 340000) << afterKill;  // all or nothing
    CachedFacts facts;
    EXPECT_TRUE(cache.Lookup("uuid:test", stampOf(12345), &facts));
    EXPECT_EQ(facts.hashLow, ~std::uint64_t{12345});
    EXPECT_EQ(facts.firstKey, 12345u * 3);
    // Any field that differs is no answer: the change time alone, the size alone.
    platform::FileStamp changed = stampOf(12345);
    changed.changedNs += 1;
    EXPECT_FALSE(cache.Lookup("uuid:test", changed, &facts));
    changed = stampOf(12345);
    changed.size += 1;
    EXPECT_FALSE(cache.Lookup("uuid:test", changed, &facts));
    EXPECT_FALSE(cache.Lookup("uuid:another", stampOf(12345), &facts));
    ASSERT_TRUE(cache.Flush()) << cache.Trouble();
    EXPECT_FALSE(cache.Lookup("uuid:test", stampOf(5), &facts));  // not seen for 100 days
    EXPECT_EQ(cache.EntryCount(), afterKill - 10);

    // Beyond its size limit the cache drops what was seen longest ago.
    FingerprintCache small;
    ASSERT_TRUE(small.Open(path, std::int64_t{1} << 20, &why)) << why;
    ASSERT_TRUE(small.Flush()) << small.Trouble();
    EXPECT_LE(small.BytesInUse(), std::int64_t{1} << 20);
    EXPECT_GT(small.EntryCount(), 1000);
    EXPECT_LT(small.EntryCount(), 40000);
}
#endif
