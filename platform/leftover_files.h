// What an interrupted run of an action may leave behind, and the plain file calls that settle
// it: spare names in folders, empty trash records, and the journal file that tells them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "platform/file_identity.h"

namespace platform {

// The id of this process, and whether the process of `id` still runs (0: none does).
std::uint64_t CurrentProcessId();
bool ProcessRunning(std::uint64_t id);

// Renames `from` to `to` unless something stands at `to`: 0, EEXIST or the system's code.
int RenameNoReplace(const std::string& from, const std::string& to);
// Removes the entry `path` (never a folder): 0 or the system's code.
int RemoveEntry(const std::string& path);
// The device, inode and size of the entry `path` when it is a regular file (a link is not
// followed): false when there is none.
bool EntryIdentity(const std::string& path, FileIdentity* out);
// The spare names (IsSpareName) among the entries of `folder`, at most `limit`.
std::vector<std::string> SpareNamesIn(const std::string& folder, std::size_t limit = 10000);

// The trash folders removals from `folders` go to: the user's own trash and, for a folder on
// another file system, the one at its top folder; each once, only those that exist. Windows:
// none (the recycle bin keeps its own records).
std::vector<std::string> TrashFoldersOf(const std::vector<std::string>& folders);

// An empty record in a trash's info folder: a removal claimed the name and never wrote it.
struct UnfinishedTrashRecord {
    std::string info;        // the record
    std::string file;        // the entry of files/ it claimed
    bool fileThere = false;  // the file did reach the trash
    FileIdentity identity;   // that file's, when there
};
// The unfinished records of `trash` (one of TrashFoldersOf), at most `limit`; a record a
// removal still holds (locked) is not one.
std::vector<UnfinishedTrashRecord> UnfinishedTrashRecords(const std::string& trash,
                                                          std::size_t limit = 10000);
// Removes the record of `record` if it is still empty, unlocked and its file missing: true
// when it is gone.
bool RemoveUnfinishedTrashRecord(const UnfinishedTrashRecord& record);

// Appends `text` to the file `path` (made when missing, with its folders) in one write under
// the file's lock: true when all of it was written.
bool AppendToFile(const std::string& path, const std::string& text);
// Reads the file `path` (at most `limit` bytes; "" when missing) and, under the file's lock,
// replaces its contents by what `edit` makes of them (unchanged when `edit` gives them back).
// False when it could not be read or written.
bool EditFile(const std::string& path, std::size_t limit,
              const std::function<std::string(const std::string&)>& edit);

}  // namespace platform
