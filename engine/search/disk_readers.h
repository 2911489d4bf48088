// How many files each disk of a search is read by at once, and the turns that keep a disk whose
// head moves to one reader, in the order the work was handed out. What a disk says of itself is
// checked against how it answers: a virtual disk, an array or a network share often says it
// spins and answers like memory.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/disk_kind.h"

class CFileRecord;

// What a search decided for one disk.
struct DiskDecision {
    std::uint64_t device = 0;
    std::string name;  // platform::DiskName
    platform::DiskKind told = platform::DiskKind::kUnknown;      // as the system describes it
    platform::DiskKind measured = platform::DiskKind::kUnknown;  // as its reads answered
    double milliseconds = -1;  // the median of those reads; -1: not measured
    int readers = 1;           // files read at once, from the disk (from memory: every thread)
    bool chosen = false;       // readers as the user set them
};

// The median time of a few reads, in milliseconds, of the files `sample` (a few from far apart
// on one disk, in the order given) whose first page is not in memory; -1 when fewer than three
// such files were found (everything is in memory already: nothing tells the disk).
using DiskMeasure = std::function<double(const std::vector<const CFileRecord*>& sample)>;
double MeasureUncachedReads(const std::vector<const CFileRecord*>& sample);

// A read from the disk that answers in less than this came from no moving head.
constexpr double kSolidStateMilliseconds = 1.0;
// The most readers anyone may set.
constexpr int kMostReaders = 64;
// Readers of a disk that answers like solid-state storage where there are fewer cores: a thread
// waiting for such a disk holds no core, and the disk answers several reads at once (a cold
// search of a million small files on a virtual disk: 55 s with two, 33 to 43 s with 4 to 16).
constexpr int kSolidStateReaders = 8;

// One decision per disk of `records` (their devices, in the order first met; a record that was
// never asked of the system for its device is passed over). A disk whose
// `kindOf` says it spins is measured: it is read by `threads` readers when it answers as
// solid-state, else by one. Every other disk gets `threads`. `chosen` (> 0) sets every disk's
// readers instead, and nothing is measured.
std::vector<DiskDecision> DecideReaders(const std::vector<CFileRecord*>& records, int threads,
                                        int chosen,
                                        const std::function<platform::DiskKind(std::uint64_t)>& kindOf,
                                        const DiskMeasure& measure);

// The line that tells a decision ("磁盘 vda: ..."), for the command line's -v and the
// progress window's details.
std::string FormatDiskDecision(const DiskDecision& decision);

// The turns of one disk: work is given a ticket when it is handed out, and enters the disk in
// ticket order, at most `readers` at once. Work whose bytes were all in memory never enters and
// passes its turn to the next.
class DiskQueue {
public:
    explicit DiskQueue(int readers) : m_readers(readers < 1 ? 1 : readers) {}
    std::uint64_t Ticket();
    // Blocks until every earlier ticket has entered or passed and a reader is free.
    void Enter(std::uint64_t ticket);
    // The work of `ticket` is over (`entered`: it had entered).
    void Leave(std::uint64_t ticket, bool entered);

private:
    // The front ticket has entered or passed: the next that has not is the front.
    void PassOn();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    const int m_readers;
    int m_inside = 0;
    std::uint64_t m_issued = 0;
    std::uint64_t m_front = 0;         // the first ticket that has neither entered nor passed
    std::set<std::uint64_t> m_passed;  // later tickets that passed
};
