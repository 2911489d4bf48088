// The event helpers of the window suites, shared by the test programs of both platforms.
#include "app/gui_test_env.h"

#include <wx/app.h>
#include <wx/stopwatch.h>
#include <wx/utils.h>

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

}  // namespace guitest
