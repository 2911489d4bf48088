// CKvIconButton: the application icon drawn at twice its size in a black frame with a 4-pixel
// dark shadow at the right and bottom (the About box's picture). It takes no focus and no clicks.
#pragma once

#include <wx/control.h>

class CKvIconButton : public wxControl {
public:
    CKvIconButton(wxWindow* parent, wxWindowID id);

    // The standard icon size of the system (32 by 32 where it does not say).
    wxSize IconSize() const;

    bool AcceptsFocus() const override { return false; }
    bool AcceptsFocusFromKeyboard() const override { return false; }

protected:
    // (2 × icon width + 8) by (2 × icon height + 8): the icon twice, the frame and the shadow
    // (there is no border, so this is also the client size).
    wxSize DoGetBestSize() const override;

private:
    void OnPaint(wxPaintEvent& event);

    wxDECLARE_EVENT_TABLE();
};
