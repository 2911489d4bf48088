// What long work tells the person waiting for it, and how that person stops it: a status line,
// a bar, places passed over, and the question whether to stop. The window's progress dialog
// implements it, and so does the command line's progress line; the engine knows nothing else
// of either.
#pragma once

#include <cstdint>
#include <string>

// What was passed over.
enum class SkipKind {
    kStartPath,  // a start path that does not exist or cannot be opened as a folder
    kFolder,     // a folder below a start path that cannot be read
    kFile,       // a file whose contents could not be read completely: never listed
};

class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    // Shows `text` in the status line.
    virtual void SetStatus(const std::string& text) = 0;
    // Sets the amount the bar stands for (0 = no bar); the amount done starts again at 0.
    virtual void SetTotal(std::int64_t total) = 0;
    // Adds `amount` to what is done and moves the bar.
    virtual void StepProgress(std::int64_t amount) = 0;
    // Asked between units of work (every file): true once the user asked to stop. A window
    // lets its pending events through here (at a rate it chooses), so that its Cancel button
    // and repaints are handled while the work runs on its thread.
    virtual bool Cancelled() { return false; }
    // `path` was passed over; `reason` is the system's text. The work goes on.
    virtual void Skipped(SkipKind kind, const std::string& path, const std::string& reason) {
        (void)kind;
        (void)path;
        (void)reason;
    }
};
