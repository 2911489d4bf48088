#include "engine/store/json_text.h"

#include <cstdio>

namespace {

// The length of the valid UTF-8 sequence at `at` (1 to 4), or 0 when the byte there starts
// none: no overlong forms, no surrogates, nothing above U+10FFFF.
std::size_t Utf8Length(const std::string& text, std::size_t at) {
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char c = byte(at);
    if (c < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
    if (c >= 0xC2 && c <= 0xDF) length = 2;
    else if (c >= 0xE0 && c <= 0xEF) {
        length = 3;
        if (c == 0xE0) low = 0xA0;
        if (c == 0xED) high = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        length = 4;
        if (c == 0xF0) low = 0x90;
        if (c == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (at + length > text.size()) return 0;
    if (byte(at + 1) < low || byte(at + 1) > high) return 0;
    for (std::size_t k = 2; k < length; ++k)
        if ((byte(at + k) & 0xC0) != 0x80) return 0;
    return length;
}

}  // namespace

std::string IsoTimeText(platform::FileTime time) {
    platform::SystemTime st;
    if (!platform::FileTimeToSystemTime(time, &st)) platform::FileTimeToSystemTime(0, &st);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%04u-%02u-%02uT%02u:%02u:%02u", unsigned{st.wYear},
                  unsigned{st.wMonth}, unsigned{st.wDay}, unsigned{st.wHour}, unsigned{st.wMinute},
                  unsigned{st.wSecond});
    return buf;
}

std::string JsonString(const std::string& text) {
    std::string out;
    char buf[8];
    for (std::size_t at = 0; at < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[at]);
        const std::size_t length = Utf8Length(text, at);
        if (length == 0) {
            std::snprintf(buf, sizeof buf, "\\udc%02x", c);
            out += buf;
            ++at;
            continue;
        }
        if (length == 1) {
            if (c == '"' || c == '\\') {
                out += '\\';
                out += static_cast<char>(c);
            } else if (c < 0x20 || c == 0x7F) {
                std::snprintf(buf, sizeof buf, "\\u%04x", c);
                out += buf;
            } else {
                out += static_cast<char>(c);
            }
            ++at;
            continue;
        }
        const std::string sequence = text.substr(at, length);
        // U+202A to U+202E and U+2066 to U+2069: direction marks.
        const bool mark = length == 3 && static_cast<unsigned char>(sequence[0]) == 0xE2 &&
                          ((static_cast<unsigned char>(sequence[1]) == 0x80 &&
                            static_cast<unsigned char>(sequence[2]) >= 0xAA &&
                            static_cast<unsigned char>(sequence[2]) <= 0xAE) ||
                           (static_cast<unsigned char>(sequence[1]) == 0x81 &&
                            static_cast<unsigned char>(sequence[2]) >= 0xA6 &&
                            static_cast<unsigned char>(sequence[2]) <= 0xA9));
        if (mark) {
            const unsigned code = 0x2000u |
                                  ((static_cast<unsigned char>(sequence[1]) & 0x3Fu) << 6) |
                                  (static_cast<unsigned char>(sequence[2]) & 0x3Fu);
            std::snprintf(buf, sizeof buf, "\\u%04x", code);
            out += buf;
        } else {
            out += sequence;
        }
        at += length;
    }
    return out;
}

