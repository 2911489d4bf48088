#include "results/progress_dialog.h"

#include <algorithm>

#include <wx/button.h>
#include <wx/evtloop.h>
#include <wx/gauge.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "app/wx_text.h"

namespace {

// Dialog 128.
constexpr int IDC_STATUS = 1005;
constexpr int IDC_PROGRESS = 1088;
constexpr int kBarRange = 200;
// The status line shows what fits in this many pixels (long folder paths are cut in the middle).
constexpr int kStatusWidth = 380;

std::chrono::milliseconds g_pumpInterval(CProgressDialog::kPumpIntervalMs);

std::function<void(CProgressDialog&)>& PumpHook() {
    static std::function<void(CProgressDialog&)> hook;
    return hook;
}

}  // namespace

void CProgressDialog::SetPumpInterval(int ms) { g_pumpInterval = std::chrono::milliseconds(ms); }

void CProgressDialog::SetPumpHook(std::function<void(CProgressDialog&)> hook) {
    PumpHook() = std::move(hook);
}

CProgressDialog::CProgressDialog(CProgressDialog** ownerRef, std::int64_t total, int* cancelFlag,
                                 int textId, wxWindow* disable)
    : wxDialog(disable != nullptr ? wxGetTopLevelParent(disable) : nullptr, wxID_ANY,
               LoadWxString(IDS_PROGRESS_CAPTION), wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxCLOSE_BOX),
      m_strStatus(textId != 0 ? LoadStringText(textId) : LoadStringText(IDS_PROGRESS_FIRST_STATUS)),
      m_nTotal(total),
      m_pCancelFlag(cancelFlag),
      m_pDisabled(disable),
      m_ppSelf(ownerRef) {
    auto* top = new wxBoxSizer(wxVERTICAL);
    m_status = new wxStaticText(this, IDC_STATUS, Utf8ToWx(m_strStatus), wxDefaultPosition,
                                wxDefaultSize, wxST_NO_AUTORESIZE | wxST_ELLIPSIZE_MIDDLE);
    m_status->SetMinSize(wxSize(kStatusWidth, m_status->GetBestSize().y));
    top->Add(m_status, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 12);
    m_bar = new wxGauge(this, IDC_PROGRESS, kBarRange);
    top->Add(m_bar, 0, wxEXPAND | wxALL, 12);
    auto* cancel = new wxButton(this, wxID_CANCEL, LoadWxString(IDS_BUTTON_CANCEL));
    top->Add(cancel, 0, wxALIGN_CENTER_HORIZONTAL | wxLEFT | wxRIGHT | wxBOTTOM, 12);
    SetSizerAndFit(top);
    m_strShown = m_strStatus;
    m_nShownPos = 0;
    if (m_pCancelFlag == nullptr) cancel->Disable();
    SetEscapeId(wxID_CANCEL);

    Bind(wxEVT_BUTTON, &CProgressDialog::OnCancelButton, this, wxID_CANCEL);
    Bind(wxEVT_CLOSE_WINDOW, &CProgressDialog::OnClose, this);

    if (m_ppSelf != nullptr) *m_ppSelf = this;
    if (m_pDisabled) m_pDisabled->Disable();
    CentreOnParent();
    Show();
    // Painted before the work starts: the first round is due at once.
    m_lastPump = m_lastShow = std::chrono::steady_clock::now() - std::chrono::seconds(1);
    Pump();
}

CProgressDialog::~CProgressDialog() {
    // A dialog that goes without DestroyWindow (its parent went first) still means "stop".
    if (m_pCancelFlag != nullptr) *m_pCancelFlag = 1;
    if (m_pDisabled) m_pDisabled->Enable();
    if (m_ppSelf != nullptr && *m_ppSelf == this) *m_ppSelf = nullptr;
}

void CProgressDialog::SetStatus(const std::string& text) {
    m_strStatus = text;
    ShowNow();
}

void CProgressDialog::SetStatusText(int id) { SetStatus(LoadStringText(id)); }

void CProgressDialog::SetTotal(std::int64_t total) {
    m_nTotal = total;
    m_nDone = 0;
    m_nPos = 0;
    ShowNow();
}

void CProgressDialog::StepProgress(std::int64_t amount) {
    m_nDone += amount;
    m_nPos = m_nTotal != 0 ? static_cast<int>(m_nDone * kBarRange / m_nTotal) : 0;
    ShowNow();
}

bool CProgressDialog::Cancelled() {
    if (m_pCancelFlag == nullptr) return false;
    if (*m_pCancelFlag != 0) return true;
    const auto now = std::chrono::steady_clock::now();
    if (now - m_lastPump >= g_pumpInterval) Pump();
    return *m_pCancelFlag != 0;
}

void CProgressDialog::ShowNow() {
    // Stored texts reach the controls at the pump's rate, not once per file.
    const auto now = std::chrono::steady_clock::now();
    if (now - m_lastShow < g_pumpInterval) return;
    m_lastShow = now;
    if (IsBeingDeleted()) return;
    if (m_strShown != m_strStatus) {
        m_strShown = m_strStatus;
        m_status->SetLabel(Utf8ToWx(m_strShown));
    }
    if (m_nShownPos != m_nPos) {
        m_nShownPos = m_nPos;
        m_bar->SetValue(std::max(0, std::min(kBarRange, m_nPos)));
    }
}

void CProgressDialog::Pump() {
    m_lastShow = std::chrono::steady_clock::time_point();
    ShowNow();
    // Only what the user does and what the windows need (paint, size, the Cancel button): no
    // timers, idle handling or queued calls, which could start other work in the middle of this.
    if (wxEventLoopBase* loop = wxEventLoopBase::GetActive()) {
        if (!loop->IsYielding()) loop->YieldFor(wxEVT_CATEGORY_UI | wxEVT_CATEGORY_USER_INPUT);
    }
    m_lastPump = std::chrono::steady_clock::now();
    if (PumpHook()) PumpHook()(*this);
}

void CProgressDialog::Cancel() {
    if (m_pCancelFlag == nullptr) return;
    *m_pCancelFlag = 1;
    if (m_pDisabled) m_pDisabled->Enable();
    // Hidden, not destroyed: the work still holds this sink until it has returned.
    Hide();
}

bool CProgressDialog::DestroyWindow() {
    if (m_pDisabled) m_pDisabled->Enable();
    m_pDisabled = nullptr;
    m_pCancelFlag = nullptr;
    // The window goes at the next idle round; the owner may be gone by then.
    if (m_ppSelf != nullptr && *m_ppSelf == this) *m_ppSelf = nullptr;
    m_ppSelf = nullptr;
    return Destroy();
}

void CProgressDialog::OnCancelButton(wxCommandEvent& /*event*/) { Cancel(); }

void CProgressDialog::OnClose(wxCloseEvent& event) {
    if (m_pCancelFlag == nullptr && event.CanVeto()) {
        event.Veto();
        return;
    }
    Cancel();
}
