// Who a file is, as the system reports it for an open file: the facts that tell the file that
// was scanned from another one put in its place since.
#pragma once

#include <cstdint>
#include <string>

#include "platform/file_time.h"

namespace platform {

struct FileIdentity {
    std::uint64_t device = 0;  // POSIX: the device (major << 32 | minor); Windows: volume serial
    std::uint64_t inode = 0;   // POSIX: the inode; Windows: the file index
    std::uint64_t size = 0;
    FileTime lastWrite = 0;    // UTC
    FileTime changed = 0;      // UTC: the last change of the file or of its details (POSIX
                               // ctime; Windows change time where the system keeps it)
};

// The identity of the regular file at `path`, asked of the open file. The file is opened
// without following a link: a link (in its last part), a reparse point on Windows, or
// anything but a regular file fails. False with the system's error code in *error.
bool QueryFileIdentity(const std::string& path, FileIdentity* out, int* error);

// The same asked of the name alone, without opening the file (one call of the system where
// there is such a call): for a file whose bytes are not read again.
bool QueryNameIdentity(const std::string& path, FileIdentity* out, int* error);

}  // namespace platform
