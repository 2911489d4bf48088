// The system's own words for why an operation failed.
#pragma once

#include <string>

namespace platform {

// Not a system code: the file or folder was replaced (by a link, or by another file) since the
// scan listed it. The engine words it in its own text.
constexpr int kErrorReplaced = -2;
// Not a system code: another holder (a delete in another window or program) has the file
// locked in a way that excludes this use of it.
constexpr int kErrorLocked = -4;
// Not a system code: the recycle bin cannot take the file because its path is too long for the
// system's shell (Windows: 260 characters); it can still be deleted for good.
constexpr int kErrorTooLongForTrash = -5;
// Not a system code: the file system compared two files for sharing their data and found them
// different.
constexpr int kErrorContentsDiffer = -6;

// The code of the last failed system call of this thread (errno, or GetLastError on Windows).
int LastErrorCode();

// The system's text for `code`, in the user's language where the system has it, without a
// trailing line end. Never empty.
std::string ErrorText(int code);

}  // namespace platform
