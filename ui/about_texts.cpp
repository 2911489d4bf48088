#include "ui/about_texts.h"

#include <algorithm>
#include <limits>

#include "engine/search/duplicate_search.h"
#include "engine/text/text_format.h"

#ifndef PAIRSCOUT_VERSION
#error "PAIRSCOUT_VERSION comes from the project's version in the top CMakeLists.txt"
#endif

std::string DisplayVersion(const std::string& version) {
    const std::size_t first = version.find('.');
    if (first == std::string::npos) return version;
    const std::size_t second = version.find('.', first + 1);
    if (second != std::string::npos && version.compare(second, std::string::npos, ".0") == 0)
        return version.substr(0, second);
    return version;
}

std::string ProgramVersionText() { return DisplayVersion(PAIRSCOUT_VERSION); }

std::string AboutTitleText(const std::string& displayVersion) {
    return FormatAboutTitle(displayVersion);
}

std::string MemoryText(std::uint64_t bytes) {
    // "%lu" is 32 bits wide on Windows: a count beyond it shows as the largest, not wrapped.
    const std::uint64_t kb =
        std::min<std::uint64_t>(bytes >> 10, std::numeric_limits<unsigned long>::max());
    return FormatMemoryKb(static_cast<unsigned long>(kb));
}

std::string DiskFreeText(bool known, std::uint64_t bytes) {
    return FormatSizeText(known ? static_cast<double>(bytes) : 0.0);
}

std::string LinkOpenFailedText(const std::string& target) {
    static const std::string kMailto = "mailto:";
    if (target.compare(0, kMailto.size(), kMailto) == 0)
        return FormatLinkNoMailProgram(target.substr(kMailto.size()));
    return FormatLinkNoBrowser(target);
}
