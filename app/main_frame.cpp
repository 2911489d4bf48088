#include "app/main_frame.h"

#include <wx/app.h>
#include <wx/menu.h>
#include <wx/statusbr.h>
#include <wx/textentry.h>
#include <wx/toolbar.h>
#include <wx/utils.h>

#include "gui/command_ids.h"
#include "gui/frame_resources.h"
#include "gui/pictures.h"
#include "gui/wx_text.h"
#include "gui/window_platform.h"
#include "results/workbook_writer.h"

wxIMPLEMENT_DYNAMIC_CLASS(CMainFrame, wxDocParentFrame);

// clang-format off
wxBEGIN_EVENT_TABLE(CMainFrame, wxDocParentFrame)
    EVT_CHAR_HOOK(CMainFrame::OnCharHook)
    EVT_MENU(WxId(cmd::ID_VIEW_TOOLBAR), CMainFrame::OnBarCheck)
    EVT_MENU(WxId(cmd::ID_VIEW_STATUS_BAR), CMainFrame::OnBarCheck)
    EVT_UPDATE_UI(WxId(cmd::ID_VIEW_TOOLBAR), CMainFrame::OnUpdateControlBarMenu)
    EVT_UPDATE_UI(WxId(cmd::ID_VIEW_STATUS_BAR), CMainFrame::OnUpdateControlBarMenu)
    EVT_UPDATE_UI(WxId(cmd::ID_NEXT_PANE), CMainFrame::OnUpdatePaneMenu)
    EVT_UPDATE_UI(WxId(cmd::ID_PREV_PANE), CMainFrame::OnUpdatePaneMenu)
    EVT_IDLE(CMainFrame::OnIdle)
wxEND_EVENT_TABLE()
// clang-format on

namespace {

// Message pane text of string `id`: its prompt part (before "\n").
wxString MessageOf(int id) { return LoadWxPrompt(id); }

wxMenuBar* LoadMenuBar() {
    auto* menuBar = new wxMenuBar;
    std::size_t popupCount = 0;
    const MenuPopupResource* popups = MainMenuResource(&popupCount);
    for (std::size_t p = 0; p < popupCount; ++p) {
        auto* menu = new wxMenu;
        for (std::size_t i = 0; i < popups[p].count; ++i) {
            const MenuItemResource& item = popups[p].items[i];
            if (item.command == 0) {
                menu->AppendSeparator();
                continue;
            }
            // A build without the workbook library has no workbook export.
            if (item.command == cmd::ID_EXPORT_XLSX && !WorkbookWriter::Available()) continue;
            wxString label = LoadWxString(item.text);
            if (const int shortcut = MenuShortcutText(item.command))
                label += "\t" + LoadWxString(shortcut);
            menu->Append(new wxMenuItem(menu, WxId(item.command), label,
                                        LoadWxPrompt(item.command),
                                        IsCheckCommand(item.command) ? wxITEM_CHECK
                                                                     : wxITEM_NORMAL));
        }
        std::size_t submenuCount = 0;
        const SubmenuResource* submenus = MenuSubmenus(&submenuCount);
        for (std::size_t k = 0; k < submenuCount; ++k) {
            if (submenus[k].popup != popups[p].text) continue;
            menu->AppendSeparator();
            menu->AppendSubMenu(BuildSubmenu(submenus[k]), LoadWxString(submenus[k].text));
        }
        if (popups[p].text == IDS_MENU_VIEW) {
            // The interface's language, in a menu of its own at the end of the View menu.
            auto* languages = new wxMenu;
            languages->AppendRadioItem(WxId(cmd::ID_VIEW_LANGUAGE_CHINESE),
                                       LoadWxString(IDS_MENU_LANGUAGE_CHINESE),
                                       LoadWxPrompt(IDS_LANGUAGE_PROMPT_CHINESE));
            languages->AppendRadioItem(WxId(cmd::ID_VIEW_LANGUAGE_ENGLISH),
                                       LoadWxString(IDS_MENU_LANGUAGE_ENGLISH),
                                       LoadWxPrompt(IDS_LANGUAGE_PROMPT_ENGLISH));
            menu->AppendSeparator();
            menu->AppendSubMenu(languages, LoadWxString(IDS_MENU_LANGUAGE));
        }
        menuBar->Append(menu, LoadWxString(popups[p].text));
    }
    return menuBar;
}

}  // namespace

CMainFrame* GetMainFrame() {
    return wxTheApp != nullptr ? wxDynamicCast(wxTheApp->GetTopWindow(), CMainFrame) : nullptr;
}

CMainFrame::CMainFrame() = default;

bool CMainFrame::PreCreateWindow() {
    m_bAddToTitle = false;
    return true;
}

bool CMainFrame::Create(wxDocManager* manager, const wxString& title, const wxPoint& pos,
                        const wxSize& size) {
    if (!PreCreateWindow()) return false;
    const wxString appTitle = title.empty() ? LoadWxString(IDS_APP_TITLE) : title;
    if (!wxDocParentFrame::Create(manager, nullptr, wxID_ANY, appTitle, pos, size,
                                  wxDEFAULT_FRAME_STYLE)) {
        return false;
    }
    SetMenuBar(LoadMenuBar());
    SetIcons(LoadAppIcons());
    if (OnCreate() == -1) {
        Destroy();
        return false;
    }
    return true;
}

int CMainFrame::OnCreate() {
    m_wndToolBar = CreateMainToolBar();
    if (m_wndToolBar == nullptr) return -1;
    m_wndStatusBar = CreateMainStatusBar();
    if (m_wndStatusBar == nullptr) return -1;
    UpdateIndicators();
    // A dialog taking the focus ends the prompt of the button or menu item that opened it.
    Bind(wxEVT_ACTIVATE, [this](wxActivateEvent& event) {
        event.Skip();
        if (!event.GetActive()) OnSetMessageString(IDS_IDLE_MESSAGE);
    });
    // Docked on top. wx has no floating toolbars outside AUI; the toolbar stays docked.
    return 0;
}

wxToolBar* CMainFrame::CreateMainToolBar() {
    wxToolBar* toolBar = CreateToolBar(wxTB_HORIZONTAL | wxTB_FLAT, wxID_ANY);
    if (toolBar == nullptr) return nullptr;
    toolBar->SetToolBitmapSize(wxSize(kToolImageWidth, kToolImageHeight));
    std::size_t count = 0;
    const int* buttons = MainToolbarResource(&count);
    for (std::size_t i = 0; i < count; ++i) {
        const int command = buttons[i];
        if (command == 0) {
            toolBar->AddSeparator();
            continue;
        }
        // Tooltip: the text after "\n" of the command's string; fly-by prompt: the text before.
        const wxString tooltip = LoadWxTooltip(command);
        toolBar->AddTool(WxId(command), tooltip, LoadToolBitmap(command), tooltip,
                         wxITEM_NORMAL);
        toolBar->SetToolLongHelp(WxId(command), LoadWxPrompt(command));
    }
    if (!toolBar->Realize()) return nullptr;
    return toolBar;
}

wxStatusBar* CMainFrame::CreateMainStatusBar() {
    std::size_t count = 0;
    const int* indicators = StatusIndicatorResource(&count);
    wxStatusBar* statusBar = CreateStatusBar(static_cast<int>(count));
    if (statusBar == nullptr) return nullptr;
    // Pane 0 takes the rest; every indicator pane is as wide as its text.
    int widths[4] = {-1, 0, 0, 0};
    for (std::size_t i = 1; i < count && i < 4; ++i) {
        const wxSize extent = statusBar->GetTextExtent(LoadWxString(indicators[i]));
        widths[i] = extent.GetWidth() + 16;
    }
    statusBar->SetStatusWidths(static_cast<int>(count), widths);
    // Chinese text falls back to a CJK font that is taller than the bar's own font: make room
    // for it, so the message is not cut off at the bottom.
    const int textHeight = statusBar->GetTextExtent(LoadWxString(IDS_IDLE_MESSAGE))
                               .GetHeight();
    statusBar->SetMinHeight(textHeight + 6);
    SetStatusBarPane(0);
    statusBar->SetStatusText(MessageOf(IDS_IDLE_MESSAGE), 0);
    return statusBar;
}

wxString CMainFrame::IndicatorText(int indicatorId, bool on) {
    return on ? LoadWxString(indicatorId) : wxString();
}

void CMainFrame::UpdateIndicators() {
    if (m_wndStatusBar == nullptr) return;
    // wxGetKeyState reads the X server; elsewhere (Wayland) the panes stay empty.
    const bool x11 = window_platform::KeyStateReadable();
    const struct {
        int id;
        wxKeyCode key;
    } panes[] = {{cmd::ID_INDICATOR_CAPS, WXK_CAPITAL},
                 {cmd::ID_INDICATOR_NUM, WXK_NUMLOCK},
                 {cmd::ID_INDICATOR_SCRL, WXK_SCROLL}};
    for (int i = 0; i < 3; ++i) {
        const bool on = x11 && wxGetKeyState(panes[i].key);
        const wxString text = IndicatorText(panes[i].id, on);
        if (text != m_strIndicators[i + 1]) {
            m_strIndicators[i + 1] = text;
            m_wndStatusBar->SetStatusText(text, i + 1);
        }
    }
}

void CMainFrame::OnSetMessageString(int stringId, const wxString& text) {
    if (!m_szIdleText.empty() && stringId == IDS_IDLE_MESSAGE) {
        OnSetMessageString(0, m_szIdleText);
        return;
    }
    if (m_wndStatusBar == nullptr) return;
    m_wndStatusBar->SetStatusText(stringId != 0 ? MessageOf(stringId) : text, 0);
}

void CMainFrame::SetIdleText(const wxString& text) { m_szIdleText = text.Left(255); }

bool CMainFrame::ExecuteCommand(int wxId) {
    // As the framework does for every command: a command that its update handler disables is
    // not run.
    wxUpdateUIEvent update(wxId);
    update.SetEventObject(this);
    ProcessWindowEvent(update);
    if (update.GetSetEnabled() && !update.GetEnabled()) return false;
    wxCommandEvent command(wxEVT_MENU, wxId);
    command.SetEventObject(this);
    ProcessWindowEvent(command);
    return true;
}

void CMainFrame::SetTitle(const wxString& title) {
    const wxString name = m_bAddToTitle ? title : LoadWxString(IDS_APP_TITLE);
    wxDocParentFrame::SetTitle(m_titleNote.empty() ? name : name + " - " + m_titleNote);
}

void CMainFrame::SetTitleNote(const wxString& note) {
    if (note == m_titleNote) return;
    m_titleNote = note;
    SetTitle(LoadWxString(IDS_APP_TITLE));
}

void CMainFrame::SetLabel(const wxString& label) { SetTitle(label); }

void CMainFrame::DoGiveHelp(const wxString& text, bool show) {
    if (show) {
        OnSetMessageString(0, text);
    } else {
        OnSetMessageString(IDS_IDLE_MESSAGE);
    }
}

void CMainFrame::OnCharHook(wxKeyEvent& event) {
    // Accelerator table 128 comes before every window's own key handling (wx would give the
    // focused window the key first): a key the table names never reaches the list.
    const int command = FindAcceleratorCommand(event.GetModifiers(), event.GetKeyCode());
    // In a text box (the list's filter) the keys are the box's: Delete deletes a letter there.
    if (command != 0 && command != cmd::ID_FILTER_FOCUS &&
        dynamic_cast<wxTextEntry*>(wxWindow::FindFocus()) != nullptr) {
        event.Skip();
        return;
    }
    if (command == 0) {
        event.Skip();
        return;
    }
    ExecuteCommand(WxId(command));
}

void CMainFrame::OnBarCheck(wxCommandEvent& event) {
    wxWindow* bar = event.GetId() == WxId(cmd::ID_VIEW_TOOLBAR)
                        ? static_cast<wxWindow*>(m_wndToolBar)
                        : static_cast<wxWindow*>(m_wndStatusBar);
    if (bar == nullptr) return;
    bar->Show(!bar->IsShown());
    SendSizeEvent();
}

void CMainFrame::OnUpdateControlBarMenu(wxUpdateUIEvent& event) {
    const wxWindow* bar = event.GetId() == WxId(cmd::ID_VIEW_TOOLBAR)
                              ? static_cast<wxWindow*>(m_wndToolBar)
                              : static_cast<wxWindow*>(m_wndStatusBar);
    event.Enable(bar != nullptr);
    event.Check(bar != nullptr && bar->IsShown());
}

void CMainFrame::OnUpdatePaneMenu(wxUpdateUIEvent& event) {
    // The view has no panes to move between (no splitter).
    event.Enable(false);
}

void CMainFrame::OnIdle(wxIdleEvent& event) {
    UpdateIndicators();
    event.Skip();
}
