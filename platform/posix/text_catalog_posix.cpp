#include "platform/text_catalog.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace platform {

std::string UserLanguageName() {
    // LANGUAGE is a list ("zh_CN:en"); gettext ignores it in the C locale, and so does this.
    const char* all = std::getenv("LC_ALL");
    const char* messages = std::getenv("LC_MESSAGES");
    const char* lang = std::getenv("LANG");
    std::string locale;
    for (const char* value : {all, messages, lang}) {
        if (value != nullptr && *value != '\0') {
            locale = value;
            break;
        }
    }
    const char* language = std::getenv("LANGUAGE");
    if (language != nullptr && *language != '\0' && !locale.empty() && locale != "C" &&
        locale != "POSIX") {
        const std::string list = language;
        const std::string first = list.substr(0, list.find(':'));
        if (!first.empty()) return first;
    }
    return locale;
}

namespace {

// Far more than the catalog will ever need; anything larger is not it.
constexpr off_t kLargestCatalog = 16 * 1024 * 1024;

// The bytes of `path` when it is a regular file of a sane size. Opened without blocking, so
// that a FIFO or a device in the catalog's place can neither hang the program nor feed it.
bool ReadFile(const std::string& path, std::string* bytes) {
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return false;
    struct stat st;
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= kLargestCatalog;
    std::string read;
    if (ok) {
        read.resize(static_cast<std::size_t>(st.st_size));
        std::size_t done = 0;
        // The file may shrink meanwhile; it is taken as far as it goes.
        while (done < read.size()) {
            const ssize_t n = ::read(fd, &read[done], read.size() - done);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) ok = false;
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        read.resize(done);
    }
    close(fd);
    if (ok) bytes->swap(read);
    return ok;
}

}  // namespace

bool ReadEnglishCatalog(std::string* bytes, std::string* why) {
    const std::string file = "/en/LC_MESSAGES/pairscout.mo";
    // The installed catalog, found from the program's own folder so that any prefix works.
    char exe[PATH_MAX];
    const ssize_t length = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (length > 0) {
        std::string bin(exe, static_cast<std::size_t>(length));
        bin = bin.substr(0, bin.rfind('/'));
        if (ReadFile(bin + "/" PAIRSCOUT_LOCALE_FROM_BIN + file, bytes)) return true;
    }
    // The build tree's, for the programs and tests run where they were built.
    if (ReadFile(PAIRSCOUT_BUILD_LOCALE_DIR + file, bytes)) return true;
    *why = "no English message catalog (pairscout.mo)";
    return false;
}

}  // namespace platform
