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

std::string SettingsFilePath(const std::string& /*application*/) { return std::string(); }

}  // namespace platform
