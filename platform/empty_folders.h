// Removing a folder that an action left empty, and making it again when the action is taken
// back: with the permissions and times it had, so that the folder that comes back is the one
// that went as far as anyone can see.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

struct RemovedFolder {
    std::string path;
    std::uint32_t mode = 0;        // POSIX: the permission bits (07777); Windows: 0
    std::uint32_t attributes = 0;  // Windows: the FILE_ATTRIBUTE_* bits; POSIX: 0
    std::int64_t accessTime = 0;   // nanoseconds since 1970-01-01 UTC
    std::int64_t writeTime = 0;    // nanoseconds since 1970-01-01 UTC
};

// What the folder at `path` (not a link to one) is now. False when there is no folder there.
bool ReadFolderState(const std::string& path, RemovedFolder* out);

// Removes the folder at `path` when it is a folder (not a link to one) that holds nothing;
// `*removed` gets what it was. 0, or the system's code: kFolderNotEmpty when it holds anything
// (the system checks this in the same step that removes it).
int RemoveEmptyFolder(const std::string& path, RemovedFolder* removed);
#ifdef _WIN32
constexpr int kFolderNotEmpty = 145;  // ERROR_DIR_NOT_EMPTY
#else
constexpr int kFolderNotEmpty = 39;   // ENOTEMPTY
#endif

// Makes `folder` again with its permissions (its parent must be there). A folder already
// standing there counts as made. 0 or the system's code.
int MakeFolderAgain(const RemovedFolder& folder);
// Gives the folder made again its times back: last, once what goes back into it is there.
int SetFolderTimes(const RemovedFolder& folder);

}  // namespace platform
