// Small text helpers of the search engine. Text is bytes (UTF-8 on POSIX); positions are ints,
// -1 when a thing is not present.
#pragma once

#include <string>
#include <vector>

#include "platform/file_time.h"

// Replaces the escape sequences of `s`: \a \b \f \n \r \t \v \? \' \" \\, a backslash followed
// by a number (decimal, 0 octal or 0x hexadecimal, at most four characters) for that byte, and
// a backslash before any other character for the character itself. A trailing lone backslash
// is dropped.
void UnescapeText(std::string& s);

// 1 when the character at `pos` follows an odd number of backslashes, else 0.
int IsEscapedAt(const std::string& s, int pos);

// Position of the first occurrence of `c` that is not escaped, or -1.
int FindUnescaped(const std::string& s, char c);

// Smallest FindUnescaped position of any character of `set`, or -1.
int FindFirstUnescapedOf(const std::string& s, const std::string& set);

// Position of the first byte equal to `b`, or -1.
int FindByte(const std::string& s, char b);

// The upper case of one byte, as the platform's 8-bit upper-casing gives it.
unsigned char UpperCaseByte(unsigned char b);

// 1 when `count` equals the length of `stored` and every byte of `subject`, upper-cased,
// equals the stored byte at the same place; else 0.
int EqualsUpperCased(const std::string& stored, const char* subject, int count);

// Splits `text` at every `separator`: empty pieces between two separators are kept, a
// separator at the end adds nothing. The one splitter of ";" lists (start paths, masks).
void SplitString(const std::string& text, std::vector<std::string>& out,
                 const std::string& separator);
// The pieces joined by `separator`: SplitString's inverse for lists without a trailing empty
// piece.
std::string JoinString(const std::vector<std::string>& pieces, const std::string& separator);

// Removes leading and trailing blanks (space, tab, line feed, vertical tab, form feed, CR).
void TrimBlanks(std::string& s);

// Byte comparison with the ASCII letters compared without case; other bytes as they are.
bool EqualsIgnoringAsciiCase(const std::string& a, const std::string& b);

// The length of the well-formed UTF-8 sequence at text[at] (1 to 4), or 0 when none starts
// there (no overlong forms, surrogates or code points past U+10FFFF).
std::size_t Utf8SequenceLength(const std::string& text, std::size_t at);

// `bytes` with every byte that does not belong to a well-formed UTF-8 sequence replaced by
// U+FFFD, one mark a byte; well-formed text comes back unchanged. What the window shows of a
// file name in another encoding, and what the spreadsheet CSV writes of it.
std::string ValidUtf8(const std::string& bytes);

// `out` = the user's short date of the (local) file time with a four-digit year (the display
// picture), one blank, the user's time text.
// `out` is left as it was when the time is not a valid date.
void FileTimeToText(const platform::FileTime* fileTime, std::string& out);
