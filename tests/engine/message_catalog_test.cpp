// The English catalog beside the table of texts: complete and current, read the same on every
// platform, and switched to without letting a faulty entry reach a formatter.
#include <cinttypes>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "engine/text/message_catalog.h"
#include "engine/text/string_table.h"
#include "engine/text/text_format.h"
#include "engine/text/text_language.h"
#include "platform/text_catalog.h"
#include "support/scoped_env.h"

namespace {

// The bytes of a .mo file holding `entries` (key: context "\x04" original, or the original).
std::string MakeMo(const std::vector<std::pair<std::string, std::string>>& entries, bool bigEndian) {
    std::string out;
    auto word = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) {
            const int shift = bigEndian ? 8 * (3 - i) : 8 * i;
            out += static_cast<char>((v >> shift) & 0xff);
        }
    };
    const auto n = static_cast<std::uint32_t>(entries.size());
    const std::uint32_t originals = 28;
    const std::uint32_t translations = originals + 8 * n;
    std::uint32_t data = translations + 8 * n;
    word(0x950412deu);
    word(0);
    word(n);
    word(originals);
    word(translations);
    word(0);
    word(0);
    std::string strings;
    std::vector<std::uint32_t> table;
    for (int side = 0; side < 2; ++side) {
        for (const auto& entry : entries) {
            const std::string& s = side == 0 ? entry.first : entry.second;
            table.push_back(static_cast<std::uint32_t>(s.size()));
            table.push_back(data + static_cast<std::uint32_t>(strings.size()));
            strings += s;
            strings += '\0';
        }
    }
    for (std::uint32_t v : table) word(v);
    return out + strings;
}

std::string Key(const char* name, const std::string& original) {
    return std::string(name) + '\x04' + original;
}

// Puts the original texts back however a test ends.
struct OriginalTextsAfter {
    ~OriginalTextsAfter() { UseOriginalTexts(); }
};

TEST(EnglishCatalog, EveryTextHasACurrentEnglishEntryWithTheOriginalsDirectives) {
    std::string bytes, why;
    ASSERT_TRUE(platform::ReadEnglishCatalog(&bytes, &why)) << why;
    MessageCatalog catalog;
    ASSERT_TRUE(catalog.Parse(bytes, &why)) << why;
    // A text added to the table without its English entry, an entry whose Chinese changed since,
    // an English format whose directives differ: each is a line here.
    const std::vector<std::string> problems = CatalogProblems(catalog);
    std::string all;
    for (const std::string& p : problems) all += p + "\n";
    EXPECT_TRUE(problems.empty()) << all;
    std::size_t count = 0;
    StringTable(&count);
    EXPECT_EQ(catalog.ByContext().size(), count);

    // Taken whole, and the formatters write English with this platform's 64-bit directives.
    OriginalTextsAfter restore;
    EXPECT_EQ(UseTranslatedTexts(catalog), count);
    EXPECT_STREQ(LoadStringText(IDS_MENU_FILE), "&File");
    EXPECT_EQ(FormatDuplicatesRunning(3, INT64_C(5000000000)),
              "Found 3 duplicate files, 5000000000 bytes in all");
    EXPECT_EQ(FormatPropertiesSize(UINT64_C(18446744073709551615)),
              "18446744073709551615 bytes");
    EXPECT_EQ(FormatCannotWriteFile("/t/a.csv"), "Cannot write to /t/a.csv: it is read-only or in use.");
    // Texts that are data, not words, stay as they are.
    EXPECT_STREQ(LoadStringText(IDS_DATE_PICTURE_CHINESE), LoadOriginalText(IDS_DATE_PICTURE_CHINESE));
    EXPECT_STREQ(LoadStringText(IDS_COPY_MARK_WORDS), LoadOriginalText(IDS_COPY_MARK_WORDS));
    UseOriginalTexts();
    EXPECT_STREQ(LoadStringText(IDS_MENU_FILE), "文件(&F)");
}

TEST(EnglishCatalog, FaultyEntriesStayInTheOriginalAndAreNamed) {
    const std::string sizeOriginal = LoadOriginalText(IDS_SIZE_BYTES);
    MessageCatalog catalog;
    std::string why;
    ASSERT_TRUE(catalog.Parse(
        MakeMo({{"", "Content-Type: text/plain; charset=UTF-8\n"},
                {Key("IDS_SIZE_BYTES", sizeOriginal), "%ld bytes"},
                // A directive of another type would read the wrong argument.
                {Key("IDS_CONFIRM_DELETE_FILES", LoadOriginalText(IDS_CONFIRM_DELETE_FILES)),
                 "Delete %s files?"},
                // Translated from a Chinese text the table no longer has.
                {Key("IDS_MENU_FILE", "旧文件(&F)"), "&File"},
                {Key("IDS_MENU_EDIT", LoadOriginalText(IDS_MENU_EDIT)), ""},
                {Key("IDS_GONE_AWAY", "不再有"), "Gone"}},
               false),
        &why))
        << why;
    OriginalTextsAfter restore;
    EXPECT_EQ(UseTranslatedTexts(catalog), 1u);
    EXPECT_EQ(FormatSizeBytes(12), "12 bytes");
    EXPECT_EQ(FormatConfirmDeleteFiles(2), "你确定要删除 2 个文件吗?");
    EXPECT_STREQ(LoadStringText(IDS_MENU_FILE), "文件(&F)");
    EXPECT_STREQ(LoadStringText(IDS_MENU_EDIT), "编辑(&E)");

    const std::vector<std::string> problems = CatalogProblems(catalog);
    auto named = [&](const std::string& start) {
        for (const std::string& p : problems)
            if (p.rfind(start, 0) == 0) return true;
        return false;
    };
    EXPECT_TRUE(named("IDS_CONFIRM_DELETE_FILES: directives %s where the original has %d"));
    EXPECT_TRUE(named("IDS_MENU_FILE: stale"));
    EXPECT_TRUE(named("IDS_MENU_EDIT: empty translation"));
    EXPECT_TRUE(named("IDS_MENU_VIEW: no translation"));
    EXPECT_TRUE(named("IDS_GONE_AWAY: not in the table"));
    EXPECT_FALSE(named("IDS_SIZE_BYTES"));
}

TEST(MessageCatalog, ReadsEitherByteOrderAndRefusesDamagedFiles) {
    const std::vector<std::pair<std::string, std::string>> entries = {
        {"", "Language: en\n"}, {Key("A", "甲"), "first"}, {"乙", "second"}};
    for (bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian);
        MessageCatalog catalog;
        std::string why;
        ASSERT_TRUE(catalog.Parse(MakeMo(entries, bigEndian), &why)) << why;
        EXPECT_EQ(catalog.Size(), 3u);
        ASSERT_NE(catalog.Find("A", "甲"), nullptr);
        EXPECT_EQ(*catalog.Find("A", "甲"), "first");
        EXPECT_EQ(catalog.Find("B", "甲"), nullptr);  // the context counts
        EXPECT_EQ(catalog.Find("", "甲"), nullptr);
        ASSERT_NE(catalog.Find("", "乙"), nullptr);
        EXPECT_EQ(catalog.ByContext().size(), 1u);
    }
    const std::string good = MakeMo(entries, false);
    MessageCatalog catalog;
    std::string why;
    EXPECT_FALSE(catalog.Parse(good.substr(0, 20), &why));
    EXPECT_FALSE(catalog.Parse(std::string(40, 'x'), &why));
    // Cut inside the strings: a string would reach past the end.
    EXPECT_FALSE(catalog.Parse(good.substr(0, good.size() - 3), &why));
    EXPECT_EQ(catalog.Size(), 0u);
    // A table offset far past the end.
    std::string wild = good;
    wild[12] = '\xff';
    wild[13] = '\xff';
    EXPECT_FALSE(catalog.Parse(wild, &why));
}

TEST(MessageCatalog, DirectivesAreComparedAsWritten) {
    EXPECT_EQ(FormatDirectives("发现 %d 个文件在 %d 个目录中"), "%d%d");
    EXPECT_EQ(FormatDirectives("%.2lf MB, 100%% done"), "%.2lf");
    EXPECT_EQ(FormatDirectives("不能写入 %1, 它是只读文件"), "%1");
    EXPECT_EQ(FormatDirectives("%" PRId64 " and %s"), "%" PRId64 "%s");
    EXPECT_EQ(FormatDirectives("%%today"), "");
    EXPECT_EQ(FormatDirectives("ends in %"), "%");
}

TEST(TextLanguage, ForcedThenChosenThenTheDesktops) {
    EXPECT_EQ(LanguageOfName("zh_CN.UTF-8", TextLanguage::kEnglish), TextLanguage::kChinese);
    EXPECT_EQ(LanguageOfName("zh_TW", TextLanguage::kEnglish), TextLanguage::kChinese);
    EXPECT_EQ(LanguageOfName("zh-Hans", TextLanguage::kEnglish), TextLanguage::kChinese);
    EXPECT_EQ(LanguageOfName("en_US.UTF-8", TextLanguage::kChinese), TextLanguage::kEnglish);
    EXPECT_EQ(LanguageOfName("de_DE", TextLanguage::kChinese), TextLanguage::kEnglish);
    EXPECT_EQ(LanguageOfName("C", TextLanguage::kChinese), TextLanguage::kEnglish);
    EXPECT_EQ(LanguageOfName("", TextLanguage::kChinese), TextLanguage::kChinese);

    EXPECT_EQ(ChooseTextLanguage("", "", "zh_CN.UTF-8"), TextLanguage::kChinese);
    EXPECT_EQ(ChooseTextLanguage("", "", "en_GB.UTF-8"), TextLanguage::kEnglish);
    EXPECT_EQ(ChooseTextLanguage("", "", ""), TextLanguage::kEnglish);
    EXPECT_EQ(ChooseTextLanguage("", "en", "zh_CN.UTF-8"), TextLanguage::kEnglish);
    EXPECT_EQ(ChooseTextLanguage("", "zh_CN", "en_US.UTF-8"), TextLanguage::kChinese);
    EXPECT_EQ(ChooseTextLanguage("zh_CN", "en", "en_US.UTF-8"), TextLanguage::kChinese);
    EXPECT_EQ(ChooseTextLanguage("en", "zh_CN", "zh_CN.UTF-8"), TextLanguage::kEnglish);
    EXPECT_STREQ(LanguageName(TextLanguage::kChinese), "zh_CN");
    EXPECT_STREQ(LanguageName(TextLanguage::kEnglish), "en");

    OriginalTextsAfter restore;
    std::string why;
    ASSERT_TRUE(UseTextLanguage(TextLanguage::kEnglish, &why)) << why;
    EXPECT_EQ(CurrentTextLanguage(), TextLanguage::kEnglish);
    // The start-path keyword is read in both languages while the interface is English.
    EXPECT_STREQ(LoadStringText(IDS_LOCAL_HARD_DISKS), "Local Hard Disks");
    ASSERT_TRUE(UseTextLanguage(TextLanguage::kChinese, &why));
    EXPECT_EQ(CurrentTextLanguage(), TextLanguage::kChinese);
}

#ifndef _WIN32
TEST(TextLanguage, DesktopLanguageIsReadAsGettextReadsIt) {
    ScopedEnvVar language("LANGUAGE", nullptr);
    ScopedEnvVar all("LC_ALL", nullptr);
    ScopedEnvVar messages("LC_MESSAGES", "zh_CN.UTF-8");
    ScopedEnvVar lang("LANG", "en_US.UTF-8");
    EXPECT_EQ(platform::UserLanguageName(), "zh_CN.UTF-8");
    {
        ScopedEnvVar over("LC_ALL", "en_US.UTF-8");
        EXPECT_EQ(platform::UserLanguageName(), "en_US.UTF-8");
        // LANGUAGE's first choice wins over the locale, except in the C locale.
        ScopedEnvVar list("LANGUAGE", "zh_CN:en");
        EXPECT_EQ(platform::UserLanguageName(), "zh_CN");
        ScopedEnvVar c("LC_ALL", "C");
        EXPECT_EQ(platform::UserLanguageName(), "C");
    }
    // The choice as the programs make it at start, PAIRSCOUT_LANG first.
    OriginalTextsAfter restore;
    {
        ScopedEnvVar forced("PAIRSCOUT_LANG", nullptr);
        EXPECT_EQ(UseUserTextLanguage(""), TextLanguage::kChinese);
        EXPECT_EQ(UseUserTextLanguage("en"), TextLanguage::kEnglish);
    }
    ScopedEnvVar forced("PAIRSCOUT_LANG", "en");
    EXPECT_EQ(UseUserTextLanguage("zh_CN"), TextLanguage::kEnglish);
    EXPECT_STREQ(LoadStringText(IDS_BUTTON_CANCEL), "Cancel");
}
#endif

}  // namespace
