// How the list draws a file in a protected folder: a colour of its own beside the padlock
// picture, so the copies of a reference folder stand out from those that may go.
#include <wx/settings.h>

#include "results/kv_list_ctrl.h"

wxItemAttr* CKvListCtrl::ProtectedAttr() const {
    if (!m_protectedAttr.HasTextColour()) {
        // A dark green on a light list, a light one on a dark list: readable either way.
        const wxColour ground = wxSystemSettings::GetColour(wxSYS_COLOUR_LISTBOX);
        const bool dark = ground.GetLuminance() < 0.5;
        m_protectedAttr.SetTextColour(dark ? wxColour(120, 220, 150) : wxColour(0, 110, 50));
    }
    return &m_protectedAttr;
}
