// The program's command numbers and the wx ids they are sent with.
//
// Commands are identified by the numbers of the resources (32780, 57601, ...). wx refuses menu
// and command ids from 0x7FFF up, so no number of 32768 or more can be a wx id as it stands.
// PAIRSCOUT_COMMANDS below is the one place that names a command: its number and the wx id used
// at run time, the wx standard id for a command of the framework's own (wxID_OPEN, wxID_SAVEAS,
// wxID_PRINT, ...), otherwise an id of the program's own above wxID_HIGHEST, given in list
// order. The enum, WxId() and the command table are all made from it. Control ids (1000s) and
// string ids (engine/text/text_list.h) are used as they are and do not appear here.
//
// WxId() is constexpr so that static event tables can name commands by their number:
//     EVT_MENU(WxId(cmd::ID_FIND_DUPLICATES), CGeminexView::OnFindDuplicates)
#pragma once

#include <cstddef>

#include <wx/defs.h>

#include "engine/text/string_table.h"

// Every command, in number order: STD(name, number, wx standard id) for a command wx has an id
// for, OWN(name, number) for one that gets an id of the program's own.
// clang-format off
#define PAIRSCOUT_COMMANDS(STD, OWN)                                                            \
    /* The program's own commands. */                                                           \
    OWN(ID_LINK_COPY_SHORTCUT, 32771)    /* hyperlink menu: copy the target text */              \
    OWN(ID_FILE_PROPERTIES, 32772)       /* the file's properties */                             \
    OWN(ID_EXPLORE_FOLDER, 32773)        /* the file's folder in the file manager */             \
    OWN(ID_LINK_ADD_FAVORITES, 32774)    /* hyperlink menu: shortcut into Favorites */           \
    OWN(ID_LINK_ADD_DESKTOP, 32775)      /* hyperlink menu: shortcut onto the desktop */         \
    OWN(ID_LINK_OPEN, 32776)             /* hyperlink menu: open the target */                   \
    OWN(ID_FIND_DUPLICATES, 32780)       /* search for duplicate files */                        \
    OWN(ID_DELETE_FILES, 32781)          /* delete the selected files (Shift: for good) */       \
    OWN(ID_SELECT_ALL_DUPLICATES, 32782) /* select every file but the first of each group */     \
    OWN(ID_SELECT_ALL_ROWS, 32786)       /* select every row of the list */                      \
    OWN(ID_COPY_ROWS, 32787)             /* copy rows as text */                                 \
    OWN(ID_UNDO_DELETE, 32790)           /* put back the files of the last move to the trash */  \
    OWN(ID_VIEW_LANGUAGE_CHINESE, 32791) /* the interface in Chinese from the next start */      \
    OWN(ID_VIEW_LANGUAGE_ENGLISH, 32792) /* the interface in English from the next start */      \
    OWN(ID_REPLACE_HARD_LINK, 32793)     /* the selected duplicates become hard links */         \
    OWN(ID_SHARE_DATA, 32794)            /* the selected duplicates share the kept data */       \
    OWN(ID_MOVE_TO, 32795)               /* the selected duplicates move into a folder */        \
    OWN(ID_CLEAR_CACHE, 32796)           /* empty the cache of what searches read */             \
    OWN(ID_SAVE_RESULTS, 32797)          /* save the listed results to a file */                 \
    OWN(ID_OPEN_RESULTS, 32798)          /* open saved results, every file checked again */      \
    OWN(ID_AGAINST_CATALOG, 32799)       /* list the files a catalog already holds */            \
    OWN(ID_EXPORT_XLSX, 32800)           /* export the listed results as an Excel workbook */    \
    OWN(ID_FOLDER_VIEW, 32801)           /* the duplicate folders, taken whole */                \
    OWN(ID_MARK_INVERT, 32820)           /* invert the selection */                             \
    OWN(ID_MARK_FOLDER, 32821)           /* select the focused row's folder */                  \
    OWN(ID_UNMARK_FOLDER, 32822)         /* unselect the focused row's folder */                \
    OWN(ID_MARK_MASK, 32823)             /* select the rows a mask admits */                    \
    OWN(ID_MARK_BUT_NEWEST, 32824)       /* each group: all but the newest */                   \
    OWN(ID_MARK_BUT_OLDEST, 32825)       /* each group: all but the oldest */                   \
    OWN(ID_MARK_BUT_FOLDER, 32826)       /* each group: all but the one in a folder */          \
    OWN(ID_UNMARK_PROTECTED, 32827)      /* unselect protected rows */                          \
    OWN(ID_SORT_PATH, 32828)             /* groups by path */                                   \
    OWN(ID_SORT_DATE, 32829)             /* groups by date */                                   \
    OWN(ID_SORT_SIZE, 32830)             /* groups by size */                                   \
    OWN(ID_SORT_COUNT, 32831)            /* groups by file count */                             \
    OWN(ID_SORT_FREED, 32832)            /* groups by bytes freed */                            \
    OWN(ID_SORT_NONE, 32833)             /* groups as the keep rules order them */              \
    OWN(ID_FILTER_FOCUS, 32834)          /* to the filter box */                                \
    OWN(ID_VIEW_PREVIEW, 32840)          /* show or hide the preview pane */                     \
    OWN(ID_IGNORE_GROUP, 32841)          /* the focused group out of this and later results */   \
    OWN(ID_IGNORE_LIST, 32842)           /* the ignored groups, to take one back */              \
    OWN(ID_HELP_SEARCH, 40013)           /* the help book's search (keyword index) */            \
    /* The framework's commands. */                                                              \
    STD(ID_FILE_NEW, 57600, wxID_NEW)                                                            \
    STD(ID_FILE_OPEN, 57601, wxID_OPEN)                                                          \
    STD(ID_FILE_SAVE_AS, 57604, wxID_SAVEAS)                                                     \
    STD(ID_FILE_PRINT_SETUP, 57606, wxID_PRINT_SETUP)                                            \
    STD(ID_FILE_PRINT, 57607, wxID_PRINT)                                                        \
    OWN(ID_FILE_PRINT_DIRECT, 57608)                                                             \
    STD(ID_FILE_PRINT_PREVIEW, 57609, wxID_PREVIEW)                                              \
    STD(ID_EDIT_COPY, 57634, wxID_COPY)                                                          \
    STD(ID_EDIT_FIND, 57636, wxID_FIND)                                                          \
    OWN(ID_EDIT_REPEAT, 57640)                                                                   \
    STD(ID_EDIT_REPLACE, 57641, wxID_REPLACE)                                                    \
    STD(ID_APP_ABOUT, 57664, wxID_ABOUT)                                                         \
    STD(ID_APP_EXIT, 57665, wxID_EXIT)                                                           \
    STD(ID_HELP_INDEX, 57666, wxID_HELP_INDEX)                                                   \
    STD(ID_HELP_FINDER, 57667, wxID_HELP_CONTENTS)                                               \
    STD(ID_HELP_USING, 57668, wxID_HELP_COMMANDS)                                                \
    STD(ID_CONTEXT_HELP, 57669, wxID_HELP_CONTEXT)                                               \
    STD(ID_HELP, 57670, wxID_HELP)                                                               \
    OWN(ID_DEFAULT_HELP, 57671)                                                                  \
    OWN(ID_NEXT_PANE, 57680)                                                                     \
    OWN(ID_PREV_PANE, 57681)                                                                     \
    OWN(ID_VIEW_TOOLBAR, 59392)                                                                  \
    OWN(ID_VIEW_STATUS_BAR, 59393)
// clang-format on

namespace cmd {

#define PAIRSCOUT_COMMAND_NUMBER_STD(name, number, wxid) name = number,
#define PAIRSCOUT_COMMAND_NUMBER_OWN(name, number) name = number,
// Command numbers, as the resources use them.
enum : int { PAIRSCOUT_COMMANDS(PAIRSCOUT_COMMAND_NUMBER_STD, PAIRSCOUT_COMMAND_NUMBER_OWN) };
#undef PAIRSCOUT_COMMAND_NUMBER_STD
#undef PAIRSCOUT_COMMAND_NUMBER_OWN

// Status bar indicator ids: the string ids of their texts (engine/text/text_list.h).
enum : int {
    ID_INDICATOR_CAPS = IDS_INDICATOR_CAPS,
    ID_INDICATOR_NUM = IDS_INDICATOR_NUM,
    ID_INDICATOR_SCRL = IDS_INDICATOR_SCRL,
};

// Resource 128: menu, accelerator table, toolbar, icon and document string of the template.
enum : int { IDR_MAINFRAME = 128 };

// First wx id of the program's own commands; they follow in list order.
constexpr int kFirstOwnWxId = wxID_HIGHEST + 100;

namespace detail {
// The place of each command without a wx standard id among such commands (0, 1, 2, ...).
#define PAIRSCOUT_COMMAND_SLOT_STD(name, number, wxid)
#define PAIRSCOUT_COMMAND_SLOT_OWN(name, number) OWN_SLOT_##name,
enum : int { PAIRSCOUT_COMMANDS(PAIRSCOUT_COMMAND_SLOT_STD, PAIRSCOUT_COMMAND_SLOT_OWN) };
#undef PAIRSCOUT_COMMAND_SLOT_STD
#undef PAIRSCOUT_COMMAND_SLOT_OWN
}  // namespace detail

}  // namespace cmd

// The wx id that command `number` is sent with; wxID_NONE for a number that is not a command.
constexpr int WxId(int number) {
#define PAIRSCOUT_COMMAND_WXID_STD(name, number, wxid) \
    case cmd::name:                                   \
        return wxid;
#define PAIRSCOUT_COMMAND_WXID_OWN(name, number) \
    case cmd::name:                             \
        return cmd::kFirstOwnWxId + cmd::detail::OWN_SLOT_##name;
    switch (number) {
        PAIRSCOUT_COMMANDS(PAIRSCOUT_COMMAND_WXID_STD, PAIRSCOUT_COMMAND_WXID_OWN)
        default: return wxID_NONE;
    }
#undef PAIRSCOUT_COMMAND_WXID_STD
#undef PAIRSCOUT_COMMAND_WXID_OWN
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

// A help command (ID_HELP) whose string names a page of the help book opens that page instead
// of the contents: the mask editor's Help asks for the page about masks.
constexpr const char kHelpPageMasks[] = "masks.html";
