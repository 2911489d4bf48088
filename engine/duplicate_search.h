// The duplicate search: start paths and masks in, groups of identical files out. Files are
// sorted by size, largest first; files of equal size are compared by CRC-32 and byte sum,
// read only when another file has the same size.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/directory_scanner.h"
#include "engine/progress_sink.h"
#include "engine/results_model.h"
#include "engine/search_filter.h"

// What to search: the one set of options that the window and the command line both fill.
struct SearchOptions {
    std::string paths;          // start paths joined by ";"
    std::string mask = "*.*";   // mask pieces joined by ";", "~" excludes
    SearchFilter filter;
};

// Splits `text` at every `separator`: empty pieces between two separators are kept, a
// separator at the end adds nothing.
void SplitString(const std::string& text, std::vector<std::string>& out,
                 const std::string& separator);

// The pieces joined with `separator` between consecutive pieces (none after the last): the
// reverse of SplitString for lists without a trailing separator.
std::string JoinString(const std::vector<std::string>& pieces, const std::string& separator);

// A byte count as "N 字节", "N KB", "N.NN MB" or "N.NN GB".
std::string FormatSizeText(double bytes);

// The status-bar summary of a search ("发现 N 个重复文件 (size)"), or "" when it found nothing.
std::string SummaryText(int duplicateCount, std::int64_t duplicateBytes);

// True when two records name one file: the same device and inode on POSIX (overlapping start
// paths, hard links), the same path ignoring case on Windows. Removing one such record would
// free nothing, so they are never listed as duplicates of each other.
bool IsSameFile(const CFileRecord& a, const CFileRecord& b);

class DuplicateSearch {
public:
    enum Outcome {
        kCancelledWhileScanning,  // nothing listed; the summary is to stay as it was
        kFinished,                // the rows (all, or those found before a cancel) are listed
    };

    // `progress` (may be null, not owned) shows what happens; the search stops soon after
    // *cancelFlag (may be null) becomes nonzero.
    DuplicateSearch(ProgressSink* progress, const volatile int* cancelFlag);

    // The whole search: clears `results`, scans, sorts and groups.
    Outcome Run(const SearchOptions& options, ResultsModel& results);

    // Scans `paths` (each followed by the mask, as the scanner reads them) into `records` and,
    // unless cancelled, sorts them by size, largest first, keeping the scan order among equal
    // sizes. Returns false when cancelled.
    bool CollectFiles(RecordList& records, std::vector<std::string>& paths,
                      const std::string& mask, const SearchFilter* filter);

    // Moves every group of identical files from `records` into `results`, in the order of
    // their first files, and keeps the totals. Exactly the rows of comparing each remaining
    // file with the later files of its size, in near-linear time.
    void GroupDuplicates(RecordList& records, ResultsModel& results);

private:
    bool Cancelled() const { return m_pCancelFlag != nullptr && *m_pCancelFlag != 0; }

    ProgressSink* m_pProgress;
    const volatile int* m_pCancelFlag;
};
