// The rows of the window's folder view, made from what FindFolderGroups found: per group of
// identical folders one row per folder (its first is the one kept), then per folder whose every
// file is elsewhere one row, with one row below it per folder holding copies of its files.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/results/folder_groups.h"

struct FolderRow {
    enum Kind { kSame, kContained, kHolder };
    Kind kind = kSame;
    std::string path;
    std::uint32_t files = 0;  // kHolder: how many of the contained folder's files it holds
    std::int64_t bytes = 0;
    platform::FileTime newest = 0;  // kSame only (0: not known)
    bool first = false;             // kSame: the first of its group, the one kept
};

enum FolderColumn { kFolderColumnPath, kFolderColumnFiles, kFolderColumnSize,
                    kFolderColumnNewest, kFolderColumnWhat, kFolderColumnCount };

std::vector<FolderRow> MakeFolderRows(const FolderFindings& findings);

// The cell of `column` as the view shows it.
std::string FolderCellText(const FolderRow& row, int column);

// The rows an action on folders may take: every folder of a group but its first, and every
// folder whose files are all elsewhere, unless it holds a folder of a group or lies in one
// (that group already says which copy stays: taking the folder too would take that copy).
std::vector<std::size_t> DuplicateFolderRows(const std::vector<FolderRow>& rows);

// The folders of the chosen `rows` that an action takes, in the order it is to take them: the
// rows of holders name no folder to take. Chosen in list order, the folders are given last
// first, so that of a group chosen whole its first folder is the one that stays.
std::vector<std::string> FoldersToTake(const std::vector<FolderRow>& rows,
                                       const std::vector<std::size_t>& chosen);
