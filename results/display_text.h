// Text for display that may hold file names in any encoding: the program's texts are UTF-8,
// file names are the system's bytes. A message naming files is made valid UTF-8 as a whole, so
// that one name of another encoding shows replacement marks in its own place instead of
// spoiling the message around it.
#pragma once

#include <string>

// `bytes` with every byte that does not belong to a well-formed UTF-8 sequence (a stray
// continuation byte, a cut sequence, an overlong form, a surrogate, a value past U+10FFFF)
// replaced by U+FFFD; well-formed text comes back unchanged.
std::string ShownUtf8(const std::string& bytes);
