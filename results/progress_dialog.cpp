#include "results/progress_dialog.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/gauge.h>
#include <wx/sizer.h>
#include <wx/settings.h>
#include <wx/stattext.h>

#include "engine/text/string_table.h"
#include "gui/wx_text.h"

namespace {

// Dialog 128.
constexpr int IDC_STATUS = 1005;
constexpr int IDC_PROGRESS = 1088;
constexpr int kBarRange = 200;
// The status line shows what fits in this many pixels (long folder paths are cut in the middle).
constexpr int kStatusWidth = 380;

}  // namespace

CProgressDialog::CProgressDialog(CProgressDialog** ownerRef, std::int64_t total,
                                 wxWindow* disable, Watcher watcher)
    : wxDialog(disable != nullptr ? wxGetTopLevelParent(disable) : nullptr, wxID_ANY,
               LoadWxString(IDS_PROGRESS_CAPTION), wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxCLOSE_BOX),
      m_progress(std::make_shared<WorkProgress>(LoadStringText(IDS_PROGRESS_FIRST_STATUS))),
      m_strShown(LoadStringText(IDS_PROGRESS_FIRST_STATUS)),
      m_pDisabled(disable),
      m_ppSelf(ownerRef),
      m_timer(this),
      m_watcher(std::move(watcher)) {
    m_progress->SetTotal(total);
    auto* top = new wxBoxSizer(wxVERTICAL);
    m_status = new wxStaticText(this, IDC_STATUS, Utf8ToWx(m_strShown), wxDefaultPosition,
                                wxDefaultSize, wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_MIDDLE);
    m_status->SetMinSize(wxSize(kStatusWidth, m_status->GetBestSize().y));
    top->Add(m_status, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 12);
    m_bar = new wxGauge(this, IDC_PROGRESS, kBarRange);
    top->Add(m_bar, 0, wxEXPAND | wxALL, 12);
    m_time = new wxStaticText(this, wxID_ANY, Utf8ToWx(ProgressEstimate::TimeLine(0, -1)));
    top->Add(m_time, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 12);
    m_details = new wxStaticText(this, wxID_ANY, wxString());
    m_details->SetForegroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_GRAYTEXT));
    top->Add(m_details, 0, wxEXPAND | wxLEFT | wxRIGHT | wxBOTTOM, 12);
    m_details->Hide();
    auto* cancel = new wxButton(this, wxID_CANCEL, LoadWxString(IDS_BUTTON_CANCEL));
    top->Add(cancel, 0, wxALIGN_CENTER_HORIZONTAL | wxLEFT | wxRIGHT | wxBOTTOM, 12);
    SetSizerAndFit(top);
    SetEscapeId(wxID_CANCEL);

    Bind(wxEVT_BUTTON, &CProgressDialog::OnCancelButton, this, wxID_CANCEL);
    Bind(wxEVT_CLOSE_WINDOW, &CProgressDialog::OnClose, this);
    Bind(wxEVT_TIMER, &CProgressDialog::OnTimer, this, m_timer.GetId());

    if (m_ppSelf != nullptr) *m_ppSelf = this;
    if (m_pDisabled) m_pDisabled->Disable();
    CentreOnParent();
    Show();
    m_timer.Start(kTickMs);
}

CProgressDialog::~CProgressDialog() {
    m_timer.Stop();
    // A dialog that goes without DestroyWindow (its parent went first) still means "stop".
    if (!m_bEnded) m_progress->Stop();
    if (m_pDisabled) m_pDisabled->Enable();
    if (m_ppSelf != nullptr && *m_ppSelf == this) *m_ppSelf = nullptr;
}

void CProgressDialog::ShowProgress() {
    if (IsBeingDeleted()) return;
    const std::string status = m_progress->StatusText();
    if (status != m_strShown) {
        m_strShown = status;
        m_status->SetLabel(Utf8ToWx(m_strShown));
    }
    // The time spent, and the time left once the stage's total is known and under way (each
    // new total is a stage of its own).
    const double now = static_cast<double>(m_clock.Time()) / 1000.0;
    const std::int64_t total = m_progress->Total();  // a new stage, when it changes
    if (total != m_nShownTotal) {
        m_nShownTotal = total;
        m_estimate.Restart(now);
    }
    const std::string time = ProgressEstimate::TimeLine(
        static_cast<std::int64_t>(now),
        m_estimate.SecondsLeft(now, m_progress->BarDone(), m_progress->BarTotal()));
    if (time != m_strTime) {
        m_strTime = time;
        m_time->SetLabel(Utf8ToWx(time));
    }
    std::string details = m_progress->DetailsText();
    if (!details.empty() && details.back() == '\n') details.pop_back();
    if (details != m_strDetails) {
        m_strDetails = details;
        m_details->SetLabelText(Utf8ToWx(details));
        m_details->Wrap(kStatusWidth);
        m_details->Show(!details.empty());
        // The dialog grows to show them, never narrower than it was.
        GetSizer()->SetSizeHints(this);
    }
    const int pos = std::max(0, std::min(kBarRange, m_progress->Position(kBarRange)));
    if (pos != m_nShownPos) {
        m_nShownPos = pos;
        m_bar->SetValue(pos);
    }
}

void CProgressDialog::OnTimer(wxTimerEvent& /*event*/) {
    ShowProgress();
    if (m_watcher) m_watcher(*this);
}

void CProgressDialog::Cancel() {
    m_progress->Stop();
    if (m_pDisabled) m_pDisabled->Enable();
    // Hidden, not destroyed: the owner ends it once the work has stopped.
    Hide();
}

bool CProgressDialog::DestroyWindow() {
    m_bEnded = true;
    m_timer.Stop();
    if (m_pDisabled) m_pDisabled->Enable();
    m_pDisabled = nullptr;
    // The window goes at the next idle round; the owner may be gone by then.
    if (m_ppSelf != nullptr && *m_ppSelf == this) *m_ppSelf = nullptr;
    m_ppSelf = nullptr;
    return Destroy();
}

void CProgressDialog::OnCancelButton(wxCommandEvent& /*event*/) { Cancel(); }

void CProgressDialog::OnClose(wxCloseEvent& /*event*/) { Cancel(); }
