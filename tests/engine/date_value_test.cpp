#include "engine/search/date_value.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "engine/text/string_table.h"
#include "engine/text/text_format.h"
#include "engine/text/validation_message.h"
#include "platform/file_time.h"
#include "platform/locale_text.h"
#include "support/scoped_env.h"

namespace {

using platform::FileTime;
using platform::SystemTime;

struct Ymd {
    int day, month, year;
    bool operator==(const Ymd& o) const {
        return day == o.day && month == o.month && year == o.year;
    }
};

std::ostream& operator<<(std::ostream& os, const Ymd& d) {
    return os << d.day << "/" << d.month << "/" << d.year;
}

// The day, month and year read from `text`, or -1s when the parse fails.
Ymd Parsed(const char* text, const char* format) {
    CDateValue value;
    if (!value.ParseDate(text, format)) return {-1, -1, -1};
    return {value.m_nDay, value.m_nMonth, value.m_nYear};
}

SystemTime Date(int y, int m, int d) {
    SystemTime st;
    st.wYear = static_cast<std::uint16_t>(y);
    st.wMonth = static_cast<std::uint16_t>(m);
    st.wDay = static_cast<std::uint16_t>(d);
    return st;
}

Ymd DayOf(const SystemTime& st) { return {st.wDay, st.wMonth, st.wYear}; }

// Today's local date moved by `days`.
Ymd LocalDayPlus(int days) {
    FileTime ft = 0;
    SystemTime st = platform::GetLocalTime();
    st.wHour = st.wMinute = st.wSecond = st.wMilliseconds = 0;
    EXPECT_TRUE(platform::SystemTimeToFileTime(st, &ft));
    EXPECT_TRUE(platform::FileTimeToSystemTime(ft + days * platform::kFileTimeTicksPerDay, &st));
    return DayOf(st);
}

class DateMessages : public ::testing::Test {
protected:
    // The message id ValidateDate gives for `text`, 0 when it accepted it.
    int Refusal(const char* text, const char* format) {
        int refusal = -1;
        CDateValue value;
        value.m_bEndOfDay = 1;
        const int ok = value.ValidateDate(text, format, &refusal);
        EXPECT_EQ(value.m_bEndOfDay, 0) << text;
        EXPECT_EQ(ok != 0, refusal == 0) << text;
        return refusal;
    }
};

TEST(ParseDate, NumbersSeparatorsAndQuotes) {
    EXPECT_EQ(Parsed("9/4/2003", "d/M/y"), (Ymd{9, 4, 2003}));
    EXPECT_EQ(Parsed("09.04.2003", "dd.MM.yyyy"), (Ymd{9, 4, 2003}));
    EXPECT_EQ(Parsed("2003-4-9", "yyyy-M-d"), (Ymd{9, 4, 2003}));
    EXPECT_EQ(Parsed("9/4/03", "dd/MM/yy"), (Ymd{9, 4, 3}));
    EXPECT_EQ(Parsed(" 9/ +4/-3", "d/M/y"), (Ymd{9, 4, -3}));  // blanks and a sign per number
    EXPECT_EQ(Parsed("9/4/2003 and more", "d/M/y"), (Ymd{9, 4, 2003}));
    EXPECT_EQ(Parsed("99999999999/4/1", "d/M/y"), (Ymd{INT_MAX, 4, 1}));
    // A numeric field without digits counts, as 0, and takes nothing from the text.
    EXPECT_EQ(Parsed("/4/2003", "d/M/y"), (Ymd{0, 4, 2003}));
    // Literal text must be there; the text running out before three fields is a failure.
    EXPECT_EQ(Parsed("9-4-2003", "d/M/y"), (Ymd{-1, -1, -1}));
    EXPECT_EQ(Parsed("9/4", "d/M/y"), (Ymd{-1, -1, -1}));
    EXPECT_EQ(Parsed("9/4/", "d/M/y"), (Ymd{-1, -1, -1}));
    EXPECT_EQ(Parsed("", "d/M/y"), (Ymd{-1, -1, -1}));
    EXPECT_EQ(Parsed(nullptr, "d/M/y"), (Ymd{-1, -1, -1}));
    EXPECT_EQ(Parsed("9/4/2003", "d/M"), (Ymd{-1, -1, -1}));
    // Quoted letters are text, not fields; '' inside quotes is one quote.
    EXPECT_EQ(Parsed("day 9 of 4 in 2003", "'day' d 'of' M 'in' y"), (Ymd{9, 4, 2003}));
    EXPECT_EQ(Parsed("9 o'clock 4 2003", "d 'o''clock' M y"), (Ymd{9, 4, 2003}));
    EXPECT_EQ(Parsed("9 oclock 4 2003", "d 'o''clock' M y"), (Ymd{-1, -1, -1}));
    EXPECT_EQ(Parsed("9dMy4 2003", "d'dMy'M y"), (Ymd{9, 4, 2003}));
    EXPECT_EQ(Parsed("9 4 2003", "d M y 'unclosed"), (Ymd{9, 4, 2003}));
    EXPECT_EQ(Parsed("9 4 2003y", "d M 'y"), (Ymd{-1, -1, -1}));  // quoted y is no year

    // The string form reads every byte it is given, zero bytes included.
    CDateValue withZero;
    EXPECT_EQ(withZero.ParseDate(std::string("9\0" "4/2003", 8), std::string("d\0M/y", 5)), 1);
    EXPECT_EQ(withZero.m_nMonth, 4);
    EXPECT_EQ(withZero.ParseDate(std::string("9\0" "4/2003", 8), std::string("d/M/y")), 0);

    // Unicode literals of a locale's picture are matched byte for byte.
    EXPECT_EQ(Parsed("2003年04月09日", "yyyy'年'MM'月'dd'日'"), (Ymd{9, 4, 2003}));
}

TEST(ParseDate, MonthAndWeekdayNames) {
    USE_ENGLISH_DATE_NAMES();
    EXPECT_EQ(Parsed("Wed, 9 Apr 2003", "ddd, d MMM yyyy"), (Ymd{9, 4, 2003}));
    // The weekday is skipped, not checked against the date, and names ignore letter case.
    EXPECT_EQ(Parsed("sunday 9 APRIL 2003", "dddd d MMMM yyyy"), (Ymd{9, 4, 2003}));
    EXPECT_EQ(Parsed("Xyz, 9 Apr 2003", "ddd, d MMM yyyy"), (Ymd{-1, -1, -1}));
    EXPECT_EQ(Parsed("Wed, 9 Apx 2003", "ddd, d MMM yyyy"), (Ymd{-1, -1, -1}));
    // A weekday name is not one of the three fields.
    EXPECT_EQ(Parsed("Wed 9 4", "ddd d M"), (Ymd{-1, -1, -1}));

    int month = -7;
    const char* text = "Mayday";
    EXPECT_EQ(MatchMonthName(text, "MMM", &month), text + 3);
    EXPECT_EQ(month, 5);
    text = "december";
    EXPECT_EQ(MatchMonthName(text, "MMMM", &month), text + 8);
    EXPECT_EQ(month, 12);
    month = -7;
    EXPECT_EQ(MatchMonthName("Ma", "MMM", &month), nullptr);
    EXPECT_EQ(month, -7);
    int weekday = -7;
    text = "Sun";
    EXPECT_EQ(MatchDayName(text, "ddd", &weekday), text + 3);
    EXPECT_EQ(weekday, 0);
    text = "MONDAY!";
    EXPECT_EQ(MatchDayName(text, "dddd", &weekday), text + 6);
    EXPECT_EQ(weekday, 1);
    text = "Saturday";
    EXPECT_EQ(MatchDayName(text, "dddd", &weekday), text + 8);
    EXPECT_EQ(weekday, 6);

    // Names are made in 80-byte buffers: a picture longer than that makes every name the same
    // 79 bytes, so the first month matches.
    const std::string longPicture = "'" + std::string(100, 'a') + "'MMMM";
    const std::string longText = std::string(100, 'a') + "March";
    EXPECT_EQ(MatchMonthName(longText.c_str(), longPicture.c_str(), &month), longText.c_str() + 79);
    EXPECT_EQ(month, 1);
}

// Windows takes the names from the user's locale of the session, which a test cannot switch.
#ifndef _WIN32
TEST(ParseDate, LocaleNames) {
    {
        ScopedLocale locale("de_DE.UTF-8");
        ASSERT_TRUE(locale.Ok());
        EXPECT_EQ(Parsed("Mi, 9. M\xC3\xA4rz 2003", "ddd, d. MMMM yyyy"), (Ymd{9, 3, 2003}));
        EXPECT_EQ(Parsed("9.3.2003", nullptr), (Ymd{9, 3, 2003}));  // dd.MM.yyyy
        EXPECT_EQ(Parsed("9/3/2003", ""), (Ymd{-1, -1, -1}));
    }
    {
        ScopedLocale locale("zh_CN.UTF-8");
        ASSERT_TRUE(locale.Ok());
        EXPECT_EQ(Parsed("2003\xE5\xB9\xB4" "11\xE6\x9C\x88" "9\xE6\x97\xA5", nullptr),
                  (Ymd{9, 11, 2003}));  // 2003年11月9日
        EXPECT_EQ(Parsed("\xE5\x8D\x81\xE4\xB8\x80\xE6\x9C\x88 9 2003", "MMMM d y"),
                  (Ymd{9, 11, 2003}));  // 十一月, not 一月
    }
}
#endif

TEST(ParseDate, TodayWithAnOffset) {
    USE_TIME_ZONE("Europe/Berlin");
    const char* picture = "d/M/yyyy";
    // Parsing near midnight may see either day; the answer must be one of them.
    const auto expectDay = [&](const char* text, int days) {
        const Ymd before = LocalDayPlus(days);
        const Ymd got = Parsed(text, picture);
        const Ymd after = LocalDayPlus(days);
        EXPECT_TRUE(got == before || got == after) << text << " gave " << got;
    };
    expectDay("%%today", 0);
    expectDay("%%TODAY", 0);
    expectDay("%%ToDay-1", -1);
    expectDay("%%today -7", -7);
    expectDay("%%today+1", 1);
    expectDay("%%today+400", 400);
    // Anything else after it is a slip, refused rather than read as today or as the number:
    // a sign apart from its digits, a sign without digits, trailing text.
    for (const char* lax : {"%%today - 7", "%%todayx", "%%today+1x", "%%todayGARBAGE",
                            "%%today+", "%%today-"})
        EXPECT_EQ(Parsed(lax, picture), (Ymd{-1, -1, -1})) << lax;
    EXPECT_EQ(Parsed("%%toda", picture), (Ymd{-1, -1, -1}));
    EXPECT_EQ(Parsed(" %%today", picture), (Ymd{-1, -1, -1}));
    // Offsets that leave the range of file times give no date.
    EXPECT_EQ(Parsed("%%today-99999999999", picture), (Ymd{-1, -1, -1}));
    EXPECT_EQ(Parsed("%%today+2147483647", picture), (Ymd{-1, -1, -1}));
    EXPECT_EQ(Parsed("%%today-1000000", picture), (Ymd{-1, -1, -1}));
    // Far but inside the range: a five-digit year.
    EXPECT_GT(Parsed("%%today+3000000", picture).year, 10000);
    // Today is taken as a date, not as a text in the picture: even a picture without all
    // three fields gives it.
    expectDay("%%today", 0);
    const Ymd today = LocalDayPlus(0);
    const Ymd viaShortPicture = Parsed("%%today", "yyyy d");
    EXPECT_TRUE(viaShortPicture == today || viaShortPicture == LocalDayPlus(1)) << viaShortPicture;
}

// Two-digit years in the picture (the C locale's "%m/%d/%y") once made "%%today+99999" a date
// of this century; offsets beyond the file times are year errors.
TEST_F(DateMessages, TodayKeepsItsCenturyAndRefusesBeyondTheRange) {
    ScopedLocale locale("C");
    for (const char* picture : {"MM/dd/yy", "d/M/y", static_cast<const char*>(nullptr)}) {
        const Ymd before = LocalDayPlus(99999);
        const Ymd got = Parsed("%%today+99999", picture);
        EXPECT_TRUE(got == before || got == LocalDayPlus(100000)) << got;
        EXPECT_GT(got.year, 2250);
        EXPECT_EQ(Refusal("%%today+99999", picture), 0);
        const Ymd back = Parsed("%%today-150000", picture);
        EXPECT_LT(back.year, 1700) << back;
        EXPECT_EQ(Refusal("%%today-150000", picture), 0);
        EXPECT_EQ(Refusal("%%today-200000", picture), IDS_INVALID_YEAR);  // before 1601
        EXPECT_EQ(Refusal("%%today+2147483647", picture), IDS_INVALID_YEAR);
        EXPECT_EQ(Refusal("%%today-99999999999", picture), IDS_INVALID_YEAR);
    }
    CDateValue value;
    ASSERT_EQ(value.CheckDate("%%today+36500", "MM/dd/yy"), 0);
    EXPECT_EQ(value.m_nYear, LocalDayPlus(36500).year);
}

TEST_F(DateMessages, NegativeYearsAreRefused) {
    const char* dmy = "d/M/y";
    // A negative number once went through the two-digit window: -5 became 1995.
    EXPECT_EQ(Refusal("1/1/-5", dmy), IDS_INVALID_YEAR);
    EXPECT_EQ(Refusal("1/1/-1", dmy), IDS_INVALID_YEAR);
    EXPECT_EQ(Refusal("1/1/-2003", dmy), IDS_INVALID_YEAR);
    EXPECT_EQ(Refusal("1/1/-99999999999", dmy), IDS_INVALID_YEAR);
    EXPECT_EQ(Refusal("1/1/99999999999", dmy), IDS_INVALID_YEAR);
    EXPECT_EQ(Refusal("1/1/5", dmy), 0);
    EXPECT_EQ(Refusal("1/1/0", dmy), 0);
}

TEST(DateValue, IsoDatesWhateverTheLocale) {
    for (const char* name : {"C", "de_DE.UTF-8", "en_US.UTF-8"}) {
        ScopedLocale locale(name);
        if (!locale.Ok()) continue;
        CDateValue value;
        ASSERT_EQ(value.CheckDate("2024-05-31"), 0) << name;
        EXPECT_EQ(value.m_nYear, 2024);
        EXPECT_EQ(value.m_nMonth, 5);
        EXPECT_EQ(value.m_nDay, 31);
        ASSERT_EQ(value.CheckDate("30827-1-2"), 0);
        EXPECT_EQ(value.m_nYear, 30827);
        EXPECT_EQ(value.m_nMonth, 1);
        EXPECT_EQ(value.m_nDay, 2);
        // Years a file time cannot hold, not even in part, are refused, not made "no limit".
        EXPECT_EQ(value.CheckDate("30828-1-2"), IDS_INVALID_YEAR);
        EXPECT_EQ(value.CheckDate("30848-1-2"), IDS_INVALID_YEAR);
        EXPECT_EQ(value.CheckDate("2024-02-30"), IDS_INVALID_DAY);
        EXPECT_EQ(value.CheckDate("2023-02-29"), IDS_INVALID_DAY);
        EXPECT_EQ(value.CheckDate("2024-13-01"), IDS_INVALID_MONTH);
        EXPECT_EQ(value.CheckDate("2024-00-01"), IDS_INVALID_MONTH);
        EXPECT_EQ(value.CheckDate("1600-12-31"), IDS_INVALID_YEAR);
        EXPECT_EQ(value.CheckDate("0024-05-31"), IDS_INVALID_YEAR);  // no two-digit window
        EXPECT_EQ(value.CheckDate("99999-01-01"), IDS_INVALID_YEAR);
        // Anything else is not taken as ISO, and the locale's reading then refuses it.
        for (const char* notIso : {"2024-05-31x", " 2024-05-31", "2024-05", "2024--31",
                                   "2024-005-31", "-2024-05-31", "2024/05/31", "2024-05-31 "}) {
            CDateValue other;
            EXPECT_EQ(other.ParseIsoDate(notIso), 0) << notIso;
            EXPECT_EQ(other.m_nYear, -1) << notIso;
        }
        EXPECT_NE(value.CheckDate("2024-05-3x"), 0);
        EXPECT_EQ(value.CheckDate("%%today+99999"), 0);
        EXPECT_GT(value.m_nYear, 2250);
    }
}

TEST_F(DateMessages, DayMonthYearChecks) {
    const char* dmy = "d/M/y";
    EXPECT_EQ(Refusal("29/2/2001", dmy), IDS_INVALID_DAY);
    EXPECT_EQ(Refusal("29/2/2000", dmy), 0);
    EXPECT_EQ(Refusal("29/2/1900", dmy), IDS_INVALID_DAY);
    EXPECT_EQ(Refusal("29/2/2004", dmy), 0);
    EXPECT_EQ(Refusal("30/2/2004", dmy), IDS_INVALID_DAY);
    EXPECT_EQ(Refusal("31/4/2003", dmy), IDS_INVALID_DAY);
    EXPECT_EQ(Refusal("31/11/2003", dmy), IDS_INVALID_DAY);
    EXPECT_EQ(Refusal("31/12/2003", dmy), 0);
    EXPECT_EQ(Refusal("0/4/2003", dmy), IDS_INVALID_DAY);
    EXPECT_EQ(Refusal("32/1/2003", dmy), IDS_INVALID_DAY);
    EXPECT_EQ(Refusal("1/13/2003", dmy), IDS_INVALID_MONTH);
    EXPECT_EQ(Refusal("1/0/2003", dmy), IDS_INVALID_MONTH);
    EXPECT_EQ(Refusal("1/1/1600", dmy), IDS_INVALID_YEAR);
    EXPECT_EQ(Refusal("1/1/1601", dmy), 0);
    EXPECT_EQ(Refusal("31/12/30827", dmy), 0);
    EXPECT_EQ(Refusal("1/1/30828", dmy), IDS_INVALID_YEAR);
    EXPECT_EQ(Refusal("31/12/30848", dmy), IDS_INVALID_YEAR);
    EXPECT_EQ(Refusal("1/1/30849", dmy), IDS_INVALID_YEAR);
    EXPECT_EQ(Refusal("1/1/-2147483648", dmy), IDS_INVALID_YEAR);
    EXPECT_EQ(Refusal("today", dmy), IDS_INVALID_DATE);
    EXPECT_EQ(Refusal("", dmy), IDS_INVALID_DATE);
    // The month is checked before the day, the day before the year.
    EXPECT_EQ(Refusal("40/13/1000", dmy), IDS_INVALID_MONTH);
    EXPECT_EQ(Refusal("40/12/1000", dmy), IDS_INVALID_DAY);
    // February 29th of a year out of range is a year error first.
    EXPECT_EQ(Refusal("29/2/1500", dmy), IDS_INVALID_YEAR);
}

TEST_F(DateMessages, TheUsersFormatAndTheYearWindow) {
#ifndef _WIN32
    {
        ScopedLocale locale("de_DE.UTF-8");
        ASSERT_TRUE(locale.Ok());
        EXPECT_EQ(Refusal("29.2.2001", nullptr), IDS_INVALID_DAY);
        EXPECT_EQ(Refusal("29.02.2000", nullptr), 0);
        EXPECT_EQ(Refusal("29/2/2000", nullptr), IDS_INVALID_DATE);
        CDateValue value;
        int refusal = 0;
        EXPECT_EQ(value.ValidateDate(std::string("1.13.2003"), &refusal), 0);
        EXPECT_EQ(refusal, IDS_INVALID_MONTH);
    }
    {
        ScopedLocale locale("en_US.UTF-8");
        ASSERT_TRUE(locale.Ok());
        EXPECT_EQ(Refusal("2/29/2001", nullptr), IDS_INVALID_DAY);
        EXPECT_EQ(Refusal("4/30/2003", nullptr), 0);
    }
#else
    // The user's locale of the session decides; en-US writes "M/d/yyyy".
    if (UserLocaleIsEnUs()) {
        EXPECT_EQ(Refusal("2/29/2001", nullptr), IDS_INVALID_DAY);
        EXPECT_EQ(Refusal("4/30/2003", nullptr), 0);
        EXPECT_EQ(Refusal("30/4/2003", nullptr), IDS_INVALID_MONTH);
    }
#endif

    EXPECT_EQ(ExpandTwoDigitYear(55, 2003), 1955);
    EXPECT_EQ(ExpandTwoDigitYear(54, 2003), 2054);
    EXPECT_EQ(ExpandTwoDigitYear(3, 2003), 2003);
    EXPECT_EQ(ExpandTwoDigitYear(0, 2099), 2100);
    EXPECT_EQ(ExpandTwoDigitYear(99, 2000), 1999);
    EXPECT_EQ(ExpandTwoDigitYear(100, 2003), 100);
    EXPECT_EQ(ExpandTwoDigitYear(1955, 2003), 1955);
    EXPECT_EQ(ExpandTwoDigitYear(-5, 2003), 1995);
    EXPECT_EQ(ExpandTwoDigitYear(INT_MIN, 2003), INT_MIN + 2100);  // no overflow on the way

    // Against the real clock: ten years on and forty years back stay in the window.
    const int now = platform::GetSystemTime().wYear;
    for (const int expected : {now + 10, now - 40}) {
        const std::string text = "1/1/" + std::to_string(expected % 100);
        CDateValue value;
        ASSERT_EQ(value.ValidateDate(text.c_str(), "d/M/y"), 1) << text;
        EXPECT_EQ(value.m_nYear, expected) << text;
    }
}

TEST(DateValue, ToFileTime) {
    USE_TIME_ZONE("Asia/Tokyo");  // UTC+9, no summer time
    CDateValue value;
    value.m_nDay = 9;
    value.m_nMonth = 4;
    value.m_nYear = 2003;
    FileTime midnight = 0;
    ASSERT_TRUE(platform::SystemTimeToFileTime(Date(2003, 4, 9), &midnight));
    const FileTime hour = 3600 * platform::kFileTimeTicksPerSecond;
    EXPECT_EQ(value.ToFileTime(0), midnight);
    EXPECT_EQ(value.ToFileTime(1), midnight - 9 * hour);
    value.m_nHour = 13;
    value.m_nMinute = 1;
    value.m_nSecond = 2;
    EXPECT_EQ(value.ToFileTime(0), midnight + 13 * hour + 62 * platform::kFileTimeTicksPerSecond);
    value.m_bEndOfDay = 1;
    EXPECT_EQ(value.ToFileTime(0), midnight + 24 * hour - platform::kFileTimeTicksPerSecond);
    // Fields that make no time give no limit rather than a wrong one.
    value.m_nDay = 31;
    EXPECT_EQ(value.ToFileTime(1), 0);
    value.m_nDay = -1;
    EXPECT_EQ(value.ToFileTime(1), 0);
    value.m_nDay = 9;
    value.m_nYear = 30848;  // beyond what a file time holds
    EXPECT_EQ(value.ToFileTime(1), 0);
    FileTime untouched = 42;
    EXPECT_FALSE(value.ToFileTime(1, &untouched));
    EXPECT_EQ(untouched, 42);
    value.m_nYear = 70000;
    EXPECT_EQ(value.ToFileTime(0), 0);
}

// Every date the checks accept has its own file time in the zones furthest from UTC, as the
// start or as the end of its day, and a later date always a later time: none becomes
// "no limit". The first year after the range is refused.
TEST(DateValue, EdgeYearsAreHeldExactly) {
    const FileTime hour = 3600 * platform::kFileTimeTicksPerSecond;
    const FileTime day = 24 * hour;
    for (const char* zone : {"Etc/GMT-14", "Etc/GMT+12", "UTC"}) {
        USE_TIME_ZONE(zone);
        const FileTime offset = std::string(zone) == "Etc/GMT-14"   ? 14 * hour
                                : std::string(zone) == "Etc/GMT+12" ? -12 * hour
                                                                    : 0;
        for (const char* text : {"30827-12-31", "30827-12-30", "30827-01-01", "30000-06-15",
                                 "1601-01-02", "1601-01-01"}) {
            CDateValue date;
            ASSERT_EQ(date.CheckDate(text), 0) << text << " " << zone;
            FileTime local = 0;
            ASSERT_TRUE(date.ToFileTime(0, &local)) << text;
            for (const int endOfDay : {0, 1}) {
                date.m_bEndOfDay = endOfDay;
                FileTime utc = 0;
                ASSERT_TRUE(date.ToFileTime(1, &utc)) << text << " " << zone;
                const FileTime expected =
                    local - offset + (endOfDay ? day - platform::kFileTimeTicksPerSecond : 0);
                EXPECT_EQ(utc, expected) << text << " " << zone;
            }
        }
        CDateValue last, before;
        ASSERT_EQ(last.CheckDate("30827-12-31"), 0);
        ASSERT_EQ(before.CheckDate("30827-12-30"), 0);
        EXPECT_EQ(last.ToFileTime(1) - before.ToFileTime(1), day) << zone;
        for (const char* beyond : {"30828-01-01", "30828-09-14", "30840-01-01", "30848-12-31"}) {
            CDateValue date;
            EXPECT_EQ(date.CheckDate(beyond), IDS_INVALID_YEAR) << beyond;
        }
    }
}

TEST(DateValue, ShortDateTextGoesThereAndBack) {
    USE_TIME_ZONE("Asia/Tokyo");
    FileTime utcEvening = 0;
    ASSERT_TRUE(platform::SystemTimeToFileTime(Date(2003, 4, 9), &utcEvening));
    utcEvening += 20 * 3600 * platform::kFileTimeTicksPerSecond;  // 10 April in Tokyo
    std::string out = "old";
    {
        ScopedLocale locale("C");
        // The locale's "MM/dd/yy" with the century written out.
        EXPECT_EQ(FormatShortDate(out, utcEvening), 11);
        EXPECT_EQ(out, "04/10/2003");
        std::string picture;
        GetDefaultShortDateFormat(picture);
        EXPECT_EQ(picture, "MM/dd/yyyy");
        // Texts that are no date: nothing, and 0.
        EXPECT_EQ(FormatShortDate(out, -5), 0);
        EXPECT_EQ(out, "");
        EXPECT_EQ(FormatShortDate(out, LLONG_MAX), 0);
    }
    for (const char* name : {"C", "de_DE.UTF-8", "zh_CN.UTF-8", "en_US.UTF-8"}) {
        ScopedLocale locale(name);
        ASSERT_TRUE(locale.Ok()) << name;
        // Today, and a day a few years back (two-digit years must stay in the window).
        for (const FileTime ft : {FileTime(0), utcEvening}) {
            const int written = FormatShortDate(out, ft);
            ASSERT_GT(written, 1) << name;
            EXPECT_EQ(static_cast<std::size_t>(written), out.size() + 1);
            CDateValue value;
            ASSERT_EQ(value.ValidateDate(out), 1) << name << ": " << out;
            SystemTime expected = ft == 0 ? platform::GetLocalTime() : Date(2003, 4, 10);
            if (ft == 0 && value.m_nDay != expected.wDay) continue;  // midnight passed
            EXPECT_EQ(value.m_nDay, expected.wDay) << name << ": " << out;
            EXPECT_EQ(value.m_nMonth, expected.wMonth) << name << ": " << out;
            EXPECT_EQ(value.m_nYear, expected.wYear) << name << ": " << out;
        }
    }
}

#ifndef _WIN32
// A date field reads the locale's form as shown beside it, ISO 8601 and the Chinese form in
// every locale, and a refusal names the three forms.
TEST(DateValue, ThreeFormsInThreeLocales) {
    struct Case {
        const char* locale;
        const char* shown;     // 31 January 2024 as the page shows it
        const char* twoDigit;  // the locale's own form with a two-digit year, or null
    };
    const Case cases[] = {
        {"C", "01/31/2024", "01/31/24"},
        {"de_DE.UTF-8", "31.01.2024", "31.1.24"},
        {"zh_CN.UTF-8", "2024\xE5\xB9\xB4" "01\xE6\x9C\x88" "31\xE6\x97\xA5", nullptr},
    };
    const std::string chinese = "2024\xE5\xB9\xB4" "1\xE6\x9C\x88" "31\xE6\x97\xA5";
    for (const Case& c : cases) {
        ScopedLocale locale(c.locale);
        ASSERT_TRUE(locale.Ok()) << c.locale;
        std::string shown;
        ASSERT_TRUE(platform::FormatDate(Date(2024, 1, 31), platform::GetDisplayDatePicture(),
                                         &shown));
        EXPECT_EQ(shown, c.shown) << c.locale;
        std::vector<std::string> good = {shown, "2024-01-31", " 2024-1-31 ", chinese,
                                         "2024\xE5\xB9\xB4" "01\xE6\x9C\x88" "31\xE6\x97\xA5"};
        if (c.twoDigit != nullptr) good.push_back(c.twoDigit);
        for (const std::string& text : good) {
            CDateValue value;
            ASSERT_EQ(value.CheckDate(text.c_str()), 0) << c.locale << ": " << text;
            EXPECT_EQ(DayOf(Date(value.m_nYear, value.m_nMonth, value.m_nDay)),
                      (Ymd{31, 1, 2024}))
                << c.locale << ": " << text;
        }
        CDateValue value;
        // Out of range in the year-first forms: the refusal of the field, not "no date".
        EXPECT_EQ(value.CheckDate("2024-02-30"), IDS_INVALID_DAY) << c.locale;
        EXPECT_EQ(value.CheckDate("2024\xE5\xB9\xB4" "13\xE6\x9C\x88" "1\xE6\x97\xA5"),
                  IDS_INVALID_MONTH)
            << c.locale;
        EXPECT_EQ(value.CheckDate("1600-12-31"), IDS_INVALID_YEAR) << c.locale;
        // Nothing may follow a year-first form, and its year has four or five digits.
        for (const char* bad : {"2024-01-31x", "2024-01-31 5", "2024\xE5\xB9\xB4" "1\xE6\x9C\x88",
                                "2024--31", "junk", ""})
            EXPECT_NE(value.CheckDate(bad), 0) << c.locale << ": " << bad;
        // (zh_CN's own short date is this form, read as the locale's, which ignores what
        // follows it.)
        if (c.twoDigit != nullptr) {
            EXPECT_NE(value.CheckDate((chinese + "x").c_str()), 0) << c.locale;
        }
        EXPECT_EQ(DateRefusalText(IDS_INVALID_DATE),
                  "\xE4\xB8\x8D\xE6\xAD\xA3\xE7\xA1\xAE\xE6\x97\xA5\xE6\x9C\x9F\n" +
                      FormatDateForms(c.shown, "2024-01-31", chinese))
            << c.locale;
        EXPECT_EQ(DateRefusalText(IDS_INVALID_MONTH, ": "),
                  std::string(LoadStringText(IDS_INVALID_MONTH)) + ": " +
                      FormatDateForms(c.shown, "2024-01-31", chinese));
        // Other refusals stand alone.
        EXPECT_EQ(DateRefusalText(IDS_DATE_ORDER), LoadStringText(IDS_DATE_ORDER));
    }
}
#endif

// Random dates written with random pictures are read back as they were.
TEST(ParseDate, PicturesGoThereAndBack) {
    const char* const kDay[] = {"d", "dd"};
    const char* const kMonth[] = {"M", "MM", "MMM", "MMMM"};
    const char* const kYear[] = {"yyyy", "yyy"};
    const char* const kWeekday[] = {"", "ddd ", "dddd, ", "'on' dddd '' "};
    // "年": text is UTF-8 on every system, a Chinese Windows included.
    const char* const year = "\xE5\xB9\xB4";
    const char* const kSeparator[] = {"/", ".", " ", "-", " 'de' ", "'d''M'", year};
    std::mt19937 random(20030409);
    const auto pick = [&](const auto& options) {
        return options[random() % (sizeof options / sizeof options[0])];
    };
#ifdef _WIN32
    // Windows takes the names from the user's locale, which a process cannot switch.
    const char* const kLocales[] = {""};
#else
    const char* const kLocales[] = {"C", "de_DE.UTF-8", "zh_CN.UTF-8"};
#endif
    for (const char* name : kLocales) {
        ScopedLocale locale(name);
        ASSERT_TRUE(locale.Ok()) << name;
        for (int i = 0; i < 300; ++i) {
            std::string fields[3] = {pick(kDay), pick(kMonth), pick(kYear)};
            std::shuffle(std::begin(fields), std::end(fields), random);
            const std::string picture = std::string(pick(kWeekday)) + fields[0] +
                                        pick(kSeparator) + fields[1] + pick(kSeparator) +
                                        fields[2];
            FileTime ft = static_cast<FileTime>(random() % 3000000) *
                          platform::kFileTimeTicksPerDay;
            SystemTime st;
            ASSERT_TRUE(platform::FileTimeToSystemTime(ft, &st));
            std::string text;
            ASSERT_TRUE(platform::FormatDate(st, picture, &text));
            EXPECT_EQ(Parsed(text.c_str(), picture.c_str()), DayOf(st))
                << name << ": " << picture << " -> " << text;
        }
    }
}

// Any bytes as text and as picture: the parse ends, reads only what it was given, and the
// check gives one of its answers.
TEST(ParseDate, RandomTextsAndPictures) {
    // German names on POSIX; the user's own on Windows, where a process cannot switch them.
    ScopedLocale locale(kWindows ? "" : "de_DE.UTF-8");
    ASSERT_TRUE(locale.Ok());
    const std::string alphabet = "dMy'/. -+%0123456789todayTODAYMaiMärzMoSo\t";
    std::mt19937 random(1601);
    const auto randomText = [&](std::size_t maxLength) {
        std::string s(random() % (maxLength + 1), '\0');
        for (char& c : s)
            c = (random() % 4 == 0) ? static_cast<char>(random() % 256)
                                    : alphabet[random() % alphabet.size()];
        if (random() % 8 == 0) s.insert(0, random() % 2 ? "%%today" : "%%TODAY-");
        return s;
    };
    // Exact-size heap copies, so that reading past the end is caught by the sanitizer build.
    const auto heapCopy = [](const std::string& s) {
        auto copy = std::make_unique<char[]>(s.size() + 1);
        std::memcpy(copy.get(), s.c_str(), s.size() + 1);
        return copy;
    };
    int accepted = 0;
    for (int i = 0; i < 100000; ++i) {
        const std::string text = randomText(i % 100 == 0 ? 300 : 24);
        const std::string picture = randomText(i % 100 == 1 ? 300 : 16);
        const auto textCopy = heapCopy(text);
        const auto pictureCopy = heapCopy(picture);
        CDateValue value;
        const int parsed = value.ParseDate(textCopy.get(), pictureCopy.get());
        ASSERT_TRUE(parsed == 0 || parsed == 1);
        CDateValue whole;
        const int wholeParsed = whole.ParseDate(text, picture);  // embedded zeros included
        ASSERT_TRUE(wholeParsed == 0 || wholeParsed == 1);
        if (text.find('\0') == std::string::npos && picture.find('\0') == std::string::npos) {
            ASSERT_EQ(parsed, wholeParsed) << text << " with " << picture;
        }

        CDateValue checked;
        const bool ownPicture = i % 3 != 0;
        const int refusal =
            checked.CheckDate(textCopy.get(), ownPicture ? pictureCopy.get() : nullptr);
        ASSERT_TRUE(refusal == 0 || refusal == IDS_INVALID_MONTH || refusal == IDS_INVALID_DAY ||
                    refusal == IDS_INVALID_YEAR || refusal == IDS_INVALID_DATE)
            << refusal;
        if (refusal == 0) {
            ++accepted;
            if (ownPicture) {
                ASSERT_EQ(parsed, 1) << text << " with " << picture;
            }
            // Every accepted date a file time can hold gives one (only the first day of 1601
            // starts at 0).
            if (checked.m_nYear <= 30827 && checked.m_nYear > 1601) {
                EXPECT_NE(checked.ToFileTime(0), 0) << text;
            }
        }
    }
    // The alphabet is rich enough that some random texts are dates.
    EXPECT_GT(accepted, 100);
}

}  // namespace
