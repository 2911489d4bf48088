#include "platform/file_delete.h"
#include "platform/win32/win32.h"

#include <shellapi.h>

namespace platform {

namespace {

std::vector<std::string> StillThere(const std::vector<std::string>& paths) {
    std::vector<std::string> left;
    for (const std::string& path : paths)
        if (::GetFileAttributesW(FilePath(path).c_str()) != INVALID_FILE_ATTRIBUTES)
            left.push_back(path);
    return left;
}

}  // namespace

std::vector<std::string> DeleteFiles(const std::vector<std::string>& paths, unsigned flags) {
    // One operation for all files, so that the shell asks (when it asks) once. The shell
    // stops at the first file it cannot find, so files already gone are left out: they are
    // gone all the same. The list is zero-separated and ends in two zeros.
    // The shell takes no path of 260 characters or more: those go for good through the file
    // calls, and to the recycle bin not at all (they stay, and the caller says so).
    std::wstring from;
    for (const std::string& path : paths) {
        const std::wstring file = FilePath(path);
        if (::GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
        if (TooLongForShell(path)) {
            if ((flags & kDeleteToTrash) == 0) ::DeleteFileW(file.c_str());
            continue;
        }
        from += Wide(path);
        from += L'\0';
    }
    if (from.empty()) return StillThere(paths);
    from += L'\0';
    SHFILEOPSTRUCTW op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    FILEOP_FLAGS fof = 0;
    // A file the recycle bin cannot take (a network share, a drive without a bin, a file too
    // large for it) would otherwise be destroyed without a word, our "no confirmation"
    // included: the shell asks before it deletes such a file for good.
    if (flags & kDeleteToTrash) fof |= FOF_ALLOWUNDO | FOF_WANTNUKEWARNING;
    if (flags & kDeleteNoConfirmation) fof |= FOF_NOCONFIRMATION;
    if (flags & kDeleteSilent) fof |= FOF_SILENT;
    if (flags & kDeleteNoErrorUi) fof |= FOF_NOERRORUI;
    op.fFlags = fof;
    ::SHFileOperationW(&op);
    // The result tells neither which files failed nor whether the user stopped half way: ask
    // the file system what is still there.
    return StillThere(paths);
}

}  // namespace platform

namespace platform {

struct HeldFile::Impl {
    HANDLE remover = INVALID_HANDLE_VALUE;  // with delete access (a file to remove only)
    HANDLE pin = INVALID_HANDLE_VALUE;      // sharing no delete (a copy that stays only)
};

HeldFile::HeldFile() : m_impl(new Impl) {}

HeldFile::~HeldFile() { Close(); }

void HeldFile::Close() {
    m_reader.Close();
    if (m_impl->remover != INVALID_HANDLE_VALUE) ::CloseHandle(m_impl->remover);
    if (m_impl->pin != INVALID_HANDLE_VALUE) ::CloseHandle(m_impl->pin);
    m_impl->remover = m_impl->pin = INVALID_HANDLE_VALUE;
}

namespace {

// The volume serial and file index of the open file `h`, as one identity.
bool SameFile(HANDLE h, const FileIdentity& identity) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!::GetFileInformationByHandle(h, &info)) return false;
    const std::uint64_t index =
        (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return info.dwVolumeSerialNumber == identity.device && index == identity.inode;
}

}  // namespace

int HeldFile::Open(const std::string& path, Role role) {
    Close();
    m_path = path;
    m_trashed = false;
    if (!m_reader.Open(path)) return static_cast<int>(::GetLastError());
    // Windows has no advisory locks; share modes do the same here. A file to remove is held
    // with delete access; a copy that stays is held by a handle that shares no delete. Each
    // shuts the other out, in this program or another.
    // Neither shares writing: a program that has the file open for writing keeps it from
    // being held (a sharing violation), and none can open it for writing while it is held.
    HANDLE& h = role == kGoes ? m_impl->remover : m_impl->pin;
    h = ::CreateFileW(
        FilePath(path).c_str(),
        role == kGoes ? DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES : GENERIC_READ,
        FILE_SHARE_READ | (role == kGoes ? FILE_SHARE_DELETE : 0), nullptr,
        OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = ::GetLastError();
        return error == ERROR_SHARING_VIOLATION ? kErrorLocked : static_cast<int>(error);
    }
    if (!SameFile(h, m_reader.Identity())) return kErrorReplaced;
    return 0;
}

int HeldFile::CheckUnchanged(bool changeTimeMoves) {
    FileIdentity now;
    if (!m_reader.Current(&now)) return static_cast<int>(::GetLastError());
    const FileIdentity& then = m_reader.Identity();
    if (now.size != then.size || now.lastWrite != then.lastWrite ||
        (!changeTimeMoves && now.changed != then.changed))
        return kErrorChanged;
    FileIdentity named;
    int error = 0;
    if (!QueryFileIdentity(m_path, &named, &error)) return error;
    return named.device == then.device && named.inode == then.inode ? 0 : kErrorReplaced;
}

int HeldFile::Remove(bool toTrash, const Confirm& confirm) {
    if (m_impl->remover == INVALID_HANDLE_VALUE) return ERROR_INVALID_HANDLE;
    m_leftAt.clear();
    // The handles share no writing, and the copy's none deleting: checked right before the
    // act, the files cannot change under it.
    int checked = CheckUnchanged();
    if (checked == 0 && confirm) checked = confirm();
    if (checked != 0) return checked;
    if (!toTrash) {
        // Through the handle that was checked: whatever took its name is never touched.
        FILE_DISPOSITION_INFO disposition = {};
        disposition.DeleteFile = TRUE;
        if (!::SetFileInformationByHandle(m_impl->remover, FileDispositionInfo, &disposition,
                                          sizeof disposition)) {
            const DWORD error = ::GetLastError();
            // A read-only file is removed as the shell removes it: its attribute cleared first.
            FILE_BASIC_INFO basic;
            if (error != ERROR_ACCESS_DENIED ||
                !::GetFileInformationByHandleEx(m_impl->remover, FileBasicInfo, &basic,
                                                sizeof basic) ||
                (basic.FileAttributes & FILE_ATTRIBUTE_READONLY) == 0)
                return static_cast<int>(error);
            const DWORD attributes = basic.FileAttributes;
            basic.FileAttributes &= ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY);
            if (basic.FileAttributes == 0) basic.FileAttributes = FILE_ATTRIBUTE_NORMAL;
            basic.CreationTime.QuadPart = basic.LastAccessTime.QuadPart = 0;
            basic.LastWriteTime.QuadPart = basic.ChangeTime.QuadPart = 0;  // 0: left as they are
            if (!::SetFileInformationByHandle(m_impl->remover, FileBasicInfo, &basic, sizeof basic))
                return static_cast<int>(error);
            if (!::SetFileInformationByHandle(m_impl->remover, FileDispositionInfo, &disposition,
                                              sizeof disposition)) {
                const DWORD again = ::GetLastError();
                basic.FileAttributes = attributes;
                ::SetFileInformationByHandle(m_impl->remover, FileBasicInfo, &basic, sizeof basic);
                return static_cast<int>(again);
            }
        }
        Close();  // the file goes when its last handle closes
        return 0;
    }
    // The recycle bin is reached through the shell, by path: the file under the name must be
    // the held one right before it is handed over. The shell takes no long path: refused here,
    // in words of our own, rather than left to a shell that fails without saying why.
    if (TooLongForShell(m_path)) return kErrorTooLongForTrash;
    FileIdentity now;
    int error = 0;
    if (!QueryFileIdentity(m_path, &now, &error)) return error;
    if (now.device != m_reader.Identity().device || now.inode != m_reader.Identity().inode)
        return kErrorReplaced;
    if (!DeleteFiles({m_path},
                     kDeleteToTrash | kDeleteNoConfirmation | kDeleteSilent | kDeleteNoErrorUi)
             .empty())
        return ERROR_ACCESS_DENIED;
    m_trashed = true;
    // The bin's record names the full path; the file is found by it when it is restored.
    const std::wstring wide = Wide(m_path);
    std::wstring full(32768, L'\0');
    const DWORD length =
        ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), &full[0], nullptr);
    const FileIdentity& identity = m_reader.Identity();
    m_trashRecord = {length > 0 && length < full.size() ? Narrow(full.data(), length) : m_path,
                     std::string(), std::string(), identity.size, identity.lastWrite};
    return 0;
}

int HeldFile::Restore() { return ERROR_NOT_SUPPORTED; }

}  // namespace platform

#include <winioctl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#ifndef FILE_SUPPORTS_BLOCK_REFCOUNTING
#define FILE_SUPPORTS_BLOCK_REFCOUNTING 0x08000000
#endif
#ifndef FSCTL_DUPLICATE_EXTENTS_TO_FILE
#define FSCTL_DUPLICATE_EXTENTS_TO_FILE \
    CTL_CODE(FILE_DEVICE_FILE_SYSTEM, 209, METHOD_BUFFERED, FILE_WRITE_ACCESS)
#endif

namespace platform {

namespace {

struct DuplicateExtentsData {
    HANDLE FileHandle;
    LARGE_INTEGER SourceFileOffset;
    LARGE_INTEGER TargetFileOffset;
    LARGE_INTEGER ByteCount;
};

std::string ParentOf(const std::string& path) {
    const std::string::size_type at = path.find_last_of("\\/");
    return at == std::string::npos ? std::string(".") : path.substr(0, at);
}

std::string NameOf(const std::string& path) {
    const std::string::size_type at = path.find_last_of("\\/");
    return at == std::string::npos ? path : path.substr(at + 1);
}

// 0 when the file under `path` is the one of `identity`, else kErrorReplaced or the code.
int PathIs(const std::string& path, const FileIdentity& identity) {
    FileIdentity now;
    int error = 0;
    if (!QueryFileIdentity(path, &now, &error)) return error;
    return now.device == identity.device && now.inode == identity.inode ? 0 : kErrorReplaced;
}

// The cluster size of the volume holding `path`: extents are shared in whole clusters.
std::uint64_t ClusterSize(const std::string& path) {
    wchar_t root[MAX_PATH];
    DWORD sectors = 0, bytes = 0, freeClusters = 0, clusters = 0;
    if (!::GetVolumePathNameW(FilePath(path).c_str(), root, MAX_PATH) ||
        !::GetDiskFreeSpaceW(root, &sectors, &bytes, &freeClusters, &clusters))
        return 4096;
    return static_cast<std::uint64_t>(sectors) * bytes;
}

}  // namespace

int HeldFile::LinkFrom(HeldFile& source, const Confirm& confirm) {
    m_leftAt.clear();
    int code = CheckUnchanged();
    if (code == 0) code = source.CheckUnchanged();
    if (code == 0 && confirm) code = confirm();
    if (code != 0) return code;
    const std::string folder = ParentOf(m_path);
    std::string spare;
    for (int tries = 0;; ++tries) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".%08lx%04d.pairscout",
                      static_cast<unsigned long>(::GetTickCount()), tries);
        spare = folder + "\\." + NameOf(m_path).substr(0, 200) + suffix;
        if (::CreateHardLinkW(FilePath(spare).c_str(), FilePath(source.Path()).c_str(), nullptr))
            break;
        const DWORD error = ::GetLastError();
        if (error != ERROR_ALREADY_EXISTS || tries == 10) return static_cast<int>(error);
    }
    // The new name's file must be the compared one: a file put in the source's place between
    // the check and the link would otherwise win.
    code = PathIs(spare, source.Reader().Identity());
    if (code == 0) code = PathIs(m_path, m_reader.Identity());
    if (code == 0 && !::MoveFileExW(FilePath(spare).c_str(), FilePath(m_path).c_str(),
                                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        code = static_cast<int>(::GetLastError());
    if (code != 0) ::DeleteFileW(FilePath(spare).c_str());
    return code;
}

int HeldFile::ShareDataWith(HeldFile& source, std::uint64_t size) {
    if (source.m_impl->pin == INVALID_HANDLE_VALUE) return ERROR_INVALID_HANDLE;
    // A handle that may write the target, opened by path and checked to be the held file. The
    // held handle shares no writing, so it makes way; the new one shares none either.
    if (m_impl->remover != INVALID_HANDLE_VALUE) {
        ::CloseHandle(m_impl->remover);
        m_impl->remover = INVALID_HANDLE_VALUE;
    }
    HANDLE target = ::CreateFileW(FilePath(m_path).c_str(),
                                  GENERIC_READ | GENERIC_WRITE | FILE_WRITE_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (target == INVALID_HANDLE_VALUE) return static_cast<int>(::GetLastError());
    int code = SameFile(target, m_reader.Identity()) ? 0 : kErrorReplaced;
    FILE_BASIC_INFO times = {};
    if (code == 0 && !::GetFileInformationByHandleEx(target, FileBasicInfo, &times, sizeof times))
        code = static_cast<int>(::GetLastError());
    // Whole clusters, at most 4 GiB less a cluster a call; the last one may run past the end.
    const std::uint64_t cluster = ClusterSize(m_path);
    const std::uint64_t chunk = (0xFFFFFFFFull / cluster) * cluster;
    for (std::uint64_t at = 0; code == 0 && at < size; at += chunk) {
        const std::uint64_t left = std::min(chunk, size - at);
        DuplicateExtentsData data = {};
        data.FileHandle = source.m_impl->pin;
        data.SourceFileOffset.QuadPart = static_cast<LONGLONG>(at);
        data.TargetFileOffset.QuadPart = static_cast<LONGLONG>(at);
        data.ByteCount.QuadPart = static_cast<LONGLONG>((left + cluster - 1) / cluster * cluster);
        DWORD returned = 0;
        if (!::DeviceIoControl(target, FSCTL_DUPLICATE_EXTENTS_TO_FILE, &data, sizeof data, nullptr,
                               0, &returned, nullptr))
            code = static_cast<int>(::GetLastError());
    }
    // The file keeps its own times: sharing blocks changes none of its contents.
    if (code == 0) {
        times.ChangeTime.QuadPart = 0;
        ::SetFileInformationByHandle(target, FileBasicInfo, &times, sizeof times);
    }
    ::CloseHandle(target);
    return code;
}

int HeldFile::MoveTo(const std::string& target, const Confirm& confirm) {
    m_leftAt.clear();
    int code = CheckUnchanged();
    if (code == 0 && confirm) code = confirm();
    if (code != 0) return code;
    const std::string folder = ParentOf(target);
    for (std::string::size_type pos = folder.find_first_of("\\/", 3);;
         pos = folder.find_first_of("\\/", pos + 1)) {
        const std::string part = pos == std::string::npos ? folder : folder.substr(0, pos);
        if (!::CreateDirectoryW(FilePath(part).c_str(), nullptr) &&
            ::GetLastError() != ERROR_ALREADY_EXISTS)
            return static_cast<int>(::GetLastError());
        if (pos == std::string::npos) break;
    }
    // Without MOVEFILE_REPLACE_EXISTING a file under the target's name is never replaced.
    if (!::MoveFileExW(FilePath(m_path).c_str(), FilePath(target).c_str(),
                       MOVEFILE_COPY_ALLOWED | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = ::GetLastError();
        return error == ERROR_ALREADY_EXISTS ? ERROR_FILE_EXISTS : static_cast<int>(error);
    }
    return 0;
}

std::optional<FileMetadata> HeldFile::Metadata() {
    HANDLE h = m_impl->remover != INVALID_HANDLE_VALUE ? m_impl->remover : m_impl->pin;
    FileMetadata metadata;
    if (h == INVALID_HANDLE_VALUE || !ReadMetadata(h, &metadata, nullptr)) return std::nullopt;
    return metadata;
}

bool HeldFile::SameAccess(HeldFile&) { return true; }

namespace {

// Reads `size` bytes of `h` from its start into `out` by chunks, calling `chunk` with each:
// false when a read fails or comes short, or `chunk` says stop.
template <typename Chunk>
bool ReadWhole(HANDLE h, std::uint64_t size, Chunk chunk) {
    LARGE_INTEGER start = {};
    if (!::SetFilePointerEx(h, start, nullptr, FILE_BEGIN)) return false;
    std::vector<char> buffer(1 << 20);
    for (std::uint64_t at = 0; at < size;) {
        const DWORD want = static_cast<DWORD>(std::min<std::uint64_t>(buffer.size(), size - at));
        DWORD got = 0;
        if (!::ReadFile(h, buffer.data(), want, &got, nullptr) || got != want) return false;
        if (!chunk(buffer.data(), want)) return false;
        at += want;
    }
    return true;
}

}  // namespace

int HeldFile::ReplaceByCopy(const FileMetadata* metadata) {
    int code = PathIs(m_path, m_reader.Identity());
    if (code != 0) return code;
    HANDLE from = ::CreateFileW(FilePath(m_path).c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (from == INVALID_HANDLE_VALUE) return static_cast<int>(::GetLastError());
    FILE_BASIC_INFO times = {};
    LARGE_INTEGER size = {};
    if (!SameFile(from, m_reader.Identity())) code = kErrorReplaced;
    if (code == 0 && (!::GetFileInformationByHandleEx(from, FileBasicInfo, &times, sizeof times) ||
                      !::GetFileSizeEx(from, &size)))
        code = static_cast<int>(::GetLastError());
    const std::string folder = ParentOf(m_path);
    std::string spare;
    HANDLE out = INVALID_HANDLE_VALUE;
    for (int tries = 0; code == 0 && out == INVALID_HANDLE_VALUE; ++tries) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".%08lx%04d.pairscout",
                      static_cast<unsigned long>(::GetTickCount()), tries);
        spare = folder + "\\." + NameOf(m_path).substr(0, 200) + suffix;
        out = ::CreateFileW(FilePath(spare).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                            CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        const DWORD error = ::GetLastError();
        if (out == INVALID_HANDLE_VALUE && (error != ERROR_FILE_EXISTS || tries == 10))
            code = static_cast<int>(error);
    }
    const std::uint64_t bytes = static_cast<std::uint64_t>(size.QuadPart);
    if (code == 0 && !ReadWhole(from, bytes, [out](const char* data, DWORD n) {
            DWORD written = 0;
            return ::WriteFile(out, data, n, &written, nullptr) && written == n;
        }))
        code = static_cast<int>(::GetLastError() != 0 ? ::GetLastError() : ERROR_READ_FAULT);
    if (code == 0 && !::FlushFileBuffers(out)) code = static_cast<int>(::GetLastError());
    // Read back and compared with the file, chunk by chunk.
    if (code == 0) {
        std::vector<char> copy(1 << 20);
        LARGE_INTEGER start = {};
        bool same = ::SetFilePointerEx(out, start, nullptr, FILE_BEGIN) != 0;
        same = same && ReadWhole(from, bytes, [out, &copy](const char* data, DWORD n) {
                   DWORD got = 0;
                   return ::ReadFile(out, copy.data(), n, &got, nullptr) && got == n &&
                          std::memcmp(copy.data(), data, n) == 0;
               });
        FILE_BASIC_INFO now = {};
        if (!same || !::GetFileInformationByHandleEx(from, FileBasicInfo, &now, sizeof now) ||
            now.LastWriteTime.QuadPart != times.LastWriteTime.QuadPart)
            code = ERROR_READ_FAULT;
    }
    if (code == 0) {
        times.ChangeTime.QuadPart = 0;
        if (!::SetFileInformationByHandle(out, FileBasicInfo, &times, sizeof times))
            code = static_cast<int>(::GetLastError());
    }
    if (code == 0 && metadata != nullptr) code = ApplyMetadata(out, *metadata);
    if (out != INVALID_HANDLE_VALUE) ::CloseHandle(out);
    ::CloseHandle(from);
    if (code == 0) code = PathIs(m_path, m_reader.Identity());
    if (code == 0 && !::MoveFileExW(FilePath(spare).c_str(), FilePath(m_path).c_str(),
                                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        code = static_cast<int>(::GetLastError());
    if (code != 0 && !spare.empty()) ::DeleteFileW(FilePath(spare).c_str());
    return code;
}

bool FileSystemCanShareData(const std::string& folder) {
    wchar_t root[MAX_PATH];
    DWORD flags = 0;
    if (!::GetVolumePathNameW(FilePath(folder).c_str(), root, MAX_PATH) ||
        !::GetVolumeInformationW(root, nullptr, 0, nullptr, nullptr, &flags, nullptr, 0))
        return false;
    return (flags & FILE_SUPPORTS_BLOCK_REFCOUNTING) != 0;
}

}  // namespace platform
