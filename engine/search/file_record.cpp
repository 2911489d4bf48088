#include "engine/search/file_record.h"

#include "engine/search/checksum.h"
#include "engine/search/file_check.h"
#include "engine/text/string_table.h"
#include "platform/error_text.h"
#include "platform/file_reader.h"

namespace {

platform::FileTime ToLocal(platform::FileTime utc) {
    platform::FileTime local = 0;
    return platform::FileTimeToLocalFileTime(utc, &local) ? local : 0;
}

}  // namespace

CFileRecord::CFileRecord(const platform::FindData& findData, const std::string& folder)
    : CFileRecord(findData, FolderRef(std::make_unique<FolderNames>(folder))) {}

CFileRecord::CFileRecord(const platform::FindData& findData, FolderRef folder)
    : m_dwAttributes(findData.dwFileAttributes),
      m_ftCreated(ToLocal(findData.ftCreationTime)),
      m_ftAccessed(ToLocal(findData.ftLastAccessTime)),
      m_ftWritten(ToLocal(findData.ftLastWriteTime)),
      m_nSize(static_cast<std::int64_t>(findData.nFileSize)),
      m_ftWrittenUtc(findData.ftLastWriteTime),
      m_nDevice(findData.nDevice),
      m_nInode(findData.nInode),
      m_bUnreadable(false),
      m_bDetailsKnown(false),
      m_bFirstBlockOnly(false),
      m_nNameLength(static_cast<std::uint16_t>(findData.cFileName.size())),
      m_pFolder(std::move(folder)) {
    m_nNameAt = static_cast<std::uint32_t>(m_pFolder->Add(findData.cFileName));
    // A file system without creation (or access) times reports 0; show the write time instead.
    if (m_ftCreated == 0) m_ftCreated = m_ftWritten;
    if (m_ftAccessed == 0) m_ftAccessed = m_ftWritten;
}

void CFileRecord::ComputeDetails(const DetailsRequest& request) {
    if (!request.g_bComputeChecksum && !request.g_bComputeCrc) return;
    if (m_nSize < 0) return;
    if (m_bDetailsKnown) return;
    if (m_dwAttributes & platform::kAttrDirectory) return;
    const std::uint64_t size = static_cast<std::uint64_t>(m_nSize);
    const bool wholeFile = !request.firstBlock || m_nSize <= kFirstBlockSize;
    if (!wholeFile && m_bFirstBlockOnly) return;  // the first block is known already
    m_dwChecksum = 0;
    m_dwCrc = 0;
    m_bUnreadable = true;
    m_bFirstBlockOnly = false;
    platform::FileReader reader;
    reader.SetTurn(request.turn);
    if (!reader.Open(Path(), wholeFile)) {
        SetDetails(0, 0, false, platform::LastErrorCode());
        return;
    }
    // A file that is not the one the scan found (swapped, or changed since) is never paired.
    m_nReadError = CheckIdentity(reader.Identity());
    if (m_nReadError == 0 && !HasIdentity()) {
        m_nDevice = reader.Identity().device;
        m_nInode = reader.Identity().inode;
    }
    std::uint64_t bytesRead = 0;
    if (m_nReadError == 0 && !wholeFile && request.place != nullptr)
        *request.place = reader.FirstPlaceOnDisk();
    if (m_nReadError == 0) {
        const std::uint64_t want = wholeFile ? size : static_cast<std::uint64_t>(kFirstBlockSize);
        // The first look fills both fingerprints whatever the request: together they tell
        // more files apart, and they are never shown.
        const bool sum = request.g_bComputeChecksum || !wholeFile;
        const bool crc = request.g_bComputeCrc || !wholeFile;
        const bool keep = wholeFile && request.keepInto != nullptr && request.kept != nullptr;
        bool endSeen = false;
        m_nReadError = ReadFingerprints(reader, want, sum ? &m_dwChecksum : nullptr,
                                        crc ? &m_dwCrc : nullptr, &bytesRead, request.stop,
                                        keep ? request.keepInto : nullptr,
                                        keep ? &endSeen : nullptr);
        if (m_nReadError == -1) return;  // stopped: neither known nor read
        if (m_nReadError == 0 && bytesRead != want) m_nReadError = kErrorChanged;
        // Kept bytes are compared in place of the file's: it must have been the scanned file,
        // unchanged, to its end while they were read. A read that came short saw the end, and
        // the name is asked again when they are compared (KeptBlockSource), after the read: a
        // file changed or replaced since it was opened is refused there. Only a read that
        // ended at the limit must still ask the open file.
        if (keep && m_nReadError == 0) {
            if (!endSeen) m_nReadError = CheckOpenFileEnd(*this, reader);
            *request.kept = m_nReadError == 0;
        }
    }
    SetDetails(m_dwCrc, m_dwChecksum, !wholeFile, m_nReadError);
}

void CFileRecord::SetDetails(std::uint32_t crc, std::uint32_t checksum, bool firstBlockOnly,
                             int readError) {
    m_dwCrc = crc;
    m_dwChecksum = checksum;
    m_nReadError = readError;
    m_bUnreadable = readError != 0;
    m_bFirstBlockOnly = firstBlockOnly && readError == 0;
    m_bDetailsKnown = !m_bFirstBlockOnly;
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
    if (code == platform::kErrorLocked) return LoadStringText(IDS_FILE_LOCKED);
    if (code == platform::kErrorTooLongForTrash) return LoadStringText(IDS_TRASH_PATH_TOO_LONG);
    return platform::ErrorText(code);
}

std::string CFileRecord::ReadErrorText() const { return ErrorCodeText(m_nReadError); }

ContentReader DiskContentReader() {
    return [](CFileRecord& record, const DetailsRequest& request) { record.ComputeDetails(request); };
}
