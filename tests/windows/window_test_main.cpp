// main() of the Windows window tests (win_gui_tests, run under Wine): wx started once, an
// assert handler that fails the test, wx's log to stderr, then every test. The settings go to
// the registry of the Wine prefix the test script made for this run.
#include <cstdio>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/stopwatch.h>
#include <wx/utils.h>

#include "app/gui_test_env.h"
#include "support/temp_dir.h"

wxIMPLEMENT_APP_NO_MAIN(CGeminexApp);

namespace {

std::string g_homePath;

void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& msg) {
    ADD_FAILURE_AT(file.utf8_str().data(), line)
        << "wx assert failed in " << func.utf8_str().data() << ": " << cond.utf8_str().data()
        << (msg.empty() ? "" : " - ") << msg.utf8_str().data();
}

}  // namespace

namespace guitest {

const std::string& TempHome() { return g_homePath; }
}  // namespace guitest

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();

    TempDir home;
    g_homePath = home.Path();
    wxSetAssertHandler(&FailOnAssert);
    if (!wxEntryStart(argc, argv)) {
        std::fprintf(stderr, "wx could not start\n");
        return 1;
    }
    delete wxLog::SetActiveTarget(new wxLogStderr);

    int result = 0;
    {
        wxEventLoop loop;
        wxEventLoopActivator activate(&loop);
        result = RUN_ALL_TESTS();
        if (CGeminexApp* app = GetGeminexApp()) app->ExitInstance();
        guitest::ProcessEvents();
    }
    wxEntryCleanup();
    return result;
}
