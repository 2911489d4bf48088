// ListedResults: what the window lists, as the document holds it: the rows of the last search,
// the order they were found in (so that other keep rules can order them again), the rules that
// ordered them, and which search listed them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/results/found_order.h"
#include "engine/results/keep_rules.h"
#include "engine/results/results_model.h"
#include "engine/search/directory_scanner.h"

struct ListedResults {
    // Never null.
    std::unique_ptr<ResultsModel> model = std::make_unique<ResultsModel>();
    FoundOrder found;
    KeepPolicy policy;
    // Counts the searches that listed rows: an undo made from other rows only adds rows to
    // groups still listed.
    unsigned number = 0;
    // The start paths of the search that listed them (a move keeps the path below them); empty
    // while none did.
    std::vector<std::string> startPaths;
    // What the search's walk saw of each folder, for finding duplicate folders; empty for
    // rows that were not searched (opened results, a catalog comparison).
    std::vector<FolderSeen> foldersSeen;
};
