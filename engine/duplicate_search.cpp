#include "engine/duplicate_search.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <unordered_map>

#include "engine/engine_strings.h"
#include "engine/fingerprint_worker.h"
#include "engine/text_helpers.h"

std::string FormatSizeText(double bytes) {
    char buf[64];
    if (bytes < 1024)
        std::snprintf(buf, sizeof buf, LoadStringText(IDS_SIZE_BYTES), static_cast<long>(bytes));
    else if (bytes < 1048576)
        std::snprintf(buf, sizeof buf, LoadStringText(IDS_SIZE_KB), bytes / 1024);
    else if (bytes <= 1073741824)
        std::snprintf(buf, sizeof buf, LoadStringText(IDS_SIZE_MB), bytes / 1048576);
    else
        std::snprintf(buf, sizeof buf, LoadStringText(IDS_SIZE_GB), bytes / 1073741824);
    return buf;
}

std::string SummaryText(int duplicateCount, std::int64_t duplicateBytes) {
    if (duplicateCount == 0 && duplicateBytes == 0) return std::string();
    char buf[256];
    std::snprintf(buf, sizeof buf, LoadStringText(IDS_DUPLICATES_SUMMARY), duplicateCount,
                  FormatSizeText(static_cast<double>(duplicateBytes)).c_str());
    return buf;
}

bool IsSameFile(const CFileRecord& a, const CFileRecord& b) {
#ifdef _WIN32
    if (a.m_strPath.size() != b.m_strPath.size()) return false;
    for (std::size_t i = 0; i < a.m_strPath.size(); ++i)
        if (UpperCaseByte(static_cast<unsigned char>(a.m_strPath[i])) !=
            UpperCaseByte(static_cast<unsigned char>(b.m_strPath[i])))
            return false;
    return true;
#else
    if (a.m_nInode != 0 || b.m_nInode != 0)
        return a.m_nDevice == b.m_nDevice && a.m_nInode == b.m_nInode;
    return a.m_strPath == b.m_strPath;
#endif
}

DuplicateSearch::DuplicateSearch(ProgressSink* progress) : m_pProgress(progress) {}

DuplicateSearch::Outcome DuplicateSearch::Run(const SearchOptions& options,
                                              ResultsModel& results) {
    results.Clear();
    m_nStartFoldersOpened = 0;
    std::vector<std::string> paths;
    SplitString(options.paths, paths, ";");
    RecordList records;
    if (!CollectFiles(records, paths, options.mask, &options.filter))
        return kCancelledWhileScanning;
    GroupDuplicates(records, results);
    return kFinished;
}

bool DuplicateSearch::CollectFiles(RecordList& records, const std::vector<std::string>& paths,
                                   const std::string& mask, const SearchFilter* filter) {
    CDirectoryScanner scanner(m_pProgress);
    scanner.ScanPathList(records, paths, mask, filter);
    m_nStartFoldersOpened = scanner.m_nStartFoldersOpened;
    if (Cancelled()) return false;
    if (m_pProgress != nullptr) m_pProgress->SetStatus(LoadStringText(IDS_SORTING));
    // Folders first, then larger before smaller; equal sizes keep the scan order so that the
    // first file found heads its group.
    std::stable_sort(records.begin(), records.end(),
                     [](const std::unique_ptr<CFileRecord>& a, const std::unique_ptr<CFileRecord>& b) {
                         const bool aDir = (a->m_dwAttributes & platform::kAttrDirectory) != 0;
                         const bool bDir = (b->m_dwAttributes & platform::kAttrDirectory) != 0;
                         if (aDir != bDir) return aDir;
                         return a->m_nSize > b->m_nSize;
                     });
    return !Cancelled();
}

namespace {

bool CanPair(const CFileRecord& r) {
    return !r.IsUnreadable() && (r.m_dwAttributes & platform::kAttrDirectory) == 0;
}

std::uint64_t FingerprintKey(const CFileRecord& r) {
    return (static_cast<std::uint64_t>(r.m_dwCrc) << 32) | r.m_dwChecksum;
}

}  // namespace

// The pairwise loop takes each remaining record N in order and moves every later record P of
// the same size with N's fingerprints, other than N's own file, into N's group. Within one
// fingerprint class that means: the first record heads the only group of the class and takes
// every later record that is not its own file; what it leaves behind are all its own file
// again and can pair with nothing. So one pass per size class over a table of fingerprint
// classes gives the loop's rows in the loop's order.
void DuplicateSearch::GroupDuplicates(RecordList& records, ResultsModel& results) {
    if (m_pProgress != nullptr) {
        m_pProgress->SetTotal(static_cast<std::int64_t>(records.size()));
        m_pProgress->SetStatus(LoadStringText(IDS_SEARCHING_DUPLICATES));
    }
    const std::size_t n = records.size();
    std::vector<char> taken(n, 0);
    // Every record that shares its size with another needs its fingerprints; a second core
    // reads them ahead, in the order the loop below will want them. For the size class that
    // starts at record i, `classEndAt[i]` is the record after it and `readyAfter[i]` how many
    // fingerprints must be known before it can be grouped.
    std::vector<CFileRecord*> needed;
    std::vector<std::size_t> readyAfter(n, 0), classEndAt(n, 0);
    for (std::size_t start = 0, end = 0; start < n; start = end) {
        end = start + 1;
        while (end < n && records[end]->m_nSize == records[start]->m_nSize) ++end;
        if (end - start >= 2)
            for (std::size_t k = start; k < end; ++k) needed.push_back(records[k].get());
        readyAfter[start] = needed.size();
        classEndAt[start] = end;
    }
    FingerprintWorker worker(std::move(needed), m_details);
    // Members of the group headed by a record of the current size class, by record index.
    std::unordered_map<std::size_t, std::vector<std::size_t>> groups;
    std::size_t classEnd = 0;

    for (std::size_t i = 0; i < n; ++i) {
        if (taken[i]) continue;  // moved into an earlier group: the loop never meets it again
        if (m_pProgress != nullptr) m_pProgress->StepProgress(1);
        if (Cancelled()) break;

        if (i >= classEnd) {
            // First record of a new size class: read the fingerprints of the class (only when
            // it holds two files or more) and find its groups.
            groups.clear();
            classEnd = classEndAt[i];
            if (classEnd - i < 2) continue;
            const bool ready =
                worker.EnsureReady(readyAfter[i], [this] { return Cancelled(); });
            if (!ready || Cancelled()) break;
            std::unordered_map<std::uint64_t, std::size_t> headOf;
            for (std::size_t k = i; k < classEnd; ++k) {
                if (records[k]->IsUnreadable() && m_pProgress != nullptr)
                    m_pProgress->Skipped(SkipKind::kFile, records[k]->m_strPath,
                                         records[k]->ReadErrorText());
                if (!CanPair(*records[k])) continue;
                const auto inserted = headOf.emplace(FingerprintKey(*records[k]), k);
                if (inserted.second) continue;
                const std::size_t head = inserted.first->second;
                if (!IsSameFile(*records[head], *records[k])) groups[head].push_back(k);
            }
        }

        const auto group = groups.find(i);
        if (group == groups.end()) continue;
        std::vector<std::unique_ptr<CFileRecord>> files;
        files.reserve(group->second.size() + 1);
        files.push_back(std::move(records[i]));
        for (std::size_t member : group->second) {
            taken[member] = 1;
            files.push_back(std::move(records[member]));
        }
        results.AppendGroup(std::move(files));
        if (m_pProgress != nullptr) {
            char text[256];
            std::snprintf(text, sizeof text, LoadStringText(IDS_DUPLICATES_RUNNING),
                          results.DuplicateCount(), results.DuplicateBytes());
            m_pProgress->SetStatus(text);
        }
    }
}
