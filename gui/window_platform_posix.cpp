#include "gui/window_platform.h"

#include <wx/intl.h>
#include <wx/utils.h>

namespace window_platform {

bool KeyStateReadable() { return wxGetDisplayInfo().type == wxDisplayX11; }

bool ListKeepsOwnSelection() { return true; }

void SetTranslationsLoader(wxTranslations& /*translations*/) {}

}  // namespace window_platform
