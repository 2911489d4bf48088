#include "engine/store/fingerprint_cache.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <unordered_map>

#include "platform/error_text.h"
#include "platform/user_folders.h"

namespace {

constexpr int kSchemaVersion = 1;

// Days since 1970: the cache marks when a file was last seen to the day, so that a search of
// an unchanged tree writes nothing again the same day.
std::int64_t Today() {
    using namespace std::chrono;
    return duration_cast<hours>(system_clock::now().time_since_epoch()).count() / 24;
}

struct Statement {
    sqlite3_stmt* stmt = nullptr;
    Statement() = default;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement() { sqlite3_finalize(stmt); }
};

// The columns are signed 64-bit integers: unsigned values are stored by their bits.
std::int64_t Signed(std::uint64_t v) { return static_cast<std::int64_t>(v); }
std::uint64_t Unsigned(std::int64_t v) { return static_cast<std::uint64_t>(v); }

}  // namespace

struct FingerprintCache::Impl {
    sqlite3* db = nullptr;
    std::int64_t limit = kDefaultLimit;
    Statement fileSystemOf, addFileSystem, lookup, learn, seen;
    std::unordered_map<std::string, std::int64_t> fileSystems;
    struct Learnt {
        std::size_t name;  // in learntNames
        platform::FileStamp stamp;
        CachedFacts facts;
    };
    std::vector<Learnt> learnt;
    std::unordered_map<std::string, std::size_t> learntNames;
    bool trimmed = false;
    bool reading = false;  // the lookups' one read transaction is open
    std::vector<std::pair<std::int64_t, std::uint64_t>> seenFiles;  // (fs, inode) looked up
    std::int64_t today = Today();

    ~Impl() {
        // Every statement goes before the connection can close.
        for (Statement* s : {&fileSystemOf, &addFileSystem, &lookup, &learn, &seen}) {
            sqlite3_finalize(s->stmt);
            s->stmt = nullptr;
        }
        sqlite3_close(db);
    }
    std::string Error() const { return db != nullptr ? sqlite3_errmsg(db) : "out of memory"; }
    bool Exec(const char* sql) { return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }
    bool Prepare(Statement& s, const char* sql) {
        return sqlite3_prepare_v2(db, sql, -1, &s.stmt, nullptr) == SQLITE_OK;
    }
    std::int64_t Single(const char* sql) {
        Statement s;
        if (!Prepare(s, sql) || sqlite3_step(s.stmt) != SQLITE_ROW) return -1;
        return sqlite3_column_int64(s.stmt, 0);
    }
    // The number of `name` in the cache's own table of file systems, added when new: -1 on
    // failure.
    std::int64_t FileSystemId(const std::string& name, bool add) {
        const auto known = fileSystems.find(name);
        if (known != fileSystems.end()) return known->second;
        sqlite3_reset(fileSystemOf.stmt);
        sqlite3_bind_text(fileSystemOf.stmt, 1, name.c_str(), static_cast<int>(name.size()),
                          SQLITE_TRANSIENT);
        std::int64_t id = -1;
        const int rc = sqlite3_step(fileSystemOf.stmt);
        if (rc == SQLITE_ROW) {
            id = sqlite3_column_int64(fileSystemOf.stmt, 0);
            sqlite3_reset(fileSystemOf.stmt);
        } else if (rc == SQLITE_DONE && add) {
            sqlite3_reset(addFileSystem.stmt);
            sqlite3_bind_text(addFileSystem.stmt, 1, name.c_str(), static_cast<int>(name.size()),
                              SQLITE_TRANSIENT);
            if (sqlite3_step(addFileSystem.stmt) != SQLITE_DONE) return -1;
            id = sqlite3_last_insert_rowid(db);
        } else if (rc == SQLITE_DONE) {
            return 0;  // not known: nothing of it is cached (ids start at 1)
        } else {
            return -1;
        }
        fileSystems.emplace(name, id);
        return id;
    }
    std::int64_t BytesInUse() {
        const std::int64_t pages = Single("PRAGMA page_count"), free = Single("PRAGMA freelist_count"),
                           size = Single("PRAGMA page_size");
        return pages < 0 || free < 0 || size < 0 ? -1 : (pages - free) * size;
    }
};

FingerprintCache::FingerprintCache() = default;

FingerprintCache::~FingerprintCache() {
    if (IsOpen()) Flush();
}

std::string FingerprintCache::DefaultPath() {
    const std::string folder = platform::CacheFolder("pairscout");
    if (folder.empty()) return std::string();
#ifdef _WIN32
    return folder + "\\fingerprints.sqlite";
#else
    return folder + "/fingerprints.sqlite";
#endif
}

bool FingerprintCache::IsOpen() const { return m_impl != nullptr; }

void FingerprintCache::Fail(const std::string& what) {
    if (m_trouble.empty()) m_trouble = what;
}

bool FingerprintCache::Open(const std::string& path, std::int64_t limitBytes, std::string* why) {
    m_impl.reset();
    m_trouble.clear();
    const auto refuse = [&](const std::string& text) {
        if (why != nullptr) *why = text;
        m_impl.reset();
        return false;
    };
    if (path.empty()) return refuse(platform::ErrorText(2 /* no such file or folder */));
    int error = 0;
    // Made here, so that SQLite's own files (the journal, the shared memory) take its mode.
    if (!platform::MakePrivateFile(path, &error)) return refuse(platform::ErrorText(error));
    auto impl = std::make_unique<Impl>();
    impl->limit = limitBytes > 0 ? limitBytes : kDefaultLimit;
    if (sqlite3_open_v2(path.c_str(), &impl->db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK)
        return refuse(impl->Error());
    sqlite3_busy_timeout(impl->db, 5000);
    // Write-ahead: a search killed while it writes, or two at once, never leave it damaged.
    const std::int64_t version = impl->Single("PRAGMA user_version");
    if (version < 0) return refuse(impl->Error());  // not a database, or locked
    {
        Statement mode;  // done with before anything is written
        if (!impl->Prepare(mode, "PRAGMA journal_mode=WAL") || sqlite3_step(mode.stmt) != SQLITE_ROW)
            return refuse(impl->Error());
    }
    // A search asks about every possible copy: the file is read through a mapping and a page
    // cache of its own rather than one system call per page. A write that a power cut takes
    // back is only a cache's loss; the write-ahead log keeps the file whole either way.
    impl->Exec("PRAGMA mmap_size=268435456");
    impl->Exec("PRAGMA cache_size=-16384");
    impl->Exec("PRAGMA synchronous=NORMAL");
    if (version != kSchemaVersion) {
        // A cache of another version is only a cache: it starts again.
        if (!impl->Exec("PRAGMA auto_vacuum=INCREMENTAL") ||
            !impl->Exec("BEGIN IMMEDIATE") || !impl->Exec("DROP TABLE IF EXISTS files") ||
            !impl->Exec("DROP TABLE IF EXISTS file_systems") ||
            !impl->Exec("CREATE TABLE file_systems (id INTEGER PRIMARY KEY, name TEXT UNIQUE NOT NULL)") ||
            !impl->Exec("CREATE TABLE files (fs INTEGER NOT NULL, inode INTEGER NOT NULL, "
                        "size INTEGER NOT NULL, written INTEGER NOT NULL, changed INTEGER NOT NULL, "
                        "first INTEGER NOT NULL, whole INTEGER NOT NULL, crc INTEGER, sum INTEGER, "
                        "hash_high INTEGER, hash_low INTEGER, seen INTEGER NOT NULL, "
                        "PRIMARY KEY (fs, inode)) WITHOUT ROWID") ||
            !impl->Exec("CREATE INDEX files_seen ON files (seen)") ||
            !impl->Exec(("PRAGMA user_version=" + std::to_string(kSchemaVersion)).c_str()) ||
            !impl->Exec("COMMIT")) {
            const std::string text = impl->Error();
            impl->Exec("ROLLBACK");
            return refuse(text);
        }
    }
    if (!impl->Prepare(impl->fileSystemOf, "SELECT id FROM file_systems WHERE name = ?") ||
        !impl->Prepare(impl->addFileSystem, "INSERT INTO file_systems (name) VALUES (?)") ||
        !impl->Prepare(impl->lookup,
                       "SELECT size, written, changed, first, whole, crc, sum, hash_high, hash_low "
                       "FROM files WHERE fs = ? AND inode = ?") ||
        !impl->Prepare(impl->learn,
                       "INSERT OR REPLACE INTO files (fs, inode, size, written, changed, first, "
                       "whole, crc, sum, hash_high, hash_low, seen) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)") ||
        !impl->Prepare(impl->seen,
                       "UPDATE files SET seen = ?1 WHERE fs = ?2 AND inode = ?3 AND seen < ?1"))
        return refuse(impl->Error());
    m_impl = std::move(impl);
    return true;
}

void FingerprintCache::SetBusyTimeout(int milliseconds) {
    if (m_impl) sqlite3_busy_timeout(m_impl->db, milliseconds);
}

bool FingerprintCache::Lookup(const std::string& fileSystem, const platform::FileStamp& stamp,
                              CachedFacts* facts) {
    if (!m_impl || !m_trouble.empty()) return false;
    const std::int64_t fs = m_impl->FileSystemId(fileSystem, false);
    if (fs < 0) {
        Fail(m_impl->Error());
        return false;
    }
    if (fs == 0) return false;
    // All of a search's questions in one read: no lock taken and given back per file.
    if (!m_impl->reading) m_impl->reading = m_impl->Exec("BEGIN");
    sqlite3_stmt* q = m_impl->lookup.stmt;
    sqlite3_reset(q);
    sqlite3_bind_int64(q, 1, fs);
    sqlite3_bind_int64(q, 2, Signed(stamp.inode));
    const int rc = sqlite3_step(q);
    if (rc == SQLITE_DONE) return false;
    if (rc != SQLITE_ROW) {
        Fail(m_impl->Error());
        return false;
    }
    // Every field must be as it was when the file was read.
    if (Unsigned(sqlite3_column_int64(q, 0)) != stamp.size ||
        sqlite3_column_int64(q, 1) != stamp.writtenNs ||
        sqlite3_column_int64(q, 2) != stamp.changedNs) {
        sqlite3_reset(q);
        return false;
    }
    *facts = CachedFacts();
    facts->firstKey = Unsigned(sqlite3_column_int64(q, 3));
    facts->whole = sqlite3_column_int(q, 4) != 0;
    if (facts->whole) {
        facts->crc = static_cast<std::uint32_t>(sqlite3_column_int64(q, 5));
        facts->sum = static_cast<std::uint32_t>(sqlite3_column_int64(q, 6));
        facts->hashHigh = Unsigned(sqlite3_column_int64(q, 7));
        facts->hashLow = Unsigned(sqlite3_column_int64(q, 8));
    }
    sqlite3_reset(q);  // no read stays open: it would keep the next write from committing
    m_impl->seenFiles.emplace_back(fs, stamp.inode);
    return true;
}

void FingerprintCache::Learn(const std::string& fileSystem, const platform::FileStamp& stamp,
                             const CachedFacts& facts) {
    if (!m_impl || !m_trouble.empty()) return;
    const auto named = m_impl->learntNames.emplace(fileSystem, m_impl->learntNames.size());
    m_impl->learnt.push_back({named.first->second, stamp, facts});
}

bool FingerprintCache::Flush() {
    if (!m_impl) return false;
    Impl& impl = *m_impl;
    const auto fail = [&] {
        Fail(impl.Error());
        impl.Exec("ROLLBACK");
        impl.learnt.clear();
        impl.seenFiles.clear();
        return false;
    };
    if (!m_trouble.empty()) return false;
    if (impl.reading) {
        impl.Exec("COMMIT");
        impl.reading = false;
    }
    if (impl.learnt.empty() && impl.seenFiles.empty() && impl.trimmed) return true;
    if (!impl.Exec("BEGIN IMMEDIATE")) return fail();
    // In the table's own order, so that the writes go through it once, front to back.
    std::sort(impl.learnt.begin(), impl.learnt.end(), [](const Impl::Learnt& a, const Impl::Learnt& b) {
        return a.name != b.name ? a.name < b.name : a.stamp.inode < b.stamp.inode;
    });
    std::sort(impl.seenFiles.begin(), impl.seenFiles.end());
    std::vector<std::int64_t> ids(impl.learntNames.size(), -1);
    for (const auto& name : impl.learntNames) {
        ids[name.second] = impl.FileSystemId(name.first, true);
        if (ids[name.second] <= 0) return fail();
    }
    sqlite3_stmt* w = impl.learn.stmt;
    for (const Impl::Learnt& entry : impl.learnt) {
        sqlite3_reset(w);
        sqlite3_bind_int64(w, 1, ids[entry.name]);
        sqlite3_bind_int64(w, 2, Signed(entry.stamp.inode));
        sqlite3_bind_int64(w, 3, Signed(entry.stamp.size));
        sqlite3_bind_int64(w, 4, entry.stamp.writtenNs);
        sqlite3_bind_int64(w, 5, entry.stamp.changedNs);
        sqlite3_bind_int64(w, 6, Signed(entry.facts.firstKey));
        sqlite3_bind_int(w, 7, entry.facts.whole ? 1 : 0);
        if (entry.facts.whole) {
            sqlite3_bind_int64(w, 8, entry.facts.crc);
            sqlite3_bind_int64(w, 9, entry.facts.sum);
            sqlite3_bind_int64(w, 10, Signed(entry.facts.hashHigh));
            sqlite3_bind_int64(w, 11, Signed(entry.facts.hashLow));
        } else {
            for (int k = 8; k <= 11; ++k) sqlite3_bind_null(w, k);
        }
        sqlite3_bind_int64(w, 12, impl.today);
        if (sqlite3_step(w) != SQLITE_DONE) return fail();
    }
    sqlite3_stmt* u = impl.seen.stmt;
    for (const auto& file : impl.seenFiles) {
        sqlite3_reset(u);
        sqlite3_bind_int64(u, 1, impl.today);
        sqlite3_bind_int64(u, 2, file.first);
        sqlite3_bind_int64(u, 3, Signed(file.second));
        if (sqlite3_step(u) != SQLITE_DONE) return fail();
    }
    if (!impl.trimmed) {
        // Once per opening: what no search has seen for a long time goes.
        const std::string forget = "DELETE FROM files WHERE seen < " +
                                   std::to_string(impl.today - kForgetAfterDays);
        if (!impl.Exec(forget.c_str())) return fail();
        impl.trimmed = true;
    }
    // Over the limit: the entries seen longest ago go, a tenth of the limit below it.
    for (std::int64_t inUse = impl.BytesInUse(); inUse > impl.limit;
         inUse = impl.BytesInUse()) {
        const std::int64_t count = impl.Single("SELECT count(*) FROM files");
        if (count <= 0) break;
        const std::int64_t drop =
            std::max<std::int64_t>(1, count * (inUse - impl.limit * 9 / 10) / inUse);
        const std::string sql =
            "DELETE FROM files WHERE (fs, inode) IN (SELECT fs, inode FROM files ORDER BY seen "
            "LIMIT " + std::to_string(drop) + ")";
        if (!impl.Exec(sql.c_str())) return fail();
    }
    if (!impl.Exec("COMMIT")) return fail();
    impl.Exec("PRAGMA incremental_vacuum");
    impl.learnt.clear();
    impl.seenFiles.clear();
    return true;
}

bool FingerprintCache::Clear(const std::string& path, std::string* why) {
    for (const char* suffix : {"", "-wal", "-shm"}) {
        int error = 0;
        if (!platform::RemoveFileIfThere(path + suffix, &error)) {
            if (why != nullptr) *why = platform::ErrorText(error);
            return false;
        }
    }
    return true;
}

std::int64_t FingerprintCache::EntryCount() {
    return m_impl ? m_impl->Single("SELECT count(*) FROM files") : 0;
}

std::int64_t FingerprintCache::BytesInUse() { return m_impl ? m_impl->BytesInUse() : 0; }
