// What the window does differently by toolkit and system, one file per platform
// (window_platform_posix.cpp, window_platform_win32.cpp) picked by CMake.
#pragma once

class wxTranslations;

namespace window_platform {

// Whether the keyboard's lock states can be read: under GTK only from an X server (not under
// Wayland); always on Windows.
bool KeyStateReadable();

// Whether the results list keeps the selection itself: the generic list (GTK) looks each
// selected row up one by one, so the list keeps it and takes the input that changes it; the
// native list of Windows answers quickly and keeps its own input rules, so there the list
// asks it.
bool ListKeepsOwnSelection();

// Where the Chinese catalog of the toolkit is read from: inside the program on Windows (resource
// "wxstd_zh_CN"), the system's catalogs elsewhere.
void SetTranslationsLoader(wxTranslations& translations);

}  // namespace window_platform
