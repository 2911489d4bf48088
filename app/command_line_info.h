// CCommandLineInfo: the framework's standard shell commands on the command line; the program has
// no options of its own.
//
//   (nothing)          a new, empty document
//   FILE               open FILE as the document (nothing is read from it)
//   /p FILE            open FILE, print it, end
//   /pt FILE P D O     open FILE, print it on printer P (driver D, port O), end
//   /dde               a new document (there is no DDE here)
//   /Register, /Regserver, /Unregister, /Unregserver
//                      (un)register the shell file types and end; there are none to register here
//   /Embedding, /Automation
//                      noted; a new document as without them
// Flags begin with "-", or with "/" when the rest is a flag name (a path such as /home/x is a
// file); names are compared without regard to case.
#pragma once

#include <string>
#include <vector>

class CCommandLineInfo {
public:
    enum Shell { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, AppRegister, AppUnregister };

    Shell m_nShellCommand = FileNew;
    std::string m_strFileName;
    std::string m_strPrinterName;
    std::string m_strDriverName;
    std::string m_strPortName;
    bool m_bRunEmbedded = false;
    bool m_bRunAutomated = false;

    // Reads the arguments (without the program name), in order.
    void ParseCommandLine(const std::vector<std::string>& args);

private:
    void ParseParam(const std::string& param, bool flag);
    int m_nPrintToParams = 0;  // printer, driver and port still to come after /pt FILE
};
