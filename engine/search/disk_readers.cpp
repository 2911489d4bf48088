#include "engine/search/disk_readers.h"

#include <algorithm>
#include <chrono>
#include <unordered_map>

#include "engine/search/file_record.h"
#include "engine/text/string_table.h"
#include "engine/text/text_format.h"
#include "platform/file_reader.h"

namespace {

// Enough reads for a median that one lucky or unlucky read does not decide; few enough to cost
// nothing beside the search.
constexpr std::size_t kSamples = 8;
constexpr std::size_t kLeastSamples = 3;
// Files tried for those reads: most are in memory when the disk was read lately.
constexpr std::size_t kTried = 32;

const char* KindText(platform::DiskKind kind) {
    switch (kind) {
        case platform::DiskKind::kSpinning: return LoadStringText(IDS_DISK_SPINNING);
        case platform::DiskKind::kSolidState: return LoadStringText(IDS_DISK_SOLID_STATE);
        case platform::DiskKind::kUnknown: break;
    }
    return LoadStringText(IDS_DISK_UNKNOWN);
}

}  // namespace

double MeasureUncachedReads(const std::vector<const CFileRecord*>& records) {
    std::vector<const CFileRecord*> files;
    for (const CFileRecord* r : records)
        if (r->m_nSize > 0) files.push_back(r);
    // Far apart on the disk, as far as inode numbers tell: a head that moves must move.
    std::sort(files.begin(), files.end(), [](const CFileRecord* a, const CFileRecord* b) {
        return a->m_nInode < b->m_nInode;
    });
    const std::size_t tried = std::min(files.size(), kTried);
    std::vector<double> times;
    unsigned char page[4096];
    for (std::size_t i = 0; i < tried && times.size() < kSamples; ++i) {
        const CFileRecord& file = *files[i * files.size() / tried];
        platform::FileReader reader;
        // Only the start is read, with nothing read ahead: one read of one place.
        if (!reader.Open(file.Path(), false) || reader.CachedFrom(0)) continue;
        const auto start = std::chrono::steady_clock::now();
        if (reader.Read(page, sizeof page) <= 0) continue;
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        times.push_back(took.count());
    }
    if (times.size() < kLeastSamples) return -1;
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

std::vector<DiskDecision> DecideReaders(const std::vector<CFileRecord*>& records, int threads,
                                        int chosen,
                                        const std::function<platform::DiskKind(std::uint64_t)>& kindOf,
                                        const DiskMeasure& measure) {
    threads = std::max(threads, 1);
    std::vector<DiskDecision> decisions;
    std::unordered_map<std::uint64_t, std::vector<const CFileRecord*>> byDevice;
    for (const CFileRecord* record : records) {
        auto& files = byDevice[record->m_nDevice];
        if (files.empty()) {
            DiskDecision d;
            d.device = record->m_nDevice;
            decisions.push_back(d);
        }
        files.push_back(record);
    }
    for (DiskDecision& d : decisions) {
        d.name = platform::DiskName(d.device);
        if (chosen > 0) {
            d.readers = std::min(chosen, kMostReaders);
            d.chosen = true;
            continue;
        }
        d.told = kindOf(d.device);
        d.readers = threads;
        if (d.told != platform::DiskKind::kSpinning) continue;
        d.milliseconds = measure ? measure(byDevice[d.device]) : -1;
        if (d.milliseconds >= 0)
            d.measured = d.milliseconds < kSolidStateMilliseconds ? platform::DiskKind::kSolidState
                                                                 : platform::DiskKind::kSpinning;
        // A disk that could not be measured is taken at its word: what is in memory is read by
        // every thread all the same.
        if (d.measured != platform::DiskKind::kSolidState) d.readers = 1;
    }
    return decisions;
}

std::string FormatDiskDecision(const DiskDecision& d) {
    if (d.chosen) return FormatDiskChosen(d.name, d.readers);
    std::string measured;
    if (d.told != platform::DiskKind::kSpinning) measured = LoadStringText(IDS_DISK_NOT_MEASURED);
    else if (d.milliseconds < 0) measured = LoadStringText(IDS_DISK_ALL_IN_MEMORY);
    else measured = FormatDiskMeasured(KindText(d.measured), d.milliseconds);
    return FormatDiskDecision(d.name, KindText(d.told), measured, d.readers);
}

std::uint64_t DiskQueue::Ticket() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_issued++;
}

void DiskQueue::PassOn() {
    ++m_front;
    while (!m_passed.empty() && *m_passed.begin() == m_front) {
        m_passed.erase(m_passed.begin());
        ++m_front;
    }
}

void DiskQueue::Enter(std::uint64_t ticket) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [&] { return m_front == ticket && m_inside < m_readers; });
    ++m_inside;
    PassOn();
    m_changed.notify_all();
}

void DiskQueue::Leave(std::uint64_t ticket, bool entered) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (entered) {
            --m_inside;
        } else if (ticket == m_front) {
            PassOn();
        } else {
            m_passed.insert(ticket);
        }
    }
    m_changed.notify_all();
}
