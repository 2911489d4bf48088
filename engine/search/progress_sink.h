// What long work tells the person waiting for it, and how that person stops it: a status line,
// a bar, running counts, places passed over, and the question whether to stop. The window's
// progress dialog implements it, and so does the command line's progress line; the engine knows
// nothing else of either.
//
// Counts arrive as numbers, many times a second: a sink turns them into text only when it shows
// them (engine/text/text_format.h). Calls come from the one thread doing the work;
// a sink read by another thread (the window's) keeps what it stores safe for that.
#pragma once

#include <cstdint>
#include <string>

// What was passed over.
enum class SkipKind {
    kStartPath,  // a start path that does not exist or cannot be opened as a folder
    kFolder,     // a folder below a start path that cannot be read
    kFile,       // a file whose contents could not be read completely: never listed
    kCache,      // the cache of earlier searches, which could not be used: the search went on
};

class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    // Shows `text` in the status line (a folder being read, the name of a stage).
    virtual void SetStatus(const std::string& text) = 0;
    // Sets the amount the bar stands for (0 = no bar); the amount done starts again at 0.
    virtual void SetTotal(std::int64_t total) = 0;
    // Adds `amount` to what is done and moves the bar.
    virtual void StepProgress(std::int64_t amount) = 0;
    // The scan has found `files` files in `folders` folders of the current start folder: the
    // status line now shows those counts (FormatFoundFilesInFolders).
    virtual void FilesFound(int files, int folders) {
        (void)files;
        (void)folders;
    }
    // The grouping has listed `count` duplicates of `bytes` bytes in all: the status line now
    // shows those counts (FormatDuplicatesRunning).
    virtual void DuplicatesFound(int count, std::int64_t bytes) {
        (void)count;
        (void)bytes;
    }
    // The grouping has looked at `files` of the `of` files that share their size with another
    // and read `bytes` bytes of them (FormatFilesLooked). Comes between the steps, while a
    // large size class is read; a bar may count these files too. The next SetTotal ends it.
    virtual void FilesLooked(std::int64_t files, std::int64_t of, std::int64_t bytes) {
        (void)files;
        (void)of;
        (void)bytes;
    }
    // Asked between units of work (every file): true once the user asked to stop. Answers at
    // once: the work never waits here for a window.
    virtual bool Cancelled() { return false; }
    // A line for those who want to know how the work is done (how each disk is read): the
    // command line's -v, the progress window's details.
    virtual void Detail(const std::string& line) { (void)line; }
    // `path` was passed over; `reason` is the system's text. The work goes on.
    virtual void Skipped(SkipKind kind, const std::string& path, const std::string& reason) {
        (void)kind;
        (void)path;
        (void)reason;
    }
};
