// File times: a 64-bit count of 100 ns intervals since 1601-01-01, as the file system keeps them
// (UTC) or as shown to the user (local), and the calendar split of such a value.
#pragma once

#include <cstdint>

namespace platform {

// 100 ns units since 1601-01-01 00:00. Values with the top bit set are invalid.
using FileTime = std::int64_t;

constexpr FileTime kFileTimeTicksPerSecond = 10000000;
constexpr FileTime kFileTimeTicksPerDay = 864000000000LL;
// 1970-01-01 00:00 UTC as a FileTime.
constexpr FileTime kUnixEpochAsFileTime = 116444736000000000LL;

struct SystemTime {
    std::uint16_t wYear = 0;
    std::uint16_t wMonth = 0;      // 1..12
    std::uint16_t wDayOfWeek = 0;  // 0 = Sunday
    std::uint16_t wDay = 0;        // 1..31
    std::uint16_t wHour = 0;
    std::uint16_t wMinute = 0;
    std::uint16_t wSecond = 0;
    std::uint16_t wMilliseconds = 0;
};

// Calendar split. Fails (returns false, *out untouched) for negative values and past year 30827.
bool FileTimeToSystemTime(FileTime ft, SystemTime* out);
// Calendar join. Fails for fields out of range (year 1601..30827, real day of month);
// wDayOfWeek is ignored.
bool SystemTimeToFileTime(const SystemTime& st, FileTime* out);

// UTC <-> local time: shifted by the local offset in force at that instant.
bool FileTimeToLocalFileTime(FileTime utc, FileTime* local);
bool LocalFileTimeToFileTime(FileTime local, FileTime* utc);

// Now, as a calendar split, in local time and in UTC.
SystemTime GetLocalTime();
SystemTime GetSystemTime();

// The Gregorian rule: every fourth year, but not a century unless it divides by 400.
constexpr bool IsLeapYear(int year) {
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

// Seconds since 1970 (UTC) and nanoseconds to a FileTime.
constexpr FileTime FileTimeFromUnix(std::int64_t seconds, std::int64_t nanoseconds) {
    return kUnixEpochAsFileTime + seconds * kFileTimeTicksPerSecond + nanoseconds / 100;
}

}  // namespace platform
