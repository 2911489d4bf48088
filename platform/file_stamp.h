// What a file is now, to the nanosecond, for telling whether anything learnt about it earlier
// still holds: which file system and file it is, its size, and its last-write and change times.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

namespace platform {

struct FileStamp {
    std::uint64_t device = 0;  // POSIX: the device; Windows: the volume serial
    std::uint64_t inode = 0;   // POSIX: the inode; Windows: the file index
    std::uint64_t size = 0;
    std::int64_t writtenNs = 0;  // last write, nanoseconds since 1970 (UTC)
    std::int64_t changedNs = 0;  // last change of the file or its details (POSIX ctime), the same
};

// The stamp of the regular file at `path`, asked of the name without following a link in its
// last part (Windows: of the file opened for its attributes only). False with the system's
// error code in *error (EINVAL for anything but a regular file).
bool QueryFileStamp(const std::string& path, FileStamp* out, int* error);

// A name for the file system of `device` (where the file at `path` is) that stays the same
// across restarts and mounts: its UUID where the system knows one ("uuid:..."), else the file
// system's own id ("fsid:..."), else the device ("dev:..."). A new file system at the same
// place gets a new name whenever the system gives it a new UUID or id.
std::string FileSystemName(std::uint64_t device, const std::string& path);

// FileSystemName asked once per device: a million files lie on a handful of file systems.
class FileSystemNames {
public:
    const std::string& Of(std::uint64_t device, const std::string& path) {
        auto at = m_names.find(device);
        if (at == m_names.end()) at = m_names.emplace(device, FileSystemName(device, path)).first;
        return at->second;
    }

private:
    std::unordered_map<std::uint64_t, std::string> m_names;
};

}  // namespace platform
