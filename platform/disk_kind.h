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

// How many files may be read at once on such a disk: one where a head must move, two otherwise
// (a disk that cannot be told counts as solid-state).
inline int ReadersForDisk(DiskKind kind) { return kind == DiskKind::kSpinning ? 1 : 2; }

}  // namespace platform
