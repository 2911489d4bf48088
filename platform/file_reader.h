// Reading a regular file from start to end, shared with other programs that hold it open.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

class FileReader {
public:
    FileReader() = default;
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    // Opens `path` read-only for a sequential read. Fails for anything that is not a regular
    // file (a FIFO swapped in since the scan must never block the search).
    bool Open(const std::string& path);
    // Reads up to `size` bytes; returns the count read, 0 at the end, -1 on an error.
    long Read(void* buffer, std::size_t size);
    void Close();

private:
#ifdef _WIN32
    void* m_handle = nullptr;
#else
    int m_fd = -1;
#endif
};

}  // namespace platform
