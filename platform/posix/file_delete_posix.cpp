// Deleting files for good (unlink) or into the freedesktop.org trash, written by hand so that
// platform/ needs no desktop library.
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <signal.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <random>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/error_text.h"
#include "platform/file_delete.h"
#include "platform/posix/open_nofollow.h"
#include "platform/posix/trash_folders.h"

namespace platform {

namespace {

std::string BaseName(const std::string& path) {
    const std::string::size_type slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
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

}  // namespace

// The user's own trash: $XDG_DATA_HOME/Trash, else $HOME/.local/share/Trash.
std::string HomeTrash() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data != nullptr && data[0] == '/') return std::string(data) + "/Trash";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] == '/') return std::string(home) + "/.local/share/Trash";
    return std::string();
}

// The top folder of the file system holding `absolute`: the highest folder on its device.
std::string TopFolderOf(const std::string& absolute) {
    struct stat st;
    if (lstat(absolute.c_str(), &st) != 0) return std::string();
    std::string top = ParentFolder(absolute);
    while (top != "/") {
        const std::string up = ParentFolder(top);
        struct stat upSt;
        if (stat(up.c_str(), &upSt) != 0 || upSt.st_dev != st.st_dev) break;
        top = up;
    }
    return top;
}

namespace {

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

// Where a file went in the trash: its file and its info record.
struct TrashPlace {
    std::string file;
    std::string info;
    std::string original;  // the absolute path the file had
};

// Moves the entry `name` of the open folder `dirFd` into the trash folder `trash`; `shownPath` is what the info record names (absolute in the home
// trash, relative to the top folder elsewhere). The move goes relative to the folder's handle,
// so a folder on the way swapped for a link since it was opened cannot redirect it.
bool MoveToTrash(int dirFd, const std::string& name, const std::string& trash,
                 const std::string& shownPath, TrashPlace* place) {
    const std::string files = trash + "/files/";
    const std::string info = trash + "/info/";
    if (!MakeFolders(trash + "/files") || !MakeFolders(trash + "/info")) return false;
    const std::string base = TrashBaseName(name);
    // Claim a name by creating its info record exclusively: two deletions never share one.
    // The first names are the familiar "name", "name.2", ...; past them a random suffix keeps
    // the search short when thousands of files of one name (desktop.ini, folder.jpg) are trashed.
    constexpr int kCountedNames = 100;
    constexpr int kRandomNames = 1000;
    std::mt19937_64 random;
    for (int n = 1; n <= kCountedNames + kRandomNames; ++n) {
        std::string trashName;
        if (n <= kCountedNames) {
            trashName = n == 1 ? base : base + "." + std::to_string(n);
        } else {
            if (n == kCountedNames + 1)
                random.seed(std::random_device{}() ^ static_cast<std::uint64_t>(time(nullptr)) ^
                            (static_cast<std::uint64_t>(getpid()) << 32));
            char suffix[24];
            std::snprintf(suffix, sizeof suffix, ".%012llx",
                          static_cast<unsigned long long>(random() & 0xffffffffffffULL));
            trashName = base + suffix;
        }
        const std::string infoPath = info + trashName + ".trashinfo";
        const int fd = open(infoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) continue;
            return false;
        }
        // Locked while it is empty: a cleanup of unfinished records passes over a locked one
        // (and one it removed first is found unlinked here).
        struct stat st;
        if (flock(fd, LOCK_EX) != 0 && errno != ENOLCK && errno != EOPNOTSUPP) {
            close(fd);
            unlink(infoPath.c_str());
            return false;
        }
        if (fstat(fd, &st) == 0 && st.st_nlink == 0) {
            close(fd);  // removed by a cleanup before it was locked: another name
            continue;
        }
        if (lstat((files + trashName).c_str(), &st) == 0) {  // left behind without its record
            close(fd);
            unlink(infoPath.c_str());
            continue;
        }
        // The empty record holds the name while the file moves in; its contents are written
        // only once the file is there, so a record with contents always has its file, and an
        // empty one left by a run killed in between is plainly unfinished (see
        // UnfinishedTrashRecords).
        if (renameat(dirFd, name.c_str(), AT_FDCWD, (files + trashName).c_str()) != 0) {
            const int code = errno;
            close(fd);
            unlink(infoPath.c_str());
            errno = code;
            return false;
        }
        const std::string record = "[Trash Info]\nPath=" + EncodePath(shownPath) +
                                   "\nDeletionDate=" + DeletionDate() + "\n";
        const bool written =
            write(fd, record.data(), record.size()) == static_cast<ssize_t>(record.size()) &&
            fsync(fd) == 0;
        const bool closed = close(fd) == 0;
        if (written && closed) {
            if (place != nullptr) *place = {files + trashName, infoPath, std::string()};
            return true;
        }
        // No record: the file goes back under its name, never over one that took it.
        const int code = errno != 0 ? errno : EIO;
        if (renameat2(AT_FDCWD, (files + trashName).c_str(), dirFd, name.c_str(),
                      RENAME_NOREPLACE) == 0) {
            unlink(infoPath.c_str());
            errno = code;
            return false;
        }
        // It could not go back: it stays in the trash, where the caller's record finds it.
        if (place != nullptr) *place = {files + trashName, infoPath, std::string()};
        return true;
    }
    return false;
}

// Moves the entry `name` of the open folder `dirFd` to the trash; `folder` is the folder's
// path as it was named (for its absolute form).
bool TrashEntry(int dirFd, const std::string& folder, const std::string& name,
                TrashPlace* place) {
    // The folder's absolute path as the system knows the open folder, else as named.
    std::string absolute;
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", dirFd);
    if (char* real = realpath(link, nullptr)) {
        absolute = real;
        std::free(real);
    } else if (char* named = realpath(folder.c_str(), nullptr)) {
        absolute = named;
        std::free(named);
    } else {
        return false;
    }
    if (absolute.back() != '/') absolute += '/';
    absolute += name;
    struct stat st;
    if (fstat(dirFd, &st) != 0) return false;
    // Without a home trash there is no trash at all: a top-folder trash serves only the
    // file systems other than the home's.
    const std::string home = HomeTrash();
    struct stat trashSt;
    if (home.empty() || !MakeFolders(home) || stat(home.c_str(), &trashSt) != 0) return false;
    if (trashSt.st_dev == st.st_dev) {
        if (!MoveToTrash(dirFd, name, home, absolute, place)) return false;
        if (place != nullptr) place->original = absolute;
        return true;
    }
    // Another file system: its own per-user trash at its top folder.
    const std::string top = TopFolderOf(absolute);
    if (top.empty()) return false;
    const std::string trash = (top == "/" ? "" : top) + "/.Trash-" + std::to_string(getuid());
    const std::string relative = absolute.substr(top == "/" ? 1 : top.size() + 1);
    if (!MoveToTrash(dirFd, name, trash, relative, place)) return false;
    if (place != nullptr) place->original = absolute;
    return true;
}

// Opens the folder `path` (a link the user's path goes through is followed, as in the walk's
// start paths; what is removed is checked against the held file by its identity).
int OpenFolder(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0 || errno != ENAMETOOLONG) return fd;
    return OpenNoFollow(path, O_RDONLY | O_DIRECTORY);
}

bool Trash(const std::string& path) {
    const int dirFd = OpenFolder(ParentFolder(path));
    if (dirFd < 0) return false;
    struct stat st;
    const bool moved = fstatat(dirFd, BaseName(path).c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
                       TrashEntry(dirFd, ParentFolder(path), BaseName(path), nullptr);
    close(dirFd);
    return moved;
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

namespace platform {

struct HeldFile::Impl {
    int dirFd = -1;
    int lockFd = -1;  // the file opened from its folder, for the lock and the lease
    bool leased = false;  // lockFd holds a read lease
    std::string folder;
    std::string name;
    TrashPlace place;
};

HeldFile::HeldFile() : m_impl(new Impl) {}

HeldFile::~HeldFile() { Close(); }

void HeldFile::Close() {
    m_reader.Close();
    m_impl->leased = false;
    if (m_impl->dirFd >= 0) close(m_impl->dirFd);
    if (m_impl->lockFd >= 0) close(m_impl->lockFd);
    m_impl->dirFd = m_impl->lockFd = -1;
}

namespace {

// 0 when the entry `name` of `dirFd` is the file of `identity`; else kErrorReplaced or errno.
int EntryIs(int dirFd, const std::string& name, const FileIdentity& identity) {
    struct stat st;
    if (fstatat(dirFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return errno;
    return S_ISREG(st.st_mode) && DeviceOf(st) == identity.device && st.st_ino == identity.inode
               ? 0
               : kErrorReplaced;
}

// A lease's break is told by a signal (SIGIO) whose default ends the program; the program
// asks for the lease's state instead, so the signal is ignored unless someone handles it.
void IgnoreLeaseBreakSignal() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction now;
        if (sigaction(SIGIO, nullptr, &now) == 0 && now.sa_handler == SIG_DFL) {
            struct sigaction ignore = {};
            ignore.sa_handler = SIG_IGN;
            sigemptyset(&ignore.sa_mask);
            sigaction(SIGIO, &ignore, nullptr);
        }
    });
}

// Keeps writers of the file open in `fd` (read-only) in view while it is held: kErrorLocked
// when another program has it open for writing or holds a record lock on any of it; else 0,
// with *leased telling whether the system granted a read lease (it refuses one to a user who
// does not own the file, and some file systems have none: then only the checks by size and
// times see a write).
int HoldAgainstWriters(int fd, bool* leased) {
    *leased = false;
    IgnoreLeaseBreakSignal();
    if (fcntl(fd, F_SETLEASE, F_RDLCK) == 0) {
        *leased = true;
    } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
        return kErrorLocked;  // open for writing somewhere
    }
    // A database's record locks (and a writer that holds one) say the file is in use.
    struct flock probe = {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    if (fcntl(fd, F_OFD_GETLK, &probe) == 0 && probe.l_type != F_UNLCK) return kErrorLocked;
    return 0;
}

// 0 when the file open in `fd` is still as `identity` had it: a name left, the same size and
// last-write time, the same change time unless `changeTimeMoves`, and (`leased`) its lease
// not broken by an opener for writing.
int StillAsOpened(int fd, bool leased, const FileIdentity& identity, bool changeTimeMoves) {
    struct stat st;
    if (fstat(fd, &st) != 0) return errno;
    if (st.st_nlink == 0) return kErrorReplaced;  // removed from under its holder
    if (leased && fcntl(fd, F_GETLEASE) != F_RDLCK) return kErrorLocked;
    if (static_cast<std::uint64_t>(st.st_size) != identity.size ||
        FileTimeFromUnix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec) != identity.lastWrite ||
        (!changeTimeMoves &&
         FileTimeFromUnix(st.st_ctim.tv_sec, st.st_ctim.tv_nsec) != identity.changed))
        return kErrorChanged;
    return 0;
}

}  // namespace

int HeldFile::Open(const std::string& path, Role role) {
    Close();
    m_path = path;
    m_trashed = false;
    m_leftAt.clear();
    m_impl->folder = ParentFolder(path);
    m_impl->name = BaseName(path);
    m_impl->dirFd = OpenFolder(m_impl->folder);
    if (m_impl->dirFd < 0) return errno;
    if (!m_reader.Open(path)) return errno;
    // The file opened must be the entry of the folder opened: the removal goes through the
    // folder.
    const int entry = EntryIs(m_impl->dirFd, m_impl->name, m_reader.Identity());
    if (entry != 0) return entry;
    // flock, not fcntl: its locks belong to one open file, so two opens in one process (two
    // windows of one program, a test) are told apart like two programs.
    m_impl->lockFd = openat(m_impl->dirFd, m_impl->name.c_str(),
                            O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (m_impl->lockFd < 0) return errno;
    struct stat st;
    if (fstat(m_impl->lockFd, &st) != 0) return errno;
    if (DeviceOf(st) != m_reader.Identity().device || st.st_ino != m_reader.Identity().inode)
        return kErrorReplaced;
    for (;;) {
        if (flock(m_impl->lockFd, (role == kGoes ? LOCK_EX : LOCK_SH) | LOCK_NB) == 0) break;
        if (errno == EWOULDBLOCK) return kErrorLocked;
        // A file system without locks keeps no one out: the checks by identity still hold.
        if (errno == ENOLCK || errno == EOPNOTSUPP || errno == ENOSYS) break;
        if (errno != EINTR) return errno;
    }
    return HoldAgainstWriters(m_impl->lockFd, &m_impl->leased);
}

int HeldFile::CheckUnchanged(bool changeTimeMoves) {
    if (m_impl->dirFd < 0 || m_impl->lockFd < 0) return EBADF;
    const int code = StillAsOpened(m_impl->lockFd, m_impl->leased, m_reader.Identity(),
                                   changeTimeMoves);
    return code != 0 ? code : EntryIs(m_impl->dirFd, m_impl->name, m_reader.Identity());
}

int HeldFile::Restore() {
    if (!m_trashed || m_impl->dirFd < 0) return EINVAL;
    // Never over a file that took the name meanwhile.
    if (renameat2(AT_FDCWD, m_impl->place.file.c_str(), m_impl->dirFd, m_impl->name.c_str(),
                  RENAME_NOREPLACE) != 0)
        return errno;
    unlink(m_impl->place.info.c_str());
    m_trashed = false;
    return 0;
}

}  // namespace platform

namespace platform {

namespace {

// A name in `dirFd` that nothing holds yet, for a file that is to take another's place:
// ".<name>.<random>.pairscout" (hidden, and plainly ours if it is ever left behind).
std::string SpareName(const std::string& name) {
    static std::mt19937_64 random(std::random_device{}() ^
                                  (static_cast<std::uint64_t>(getpid()) << 32));
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, ".%012llx",
                  static_cast<unsigned long long>(random() & 0xffffffffffffULL));
    // Short enough for the folder, whatever the name's length.
    return "." + TrashBaseName(name).substr(0, kMaxSpareStem) + suffix + ".pairscout";
}

bool WriteAllTo(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t n = write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

// Reads `size` bytes at `offset` (fewer only at the end of the file): the count, or -1.
ssize_t ReadAt(int fd, char* data, std::size_t size, off_t offset) {
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = pread(fd, data + got, size - got, offset + static_cast<off_t>(got));
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    return static_cast<ssize_t>(got);
}

// Copies the open file `from` into the new file `to` and reads the copy back to compare: 0
// or errno (EIO when the copy does not read back equal).
int CopyAndVerify(int from, int to, std::uint64_t size) {
    std::vector<char> a(1 << 20), b(1 << 20);
    for (std::uint64_t at = 0; at < size;) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(a.size(), size - at));
        const ssize_t n = ReadAt(from, a.data(), want, static_cast<off_t>(at));
        if (n < 0) return errno;
        if (static_cast<std::size_t>(n) != want) return EIO;  // shorter than it was
        if (!WriteAllTo(to, a.data(), want)) return errno;
        at += want;
    }
    if (fsync(to) != 0) return errno;
    for (std::uint64_t at = 0; at < size;) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(a.size(), size - at));
        if (ReadAt(from, a.data(), want, static_cast<off_t>(at)) != static_cast<ssize_t>(want) ||
            ReadAt(to, b.data(), want, static_cast<off_t>(at)) != static_cast<ssize_t>(want) ||
            std::memcmp(a.data(), b.data(), want) != 0)
            return EIO;
        at += want;
    }
    return 0;
}

// Renames the entry `name` of `dirFd` to a new spare name in the same folder, never over
// anything: 0 with the name in *spare, or errno.
int RenameToSpare(int dirFd, const std::string& name, std::string* spare) {
    for (int tries = 0;; ++tries) {
        *spare = SpareName(name);
        if (renameat2(dirFd, name.c_str(), dirFd, spare->c_str(), RENAME_NOREPLACE) == 0) return 0;
        // A file system without the no-replace rename: the spare name is new all the same.
        if (errno == EINVAL &&
            faccessat(dirFd, spare->c_str(), F_OK, AT_SYMLINK_NOFOLLOW) != 0 && errno == ENOENT &&
            renameat(dirFd, name.c_str(), dirFd, spare->c_str()) == 0)
            return 0;
        if (errno != EEXIST || tries == 10) return errno;
    }
}

// Puts the entry `from` of `fromDir` back under `to` of `toDir`, never over a file that took
// that name meanwhile: true when it went back.
bool PutBack(int fromDir, const std::string& from, int toDir, const std::string& to) {
    if (renameat2(fromDir, from.c_str(), toDir, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL) return false;
    // Without the no-replace rename: a second name (which refuses an existing one), then the
    // first removed.
    if (linkat(fromDir, from.c_str(), toDir, to.c_str(), 0) != 0) return false;
    unlinkat(fromDir, from.c_str(), 0);
    return true;
}

// Opens (making it when missing) every folder of `folder`, an absolute or relative path;
// returns its descriptor or -1 with errno.
// The folders are made as any new folder of the user's is (the umask decides), not private
// like the trash's.
int OpenOrMakeFolder(const std::string& folder) {
    for (std::string::size_type pos = folder.find('/', 1);; pos = folder.find('/', pos + 1)) {
        const std::string part = pos == std::string::npos ? folder : folder.substr(0, pos);
        if (!part.empty() && mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) return -1;
        if (pos == std::string::npos) break;
    }
    return OpenFolder(folder);
}

}  // namespace

int HeldFile::Remove(bool toTrash, const Confirm& confirm) {
    if (m_impl->dirFd < 0) return EBADF;
    m_leftAt.clear();
    int code = CheckUnchanged();
    if (code != 0) return code;
    const FileIdentity& identity = m_reader.Identity();
    if (toTrash) {
        // The trash is the spare place: from there the file goes back on any doubt.
        if (!TrashEntry(m_impl->dirFd, m_impl->folder, m_impl->name, &m_impl->place))
            return errno != 0 ? errno : EIO;
        m_trashed = true;
        m_trashRecord = {m_impl->place.original, m_impl->place.file, m_impl->place.info,
                         identity.size, identity.lastWrite};
        code = confirm ? confirm() : 0;
        if (code == 0) code = StillAsOpened(m_impl->lockFd, m_impl->leased, identity, true);
        if (code != 0 && Restore() != 0) m_leftAt = m_impl->place.file;
        return code;
    }
    // For good: the file leaves its name first, so that nothing written to it or done to its
    // copy in the moment of the removal goes unseen; only then is it removed.
    std::string spare;
    code = RenameToSpare(m_impl->dirFd, m_impl->name, &spare);
    if (code != 0) return code;
    code = confirm ? confirm() : 0;
    if (code == 0) code = EntryIs(m_impl->dirFd, spare, identity);
    if (code == 0) code = StillAsOpened(m_impl->lockFd, m_impl->leased, identity, true);
    if (code == 0) {
        if (unlinkat(m_impl->dirFd, spare.c_str(), 0) == 0) return 0;
        code = errno;
    }
    if (!PutBack(m_impl->dirFd, spare, m_impl->dirFd, m_impl->name))
        m_leftAt = (m_impl->folder == "/" ? "" : m_impl->folder) + "/" + spare;
    return code;
}

int HeldFile::LinkFrom(HeldFile& source, const Confirm& confirm) {
    if (m_impl->dirFd < 0 || source.m_impl->lockFd < 0) return EBADF;
    m_leftAt.clear();
    int code = CheckUnchanged();
    if (code == 0) code = source.CheckUnchanged();
    if (code != 0) return code;
    // The link names the very file `source` compared, reached through its open descriptor,
    // not whatever stands under its path by now.
    char from[64];
    std::snprintf(from, sizeof from, "/proc/self/fd/%d", source.m_impl->lockFd);
    // Without /proc the link goes by the source's path, and the new name is checked to be
    // the source's file.
    const bool byPath = access("/proc/self/fd", F_OK) != 0;
    std::string spare;
    for (int tries = 0;; ++tries) {
        spare = SpareName(m_impl->name);
        if (linkat(byPath ? source.m_impl->dirFd : AT_FDCWD,
                   byPath ? source.m_impl->name.c_str() : from, m_impl->dirFd, spare.c_str(),
                   byPath ? 0 : AT_SYMLINK_FOLLOW) == 0)
            break;
        if (errno != EEXIST || tries == 10) return errno;
    }
    const FileIdentity& mine = m_reader.Identity();
    const FileIdentity& theirs = source.m_reader.Identity();
    // Both files as they must be for the last step; the source's change time moved with the
    // new link.
    const auto lastCheck = [&](bool exchanged) {
        int last = confirm ? confirm() : 0;
        if (last == 0) last = source.CheckUnchanged(true);
        if (last == 0) last = EntryIs(m_impl->dirFd, exchanged ? spare : m_impl->name, mine);
        if (last == 0) last = StillAsOpened(m_impl->lockFd, m_impl->leased, mine, exchanged);
        return last;
    };
    code = EntryIs(m_impl->dirFd, spare, theirs);
    if (code != 0) {
        unlinkat(m_impl->dirFd, spare.c_str(), 0);
        return code;
    }
    // The link and the duplicate change places in one step: the name always holds a file, and
    // the duplicate, under the spare name now, goes only when both files pass once more.
    if (renameat2(m_impl->dirFd, spare.c_str(), m_impl->dirFd, m_impl->name.c_str(),
                  RENAME_EXCHANGE) != 0) {
        code = errno;
        if (code == EINVAL || code == ENOSYS) {
            // No exchange on this file system: the link takes the name in one rename.
            code = lastCheck(false);
            if (code == 0 && renameat(m_impl->dirFd, spare.c_str(), m_impl->dirFd,
                                      m_impl->name.c_str()) != 0)
                code = errno;
        }
        if (code != 0) unlinkat(m_impl->dirFd, spare.c_str(), 0);
        return code;
    }
    code = lastCheck(true);
    if (code == 0) {
        if (unlinkat(m_impl->dirFd, spare.c_str(), 0) == 0) return 0;
        code = errno;
    }
    // Back as it was: the duplicate under its name, the link gone.
    if (renameat2(m_impl->dirFd, spare.c_str(), m_impl->dirFd, m_impl->name.c_str(),
                  RENAME_EXCHANGE) == 0) {
        if (EntryIs(m_impl->dirFd, spare, theirs) == 0) unlinkat(m_impl->dirFd, spare.c_str(), 0);
    } else {
        m_leftAt = (m_impl->folder == "/" ? "" : m_impl->folder) + "/" + spare;
    }
    return code;
}

int HeldFile::ShareDataWith(HeldFile& source, std::uint64_t size) {
    if (m_impl->lockFd < 0 || source.m_impl->lockFd < 0) return EBADF;
    // The call takes one range at a time and may do less than asked (Btrfs: 16 MiB a call).
    std::vector<char> buffer(sizeof(file_dedupe_range) + sizeof(file_dedupe_range_info));
    auto* range = reinterpret_cast<file_dedupe_range*>(buffer.data());
    for (std::uint64_t at = 0; at < size;) {
        std::memset(buffer.data(), 0, buffer.size());
        range->src_offset = at;
        range->src_length = size - at;
        range->dest_count = 1;
        range->info[0].dest_fd = m_impl->lockFd;
        range->info[0].dest_offset = at;
        if (ioctl(source.m_impl->lockFd, FIDEDUPERANGE, range) != 0) return errno;
        if (range->info[0].status == FILE_DEDUPE_RANGE_DIFFERS) return kErrorContentsDiffer;
        if (range->info[0].status < 0) return -range->info[0].status;
        if (range->info[0].bytes_deduped == 0) return EINVAL;
        at += range->info[0].bytes_deduped;
    }
    return 0;
}

int HeldFile::MoveTo(const std::string& target, const Confirm& confirm) {
    if (m_impl->dirFd < 0) return EBADF;
    m_leftAt.clear();
    int code = CheckUnchanged();
    if (code != 0) return code;
    const int toDir = OpenOrMakeFolder(ParentFolder(target));
    if (toDir < 0) return errno;
    const std::string toName = BaseName(target);
    const FileIdentity& identity = m_reader.Identity();
    // Checks the moved file at `dir`/`name` and asks `confirm`; on doubt it goes back.
    const auto settle = [&](int dir, const std::string& name) {
        int last = confirm ? confirm() : 0;
        if (last == 0) last = EntryIs(dir, name, identity);
        if (last == 0) last = StillAsOpened(m_impl->lockFd, m_impl->leased, identity, true);
        if (last != 0 && !PutBack(dir, name, m_impl->dirFd, m_impl->name))
            m_leftAt = dir == toDir ? target
                                    : (m_impl->folder == "/" ? "" : m_impl->folder) + "/" + name;
        return last;
    };
    if (renameat2(m_impl->dirFd, m_impl->name.c_str(), toDir, toName.c_str(),
                  RENAME_NOREPLACE) == 0) {
        code = settle(toDir, toName);
        close(toDir);
        return code;
    }
    code = errno;
    if (code == EINVAL) {
        // A file system without the no-replace rename: a new name (which refuses an existing
        // one), then the old one removed as a file for good is.
        code = 0;
        if (linkat(m_impl->dirFd, m_impl->name.c_str(), toDir, toName.c_str(), 0) != 0) code = errno;
        std::string spare;
        if (code == 0) {
            code = RenameToSpare(m_impl->dirFd, m_impl->name, &spare);
            if (code == 0) {
                code = settle(m_impl->dirFd, spare);
                if (code == 0 && unlinkat(m_impl->dirFd, spare.c_str(), 0) != 0) code = errno;
            }
            if (code != 0 && EntryIs(toDir, toName, identity) == 0)
                unlinkat(toDir, toName.c_str(), 0);
        }
    }
    if (code == EXDEV) code = CopyAcross(toDir, toName, confirm);
    close(toDir);
    return code;
}

int HeldFile::CopyAcross(int toDir, const std::string& toName, const Confirm& confirm) {
    // Another file system: a copy under a spare name beside the target, flushed and read back;
    // only a copy of the whole file as it still is takes the target's name, and only then
    // does the original leave its own.
    const FileIdentity& identity = m_reader.Identity();
    struct stat st;
    if (fstat(m_impl->lockFd, &st) != 0) return errno;
    std::string spare;
    int out = -1;
    for (int tries = 0; out < 0; ++tries) {
        spare = SpareName(toName);
        out = openat(toDir, spare.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                     0600);
        if (out < 0 && (errno != EEXIST || tries == 10)) return errno;
    }
    int code = CopyAndVerify(m_impl->lockFd, out, static_cast<std::uint64_t>(st.st_size));
    FileMetadata metadata;
    if (code == 0 && ReadMetadata(m_impl->lockFd, &metadata, &code))
        code = ApplyMetadata(out, metadata);
    struct stat copied;
    if (code == 0 && fstat(out, &copied) != 0) code = errno;
    if (close(out) != 0 && code == 0) code = errno;
    // Bytes written to the original while it was copied would be lost with it.
    if (code == 0 && confirm) code = confirm();
    if (code == 0) code = StillAsOpened(m_impl->lockFd, m_impl->leased, identity, false);
    if (code == 0 && renameat2(toDir, spare.c_str(), toDir, toName.c_str(), RENAME_NOREPLACE) != 0) {
        code = errno;
        if (code == EINVAL) {
            code = 0;
            if (linkat(toDir, spare.c_str(), toDir, toName.c_str(), 0) != 0) code = errno;
            unlinkat(toDir, spare.c_str(), 0);
            if (code != 0) return code;
        } else {
            unlinkat(toDir, spare.c_str(), 0);
            return code;
        }
    } else if (code != 0) {
        unlinkat(toDir, spare.c_str(), 0);
        return code;
    }
    fsync(toDir);
    // The copy is in place; the original leaves its name, and goes only when it passes again.
    const auto dropCopy = [&] {
        struct stat there;
        if (fstatat(toDir, toName.c_str(), &there, AT_SYMLINK_NOFOLLOW) == 0 &&
            there.st_dev == copied.st_dev && there.st_ino == copied.st_ino)
            unlinkat(toDir, toName.c_str(), 0);
    };
    std::string gone;
    code = RenameToSpare(m_impl->dirFd, m_impl->name, &gone);
    if (code != 0) {
        dropCopy();
        return code;
    }
    code = confirm ? confirm() : 0;
    if (code == 0) code = EntryIs(m_impl->dirFd, gone, identity);
    if (code == 0) code = StillAsOpened(m_impl->lockFd, m_impl->leased, identity, true);
    if (code == 0 && unlinkat(m_impl->dirFd, gone.c_str(), 0) != 0) code = errno;
    if (code != 0) {
        if (PutBack(m_impl->dirFd, gone, m_impl->dirFd, m_impl->name))
            dropCopy();
        else
            m_leftAt = (m_impl->folder == "/" ? "" : m_impl->folder) + "/" + gone;
    }
    return code;
}

std::optional<FileMetadata> HeldFile::Metadata() {
    FileMetadata metadata;
    if (m_impl->lockFd < 0 || !ReadMetadata(m_impl->lockFd, &metadata, nullptr)) return std::nullopt;
    return metadata;
}

bool HeldFile::SameAccess(HeldFile& other) {
    const std::optional<FileMetadata> mine = Metadata(), theirs = other.Metadata();
    return mine && theirs && platform::SameAccess(*mine, *theirs);
}

int HeldFile::ReplaceByCopy(const FileMetadata* metadata) {
    if (m_impl->dirFd < 0 || m_impl->lockFd < 0) return EBADF;
    struct stat before;
    if (fstat(m_impl->lockFd, &before) != 0) return errno;
    std::string spare;
    int out = -1;
    for (int tries = 0; out < 0; ++tries) {
        spare = SpareName(m_impl->name);
        out = openat(m_impl->dirFd, spare.c_str(),
                     O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (out < 0 && (errno != EEXIST || tries == 10)) return errno;
    }
    int code = CopyAndVerify(m_impl->lockFd, out, static_cast<std::uint64_t>(before.st_size));
    // A write to the file while it was copied could have gone into one read and not the other.
    struct stat after;
    if (code == 0 && fstat(m_impl->lockFd, &after) != 0) code = errno;
    if (code == 0 && (after.st_size != before.st_size ||
                      after.st_mtim.tv_sec != before.st_mtim.tv_sec ||
                      after.st_mtim.tv_nsec != before.st_mtim.tv_nsec))
        code = EIO;
    FileMetadata own;
    if (code == 0 && (metadata != nullptr || ReadMetadata(m_impl->lockFd, &own, &code)))
        code = ApplyMetadata(out, metadata != nullptr ? *metadata : own);
    if (close(out) != 0 && code == 0) code = errno;
    if (code == 0) code = EntryIs(m_impl->dirFd, m_impl->name, m_reader.Identity());
    if (code == 0 && renameat(m_impl->dirFd, spare.c_str(), m_impl->dirFd, m_impl->name.c_str()) != 0)
        code = errno;
    if (code != 0) unlinkat(m_impl->dirFd, spare.c_str(), 0);
    return code;
}

namespace {

// The start of XFS's geometry record (its first version), as the file system hands it out: only
// the flags are read.
struct XfsGeometryV1 {
    std::uint32_t sizes[8];
    std::uint64_t blocks[4];
    unsigned char uuid[16];
    std::uint32_t sunit, swidth;
    std::int32_t version;
    std::uint32_t flags;
    std::uint32_t logsectsize, rtsectsize, dirblocksize;
};
constexpr unsigned long kXfsGetGeometryV1 = _IOR('X', 100, XfsGeometryV1);
constexpr std::uint32_t kXfsFlagReflink = 1u << 20;
constexpr long kBtrfsMagic = 0x9123683E;
constexpr long kXfsMagic = 0x58465342;

}  // namespace

bool FileSystemCanShareData(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    struct statfs fs;
    bool can = false;
    if (fstatfs(fd, &fs) == 0) {
        if (static_cast<long>(fs.f_type) == kBtrfsMagic) {
            can = true;
        } else if (static_cast<long>(fs.f_type) == kXfsMagic) {
            XfsGeometryV1 geometry = {};
            can = ioctl(fd, kXfsGetGeometryV1, &geometry) == 0 &&
                  (geometry.flags & kXfsFlagReflink) != 0;
        }
    }
    close(fd);
    return can;
}

}  // namespace platform
