#include "platform/temp_file.h"
#include "platform/win32/win32.h"

namespace platform {

std::string TempFolder() {
    wchar_t buf[MAX_PATH + 2] = {};
    const DWORD n = ::GetTempPathW(MAX_PATH + 1, buf);
    if (n == 0 || n > MAX_PATH + 1) return std::string();
    std::string folder = Narrow(buf, n);
    if (folder.back() != '\\') folder += '\\';
    return folder;
}

std::string CreateTempFile(const std::string& prefix) {
    if (prefix.find_first_of("\\/") != std::string::npos) return std::string();
    const std::string folder = TempFolder();
    if (folder.empty()) return std::string();
    wchar_t buf[MAX_PATH + 1] = {};
    // A unique number of 0 makes the system pick a free name and create the file.
    if (::GetTempFileNameW(Wide(folder).c_str(), Wide(prefix).c_str(), 0, buf) == 0)
        return std::string();
    return Narrow(buf);
}

bool RemoveTempFile(const std::string& path) { return ::DeleteFileW(FilePath(path).c_str()) != 0; }

}  // namespace platform
