// The rows of the last search: one per listed file, the groups one after another, and the
// totals of the duplicates (every file of a group but its first). The results list shows it;
// the model owns the records of its rows.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/file_record.h"

// Group pictures of the rows.
enum RowImage { kImageGroupFirst = 0, kImageGroupMiddle = 1, kImageGroupLast = 2 };

enum ResultColumn { kColumnPath = 0, kColumnTime, kColumnSize, kColumnCrc, kColumnChecksum,
                    kResultColumnCount };

struct ResultRow {
    std::unique_ptr<CFileRecord> record;
    int image = kImageGroupFirst;
    bool showsDetails = false;  // size, CRC and checksum cells: only the row that began a group
};

class ResultsModel {
public:
    std::size_t RowCount() const { return m_rows.size(); }
    const ResultRow& Row(std::size_t row) const { return m_rows[row]; }
    // Text of one cell as the list shows it; "" for cells a row does not fill.
    std::string CellText(std::size_t row, int column) const;

    // One row as text: the five cells joined by `separator`, each in double quotes when `quote`
    // is set, then CR LF. Quotes inside a quoted cell are doubled, so that a file name holding
    // a quote cannot break the CSV file into wrong cells.
    std::string RowText(std::size_t row, const std::string& separator, bool quote) const;

    void AppendRow(std::unique_ptr<CFileRecord> record, int image, bool showsDetails);
    void SetImage(std::size_t row, int image) { m_rows[row].image = image; }
    // Removes every row (and its record) and zeroes the totals.
    void Clear();

    int m_nDuplicateCount = 0;
    std::int64_t m_nDuplicateBytes = 0;

private:
    std::vector<ResultRow> m_rows;
};
