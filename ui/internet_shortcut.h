// Internet shortcuts as the link control saves them: the file name taken from the link's
// caption, the "[InternetShortcut]" file, and on the desktop also a freedesktop.org link entry
// (what desktops here show as an icon). Plain C++, no wx.
#pragma once

#include <string>

// The shell folders a shortcut can go to (the numbers are the shell's folder ids).
enum ShortcutFolder : int {
    kShortcutFolderDesktop = 0,
    kShortcutFolderFavorites = 6,
};

// The shortcut's name: the part of `caption` after its last '/'; when there is none, after its
// last ':'; when there is none either, after its last '\'; else the whole caption. A caption
// that ends in such a separator ("https://host/") is cut as if the trailing separators were not
// there ("host"), since an empty name would make a hidden ".URL" file. "" when nothing is left.
// The name is shortened (at a UTF-8 character boundary) so that it fits a file name with the
// longest extension written. Separators are ASCII, so UTF-8 trail bytes never match them.
std::string ShortcutNameFromCaption(const std::string& caption);

// The text of an Internet shortcut file to `target` (CR LF line ends).
std::string InternetShortcutText(const std::string& target);

// The text of a freedesktop.org desktop entry of type Link named `name` to `target`.
std::string DesktopLinkText(const std::string& name, const std::string& target);

// `folder`, a separator unless it already ends in one, `name` and ".URL".
std::string ShortcutFilePath(const std::string& folder, const std::string& name);

// Writes the Internet shortcut to `target`, named from `caption`, into `folder`, replacing a
// file of that name; with `desktopEntry` also "<name>.desktop" beside it. The path of the
// Internet shortcut goes to *writtenPath when it is not null. False (nothing claimed) when the
// caption gives no name, the target holds a line break (it would add lines to the file), or a
// file cannot be written.
bool WriteInternetShortcut(const std::string& folder, const std::string& caption,
                           const std::string& target, bool desktopEntry,
                           std::string* writtenPath = nullptr);

// The shortcut into the Favorites folder or onto the desktop (`folder` one of ShortcutFolder):
// looks the folder up and writes it there (the desktop also gets the desktop entry). False
// when the folder is unknown or missing or the files cannot be written.
bool AddShortcutToFolder(int folder, const std::string& caption, const std::string& target,
                         std::string* writtenPath = nullptr);
