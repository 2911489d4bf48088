#include "platform/disk_space.h"

#include "platform/win32/win32.h"

namespace platform {

bool FreeDiskSpaceOfCurrentFolder(std::uint64_t* bytes) {
    ULARGE_INTEGER available, total, free;
    // A null directory means the disk of the current folder.
    if (!::GetDiskFreeSpaceExA(nullptr, &available, &total, &free)) return false;
    *bytes = available.QuadPart;
    return true;
}

}  // namespace platform
