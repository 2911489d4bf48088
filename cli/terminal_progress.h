// The command line's side of a search: one progress line on a terminal, redrawn in place at
// most a few times a second; a line for every place passed over; Ctrl+C as the Cancel button.
#pragma once

#include <chrono>
#include <csignal>
#include <cstdio>
#include <mutex>

#include "engine/search/progress_sink.h"
#include "platform/console.h"

// Whether names are UTF-8 (see platform/console.h).
constexpr bool kNamesAreUtf8 = platform::kNamesAreUtf8;

class TerminalProgress : public ProgressSink {
public:
    // `out` receives the progress line when `drawLine` is set (a terminal `columns` wide) and
    // the lines of places passed over always; the search stops once *cancel (may be null) is
    // nonzero.
    TerminalProgress(std::FILE* out, bool drawLine, const volatile std::sig_atomic_t* cancel,
                     int columns = 80)
        : m_out(out), m_drawLine(drawLine), m_cancel(cancel), m_columns(columns) {}
    ~TerminalProgress() override { Clear(); }

    void SetStatus(const std::string& text) override;
    void SetTotal(std::int64_t total) override;
    void StepProgress(std::int64_t amount) override;
    void FilesFound(int files, int folders) override;
    void DuplicatesFound(int count, std::int64_t bytes) override;
    bool Cancelled() override { return m_cancel != nullptr && *m_cancel != 0; }
    // "pairscout-cli: PATH: reason" on a line of its own, the progress line cleared first.
    void Skipped(SkipKind kind, const std::string& path, const std::string& reason) override;
    // "pairscout-cli: line" the same way, when m_verbose is set.
    void Detail(const std::string& line) override;
    bool m_verbose = false;
    // How many files could not be read completely (reported through Skipped).
    int m_nSkipped = 0;
    // Removes the line, so that what follows starts on a clean line.
    void Clear();

    // The text of the progress line for `status` at `percent` (-1: none), escaped and cut at
    // the front to fit in `columns` - 1 columns (a wide character takes two).
    static std::string LineText(const std::string& status, int percent, int columns,
                                bool utf8 = kNamesAreUtf8);

private:
    void WriteLine(const std::string& text);
    void Draw(bool force);
    void ClearLocked();

    // One line at a time, whichever thread reports.
    std::mutex m_lock;
    std::FILE* m_out;
    bool m_drawLine;
    const volatile std::sig_atomic_t* m_cancel;
    int m_columns;
    // What the line shows: m_status, or counts made into text only when the line is drawn.
    enum class Shows { kText, kFiles, kDuplicates };
    Shows m_shows = Shows::kText;
    std::string m_status;
    std::int64_t m_count = 0, m_ofWhat = 0;  // files and folders, or duplicates and bytes
    std::int64_t m_total = 0;
    std::int64_t m_done = 0;
    bool m_drawn = false;
    std::chrono::steady_clock::time_point m_lastDraw;
};

// `text` with what would drive a terminal made visible: C0 controls and DEL as \xNN, and with
// `utf8` also the C1 controls (U+0080..U+009F, each of their bytes) and every byte that is not
// part of a well-formed UTF-8 character; the rest as it is. A name cannot set a terminal's
// title, move its cursor or overwrite a line this way.
std::string EscapeControls(const std::string& text, bool utf8 = kNamesAreUtf8);
