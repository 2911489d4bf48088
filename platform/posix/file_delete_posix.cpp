// Deleting files for good (unlink) or into the freedesktop.org trash, written by hand so that
// platform/ needs no desktop library.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <random>

#include "platform/file_delete.h"

namespace platform {

namespace {

std::string Parent(const std::string& path) {
    const std::string::size_type slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseName(const std::string& path) {
    const std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The absolute form of `path` without resolving its last part (a link is trashed itself).
std::string Absolute(const std::string& path) {
    char* parent = realpath(Parent(path).c_str(), nullptr);
    if (parent == nullptr) return std::string();
    std::string result = parent;
    std::free(parent);
    if (result.back() != '/') result += '/';
    return result + BaseName(path);
}

bool MakeFolder(const std::string& path) {
    if (mkdir(path.c_str(), 0700) == 0 || errno == EEXIST) {
        struct stat st;
        return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    }
    return false;
}

// Every folder on the way to `path`, each made private when new.
bool MakeFolders(const std::string& path) {
    for (std::string::size_type pos = path.find('/', 1); pos != std::string::npos;
         pos = path.find('/', pos + 1))
        if (!MakeFolder(path.substr(0, pos))) return false;
    return MakeFolder(path);
}

// The user's own trash: $XDG_DATA_HOME/Trash, else $HOME/.local/share/Trash.
std::string HomeTrash() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/') return std::string(data) + "/Trash";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return std::string(home) + "/.local/share/Trash";
    return std::string();
}

// The top folder of the file system holding `absolute`: the highest folder on its device.
std::string TopFolder(const std::string& absolute) {
    struct stat st;
    if (lstat(absolute.c_str(), &st) != 0) return std::string();
    std::string top = Parent(absolute);
    while (top != "/") {
        const std::string up = Parent(top);
        struct stat upSt;
        if (stat(up.c_str(), &upSt) != 0 || upSt.st_dev != st.st_dev) break;
        top = up;
    }
    return top;
}

// Percent-encodes a path for the Path= line: every byte but unreserved ones and "/".
std::string EncodePath(const std::string& path) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : path) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
            c == '/' || c == '-' || c == '_' || c == '.' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

std::string DeletionDate() {
    const time_t now = time(nullptr);
    struct tm parts;
    char buf[32] = {};
    if (localtime_r(&now, &parts) != nullptr)
        strftime(buf, sizeof buf, "%Y-%m-%dT%H:%M:%S", &parts);
    return buf;
}

// The name a file takes in the trash. Its record adds ".trashinfo" and a clash adds a suffix;
// a name too long for both is cut (between characters) so the file can still be trashed; the
// record keeps the full path for restoring.
std::string TrashBaseName(const std::string& name) {
    constexpr std::string::size_type kLongest = NAME_MAX - (sizeof ".trashinfo" - 1) - 13;
    if (name.size() <= kLongest) return name;
    std::string::size_type cut = kLongest;
    // Back to the start of a UTF-8 character (at most three continuation bytes; a name in
    // another encoding is cut where it falls).
    for (int i = 0; i < 3 && (static_cast<unsigned char>(name[cut]) & 0xC0) == 0x80; ++i) --cut;
    return name.substr(0, cut);
}

// Moves `absolute` into the trash folder `trash`; `shownPath` is what the info record names
// (absolute in the home trash, relative to the top folder elsewhere).
bool MoveToTrash(const std::string& absolute, const std::string& trash,
                 const std::string& shownPath) {
    const std::string files = trash + "/files/";
    const std::string info = trash + "/info/";
    if (!MakeFolders(trash + "/files") || !MakeFolders(trash + "/info")) return false;
    const std::string base = TrashBaseName(BaseName(absolute));
    // Claim a name by creating its info record exclusively: two deletions never share one.
    // The first names are the familiar "name", "name.2", ...; past them a random suffix keeps
    // the search short when thousands of files of one name (desktop.ini, folder.jpg) are trashed.
    constexpr int kCountedNames = 100;
    constexpr int kRandomNames = 1000;
    std::mt19937_64 random;
    for (int n = 1; n <= kCountedNames + kRandomNames; ++n) {
        std::string name;
        if (n <= kCountedNames) {
            name = n == 1 ? base : base + "." + std::to_string(n);
        } else {
            if (n == kCountedNames + 1)
                random.seed(std::random_device{}() ^ static_cast<std::uint64_t>(time(nullptr)) ^
                            (static_cast<std::uint64_t>(getpid()) << 32));
            char suffix[24];
            std::snprintf(suffix, sizeof suffix, ".%012llx",
                          static_cast<unsigned long long>(random() & 0xffffffffffffULL));
            name = base + suffix;
        }
        const std::string infoPath = info + name + ".trashinfo";
        const int fd = open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return false;
        }
        struct stat st;
        if (lstat((files + name).c_str(), &st) == 0) {  // left behind without its record
            close(fd);
            unlink(infoPath.c_str());
            continue;
        }
        const std::string record = "[Trash Info]\nPath=" + EncodePath(shownPath) +
                                   "\nDeletionDate=" + DeletionDate() + "\n";
        const bool written =
            write(fd, record.data(), record.size()) == static_cast<ssize_t>(record.size());
        const bool closed = close(fd) == 0;
        if (written && closed && rename(absolute.c_str(), (files + name).c_str()) == 0)
            return true;
        unlink(infoPath.c_str());
        return false;
    }
    return false;
}

bool Trash(const std::string& path) {
    const std::string absolute = Absolute(path);
    struct stat st;
    if (absolute.empty() || lstat(absolute.c_str(), &st) != 0) return false;
    // Without a home trash there is no trash at all: a top-folder trash serves only the
    // file systems other than the home's.
    const std::string home = HomeTrash();
    struct stat trashSt;
    if (home.empty() || !MakeFolders(home) || stat(home.c_str(), &trashSt) != 0) return false;
    if (trashSt.st_dev == st.st_dev) return MoveToTrash(absolute, home, absolute);
    // Another file system: its own per-user trash at its top folder.
    const std::string top = TopFolder(absolute);
    if (top.empty()) return false;
    const std::string trash = (top == "/" ? "" : top) + "/.Trash-" + std::to_string(getuid());
    const std::string relative = absolute.substr(top == "/" ? 1 : top.size() + 1);
    return MoveToTrash(absolute, trash, relative);
}

}  // namespace

std::vector<std::string> DeleteFiles(const std::vector<std::string>& paths, unsigned flags) {
    std::vector<std::string> left;
    for (const std::string& path : paths) {
        const bool gone = (flags & kDeleteToTrash) != 0 ? Trash(path) : unlink(path.c_str()) == 0;
        // A file that vanished meanwhile is gone all the same.
        struct stat st;
        if (!gone && lstat(path.c_str(), &st) == 0) left.push_back(path);
    }
    return left;
}

}  // namespace platform
