#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/file_replace.h"

namespace platform {

namespace {

bool WriteAll(int fd, const std::string& contents) {
    const char* p = contents.data();
    std::size_t left = contents.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

// The mode a newly created file gets: 0666 less the process's umask.
mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

bool ReplaceFileContents(const std::string& path, const std::string& contents, int* errorCode) {
    *errorCode = 0;
    if (path.empty()) {
        *errorCode = ENOENT;
        return false;
    }
    std::string target = path;
    struct stat link;
    if (::lstat(path.c_str(), &link) == 0 && S_ISLNK(link.st_mode)) {
        char resolved[PATH_MAX];
        if (::realpath(path.c_str(), resolved) != nullptr) target = resolved;
    }

    struct stat old;
    const bool exists = ::stat(target.c_str(), &old) == 0;
    mode_t mode = NewFileMode();
    if (exists) {
        if (S_ISDIR(old.st_mode)) {
            *errorCode = EISDIR;
            return false;
        }
        if (!S_ISREG(old.st_mode)) {
            *errorCode = EINVAL;
            return false;
        }
        // A file whose owner may not write it is read-only here, whoever runs the program
        // (even the administrator, whom the system would let write it).
        if ((old.st_mode & S_IWUSR) == 0) {
            *errorCode = EACCES;
            return false;
        }
        // The rename below would replace a file the user may not write; ask the system first.
        const int probe = ::open(target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (probe < 0) {
            *errorCode = errno;
            return false;
        }
        ::close(probe);
        mode = old.st_mode & 07777;
    }

    const std::string::size_type slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? std::string() : target.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string temp = folder + "." + name + ".XXXXXX";
    const int fd = ::mkstemp(&temp[0]);
    if (fd < 0) {
        *errorCode = errno;
        return false;
    }
    // The owner first (where the system lets us: a file of someone else's becomes ours), then
    // the mode, which a change of owner may have cut.
    [[maybe_unused]] const int owned = exists ? ::fchown(fd, old.st_uid, old.st_gid) : 0;
    bool ok = ::fchmod(fd, mode) == 0;
    ok = ok && WriteAll(fd, contents) && ::fsync(fd) == 0;
    int error = ok ? 0 : errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok && ::rename(temp.c_str(), target.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        ::unlink(temp.c_str());
        *errorCode = error != 0 ? error : EIO;
    }
    return ok;
}

}  // namespace platform
