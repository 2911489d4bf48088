// The event helpers and the picture folders of the window suites, shared by the test programs of
// both platforms.
#include "app/gui_test_env.h"

#include <cstdio>

#include <wx/app.h>
#include <wx/evtloop.h>
#include <wx/init.h>
#include <wx/log.h>
#include <wx/stopwatch.h>
#include <wx/utils.h>

#include "engine/actions/action_journal.h"
#include "support/temp_dir.h"

namespace {

void FailOnAssert(const wxString& file, int line, const wxString& func, const wxString& cond,
                  const wxString& msg) {
    ADD_FAILURE_AT(file.utf8_str().data(), line)
        << "wx assert failed in " << func.utf8_str().data() << ": " << cond.utf8_str().data()
        << (msg.empty() ? "" : " - ") << msg.utf8_str().data();
}

// The journal (beside the settings) is the test program's, not each test's: an undo one test
// left there must not come up in the next test's window.
class ForgetKeptUndo : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo& /*test*/) override { ActionJournal().ClearUndo(); }
};

}  // namespace

namespace guitest {

void WritePictureTree(const TempDir& tree) {
    const std::string photo(70000, 'p'), report(12000, 'r'), song(4321, 's');
    tree.WriteFile("照片/2021/海边.jpg", photo);
    tree.WriteFile("备份/海边.jpg", photo);
    tree.WriteFile("U盘/海边 (1).jpg", photo);
    tree.WriteFile("文档/report.pdf", report);
    tree.WriteFile("下载/report.pdf", report);
    tree.WriteFile("音乐/song.mp3", song);
    tree.WriteFile("备份/音乐/song.mp3", song);
    tree.WriteFile("文档/notes.txt", "only one");
}

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

    ::testing::UnitTest::GetInstance()->listeners().Append(new ForgetKeptUndo);
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
