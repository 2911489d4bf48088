// The console of a command-line program: Ctrl+C, whether a standard stream is a terminal and
// how wide it is, and how its bytes go out.
#pragma once

namespace platform {

// Whether names are UTF-8. On Windows they are in the ANSI code page, where every byte above
// 0x7F is text (a double-byte character takes two columns, one per byte).
#ifdef _WIN32
constexpr bool kNamesAreUtf8 = false;
#else
constexpr bool kNamesAreUtf8 = true;
#endif

// Calls `onInterrupt` (in a signal handler: it may only set a flag or end the program) at every
// Ctrl+C. A write to a slow reader goes on after it rather than failing half done.
void CatchInterrupt(void (*onInterrupt)());

// Whether standard input / output / error is a terminal.
bool StdinIsTerminal();
bool StdoutIsTerminal();
bool StderrIsTerminal();

// The width of the terminal on standard error, 80 when it cannot be told.
int StderrColumns();

// Standard output and error take bytes as they are: no CR added before a line feed.
void UseBinaryStandardStreams();

}  // namespace platform
