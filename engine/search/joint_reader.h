// Reads files of one size together, block by block, and splits them into groups of equal
// contents as soon as their blocks differ. Each byte of each file is read once: the byte
// comparison and the CRC-32 and byte sum shown for a group come from the same blocks.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "engine/search/file_record.h"

// One open file of a joint read.
class BlockSource {
public:
    virtual ~BlockSource() = default;
    // Reads `want` bytes from `offset` into `buffer` (fewer only where the file ends): the
    // count, or -1 with the error code in *error.
    virtual long ReadAt(std::uint64_t offset, unsigned char* buffer, std::size_t want,
                        int* error) = 0;
    // Once the file was read to its scanned size `end`: 0 when it still has its scanned
    // identity, size and last-write time and holds nothing past `end`; else the error code.
    virtual int CheckEnd(std::uint64_t end) = 0;
    // The file is done with (its group is decided): what was read need not stay cached.
    virtual void Done() {}
    // The disk's turn of the read this file is part of (see platform::DiskTurn).
    virtual void SetTurn(platform::DiskTurn* turn) { (void)turn; }
};

// Opens a record's file for a joint read, checked to be the file the scan found: null with
// the error code (CFileRecord::ErrorCodeText) in *error otherwise.
using BlockOpener = std::function<std::unique_ptr<BlockSource>(const CFileRecord&, int* error)>;
// Files on the disk; `forgetAbove`: a file larger than this that had nothing in the page cache
// (past its first block) when it was opened is advised out of it once compared, so that one
// search does not push everything else out of the cache.
BlockOpener DiskBlockOpener(std::int64_t forgetAbove = std::int64_t{8} << 20);

// A file whose whole bytes its first look kept (read and checked to the end on one open handle,
// see DetailsRequest::keepInto): served from `bytes` (the record's size of them) instead of
// opened again. The file is only asked, by its path, whether it is still the scanned file with
// its scanned size and last-write time: null with the error code in *error when it is not.
std::unique_ptr<BlockSource> KeptBlockSource(const CFileRecord& record,
                                             const unsigned char* bytes, int* error);

// XXH3-128 of a file's whole contents.
struct ContentHash {
    std::uint64_t high = 0, low = 0;
    bool operator==(const ContentHash& o) const { return high == o.high && low == o.low; }
};

class JointReader {
public:
    // One file to read: the name it is read under first, then the further names of the same
    // file (hard links), each tried in turn when the file cannot be opened under the one before.
    struct File {
        CFileRecord* record = nullptr;
        std::vector<CFileRecord*> otherNames;
    };

    // `maxOpen`: at most this many files are open at once; a class of more is read in turns,
    // each file opened again (and checked again) where it was left.
    JointReader(BlockOpener open, std::size_t maxOpen = 64);

    // Reads `files` (records of one size, each a different file) together. Returns the groups
    // of two files or more whose bytes are all equal (in no particular order), each in the
    // order of `files`, as the records they were read under; each listed record has the CRC-32 and byte sum of its
    // whole contents. A name that could not be read is marked unreadable with its reason (its
    // file is read under its next name, if any); a file cut short, grown or changed during the
    // read is too. `stop` (may be empty) is asked after every block: true ends the read and
    // Read returns false. `bytesRead` (may be null) counts the bytes read as they come.
    // `hashes` (may be null): the XXH3-128 of each group's contents, in the order of `groups`,
    // from the same blocks. With `hashes`, a file left alone by the others is read to its end
    // too, and `lone` (then not null) gets its whole CRC-32, byte sum and hash: a later search
    // can then tell it apart without a read.
    struct Lone {
        CFileRecord* record = nullptr;
        std::uint32_t crc = 0, sum = 0;
        ContentHash hash;
    };
    bool Read(const std::vector<File>& files, const std::function<bool()>& stop,
              std::atomic<std::uint64_t>* bytesRead,
              std::vector<std::vector<CFileRecord*>>* groups,
              std::vector<ContentHash>* hashes = nullptr, std::vector<Lone>* lone = nullptr);

private:
    BlockOpener m_open;
    std::size_t m_maxOpen;
};
