#include "engine/text_helpers.h"

#include <gtest/gtest.h>

#include "platform/file_time.h"
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
    for (int b = 0x80; b <= 0xFF; ++b) EXPECT_EQ(UpperCaseByte(static_cast<unsigned char>(b)), b);

    EXPECT_EQ(EqualsUpperCased("ABC", "abc", 3), 1);
    EXPECT_EQ(EqualsUpperCased("ABC", "aBc", 3), 1);
    EXPECT_EQ(EqualsUpperCased("ABC", "abd", 3), 0);
    EXPECT_EQ(EqualsUpperCased("ABC", "abcd", 4), 0);  // length must match
    EXPECT_EQ(EqualsUpperCased("abc", "abc", 3), 0);   // the stored side is already upper case
    EXPECT_EQ(EqualsUpperCased("", "", 0), 1);
}

int g_pumpCalls = 0;
void CountingPump() { ++g_pumpCalls; }

TEST(MessagePump, HookIsCalledAndRemovable) {
    PumpPendingMessages();  // no pump installed: nothing happens
    g_pumpCalls = 0;
    MessagePumpHook previous = SetMessagePumpHook(&CountingPump);
    PumpPendingMessages();
    PumpPendingMessages();
    EXPECT_EQ(g_pumpCalls, 2);
    EXPECT_EQ(SetMessagePumpHook(previous), &CountingPump);
    PumpPendingMessages();
    EXPECT_EQ(g_pumpCalls, 2);
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
    std::string text = "unchanged";
    FileTimeToText(&ft, text);
    EXPECT_EQ(text, "04/09/03 13:05:07");

    // An invalid time leaves the text alone.
    const platform::FileTime invalid = -1;
    FileTimeToText(&invalid, text);
    EXPECT_EQ(text, "04/09/03 13:05:07");
    FileTimeToText(nullptr, text);
    EXPECT_EQ(text, "04/09/03 13:05:07");
}

}  // namespace
