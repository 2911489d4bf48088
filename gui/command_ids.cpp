#include "gui/command_ids.h"

namespace {

#define PAIRSCOUT_COMMAND_ROW_STD(id, number, wxid) {cmd::id, #id, WxId(cmd::id)},
#define PAIRSCOUT_COMMAND_ROW_OWN(id, number) {cmd::id, #id, WxId(cmd::id)},

constexpr CommandEntry kCommands[] = {
    PAIRSCOUT_COMMANDS(PAIRSCOUT_COMMAND_ROW_STD, PAIRSCOUT_COMMAND_ROW_OWN)};

#undef PAIRSCOUT_COMMAND_ROW_STD
#undef PAIRSCOUT_COMMAND_ROW_OWN

// The list is kept in number order, and no two commands share a wx id.
constexpr bool ListIsSound() {
    constexpr std::size_t count = sizeof kCommands / sizeof kCommands[0];
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0 && kCommands[i - 1].number >= kCommands[i].number) return false;
        for (std::size_t j = 0; j < i; ++j) {
            if (kCommands[j].wxId == kCommands[i].wxId) return false;
        }
    }
    return true;
}
static_assert(ListIsSound(), "PAIRSCOUT_COMMANDS: numbers out of order or a wx id used twice");

}  // namespace

const CommandEntry* CommandTable(std::size_t* count) {
    if (count != nullptr) *count = sizeof kCommands / sizeof kCommands[0];
    return kCommands;
}

int CommandFromWxId(int wxId) {
    if (wxId == wxID_NONE) return 0;
    for (const CommandEntry& entry : kCommands) {
        if (entry.wxId == wxId) return entry.number;
    }
    return 0;
}

const CommandEntry* FindCommand(int number) {
    for (const CommandEntry& entry : kCommands) {
        if (entry.number == number) return &entry;
    }
    return nullptr;
}
