// The machine's memory (shown in the About box).
#pragma once

#include <cstdint>

namespace platform {

// Bytes of physical memory, or 0 when the system cannot tell.
std::uint64_t PhysicalMemoryBytes();

// Bytes of physical memory available for new work without swapping (free memory plus what the
// system can give back from its caches at once), or 0 when the system cannot tell.
std::uint64_t AvailableMemoryBytes();

}  // namespace platform
