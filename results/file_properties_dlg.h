// CFilePropertiesDlg: the program's own properties of a file, for desktops whose file manager
// shows none: path, size, the times, owner and permissions, each as one line of label and value.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include <wx/dialog.h>

// The lines the dialog shows for `path` (the link itself when it is one): label, value. When
// the file cannot be examined, only the path line and one line with the system's reason.
std::vector<std::pair<std::string, std::string>> FilePropertyLines(const std::string& path);

class CFilePropertiesDlg : public wxDialog {
public:
    CFilePropertiesDlg(wxWindow* parent, const std::string& path);
};
