// WorkProgress: what a search or a delete running on a worker thread tells the window, and the
// window's way to stop it. The worker reports into it (it is the work's ProgressSink); the
// progress dialog reads it on a timer and turns the counts into the status text only then; the
// user's Cancel sets its stop flag, which the work sees at its next question.
//
// Every value is an atomic or under a lock: the worker writes while the window's thread reads.
// Plain code: tests drive it without a window.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "engine/search/progress_sink.h"

class WorkProgress : public ProgressSink {
public:
    // `firstStatus` is shown until the work reports.
    explicit WorkProgress(std::string firstStatus);

    // ---- The worker's side (ProgressSink) ----
    void SetStatus(const std::string& text) override;
    void SetTotal(std::int64_t total) override;
    void StepProgress(std::int64_t amount) override;
    void FilesFound(int files, int folders) override;
    void DuplicatesFound(int count, std::int64_t bytes) override;
    void FilesLooked(std::int64_t files, std::int64_t of, std::int64_t bytes) override;
    // Kept, one line each, for the dialog's details.
    void Detail(const std::string& line) override;
    // True once Stop was called. Runs the probe first (tests).
    bool Cancelled() override;

    // ---- The window's side ----
    // Asks the work to stop; it does at its next question.
    void Stop() { m_stop.store(true); }
    bool StopRequested() const { return m_stop.load(); }
    // The status line as it stands now, made from the latest text or counts.
    std::string StatusText() const;
    // The detail lines so far, each ending in a line break ("" when none came).
    std::string DetailsText() const;
    std::int64_t Total() const { return m_total.load(); }
    std::int64_t Done() const { return m_done.load(); }
    // What the bar stands for: the steps and the files looked at (FilesLooked) together, so
    // that it moves inside a large size class.
    std::int64_t BarTotal() const { return m_total.load() + m_looks.load(); }
    std::int64_t BarDone() const { return m_done.load() + m_looked.load(); }
    // The position of a bar of `range` steps over BarTotal (0 without a total).
    int Position(int range) const;

    // Called on the worker's thread at every question to stop, before it is answered (tests:
    // to hold the work at a known point, or to stop it there). Set before the work starts.
    using Probe = std::function<void(WorkProgress&)>;
    void SetProbe(Probe probe) { m_probe = std::move(probe); }

private:
    enum Shows { kText, kFiles, kDuplicates, kLooked };

    std::atomic<bool> m_stop{false};
    std::atomic<std::int64_t> m_total{0};
    std::atomic<std::int64_t> m_done{0};
    std::atomic<std::int64_t> m_looked{0}, m_looks{0};  // files looked at, of how many
    mutable std::mutex m_lock;  // the status: what it shows and its text or counts
    Shows m_shows = kText;
    std::string m_text;
    std::int64_t m_count = 0, m_ofWhat = 0;  // files and folders, or duplicates and bytes
    std::int64_t m_bytes = 0;                // bytes read, with files looked at
    std::string m_details;
    Probe m_probe;
};
