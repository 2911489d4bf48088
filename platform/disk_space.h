// Free space on the disk that holds the current folder (shown in the About box).
#pragma once

#include <cstdint>

namespace platform {

// Bytes of the current folder's disk that this user may still fill. False (and *bytes left
// alone) when the system cannot tell.
bool FreeDiskSpaceOfCurrentFolder(std::uint64_t* bytes);

}  // namespace platform
