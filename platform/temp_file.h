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

// `path` in the form the C library's narrow file functions (fopen, open) take, for a library
// that opens files only so: POSIX, the same bytes; Windows, the path in the ANSI code page, or
// its short (8.3) form where a character has no place in the code page (the file or folder
// must then exist). "" when there is no such form.
std::string NarrowFilePath(const std::string& path);

}  // namespace platform
