#include "gui/frame_resources.h"

#include <wx/defs.h>
#include <wx/accel.h>
#include <wx/menu.h>

#include "gui/command_ids.h"
#include "engine/text/string_table.h"
#include "gui/wx_text.h"

namespace {

#define COUNT_OF(a) (sizeof(a) / sizeof((a)[0]))

const MenuItemResource kFileMenu[] = {
    {cmd::ID_FIND_DUPLICATES, IDS_MENU_FIND_DUPLICATES},
    {cmd::ID_AGAINST_CATALOG, IDS_MENU_AGAINST_CATALOG},
    {0, 0},
    {cmd::ID_OPEN_RESULTS, IDS_MENU_OPEN_RESULTS},
    {cmd::ID_SAVE_RESULTS, IDS_MENU_SAVE_RESULTS},
    {0, 0},
    {cmd::ID_FILE_OPEN, IDS_MENU_OPEN},
    {cmd::ID_FILE_SAVE_AS, IDS_MENU_SAVE_AS},
    {cmd::ID_EXPORT_XLSX, IDS_MENU_EXPORT_XLSX},
    {0, 0},
    {cmd::ID_FILE_PRINT, IDS_MENU_PRINT},
    {cmd::ID_FILE_PRINT_PREVIEW, IDS_MENU_PRINT_PREVIEW},
    {cmd::ID_FILE_PRINT_SETUP, IDS_MENU_PRINT_SETUP},
    {0, 0},
    {cmd::ID_CLEAR_CACHE, IDS_MENU_CLEAR_CACHE},
    {cmd::ID_IGNORE_LIST, IDS_MENU_IGNORE_LIST},
    {0, 0},
    {cmd::ID_APP_EXIT, IDS_MENU_EXIT},
};

const MenuItemResource kEditMenu[] = {
    {cmd::ID_SELECT_ALL_ROWS, IDS_MENU_SELECT_ALL},
    {cmd::ID_SELECT_ALL_DUPLICATES, IDS_MENU_SELECT_ALL_DUPLICATES},
    {cmd::ID_COPY_ROWS, IDS_MENU_COPY},
    {cmd::ID_DELETE_FILES, IDS_MENU_DELETE},
    {cmd::ID_UNDO_DELETE, IDS_MENU_UNDO_DELETE},
    {0, 0},
    {cmd::ID_REPLACE_HARD_LINK, IDS_MENU_REPLACE_HARD_LINK},
    {cmd::ID_SHARE_DATA, IDS_MENU_SHARE_DATA},
    {cmd::ID_MOVE_TO, IDS_MENU_MOVE_TO},
    {cmd::ID_IGNORE_GROUP, IDS_MENU_IGNORE_GROUP},
    {0, 0},
    {cmd::ID_EDIT_FIND, IDS_MENU_FIND},
    {cmd::ID_EDIT_REPEAT, IDS_MENU_FIND_NEXT},
};

const MenuItemResource kViewMenu[] = {
    {cmd::ID_VIEW_TOOLBAR, IDS_MENU_TOOLBAR},
    {cmd::ID_VIEW_STATUS_BAR, IDS_MENU_STATUS_BAR},
    {cmd::ID_VIEW_PREVIEW, IDS_MENU_PREVIEW},
    {0, 0},
    {cmd::ID_FILE_PROPERTIES, IDS_MENU_PROPERTIES},
    {cmd::ID_EXPLORE_FOLDER, IDS_MENU_EXPLORE_FOLDER},
    {0, 0},
    {cmd::ID_FOLDER_VIEW, IDS_MENU_FOLDER_VIEW},
    {cmd::ID_FILTER_FOCUS, IDS_MENU_FILTER},
};

// 编辑 → 标记: selections by a criterion (also in the list's context menu).
const MenuItemResource kMarkMenu[] = {
    {cmd::ID_MARK_INVERT, IDS_MENU_MARK_INVERT},
    {0, 0},
    {cmd::ID_MARK_FOLDER, IDS_MENU_MARK_FOLDER},
    {cmd::ID_UNMARK_FOLDER, IDS_MENU_UNMARK_FOLDER},
    {cmd::ID_MARK_MASK, IDS_MENU_MARK_MASK},
    {0, 0},
    {cmd::ID_MARK_BUT_NEWEST, IDS_MENU_MARK_BUT_NEWEST},
    {cmd::ID_MARK_BUT_OLDEST, IDS_MENU_MARK_BUT_OLDEST},
    {cmd::ID_MARK_BUT_FOLDER, IDS_MENU_MARK_BUT_FOLDER},
    {0, 0},
    {cmd::ID_UNMARK_PROTECTED, IDS_MENU_UNMARK_PROTECTED},
};

// 查看 → 排序: the column headings' sorts, for the keyboard.
const MenuItemResource kSortMenu[] = {
    {cmd::ID_SORT_PATH, IDS_MENU_SORT_PATH},
    {cmd::ID_SORT_DATE, IDS_MENU_SORT_DATE},
    {cmd::ID_SORT_SIZE, IDS_MENU_SORT_SIZE},
    {cmd::ID_SORT_COUNT, IDS_MENU_SORT_COUNT},
    {cmd::ID_SORT_FREED, IDS_MENU_SORT_FREED},
    {0, 0},
    {cmd::ID_SORT_NONE, IDS_MENU_SORT_NONE},
};

const SubmenuResource kSubmenus[] = {
    {IDS_MENU_EDIT, IDS_MENU_MARK, kMarkMenu, COUNT_OF(kMarkMenu)},
    {IDS_MENU_VIEW, IDS_MENU_SORT, kSortMenu, COUNT_OF(kSortMenu)},
};

const MenuItemResource kHelpMenu[] = {
    {cmd::ID_HELP, IDS_MENU_HELP_CONTENTS},
    {cmd::ID_HELP_SEARCH, IDS_MENU_HELP_SEARCH},
    {0, 0},
    {cmd::ID_APP_ABOUT, IDS_MENU_ABOUT},
};

const MenuPopupResource kMainMenu[] = {
    {IDS_MENU_FILE, kFileMenu, COUNT_OF(kFileMenu)},
    {IDS_MENU_EDIT, kEditMenu, COUNT_OF(kEditMenu)},
    {IDS_MENU_VIEW, kViewMenu, COUNT_OF(kViewMenu)},
    {IDS_MENU_HELP, kHelpMenu, COUNT_OF(kHelpMenu)},
};

// Ctrl+C and Ctrl+Insert copy the rows, the same command as the menu's 复制.
const AcceleratorResource kAccelerators[] = {
    {wxACCEL_CTRL, 'C', cmd::ID_COPY_ROWS},
    {wxACCEL_CTRL, WXK_INSERT, cmd::ID_COPY_ROWS},
    {wxACCEL_CTRL, 'P', cmd::ID_FILE_PRINT},
    {wxACCEL_CTRL, 'S', cmd::ID_FILE_SAVE_AS},
    {wxACCEL_CTRL | wxACCEL_SHIFT, 'S', cmd::ID_SAVE_RESULTS},
    {wxACCEL_CTRL, 'O', cmd::ID_OPEN_RESULTS},
    {wxACCEL_NORMAL, WXK_DELETE, cmd::ID_DELETE_FILES},
    {wxACCEL_SHIFT, WXK_DELETE, cmd::ID_DELETE_FILES},
    {wxACCEL_CTRL, 'Z', cmd::ID_UNDO_DELETE},
    {wxACCEL_NORMAL, WXK_F6, cmd::ID_NEXT_PANE},
    {wxACCEL_SHIFT, WXK_F6, cmd::ID_PREV_PANE},
    {wxACCEL_NORMAL, WXK_RETURN, cmd::ID_FILE_OPEN},
    {wxACCEL_CTRL | wxACCEL_SHIFT, 'F', cmd::ID_FILTER_FOCUS},
    {wxACCEL_CTRL | wxACCEL_SHIFT, 'P', cmd::ID_VIEW_PREVIEW},
    {wxACCEL_CTRL | wxACCEL_SHIFT, 'I', cmd::ID_IGNORE_GROUP},
};

const int kToolbar[] = {
    cmd::ID_FIND_DUPLICATES, 0,
    cmd::ID_FILE_PROPERTIES, cmd::ID_EXPLORE_FOLDER, 0,
    cmd::ID_FILE_SAVE_AS, 0,
    cmd::ID_FILE_PRINT, cmd::ID_APP_ABOUT,
};

const int kIndicators[] = {
    0, cmd::ID_INDICATOR_CAPS, cmd::ID_INDICATOR_NUM, cmd::ID_INDICATOR_SCRL,
};

// The shortcut each menu item shows after its text (the items whose texts do not carry one).
const struct {
    int command;
    int text;
} kMenuShortcuts[] = {
    {cmd::ID_SELECT_ALL_ROWS, IDS_SHORTCUT_SELECT_ALL},
    {cmd::ID_FILE_SAVE_AS, IDS_SHORTCUT_SAVE_AS},
    {cmd::ID_SAVE_RESULTS, IDS_SHORTCUT_SAVE_RESULTS},
    {cmd::ID_OPEN_RESULTS, IDS_SHORTCUT_OPEN_RESULTS},
    // Named, so that the toolkit does not show its stock Ctrl+O there: that is 打开结果's.
    {cmd::ID_FILE_OPEN, IDS_SHORTCUT_OPEN},
    {cmd::ID_DELETE_FILES, IDS_SHORTCUT_DELETE},
    {cmd::ID_COPY_ROWS, IDS_SHORTCUT_COPY},
    {cmd::ID_FILTER_FOCUS, IDS_SHORTCUT_FILTER},
};

int NormaliseKey(int keyCode) {
    switch (keyCode) {
        case WXK_NUMPAD_ENTER: return WXK_RETURN;
        case WXK_NUMPAD_INSERT: return WXK_INSERT;
        case WXK_NUMPAD_DELETE: return WXK_DELETE;
        default: break;
    }
    if (keyCode >= 'a' && keyCode <= 'z') return keyCode - 'a' + 'A';
    return keyCode;
}

}  // namespace

const MenuPopupResource* MainMenuResource(std::size_t* count) {
    if (count != nullptr) *count = COUNT_OF(kMainMenu);
    return kMainMenu;
}

const SubmenuResource* MenuSubmenus(std::size_t* count) {
    if (count != nullptr) *count = COUNT_OF(kSubmenus);
    return kSubmenus;
}

const SubmenuResource* FindSubmenu(int text) {
    for (const SubmenuResource& submenu : kSubmenus)
        if (submenu.text == text) return &submenu;
    return nullptr;
}

wxMenu* BuildSubmenu(const SubmenuResource& submenu) {
    auto* menu = new wxMenu;
    for (std::size_t i = 0; i < submenu.count; ++i) {
        const MenuItemResource& item = submenu.items[i];
        if (item.command == 0) {
            menu->AppendSeparator();
            continue;
        }
        wxString label = LoadWxString(item.text);
        if (const int shortcut = MenuShortcutText(item.command))
            label += "\t" + LoadWxString(shortcut);
        menu->Append(WxId(item.command), label, LoadWxPrompt(item.command));
    }
    return menu;
}

int FindAcceleratorCommand(int flags, int keyCode) {
    const int modifiers = flags & (wxACCEL_CTRL | wxACCEL_SHIFT | wxACCEL_ALT);
    const int key = NormaliseKey(keyCode);
    for (const AcceleratorResource& accel : kAccelerators) {
        if (accel.flags == modifiers && accel.keyCode == key) return accel.command;
    }
    return 0;
}

const int* MainToolbarResource(std::size_t* count) {
    if (count != nullptr) *count = COUNT_OF(kToolbar);
    return kToolbar;
}

const int* StatusIndicatorResource(std::size_t* count) {
    if (count != nullptr) *count = COUNT_OF(kIndicators);
    return kIndicators;
}

int MenuShortcutText(int command) {
    for (const auto& shortcut : kMenuShortcuts)
        if (shortcut.command == command) return shortcut.text;
    return 0;
}

bool IsCheckCommand(int command) {
    return command == cmd::ID_VIEW_TOOLBAR || command == cmd::ID_VIEW_STATUS_BAR ||
           command == cmd::ID_VIEW_PREVIEW;
}
