// The program's command numbers and the wx ids they are sent with.
//
// Commands are identified by the numbers of the resources (32780, 57601, ...). wx refuses menu
// and command ids from 0x7FFF up, so no number of 32768 or more can be a wx id as it stands.
// This one table names every command with its number and the wx id used at run time: the wx
// standard id for a command of the framework's own (wxID_OPEN, wxID_SAVEAS, wxID_PRINT, ...),
// otherwise an id of the program's own above wxID_HIGHEST. Control ids (1000s) and string ids
// (2000s) are used as they are and do not appear here.
//
// WxId() is constexpr so that static event tables can name commands by their number:
//     EVT_MENU(WxId(cmd::ID_FIND_DUPLICATES), CGeminexView::OnFindDuplicates)
#pragma once

#include <cstddef>

#include <wx/defs.h>

namespace cmd {

// Command numbers, as the resources use them.
enum : int {
    // The program's own commands.
    ID_LINK_COPY_SHORTCUT = 32771,    // hyperlink menu: copy the target text
    ID_FILE_PROPERTIES = 32772,       // the file's properties
    ID_EXPLORE_FOLDER = 32773,        // the file's folder in the file manager
    ID_LINK_ADD_FAVORITES = 32774,    // hyperlink menu: shortcut into Favorites
    ID_LINK_ADD_DESKTOP = 32775,      // hyperlink menu: shortcut onto the desktop
    ID_LINK_OPEN = 32776,             // hyperlink menu: open the target
    ID_FIND_DUPLICATES = 32780,       // search for duplicate files
    ID_DELETE_FILES = 32781,          // delete the selected files (Shift: for good)
    ID_SELECT_ALL_DUPLICATES = 32782, // select every file but the first of each group
    ID_SELECT_ALL_ROWS = 32786,       // select every row of the list
    ID_COPY_ROWS = 32787,             // copy rows as text
    ID_HELP_SEARCH = 40013,           // the help book's search (keyword index)

    // The framework's commands.
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_SAVE_AS = 57604,
    ID_FILE_PRINT_SETUP = 57606,
    ID_FILE_PRINT = 57607,
    ID_FILE_PRINT_DIRECT = 57608,
    ID_FILE_PRINT_PREVIEW = 57609,
    ID_EDIT_COPY = 57634,
    ID_EDIT_FIND = 57636,
    ID_EDIT_REPEAT = 57640,
    ID_EDIT_REPLACE = 57641,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_HELP_INDEX = 57666,
    ID_HELP_FINDER = 57667,
    ID_HELP_USING = 57668,
    ID_CONTEXT_HELP = 57669,
    ID_HELP = 57670,
    ID_DEFAULT_HELP = 57671,
    ID_NEXT_PANE = 57680,
    ID_PREV_PANE = 57681,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
};

// Status bar indicator ids (also the string ids of their texts).
enum : int {
    ID_INDICATOR_CAPS = 59137,
    ID_INDICATOR_NUM = 59138,
    ID_INDICATOR_SCRL = 59139,
};

// String ids of the framework's own texts.
enum : int {
    AFX_IDS_APP_TITLE = 57344,
    AFX_IDS_IDLEMESSAGE = 57345,
};

// Resource 128: menu, accelerator table, toolbar, icon and document string of the template.
enum : int { IDR_MAINFRAME = 128 };

// First wx id of the program's own commands; they follow in table order.
constexpr int kFirstOwnWxId = wxID_HIGHEST + 100;

}  // namespace cmd

// The wx id that command `number` is sent with; wxID_NONE for a number that is not a command.
constexpr int WxId(int number) {
    switch (number) {
        // Framework commands: the wx standard ids.
        case cmd::ID_FILE_NEW: return wxID_NEW;
        case cmd::ID_FILE_OPEN: return wxID_OPEN;
        case cmd::ID_FILE_SAVE_AS: return wxID_SAVEAS;
        case cmd::ID_FILE_PRINT_SETUP: return wxID_PRINT_SETUP;
        case cmd::ID_FILE_PRINT: return wxID_PRINT;
        case cmd::ID_FILE_PRINT_PREVIEW: return wxID_PREVIEW;
        case cmd::ID_EDIT_COPY: return wxID_COPY;
        case cmd::ID_EDIT_FIND: return wxID_FIND;
        case cmd::ID_EDIT_REPLACE: return wxID_REPLACE;
        case cmd::ID_APP_ABOUT: return wxID_ABOUT;
        case cmd::ID_APP_EXIT: return wxID_EXIT;
        case cmd::ID_HELP_INDEX: return wxID_HELP_INDEX;
        case cmd::ID_HELP_FINDER: return wxID_HELP_CONTENTS;
        case cmd::ID_HELP_USING: return wxID_HELP_COMMANDS;
        case cmd::ID_CONTEXT_HELP: return wxID_HELP_CONTEXT;
        case cmd::ID_HELP: return wxID_HELP;
        // Commands without a wx standard id, framework's and own: ids of the program's own.
        case cmd::ID_FILE_PRINT_DIRECT: return cmd::kFirstOwnWxId + 0;
        case cmd::ID_EDIT_REPEAT: return cmd::kFirstOwnWxId + 1;
        case cmd::ID_DEFAULT_HELP: return cmd::kFirstOwnWxId + 2;
        case cmd::ID_NEXT_PANE: return cmd::kFirstOwnWxId + 3;
        case cmd::ID_PREV_PANE: return cmd::kFirstOwnWxId + 4;
        case cmd::ID_VIEW_TOOLBAR: return cmd::kFirstOwnWxId + 5;
        case cmd::ID_VIEW_STATUS_BAR: return cmd::kFirstOwnWxId + 6;
        case cmd::ID_LINK_COPY_SHORTCUT: return cmd::kFirstOwnWxId + 7;
        case cmd::ID_FILE_PROPERTIES: return cmd::kFirstOwnWxId + 8;
        case cmd::ID_EXPLORE_FOLDER: return cmd::kFirstOwnWxId + 9;
        case cmd::ID_LINK_ADD_FAVORITES: return cmd::kFirstOwnWxId + 10;
        case cmd::ID_LINK_ADD_DESKTOP: return cmd::kFirstOwnWxId + 11;
        case cmd::ID_LINK_OPEN: return cmd::kFirstOwnWxId + 12;
        case cmd::ID_FIND_DUPLICATES: return cmd::kFirstOwnWxId + 13;
        case cmd::ID_DELETE_FILES: return cmd::kFirstOwnWxId + 14;
        case cmd::ID_SELECT_ALL_DUPLICATES: return cmd::kFirstOwnWxId + 15;
        case cmd::ID_SELECT_ALL_ROWS: return cmd::kFirstOwnWxId + 16;
        case cmd::ID_COPY_ROWS: return cmd::kFirstOwnWxId + 17;
        case cmd::ID_HELP_SEARCH: return cmd::kFirstOwnWxId + 18;
        default: return wxID_NONE;
    }
}

// One row of the command table.
struct CommandEntry {
    int number;        // the program's command number
    const char* name;  // its symbolic name, for messages and tests
    int wxId;          // WxId(number)
};

// Every command, in number order; `count` receives the number of rows.
const CommandEntry* CommandTable(std::size_t* count);

// The command number sent with wx id `wxId`, or 0 when no command uses that id.
int CommandFromWxId(int wxId);

// The table row of command `number`, or nullptr.
const CommandEntry* FindCommand(int number);
