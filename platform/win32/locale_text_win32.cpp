#include <vector>

#include "platform/locale_text.h"
#include "platform/win32/win32.h"

namespace platform {

namespace {

std::string g_firstFormat;

BOOL CALLBACK TakeFirstFormat(LPWSTR format) {
    g_firstFormat = Narrow(format);
    return FALSE;  // the first one is all we want
}

}  // namespace

// Names are UTF-8 here as on POSIX: no byte of a character outside ASCII is a letter of its own,
// and changing one would break the character.
unsigned char CharUpperByte(unsigned char b) {
    return (b >= 'a' && b <= 'z') ? static_cast<unsigned char>(b - 'a' + 'A') : b;
}

bool IsLeadByte(unsigned char) { return false; }

std::string GetShortDatePicture() {
    g_firstFormat.clear();
    ::EnumDateFormatsW(TakeFirstFormat, ::GetUserDefaultLCID(), DATE_SHORTDATE);
    return g_firstFormat;
}

bool FormatDate(const SystemTime& st, const std::string& picture, std::string* out) {
    const SYSTEMTIME w = ToWinSystemTime(st);
    const DWORD flags = picture.empty() ? DATE_SHORTDATE : 0;
    const std::wstring wide = Wide(picture);
    const wchar_t* format = picture.empty() ? nullptr : wide.c_str();
    // The whole text, however long: callers that keep a fixed buffer cut it themselves
    // (FormatDateInBuffer), the same on every platform.
    const int size = ::GetDateFormatW(LOCALE_USER_DEFAULT, flags, &w, format, nullptr, 0);
    if (size <= 0) return false;
    std::vector<wchar_t> buf(static_cast<std::size_t>(size));
    const int n = ::GetDateFormatW(LOCALE_USER_DEFAULT, flags, &w, format, buf.data(), size);
    if (n <= 0) return false;
    *out = Narrow(buf.data(), static_cast<std::size_t>(n - 1));
    return true;
}

bool FormatTime(const SystemTime& st, std::string* out) {
    const SYSTEMTIME w = ToWinSystemTime(st);
    wchar_t buf[81];
    if (::GetTimeFormatW(0, 0, &w, nullptr, buf, 81) == 0) return false;
    *out = Narrow(buf);
    return true;
}

}  // namespace platform
