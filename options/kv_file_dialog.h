// The file dialog of the program's own file commands (the comma-separated export): the
// desktop's open or save dialog with exactly the caller's flags, opened in the folder of the
// given file name with its name filled in.
#pragma once

#include <string>

#include <wx/filedlg.h>

class CKVFileDialog : public wxFileDialog {
public:
    // `openDialog`: an open dialog, else a save dialog. `defaultExtension` (without a dot, may
    // be empty) is added to a chosen name that has no extension. `fileName` may hold a folder:
    // the dialog opens there with the rest as the name. `flags` are wxFD_* flags besides
    // open/save, used as given (wxFD_OVERWRITE_PROMPT, wxFD_FILE_MUST_EXIST, ...). `filter`
    // is "text|pattern|text|pattern", a trailing "|" or "||" allowed. `parent` may be null.
    CKVFileDialog(bool openDialog, const std::string& defaultExtension,
                  const std::string& fileName, long flags, const std::string& filter,
                  wxWindow* parent);

    // 1 when a name was chosen, else 2.
    int DoModal();

    // The chosen file, with the default extension added where it has none.
    std::string GetPathName() const;

    // The folder the dialog opens in; "" or one that is not there: the nearest folder above it,
    // else the home folder (ExistingFolderOrHome).
    std::string m_strInitialDir;

private:
    std::string m_strDefaultExtension;
};

// `path` with "." and `extension` added when `extension` is not empty and the file name part
// of `path` has no extension of its own.
std::string AddDefaultExtension(const std::string& path, const std::string& extension);

// A filter text as a wx wildcard: trailing "|" removed.
std::string WildcardFromFilter(const std::string& filter);
