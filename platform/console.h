// The console of a command-line program: Ctrl+C, whether a standard stream is a terminal and
// how wide it is, and how its bytes go out.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

namespace platform {

// Names are UTF-8 on every system (on Windows converted from the system's UTF-16).
constexpr bool kNamesAreUtf8 = true;

// The program's arguments (argv without the program's name) as UTF-8. On Windows they are read
// from the wide command line: the byte-string argv has lost every character outside the code
// page.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

// Writes UTF-8 `text` to standard output or standard error. On Windows a console is given the
// characters themselves (whatever its code page), a file or pipe UTF-8 bytes, or the ANSI code
// page's bytes after UseAnsiCodePage. False when not all of it could be written.
bool WriteStandardText(std::FILE* stream, const std::string& text);

// Windows: files and pipes take the ANSI code page from now on (for tools that read no UTF-8);
// a character that code page lacks is written as the code page's default character.
void UseAnsiCodePage();

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
