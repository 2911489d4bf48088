// The user's Favorites folder and desktop folder, where the link control saves shortcuts.
#pragma once

#include <string>

namespace platform {

// The user's Favorites folder, made when it is missing: ~/Favorites here, the shell's Favorites
// folder on Windows. The path does not end in a separator. False when there is no home folder
// or the folder cannot be made.
bool FavoritesFolder(std::string* path);

// The user's desktop folder: XDG_DESKTOP_DIR of the user's user-dirs.dirs (as xdg-user-dir
// reads it), else ~/Desktop; the shell's desktop folder on Windows. The path does not end in a
// separator. False when there is no home folder or the folder does not exist.
bool DesktopFolder(std::string* path);

// The settings file of `application`: $XDG_CONFIG_HOME/<application>/<application>.conf
// ($HOME/.config when XDG_CONFIG_HOME is not an absolute path); "" on Windows, where the
// registry holds the settings.
std::string SettingsFilePath(const std::string& application);

// The folder for the program's own files beside its settings (made when missing):
// $XDG_CONFIG_HOME/<application> ($HOME/.config when XDG_CONFIG_HOME is not an absolute path);
// on Windows <local application data>\<application>. "" when there is none.
std::string ApplicationDataFolder(const std::string& application);

// The folder for what the program keeps only to be faster, which may be removed at any time
// (made when missing, private to the user): $XDG_CACHE_HOME/<application> ($HOME/.cache when
// XDG_CACHE_HOME is not an absolute path); on Windows <local application data>\<application>.
// "" when there is none.
std::string CacheFolder(const std::string& application);

// Makes the file at `path` when it is missing, readable and writable by its owner only (on
// Windows as the folder gives it). False with the system's error code in *error.
bool MakePrivateFile(const std::string& path, int* error);

// Removes the file at `path`: true when it is gone (or was never there).
bool RemoveFileIfThere(const std::string& path, int* error);

// Whether a link on the desktop needs a desktop entry beside the .URL file to be opened with a
// double click (the Windows shell opens .URL files itself).
#ifdef _WIN32
constexpr bool kDesktopNeedsEntryFile = false;
#else
constexpr bool kDesktopNeedsEntryFile = true;
#endif

}  // namespace platform
