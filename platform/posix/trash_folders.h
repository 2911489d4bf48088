// Where the freedesktop.org trash of a file lies: shared by the removals and the cleanup of
// what an interrupted removal left.
#pragma once

#include <string>

namespace platform {

// The user's own trash: $XDG_DATA_HOME/Trash, else $HOME/.local/share/Trash; "" when neither
// is set to an absolute path.
std::string HomeTrash();

// The top folder of the file system holding `absolute` (a file, or a folder given as
// "FOLDER/."): the highest folder on its device; "" when it cannot be read.
std::string TopFolderOf(const std::string& absolute);

}  // namespace platform
