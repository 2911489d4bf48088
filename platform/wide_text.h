// The one pair of conversions between the program's UTF-8 text and the UTF-16 of the Windows
// wide calls. Windows names need not be valid UTF-16 (a lone surrogate is a legal name unit),
// so both directions keep such units: a surrogate without its partner is written as its own
// three-byte form (WTF-8) and read back as the same unit, and every real name round-trips.
#pragma once

#include <cstddef>
#include <string>

namespace platform {

// UTF-16 units of `text`. Three-byte surrogate forms become those units; a byte that starts no
// valid sequence (overlong, past U+10FFFF, cut short) becomes U+FFFD.
std::u16string Utf16FromUtf8(const std::string& text);

// UTF-8 of `units`: a surrogate pair as one four-byte sequence, a lone surrogate as three bytes.
std::string Utf8FromUtf16(const char16_t* units, std::size_t count);
inline std::string Utf8FromUtf16(const std::u16string& units) {
    return Utf8FromUtf16(units.data(), units.size());
}

}  // namespace platform
