// CCommandLineInfo: the program's command line. Plain arguments are folders to search; the
// framework's standard shell flags keep their meaning.
//
//   (nothing)          a new, empty document
//   --help, -h         print the usage and end (before any window)
//   --version          print the name and version and end
//   FOLDER...          a new document, with the FOLDERs as the start paths (m_startPaths);
//                      a FILE names the folder that holds it
//   RESULTS.pairscout  the saved results in it, opened and checked (m_resultsFile)
//   /p FILE            open FILE, print it, end
//   /pt FILE P D O     open FILE, print it on printer P (driver D, port O), end
//   /dde               a new document (there is no DDE here)
//   /Register, /Regserver, /Unregister, /Unregserver
//                      (un)register the shell file types and end; there are none to register here
//   /Embedding, /Automation
//                      noted; a new document as without them
// Flags begin with "-", or with "/" when the rest is a flag name (a path such as /home/x is a
// folder); names are compared without regard to case. With /p or /pt the first plain argument
// is the document and the next three the printer, driver and port, wherever they stand.
#pragma once

#include <string>
#include <vector>

class CCommandLineInfo {
public:
    // FileOpen is kept for ProcessShellCommand's sake; the parser no longer gives it, since a
    // plain argument is a folder to search, not a document.
    enum Shell { FileNew, FileOpen, FilePrint, FilePrintTo, FileDDE, AppRegister, AppUnregister };

    Shell m_nShellCommand = FileNew;
    std::string m_strFileName;
    std::string m_strPrinterName;
    std::string m_strDriverName;
    std::string m_strPortName;
    bool m_bRunEmbedded = false;
    bool m_bRunAutomated = false;
    // The folder arguments as start paths, ready for the options sheet; empty when none were
    // given (the stored start paths then stand).
    std::vector<std::string> m_startPaths;
    // A saved result to open (an existing file ending in ".pairscout", made absolute); "" for
    // none. Given in place of folders: the first such argument wins.
    std::string m_resultsFile;

    // Reads the arguments (without the program name), in order. Relative paths are taken
    // from `currentFolder`; empty means the process's current folder.
    void ParseCommandLine(const std::vector<std::string>& args,
                          const std::string& currentFolder = std::string());

    // The text that --help (-h) or --version asks for, wherever it stands (the first of them
    // wins): the program prints it and ends before it opens a window or needs a display.
    // False when the arguments ask for neither.
    static bool InfoText(const std::vector<std::string>& args, std::string* text);

    // The start paths for the program's plain arguments, one per argument: each made
    // absolute against `currentFolder` and cleared of "." and empty parts (".." is kept: a
    // link may stand before it). A path that names a file (links followed) is replaced by the
    // folder that holds it; a folder, or a path that does not exist, stays (the user corrects
    // a missing one in the sheet). A folder named twice is listed once, where first named.
    static std::vector<std::string> StartPathsFromArguments(const std::vector<std::string>& paths,
                                               const std::string& currentFolder);

private:
    void ParseParam(const std::string& param, bool flag);
    std::vector<std::string> m_plainArgs;  // the arguments that are not flags, in order
};
