// How long work has run and how long it will still take, from the amount done of a known total:
// the progress dialog's time line. Plain code: no clock of its own, the caller gives the time.
#pragma once

#include <cstdint>
#include <string>

class ProgressEstimate {
public:
    // Work (a stage with its own total) starts again at `seconds`.
    void Restart(double seconds) { m_start = seconds; }
    // Seconds left at `now` when `done` of `total` is done: the rate so far carried to the end.
    // -1 while there is no telling: no total, nothing done yet, or too little seen (under a
    // second, or under one hundredth of the total in under five seconds).
    std::int64_t SecondsLeft(double now, std::int64_t done, std::int64_t total) const;

    // "m:ss", or "h:mm:ss" from an hour up; negative counts as 0.
    static std::string DurationText(std::int64_t seconds);
    // The time line: the time spent, and the time left when it can be told (`left` >= 0).
    static std::string TimeLine(std::int64_t elapsed, std::int64_t left);

private:
    double m_start = 0;
};
