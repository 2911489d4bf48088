// Temporary files: a new, empty file with a name of its own in the user's temporary folder.
#pragma once

#include <string>

namespace platform {

// The user's temporary folder ($TMPDIR, else /tmp; GetTempPath on Windows), ending in the
// separator.
std::string TempFolder();

// Creates a new empty file in TempFolder() whose name begins with `prefix` (Windows keeps only
// its first three characters) and returns its full path; "" when no file could be made. The
// name is never one that existed before. The caller removes the file.
std::string CreateTempFile(const std::string& prefix);

// Removes the file CreateTempFile made. False when it could not be removed.
bool RemoveTempFile(const std::string& path);

}  // namespace platform
