#include "engine/store/cache_answers.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <set>
#include <thread>

#include "engine/text/string_table.h"
#include "engine/text/text_format.h"
#include "platform/file_time.h"

namespace {

std::int64_t NowNs() {
    using namespace std::chrono;
    return duration_cast<nanoseconds>(system_clock::now().time_since_epoch()).count();
}

// Whether the stamp taken now is still the file the scan found.
bool SameFile(const platform::FileStamp& a, const platform::FileStamp& b) {
    return a.device == b.device && a.inode == b.inode;
}

bool StampIsRecord(const platform::FileStamp& stamp, const CFileRecord& record) {
    if (stamp.size != static_cast<std::uint64_t>(record.m_nSize)) return false;
    if (record.HasIdentity() && (stamp.device != record.m_nDevice || stamp.inode != record.m_nInode))
        return false;
    std::int64_t seconds = stamp.writtenNs / 1000000000, nanos = stamp.writtenNs % 1000000000;
    if (nanos < 0) {
        nanos += 1000000000;
        --seconds;
    }
    return platform::FileTimeFromUnix(seconds, nanos) == record.m_ftWrittenUtc;
}

struct GroupKey {
    std::uint64_t first, high, low;
    std::uint32_t crc, sum;
    bool operator==(const GroupKey& o) const {
        return first == o.first && high == o.high && low == o.low && crc == o.crc && sum == o.sum;
    }
};
struct GroupKeyHash {
    std::size_t operator()(const GroupKey& k) const {
        return static_cast<std::size_t>(k.high ^ (k.low * 0x9E3779B97F4A7C15ULL) ^ k.first);
    }
};

}  // namespace

void OpenSearchCache(FingerprintCache& cache, const std::string& path, std::int64_t limit,
                     ProgressSink* sink) {
    std::string why;
    if (path.empty()) why = LoadStringText(IDS_CACHE_NO_FOLDER);
    else cache.Open(path, limit, &why);
    if (!why.empty() && sink != nullptr)
        sink->Skipped(SkipKind::kCache, path, FormatCacheUnusable(why));
}

void FlushSearchCache(FingerprintCache& cache, const std::string& path, ProgressSink* sink) {
    if (cache.IsOpen() && !cache.Flush() && sink != nullptr)
        sink->Skipped(SkipKind::kCache, path, FormatCacheUnusable(cache.Trouble()));
}

bool CacheAnswers::LookUp(const RecordList& records, const std::vector<Range>& classes,
                          const std::function<bool()>& stop) {
    m_answered.assign(classes.size(), 0);
    m_found.clear();
    m_before.clear();
    std::vector<std::size_t> files;
    for (const Range& range : classes)
        for (std::size_t k = range.begin; k < range.end; ++k) files.push_back(k);
    // The stamps, on every core: one question of the system per file.
    const std::int64_t stampedAt = NowNs();
    std::vector<platform::FileStamp> stamps(files.size());
    std::vector<char> stamped(files.size(), 0);
    std::atomic<std::size_t> next{0};
    const auto stampSome = [&] {
        constexpr std::size_t kChunk = 256;
        for (std::size_t at; (at = next.fetch_add(kChunk)) < files.size();) {
            for (std::size_t i = at; i < std::min(files.size(), at + kChunk); ++i) {
                const CFileRecord& record = *records[files[i]];
                int error = 0;
                stamped[i] = record.m_nSize > 0 &&
                             platform::QueryFileStamp(record.Path(), &stamps[i], &error) &&
                             StampIsRecord(stamps[i], record);
            }
        }
    };
    {
        std::vector<std::thread> helpers;
        const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
        if (files.size() > 1024)
            for (unsigned t = 1; t < cores; ++t) helpers.emplace_back(stampSome);
        stampSome();
        for (std::thread& helper : helpers) helper.join();
    }
    if (stop && stop()) return false;

    std::size_t at = 0;  // where the class starts in `files`
    std::vector<CachedFacts> facts;
    for (std::size_t c = 0; c < classes.size(); ++c) {
        const Range range = classes[c];
        const std::size_t count = range.end - range.begin;
        bool all = !m_verify;
        facts.assign(count, CachedFacts());
        for (std::size_t j = 0; j < count && all; ++j) {
            const std::size_t i = at + j;
            all = stamped[i] &&
                  m_cache.Lookup(m_fileSystems.Of(stamps[i].device, records[files[i]]->Folder()),
                                 stamps[i], &facts[j]);
        }
        if (all) {
            // A first block shared by two files: each of them must have been read whole.
            struct FirstBlock {
                std::size_t first;  // the first file with it (index in the class)
                bool shared;
            };
            std::unordered_map<std::uint64_t, FirstBlock> firstBlocks;
            for (std::size_t j = 0; j < count; ++j) {
                const auto seen = firstBlocks.emplace(facts[j].firstKey, FirstBlock{j, false});
                if (!seen.second && !SameFile(stamps[at + seen.first->second.first], stamps[at + j]))
                    seen.first->second.shared = true;
            }
            for (std::size_t j = 0; j < count && all; ++j)
                all = facts[j].whole || !firstBlocks[facts[j].firstKey].shared;
        }
        if (all) {
            m_answered[c] = 1;
            std::unordered_map<GroupKey, std::vector<std::size_t>, GroupKeyHash> byContents;
            std::vector<GroupKey> order;
            for (std::size_t j = 0; j < count; ++j) {
                if (!facts[j].whole) continue;
                const GroupKey key{facts[j].firstKey, facts[j].hashHigh, facts[j].hashLow,
                                   facts[j].crc, facts[j].sum};
                auto& members = byContents[key];
                if (members.empty()) order.push_back(key);
                members.push_back(j);
            }
            std::vector<Found>& found = m_found[c];
            for (const GroupKey& key : order) {
                const std::vector<std::size_t>& members = byContents[key];
                if (members.size() < 2) continue;
                // As the joint read lists a group: the head's other names stay out, and of a
                // member's names only the first is listed (the others are passed over).
                Found group;
                group.crc = key.crc;
                group.sum = key.sum;
                group.files.push_back(range.begin + members[0]);
                const platform::FileStamp& head = stamps[at + members[0]];
                std::set<std::pair<std::uint64_t, std::uint64_t>> inGroup;
                for (std::size_t m = 1; m < members.size(); ++m) {
                    const platform::FileStamp& s = stamps[at + members[m]];
                    if (SameFile(s, head)) continue;
                    if (!inGroup.insert({s.device, s.inode}).second) {
                        group.passedOver.push_back(range.begin + members[m]);
                        continue;
                    }
                    group.files.push_back(range.begin + members[m]);
                }
                if (group.files.size() >= 2) found.push_back(std::move(group));
            }
        } else {
            for (std::size_t j = 0; j < count; ++j) {
                const platform::FileStamp& s = stamps[at + j];
                Before before;
                if (stamped[at + j] && s.changedNs < stampedAt - m_settleNs) {
                    before.learnt = true;
                    before.device = s.device;
                    before.inode = s.inode;
                    before.writtenNs = s.writtenNs;
                    before.changedNs = s.changedNs;
                }
                m_before.push_back(before);
            }
        }
        at += count;
    }
    return true;
}

void CacheAnswers::GroupAnswered(std::size_t c, RecordList& records,
                                 std::unordered_map<std::size_t, std::vector<std::size_t>>& groups,
                                 std::vector<char>& taken) {
    const auto found = m_found.find(c);
    if (found == m_found.end()) return;
    for (const Found& group : found->second) {
        for (const std::size_t k : group.files) records[k]->SetDetails(group.crc, group.sum, false, 0);
        for (const std::size_t k : group.passedOver) taken[k] = 1;
        groups[group.files.front()].assign(group.files.begin() + 1, group.files.end());
        ++m_groupsFromCache;
    }
    m_found.erase(found);
}

void CacheAnswers::Learn(const RecordList& records, Range range, const FingerprintWorker& worker,
                         std::size_t base, std::size_t workerClass) {
    const auto& groups = worker.GroupsOf(workerClass);
    const auto& digests = worker.DigestsOf(workerClass);
    std::unordered_map<std::size_t, const GroupDigest*> wholeOf;
    for (std::size_t g = 0; g < groups.size() && g < digests.size(); ++g)
        for (const std::uint32_t w : groups[g]) wholeOf.emplace(w, &digests[g]);
    std::unordered_map<std::size_t, const LoneDigest*> loneOf;
    for (const LoneDigest& file : worker.LoneOf(workerClass)) loneOf.emplace(file.index, &file);
    for (std::size_t k = range.begin; k < range.end; ++k) {
        const std::size_t w = base + (k - range.begin);
        if (w >= m_before.size()) break;
        const Before& before = m_before[w];
        const CFileRecord& record = *records[k];
        const bool looked = record.DetailsKnown() || record.FirstBlockOnly();
        if (!before.learnt || !looked || record.IsUnreadable() ||
            worker.RoleOf(w) == FingerprintWorker::kSameFile || !record.HasIdentity() ||
            record.m_nDevice != before.device || record.m_nInode != before.inode)
            continue;
        platform::FileStamp stamp;
        stamp.device = record.m_nDevice;
        stamp.inode = record.m_nInode;
        stamp.size = static_cast<std::uint64_t>(record.m_nSize);
        stamp.writtenNs = before.writtenNs;
        stamp.changedNs = before.changedNs;
        CachedFacts facts;
        const auto whole = wholeOf.find(w);
        if (whole != wholeOf.end()) {
            facts.firstKey = whole->second->firstKey;
            facts.whole = true;
            facts.crc = record.m_dwCrc;
            facts.sum = record.m_dwChecksum;
            facts.hashHigh = whole->second->hash.high;
            facts.hashLow = whole->second->hash.low;
        } else if (const auto lone = loneOf.find(w); lone != loneOf.end()) {
            facts.firstKey = lone->second->digest.firstKey;
            facts.whole = true;
            facts.crc = lone->second->crc;
            facts.sum = lone->second->sum;
            facts.hashHigh = lone->second->digest.hash.high;
            facts.hashLow = lone->second->digest.hash.low;
        } else {
            facts.firstKey = record.FingerprintKey();
        }
        m_cache.Learn(m_fileSystems.Of(record.m_nDevice, record.Folder()), stamp, facts);
    }
}
