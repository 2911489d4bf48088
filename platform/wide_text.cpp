#include "platform/wide_text.h"

namespace platform {

namespace {

// The code point of the sequence at `i` and its length in *length; false when no valid
// sequence starts there. Surrogate code points (ED A0..BF xx) are accepted on purpose.
bool DecodeAt(const std::string& text, std::size_t i, char32_t* point, std::size_t* length) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
        *point = c;
        *length = 1;
        return true;
    }
    std::size_t n;
    char32_t value;
    char32_t least;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2;
        value = c & 0x1F;
        least = 0x80;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        value = c & 0x0F;
        least = 0x800;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        value = c & 0x07;
        least = 0x10000;
    } else {
        return false;
    }
    if (i + n > text.size()) return false;
    for (std::size_t k = 1; k < n; ++k) {
        const unsigned char t = static_cast<unsigned char>(text[i + k]);
        if ((t & 0xC0) != 0x80) return false;
        value = (value << 6) | (t & 0x3F);
    }
    if (value < least || value > 0x10FFFF) return false;
    *point = value;
    *length = n;
    return true;
}

void Append(std::string* out, char32_t point) {
    if (point < 0x80) {
        *out += static_cast<char>(point);
    } else if (point < 0x800) {
        *out += static_cast<char>(0xC0 | (point >> 6));
        *out += static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        *out += static_cast<char>(0xE0 | (point >> 12));
        *out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (point & 0x3F));
    } else {
        *out += static_cast<char>(0xF0 | (point >> 18));
        *out += static_cast<char>(0x80 | ((point >> 12) & 0x3F));
        *out += static_cast<char>(0x80 | ((point >> 6) & 0x3F));
        *out += static_cast<char>(0x80 | (point & 0x3F));
    }
}

}  // namespace

std::u16string Utf16FromUtf8(const std::string& text) {
    std::u16string units;
    units.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        char32_t point = 0;
        std::size_t length = 0;
        if (!DecodeAt(text, i, &point, &length)) {
            units += u'\xFFFD';
            ++i;
            continue;
        }
        i += length;
        if (point < 0x10000) {
            units += static_cast<char16_t>(point);
        } else {
            point -= 0x10000;
            units += static_cast<char16_t>(0xD800 + (point >> 10));
            units += static_cast<char16_t>(0xDC00 + (point & 0x3FF));
        }
    }
    return units;
}

std::string Utf8FromUtf16(const char16_t* units, std::size_t count) {
    std::string text;
    text.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const char32_t unit = units[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < count && units[i + 1] >= 0xDC00 &&
            units[i + 1] <= 0xDFFF) {
            Append(&text, 0x10000 + ((unit - 0xD800) << 10) + (units[i + 1] - 0xDC00));
            ++i;
        } else {
            Append(&text, unit);  // a lone surrogate too, as its three bytes
        }
    }
    return text;
}

}  // namespace platform
