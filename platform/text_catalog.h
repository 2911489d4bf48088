// Where the program's English message catalog is and which language the user reads.
#pragma once

#include <string>

namespace platform {

// The user's language for messages: on POSIX the first of LANGUAGE (its first element),
// LC_ALL, LC_MESSAGES and LANG that is set, as gettext reads them ("zh_CN.UTF-8", "en_US",
// "C"); on Windows the user's interface language ("zh-CN", "en-US"). "" when nothing says.
std::string UserLanguageName();

// The bytes of the English catalog (a .mo file): on POSIX share/locale/en/LC_MESSAGES/
// pairscout.mo beside the program's bin/ folder, else the build tree's, each taken only when it
// is a regular file of at most 16 MiB (opened without blocking: a folder or a FIFO there is
// passed over); on Windows the program's resource "PAIRSCOUT_EN". False, with the reason in
// *why, when there is none.
bool ReadEnglishCatalog(std::string* bytes, std::string* why);

}  // namespace platform
