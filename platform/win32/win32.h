// windows.h without the macros that would rename this program's own functions.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#undef GetFileAttributes
#undef CharUpper
// The settings store's own names.
#undef GetProfileString
#undef WriteProfileString
#undef GetProfileInt

#include "platform/file_time.h"

namespace platform {

inline FILETIME ToWinFileTime(FileTime value) {
    ULARGE_INTEGER u;
    u.QuadPart = static_cast<ULONGLONG>(value);
    FILETIME ft;
    ft.dwLowDateTime = u.LowPart;
    ft.dwHighDateTime = u.HighPart;
    return ft;
}

inline FileTime FromWinFileTime(const FILETIME& ft) {
    ULARGE_INTEGER u;
    u.LowPart = ft.dwLowDateTime;
    u.HighPart = ft.dwHighDateTime;
    return static_cast<FileTime>(u.QuadPart);
}

inline SYSTEMTIME ToWinSystemTime(const SystemTime& st) {
    SYSTEMTIME w;
    w.wYear = st.wYear;
    w.wMonth = st.wMonth;
    w.wDayOfWeek = st.wDayOfWeek;
    w.wDay = st.wDay;
    w.wHour = st.wHour;
    w.wMinute = st.wMinute;
    w.wSecond = st.wSecond;
    w.wMilliseconds = st.wMilliseconds;
    return w;
}

inline SystemTime FromWinSystemTime(const SYSTEMTIME& w) {
    SystemTime st;
    st.wYear = w.wYear;
    st.wMonth = w.wMonth;
    st.wDayOfWeek = w.wDayOfWeek;
    st.wDay = w.wDay;
    st.wHour = w.wHour;
    st.wMinute = w.wMinute;
    st.wSecond = w.wSecond;
    st.wMilliseconds = w.wMilliseconds;
    return st;
}

}  // namespace platform
