#include "engine/search/date_value.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "engine/text/decimal_text.h"
#include "engine/text/string_table.h"
#include "engine/text/text_format.h"
#include "engine/text/validation_message.h"
#include "platform/locale_text.h"

namespace {

// The system's date texts are made in buffers of this many bytes; longer texts are cut.
constexpr std::size_t kDateBufferSize = 80;

unsigned char UpperAscii(unsigned char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<unsigned char>(c - 'a' + 'A') : c;
}

// Whether [text, end) starts with `name`, ignoring ASCII letter case.
bool StartsWithIgnoringCase(const char* text, const char* end, const std::string& name) {
    if (static_cast<std::size_t>(end - text) < name.size()) return false;
    for (std::size_t i = 0; i < name.size(); ++i)
        if (UpperAscii(static_cast<unsigned char>(text[i])) !=
            UpperAscii(static_cast<unsigned char>(name[i])))
            return false;
    return true;
}

platform::SystemTime DateOf(int year, int month, int day) {
    platform::SystemTime st;
    st.wYear = static_cast<std::uint16_t>(year);
    st.wMonth = static_cast<std::uint16_t>(month);
    st.wDay = static_cast<std::uint16_t>(day);
    return st;
}

// Month names: the dates 1 January .. 1 December 1996 written with `picture`.
const char* MatchMonthIn(const char* text, const char* end, const std::string& picture,
                         int* month) {
    for (int i = 1; i <= 12; ++i) {
        std::string name;
        platform::FormatDateInBuffer(DateOf(1996, i, 1), picture, &name, kDateBufferSize);
        if (StartsWithIgnoringCase(text, end, name)) {
            *month = i;
            return text + name.size();
        }
    }
    return nullptr;
}

// Weekday names: 1 .. 7 January 1996, a Monday to a Sunday.
const char* MatchDayIn(const char* text, const char* end, const std::string& picture,
                       int* weekday) {
    for (int i = 1; i <= 7; ++i) {
        std::string name;
        platform::FormatDateInBuffer(DateOf(1996, 1, i), picture, &name, kDateBufferSize);
        if (StartsWithIgnoringCase(text, end, name)) {
            *weekday = i % 7;
            return text + name.size();
        }
    }
    return nullptr;
}

// Today's local date moved by `days`; false when that leaves the range of file times.
bool TodayPlusDays(int days, platform::SystemTime* date) {
    platform::SystemTime today = platform::GetLocalTime();
    if (days == 0) {
        *date = today;
        return true;
    }
    platform::FileTime ft = 0;
    if (!platform::SystemTimeToFileTime(today, &ft)) return false;
    const std::int64_t perDay = platform::kFileTimeTicksPerDay;
    if (days > 0 && days > (std::numeric_limits<std::int64_t>::max() - ft) / perDay) return false;
    if (days < 0 && -static_cast<std::int64_t>(days) > ft / perDay) return false;
    return platform::FileTimeToSystemTime(ft + days * perDay, date);
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

}  // namespace

int CDateValue::ParseDate(const char* text, const char* format) {
    if (text == nullptr) return 0;
    bool outOfRange = false;
    return ParseRange(text, text + std::strlen(text), format != nullptr ? format : "",
                      &outOfRange);
}

int CDateValue::ParseDate(const std::string& text, const std::string& format) {
    bool outOfRange = false;
    return ParseRange(text.data(), text.data() + text.size(), format, &outOfRange);
}

int CDateValue::ParseRange(const char* text, const char* end, const std::string& format,
                           bool* outOfRange) {
    // "%%today[+-n]": today's date moved by n days, taken as it is. Writing it out and reading
    // it back would lose the century wherever the picture has a two-digit year.
    if (StartsWithIgnoringCase(text, end, "%%today")) {
        // Blanks, one sign and digits may follow, and nothing else: "%%today+1x" is a slip,
        // not tomorrow.
        const char* q = text + 7;
        while (q < end && *q == ' ') ++q;
        if (q < end) {
            if (*q == '+' || *q == '-') ++q;
            const char* digits = q;
            while (q < end && *q >= '0' && *q <= '9') ++q;
            if (q == digits) return 0;
            while (q < end && *q == ' ') ++q;
            if (q != end) return 0;
        }
        int days = 0;
        ReadSignedDecimalInt(text + 7, end, &days);
        platform::SystemTime date;
        if (!TodayPlusDays(days, &date)) {
            *outOfRange = true;
            return 0;
        }
        m_nDay = date.wDay;
        m_nMonth = date.wMonth;
        m_nYear = date.wYear;
        return 1;
    }

    std::string picture = format;
    if (picture.empty()) GetDefaultShortDateFormat(picture);

    const char* p = text;
    std::size_t f = 0;
    const std::size_t n = picture.size();
    bool quoted = false;
    int fields = 0;
    while (p < end && f < n) {
        const char c = picture[f];
        if (c == '\'') {
            // Inside quotes '' is one quote character, as the picture formatter writes it.
            if (quoted && f + 1 < n && picture[f + 1] == '\'') {
                if (*p != '\'') return 0;
                ++p;
                f += 2;
                continue;
            }
            quoted = !quoted;
            ++f;
            continue;
        }
        if (quoted || (c != 'd' && c != 'M' && c != 'y')) {
            // Literal text, quoted letters included, must stand in the text as it is.
            if (*p != c) return 0;
            ++p;
            ++f;
            continue;
        }
        std::size_t run = 1;
        while (run < 4 && f + run < n && picture[f + run] == c) ++run;
        f += run;
        if (c == 'd') {
            if (run <= 2) {
                p = ReadSignedDecimalInt(p, end, &m_nDay);
                ++fields;
            } else {
                int weekday = 0;
                p = MatchDayIn(p, end, run == 3 ? "ddd" : "dddd", &weekday);
                if (p == nullptr) return 0;
            }
        } else if (c == 'M') {
            if (run <= 2) {
                p = ReadSignedDecimalInt(p, end, &m_nMonth);
            } else {
                int month = 0;
                p = MatchMonthIn(p, end, run == 3 ? "MMM" : "MMMM", &month);
                if (p == nullptr) return 0;
                m_nMonth = month;
            }
            ++fields;
        } else {
            p = ReadSignedDecimalInt(p, end, &m_nYear);
            ++fields;
        }
    }
    return fields == 3 ? 1 : 0;
}

int CDateValue::CheckDate(const char* text, const char* format) {
    if (text != nullptr) {
        // The two year-first forms, read whatever the locale: their years are never in the
        // two-digit window.
        std::string trimmed = text;
        const std::size_t first = trimmed.find_first_not_of(' ');
        trimmed = first == std::string::npos
                      ? std::string()
                      : trimmed.substr(first, trimmed.find_last_not_of(' ') + 1 - first);
        if (ParseIsoDate(trimmed) || ParseChineseDate(trimmed)) return CheckFields(false);
    }
    bool outOfRange = false;
    const char* end = text != nullptr ? text + std::strlen(text) : nullptr;
    if (text == nullptr || !ParseRange(text, end, format != nullptr ? format : "", &outOfRange))
        return outOfRange ? IDS_INVALID_YEAR : IDS_INVALID_DATE;
    return CheckFields(true);
}

int CDateValue::ParseYearFirst(const std::string& text, const std::string& picture) {
    // Fields are read as digits only (no sign, no blanks); the year takes four or five, the
    // month and the day one or two; every other character of the picture stands as it is.
    std::size_t at = 0, f = 0;
    int values[3] = {-1, -1, -1};  // year, month, day
    while (f < picture.size()) {
        const char c = picture[f];
        if (c != 'y' && c != 'M' && c != 'd') {
            if (at >= text.size() || text[at] != c) return 0;
            ++at;
            ++f;
            continue;
        }
        while (f < picture.size() && picture[f] == c) ++f;
        std::size_t digits = 0;
        int value = 0;
        while (at + digits < text.size() && text[at + digits] >= '0' && text[at + digits] <= '9') {
            value = value * 10 + (text[at + digits] - '0');
            if (++digits > 5) return 0;
        }
        const bool year = c == 'y';
        if (digits < (year ? 4u : 1u) || digits > (year ? 5u : 2u)) return 0;
        values[year ? 0 : c == 'M' ? 1 : 2] = value;
        at += digits;
    }
    if (at != text.size() || values[0] < 0 || values[1] < 0 || values[2] < 0) return 0;
    m_nYear = values[0];
    m_nMonth = values[1];
    m_nDay = values[2];
    return 1;
}

int CDateValue::ParseIsoDate(const std::string& text) { return ParseYearFirst(text, "yyyy-M-d"); }

int CDateValue::ParseChineseDate(const std::string& text) {
    return ParseYearFirst(text, LoadStringText(IDS_DATE_PICTURE_CHINESE));
}

int CDateValue::CheckFields(bool twoDigitYears) {
    if (m_nMonth < 1 || m_nMonth > 12) return IDS_INVALID_MONTH;
    if (m_nDay < 1 || m_nDay > 31) return IDS_INVALID_DAY;
    if (m_nDay == 31 &&
        (m_nMonth == 2 || m_nMonth == 4 || m_nMonth == 6 || m_nMonth == 9 || m_nMonth == 11))
        return IDS_INVALID_DAY;
    // A negative year is no two-digit year to place in the century window.
    if (m_nYear < 0) return IDS_INVALID_YEAR;
    if (twoDigitYears && m_nYear < 100) m_nYear = ExpandTwoDigitYear(m_nYear, platform::GetSystemTime().wYear);
    // The last whole year a file time holds: a signed 64-bit count of 100 ns runs out on
    // 30828-09-14, so any later year would have no file time to become.
    if (m_nYear < kFirstYear || m_nYear > kLastYear) return IDS_INVALID_YEAR;
    if (m_nMonth == 2 && (m_nDay > 29 || (m_nDay == 29 && !IsLeapYear(m_nYear))))
        return IDS_INVALID_DAY;
    return 0;
}

int CDateValue::ValidateDate(const char* text, const char* format, int* refusal) {
    m_bEndOfDay = 0;
    const int id = CheckDate(text, format);
    if (refusal != nullptr) *refusal = id;
    return id == 0 ? 1 : 0;
}

platform::FileTime CDateValue::ToFileTime(int toUtc) const {
    platform::FileTime ft = 0;
    return ToFileTime(toUtc, &ft) ? ft : 0;
}

bool CDateValue::ToFileTime(int toUtc, platform::FileTime* out) const {
    const auto fits = [](int v) { return v >= 0 && v <= 0xFFFF; };
    const int hour = m_bEndOfDay ? 23 : m_nHour;
    const int minute = m_bEndOfDay ? 59 : m_nMinute;
    const int second = m_bEndOfDay ? 59 : m_nSecond;
    if (!fits(m_nYear) || !fits(m_nMonth) || !fits(m_nDay) || !fits(hour) || !fits(minute) ||
        !fits(second))
        return false;
    platform::SystemTime st = DateOf(m_nYear, m_nMonth, m_nDay);
    st.wHour = static_cast<std::uint16_t>(hour);
    st.wMinute = static_cast<std::uint16_t>(minute);
    st.wSecond = static_cast<std::uint16_t>(second);
    platform::FileTime ft = 0;
    if (!platform::SystemTimeToFileTime(st, &ft)) return false;
    if (toUtc) {
        platform::FileTime utc = 0;
        if (!platform::LocalFileTimeToFileTime(ft, &utc)) return false;
        ft = utc;
    }
    *out = ft;
    return true;
}

int ExpandTwoDigitYear(int year, int currentYear) {
    if (year >= 100) return year;
    const std::int64_t c = currentYear % 100;
    const std::int64_t b = currentYear - c;
    const std::int64_t d = year - c;
    std::int64_t expanded = year + b;
    if (d < -51) expanded += 100;
    else if (d > 51) expanded -= 100;
    if (expanded > INT_MAX) return INT_MAX;
    if (expanded < INT_MIN) return INT_MIN;
    return static_cast<int>(expanded);
}

int FormatShortDate(std::string& out, platform::FileTime fileTime) {
    platform::SystemTime date;
    if (fileTime == 0) {
        date = platform::GetLocalTime();
    } else {
        platform::FileTime local = 0;
        if (!platform::FileTimeToLocalFileTime(fileTime, &local) ||
            !platform::FileTimeToSystemTime(local, &date)) {
            out.clear();
            return 0;
        }
    }
    return platform::FormatDateInBuffer(date, platform::GetDisplayDatePicture(), &out,
                                        kDateBufferSize);
}

void GetDefaultShortDateFormat(std::string& out) { out = platform::GetDisplayDatePicture(); }

namespace {

// A year-first picture of numbers only written out here, not by the system, whose date
// routines may read a picture in another code page than the table's UTF-8.
std::string YearFirstText(int year, int month, int day, const std::string& picture) {
    std::string text;
    for (std::size_t f = 0; f < picture.size();) {
        const char c = picture[f];
        if (c != 'y' && c != 'M' && c != 'd') {
            text += c;
            ++f;
            continue;
        }
        std::size_t run = 0;
        while (f < picture.size() && picture[f] == c) ++f, ++run;
        std::string number = std::to_string(c == 'y' ? year : c == 'M' ? month : day);
        if (number.size() < run) number.insert(0, run - number.size(), '0');
        text += number;
    }
    return text;
}

}  // namespace

std::string DateFormsText() {
    // 31 January: a day of 31 cannot pass for a month, so the order of the fields shows.
    std::string local;
    platform::FormatDate(DateOf(2024, 1, 31), platform::GetDisplayDatePicture(), &local);
    return FormatDateForms(local, YearFirstText(2024, 1, 31, "yyyy-MM-dd"),
                           YearFirstText(2024, 1, 31, LoadStringText(IDS_DATE_PICTURE_CHINESE)));
}

std::string DateRefusalText(int refusal, const char* separator) {
    const std::string text = LoadStringText(refusal);
    switch (refusal) {
        case IDS_INVALID_DATE:
        case IDS_INVALID_MONTH:
        case IDS_INVALID_DAY:
        case IDS_INVALID_YEAR: return text + separator + DateFormsText();
        default: return text;
    }
}

const char* MatchMonthName(const char* text, const char* picture, int* month) {
    if (text == nullptr || month == nullptr) return nullptr;
    return MatchMonthIn(text, text + std::strlen(text), picture ? picture : "", month);
}

const char* MatchDayName(const char* text, const char* picture, int* weekday) {
    if (text == nullptr || weekday == nullptr) return nullptr;
    return MatchDayIn(text, text + std::strlen(text), picture ? picture : "", weekday);
}
