// Opening by path without following links, also for paths longer than the system's limit.
#pragma once

#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cstdint>
#include <string>

namespace platform {

// open(path, flags | O_NOFOLLOW | O_CLOEXEC); a path the system refuses as too long is opened
// one folder at a time from the root (or the current folder), no part followed if it is a
// link. Returns the descriptor, or -1 with errno set.
int OpenNoFollow(const std::string& path, int flags);

// The device number as the scan records it (statx's major and minor).
inline std::uint64_t DeviceOf(const struct stat& st) {
    return (static_cast<std::uint64_t>(major(st.st_dev)) << 32) | minor(st.st_dev);
}

// The folder part of `path`: "." for a bare name, "/" for a name in the root.
inline std::string ParentFolder(const std::string& path) {
    const std::string::size_type slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace platform
