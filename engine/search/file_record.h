// One scanned file: where it is, what the file system says of it, and its content
// fingerprints once the duplicate search has asked for them.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "platform/error_text.h"
#include "platform/file_find.h"
#include "platform/file_identity.h"
#include "platform/file_time.h"

namespace platform {
class DiskTurn;
}

// Which fingerprints ComputeDetails computes. Each search (or caller) holds its own request;
// the duplicate search asks for both.
struct DetailsRequest {
    int g_bComputeChecksum = 1;
    int g_bComputeCrc = 1;
    // Asked between blocks of a large file (may be empty): true stops the read, and the record
    // counts as not read.
    std::function<bool()> stop;
    // Read only the first kFirstBlockSize bytes: enough to tell most files of one size apart.
    // A file no longer than that is read whole and its fingerprints are known; for a longer
    // one the fingerprints hold those of its first block (see FirstBlockOnly) until it is
    // asked for again without this.
    bool firstBlock = false;
    // A file read whole (no longer than the first block) may have its bytes kept to stand in
    // for a later read of it: `keepInto` (room for the file's size) receives them, and the open
    // file is checked at its end as that read checks it (still the scanned identity, size and
    // last-write time, nothing past its size). *kept becomes true only when all of that held.
    unsigned char* keepInto = nullptr;
    bool* kept = nullptr;
    // A first look at a file longer than the first block writes here (if not null) where the
    // file's first extent lies on its disk (0: not told), for its later read to go in disk order.
    std::uint64_t* place = nullptr;
    // The disk's turn of this read's work (null: reads need none), see platform::DiskTurn.
    platform::DiskTurn* turn = nullptr;
};

// The path of one folder and the names of the records found in it, kept once for all of them
// (a walk of a million files would otherwise keep a million copies of its folders' paths).
// Names are only added while the folder is read; after that it is not changed.
class FolderNames {
public:
    explicit FolderNames(std::string folder) : m_folder(std::move(folder)) {}
    const std::string& Folder() const { return m_folder; }
    // Adds `name`; returns where it starts.
    std::size_t Add(const std::string& name) {
        const std::size_t at = m_names.size();
        m_names += name;
        return at;
    }
    std::size_t Size() const { return m_names.size(); }
    const char* At(std::size_t offset) const { return m_names.data() + offset; }
    // Gives back what the names were given to grow.
    void Done() { m_names.shrink_to_fit(); }

private:
    friend class FolderRef;
    std::string m_folder;
    std::string m_names;
    std::atomic<std::uint32_t> m_holders{0};  // the FolderRefs that hold it
};

// Shared ownership of a FolderNames by the records of its folder: the last one to go deletes it.
// Counted in the FolderNames itself, so that a record holds one pointer (a shared_ptr would be
// two; a record is made per file, and those eight bytes take it past a 96-byte heap block).
class FolderRef {
public:
    FolderRef() = default;
    explicit FolderRef(std::unique_ptr<FolderNames> names) : m_p(names.release()) { Hold(); }
    FolderRef(const FolderRef& other) : m_p(other.m_p) { Hold(); }
    FolderRef(FolderRef&& other) noexcept : m_p(other.m_p) { other.m_p = nullptr; }
    FolderRef& operator=(FolderRef other) noexcept {
        std::swap(m_p, other.m_p);
        return *this;
    }
    ~FolderRef() {
        if (m_p != nullptr && m_p->m_holders.fetch_sub(1, std::memory_order_acq_rel) == 1)
            std::unique_ptr<FolderNames> last(m_p);
    }
    FolderNames* operator->() const { return m_p; }
    FolderNames& operator*() const { return *m_p; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    void Hold() {
        if (m_p != nullptr) m_p->m_holders.fetch_add(1, std::memory_order_relaxed);
    }
    FolderNames* m_p = nullptr;
};

// Which file a record names: its device and inode (Windows: volume serial and file index).
// Two records of one identity are one file (hard links, overlapping start paths). {0, 0} is
// not known (the Windows scan gives none before the file is read).
struct FileId {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    bool Known() const { return device != 0 || inode != 0; }
    bool operator==(const FileId& o) const { return device == o.device && inode == o.inode; }
    bool operator!=(const FileId& o) const { return !(*this == o); }
};

struct FileIdHash {
    std::size_t operator()(const FileId& id) const {
        return std::hash<std::uint64_t>()(id.inode * 0x9E3779B97F4A7C15ULL ^ id.device);
    }
};

// How much of a file the first look at it reads: one page.
constexpr std::int64_t kFirstBlockSize = 4096;

// Not a system code: the file is still there under its name, but its size or last-write time
// is not the one the scan found.
constexpr int kErrorChanged = platform::kErrorChanged;

class CFileRecord {
public:
    // `folder` ends in the platform separator; the record's path is folder + the found name.
    // Times are turned into local time; a creation or access time of 0 falls back to the last
    // write time.
    CFileRecord(const platform::FindData& findData, const std::string& folder);
    // The same with the folder and names shared by every record of that folder (never null;
    // the found name is added to it).
    CFileRecord(const platform::FindData& findData, FolderRef folder);

    // Computes the fingerprints `request` asks for, once. Folders and records of a negative
    // size are left alone. A file that cannot be read completely is marked unreadable.
    void ComputeDetails(const DetailsRequest& request = DetailsRequest());
    // Keeps what a read of the file found: its fingerprints (of the first block only, or of the
    // whole file) and its error code (0: read completely). ComputeDetails ends here; a reader
    // that stands in for the disk (tests) calls it too.
    void SetDetails(std::uint32_t crc, std::uint32_t checksum, bool firstBlockOnly, int readError);

    // True when the last ComputeDetails could not read the whole file (it could not be opened,
    // a read failed, or the byte count differs from the size found by the scan). Such a record
    // must never be taken for a duplicate: its fingerprints describe no real contents.
    bool IsUnreadable() const { return m_bUnreadable; }
    // Why the file could not be read, in the system's words (or the program's own where the
    // file was changed or replaced since the scan).
    std::string ReadErrorText() const;
    // The code ReadErrorText tells of (0: read completely or not read).
    int ReadErrorCode() const { return m_nReadError; }
    // The text of an error code of the read and check functions (system codes,
    // platform::kErrorReplaced, kErrorChanged).
    static std::string ErrorCodeText(int code);

    // Whether `identity` (of the file now open under this record's path) is the file the scan
    // found: 0 when it is; platform::kErrorReplaced when another file stands there (other device
    // or inode); kErrorChanged when its size or last-write time changed. A record without an
    // identity (the Windows scan has none) checks size and time only.
    int CheckIdentity(const platform::FileIdentity& identity) const;
    // Marks the file as not readable completely (a later check found it changed), with the
    // error code of that check; it is never paired from then on.
    void MarkUnreadable(int code) {
        m_bUnreadable = true;
        m_nReadError = code;
    }
    // True when the record knows its file's identity (device and inode).
    bool HasIdentity() const { return m_nDevice != 0 || m_nInode != 0; }
    FileId Identity() const { return {m_nDevice, m_nInode}; }
    // True when both records know their identity and it is the same: one file.
    bool SameIdentity(const CFileRecord& other) const {
        return HasIdentity() && other.HasIdentity() && Identity() == other.Identity();
    }
    // Whether the record can pair with another at all: a file whose contents were read.
    bool CanPair() const {
        return !m_bUnreadable && (m_dwAttributes & platform::kAttrDirectory) == 0;
    }
    // Both fingerprints in one key: records of different keys have different contents.
    std::uint64_t FingerprintKey() const {
        return (static_cast<std::uint64_t>(m_dwCrc) << 32) | m_dwChecksum;
    }
    bool DetailsKnown() const { return m_bDetailsKnown; }
    // True when the fingerprints are those of the first block only (a first look at a file
    // longer than kFirstBlockSize); they then tell other contents apart but are shown nowhere.
    bool FirstBlockOnly() const { return m_bFirstBlockOnly; }
    // The full path: the folder (ending in the separator) and the name.
    std::string Path() const { return m_pFolder->Folder() + Name(); }
    const std::string& Folder() const { return m_pFolder->Folder(); }
    std::string Name() const { return std::string(m_pFolder->At(m_nNameAt), m_nNameLength); }

    std::uint32_t m_dwAttributes = 0;

private:
    // Here rather than below: it fills the gap before the times (a record is made per file).
    std::uint32_t m_nNameAt = 0;  // where the name starts in m_pFolder

public:
    platform::FileTime m_ftCreated = 0;   // local time
    platform::FileTime m_ftAccessed = 0;  // local time
    platform::FileTime m_ftWritten = 0;   // local time: the time the result list shows
    std::int64_t m_nSize = 0;
    std::uint32_t m_dwChecksum = 0;       // byte sum; 0 = not computed
    std::uint32_t m_dwCrc = 0;            // CRC-32; 0 = not computed

    // Identity and state at scan time, to tell hard links and overlapping start paths apart
    // and to check a file again before acting on it. On Windows the scan gives no identity:
    // the volume serial and file index are taken when the file is first read.
    platform::FileTime m_ftWrittenUtc = 0;
    std::uint64_t m_nDevice = 0;
    std::uint64_t m_nInode = 0;

private:
    // The error code of the failed read (see ErrorCodeText); 0 when it did not fail.
    std::int32_t m_nReadError = 0;
    bool m_bUnreadable : 1;
    bool m_bDetailsKnown : 1;
    bool m_bFirstBlockOnly : 1;

    std::uint16_t m_nNameLength = 0;  // no file system allows longer names
    // The path is kept in two parts so that the files of one folder share its text.
    FolderRef m_pFolder;
};

// Reads a record's fingerprints as the request asks: CFileRecord::ComputeDetails, or (tests) a
// stand-in for the disk that ends with SetDetails.
using ContentReader = std::function<void(CFileRecord&, const DetailsRequest&)>;
ContentReader DiskContentReader();
