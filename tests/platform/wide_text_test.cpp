// The conversion between the program's UTF-8 and the UTF-16 of the Windows calls: every name,
// lone surrogates included, goes there and back unchanged.
#include <gtest/gtest.h>

#include <string>

#include "platform/wide_text.h"

namespace {

using platform::Utf16FromUtf8;
using platform::Utf8FromUtf16;

TEST(WideText, ValidTextBothWays) {
    const struct {
        std::string utf8;
        std::u16string utf16;
    } kCases[] = {
        {"", u""},
        {"plain copy.jpg", u"plain copy.jpg"},
        {"\xE7\x85\xA7\xE7\x89\x87\\\xE6\xB5\xB7\xE8\xBE\xB9.jpg", u"照片\\海边.jpg"},
        {"\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE", u"Фото"},
        // Four bytes: one character outside the basic plane, two units.
        {"a\xF0\x9F\x98\x80" "b", u"a\U0001F600b"},
        {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
        {"\xEF\xBF\xBF\xC2\x80", u"\uFFFF\u0080"},
    };
    for (const auto& c : kCases) {
        EXPECT_EQ(Utf16FromUtf8(c.utf8), c.utf16) << c.utf8;
        EXPECT_EQ(Utf8FromUtf16(c.utf16), c.utf8) << c.utf8;
    }
    EXPECT_EQ(Utf16FromUtf8("a\xF0\x9F\x98\x80").size(), 3u);
}

TEST(WideText, LoneSurrogatesRoundTrip) {
    // A name NTFS allows that is no valid UTF-16: a high surrogate alone, a low one alone, a
    // low before a high (no pair), and a high at the very end.
    const std::u16string names[] = {
        std::u16string(u"x") + char16_t(0xD800) + u".bin",
        std::u16string(1, char16_t(0xDFFF)),
        std::u16string{char16_t(0xDC00), char16_t(0xD800)},
        std::u16string(u"end") + char16_t(0xDBFF),
    };
    for (const std::u16string& name : names) {
        const std::string bytes = Utf8FromUtf16(name);
        EXPECT_EQ(Utf16FromUtf8(bytes), name);
    }
    // Each lone unit is its own three-byte form, never U+FFFD and never dropped.
    EXPECT_EQ(Utf8FromUtf16(names[0]), "x\xED\xA0\x80.bin");
    EXPECT_EQ(Utf8FromUtf16(names[1]), "\xED\xBF\xBF");
    EXPECT_EQ(Utf8FromUtf16(names[2]), "\xED\xB0\x80\xED\xA0\x80");
    // A high and a low unit side by side are a pair: four bytes, the one UTF-8 form.
    const std::u16string pair{char16_t(0xD83D), char16_t(0xDE00)};
    EXPECT_EQ(Utf8FromUtf16(pair), "\xF0\x9F\x98\x80");
    // Read from bytes, the three-byte forms give the units back.
    EXPECT_EQ(Utf16FromUtf8("\xED\xA0\x80"), std::u16string(1, char16_t(0xD800)));
}

TEST(WideText, BytesThatStartNoCharacterBecomeReplacements) {
    const std::u16string bad(1, char16_t(0xFFFD));
    EXPECT_EQ(Utf16FromUtf8("\x80"), bad);                       // a continuation alone
    EXPECT_EQ(Utf16FromUtf8("\xC0\xAF"), bad + bad);             // overlong "/"
    EXPECT_EQ(Utf16FromUtf8("\xE0\x80\xAF"), bad + bad + bad);   // overlong, three bytes
    EXPECT_EQ(Utf16FromUtf8("\xF4\x90\x80\x80"), bad + bad + bad + bad);  // past U+10FFFF
    EXPECT_EQ(Utf16FromUtf8("\xFF"), bad);
    // Cut short: the lead byte is replaced and what follows is read on its own.
    EXPECT_EQ(Utf16FromUtf8("\xE6\xB5" "a"), bad + bad + u"a");
    EXPECT_EQ(Utf16FromUtf8("ok\xF0\x9F\x98"), u"ok" + bad + bad + bad);
    // Never a separator or a dot made out of a bad byte.
    for (int b = 0x80; b <= 0xFF; ++b) {
        const std::u16string units = Utf16FromUtf8(std::string(1, static_cast<char>(b)) + "\\");
        ASSERT_EQ(units.size(), 2u) << b;
        EXPECT_EQ(units[0], 0xFFFD) << b;
        EXPECT_EQ(units[1], u'\\') << b;
    }
}

}  // namespace
