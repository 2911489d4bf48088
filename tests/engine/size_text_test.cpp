#include "engine/text/size_text.h"

#include <gtest/gtest.h>

#include "engine/text/validation_message.h"

namespace {

// The value read, or the refusal as -1 (which no accepted text below yields).
std::int64_t Size(const std::string& text) {
    std::int64_t value = -1;
    const int refusal = ParseSizeText(text, &value);
    if (refusal != 0) {
        EXPECT_EQ(refusal, IDS_INVALID_FILE_SIZE) << text;
        EXPECT_EQ(value, -1) << "a refused text changed the value: " << text;
        return -1;
    }
    return value;
}

TEST(SizeText, BytesKilobytesMegabytes) {
    EXPECT_EQ(Size(""), 0);
    EXPECT_EQ(Size("15"), 15);
    EXPECT_EQ(Size("  15"), 15);
    EXPECT_EQ(Size("+15"), 15);
    EXPECT_EQ(Size("10K"), 10240);
    EXPECT_EQ(Size("10k"), 10240);
    EXPECT_EQ(Size("2m"), 2097152);
    EXPECT_EQ(Size("2M"), 2097152);
    EXPECT_EQ(Size("3Kbytes"), 3072);  // what follows the letter is ignored
    EXPECT_EQ(Size("3M?"), 3145728);
    std::int64_t negative = 0;
    ASSERT_EQ(ParseSizeText("-2K", &negative), 0);
    EXPECT_EQ(negative, -2048);

    for (const char* bad : {"10 K", "1.5M", "K", " ", "+", "-", "15 ", "15b", "0x10", "k10"})
        EXPECT_EQ(Size(bad), -1) << bad;
    EXPECT_EQ(Size(std::string("5\0K", 3)), -1);
}

TEST(SizeText, ThirtyTwoBitRange) {
    EXPECT_EQ(Size("2147483647"), 2147483647);
    EXPECT_EQ(Size("2047M"), 2047LL * 1048576);
    EXPECT_EQ(Size("2097151K"), 2097151LL * 1024);
    // Larger limits would have wrapped into small or negative ones: they are refused.
    EXPECT_EQ(Size("2147483648"), -1);
    EXPECT_EQ(Size("2048M"), -1);
    EXPECT_EQ(Size("4096M"), -1);
    EXPECT_EQ(Size("2097152K"), -1);
    EXPECT_EQ(Size("99999999999999999999999999"), -1);
    std::int64_t value = 0;
    EXPECT_EQ(ParseSizeText("-2048M", &value), 0);
    EXPECT_EQ(value, -2147483648LL);
    EXPECT_EQ(ParseSizeText("-2049M", &value), IDS_INVALID_FILE_SIZE);
}

// The command line's reading: the whole text or nothing, never negative, never beyond 31 bits.
TEST(SizeText, StrictReadingRefusesWhatTheLooseOneIgnores) {
    const auto strict = [](const std::string& text) {
        std::int64_t value = -1;
        const int refusal = ParseSizeTextStrict(text, &value);
        if (refusal != 0) {
            EXPECT_EQ(refusal, IDS_INVALID_FILE_SIZE) << text;
            EXPECT_EQ(value, -1) << "a refused text changed the value: " << text;
        }
        return refusal == 0 ? value : -1;
    };
    EXPECT_EQ(strict(""), 0);
    EXPECT_EQ(strict("0"), 0);
    EXPECT_EQ(strict("15"), 15);
    EXPECT_EQ(strict("10K"), 10240);
    EXPECT_EQ(strict("10k"), 10240);
    EXPECT_EQ(strict("2M"), 2097152);
    EXPECT_EQ(strict("0002m"), 2097152);
    EXPECT_EQ(strict("2147483647"), kLargestSizeLimit);
    EXPECT_EQ(strict("2097151K"), 2097151LL * 1024);
    EXPECT_EQ(strict("2047M"), 2047LL * 1048576);
    for (const char* bad : {"10KB", "10Kxyz", "3Kbytes", "3M?", "-2K", "-1", "+15", " 15", "15 ",
                            "10 K", "1.5M", "K", "0x10", "2147483648", "2097152K", "2048M",
                            "4096M", "99999999999999999999999999", "99999999999999999999999K"})
        EXPECT_EQ(strict(bad), -1) << bad;
    EXPECT_EQ(strict(std::string("5\0", 2)), -1);
    // The same texts the loose reading takes as they were (the filters page keeps its rule).
    std::int64_t loose = 0;
    EXPECT_EQ(ParseSizeText("10KB", &loose), 0);
    EXPECT_EQ(loose, 10240);
    EXPECT_EQ(ParseSizeText("-2K", &loose), 0);
    EXPECT_EQ(loose, -2048);
}

TEST(SizeText, LimitsAndShownText) {
    EXPECT_EQ(CheckSizeLimits(2048, 1024), IDS_INVALID_FILE_SIZE);
    EXPECT_EQ(CheckSizeLimits(1024, 1024), 0);
    EXPECT_EQ(CheckSizeLimits(100, 0), 0);
    EXPECT_EQ(CheckSizeLimits(0, 100), 0);

    EXPECT_EQ(SizeLimitText(0), "");
    EXPECT_EQ(SizeLimitText(-5), "");
    EXPECT_EQ(SizeLimitText(10240), "10240");
    // Stored limits beyond 32 bits show their low half as a signed number.
    EXPECT_EQ(SizeLimitText((1LL << 32) + 7), "7");
    EXPECT_EQ(SizeLimitText(1LL << 31), "-2147483648");
    EXPECT_EQ(SizeLimitText(2147483647), "2147483647");
}

TEST(ValidationMessage, TextsOfTheRefusals) {
    EXPECT_STREQ(ValidationMessageText(IDS_INVALID_FILE_SIZE),
                 "\xE4\xB8\x8D\xE6\xAD\xA3\xE7\xA1\xAE\xE6\x96\x87\xE4\xBB\xB6\xE5\xA4\xA7"
                 "\xE5\xB0\x8F!");  // 不正确文件大小!
    EXPECT_STREQ(ValidationMessageText(2119), "不正确月份");
    EXPECT_STREQ(ValidationMessageText(1), "");
}

}  // namespace
