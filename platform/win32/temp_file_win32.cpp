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

namespace {

// `wide` in the ANSI code page; "" when a character has no place there (the code page's
// default character would name another file).
std::string InCodePage(const std::wstring& wide) {
    if (wide.empty()) return std::string();
    BOOL lost = FALSE;
    const int n = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(),
                                        static_cast<int>(wide.size()), nullptr, 0, nullptr, &lost);
    if (n <= 0 || lost) return std::string();
    std::string narrow(static_cast<std::size_t>(n), '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                          &narrow[0], n, nullptr, &lost);
    return lost ? std::string() : narrow;
}

}  // namespace

std::string NarrowFilePath(const std::string& path) {
    const std::wstring wide = Wide(path);
    std::string narrow = InCodePage(wide);
    if (!narrow.empty()) return narrow;
    wchar_t buf[MAX_PATH + 1] = {};
    const DWORD n = ::GetShortPathNameW(wide.c_str(), buf, MAX_PATH + 1);
    if (n == 0 || n > MAX_PATH) return std::string();
    return InCodePage(std::wstring(buf, n));
}

}  // namespace platform
