// Lists the folders of a walk ahead of it, on every core. The walk itself stays one thread and
// takes each folder's listing in its own depth-first order, so what it finds, and in which
// order, is what it would find listing every folder itself; only the waiting for the file system
// is shared out.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/file_find.h"

// One folder of a walk, as whichever thread came to it first opened and listed it.
struct FolderListing {
    bool opened = false;     // false: it could not be opened (openError says why)
    int openError = 0;
    bool virtualFs = false;  // on a virtual file system: never listed
    bool elsewhere = false;  // a stacked mount searched through another start path: not listed
    int listError = 0;       // it opened but its listing failed
    std::vector<platform::FindData> files;  // its files, in the order listed
    std::vector<std::pair<std::string, int>> unreadable;  // entries whose facts were refused
};

class FolderJob;
using FolderJobs = std::vector<std::shared_ptr<FolderJob>>;

// A subfolder still to be opened and listed.
class FolderJob {
public:
    FolderJob(std::shared_ptr<platform::FolderHandle> parent, platform::FindData entry,
              std::string path, bool mayBeMount)
        : m_entry(std::move(entry)), m_path(std::move(path)), m_mayBeMount(mayBeMount),
          m_parent(std::move(parent)) {}

    // Its full path, ending in the separator.
    const std::string& Path() const { return m_path; }
    // Valid once FolderListers::Take returned.
    const FolderListing& Listing() const { return m_listing; }
    // The jobs of its subfolders, in the order listed; valid once FolderListers::Take returned.
    FolderJobs TakeSubfolders() { return std::move(m_subfolders); }

private:
    friend class FolderListers;
    enum class State { kWaiting, kRunning, kDone };

    platform::FindData m_entry;  // as its parent listed it: opening checks it is still that
    std::string m_path;
    // It may start another file system (its parent is the start folder, or its device differs
    // from its parent's): asked whether it is virtual or searched elsewhere before it is listed.
    bool m_mayBeMount;
    std::shared_ptr<platform::FolderHandle> m_parent;  // until it is opened from it
    FolderListing m_listing;
    FolderJobs m_subfolders;
    State m_state = State::kWaiting;
    bool m_byLister = false;
};

class FolderListers {
public:
    // `threads` listers (0: the walk lists every folder itself). `roots` (the scan's start
    // folders, for the stacked-mount question) and `helper` (may be null) must outlive it.
    FolderListers(int threads, const std::vector<std::string>& roots, platform::StatHelper* helper);
    // Stops the listers; a folder being listed is finished first.
    ~FolderListers();
    FolderListers(const FolderListers&) = delete;
    FolderListers& operator=(const FolderListers&) = delete;

    // Lists the start folder `handle` (its path `folder`) here and hands its subfolders to the
    // listers; returns its listing and the jobs of its subfolders.
    FolderJobs ListStart(std::unique_ptr<platform::FolderHandle> handle, const std::string& folder,
                         FolderListing* listing);
    // Returns once `job` is listed: at once when a lister has done it, after it when one is at
    // it, and after listing it here when none has begun.
    void Take(FolderJob& job);

    // One lister per core, at most 8 (more only crowd the file system).
    static int ForCores();

private:
    void Run();
    // Lists `job` on this thread (`lock` held on entry and on return, not meanwhile) and
    // queues its subfolders.
    void ListHere(FolderJob& job, std::unique_lock<std::mutex>& lock);
    // Opens and lists `job` and makes the jobs of its subfolders.
    void List(FolderJob& job);
    // Lists the open folder `handle` into `job` (its path and device known).
    void ListOpen(const std::shared_ptr<platform::FolderHandle>& handle, FolderJob& job,
                  bool isStart);
    // Queues `subfolders` (the first on top: listers go depth-first, in the walk's order).
    void Queue(const FolderJobs& subfolders);

    const std::vector<std::string>& m_roots;
    platform::StatHelper* m_helper;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    FolderJobs m_waiting;  // the top is the next in the walk's order; taken ones are passed over
    int m_ahead = 0;       // listed or being listed by a lister and not yet taken by the walk
    bool m_stop = false;
    std::vector<std::thread> m_threads;
};
