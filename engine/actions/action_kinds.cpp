#include "engine/actions/action_kinds.h"

#include "engine/text/string_table.h"

const std::vector<ActionKindInfo>& ActionKinds() {
    static const std::vector<ActionKindInfo> kinds = {
        // kind                          word     option     verb            status
        //   removes frees  keeps first undo
        {DuplicateActionKind::kTrash, "trash", "--trash", IDS_ACTION_VERB_TRASH, IDS_DELETE_CHECKING,
         true, false, false, true},
        {DuplicateActionKind::kDelete, "delete", "--delete", IDS_ACTION_VERB_DELETE, IDS_DELETE_CHECKING,
         true, true, false, false},
        {DuplicateActionKind::kHardLink, "link", "--link hard", IDS_ACTION_VERB_LINK, IDS_ACTION_CHECKING,
         false, true, true, true},
        {DuplicateActionKind::kShareData, "clone", "--link clone", IDS_ACTION_VERB_SHARE, IDS_ACTION_CHECKING,
         false, true, true, true},
        {DuplicateActionKind::kMove, "move", "--move-to", IDS_ACTION_VERB_MOVE, IDS_ACTION_CHECKING,
         true, false, true, true},
    };
    return kinds;
}

const ActionKindInfo& ActionKind(DuplicateActionKind kind) {
    for (const ActionKindInfo& info : ActionKinds())
        if (info.kind == kind) return info;
    return ActionKinds().front();
}

const ActionKindInfo* FindActionKind(const std::string& word) {
    for (const ActionKindInfo& info : ActionKinds())
        if (word == info.word) return &info;
    return nullptr;
}

const char* ActionVerb(DuplicateActionKind kind) { return LoadStringText(ActionKind(kind).verbText); }

const char* ActionWord(DuplicateActionKind kind) { return ActionKind(kind).word; }
