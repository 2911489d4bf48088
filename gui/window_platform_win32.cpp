#include "gui/window_platform.h"

#include <wx/intl.h>
#include <wx/translation.h>

namespace window_platform {

bool KeyStateReadable() { return true; }

bool ListKeepsOwnSelection() { return false; }

void SetTranslationsLoader(wxTranslations& translations) {
    translations.SetLoader(new wxResourceTranslationsLoader);
}

}  // namespace window_platform
