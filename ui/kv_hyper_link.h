// CKvHyperLink: a clickable link. It paints its caption underlined in the link colours (blue,
// purple once opened, red while the pointer is over it), shows a hand cursor, and opens its
// target (a web address or a "mailto:" address) with the desktop's default handler on a click
// or on Enter or Space while it has the focus (a message names the address when nothing opens
// it). Its context menu (menu 103) opens the target,
// copies it as text, or saves it as an Internet shortcut in Favorites or on the desktop.
//
// The state and colours live in HyperLinkState, the shortcut files in internet_shortcut.h; this
// class is the window around them.
#pragma once

#include <functional>
#include <string>

#include <wx/control.h>
#include <wx/menu.h>

#include "ui/hyperlink_state.h"

class CKvHyperLink : public wxControl {
public:
    // Opens a target; true when it could be opened. Tests put their own in place of the
    // desktop's handler.
    using Opener = std::function<bool(const std::string& target)>;

    // `opener` opens the target; an empty one means the desktop's default handler.
    CKvHyperLink(wxWindow* parent, wxWindowID id, const wxPoint& pos = wxDefaultPosition,
                 const wxSize& size = wxDefaultSize, Opener opener = Opener());

    // Sets the target and the caption (also the window's label). With `autoSize` the control
    // takes the caption's size (the layout follows).
    void SetLink(const std::string& target, const std::string& caption, bool autoSize);
    const std::string& GetTarget() const { return m_strTarget; }
    const std::string& GetCaption() const { return m_strCaption; }

    // The drop shadow of the caption while hovered; the control repaints at once.
    void SetHoverShadow(bool on);
    void SetHoverTracking(bool on);
    void SetUnderline(bool on);

    // Opens the target with this control's opener; true on success, after which the link
    // shows as visited. Says nothing on failure: the click, the keys and the menu's Open
    // (the posted command) show LinkOpenFailedText then.
    bool OpenTarget();
    // Puts exactly the target on the clipboard as text. False when the clipboard could not be
    // opened or taken.
    bool CopyTarget();
    // Saves the Internet shortcut into `folder` (kShortcutFolderFavorites or
    // kShortcutFolderDesktop, internet_shortcut.h). False on any failure.
    bool AddShortcutTo(int folder);

    const HyperLinkState& GetLinkState() const { return m_linkState; }

    // Menu 103: open, copy the shortcut, add to Favorites, add to the desktop. The caller owns it.
    static wxMenu* CreateLinkMenu();
    // Where the context menu opens, in client coordinates: at the pointer, or 5 pixels right of
    // and below the top-left corner when it was asked for from the keyboard.
    wxPoint ContextMenuPosition(const wxPoint& screenPos) const;

    bool AcceptsFocus() const override { return true; }
    bool AcceptsFocusFromKeyboard() const override { return true; }

protected:
    wxSize DoGetBestSize() const override;

private:
    wxFont CaptionFont() const;
    void PostOpen();

    void OnPaint(wxPaintEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnLeave(wxMouseEvent& event);
    void OnContextMenu(wxContextMenuEvent& event);
    void OnCharHook(wxKeyEvent& event);
    void OnFocus(wxFocusEvent& event);
    void OnOpen(wxCommandEvent& event);
    void OnCopyShortcut(wxCommandEvent& event);
    void OnAddFavorites(wxCommandEvent& event);
    void OnAddDesktop(wxCommandEvent& event);

    std::string m_strCaption;
    std::string m_strTarget;
    bool m_bAutoSize = true;
    HyperLinkState m_linkState;
    Opener m_opener;

    wxDECLARE_EVENT_TABLE();
};
