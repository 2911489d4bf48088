// The user's locale: upper-casing of single bytes and the short date and time texts.
#pragma once

#include <cstddef>
#include <string>

#include "platform/file_time.h"

namespace platform {

// Upper case of one byte of the program's UTF-8 text: ASCII letters become capitals; bytes
// 0x80-0xFF are returned unchanged (UTF-8 has no single-byte upper case).
unsigned char CharUpperByte(unsigned char b);

// Whether `b` is the first byte of a two-byte character whose second byte could be taken for a
// separator or a dot. Always false: the text is UTF-8 on every platform, where no byte inside
// a character is ASCII.
bool IsLeadByte(unsigned char b);

// Whether the text can hold such two-byte characters at all (never: see IsLeadByte).
constexpr bool kTwoByteCharacters = false;

// The user's short date format as a picture: d, dd (day), ddd, dddd (weekday name), M, MM
// (month), MMM, MMMM (month name), y, yy, yyyy (year), text in single quotes taken literally
// ('' is one quote), any other character as it stands. For example "MM/dd/yy".
std::string GetShortDatePicture();

// `picture` with every year of one or two digits (y, yy) written with four (yyyy); quoted text
// is left as it stands. A two-digit year is ambiguous once the files span a century.
std::string FourDigitYears(const std::string& picture);

// The picture every date the program shows or writes uses: the user's short date picture with
// four-digit years, or "MM/dd/yyyy" when the system has none.
std::string GetDisplayDatePicture();

// Formats the date part of `st` with `picture`; an empty picture means the short date picture.
// Returns false (and leaves `out` alone) when the date is not a real date.
bool FormatDate(const SystemTime& st, const std::string& picture, std::string* out);

// FormatDate into a text buffer of `bufferSize` bytes, as the short date routines of the
// system fill a fixed buffer: the text is cut to bufferSize - 1 bytes (a cut may fall inside a
// multi-byte character). Returns the bytes written counting the terminating zero, or 0 (and
// `out` emptied) when the date is not a real date or the buffer has no room.
int FormatDateInBuffer(const SystemTime& st, const std::string& picture, std::string* out,
                       std::size_t bufferSize);

// Formats the time of day of `st` in the user's time format. False when the time is invalid.
bool FormatTime(const SystemTime& st, std::string* out);

}  // namespace platform
