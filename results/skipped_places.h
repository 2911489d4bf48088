// SkippedPlaces: what a search in the window passed over (start paths that could not be opened,
// folders that could not be read, files that could not be read completely), and the one
// message that names them once the search is over.
//
// It stands between the search and the progress dialog: every other call goes on to the
// dialog unchanged. Plain code: tests drive it without a window.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/search/progress_sink.h"

class SkippedPlaces : public ProgressSink {
public:
    // `next` (may be null, not owned) gets every call but Skipped.
    explicit SkippedPlaces(ProgressSink* next) : m_pNext(next) {}

    void SetStatus(const std::string& text) override;
    void SetTotal(std::int64_t total) override;
    void StepProgress(std::int64_t amount) override;
    void FilesFound(int files, int folders) override;
    void DuplicatesFound(int count, std::int64_t bytes) override;
    void FilesLooked(std::int64_t files, std::int64_t of, std::int64_t bytes) override;
    void Detail(const std::string& line) override;
    bool Cancelled() override;
    // Notes the place (the same place with the same reason once); goes on to `next` as well.
    void Skipped(SkipKind kind, const std::string& path, const std::string& reason) override;

    // How many places were passed over.
    std::size_t Count() const { return m_nCount; }

    // The message after the search: string 2260, then "path: reason" for at most `maxLines`
    // places (start paths first, then folders, then files, each in the order met), then how
    // many more there were (2261). "" when nothing was passed over.
    std::string Message(std::size_t maxLines = kShown) const;

    // Places kept of each kind, and named in the message (a box that still fits a small
    // screen when every line wraps once); the others are only counted.
    static constexpr std::size_t kShown = 10;

private:
    struct Place {
        std::string path;
        std::string reason;
    };
    ProgressSink* m_pNext;
    std::vector<Place> m_places[4];  // by kind: start paths, folders, files, the cache
    std::size_t m_nCount = 0;
};
