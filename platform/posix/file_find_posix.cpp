#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>

#include "platform/file_find.h"

namespace platform {

namespace {

std::uint32_t AttributesOf(const char* name, mode_t mode) {
    std::uint32_t attrs = 0;
    if (S_ISDIR(mode)) attrs |= kAttrDirectory;
    if ((mode & S_IWUSR) == 0) attrs |= kAttrReadOnly;
    if (name[0] == '.' && std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0)
        attrs |= kAttrHidden;
    return attrs;
}

const char* BaseName(const std::string& path) {
    std::string::size_type end = path.size();
    while (end > 1 && path[end - 1] == '/') --end;
    std::string::size_type slash = path.rfind('/', end - 1);
    return path.c_str() + (slash == std::string::npos ? 0 : slash + 1);
}

// Fills `out` from the entry `name` of the open folder `dirFd`. False for entries that are
// neither a regular file nor a folder, and for entries that vanished.
bool StatEntry(int dirFd, const char* name, FindData* out) {
#if defined(STATX_BTIME)
    struct statx sx;
    if (statx(dirFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
              STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_INO | STATX_ATIME | STATX_MTIME |
                  STATX_BTIME,
              &sx) != 0)
        return false;
    if (!S_ISREG(sx.stx_mode) && !S_ISDIR(sx.stx_mode)) return false;
    out->dwFileAttributes = AttributesOf(name, sx.stx_mode);
    out->ftLastWriteTime = FileTimeFromUnix(sx.stx_mtime.tv_sec, sx.stx_mtime.tv_nsec);
    out->ftLastAccessTime = FileTimeFromUnix(sx.stx_atime.tv_sec, sx.stx_atime.tv_nsec);
    out->ftCreationTime = (sx.stx_mask & STATX_BTIME)
                              ? FileTimeFromUnix(sx.stx_btime.tv_sec, sx.stx_btime.tv_nsec)
                              : 0;
    const std::uint64_t size = S_ISDIR(sx.stx_mode) ? 0 : sx.stx_size;
    out->nDevice = (static_cast<std::uint64_t>(sx.stx_dev_major) << 32) | sx.stx_dev_minor;
    out->nInode = sx.stx_ino;
#else
    auto FromTimespec = [](const struct timespec& ts) {
        return FileTimeFromUnix(ts.tv_sec, ts.tv_nsec);
    };
    struct stat st;
    if (fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return false;
    if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) return false;
    out->dwFileAttributes = AttributesOf(name, st.st_mode);
    out->ftLastWriteTime = FromTimespec(st.st_mtim);
    out->ftLastAccessTime = FromTimespec(st.st_atim);
    out->ftCreationTime = 0;
    const std::uint64_t size = S_ISDIR(st.st_mode) ? 0 : static_cast<std::uint64_t>(st.st_size);
    out->nDevice = st.st_dev;
    out->nInode = st.st_ino;
#endif
    out->nFileSizeHigh = static_cast<std::uint32_t>(size >> 32);
    out->nFileSizeLow = static_cast<std::uint32_t>(size);
    out->cFileName = name;
    return true;
}

}  // namespace

struct FileFinder::Impl {
    DIR* dir = nullptr;
};

FileFinder::FileFinder() : m_impl(new Impl) {}

FileFinder::~FileFinder() { Close(); }

void FileFinder::Close() {
    if (m_impl->dir != nullptr) {
        closedir(m_impl->dir);
        m_impl->dir = nullptr;
    }
}

bool FileFinder::First(const std::string& folder) {
    Close();
    // A start folder the user names through a symbolic link is opened; links met inside a
    // folder are never reported, so the walk never follows one. O_NONBLOCK keeps a FIFO
    // swapped in for a folder from blocking the open.
    std::string path = folder.empty() ? std::string(".") : folder;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    int fd = open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    m_impl->dir = fdopendir(fd);
    if (m_impl->dir == nullptr) {
        close(fd);
        return false;
    }
    return Next();
}

bool FileFinder::Next() {
    if (m_impl->dir == nullptr) return false;
    const int dirFd = dirfd(m_impl->dir);
    for (;;) {
        struct dirent* entry = readdir(m_impl->dir);
        if (entry == nullptr) return false;
        // The entry type, where the file system gives it, spares a stat for what is skipped.
        const unsigned char type = entry->d_type;
        if (type != DT_UNKNOWN && type != DT_REG && type != DT_DIR) continue;
        if (StatEntry(dirFd, entry->d_name, &m_data)) return true;
    }
}

std::uint32_t GetFileAttributes(const std::string& path) {
    struct stat st;
    if (path.empty() || lstat(path.c_str(), &st) != 0) return kInvalidFileAttributes;
    return AttributesOf(BaseName(path), st.st_mode);
}

}  // namespace platform
