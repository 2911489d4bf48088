#include "platform/memory_status.h"

#include "platform/win32/win32.h"

namespace platform {

// GlobalMemoryStatus stops at 4 GB (2 GB for some programs); the Ex form counts in 64 bits.
std::uint64_t PhysicalMemoryBytes() {
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof status;
    if (!::GlobalMemoryStatusEx(&status)) return 0;
    return status.ullTotalPhys;
}

std::uint64_t AvailableMemoryBytes() {
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof status;
    if (!::GlobalMemoryStatusEx(&status)) return 0;
    return status.ullAvailPhys;
}

}  // namespace platform
