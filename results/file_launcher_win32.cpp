// Open, Explore and Properties through the Windows shell.
#include "results/file_launcher.h"

#include "platform/win32/win32.h"
#include <shellapi.h>
#include <shlobj.h>

#include <wx/utils.h>
#include <wx/window.h>

#include "gui/wx_text.h"
#include "results/file_properties_dlg.h"

namespace {

// The record's own bytes as the shell takes them: a name that is no valid UTF-16 (which wx
// would turn into an empty text) keeps its units.
std::wstring Wide(const std::string& text) { return platform::Wide(text); }

HWND WindowOf(wxWindow* window) {
    return window != nullptr ? static_cast<HWND>(window->GetHandle()) : nullptr;
}

}  // namespace

void CFileLauncher::Open(const std::string& path) {
    if (!LaunchDefault(DesktopTarget(path))) Failed(kOpenFailed, path);
}

void CFileLauncher::Explore(const std::string& path, const std::string& folder) {
    // The folder's window with the file selected; else the folder alone.
    bool shown = false;
    if (PIDLIST_ABSOLUTE item = ILCreateFromPathW(Wide(path).c_str())) {
        const HRESULT initialised = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        shown = SUCCEEDED(SHOpenFolderAndSelectItems(item, 0, nullptr, 0));
        if (SUCCEEDED(initialised)) CoUninitialize();
        ILFree(item);
    }
    if (!shown) {
        const std::wstring dir = Wide(folder);
        // A result of 32 or less is a failure.
        const auto result = reinterpret_cast<INT_PTR>(
            ShellExecuteW(nullptr, L"explore", dir.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
        if (result <= 32) Failed(kExploreFailed, path);
    }
}

void CFileLauncher::Properties(const std::string& path, wxWindow* parent) {
    const std::wstring file = Wide(path);
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_INVOKEIDLIST | SEE_MASK_FLAG_NO_UI;
    info.hwnd = WindowOf(parent);
    info.lpVerb = L"properties";
    info.lpFile = file.c_str();
    info.nShow = SW_SHOW;
    if (ShellExecuteExW(&info)) return;
    // A shell without a properties sheet for files: the program's own dialog.
    CFilePropertiesDlg dialog(parent, path);
    dialog.ShowModal();
}

bool CFileLauncher::LaunchDefault(const std::string& target) {
    const std::wstring file = Wide(target);
    // The shell's result is above 32 when it started something.
    return reinterpret_cast<INT_PTR>(ShellExecuteW(nullptr, nullptr, file.c_str(), nullptr,
                                                   nullptr, SW_SHOWNORMAL)) > 32;
}

void CFileLauncher::CallFileManager(const char* /*method*/, const std::string& /*uri*/,
                                    std::function<void()> fallback) {
    // No file manager answers over D-Bus here: Explore and Properties use the shell instead.
    if (fallback) fallback();
}

std::string DesktopTarget(const std::string& path) { return path; }

std::string FolderOfFile(const std::string& path) {
    std::string::size_type at = path.find_last_of('\\');
    if (at == std::string::npos) return std::string();
    if (at == 2 && path.size() > 1 && path[1] == ':') return path.substr(0, 3);
    if (at == 0) return path.substr(0, 1);
    return path.substr(0, at);
}
