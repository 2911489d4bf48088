// Writing a whole file so that readers see either the old contents or the new, never a part.
#pragma once

#include <string>

namespace platform {

// Makes `contents` the whole contents of `path`, creating the file when it does not exist. The
// text goes into a new file in the same folder, which then takes the old file's place in one
// step; the old file's permissions carry over. A read-only target is refused like an open for
// writing would refuse it (it is not silently replaced). A symbolic link is written through
// (the file it names is replaced, the link stays).
// Returns true on success. On failure returns false with the system's error code in
// `*errorCode`; the old file is then untouched and no new file is left behind.
bool ReplaceFileContents(const std::string& path, const std::string& contents, int* errorCode);

}  // namespace platform
