// The pairscout executable: the one application object and wx's main.
#include "app/geminex_app.h"

#ifdef _WIN32
wxIMPLEMENT_APP(CGeminexApp);
#else
#include <cstdio>
#include <string>
#include <vector>

#include "app/command_line_info.h"
#include "engine/text/text_language.h"

wxIMPLEMENT_APP_NO_MAIN(CGeminexApp);

// --help and --version answer before wx starts the toolkit, which needs a display.
int main(int argc, char** argv) {
    // --help in the user's language (the View menu's choice is read once wx runs).
    UseUserTextLanguage("");
    std::string text;
    if (CCommandLineInfo::InfoText(std::vector<std::string>(argv + 1, argv + argc), &text)) {
        std::fputs(text.c_str(), stdout);
        return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
    }
    wxDISABLE_DEBUG_SUPPORT();
    return wxEntry(argc, argv);
}
#endif
