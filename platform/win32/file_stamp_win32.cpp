#include "platform/file_stamp.h"

#include <cstdio>

#include "platform/file_time.h"
#include "platform/win32/win32.h"

namespace platform {

bool QueryFileStamp(const std::string& path, FileStamp* out, int* error) {
    // Opened for its attributes only, not following a reparse point: nobody is kept out.
    HANDLE h = ::CreateFileW(FilePath(path).c_str(), FILE_READ_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        *error = static_cast<int>(::GetLastError());
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info;
    FILE_BASIC_INFO basic = {};
    const bool got = ::GetFileInformationByHandle(h, &info) != 0 &&
                     ::GetFileInformationByHandleEx(h, FileBasicInfo, &basic, sizeof basic) != 0;
    const DWORD code = ::GetLastError();
    ::CloseHandle(h);
    if (!got) {
        *error = code != 0 ? static_cast<int>(code) : ERROR_READ_FAULT;
        return false;
    }
    if ((info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) != 0) {
        *error = ERROR_INVALID_PARAMETER;
        return false;
    }
    const auto nanos = [](const LARGE_INTEGER& t) {
        return (static_cast<std::int64_t>(t.QuadPart) - kUnixEpochAsFileTime) * 100;
    };
    out->device = info.dwVolumeSerialNumber;
    out->inode = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    out->size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    out->writtenNs = nanos(basic.LastWriteTime);
    // A file system that keeps no change time gives 0: only the size and write time tell then.
    out->changedNs = nanos(basic.ChangeTime);
    return true;
}

std::string FileSystemName(std::uint64_t device, const std::string&) {
    // The volume serial is the volume's own, given when it was formatted.
    char text[32];
    std::snprintf(text, sizeof text, "vol:%08llx", static_cast<unsigned long long>(device));
    return text;
}

}  // namespace platform
