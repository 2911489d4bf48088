#include "platform/locale_text.h"

namespace platform {

int FormatDateInBuffer(const SystemTime& st, const std::string& picture, std::string* out,
                       std::size_t bufferSize) {
    std::string text;
    if (bufferSize == 0 || !FormatDate(st, picture, &text)) {
        out->clear();
        return 0;
    }
    if (text.size() > bufferSize - 1) text.resize(bufferSize - 1);
    *out = text;
    return static_cast<int>(text.size() + 1);
}

}  // namespace platform
