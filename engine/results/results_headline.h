// The headline over the listed results, as the status bar shows it: the duplicates that can go
// (those "select all duplicates" takes: never a kept copy, a file in a protected folder, one
// already replaced or one no longer here) with their bytes, and how many listed files lie in
// protected folders, so a reference folder's copies are not counted as space to be won.
#pragma once

#include <cstdint>
#include <string>

class ResultsModel;

struct ResultsHeadline {
    int goes = 0;              // duplicates that can go
    std::int64_t bytes = 0;    // their bytes
    int protectedFiles = 0;    // listed files here that lie in a protected folder
};

ResultsHeadline CountHeadline(const ResultsModel& model);

// "发现 N 个重复文件 (X)" and, when some are protected, ", 其中 Y 个在受保护的文件夹中"; "" for
// a model without rows.
std::string HeadlineText(const ResultsModel& model);
