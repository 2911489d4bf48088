#include "platform/file_find.h"
#include "platform/win32/win32.h"

namespace platform {

namespace {

// Reparse points (symbolic links, junctions) are never followed or read, like links on POSIX.
bool IsReported(const WIN32_FIND_DATAA& w) {
    return (w.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 ||
           std::string(w.cFileName) == "." || std::string(w.cFileName) == "..";
}

void Fill(const WIN32_FIND_DATAA& w, FindData* out) {
    out->dwFileAttributes = w.dwFileAttributes;
    out->ftCreationTime = FromWinFileTime(w.ftCreationTime);
    out->ftLastAccessTime = FromWinFileTime(w.ftLastAccessTime);
    out->ftLastWriteTime = FromWinFileTime(w.ftLastWriteTime);
    out->nFileSizeHigh = w.nFileSizeHigh;
    out->nFileSizeLow = w.nFileSizeLow;
    out->cFileName = w.cFileName;
    out->nDevice = 0;
    out->nInode = 0;
}

}  // namespace

struct FileFinder::Impl {
    HANDLE handle = INVALID_HANDLE_VALUE;
};

FileFinder::FileFinder() : m_impl(new Impl) {}

FileFinder::~FileFinder() { Close(); }

void FileFinder::Close() {
    if (m_impl->handle != INVALID_HANDLE_VALUE) {
        ::FindClose(m_impl->handle);
        m_impl->handle = INVALID_HANDLE_VALUE;
    }
}

bool FileFinder::First(const std::string& folder) {
    Close();
    WIN32_FIND_DATAA w;
    m_error = 0;
    m_impl->handle = ::FindFirstFileA((folder + "*").c_str(), &w);
    if (m_impl->handle == INVALID_HANDLE_VALUE) {
        // Every folder but a drive root lists "." and "..": "no file" means nothing is there.
        const DWORD error = ::GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_NO_MORE_FILES)
            m_error = static_cast<int>(error);
        return false;
    }
    if (IsReported(w)) {
        Fill(w, &m_data);
        return true;
    }
    return Next();
}

bool FileFinder::Next() {
    if (m_impl->handle == INVALID_HANDLE_VALUE) return false;
    WIN32_FIND_DATAA w;
    while (::FindNextFileA(m_impl->handle, &w)) {
        if (!IsReported(w)) continue;
        Fill(w, &m_data);
        return true;
    }
    return false;
}

std::uint32_t GetFileAttributes(const std::string& path) {
    const DWORD attrs = ::GetFileAttributesA(path.c_str());
    return attrs == INVALID_FILE_ATTRIBUTES ? kInvalidFileAttributes : attrs;
}

}  // namespace platform
