#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/file_reader.h"

namespace platform {

FileReader::~FileReader() { Close(); }

bool FileReader::Open(const std::string& path) {
    Close();
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return false;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return false;
    }
    posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    m_fd = fd;
    return true;
}

long FileReader::Read(void* buffer, std::size_t size) {
    if (m_fd < 0) return -1;
    // A short read from read(2) is not the end of a regular file: keep reading until the
    // buffer is full or the end is reached, so callers can stop at the first short block.
    std::size_t done = 0;
    while (done < size) {
        ssize_t n = read(m_fd, static_cast<char*>(buffer) + done, size - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (n == 0) break;
        done += static_cast<std::size_t>(n);
    }
    return static_cast<long>(done);
}

void FileReader::Close() {
    if (m_fd >= 0) {
        close(m_fd);
        m_fd = -1;
    }
}

}  // namespace platform
