// What earlier searches learnt about each file, kept between runs so that a second search of
// an unchanged tree reads nothing it already knows. Entries are keyed by file (its file
// system and file number), not by path: a folder renamed or moved keeps its files' entries.
// An entry answers only while the file's size, last-write time and change time, all to the
// nanosecond, are what they were when it was read; the change time moves with every write,
// whatever the writer does to the other two afterwards.
//
// The cache holds fingerprints only, never file contents. Nothing that acts on a file trusts
// it: every action compares bytes with the copy that stays.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_stamp.h"

// What a search learnt of one file's bytes.
struct CachedFacts {
    // CRC-32 and byte sum of its first block (as the first look computes them): crc << 32 | sum.
    std::uint64_t firstKey = 0;
    // Known only for a file read whole and compared: CRC-32, byte sum and XXH3-128 of all of it.
    bool whole = false;
    std::uint32_t crc = 0, sum = 0;
    std::uint64_t hashHigh = 0, hashLow = 0;
};

class FingerprintCache {
public:
    // The default size limit of the cache file.
    static constexpr std::int64_t kDefaultLimit = std::int64_t{256} << 20;
    // Entries of files that no search has seen for this many days are dropped.
    static constexpr int kForgetAfterDays = 90;

    FingerprintCache();
    ~FingerprintCache();  // writes what was learnt and closes
    FingerprintCache(const FingerprintCache&) = delete;
    FingerprintCache& operator=(const FingerprintCache&) = delete;

    // Where the cache lives: $XDG_CACHE_HOME/pairscout/fingerprints.sqlite ($HOME/.cache when
    // XDG_CACHE_HOME is not an absolute path); on Windows the file of that name in the folder
    // "pairscout" of the local application data. "" when there is no such folder.
    static std::string DefaultPath();

    // Opens (or makes, readable by its owner only) the cache at `path`, keeping it below
    // `limitBytes`. False with why in *why: a damaged or locked file, a folder that cannot be
    // made, a full disk. The search then goes on without it.
    bool Open(const std::string& path, std::int64_t limitBytes = kDefaultLimit,
              std::string* why = nullptr);
    bool IsOpen() const;
    // How long a write waits for another search holding the cache (tests shorten it).
    void SetBusyTimeout(int milliseconds);

    // What the cache knows of the file `stamp` describes on file system `fileSystem` (see
    // platform::FileSystemName): true and *facts when an entry matches every field of the
    // stamp. A failure of the cache itself answers false and is kept (Trouble).
    bool Lookup(const std::string& fileSystem, const platform::FileStamp& stamp, CachedFacts* facts);
    // Keeps `facts` for the file `stamp` describes; written at the next Flush (or at the end).
    void Learn(const std::string& fileSystem, const platform::FileStamp& stamp,
               const CachedFacts& facts);
    // Writes what was learnt and marks the files looked up as seen today; drops what is over
    // the limit or was not seen for kForgetAfterDays. False (and Trouble) when it could not.
    bool Flush();
    // The first failure of the cache while it was open (""), in the cache's own words.
    const std::string& Trouble() const { return m_trouble; }

    // Removes the cache at `path` and its journal files. False with why when a file stays.
    static bool Clear(const std::string& path, std::string* why = nullptr);

    // For tests and the figures: entries held, and the bytes the file holds in use.
    std::int64_t EntryCount();
    std::int64_t BytesInUse();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
    std::string m_trouble;
    void Fail(const std::string& what);
};
