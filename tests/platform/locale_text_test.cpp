#include "platform/locale_text.h"

#include <gtest/gtest.h>

#include "support/scoped_env.h"

namespace {

platform::SystemTime Date(int y, int m, int d) {
    platform::SystemTime st;
    st.wYear = static_cast<std::uint16_t>(y);
    st.wMonth = static_cast<std::uint16_t>(m);
    st.wDay = static_cast<std::uint16_t>(d);
    st.wHour = 7;
    st.wMinute = 8;
    st.wSecond = 9;
    return st;
}

std::string Format(int y, int m, int d, const std::string& picture) {
    std::string out = "unset";
    EXPECT_TRUE(platform::FormatDate(Date(y, m, d), picture, &out));
    return out;
}

TEST(DatePicture, FieldsQuotesAndNames) {
    USE_ENGLISH_DATE_NAMES();
#ifndef _WIN32
    EXPECT_EQ(Format(2003, 4, 9, "d/M/y"), "9/4/3");
#else
    // A one-letter year is "3" on Windows but "03" under Wine: only day and month are pinned.
    EXPECT_EQ(Format(2003, 4, 9, "d/M/y").substr(0, 4), "9/4/");
#endif
    EXPECT_EQ(Format(2003, 4, 9, "dd.MM.yy"), "09.04.03");
    EXPECT_EQ(Format(2003, 4, 9, "yyyy-MM-dd"), "2003-04-09");
    EXPECT_EQ(Format(2003, 4, 9, "ddd, MMM d"), "Wed, Apr 9");
    EXPECT_EQ(Format(2003, 4, 9, "dddd d MMMM yyyy"), "Wednesday 9 April 2003");
    EXPECT_EQ(Format(2003, 4, 9, "'day' d 'o''clock'"), "day 9 o'clock");
    EXPECT_EQ(Format(2003, 4, 9, "'unclosed dMy"), "unclosed dMy");
    std::string out = "kept";
    EXPECT_FALSE(platform::FormatDate(Date(2003, 2, 30), "d/M/y", &out));
    EXPECT_EQ(out, "kept");
}

TEST(DatePicture, CutToTheBuffer) {
    ScopedLocale locale("C");
    std::string out = "old";
    EXPECT_EQ(platform::FormatDateInBuffer(Date(2003, 4, 9), "d/M/yyyy", &out, 80), 9);
    EXPECT_EQ(out, "9/4/2003");
    const std::string picture = "'" + std::string(100, 'x') + "' d";
    EXPECT_EQ(platform::FormatDateInBuffer(Date(2003, 4, 9), picture, &out, 80), 80);
    EXPECT_EQ(out, std::string(79, 'x'));
    EXPECT_EQ(platform::FormatDateInBuffer(Date(2003, 4, 9), "d/M/yyyy", &out, 4), 4);
    EXPECT_EQ(out, "9/4");
    EXPECT_EQ(platform::FormatDateInBuffer(Date(2003, 4, 31), "d/M/yyyy", &out, 80), 0);
    EXPECT_EQ(out, "");
    out = "old";
    EXPECT_EQ(platform::FormatDateInBuffer(Date(2003, 4, 9), "d", &out, 0), 0);
    EXPECT_EQ(out, "");
}

TEST(DatePicture, FourDigitYearsEverywhereButInQuotes) {
    EXPECT_EQ(platform::FourDigitYears("MM/dd/yy"), "MM/dd/yyyy");
    EXPECT_EQ(platform::FourDigitYears("d.M.y"), "d.M.yyyy");
    EXPECT_EQ(platform::FourDigitYears("yyyy/M/d"), "yyyy/M/d");
    EXPECT_EQ(platform::FourDigitYears("yyy"), "yyy");  // already the whole year
    EXPECT_EQ(platform::FourDigitYears("'yy' yy 'it''s y' y"), "'yy' yyyy 'it''s y' yyyy");
    EXPECT_EQ(platform::FourDigitYears(""), "");
#ifndef _WIN32
    // C writes "MM/dd/yy"; the program shows its dates with the century.
    ScopedLocale locale("C");
    EXPECT_EQ(platform::GetDisplayDatePicture(), "MM/dd/yyyy");
#endif
}

TEST(DatePicture, FromTheLocale) {
    {
        ScopedLocale locale("C");
        // The short date is the short date picture, whatever the locale.
        const std::string picture = platform::GetShortDatePicture();
        ASSERT_FALSE(picture.empty());
        EXPECT_EQ(Format(2003, 4, 9, ""), Format(2003, 4, 9, picture));
        std::string time;
        ASSERT_TRUE(platform::FormatTime(Date(2003, 4, 9), &time));
#ifndef _WIN32
        EXPECT_EQ(picture, "MM/dd/yy");
        EXPECT_EQ(time, "07:08:09");
#else
        // The user's locale of the session; pinned for en-US.
        if (UserLocaleIsEnUs()) {
            EXPECT_EQ(picture, "M/d/yyyy");
            EXPECT_EQ(Format(2003, 4, 9, ""), "4/9/2003");
            EXPECT_EQ(time, "7:08:09 AM");
        }
#endif
        std::string invalid = "kept";
        platform::SystemTime late = Date(2003, 4, 9);
        late.wHour = 24;
        EXPECT_FALSE(platform::FormatTime(late, &invalid));
        EXPECT_EQ(invalid, "kept");
    }
#ifndef _WIN32
    {
        ScopedLocale locale("de_DE.UTF-8");
        if (!locale.Ok()) GTEST_SKIP() << "de_DE.UTF-8 is not installed";
        EXPECT_EQ(platform::GetShortDatePicture(), "dd.MM.yyyy");
        EXPECT_EQ(Format(2003, 3, 9, "MMMM"), "M\xC3\xA4rz");
    }
    {
        ScopedLocale locale("zh_CN.UTF-8");
        if (!locale.Ok()) GTEST_SKIP() << "zh_CN.UTF-8 is not installed";
        const std::string picture = platform::GetShortDatePicture();
        EXPECT_LT(picture.find("yyyy"), picture.find("M"));
        EXPECT_LT(picture.find("M"), picture.find("d"));
        std::string out;
        ASSERT_TRUE(platform::FormatDate(Date(2003, 4, 9), std::string(), &out));
        EXPECT_EQ(out.substr(0, 4), "2003");
    }
#endif
}

}  // namespace
