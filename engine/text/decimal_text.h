// Reading a signed decimal number out of user text, the way the C library's strtol reads one:
// shared by the date and the size texts of the filters.
#pragma once

#include <cstdint>

// Reads blanks (space, tab, CR, LF, VT, FF), at most one sign and the decimal digits that follow,
// never looking at `end` or beyond. Returns the position after the last digit and stores the
// number in *value, saturated at the limits of int64. When there are no digits the number is 0
// and the returned position is `p` itself: the blanks and the sign are not taken.
const char* ReadSignedDecimal(const char* p, const char* end, std::int64_t* value);

// The same number clamped to the range of int (as a 32-bit strtol clamps it).
const char* ReadSignedDecimalInt(const char* p, const char* end, int* value);
