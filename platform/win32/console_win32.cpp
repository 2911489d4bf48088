#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>

#include "platform/console.h"
#include "platform/win32/win32.h"

#include <shellapi.h>

namespace platform {

namespace {

void (*g_onInterrupt)() = nullptr;
bool g_ansiCodePage = false;

// The console behind `stream`, or nullptr when it goes to a file or a pipe.
HANDLE ConsoleOf(std::FILE* stream) {
    const intptr_t os = _get_osfhandle(_fileno(stream));
    if (os == -1) return nullptr;
    HANDLE h = reinterpret_cast<HANDLE>(os);
    DWORD mode = 0;
    if (!::GetConsoleMode(h, &mode)) return nullptr;
    // The progress line clears itself with an escape sequence; consoles that know them are
    // asked to act on it (older ones show it).
    if ((mode & ENABLE_VIRTUAL_TERMINAL_PROCESSING) == 0)
        ::SetConsoleMode(h, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING);
    return h;
}

extern "C" void OnSigint(int) {
    // The runtime puts the default handler back before calling this one.
    std::signal(SIGINT, OnSigint);
    if (g_onInterrupt != nullptr) g_onInterrupt();
}

}  // namespace

void CatchInterrupt(void (*onInterrupt)()) {
    g_onInterrupt = onInterrupt;
    std::signal(SIGINT, OnSigint);
}

bool StdinIsTerminal() { return _isatty(0) != 0; }

bool StdoutIsTerminal() { return _isatty(1) != 0; }

bool StderrIsTerminal() { return _isatty(2) != 0; }

int StderrColumns() { return 80; }

void UseBinaryStandardStreams() {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr) {
        return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc)
                        : std::vector<std::string>();
    }
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i) args.push_back(Narrow(wide[i]));
    ::LocalFree(wide);
    return args;
}

bool WriteStandardText(std::FILE* stream, const std::string& text) {
    if (text.empty()) return true;
    if (HANDLE console = ConsoleOf(stream)) {
        // What the stream holds goes first, so that the order stays.
        std::fflush(stream);
        const std::wstring wide = Wide(text);
        std::size_t done = 0;
        while (done < wide.size()) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(wide.size() - done, 8192));
            DWORD written = 0;
            if (!::WriteConsoleW(console, wide.data() + done, chunk, &written, nullptr) ||
                written == 0)
                return false;
            done += written;
        }
        return true;
    }
    if (!g_ansiCodePage) return std::fwrite(text.data(), 1, text.size(), stream) == text.size();
    const std::wstring wide = Wide(text);
    const int size = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, nullptr);
    if (size <= 0) return false;
    std::string bytes(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), &bytes[0], size,
                          nullptr, nullptr);
    return std::fwrite(bytes.data(), 1, bytes.size(), stream) == bytes.size();
}

void UseAnsiCodePage() { g_ansiCodePage = true; }

}  // namespace platform
