#include "platform/error_text.h"
#include "platform/win32/win32.h"

namespace platform {

int LastErrorCode() { return static_cast<int>(GetLastError()); }

std::string ErrorText(int code) {
    wchar_t buf[512];
    DWORD n = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             static_cast<DWORD>(code), 0, buf, 512, nullptr);
    while (n > 0 && (buf[n - 1] == L'\r' || buf[n - 1] == L'\n' || buf[n - 1] == L' ')) --n;
    if (n == 0) return "error " + std::to_string(code);
    return Narrow(buf, n);
}

}  // namespace platform
