#include "platform/empty_folders.h"

#include "platform/file_time.h"
#include "platform/win32/win32.h"

namespace platform {

namespace {

std::int64_t Nanos(const FILETIME& t) {
    const std::int64_t ticks = (static_cast<std::int64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
    return (ticks - kUnixEpochAsFileTime) * 100;
}

FILETIME Ticks(std::int64_t nanos) {
    const std::int64_t ticks = nanos / 100 + kUnixEpochAsFileTime;
    FILETIME t;
    t.dwLowDateTime = static_cast<DWORD>(ticks & 0xffffffff);
    t.dwHighDateTime = static_cast<DWORD>(static_cast<std::uint64_t>(ticks) >> 32);
    return t;
}

}  // namespace

bool ReadFolderState(const std::string& path, RemovedFolder* out) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(FilePath(path).c_str(), GetFileExInfoStandard, &data)) return false;
    // A junction or a link to a folder is no folder of ours.
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        ::SetLastError(ERROR_DIRECTORY);
        return false;
    }
    out->path = path;
    out->mode = 0;
    out->attributes = data.dwFileAttributes;
    out->accessTime = Nanos(data.ftLastAccessTime);
    out->writeTime = Nanos(data.ftLastWriteTime);
    return true;
}

int RemoveEmptyFolder(const std::string& path, RemovedFolder* removed) {
    if (!ReadFolderState(path, removed)) return static_cast<int>(::GetLastError());
    // A read-only folder can be removed on Windows; one that holds anything cannot.
    if (!::RemoveDirectoryW(FilePath(path).c_str())) return static_cast<int>(::GetLastError());
    return 0;
}

int MakeFolderAgain(const RemovedFolder& folder) {
    if (!::CreateDirectoryW(FilePath(folder.path).c_str(), nullptr)) {
        const DWORD code = ::GetLastError();
        if (code != ERROR_ALREADY_EXISTS) return static_cast<int>(code);
        const DWORD attributes = ::GetFileAttributesW(FilePath(folder.path).c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0
                   ? 0
                   : static_cast<int>(code);
    }
    const DWORD kept = folder.attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                            FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
    if (kept != 0 && !::SetFileAttributesW(FilePath(folder.path).c_str(), kept | FILE_ATTRIBUTE_DIRECTORY))
        return static_cast<int>(::GetLastError());
    return 0;
}

int SetFolderTimes(const RemovedFolder& folder) {
    HANDLE h = ::CreateFileW(FilePath(folder.path).c_str(), FILE_WRITE_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                             nullptr);
    if (h == INVALID_HANDLE_VALUE) return static_cast<int>(::GetLastError());
    const FILETIME access = Ticks(folder.accessTime), write = Ticks(folder.writeTime);
    const bool set = ::SetFileTime(h, nullptr, &access, &write) != 0;
    const DWORD code = ::GetLastError();
    ::CloseHandle(h);
    return set ? 0 : static_cast<int>(code);
}

}  // namespace platform
