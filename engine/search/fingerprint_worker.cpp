#include "engine/search/fingerprint_worker.h"

#include <algorithm>
#include <chrono>
#include <unordered_map>
#include <unordered_set>

#include "platform/file_reader.h"

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
                                     const DetailsRequest& request, ContentReader read,
                                     BlockOpener open, std::size_t keepBudget, ReadPlan plan)
    : m_records(std::move(records)), m_request(request), m_read(std::move(read)),
      m_open(std::move(open)), m_role(new unsigned char[m_records.size()]()),
      m_keepBudget(keepBudget), m_hashGroups(plan.hashGroups) {
    m_classes.resize(classEnds.size());
    std::uint32_t begin = 0;
    for (std::size_t c = 0; c < classEnds.size(); ++c) {
        ClassState& cls = m_classes[c];
        cls.begin = begin;
        cls.end = classEnds[c];
        cls.firstLeft = cls.end - cls.begin;
        // Names of one file only: nothing to compare, nothing to read.
        if (AllOneFile(m_records.data() + cls.begin, cls.end - cls.begin)) {
            cls.firstLeft = 0;
            cls.ready = true;
        }
        begin = cls.end;
    }
    int threads = plan.threads > 0 ? plan.threads
                                   : static_cast<int>(std::thread::hardware_concurrency());
    threads = std::max(threads, 1);
    for (const auto& disk : plan.limited)
        if (disk.second < threads)
            m_queues.emplace(disk.first, std::make_unique<DiskQueue>(disk.second));
    if (m_records.size() > 1)
        for (int t = 1; t < threads; ++t) m_threads.emplace_back(&FingerprintWorker::Run, this);
}

FingerprintWorker::~FingerprintWorker() { Stop(); }

void FingerprintWorker::Stop() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop.store(true);
    }
    m_changed.notify_all();
    for (std::thread& thread : m_threads)
        if (thread.joinable()) thread.join();
    m_threads.clear();
}

void FingerprintWorker::Queue(Task& task, std::uint64_t device) {
    const auto found = m_queues.find(device);
    if (found == m_queues.end()) return;
    task.queue = found->second.get();
    task.ticket = task.queue->Ticket();
}

FingerprintWorker::Task FingerprintWorker::Take() {
    Task task;
    // Joint reads of the earliest class first: the caller waits for that class.
    while (!m_jointReady.empty()) {
        const std::uint32_t c = *m_jointReady.begin();
        ClassState& cls = m_classes[c];
        if (cls.jointNext >= cls.joints.size()) {
            m_jointReady.erase(m_jointReady.begin());
            continue;
        }
        task.record = cls.jointNext++;
        task.cls = c;
        task.joint = true;
        task.valid = true;
        if (!cls.joints[task.record].files.empty())
            Queue(task, m_records[cls.joints[task.record].files.front()]->m_nDevice);
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
        if (m_orderedClass != m_firstClass) {
            m_orderedClass = m_firstClass;
            // The files of a class in the order of their places on the disk, as far as the
            // inode numbers tell: a cold read then moves one way across it.
            m_lookOrder.resize(cls.end - cls.begin);
            for (std::uint32_t k = cls.begin; k < cls.end; ++k) m_lookOrder[k - cls.begin] = k;
            std::stable_sort(m_lookOrder.begin(), m_lookOrder.end(),
                             [this](std::uint32_t a, std::uint32_t b) {
                                 const CFileRecord& x = *m_records[a];
                                 const CFileRecord& y = *m_records[b];
                                 return x.m_nDevice != y.m_nDevice ? x.m_nDevice < y.m_nDevice
                                                                   : x.m_nInode < y.m_nInode;
                             });
            // A small file is read whole by its first look: its bytes may serve its joint read.
            const std::int64_t size = m_records[cls.begin]->m_nSize;
            if (m_keepBudget > 0 && size > 0 && size <= kFirstBlockSize)
                cls.kept.resize(cls.end - cls.begin);
            if (size > kFirstBlockSize) cls.places.assign(cls.end - cls.begin, 0);
        }
        task.record = m_lookOrder[m_firstNext++ - cls.begin];
        task.cls = m_firstClass;
        task.valid = true;
        Queue(task, m_records[task.record]->m_nDevice);
        ++m_inFlight;
        return task;
    }
    return task;
}

namespace {

// The disk's turn of one task: taken at its first read that must wait for the disk, and given
// back (or passed on, untaken) when the task is over.
class TaskTurn : public platform::DiskTurn {
public:
    TaskTurn(DiskQueue* queue, std::uint64_t ticket) : m_queue(queue), m_ticket(ticket) {}
    ~TaskTurn() override {
        if (m_queue != nullptr) m_queue->Leave(m_ticket, m_held);
    }
    TaskTurn(const TaskTurn&) = delete;
    TaskTurn& operator=(const TaskTurn&) = delete;
    bool Held() const override { return m_held; }
    void Take() override {
        if (m_held || m_queue == nullptr) return;
        m_queue->Enter(m_ticket);
        m_held = true;
    }

private:
    DiskQueue* m_queue;
    std::uint64_t m_ticket;
    bool m_held = false;
};

}  // namespace

void FingerprintWorker::Perform(Task& task, const std::function<bool()>& stop) {
    TaskTurn turn(task.queue, task.ticket);
    platform::DiskTurn* const taskTurn = task.queue != nullptr ? &turn : nullptr;
    if (!task.joint) {
        DetailsRequest request = m_request;
        request.turn = taskTurn;
        request.stop = stop;
        request.firstBlock = true;
        ClassState& cls = m_classes[task.cls];
        CFileRecord& record = *m_records[task.record];
        // Only this task touches its record's place in `kept`, which stays put until the
        // class's first looks are over.
        const std::size_t size = static_cast<std::size_t>(record.m_nSize);
        std::unique_ptr<unsigned char[]> keep;
        bool kept = false;
        if (!cls.kept.empty()) {
            if (m_keptBytes.fetch_add(size) + size <= m_keepBudget) {
                keep.reset(new unsigned char[size]);
                request.keepInto = keep.get();
                request.kept = &kept;
            } else {
                m_keptBytes.fetch_sub(size);  // over the budget: its joint read reads it again
            }
        }
        if (!cls.places.empty()) request.place = &cls.places[task.record - cls.begin];
        m_read(record, request);
        if (kept) cls.kept[task.record - cls.begin] = std::move(keep);
        else if (keep) m_keptBytes.fetch_sub(size);
        return;
    }
    // The joint's files are this task's alone until it is finished.
    Joint& joint = m_classes[task.cls].joints[task.record];
    OrderForDisk(m_classes[task.cls], joint);
    std::vector<JointReader::File> files(joint.files.size());
    for (std::size_t i = 0; i < files.size(); ++i) {
        files[i].record = m_records[joint.files[i]];
        for (const std::uint32_t name : joint.otherNames[i])
            files[i].otherNames.push_back(m_records[name]);
    }
    std::vector<std::vector<CFileRecord*>> groups;
    // Files whose first look kept their bytes are served from them.
    ClassState& cls = m_classes[task.cls];
    std::unordered_map<const CFileRecord*, const unsigned char*> inMemory;
    if (!cls.kept.empty()) {
        const auto add = [&](std::uint32_t k) {
            if (const unsigned char* bytes = cls.kept[k - cls.begin].get())
                inMemory.emplace(m_records[k], bytes);
        };
        for (std::size_t i = 0; i < joint.files.size(); ++i) {
            add(joint.files[i]);
            for (const std::uint32_t name : joint.otherNames[i]) add(name);
        }
    }
    BlockOpener open = m_open;
    if (!inMemory.empty() || taskTurn != nullptr)
        open = [this, &inMemory, taskTurn](const CFileRecord& record, int* error) {
            const auto found = inMemory.find(&record);
            if (found != inMemory.end()) return KeptBlockSource(record, found->second, error);
            std::unique_ptr<BlockSource> source = m_open(record, error);
            if (source && taskTurn != nullptr) source->SetTurn(taskTurn);
            return source;
        };
    // Every thread may run a joint read at once, each with its window of open files: all of
    // them together stay well below what a process may hold open.
    JointReader reader(open, std::max<std::size_t>(16, 256 / (m_threads.size() + 1)));
    // The joint's files share their first look's fingerprint: it was read before they were.
    const std::uint64_t firstKey = files.empty() ? 0 : files.front().record->FingerprintKey();
    std::vector<ContentHash> hashes;
    std::vector<JointReader::Lone> lone;
    task.stopped = !reader.Read(files, stop, &m_bytesRead, &groups,
                                m_hashGroups ? &hashes : nullptr, m_hashGroups ? &lone : nullptr);
    if (!cls.kept.empty()) {
        for (std::size_t i = 0; i < joint.files.size(); ++i) {
            Unkeep(cls, joint.files[i]);
            for (const std::uint32_t name : joint.otherNames[i]) Unkeep(cls, name);
        }
    }
    if (task.stopped) return;
    // Back to indexes: each file's names are among the joint's.
    std::unordered_map<const CFileRecord*, std::uint32_t> indexOf;
    for (std::size_t i = 0; i < files.size(); ++i) {
        indexOf.emplace(files[i].record, joint.files[i]);
        for (std::size_t n = 0; n < files[i].otherNames.size(); ++n)
            indexOf.emplace(files[i].otherNames[n], joint.otherNames[i][n]);
    }
    for (const auto& group : groups) {
        std::vector<std::uint32_t> indexes;
        indexes.reserve(group.size());
        for (const CFileRecord* record : group) indexes.push_back(indexOf.at(record));
        std::sort(indexes.begin(), indexes.end());
        task.groups.push_back(std::move(indexes));
    }
    for (const ContentHash& hash : hashes) task.digests.push_back({firstKey, hash});
    for (const JointReader::Lone& file : lone)
        task.lone.push_back({indexOf.at(file.record), file.crc, file.sum, {firstKey, file.hash}});
}

void FingerprintWorker::Unkeep(ClassState& cls, std::uint32_t k) {
    std::unique_ptr<unsigned char[]>& bytes = cls.kept[k - cls.begin];
    if (!bytes) return;
    bytes.reset();
    m_keptBytes.fetch_sub(static_cast<std::size_t>(m_records[k]->m_nSize));
}

void FingerprintWorker::OrderForDisk(const ClassState& cls, Joint& joint) const {
    std::vector<std::size_t> order(joint.files.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    const auto placeOf = [&](std::size_t i) {
        return cls.places.empty() ? 0 : cls.places[joint.files[i] - cls.begin];
    };
    bool placed = !cls.places.empty();
    for (std::size_t i = 0; placed && i < order.size(); ++i) placed = placeOf(i) != 0;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        if (placed) return placeOf(a) < placeOf(b);
        const CFileRecord& x = *m_records[joint.files[a]];
        const CFileRecord& y = *m_records[joint.files[b]];
        return x.m_nDevice != y.m_nDevice ? x.m_nDevice < y.m_nDevice : x.m_nInode < y.m_nInode;
    });
    Joint ordered;
    for (const std::size_t i : order) {
        ordered.files.push_back(joint.files[i]);
        ordered.otherNames.push_back(std::move(joint.otherNames[i]));
    }
    joint = std::move(ordered);
}

void FingerprintWorker::DropKept(ClassState& cls) {
    for (std::uint32_t k = cls.begin; k < cls.begin + cls.kept.size(); ++k) Unkeep(cls, k);
    std::vector<std::unique_ptr<unsigned char[]>>().swap(cls.kept);
}

std::vector<FingerprintWorker::Joint> FingerprintWorker::JointsOf(std::uint32_t begin,
                                                                   std::uint32_t end) const {
    std::vector<Joint> joints;
    std::unordered_map<std::uint64_t, std::size_t> byKey;
    std::unordered_map<FileId, std::pair<std::size_t, std::size_t>, FileIdHash> byFile;
    for (std::uint32_t k = begin; k < end; ++k) {
        const CFileRecord& record = *m_records[k];
        if (m_role[k] == kRead) {
            const auto inserted = byKey.emplace(record.FingerprintKey(), joints.size());
            if (inserted.second) joints.emplace_back();
            Joint& joint = joints[inserted.first->second];
            if (record.HasIdentity())
                byFile.emplace(record.Identity(),
                               std::make_pair(inserted.first->second, joint.files.size()));
            joint.files.push_back(k);
            joint.otherNames.emplace_back();
        } else if (m_role[k] == kSameFile) {
            const auto reader = byFile.find(record.Identity());
            if (reader != byFile.end())
                joints[reader->second.first].otherNames[reader->second.second].push_back(k);
        }
    }
    return joints;
}

void FingerprintWorker::Finish(Task& task, std::unique_lock<std::mutex>& lock) {
    ClassState& cls = m_classes[task.cls];
    if (task.joint) {
        // A stopped read found nothing certain: its class is never ready.
        if (!task.stopped) {
            for (auto& group : task.groups) cls.groups.push_back(std::move(group));
            for (const GroupDigest& digest : task.digests) cls.digests.push_back(digest);
            for (const LoneDigest& file : task.lone) cls.lone.push_back(file);
            std::vector<std::uint32_t>().swap(cls.joints[task.record].files);
            if (--cls.jointLeft == 0) {
                cls.ready = true;
                std::vector<Joint>().swap(cls.joints);
                std::vector<std::uint64_t>().swap(cls.places);
                DropKept(cls);
            }
        }
    } else {
        const std::int64_t size = m_records[task.record]->m_nSize;
        m_bytesRead.fetch_add(static_cast<std::uint64_t>(std::min<std::int64_t>(size, kFirstBlockSize)),
                              std::memory_order_relaxed);
        m_filesLooked.fetch_add(1, std::memory_order_relaxed);
        if (--cls.firstLeft == 0) {
            // The last first look of the class: its files are this thread's alone until the
            // roles and joint reads are out, so they are chosen without the lock.
            lock.unlock();
            ChooseRoles(m_records.data() + cls.begin, cls.end - cls.begin, m_role.get() + cls.begin);
            // Only the files read again with others need their bytes.
            if (!cls.kept.empty())
                for (std::uint32_t k = cls.begin; k < cls.end; ++k)
                    if (m_role[k] == kRuledOut) Unkeep(cls, k);
            std::vector<Joint> joints = JointsOf(cls.begin, cls.end);
            lock.lock();
            cls.joints = std::move(joints);
            cls.jointLeft = static_cast<std::uint32_t>(cls.joints.size());
            if (cls.jointLeft == 0) {
                cls.ready = true;
                std::vector<std::uint64_t>().swap(cls.places);
                DropKept(cls);
            }
            else m_jointReady.insert(task.cls);
        }
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
        Task task = Take();
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
        if (m_inFlight == 0 || m_threads.empty()) return m_classes[c].ready;
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
        Task task = Take();
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
