// Turns start paths and a file-mask text into file records: expands the local-disk keyword and
// server names, walks every start folder depth-first (the files of a folder
// before its subfolders), and records every file that the masks admit and the filter keeps.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/search/file_record.h"
#include "engine/search/folder_listers.h"
#include "engine/search/mask_list.h"
#include "engine/search/progress_sink.h"
#include "engine/search/search_filter.h"
#include "platform/file_find.h"

using RecordList = std::vector<std::unique_ptr<CFileRecord>>;

// What the walk saw of one folder it entered: whether every file in it became a record, so
// that the folder's records stand for all it holds.
struct FolderSeen {
    std::string path;  // ending in the separator
    std::uint32_t files = 0;  // the records taken from it (not from its subfolders)
    // Every entry listed was a file taken as a record (none left out by the masks or filters,
    // none whose facts were refused, no listing error), and every subfolder was entered.
    bool whole = true;
};

// True when the mask list `maskString` (";"-separated) has exclude parts ("~...") and no
// include part: the scanner would then admit no file at all.
bool MaskAdmitsNothing(const std::string& maskString);

class CDirectoryScanner {
public:
    // `progress` (may be null, not owned) shows the folder being read and the running count,
    // hears of every place passed over, and stops the walk when it says so.
    explicit CDirectoryScanner(ProgressSink* progress);

    // Compiles `maskString` once, then scans every start path spec of `paths` (empty ones are
    // skipped), appending one record per accepted file to `records`. `filter` (may be null)
    // leaves files out. Returns the number of records.
    int ScanPathList(RecordList& records, const std::vector<std::string>& paths,
                     const std::string& maskString, const SearchFilter* filter);
    // One start path spec with the compiled masks: a folder, the local-disk keyword or a server
    // name.
    void ScanPathSpec(RecordList& records, const std::string& spec, const SearchFilter* filter);
    // One start folder: the masks' folder parts are matched below it.
    void ScanRootFolder(RecordList& records, const std::string& folder,
                        const SearchFilter* filter);
    // Walks `folder` and everything below it; a folder that cannot be opened (or a start folder
    // on a virtual file system) is passed over and reported.
    void WalkFolder(RecordList& records, const std::string& folder, const SearchFilter* filter);
    // Compiles the mask pieces of `maskString` into m_masks (MaskList::Build).
    void BuildMaskList(const std::string& maskString);
    // The include/exclude decision for one file (MaskList::IsAdmitted).
    bool IsAdmitted(const std::string& fullPath);

    MaskList m_masks;
    ProgressSink* m_pProgressDlg;
    int m_nFolderCount = 0;  // folders entered under the current start folder, itself included
    int m_nStartFoldersOpened = 0;  // start folders of the last ScanPathList that could be read
    // Files listed in the folders walked, and those of them the masks or the filter left out.
    std::int64_t m_nFilesSeen = 0;
    std::int64_t m_nFilesLeftOut = 0;
    // Every folder entered, in the order walked (a folder before those below it), and those
    // passed over (whole false).
    std::vector<FolderSeen> m_folders;

    // Threads that list folders ahead of the walk (-1: one per core; 0: the walk lists each
    // itself). The records and their order are the same whatever the number.
    int m_listers = -1;

private:
    bool Cancelled() const { return m_pProgressDlg != nullptr && m_pProgressDlg->Cancelled(); }

    // Shares the listing of large folders; made by the first listing, its thread ends with
    // the scanner.
    std::unique_ptr<platform::StatHelper> m_statHelper;

    // True (and named as passed over) when `folder` is a stacked mount whose layers are
    // searched through another start path.
    bool SearchedElsewhere(SkipKind kind, const std::string& folder);
    // Every folder the scan's start paths name, for SearchedElsewhere.
    std::vector<std::string> m_roots;
    // Records the admitted files of the listed `folder` and names what it could not read.
    void TakeFolder(RecordList& records, const FolderListing& listing, const std::string& folder,
                    const SearchFilter* filter);
};

// Expands the local-disk keyword and a bare server name into `out`, one folder (ending in the
// separator) per disk or share. Returns 1 when `out` holds a folder, 0 when the start path is
// to be walked as it stands (no ";" is split: it may be part of a folder's name).
int ExpandPathSpec(const std::string& spec, std::vector<std::string>& out);
// The roots of the fixed disks into `roots` when `spec` is the local-disk keyword (ASCII
// letters compared without case). Returns the number of disks.
int ExpandLocalDrives(const std::string& spec, std::vector<std::string>& roots);
// The folders of the disk shares of a bare server name (two separators, a name, at most one
// more separator) into `shares`. Returns 1 when the shares could be enumerated (`shares` may
// hold some listed before a failure).
int ExpandServerShares(const std::string& spec, std::vector<std::string>& shares);
// True for the keyword and for a bare server name: specs that name places, not a folder.
bool IsPlaceKeyword(const std::string& spec);
