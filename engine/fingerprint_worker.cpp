#include "engine/fingerprint_worker.h"

#include <algorithm>
#include <chrono>
#include <unordered_map>
#include <unordered_set>

namespace {

// True when every record of the range is known (before any read) to be one file.
bool AllOneFile(CFileRecord* const* records, std::size_t count) {
    for (std::size_t k = 0; k < count; ++k)
        if (!records[k]->HasIdentity() || records[k]->Identity() != records[0]->Identity())
            return false;
    return true;
}

}  // namespace

std::size_t FingerprintWorker::ChooseRoles(CFileRecord* const* records, std::size_t count,
                                           unsigned char* roles) {
    // Per first-block fingerprint: the first file with it, and whether another file (not a
    // name of that one) has it too. Equal contents have equal first blocks, so a fingerprint
    // that only one file has rules that file out. A record without an identity (none is
    // known before a file is read on Windows, and every readable record has been read here)
    // counts as a file of its own.
    struct Seen {
        std::size_t first;
        bool shared;
    };
    std::unordered_map<std::uint64_t, Seen> byKey;
    byKey.reserve(count);
    for (std::size_t k = 0; k < count; ++k) {
        roles[k] = kRuledOut;
        if (!records[k]->CanPair()) continue;
        const auto inserted = byKey.emplace(records[k]->FingerprintKey(), Seen{k, false});
        if (!inserted.second && !records[inserted.first->second.first]->SameIdentity(*records[k]))
            inserted.first->second.shared = true;
    }
    // Of the possible copies, each file is read whole once, under its first name.
    std::unordered_set<FileId, FileIdHash> readers;
    std::size_t wholeReads = 0;
    for (std::size_t k = 0; k < count; ++k) {
        const CFileRecord& r = *records[k];
        if (!r.CanPair() || !byKey.at(r.FingerprintKey()).shared) continue;
        if (r.HasIdentity() && !readers.insert(r.Identity()).second) {
            roles[k] = kSameFile;
            continue;
        }
        roles[k] = kRead;
        if (r.FirstBlockOnly()) ++wholeReads;
    }
    return wholeReads;
}

FingerprintWorker::FingerprintWorker(std::vector<CFileRecord*> records,
                                     std::vector<std::uint32_t> classEnds,
                                     const DetailsRequest& request, ContentReader read)
    : m_records(std::move(records)), m_request(request), m_read(std::move(read)),
      m_role(new unsigned char[m_records.size()]()) {
    m_classes.resize(classEnds.size());
    std::uint32_t begin = 0;
    for (std::size_t c = 0; c < classEnds.size(); ++c) {
        ClassState& cls = m_classes[c];
        cls.begin = cls.wholeNext = begin;
        cls.end = classEnds[c];
        cls.firstLeft = cls.end - cls.begin;
        // Names of one file only: nothing to compare, nothing to read.
        if (AllOneFile(m_records.data() + cls.begin, cls.end - cls.begin)) {
            cls.firstLeft = 0;
            cls.ready = true;
        }
        begin = cls.end;
    }
    if (std::thread::hardware_concurrency() > 1 && m_records.size() > 1)
        m_thread = std::thread(&FingerprintWorker::Run, this);
}

FingerprintWorker::~FingerprintWorker() { Stop(); }

void FingerprintWorker::Stop() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop.store(true);
    }
    m_changed.notify_all();
    if (m_thread.joinable()) m_thread.join();
}

FingerprintWorker::Task FingerprintWorker::Take() {
    Task task;
    // Whole reads of the earliest class first: the caller waits for that class.
    while (!m_wholeReady.empty()) {
        const std::uint32_t c = *m_wholeReady.begin();
        ClassState& cls = m_classes[c];
        while (cls.wholeNext < cls.end &&
               !(m_role[cls.wholeNext] == kRead && m_records[cls.wholeNext]->FirstBlockOnly()))
            ++cls.wholeNext;
        if (cls.wholeNext >= cls.end) {
            m_wholeReady.erase(m_wholeReady.begin());
            continue;
        }
        task.record = cls.wholeNext++;
        task.cls = c;
        task.whole = true;
        task.valid = true;
        ++m_inFlight;
        return task;
    }
    // Then the next first look, skipping classes that need none.
    while (m_firstClass < m_classes.size()) {
        ClassState& cls = m_classes[m_firstClass];
        if (m_firstNext < cls.begin) m_firstNext = cls.begin;
        if (cls.ready || m_firstNext >= cls.end) {
            ++m_firstClass;
            continue;
        }
        task.record = m_firstNext++;
        task.cls = m_firstClass;
        task.valid = true;
        ++m_inFlight;
        return task;
    }
    return task;
}

void FingerprintWorker::Perform(const Task& task, const std::function<bool()>& stop) {
    DetailsRequest request = m_request;
    request.stop = stop;
    request.firstBlock = !task.whole;
    m_read(*m_records[task.record], request);
}

void FingerprintWorker::Finish(const Task& task, std::unique_lock<std::mutex>& lock) {
    ClassState& cls = m_classes[task.cls];
    const std::int64_t size = m_records[task.record]->m_nSize;
    m_bytesRead.fetch_add(static_cast<std::uint64_t>(
                              task.whole ? size : std::min<std::int64_t>(size, kFirstBlockSize)),
                          std::memory_order_relaxed);
    if (!task.whole) m_filesLooked.fetch_add(1, std::memory_order_relaxed);
    if (task.whole) {
        if (--cls.wholeLeft == 0) cls.ready = true;
    } else if (--cls.firstLeft == 0) {
        // The last first look of the class: its files are this thread's alone until the
        // roles are out, so they are chosen without the lock.
        lock.unlock();
        const std::size_t whole =
            ChooseRoles(m_records.data() + cls.begin, cls.end - cls.begin, m_role.get() + cls.begin);
        lock.lock();
        cls.wholeLeft = static_cast<std::uint32_t>(whole);
        if (whole == 0) cls.ready = true;
        else m_wholeReady.insert(task.cls);
    }
    // Counted out only now: while the roles were chosen, the other thread must not take the
    // lack of work for the end of it.
    --m_inFlight;
    // Counted last too: a thread woken while the lock was given up must still see this event.
    ++m_events;
    m_changed.notify_all();
}

bool FingerprintWorker::EnsureClass(std::size_t c, const std::function<bool()>& between) {
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_classes[c].ready) {
        const Task task = Take();
        if (task.valid) {
            lock.unlock();
            Perform(task, between);
            const bool stop = between && between();
            lock.lock();
            Finish(task, lock);
            if (stop) return false;
            continue;
        }
        // Nothing left to take: the worker is reading a file of this class.
        if (m_inFlight == 0 || !m_thread.joinable()) return m_classes[c].ready;
        const std::uint64_t seen = m_events;
        // The caller hears of the other thread's reading meanwhile (its bar moves), and may
        // stop it.
        while (!m_changed.wait_for(lock, std::chrono::milliseconds(100),
                                   [&] { return m_events != seen || m_stop.load(); })) {
            if (!between) continue;
            lock.unlock();
            const bool stop = between();
            lock.lock();
            if (stop) return false;
        }
        if (m_stop.load()) return m_classes[c].ready;
    }
    return true;
}

void FingerprintWorker::Run() {
    const std::function<bool()> stop = [this] { return m_stop.load(std::memory_order_relaxed); };
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stop.load()) {
        const Task task = Take();
        if (task.valid) {
            lock.unlock();
            Perform(task, stop);
            lock.lock();
            Finish(task, lock);
            continue;
        }
        // Only a file the other thread is reading can still make work (whole reads of its
        // class); with none in flight everything is done.
        if (m_inFlight == 0) return;
        const std::uint64_t seen = m_events;
        m_changed.wait(lock, [&] { return m_events != seen || m_stop.load(); });
    }
}
