// Resource 128 of the main frame as plain tables: menu 128, accelerator table 128, toolbar 128
// and the status-bar indicators. CMainFrame builds its menu bar, toolbar and status bar from
// them.
#pragma once

#include <cstddef>

// One item of a popup menu: its command and the string id of its text; command 0 is a separator
// (text 0).
struct MenuItemResource {
    int command;
    int text;
};

// One popup of the menu bar, its text a string id.
struct MenuPopupResource {
    int text;
    const MenuItemResource* items;
    std::size_t count;
};

// Menu 128, popups left to right; `count` receives their number.
const MenuPopupResource* MainMenuResource(std::size_t* count);

// A menu of its own at the end of a popup of the menu bar (after a separator): the popup's
// text, its own text, its items.
struct SubmenuResource {
    int popup;
    int text;
    const MenuItemResource* items;
    std::size_t count;
};
const SubmenuResource* MenuSubmenus(std::size_t* count);
// The submenu of text `text` (nullptr: none).
const SubmenuResource* FindSubmenu(int text);
// The submenu's items as a menu (with their prompts), for the caller to own.
class wxMenu;
wxMenu* BuildSubmenu(const SubmenuResource& submenu);

// One accelerator: modifier flags (wxACCEL_CTRL, wxACCEL_SHIFT, wxACCEL_ALT), the wx key code
// (an upper-case letter or a WXK_ value) and the command number it sends.
struct AcceleratorResource {
    int flags;
    int keyCode;
    int command;
};

// The command that accelerator table 128 sends for a key with the given modifiers, or 0 when the
// table has no such key. The modifiers must match exactly; keypad Enter, Insert and Delete count
// as Enter, Insert and Delete (one virtual key each on Windows).
int FindAcceleratorCommand(int flags, int keyCode);

// Toolbar 128, left to right: command numbers, 0 for a separator.
const int* MainToolbarResource(std::size_t* count);

// The status-bar indicators in pane order: 0 for the message pane, then the indicator ids (whose
// strings are the texts the panes show while their key is on).
const int* StatusIndicatorResource(std::size_t* count);

// Menu commands shown with a check mark (the bars' visibility).
bool IsCheckCommand(int command);

// The string id of the shortcut that a menu item of `command` shows after its text ("Ctrl+A"),
// or 0 when its text carries its own or it has none.
int MenuShortcutText(int command);
