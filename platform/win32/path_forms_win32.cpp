#include <algorithm>
#include <cctype>

#include "platform/path_forms.h"
#include "platform/win32/win32.h"

namespace platform {

namespace {

constexpr char kSep = '\\';

}  // namespace

std::string CurrentFolder() {
    const DWORD length = GetCurrentDirectoryW(0, nullptr);
    if (length == 0) return std::string();
    std::wstring buffer(length, L'\0');
    const DWORD written = GetCurrentDirectoryW(length, &buffer[0]);
    if (written == 0 || written >= length) return std::string();
    buffer.resize(written);
    return Narrow(buffer);
}

std::size_t PathRootLength(const std::string& path) {
    if (path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) &&
        path[1] == ':' && path[2] == kSep) {
        return 3;
    }
    if (path.size() >= 2 && path[0] == kSep && path[1] == kSep) {
        // The server and the share belong to the root.
        std::size_t at = path.find(kSep, 2);
        if (at != std::string::npos) at = path.find(kSep, at + 1);
        return at == std::string::npos ? path.size() : at + 1;
    }
    // A path starting with one separator is rooted on the current drive.
    return !path.empty() && path[0] == kSep ? 1 : 0;
}

std::string DriveRelativeOnBase(std::string path, const std::string& base) {
    std::replace(path.begin(), path.end(), '/', kSep);
    // \x and C:x name the drive of the base, or its current folder: taken from the base.
    if (PathRootLength(path) == 1 && PathRootLength(base) == 3) path = base.substr(0, 2) + path;
    if (path.size() >= 2 && path[1] == ':' && PathRootLength(path) == 0 && !base.empty() &&
        std::toupper(static_cast<unsigned char>(base[0])) ==
            std::toupper(static_cast<unsigned char>(path[0]))) {
        path = path.substr(2);
    }
    return path;
}

bool IsExistingNonFolder(const std::string& path) {
    const DWORD attributes = GetFileAttributesW(FilePath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace platform
