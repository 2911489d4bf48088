#include "platform/empty_folders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

static_assert(kFolderNotEmpty == ENOTEMPTY, "the code of a folder that holds something");

bool ReadFolderState(const std::string& path, RemovedFolder* out) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) return false;
    if (!S_ISDIR(st.st_mode)) {
        errno = ENOTDIR;
        return false;
    }
    out->path = path;
    out->mode = static_cast<std::uint32_t>(st.st_mode & 07777);
    out->attributes = 0;
    out->accessTime = static_cast<std::int64_t>(st.st_atim.tv_sec) * 1000000000 + st.st_atim.tv_nsec;
    out->writeTime = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return true;
}

int RemoveEmptyFolder(const std::string& path, RemovedFolder* removed) {
    if (!ReadFolderState(path, removed)) return errno;
    // rmdir never follows a link and fails on a folder that is not empty: a file put in
    // meanwhile keeps its folder.
    if (rmdir(path.c_str()) != 0) return errno == EEXIST ? ENOTEMPTY : errno;
    return 0;
}

int MakeFolderAgain(const RemovedFolder& folder) {
    if (mkdir(folder.path.c_str(), 0700) != 0) {
        if (errno != EEXIST) return errno;
        struct stat st;
        if (lstat(folder.path.c_str(), &st) != 0) return errno;
        return S_ISDIR(st.st_mode) ? 0 : EEXIST;
    }
    // Made private, then given its own bits: the umask has no say in a folder given back.
    return chmod(folder.path.c_str(), folder.mode & 07777) == 0 ? 0 : errno;
}

int SetFolderTimes(const RemovedFolder& folder) {
    timespec times[2];
    times[0].tv_sec = folder.accessTime / 1000000000;
    times[0].tv_nsec = folder.accessTime % 1000000000;
    times[1].tv_sec = folder.writeTime / 1000000000;
    times[1].tv_nsec = folder.writeTime % 1000000000;
    return utimensat(AT_FDCWD, folder.path.c_str(), times, AT_SYMLINK_NOFOLLOW) == 0 ? 0 : errno;
}

}  // namespace platform
