// The command-id table: every command number has its own wx id below 0x7FFF, and the id leads
// back to the number.
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "gui/command_ids.h"

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
        if (i > 0) {
            EXPECT_LT(table[i - 1].number, table[i].number);
        }
    }
    // Framework commands go with wx's own ids, so wx's stock handling and art apply to them.
    EXPECT_EQ(WxId(cmd::ID_FILE_OPEN), wxID_OPEN);
    EXPECT_EQ(WxId(cmd::ID_FILE_SAVE_AS), wxID_SAVEAS);
    EXPECT_EQ(WxId(cmd::ID_HELP), wxID_HELP);
    EXPECT_EQ(std::string(FindCommand(cmd::ID_FIND_DUPLICATES)->name), "ID_FIND_DUPLICATES");
    EXPECT_EQ(WxId(12345), wxID_NONE);
    EXPECT_EQ(CommandFromWxId(wxID_CUT), 0);
}

}  // namespace
