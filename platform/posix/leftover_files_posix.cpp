// Settling what an interrupted action left: plain calls on names, the trash's records, and
// the journal file.
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <set>

#include "platform/file_delete.h"
#include "platform/leftover_files.h"
#include "platform/posix/trash_folders.h"
#include "platform/posix/open_nofollow.h"

namespace platform {

namespace {

bool IsFolder(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool MakeFolders(const std::string& path) {
    for (std::string::size_type pos = path.find('/', 1);; pos = path.find('/', pos + 1)) {
        const std::string part = pos == std::string::npos ? path : path.substr(0, pos);
        if (!part.empty() && mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return false;
        if (pos == std::string::npos) break;
    }
    return IsFolder(path);
}

// Opens `path` for appending (or, `create` false, for reading), locked, and checks that the
// file locked is still the one under the name (a rewrite puts a new one there): -1 on failure.
int OpenLocked(const std::string& path, bool append) {
    for (int tries = 0; tries < 20; ++tries) {
        const int fd = append ? open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600)
                              : open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) return -1;
        if (flock(fd, LOCK_EX) != 0 && errno != ENOLCK && errno != EOPNOTSUPP) {
            close(fd);
            return -1;
        }
        struct stat held, named;
        if (fstat(fd, &held) == 0 && stat(path.c_str(), &named) == 0 &&
            held.st_dev == named.st_dev && held.st_ino == named.st_ino)
            return fd;
        close(fd);
    }
    errno = EAGAIN;
    return -1;
}

bool WriteAll(int fd, const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

std::uint64_t CurrentProcessId() { return static_cast<std::uint64_t>(getpid()); }

bool ProcessRunning(std::uint64_t id) {
    if (id == 0 || id > 0x7fffffffULL) return false;
    return kill(static_cast<pid_t>(id), 0) == 0 || errno == EPERM;
}

int RenameNoReplace(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL) return errno;
    // Without the no-replace rename: a second name (which refuses an existing one), then the
    // first removed.
    if (link(from.c_str(), to.c_str()) != 0) return errno;
    unlink(from.c_str());
    return 0;
}

int RemoveEntry(const std::string& path) { return unlink(path.c_str()) == 0 ? 0 : errno; }

bool EntryIdentity(const std::string& path, FileIdentity* out) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
    *out = FileIdentity();
    out->device = DeviceOf(st);
    out->inode = st.st_ino;
    out->size = static_cast<std::uint64_t>(st.st_size);
    return true;
}

std::vector<std::string> SpareNamesIn(const std::string& folder, std::size_t limit) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return names;
    while (const dirent* entry = readdir(dir)) {
        if (names.size() >= limit) break;
        if (IsSpareName(entry->d_name, nullptr)) names.emplace_back(entry->d_name);
    }
    closedir(dir);
    return names;
}

std::vector<std::string> TrashFoldersOf(const std::vector<std::string>& folders) {
    std::vector<std::string> out;
    std::set<std::string> seen;
    const auto add = [&](const std::string& trash) {
        if (!trash.empty() && IsFolder(trash + "/info") && seen.insert(trash).second)
            out.push_back(trash);
    };
    const std::string home = HomeTrash();
    add(home);
    struct stat homeSt;
    const bool homeKnown = !home.empty() && stat(home.c_str(), &homeSt) == 0;
    for (const std::string& folder : folders) {
        struct stat st;
        if (folder.empty() || folder[0] != '/' || stat(folder.c_str(), &st) != 0) continue;
        if (homeKnown && st.st_dev == homeSt.st_dev) continue;
        const std::string top = TopFolderOf(folder + "/.");
        if (!top.empty()) add((top == "/" ? "" : top) + "/.Trash-" + std::to_string(getuid()));
    }
    return out;
}

std::vector<UnfinishedTrashRecord> UnfinishedTrashRecords(const std::string& trash,
                                                          std::size_t limit) {
    std::vector<UnfinishedTrashRecord> out;
    const std::string info = trash + "/info";
    DIR* dir = opendir(info.c_str());
    if (dir == nullptr) return out;
    static const std::string kEnd = ".trashinfo";
    while (const dirent* entry = readdir(dir)) {
        if (out.size() >= limit) break;
        const std::string name = entry->d_name;
        if (name.size() <= kEnd.size() ||
            name.compare(name.size() - kEnd.size(), kEnd.size(), kEnd) != 0)
            continue;
        UnfinishedTrashRecord record;
        record.info = info + "/" + name;
        struct stat st;
        if (lstat(record.info.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size != 0)
            continue;
        // One a removal holds (between its claim and its record) is locked.
        const int fd = open(record.info.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) continue;
        const bool locked = flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
        close(fd);
        if (locked) continue;
        record.file = trash + "/files/" + name.substr(0, name.size() - kEnd.size());
        struct stat fileSt;
        record.fileThere = lstat(record.file.c_str(), &fileSt) == 0;
        if (record.fileThere) {
            record.identity.device = DeviceOf(fileSt);
            record.identity.inode = fileSt.st_ino;
            record.identity.size = static_cast<std::uint64_t>(fileSt.st_size);
        }
        out.push_back(std::move(record));
    }
    closedir(dir);
    return out;
}

bool RemoveUnfinishedTrashRecord(const UnfinishedTrashRecord& record) {
    const int fd = open(record.info.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT;
    bool removed = false;
    struct stat st, there;
    // Held locked while it is checked and removed: a removal that claimed this name meanwhile
    // waits, then sees its record unlinked and takes another.
    if (flock(fd, LOCK_EX | LOCK_NB) == 0 && fstat(fd, &st) == 0 && st.st_size == 0 &&
        st.st_nlink > 0 && lstat(record.file.c_str(), &there) != 0 && errno == ENOENT) {
        struct stat named;
        removed = lstat(record.info.c_str(), &named) == 0 && named.st_ino == st.st_ino &&
                  named.st_dev == st.st_dev && unlink(record.info.c_str()) == 0;
    }
    close(fd);
    return removed;
}

bool AppendToFile(const std::string& path, const std::string& text) {
    if (!MakeFolders(ParentFolder(path))) return false;
    const int fd = OpenLocked(path, true);
    if (fd < 0) return false;
    const bool written = WriteAll(fd, text);
    return close(fd) == 0 && written;
}

bool EditFile(const std::string& path, std::size_t limit,
              const std::function<std::string(const std::string&)>& edit) {
    const int fd = OpenLocked(path, false);
    if (fd < 0) return errno == ENOENT;
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            close(fd);
            return false;
        }
        if (n == 0) break;
        text.append(buffer, static_cast<std::size_t>(n));
        if (text.size() >= limit) {
            text.resize(limit);
            break;
        }
    }
    const std::string changed = edit(text);
    bool ok = true;
    if (changed != text) {
        // The new contents take the name in one rename: a kill meanwhile leaves the old file.
        const std::string fresh = path + ".new";
        const int out = open(fresh.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        ok = out >= 0;
        if (ok) {
            ok = WriteAll(out, changed) && fsync(out) == 0;
            ok = close(out) == 0 && ok;
            ok = ok && rename(fresh.c_str(), path.c_str()) == 0;
            if (!ok) unlink(fresh.c_str());
        }
    }
    close(fd);
    return ok;
}

}  // namespace platform
