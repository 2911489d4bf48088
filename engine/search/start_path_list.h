// Start paths travel as a list of items from the Paths page and the command line to the
// scanner. Two texts hold several of them: the settings' one ";" text, and a typed ";" list.
#pragma once

#include <string>
#include <vector>

// The settings' text of `paths`: the items joined by ";". An item holding ";", starting with a
// double quote or with a blank at either end (blanks around an unquoted item of a list are
// dropped on reading), and an empty last item, are written in double quotes, a quote inside
// doubled. Read back by ReadStartPathText as the same items.
std::string StartPathText(const std::vector<std::string>& paths);

// The items of a settings text. Unquoted, as always: every piece before a ";" is an item, even
// an empty one, the text after the last ";" only when it is not empty, and in a list of more
// than one the blanks around each piece are removed (a single path stays exactly as written).
// A piece starting with a double quote that is closed runs to that closing quote ("" inside
// stands for one quote); a quote never closed is an ordinary character.
std::vector<std::string> ReadStartPathText(const std::string& text);

// A typed ";" list (a command-line argument): its elements without the blanks around them,
// empty elements dropped.
std::vector<std::string> SplitStartPathList(const std::string& text);

// Whether `path` names a folder that can be searched: true, or false with the reason in `why`
// (the system's text, or IDS_PATH_NOT_A_FOLDER).
bool IsSearchableFolder(const std::string& path, std::string* why);
