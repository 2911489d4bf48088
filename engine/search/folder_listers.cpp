#include "engine/search/folder_listers.h"

#include <algorithm>

#include "platform/drives.h"

namespace {

// Listed folders the walk has not yet taken. Each may hold its folder open (for its
// subfolders), so this bounds what the listers keep open; far more than they need to stay
// ahead.
constexpr int kMostAhead = 64;

}  // namespace

FolderListers::FolderListers(int threads, const std::vector<std::string>& roots,
                             platform::StatHelper* helper)
    : m_roots(roots), m_helper(helper) {
    for (int i = 0; i < threads; ++i) m_threads.emplace_back(&FolderListers::Run, this);
}

FolderListers::~FolderListers() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    for (std::thread& thread : m_threads) thread.join();
}

int FolderListers::ForCores() {
    const unsigned cores = std::thread::hardware_concurrency();
    return static_cast<int>(std::min(8u, std::max(1u, cores)));
}

FolderJobs FolderListers::ListStart(std::unique_ptr<platform::FolderHandle> handle,
                                    const std::string& folder, FolderListing* listing) {
    FolderJob start(nullptr, platform::FindData(), folder, false);
    start.m_listing.opened = true;
    ListOpen(std::shared_ptr<platform::FolderHandle>(std::move(handle)), start, true);
    Queue(start.m_subfolders);
    *listing = std::move(start.m_listing);
    return std::move(start.m_subfolders);
}

void FolderListers::ListHere(FolderJob& job, std::unique_lock<std::mutex>& lock) {
    job.m_state = FolderJob::State::kRunning;
    lock.unlock();
    List(job);
    lock.lock();
    Queue(job.m_subfolders);
    job.m_state = FolderJob::State::kDone;
}

void FolderListers::Take(FolderJob& job) {
    std::unique_lock<std::mutex> lock(m_mutex);
    if (job.m_state == FolderJob::State::kWaiting) {
        ListHere(job, lock);
        return;
    }
    m_changed.wait(lock, [&] { return job.m_state == FolderJob::State::kDone; });
    if (job.m_byLister) {
        --m_ahead;
        lock.unlock();
        m_changed.notify_all();
    }
}

void FolderListers::Queue(const FolderJobs& subfolders) {
    // Without listers nobody would take them from the queue: the walk lists each itself.
    if (m_threads.empty() || subfolders.empty()) return;
    m_waiting.insert(m_waiting.end(), subfolders.rbegin(), subfolders.rend());
    m_changed.notify_all();
}

void FolderListers::Run() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [&] { return m_stop || (!m_waiting.empty() && m_ahead < kMostAhead); });
        if (m_stop) return;
        const std::shared_ptr<FolderJob> job = std::move(m_waiting.back());
        m_waiting.pop_back();
        // The walk came to it first and lists it itself.
        if (job->m_state != FolderJob::State::kWaiting) continue;
        job->m_byLister = true;
        ++m_ahead;
        ListHere(*job, lock);
        m_changed.notify_all();
    }
}

void FolderListers::List(FolderJob& job) {
    int error = 0;
    std::unique_ptr<platform::FolderHandle> handle =
        job.m_parent->OpenSub(job.m_entry, job.m_path, &error);
    // Its parent's last subfolder to be opened closes the parent: deep trees hold few open.
    job.m_parent.reset();
    FolderListing& listing = job.m_listing;
    if (!handle) {
        listing.openError = error;
        return;
    }
    listing.opened = true;
    // /proc and its kind are never walked, and their listings never read. Only a mount point
    // can start another file system, and a mount point has a device of its own.
    if (job.m_mayBeMount) {
        if (handle->IsVirtualFileSystem()) {
            listing.virtualFs = true;
            return;
        }
        if (platform::IsStackedOverSearched(job.m_path, m_roots)) {
            listing.elsewhere = true;
            return;
        }
    }
    ListOpen(std::shared_ptr<platform::FolderHandle>(std::move(handle)), job, false);
}

void FolderListers::ListOpen(const std::shared_ptr<platform::FolderHandle>& handle, FolderJob& job,
                             bool isStart) {
    FolderListing& listing = job.m_listing;
    platform::FileFinder finder(m_helper);
    bool more = finder.First(*handle);
    if (!more) listing.listError = finder.ErrorCode();
    listing.unreadable = finder.Unreadable();
    for (; more; more = finder.Next()) {
        const platform::FindData& fd = finder.Data();
        if ((fd.dwFileAttributes & platform::kAttrDirectory) != 0) {
            if (fd.cFileName == "." || fd.cFileName == "..") continue;
            // The start folder's device is not asked: each of its subfolders may be a mount.
            const bool mayBeMount = isStart || fd.nDevice != job.m_entry.nDevice;
            job.m_subfolders.push_back(std::make_shared<FolderJob>(
                handle, fd, job.m_path + fd.cFileName + platform::kPathSeparator, mayBeMount));
        } else {
            listing.files.push_back(fd);
        }
    }
}
