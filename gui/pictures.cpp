#include "gui/pictures.h"

#include <wx/imaglist.h>

#include "gui/command_ids.h"

#include "gui/art/group_tree.xpm"
#include "gui/art/row_lock.xpm"
#include "gui/art/icon_app_16.xpm"
#include "gui/art/icon_app_32.xpm"
#include "gui/art/tool_about.xpm"
#include "gui/art/tool_explore.xpm"
#include "gui/art/tool_find.xpm"
#include "gui/art/tool_print.xpm"
#include "gui/art/tool_properties.xpm"
#include "gui/art/tool_save_as.xpm"

wxBitmap LoadToolBitmap(int command) {
    switch (command) {
        case cmd::ID_FIND_DUPLICATES: return wxBitmap(tool_find_xpm);
        case cmd::ID_FILE_PROPERTIES: return wxBitmap(tool_properties_xpm);
        case cmd::ID_EXPLORE_FOLDER: return wxBitmap(tool_explore_xpm);
        case cmd::ID_FILE_SAVE_AS: return wxBitmap(tool_save_as_xpm);
        case cmd::ID_FILE_PRINT: return wxBitmap(tool_print_xpm);
        case cmd::ID_APP_ABOUT: return wxBitmap(tool_about_xpm);
        default: return wxBitmap();
    }
}

wxIconBundle LoadAppIcons() {
    wxIconBundle icons;
    icons.AddIcon(wxIcon(icon_app_16_xpm));
    icons.AddIcon(wxIcon(icon_app_32_xpm));
    return icons;
}

wxImageList* LoadGroupImages() {
    auto* images = new wxImageList(16, 16, true, 4);
    // A strip wider than one picture is cut into pictures of the list's width.
    images->Add(wxBitmap(group_tree_xpm));
    images->Add(wxBitmap(row_lock_xpm));
    return images;
}
