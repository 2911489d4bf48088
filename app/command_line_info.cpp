#include "app/command_line_info.h"

#include <cctype>

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

}  // namespace

void CCommandLineInfo::ParseCommandLine(const std::vector<std::string>& args) {
    for (const std::string& arg : args) {
        // "-x" is always a flag. "/x" is one only when x is a flag's name: on POSIX a leading
        // "/" is far more often the root of an absolute path.
        bool flag = false;
        if (arg.size() > 1 && arg[0] == '-') flag = true;
        if (arg.size() > 1 && arg[0] == '/' && IsKnownFlag(arg.substr(1))) flag = true;
        ParseParam(flag ? arg.substr(1) : arg, flag);
    }
}

void CCommandLineInfo::ParseParam(const std::string& param, bool flag) {
    if (flag) {
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
        return;
    }
    if (m_strFileName.empty()) {
        m_strFileName = param;
        if (m_nShellCommand == FileNew) m_nShellCommand = FileOpen;
        if (m_nShellCommand == FilePrintTo) m_nPrintToParams = 3;
        return;
    }
    if (m_nShellCommand == FilePrintTo && m_nPrintToParams > 0) {
        std::string* fields[] = {&m_strPrinterName, &m_strDriverName, &m_strPortName};
        *fields[3 - m_nPrintToParams] = param;
        --m_nPrintToParams;
    }
}
