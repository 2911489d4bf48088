#include <fcntl.h>
#include <io.h>

#include <csignal>
#include <cstdio>

#include "platform/console.h"

namespace platform {

namespace {

void (*g_onInterrupt)() = nullptr;

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

}  // namespace platform
