#include "platform/disk_space.h"

#include "platform/win32/win32.h"

namespace platform {

bool FreeDiskSpaceOfCurrentFolder(std::uint64_t* bytes) {
    ULARGE_INTEGER available, total, free;
    // A null directory means the disk of the current folder (a network share too).
    if (::GetDiskFreeSpaceExW(nullptr, &available, &total, &free)) {
        *bytes = available.QuadPart;
        return true;
    }
    // Older call: the product exceeds 32 bits on any disk of more than 4 GB free.
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, clusters = 0;
    if (!::GetDiskFreeSpaceW(nullptr, &sectorsPerCluster, &bytesPerSector, &freeClusters,
                             &clusters))
        return false;
    *bytes = static_cast<std::uint64_t>(freeClusters) * bytesPerSector * sectorsPerCluster;
    return true;
}

}  // namespace platform

namespace platform {

bool FreeDiskSpaceOf(const std::string& path, std::uint64_t* bytes) {
    std::string folder = path;
    if (!folder.empty() && folder.back() != '\\' && folder.back() != '/') folder += '\\';
    ULARGE_INTEGER available, total, free;
    if (!::GetDiskFreeSpaceExW(FilePath(folder).c_str(), &available, &total, &free)) return false;
    *bytes = free.QuadPart;
    return true;
}

}  // namespace platform
