// Reads what the duplicate search must know of the files of its size classes, on a second core
// while the caller groups the classes in order. Per class, every file is first looked at (its
// first block; the whole of a file no longer than that), and only the files whose first block
// equals that of another file (another device and inode) are then read whole, together with
// those files (JointReader): that read splits them into groups of equal bytes and gives the
// groups' CRC and sum. A class whose files are all one file (hard links, overlapping start
// paths) is not read at all. Every thread takes the next task (a first look, or the joint read
// of the files of one first block), those of the earliest class first, so every core keeps
// reading. On a disk read by fewer files at once than there are threads, a task takes the
// disk's turn (DiskQueue) before its first read that the page cache cannot answer.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <thread>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/search/disk_readers.h"
#include "engine/search/file_record.h"
#include "engine/search/joint_reader.h"

// How the files of a search are read: by how many threads (the caller's included; 0: one per
// core), and which devices bear fewer files read from the disk at once, and how many.
struct ReadPlan {
    int threads = 0;
    std::vector<std::pair<std::uint64_t, int>> limited;
    // The joint reads also hash each group's contents (DigestsOf), for the cache.
    bool hashGroups = false;
};

// What a joint read found of one group's contents: the first block's fingerprint its files
// share (CFileRecord::FingerprintKey of their first looks) and the hash of all of it.
struct GroupDigest {
    std::uint64_t firstKey = 0;
    ContentHash hash;
};
// A file a joint read found to be like no other, read to its end all the same (with
// ReadPlan::hashGroups): its index, whole CRC-32 and byte sum, and digest.
struct LoneDigest {
    std::uint32_t index = 0;
    std::uint32_t crc = 0, sum = 0;
    GroupDigest digest;
};

class FingerprintWorker {
public:

    // What the first look made of a file.
    enum Role : unsigned char {
        kRuledOut = 0,  // not read (its class is one file), unreadable, or its first block
                        // differs from those of all other files: it has no copy
        kRead = 1,      // a possible copy, read whole with the others of its first block (or
                        // unreadable since)
        kSameFile = 2,  // another name of an earlier kRead file of its class: read only in
                        // its stead, when that name cannot be opened
    };

    // `records` (not owned) must stay alive and unmoved until the worker is destroyed: the
    // files of the size classes, class after class; `classEnds[c]` is the index in `records`
    // after the last file of class c. Threads beside the caller's are started as `plan` says
    // when there is more than one record. First looks go through `read`,
    // joint reads through `open`. A file no longer than the first block is read whole by its
    // first look: up to `keepBudget` bytes of such files are kept (when `read` keeps them, see
    // DetailsRequest::keepInto) and their joint read takes them instead of opening the file
    // again; they are given back once their joint read is over, or at once for a file that
    // needs none.
    FingerprintWorker(std::vector<CFileRecord*> records, std::vector<std::uint32_t> classEnds,
                      const DetailsRequest& request, ContentReader read = DiskContentReader(),
                      BlockOpener open = DiskBlockOpener(),
                      std::size_t keepBudget = kKeptFirstLooks, ReadPlan plan = ReadPlan());

    // What the first looks of small files may keep at once by default.
    static constexpr std::size_t kKeptFirstLooks = std::size_t{16} << 20;
    ~FingerprintWorker();  // stops the worker after its current file and joins it
    FingerprintWorker(const FingerprintWorker&) = delete;
    FingerprintWorker& operator=(const FingerprintWorker&) = delete;

    // Returns once class `c` is ready: every file looked at, the roles chosen, every kRead file
    // read whole in its joint read. Meanwhile this thread reads too (whichever task is next); `between()` is
    // asked after every file it reads, between the blocks of a large one, and every tenth of a
    // second while it waits for the other thread: when it says true, EnsureClass gives up and
    // returns false. A ready class is answered at once.
    bool EnsureClass(std::size_t c, const std::function<bool()>& between);
    // The role of records[k]; valid once its class is ready.
    Role RoleOf(std::size_t k) const { return static_cast<Role>(m_role[k]); }
    // The groups of equal bytes that the joint reads of ready class `c` found: indexes into
    // `records`, each group in order, the groups in no particular order.
    const std::vector<std::vector<std::uint32_t>>& GroupsOf(std::size_t c) const {
        return m_classes[c].groups;
    }
    // With ReadPlan::hashGroups: the digest of each of GroupsOf(c), in its order.
    const std::vector<GroupDigest>& DigestsOf(std::size_t c) const { return m_classes[c].digests; }
    const std::vector<LoneDigest>& LoneOf(std::size_t c) const { return m_classes[c].lone; }
    // Gives back what class `c`'s groups take, once the caller is done with them.
    void ForgetGroups(std::size_t c) {
        std::vector<std::vector<std::uint32_t>>().swap(m_classes[c].groups);
        std::vector<GroupDigest>().swap(m_classes[c].digests);
        std::vector<LoneDigest>().swap(m_classes[c].lone);
    }

    // How far the reading is, for a progress bar inside a large class (any thread may ask):
    // the files whose first look is over, of FilesToLook, and the bytes read so far.
    std::uint64_t FilesLooked() const { return m_filesLooked.load(std::memory_order_relaxed); }
    std::uint64_t FilesToLook() const { return m_records.size(); }
    std::uint64_t BytesRead() const { return m_bytesRead.load(std::memory_order_relaxed); }

    // Stops the worker; files not yet taken stay unread.
    void Stop();

    // Chooses the roles of `count` records of one size that have been looked at (their
    // fingerprints are those of the first block, or of the whole file), writing them to
    // `roles`. Returns how many kRead records still need a whole read.
    static std::size_t ChooseRoles(CFileRecord* const* records, std::size_t count,
                                   unsigned char* roles);

private:
    // The files of one first block, to be read together: kRead records, each with the later
    // names of its file (indexes into m_records).
    struct Joint {
        std::vector<std::uint32_t> files;
        std::vector<std::vector<std::uint32_t>> otherNames;
    };
    struct ClassState {
        std::uint32_t begin = 0, end = 0;
        std::uint32_t firstLeft = 0;  // first looks not finished
        std::uint32_t jointNext = 0;  // the next joint read to hand out
        std::uint32_t jointLeft = 0;  // joint reads not finished
        bool ready = false;
        std::vector<Joint> joints;
        std::vector<std::vector<std::uint32_t>> groups;
        std::vector<GroupDigest> digests;  // with m_hashGroups, one per group
        std::vector<LoneDigest> lone;
        // Per record of a class of small files: the bytes its first look kept, or null.
        std::vector<std::unique_ptr<unsigned char[]>> kept;
        // Per record of a class of larger files: where its first look found it on the disk.
        std::vector<std::uint64_t> places;
    };
    struct Task {
        std::size_t record = 0;  // a first look: its record; a joint read: its index in joints
        std::uint32_t cls = 0;
        bool joint = false;
        bool valid = false;
        DiskQueue* queue = nullptr;  // the turns of its disk, where it must take one
        std::uint64_t ticket = 0;
        bool stopped = false;                            // set by Perform
        std::vector<std::vector<std::uint32_t>> groups;  // found by a joint read
        std::vector<GroupDigest> digests;
        std::vector<LoneDigest> lone;
    };

    Task Take();                                                   // under m_mutex
    // Gives `task`, which reads first from `device`, its place in that disk's turns.
    void Queue(Task& task, std::uint64_t device);
    void Finish(Task& task, std::unique_lock<std::mutex>& lock);   // with m_mutex held
    void Perform(Task& task, const std::function<bool()>& stop);
    // The joint reads of the kRead records of the class that starts at `begin`.
    std::vector<Joint> JointsOf(std::uint32_t begin, std::uint32_t end) const;
    void Run();
    // Gives back the kept bytes of records[k] of class `cls`.
    void Unkeep(ClassState& cls, std::uint32_t k);
    // The files of a joint read in the order of their places on the disk where the first looks
    // told them all, else of their device and inode numbers.
    void OrderForDisk(const ClassState& cls, Joint& joint) const;
    // Gives back all that class `cls` kept (its reads are over).
    void DropKept(ClassState& cls);

    std::vector<CFileRecord*> m_records;
    const DetailsRequest m_request;
    const ContentReader m_read;
    const BlockOpener m_open;
    std::unique_ptr<unsigned char[]> m_role;
    std::vector<ClassState> m_classes;

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::size_t m_firstNext = 0;     // where the next record to look at is in m_lookOrder,
                                     // counted from its class's begin
    std::uint32_t m_firstClass = 0;  // its class
    std::vector<std::uint32_t> m_lookOrder;  // the records of a class, in the disk's order
    std::uint32_t m_orderedClass = UINT32_MAX;  // that class
    std::set<std::uint32_t> m_jointReady;  // classes with joint reads to hand out
    std::size_t m_inFlight = 0;      // tasks taken and not finished
    std::uint64_t m_events = 0;      // finished tasks, to wake a waiting thread
    std::atomic<bool> m_stop{false};
    std::atomic<std::uint64_t> m_filesLooked{0};
    std::atomic<std::uint64_t> m_bytesRead{0};
    const std::size_t m_keepBudget;
    const bool m_hashGroups;
    std::atomic<std::size_t> m_keptBytes{0};
    std::unordered_map<std::uint64_t, std::unique_ptr<DiskQueue>> m_queues;
    std::vector<std::thread> m_threads;
};
