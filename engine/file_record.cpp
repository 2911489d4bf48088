#include "engine/file_record.h"

#include "engine/checksum.h"
#include "engine/engine_strings.h"
#include "platform/error_text.h"

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
    std::uint64_t bytesRead = 0;
    int error = 0;
    const bool ok = ChecksumFile(m_strPath, request.g_bComputeChecksum ? &m_dwChecksum : nullptr,
                                 request.g_bComputeCrc ? &m_dwCrc : nullptr, &bytesRead, &error);
    m_bUnreadable = !ok || bytesRead != static_cast<std::uint64_t>(m_nSize);
    m_nReadError = ok ? 0 : error;
    m_bDetailsKnown = true;
}

std::string CFileRecord::ReadErrorText() const {
    if (m_nReadError != 0) return platform::ErrorText(m_nReadError);
    return LoadStringText(IDS_FILE_CHANGED);
}
