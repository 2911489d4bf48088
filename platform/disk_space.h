// Free space on the disk that holds the current folder (shown in the About box).
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// Bytes of the current folder's disk that this user may still fill. False (and *bytes left
// alone) when the system cannot tell.
bool FreeDiskSpaceOfCurrentFolder(std::uint64_t* bytes);

// Free bytes of the file system that holds the folder `path` (all of them, not only this user's share),
// after the file system has written what it holds back (Btrfs and XFS count freed blocks only
// then). False when the system cannot tell.
bool FreeDiskSpaceOf(const std::string& path, std::uint64_t* bytes);

}  // namespace platform
