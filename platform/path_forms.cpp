#include "platform/path_forms.h"

#include "platform/file_find.h"

namespace platform {

std::string AbsolutePath(std::string path, const std::string& base) {
    constexpr char kSep = kPathSeparator;
    path = DriveRelativeOnBase(std::move(path), base);
    std::size_t root = PathRootLength(path);
    if (root == 0 && base.empty()) return path;
    const std::string full = root != 0 ? path : base + kSep + path;
    root = PathRootLength(full);
    std::string out = full.substr(0, root);
    std::size_t start = root;
    while (start <= full.size()) {
        std::size_t end = full.find(kSep, start);
        if (end == std::string::npos) end = full.size();
        const std::string part = full.substr(start, end - start);
        if (!part.empty() && part != ".") {
            if (!out.empty() && out.back() != kSep) out += kSep;
            out += part;
        }
        start = end + 1;
    }
    return out.empty() ? std::string(1, kSep) : out;
}

std::string FolderOf(const std::string& path) {
    const std::size_t root = PathRootLength(path);
    const std::size_t at = path.rfind(kPathSeparator);
    if (at == std::string::npos) return ".";
    if (at < root) return path.substr(0, root);
    return at + 1 == root ? path.substr(0, root) : path.substr(0, at);
}

std::size_t NameStart(const std::string& path) {
    const std::size_t at = path.find_last_of(kPathSeparator == '/' ? "/" : "\\/");
    return at == std::string::npos ? 0 : at + 1;
}

}  // namespace platform
