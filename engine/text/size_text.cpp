#include "engine/text/size_text.h"

#include <cinttypes>
#include <cstdio>

#include "engine/text/decimal_text.h"
#include "engine/text/validation_message.h"

int ParseSizeText(const std::string& text, std::int64_t* value) {
    if (text.empty()) {
        *value = 0;
        return 0;
    }
    const char* begin = text.data();
    const char* end = begin + text.size();
    std::int64_t number = 0;
    const char* after = ReadSignedDecimal(begin, end, &number);
    if (after == begin) return IDS_INVALID_FILE_SIZE;  // no digits
    std::int64_t multiplier = 1;
    if (after < end) {
        if (*after == 'K' || *after == 'k') multiplier = 1024;
        else if (*after == 'M' || *after == 'm') multiplier = 1048576;
        else return IDS_INVALID_FILE_SIZE;
    }
    // The limits are 32-bit values: refuse what would not fit rather than let it wrap into a
    // negative or a much smaller limit than the one typed.
    constexpr std::int64_t kMax = INT32_MAX;
    constexpr std::int64_t kMin = INT32_MIN;
    if (number > kMax / multiplier || number < kMin / multiplier) return IDS_INVALID_FILE_SIZE;
    *value = number * multiplier;
    return 0;
}

int ParseSizeTextStrict(const std::string& text, std::int64_t* value) {
    std::size_t digits = 0;
    while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') ++digits;
    if (digits == 0) {
        if (!text.empty()) return IDS_INVALID_FILE_SIZE;
        *value = 0;
        return 0;
    }
    if (text.size() > digits + 1) return IDS_INVALID_FILE_SIZE;
    std::int64_t multiplier = 1;
    if (text.size() == digits + 1) {
        const char unit = text[digits];
        if (unit == 'K' || unit == 'k') multiplier = 1024;
        else if (unit == 'M' || unit == 'm') multiplier = 1048576;
        else return IDS_INVALID_FILE_SIZE;
    }
    // Saturates rather than wraps, so a long row of digits is refused below.
    std::int64_t number = 0;
    ReadSignedDecimal(text.data(), text.data() + digits, &number);
    if (number > kLargestSizeLimit / multiplier) return IDS_INVALID_FILE_SIZE;
    *value = number * multiplier;
    return 0;
}

int CheckSizeLimits(std::int64_t minSize, std::int64_t maxSize) {
    return (minSize != 0 && maxSize != 0 && minSize > maxSize) ? IDS_INVALID_FILE_SIZE : 0;
}

std::string SizeLimitText(std::int64_t size) {
    if (size <= 0) return std::string();
    const auto low = static_cast<std::int32_t>(static_cast<std::uint32_t>(size & 0xFFFFFFFF));
    char buf[16];
    std::snprintf(buf, sizeof buf, "%" PRId32, low);
    return buf;
}
