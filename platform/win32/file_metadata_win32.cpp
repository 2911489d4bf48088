// Windows keeps a file's permissions in its security descriptor, which a copy made here gets
// from its folder: only the times and the attribute bits are carried over.
#include "platform/file_metadata.h"
#include "platform/win32/win32.h"

namespace platform {

namespace {

// FILETIME units (100 ns since 1601) and nanoseconds since 1970.
std::int64_t NanosFromFileTime(const LARGE_INTEGER& t) {
    return (static_cast<std::int64_t>(t.QuadPart) - kUnixEpochAsFileTime) * 100;
}

LONGLONG FileTimeFromNanos(std::int64_t ns) {
    return static_cast<LONGLONG>(ns / 100 + kUnixEpochAsFileTime);
}

}  // namespace

bool ReadMetadata(NativeFile file, FileMetadata* out, int* error) {
    FILE_BASIC_INFO info = {};
    if (!::GetFileInformationByHandleEx(static_cast<HANDLE>(file), FileBasicInfo, &info,
                                        sizeof info)) {
        const DWORD code = ::GetLastError();
        if (error != nullptr) *error = code != 0 ? static_cast<int>(code) : ERROR_READ_FAULT;
        return false;
    }
    *out = FileMetadata();
    out->attributes = info.FileAttributes;
    out->accessTime = NanosFromFileTime(info.LastAccessTime);
    out->writeTime = NanosFromFileTime(info.LastWriteTime);
    return true;
}

bool SameAccess(const FileMetadata&, const FileMetadata&) { return true; }

int ApplyMetadata(NativeFile file, const FileMetadata& m) {
    FILE_BASIC_INFO info = {};  // a time of 0 stays as it is
    info.LastAccessTime.QuadPart = FileTimeFromNanos(m.accessTime);
    info.LastWriteTime.QuadPart = FileTimeFromNanos(m.writeTime);
    info.FileAttributes = m.attributes != 0 ? m.attributes : FILE_ATTRIBUTE_NORMAL;
    if (!::SetFileInformationByHandle(static_cast<HANDLE>(file), FileBasicInfo, &info, sizeof info))
        return static_cast<int>(::GetLastError());
    return 0;
}

bool QueryFolderIdentity(const std::string& path, FileIdentity* out) {
    if (path.empty()) return false;
    // Backup semantics open folders; without FILE_FLAG_OPEN_REPARSE_POINT a junction is followed.
    HANDLE h = ::CreateFileW(FilePath(path).c_str(), FILE_READ_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info;
    const bool got = ::GetFileInformationByHandle(h, &info) != 0;
    ::CloseHandle(h);
    if (!got || (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return false;
    *out = FileIdentity();
    out->device = info.dwVolumeSerialNumber;
    out->inode = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return true;
}

std::string LinkedFolderTarget(const std::string&) { return std::string(); }

}  // namespace platform
