// The list's sort: the groups ordered by a column, each group whole and its rows in the order
// the keep rules gave them (so a group's first row is still the copy that stays). The sort is
// stable: groups that tie keep the order they had.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/results/results_model.h"

enum class SortKey : int {
    kNone = 0,  // as the keep rules ordered them
    kPath,      // the path of the group's first row
    kDate,      // the newest file of the group
    kSize,      // the size of one file
    kCount,     // how many files the group holds
    kFreed,     // the bytes deleting its duplicates would free
};

struct GroupSort {
    SortKey key = SortKey::kNone;
    bool descending = false;
    bool operator==(const GroupSort& other) const {
        return key == other.key && descending == other.descending;
    }
    bool operator!=(const GroupSort& other) const { return !(*this == other); }
};

// What a click on `key` (a column heading or the menu) makes of `current`: the same key again
// turns the direction over; another key starts in its natural direction (paths A to Z, the
// others largest or newest first).
GroupSort NextSort(const GroupSort& current, SortKey key);

// The bytes that deleting every duplicate of group `g` here would free (the rows here but the
// one that stays).
std::int64_t FreedBytes(const ResultsModel& model, std::size_t g);

// The groups of `model` in sorted order (indexes into Groups()); with kNone, as they stand.
std::vector<std::size_t> SortedGroups(const ResultsModel& model, const GroupSort& sort);

// Puts the groups of `model` in the order `order` (every group index once), each whole with
// its rows and the reasons of its first row as they are. False, changing nothing, otherwise.
bool ArrangeGroups(ResultsModel& model, const std::vector<std::size_t>& order);

// Sorts the groups of `model` (nothing for kNone).
void SortGroups(ResultsModel& model, const GroupSort& sort);

// The sort as the settings keep it ("date desc"), and back ("" or an unknown text: kNone).
std::string SortSettingText(const GroupSort& sort);
GroupSort ParseSortSetting(const std::string& text);
