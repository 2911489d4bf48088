#include <cerrno>
#include <cstring>

#include "platform/error_text.h"

namespace platform {

int LastErrorCode() { return errno; }

std::string ErrorText(int code) {
    char buf[256];
    // The GNU form returns the text (which may or may not be `buf`); the XSI form fills `buf`.
#if defined(__GLIBC__) && defined(_GNU_SOURCE)
    const char* text = strerror_r(code, buf, sizeof buf);
#else
    const char* text = strerror_r(code, buf, sizeof buf) == 0 ? buf : "";
#endif
    if (text == nullptr || *text == '\0') return "error " + std::to_string(code);
    return text;
}

}  // namespace platform
