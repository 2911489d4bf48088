// The spare names of acts in progress, told apart from the user's own files.
#include <cctype>
#include <string>

#include "platform/file_delete.h"

namespace platform {

bool IsSpareName(const std::string& name, std::string* original) {
    static const char kEnd[] = ".pairscout";
    constexpr std::size_t kEndSize = sizeof kEnd - 1;
    constexpr std::size_t kDigits = 12;
    if (name.size() < 2 + 1 + kDigits + kEndSize || name[0] != '.' ||
        name.compare(name.size() - kEndSize, kEndSize, kEnd) != 0)
        return false;
    const std::size_t dot = name.size() - kEndSize - kDigits - 1;
    if (name[dot] != '.') return false;
    for (std::size_t k = dot + 1; k < dot + 1 + kDigits; ++k) {
        const unsigned char c = static_cast<unsigned char>(name[k]);
        if (!std::isxdigit(c) || std::isupper(c)) return false;
    }
    if (original != nullptr) {
        const std::string kept = name.substr(1, dot - 1);
        *original = kept.size() < kMaxSpareStem ? kept : std::string();
    }
    return true;
}

}  // namespace platform
