#include <stdlib.h>
#include <unistd.h>

#include <cstdlib>

#include "platform/temp_file.h"

namespace platform {

std::string TempFolder() {
    const char* dir = std::getenv("TMPDIR");
    std::string folder = dir != nullptr && *dir != '\0' ? dir : "/tmp";
    if (folder.back() != '/') folder += '/';
    return folder;
}

std::string CreateTempFile(const std::string& prefix) {
    // The prefix is a name part: a separator in it would put the file elsewhere.
    if (prefix.find('/') != std::string::npos) return std::string();
    std::string path = TempFolder() + prefix + "XXXXXX";
    const int fd = mkstemp(&path[0]);
    if (fd < 0) return std::string();
    close(fd);
    return path;
}

bool RemoveTempFile(const std::string& path) { return unlink(path.c_str()) == 0; }

std::string NarrowFilePath(const std::string& path) { return path; }

}  // namespace platform
