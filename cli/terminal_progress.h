// One progress line on a terminal, redrawn in place at most a few times a second.
#pragma once

#include <chrono>
#include <cstdio>

#include "engine/progress_sink.h"

class TerminalProgress : public ProgressSink {
public:
    explicit TerminalProgress(std::FILE* out) : m_out(out) {}
    ~TerminalProgress() override { Clear(); }

    void SetStatus(const std::string& text) override;
    void SetTotal(std::int64_t total) override;
    void StepProgress(std::int64_t amount) override;
    // Removes the line, so that what follows starts on a clean line.
    void Clear();

private:
    void Draw(bool force);

    std::FILE* m_out;
    std::string m_status;
    std::int64_t m_total = 0;
    std::int64_t m_done = 0;
    bool m_drawn = false;
    std::chrono::steady_clock::time_point m_lastDraw;
};
