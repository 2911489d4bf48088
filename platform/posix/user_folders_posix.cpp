// Favorites and desktop folders under the user's home.
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>

#include "platform/user_folders.h"

namespace platform {
namespace {

bool IsDirectory(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// $HOME, else the password database's home; "" when neither names one.
std::string HomeFolder() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home == '/') return WithoutTrailingSlashes(home);
    if (const passwd* pw = getpwuid(getuid())) {
        if (pw->pw_dir != nullptr && *pw->pw_dir == '/') return WithoutTrailingSlashes(pw->pw_dir);
    }
    return std::string();
}

// The value of XDG_DESKTOP_DIR in user-dirs.dirs: a double-quoted path that is either
// "$HOME/..." or absolute, with backslash escapes. "" when the file or the line is missing or
// the value has another form (which xdg-user-dirs does not write).
std::string DesktopFromUserDirs(const std::string& home) {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    const std::string file = (config != nullptr && *config == '/' ? std::string(config)
                                                                    : home + "/.config") +
                             "/user-dirs.dirs";
    std::ifstream in(file);
    std::string line;
    std::string result;
    const std::string key = "XDG_DESKTOP_DIR=";
    while (std::getline(in, line)) {
        std::size_t pos = line.find_first_not_of(" \t");
        if (pos == std::string::npos || line.compare(pos, key.size(), key) != 0) continue;
        pos += key.size();
        if (pos >= line.size() || line[pos] != '"') continue;
        std::string value;
        bool closed = false;
        for (++pos; pos < line.size(); ++pos) {
            if (line[pos] == '\\' && pos + 1 < line.size()) {
                value += line[++pos];
            } else if (line[pos] == '"') {
                closed = true;
                break;
            } else {
                value += line[pos];
            }
        }
        if (!closed) continue;
        if (value.compare(0, 5, "$HOME") == 0 && (value.size() == 5 || value[5] == '/'))
            value = home + value.substr(5);
        else if (value.empty() || value[0] != '/')
            continue;
        result = WithoutTrailingSlashes(value);  // the last line wins, as when the shell reads it
    }
    return result;
}

}  // namespace

bool FavoritesFolder(std::string* path) {
    const std::string home = HomeFolder();
    if (home.empty()) return false;
    const std::string folder = home + "/Favorites";
    if (!IsDirectory(folder) && mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) return false;
    if (!IsDirectory(folder)) return false;
    *path = folder;
    return true;
}

std::string SettingsFilePath(const std::string& application) {
    std::string dir;
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && xdg[0] == '/') {
        dir = xdg;
    } else {
        const char* home = std::getenv("HOME");
        dir = std::string(home != nullptr ? home : "") + "/.config";
    }
    if (!dir.empty() && dir.back() == '/') dir.pop_back();
    return dir + "/" + application + "/" + application + ".conf";
}

std::string ApplicationDataFolder(const std::string& application) {
    const std::string settings = SettingsFilePath(application);
    const std::string folder = settings.substr(0, settings.rfind('/'));
    if (folder.empty() || folder[0] != '/') return std::string();
    for (std::string::size_type pos = folder.find('/', 1);; pos = folder.find('/', pos + 1)) {
        const std::string part = pos == std::string::npos ? folder : folder.substr(0, pos);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return std::string();
        if (pos == std::string::npos) break;
    }
    return IsDirectory(folder) ? folder : std::string();
}

bool DesktopFolder(std::string* path) {
    const std::string home = HomeFolder();
    if (home.empty()) return false;
    std::string folder = DesktopFromUserDirs(home);
    if (folder.empty()) folder = home + "/Desktop";
    if (!IsDirectory(folder)) return false;
    *path = folder;
    return true;
}

std::string CacheFolder(const std::string& application) {
    const char* xdg = std::getenv("XDG_CACHE_HOME");
    std::string base = xdg != nullptr && xdg[0] == '/' ? WithoutTrailingSlashes(xdg) : std::string();
    if (base.empty()) {
        const std::string home = HomeFolder();
        if (home.empty()) return std::string();
        base = home + "/.cache";
    }
    const std::string folder = base + "/" + application;
    for (std::string::size_type pos = folder.find('/', 1);; pos = folder.find('/', pos + 1)) {
        const std::string part = pos == std::string::npos ? folder : folder.substr(0, pos);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return std::string();
        if (pos == std::string::npos) break;
    }
    return IsDirectory(folder) ? folder : std::string();
}

bool MakePrivateFile(const std::string& path, int* error) {
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0) {
        *error = errno;
        return false;
    }
    close(fd);
    return true;
}

bool RemoveFileIfThere(const std::string& path, int* error) {
    if (unlink(path.c_str()) == 0 || errno == ENOENT) return true;
    *error = errno;
    return false;
}

}  // namespace platform
