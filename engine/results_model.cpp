#include "engine/results_model.h"

#include <cinttypes>
#include <cstdio>

#include "engine/text_helpers.h"

std::string ResultsModel::CellText(std::size_t row, int column) const {
    const ResultRow& r = m_rows[row];
    const CFileRecord& rec = *r.record;
    char buf[32];
    switch (column) {
        case kColumnPath: return rec.m_strPath;
        case kColumnTime: {
            std::string text;
            FileTimeToText(&rec.m_ftWritten, text);
            return text;
        }
        case kColumnSize:
            if (!r.showsDetails) return std::string();
            std::snprintf(buf, sizeof buf, "%" PRId64, rec.m_nSize);
            return buf;
        case kColumnCrc:
        case kColumnChecksum:
            if (!r.showsDetails) return std::string();
            std::snprintf(buf, sizeof buf, "%" PRIx32,
                          column == kColumnCrc ? rec.m_dwCrc : rec.m_dwChecksum);
            return buf;
        default: return std::string();
    }
}

std::string ResultsModel::RowText(std::size_t row, const std::string& separator,
                                  bool quote) const {
    std::string text;
    for (int column = 0; column < kResultColumnCount; ++column) {
        if (column > 0) text += separator;
        const std::string cell = CellText(row, column);
        if (!quote) {
            text += cell;
            continue;
        }
        text += '"';
        for (char c : cell) {
            if (c == '"') text += '"';
            text += c;
        }
        text += '"';
    }
    text += "\r\n";
    return text;
}

void ResultsModel::AppendRow(std::unique_ptr<CFileRecord> record, int image, bool showsDetails) {
    ResultRow row;
    row.record = std::move(record);
    row.image = image;
    row.showsDetails = showsDetails;
    m_rows.push_back(std::move(row));
}

void ResultsModel::Clear() {
    m_rows.clear();
    m_nDuplicateCount = 0;
    m_nDuplicateBytes = 0;
}
