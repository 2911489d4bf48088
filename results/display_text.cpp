#include "results/display_text.h"

namespace {

// The length of the well-formed sequence at `at`, or 0 when none starts there.
std::size_t SequenceLength(const std::string& s, std::size_t at) {
    const auto byte = [&s](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;         // no overlong forms
        if (lead == 0xED) high = 0x9F;        // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;         // no overlong forms
        if (lead == 0xF4) high = 0x8F;        // nothing past U+10FFFF
    } else {
        return 0;
    }
    if (at + length > s.size()) return 0;
    if (byte(at + 1) < low || byte(at + 1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) return 0;
    return length;
}

}  // namespace

std::string ShownUtf8(const std::string& bytes) {
    std::string shown;
    shown.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = SequenceLength(bytes, at);
        if (length == 0) {
            shown += "\xEF\xBF\xBD";
            ++at;
        } else {
            shown.append(bytes, at, length);
            at += length;
        }
    }
    return shown;
}
