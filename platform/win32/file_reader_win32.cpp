#include "platform/file_reader.h"
#include "platform/win32/win32.h"

namespace platform {

namespace {

// The identity of the open file `h`; false with the error set.
bool IdentityOf(HANDLE h, FileIdentity* identity) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(h, &info)) return false;
    identity->device = info.dwVolumeSerialNumber;
    identity->inode = (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    identity->size = (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    identity->lastWrite = FromWinFileTime(info.ftLastWriteTime);
    FILE_BASIC_INFO basic;
    identity->changed =
        ::GetFileInformationByHandleEx(h, FileBasicInfo, &basic, sizeof basic)
            ? static_cast<FileTime>(basic.ChangeTime.QuadPart)
            : 0;
    return true;
}

// Opens `path` for reading (or only its attributes), without following a reparse point, and
// reads its identity. INVALID_HANDLE_VALUE with the error set for anything but a regular file.
HANDLE OpenRegular(const std::string& path, DWORD access, FileIdentity* identity,
                   DWORD readHint = FILE_FLAG_SEQUENTIAL_SCAN) {
    // Shared with every kind of access, so files that other programs hold open can be read.
    HANDLE h = ::CreateFileW(FilePath(path).c_str(), access,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING,
                             readHint | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) return h;
    BY_HANDLE_FILE_INFORMATION info;
    if (::GetFileType(h) != FILE_TYPE_DISK || !::GetFileInformationByHandle(h, &info) ||
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))) {
        const DWORD error = ::GetLastError();
        ::CloseHandle(h);
        ::SetLastError(error != ERROR_SUCCESS ? error : ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    if (!IdentityOf(h, identity)) {
        const DWORD error = ::GetLastError();
        ::CloseHandle(h);
        ::SetLastError(error);
        return INVALID_HANDLE_VALUE;
    }
    return h;
}

}  // namespace

bool QueryFileIdentity(const std::string& path, FileIdentity* out, int* error) {
    HANDLE h = OpenRegular(path, FILE_READ_ATTRIBUTES, out);
    if (h == INVALID_HANDLE_VALUE) {
        if (error != nullptr) *error = static_cast<int>(::GetLastError());
        return false;
    }
    ::CloseHandle(h);
    return true;
}

// Identities are asked of an open handle here: the name alone does not tell the file index.
bool QueryNameIdentity(const std::string& path, FileIdentity* out, int* error) {
    return QueryFileIdentity(path, out, error);
}

FileReader::~FileReader() { Close(); }

bool FileReader::Open(const std::string& path, bool wholeFile) {
    Close();
    HANDLE h = OpenRegular(path, GENERIC_READ, &m_identity,
                           wholeFile ? FILE_FLAG_SEQUENTIAL_SCAN : FILE_FLAG_RANDOM_ACCESS);
    if (h == INVALID_HANDLE_VALUE) return false;
    m_handle = h;
    return true;
}

long FileReader::Read(void* buffer, std::size_t size) {
    if (m_handle == nullptr) return -1;
    // Nothing here tells a read from memory beforehand: every read waits for its turn.
    if (m_turn != nullptr && !m_turn->Held()) m_turn->Take();
    DWORD got = 0;
    if (!::ReadFile(static_cast<HANDLE>(m_handle), buffer, static_cast<DWORD>(size), &got,
                    nullptr))
        return -1;
    return static_cast<long>(got);
}

bool FileReader::Current(FileIdentity* out) const {
    if (m_handle == nullptr) {
        ::SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    return IdentityOf(static_cast<HANDLE>(m_handle), out);
}

bool FileReader::Rewind() {
    LARGE_INTEGER zero = {};
    return m_handle != nullptr &&
           ::SetFilePointerEx(static_cast<HANDLE>(m_handle), zero, nullptr, FILE_BEGIN) != 0;
}

bool FileReader::Seek(std::uint64_t offset) {
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    return m_handle != nullptr &&
           ::SetFilePointerEx(static_cast<HANDLE>(m_handle), to, nullptr, FILE_BEGIN) != 0;
}

// The system keeps its own cache policy for files opened for a sequential scan.
void FileReader::ForgetCachedPages() {}

bool FileReader::CachedFrom(std::uint64_t) const { return true; }

// Not asked of the system here: the files are read in the order of their identities.
std::uint64_t FileReader::FirstPlaceOnDisk() const { return 0; }

void FileReader::Close() {
    if (m_handle != nullptr) {
        ::CloseHandle(static_cast<HANDLE>(m_handle));
        m_handle = nullptr;
    }
}

}  // namespace platform
