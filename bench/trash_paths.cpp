// Searches the start paths given on the command line, then moves every duplicate to the trash
// by one of the two ways in: "window" (SafeDelete, as the window's delete) or "cli"
// (DuplicateAction, as pairscout-cli --trash). Prints the files gone and the seconds of the
// removal alone, so that the two can be timed on the same tree.
#include <chrono>
#include <cstdio>
#include <cstring>

#include "engine/actions/duplicate_action.h"
#include "engine/actions/safe_delete.h"
#include "engine/search/duplicate_search.h"

int main(int argc, char** argv) {
    if (argc < 3 || (std::strcmp(argv[1], "window") != 0 && std::strcmp(argv[1], "cli") != 0)) {
        std::fprintf(stderr, "usage: trash_paths window|cli PATH...\n");
        return 2;
    }
    const bool window = std::strcmp(argv[1], "window") == 0;
    SearchOptions options;
    options.paths.assign(argv + 2, argv + argc);
    ResultsModel results;
    DuplicateSearch search(nullptr);
    if (search.Run(options, results) != DuplicateSearch::kFinished) return 1;
    const std::vector<std::size_t> rows = results.DuplicateRows();
    const auto start = std::chrono::steady_clock::now();
    std::size_t gone = 0;
    if (window) {
        SafeDelete remover(nullptr, true);
        remover.SetRemoveEmptiedFolders(options.paths);
        gone = remover.Run(results, rows).goneRows.size();
    } else {
        DuplicateAction action(DuplicateActionKind::kTrash, nullptr);
        action.SetRemoveEmptiedFolders(options.paths);
        gone = action.Apply(results, action.Plan(results, rows)).done.size();
    }
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::printf("%s: %zu files in %.2f s\n", argv[1], gone, took.count());
    return 0;
}
