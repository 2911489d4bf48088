// What the tests need to know about the platform they run on, kept in one place so that one
// suite serves POSIX and Windows.
#pragma once

#include <string>
#include <vector>

#ifdef _WIN32
constexpr bool kWindows = true;
#else
constexpr bool kWindows = false;
#endif

// `path` written with "/" as the folder separator, in the platform's form: every "/" becomes
// "\" on Windows; unchanged on POSIX.
std::string Native(std::string path);

// `path` with "/" between its parts, on Windows too: the other way round from Native, for
// comparing paths the program gives with expectations written with "/".
std::string Slashes(std::string path);

// Windows: true when the user's locale is English (United States), whose short date picture
// is "M/d/yyyy". Always false on POSIX, where tests choose their locale themselves.
bool UserLocaleIsEnUs();

// Windows: the ANSI code page that the 8-bit file functions and upper-casing use. 0 on POSIX.
unsigned AnsiCodePage();

// The folder of the running test program, ending in the separator.
std::string ProgramFolder();

// Runs `program` with `args` (passed as they are, without a shell), its standard output and
// error going to files in `scratchFolder` and read back into `out` and `err`. Returns the
// exit status, or -1 when the program could not be started.
int RunProgram(const std::string& program, const std::vector<std::string>& args,
               const std::string& scratchFolder, std::string* out, std::string* err);
