#include "results/work_progress.h"

#include <algorithm>

#include "engine/search/duplicate_search.h"
#include "engine/text/text_format.h"

WorkProgress::WorkProgress(std::string firstStatus) : m_text(std::move(firstStatus)) {}

void WorkProgress::SetStatus(const std::string& text) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_shows = kText;
    m_text = text;
}

void WorkProgress::SetTotal(std::int64_t total) {
    m_done.store(0);
    m_looked.store(0);
    m_looks.store(0);
    m_total.store(total);
}

void WorkProgress::StepProgress(std::int64_t amount) { m_done.fetch_add(amount); }

void WorkProgress::FilesFound(int files, int folders) {
    // Once per file found: numbers only, the text is made when it is shown.
    std::lock_guard<std::mutex> hold(m_lock);
    m_shows = kFiles;
    m_count = files;
    m_ofWhat = folders;
}

void WorkProgress::DuplicatesFound(int count, std::int64_t bytes) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_shows = kDuplicates;
    m_count = count;
    m_ofWhat = bytes;
}

void WorkProgress::FilesLooked(std::int64_t files, std::int64_t of, std::int64_t bytes) {
    m_looked.store(files);
    m_looks.store(of);
    std::lock_guard<std::mutex> hold(m_lock);
    // Once groups are listed, their counts are the better news.
    if (m_shows == kDuplicates) return;
    m_shows = kLooked;
    m_count = files;
    m_ofWhat = of;
    m_bytes = bytes;
}

bool WorkProgress::Cancelled() {
    if (m_probe) m_probe(*this);
    return m_stop.load(std::memory_order_relaxed);
}

void WorkProgress::Detail(const std::string& line) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_details += line + "\n";
}

std::string WorkProgress::DetailsText() const {
    std::lock_guard<std::mutex> hold(m_lock);
    return m_details;
}

std::string WorkProgress::StatusText() const {
    std::lock_guard<std::mutex> hold(m_lock);
    switch (m_shows) {
        case kFiles: return FormatFoundFilesInFolders(static_cast<int>(m_count), static_cast<int>(m_ofWhat));
        case kDuplicates: return FormatDuplicatesRunning(static_cast<int>(m_count), m_ofWhat);
        case kLooked:
            return FormatFilesLooked(m_count, m_ofWhat,
                                     FormatSizeText(static_cast<double>(m_bytes)));
        case kText: break;
    }
    return m_text;
}

int WorkProgress::Position(int range) const {
    const std::int64_t total = BarTotal();
    if (total <= 0) return 0;
    const std::int64_t done = std::min(BarDone(), total);
    return static_cast<int>(done * range / total);
}
