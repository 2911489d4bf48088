// CProgressDialog: the modeless dialog (IDS_PROGRESS_CAPTION) of long work (the duplicate search,
// the delete command): a status line, a bar of 0..200 over a 64-bit total, and Cancel.
//
// The work runs on a worker thread and reports into a WorkProgress that this dialog makes and
// shares with it. A timer reads it every kTickMs milliseconds and shows the status text (made
// from the counts only then) and the bar; the window's thread never waits for the work.
//
// While it exists the dialog disables the window it was given (the results list). Cancel, Escape
// and closing the dialog stop the work (its stop flag), enable that window again and hide the
// dialog; the owner ends it with DestroyWindow once the work has finished. The object deletes
// itself after its window is destroyed and then clears the owner's pointer to it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include <wx/dialog.h>
#include <wx/stopwatch.h>
#include <wx/timer.h>
#include <wx/weakref.h>

#include "engine/search/progress_estimate.h"
#include "results/work_progress.h"

class wxGauge;
class wxStaticText;

class CProgressDialog : public wxDialog {
public:
    // How often the dialog shows what the work reported.
    static constexpr int kTickMs = 40;
    // Called after every tick, once the dialog shows the latest state (tests and benchmarks
    // watch the work with it; empty for none).
    using Watcher = std::function<void(CProgressDialog&)>;

    // `ownerRef` (may be null) is the owner's pointer to this dialog: it is set to this object
    // and cleared when the object goes. `total` is the bar's first total. `disable` (may be
    // null) is the window disabled while the dialog exists, and the dialog stands over its
    // top-level window. Shows the dialog and starts its timer.
    CProgressDialog(CProgressDialog** ownerRef, std::int64_t total, wxWindow* disable,
                    Watcher watcher = Watcher());
    ~CProgressDialog() override;

    // What the work reports into; shared with the worker, which may outlive the dialog.
    const std::shared_ptr<WorkProgress>& Progress() const { return m_progress; }

    // Reads the work's state and shows it now (the timer does this every kTickMs).
    void ShowProgress();

    // What the status line, the time line and the bar show.
    const std::string& GetStatus() const { return m_strShown; }
    const std::string& GetTimeLine() const { return m_strTime; }
    int GetPos() const { return m_nShownPos; }

    // True once the user cancelled (or the owner stopped the work).
    bool Cancelled() const { return m_progress->StopRequested(); }
    // Cancel as the button does it: stops the work, gives the disabled window back, hides.
    void Cancel();

    // The owner's end of the dialog once the work has finished: enables the disabled window
    // again and destroys the window (ending is no cancel).
    bool DestroyWindow();

private:
    void OnTimer(wxTimerEvent& event);
    void OnCancelButton(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);

    std::shared_ptr<WorkProgress> m_progress;
    wxStaticText* m_status = nullptr;  // control 1005
    wxGauge* m_bar = nullptr;          // control 1088
    wxStaticText* m_time = nullptr;    // the time spent and left
    wxStaticText* m_details = nullptr;  // how the work is done (each disk), once told
    std::string m_strDetails;
    wxStopWatch m_clock;               // since the dialog was made
    ProgressEstimate m_estimate;
    std::int64_t m_nShownTotal = -1;
    std::string m_strTime;
    std::string m_strShown;
    int m_nShownPos = 0;
    wxWeakRef<wxWindow> m_pDisabled;
    CProgressDialog** m_ppSelf = nullptr;
    bool m_bEnded = false;  // DestroyWindow was called: the work finished
    wxTimer m_timer;
    Watcher m_watcher;
};
