// Paths as the user names them on a command line: made absolute, their root told, and what
// they name looked up. Paths are UTF-8 on Windows (the window's encoding) and the name's own
// bytes elsewhere.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// The process's current folder, or "" when it cannot be told (it was removed).
std::string CurrentFolder();

// Length of the root of `path` ("/"; Windows: "C:\", "\\server\share\", or "\" for the
// current drive), 0 when it has none.
std::size_t PathRootLength(const std::string& path);

// `path` made absolute against `base`, without "." parts, repeated or trailing separators
// (".." stays: a link may stand before it). Without a base a relative path stays as given.
// On Windows "/" is read as "\", and "\x" and "C:x" take the drive of the base.
std::string AbsolutePath(std::string path, const std::string& base);

// The folder that holds the file at the absolute `path`: its root stays whole.
std::string FolderOf(const std::string& path);

// Where the last name of `path` starts: after its last separator (on Windows "/" too), 0 when
// it has none. path.substr(0, NameStart(path)) is its folder with the separator.
std::size_t NameStart(const std::string& path);

// True when `path` exists and is not a folder; a link counts as what it points to.
bool IsExistingNonFolder(const std::string& path);

// Windows' forms of a typed path before it is made absolute (separators, the current drive);
// unchanged elsewhere.
std::string DriveRelativeOnBase(std::string path, const std::string& base);

}  // namespace platform
