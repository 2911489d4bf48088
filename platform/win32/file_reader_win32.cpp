#include "platform/file_reader.h"
#include "platform/win32/win32.h"

namespace platform {

FileReader::~FileReader() { Close(); }

bool FileReader::Open(const std::string& path) {
    Close();
    // Shared with every kind of access, so files that other programs hold open can be read.
    HANDLE h = ::CreateFileA(path.c_str(), GENERIC_READ,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size;
    if (::GetFileType(h) != FILE_TYPE_DISK || !::GetFileSizeEx(h, &size)) {
        ::CloseHandle(h);
        return false;
    }
    m_size = static_cast<std::uint64_t>(size.QuadPart);
    m_handle = h;
    return true;
}

long FileReader::Read(void* buffer, std::size_t size) {
    if (m_handle == nullptr) return -1;
    DWORD got = 0;
    if (!::ReadFile(static_cast<HANDLE>(m_handle), buffer, static_cast<DWORD>(size), &got,
                    nullptr))
        return -1;
    return static_cast<long>(got);
}

void FileReader::Close() {
    if (m_handle != nullptr) {
        ::CloseHandle(static_cast<HANDLE>(m_handle));
        m_handle = nullptr;
    }
}

}  // namespace platform
