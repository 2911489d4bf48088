// The lines of the program's own properties dialog, as the POSIX file system tells them.
#include "results/file_properties_dlg.h"

#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>

#include "engine/text/string_table.h"
#include "engine/text/text_format.h"
#include "engine/text/text_helpers.h"
#include "gui/wx_text.h"
#include "platform/error_text.h"
#include "platform/file_time.h"

namespace {

std::string TimeText(const struct timespec& when) {
    platform::FileTime local = 0;
    platform::FileTimeToLocalFileTime(platform::FileTimeFromUnix(when.tv_sec, when.tv_nsec), &local);
    std::string text;
    FileTimeToText(&local, text);
    return text;
}

// "-rw-r--r-- (0644)".
std::string ModeText(mode_t mode) {
    std::string text;
    text += S_ISDIR(mode) ? 'd' : S_ISLNK(mode) ? 'l' : S_ISREG(mode) ? '-' : '?';
    const char letters[] = "rwxrwxrwx";
    for (int i = 0; i < 9; ++i) text += (mode & (0400 >> i)) ? letters[i] : '-';
    char octal[16];
    std::snprintf(octal, sizeof octal, " (%04o)", static_cast<unsigned>(mode & 07777));
    return text + octal;
}

std::string OwnerText(uid_t uid, gid_t gid) {
    std::string text;
    if (const struct passwd* pw = getpwuid(uid)) text = pw->pw_name;
    else text = std::to_string(uid);
    text += " / ";
    if (const struct group* gr = getgrgid(gid)) text += gr->gr_name;
    else text += std::to_string(gid);
    return text;
}

}  // namespace

std::vector<std::pair<std::string, std::string>> FilePropertyLines(const std::string& path) {
    std::vector<std::pair<std::string, std::string>> lines;
    lines.emplace_back(LoadStringText(IDS_PROPERTIES_PATH), path);
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) {
        lines.emplace_back(LoadStringText(IDS_PROPERTIES_ERROR), platform::ErrorText(errno));
        return lines;
    }
    lines.emplace_back(LoadStringText(IDS_PROPERTIES_SIZE),
                       FormatPropertiesSize(static_cast<std::uint64_t>(st.st_size)));
    lines.emplace_back(LoadStringText(IDS_PROPERTIES_MODIFIED), TimeText(st.st_mtim));
    lines.emplace_back(LoadStringText(IDS_PROPERTIES_ACCESSED), TimeText(st.st_atim));
    lines.emplace_back(LoadStringText(IDS_PROPERTIES_STATUS_CHANGED), TimeText(st.st_ctim));
    lines.emplace_back(LoadStringText(IDS_PROPERTIES_OWNER), OwnerText(st.st_uid, st.st_gid));
    lines.emplace_back(LoadStringText(IDS_PROPERTIES_PERMISSIONS), ModeText(st.st_mode));
    return lines;
}
