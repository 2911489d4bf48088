// JSON text as the program writes it: strings that carry any file name byte for byte, and
// times as ISO 8601.
#pragma once

#include <string>

#include "platform/file_time.h"

// `text` as the inside of a JSON string (without the quotes). Valid UTF-8 stays as it is,
// except quotes, backslashes, control characters and the direction marks that could make a
// terminal show a name reversed, which are written as escapes. A byte that is not part of
// valid UTF-8 is written as "\udcXX" (XX: the byte), the escape that Python's surrogateescape
// reads back, so that the exact bytes of any name can be recovered.
std::string JsonString(const std::string& text);

// `time` (a local file time) as "YYYY-MM-DDTHH:MM:SS"; a time the calendar cannot split is
// shown as the first instant of file time, as a record keeps a time it cannot make local.
std::string IsoTimeText(platform::FileTime time);
