#include "platform/file_delete.h"
#include "platform/win32/win32.h"

#include <shellapi.h>

namespace platform {

std::vector<std::string> DeleteFiles(const std::vector<std::string>& paths, unsigned flags) {
    // One operation for all files, so that the shell asks (when it asks) once. The shell
    // stops at the first file it cannot find, so files already gone are left out: they are
    // gone all the same. The list is zero-separated and ends in two zeros.
    std::string from;
    for (const std::string& path : paths) {
        if (::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES) continue;
        from += path;
        from += '\0';
    }
    if (from.empty()) return {};
    from += '\0';
    SHFILEOPSTRUCTA op = {};
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
    ::SHFileOperationA(&op);
    // The result tells neither which files failed nor whether the user stopped half way: ask
    // the file system what is still there.
    std::vector<std::string> left;
    for (const std::string& path : paths)
        if (::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) left.push_back(path);
    return left;
}

}  // namespace platform
