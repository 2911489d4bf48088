#include "platform/posix/open_nofollow.h"

#include <fcntl.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

int OpenNoFollow(const std::string& path, int flags) {
    flags |= O_NOFOLLOW | O_CLOEXEC;
    const int fd = open(path.c_str(), flags);
    if (fd >= 0 || errno != ENAMETOOLONG) return fd;
    // Walk the parts from the root (or the current folder), each a real folder.
    int dir = open(path[0] == '/' ? "/" : ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return -1;
    std::string::size_type pos = 0;
    for (;;) {
        while (pos < path.size() && path[pos] == '/') ++pos;
        std::string::size_type end = path.find('/', pos);
        if (end == std::string::npos) end = path.size();
        std::string::size_type next = end;
        while (next < path.size() && path[next] == '/') ++next;
        const std::string part = path.substr(pos, end - pos);
        const bool last = next >= path.size();
        if (part.empty()) {  // the path ended in "/": `dir` is what was asked for
            if ((flags & O_DIRECTORY) == 0) {
                close(dir);
                errno = EISDIR;
                return -1;
            }
            return dir;
        }
        const int sub = openat(dir, part.c_str(),
                               last ? flags : O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        const int saved = errno;
        close(dir);
        if (sub < 0) {
            errno = saved;
            return -1;
        }
        if (last) return sub;
        dir = sub;
        pos = next;
    }
}

}  // namespace platform
