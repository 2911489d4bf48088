// Restoring from the recycle bin: each drive's bin ("X:\$Recycle.Bin\<user>\") keeps a file as
// "$R<id>" beside its record "$I<id>" (format 1: the path in 260 UTF-16 units; format 2: its
// length, then the path), which names the original path, the size and the deletion time.
#include "platform/trash_restore.h"
#include "platform/win32/win32.h"

#include <cstring>
#include <vector>

namespace platform {

namespace {

// The whole of a small file (a record is a few hundred bytes); empty when it cannot be read.
std::vector<char> ReadSmallFile(const std::string& path) {
    std::vector<char> bytes;
    HANDLE file = ::CreateFileW(FilePath(path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char buffer[4096];
    DWORD got = 0;
    while (bytes.size() < (1u << 16) && ::ReadFile(file, buffer, sizeof buffer, &got, nullptr) &&
           got > 0)
        bytes.insert(bytes.end(), buffer, buffer + got);
    ::CloseHandle(file);
    return bytes;
}

// The original path and deletion time of a "$I" record; false when it cannot be read.
bool ReadRecord(const std::string& path, std::string* original, std::int64_t* deleted) {
    const std::vector<char> bytes = ReadSmallFile(path);
    if (bytes.size() < 24) return false;
    std::int64_t version = 0;
    std::memcpy(&version, bytes.data(), 8);
    std::memcpy(deleted, bytes.data() + 16, 8);
    std::size_t start = 24, units = 260;
    if (version == 2) {
        if (bytes.size() < 28) return false;
        std::uint32_t length = 0;
        std::memcpy(&length, bytes.data() + 24, 4);
        start = 28;
        units = length;
    } else if (version != 1) {
        return false;
    }
    if (bytes.size() < start + units * 2) units = (bytes.size() - start) / 2;
    std::wstring wide(units, L'\0');
    std::memcpy(&wide[0], bytes.data() + start, units * 2);
    wide.resize(wcsnlen(wide.c_str(), wide.size()));
    *original = Narrow(wide);
    return true;
}

}  // namespace

RestoreResult RestoreTrashedFile(const TrashedFile& file, int* error) {
    if (error != nullptr) *error = 0;
    if (file.original.size() < 3 || file.original[1] != ':') return RestoreResult::kNotInTrash;
    const std::string bin = file.original.substr(0, 3) + "$Recycle.Bin\\";
    // The newest record of the path in any bin folder this user may read.
    std::string bestInfo;
    std::int64_t bestTime = 0;
    WIN32_FIND_DATAW folder;
    HANDLE folders = ::FindFirstFileW(FilePath(bin + "*").c_str(), &folder);
    if (folders == INVALID_HANDLE_VALUE) return RestoreResult::kNotInTrash;
    do {
        if (!(folder.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || folder.cFileName[0] == L'.')
            continue;
        const std::string dir = bin + Narrow(folder.cFileName) + "\\";
        WIN32_FIND_DATAW record;
        HANDLE records = ::FindFirstFileW(FilePath(dir + "$I*").c_str(), &record);
        if (records == INVALID_HANDLE_VALUE) continue;
        do {
            std::string original;
            std::int64_t deleted = 0;
            const std::string info = dir + Narrow(record.cFileName);
            if (ReadRecord(info, &original, &deleted) &&
                ::CompareStringOrdinal(Wide(original).c_str(), -1, Wide(file.original).c_str(), -1,
                                       TRUE) == CSTR_EQUAL &&
                (bestInfo.empty() || deleted > bestTime)) {
                bestInfo = info;
                bestTime = deleted;
            }
        } while (::FindNextFileW(records, &record));
        ::FindClose(records);
    } while (::FindNextFileW(folders, &folder));
    ::FindClose(folders);
    if (bestInfo.empty()) return RestoreResult::kNotInTrash;

    const std::string::size_type slash = bestInfo.rfind('\\');
    const std::string trashFile = bestInfo.substr(0, slash + 1) + "$R" + bestInfo.substr(slash + 3);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(FilePath(trashFile).c_str(), GetFileExInfoStandard, &data))
        return RestoreResult::kNotInTrash;
    const std::uint64_t size =
        (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || size != file.size ||
        FromWinFileTime(data.ftLastWriteTime) != file.lastWrite)
        return RestoreResult::kChanged;
    // Without MOVEFILE_REPLACE_EXISTING: never over a file that took the name meanwhile.
    if (!::MoveFileExW(FilePath(trashFile).c_str(), FilePath(file.original).c_str(), 0)) {
        const DWORD code = ::GetLastError();
        if (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS)
            return RestoreResult::kNameTaken;
        if (error != nullptr) *error = static_cast<int>(code);
        return RestoreResult::kFailed;
    }
    ::DeleteFileW(FilePath(bestInfo).c_str());
    return RestoreResult::kRestored;
}

}  // namespace platform
