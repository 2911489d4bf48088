#include "platform/locale_text.h"

namespace platform {

std::string FourDigitYears(const std::string& picture) {
    std::string out;
    bool quoted = false;
    for (std::string::size_type i = 0; i < picture.size();) {
        const char c = picture[i];
        if (c == '\'') quoted = !quoted;  // '' inside quotes toggles twice: still quoted
        if (quoted || c != 'y') {
            out += c;
            ++i;
            continue;
        }
        std::string::size_type run = 1;
        while (i + run < picture.size() && picture[i + run] == 'y') ++run;
        out.append(run <= 2 ? 4 : run, 'y');
        i += run;
    }
    return out;
}

std::string GetDisplayDatePicture() {
    const std::string picture = GetShortDatePicture();
    return picture.empty() ? std::string("MM/dd/yyyy") : FourDigitYears(picture);
}

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
