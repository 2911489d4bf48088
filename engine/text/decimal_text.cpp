#include "engine/text/decimal_text.h"

#include <climits>
#include <limits>

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

const char* ReadSignedDecimal(const char* p, const char* end, std::int64_t* value) {
    *value = 0;
    const char* q = p;
    while (q < end && IsBlank(*q)) ++q;
    bool negative = false;
    if (q < end && (*q == '+' || *q == '-')) {
        negative = *q == '-';
        ++q;
    }
    if (q >= end || !IsDigit(*q)) return p;
    // Accumulate towards the sign so that the most negative value is reachable.
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    std::int64_t number = 0;
    bool saturated = false;
    for (; q < end && IsDigit(*q); ++q) {
        if (saturated) continue;
        const int digit = *q - '0';
        if (!negative) {
            if (number > (kMax - digit) / 10) {
                number = kMax;
                saturated = true;
            } else {
                number = number * 10 + digit;
            }
        } else {
            if (number < (kMin + digit) / 10) {
                number = kMin;
                saturated = true;
            } else {
                number = number * 10 - digit;
            }
        }
    }
    *value = number;
    return q;
}

const char* ReadSignedDecimalInt(const char* p, const char* end, int* value) {
    std::int64_t number = 0;
    const char* after = ReadSignedDecimal(p, end, &number);
    if (number > INT_MAX) number = INT_MAX;
    if (number < INT_MIN) number = INT_MIN;
    *value = static_cast<int>(number);
    return after;
}
