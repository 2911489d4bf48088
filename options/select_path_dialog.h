// The folder picker of the Paths page: the desktop's folder chooser opened on the path being
// edited, returning the chosen folder (without a trailing separator, except a root).
#pragma once

#include <string>

#include "options/path_picker_text.h"

class wxWindow;

class CSelectPathDialog {
public:
    // `parent` (may be null, not owned) owns the chooser while it is shown.
    explicit CSelectPathDialog(wxWindow* parent) : m_pParentWnd(parent) {}

    // The text to edit; see PathPickerText::SetPath for the ";" rules.
    void SetPath(const std::string& text) { m_text.SetPath(text); }
    // One path to edit, whatever it holds.
    void SetSinglePath(const std::string& path) { m_text.SetSinglePath(path); }
    // The chosen folder after the list prefix, or the text as set when nothing was chosen.
    std::string GetPath() const { return m_text.GetPath(); }

    // Shows the chooser: 1 when a folder was chosen, 2 otherwise.
    int DoModal();

    // The folder being edited; the chooser opens there, or at the nearest folder that exists
    // (PathPickerText::StartFolder).
    std::string InitialFolder() const { return m_text.InitialFolder(); }

private:
    wxWindow* m_pParentWnd;
    PathPickerText m_text;
};
