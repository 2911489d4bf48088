// A worker thread that only ever cares about the newest request: the preview pane asks for the
// focused file each time the focus moves, and a file asked for earlier is of no use once the
// focus has left it. Each request gets the next generation number; a request waiting when a
// newer one comes is dropped unread, the one being worked on is told it is stale (its work may
// give up early), and a result is delivered only while its request is still the newest.
//
// `deliver` runs on the worker thread: the window hands it to its own thread (and checks
// IsLatest there once more, since the focus may have moved again on the way).
//
// Plain C++: no wx header.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>

template <class Request, class Result>
class LatestWorker {
public:
    // `load` does the work; `stale()` turns true once a newer request came.
    using Load = std::function<Result(const Request&, const std::function<bool()>& stale)>;
    using Deliver = std::function<void(unsigned generation, Result)>;

    LatestWorker(Load load, Deliver deliver)
        : m_load(std::move(load)), m_deliver(std::move(deliver)), m_thread([this] { Run(); }) {}
    ~LatestWorker() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
            ++m_generation;  // the running work, if any, is stale
        }
        m_wake.notify_all();
        m_thread.join();
    }
    LatestWorker(const LatestWorker&) = delete;
    LatestWorker& operator=(const LatestWorker&) = delete;

    // Queues `request` in place of any waiting one; its generation.
    unsigned Ask(Request request) {
        unsigned generation;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            generation = ++m_generation;
            m_pending = std::move(request);
        }
        m_wake.notify_all();
        return generation;
    }
    // Makes every earlier request stale without asking for anything new.
    void Forget() {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_generation;
        m_pending.reset();
    }
    bool IsLatest(unsigned generation) const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return generation == m_generation;
    }

private:
    void Run() {
        for (;;) {
            Request request;
            unsigned generation;
            {
                std::unique_lock<std::mutex> lock(m_mutex);
                m_wake.wait(lock, [this] { return m_stop || m_pending.has_value(); });
                if (m_stop) return;
                request = std::move(*m_pending);
                m_pending.reset();
                generation = m_generation;
            }
            Result result = m_load(request, [this, generation] { return !IsLatest(generation); });
            if (IsLatest(generation)) m_deliver(generation, std::move(result));
        }
    }

    Load m_load;
    Deliver m_deliver;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<Request> m_pending;
    unsigned m_generation = 0;
    bool m_stop = false;
    std::thread m_thread;  // last: it starts once everything above is set
};
