// The journal form of FileMetadata, the same on every system:
//   m1 <mode, octal> <owner> <group> <attributes, hex> <access ns> <write ns> <count>
// then for each extended attribute " <name, hex>=<value, hex>", in name order.
#include "platform/file_metadata.h"

#include <cinttypes>
#include <cstddef>
#include <cstdio>
#include <limits>

namespace platform {

namespace {

constexpr const char kVersion[] = "m1";
// Bounds well above what a file system lets a file have (Linux: 64 KiB for a value and for
// the list of names), so that a damaged journal cannot make us take gigabytes.
constexpr std::size_t kMostAttributes = 4096;
constexpr std::size_t kLongestName = 255;
constexpr std::size_t kLongestValue = 65536;
constexpr std::size_t kLongestText = 8u << 20;

const char kHexDigits[] = "0123456789abcdef";

void AppendHex(std::string* out, const std::string& bytes) {
    for (unsigned char c : bytes) {
        *out += kHexDigits[c >> 4];
        *out += kHexDigits[c & 15];
    }
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;  // upper case is never written, so it is damage
}

bool FromHex(const std::string& hex, std::size_t most, std::string* out) {
    if (hex.size() % 2 != 0 || hex.size() / 2 > most) return false;
    out->clear();
    out->reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = HexValue(hex[i]), low = HexValue(hex[i + 1]);
        if (high < 0 || low < 0) return false;
        *out += static_cast<char>(high * 16 + low);
    }
    return true;
}

// An unsigned number in `base` (8, 10 or 16) of at most `most`, as EncodeMetadata writes it: no
// sign, no blanks, no leading zero, not empty.
bool ParseUnsigned(const std::string& text, unsigned base, std::uint64_t most, std::uint64_t* out) {
    if (text.empty() || text.size() > 24 || (text.size() > 1 && text[0] == '0')) return false;
    std::uint64_t value = 0;
    for (char c : text) {
        const int digit = HexValue(c);
        if (digit < 0 || static_cast<unsigned>(digit) >= base) return false;
        if (value > (most - static_cast<unsigned>(digit)) / base) return false;
        value = value * base + static_cast<unsigned>(digit);
    }
    *out = value;
    return true;
}

bool ParseSigned(const std::string& text, std::int64_t* out) {
    const bool negative = !text.empty() && text[0] == '-';
    std::uint64_t magnitude = 0;
    const std::uint64_t most = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (!ParseUnsigned(negative ? text.substr(1) : text, 10, negative ? most + 1 : most, &magnitude) ||
        (negative && magnitude == 0))
        return false;
    *out = negative ? -static_cast<std::int64_t>(magnitude - 1) - 1 : static_cast<std::int64_t>(magnitude);
    return true;
}

}  // namespace

bool operator==(const FileMetadata& a, const FileMetadata& b) {
    return a.mode == b.mode && a.owner == b.owner && a.group == b.group &&
           a.attributes == b.attributes && a.accessTime == b.accessTime &&
           a.writeTime == b.writeTime && a.extended == b.extended;
}

std::string EncodeMetadata(const FileMetadata& m) {
    char head[160];
    std::snprintf(head, sizeof head, "%s %" PRIo32 " %" PRIu32 " %" PRIu32 " %" PRIx32 " %" PRId64
                  " %" PRId64 " %" PRIu64, kVersion, m.mode, m.owner, m.group, m.attributes,
                  m.accessTime, m.writeTime, static_cast<std::uint64_t>(m.extended.size()));
    std::string out = head;
    for (const auto& attribute : m.extended) {
        out += ' ';
        AppendHex(&out, attribute.first);
        out += '=';
        AppendHex(&out, attribute.second);
    }
    return out;
}

bool DecodeMetadata(const std::string& text, FileMetadata* out) {
    if (text.size() > kLongestText) return false;
    std::vector<std::string> fields;
    for (std::size_t begin = 0;;) {
        const std::size_t end = text.find(' ', begin);
        fields.push_back(text.substr(begin, end == std::string::npos ? std::string::npos : end - begin));
        if (end == std::string::npos) break;
        begin = end + 1;
        if (fields.size() > kMostAttributes + 8) return false;
    }
    if (fields.size() < 8 || fields[0] != kVersion) return false;
    FileMetadata m;
    std::uint64_t mode = 0, owner = 0, group = 0, attributes = 0, count = 0;
    const std::uint64_t most32 = std::numeric_limits<std::uint32_t>::max();
    if (!ParseUnsigned(fields[1], 8, 07777, &mode) || !ParseUnsigned(fields[2], 10, most32, &owner) ||
        !ParseUnsigned(fields[3], 10, most32, &group) ||
        !ParseUnsigned(fields[4], 16, most32, &attributes) ||
        !ParseSigned(fields[5], &m.accessTime) || !ParseSigned(fields[6], &m.writeTime) ||
        !ParseUnsigned(fields[7], 10, kMostAttributes, &count) || fields.size() != 8 + count)
        return false;
    m.mode = static_cast<std::uint32_t>(mode);
    m.owner = static_cast<std::uint32_t>(owner);
    m.group = static_cast<std::uint32_t>(group);
    m.attributes = static_cast<std::uint32_t>(attributes);
    for (std::size_t i = 8; i < fields.size(); ++i) {
        const std::size_t equals = fields[i].find('=');
        if (equals == std::string::npos) return false;
        std::string name, value;
        if (!FromHex(fields[i].substr(0, equals), kLongestName, &name) || name.empty() ||
            name.find('\0') != std::string::npos ||
            !FromHex(fields[i].substr(equals + 1), kLongestValue, &value))
            return false;
        // In strict name order: a repeated or misplaced name is damage.
        if (!m.extended.empty() && !(m.extended.back().first < name)) return false;
        m.extended.emplace_back(std::move(name), std::move(value));
    }
    *out = std::move(m);
    return true;
}

}  // namespace platform
