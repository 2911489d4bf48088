// What Open, Explore and Properties of the duplicates view hand to the desktop: the file's
// default application, the file manager showing the file, the file manager's properties of the
// file (else the program's own small properties dialog). The view holds one launcher and tests
// put in their own to see what was asked.
//
// Paths are the file's own bytes, which need not be valid UTF-8. What goes to the desktop is
// therefore the file's address (DesktopTarget): every byte that could be taken for something
// else is written %XX, so the desktop opens exactly that file, whatever the name's encoding,
// and no text conversion on the way can change it.
#pragma once

#include <functional>
#include <memory>
#include <string>

class wxWindow;

class CFileLauncher {
public:
    CFileLauncher() : m_alive(std::make_shared<bool>(true)) {}
    virtual ~CFileLauncher() { *m_alive = false; }
    CFileLauncher(const CFileLauncher&) = delete;
    CFileLauncher& operator=(const CFileLauncher&) = delete;
    // What the desktop could not do, for the failure handler.
    enum Failure { kOpenFailed, kExploreFailed };
    // Called on the window's thread with the file's path when no application opened the file,
    // or no file manager showed its folder (empty: nothing is said).
    void SetFailureHandler(std::function<void(Failure, const std::string& path)> handler) {
        m_onFailure = std::move(handler);
    }

    // Opens `path` with the system's default application for it; when none opens it, the
    // failure handler is told.
    virtual void Open(const std::string& path);
    // Shows the file manager with `path` selected (org.freedesktop.FileManager1 ShowItems over
    // D-Bus), else opens `folder` (the folder that holds the file).
    virtual void Explore(const std::string& path, const std::string& folder);
    // Shows the file manager's properties of `path` (ShowItemProperties), else the program's
    // own properties dialog over `parent`.
    virtual void Properties(const std::string& path, wxWindow* parent);

protected:
    // The two doors to the desktop (tests replace them to see what would go through):
    // opens `target` (a DesktopTarget) with the default application for it, false when none
    // could be started;
    virtual bool LaunchDefault(const std::string& target);
    void Failed(Failure failure, const std::string& path) const {
        if (m_onFailure) m_onFailure(failure, path);
    }
    // calls the file manager's `method` for the address `uri` without waiting; `fallback` runs
    // when the call cannot be made or the file manager refuses it.
    virtual void CallFileManager(const char* method, const std::string& uri,
                                 std::function<void()> fallback);

private:
    // False once this launcher is gone: a file manager's refusal may come after that.
    std::shared_ptr<bool> m_alive;
    std::function<void(Failure, const std::string&)> m_onFailure;
};

// What the desktop is given to open `path`: its file:// address (FileUri); on Windows the path
// itself, which the shell takes as it stands.
std::string DesktopTarget(const std::string& path);

// The folder that holds `path`: the text before its last separator, keeping the separator when
// it is the root's ("/x" gives "/", "C:\x" gives "C:\" on Windows). "" when `path` has no
// separator.
std::string FolderOfFile(const std::string& path);

// `path` as a file:// address; every byte but unreserved ones and the separators is written
// %XX, so a name in any encoding (or holding quotes) stays exact.
std::string FileUri(const std::string& path);
