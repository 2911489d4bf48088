// Settling what an interrupted action left: plain calls on names and the journal file. The
// recycle bin keeps records of its own: there are no unfinished ones to find.
#include <cerrno>

#include "platform/file_delete.h"
#include "platform/leftover_files.h"
#include "platform/win32/win32.h"

namespace platform {

namespace {

std::string Parent(const std::string& path) {
    const std::string::size_type at = path.find_last_of("\\/");
    return at == std::string::npos ? std::string() : path.substr(0, at);
}

bool MakeFolders(const std::string& path) {
    if (path.empty()) return true;
    const DWORD attributes = ::GetFileAttributesW(FilePath(path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (!MakeFolders(Parent(path))) return false;
    return ::CreateDirectoryW(FilePath(path).c_str(), nullptr) != 0 ||
           ::GetLastError() == ERROR_ALREADY_EXISTS;
}

}  // namespace

std::uint64_t CurrentProcessId() { return ::GetCurrentProcessId(); }

bool ProcessRunning(std::uint64_t id) {
    if (id == 0 || id > 0xffffffffULL) return false;
    HANDLE process = ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(id));
    if (process == nullptr) return ::GetLastError() == ERROR_ACCESS_DENIED;
    DWORD code = 0;
    const bool running = ::GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
    ::CloseHandle(process);
    return running;
}

int RenameNoReplace(const std::string& from, const std::string& to) {
    if (::MoveFileExW(FilePath(from).c_str(), FilePath(to).c_str(), 0)) return 0;
    const DWORD code = ::GetLastError();
    return code == ERROR_ALREADY_EXISTS || code == ERROR_FILE_EXISTS ? EEXIST
                                                                       : static_cast<int>(code);
}

int RemoveEntry(const std::string& path) {
    return ::DeleteFileW(FilePath(path).c_str()) ? 0 : static_cast<int>(::GetLastError());
}

bool EntryIdentity(const std::string& path, FileIdentity* out) {
    HANDLE h = ::CreateFileW(FilePath(path).c_str(), FILE_READ_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info;
    const bool ok = ::GetFileInformationByHandle(h, &info) != 0 &&
                    (info.dwFileAttributes &
                     (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) == 0;
    ::CloseHandle(h);
    if (!ok) return false;
    *out = FileIdentity();
    out->device = info.dwVolumeSerialNumber;
    out->inode = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    out->size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    return true;
}

std::vector<std::string> SpareNamesIn(const std::string& folder, std::size_t limit) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW data;
    HANDLE find = ::FindFirstFileW(FilePath(folder + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (names.size() >= limit) break;
        const std::string name = Narrow(data.cFileName);
        if (IsSpareName(name, nullptr)) names.push_back(name);
    } while (::FindNextFileW(find, &data));
    ::FindClose(find);
    return names;
}

std::vector<std::string> TrashFoldersOf(const std::vector<std::string>& /*folders*/) {
    return std::vector<std::string>();
}

std::vector<UnfinishedTrashRecord> UnfinishedTrashRecords(const std::string& /*trash*/,
                                                          std::size_t /*limit*/) {
    return std::vector<UnfinishedTrashRecord>();
}

bool RemoveUnfinishedTrashRecord(const UnfinishedTrashRecord& /*record*/) { return false; }

bool AppendToFile(const std::string& path, const std::string& text) {
    if (!MakeFolders(Parent(path))) return false;
    // Appending access: each write goes to the end, whoever else appends.
    HANDLE h = ::CreateFileW(FilePath(path).c_str(), FILE_APPEND_DATA,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = ::WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
                    written == text.size();
    ::CloseHandle(h);
    return ok;
}

bool EditFile(const std::string& path, std::size_t limit,
              const std::function<std::string(const std::string&)>& edit) {
    HANDLE h = ::CreateFileW(FilePath(path).c_str(), GENERIC_READ,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return ::GetLastError() == ERROR_FILE_NOT_FOUND;
    std::string text;
    char buffer[65536];
    DWORD got = 0;
    while (text.size() < limit && ::ReadFile(h, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    ::CloseHandle(h);
    if (text.size() > limit) text.resize(limit);
    const std::string changed = edit(text);
    if (changed == text) return true;
    const std::string fresh = path + ".new";
    HANDLE out = ::CreateFileW(FilePath(fresh).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = ::WriteFile(out, changed.data(), static_cast<DWORD>(changed.size()), &written,
                          nullptr) &&
              written == changed.size() && ::FlushFileBuffers(out);
    ::CloseHandle(out);
    ok = ok && ::MoveFileExW(FilePath(fresh).c_str(), FilePath(path).c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) ::DeleteFileW(FilePath(fresh).c_str());
    return ok;
}

}  // namespace platform
