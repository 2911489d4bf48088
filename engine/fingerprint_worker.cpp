#include "engine/fingerprint_worker.h"

FingerprintWorker::FingerprintWorker(std::vector<CFileRecord*> records,
                                     const DetailsRequest& request)
    : m_records(std::move(records)), m_request(request), m_done(new std::atomic<bool>[m_records.size()]) {
    for (std::size_t k = 0; k < m_records.size(); ++k) m_done[k].store(false);
    if (std::thread::hardware_concurrency() > 1 && m_records.size() > 1)
        m_thread = std::thread(&FingerprintWorker::Run, this);
}

FingerprintWorker::~FingerprintWorker() { Stop(); }

void FingerprintWorker::Stop() {
    m_stop.store(true);
    if (m_thread.joinable()) m_thread.join();
}

void FingerprintWorker::Compute(std::size_t k, const std::function<bool()>& stop) {
    DetailsRequest request = m_request;
    request.stop = stop;
    m_records[k]->ComputeDetails(request);
    m_done[k].store(true, std::memory_order_release);
}

bool FingerprintWorker::WaitFor(std::size_t k) {
    // Only the record the worker is reading right now can be outstanding here.
    while (!m_done[k].load(std::memory_order_acquire)) {
        if (!m_thread.joinable() || m_stop.load()) return m_done[k].load(std::memory_order_acquire);
        std::this_thread::yield();
    }
    return true;
}

void FingerprintWorker::Run() {
    while (!m_stop.load(std::memory_order_relaxed)) {
        const std::size_t k = m_next.fetch_add(1, std::memory_order_relaxed);
        if (k >= m_records.size()) return;
        Compute(k, [this] { return m_stop.load(std::memory_order_relaxed); });
    }
}
