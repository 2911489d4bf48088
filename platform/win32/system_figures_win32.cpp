// Free disk space and physical memory.
#include "platform/disk_space.h"
#include "platform/memory_status.h"
#include "platform/win32/win32.h"

namespace platform {

bool FreeDiskSpaceOfCurrentFolder(std::uint64_t* bytes) {
    ULARGE_INTEGER available, total, free;
    // A null directory means the disk of the current folder.
    if (!::GetDiskFreeSpaceExA(nullptr, &available, &total, &free)) return false;
    *bytes = available.QuadPart;
    return true;
}

std::uint64_t PhysicalMemoryBytes() {
    MEMORYSTATUS status = {};
    status.dwLength = sizeof status;
    ::GlobalMemoryStatus(&status);
    return static_cast<std::uint64_t>(status.dwTotalPhys);
}

}  // namespace platform
