#include "engine/search/search_filter.h"

#include <gtest/gtest.h>

#include "engine/search/date_value.h"
#include "platform/file_time.h"
#include "support/scoped_env.h"

namespace {

using platform::FileTime;
using platform::FindData;

FindData File(FileTime written, std::int64_t size = 1000, std::uint32_t attributes = 0) {
    FindData fd;
    fd.ftLastWriteTime = written;
    fd.nFileSize = static_cast<std::uint64_t>(size);
    fd.dwFileAttributes = attributes;
    return fd;
}

FindData Sized(std::int64_t size) { return File(200000000000000000LL, size); }

FindData WithAttributes(std::uint32_t attributes) {
    return File(200000000000000000LL, 1000, attributes);
}

TEST(SearchFilter, SameDayDateLimitsInBothModes) {
    USE_TIME_ZONE("Europe/Berlin");
    CDateValue day;
    day.m_nDay = 9;
    day.m_nMonth = 4;
    day.m_nYear = 2003;
    SearchFilter filter;
    filter.m_ftMinDate = day.ToFileTime(1);
    day.m_bEndOfDay = 1;
    filter.m_ftMaxDate = day.ToFileTime(1);

    // Summer time in Berlin: local midnight of 9 April 2003 is 22:00 UTC the day before.
    platform::SystemTime utcStart;
    utcStart.wYear = 2003;
    utcStart.wMonth = 4;
    utcStart.wDay = 8;
    utcStart.wHour = 22;
    FileTime start = 0;
    ASSERT_TRUE(platform::SystemTimeToFileTime(utcStart, &start));
    ASSERT_EQ(filter.m_ftMinDate, start);
    ASSERT_EQ(filter.m_ftMaxDate, start + platform::kFileTimeTicksPerDay -
                                      platform::kFileTimeTicksPerSecond);

    const FileTime before = filter.m_ftMinDate - 1;
    const FileTime noon = filter.m_ftMinDate + platform::kFileTimeTicksPerDay / 2;
    const FileTime after = filter.m_ftMaxDate + 1;

    // Exclusion: exactly the files of that local day are kept, both bounds included.
    EXPECT_EQ(filter.Rejects(File(before)), 1);
    EXPECT_EQ(filter.Rejects(File(filter.m_ftMinDate)), 0);
    EXPECT_EQ(filter.Rejects(File(noon)), 0);
    EXPECT_EQ(filter.Rejects(File(filter.m_ftMaxDate)), 0);
    EXPECT_EQ(filter.Rejects(File(after)), 1);

    // Reversed: the rest of time is kept, and the bounds belong to both.
    filter.m_nMode = 1;
    EXPECT_EQ(filter.Rejects(File(before)), 0);
    EXPECT_EQ(filter.Rejects(File(filter.m_ftMinDate)), 0);
    EXPECT_EQ(filter.Rejects(File(noon)), 1);
    EXPECT_EQ(filter.Rejects(File(filter.m_ftMaxDate)), 0);
    EXPECT_EQ(filter.Rejects(File(after)), 0);

    // One limit alone, reversed: only one side of it passes.
    filter.m_ftMaxDate = 0;
    EXPECT_EQ(filter.Rejects(File(before)), 0);
    EXPECT_EQ(filter.Rejects(File(noon)), 1);
    filter.m_ftMinDate = 0;
    filter.m_ftMaxDate = noon;
    EXPECT_EQ(filter.Rejects(File(before)), 1);
    EXPECT_EQ(filter.Rejects(File(after)), 0);
}

TEST(SearchFilter, SizeLimits) {
    SearchFilter filter;
    filter.m_nMinSize = 100;
    EXPECT_EQ(filter.Rejects(Sized(0)), 1);
    EXPECT_EQ(filter.Rejects(Sized(99)), 1);
    EXPECT_EQ(filter.Rejects(Sized(100)), 0);
    EXPECT_EQ(filter.Rejects(Sized(5000000000LL)), 0);

    filter.m_nMode = 1;  // reversed: at most 100 bytes
    EXPECT_EQ(filter.Rejects(Sized(0)), 0);
    EXPECT_EQ(filter.Rejects(Sized(100)), 0);
    EXPECT_EQ(filter.Rejects(Sized(101)), 1);

    // The size is the full 64-bit value of the two halves.
    filter = SearchFilter();
    filter.m_nMaxSize = (1LL << 32) + 5;
    EXPECT_EQ(filter.Rejects(Sized((1LL << 32) + 5)), 0);
    EXPECT_EQ(filter.Rejects(Sized((1LL << 32) + 6)), 1);
    EXPECT_EQ(filter.Rejects(Sized(6)), 0);
    filter.m_nMode = 1;
    EXPECT_EQ(filter.Rejects(Sized(6)), 1);
    EXPECT_EQ(filter.Rejects(Sized((1LL << 32) + 6)), 0);

    // No limits at all: nothing is left out, in either mode.
    filter = SearchFilter();
    EXPECT_EQ(filter.Rejects(File(0, 0)), 0);
    filter.m_nMode = 1;
    EXPECT_EQ(filter.Rejects(File(0, 0)), 0);
}

TEST(SearchFilter, AttributeModes) {
    SearchFilter filter;  // ignore mask 0x37: attributes never reject
    for (std::int32_t mode : {0, 1, 2, 3}) {
        filter.m_nMode = mode;
        filter.m_dwAttrStates = 0x02;
        for (std::uint32_t a : {0x00u, 0x01u, 0x02u, 0x27u, 0xFFu})
            EXPECT_EQ(filter.RejectsAttributes(a), 0) << "mode " << mode << " attributes " << a;
    }

    // Only Hidden examined, and checked.
    filter.m_dwIgnoreAttrs = 0x35;
    filter.m_dwAttrStates = 0x02;
    filter.m_nMode = 0;
    EXPECT_EQ(filter.RejectsAttributes(0x02), 1);
    EXPECT_EQ(filter.RejectsAttributes(0x23), 1);  // the other bits are not looked at
    EXPECT_EQ(filter.RejectsAttributes(0x00), 0);
    EXPECT_EQ(filter.RejectsAttributes(0x21), 0);
    EXPECT_EQ(filter.Rejects(WithAttributes(0x02)), 1);
    filter.m_nMode = 1;
    EXPECT_EQ(filter.RejectsAttributes(0x02), 0);
    EXPECT_EQ(filter.RejectsAttributes(0x23), 0);
    EXPECT_EQ(filter.RejectsAttributes(0x20), 1);

    // Only Hidden examined, and unchecked: mode 0 leaves out the files that are not hidden.
    filter.m_dwAttrStates = 0;
    filter.m_nMode = 0;
    EXPECT_EQ(filter.RejectsAttributes(0x00), 1);
    EXPECT_EQ(filter.RejectsAttributes(0x21), 1);
    EXPECT_EQ(filter.RejectsAttributes(0x02), 0);

    // Read-only and Hidden examined, both wanted: any of them (2), none of them (3).
    filter.m_dwIgnoreAttrs = 0x34;
    filter.m_dwAttrStates = 0x03;
    filter.m_nMode = 2;
    EXPECT_EQ(filter.RejectsAttributes(0x01), 1);
    EXPECT_EQ(filter.RejectsAttributes(0x02), 1);
    EXPECT_EQ(filter.RejectsAttributes(0x24), 0);
    filter.m_nMode = 3;
    EXPECT_EQ(filter.RejectsAttributes(0x01), 0);
    EXPECT_EQ(filter.RejectsAttributes(0x24), 1);
    filter.m_nMode = 7;  // any other mode behaves as mode 0
    EXPECT_EQ(filter.RejectsAttributes(0x03), 1);
    EXPECT_EQ(filter.RejectsAttributes(0x01), 0);

    // A checked Directory box: files never carry the bit, so mode 0 keeps every file and
    // mode 1 leaves every file out.
    filter.m_dwIgnoreAttrs = 0x27;
    filter.m_dwAttrStates = 0x10;
    filter.m_nMode = 0;
    EXPECT_EQ(filter.RejectsAttributes(0x00), 0);
    EXPECT_EQ(filter.RejectsAttributes(0x27), 0);
    filter.m_nMode = 1;
    EXPECT_EQ(filter.RejectsAttributes(0x00), 1);
    EXPECT_EQ(filter.RejectsAttributes(0x27), 1);
}

TEST(SearchFilter, LimitsAndAttributesTogether) {
    SearchFilter filter;
    filter.m_nMode = 1;
    filter.m_nMaxSize = 10;
    filter.m_dwIgnoreAttrs = 0x35;
    filter.m_dwAttrStates = 0x02;
    // Reversed with only hidden files wanted: a large hidden file passes both tests.
    EXPECT_EQ(filter.Rejects(File(1, 50, 0x02)), 0);
    EXPECT_EQ(filter.Rejects(File(1, 50, 0x00)), 1);  // the attribute test leaves it out
    EXPECT_EQ(filter.Rejects(File(1, 5, 0x02)), 1);   // the size test leaves it out
}

TEST(SearchFilter, ElevenWordsInOrder) {
    const SearchFilter defaults;
    const SearchFilter::Words zeroWords = defaults.ToWords();
    for (std::size_t i = 0; i < 10; ++i) EXPECT_EQ(zeroWords[i], 0u) << i;
    EXPECT_EQ(zeroWords[10], 55u);

    SearchFilter filter;
    filter.m_ftMinDate = 0x0102030405060708LL;
    filter.m_ftMaxDate = 0x1112131415161718LL;
    filter.m_nMinSize = -2;
    filter.m_nMaxSize = 0x0000000700000009LL;
    filter.m_dwAttrStates = 0x22;
    filter.m_nMode = -1;
    filter.m_dwIgnoreAttrs = 0x15;
    const SearchFilter::Words words = filter.ToWords();
    const SearchFilter::Words expected = {0x05060708u, 0x01020304u, 0x15161718u, 0x11121314u,
                                          0xFFFFFFFEu, 0xFFFFFFFFu, 9u,          7u,
                                          0x22u,       0xFFFFFFFFu, 0x15u};
    EXPECT_EQ(words, expected);

    const SearchFilter back = SearchFilter::FromWords(words);
    EXPECT_EQ(back.m_ftMinDate, filter.m_ftMinDate);
    EXPECT_EQ(back.m_ftMaxDate, filter.m_ftMaxDate);
    EXPECT_EQ(back.m_nMinSize, -2);
    EXPECT_EQ(back.m_nMaxSize, filter.m_nMaxSize);
    EXPECT_EQ(back.m_dwAttrStates, 0x22u);
    EXPECT_EQ(back.m_nMode, -1);
    EXPECT_EQ(back.m_dwIgnoreAttrs, 0x15u);
}

TEST(SearchFilter, SettingBytes) {
    const auto bytes = Int64ToSettingBytes(0x0102030405060708LL);
    const std::array<unsigned char, 8> expected = {8, 7, 6, 5, 4, 3, 2, 1};
    EXPECT_EQ(bytes, expected);
    std::int64_t value = 0;
    ASSERT_TRUE(Int64FromSettingBytes(bytes.data(), bytes.size(), &value));
    EXPECT_EQ(value, 0x0102030405060708LL);
    ASSERT_TRUE(Int64FromSettingBytes(Int64ToSettingBytes(-3).data(), 8, &value));
    EXPECT_EQ(value, -3);

    // Only a value of exactly 8 bytes is taken.
    value = 42;
    EXPECT_FALSE(Int64FromSettingBytes(bytes.data(), 7, &value));
    EXPECT_FALSE(Int64FromSettingBytes(nullptr, 8, &value));
    EXPECT_EQ(value, 42);
}

}  // namespace
