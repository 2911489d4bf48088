#include <sys/statvfs.h>

#include "platform/disk_space.h"

namespace platform {

bool FreeDiskSpaceOfCurrentFolder(std::uint64_t* bytes) {
    struct statvfs fs;
    if (statvfs(".", &fs) != 0) return false;
    *bytes = static_cast<std::uint64_t>(fs.f_bavail) * fs.f_frsize;
    return true;
}

}  // namespace platform

#include <fcntl.h>
#include <sys/statfs.h>
#include <unistd.h>

namespace platform {

bool FreeDiskSpaceOf(const std::string& path, std::uint64_t* bytes) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return false;
    syncfs(fd);
    struct statfs fs;
    const bool ok = fstatfs(fd, &fs) == 0;
    close(fd);
    if (ok) *bytes = static_cast<std::uint64_t>(fs.f_bfree) * fs.f_bsize;
    return ok;
}

}  // namespace platform
