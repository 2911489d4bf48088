// The search's side of the fingerprint cache: which size classes the cache can answer without
// reading a byte, their groups, and what the search teaches the cache of the classes it reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

#include "engine/search/directory_scanner.h"
#include "engine/search/fingerprint_worker.h"
#include "engine/search/progress_sink.h"
#include "engine/store/fingerprint_cache.h"
#include "platform/file_stamp.h"

// For a front end's search: opens the cache at `path` (FingerprintCache::DefaultPath; "" when
// there is no folder for it) below `limit` bytes, or names to `sink` (may be null) why it
// cannot be used; the search goes on either way.
void OpenSearchCache(FingerprintCache& cache, const std::string& path, std::int64_t limit,
                     ProgressSink* sink);
// After the search: writes what it learnt, or names why that failed.
void FlushSearchCache(FingerprintCache& cache, const std::string& path, ProgressSink* sink);

class CacheAnswers {
public:
    // A run [begin, end) of records of one size in the sorted list.
    struct Range {
        std::size_t begin = 0, end = 0;
    };
    // `verify`: no class is answered from the cache (its bytes are compared as if there were
    // none), but what the reads find is learnt.
    // `settleNs`: a file changed less than this before its stamp was taken is not learnt (a
    // change in the same tick of the system's clock after the read would leave every field
    // as it was).
    CacheAnswers(FingerprintCache& cache, bool verify, std::int64_t settleNs)
        : m_cache(cache), m_verify(verify), m_settleNs(settleNs) {}

    // Asks the cache about every file of `classes` (runs of two records or more of `records`,
    // in order), each file's stamp taken now. A class is answered when every file has an entry
    // and every file whose first block another file shares was read whole before: its groups
    // then come from the entries. False when `stop` said so.
    bool LookUp(const RecordList& records, const std::vector<Range>& classes,
                const std::function<bool()>& stop);
    bool Answered(std::size_t c) const { return m_answered[c] != 0; }
    // The groups of answered class `c` of `records`: each by its first record,
    // members as the search lists them; a second name of a member is marked in `taken`. The
    // members are given the CRC-32 and byte sum of their entries.
    void GroupAnswered(std::size_t c, RecordList& records,
                       std::unordered_map<std::size_t, std::vector<std::size_t>>& groups,
                       std::vector<char>& taken);
    // What the worker found of class `workerClass` (the records of `range`, at `base` in the
    // worker's list, which holds the unanswered classes in order) is learnt by the cache, for
    // each file whose stamp stayed put long enough before the read to be trusted.
    void Learn(const RecordList& records, Range range, const FingerprintWorker& worker,
               std::size_t base, std::size_t workerClass);
    // Groups listed from the cache so far.
    int GroupsFromCache() const { return m_groupsFromCache; }

private:
    // What was known of a file of an unanswered class before it was read.
    struct Before {
        bool learnt = false;  // stamped, and settled long enough to be learnt
        std::uint64_t device = 0, inode = 0;
        std::int64_t writtenNs = 0, changedNs = 0;
    };

    FingerprintCache& m_cache;
    const bool m_verify;
    const std::int64_t m_settleNs;
    std::vector<char> m_answered;
    // Per answered class, its groups (record indexes, the head first) and the entries' CRC/sum.
    struct Found {
        std::vector<std::size_t> files;
        std::vector<std::size_t> passedOver;  // further names of members
        std::uint32_t crc = 0, sum = 0;
    };
    std::unordered_map<std::size_t, std::vector<Found>> m_found;
    std::vector<Before> m_before;  // in the worker's order: the unanswered classes' files
    platform::FileSystemNames m_fileSystems;
    int m_groupsFromCache = 0;
};
