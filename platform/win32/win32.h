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

#include <string>

#include "platform/file_time.h"
#include "platform/wide_text.h"

namespace platform {

// The program's UTF-8 (WTF-8) text as the wide calls take it, and back.
inline std::wstring Wide(const std::string& text) {
    const std::u16string units = Utf16FromUtf8(text);
    return std::wstring(units.begin(), units.end());
}

inline std::string Narrow(const wchar_t* units, std::size_t count) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows wide text is UTF-16");
    return Utf8FromUtf16(reinterpret_cast<const char16_t*>(units), count);
}

inline std::string Narrow(const std::wstring& units) { return Narrow(units.data(), units.size()); }

inline std::string Narrow(const wchar_t* units) {
    return units != nullptr ? Narrow(units, wcslen(units)) : std::string();
}

// `path` for the file calls: wide, and with the "\\?\" (or "\\?\UNC\") prefix when it is
// too long for the plain form, so that folders, files and their copies deeper than 260
// characters are walked, read and deleted whatever the system's long-path policy. The prefix is
// never shown: the engine keeps the plain form.
std::wstring FilePath(const std::string& path);

// Whether `path` is too long for the calls that know no prefix (the shell's).
bool TooLongForShell(const std::string& path);

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
