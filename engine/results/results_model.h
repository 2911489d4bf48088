// The rows of the last search: one per listed file, the groups one after another, and the
// totals of the duplicates (every file of a group but its first). The results list shows it and
// asks it for every operation on many rows (select all duplicates, remove, find, row text), so
// that the list widget holds no copy and each operation is one pass over the rows. The model
// owns the records of its rows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/search/file_record.h"
#include "platform/file_identity.h"

// Group pictures of the rows: where a row stands in its group, for display only (the model's
// group index says which rows form a group).
enum RowImage { kImageGroupFirst = 0, kImageGroupMiddle = 1, kImageGroupLast = 2 };

enum ResultColumn { kColumnPath = 0, kColumnTime, kColumnSize, kColumnCrc, kColumnChecksum,
                    kResultColumnCount };
// The list's sixth column: why a group's first file stays (on first rows only). Shown in the
// list only; copies, the CSV export and printing keep the five columns above.
constexpr int kColumnKeepReason = kResultColumnCount;

// Why a group's first file is the copy that stays: the keep rule that put it ahead of the
// next file, or none (kKeptAsFound: the order the search found them in).
enum KeepReason : unsigned char {
    kKeptAsFound = 0,
    kKeptProtected,     // it lies in a protected folder
    kKeptFolder,        // folder priority
    kKeptOldest,
    kKeptNewest,
    kKeptShortestPath,
    kKeptLongestPath,
    kKeptMask,          // its path matches the keep mask
    kKeptNoCopyMark,    // its name has no copy mark
    kKeptTied,          // the keep rules could not tell the files apart: first as found
};

// What was done to a listed duplicate that stays listed: its name now holds a second name of
// the group's kept copy, or its data shares the kept copy's blocks.
enum RowReplaced : unsigned char { kNotReplaced = 0, kReplacedByLink, kReplacedShared };

// Whether a row's file is here as it was listed. Rows of a reopened result are checked against
// the disk when it is opened; a comparison with a catalog lists the catalog's entries, whose
// files are on a drive that is not here. Only a row that stands here is ever selected as a
// duplicate, acted on, or compared with.
enum RowStanding : unsigned char {
    kStandsHere = 0,
    kStandsChanged,    // its size or times are no longer those saved
    kStandsMissing,    // nothing is there under its name
    kStandsReplaced,   // another file is there under its name
    kStandsInCatalog,  // an entry of a catalog
};

struct ResultRow {
    std::unique_ptr<CFileRecord> record;
    int image = kImageGroupFirst;
    bool showsDetails = false;  // size, CRC and checksum cells: only the row that began a group
    // The file lies in a protected folder: never selected as a duplicate, never deleted.
    bool isProtected = false;
    KeepReason keptBy = kKeptAsFound;  // meaningful on a group's first row
    // Shown in the keep reason column; such a row is done with, so "select all duplicates"
    // passes it over.
    RowReplaced replaced = kNotReplaced;
    RowStanding standing = kStandsHere;
    bool StandsHere() const { return standing == kStandsHere; }
};

// One group's rows: [begin, end).
struct RowGroup {
    std::size_t begin = 0, end = 0;
    std::size_t Count() const { return end - begin; }
};

struct FoundText;  // results_text.h

class ResultsModel {
public:
    std::size_t RowCount() const { return m_rows.size(); }
    const ResultRow& Row(std::size_t row) const { return m_rows[row]; }
    // The display texts (cells, rows, the CSV export, the find) are results_text.h's; these
    // forward there.
    std::string CellText(std::size_t row, int column) const;
    std::string RowText(std::size_t row, const std::string& separator, bool quote) const;
    std::string RowsText(const std::vector<std::size_t>& rows, const std::string& separator,
                         bool quote) const;
    std::string AllRowsText(const std::string& separator, bool quote) const;
    std::string SpreadsheetCsvText() const;
    FoundText FindRow(const std::string& what, long focusedRow, bool down, bool matchCase,
                      bool wholeWord) const;

    // The groups: the rows of group g are Group(g), every row belongs to exactly one group,
    // and the groups follow one another in row order. Every operation that changes rows keeps
    // these exact, so nobody reads groups off the rows' pictures.
    std::size_t GroupCount() const { return m_groups.size(); }
    const RowGroup& Group(std::size_t g) const { return m_groups[g]; }
    std::size_t GroupOf(std::size_t row) const { return m_groupOf[row]; }
    const RowGroup& GroupOfRow(std::size_t row) const { return m_groups[m_groupOf[row]]; }
    // The row is its group's first: the kept copy.
    bool IsGroupFirst(std::size_t row) const { return GroupOfRow(row).begin == row; }
    bool IsGroupLast(std::size_t row) const { return GroupOfRow(row).end == row + 1; }
    // The groups, in row order.
    const std::vector<RowGroup>& Groups() const { return m_groups; }

    // Appends one group: `files` (two or more) in order, the first heading it with its size,
    // CRC and checksum shown. The totals grow by the files after the first.
    void AppendGroup(std::vector<std::unique_ptr<CFileRecord>> files);

    // The rows "select all duplicates" selects: in each group every row but the first that
    // stands here, whose file stands here, does not lie in a protected folder and has not been
    // replaced. A group whose catalog entries stand for its copies has every row here selected.
    std::vector<std::size_t> DuplicateRows() const;

    // Marks the file of `row` as lying in a protected folder (or not).
    void SetProtected(std::size_t row, bool isProtected) { m_rows[row].isProtected = isProtected; }
    // Where each row of group `g` stands (`standing` holds one per row, in order); the totals
    // follow.
    void SetGroupStanding(std::size_t g, const std::vector<RowStanding>& standing);
    void SetKeptBy(std::size_t row, KeepReason reason) { m_rows[row].keptBy = reason; }
    // Marks the file of `row` as replaced by a link or shared data (or no longer).
    void SetReplaced(std::size_t row, RowReplaced replaced) { m_rows[row].replaced = replaced; }
    // The row's file is now `identity` (one of its own, put there by an undo): same bytes,
    // another file number.
    void SetRowIdentity(std::size_t row, const platform::FileIdentity& identity);
    // Puts the rows in a new order: `groups` lists every group, in its new place, as its rows
    // (old row numbers) in their new order, and `keptBy` why each one's first row stays. The
    // first row of each group then shows its details. Returns false, changing nothing, when
    // `groups` does not hold every row once with each group kept whole.
    bool Rearrange(const std::vector<std::vector<std::size_t>>& groups,
                   const std::vector<KeepReason>& keptBy);

    // Puts files back into groups: each file of `additions` goes after the last row of the
    // group that holds the row it names (an addition naming a row out of range is dropped).
    // The totals follow; the group pictures are mended. One pass over the rows.
    void AddToGroups(std::vector<std::pair<std::size_t, std::unique_ptr<CFileRecord>>> additions);

    // Removes `rows` (any order, repeats ignored, out-of-range ignored) with their records, and
    // mends the groups they leave: a group left with one file loses that row too (it has no
    // duplicate any more); when a group's first row goes, the next remaining row becomes its
    // first (and shows the group's size, CRC and checksum); the last remaining row of a group
    // gets the last-row picture. The totals follow. One pass over the rows.
    void RemoveRows(const std::vector<std::size_t>& rows);

    // When the search that found these rows began, as a local file time (what the list's date
    // cells show); 0 when the rows come from no search. Printing puts it at the foot of pages.
    platform::FileTime SearchTime() const { return m_searchTime; }
    void SetSearchTime(platform::FileTime localTime) { m_searchTime = localTime; }

    // The name of the catalog whose entries some rows are (kStandsInCatalog); "" for none.
    const std::string& CatalogName() const { return m_catalogName; }
    void SetCatalogName(std::string name) { m_catalogName = std::move(name); }

    // The duplicates: in each group every file here but the one that stays (none stays here
    // when a catalog's entries stand for it), and the bytes they take.
    int DuplicateCount() const { return m_nDuplicateCount; }
    std::int64_t DuplicateBytes() const { return m_nDuplicateBytes; }

    // Removes every row (and its record) and zeroes the totals.
    void Clear();

private:
    // Takes `rows` with `groups` as its groups (in order, covering every row): fills the group
    // index and gives each row the picture of its place in its group.
    void Adopt(std::vector<ResultRow> rows, std::vector<RowGroup> groups);
    // How many of the rows [begin, end) of `rows` are duplicates (see DuplicateCount).
    static std::size_t Duplicates(const std::vector<ResultRow>& rows, std::size_t begin,
                                  std::size_t end, const std::vector<char>* removed = nullptr);
    void Count(std::int64_t size, std::size_t before, std::size_t after) {
        m_nDuplicateCount += static_cast<int>(after) - static_cast<int>(before);
        m_nDuplicateBytes += size * (static_cast<std::int64_t>(after) - static_cast<std::int64_t>(before));
    }

    std::vector<ResultRow> m_rows;
    std::vector<RowGroup> m_groups;
    std::vector<std::size_t> m_groupOf;  // per row: its group's index in m_groups
    int m_nDuplicateCount = 0;
    std::int64_t m_nDuplicateBytes = 0;
    platform::FileTime m_searchTime = 0;
    std::string m_catalogName;
};

