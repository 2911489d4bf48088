// Settling what an interrupted (killed) action left behind, before the next action runs and
// when the window starts. Never deletes a file that might be the only copy:
// - a spare name whose original name is free is renamed back;
// - a spare that is the same file (device and inode) as its name, or (a hard link killed
//   before its exchange) as the copy that stays, is removed;
// - an unfinished copy of a move to another file system is removed while the file it copies
//   is still where it was;
// - a file that reached the trash without its record goes back under its name; a record whose
//   file never reached the trash is removed;
// - anything else is left and named.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/actions/action_journal.h"

struct LeftoverReport {
    std::vector<std::string> settled;  // what was put right, one text each
    std::vector<std::string> left;     // what was left as it is, and why
    bool Empty() const { return settled.empty() && left.empty(); }
};

// Settles the acts `journal` holds as begun and never ended by processes that no longer run,
// and the unfinished records of the trashes they (and the user's own removals) use; then the
// journal keeps only what is still open.
LeftoverReport SettleLeftovers(ActionJournal& journal);
// The same with the default journal.
LeftoverReport SettleLeftovers();

// Settles the spare names found in `folder` by the same rules (without a journal: by their
// names alone).
LeftoverReport FindLeftovers(const std::string& folder);

// The report as one message: IDS_LEFTOVER_HEADING, then a line each (what was left first), at
// most `maxLines`, then how many more. "" when there is nothing to tell.
std::string LeftoverMessage(const LeftoverReport& report, std::size_t maxLines = 20);
