#include "platform/win32/win32.h"

namespace platform {

namespace {

// Plain paths up to this many units are handed over as they are; a folder's own limit is 12
// below the 260 of a file (room for an 8.3 name), and "*" is added to a folder to list it.
constexpr std::size_t kPlainLimit = MAX_PATH - 12 - 2;

// Whether the prefixed form may take `path` as it stands: fully qualified, backslashes only,
// no "." or ".." step (the prefix turns off the system's own tidying of those).
bool IsPlainQualified(const std::wstring& path) {
    const bool drive = path.size() >= 3 && path[1] == L':' && path[2] == L'\\';
    const bool unc = path.size() >= 3 && path[0] == L'\\' && path[1] == L'\\' && path[2] != L'?' &&
                     path[2] != L'.';
    if (!drive && !unc) return false;
    if (path.find(L'/') != std::wstring::npos) return false;
    std::size_t at = 0;
    while ((at = path.find(L"\\.", at)) != std::wstring::npos) {
        const std::size_t end = at + 2;
        if (end == path.size() || path[end] == L'\\') return false;
        if (path[end] == L'.' && (end + 1 == path.size() || path[end + 1] == L'\\')) return false;
        ++at;
    }
    return true;
}

}  // namespace

std::wstring FilePath(const std::string& path) {
    std::wstring wide = Wide(path);
    if (wide.size() <= kPlainLimit) return wide;
    if (wide.compare(0, 4, L"\\\\?\\") == 0) return wide;
    if (!IsPlainQualified(wide)) {
        // Relative, forward slashes or dot steps: the system's own full form first, as the
        // plain call would have made it.
        const DWORD size = ::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
        if (size == 0) return wide;
        std::wstring full(size, L'\0');
        const DWORD n = ::GetFullPathNameW(wide.c_str(), size, &full[0], nullptr);
        if (n == 0 || n >= size) return wide;
        full.resize(n);
        wide = full;
        if (!IsPlainQualified(wide)) return wide;
    }
    if (wide[0] == L'\\') return L"\\\\?\\UNC\\" + wide.substr(2);
    return L"\\\\?\\" + wide;
}

bool TooLongForShell(const std::string& path) { return Wide(path).size() >= MAX_PATH; }

}  // namespace platform
