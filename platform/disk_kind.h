// What kind of disk a file system lies on, and where a file starts on it: for reading many
// files in an order and with a number of readers that suit the disk.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

enum class DiskKind {
    kUnknown,     // not a block device the system describes (network, memory, Windows)
    kSolidState,
    kSpinning,    // its head moves between places: reading two files at once costs seeks
};

// The kind of the disk that holds the file system of `device` (a FileIdentity's device), as the
// system's block device folder at `sysRoot` tells it (a partition is told by its disk).
DiskKind KindOfDisk(std::uint64_t device, const std::string& sysRoot = "/sys");

// The name of that disk as the system calls it ("sda", "vda", "nvme0n1"), or its device
// numbers ("8:3") where no block device stands behind them (network, memory, Windows).
std::string DiskName(std::uint64_t device, const std::string& sysRoot = "/sys");

}  // namespace platform
