#include "platform/disk_kind.h"

#include <climits>
#include <cstdlib>
#include <fstream>

namespace platform {

namespace {

bool Exists(const std::string& path) {
    std::ifstream in(path);
    return in.good();
}

}  // namespace

DiskKind KindOfDisk(std::uint64_t device, const std::string& sysRoot) {
    const std::string link = sysRoot + "/dev/block/" + std::to_string(device >> 32) + ":" +
                             std::to_string(device & 0xFFFFFFFFu);
    char resolved[PATH_MAX];
    if (realpath(link.c_str(), resolved) == nullptr) return DiskKind::kUnknown;
    std::string disk = resolved;
    // A partition has no queue of its own: its disk is the folder above it.
    if (Exists(disk + "/partition")) {
        const std::size_t slash = disk.rfind('/');
        if (slash == std::string::npos || slash == 0) return DiskKind::kUnknown;
        disk.resize(slash);
    }
    std::ifstream in(disk + "/queue/rotational");
    int rotational = -1;
    if (!(in >> rotational)) return DiskKind::kUnknown;
    if (rotational == 1) return DiskKind::kSpinning;
    return rotational == 0 ? DiskKind::kSolidState : DiskKind::kUnknown;
}

}  // namespace platform
