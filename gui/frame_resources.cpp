#include "gui/frame_resources.h"

#include <wx/defs.h>
#include <wx/accel.h>

#include "gui/command_ids.h"

namespace {

#define COUNT_OF(a) (sizeof(a) / sizeof((a)[0]))

const MenuItemResource kFileMenu[] = {
    {cmd::ID_FIND_DUPLICATES, "搜索重复的文件(&S)"},
    {0, nullptr},
    {cmd::ID_FILE_OPEN, "打开(&O)"},
    {cmd::ID_FILE_SAVE_AS, "另存为(&A)..."},
    {0, nullptr},
    {cmd::ID_FILE_PRINT, "打印(&P)...\tCtrl+P"},
    {cmd::ID_FILE_PRINT_SETUP, "打印设置(&R)..."},
    {0, nullptr},
    {cmd::ID_APP_EXIT, "退出(&X)"},
};

const MenuItemResource kEditMenu[] = {
    {cmd::ID_SELECT_ALL_ROWS, "全选(&S)"},
    {cmd::ID_SELECT_ALL_DUPLICATES, "选择全部重复的文件(&E)"},
    {cmd::ID_COPY_ROWS, "复制(&C)"},
    {cmd::ID_DELETE_FILES, "删除(&D)"},
    {0, nullptr},
    {cmd::ID_EDIT_FIND, "查找(&F)\tCtrl+F"},
    {cmd::ID_EDIT_REPEAT, "查找下一个(&N)\tF3"},
};

const MenuItemResource kViewMenu[] = {
    {cmd::ID_VIEW_TOOLBAR, "工具栏(&T)"},
    {cmd::ID_VIEW_STATUS_BAR, "状态栏(&S)"},
    {0, nullptr},
    {cmd::ID_FILE_PROPERTIES, "属性(&O)"},
    {cmd::ID_EXPLORE_FOLDER, "浏览目录(&E)"},
};

const MenuItemResource kHelpMenu[] = {
    {cmd::ID_HELP, "内容(&C)\tF1"},
    {cmd::ID_HELP_SEARCH, "查找(&S)"},
    {0, nullptr},
    {cmd::ID_APP_ABOUT, "关于 Pairscout (&A)..."},
};

const MenuPopupResource kMainMenu[] = {
    {"文件(&F)", kFileMenu, COUNT_OF(kFileMenu)},
    {"编辑(&E)", kEditMenu, COUNT_OF(kEditMenu)},
    {"查看(&V)", kViewMenu, COUNT_OF(kViewMenu)},
    {"帮助(&H)", kHelpMenu, COUNT_OF(kHelpMenu)},
};

// Ctrl+C and Ctrl+Insert send the framework's copy command, which nothing handles: the keys are
// claimed here and so never reach the list's own key handling.
const AcceleratorResource kAccelerators[] = {
    {wxACCEL_CTRL, 'C', cmd::ID_EDIT_COPY},
    {wxACCEL_CTRL, WXK_INSERT, cmd::ID_EDIT_COPY},
    {wxACCEL_CTRL, 'P', cmd::ID_FILE_PRINT},
    {wxACCEL_CTRL, 'S', cmd::ID_FILE_SAVE_AS},
    {wxACCEL_NORMAL, WXK_DELETE, cmd::ID_DELETE_FILES},
    {wxACCEL_SHIFT, WXK_DELETE, cmd::ID_DELETE_FILES},
    {wxACCEL_NORMAL, WXK_F6, cmd::ID_NEXT_PANE},
    {wxACCEL_SHIFT, WXK_F6, cmd::ID_PREV_PANE},
    {wxACCEL_NORMAL, WXK_RETURN, cmd::ID_FILE_OPEN},
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

bool IsCheckCommand(int command) {
    return command == cmd::ID_VIEW_TOOLBAR || command == cmd::ID_VIEW_STATUS_BAR;
}
