// main() of gui_tests: wx under a temporary HOME, an assert handler that fails the test, then
// every test. Listing the tests (--gtest_list_tests, which CTest's discovery runs at build time
// without a display) needs no wx at all.
#include <cstdio>
#include <cstdlib>

#include <gtest/gtest.h>
#include <wx/app.h>

#include "app/gui_test_env.h"
#include "support/temp_dir.h"

wxIMPLEMENT_APP_NO_MAIN(CGeminexApp);

namespace {

TempDir* g_home = nullptr;
std::string g_homePath;

void PointHomeAt(const std::string& home) {
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_CONFIG_HOME", (home + ".config").c_str(), 1);
    setenv("XDG_DATA_HOME", (home + ".local/share").c_str(), 1);
    setenv("XDG_CACHE_HOME", (home + ".cache").c_str(), 1);
    setenv("XDG_STATE_HOME", (home + ".local/state").c_str(), 1);
    // No accessibility bus or desktop portal to wait for under Xvfb.
    setenv("NO_AT_BRIDGE", "1", 1);
    setenv("GTK_USE_PORTAL", "0", 1);
    // The window in its original texts, whatever the machine's locale, unless a test picks one.
    setenv("PAIRSCOUT_LANG", "zh_CN", 0);
    // The file choosers keep their own settings: in memory, not in a settings daemon.
    setenv("GSETTINGS_BACKEND", "memory", 1);
}

}  // namespace

namespace guitest {

const std::string& TempHome() { return g_homePath; }

}  // namespace guitest

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();

    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr) {
        std::fprintf(stderr,
                     "gui_tests open real windows and need a display: run them under xvfb-run "
                     "(xvfb-run -a ctest, or bash scripts/setup.sh test).\n");
        return 1;
    }

    g_home = new TempDir;
    g_homePath = g_home->Path();
    PointHomeAt(g_homePath);

    // A virtual X server started without -noreset resets whenever its last client leaves, and
    // refuses connections meanwhile: with test programs starting and ending side by side, a
    // start can fall into that moment. Try again a few times.
    const int result = guitest::RunTestsInWx(argc, argv, 10);
    delete g_home;
    return result;
}
