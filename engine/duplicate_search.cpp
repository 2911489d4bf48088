#include "engine/duplicate_search.h"

#include <algorithm>
#include <functional>
#include <cstdio>
#include <unordered_map>
#include <unordered_set>

#include "engine/string_table.h"
#include "engine/text_format.h"
#include "engine/fingerprint_worker.h"
#include "engine/text_helpers.h"

std::string FormatSizeText(double bytes) {
    if (bytes < 1024) return FormatSizeBytes(static_cast<long>(bytes));
    if (bytes < 1048576) return FormatSizeKb(bytes / 1024);
    if (bytes <= 1073741824) return FormatSizeMb(bytes / 1048576);
    return FormatSizeGb(bytes / 1073741824);
}

std::string SummaryText(int duplicateCount, std::int64_t duplicateBytes) {
    if (duplicateCount == 0 && duplicateBytes == 0) return std::string();
    return FormatDuplicatesSummary(duplicateCount,
                                   FormatSizeText(static_cast<double>(duplicateBytes)));
}

bool IsSameFile(const CFileRecord& a, const CFileRecord& b) {
    if (a.HasIdentity() && b.HasIdentity()) return a.Identity() == b.Identity();
    // Records never read have no identity yet (the Windows scan gives none): their paths tell.
    const std::string pathA = a.Path(), pathB = b.Path();
    if (!platform::kPathsIgnoreCase) return pathA == pathB;
    if (pathA.size() != pathB.size()) return false;
    for (std::size_t i = 0; i < pathA.size(); ++i)
        if (UpperCaseByte(static_cast<unsigned char>(pathA[i])) !=
            UpperCaseByte(static_cast<unsigned char>(pathB[i])))
            return false;
    return true;
}

DuplicateSearch::DuplicateSearch(ProgressSink* progress) : m_pProgress(progress) {}

DuplicateSearch::Outcome DuplicateSearch::Run(const SearchOptions& options,
                                              ResultsModel& results) {
    results.Clear();
    m_nStartFoldersOpened = 0;
    RecordList records;
    if (!CollectFiles(records, options.paths, options.mask, &options.filter))
        return kCancelledWhileScanning;
    GroupDuplicates(records, results);
    ApplyKeepPolicy(options.keep, results);
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

std::vector<DuplicateSearch::SizeClass> DuplicateSearch::SizeClasses(const RecordList& records) {
    std::vector<SizeClass> classes;
    const std::size_t n = records.size();
    for (std::size_t begin = 0, end = 0; begin < n; begin = end) {
        end = begin + 1;
        while (end < n && records[end]->m_nSize == records[begin]->m_nSize) ++end;
        classes.push_back({begin, end});
    }
    return classes;
}

// The pairwise loop takes each remaining record N in order and moves every later record P of
// the same size and the same contents, other than N's own file, into N's group. The stages:
// the size classes (only a class of two files or more can hold a copy); a first look at the
// first block of their files and the fingerprints of those that share it with another file
// (FingerprintWorker, on a second core, class after class); the byte confirmation of the
// files of one fingerprint (ConfirmGroups); and the groups, listed at their heads' places as
// in the loop. Every record the loop would meet is a step of the bar and a question to stop.
void DuplicateSearch::GroupDuplicates(RecordList& records, ResultsModel& results) {
    const std::vector<SizeClass> classes = SizeClasses(records);
    std::vector<CFileRecord*> toRead;
    std::vector<std::uint32_t> readEnds;
    for (const SizeClass& cls : classes) {
        if (cls.Count() < 2) continue;
        for (std::size_t k = cls.begin; k < cls.end; ++k) toRead.push_back(records[k].get());
        readEnds.push_back(static_cast<std::uint32_t>(toRead.size()));
    }
    if (m_pProgress != nullptr) {
        m_pProgress->SetTotal(static_cast<std::int64_t>(records.size()));
        m_pProgress->SetStatus(LoadStringText(IDS_SEARCHING_DUPLICATES));
    }
    // While a class is read, the files looked at so far (of all that may have a copy) are
    // news of their own: the steps stay the loop's records.
    const std::size_t looks = toRead.size();
    FingerprintWorker worker(std::move(toRead), std::move(readEnds), m_details, m_read);
    std::uint64_t looksShown = 0;
    const auto showReading = [&] {
        if (m_pProgress == nullptr) return;
        const std::uint64_t looked = worker.FilesLooked();
        if (looked == looksShown) return;
        looksShown = looked;
        m_pProgress->FilesLooked(static_cast<std::int64_t>(looked),
                                 static_cast<std::int64_t>(looks),
                                 static_cast<std::int64_t>(worker.BytesRead()));
    };

    std::vector<char> taken(records.size(), 0);
    // Members of the groups headed by records of the current class, by record index.
    std::unordered_map<std::size_t, std::vector<std::size_t>> groups;
    std::size_t readClass = 0;  // the worker's index of the next class of two files or more
    std::size_t readBase = 0;   // where that class starts in the worker's list
    for (const SizeClass& cls : classes) {
        groups.clear();
        for (std::size_t i = cls.begin; i < cls.end; ++i) {
            if (taken[i]) continue;  // moved into an earlier group: the loop never meets it again
            if (m_pProgress != nullptr) m_pProgress->StepProgress(1);
            if (Cancelled()) return;
            if (i == cls.begin && cls.Count() >= 2) {
                if (!worker.EnsureClass(readClass++,
                                        [&] {
                                            showReading();
                                            return Cancelled();
                                        }) ||
                    Cancelled())
                    return;
                if (!GroupClass(records, cls, worker, readBase, groups, taken) || Cancelled())
                    return;
                readBase += cls.Count();
            }
            const auto group = groups.find(i);
            if (group != groups.end()) ListGroup(records, i, group->second, taken, results);
        }
    }
}

void DuplicateSearch::ListGroup(RecordList& records, std::size_t head,
                                const std::vector<std::size_t>& members, std::vector<char>& taken,
                                ResultsModel& results) {
    std::vector<std::unique_ptr<CFileRecord>> files;
    files.reserve(members.size() + 1);
    files.push_back(std::move(records[head]));
    for (std::size_t member : members) {
        taken[member] = 1;
        files.push_back(std::move(records[member]));
    }
    results.AppendGroup(std::move(files));
    if (m_pProgress != nullptr)
        m_pProgress->DuplicatesFound(results.DuplicateCount(), results.DuplicateBytes());
}

// One size class whose files the worker has looked at. Files ruled out by their first block
// have no copy. Of the names of one file only the first is read and compared: the others could
// only pair with files already paired with it, and a name of a group's member is passed over as
// the loop would. A further name is read itself only when the first could not be read.
bool DuplicateSearch::GroupClass(RecordList& records, SizeClass cls,
                                 const FingerprintWorker& worker, std::size_t base,
                                 std::unordered_map<std::size_t, std::vector<std::size_t>>& groups,
                                 std::vector<char>& taken) {
    const std::function<bool()> stop = [this] { return Cancelled(); };
    std::unordered_map<std::uint64_t, std::size_t> classOf;
    std::vector<std::vector<std::size_t>> candidates;
    std::unordered_map<FileId, std::size_t, FileIdHash> reader;
    std::vector<std::pair<std::size_t, std::size_t>> otherNames;  // (record, its file's reader)
    for (std::size_t k = cls.begin; k < cls.end; ++k) {
        CFileRecord& record = *records[k];
        const FingerprintWorker::Role role = worker.RoleOf(base + (k - cls.begin));
        if (role == FingerprintWorker::kSameFile) {
            const auto found = reader.find(record.Identity());
            if (found != reader.end()) {
                otherNames.emplace_back(k, found->second);
                continue;
            }
            // Every earlier name of this file failed: this name is read in their stead.
            DetailsRequest request = m_details;
            request.stop = stop;
            m_read(record, request);
            if (Cancelled()) return false;
        } else if (role != FingerprintWorker::kRead) {
            if (record.IsUnreadable()) ReportUnreadable(record);
            continue;
        }
        if (record.IsUnreadable()) ReportUnreadable(record);
        if (!record.CanPair()) continue;
        if (record.HasIdentity()) reader.emplace(record.Identity(), k);
        const auto inserted = classOf.emplace(record.FingerprintKey(), candidates.size());
        if (inserted.second) candidates.emplace_back();
        candidates[inserted.first->second].push_back(k);
    }
    for (const std::vector<std::size_t>& candidate : candidates)
        if (candidate.size() >= 2 && !ConfirmGroups(records, candidate, groups, taken, stop))
            return false;
    if (!otherNames.empty()) {
        std::unordered_set<std::size_t> members;
        for (const auto& group : groups) members.insert(group.second.begin(), group.second.end());
        for (const auto& name : otherNames)
            if (members.count(name.second) != 0) taken[name.first] = 1;
    }
    return true;
}

bool DuplicateSearch::ConfirmGroups(RecordList& records, std::vector<std::size_t> pending,
                                    std::unordered_map<std::size_t, std::vector<std::size_t>>& groups,
                                    std::vector<char>& passedOver,
                                    const std::function<bool()>& stop) {
    while (pending.size() >= 2) {
        const std::size_t head = pending[0];
        std::vector<std::size_t> members, rest;
        // The files already in the group: by identity (every read record has one), in a set so
        // that a group of many copies stays linear.
        std::unordered_set<FileId, FileIdHash> inGroup;
        bool headLost = false;
        for (std::size_t p = 1; p < pending.size(); ++p) {
            const std::size_t k = pending[p];
            if (headLost) {
                rest.push_back(k);
                continue;
            }
            // The head's own file, or a file already in the group, pairs with nothing: every
            // other copy of it is in this group. It is never listed.
            CFileRecord& candidate = *records[k];
            if (IsSameFile(*records[head], candidate)) continue;
            bool listed = false;
            if (candidate.HasIdentity())
                listed = inGroup.count(candidate.Identity()) != 0;
            else
                for (std::size_t member : members)
                    listed = listed || IsSameFile(*records[member], candidate);
            if (listed) {
                passedOver[k] = 1;
                continue;
            }
            int error = 0;
            switch (m_compare(*records[head], candidate, stop, nullptr, &error)) {
                case ContentMatch::kSame:
                    members.push_back(k);
                    if (candidate.HasIdentity())
                        inGroup.insert(candidate.Identity());
                    break;
                case ContentMatch::kDifferent: rest.push_back(k); break;
                case ContentMatch::kSecondUnreadable:
                    candidate.MarkUnreadable(error);
                    ReportUnreadable(candidate);
                    break;
                case ContentMatch::kFirstUnreadable:
                    // The head changed under the search: what it confirmed proves nothing.
                    records[head]->MarkUnreadable(error);
                    ReportUnreadable(*records[head]);
                    headLost = true;
                    rest.insert(rest.end(), members.begin(), members.end());
                    rest.push_back(k);
                    members.clear();
                    inGroup.clear();
                    break;
                case ContentMatch::kStopped: return false;
            }
        }
        if (!members.empty()) groups[head] = std::move(members);
        std::sort(rest.begin(), rest.end());
        pending = std::move(rest);
    }
    return true;
}

void DuplicateSearch::ReportUnreadable(const CFileRecord& record) {
    if (m_pProgress != nullptr)
        m_pProgress->Skipped(SkipKind::kFile, record.Path(), record.ReadErrorText());
}
