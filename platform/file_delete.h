// Removing files, to the trash where the user can restore them, or for good.
#pragma once

#include <string>
#include <vector>

namespace platform {

// How DeleteFiles works. The system's own questions and windows exist on Windows only; the
// POSIX implementation never asks or shows anything (the caller asks first).
enum DeleteFlags : unsigned {
    kDeleteToTrash = 0x01,         // to the trash (recycle bin), else for good
    kDeleteNoConfirmation = 0x02,  // no question of the system's own: the caller asked already
    kDeleteSilent = 0x04,          // no progress window
    kDeleteNoErrorUi = 0x08,       // no message of the system's own when a file cannot go
};

// Removes every file of `paths` as `flags` say. Returns the paths that are still there
// afterwards (could not be removed, or the user stopped the operation), in the given order.
// POSIX trash: the freedesktop.org trash of the user ($XDG_DATA_HOME/Trash, else
// ~/.local/share/Trash) or, for a file on another file system, the .Trash-<uid> folder at the
// top of that file system; each file gets its .trashinfo record. A file that cannot go to the
// trash is never removed for good instead: POSIX leaves it; Windows asks the user first.
std::vector<std::string> DeleteFiles(const std::vector<std::string>& paths, unsigned flags);

}  // namespace platform
