// The string table: every string id the program uses, with its text byte for byte.
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "gui/command_ids.h"
#include "engine/text/string_table.h"

namespace {

struct Expected {
    int id;
    const char* text;
};

// Written out by hand, not copied from the table.
const Expected kQuoted[] = {
    {128, "Pairscout\n\nPairscout\n\n\nGeminex.Document\nGeminex Document"},
    {2012, "%lu KB"},
    {2114, "发现 %d 个文件在 %d 个目录中"},
    {2119, "不正确月份"},
    {2120, "不正确星期"},
    {2121, "不正确年份"},
    {2122, "不正确日期"},
    {2139, "Orvelle Software Inc."},
    {2140, "查找重复的文件"},
    {2141, "要查找的路径"},
    {2143, "确定要删除 <%s>?"},
    {2144, "文件名"},
    {2145, "日期"},
    {2146, "大小"},
    {2147, "CRC"},
    {2148, "校验"},
    {2168, "发现 %d 个重复文件 (%s)"},
    {2172, "不正确文件大小!"},
    {2175, "%ld 字节"},
    {2176, "%.0lf KB"},
    {2177, "%.2lf MB"},
    {2178, "%.2lf GB"},
    {2206, "你确定要删除 %d 个文件吗?"},
    {2207, "逗号分隔的文件 (*.csv)|*.csv||"},
    {2208, "正在分类..."},
    {2210, "正在查找重复文件..."},
    {3016, "选择路径"},
    {3032, "本地硬盘"},
    {32772, "文件属性\n属性"},
    {32773, "在资源管理器中打开选择文件\n资源管理器"},
    {32780, "查找重复的文件\n查找"},
    {32781, "删除选择的文件\n删除"},
    {32782, "选择所有重复的文件\n选择所有重复的文件"},
    {40013, "查找帮助\n帮助"},
    {57344, "Pairscout"},
    {57345, "准备"},
    {59137, "CAP"},
    {59138, "NUM"},
    {59139, "SCRL"},
    {61732, "不能写入 %1, 它是只读文件或正被使用."},
};

TEST(StringTable, HoldsEveryQuotedStringExactly) {
    for (const Expected& e : kQuoted) {
        EXPECT_TRUE(HasStringText(e.id)) << e.id;
        EXPECT_STREQ(LoadStringText(e.id), e.text) << e.id;
    }
}

TEST(StringTable, Summary2209DisplaysLikeTheFirstDesign) {
    // "发现 %d 个重复的文件, 总共 %I64d 字节" with the portable 64-bit directive.
    char text[256];
    const std::int64_t bytes = 5000000000;
    std::snprintf(text, sizeof text, LoadStringText(2209), 3, bytes);
    EXPECT_STREQ(text, "发现 3 个重复的文件, 总共 5000000000 字节");
}

TEST(StringTable, FrameworkCommandsHavePromptsAndTooltips) {
    const int commands[] = {57601, 57604, 57606, 57607, 57636, 57640, 57664, 57665,
                            57670, 59392, 59393};
    for (int id : commands) {
        EXPECT_FALSE(LoadPromptText(id).empty()) << id;
        EXPECT_FALSE(LoadTooltipText(id).empty()) << id;
    }
}

TEST(StringTable, IdsAscendSoEveryEntryIsFound) {
    std::size_t count = 0;
    const StringTableEntry* table = StringTable(&count);
    ASSERT_GT(count, 0u);
    for (std::size_t i = 1; i < count; ++i) EXPECT_LT(table[i - 1].id, table[i].id);
    for (std::size_t i = 0; i < count; ++i) EXPECT_EQ(LoadStringText(table[i].id), table[i].text);
    EXPECT_STREQ(LoadStringText(9999), "");
    EXPECT_EQ(LoadPromptText(32780), "查找重复的文件");
    EXPECT_EQ(LoadTooltipText(32780), "查找");
    EXPECT_EQ(LoadTooltipText(57345), "");
}

// A prompt is found by its command's number: each IDS_PROMPT_x is the number of command ID_x.
TEST(StringTable, PromptsAreKeyedByTheirCommandNumbers) {
    std::size_t count = 0;
    const StringTableEntry* table = StringTable(&count);
    int prompts = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string name = table[i].name;
        if (name.compare(0, 11, "IDS_PROMPT_") != 0) continue;
        ++prompts;
        const CommandEntry* command = FindCommand(table[i].id);
        ASSERT_NE(command, nullptr) << name;
        EXPECT_EQ("ID_" + name.substr(11), command->name);
        EXPECT_FALSE(LoadPromptText(table[i].id).empty()) << name;
    }
    EXPECT_EQ(prompts, 55);
    EXPECT_EQ(cmd::ID_INDICATOR_CAPS, 59137);
    EXPECT_STREQ(LoadStringText(cmd::ID_INDICATOR_SCRL), "SCRL");
}

TEST(StringTable, DocumentStringFields) {
    EXPECT_EQ(LoadStringField(128, 0), "Pairscout");
    EXPECT_EQ(LoadStringField(128, 1), "");
    EXPECT_EQ(LoadStringField(128, 2), "Pairscout");
    EXPECT_EQ(LoadStringField(128, 3), "");
    EXPECT_EQ(LoadStringField(128, 4), "");
    EXPECT_EQ(LoadStringField(128, 5), "Geminex.Document");
    EXPECT_EQ(LoadStringField(128, 6), "Geminex Document");
    EXPECT_EQ(LoadStringField(128, 7), "");
}

}  // namespace
