// CMainFrame: the main window. Menu 128, toolbar 128 docked on top, a status bar with the
// message pane and the CAP, NUM and SCRL indicators, accelerator table 128, and the idle-text
// hook through which the duplicate search leaves its summary in the status bar.
//
// The title is always the application title ("Pairscout"), never a document name.
#pragma once

#include <wx/docview.h>
#include <wx/string.h>

#include "gui/frame_status.h"

class wxStatusBar;
class wxToolBar;

class CMainFrame : public wxDocParentFrame, public CFrameStatus {
public:
    CMainFrame();

    // Creates the window: PreCreateWindow, the frame with menu 128 and icon 128, then OnCreate.
    // False when any part could not be created (the window is then destroyed).
    bool Create(wxDocManager* manager, const wxString& title = wxString(),
                const wxPoint& pos = wxDefaultPosition, const wxSize& size = wxSize(800, 520));

    // Clears the add-to-title style: the title never shows the document name.
    bool PreCreateWindow();

    // Creates the toolbar and the status bar; 0 on success, -1 on failure.
    int OnCreate();

    // Shows the message of string `stringId` (its prompt part), or `text` when the id is 0, in
    // the message pane. The idle message (57345) is replaced by the idle text when that is not
    // empty.
    void OnSetMessageString(int stringId, const wxString& text = wxString()) override;

    // The search summary shown instead of the idle message ("" = show the idle message). At
    // most 255 characters are kept (the text has a 256-character buffer on every platform).
    void SetIdleText(const wxString& text) override;
    const wxString& GetIdleText() const { return m_szIdleText; }

    // Runs command `wxId` as an accelerator does: asks the command routing whether the command
    // is enabled and, when it is not disabled, sends it. True when it was sent.
    bool ExecuteCommand(int wxId);

    // Always the application title (the document name is never added).
    void SetTitle(const wxString& title) override;
    void SetTitleNote(const wxString& note) override;
    void SetLabel(const wxString& label) override;

    // Menu prompts and toolbar fly-by prompts: the prompt while an item is highlighted, the idle
    // message (or the idle text) when the menu closes or the pointer leaves the tool.
    void DoGiveHelp(const wxString& text, bool show) override;

    wxToolBar* GetMainToolBar() const { return m_wndToolBar; }
    wxStatusBar* GetMainStatusBar() const { return m_wndStatusBar; }

    // Text of indicator pane `indicatorId` (59137-59139) when its key is on or off.
    static wxString IndicatorText(int indicatorId, bool on);

private:
    wxToolBar* CreateMainToolBar();
    wxStatusBar* CreateMainStatusBar();
    void UpdateIndicators();

    void OnCharHook(wxKeyEvent& event);
    void OnBarCheck(wxCommandEvent& event);
    void OnUpdateControlBarMenu(wxUpdateUIEvent& event);
    void OnUpdatePaneMenu(wxUpdateUIEvent& event);
    void OnIdle(wxIdleEvent& event);

    // The bars and the idle text.
    wxStatusBar* m_wndStatusBar = nullptr;
    wxToolBar* m_wndToolBar = nullptr;
    wxString m_szIdleText;

    wxString m_titleNote;     // after the program's name (SetTitleNote)
    bool m_bAddToTitle = true;  // FWS_ADDTOTITLE; cleared by PreCreateWindow
    wxString m_strIndicators[4];

    wxDECLARE_DYNAMIC_CLASS(CMainFrame);
    wxDECLARE_EVENT_TABLE();
};

// The program's main frame (the application's top window), or nullptr when there is none (yet).
CMainFrame* GetMainFrame();
