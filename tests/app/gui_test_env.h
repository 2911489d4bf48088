// Shared ground of the window suites (tests/app, gui, options, results, ui), built into gui_tests,
// and of the picture program and the window benchmark.
//
// gui_test_main.cpp starts wx once per process under a temporary HOME (HOME, XDG_CONFIG_HOME,
// XDG_DATA_HOME and XDG_CACHE_HOME all point into a fresh folder, so no test touches the user's
// settings), installs a wx assert handler that fails the running test instead of opening an
// assert dialog, sends wx log messages to stderr instead of message boxes, and keeps an event
// loop active for the tests. Tests end every modal dialog themselves (CallAfter + EndModal).
#pragma once

#include <functional>
#include <string>

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/toplevel.h>
#include <wx/utils.h>

#include "gui/command_ids.h"
#include "app/geminex_app.h"
#include "app/main_frame.h"
#include "options/options_sheet.h"
#include "results/geminex_view.h"
#include "results/kv_list_ctrl.h"

class TempDir;

namespace guitest {

// The temporary home folder of this test process, ending in "/" (gui_tests only: on Windows
// the settings live in the registry).
const std::string& TempHome();

// Lets wx handle what is waiting (window-system events, pending events, idle handling,
// pending deletions), for about `ms` milliseconds and at least one round.
void ProcessEvents(int ms = 0);

// Processes events until `done` returns true or `ms` milliseconds have passed; returns `done()`.
bool WaitFor(const std::function<bool()>& done, int ms = 3000);

// The one waiter for modal dialogs: runs `body` once a dialog of type T is shown modally;
// `body` is to end it. The test fails when no such dialog shows within about five seconds; a
// dialog that `body` left open is ended with wxID_ABORT about five seconds later, so that a
// test cannot hang.
template <typename T>
void WhenModal(std::function<void(T*)> body, int triesLeft = 500);

// The folders of the pictures in docs/: groups of three and two copies, a pair, and a file
// without a copy, with Chinese names.
void WritePictureTree(const TempDir& tree);

// Starts wx (trying `startAttempts` times), runs every test inside an active event loop, takes
// the application down and returns the tests' result; 1 when wx does not start. wx asserts
// fail the running test, wx's log goes to stderr.
int RunTestsInWx(int argc, char** argv, int startAttempts);

namespace detail {

// The shown modal dialog of type T, or null.
template <typename T>
T* ShownModal() {
    for (wxWindow* window : wxTopLevelWindows) {
        T* found = dynamic_cast<T*>(window);
        if (found != nullptr && found->IsShown() && found->IsModal()) return found;
    }
    return nullptr;
}

// Ends `dialog` with wxID_ABORT if it is still open and modal once `triesLeft` rounds of about
// 10 ms have passed. Only compares the address while the dialog may be gone.
template <typename T>
void AbortIfLeftOpen(wxWindow* dialog, int triesLeft) {
    wxTheApp->CallAfter([dialog, triesLeft] {
        for (wxWindow* window : wxTopLevelWindows) {
            if (window != dialog) continue;
            T* open = dynamic_cast<T*>(window);
            // Ended already (a return code is set) but still inside its loop: wxMSW keeps a
            // dialog modal until ShowModal returns, and an abort now would replace its answer.
            if (open == nullptr || !open->IsModal() || open->GetReturnCode() != 0) return;
            if (triesLeft > 0) {
                wxMilliSleep(10);
                AbortIfLeftOpen<T>(dialog, triesLeft - 1);
            } else {
                open->EndModal(wxID_ABORT);
            }
            return;
        }
    });
}

}  // namespace detail

template <typename T>
void WhenModal(std::function<void(T*)> body, int triesLeft) {
    wxTheApp->CallAfter([body, triesLeft] {
        if (T* dialog = detail::ShownModal<T>()) {
            body(dialog);
            detail::AbortIfLeftOpen<T>(dialog, 500);
        } else if (triesLeft > 0) {
            wxMilliSleep(10);
            WhenModal<T>(body, triesLeft - 1);
        } else {
            ADD_FAILURE() << "the dialog was never shown modally";
        }
    });
}

}  // namespace guitest

// A test with the whole application started as the program starts it (InitInstance with the
// given arguments: no arguments by default) and taken down again at its end.
class GeminexAppTest : public ::testing::Test {
protected:
    void SetUp() override { StartApp({}); }
    void TearDown() override { StopApp(); }

    void StartApp(const std::vector<std::string>& args) {
        app = GetGeminexApp();
        ASSERT_NE(app, nullptr);
        ASSERT_TRUE(app->InitInstance(args));
        frame = GetMainFrame();
        ASSERT_NE(frame, nullptr);
        guitest::ProcessEvents(50);
    }

    void StopApp() {
        if (app != nullptr) app->ExitInstance();
        guitest::ProcessEvents();
        frame = nullptr;
    }

    CGeminexApp* app = nullptr;
    CMainFrame* frame = nullptr;
};

// The application with its duplicates view and the view's list.
class GeminexViewAppTest : public GeminexAppTest {
protected:
    void SetUp() override {
        GeminexAppTest::SetUp();
        view = wxDynamicCast(app->GetDocManager()->GetCurrentView(), CGeminexView);
        ASSERT_NE(view, nullptr);
        list = view->GetListCtrl();
        ASSERT_NE(list, nullptr);
    }

    // Searches `paths` with every file and no filter through the command the menu and the
    // toolbar send, answering the options sheet with OK as the user does, and waits for it to
    // end. False when the sheet did not show, the command was not taken or the search did not
    // end.
    bool SearchThroughTheCommand(const std::string& paths) {
        SearchOptions options = view->GetSearchOptions();
        options.paths = {paths};
        options.mask = "*.*";
        options.filter = SearchFilter();
        view->SetSearchOptions(options);
        bool sheetSeen = false;
        guitest::WhenModal<COptionsSheet>([&](COptionsSheet* sheet) {
            sheetSeen = true;
            sheet->EndModal(wxID_OK);
        });
        const bool taken = frame->ExecuteCommand(WxId(cmd::ID_FIND_DUPLICATES));
        // The search runs on a worker: its rows are there once the view is no longer busy.
        const bool over = guitest::WaitFor([&] { return !view->IsBusy(); }, 120000);
        return taken && sheetSeen && over;
    }

    CGeminexView* view = nullptr;
    CKvListCtrl* list = nullptr;
};
