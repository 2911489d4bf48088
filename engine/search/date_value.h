// Date texts of the filters: reading a date the user typed (a short date, or "%%today" with an
// optional day offset), checking it, and turning it into a file time; and the short date text
// of a file time.
#pragma once

#include <string>

#include "engine/text/validation_message.h"
#include "platform/file_time.h"

class CDateValue {
public:
    // Reads `text` with the date picture `format` (d, dd, M, MM, y, yy, yyyy numbers; ddd, dddd
    // weekday names, which are skipped; MMM, MMMM month names; quoted text literal). A null or
    // empty format means the user's short date format. A text starting with "%%today" (any
    // letter case), optionally followed by a signed number of days, stands for today's date
    // that many days on, whatever the format (0 when that leaves the range of file times).
    // Returns 1 when exactly three date fields (day, month, year) were read and stores them,
    // else 0; text left after the format is ignored.
    // Never reads beyond the end of the text; `text` may be null (refused).
    int ParseDate(const char* text, const char* format);
    int ParseDate(const std::string& text, const std::string& format);

    // Reads `text` and checks the ranges. An ISO 8601 date (ParseIsoDate) or a Chinese date
    // (ParseChineseDate), blanks around it allowed, is read whatever the locale and `format`;
    // any other text as ParseDate does; a two-digit year is placed in the
    // century window around the current year; a negative year, and a "%%today" offset beyond
    // the range of file times, is a year refusal. Returns 0 when the date is good, else the
    // string id of the refusal: IDS_INVALID_DATE (unreadable), IDS_INVALID_MONTH, IDS_INVALID_DAY
    // or IDS_INVALID_YEAR. Shows nothing.
    int CheckDate(const char* text, const char* format = nullptr);

    // Reads `text` as an ISO 8601 calendar date: a year of four or five digits, "-", a month of
    // one or two digits, "-", a day of one or two digits, and nothing else (so "0024-05-31" is
    // the year 24, out of range, not 2024). Returns 1 and stores
    // the fields, else 0 and stores nothing.
    int ParseIsoDate(const std::string& text);

    // Reads `text` as a Chinese date, "2024年1月31日": the year in four or five digits, the
    // month and day in one or two, and nothing else. Returns 1 and stores the fields, else 0.
    int ParseChineseDate(const std::string& text);

    // CheckDate with m_bEndOfDay cleared first. Returns 1 when the date is good, else 0 with
    // the string id of the refusal in *refusal (if not null), for the caller to show. A null
    // format means the user's short date format.
    int ValidateDate(const char* text, const char* format = nullptr, int* refusal = nullptr);
    int ValidateDate(const std::string& text, int* refusal = nullptr) {
        return ValidateDate(text.c_str(), nullptr, refusal);
    }

    // The date at 23:59:59 when m_bEndOfDay is set, else at m_nHour:m_nMinute:m_nSecond, as a
    // file time; with `toUtc` nonzero the date is taken as local time and converted to UTC.
    // 0 (no limit) when the fields do not make a time a file time can hold.
    platform::FileTime ToFileTime(int toUtc) const;
    // The same, but false (and *out untouched) when the fields make no such time, so that a
    // limit the caller was given never becomes "no limit" unnoticed.
    bool ToFileTime(int toUtc, platform::FileTime* out) const;

    // The years CheckDate accepts: every date in them has a file time, in any time zone.
    static constexpr int kFirstYear = 1601;
    static constexpr int kLastYear = 30827;

    int m_nDay = -1;
    int m_nMonth = -1;
    int m_nYear = -1;
    int m_bEndOfDay = 0;
    int m_nHour = 0;
    int m_nMinute = 0;
    int m_nSecond = 0;

private:
    // The strict reader of the year-first forms: `picture` of y, M, d runs and literal bytes.
    int ParseYearFirst(const std::string& text, const std::string& picture);
    // ParseDate; *outOfRange is set when a "%%today" offset leaves the range of file times.
    int ParseRange(const char* text, const char* end, const std::string& format,
                   bool* outOfRange);
    // The range checks of CheckDate on the stored fields; `twoDigitYears` places a year below
    // 100 in the century window (not for a year written with four digits).
    int CheckFields(bool twoDigitYears);
};

// A year below 100 placed within 51 years of `currentYear` (in 2003, 55 is 1955 and 54 is
// 2054); other years are returned as they are. The result is clamped to the range of int.
int ExpandTwoDigitYear(int year, int currentYear);

// `out` = the date of the UTC file time `fileTime` in local time, or of today when `fileTime`
// is 0, in the display picture (the user's short date with four-digit years), cut to 79 bytes. Returns the length written plus one, or 0 (and `out`
// emptied) when the time is not a date.
int FormatShortDate(std::string& out, platform::FileTime fileTime);

// `out` = the picture dates are shown with: the user's short date picture with four-digit
// years (GetDisplayDatePicture).
void GetDefaultShortDateFormat(std::string& out);

// The sentence naming the forms a date field reads, with 31 January 2024 in each.
std::string DateFormsText();

// The text of a date refusal of CheckDate: its message, `separator` and the forms a date field
// reads (DateFormsText); the window puts them on two lines, the command line on one. Other ids
// give their text alone.
std::string DateRefusalText(int refusal, const char* separator = "\n");

// Whether `text` (zero-terminated) starts with the name of a month written with `picture`
// (normally "MMM" or "MMMM"), compared ignoring ASCII letter case; the first of January ..
// December whose name matches wins. Returns the position after the name and stores the month
// 1..12, or returns null and stores nothing.
const char* MatchMonthName(const char* text, const char* picture, int* month);

// The same for weekday names (normally "ddd" or "dddd"), Monday first; stores 1..6 for Monday
// to Saturday and 0 for Sunday.
const char* MatchDayName(const char* text, const char* picture, int* weekday);
