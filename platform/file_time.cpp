#include "platform/file_time.h"

namespace platform {

namespace {

// Days from 1601-01-01 for a proleptic Gregorian date (days_from_civil, shifted).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const std::int64_t days1970 = era * 146097 + static_cast<std::int64_t>(doe) - 719468;
    return days1970 + 134774;  // 1601-01-01 .. 1970-01-01
}

void CivilFromDays(std::int64_t days1601, std::int64_t* y, unsigned* m, unsigned* d) {
    std::int64_t z = days1601 - 134774 + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    *d = doy - (153 * mp + 2) / 5 + 1;
    *m = mp < 10 ? mp + 3 : mp - 9;
    *y = static_cast<std::int64_t>(yoe) + era * 400 + (*m <= 2);
}

unsigned DaysInMonth(unsigned y, unsigned m) {
    static const unsigned kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && IsLeapYear(static_cast<int>(y)) ? 29 : kDays[m - 1];
}

}  // namespace

bool FileTimeToSystemTime(FileTime ft, SystemTime* out) {
    if (ft < 0 || out == nullptr) return false;
    const std::int64_t days = ft / kFileTimeTicksPerDay;
    std::int64_t rest = ft % kFileTimeTicksPerDay;
    std::int64_t y;
    unsigned m, d;
    CivilFromDays(days, &y, &m, &d);
    if (y > 30827) return false;
    SystemTime st;
    st.wYear = static_cast<std::uint16_t>(y);
    st.wMonth = static_cast<std::uint16_t>(m);
    st.wDay = static_cast<std::uint16_t>(d);
    st.wDayOfWeek = static_cast<std::uint16_t>((days + 1) % 7);  // 1601-01-01 was a Monday
    st.wHour = static_cast<std::uint16_t>(rest / (3600 * kFileTimeTicksPerSecond));
    rest %= 3600 * kFileTimeTicksPerSecond;
    st.wMinute = static_cast<std::uint16_t>(rest / (60 * kFileTimeTicksPerSecond));
    rest %= 60 * kFileTimeTicksPerSecond;
    st.wSecond = static_cast<std::uint16_t>(rest / kFileTimeTicksPerSecond);
    rest %= kFileTimeTicksPerSecond;
    st.wMilliseconds = static_cast<std::uint16_t>(rest / 10000);
    *out = st;
    return true;
}

bool SystemTimeToFileTime(const SystemTime& st, FileTime* out) {
    if (out == nullptr) return false;
    if (st.wYear < 1601 || st.wYear > 30827 || st.wMonth < 1 || st.wMonth > 12 || st.wDay < 1 ||
        st.wDay > DaysInMonth(st.wYear, st.wMonth) || st.wHour > 23 || st.wMinute > 59 ||
        st.wSecond > 59 || st.wMilliseconds > 999)
        return false;
    const std::int64_t days = DaysFromCivil(st.wYear, st.wMonth, st.wDay);
    *out = days * kFileTimeTicksPerDay +
           (st.wHour * 3600LL + st.wMinute * 60LL + st.wSecond) * kFileTimeTicksPerSecond +
           st.wMilliseconds * 10000LL;
    return true;
}

}  // namespace platform
