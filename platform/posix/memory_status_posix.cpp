// Physical memory: all of it, and what is available now.
#include <unistd.h>

#include <fstream>
#include <string>

#include "platform/memory_status.h"

namespace platform {

std::uint64_t PhysicalMemoryBytes() {
    const long pages = sysconf(_SC_PHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return 0;
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
}

std::uint64_t AvailableMemoryBytes() {
    // The kernel's own estimate counts the caches it can drop; free pages alone understate it.
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    std::uint64_t kb = 0;
    while (meminfo >> key) {
        if (key == "MemAvailable:") {
            if (meminfo >> kb) return kb * 1024;
            break;
        }
        meminfo.ignore(256, '\n');
    }
    const long pages = sysconf(_SC_AVPHYS_PAGES);
    const long pageSize = sysconf(_SC_PAGESIZE);
    if (pages <= 0 || pageSize <= 0) return 0;
    return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
}

}  // namespace platform
