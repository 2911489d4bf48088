#include "platform/memory_status.h"

#include "platform/win32/win32.h"

namespace platform {

std::uint64_t PhysicalMemoryBytes() {
    MEMORYSTATUS status = {};
    status.dwLength = sizeof status;
    ::GlobalMemoryStatus(&status);
    return static_cast<std::uint64_t>(status.dwTotalPhys);
}

}  // namespace platform
