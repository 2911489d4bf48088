#include "platform/file_stamp.h"

#include <dirent.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <sys/sysmacros.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace platform {

bool QueryFileStamp(const std::string& path, FileStamp* out, int* error) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) {
        *error = errno;
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        *error = EINVAL;
        return false;
    }
    // The device as the scan numbers it (major << 32 | minor).
    out->device = (static_cast<std::uint64_t>(major(st.st_dev)) << 32) | minor(st.st_dev);
    out->inode = st.st_ino;
    out->size = static_cast<std::uint64_t>(st.st_size);
    out->writtenNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    out->changedNs = static_cast<std::int64_t>(st.st_ctim.tv_sec) * 1000000000 + st.st_ctim.tv_nsec;
    return true;
}

std::string FileSystemName(std::uint64_t device, const std::string& path) {
    const dev_t dev = makedev(static_cast<unsigned>(device >> 32),
                              static_cast<unsigned>(device & 0xffffffffu));
    // The block device whose UUID link leads to this device.
    if (DIR* links = opendir("/dev/disk/by-uuid")) {
        std::string found;
        while (const dirent* entry = readdir(links)) {
            if (entry->d_name[0] == '.') continue;
            struct stat st;
            const std::string link = std::string("/dev/disk/by-uuid/") + entry->d_name;
            if (stat(link.c_str(), &st) == 0 && S_ISBLK(st.st_mode) && st.st_rdev == dev) {
                found = entry->d_name;
                break;
            }
        }
        closedir(links);
        if (!found.empty()) return "uuid:" + found;
    }
    char text[64];
    struct statfs fs;
    if (statfs(path.c_str(), &fs) == 0) {
        unsigned int id[2];
        std::memcpy(id, &fs.f_fsid, sizeof id);
        if (id[0] != 0 || id[1] != 0) {
            std::snprintf(text, sizeof text, "fsid:%08x%08x:%lx", id[0], id[1],
                          static_cast<unsigned long>(fs.f_type));
            return text;
        }
    }
    std::snprintf(text, sizeof text, "dev:%llx", static_cast<unsigned long long>(device));
    return text;
}

}  // namespace platform
