// CProgressDialog: the modeless dialog (IDS_PROGRESS_CAPTION) of long work (the duplicate search,
// the delete command): a status line, a bar of 0..200 over a 64-bit total, and Cancel.
//
// It is the window's ProgressSink. The work runs on the user-interface thread and asks
// Cancelled() between units of work; that is where the dialog lets the window's events through,
// at most every kPumpIntervalMs milliseconds, so the window repaints and Cancel is heard without
// the work paying for an event round per file. SetStatus and StepProgress only store, and show
// what they stored at the same bounded rate.
//
// While it exists the dialog disables the window it was given (the results list). Cancel, Escape
// and closing the dialog set the owner's cancel flag, enable that window again and hide the
// dialog; the owner ends it with DestroyWindow once the work has returned (so the work never
// holds a sink that is gone). The object deletes itself after its window is destroyed and then
// clears the owner's pointer to it.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include <wx/dialog.h>
#include <wx/weakref.h>

#include "engine/progress_sink.h"

class wxGauge;
class wxStaticText;

class CProgressDialog : public wxDialog, public ProgressSink {
public:
    // Events are let through at most this often while the work runs (by default).
    static constexpr int kPumpIntervalMs = 40;
    // Sets the interval for every dialog (0: at every question; tests use it).
    static void SetPumpInterval(int ms);

    // `ownerRef` (may be null) is the owner's pointer to this dialog: it is set to this object
    // and cleared when the object goes. `total` is the bar's range total; `cancelFlag` (may be
    // null: Cancel is then disabled) is set to 1 when the user cancels; `textId` is the string
    // shown first (0: IDS_PROGRESS_FIRST_STATUS); `disable` (may be null) is the window disabled while the
    // dialog exists, and the dialog stands over its top-level window. Shows the dialog.
    CProgressDialog(CProgressDialog** ownerRef, std::int64_t total, int* cancelFlag, int textId,
                    wxWindow* disable);
    ~CProgressDialog() override;

    // ProgressSink.
    void SetStatus(const std::string& text) override;
    void SetTotal(std::int64_t total) override;
    void StepProgress(std::int64_t amount) override;
    bool Cancelled() override;

    // Shows string `id` in the status line.
    void SetStatusText(int id);

    // The owner's end of the dialog: enables the disabled window again, forgets the cancel flag
    // (ending is no cancel) and destroys the window.
    bool DestroyWindow();

    // What the status line and the bar show (or will show at the next round).
    const std::string& GetStatus() const { return m_strStatus; }
    int GetPos() const { return m_nPos; }
    std::int64_t GetTotal() const { return m_nTotal; }
    std::int64_t GetDone() const { return m_nDone; }

    // Cancel as the button does it.
    void Cancel();

    // Called after every round of letting events through (tests watch the rounds with it; an
    // empty function for none).
    static void SetPumpHook(std::function<void(CProgressDialog&)> hook);

private:
    void ShowNow();
    void Pump();
    void OnCancelButton(wxCommandEvent& event);
    void OnClose(wxCloseEvent& event);

    wxStaticText* m_status = nullptr;  // control 1005
    wxGauge* m_bar = nullptr;          // control 1088
    std::string m_strStatus;
    std::string m_strShown;
    std::int64_t m_nTotal = 0;
    std::int64_t m_nDone = 0;
    int* m_pCancelFlag = nullptr;
    wxWeakRef<wxWindow> m_pDisabled;
    int m_nPos = 0;
    int m_nShownPos = -1;
    CProgressDialog** m_ppSelf = nullptr;
    std::chrono::steady_clock::time_point m_lastPump;
    std::chrono::steady_clock::time_point m_lastShow;
};
