#include "engine/file_record.h"

#include "engine/checksum.h"
#include "engine/engine_strings.h"
#include "platform/error_text.h"
#include "platform/file_reader.h"

namespace {

platform::FileTime ToLocal(platform::FileTime utc) {
    platform::FileTime local = 0;
    return platform::FileTimeToLocalFileTime(utc, &local) ? local : 0;
}

}  // namespace

CFileRecord::CFileRecord(const platform::FindData& findData, const std::string& folder)
    : m_dwAttributes(findData.dwFileAttributes),
      m_ftCreated(ToLocal(findData.ftCreationTime)),
      m_ftAccessed(ToLocal(findData.ftLastAccessTime)),
      m_ftWritten(ToLocal(findData.ftLastWriteTime)),
      m_nSize(static_cast<std::int64_t>(
          (static_cast<std::uint64_t>(findData.nFileSizeHigh) << 32) | findData.nFileSizeLow)),
      m_strPath(folder + findData.cFileName),
      m_ftWrittenUtc(findData.ftLastWriteTime),
      m_nDevice(findData.nDevice),
      m_nInode(findData.nInode) {
    // A file system without creation (or access) times reports 0; show the write time instead.
    if (m_ftCreated == 0) m_ftCreated = m_ftWritten;
    if (m_ftAccessed == 0) m_ftAccessed = m_ftWritten;
}

void CFileRecord::ComputeDetails(const DetailsRequest& request) {
    if (!request.g_bComputeChecksum && !request.g_bComputeCrc) return;
    if (m_nSize < 0) return;
    if (m_bDetailsKnown) return;
    if (m_dwAttributes & platform::kAttrDirectory) return;
    m_dwChecksum = 0;
    m_dwCrc = 0;
    m_bUnreadable = true;
    platform::FileReader reader;
    if (!reader.Open(m_strPath)) {
        m_nReadError = platform::LastErrorCode();
        m_bDetailsKnown = true;
        return;
    }
    // A file that is not the one the scan found (swapped, or changed since) is never paired.
    m_nReadError = CheckIdentity(reader.Identity());
    if (m_nReadError == 0 && !HasIdentity()) {
        m_nDevice = reader.Identity().device;
        m_nInode = reader.Identity().inode;
    }
    std::uint64_t bytesRead = 0;
    if (m_nReadError == 0) {
        const std::uint64_t size = static_cast<std::uint64_t>(m_nSize);
        m_nReadError = ReadFingerprints(reader, size,
                                        request.g_bComputeChecksum ? &m_dwChecksum : nullptr,
                                        request.g_bComputeCrc ? &m_dwCrc : nullptr, &bytesRead,
                                        request.stop);
        if (m_nReadError == -1) return;  // stopped: neither known nor read
        if (m_nReadError == 0 && bytesRead != size) m_nReadError = kErrorChanged;
    }
    m_bUnreadable = m_nReadError != 0;
    m_bDetailsKnown = true;
}

int CFileRecord::CheckIdentity(const platform::FileIdentity& identity) const {
    if (HasIdentity() && (identity.device != m_nDevice || identity.inode != m_nInode))
        return platform::kErrorReplaced;
    if (identity.size != static_cast<std::uint64_t>(m_nSize) || identity.lastWrite != m_ftWrittenUtc)
        return kErrorChanged;
    return 0;
}

std::string CFileRecord::ErrorCodeText(int code) {
    if (code == kErrorChanged) return LoadStringText(IDS_FILE_CHANGED);
    if (code == platform::kErrorReplaced) return LoadStringText(IDS_FILE_REPLACED);
    return platform::ErrorText(code);
}

std::string CFileRecord::ReadErrorText() const { return ErrorCodeText(m_nReadError); }
