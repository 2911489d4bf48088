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

// Whether a link on the desktop needs a desktop entry beside the .URL file to be opened with a
// double click (the Windows shell opens .URL files itself).
#ifdef _WIN32
constexpr bool kDesktopNeedsEntryFile = false;
#else
constexpr bool kDesktopNeedsEntryFile = true;
#endif

}  // namespace platform
