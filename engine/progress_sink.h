// What long work tells the person waiting for it: a status line and a bar. The window's
// progress dialog implements it, and so does the command line's progress line.
#pragma once

#include <cstdint>
#include <string>

class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    // Shows `text` in the status line.
    virtual void SetStatus(const std::string& text) = 0;
    // Sets the amount the bar stands for (0 = no bar); the amount done starts again at 0.
    virtual void SetTotal(std::int64_t total) = 0;
    // Adds `amount` to what is done, moves the bar and lets pending window messages through.
    virtual void StepProgress(std::int64_t amount) = 0;
};
