#include "platform/error_text.h"
#include "platform/file_find.h"
#include "platform/win32/win32.h"

namespace platform {

namespace {

// Reparse points (symbolic links, junctions) are never followed or read, like links on POSIX.
bool IsReported(const WIN32_FIND_DATAW& w) {
    return (w.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0 ||
           std::wstring(w.cFileName) == L"." || std::wstring(w.cFileName) == L"..";
}

void Fill(const WIN32_FIND_DATAW& w, FindData* out) {
    out->dwFileAttributes = w.dwFileAttributes;
    out->ftCreationTime = FromWinFileTime(w.ftCreationTime);
    out->ftLastAccessTime = FromWinFileTime(w.ftLastAccessTime);
    out->ftLastWriteTime = FromWinFileTime(w.ftLastWriteTime);
    out->nFileSize = (static_cast<std::uint64_t>(w.nFileSizeHigh) << 32) | w.nFileSizeLow;
    out->cFileName = Narrow(w.cFileName);
    out->nDevice = 0;
    out->nInode = 0;
}

}  // namespace

// The listing brings every entry's facts with its name: nothing to share out.
struct StatHelper::Impl {};

StatHelper::StatHelper() : m_impl(new Impl) {}

StatHelper::~StatHelper() = default;

struct FileFinder::Impl {
    HANDLE handle = INVALID_HANDLE_VALUE;
};

FileFinder::FileFinder(StatHelper* helper) : m_impl(new Impl), m_helper(helper) {}

FileFinder::~FileFinder() { Close(); }

void FileFinder::Close() {
    if (m_impl->handle != INVALID_HANDLE_VALUE) {
        ::FindClose(m_impl->handle);
        m_impl->handle = INVALID_HANDLE_VALUE;
    }
}

bool FileFinder::First(const std::string& folder) {
    Close();
    WIN32_FIND_DATAW w;
    m_error = 0;
    m_impl->handle = ::FindFirstFileW(FilePath(folder + "*").c_str(), &w);
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

bool FileFinder::First(const FolderHandle& folder) { return First(folder.m_path); }

bool FileFinder::Next() {
    if (m_impl->handle == INVALID_HANDLE_VALUE) return false;
    WIN32_FIND_DATAW w;
    while (::FindNextFileW(m_impl->handle, &w)) {
        if (!IsReported(w)) continue;
        Fill(w, &m_data);
        return true;
    }
    return false;
}

FolderHandle::~FolderHandle() = default;

namespace {

// Whether `path` is a folder that is no reparse point (link, junction), asked of the folder
// itself, opened without following one. 0 when it is, else the error code.
int CheckRealFolder(const std::string& path) {
    HANDLE h = ::CreateFileW(FilePath(path).c_str(), FILE_READ_ATTRIBUTES,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING,
                             FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) return static_cast<int>(::GetLastError());
    BY_HANDLE_FILE_INFORMATION info;
    const BOOL ok = ::GetFileInformationByHandle(h, &info);
    const DWORD error = ::GetLastError();
    ::CloseHandle(h);
    if (!ok) return static_cast<int>(error);
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return ERROR_DIRECTORY;
    if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) return kErrorReplaced;
    return 0;
}

}  // namespace

std::unique_ptr<FolderHandle> FolderHandle::OpenStart(const std::string& path, int* error) {
    // The start folder as the user named it: a drive root or a share is opened as it stands.
    const DWORD attrs = ::GetFileAttributesW(FilePath(path).c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES) {
        *error = static_cast<int>(::GetLastError());
        return nullptr;
    }
    if ((attrs & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        *error = ERROR_DIRECTORY;
        return nullptr;
    }
    std::unique_ptr<FolderHandle> handle(new FolderHandle);
    handle->m_path = path;
    return handle;
}

std::unique_ptr<FolderHandle> FolderHandle::OpenSub(const FindData&, const std::string& path,
                                                    int* error) const {
    // The listing leaves reparse points out; one swapped in since is refused here.
    const int check = CheckRealFolder(path);
    if (check != 0) {
        *error = check;
        return nullptr;
    }
    std::unique_ptr<FolderHandle> handle(new FolderHandle);
    handle->m_path = path;
    return handle;
}

bool FolderHandle::IsVirtualFileSystem() const { return false; }

std::uint32_t GetFileAttributes(const std::string& path) {
    const DWORD attrs = ::GetFileAttributesW(FilePath(path).c_str());
    return attrs == INVALID_FILE_ATTRIBUTES ? kInvalidFileAttributes : attrs;
}

}  // namespace platform
