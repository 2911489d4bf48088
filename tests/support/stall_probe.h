// The stall probe of the window's benchmarks (GeminexViewTest.Bench300000Files in the window
// suite, bench/window_search.cpp): it prints figures and checks nothing.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

#include <wx/stopwatch.h>

#include "results/geminex_view.h"
#include "results/progress_dialog.h"

// The stall probe of the benchmarks: the longest stretch between two ticks of the progress
// dialog's timer (the window's thread handling its events), from the start of an operation to
// its end, and the status line shown when that stretch began.
class StallProbe {
public:
    explicit StallProbe(CGeminexView* view) : m_view(view) {
        view->SetProgressWatcher([this](CProgressDialog& dialog) { Round(dialog.GetStatus()); });
    }
    ~StallProbe() { m_view->SetProgressWatcher(nullptr); }

    void Begin(const char* what) {
        m_what = what;
        m_longest = 0;
        m_rounds = 0;
        m_longestAfter = "(start)";
        m_lastStatus = "(start)";
        std::fprintf(stderr, "[ mark     ] %s begins\n", what);
        m_total.Start();
        m_gap.Start();
    }
    void Round(const std::string& status) {
        const long gap = m_gap.Time();
        if (gap > m_longest) {
            m_longest = gap;
            m_longestAfter = m_lastStatus;
            m_longestEnd = std::chrono::steady_clock::now();
        }
        m_lastStatus = status;
        ++m_rounds;
        m_gap.Start();
    }
    // Ends the operation and prints its figures; returns the longest stretch in ms.
    long End(const std::string& more = std::string()) {
        Round("(end)");
        --m_rounds;
        std::printf("[ bench    ] %s: %ld ms in all, %ld rounds of events, longest stretch "
                    "without events %ld ms (after \"%s\")%s%s\n",
                    m_what.c_str(), m_total.Time(), m_rounds, m_longest, m_longestAfter.c_str(),
                    more.empty() ? "" : ", ", more.c_str());
        // The stretch on the monotonic clock, to find it in a profile of the run.
        const double end = std::chrono::duration<double>(m_longestEnd.time_since_epoch()).count();
        std::printf("[ bench    ]   longest stretch: %.3f to %.3f s\n", end - m_longest / 1000.0, end);
        std::fflush(stdout);
        return m_longest;
    }

private:
    CGeminexView* m_view;
    std::string m_what, m_longestAfter, m_lastStatus;
    long m_longest = 0;
    long m_rounds = 0;
    std::chrono::steady_clock::time_point m_longestEnd;
    wxStopWatch m_total, m_gap;
};
