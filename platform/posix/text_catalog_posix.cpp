#include "platform/text_catalog.h"

#include <limits.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

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

bool ReadFile(const std::string& path, std::string* bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
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
