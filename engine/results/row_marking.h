// Marking rows by a criterion: the rules behind the list's 标记 commands. Each command takes
// the selection as it stands and gives the new one; the view only sets it.
//
// Two things hold for every command. A row that does not stand here (a reopened result's
// changed or missing file, a catalog's entry) or lies in a protected folder is never selected
// by one (a row the user selected by hand keeps its state, except where a command unselects).
// And no command leaves every copy of a group selected: where it would, the group's kept row
// (the one the criterion keeps, else its first row here) stays unselected, and the group is
// counted as held back.
//
// Only the first `shownRows` rows are looked at: the rest are hidden by the list's filter.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "engine/results/results_model.h"

class RowMarking {
public:
    struct Result {
        std::vector<std::size_t> rows;  // the new selection, ascending
        std::size_t heldBack = 0;       // groups whose kept row was left unselected
    };

    RowMarking(const ResultsModel& model, std::size_t shownRows);

    // A marking command may select `row`: it stands here and is not protected.
    bool Selectable(std::size_t row) const;

    // Every selectable row that is not selected becomes selected, every selected row not.
    Result Invert(const std::vector<std::size_t>& selected) const;
    // The selectable rows in `folder` (a folder ending in its separator) or below it are added
    // to the selection, or (select false) every row there is taken out of it.
    Result MarkFolder(const std::vector<std::size_t>& selected, const std::string& folder,
                      bool select) const;
    // The selectable rows whose path the mask (the mask editor's syntax: ";" between pieces,
    // "~" excludes) admits are added to the selection.
    Result MarkMask(const std::vector<std::size_t>& selected, const std::string& mask) const;
    // In each group every selectable row but the newest (oldest) file here: the selection
    // becomes exactly these. Ties keep the earlier row.
    Result AllButNewest() const { return AllBut(kNewest, std::string()); }
    Result AllButOldest() const { return AllBut(kOldest, std::string()); }
    // In each group that has a row here in `folder` (or below): every selectable row but the
    // first such one. Groups with no copy there are left unselected.
    Result AllButInFolder(const std::string& folder) const { return AllBut(kInFolder, folder); }
    // The selection without the rows in protected folders.
    Result UnmarkProtected(const std::vector<std::size_t>& selected) const;

    // Whether `path` lies in `folder` (with or without its final separator) or below it.
    static bool InFolder(const std::string& path, const std::string& folder);

private:
    enum Keep { kNewest, kOldest, kInFolder };
    Result AllBut(Keep keep, const std::string& folder) const;
    // Turns a per-row mark into a result, holding back each group left with every copy
    // selected; `kept[g]` is the row a group keeps (or none, SIZE_MAX: its first row here).
    Result Finish(std::vector<char>& marked, const std::vector<std::size_t>* kept) const;
    std::vector<char> Marks(const std::vector<std::size_t>& selected) const;

    const ResultsModel& m_model;
    std::size_t m_nRows;
    std::size_t m_nGroups;  // the groups that lie within the shown rows
};
