// Restoring from the freedesktop.org trash: the file goes back to the path its .trashinfo
// record names, checked against what went in.
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <sstream>

#include "platform/trash_restore.h"

namespace platform {

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string DecodePath(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
            HexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

// The path the record names, made absolute: a record in a top folder's trash names the file
// relative to that top folder (the trash folder's parent).
bool RecordedPath(const std::string& infoFile, std::string* path) {
    std::ifstream in(infoFile, std::ios::binary);
    if (!in) return false;
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, 5, "Path=") != 0) continue;
        *path = DecodePath(line.substr(5));
        if (!path->empty() && (*path)[0] != '/') {
            // info file: <top>/.Trash-uid/info/name.trashinfo
            std::string trash = infoFile.substr(0, infoFile.rfind('/'));  // .../info
            trash = trash.substr(0, trash.rfind('/'));                     // the trash
            const std::string top = trash.substr(0, trash.rfind('/'));
            *path = (top.empty() ? "" : top) + "/" + *path;
        }
        return true;
    }
    return false;
}

}  // namespace

RestoreResult RestoreTrashedFile(const TrashedFile& file, int* error) {
    if (error != nullptr) *error = 0;
    struct stat st;
    if (lstat(file.trashFile.c_str(), &st) != 0)
        return errno == ENOENT ? RestoreResult::kNotInTrash : RestoreResult::kFailed;
    std::string recorded;
    if (!RecordedPath(file.infoFile, &recorded)) return RestoreResult::kNotInTrash;
    if (recorded != file.original) return RestoreResult::kChanged;
    if (!S_ISREG(st.st_mode) || static_cast<std::uint64_t>(st.st_size) != file.size ||
        FileTimeFromUnix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec) != file.lastWrite)
        return RestoreResult::kChanged;
    // Never over a file that took the name meanwhile.
    if (renameat2(AT_FDCWD, file.trashFile.c_str(), AT_FDCWD, file.original.c_str(),
                  RENAME_NOREPLACE) != 0) {
        if (errno == EEXIST) return RestoreResult::kNameTaken;
        if (error != nullptr) *error = errno;
        return RestoreResult::kFailed;
    }
    // What was moved must be what was checked; something swapped in meanwhile goes back.
    struct stat now;
    if (lstat(file.original.c_str(), &now) != 0 || now.st_ino != st.st_ino ||
        now.st_dev != st.st_dev) {
        renameat2(AT_FDCWD, file.original.c_str(), AT_FDCWD, file.trashFile.c_str(),
                  RENAME_NOREPLACE);
        return RestoreResult::kChanged;
    }
    unlink(file.infoFile.c_str());
    return RestoreResult::kRestored;
}

}  // namespace platform
