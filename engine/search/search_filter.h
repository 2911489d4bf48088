// The date, size and attribute filter that decides, for every file the masks admitted, whether
// the scan leaves it out. 0 in a limit means no limit.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/file_find.h"
#include "platform/file_time.h"

// The attribute bits the filter can examine: read-only, hidden, system, directory, archive.
constexpr std::uint32_t kFilterAttributeMask = 0x37;

struct SearchFilter {
    // Eleven 32-bit words in this order (64-bit values low word first); see ToWords.
    platform::FileTime m_ftMinDate = 0, m_ftMaxDate = 0;  // UTC; 0 = no date limit
    std::int64_t m_nMinSize = 0, m_nMaxSize = 0;          // bytes; 0 = no size limit
    std::uint32_t m_dwAttrStates = 0;   // attribute bits the user wants set
    std::int32_t m_nMode = 0;           // 0 = limits describe files to leave out, else to keep
    std::uint32_t m_dwIgnoreAttrs = kFilterAttributeMask;  // attribute bits not examined
    // Empty files are left out whatever the mode, so that they are no candidates at all. Not
    // one of the eleven words: it has a setting of its own.
    bool m_bLeaveOutEmpty = false;

    static constexpr std::size_t kWordCount = 11;
    using Words = std::array<std::uint32_t, kWordCount>;

    // 1 when the file is to be left out of the search, 0 when it is kept. Uses the last write
    // time, the size and the attributes of `fd`; bounds are inclusive in both modes. An empty
    // file is always left out with m_bLeaveOutEmpty.
    int Rejects(const platform::FindData& fd) const;

    // The attribute part of Rejects: 1 when `attributes` leave the file out.
    // Mode 1 keeps only files whose examined bits are exactly the wanted ones, mode 2 leaves out
    // files with any wanted bit, mode 3 files with none of them; any other mode leaves out files
    // whose examined bits are exactly the wanted ones.
    int RejectsAttributes(std::uint32_t attributes) const;

    // The record as its eleven words, and back.
    Words ToWords() const;
    static SearchFilter FromWords(const Words& words);
};

// The words lie in the record as they do in the settings layout; only tail padding follows.
static_assert(offsetof(SearchFilter, m_ftMinDate) == 0, "filter layout");
static_assert(offsetof(SearchFilter, m_ftMaxDate) == 8, "filter layout");
static_assert(offsetof(SearchFilter, m_nMinSize) == 16, "filter layout");
static_assert(offsetof(SearchFilter, m_nMaxSize) == 24, "filter layout");
static_assert(offsetof(SearchFilter, m_dwAttrStates) == 32, "filter layout");
static_assert(offsetof(SearchFilter, m_nMode) == 36, "filter layout");
static_assert(offsetof(SearchFilter, m_dwIgnoreAttrs) == 40, "filter layout");
static_assert(offsetof(SearchFilter, m_dwIgnoreAttrs) + sizeof(std::uint32_t) ==
                  SearchFilter::kWordCount * sizeof(std::uint32_t),
              "the filter is eleven 32-bit words");

// A 64-bit limit as the 8 bytes of its binary setting (low byte first), and back. Reading takes
// the value only when the stored value is exactly 8 bytes long; otherwise *value is left alone
// and the result is false.
std::array<unsigned char, 8> Int64ToSettingBytes(std::int64_t value);
bool Int64FromSettingBytes(const void* data, std::size_t size, std::int64_t* value);
