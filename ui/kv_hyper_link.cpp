#include "ui/kv_hyper_link.h"

#include <algorithm>
#include <memory>

#include <wx/clipbrd.h>
#include <wx/dcclient.h>
#include <wx/log.h>
#include <wx/renderer.h>
#include <wx/settings.h>
#include <wx/utils.h>

#include "gui/command_ids.h"
#include "gui/message_box.h"
#include "gui/wx_text.h"
#include "ui/about_texts.h"
#include "ui/internet_shortcut.h"

namespace {

// Room around the caption for the focus rectangle.
constexpr int kMargin = 2;

// Menu 103.
struct LinkMenuItem {
    int command;
    TextId text;
};
const LinkMenuItem kLinkMenu[] = {
    {cmd::ID_LINK_OPEN, IDS_MENU_OPEN},
    {cmd::ID_LINK_COPY_SHORTCUT, IDS_MENU_LINK_COPY_SHORTCUT},
    {cmd::ID_LINK_ADD_FAVORITES, IDS_MENU_LINK_ADD_FAVORITES},
    {cmd::ID_LINK_ADD_DESKTOP, IDS_MENU_LINK_ADD_DESKTOP},
};

bool OpenWithDesktop(const std::string& target) {
    // Web and "mailto:" addresses alike go to the desktop's handler for their scheme. A failure
    // is said by the link in the interface's language, not logged by the toolkit in its own.
    wxLogNull quiet;
    return wxLaunchDefaultBrowser(Utf8ToWx(target));
}

wxColour ToWx(const LinkColour& colour) { return wxColour(colour.red, colour.green, colour.blue); }

}  // namespace

// clang-format off
wxBEGIN_EVENT_TABLE(CKvHyperLink, wxControl)
    EVT_PAINT(CKvHyperLink::OnPaint)
    EVT_LEFT_DOWN(CKvHyperLink::OnLeftDown)
    EVT_MOTION(CKvHyperLink::OnMotion)
    EVT_LEAVE_WINDOW(CKvHyperLink::OnLeave)
    EVT_CONTEXT_MENU(CKvHyperLink::OnContextMenu)
    EVT_CHAR_HOOK(CKvHyperLink::OnCharHook)
    EVT_SET_FOCUS(CKvHyperLink::OnFocus)
    EVT_KILL_FOCUS(CKvHyperLink::OnFocus)
    EVT_MENU(WxId(cmd::ID_LINK_OPEN), CKvHyperLink::OnOpen)
    EVT_MENU(WxId(cmd::ID_LINK_COPY_SHORTCUT), CKvHyperLink::OnCopyShortcut)
    EVT_MENU(WxId(cmd::ID_LINK_ADD_FAVORITES), CKvHyperLink::OnAddFavorites)
    EVT_MENU(WxId(cmd::ID_LINK_ADD_DESKTOP), CKvHyperLink::OnAddDesktop)
wxEND_EVENT_TABLE()
// clang-format on

CKvHyperLink::CKvHyperLink(wxWindow* parent, wxWindowID id, const wxPoint& pos,
                           const wxSize& size, Opener opener)
    : wxControl(parent, id, pos, size, wxBORDER_NONE | wxFULL_REPAINT_ON_RESIZE),
      m_opener(std::move(opener)) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetCursor(wxCursor(wxCURSOR_HAND));
}

void CKvHyperLink::SetLink(const std::string& target, const std::string& caption,
                           bool autoSize) {
    m_bAutoSize = autoSize;
    m_strTarget = target;
    m_strCaption = caption;
    SetLabel(wxControl::EscapeMnemonics(Utf8ToWx(caption)));
    SetToolTip(Utf8ToWx(target));
    if (m_bAutoSize) {
        // The width follows the caption; the height stays unless the caption needs more. The
        // old minimum goes first: the best size is never below it.
        SetMinSize(wxDefaultSize);
        InvalidateBestSize();
        const wxSize best = GetBestSize();
        const wxSize now = GetSize();
        SetMinSize(best);
        SetSize(wxSize(best.x, std::max(now.y, best.y)));
        if (GetContainingSizer() != nullptr && GetParent() != nullptr) GetParent()->Layout();
    }
    Refresh();
}

void CKvHyperLink::SetHoverShadow(bool on) {
    m_linkState.SetHoverShadow(on);
    Refresh();
    Update();
}

void CKvHyperLink::SetHoverTracking(bool on) {
    m_linkState.SetHoverTracking(on);
    Refresh();
}

void CKvHyperLink::SetUnderline(bool on) {
    m_linkState.SetUnderline(on);
    Refresh();
}

bool CKvHyperLink::OpenTarget() {
    const bool opened = m_opener ? m_opener(m_strTarget) : OpenWithDesktop(m_strTarget);
    m_linkState.Opened(opened);
    Refresh();
    return opened;
}

bool CKvHyperLink::CopyTarget() {
    wxClipboardLocker lock(wxTheClipboard);
    if (!lock) return false;
    return wxTheClipboard->SetData(new wxTextDataObject(Utf8ToWx(m_strTarget)));
}

bool CKvHyperLink::AddShortcutTo(int folder) {
    return AddShortcutToFolder(folder, m_strCaption, m_strTarget);
}

wxMenu* CKvHyperLink::CreateLinkMenu() {
    auto* menu = new wxMenu;
    for (const LinkMenuItem& item : kLinkMenu)
        menu->Append(WxId(item.command), LoadWxString(item.text));
    return menu;
}

wxPoint CKvHyperLink::ContextMenuPosition(const wxPoint& screenPos) const {
    if (screenPos == wxDefaultPosition) return wxPoint(5, 5);
    return ScreenToClient(screenPos);
}

wxFont CKvHyperLink::CaptionFont() const {
    wxFont font = GetFont();
    if (!font.IsOk()) font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    font.SetUnderlined(m_linkState.GetUnderline());
    return font;
}

wxSize CKvHyperLink::DoGetBestSize() const {
    const wxFont font = CaptionFont();
    int width = 0;
    int height = 0;
    GetTextExtent(Utf8ToWx(m_strCaption), &width, &height, nullptr, nullptr, &font);
    return wxSize(width + 2 * kMargin, height + 2 * kMargin);
}

void CKvHyperLink::OnPaint(wxPaintEvent& /*event*/) {
    wxPaintDC dc(this);
    const wxSize client = GetClientSize();
    // The face of the parent (the dialog), then the shadow while hovered, then the caption.
    wxColour face = GetParent() != nullptr ? GetParent()->GetBackgroundColour()
                                           : wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE);
    dc.SetBrush(wxBrush(face));
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.DrawRectangle(0, 0, client.x, client.y);

    dc.SetFont(CaptionFont());
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    const wxString caption = Utf8ToWx(m_strCaption);
    if (m_linkState.DrawsShadow()) {
        dc.SetTextForeground(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW));
        dc.DrawText(caption, kMargin + 2, kMargin + 2);
    }
    dc.SetTextForeground(ToWx(m_linkState.Colour()));
    dc.DrawText(caption, kMargin, kMargin);

    if (HasFocus())
        wxRendererNative::Get().DrawFocusRect(this, dc, wxRect(wxPoint(0, 0), client));
}

void CKvHyperLink::PostOpen() {
    // Opened from the event queue, not inside the click: the opener may take its time or show
    // a window of its own.
    auto* open = new wxCommandEvent(wxEVT_MENU, WxId(cmd::ID_LINK_OPEN));
    open->SetEventObject(this);
    GetEventHandler()->QueueEvent(open);
}

void CKvHyperLink::OnLeftDown(wxMouseEvent& /*event*/) { PostOpen(); }

void CKvHyperLink::OnMotion(wxMouseEvent& event) {
    // With tracking off the move is swallowed.
    if (!m_linkState.GetHoverTracking()) return;
    const bool inside = wxRect(GetClientSize()).Contains(event.GetPosition());
    if (m_linkState.PointerAt(inside)) Refresh();
    event.Skip();
}

void CKvHyperLink::OnLeave(wxMouseEvent& event) {
    if (m_linkState.PointerAt(false)) Refresh();
    event.Skip();
}

void CKvHyperLink::OnContextMenu(wxContextMenuEvent& event) {
    if (m_linkState.LeaveHover()) Refresh();
    const wxPoint where = ContextMenuPosition(event.GetPosition());
    std::unique_ptr<wxMenu> menu(CreateLinkMenu());
    // The arrow over the menu, the hand again afterwards.
    SetCursor(wxCursor(wxCURSOR_ARROW));
    PopupMenu(menu.get(), where);
    SetCursor(wxCursor(wxCURSOR_HAND));
}

void CKvHyperLink::OnCharHook(wxKeyEvent& event) {
    const int key = event.GetKeyCode();
    if (event.GetModifiers() == wxMOD_NONE &&
        (key == WXK_RETURN || key == WXK_NUMPAD_ENTER || key == WXK_SPACE)) {
        PostOpen();
        return;
    }
    event.Skip();
}

void CKvHyperLink::OnFocus(wxFocusEvent& event) {
    Refresh();
    event.Skip();
}

void CKvHyperLink::OnOpen(wxCommandEvent& /*event*/) {
    // The user asked for it: nothing opening is said, naming the address.
    if (!OpenTarget())
        ShowMessageBox(this, Utf8ToWx(LinkOpenFailedText(m_strTarget)), wxOK | wxICON_EXCLAMATION);
}

void CKvHyperLink::OnCopyShortcut(wxCommandEvent& /*event*/) { CopyTarget(); }

void CKvHyperLink::OnAddFavorites(wxCommandEvent& /*event*/) {
    AddShortcutTo(kShortcutFolderFavorites);
}

void CKvHyperLink::OnAddDesktop(wxCommandEvent& /*event*/) { AddShortcutTo(kShortcutFolderDesktop); }
