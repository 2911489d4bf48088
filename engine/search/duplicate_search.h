// The duplicate search: start paths and masks in, groups of identical files out. Files are
// sorted by size, largest first; files of equal size are compared byte by byte (and their
// CRC-32 and byte sum kept), read only when another file has the same size.
#pragma once

#include <cstdint>
#include <functional>
#include <unordered_map>
#include <string>
#include <vector>

#include "engine/search/directory_scanner.h"
#include "engine/search/disk_readers.h"
#include "engine/search/file_check.h"
#include "engine/search/fingerprint_worker.h"
#include "engine/search/joint_reader.h"
#include "engine/results/keep_rules.h"
#include "engine/search/progress_sink.h"
#include "engine/results/results_model.h"
#include "engine/search/search_filter.h"
#include "engine/store/fingerprint_cache.h"
#include "engine/text/text_helpers.h"
#include "platform/disk_kind.h"

// What to search: the one set of options that the window and the command line both fill.
struct SearchOptions {
    // Start paths, each walked exactly as it stands (empty ones name nothing): folders, the
    // local-disk keyword, server names.
    std::vector<std::string> paths;
    std::string mask = "*.*";   // mask pieces joined by ";", "~" excludes
    SearchFilter filter;
    // Which copy of each group stays first, the protected folders, the order of the groups.
    // The default keeps the rows as found.
    KeepPolicy keep;
    // Groups the cache could answer for are read and compared all the same.
    bool verifyCached = false;
};

// A byte count in bytes, KB, MB or GB (IDS_SIZE_BYTES to IDS_SIZE_GB).
std::string FormatSizeText(double bytes);

// The status-bar summary of a search (IDS_DUPLICATES_SUMMARY), or "" when it found nothing.
std::string SummaryText(int duplicateCount, std::int64_t duplicateBytes);

// True when two records name one file: the same device and inode (Windows: volume serial and
// file index) — overlapping start paths, bind mounts, hard links. Records without an identity
// compare their paths (ignoring case where the file system does). Removing one such record
// would free nothing, so they are never listed as duplicates of each other, nor twice in one
// group.
bool IsSameFile(const CFileRecord& a, const CFileRecord& b);

class DuplicateSearch {
public:
    enum Outcome {
        kCancelledWhileScanning,  // nothing listed; the summary is to stay as it was
        kFinished,                // the rows (all, or those found before a cancel) are listed
    };

    // `progress` (may be null, not owned) shows what happens, hears of what was passed over,
    // and stops the search when it says so.
    explicit DuplicateSearch(ProgressSink* progress);

    // The whole search: clears `results`, scans, sorts, groups and orders the groups and their
    // files by the options' keep policy.
    Outcome Run(const SearchOptions& options, ResultsModel& results);

    // Scans the start path specs `paths` with `mask` into `records` and, unless cancelled,
    // sorts them by size, largest first, keeping the scan order among equal sizes. Returns
    // false when cancelled.
    bool CollectFiles(RecordList& records, const std::vector<std::string>& paths,
                      const std::string& mask, const SearchFilter* filter);

    // Moves every group of identical files from `records` into `results`, in the order of
    // their first files, and keeps the totals. Exactly the rows of comparing each remaining
    // file with the later files of its size, in near-linear time.
    void GroupDuplicates(RecordList& records, ResultsModel& results);

    // A run [begin, end) of records of one size in the sorted list.
    struct SizeClass {
        std::size_t begin = 0, end = 0;
        std::size_t Count() const { return end - begin; }
    };
    // The size classes of sorted `records`, in order (classes of one record included).
    static std::vector<SizeClass> SizeClasses(const RecordList& records);

    // How many start folders the last search could open; 0 means it searched nothing at all.
    int StartFoldersOpened() const { return m_nStartFoldersOpened; }
    // The files the last walk listed, and those of them the masks or the filter left out.
    std::int64_t FilesSeen() const { return m_nFilesSeen; }
    std::int64_t FilesLeftOut() const { return m_nFilesLeftOut; }
    // The last search was stopped while it compared: it listed only the groups found so far.
    bool Partial() const { return m_bPartial; }
    // The folders the last walk entered or passed over (CDirectoryScanner::m_folders).
    const std::vector<FolderSeen>& FoldersSeen() const { return m_foldersSeen; }

    // The fingerprints this search computes: both.
    DetailsRequest m_details;
    // How the files are read (first looks and fingerprints). Replaceable so that tests can
    // stand in for the disk: slow reads, fixed fingerprints.
    ContentReader m_read = DiskContentReader();
    // How the possible copies are opened for the read that compares them byte by byte (and
    // gives their CRC and sum). Replaceable so that tests can drive the grouping with records
    // that have no files, or files that change while they are read.
    BlockOpener m_open = DiskBlockOpener();
    // How many bytes of small files their first looks may keep at once, for the read that
    // compares them to take instead of opening them again (0: none; every such file is opened
    // through m_open).
    std::size_t m_keepBudget = FingerprintWorker::kKeptFirstLooks;
    // What kind of disk holds a device's files: on a spinning disk one file is read at a time.
    // Replaceable so that tests can stand in for the system's description of its disks.
    std::function<platform::DiskKind(std::uint64_t device)> m_diskKind =
        [](std::uint64_t device) { return platform::KindOfDisk(device); };
    // How a disk that says it spins is measured (replaceable so that tests can stand in for
    // its answers).
    DiskMeasure m_measureDisk = MeasureUncachedReads;
    // Files read at once on every disk, as the user set it (0: decided per disk; the reading
    // threads are then one per core).
    int m_readers = 0;
    // What the last search decided for each disk it read.
    const std::vector<DiskDecision>& Disks() const { return m_disks; }
    // What earlier searches learnt (not owned; null: none): the classes it can answer are
    // listed without a read, and what this search reads is learnt. `m_verify` (Run takes it
    // from the options' verifyCached): every class is read all the same.
    FingerprintCache* m_cache = nullptr;
    bool m_verify = false;
    // A file changed less than this long before the search looked is not learnt: a change in
    // the same tick of the clock after its read would leave every field the cache compares as
    // it was. (Tests shorten it.)
    std::int64_t m_cacheSettleNs = std::int64_t{2} * 1000000000;
    // Groups the last search listed from the cache.
    int GroupsFromCache() const { return m_groupsFromCache; }

private:
    // Finds the groups of the size class `cls` of `records`, whose files are at `base` in
    // `worker`'s list and whose class there is `workerClass`.
    void GroupClass(RecordList& records, SizeClass cls, FingerprintWorker& worker,
                    std::size_t base, std::size_t workerClass,
                    std::unordered_map<std::size_t, std::vector<std::size_t>>& groups,
                    std::vector<char>& taken);
    // Moves the group of `head` and `members` into `results` and tells the sink the totals.
    void ListGroup(RecordList& records, std::size_t head, const std::vector<std::size_t>& members,
                   std::vector<char>& taken, ResultsModel& results);
    void ReportUnreadable(const CFileRecord& record);
    bool Cancelled() const { return m_pProgress != nullptr && m_pProgress->Cancelled(); }

    ProgressSink* m_pProgress;
    int m_nStartFoldersOpened = 0;
    std::int64_t m_nFilesSeen = 0;
    std::int64_t m_nFilesLeftOut = 0;
    bool m_bPartial = false;
    std::vector<DiskDecision> m_disks;
    int m_groupsFromCache = 0;
    std::vector<FolderSeen> m_foldersSeen;
};
