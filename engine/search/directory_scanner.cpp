#include "engine/search/directory_scanner.h"

#include "engine/text/string_table.h"
#include "engine/text/text_helpers.h"
#include "engine/search/file_record.h"
#include "engine/search/folder_listers.h"
#include "platform/drives.h"
#include "platform/error_text.h"
#include "platform/file_find.h"

namespace {

constexpr char kSep = platform::kPathSeparator;

std::string WithSeparator(std::string folder) {
    if (folder.empty() || folder.back() != kSep) folder += kSep;
    return folder;
}

bool IsLocalDrivesKeyword(const std::string& spec) {
    // The keyword in the interface's language, and the original one whatever the language.
    return EqualsIgnoringAsciiCase(spec, LoadStringText(IDS_LOCAL_HARD_DISKS)) ||
           EqualsIgnoringAsciiCase(spec, LoadOriginalText(IDS_LOCAL_HARD_DISKS));
}

// Two separators, a name, and at most one further separator (at its end or inside).
bool IsServerSpec(const std::string& spec) {
    if (spec.size() < 3 || spec[0] != kSep || spec[1] != kSep) return false;
    const std::string rest = spec.substr(2);
    return rest[0] != kSep && rest.find(kSep) == rest.rfind(kSep);
}

}  // namespace

bool IsPlaceKeyword(const std::string& spec) {
    return IsLocalDrivesKeyword(spec) || IsServerSpec(spec);
}

int ExpandLocalDrives(const std::string& spec, std::vector<std::string>& roots) {
    roots.clear();
    if (!IsLocalDrivesKeyword(spec)) return 0;
    roots = platform::LocalFixedDiskRoots();
    return static_cast<int>(roots.size());
}

int ExpandServerShares(const std::string& spec, std::vector<std::string>& shares) {
    shares.clear();
    if (!IsServerSpec(spec)) return 0;
    std::string server = spec.substr(2);
    if (!server.empty() && server.back() == kSep) server.pop_back();
    // A name like "server/share" is one share, not a server: only bare names are expanded.
    if (server.find(kSep) != std::string::npos) return 0;
    const bool ok = platform::ServerDiskShares(server, &shares);
    return ok ? 1 : 0;
}

int ExpandPathSpec(const std::string& spec, std::vector<std::string>& out) {
    out.clear();
    std::vector<std::string> places;
    if (ExpandLocalDrives(spec, places) == 0) ExpandServerShares(spec, places);
    // Shares listed before the enumeration failed are still walked.
    for (const std::string& place : places)
        if (!place.empty()) out.push_back(WithSeparator(place));
    return out.empty() ? 0 : 1;
}

CDirectoryScanner::CDirectoryScanner(ProgressSink* progress) : m_pProgressDlg(progress) {}

int CDirectoryScanner::ScanPathList(RecordList& records, const std::vector<std::string>& paths,
                                    const std::string& maskString, const SearchFilter* filter) {
    m_nStartFoldersOpened = 0;
    m_nFilesSeen = m_nFilesLeftOut = 0;
    // One reading of the mount table and one compilation of the masks serve the whole scan.
    platform::MountTableScope mounts;
    BuildMaskList(maskString);
    m_roots.clear();
    for (const std::string& spec : paths) {
        std::vector<std::string> folders;
        if (ExpandPathSpec(spec, folders) == 1) m_roots.insert(m_roots.end(), folders.begin(), folders.end());
        else if (!spec.empty() && !IsLocalDrivesKeyword(spec)) m_roots.push_back(spec);
    }
    for (const std::string& spec : paths) {
        if (spec.empty()) continue;  // an empty element of the start path list names nothing
        if (Cancelled()) break;
        ScanPathSpec(records, spec, filter);
    }
    return static_cast<int>(records.size());
}

void CDirectoryScanner::ScanPathSpec(RecordList& records, const std::string& spec,
                                     const SearchFilter* filter) {
    std::vector<std::string> folders;
    if (ExpandPathSpec(spec, folders) == 1) {
        for (const std::string& folder : folders) {
            if (Cancelled()) break;
            ScanRootFolder(records, folder, filter);
        }
        return;
    }
    // The keyword that yielded nothing is no folder to walk. A server name without a share
    // mounted is walked as the path it also is ("//tmp/x" is "/tmp/x" on POSIX): it is found,
    // or named with the system's reason.
    if (spec.empty() || IsLocalDrivesKeyword(spec)) return;
    ScanRootFolder(records, spec, filter);
}

void CDirectoryScanner::ScanRootFolder(RecordList& records, const std::string& folder,
                                       const SearchFilter* filter) {
    m_masks.SetScanRoot(folder);
    m_nFolderCount = 1;
    WalkFolder(records, folder, filter);
}

bool MaskAdmitsNothing(const std::string& maskString) {
    std::vector<std::string> pieces;
    SplitString(maskString, pieces, ";");
    bool excludes = false;
    for (const std::string& piece : pieces) {
        if (piece.empty()) continue;
        if (piece[0] != '~') return false;
        if (piece.size() > 1) excludes = true;
    }
    return excludes;
}

void CDirectoryScanner::BuildMaskList(const std::string& maskString) { m_masks.Build(maskString); }

bool CDirectoryScanner::IsAdmitted(const std::string& fullPath) { return m_masks.IsAdmitted(fullPath); }

void CDirectoryScanner::WalkFolder(RecordList& records, const std::string& folder,
                                   const SearchFilter* filter) {
    if (m_pProgressDlg != nullptr) m_pProgressDlg->SetStatus(folder);
    const std::string root = WithSeparator(platform::NormalisedSeparators(folder));
    int error = 0;
    std::unique_ptr<platform::FolderHandle> start = platform::FolderHandle::OpenStart(root, &error);
    if (start && start->IsVirtualFileSystem()) {
        if (m_pProgressDlg != nullptr)
            m_pProgressDlg->Skipped(SkipKind::kStartPath, folder,
                                    LoadStringText(IDS_VIRTUAL_FILE_SYSTEM));
        return;
    }
    if (!start) {
        if (m_pProgressDlg != nullptr)
            m_pProgressDlg->Skipped(SkipKind::kStartPath, folder, CFileRecord::ErrorCodeText(error));
        return;
    }
    if (SearchedElsewhere(SkipKind::kStartPath, folder)) return;
    ++m_nStartFoldersOpened;

    if (!m_statHelper) m_statHelper = std::make_unique<platform::StatHelper>();
    FolderListers listers(m_listers < 0 ? FolderListers::ForCores() : m_listers, m_roots,
                          m_statHelper.get());
    // Depth-first with a stack of its own, so that the deepest tree the file system allows
    // cannot exhaust the call stack. Each level holds the subfolders still to walk, in the
    // order the folder listed them. Each is opened from its parent's handle, never by a path
    // that a link swapped in could redirect.
    struct Level {
        FolderJobs subfolders;
        std::size_t next = 0;
    };
    std::vector<Level> stack(1);
    {
        FolderListing listing;
        stack.back().subfolders = listers.ListStart(std::move(start), root, &listing);
        TakeFolder(records, listing, root, filter);
    }
    while (!stack.empty()) {
        Level& top = stack.back();
        if (top.next >= top.subfolders.size() || Cancelled()) {
            stack.pop_back();
            continue;
        }
        const std::shared_ptr<FolderJob> sub = std::move(top.subfolders[top.next++]);
        if (m_pProgressDlg != nullptr) m_pProgressDlg->SetStatus(sub->Path());
        listers.Take(*sub);
        const FolderListing& listing = sub->Listing();
        if (!listing.opened || listing.virtualFs || listing.elsewhere)
            m_folders.push_back({sub->Path(), 0, false});
        if (!listing.opened) {
            if (m_pProgressDlg != nullptr)
                m_pProgressDlg->Skipped(SkipKind::kFolder, sub->Path(),
                                        CFileRecord::ErrorCodeText(listing.openError));
            continue;
        }
        if (listing.virtualFs) continue;
        if (listing.elsewhere) {
            if (m_pProgressDlg != nullptr)
                m_pProgressDlg->Skipped(SkipKind::kFolder, sub->Path(),
                                        LoadStringText(IDS_SEARCHED_ELSEWHERE));
            continue;
        }
        ++m_nFolderCount;
        TakeFolder(records, listing, sub->Path(), filter);
        Level level;
        level.subfolders = sub->TakeSubfolders();
        stack.push_back(std::move(level));
    }
}

bool CDirectoryScanner::SearchedElsewhere(SkipKind kind, const std::string& folder) {
    // An overlay beside its own lower or upper folder would list each file twice, under two
    // devices; deleting the "duplicate" in the lower folder empties the overlay's view.
    if (!platform::IsStackedOverSearched(folder, m_roots)) return false;
    if (m_pProgressDlg != nullptr)
        m_pProgressDlg->Skipped(kind, folder, LoadStringText(IDS_SEARCHED_ELSEWHERE));
    return true;
}

void CDirectoryScanner::TakeFolder(RecordList& records, const FolderListing& listing,
                                   const std::string& folder, const SearchFilter* filter) {
    // Every record of this folder shares one copy of its path and of the names.
    FolderRef sharedFolder;
    const std::size_t before = records.size();
    m_folders.push_back({folder, 0, listing.listError == 0 && listing.unreadable.empty()});
    const std::size_t seen = m_folders.size() - 1;
    if (listing.listError != 0 && m_pProgressDlg != nullptr)
        m_pProgressDlg->Skipped(SkipKind::kFolder, folder,
                                CFileRecord::ErrorCodeText(listing.listError));
    // Entries whose facts the system refused are there all the same: named, never dropped.
    if (m_pProgressDlg != nullptr)
        for (const auto& entry : listing.unreadable)
            if (IsAdmitted(folder + entry.first))
                m_pProgressDlg->Skipped(SkipKind::kFile, folder + entry.first,
                                        CFileRecord::ErrorCodeText(entry.second));
    for (const platform::FindData& fd : listing.files) {
        if (Cancelled()) break;
        const std::string fullPath = folder + fd.cFileName;
        ++m_nFilesSeen;
        if (!IsAdmitted(fullPath) || (filter != nullptr && filter->Rejects(fd))) {
            ++m_nFilesLeftOut;
            continue;
        }
        // (A new one past 2^31 bytes of names, so that every offset fits the record.)
        if (!sharedFolder || sharedFolder->Size() > 0x7FFFFFFFu) {
            if (sharedFolder) sharedFolder->Done();
            sharedFolder = FolderRef(std::make_unique<FolderNames>(folder));
        }
        records.push_back(std::make_unique<CFileRecord>(fd, sharedFolder));
        // Counts only: the sink makes the text when it shows it.
        if (m_pProgressDlg != nullptr)
            m_pProgressDlg->FilesFound(static_cast<int>(records.size()), m_nFolderCount);
    }
    if (sharedFolder) sharedFolder->Done();
    m_folders[seen].files = static_cast<std::uint32_t>(records.size() - before);
    if (records.size() - before != listing.files.size()) m_folders[seen].whole = false;
}
