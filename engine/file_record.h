// One scanned file: where it is, what the file system says of it, and its content
// fingerprints once the duplicate search has asked for them.
#pragma once

#include <cstdint>
#include <string>

#include "platform/file_find.h"
#include "platform/file_time.h"

// Which fingerprints ComputeDetails computes. Each search (or caller) holds its own request;
// the duplicate search asks for both.
struct DetailsRequest {
    int g_bComputeChecksum = 1;
    int g_bComputeCrc = 1;
};

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
    // system reported no error: the size changed while it was read).
    std::string ReadErrorText() const;
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
    // and to check a file again before acting on it.
    platform::FileTime m_ftWrittenUtc = 0;
    std::uint64_t m_nDevice = 0;
    std::uint64_t m_nInode = 0;

protected:
    // The system's error code of the failed read (platform/error_text.h), or 0 when the read
    // itself succeeded but gave another byte count than the size found by the scan.
    int m_nReadError = 0;
    bool m_bUnreadable = false;
    bool m_bDetailsKnown = false;
};
