// The command line of pairscout-cli, read into the search options the window also uses.
#pragma once

#include <string>
#include <vector>

#include "engine/duplicate_search.h"

struct CliOptions {
    SearchOptions search;
    bool csv = false;
    bool help = false;
    bool version = false;
};

// Reads `args` (without the program name). Returns true on success; otherwise `error` holds
// the message to show (the filters' own messages for bad dates and sizes).
bool ParseCliOptions(const std::vector<std::string>& args, CliOptions* options, std::string* error);

// The text of --help.
std::string CliUsage();

// The text of --version: the program's name and version.
std::string CliVersionText();

// The rows of `results` as the program writes them: the paths of each group one per line with
// an empty line after each group, or with `csv` every row as the CSV export writes it.
std::string FormatResults(const ResultsModel& results, bool csv);
