// Where the local disks and the network shares of a server are mounted.
#pragma once

#include <string>
#include <vector>

namespace platform {

// Roots of the fixed local disks, each ending in the separator, in the system's order.
std::vector<std::string> LocalFixedDiskRoots();

// Disk shares of `server` (the name without leading separators). Returns false when the
// server's shares cannot be enumerated; `shares` then holds what was found before the error.
bool ServerDiskShares(const std::string& server, std::vector<std::string>* shares);

// True when `folder` is where a stacked mount (an overlay) shows files whose lower or upper
// folder overlaps one of the folders of `roots` (one inside the other): the same files are
// then searched through that folder, and a walk must not list them twice. False for any other
// folder, and on Windows.
bool IsStackedOverSearched(const std::string& folder, const std::vector<std::string>& roots);

// Keeps one reading of the mount table for the life of the object (one scan), so that the
// walk does not read it per folder. Without a scope every call reads the table anew.
class MountTableScope {
public:
    MountTableScope();
    ~MountTableScope();
    MountTableScope(const MountTableScope&) = delete;
    MountTableScope& operator=(const MountTableScope&) = delete;
};

}  // namespace platform
