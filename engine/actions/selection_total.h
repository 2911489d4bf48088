// What deleting the selected rows would free: the files that would go and their bytes, as the
// delete's plan counts them (a protected file stays; a group chosen whole keeps one copy; a
// name that is already a link to its kept copy frees nothing).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/results/results_model.h"

struct SelectionTotal {
    int selected = 0;        // rows chosen
    int goes = 0;            // files that would go
    std::int64_t bytes = 0;  // their bytes
};

// `rows`: any order; repeats and rows out of range ignored. One pass over the groups.
SelectionTotal TotalOfSelection(const ResultsModel& model, const std::vector<std::size_t>& rows);

// "已选择 N 个文件, 可释放 X" for the selection (N the rows chosen, X the program's size text).
std::string SelectionFreesText(const SelectionTotal& total);
