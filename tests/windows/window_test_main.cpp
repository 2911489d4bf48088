// main() of the Windows window tests (win_gui_tests, run under Wine): wx started once, an
// assert handler that fails the test, wx's log to stderr, then every test. The settings go to
// the registry of the Wine prefix the test script made for this run.

#include <gtest/gtest.h>
#include <wx/app.h>

#include "app/gui_test_env.h"

wxIMPLEMENT_APP_NO_MAIN(CGeminexApp);

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();
    return guitest::RunTestsInWx(argc, argv, 1);
}
