// A progress sink that remembers every status text and every place passed over, and says
// "stop" once a test sets m_cancel.
#pragma once

#include <atomic>
#include <string>
#include <utility>
#include <vector>

#include "engine/search/progress_sink.h"
#include "engine/text/text_format.h"

class RecordingSink : public ProgressSink {
public:
    void SetStatus(const std::string& text) override { m_texts.push_back(text); }
    void SetTotal(std::int64_t) override {}
    void StepProgress(std::int64_t) override {}
    // Counts are recorded as the status line would show them, through SetStatus.
    void FilesFound(int files, int folders) override { SetStatus(FormatFoundFilesInFolders(files, folders)); }
    void DuplicatesFound(int count, std::int64_t bytes) override {
        SetStatus(FormatDuplicatesRunning(count, bytes));
    }
    bool Cancelled() override { return m_cancel; }
    void Skipped(SkipKind kind, const std::string& path, const std::string& reason) override {
        m_skipped.emplace_back(path, reason);
        m_skipKinds.push_back(kind);
    }

    // The scanner's running counts ("发现 ...") and the other lines (folders, stages).
    std::vector<std::string> Counts() const { return Lines(true); }
    std::vector<std::string> Folders() const { return Lines(false); }

    std::vector<std::string> m_texts;
    std::vector<std::pair<std::string, std::string>> m_skipped;  // path, reason
    std::vector<SkipKind> m_skipKinds;
    // Set by a test hook that may run on the search's reading thread.
    std::atomic<bool> m_cancel{false};

private:
    std::vector<std::string> Lines(bool counts) const {
        std::vector<std::string> lines;
        for (const std::string& text : m_texts)
            if ((text.rfind("发现", 0) == 0) == counts) lines.push_back(text);
        return lines;
    }
};
