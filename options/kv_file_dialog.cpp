#include "options/kv_file_dialog.h"

#include <wx/utils.h>

#include "gui/wx_text.h"
#include "options/path_picker_text.h"
#include "platform/file_find.h"

namespace {

std::string FolderOf(const std::string& fileName) {
    std::string folder, name;
    SplitAtLastSeparator(fileName, &folder, &name);
    return folder;
}

std::string NameOf(const std::string& fileName) {
    std::string folder, name;
    SplitAtLastSeparator(fileName, &folder, &name);
    return name;
}

}  // namespace

CKVFileDialog::CKVFileDialog(bool openDialog, const std::string& defaultExtension,
                             const std::string& fileName, long flags,
                             const std::string& filter, wxWindow* parent)
    : wxFileDialog(parent, wxString(), Utf8ToWx(FolderOf(fileName)), Utf8ToWx(NameOf(fileName)),
                   Utf8ToWx(WildcardFromFilter(filter)),
                   (openDialog ? wxFD_OPEN : wxFD_SAVE) | flags),
      m_strInitialDir(FolderOf(fileName)),
      m_strDefaultExtension(defaultExtension) {}

int CKVFileDialog::DoModal() {
    // Given no folder, or one that is gone, the desktop's dialog opens on its recent files,
    // where a typed path is not taken.
    const std::string start = ExistingFolderOrHome(m_strInitialDir, WxToUtf8(wxGetHomeDir()));
    if (start != m_strInitialDir) SetDirectory(Utf8ToWx(start));
    return ShowModal() == wxID_OK && !GetPath().empty() ? 1 : 2;
}

std::string CKVFileDialog::GetPathName() const {
    return AddDefaultExtension(WxToUtf8(GetPath()), m_strDefaultExtension);
}

std::string AddDefaultExtension(const std::string& path, const std::string& extension) {
    if (extension.empty() || path.empty()) return path;
    const std::string::size_type nameStart = path.rfind(platform::kPathSeparator);
    const std::string::size_type dot = path.rfind('.');
    if (dot != std::string::npos && (nameStart == std::string::npos || dot > nameStart))
        return path;
    return path + "." + extension;
}

std::string WildcardFromFilter(const std::string& filter) {
    std::string wildcard = filter;
    while (!wildcard.empty() && wildcard.back() == '|') wildcard.pop_back();
    return wildcard;
}
