// The system's own words for why an operation failed.
#pragma once

#include <string>

namespace platform {

// Not a system code: the file or folder was replaced (by a link, or by another file) since the
// scan listed it. The engine words it in its own text.
constexpr int kErrorReplaced = -2;
// Not a system code: the file is still there under its name, but its size or times are not
// the ones it had when it was looked at.
constexpr int kErrorChanged = -3;
// Not a system code: another program holds the file in a way that excludes this use of it: a
// lock of another delete, a record lock, or the file open for writing.
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
