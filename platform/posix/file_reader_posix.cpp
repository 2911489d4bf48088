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
    m_size = static_cast<std::uint64_t>(st.st_size);
    // Read-ahead advice pays only for files of more than one block.
    if (st.st_size > 65536) posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL);
    m_fd = fd;
    return true;
}

long FileReader::Read(void* buffer, std::size_t size) {
    if (m_fd < 0) return -1;
    for (;;) {
        const ssize_t n = read(m_fd, buffer, size);
        if (n >= 0) return static_cast<long>(n);
        if (errno != EINTR) return -1;
    }
}

void FileReader::Close() {
    if (m_fd >= 0) {
        close(m_fd);
        m_fd = -1;
    }
}

}  // namespace platform
