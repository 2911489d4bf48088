#include <vector>

#include "platform/locale_text.h"
#include "platform/win32/win32.h"

namespace platform {

namespace {

std::string g_firstFormat;

BOOL CALLBACK TakeFirstFormat(LPSTR format) {
    g_firstFormat = format;
    return FALSE;  // the first one is all we want
}

}  // namespace

unsigned char CharUpperByte(unsigned char b) {
    // The first byte of a two-byte character is no character on its own: the system makes it
    // "?", and two different characters would then compare equal. It stays as it is.
    if (::IsDBCSLeadByte(b)) return b;
    // Single-character mode: the byte, sign-extended to 16 bits, in the low word.
    const WORD low = static_cast<WORD>(static_cast<short>(static_cast<signed char>(b)));
    const ULONG_PTR result =
        reinterpret_cast<ULONG_PTR>(::CharUpperA(reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(low))));
    const unsigned char upper = static_cast<unsigned char>(result & 0xFF);
    // Likewise any other byte the code page cannot convert alone.
    return upper == '?' && b != '?' ? b : upper;
}

bool IsLeadByte(unsigned char b) { return ::IsDBCSLeadByte(b) != FALSE; }

std::string GetShortDatePicture() {
    g_firstFormat.clear();
    ::EnumDateFormatsA(TakeFirstFormat, ::GetUserDefaultLCID(), DATE_SHORTDATE);
    return g_firstFormat;
}

bool FormatDate(const SystemTime& st, const std::string& picture, std::string* out) {
    const SYSTEMTIME w = ToWinSystemTime(st);
    const DWORD flags = picture.empty() ? DATE_SHORTDATE : 0;
    const char* format = picture.empty() ? nullptr : picture.c_str();
    // The whole text, however long: callers that keep a fixed buffer cut it themselves
    // (FormatDateInBuffer), the same on every platform.
    const int size = ::GetDateFormatA(LOCALE_USER_DEFAULT, flags, &w, format, nullptr, 0);
    if (size <= 0) return false;
    std::vector<char> buf(static_cast<std::size_t>(size));
    const int n = ::GetDateFormatA(LOCALE_USER_DEFAULT, flags, &w, format, buf.data(), size);
    if (n <= 0) return false;
    out->assign(buf.data(), static_cast<std::size_t>(n - 1));
    return true;
}

bool FormatTime(const SystemTime& st, std::string* out) {
    const SYSTEMTIME w = ToWinSystemTime(st);
    char buf[81];
    if (::GetTimeFormatA(0, 0, &w, nullptr, buf, 81) == 0) return false;
    *out = buf;
    return true;
}

}  // namespace platform
