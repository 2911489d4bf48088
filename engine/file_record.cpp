#include "engine/file_record.h"

#include "engine/checksum.h"

int g_bComputeChecksum = 0;
int g_bComputeCrc = 0;

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

void CFileRecord::ComputeDetails() {
    if (!g_bComputeChecksum && !g_bComputeCrc) return;
    if (m_nSize < 0) return;
    if (m_bDetailsKnown) return;
    if (m_dwAttributes & platform::kAttrDirectory) return;
    m_dwChecksum = 0;
    m_dwCrc = 0;
    std::uint64_t bytesRead = 0;
    const bool ok = ChecksumFile(m_strPath, g_bComputeChecksum ? &m_dwChecksum : nullptr,
                                 g_bComputeCrc ? &m_dwCrc : nullptr, &bytesRead);
    m_bUnreadable = !ok || bytesRead != static_cast<std::uint64_t>(m_nSize);
    m_bDetailsKnown = true;
}
