// Favorites and desktop folders from the shell.
#include "platform/user_folders.h"
#include "platform/win32/win32.h"

#include <shlobj.h>

namespace platform {
namespace {

bool ShellFolder(int csidl, std::string* path) {
    wchar_t buffer[MAX_PATH];
    if (FAILED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer)))
        return false;
    std::string folder = Narrow(buffer);
    while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    if (folder.empty()) return false;
    *path = folder;
    return true;
}

}  // namespace

bool FavoritesFolder(std::string* path) {
    return ShellFolder(CSIDL_FAVORITES | CSIDL_FLAG_CREATE, path);
}

bool DesktopFolder(std::string* path) { return ShellFolder(CSIDL_DESKTOPDIRECTORY, path); }

std::string ApplicationDataFolder(const std::string& application) {
    std::string base;
    if (!ShellFolder(CSIDL_LOCAL_APPDATA | CSIDL_FLAG_CREATE, &base)) return std::string();
    const std::string folder = base + "\\" + application;
    if (!::CreateDirectoryW(Wide(folder).c_str(), nullptr) &&
        ::GetLastError() != ERROR_ALREADY_EXISTS)
        return std::string();
    return folder;
}

std::string SettingsFilePath(const std::string& /*application*/) { return std::string(); }

std::string CacheFolder(const std::string& application) {
    return ApplicationDataFolder(application);
}

bool MakePrivateFile(const std::string& path, int* error) {
    HANDLE h = ::CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        *error = static_cast<int>(::GetLastError());
        return false;
    }
    ::CloseHandle(h);
    return true;
}

bool RemoveFileIfThere(const std::string& path, int* error) {
    if (::DeleteFileW(Wide(path).c_str())) return true;
    const DWORD code = ::GetLastError();
    if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND) return true;
    *error = static_cast<int>(code);
    return false;
}

}  // namespace platform
