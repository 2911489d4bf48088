// Folders where the user thinks in folders: folders that hold the same files (with everything
// below them), and folders whose every file has a copy elsewhere. Found from the file groups
// of a search and what its walk saw of each folder, without reading a byte more.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "engine/results/results_model.h"
#include "engine/search/directory_scanner.h"

// Two or more folders whose files (everything below them) have the same bytes, the same count
// and, unless names are ignored, the same names relative to the folder.
struct FolderGroup {
    std::vector<std::string> folders;  // in the order of their first rows in the list
    std::uint32_t files = 0;           // in each
    std::int64_t bytes = 0;            // in each
    platform::FileTime newest = 0;     // the newest last-write time (local) of the first one's files
};

// A folder whose every file has a copy outside it.
struct ContainedFolder {
    std::string folder;
    std::uint32_t files = 0;
    std::int64_t bytes = 0;
    // The folders that hold copies of its files, with how many of its files each holds a copy
    // of: the largest share first.
    std::vector<std::pair<std::string, std::uint32_t>> holders;
    // Per file of it (its row), the row of a copy outside it.
    std::vector<std::pair<std::size_t, std::size_t>> copies;
};

struct FolderFindings {
    std::vector<FolderGroup> identical;     // the largest ones first
    std::vector<ContainedFolder> contained; // the largest ones first
};

// The folder groups of `model` (rows of one search: only rows that stand here count) given
// what the walk saw (`seen`: every folder entered or passed over). Only a folder the walk saw
// whole, and every file of which is listed in a group, qualifies; a folder is never grouped
// with one inside it. The largest folder that qualifies is listed, not each of its subfolders
// again. With `ignoreNames`, folders whose files have other names but the same bytes are one
// group too. A folder of an identical group is not listed as contained again.
FolderFindings FindFolderGroups(const ResultsModel& model, const std::vector<FolderSeen>& seen,
                                bool ignoreNames);
