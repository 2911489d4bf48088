#include "platform/file_replace.h"
#include "platform/win32/win32.h"

namespace platform {

bool ReplaceFileContents(const std::string& path, const std::string& contents, int* errorCode) {
    *errorCode = 0;
    if (path.empty()) {
        *errorCode = ERROR_PATH_NOT_FOUND;
        return false;
    }
    const std::wstring target = FilePath(path);
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ||
            (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
            *errorCode = ERROR_ACCESS_DENIED;
            return false;
        }
        // Held open without sharing by another program: refused now, not after the write.
        HANDLE probe = ::CreateFileW(target.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (probe == INVALID_HANDLE_VALUE) {
            *errorCode = static_cast<int>(::GetLastError());
            return false;
        }
        ::CloseHandle(probe);
    }

    const std::string::size_type slash = path.find_last_of("\\/");
    std::string folder = slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
    // The temporary name is the folder's with a short name of the system's choosing in it.
    wchar_t name[MAX_PATH + 1] = {};
    if (::GetTempFileNameW(FilePath(folder).c_str(), L"pst", 0, name) == 0) {
        *errorCode = static_cast<int>(::GetLastError());
        return false;
    }
    const std::wstring temp = name;
    HANDLE file = ::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    bool ok = file != INVALID_HANDLE_VALUE;
    DWORD error = ok ? 0 : ::GetLastError();
    const char* p = contents.data();
    std::size_t left = contents.size();
    while (ok && left > 0) {
        const DWORD chunk = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
        DWORD written = 0;
        if (!::WriteFile(file, p, chunk, &written, nullptr) || written == 0) {
            ok = false;
            error = ::GetLastError();
        }
        p += written;
        left -= written;
    }
    if (ok && !::FlushFileBuffers(file)) {
        ok = false;
        error = ::GetLastError();
    }
    if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
    if (ok && !::MoveFileExW(temp.c_str(), target.c_str(),
                             MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ok = false;
        error = ::GetLastError();
    }
    if (!ok) {
        ::DeleteFileW(temp.c_str());
        *errorCode = error != 0 ? static_cast<int>(error) : ERROR_WRITE_FAULT;
    }
    return ok;
}

}  // namespace platform
