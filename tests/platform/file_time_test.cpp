#include "platform/file_time.h"

#include <gtest/gtest.h>

#include "support/scoped_env.h"

namespace {

using platform::FileTime;
using platform::SystemTime;

SystemTime Date(int y, int m, int d, int hh = 0, int mm = 0, int ss = 0) {
    SystemTime st;
    st.wYear = static_cast<std::uint16_t>(y);
    st.wMonth = static_cast<std::uint16_t>(m);
    st.wDay = static_cast<std::uint16_t>(d);
    st.wHour = static_cast<std::uint16_t>(hh);
    st.wMinute = static_cast<std::uint16_t>(mm);
    st.wSecond = static_cast<std::uint16_t>(ss);
    return st;
}

TEST(FileTime, SplitAndJoin) {
    FileTime ft = -5;
    ASSERT_TRUE(platform::SystemTimeToFileTime(Date(1601, 1, 1), &ft));
    EXPECT_EQ(ft, 0);
    ASSERT_TRUE(platform::SystemTimeToFileTime(Date(1970, 1, 1), &ft));
    EXPECT_EQ(ft, platform::kUnixEpochAsFileTime);
    ASSERT_TRUE(platform::SystemTimeToFileTime(Date(2000, 2, 29, 23, 59, 59), &ft));

    SystemTime st;
    ASSERT_TRUE(platform::FileTimeToSystemTime(ft, &st));
    EXPECT_EQ(st.wYear, 2000);
    EXPECT_EQ(st.wMonth, 2);
    EXPECT_EQ(st.wDay, 29);
    EXPECT_EQ(st.wHour, 23);
    EXPECT_EQ(st.wMinute, 59);
    EXPECT_EQ(st.wSecond, 59);
    EXPECT_EQ(st.wDayOfWeek, 2);  // a Tuesday

    ASSERT_TRUE(platform::FileTimeToSystemTime(0, &st));
    EXPECT_EQ(st.wDayOfWeek, 1);  // 1601-01-01 was a Monday

    // Dates that are not real, and values beyond the range, fail and touch nothing.
    EXPECT_FALSE(platform::SystemTimeToFileTime(Date(1900, 2, 29), &ft));
    EXPECT_FALSE(platform::SystemTimeToFileTime(Date(2003, 4, 31), &ft));
    EXPECT_FALSE(platform::SystemTimeToFileTime(Date(1600, 12, 31), &ft));
    EXPECT_FALSE(platform::SystemTimeToFileTime(Date(2003, 13, 1), &ft));
    EXPECT_FALSE(platform::SystemTimeToFileTime(Date(2003, 1, 1, 24), &ft));
    st.wYear = 1234;
    EXPECT_FALSE(platform::FileTimeToSystemTime(-1, &st));
    EXPECT_EQ(st.wYear, 1234);

    // Every day of several years goes there and back.
    for (FileTime day = 146000; day < 150000; ++day) {
        const FileTime t = day * platform::kFileTimeTicksPerDay + 12345678;
        ASSERT_TRUE(platform::FileTimeToSystemTime(t, &st));
        FileTime back = 0;
        ASSERT_TRUE(platform::SystemTimeToFileTime(st, &back));
        EXPECT_EQ(back, t - t % 10000);  // milliseconds are the finest unit of a split
    }
}

TEST(FileTime, LeapYears) {
    EXPECT_TRUE(platform::IsLeapYear(1600));
    EXPECT_TRUE(platform::IsLeapYear(2000));
    EXPECT_TRUE(platform::IsLeapYear(2024));
    EXPECT_FALSE(platform::IsLeapYear(1900));
    EXPECT_FALSE(platform::IsLeapYear(2100));
    EXPECT_FALSE(platform::IsLeapYear(2023));
    // The rule agrees with the calendar split (day arithmetic of its own): the day after
    // 28 February is the 29th exactly in leap years.
    for (int year = 1601; year <= 2500; ++year) {
        FileTime ft = 0;
        ASSERT_TRUE(platform::SystemTimeToFileTime(Date(year, 2, 28), &ft));
        SystemTime next;
        ASSERT_TRUE(platform::FileTimeToSystemTime(ft + platform::kFileTimeTicksPerDay, &next));
        EXPECT_EQ(next.wMonth == 2 && next.wDay == 29, platform::IsLeapYear(year)) << year;
    }
}

TEST(FileTime, LocalTimeFollowsTheZoneAtThatInstant) {
    USE_TIME_ZONE("Europe/Berlin");
    FileTime winter = 0, summer = 0, local = 0, back = 0;
    ASSERT_TRUE(platform::SystemTimeToFileTime(Date(2020, 1, 15, 12), &winter));
    ASSERT_TRUE(platform::SystemTimeToFileTime(Date(2020, 7, 15, 12), &summer));
    ASSERT_TRUE(platform::FileTimeToLocalFileTime(winter, &local));
    EXPECT_EQ(local - winter, 3600 * platform::kFileTimeTicksPerSecond);
    ASSERT_TRUE(platform::LocalFileTimeToFileTime(local, &back));
    EXPECT_EQ(back, winter);
    ASSERT_TRUE(platform::FileTimeToLocalFileTime(summer, &local));
    EXPECT_EQ(local - summer, 2 * 3600 * platform::kFileTimeTicksPerSecond);
    ASSERT_TRUE(platform::LocalFileTimeToFileTime(local, &back));
    EXPECT_EQ(back, summer);
}

TEST(FileTime, ShiftsThatLeaveTheRangeFail) {
    FileTime out = 77;
    {
        USE_TIME_ZONE("Asia/Tokyo");  // east of UTC: local is later
        EXPECT_FALSE(platform::FileTimeToLocalFileTime(INT64_MAX - 5, &out));
    }
    {
        USE_TIME_ZONE("America/New_York");  // west of UTC: UTC is later
        EXPECT_FALSE(platform::LocalFileTimeToFileTime(INT64_MAX - 5, &out));
    }
    EXPECT_EQ(out, 77);
}

}  // namespace
