#include "ui/kv_icon_button.h"

#include <wx/dcclient.h>
#include <wx/image.h>
#include <wx/settings.h>

#include "gui/pictures.h"

// clang-format off
wxBEGIN_EVENT_TABLE(CKvIconButton, wxControl)
    EVT_PAINT(CKvIconButton::OnPaint)
wxEND_EVENT_TABLE()
// clang-format on

CKvIconButton::CKvIconButton(wxWindow* parent, wxWindowID id)
    : wxControl(parent, id, wxDefaultPosition, wxDefaultSize, wxBORDER_NONE) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetInitialSize(GetBestSize());
}

wxSize CKvIconButton::IconSize() const {
    int cx = wxSystemSettings::GetMetric(wxSYS_ICON_X, this);
    int cy = wxSystemSettings::GetMetric(wxSYS_ICON_Y, this);
    if (cx <= 0) cx = 32;
    if (cy <= 0) cy = 32;
    return wxSize(cx, cy);
}

wxSize CKvIconButton::DoGetBestSize() const {
    const wxSize icon = IconSize();
    return wxSize(2 * icon.x + 8, 2 * icon.y + 8);
}

void CKvIconButton::OnPaint(wxPaintEvent& /*event*/) {
    wxPaintDC dc(this);
    const wxSize size = GetClientSize();
    const int w = size.x;
    const int h = size.y;
    const wxColour face = GetParent() != nullptr
                              ? GetParent()->GetBackgroundColour()
                              : wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE);

    // The parent's face where neither frame nor shadow goes.
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(face));
    dc.DrawRectangle(0, 0, w, h);
    if (w <= 8 || h <= 8) return;

    // The frame, filled white, and the shadow bands at the right and the bottom.
    dc.SetPen(*wxBLACK_PEN);
    dc.SetBrush(*wxWHITE_BRUSH);
    dc.DrawRectangle(0, 0, w - 4, h - 4);
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(wxColour(64, 64, 64)));
    dc.DrawRectangle(w - 4, 4, 4, h - 4);
    dc.DrawRectangle(4, h - 4, w - 4, 4);

    // The icon enlarged pixel by pixel over the dialog's own face.
    dc.SetBrush(wxBrush(face));
    dc.DrawRectangle(2, 2, w - 8, h - 8);
    const wxSize iconSize = IconSize();
    const wxIcon icon = LoadAppIcons().GetIcon(iconSize, wxIconBundle::FALLBACK_NEAREST_LARGER);
    if (!icon.IsOk()) return;
    wxBitmap bitmap;
    bitmap.CopyFromIcon(icon);
    wxImage image = bitmap.ConvertToImage();
    if (!image.IsOk()) return;
    image.Rescale(w - 8, h - 8, wxIMAGE_QUALITY_NEAREST);
    dc.DrawBitmap(wxBitmap(image), 2, 2, true);
}
