// Open, Explore and Properties through the desktop: D-Bus calls to the file manager and the
// default opener, files named by their addresses.
#include "results/file_launcher.h"

#include <wx/process.h>
#include <wx/utils.h>
#include <wx/weakref.h>
#include <wx/window.h>

#include "platform/file_find.h"
#include "results/file_properties_dlg.h"

namespace {

// Runs one file-manager method over D-Bus for `uri`; `fallback` runs when the call cannot be
// made or the file manager refuses it. The call does not wait: the answer arrives later.
class FileManagerCall : public wxProcess {
public:
    explicit FileManagerCall(std::function<void()> fallback) : m_fallback(std::move(fallback)) {}

    void OnTerminate(int /*pid*/, int status) override {
        if (status != 0 && m_fallback) m_fallback();
        delete this;
    }

    static void Start(const char* method, const std::string& uri, std::function<void()> fallback) {
        const wxString methodName = wxString("org.freedesktop.FileManager1.") + method;
        const wxString items = "['" + wxString::FromUTF8(uri) + "']";
        const wxString tokens[] = {"gdbus", "call", "--session", "--timeout", "5",
                                   "--dest", "org.freedesktop.FileManager1",
                                   "--object-path", "/org/freedesktop/FileManager1",
                                   "--method", methodName, items, ""};
        const wchar_t* argv[sizeof tokens / sizeof tokens[0] + 1];
        for (std::size_t i = 0; i < sizeof tokens / sizeof tokens[0]; ++i) argv[i] = tokens[i].wc_str();
        argv[sizeof tokens / sizeof tokens[0]] = nullptr;
        auto* call = new FileManagerCall(fallback);
        if (wxExecute(argv, wxEXEC_ASYNC | wxEXEC_HIDE_CONSOLE, call) <= 0) {
            // wxExecute has deleted nothing: the process object is ours when it did not start.
            delete call;
            if (fallback) fallback();
        }
    }

private:
    std::function<void()> m_fallback;
};

}  // namespace

void CFileLauncher::Open(const std::string& path) {
    if (!LaunchDefault(DesktopTarget(path))) Failed(kOpenFailed, path);
}

void CFileLauncher::Explore(const std::string& path, const std::string& folder) {
    const std::string target = DesktopTarget(folder);
    const std::shared_ptr<bool> alive = m_alive;
    CallFileManager("ShowItems", FileUri(path), [this, alive, target, path] {
        if (*alive && !LaunchDefault(target)) Failed(kExploreFailed, path);
    });
}

void CFileLauncher::Properties(const std::string& path, wxWindow* parent) {
    wxWeakRef<wxWindow> owner(parent);
    CallFileManager("ShowItemProperties", FileUri(path), [path, owner] {
        CFilePropertiesDlg dialog(owner, path);
        dialog.ShowModal();
    });
}

bool CFileLauncher::LaunchDefault(const std::string& target) {
    // An address is plain ASCII: it reaches the opener unchanged.
    return wxLaunchDefaultApplication(wxString::FromAscii(target.c_str()));
}

void CFileLauncher::CallFileManager(const char* method, const std::string& uri,
                                    std::function<void()> fallback) {
    FileManagerCall::Start(method, uri, std::move(fallback));
}

std::string DesktopTarget(const std::string& path) { return FileUri(path); }

std::string FolderOfFile(const std::string& path) {
    std::string::size_type at = path.find_last_of(platform::kPathSeparator);
    if (at == std::string::npos) return std::string();
    if (at == 0) return path.substr(0, 1);
    return path.substr(0, at);
}

