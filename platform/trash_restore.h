// Putting a file that was moved to the trash back where it was, after checking that the trash
// still holds it as it went in.
#pragma once

#include <cstdint>
#include <string>

#include "platform/file_time.h"

namespace platform {

// A file moved to the trash: where it was and what it was when it went.
struct TrashedFile {
    std::string original;   // the absolute path it had (the one its trash record names)
    std::string trashFile;  // POSIX: its place in the trash's files folder; Windows: ""
    std::string infoFile;   // POSIX: its .trashinfo record; Windows: "" (found when restoring)
    std::uint64_t size = 0;
    FileTime lastWrite = 0;  // UTC
};

enum class RestoreResult {
    kRestored,
    kNameTaken,   // another file stands under the name: nothing was moved
    kNotInTrash,  // the trash no longer holds it (emptied, or restored by other means)
    kChanged,     // what the trash holds under its record is not the file that went in
    kFailed,      // the system refused; `error` tells why
};

// Moves `file` back under its original name, never over a file that took the name meanwhile,
// and drops its trash record. The file in the trash must still be a regular file of the size
// and modification time it went in with. `error` (may be null) gets the system's code on
// kFailed.
RestoreResult RestoreTrashedFile(const TrashedFile& file, int* error);

}  // namespace platform
