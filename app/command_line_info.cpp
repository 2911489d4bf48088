#include "app/command_line_info.h"

#include <sys/stat.h>
#include <unistd.h>

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
    std::string buffer(4096, '\0');
    while (getcwd(&buffer[0], buffer.size()) == nullptr) {
        if (errno != ERANGE) return std::string();
        buffer.resize(buffer.size() * 2);
    }
    return buffer.c_str();
}

// `path` made absolute against `base`, without "." parts, repeated or trailing separators.
// Without a base a relative path stays as given.
std::string AbsolutePath(const std::string& path, const std::string& base) {
    if (path[0] != '/' && base.empty()) return path;
    const std::string full = path[0] == '/' ? path : base + "/" + path;
    std::string out;
    std::size_t start = 0;
    while (start <= full.size()) {
        std::size_t end = full.find('/', start);
        if (end == std::string::npos) end = full.size();
        const std::string part = full.substr(start, end - start);
        if (!part.empty() && part != ".") out += "/" + part;
        start = end + 1;
    }
    return out.empty() ? "/" : out;
}

// True when `path` exists and is not a folder; a link counts as what it points to.
bool IsExistingNonFolder(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

}  // namespace

void CCommandLineInfo::ParseCommandLine(const std::vector<std::string>& args,
                                        const std::string& currentFolder) {
    m_plainArgs.clear();
    for (const std::string& arg : args) {
        // "-x" is always a flag. "/x" is one only when x is a flag's name: on POSIX a leading
        // "/" is far more often the root of an absolute path.
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
    m_strStartPaths = StartPathsFromArguments(
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

std::string CCommandLineInfo::StartPathsFromArguments(const std::vector<std::string>& paths,
                                                      const std::string& currentFolder) {
    std::vector<std::string> folders;
    for (const std::string& arg : paths) {
        if (arg.empty()) continue;
        std::string folder = AbsolutePath(arg, currentFolder);
        if (IsExistingNonFolder(folder)) {
            const std::size_t slash = folder.rfind('/');
            if (slash == std::string::npos) folder = ".";
            else folder = slash == 0 ? "/" : folder.substr(0, slash);
        }
        if (std::find(folders.begin(), folders.end(), folder) == folders.end()) {
            folders.push_back(folder);
        }
    }
    std::string joined;
    for (const std::string& folder : folders) {
        if (!joined.empty()) joined += ';';
        joined += folder;
    }
    return joined;
}
