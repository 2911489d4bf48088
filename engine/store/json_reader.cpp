#include "engine/store/json_reader.h"

#include <array>
#include <charconv>
#include <cstdio>
#include <limits>
#include <system_error>

namespace {

// A literal longer than this is refused before any conversion: no real value needs more, and
// a hostile one must not cost time or memory.
constexpr std::size_t kMaxNumberChars = 64;

unsigned char Byte(char c) { return static_cast<unsigned char>(c); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAlnum(char c) { return IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// Bytes copied as they are inside a string: printable ASCII but the quote and the backslash.
// One table look-up per byte keeps the common case of a file name fast.
constexpr std::array<bool, 256> kPlain = [] {
    std::array<bool, 256> plain{};
    for (int c = 0x20; c < 0x80; ++c) plain[static_cast<std::size_t>(c)] = c != '"' && c != '\\';
    return plain;
}();

// The length of the valid UTF-8 sequence starting at s[0] (a byte >= 0x80): 0 when it is not
// one (overlong forms, surrogates and code points above U+10FFFF included), -1 when the input
// ends inside it.
int Utf8Sequence(const char* s, std::size_t avail) {
    const unsigned lead = Byte(s[0]);
    unsigned lo = 0x80, hi = 0xBF;
    int n;
    if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3;
        if (lead == 0xE0)
            lo = 0xA0;  // overlong below U+0800
        else if (lead == 0xED)
            hi = 0x9F;  // U+D800..U+DFFF
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4;
        if (lead == 0xF0)
            lo = 0x90;  // overlong below U+10000
        else if (lead == 0xF4)
            hi = 0x8F;  // above U+10FFFF
    } else {
        return 0;
    }
    for (int i = 1; i < n; ++i) {
        if (static_cast<std::size_t>(i) >= avail) return -1;
        const unsigned b = Byte(s[i]);
        if (b < lo || b > hi) return 0;
        lo = 0x80;
        hi = 0xBF;
    }
    return n;
}

bool Hex4(std::string_view text, std::size_t at, unsigned* value) {
    unsigned v = 0;
    for (std::size_t i = at; i < at + 4; ++i) {
        const char c = text[i];
        unsigned d;
        if (IsDigit(c))
            d = static_cast<unsigned>(c - '0');
        else if (c >= 'a' && c <= 'f')
            d = static_cast<unsigned>(c - 'a' + 10);
        else if (c >= 'A' && c <= 'F')
            d = static_cast<unsigned>(c - 'A' + 10);
        else
            return false;
        v = v * 16 + d;
    }
    *value = v;
    return true;
}

std::size_t EncodeUtf8(unsigned cp, char* out) {
    if (cp < 0x80) {
        out[0] = static_cast<char>(cp);
        return 1;
    }
    if (cp < 0x800) {
        out[0] = static_cast<char>(0xC0 | (cp >> 6));
        out[1] = static_cast<char>(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (cp >> 12));
        out[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (cp & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (cp >> 18));
    out[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (cp & 0x3F));
    return 4;
}

std::string HexByte(unsigned b) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "0x%02X", b & 0xFF);
    return buf;
}

std::string Surrogate(unsigned cp) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "\\u%04X", cp & 0xFFFF);
    return buf;
}

const char* TypeName(JsonType type) {
    switch (type) {
        case JsonType::kNull: return "null";
        case JsonType::kBool: return "a boolean";
        case JsonType::kNumber: return "a number";
        case JsonType::kString: return "a string";
        case JsonType::kArray: return "an array";
        case JsonType::kObject: return "an object";
        default: return "nothing";
    }
}

// The power of ten of the first significant digit of a checked literal whose value is not
// zero, with the exponent saturated: above zero when a value out of a double's range is too
// large, below when it is too small.
long Magnitude(std::string_view lit) {
    std::size_t i = lit[0] == '-' ? 1 : 0;
    const std::size_t intBegin = i;
    while (i < lit.size() && IsDigit(lit[i])) ++i;
    long mag;
    if (!(i - intBegin == 1 && lit[intBegin] == '0')) {
        mag = static_cast<long>(i - intBegin) - 1;
    } else {
        if (i >= lit.size() || lit[i] != '.') return 0;
        const std::size_t zeros = ++i;
        while (i < lit.size() && lit[i] == '0') ++i;
        mag = -static_cast<long>(i - zeros) - 1;
    }
    while (i < lit.size() && lit[i] != 'e' && lit[i] != 'E') ++i;
    if (i < lit.size()) {
        ++i;
        const bool negative = lit[i] == '-';
        if (lit[i] == '-' || lit[i] == '+') ++i;
        long exp = 0;
        for (; i < lit.size(); ++i)
            if (exp < 1000000) exp = exp * 10 + (lit[i] - '0');
        mag += negative ? -exp : exp;
    }
    return mag;
}

}  // namespace

JsonReader::JsonReader(std::string_view text, int maxDepth)
    : m_text(text), m_maxDepth(maxDepth < 0 ? 0 : maxDepth) {
    if (m_text.substr(0, 3) == "\xEF\xBB\xBF") m_pos = m_tokenStart = 3;
}

bool JsonReader::Fault(std::size_t at, const std::string& why) {
    if (m_failed) return false;
    m_failed = true;
    if (at > m_text.size()) at = m_text.size();
    // Counted only once, for the one message: nothing is spent on it while reading.
    std::size_t line = 1, lineStart = 0;
    for (std::size_t i = 0; i < at; ++i)
        if (m_text[i] == '\n') {
            ++line;
            lineStart = i + 1;
        }
    m_error = "line " + std::to_string(line) + ", column " + std::to_string(at - lineStart + 1) +
              ": " + why;
    return false;
}

std::string JsonReader::Found(std::size_t at) const {
    if (at >= m_text.size()) return "the end of the input";
    const char c = m_text[at];
    if (Byte(c) >= 0x20 && Byte(c) < 0x7F) return std::string("'") + c + "'";
    return "byte " + HexByte(Byte(c));
}

bool JsonReader::Expected(std::size_t at, const char* what) {
    if (at >= m_text.size())
        return Fault(at, std::string("unexpected end of input, expected ") + what);
    return Fault(at, std::string("expected ") + what + ", found " + Found(at));
}

bool JsonReader::Fail(const std::string& why) { return Fault(m_tokenStart, why); }

void JsonReader::SkipWhitespace() {
    const std::size_t end = m_text.size();
    while (m_pos < end) {
        const char c = m_text[m_pos];
        if (c != ' ' && c != '\n' && c != '\r' && c != '\t') break;
        ++m_pos;
    }
}

JsonType JsonReader::Peek() {
    if (m_failed) return JsonType::kBad;
    if (!m_valueExpected) return JsonType::kEnd;
    SkipWhitespace();
    m_tokenStart = m_pos;
    if (m_pos < m_text.size()) {
        switch (m_text[m_pos]) {
            case '{': return JsonType::kObject;
            case '[': return JsonType::kArray;
            case '"': return JsonType::kString;
            case 't':
            case 'f': return JsonType::kBool;
            case 'n': return JsonType::kNull;
            default:
                if (m_text[m_pos] == '-' || IsDigit(m_text[m_pos])) return JsonType::kNumber;
        }
    }
    Expected(m_pos, "a value");
    return JsonType::kBad;
}

bool JsonReader::Expect(JsonType want, const char* what) {
    const JsonType type = Peek();
    if (type == JsonType::kBad) return false;
    if (type == JsonType::kEnd)
        return Fault(m_pos, std::string("read out of order: ") + what +
                                " was asked for where no value may come");
    if (type != want)
        return Fault(m_pos, std::string("expected ") + what + ", found " + TypeName(type));
    return true;
}

void JsonReader::ValueDone() { m_valueExpected = false; }

bool JsonReader::Open(bool object) {
    if (!Expect(object ? JsonType::kObject : JsonType::kArray, object ? "an object" : "an array"))
        return false;
    if (m_open.size() >= static_cast<std::size_t>(m_maxDepth))
        return Fault(m_pos,
                     "nested too deeply (more than " + std::to_string(m_maxDepth) + " levels)");
    m_open.push_back(object ? 1 : 0);
    ++m_pos;
    m_first = true;
    m_valueExpected = false;
    return true;
}

void JsonReader::Close() {
    ++m_pos;
    m_open.pop_back();
    // The container just closed was an element of the one around it.
    m_first = false;
    ValueDone();
}

bool JsonReader::BeginObject() { return Open(true); }
bool JsonReader::BeginArray() { return Open(false); }

bool JsonReader::NextMember(std::string* key, std::size_t maxKeyBytes) {
    if (m_failed) return false;
    if (m_open.empty() || !m_open.back())
        return Fault(m_pos, "read out of order: a member asked for outside an object");
    if (m_valueExpected)
        return Fault(m_pos,
                     "read out of order: a member asked for before the last one's value was read");
    SkipWhitespace();
    m_tokenStart = m_pos;
    const std::size_t end = m_text.size();
    if (m_pos < end && m_text[m_pos] == '}') {
        Close();
        return false;
    }
    if (!m_first) {
        if (m_pos >= end || m_text[m_pos] != ',') return Expected(m_pos, "',' or '}'");
        ++m_pos;
        SkipWhitespace();
        m_tokenStart = m_pos;
        if (m_pos < end && m_text[m_pos] == '}') return Fault(m_pos, "trailing comma before '}'");
        if (m_pos >= end || m_text[m_pos] != '"') return Expected(m_pos, "a member name");
    } else if (m_pos >= end || m_text[m_pos] != '"') {
        return Expected(m_pos, "a member name or '}'");
    }
    m_first = false;
    if (!ScanString(key, maxKeyBytes)) return false;
    SkipWhitespace();
    if (m_pos >= end || m_text[m_pos] != ':') return Expected(m_pos, "':'");
    ++m_pos;
    m_valueExpected = true;
    return true;
}

bool JsonReader::NextElement() {
    if (m_failed) return false;
    if (m_open.empty() || m_open.back())
        return Fault(m_pos, "read out of order: an element asked for outside an array");
    if (m_valueExpected)
        return Fault(m_pos, "read out of order: an element asked for before the last one was read");
    SkipWhitespace();
    m_tokenStart = m_pos;
    const std::size_t end = m_text.size();
    if (m_pos < end && m_text[m_pos] == ']') {
        Close();
        return false;
    }
    if (m_first) {
        if (m_pos >= end) return Expected(m_pos, "a value or ']'");
        m_first = false;
    } else {
        if (m_pos >= end || m_text[m_pos] != ',') return Expected(m_pos, "',' or ']'");
        ++m_pos;
        SkipWhitespace();
        m_tokenStart = m_pos;
        if (m_pos < end && m_text[m_pos] == ']') return Fault(m_pos, "trailing comma before ']'");
    }
    m_valueExpected = true;
    return true;
}

bool JsonReader::ScanString(std::string* out, std::size_t maxBytes) {
    const std::size_t begin = m_pos, end = m_text.size();
    const char* s = m_text.data();
    std::size_t p = begin + 1, decoded = 0;
    if (out) out->clear();
    auto append = [&](const char* bytes, std::size_t n) {
        if (n > maxBytes - decoded)
            return Fault(begin, "string longer than " + std::to_string(maxBytes) + " bytes");
        decoded += n;
        if (out) out->append(bytes, n);
        return true;
    };
    for (;;) {
        // A run of bytes copied as they are, in one append.
        const std::size_t run = p;
        while (p < end) {
            if (kPlain[Byte(s[p])]) {
                ++p;
            } else if (Byte(s[p]) >= 0x80) {
                const int n = Utf8Sequence(s + p, end - p);
                if (n <= 0) break;
                p += static_cast<std::size_t>(n);
            } else {
                break;
            }
        }
        if (p > run && !append(s + run, p - run)) return false;
        if (p >= end) return Fault(p, "unexpected end of input in a string");
        const unsigned char c = Byte(s[p]);
        if (c == '"') {
            m_pos = p + 1;
            return true;
        }
        if (c >= 0x80) {
            if (Utf8Sequence(s + p, end - p) < 0)
                return Fault(end, "unexpected end of input in a string");
            return Fault(p, "invalid UTF-8 byte " + HexByte(c) + " in a string");
        }
        if (c < 0x20)
            return Fault(p,
                         "control character " + HexByte(c) + " in a string (it must be escaped)");
        // A backslash.
        if (p + 1 >= end) return Fault(end, "unexpected end of input in a string");
        char buf[4];
        std::size_t len = 1;
        switch (s[p + 1]) {
            case '"': buf[0] = '"'; break;
            case '\\': buf[0] = '\\'; break;
            case '/': buf[0] = '/'; break;
            case 'b': buf[0] = '\b'; break;
            case 'f': buf[0] = '\f'; break;
            case 'n': buf[0] = '\n'; break;
            case 'r': buf[0] = '\r'; break;
            case 't': buf[0] = '\t'; break;
            case 'u': {
                unsigned cp;
                if (p + 6 > end) return Fault(end, "unexpected end of input in a string");
                if (!Hex4(m_text, p + 2, &cp))
                    return Fault(p, "invalid \\u escape (four hex digits must follow)");
                if (cp >= 0xD800 && cp <= 0xDBFF) {
                    unsigned low;
                    if (p + 12 <= end && s[p + 6] == '\\' && s[p + 7] == 'u' &&
                        Hex4(m_text, p + 8, &low) && low >= 0xDC00 && low <= 0xDFFF) {
                        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                        p += 6;
                    } else {
                        return Fault(p, "unpaired surrogate " + Surrogate(cp) + " in a string");
                    }
                } else if (cp >= 0xDC00 && cp <= 0xDFFF) {
                    // A byte of a file name that was not valid UTF-8, written by the writer so.
                    if (cp < 0xDC80 || cp > 0xDCFF)
                        return Fault(p, "unpaired surrogate " + Surrogate(cp) + " in a string");
                    buf[0] = static_cast<char>(cp & 0xFF);
                    p += 6;
                    if (!append(buf, 1)) return false;
                    continue;
                }
                len = EncodeUtf8(cp, buf);
                p += 4;  // and the two below
                break;
            }
            default:
                return Fault(p, "invalid escape in a string: '\\' followed by " + Found(p + 1));
        }
        p += 2;
        if (!append(buf, len)) return false;
    }
}

bool JsonReader::ScanNumber(Number* number) {
    const std::size_t begin = m_pos, end = m_text.size();
    std::size_t p = begin;
    number->begin = begin;
    number->negative = m_text[p] == '-';
    number->integer = true;
    if (number->negative) ++p;
    if (p >= end || !IsDigit(m_text[p])) return Expected(p, "a digit");
    if (m_text[p] == '0') {
        ++p;
        if (p < end && IsDigit(m_text[p]))
            return Fault(begin, "leading zeros are not allowed in a number");
    } else {
        while (p < end && IsDigit(m_text[p])) ++p;
    }
    if (p < end && m_text[p] == '.') {
        number->integer = false;
        ++p;
        if (p >= end || !IsDigit(m_text[p])) return Expected(p, "a digit after '.'");
        while (p < end && IsDigit(m_text[p])) ++p;
    }
    if (p < end && (m_text[p] == 'e' || m_text[p] == 'E')) {
        number->integer = false;
        ++p;
        if (p < end && (m_text[p] == '+' || m_text[p] == '-')) ++p;
        if (p >= end || !IsDigit(m_text[p])) return Expected(p, "a digit in the exponent");
        while (p < end && IsDigit(m_text[p])) ++p;
    }
    if (p - begin > kMaxNumberChars)
        return Fault(begin,
                     "number longer than " + std::to_string(kMaxNumberChars) + " characters");
    if (p < end && (IsAlnum(m_text[p]) || m_text[p] == '.' || m_text[p] == '+' || m_text[p] == '-'))
        return Fault(p, "invalid number, found " + Found(p));
    number->end = p;
    m_pos = p;
    return true;
}

bool JsonReader::ScanLiteral(std::string_view word) {
    const std::string_view rest = m_text.substr(m_pos);
    const std::size_t n = word.size();
    if (rest.size() < n && word.substr(0, rest.size()) == rest)
        return Fault(m_text.size(), "unexpected end of input in '" + std::string(word) + "'");
    if (rest.substr(0, n) != word || (rest.size() > n && IsAlnum(rest[n])))
        return Fault(m_pos, "invalid literal, expected '" + std::string(word) + "'");
    m_pos += n;
    ValueDone();
    return true;
}

bool JsonReader::ReadString(std::string* out, std::size_t maxBytes) {
    if (!Expect(JsonType::kString, "a string") || !ScanString(out, maxBytes)) return false;
    ValueDone();
    return true;
}

bool JsonReader::ReadInt64(std::int64_t* out) {
    Number number;
    if (!Expect(JsonType::kNumber, "an integer") || !ScanNumber(&number)) return false;
    const std::string_view lit = m_text.substr(number.begin, number.end - number.begin);
    if (!number.integer)
        return Fault(number.begin, "expected an integer, found " + std::string(lit));
    std::int64_t value;
    const auto result = std::from_chars(lit.data(), lit.data() + lit.size(), value);
    if (result.ec != std::errc() || result.ptr != lit.data() + lit.size())
        return Fault(number.begin, "integer out of range: " + std::string(lit));
    if (out) *out = value;
    ValueDone();
    return true;
}

bool JsonReader::ReadUint64(std::uint64_t* out) {
    Number number;
    if (!Expect(JsonType::kNumber, "an integer") || !ScanNumber(&number)) return false;
    const std::string_view lit = m_text.substr(number.begin, number.end - number.begin);
    if (!number.integer)
        return Fault(number.begin, "expected an integer, found " + std::string(lit));
    std::uint64_t value = 0;
    if (number.negative) {
        if (lit != "-0")
            return Fault(number.begin,
                         "expected a non-negative integer, found " + std::string(lit));
    } else {
        const auto result = std::from_chars(lit.data(), lit.data() + lit.size(), value);
        if (result.ec != std::errc() || result.ptr != lit.data() + lit.size())
            return Fault(number.begin, "integer out of range: " + std::string(lit));
    }
    if (out) *out = value;
    ValueDone();
    return true;
}

bool JsonReader::ReadDouble(double* out) {
    Number number;
    if (!Expect(JsonType::kNumber, "a number") || !ScanNumber(&number)) return false;
    const std::string_view lit = m_text.substr(number.begin, number.end - number.begin);
    double value = 0;
    // from_chars reads the same in every locale.
    const auto result = std::from_chars(lit.data(), lit.data() + lit.size(), value);
    if (result.ec == std::errc::result_out_of_range && Magnitude(lit) < 0) {
        value = number.negative ? -0.0 : 0.0;
    } else if (result.ec != std::errc() || result.ptr != lit.data() + lit.size()) {
        return Fault(number.begin, "number out of range: " + std::string(lit));
    }
    if (out) *out = value;
    ValueDone();
    return true;
}

bool JsonReader::ReadBool(bool* out) {
    if (!Expect(JsonType::kBool, "a boolean")) return false;
    const bool value = m_text[m_pos] == 't';
    if (!ScanLiteral(value ? "true" : "false")) return false;
    if (out) *out = value;
    return true;
}

bool JsonReader::ReadNull() { return Expect(JsonType::kNull, "null") && ScanLiteral("null"); }

bool JsonReader::Skip() {
    // Walks with the reader's own steps, so the containers it opens are checked and counted
    // like any other; a loop instead of recursion, whatever the nesting.
    const std::size_t base = m_open.size();
    do {
        if (m_open.size() > base) {
            const bool more = m_open.back()
                                  ? NextMember(nullptr, std::numeric_limits<std::size_t>::max())
                                  : NextElement();
            if (m_failed) return false;
            if (!more) continue;
        }
        bool ok;
        Number number;
        switch (Peek()) {
            case JsonType::kObject: ok = Open(true); break;
            case JsonType::kArray: ok = Open(false); break;
            case JsonType::kString:
                ok = ScanString(nullptr, std::numeric_limits<std::size_t>::max());
                if (ok) ValueDone();
                break;
            case JsonType::kNumber:
                ok = ScanNumber(&number);
                if (ok) ValueDone();
                break;
            case JsonType::kBool: ok = ScanLiteral(m_text[m_pos] == 't' ? "true" : "false"); break;
            case JsonType::kNull: ok = ScanLiteral("null"); break;
            case JsonType::kEnd:
                ok = Fault(m_pos, "read out of order: a value skipped where no value may come");
                break;
            default: ok = false; break;
        }
        if (!ok) return false;
    } while (m_open.size() > base);
    return true;
}

bool JsonReader::Finish() {
    if (m_failed) return false;
    if (m_valueExpected || !m_open.empty())
        return Fault(m_pos, "the document was not read to its end");
    SkipWhitespace();
    if (m_pos < m_text.size())
        return Fault(m_pos, "unexpected data after the top-level value, found " + Found(m_pos));
    return true;
}
