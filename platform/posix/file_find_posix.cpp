#include <dirent.h>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/error_text.h"
#include "platform/file_find.h"
#include "platform/posix/open_nofollow.h"

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

// Fills the facts of `out` (its name is `name` already) from the entry `name` of the open
// folder `dirFd`. 0 when it could; -1 for entries that are neither a regular file nor a folder,
// and for entries that vanished; else the system's error code (the entry is there but its
// facts cannot be read: a folder readable but not searchable, a damaged inode).
int StatEntry(int dirFd, const char* name, FindData* out) {
#if defined(STATX_BTIME)
    struct statx sx;
    if (statx(dirFd, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
              STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_INO | STATX_ATIME | STATX_MTIME |
                  STATX_BTIME,
              &sx) != 0)
        return errno == ENOENT ? -1 : errno;
    if (!S_ISREG(sx.stx_mode) && !S_ISDIR(sx.stx_mode)) return -1;
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
    if (fstatat(dirFd, name, &st, AT_SYMLINK_NOFOLLOW) != 0) return errno == ENOENT ? -1 : errno;
    if (!S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) return -1;
    out->dwFileAttributes = AttributesOf(name, st.st_mode);
    out->ftLastWriteTime = FromTimespec(st.st_mtim);
    out->ftLastAccessTime = FromTimespec(st.st_atim);
    out->ftCreationTime = 0;
    const std::uint64_t size = S_ISDIR(st.st_mode) ? 0 : static_cast<std::uint64_t>(st.st_size);
    out->nDevice = st.st_dev;
    out->nInode = st.st_ino;
#endif
    out->nFileSize = size;
    return 0;
}

// Below this many entries a folder is not worth a second thread.
constexpr std::size_t kSplitThreshold = 16;

}  // namespace

struct StatHelper::Impl {
    Impl() {
        if (std::thread::hardware_concurrency() > 1) m_thread = std::thread(&Impl::Run, this);
    }
    ~Impl() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_quit = true;
        }
        m_wake.notify_one();
        if (m_thread.joinable()) m_thread.join();
    }

    // Runs job(0, mid) here and job(mid, count) on the helper thread, and returns when both
    // are done. When the helper is busy with another caller, runs everything here.
    template <typename Job>
    void Split(std::size_t count, const Job& job) {
        std::unique_lock<std::mutex> owner(m_owner, std::try_to_lock);
        if (!owner.owns_lock() || !m_thread.joinable()) {
            job(0, count);
            return;
        }
        const std::size_t mid = count / 2;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_task = [&job, mid, count] { job(mid, count); };
            m_pending = true;
        }
        m_wake.notify_one();
        job(0, mid);
        std::unique_lock<std::mutex> lock(m_mutex);
        m_done.wait(lock, [this] { return !m_pending; });
    }

    void Run() {
        std::unique_lock<std::mutex> lock(m_mutex);
        for (;;) {
            m_wake.wait(lock, [this] { return m_pending || m_quit; });
            if (m_quit) return;
            lock.unlock();
            m_task();
            lock.lock();
            m_pending = false;
            m_done.notify_one();
        }
    }

    std::mutex m_owner;  // one caller at a time
    std::mutex m_mutex;
    std::condition_variable m_wake, m_done;
    std::function<void()> m_task;
    bool m_pending = false;
    bool m_quit = false;
    std::thread m_thread;
};

StatHelper::StatHelper() : m_impl(new Impl) {}

StatHelper::~StatHelper() = default;

struct FileFinder::Impl {
    std::vector<FindData> entries;  // the folder's reportable entries, in listing order
    std::vector<int> valid;  // 1: the entry could be asked about; 0: vanished; else -error
    std::size_t next = 0;
};

FileFinder::FileFinder(StatHelper* helper) : m_impl(new Impl), m_helper(helper) {}

FileFinder::~FileFinder() { Close(); }

void FileFinder::Close() {
    m_impl->entries.clear();
    m_impl->valid.clear();
    m_impl->next = 0;
    m_unreadable.clear();
}

bool FileFinder::First(const std::string& folder) {
    Close();
    int error = 0;
    const std::unique_ptr<FolderHandle> handle = FolderHandle::OpenStart(folder, &error);
    if (!handle) {
        m_error = error;
        return false;
    }
    return First(*handle);
}

bool FileFinder::First(const FolderHandle& folder) {
    Close();
    m_error = 0;
    // The listing reads through a descriptor of its own; the handle stays open for the
    // subfolders.
    const int fd = fcntl(folder.m_fd, F_DUPFD_CLOEXEC, 0);
    if (fd < 0) {
        m_error = errno;
        return false;
    }
    DIR* dir = fdopendir(fd);
    if (dir == nullptr) {
        m_error = errno;
        close(fd);
        return false;
    }
    rewinddir(dir);
    // The whole listing first (the entry type, where the file system gives it, spares asking
    // about what is skipped), then the facts of every entry, on two cores for large folders.
    std::vector<FindData>& entries = m_impl->entries;
    while (struct dirent* entry = readdir(dir)) {
        const unsigned char type = entry->d_type;
        if (type != DT_UNKNOWN && type != DT_REG && type != DT_DIR) continue;
        entries.emplace_back();
        entries.back().cFileName = entry->d_name;
    }
    m_impl->valid.assign(entries.size(), 0);
    const int dirFd = dirfd(dir);
    const auto statRange = [&](std::size_t begin, std::size_t end) {
        for (std::size_t k = begin; k < end; ++k) {
            const std::string& name = entries[k].cFileName;
            // "." and ".." are reported as folders without asking: no walker enters them.
            if (name == "." || name == "..") {
                entries[k].dwFileAttributes = kAttrDirectory;
                m_impl->valid[k] = 1;
                continue;
            }
            const int result = StatEntry(dirFd, name.c_str(), &entries[k]);
            m_impl->valid[k] = result == 0 ? 1 : result < 0 ? 0 : -result;
        }
    };
    if (m_helper != nullptr && entries.size() >= kSplitThreshold)
        m_helper->m_impl->Split(entries.size(), statRange);
    else statRange(0, entries.size());
    closedir(dir);
    for (std::size_t k = 0; k < entries.size(); ++k)
        if (m_impl->valid[k] < 0) m_unreadable.emplace_back(entries[k].cFileName, -m_impl->valid[k]);
    return Next();
}

bool FileFinder::Next() {
    while (m_impl->next < m_impl->entries.size()) {
        const std::size_t k = m_impl->next++;
        if (m_impl->valid[k] != 1) continue;
        m_data = std::move(m_impl->entries[k]);
        return true;
    }
    return false;
}

FolderHandle::~FolderHandle() {
    if (m_fd >= 0) close(m_fd);
}

std::unique_ptr<FolderHandle> FolderHandle::OpenStart(const std::string& path, int* error) {
    std::string name = path.empty() ? std::string(".") : path;
    while (name.size() > 1 && name.back() == '/') name.pop_back();
    // O_NONBLOCK keeps a FIFO named as a start folder from blocking the open.
    const int fd = open(name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        *error = errno;
        return nullptr;
    }
    std::unique_ptr<FolderHandle> handle(new FolderHandle);
    handle->m_fd = fd;
    handle->m_path = path;
    return handle;
}

std::unique_ptr<FolderHandle> FolderHandle::OpenSub(const FindData& entry, const std::string& path,
                                                    int* error) const {
    const int fd = openat(m_fd, entry.cFileName.c_str(),
                          O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        // A link swapped in for the folder fails here (ELOOP, or ENOTDIR for a link to a file).
        *error = errno == ELOOP || errno == ENOTDIR ? kErrorReplaced : errno;
        return nullptr;
    }
    struct stat st;
    if (fstat(fd, &st) != 0 || DeviceOf(st) != entry.nDevice || st.st_ino != entry.nInode) {
        close(fd);
        *error = kErrorReplaced;
        return nullptr;
    }
    std::unique_ptr<FolderHandle> handle(new FolderHandle);
    handle->m_fd = fd;
    handle->m_path = path;
    return handle;
}

bool FolderHandle::IsVirtualFileSystem() const {
    struct statfs fs;
    if (fstatfs(m_fd, &fs) != 0) return false;
    switch (static_cast<unsigned long>(fs.f_type)) {
        case PROC_SUPER_MAGIC:
        case SYSFS_MAGIC:
        case DEVPTS_SUPER_MAGIC:
        case CGROUP_SUPER_MAGIC:
        case CGROUP2_SUPER_MAGIC:
        case DEBUGFS_MAGIC:
        case TRACEFS_MAGIC:
        case SECURITYFS_MAGIC:
        case PSTOREFS_MAGIC:
        case BPF_FS_MAGIC:
        case 0x62656570:  // configfs
        case 0x65735543:  // fusectl
        case 0x19800202:  // mqueue
        case HUGETLBFS_MAGIC:
        case AUTOFS_SUPER_MAGIC:
        case BINFMTFS_MAGIC:
        case EFIVARFS_MAGIC:
            return true;
        default:
            return false;
    }
}

std::uint32_t GetFileAttributes(const std::string& path) {
    struct stat st;
    if (path.empty() || lstat(path.c_str(), &st) != 0) return kInvalidFileAttributes;
    return AttributesOf(BaseName(path), st.st_mode);
}

}  // namespace platform
