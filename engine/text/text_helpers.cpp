#include "engine/text/text_helpers.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

#include "platform/locale_text.h"

namespace {

// Escape letters and, at the same places, the bytes they stand for.
const char kEscapeLetters[] = "abfnrtv?'\"\\";
const char kEscapeValues[] = "\x07\x08\x0C\x0A\x0D\x09\x0B?'\"\\";

}  // namespace

void UnescapeText(std::string& s) {
    std::string result;
    result.reserve(s.size());
    std::string::size_type pos = 0;
    while (pos < s.size()) {
        const std::string::size_type slash = s.find('\\', pos);
        if (slash == std::string::npos) {
            result.append(s, pos, std::string::npos);
            break;
        }
        result.append(s, pos, slash - pos);
        if (slash + 1 >= s.size()) break;  // a trailing backslash disappears
        const char c = s[slash + 1];
        const char* letter = c != '\0' ? std::strchr(kEscapeLetters, c) : nullptr;
        if (letter != nullptr) {
            result += kEscapeValues[letter - kEscapeLetters];
            pos = slash + 2;
        } else if (c >= '0' && c <= '9') {
            const char* start = s.c_str() + slash + 1;
            char* end = nullptr;
            long value = std::strtol(start, &end, 0);
            std::size_t used = static_cast<std::size_t>(end - start);
            if (used > 3) {
                char four[5] = {start[0], start[1], start[2], start[3], '\0'};
                value = std::strtol(four, &end, 0);
                used = static_cast<std::size_t>(end - four);
            }
            result += static_cast<char>(value & 0xFF);
            pos = slash + 1 + used;
        } else {
            result += c;
            pos = slash + 2;
        }
    }
    s.swap(result);
}

int IsEscapedAt(const std::string& s, int pos) {
    if (pos <= 0 || pos > static_cast<int>(s.size())) return 0;
    int backslashes = 0;
    for (int i = pos - 1; i >= 0 && s[i] == '\\'; --i) ++backslashes;
    return backslashes % 2;
}

int FindUnescaped(const std::string& s, char c) {
    for (std::string::size_type i = s.find(c); i != std::string::npos; i = s.find(c, i + 1))
        if (!IsEscapedAt(s, static_cast<int>(i))) return static_cast<int>(i);
    return -1;
}

int FindFirstUnescapedOf(const std::string& s, const std::string& set) {
    if (s.empty()) return -1;
    int best = -1;
    for (char c : set) {
        const int pos = FindUnescaped(s, c);
        if (pos >= 0 && (best < 0 || pos < best)) best = pos;
    }
    return best;
}

int FindByte(const std::string& s, char b) {
    const std::string::size_type pos = s.find(b);
    return pos == std::string::npos ? -1 : static_cast<int>(pos);
}

unsigned char UpperCaseByte(unsigned char b) {
    if (b < 0x80) return static_cast<unsigned char>(std::toupper(b));
    return platform::CharUpperByte(b);
}

int EqualsUpperCased(const std::string& stored, const char* subject, int count) {
    if (count < 0 || static_cast<std::size_t>(count) != stored.size()) return 0;
    for (int i = 0; i < count; ++i)
        if (UpperCaseByte(static_cast<unsigned char>(subject[i])) !=
            static_cast<unsigned char>(stored[i]))
            return 0;
    return 1;
}

void SplitString(const std::string& text, std::vector<std::string>& out,
                 const std::string& separator) {
    out.clear();
    if (separator.empty()) {
        if (!text.empty()) out.push_back(text);
        return;
    }
    std::string::size_type pos = 0;
    for (;;) {
        const std::string::size_type found = text.find(separator, pos);
        if (found == std::string::npos) break;
        out.push_back(text.substr(pos, found - pos));
        pos = found + separator.size();
    }
    if (pos < text.size()) out.push_back(text.substr(pos));
}

std::string JoinString(const std::vector<std::string>& pieces, const std::string& separator) {
    std::string text;
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        if (i > 0) text += separator;
        text += pieces[i];
    }
    return text;
}

void TrimBlanks(std::string& s) {
    static const char kBlanks[] = " \t\n\v\f\r";
    const std::string::size_type first = s.find_first_not_of(kBlanks);
    if (first == std::string::npos) {
        s.clear();
        return;
    }
    s.erase(s.find_last_not_of(kBlanks) + 1);
    s.erase(0, first);
}

bool EqualsIgnoringAsciiCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::string::size_type i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'a' && x <= 'z') x = static_cast<unsigned char>(x - 'a' + 'A');
        if (y >= 'a' && y <= 'z') y = static_cast<unsigned char>(y - 'a' + 'A');
        if (x != y) return false;
    }
    return true;
}

std::size_t Utf8SequenceLength(const std::string& text, std::size_t at) {
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // no overlong forms
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;   // no overlong forms
        if (lead == 0xF4) high = 0x8F;  // nothing past U+10FFFF
    } else {
        return 0;
    }
    if (at + length > text.size()) return 0;
    if (byte(at + 1) < low || byte(at + 1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) return 0;
    return length;
}

std::string ValidUtf8(const std::string& bytes) {
    std::string valid;
    valid.reserve(bytes.size());
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t length = Utf8SequenceLength(bytes, at);
        if (length == 0) {
            valid += "\xEF\xBF\xBD";
            ++at;
        } else {
            valid.append(bytes, at, length);
            at += length;
        }
    }
    return valid;
}

void FileTimeToText(const platform::FileTime* fileTime, std::string& out) {
    if (fileTime == nullptr) return;
    platform::SystemTime st;
    if (!platform::FileTimeToSystemTime(*fileTime, &st)) return;
    std::string date;
    if (!platform::FormatDate(st, platform::GetDisplayDatePicture(), &date)) return;
    std::string time;
    // The date alone when the time cannot be formatted.
    out = platform::FormatTime(st, &time) ? date + " " + time : date;
}
