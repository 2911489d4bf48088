#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/fiemap.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#endif

#include <algorithm>
#include <cerrno>
#include <vector>

#include "platform/file_reader.h"
#include "platform/posix/open_nofollow.h"

namespace platform {

namespace {

void FillIdentity(const struct stat& st, FileIdentity* out) {
    out->device = DeviceOf(st);
    out->inode = st.st_ino;
    out->size = static_cast<std::uint64_t>(st.st_size);
    out->lastWrite = FileTimeFromUnix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec);
    out->changed = FileTimeFromUnix(st.st_ctim.tv_sec, st.st_ctim.tv_nsec);
}

// Opens `path` as a regular file, without following a link and without blocking on a FIFO.
int OpenRegular(const std::string& path, struct stat* st) {
    const int fd = OpenNoFollow(path, O_RDONLY | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return -1;
    if (fstat(fd, st) != 0) {
        const int saved = errno;
        close(fd);
        errno = saved;
        return -1;
    }
    if (!S_ISREG(st->st_mode)) {
        close(fd);
        errno = S_ISDIR(st->st_mode) ? EISDIR : EINVAL;
        return -1;
    }
    return fd;
}

}  // namespace

bool QueryFileIdentity(const std::string& path, FileIdentity* out, int* error) {
    struct stat st;
    const int fd = OpenRegular(path, &st);
    if (fd < 0) {
        if (error != nullptr) *error = errno;
        return false;
    }
    close(fd);
    FillIdentity(st, out);
    return true;
}

bool QueryNameIdentity(const std::string& path, FileIdentity* out, int* error) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) {
        if (error != nullptr) *error = errno;
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        if (error != nullptr) *error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        return false;
    }
    FillIdentity(st, out);
    return true;
}

FileReader::~FileReader() { Close(); }

bool FileReader::Open(const std::string& path, bool wholeFile) {
    Close();
    struct stat st;
    const int fd = OpenRegular(path, &st);
    if (fd < 0) return false;
    FillIdentity(st, &m_identity);
    // Read-ahead advice pays only for files of more than one block; a first look at a file
    // reads one page, and reading ahead of it would read what may never be needed.
    if (!wholeFile) posix_fadvise(fd, 0, 0, POSIX_FADV_RANDOM);
    else if (st.st_size > 65536) posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    m_fd = fd;
    return true;
}

long FileReader::Read(void* buffer, std::size_t size) {
    if (m_fd < 0) return -1;
    if (m_turn != nullptr && !m_turn->Held()) {
#ifdef RWF_NOWAIT
        // Asked of the page cache only: what it holds needs no turn on the disk.
        struct iovec part = {buffer, size};
        for (;;) {
            const ssize_t n = preadv2(m_fd, &part, 1, -1, RWF_NOWAIT);
            if (n >= 0) return static_cast<long>(n);
            if (errno != EINTR) break;
        }
        // EAGAIN: it would wait; anything else (no such read on this file system) is asked
        // again below, after the turn, where a real error is told.
#endif
        m_turn->Take();
    }
    for (;;) {
        const ssize_t n = read(m_fd, buffer, size);
        if (n >= 0) return static_cast<long>(n);
        if (errno != EINTR) return -1;
    }
}

bool FileReader::Current(FileIdentity* out) const {
    struct stat st;
    if (m_fd < 0) {
        errno = EBADF;
        return false;
    }
    if (fstat(m_fd, &st) != 0) return false;
    FillIdentity(st, out);
    return true;
}

bool FileReader::Rewind() { return m_fd >= 0 && lseek(m_fd, 0, SEEK_SET) == 0; }

bool FileReader::Seek(std::uint64_t offset) {
    return m_fd >= 0 &&
           lseek(m_fd, static_cast<off_t>(offset), SEEK_SET) == static_cast<off_t>(offset);
}

void FileReader::ForgetCachedPages() {
    if (m_fd >= 0) posix_fadvise(m_fd, 0, 0, POSIX_FADV_DONTNEED);
}

bool FileReader::CachedFrom(std::uint64_t offset) const {
    const long page = sysconf(_SC_PAGESIZE);
    if (m_fd < 0 || page <= 0) return true;
    const std::uint64_t start = offset / static_cast<std::uint64_t>(page) * static_cast<std::uint64_t>(page);
    if (start >= m_identity.size) return false;
    const std::size_t length =
        static_cast<std::size_t>(std::min<std::uint64_t>(m_identity.size - start, std::uint64_t{64} << 20));
    // Mapping reads nothing; the kernel only says which pages it holds.
    void* map = mmap(nullptr, length, PROT_READ, MAP_SHARED, m_fd, static_cast<off_t>(start));
    if (map == MAP_FAILED) return true;
    std::vector<unsigned char> resident((length + static_cast<std::size_t>(page) - 1) /
                                        static_cast<std::size_t>(page));
    const bool known = mincore(map, length, resident.data()) == 0;
    munmap(map, length);
    if (!known) return true;
    return std::any_of(resident.begin(), resident.end(), [](unsigned char r) { return (r & 1) != 0; });
}

std::uint64_t FileReader::FirstPlaceOnDisk() const {
#ifdef __linux__
    if (m_fd < 0) return 0;
    // The query and room for one extent after it.
    alignas(struct fiemap) unsigned char buffer[sizeof(struct fiemap) + sizeof(struct fiemap_extent)] = {};
    struct fiemap* map = reinterpret_cast<struct fiemap*>(buffer);
    map->fm_start = 0;
    map->fm_length = FIEMAP_MAX_OFFSET;
    map->fm_extent_count = 1;
    if (ioctl(m_fd, FS_IOC_FIEMAP, map) != 0 || map->fm_mapped_extents == 0) return 0;
    const struct fiemap_extent& extent = map->fm_extents[0];
    // Data kept in the inode, or not yet placed, has no place of its own.
    if ((extent.fe_flags & (FIEMAP_EXTENT_UNKNOWN | FIEMAP_EXTENT_DATA_INLINE)) != 0) return 0;
    return extent.fe_physical;
#else
    return 0;
#endif
}

void FileReader::Close() {
    if (m_fd >= 0) {
        close(m_fd);
        m_fd = -1;
    }
}

}  // namespace platform
