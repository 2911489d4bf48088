// Restoring from the recycle bin: each drive's bin ("X:\$Recycle.Bin\<user>\") keeps a file as
// "$R<id>" beside its record "$I<id>" (format 1: the path in 260 UTF-16 units; format 2: its
// length, then the path), which names the original path, the size and the deletion time.
#include "platform/trash_restore.h"
#include "platform/win32/win32.h"

#include <cstring>
#include <fstream>
#include <vector>

namespace platform {

namespace {

std::string Utf8(const std::wstring& wide) {
    if (wide.empty()) return std::string();
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                        nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), &out[0], n,
                          nullptr, nullptr);
    return out;
}

// The original path and deletion time of a "$I" record; false when it cannot be read.
bool ReadRecord(const std::string& path, std::string* original, std::int64_t* deleted) {
    std::ifstream in(path, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
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
    *original = Utf8(wide);
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
    WIN32_FIND_DATAA folder;
    HANDLE folders = ::FindFirstFileA((bin + "*").c_str(), &folder);
    if (folders == INVALID_HANDLE_VALUE) return RestoreResult::kNotInTrash;
    do {
        if (!(folder.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || folder.cFileName[0] == '.')
            continue;
        const std::string dir = bin + folder.cFileName + "\\";
        WIN32_FIND_DATAA record;
        HANDLE records = ::FindFirstFileA((dir + "$I*").c_str(), &record);
        if (records == INVALID_HANDLE_VALUE) continue;
        do {
            std::string original;
            std::int64_t deleted = 0;
            if (ReadRecord(dir + record.cFileName, &original, &deleted) &&
                ::lstrcmpiA(original.c_str(), file.original.c_str()) == 0 &&
                (bestInfo.empty() || deleted > bestTime)) {
                bestInfo = dir + record.cFileName;
                bestTime = deleted;
            }
        } while (::FindNextFileA(records, &record));
        ::FindClose(records);
    } while (::FindNextFileA(folders, &folder));
    ::FindClose(folders);
    if (bestInfo.empty()) return RestoreResult::kNotInTrash;

    const std::string::size_type slash = bestInfo.rfind('\\');
    const std::string trashFile = bestInfo.substr(0, slash + 1) + "$R" + bestInfo.substr(slash + 3);
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(trashFile.c_str(), GetFileExInfoStandard, &data))
        return RestoreResult::kNotInTrash;
    const std::uint64_t size =
        (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    if ((data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || size != file.size ||
        FromWinFileTime(data.ftLastWriteTime) != file.lastWrite)
        return RestoreResult::kChanged;
    // Without MOVEFILE_REPLACE_EXISTING: never over a file that took the name meanwhile.
    if (!::MoveFileExA(trashFile.c_str(), file.original.c_str(), 0)) {
        const DWORD code = ::GetLastError();
        if (code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS)
            return RestoreResult::kNameTaken;
        if (error != nullptr) *error = static_cast<int>(code);
        return RestoreResult::kFailed;
    }
    ::DeleteFileA(bestInfo.c_str());
    return RestoreResult::kRestored;
}

}  // namespace platform
