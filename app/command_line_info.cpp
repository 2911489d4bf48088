#include "app/command_line_info.h"

#include <algorithm>
#include <cctype>
#include <cerrno>

#include "engine/text/string_table.h"
#include "platform/path_forms.h"

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

using platform::AbsolutePath;
using platform::CurrentFolder;
using platform::FolderOf;
using platform::IsExistingNonFolder;

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
    const std::string here = currentFolder.empty() ? CurrentFolder() : currentFolder;
    // A saved result is opened, not searched: the file manager hands it over this way.
    const std::string ending = ".pairscout";
    for (const std::string& arg : m_plainArgs) {
        if (arg.size() <= ending.size() ||
            arg.compare(arg.size() - ending.size(), ending.size(), ending) != 0)
            continue;
        const std::string path = AbsolutePath(arg, here);
        if (!IsExistingNonFolder(path)) continue;
        m_resultsFile = path;
        return;
    }
    m_startPaths = StartPathsFromArguments(m_plainArgs, here);
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

bool CCommandLineInfo::InfoText(const std::vector<std::string>& args, std::string* text) {
    for (const std::string& arg : args) {
        if (arg == "--version") {
            *text = "pairscout (Pairscout) " PAIRSCOUT_VERSION "\n";
            return true;
        }
        if (arg == "--help" || arg == "-h") {
            *text = LoadStringText(IDS_WINDOW_USAGE);
            return true;
        }
    }
    return false;
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
