#include "platform/win32/win32.h"

namespace platform {

bool FileTimeToLocalFileTime(FileTime utc, FileTime* local) {
    if (utc < 0 || local == nullptr) return false;
    const FILETIME in = ToWinFileTime(utc);
    FILETIME out;
    if (!::FileTimeToLocalFileTime(&in, &out)) return false;
    *local = FromWinFileTime(out);
    return true;
}

bool LocalFileTimeToFileTime(FileTime local, FileTime* utc) {
    if (local < 0 || utc == nullptr) return false;
    const FILETIME in = ToWinFileTime(local);
    FILETIME out;
    if (!::LocalFileTimeToFileTime(&in, &out)) return false;
    *utc = FromWinFileTime(out);
    return true;
}

SystemTime GetLocalTime() {
    SYSTEMTIME st;
    ::GetLocalTime(&st);
    return FromWinSystemTime(st);
}

SystemTime GetSystemTime() {
    SYSTEMTIME st;
    ::GetSystemTime(&st);
    return FromWinSystemTime(st);
}

}  // namespace platform
