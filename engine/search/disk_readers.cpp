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

double MeasureUncachedReads(const std::vector<const CFileRecord*>& files) {
    std::vector<double> times;
    unsigned char page[4096];
    for (const CFileRecord* file : files) {
        if (times.size() >= kSamples) break;
        platform::FileReader reader;
        // Only the start is read, with nothing read ahead: one read of one place.
        if (!reader.Open(file->Path(), false) || reader.CachedFrom(0)) continue;
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
    // Per disk only the span of its inode numbers is kept, then one file from each of a few
    // stretches of it: a search of millions of files copies no list of them.
    struct Disk {
        std::uint64_t low = UINT64_MAX, high = 0;
        std::vector<const CFileRecord*> sample;  // kTried stretches; null where none was met
    };
    std::vector<DiskDecision> decisions;
    std::vector<Disk> disks;
    std::unordered_map<std::uint64_t, std::size_t> indexOf;
    for (const CFileRecord* record : records) {
        if (!record->HasIdentity()) continue;
        const auto found = indexOf.emplace(record->m_nDevice, decisions.size());
        if (found.second) {
            DiskDecision d;
            d.device = record->m_nDevice;
            decisions.push_back(d);
            disks.emplace_back();
        }
        Disk& disk = disks[found.first->second];
        if (record->m_nSize <= 0) continue;
        disk.low = std::min(disk.low, record->m_nInode);
        disk.high = std::max(disk.high, record->m_nInode);
    }
    bool sampled = false;
    for (std::size_t i = 0; i < decisions.size(); ++i) {
        DiskDecision& d = decisions[i];
        d.name = platform::DiskName(d.device);
        if (chosen > 0) {
            d.readers = std::min(chosen, kMostReaders);
            d.chosen = true;
            continue;
        }
        d.told = kindOf(d.device);
        d.readers = threads;
        if (d.told == platform::DiskKind::kSpinning && measure && disks[i].low <= disks[i].high) {
            disks[i].sample.assign(kTried, nullptr);
            sampled = true;
        }
    }
    // Far apart on the disk, as far as inode numbers tell: a head that moves must move.
    if (sampled) {
        for (const CFileRecord* record : records) {
            if (!record->HasIdentity() || record->m_nSize <= 0) continue;
            Disk& disk = disks[indexOf.at(record->m_nDevice)];
            if (disk.sample.empty()) continue;
            const std::uint64_t stretch = (disk.high - disk.low) / kTried + 1;
            const CFileRecord*& slot = disk.sample[(record->m_nInode - disk.low) / stretch];
            if (slot == nullptr) slot = record;
        }
    }
    for (std::size_t i = 0; i < decisions.size(); ++i) {
        DiskDecision& d = decisions[i];
        if (d.chosen || d.told != platform::DiskKind::kSpinning) continue;
        std::vector<const CFileRecord*>& sample = disks[i].sample;
        sample.erase(std::remove(sample.begin(), sample.end(), nullptr), sample.end());
        d.milliseconds = sample.empty() ? -1 : measure(sample);
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
