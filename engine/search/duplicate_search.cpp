#include "engine/search/duplicate_search.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <cstdio>
#include <thread>
#include <unordered_map>
#include <unordered_set>

#include "engine/text/string_table.h"
#include "engine/text/text_format.h"
#include "engine/search/fingerprint_worker.h"
#include "engine/store/cache_answers.h"
#include "engine/text/text_helpers.h"

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
    m_bPartial = false;
    RecordList records;
    if (!CollectFiles(records, options.paths, options.mask, &options.filter))
        return kCancelledWhileScanning;
    m_verify = options.verifyCached;
    GroupDuplicates(records, results);
    ApplyKeepPolicy(options.keep, results);
    // Stopped while comparing: the groups found so far are listed, and known to be partial.
    m_bPartial = Cancelled();
    return kFinished;
}

bool DuplicateSearch::CollectFiles(RecordList& records, const std::vector<std::string>& paths,
                                   const std::string& mask, const SearchFilter* filter) {
    CDirectoryScanner scanner(m_pProgress);
    scanner.ScanPathList(records, paths, mask, filter);
    m_nStartFoldersOpened = scanner.m_nStartFoldersOpened;
    m_nFilesSeen = scanner.m_nFilesSeen;
    m_nFilesLeftOut = scanner.m_nFilesLeftOut;
    m_foldersSeen = std::move(scanner.m_folders);
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
// first block of their files, and one read of those that share it with another file, together
// and block by block, which splits them by their bytes and gives the groups' CRC and sum
// (FingerprintWorker and JointReader, on a second core, class after class); and the groups,
// listed at their heads' places as in the loop. Every record the loop would meet is a step of the bar and a question to stop.
void DuplicateSearch::GroupDuplicates(RecordList& records, ResultsModel& results) {
    m_groupsFromCache = 0;
    const std::vector<SizeClass> classes = SizeClasses(records);
    if (m_pProgress != nullptr) {
        m_pProgress->SetTotal(static_cast<std::int64_t>(records.size()));
        m_pProgress->SetStatus(LoadStringText(IDS_SEARCHING_DUPLICATES));
    }
    // The classes of two files or more, and those the cache answers (read by nobody).
    std::vector<CacheAnswers::Range> possibleRanges;
    for (const SizeClass& cls : classes)
        if (cls.Count() >= 2) possibleRanges.push_back({cls.begin, cls.end});
    std::unique_ptr<CacheAnswers> answers;
    if (m_cache != nullptr && m_cache->IsOpen()) {
        answers = std::make_unique<CacheAnswers>(*m_cache, m_verify, m_cacheSettleNs);
        if (!answers->LookUp(records, possibleRanges, [this] { return Cancelled(); })) return;
    }
    std::vector<CFileRecord*> toRead;
    std::vector<std::uint32_t> readEnds;
    // Sized once: grown by doubling it would hold up to twice its records at its peak.
    std::size_t possible = 0, possibleClasses = 0;
    for (std::size_t c = 0; c < possibleRanges.size(); ++c)
        if (!answers || !answers->Answered(c)) {
            possible += possibleRanges[c].end - possibleRanges[c].begin;
            ++possibleClasses;
        }
    toRead.reserve(possible);
    readEnds.reserve(possibleClasses);
    for (std::size_t c = 0; c < possibleRanges.size(); ++c) {
        if (answers && answers->Answered(c)) continue;
        for (std::size_t k = possibleRanges[c].begin; k < possibleRanges[c].end; ++k)
            toRead.push_back(records[k].get());
        readEnds.push_back(static_cast<std::uint32_t>(toRead.size()));
    }
    // While a class is read, the files looked at so far (of all that may have a copy) are
    // news of their own: the steps stay the loop's records.
    const std::size_t looks = toRead.size();
    // Each disk is asked once what it is, and measured where it says it spins.
    const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    const int readers = m_readers > 0 ? std::min(m_readers, kMostReaders)
                                      : std::max(cores, kSolidStateReaders);
    m_disks = DecideReaders(toRead, readers, m_readers, m_diskKind, m_measureDisk);
    // One thread per core for what is in memory; more only where a disk takes more readers
    // (each thread beyond the cores would only wait for its turn on a disk read by one).
    ReadPlan plan;
    plan.threads = m_readers > 0 ? readers : cores;
    plan.hashGroups = answers != nullptr;
    for (const DiskDecision& disk : m_disks) {
        plan.threads = std::max(plan.threads, disk.readers);
        plan.limited.emplace_back(disk.device, disk.readers);
        if (m_pProgress != nullptr) m_pProgress->Detail(FormatDiskDecision(disk));
    }
    FingerprintWorker worker(std::move(toRead), std::move(readEnds), m_details, m_read, m_open,
                             m_keepBudget, plan);
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
    std::size_t readClass = 0;  // the worker's index of the next class it reads
    std::size_t readBase = 0;   // where that class starts in the worker's list
    std::size_t possibleClass = 0;  // the index of the next class of two files or more
    for (const SizeClass& cls : classes) {
        groups.clear();
        for (std::size_t i = cls.begin; i < cls.end; ++i) {
            if (taken[i]) continue;  // moved into an earlier group: the loop never meets it again
            if (m_pProgress != nullptr) m_pProgress->StepProgress(1);
            if (Cancelled()) return;
            if (i == cls.begin && cls.Count() >= 2) {
                const std::size_t c = possibleClass++;
                if (answers && answers->Answered(c)) {
                    answers->GroupAnswered(c, records, groups, taken);
                    m_groupsFromCache = answers->GroupsFromCache();
                } else {
                    if (!worker.EnsureClass(readClass,
                                            [&] {
                                                showReading();
                                                return Cancelled();
                                            }) ||
                        Cancelled())
                        return;
                    if (answers)
                        answers->Learn(records, {cls.begin, cls.end}, worker, readBase, readClass);
                    GroupClass(records, cls, worker, readBase, readClass, groups, taken);
                    ++readClass;
                    readBase += cls.Count();
                }
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

// One size class that the worker has read: the groups of equal bytes its joint reads found,
// each headed by its first record. Of the names of one file only one was read and compared:
// the others could only pair with files already paired with it, and a name of a group's member
// is passed over as the loop would; a name of a group's head stays, paired with nothing.
void DuplicateSearch::GroupClass(RecordList& records, SizeClass cls, FingerprintWorker& worker,
                                 std::size_t base, std::size_t workerClass,
                                 std::unordered_map<std::size_t, std::vector<std::size_t>>& groups,
                                 std::vector<char>& taken) {
    // Every file that could not be read is named, in the order of the list.
    for (std::size_t k = cls.begin; k < cls.end; ++k)
        if (records[k]->IsUnreadable()) ReportUnreadable(*records[k]);
    std::unordered_set<FileId, FileIdHash> members;
    for (const std::vector<std::uint32_t>& found : worker.GroupsOf(workerClass)) {
        const std::size_t head = cls.begin + (found.front() - base);
        std::vector<std::size_t> group;
        // Every file of a joint read is a file of its own; the rule stands all the same.
        std::unordered_set<FileId, FileIdHash> inGroup;
        for (std::size_t m = 1; m < found.size(); ++m) {
            const std::size_t k = cls.begin + (found[m] - base);
            CFileRecord& candidate = *records[k];
            if (IsSameFile(*records[head], candidate)) continue;
            if (candidate.HasIdentity() && !inGroup.insert(candidate.Identity()).second) {
                taken[k] = 1;
                continue;
            }
            group.push_back(k);
            if (candidate.HasIdentity()) members.insert(candidate.Identity());
        }
        if (!group.empty()) groups[head] = std::move(group);
    }
    worker.ForgetGroups(workerClass);
    if (members.empty()) return;
    for (std::size_t k = cls.begin; k < cls.end; ++k)
        if (worker.RoleOf(base + (k - cls.begin)) == FingerprintWorker::kSameFile &&
            !records[k]->IsUnreadable() && records[k]->HasIdentity() &&
            members.count(records[k]->Identity()) != 0)
            taken[k] = 1;
}

void DuplicateSearch::ReportUnreadable(const CFileRecord& record) {
    if (m_pProgress != nullptr)
        m_pProgress->Skipped(SkipKind::kFile, record.Path(), record.ReadErrorText());
}
