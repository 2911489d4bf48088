// The size limits of the filters as the user types and sees them: a byte count, or a number of
// kilobytes or megabytes with a K or M after the number. Shared by the filters page and the
// command line.
#pragma once

#include <cstdint>
#include <string>

// Reads a size limit. An empty text is no limit (0). Otherwise the text is a signed decimal
// number (leading blanks and one sign allowed) that is either the whole text (bytes) or is
// directly followed by K or k (x 1024) or M or m (x 1048576), after which anything is ignored.
// Sizes are 32-bit signed values: a result outside -2147483648..2147483647 is refused. Returns 0
// and sets *value, or returns IDS_INVALID_FILE_SIZE and leaves *value alone.
int ParseSizeText(const std::string& text, std::int64_t* value);

// The largest limit accepted, in bytes (2097151K and 2047M are the largest in K and M).
constexpr std::int64_t kLargestSizeLimit = 2147483647;

// The command line's stricter reading, where a typing slip must not pass silently: the whole
// text is decimal digits, optionally followed by one K, k, M or m, and nothing else (no blanks,
// no sign, nothing after the letter). An empty text is no limit (0). Results above
// kLargestSizeLimit are refused. Returns 0 and sets *value, or IDS_INVALID_FILE_SIZE and leaves
// *value alone.
int ParseSizeTextStrict(const std::string& text, std::int64_t* value);

// IDS_INVALID_FILE_SIZE when both limits are set (nonzero) and the minimum is above the maximum,
// else 0.
int CheckSizeLimits(std::int64_t minSize, std::int64_t maxSize);

// The text the filters page shows for a stored limit: empty unless the limit is above 0, else
// the low 32 bits of it as a signed decimal number, in bytes.
std::string SizeLimitText(std::int64_t size);
