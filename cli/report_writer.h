// What pairscout-cli writes: the groups as lines, NUL-separated or CSV, as JSON, the rows of
// --dry-run and the lines of what an action did.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "engine/actions/action_plan.h"
#include "engine/actions/apply_plan.h"
#include "engine/results/folder_groups.h"
#include "engine/results/results_model.h"

// The rows of `results` as the program writes them: the paths of each group one per line with
// an empty line after each group; with `nul` each path followed by NUL and one more NUL after
// each group; with `csv` every row as the CSV export writes it. With `escape` (the output is a
// terminal) the names go through EscapeControls; the separators stay as they are.
std::string FormatResults(const ResultsModel& results, bool csv, bool nul = false,
                          bool escape = false);

// The rows as --dry-run writes them: per file "keep", "protect" (in a protected folder) or
// "delete", a tab, the rule that kept a group's first file (else "-"), a tab and the path; an
// empty line after each group. `nul` and `escape` as FormatResults; with `nul` a NUL also
// ends every field in place of the tab. `files` and `bytes` get what would go.
// With `action` set (not null), the files that would go are named by the action's word (trash,
// delete, link, clone, move) and a move adds a tab and the place the file would go to.
std::string FormatDryRun(const ResultsModel& results, bool nul, bool escape, int* files,
                         std::int64_t* bytes, const CliOptions* action = nullptr);


// The plan of folders taken whole as --folders --dry-run writes it, one line per folder: the
// action's word (a removal's "delete" when none is asked for), a tab, its file count, a tab,
// its bytes, a tab and the folder; a folder that stays starts with "stay" and ends with a tab
// and why. `nul` and `escape` as FormatResults.
std::string FormatFolderPlan(const ActionPlan& plan, bool nul, bool escape);

// What an action did, one line per file: the action's word, a tab and the path, then for a
// hard link or shared data a tab and the copy, for a move a tab and the new place. `nul` and
// `escape` as FormatResults; with `nul` a NUL also ends every field in place of the tab.
std::string FormatActionSteps(const std::vector<ActionStep>& steps, bool nul, bool escape);

// The folder groups as --folders writes them: per group of identical folders one line per
// folder, "same", a tab, its file count, a tab, its bytes, a tab and the folder; per folder
// whose every file is elsewhere a line "contained", the count, the bytes and the folder, then
// a line per folder holding copies, "copies", a tab, how many of its files it holds and the
// folder; an empty line after each. `nul` and `escape` as FormatResults. With `json` one JSON
// document: {"identical": [{"files", "bytes", "folders": [...]}], "contained": [{"folder",
// "files", "bytes", "holders": [{"folder", "files"}]}]}.
std::string FormatFolders(const FolderFindings& findings, bool nul, bool escape, bool json);
