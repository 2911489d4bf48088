// Computes the fingerprints of a list of records on a second core while the caller works
// through the same list in order. The caller asks for a prefix of the list to be ready; it
// then helps with the records nobody has taken yet and waits for the one the worker is
// reading. Every record is computed exactly once, by one thread.
#pragma once

#include <atomic>
#include <cstddef>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "engine/file_record.h"

class FingerprintWorker {
public:
    // `records` (not owned) must stay alive and unmoved until the worker is destroyed; the
    // pointers, not the owning slots, are shared. A second thread is started only when the
    // machine has more than one core and there is more than one record.
    FingerprintWorker(std::vector<CFileRecord*> records, const DetailsRequest& request);
    ~FingerprintWorker();  // stops the worker after its current file and joins it
    FingerprintWorker(const FingerprintWorker&) = delete;
    FingerprintWorker& operator=(const FingerprintWorker&) = delete;

    // Returns once the first `count` records have their fingerprints. `between(...)` is called
    // on this thread after every record it computes itself, and between the blocks of a large
    // file; when it returns true the wait is given up and EnsureReady returns false.
    template <typename Between>
    bool EnsureReady(std::size_t count, Between between) {
        while (m_next.load(std::memory_order_relaxed) < count) {
            const std::size_t k = m_next.fetch_add(1, std::memory_order_relaxed);
            if (k >= m_records.size()) break;
            Compute(k, between);
            if (between()) return false;
        }
        for (std::size_t k = 0; k < count && k < m_records.size(); ++k) {
            // While the worker finishes a record this thread needs, this thread takes the
            // next free one rather than spin: both cores keep reading.
            while (!m_done[k].load(std::memory_order_acquire)) {
                const std::size_t next = m_next.fetch_add(1, std::memory_order_relaxed);
                if (next < m_records.size()) {
                    Compute(next, between);
                    if (between()) return false;
                } else if (!WaitFor(k)) {
                    return false;
                }
            }
        }
        return true;
    }

    // Stops the worker; records not yet taken stay uncomputed.
    void Stop();

private:
    // Computes record k; `stop` is asked between the blocks of a large file.
    void Compute(std::size_t k, const std::function<bool()>& stop);
    bool WaitFor(std::size_t k);
    void Run();

    std::vector<CFileRecord*> m_records;
    const DetailsRequest m_request;
    std::unique_ptr<std::atomic<bool>[]> m_done;
    std::atomic<std::size_t> m_next{0};
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};
