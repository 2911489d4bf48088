// The command-id table: every command number has a wx id below 0x7FFF; the framework's commands
// use the wx standard ids.
#include <set>

#include <gtest/gtest.h>

#include "app/command_ids.h"

namespace {

TEST(CommandIds, EveryCommandHasAUsableUniqueWxId) {
    std::size_t count = 0;
    const CommandEntry* table = CommandTable(&count);
    ASSERT_GE(count, 30u);
    std::set<int> numbers;
    std::set<int> ids;
    for (std::size_t i = 0; i < count; ++i) {
        SCOPED_TRACE(table[i].name);
        EXPECT_TRUE(numbers.insert(table[i].number).second);
        EXPECT_TRUE(ids.insert(table[i].wxId).second);
        EXPECT_EQ(table[i].wxId, WxId(table[i].number));
        EXPECT_NE(table[i].wxId, wxID_NONE);
        EXPECT_GT(table[i].wxId, 0);
        EXPECT_LT(table[i].wxId, 0x7FFF);
        // Clear of the ids wx gives the recent-file list.
        EXPECT_FALSE(table[i].wxId >= wxID_FILE1 && table[i].wxId <= wxID_FILE9);
        EXPECT_EQ(CommandFromWxId(table[i].wxId), table[i].number);
        EXPECT_EQ(FindCommand(table[i].number), &table[i]);
    }
}

TEST(CommandIds, FrameworkCommandsUseTheStandardIds) {
    EXPECT_EQ(WxId(57600), wxID_NEW);
    EXPECT_EQ(WxId(57601), wxID_OPEN);
    EXPECT_EQ(WxId(57604), wxID_SAVEAS);
    EXPECT_EQ(WxId(57606), wxID_PRINT_SETUP);
    EXPECT_EQ(WxId(57607), wxID_PRINT);
    EXPECT_EQ(WxId(57609), wxID_PREVIEW);
    EXPECT_EQ(WxId(57634), wxID_COPY);
    EXPECT_EQ(WxId(57636), wxID_FIND);
    EXPECT_EQ(WxId(57641), wxID_REPLACE);
    EXPECT_EQ(WxId(57664), wxID_ABOUT);
    EXPECT_EQ(WxId(57665), wxID_EXIT);
    EXPECT_EQ(WxId(57670), wxID_HELP);
}

TEST(CommandIds, OwnCommandsLieAboveTheStandardIds) {
    const int own[] = {32771, 32772, 32773, 32774, 32775, 32776, 32780, 32781,
                       32782, 32786, 32787, 40013, 57640, 59392, 59393};
    for (int number : own) {
        EXPECT_GT(WxId(number), wxID_HIGHEST) << number;
        EXPECT_NE(FindCommand(number), nullptr) << number;
    }
}

TEST(CommandIds, UnknownNumbersAndIds) {
    EXPECT_EQ(WxId(12345), wxID_NONE);
    EXPECT_EQ(CommandFromWxId(wxID_NONE), 0);
    EXPECT_EQ(CommandFromWxId(wxID_CUT), 0);
    EXPECT_EQ(FindCommand(1), nullptr);
}

}  // namespace
