#include "engine/text/message_catalog.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr std::uint32_t kMagic = 0x950412deu;
constexpr std::uint32_t kMagicSwapped = 0xde120495u;

std::uint32_t ReadWord(const std::string& bytes, std::size_t at, bool swapped) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        const std::uint32_t byte = static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
        value |= swapped ? byte << (8 * (3 - i)) : byte << (8 * i);
    }
    return value;
}

// String `index` of the table at `table`: false when it reaches past the file's end.
bool ReadString(const std::string& bytes, std::uint32_t table, std::uint32_t index, bool swapped,
                std::string* out) {
    const std::uint64_t descriptor = std::uint64_t{table} + std::uint64_t{index} * 8;
    if (descriptor + 8 > bytes.size()) return false;
    const std::uint32_t length = ReadWord(bytes, static_cast<std::size_t>(descriptor), swapped);
    const std::uint32_t offset = ReadWord(bytes, static_cast<std::size_t>(descriptor) + 4, swapped);
    if (std::uint64_t{offset} + length >= bytes.size()) return false;  // and its NUL
    out->assign(bytes, offset, length);
    return true;
}

}  // namespace

bool MessageCatalog::Parse(const std::string& bytes, std::string* why) {
    m_entries.clear();
    m_byContext.clear();
    if (bytes.size() < 28) {
        *why = "too short for a message catalog";
        return false;
    }
    const std::uint32_t magic = ReadWord(bytes, 0, false);
    if (magic != kMagic && magic != kMagicSwapped) {
        *why = "not a message catalog";
        return false;
    }
    const bool swapped = magic == kMagicSwapped;
    if ((ReadWord(bytes, 4, swapped) >> 16) != 0) {
        *why = "unknown catalog revision";
        return false;
    }
    const std::uint32_t count = ReadWord(bytes, 8, swapped);
    const std::uint32_t originals = ReadWord(bytes, 12, swapped);
    const std::uint32_t translations = ReadWord(bytes, 16, swapped);
    std::map<std::string, std::string> entries;
    for (std::uint32_t i = 0; i < count; ++i) {
        std::string key;
        std::string translation;
        if (!ReadString(bytes, originals, i, swapped, &key) ||
            !ReadString(bytes, translations, i, swapped, &translation)) {
            *why = "a string reaches past the end of the catalog";
            return false;
        }
        // A plural entry keeps its forms after NULs: only the first (singular) form is used.
        key = key.substr(0, key.find('\0'));
        translation = translation.substr(0, translation.find('\0'));
        entries[key] = translation;
    }
    m_entries.swap(entries);
    for (const auto& [key, translation] : m_entries) {
        const std::string::size_type mark = key.find('\x04');
        if (mark == std::string::npos) continue;
        m_byContext[key.substr(0, mark)] = Entry{key.substr(mark + 1), translation};
    }
    return true;
}

const std::string* MessageCatalog::Find(const std::string& context,
                                        const std::string& original) const {
    const std::string key = context.empty() ? original : context + '\x04' + original;
    const auto it = m_entries.find(key);
    return it != m_entries.end() ? &it->second : nullptr;
}

std::string FormatDirectives(const std::string& text) {
    std::string directives;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] != '%') continue;
        std::size_t end = at + 1;
        if (end < text.size() && text[end] == '%') {
            at = end;
            continue;
        }
        // Flags, width, precision, length, conversion: up to the first letter that ends one
        // (a length letter does not).
        while (end < text.size() && std::strchr("-+ #0123456789.*hlLqjztI", text[end]) != nullptr)
            ++end;
        if (end < text.size() && std::strchr("diouxXeEfFgGaAcspn", text[end]) != nullptr) ++end;
        directives += text.substr(at, end - at);
        at = end - 1;
    }
    return directives;
}
