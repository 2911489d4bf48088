#include "support/platform_rules.h"

#include <cstdio>

#include "platform/file_find.h"
#include "support/temp_dir.h"

#ifdef _WIN32
#include "platform/win32/win32.h"
#else
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

std::string Slashes(std::string path) {
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

std::string Native(std::string path) {
    for (char& c : path)
        if (c == '/') c = platform::kPathSeparator;
    return path;
}

#ifdef _WIN32

bool UserLocaleIsEnUs() { return ::GetUserDefaultLCID() == 0x0409; }

unsigned AnsiCodePage() { return ::GetACP(); }

std::string ProgramFolder() {
    wchar_t buf[MAX_PATH + 1] = {};
    const DWORD n = ::GetModuleFileNameW(nullptr, buf, MAX_PATH);
    std::string path = platform::Narrow(buf, n);
    return path.substr(0, path.rfind('\\') + 1);
}

namespace {

// One argument as the C runtime's command-line parser reads it back.
std::string Quoted(const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
    std::string q = "\"";
    std::size_t backslashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        if (c == '"') backslashes = backslashes * 2 + 1;
        q.append(backslashes, '\\');
        backslashes = 0;
        q += c;
    }
    q.append(backslashes * 2, '\\');
    return q + "\"";
}

HANDLE InheritableFile(const std::string& path) {
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    return ::CreateFileW(platform::Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

int RunProgram(const std::string& program, const std::vector<std::string>& args,
               const std::string& scratchFolder, std::string* out, std::string* err) {
    const std::string outPath = scratchFolder + "stdout.txt";
    const std::string errPath = scratchFolder + "stderr.txt";
    std::string commandLine = Quoted(program);
    for (const std::string& a : args) commandLine += " " + Quoted(a);
    HANDLE outFile = InheritableFile(outPath);
    HANDLE errFile = InheritableFile(errPath);
    // Wide, so that names outside the code page reach the program as they are.
    std::wstring wideLine = platform::Wide(commandLine);
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    si.hStdOutput = outFile;
    si.hStdError = errFile;
    PROCESS_INFORMATION pi = {};
    int status = -1;
    if (::CreateProcessW(platform::Wide(program).c_str(), &wideLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                         nullptr, &si, &pi)) {
        ::WaitForSingleObject(pi.hProcess, INFINITE);
        DWORD code = 0;
        if (::GetExitCodeProcess(pi.hProcess, &code)) status = static_cast<int>(code);
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
    }
    ::CloseHandle(outFile);
    ::CloseHandle(errFile);
    *out = ReadWholeFile(outPath);
    *err = ReadWholeFile(errPath);
    return status;
}

#else

bool UserLocaleIsEnUs() { return false; }

unsigned AnsiCodePage() { return 0; }

std::string ProgramFolder() {
    char buf[4096];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf);
    const std::string path(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
    return path.substr(0, path.rfind('/') + 1);
}

int RunProgram(const std::string& program, const std::vector<std::string>& args,
               const std::string& scratchFolder, std::string* out, std::string* err) {
    const std::string outPath = scratchFolder + "stdout.txt";
    const std::string errPath = scratchFolder + "stderr.txt";
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t pid = 0;
    int status = -1;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) == 0) {
        int raw = 0;
        if (waitpid(pid, &raw, 0) == pid && WIFEXITED(raw)) status = WEXITSTATUS(raw);
    }
    posix_spawn_file_actions_destroy(&actions);
    *out = ReadWholeFile(outPath);
    *err = ReadWholeFile(errPath);
    return status;
}

#endif
