// Listing one folder, one entry at a time, in the order the file system returns them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_time.h"

namespace platform {

// Attribute bits as the file system reports them.
constexpr std::uint32_t kAttrReadOnly = 0x01;
constexpr std::uint32_t kAttrHidden = 0x02;
constexpr std::uint32_t kAttrSystem = 0x04;
constexpr std::uint32_t kAttrDirectory = 0x10;
constexpr std::uint32_t kAttrArchive = 0x20;
constexpr std::uint32_t kInvalidFileAttributes = 0xFFFFFFFFu;

// The folder separator of this platform, and the text form of it.
#ifdef _WIN32
constexpr char kPathSeparator = '\\';
#else
constexpr char kPathSeparator = '/';
#endif

// Whether two paths that differ only in letter case name one file.
#ifdef _WIN32
constexpr bool kPathsIgnoreCase = true;
#else
constexpr bool kPathsIgnoreCase = false;
#endif

// A folder separator as paths are written here (on Windows "/" too).
inline bool IsPathSeparator(char c) { return c == '/' || c == kPathSeparator; }

// `path` with "/" read as the separator where the separator is another byte (a typed
// "C:/Data" is "C:\Data" on Windows); unchanged where "/" is the separator.
inline std::string NormalisedSeparators(std::string path) {
    if (kPathSeparator != '/')
        for (char& c : path)
            if (c == '/') c = kPathSeparator;
    return path;
}

// What the file system tells about one entry of a folder. Times are UTC.
struct FindData {
    std::uint32_t dwFileAttributes = 0;
    FileTime ftCreationTime = 0;    // 0 when the file system keeps no creation time
    FileTime ftLastAccessTime = 0;
    FileTime ftLastWriteTime = 0;
    std::uint64_t nFileSize = 0;  // 0 for folders
    std::string cFileName;
    // Identity of the file, for telling two paths to one file apart from two files
    // (0 and 0 where the platform compares paths instead).
    std::uint64_t nDevice = 0;
    std::uint64_t nInode = 0;
};

// An open folder of a walk. Subfolders are opened from it, not by their path, so that a folder
// swapped for a link (or for another folder) while the walk runs is never entered, and paths
// longer than the system's limit are walked too.
class FolderHandle {
public:
    ~FolderHandle();
    FolderHandle(const FolderHandle&) = delete;
    FolderHandle& operator=(const FolderHandle&) = delete;

    // Opens the start folder `path` (ending in the separator or not) as the user named it: a
    // link the user names is followed, nothing below it is. Null with the system's error code
    // in *error when it cannot be opened as a folder.
    static std::unique_ptr<FolderHandle> OpenStart(const std::string& path, int* error);
    // Opens the subfolder `entry` that FileFinder listed in this folder, without following a
    // link; it must still be the folder that was listed (same device and inode), else the
    // result is null with kErrorReplaced. `path` is its full path, ending in the separator.
    std::unique_ptr<FolderHandle> OpenSub(const FindData& entry, const std::string& path,
                                          int* error) const;
    // True when the folder lies on a virtual file system (proc, sysfs, cgroup, ...), asked of
    // the file system itself: such folders are never walked (reading their files may never end).
    bool IsVirtualFileSystem() const;

private:
    FolderHandle() = default;
    friend class FileFinder;
    int m_fd = -1;       // POSIX: the open folder
    std::string m_path;  // the folder's path, ending in the separator
};

// A second thread that asks the system for half of the file facts of a large folder (most of a
// walk's time; two cores answer twice as fast). A walk owns one and lends it to its listings;
// the thread ends with the helper. Where the listing brings the facts with the names (Windows)
// it starts no thread.
class StatHelper {
public:
    StatHelper();
    ~StatHelper();
    StatHelper(const StatHelper&) = delete;
    StatHelper& operator=(const StatHelper&) = delete;

    struct Impl;

private:
    friend class FileFinder;
    std::unique_ptr<Impl> m_impl;
};

// Lists the entries of one folder, in the order the file system returns them. Only folders and
// regular files are reported: symbolic links, FIFOs, sockets and devices are skipped, so a
// walker never enters or reads them. "." and ".." are reported where the system has them.
class FileFinder {
public:
    // `helper` (may be null, not owned; it must outlive the finder) shares the work of large
    // folders.
    explicit FileFinder(StatHelper* helper = nullptr);
    ~FileFinder();
    FileFinder(const FileFinder&) = delete;
    FileFinder& operator=(const FileFinder&) = delete;

    // Starts listing `folder` (which ends in the separator). False when the folder cannot be
    // opened or holds nothing to report; then there is no current entry.
    bool First(const std::string& folder);
    // The same for a folder opened by handle (see FolderHandle).
    bool First(const FolderHandle& folder);
    // Moves to the next entry; false at the end or on an error.
    bool Next();
    // Why the last First failed: the system's error code (see platform/error_text.h), or 0
    // when the folder was opened and simply held nothing to report.
    int ErrorCode() const { return m_error; }
    // The current entry; valid after First or Next returned true.
    const FindData& Data() const { return m_data; }
    // The entries First found but could not ask about (the system refused their facts): name
    // and error code. They are never reported by Next, so the caller must name them.
    const std::vector<std::pair<std::string, int>>& Unreadable() const { return m_unreadable; }
    // Forgets the listing; also done by the destructor and by First. The folder itself is
    // read whole by First and closed before it returns, so a walk holds one open folder at a
    // time at most.
    void Close();

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
    StatHelper* m_helper;
    FindData m_data;
    int m_error = 0;
    std::vector<std::pair<std::string, int>> m_unreadable;
};

// Attributes of the file or folder at `path`, or kInvalidFileAttributes when it cannot be
// found. Symbolic links are not followed.
std::uint32_t GetFileAttributes(const std::string& path);

}  // namespace platform
