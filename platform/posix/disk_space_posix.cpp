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
