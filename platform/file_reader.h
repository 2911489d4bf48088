// Reading a regular file from start to end, shared with other programs that hold it open.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/file_identity.h"

namespace platform {

// One disk's turn, shared by the reads of one piece of work: a disk whose head moves reads for
// one piece of work at a time, in the order the work was handed out, while bytes that are in
// memory already need no turn at all.
class DiskTurn {
public:
    virtual ~DiskTurn() = default;
    virtual bool Held() const = 0;
    // Waits until the disk is this work's (at once when it is already).
    virtual void Take() = 0;
};

class FileReader {
public:
    FileReader() = default;
    ~FileReader();
    FileReader(const FileReader&) = delete;
    FileReader& operator=(const FileReader&) = delete;

    // Opens `path` read-only for a sequential read, without following a link (see
    // QueryFileIdentity). Fails for anything that is not a regular file (a FIFO swapped in
    // since the scan must never block the search); LastErrorCode() then tells why.
    // `wholeFile` false tells the system that only the start will be read: nothing is read
    // ahead of it.
    bool Open(const std::string& path, bool wholeFile = true);
    // The identity of the open file, as the system reports it for the handle.
    const FileIdentity& Identity() const { return m_identity; }
    // The size of the open file when it was opened.
    std::uint64_t SizeAtOpen() const { return m_identity.size; }
    // Reads up to `size` bytes with one call of the system; returns the count read (fewer
    // than asked at the end of the file, and rarely before it), 0 at the end, -1 on an error.
    // With a turn set (see SetTurn), a read that would wait for the disk first waits for
    // the turn; a read the page cache answers does not.
    long Read(void* buffer, std::size_t size);
    // The turn to take before the first read that must wait for the disk (null: none; not
    // owned, it must outlive the reads). Where the system cannot tell such a read beforehand,
    // every read takes it.
    void SetTurn(DiskTurn* turn) { m_turn = turn; }
    // The identity of the open file now (its size and times may have changed since Open);
    // false with the system's error code in LastErrorCode().
    bool Current(FileIdentity* out) const;
    // Back to the start of the file, for reading it again.
    bool Rewind();
    // To `offset` from the start, for reading on where an earlier handle of the file stopped.
    bool Seek(std::uint64_t offset);
    // Tells the system that what was read of the file is not needed again soon, so that one
    // search of large files does not push everything else out of the page cache (nothing
    // where the system has no such advice).
    void ForgetCachedPages();
    // True when some page of the file from `offset` (up to 64 MiB of it) is in the page cache
    // already, or when that cannot be told: such a file was read by someone else before, and
    // what they read is not to be forgotten for them.
    bool CachedFrom(std::uint64_t offset) const;
    // Where the open file's first extent lies on its disk (bytes from the disk's start): a cold
    // read of many files in this order moves the disk's head one way. 0 when the system cannot
    // tell (no such query, an empty or inline file, a file system without extents).
    std::uint64_t FirstPlaceOnDisk() const;
    void Close();

private:
    FileIdentity m_identity;
    DiskTurn* m_turn = nullptr;
#ifdef _WIN32
    void* m_handle = nullptr;
#else
    int m_fd = -1;
#endif
};

}  // namespace platform
