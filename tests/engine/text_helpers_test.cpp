#include "engine/text/text_helpers.h"

#include <gtest/gtest.h>

#include <utility>

#include "platform/file_time.h"
#include "platform/locale_text.h"
#include "support/platform_rules.h"
#include "support/scoped_env.h"

namespace {

std::string Unescaped(std::string s) {
    UnescapeText(s);
    return s;
}

TEST(UnescapeText, LettersBackslashesAndNumbers) {
    EXPECT_EQ(Unescaped("a\\tb"), "a\tb");
    EXPECT_EQ(Unescaped("\\a\\b\\f\\n\\r\\v\\?\\'\\\""), "\x07\x08\x0C\n\r\x0B?'\"");
    EXPECT_EQ(Unescaped("\\\\"), "\\");
    EXPECT_EQ(Unescaped("\\q"), "q");
    EXPECT_EQ(Unescaped("\\T"), "T");  // escape letters are case-sensitive
    EXPECT_EQ(Unescaped("ab\\"), "ab");
    EXPECT_EQ(Unescaped("\\"), "");
    EXPECT_EQ(Unescaped("\\101"), "e");       // decimal
    EXPECT_EQ(Unescaped("\\0101"), "A");      // octal
    EXPECT_EQ(Unescaped("\\0x41"), "A");      // hexadecimal
    EXPECT_EQ(Unescaped("\\12345"), "\xD2" "5");  // 1234 cut to 8 bits, then the 5
    EXPECT_EQ(Unescaped("\\x41"), "x41");     // x is no escape letter
    EXPECT_EQ(Unescaped("\\0x4142"), "A42");  // at most four characters are a number
    EXPECT_EQ(Unescaped("\\09"), std::string("\0" "9", 2));
    EXPECT_EQ(Unescaped("no escapes"), "no escapes");
    EXPECT_EQ(Unescaped(""), "");
}

TEST(EscapedPositions, BackslashRuns) {
    EXPECT_EQ(IsEscapedAt("*", 0), 0);
    EXPECT_EQ(IsEscapedAt("\\*", 1), 1);
    EXPECT_EQ(IsEscapedAt("\\\\*", 2), 0);
    EXPECT_EQ(IsEscapedAt("\\\\\\*", 3), 1);
    EXPECT_EQ(IsEscapedAt("a\\*", 2), 1);
    EXPECT_EQ(IsEscapedAt("ab*", 2), 0);

    EXPECT_EQ(FindUnescaped("\\**", '*'), 2);
    EXPECT_EQ(FindUnescaped("\\*", '*'), -1);
    EXPECT_EQ(FindUnescaped("", '*'), -1);

    EXPECT_EQ(FindFirstUnescapedOf("AB\\*C?D", "?*"), 5);
    EXPECT_EQ(FindFirstUnescapedOf("AB*C?D", "?*"), 2);
    EXPECT_EQ(FindFirstUnescapedOf("ABCD", "?*"), -1);
    EXPECT_EQ(FindFirstUnescapedOf("", "?*"), -1);

    EXPECT_EQ(FindByte("a\\b", '\\'), 1);
    EXPECT_EQ(FindByte("abc", 'z'), -1);
    EXPECT_EQ(FindByte(std::string("a\0b", 3), 'b'), 2);
}

TEST(UpperCase, AsciiAndHighBytes) {
    EXPECT_EQ(UpperCaseByte('a'), 'A');
    EXPECT_EQ(UpperCaseByte('z'), 'Z');
    EXPECT_EQ(UpperCaseByte('A'), 'A');
    EXPECT_EQ(UpperCaseByte('1'), '1');
    EXPECT_EQ(UpperCaseByte('{'), '{');
    // Names are UTF-8 on every system, and UTF-8 has no one-byte upper case: a byte of a
    // character outside ASCII (a Chinese or an accented name on Windows too) stays as it is.
    for (int b = 0x80; b <= 0xFF; ++b) EXPECT_EQ(UpperCaseByte(static_cast<unsigned char>(b)), b);

    EXPECT_EQ(EqualsUpperCased("ABC", "abc", 3), 1);
    EXPECT_EQ(EqualsUpperCased("ABC", "aBc", 3), 1);
    EXPECT_EQ(EqualsUpperCased("ABC", "abd", 3), 0);
    EXPECT_EQ(EqualsUpperCased("ABC", "abcd", 4), 0);  // length must match
    EXPECT_EQ(EqualsUpperCased("abc", "abc", 3), 0);   // the stored side is already upper case
    EXPECT_EQ(EqualsUpperCased("", "", 0), 1);
}

TEST(ListText, SplitJoinTrimAndCase) {
    std::vector<std::string> pieces;
    SplitString("A;;B;", pieces, ";");
    EXPECT_EQ(pieces, (std::vector<std::string>{"A", "", "B"}));
    EXPECT_EQ(JoinString(pieces, ";"), "A;;B");
    SplitString("", pieces, ";");
    EXPECT_TRUE(pieces.empty());
    EXPECT_EQ(JoinString({}, ";"), "");
    std::string s = " \t\v x y \r\n";
    TrimBlanks(s);
    EXPECT_EQ(s, "x y");
    s = " \f ";
    TrimBlanks(s);
    EXPECT_EQ(s, "");
    EXPECT_TRUE(EqualsIgnoringAsciiCase("abc_Z", "ABC_z"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase("abc", "abcd"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase("\xC3\xA9", "\xC3\x89"));  // no case beyond ASCII
    EXPECT_FALSE(EqualsIgnoringAsciiCase("[", "{"));
}

TEST(FileTimeToText, ShortDateBlankTime) {
    ScopedLocale locale("C");
    platform::SystemTime st;
    st.wYear = 2003;
    st.wMonth = 4;
    st.wDay = 9;
    st.wHour = 13;
    st.wMinute = 5;
    st.wSecond = 7;
    platform::FileTime ft = 0;
    ASSERT_TRUE(platform::SystemTimeToFileTime(st, &ft));
#ifndef _WIN32
    const std::string expected = "04/09/2003 13:05:07";  // the locale's yy with its century
#else
    // The user's locale of the session: pinned for en-US, else what the system writes.
    std::string expected = "4/9/2003 1:05:07 PM";
    if (!UserLocaleIsEnUs()) {
        std::string date, time;
        ASSERT_TRUE(platform::FormatDate(st, platform::GetDisplayDatePicture(), &date));
        ASSERT_TRUE(platform::FormatTime(st, &time));
        expected = date + " " + time;
    }
#endif
    std::string text = "unchanged";
    FileTimeToText(&ft, text);
    EXPECT_EQ(text, expected);

    // An invalid time leaves the text alone.
    const platform::FileTime invalid = -1;
    FileTimeToText(&invalid, text);
    EXPECT_EQ(text, expected);
    FileTimeToText(nullptr, text);
    EXPECT_EQ(text, expected);

#ifndef _WIN32
    // The list, the properties, the CSV and the printout in a day-first and a Chinese locale.
    for (const auto& [name, inLocale] :
         {std::pair<const char*, const char*>{"de_DE.UTF-8", "09.04.2003 13:05:07"},
          {"zh_CN.UTF-8", "2003\xE5\xB9\xB4" "04\xE6\x9C\x88" "09\xE6\x97\xA5 13\xE6\x97\xB6"
                          "05\xE5\x88\x86" "07\xE7\xA7\x92"}}) {
        ScopedLocale other(name);
        ASSERT_TRUE(other.Ok()) << name;
        FileTimeToText(&ft, text);
        EXPECT_EQ(text, inLocale) << name;
    }
#endif
}

}  // namespace
