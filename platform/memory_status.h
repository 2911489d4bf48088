// The machine's physical memory (shown in the About box).
#pragma once

#include <cstdint>

namespace platform {

// Bytes of physical memory, or 0 when the system cannot tell.
std::uint64_t PhysicalMemoryBytes();

}  // namespace platform
