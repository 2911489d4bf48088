#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "platform/console.h"

namespace platform {

namespace {

void (*g_onInterrupt)() = nullptr;

extern "C" void OnSigint(int) {
    if (g_onInterrupt != nullptr) g_onInterrupt();
}

}  // namespace

void CatchInterrupt(void (*onInterrupt)()) {
    g_onInterrupt = onInterrupt;
    struct sigaction action = {};
    action.sa_handler = OnSigint;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
}

bool StdinIsTerminal() { return isatty(STDIN_FILENO) != 0; }

bool StdoutIsTerminal() { return isatty(STDOUT_FILENO) != 0; }

bool StderrIsTerminal() { return isatty(STDERR_FILENO) != 0; }

int StderrColumns() {
    struct winsize size = {};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
    return 80;
}

void UseBinaryStandardStreams() {}

}  // namespace platform

namespace platform {

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>();
}

bool WriteStandardText(std::FILE* stream, const std::string& text) {
    return text.empty() || std::fwrite(text.data(), 1, text.size(), stream) == text.size();
}

// Names are bytes here: there is no other code page to write.
void UseAnsiCodePage() {}

}  // namespace platform
