#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/path_forms.h"

namespace platform {

std::string CurrentFolder() {
    std::string buffer(4096, '\0');
    while (getcwd(&buffer[0], buffer.size()) == nullptr) {
        if (errno != ERANGE) return std::string();
        buffer.resize(buffer.size() * 2);
    }
    return buffer.c_str();
}

std::size_t PathRootLength(const std::string& path) {
    return !path.empty() && path[0] == '/' ? 1 : 0;
}

std::string DriveRelativeOnBase(std::string path, const std::string& /*base*/) { return path; }

bool IsExistingNonFolder(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

}  // namespace platform
