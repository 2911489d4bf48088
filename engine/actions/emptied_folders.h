// The folders an action leaves empty: removed once it is over (a folder of copies that went
// would otherwise stay behind as clutter, folder after folder), and made again when the action
// is taken back. Only a folder the action emptied goes: never one that was empty before, never
// a start path, nor a folder above or outside every start path.
#pragma once

#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/empty_folders.h"

// Removes the folder of each of `leftPaths` (files that left their names) when it holds nothing
// now, then its parent in turn, and so on up to below the start path that holds it. Each of
// `wholeFolders` (folders an action took whole) goes too, after every empty folder below it.
// A folder something was put into meanwhile stays: the system checks in the same step that it
// removes. The folders removed, deepest first.
// `before` (may be null): the folders as they were before the action, whose times are the
// ones to give back (the files leaving changed them).
using FolderStates = std::unordered_map<std::string, platform::RemovedFolder>;
std::vector<platform::RemovedFolder> RemoveEmptiedFolders(
    const std::vector<std::string>& leftPaths, const std::vector<std::string>& wholeFolders,
    const std::vector<std::string>& startPaths, const FolderStates* before = nullptr);
// The folders that hold `paths`, and theirs in turn up to below the start paths, as they are
// now: taken before an action so that their own times come back with its undo.
FolderStates FoldersBefore(const std::vector<std::string>& paths,
                           const std::vector<std::string>& startPaths);

// Makes the folders of `removed` (as RemoveEmptiedFolders gave them) again, parents first,
// before the files that go back into them. The folders that could not be made, with why.
std::vector<std::pair<std::string, std::string>> MakeFoldersAgain(
    const std::vector<platform::RemovedFolder>& removed);
// Gives them their times back once their files are back.
void GiveFoldersTheirTimes(const std::vector<platform::RemovedFolder>& removed);

// Removed folders as undo lines ("D <path> <mode> <attributes> <access> <write>"), and back:
// false for a line that is not one or is damaged.
std::string RemovedFolderLine(const platform::RemovedFolder& folder);
bool RemovedFolderFromLine(const std::string& line, platform::RemovedFolder* folder);
