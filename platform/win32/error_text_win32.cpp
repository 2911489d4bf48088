#include "platform/error_text.h"
#include "platform/win32/win32.h"

namespace platform {

int LastErrorCode() { return static_cast<int>(GetLastError()); }

std::string ErrorText(int code) {
    char buf[512];
    DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             static_cast<DWORD>(code), 0, buf, sizeof buf, nullptr);
    while (n > 0 && (buf[n - 1] == '\r' || buf[n - 1] == '\n' || buf[n - 1] == ' ')) --n;
    if (n == 0) return "error " + std::to_string(code);
    return std::string(buf, n);
}

}  // namespace platform
