#include "engine/search/progress_estimate.h"

#include <cmath>

#include "engine/text/text_format.h"

std::int64_t ProgressEstimate::SecondsLeft(double now, std::int64_t done,
                                           std::int64_t total) const {
    const double spent = now - m_start;
    if (total <= 0 || done <= 0 || spent < 1.0) return -1;
    if (done >= total) return 0;
    // An estimate from the first few files of a long run swings widely: wait for a share.
    if (done * 100 < total && spent < 5.0) return -1;
    const double left = spent * static_cast<double>(total - done) / static_cast<double>(done);
    return static_cast<std::int64_t>(std::ceil(left));
}

std::string ProgressEstimate::DurationText(std::int64_t seconds) {
    if (seconds < 0) seconds = 0;
    const std::int64_t h = seconds / 3600, m = seconds / 60 % 60, s = seconds % 60;
    auto two = [](std::int64_t n) { return (n < 10 ? "0" : "") + std::to_string(n); };
    if (h > 0) return std::to_string(h) + ":" + two(m) + ":" + two(s);
    return std::to_string(m) + ":" + two(s);
}

std::string ProgressEstimate::TimeLine(std::int64_t elapsed, std::int64_t left) {
    if (left < 0) return FormatElapsed(DurationText(elapsed));
    return FormatElapsedAndLeft(DurationText(elapsed), DurationText(left));
}
