// The list's filter: only the groups with a row whose path holds a text (letters compared
// without regard to case) or, when the text has "*" or "?", whose path a mask of the mask
// editor's syntax admits.
//
// The list's row numbers stay the model's: the shown groups are put first, in the order the
// list had without the filter, and the list is given only their rows; the hidden groups wait
// after them. Remember() takes that order (after every sort or new rows); Apply() puts the
// rows back in it and the shown groups first again, so it is called again after rows went or
// came back and the count stays right.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <unordered_map>

#include "engine/results/results_model.h"

class CFileRecord;
class MaskList;

class ShownGroups {
public:
    // The order of the groups as they stand is the order without the filter.
    void Remember(const ResultsModel& model);
    // The filter text; "" (or blanks only) shows every group.
    void SetText(const std::string& text);
    const std::string& Text() const { return m_text; }
    bool Active() const { return !m_text.empty(); }

    // Puts the groups of `model` back in the remembered order (groups it never saw go last,
    // as they stand), then the matching ones first; the counts follow.
    void Apply(ResultsModel& model) { Arrange(model, true); }
    // Only the remembered order, every group shown (the filter text stays for the next Apply).
    void Unfilter(ResultsModel& model) { Arrange(model, false); }
    // The groups and rows the list shows (every one while no filter is on), as of the last
    // Apply.
    std::size_t ShownGroupCount() const { return m_nShownGroups; }
    std::size_t ShownRowCount() const { return m_nShownRows; }

    // Whether group `g` of `model` holds a row the filter text matches.
    bool Matches(const ResultsModel& model, std::size_t g) const;

private:
    void Arrange(ResultsModel& model, bool filter);
    bool Matches(const ResultsModel& model, std::size_t g, MaskList& masks) const;

    std::string m_text;
    std::string m_lower;  // the text in ASCII lower case
    bool m_bMask = false;
    std::unordered_map<const CFileRecord*, std::size_t> m_place;  // each row's group's place
    std::size_t m_nShownGroups = 0;
    std::size_t m_nShownRows = 0;
};

// A model of the first `rows` rows of `model` (whole groups), their records copied with every
// mark: what the export and printing of a filtered list are given.
std::unique_ptr<ResultsModel> CopyOfFirstRows(const ResultsModel& model, std::size_t rows);
