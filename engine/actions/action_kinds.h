// The actions that can be done with duplicates, one table row each: every front end (the
// window, the command line, the help) and every step of an action (plan, apply, report, undo)
// reads what an action is from here, so that adding one is adding a row and its act.
#pragma once

#include <string>
#include <vector>

enum class DuplicateActionKind {
    kTrash,      // to the trash
    kDelete,     // for good
    kHardLink,   // the duplicate's name becomes a second name of the copy that stays
    kShareData,  // the duplicate keeps its name, permissions and times, shares the copy's blocks
    kMove,       // into a folder, keeping its place below its start path
};

struct ActionKindInfo {
    DuplicateActionKind kind;
    const char* word;    // in the command line's output lines ("trash", "link", ...)
    const char* option;  // how the command line asks for it ("--trash", "--link hard", ...)
    int verbText;        // its name in the program's texts (IDS_ACTION_VERB_*)
    int statusText;      // the progress window's line while it runs
    bool removesName;    // the duplicate's name is gone afterwards: its row leaves the list
    bool freesSpace;     // done, the duplicate's bytes are free on its disk (not so for the
                         // trash or a move, which keep them on some disk)
    bool keepsFirstRow;  // a group's first row is the copy the others are made into or kept
                         // beside: never acted on, whoever chose it
    bool undoable;       // its steps can be taken back
};

// Every action, in the order above.
const std::vector<ActionKindInfo>& ActionKinds();
const ActionKindInfo& ActionKind(DuplicateActionKind kind);
// The action of a command-line word; null when none is called so.
const ActionKindInfo* FindActionKind(const std::string& word);

// The name of an action in the program's texts.
const char* ActionVerb(DuplicateActionKind kind);
// The action's command-line word.
const char* ActionWord(DuplicateActionKind kind);
