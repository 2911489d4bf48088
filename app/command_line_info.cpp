#include "app/command_line_info.h"

#ifdef _WIN32
#include <wx/string.h>

#include "platform/win32/win32.h"
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cctype>
#include <cerrno>

namespace {

bool EqualsNoCase(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return i == a.size() && b[i] == '\0';
}

bool IsKnownFlag(const std::string& name) {
    static const char* const kFlags[] = {"pt", "p", "Register", "Regserver", "Unregister",
                                         "Unregserver", "dde", "Embedding", "Automation"};
    for (const char* flag : kFlags) {
        if (EqualsNoCase(name, flag)) return true;
    }
    return false;
}

// The process's current folder, or "" when it cannot be told (it was removed).
std::string CurrentFolder() {
#ifdef _WIN32
    const DWORD length = GetCurrentDirectoryW(0, nullptr);
    if (length == 0) return std::string();
    std::wstring buffer(length, L'\0');
    const DWORD written = GetCurrentDirectoryW(length, &buffer[0]);
    if (written == 0 || written >= length) return std::string();
    buffer.resize(written);
    const wxScopedCharBuffer utf8 = wxString(buffer).utf8_str();
    return std::string(utf8.data(), utf8.length());
#else
    std::string buffer(4096, '\0');
    while (getcwd(&buffer[0], buffer.size()) == nullptr) {
        if (errno != ERANGE) return std::string();
        buffer.resize(buffer.size() * 2);
    }
    return buffer.c_str();
#endif
}

#ifdef _WIN32
constexpr char kSeparator = '\\';

// Length of the root of `path` (C:\ or \\server\share\), 0 when it has none. A path starting
// with one separator is rooted on the current drive: \x has the root \.
std::size_t RootLength(const std::string& path) {
    if (path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) &&
        path[1] == ':' && path[2] == kSeparator) {
        return 3;
    }
    if (path.size() >= 2 && path[0] == kSeparator && path[1] == kSeparator) {
        // The server and the share belong to the root.
        std::size_t at = path.find(kSeparator, 2);
        if (at != std::string::npos) at = path.find(kSeparator, at + 1);
        return at == std::string::npos ? path.size() : at + 1;
    }
    return !path.empty() && path[0] == kSeparator ? 1 : 0;
}
#else
constexpr char kSeparator = '/';

std::size_t RootLength(const std::string& path) {
    return !path.empty() && path[0] == kSeparator ? 1 : 0;
}
#endif

// `path` made absolute against `base`, without "." parts, repeated or trailing separators.
// Without a base a relative path stays as given.
std::string AbsolutePath(std::string path, const std::string& base) {
#ifdef _WIN32
    std::replace(path.begin(), path.end(), '/', kSeparator);
    // \x and C:x name the drive of the base, or its current folder: taken from the base.
    if (RootLength(path) == 1 && RootLength(base) == 3) path = base.substr(0, 2) + path;
    if (path.size() >= 2 && path[1] == ':' && RootLength(path) == 0 && !base.empty() &&
        std::toupper(static_cast<unsigned char>(base[0])) ==
            std::toupper(static_cast<unsigned char>(path[0]))) {
        path = path.substr(2);
    }
#endif
    std::size_t root = RootLength(path);
    if (root == 0 && base.empty()) return path;
    const std::string full = root != 0 ? path : base + kSeparator + path;
    root = RootLength(full);
    std::string out = full.substr(0, root);
    std::size_t start = root;
    while (start <= full.size()) {
        std::size_t end = full.find(kSeparator, start);
        if (end == std::string::npos) end = full.size();
        const std::string part = full.substr(start, end - start);
        if (!part.empty() && part != ".") {
            if (!out.empty() && out.back() != kSeparator) out += kSeparator;
            out += part;
        }
        start = end + 1;
    }
    return out.empty() ? std::string(1, kSeparator) : out;
}

// The folder that holds the file at `path` (an absolute path): its root stays whole.
std::string FolderOf(const std::string& path) {
    const std::size_t root = RootLength(path);
    const std::size_t at = path.rfind(kSeparator);
    if (at == std::string::npos) return ".";
    if (at < root) return path.substr(0, root);
    return at + 1 == root ? path.substr(0, root) : path.substr(0, at);
}

// True when `path` exists and is not a folder; a link counts as what it points to.
bool IsExistingNonFolder(const std::string& path) {
#ifdef _WIN32
    const DWORD attributes = GetFileAttributesW(wxString::FromUTF8(path).wc_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
#else
    struct stat st;
    return stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
#endif
}

}  // namespace

void CCommandLineInfo::ParseCommandLine(const std::vector<std::string>& args,
                                        const std::string& currentFolder) {
    m_plainArgs.clear();
    for (const std::string& arg : args) {
        // "-x" is always a flag. "/x" is one only when x is a flag's name: on POSIX a leading
        // "/" is far more often the root of an absolute path (and on Windows a path may be
        // written with "/" too).
        bool flag = false;
        if (arg.size() > 1 && arg[0] == '-') flag = true;
        if (arg.size() > 1 && arg[0] == '/' && IsKnownFlag(arg.substr(1))) flag = true;
        ParseParam(flag ? arg.substr(1) : arg, flag);
    }

    // Printing keeps the framework's meaning of the plain arguments: a document to print and
    // where to print it. Otherwise they are the folders to search.
    if (m_nShellCommand == FilePrint || m_nShellCommand == FilePrintTo) {
        std::string* fields[] = {&m_strFileName, &m_strPrinterName, &m_strDriverName,
                                 &m_strPortName};
        const std::size_t used = m_nShellCommand == FilePrint ? 1 : 4;
        for (std::size_t i = 0; i < used && i < m_plainArgs.size(); ++i) *fields[i] = m_plainArgs[i];
        return;
    }
    m_startPaths = StartPathsFromArguments(
        m_plainArgs, currentFolder.empty() ? CurrentFolder() : currentFolder);
}

void CCommandLineInfo::ParseParam(const std::string& param, bool flag) {
    if (!flag) {
        // An empty argument names nothing.
        if (!param.empty()) m_plainArgs.push_back(param);
        return;
    }
    if (EqualsNoCase(param, "pt")) {
        m_nShellCommand = FilePrintTo;
    } else if (EqualsNoCase(param, "p")) {
        m_nShellCommand = FilePrint;
    } else if (EqualsNoCase(param, "Register") || EqualsNoCase(param, "Regserver")) {
        m_nShellCommand = AppRegister;
    } else if (EqualsNoCase(param, "Unregister") || EqualsNoCase(param, "Unregserver")) {
        m_nShellCommand = AppUnregister;
    } else if (EqualsNoCase(param, "dde")) {
        m_nShellCommand = FileDDE;
    } else if (EqualsNoCase(param, "Embedding")) {
        m_bRunEmbedded = true;
    } else if (EqualsNoCase(param, "Automation")) {
        m_bRunAutomated = true;
    }
}

std::vector<std::string> CCommandLineInfo::StartPathsFromArguments(
    const std::vector<std::string>& paths, const std::string& currentFolder) {
    std::vector<std::string> folders;
    for (const std::string& arg : paths) {
        if (arg.empty()) continue;
        std::string folder = AbsolutePath(arg, currentFolder);
        if (IsExistingNonFolder(folder)) folder = FolderOf(folder);
        if (std::find(folders.begin(), folders.end(), folder) == folders.end()) {
            folders.push_back(folder);
        }
    }
    return folders;
}
