// The event helpers of the window suites, shared by the test programs of both platforms.
#include "app/gui_test_env.h"

#include <cstdio>

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/stopwatch.h>
#include <wx/utils.h>

namespace {

void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& msg) {
    ADD_FAILURE_AT(file.utf8_str().data(), line)
        << "wx assert failed in " << func.utf8_str().data() << ": " << cond.utf8_str().data()
        << (msg.empty() ? "" : " - ") << msg.utf8_str().data();
}

}  // namespace

namespace guitest {

void ProcessEvents(int ms) {
    wxStopWatch watch;
    do {
        if (wxTheApp == nullptr) return;
        wxTheApp->Yield(true);
        wxTheApp->ProcessPendingEvents();
        wxTheApp->ProcessIdle();  // also deletes the windows whose deletion is pending
        if (ms > 0) wxMilliSleep(5);
    } while (watch.Time() < ms);
}

bool WaitFor(const std::function<bool()>& done, int ms) {
    wxStopWatch watch;
    while (!done()) {
        if (watch.Time() >= ms) return done();
        ProcessEvents(10);
    }
    return true;
}

void WhenSheetShown(std::function<void(COptionsSheet*)> body, int triesLeft) {
    wxTheApp->CallAfter([body, triesLeft] {
        for (wxWindow* window : wxTopLevelWindows) {
            auto* sheet = dynamic_cast<COptionsSheet*>(window);
            if (sheet != nullptr && sheet->IsShown() && sheet->IsModal()) {
                body(sheet);
                return;
            }
        }
        if (triesLeft > 0) {
            wxMilliSleep(10);
            WhenSheetShown(body, triesLeft - 1);
        } else {
            ADD_FAILURE() << "the options sheet was never shown";
        }
    });
}

int RunTestsInWx(int argc, char** argv, int startAttempts) {
    wxSetAssertHandler(&FailOnAssert);
    bool started = false;
    for (int attempt = 0; attempt < startAttempts && !started; ++attempt) {
        if (attempt > 0) wxMilliSleep(200);
        started = wxEntryStart(argc, argv);
    }
    if (!started) {
        std::fprintf(stderr, "wx could not start (no usable display?)\n");
        return 1;
    }
    delete wxLog::SetActiveTarget(new wxLogStderr);

    int result = 0;
    {
        wxEventLoop loop;
        wxEventLoopActivator activate(&loop);
        result = RUN_ALL_TESTS();
        if (CGeminexApp* app = GetGeminexApp()) app->ExitInstance();
        ProcessEvents();
    }
    wxEntryCleanup();
    return result;
}

}  // namespace guitest
