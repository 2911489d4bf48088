#include "platform/temp_file.h"
#include "platform/win32/win32.h"

namespace platform {

std::string TempFolder() {
    char buf[MAX_PATH + 1] = {};
    const DWORD n = ::GetTempPathA(sizeof buf, buf);
    if (n == 0 || n > MAX_PATH) return std::string();
    std::string folder(buf, n);
    if (folder.back() != '\\') folder += '\\';
    return folder;
}

std::string CreateTempFile(const std::string& prefix) {
    if (prefix.find_first_of("\\/") != std::string::npos) return std::string();
    const std::string folder = TempFolder();
    if (folder.empty()) return std::string();
    char buf[MAX_PATH + 1] = {};
    // A unique number of 0 makes the system pick a free name and create the file.
    if (::GetTempFileNameA(folder.c_str(), prefix.c_str(), 0, buf) == 0) return std::string();
    return buf;
}

}  // namespace platform
