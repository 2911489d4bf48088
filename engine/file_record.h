// One scanned file: where it is, what the file system says of it, and its content
// fingerprints once the duplicate search has asked for them.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/file_find.h"
#include "platform/file_identity.h"
#include "platform/file_time.h"

// Which fingerprints ComputeDetails computes. Each search (or caller) holds its own request;
// the duplicate search asks for both.
struct DetailsRequest {
    int g_bComputeChecksum = 1;
    int g_bComputeCrc = 1;
    // Asked between blocks of a large file (may be empty): true stops the read, and the record
    // counts as not read.
    std::function<bool()> stop;
};

// Not a system code: the file is still there under its name, but its size or last-write time
// is not the one the scan found.
constexpr int kErrorChanged = -3;

class CFileRecord {
public:
    // `folder` ends in the platform separator; the record's path is folder + the found name.
    // Times are turned into local time; a creation or access time of 0 falls back to the last
    // write time.
    CFileRecord(const platform::FindData& findData, const std::string& folder);
    virtual ~CFileRecord() = default;

    // Computes the fingerprints `request` asks for, once. Folders and records of a negative
    // size are left alone. A file that cannot be read completely is marked unreadable.
    virtual void ComputeDetails(const DetailsRequest& request = DetailsRequest());

    // True when the last ComputeDetails could not read the whole file (it could not be opened,
    // a read failed, or the byte count differs from the size found by the scan). Such a record
    // must never be taken for a duplicate: its fingerprints describe no real contents.
    bool IsUnreadable() const { return m_bUnreadable; }
    // Why the file could not be read, in the system's words (or the program's own where the
    // file was changed or replaced since the scan).
    std::string ReadErrorText() const;
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
    bool DetailsKnown() const { return m_bDetailsKnown; }
    const std::string& Path() const { return m_strPath; }

    std::uint32_t m_dwAttributes = 0;
    platform::FileTime m_ftCreated = 0;   // local time
    platform::FileTime m_ftAccessed = 0;  // local time
    platform::FileTime m_ftWritten = 0;   // local time: the time the result list shows
    std::int64_t m_nSize = 0;
    std::uint32_t m_dwChecksum = 0;       // byte sum; 0 = not computed
    std::uint32_t m_dwCrc = 0;            // CRC-32; 0 = not computed
    std::string m_strPath;

    // Identity and state at scan time, to tell hard links and overlapping start paths apart
    // and to check a file again before acting on it. On Windows the scan gives no identity:
    // the volume serial and file index are taken when the file is first read.
    platform::FileTime m_ftWrittenUtc = 0;
    std::uint64_t m_nDevice = 0;
    std::uint64_t m_nInode = 0;

protected:
    // The error code of the failed read (see ErrorCodeText); 0 when it did not fail.
    int m_nReadError = 0;
    bool m_bUnreadable = false;
    bool m_bDetailsKnown = false;
};
