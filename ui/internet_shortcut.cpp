#include "ui/internet_shortcut.h"

#include <filesystem>
#include <fstream>

#include "platform/file_find.h"
#include "platform/user_folders.h"

namespace {

// A file name holds at most this many bytes on the usual file systems.
constexpr std::size_t kMaxFileName = 255;
// The longest extension written beside a name.
const char kLongestExtension[] = ".desktop";

bool IsSeparator(char c) { return c == '/' || c == ':' || c == '\\'; }

std::string CutAfterLastSeparator(const std::string& caption) {
    for (char separator : {'/', ':', '\\'}) {
        const std::size_t pos = caption.rfind(separator);
        if (pos != std::string::npos) return caption.substr(pos + 1);
    }
    return caption;
}

// The first `limit` bytes or fewer of `text`, never ending inside a UTF-8 character.
std::string ShortenUtf8(const std::string& text, std::size_t limit) {
    if (text.size() <= limit) return text;
    std::size_t end = limit;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return text.substr(0, end);
}

// A desktop-entry string value: backslash, line breaks and tabs as its escapes.
std::string EscapeEntryValue(const std::string& value) {
    std::string out;
    for (char c : value) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default: out += c; break;
        }
    }
    return out;
}

bool WriteFile(const std::string& path, const std::string& text) {
    // Named by its UTF-8 bytes on every system (the library's narrow form would be the code
    // page's on Windows).
    std::ofstream out(std::filesystem::u8path(path), std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    out.close();
    return !out.fail();
}

}  // namespace

std::string ShortcutNameFromCaption(const std::string& caption) {
    std::string name = CutAfterLastSeparator(caption);
    if (name.empty()) {
        std::string trimmed = caption;
        while (!trimmed.empty() && IsSeparator(trimmed.back())) trimmed.pop_back();
        name = CutAfterLastSeparator(trimmed);
    }
    return ShortenUtf8(name, kMaxFileName - (sizeof kLongestExtension - 1));
}

std::string InternetShortcutText(const std::string& target) {
    return "[InternetShortcut]\r\nURL=" + target + "\r\n";
}

std::string DesktopLinkText(const std::string& name, const std::string& target) {
    return "[Desktop Entry]\nVersion=1.0\nType=Link\nName=" + EscapeEntryValue(name) +
           "\nURL=" + EscapeEntryValue(target) + "\nIcon=text-html\n";
}

std::string ShortcutFilePath(const std::string& folder, const std::string& name) {
    std::string path = folder;
    if (path.empty() || (path.back() != '/' && path.back() != '\\')) {
        path += platform::kPathSeparator;
    }
    return path + name + ".URL";
}

bool WriteInternetShortcut(const std::string& folder, const std::string& caption,
                           const std::string& target, bool desktopEntry,
                           std::string* writtenPath) {
    if (folder.empty() || target.find_first_of("\r\n") != std::string::npos) return false;
    const std::string name = ShortcutNameFromCaption(caption);
    if (name.empty()) return false;
    const std::string path = ShortcutFilePath(folder, name);
    if (!WriteFile(path, InternetShortcutText(target))) return false;
    if (desktopEntry) {
        const std::string entry = path.substr(0, path.size() - 4) + ".desktop";
        if (!WriteFile(entry, DesktopLinkText(name, target))) return false;
    }
    if (writtenPath != nullptr) *writtenPath = path;
    return true;
}

bool AddShortcutToFolder(int folder, const std::string& caption, const std::string& target,
                         std::string* writtenPath) {
    std::string path;
    switch (folder) {
        case kShortcutFolderFavorites:
            if (!platform::FavoritesFolder(&path)) return false;
            return WriteInternetShortcut(path, caption, target, false, writtenPath);
        case kShortcutFolderDesktop:
            if (!platform::DesktopFolder(&path)) return false;
            return WriteInternetShortcut(path, caption, target, platform::kDesktopNeedsEntryFile,
                                         writtenPath);
        default:
            return false;
    }
}
