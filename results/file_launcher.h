// What Open, Explore and Properties of the duplicates view hand to the desktop: the file's
// default application, the file manager showing the file, the file manager's properties of the
// file (else the program's own small properties dialog). The view holds one launcher and tests
// put in their own to see what was asked.
#pragma once

#include <string>

class wxWindow;

class CFileLauncher {
public:
    virtual ~CFileLauncher() = default;
    // Opens `path` with the system's default application for it. Failures are the desktop's to
    // report.
    virtual void Open(const std::string& path);
    // Shows the file manager with `path` selected (org.freedesktop.FileManager1 ShowItems over
    // D-Bus), else opens `folder` (the folder that holds the file).
    virtual void Explore(const std::string& path, const std::string& folder);
    // Shows the file manager's properties of `path` (ShowItemProperties), else the program's
    // own properties dialog over `parent`.
    virtual void Properties(const std::string& path, wxWindow* parent);
};

// The folder that holds `path`: the text before its last separator, keeping the separator when
// it is the root's ("/x" gives "/", "C:\x" gives "C:\" on Windows). "" when `path` has no
// separator.
std::string FolderOfFile(const std::string& path);

// `path` as a file:// address; every byte but unreserved ones and the separators is written
// %XX, so a name in any encoding (or holding quotes) stays exact.
std::string FileUri(const std::string& path);
