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

std::string Numbers(std::uint64_t device) {
    return std::to_string(device >> 32) + ":" + std::to_string(device & 0xFFFFFFFFu);
}

// The block device folder of the disk that holds `device`, or "".
std::string DiskFolder(std::uint64_t device, const std::string& sysRoot) {
    const std::string link = sysRoot + "/dev/block/" + Numbers(device);
    char resolved[PATH_MAX];
    if (realpath(link.c_str(), resolved) == nullptr) return std::string();
    std::string disk = resolved;
    // A partition has no queue of its own: its disk is the folder above it.
    if (Exists(disk + "/partition")) {
        const std::size_t slash = disk.rfind('/');
        if (slash == std::string::npos || slash == 0) return std::string();
        disk.resize(slash);
    }
    return disk;
}

}  // namespace

std::string DiskName(std::uint64_t device, const std::string& sysRoot) {
    const std::string disk = DiskFolder(device, sysRoot);
    const std::size_t slash = disk.rfind('/');
    if (disk.empty() || slash == std::string::npos || slash + 1 == disk.size()) return Numbers(device);
    return disk.substr(slash + 1);
}

DiskKind KindOfDisk(std::uint64_t device, const std::string& sysRoot) {
    const std::string disk = DiskFolder(device, sysRoot);
    if (disk.empty()) return DiskKind::kUnknown;
    std::ifstream in(disk + "/queue/rotational");
    int rotational = -1;
    if (!(in >> rotational)) return DiskKind::kUnknown;
    if (rotational == 1) return DiskKind::kSpinning;
    return rotational == 0 ? DiskKind::kSolidState : DiskKind::kUnknown;
}

}  // namespace platform
