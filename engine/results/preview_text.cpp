#include "engine/results/preview_text.h"

#include <cstdint>

namespace {

std::uint32_t Read16(std::string_view b, std::size_t at, bool little) {
    const auto lo = static_cast<unsigned char>(b[at + (little ? 0 : 1)]);
    const auto hi = static_cast<unsigned char>(b[at + (little ? 1 : 0)]);
    return static_cast<std::uint32_t>(hi) << 8 | lo;
}

std::uint32_t Read32(std::string_view b, std::size_t at, bool little) {
    const std::uint32_t first = Read16(b, at, little), second = Read16(b, at + 2, little);
    return little ? second << 16 | first : first << 16 | second;
}

// The orientation in the TIFF block `tiff` of an EXIF segment; 0 when there is none.
int TiffOrientation(std::string_view tiff) {
    if (tiff.size() < 8) return 0;
    bool little;
    if (tiff.substr(0, 4) == std::string_view("II*\0", 4)) little = true;
    else if (tiff.substr(0, 4) == std::string_view("MM\0*", 4)) little = false;
    else return 0;
    const std::uint32_t ifd = Read32(tiff, 4, little);
    if (ifd < 8 || ifd > tiff.size() - 2) return 0;
    const std::uint32_t entries = Read16(tiff, ifd, little);
    for (std::uint32_t e = 0; e < entries; ++e) {
        const std::size_t at = ifd + 2 + static_cast<std::size_t>(e) * 12;
        if (at + 12 > tiff.size()) return 0;
        if (Read16(tiff, at, little) != 0x0112) continue;
        // One SHORT, held in the entry itself.
        if (Read16(tiff, at + 2, little) != 3 || Read32(tiff, at + 4, little) != 1) return 0;
        const std::uint32_t value = Read16(tiff, at + 8, little);
        return value >= 1 && value <= 8 ? static_cast<int>(value) : 0;
    }
    return 0;
}

// The length of the UTF-8 character that starts with `lead`, 0 for a byte no character starts
// with.
std::size_t Utf8Length(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

// Whether the `length` bytes at `at` form one valid character (no overlong form, surrogate or
// code point past U+10FFFF); `available` of them are there.
bool ValidCharacter(std::string_view s, std::size_t at, std::size_t length, std::size_t available) {
    const auto lead = static_cast<unsigned char>(s[at]);
    for (std::size_t k = 1; k < length && k < available; ++k) {
        const auto c = static_cast<unsigned char>(s[at + k]);
        if ((c & 0xC0) != 0x80) return false;
        if (k == 1) {
            if (lead == 0xE0 && c < 0xA0) return false;
            if (lead == 0xED && c > 0x9F) return false;
            if (lead == 0xF0 && c < 0x90) return false;
            if (lead == 0xF4 && c > 0x8F) return false;
        }
    }
    return true;
}

}  // namespace

int JpegExifOrientation(std::string_view data) {
    if (data.size() < 4 || static_cast<unsigned char>(data[0]) != 0xFF ||
        static_cast<unsigned char>(data[1]) != 0xD8)
        return 0;
    std::size_t at = 2;
    while (at + 4 <= data.size()) {
        if (static_cast<unsigned char>(data[at]) != 0xFF) return 0;
        const auto marker = static_cast<unsigned char>(data[at + 1]);
        if (marker == 0xFF) {  // fill byte before a marker
            ++at;
            continue;
        }
        // Markers without a length of their own.
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            at += 2;
            continue;
        }
        // The picture's data starts (or ends): EXIF comes before it or not at all.
        if (marker == 0xDA || marker == 0xD9) return 0;
        const std::size_t length = Read16(data, at + 2, false);
        if (length < 2 || at + 2 + length > data.size()) return 0;
        const std::string_view segment = data.substr(at + 4, length - 2);
        if (marker == 0xE1 && segment.size() >= 6 &&
            segment.substr(0, 6) == std::string_view("Exif\0\0", 6))
            return TiffOrientation(segment.substr(6));
        at += 2 + length;
    }
    return 0;
}

bool LooksLikeText(std::string_view sample, bool cutShort) {
    std::size_t at = 0;
    while (at < sample.size()) {
        const auto lead = static_cast<unsigned char>(sample[at]);
        if (lead == 0) return false;
        const std::size_t length = Utf8Length(lead);
        if (length == 0) return false;
        const std::size_t available = sample.size() - at;
        if (!ValidCharacter(sample, at, length, available)) return false;
        // Only the sample's end may cut a character, and only when the file goes on.
        if (length > available) return cutShort;
        at += length;
    }
    return true;
}

std::vector<std::string> FirstTextLines(std::string_view text, std::size_t maxLines,
                                        std::size_t maxLineBytes) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    std::vector<std::string> lines;
    std::string line;
    bool cut = false;
    auto endLine = [&] {
        if (cut) line += "\xE2\x80\xA6";  // …
        lines.push_back(std::move(line));
        line.clear();
        cut = false;
    };
    for (std::size_t at = 0; at < text.size() && lines.size() < maxLines;) {
        const auto c = static_cast<unsigned char>(text[at]);
        if (c == '\n' || c == '\r') {
            at += (c == '\r' && at + 1 < text.size() && text[at + 1] == '\n') ? 2 : 1;
            endLine();
            continue;
        }
        std::size_t length = Utf8Length(c);
        if (length == 0 || at + length > text.size()) length = 1;
        if (!cut) {
            std::string piece;
            if (c == '\t') piece = "    ";
            else if (c < 0x20 || c == 0x7F || Utf8Length(c) == 0 || at + Utf8Length(c) > text.size())
                piece = "\xC2\xB7";  // ·
            else piece.assign(text.substr(at, length));
            if (line.size() + piece.size() > maxLineBytes) cut = true;
            else line += piece;
        }
        at += length;
    }
    if ((!line.empty() || cut) && lines.size() < maxLines) endLine();
    return lines;
}

bool LooksLikePicture(std::string_view s) {
    auto starts = [&](std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; };
    return starts("\xFF\xD8\xFF") || starts("\x89PNG\r\n\x1A\n") || starts("GIF87a") ||
           starts("GIF89a") || starts("BM") || starts(std::string_view("II*\0", 4)) ||
           starts(std::string_view("MM\0*", 4)) ||
           (s.size() >= 12 && starts("RIFF") && s.substr(8, 4) == "WEBP");
}
