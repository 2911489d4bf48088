#include "engine/search/search_filter.h"

namespace {

// Reversed mode: the value passes when no limit is set, or it lies at or beyond a set limit.
bool PassesReversed(std::int64_t value, std::int64_t minLimit, std::int64_t maxLimit) {
    if (minLimit == 0 && maxLimit == 0) return true;
    return (minLimit != 0 && value <= minLimit) || (maxLimit != 0 && value >= maxLimit);
}

std::uint32_t LowWord(std::int64_t v) {
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(v) & 0xFFFFFFFFu);
}

std::uint32_t HighWord(std::int64_t v) {
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(v) >> 32);
}

std::int64_t Join(std::uint32_t low, std::uint32_t high) {
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(high) << 32) | low);
}

}  // namespace

int SearchFilter::Rejects(const platform::FindData& fd) const {
    const std::int64_t t = fd.ftLastWriteTime;
    const std::int64_t s = static_cast<std::int64_t>(fd.nFileSize);
    if (m_bLeaveOutEmpty && s == 0) return 1;
    if (m_nMode == 0) {
        if (m_ftMinDate != 0 && t < m_ftMinDate) return 1;
        if (m_ftMaxDate != 0 && t > m_ftMaxDate) return 1;
        if (m_nMinSize != 0 && s < m_nMinSize) return 1;
        if (m_nMaxSize != 0 && s > m_nMaxSize) return 1;
    } else {
        if (!PassesReversed(t, m_ftMinDate, m_ftMaxDate)) return 1;
        if (!PassesReversed(s, m_nMinSize, m_nMaxSize)) return 1;
    }
    return RejectsAttributes(fd.dwFileAttributes);
}

int SearchFilter::RejectsAttributes(std::uint32_t attributes) const {
    if ((m_dwIgnoreAttrs & kFilterAttributeMask) == kFilterAttributeMask) return 0;
    const std::uint32_t examined = attributes & ~m_dwIgnoreAttrs & kFilterAttributeMask;
    const std::uint32_t wanted = m_dwAttrStates;
    switch (m_nMode) {
        case 1: return examined != wanted ? 1 : 0;
        case 2: return (examined & wanted) != 0 ? 1 : 0;
        case 3: return (examined & wanted) == 0 ? 1 : 0;
        default: return examined == wanted ? 1 : 0;
    }
}

SearchFilter::Words SearchFilter::ToWords() const {
    return Words{LowWord(m_ftMinDate),  HighWord(m_ftMinDate),
                 LowWord(m_ftMaxDate),  HighWord(m_ftMaxDate),
                 LowWord(m_nMinSize),   HighWord(m_nMinSize),
                 LowWord(m_nMaxSize),   HighWord(m_nMaxSize),
                 m_dwAttrStates,        static_cast<std::uint32_t>(m_nMode),
                 m_dwIgnoreAttrs};
}

SearchFilter SearchFilter::FromWords(const Words& words) {
    SearchFilter filter;
    filter.m_ftMinDate = Join(words[0], words[1]);
    filter.m_ftMaxDate = Join(words[2], words[3]);
    filter.m_nMinSize = Join(words[4], words[5]);
    filter.m_nMaxSize = Join(words[6], words[7]);
    filter.m_dwAttrStates = words[8];
    filter.m_nMode = static_cast<std::int32_t>(words[9]);
    filter.m_dwIgnoreAttrs = words[10];
    return filter;
}

std::array<unsigned char, 8> Int64ToSettingBytes(std::int64_t value) {
    std::array<unsigned char, 8> bytes{};
    const auto u = static_cast<std::uint64_t>(value);
    for (int i = 0; i < 8; ++i) bytes[i] = static_cast<unsigned char>(u >> (8 * i));
    return bytes;
}

bool Int64FromSettingBytes(const void* data, std::size_t size, std::int64_t* value) {
    if (data == nullptr || size != 8) return false;
    const auto* bytes = static_cast<const unsigned char*>(data);
    std::uint64_t u = 0;
    for (int i = 7; i >= 0; --i) u = (u << 8) | bytes[i];
    *value = static_cast<std::int64_t>(u);
    return true;
}
