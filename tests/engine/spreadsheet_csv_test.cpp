// The window's CSV as spreadsheets read it: hexadecimal codes and names that look like numbers
// stay text, sizes stay numbers. Read back with Python's csv module (the cells as written) and
// through Gnumeric's ssconvert (the cells as a spreadsheet takes them).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/results/results_model.h"
#include "engine/results/results_text.h"
#include "engine/text/text_helpers.h"
#include "support/model_rows.h"
#include "support/sheet_reader.h"
#include "support/temp_dir.h"

namespace {

std::unique_ptr<CFileRecord> Coded(const std::string& path, std::int64_t size, std::uint32_t crc,
                                   std::uint32_t checksum) {
    auto record = Record(path, size);
    record->m_dwCrc = crc;
    record->m_dwChecksum = checksum;
    return record;
}

// Codes that spreadsheets turn into numbers or dates, on the first row of each group; names
// that read as numbers, a formula, a quote and a comma among the paths.
ResultsModel CodedGroups() {
    ResultsModel model;
    std::vector<std::unique_ptr<CFileRecord>> files;
    files.push_back(Coded("/t/a", 1234567890123, 0x53e98, 0x24209e13));  // 5.3E+99, 2.4E+17
    files.push_back(Coded("1e5", 1234567890123, 0, 0));
    model.AppendGroup(std::move(files));
    files.clear();
    files.push_back(Coded("/t/\xE4\xB8\xAD \"q\", x", 7, 0x123456, 0xdec1));  // digits; a date?
    files.push_back(Coded("007", 7, 0, 0));
    files.push_back(Coded("=1+1", 7, 0, 0));
    model.AppendGroup(std::move(files));
    files.clear();
    files.push_back(Coded("/t/c", 0, 0x3f0, 0x7));
    files.push_back(Coded("/t/d", 0, 0, 0));
    model.AppendGroup(std::move(files));
    return model;
}

}  // namespace

TEST(SpreadsheetCsv, WhatReadsAsANumber) {
    for (const char* number : {"53e98", "24209e13", "00123", "7", "-3", "+4", "1,234.5", ".5",
                               "12%", " 8 ", "1E-3", "2e+5"})
        EXPECT_TRUE(ReadsAsNumber(number)) << number;
    for (const char* text : {"", "3f0", "dec1", "12e", "e5", "1e", "1e+", "/t/1", "1.2.3", ".",
                             "-", "1 2", "12ab", "0x12", ",", "5%%"})
        EXPECT_FALSE(ReadsAsNumber(text)) << text;
}

TEST(SpreadsheetCsv, CodesAndNumberLikeNamesStayTextSizesStayNumbers) {
    const ResultsModel model = CodedGroups();
    const std::string csv = model.SpreadsheetCsvText();
    // Eight text formulas (the six codes, "1e5" and "007") and the apostrophe are all that set
    // the rows apart from the plain export.
    std::string plain = csv.substr(csv.find("\r\n") + 2);
    int formulas = 0;
    for (std::string::size_type at; (at = plain.find("\"=\"\"")) != std::string::npos; ++formulas) {
        const std::string::size_type end = plain.find("\"\"\"", at + 4);
        ASSERT_NE(end, std::string::npos) << plain;
        plain.replace(end, 3, "\"");
        plain.replace(at, 4, "\"");
    }
    plain.erase(plain.find("\"'=1+1") + 1, 1);
    EXPECT_EQ(formulas, 8);
    EXPECT_EQ(plain, model.AllRowsText(",", true));

#ifndef _WIN32
    TempDir dir;
    const std::string file = dir.WriteFile("list.csv", csv);

    // As written: Python's csv module finds every code and a name reading as a number as a
    // text formula, the sizes plain, a formula's name defused with its apostrophe.
    const sheet_reader::Sheet written = sheet_reader::Read("csv", file, dir.Path());
    ASSERT_TRUE(written.read) << written.error;
    ASSERT_EQ(written.cells.size(), 8u * 5u);
    auto writtenAt = [&](int row, int column) {
        const sheet_reader::Cell* cell = written.At(row, column);
        return cell != nullptr ? cell->value : std::string("<none>");
    };
    EXPECT_EQ(writtenAt(0, 0), "文件名");
    EXPECT_EQ(writtenAt(1, 1), DateText());
    EXPECT_EQ(writtenAt(1, 2), "1234567890123");
    EXPECT_EQ(writtenAt(1, 3), "=\"53e98\"");
    EXPECT_EQ(writtenAt(1, 4), "=\"24209e13\"");
    EXPECT_EQ(writtenAt(2, 0), "=\"1e5\"");
    EXPECT_EQ(writtenAt(3, 0), "/t/中 \"q\", x");
    EXPECT_EQ(writtenAt(3, 3), "=\"123456\"");
    EXPECT_EQ(writtenAt(3, 4), "=\"dec1\"");
    EXPECT_EQ(writtenAt(5, 0), "'=1+1");
    EXPECT_EQ(writtenAt(6, 2), "0");
    EXPECT_EQ(writtenAt(6, 3), "=\"3f0\"");

    // As a spreadsheet takes them: every path, CRC and checksum cell is the text the list
    // shows, every size a number of the file's size.
    const std::string xlsx = dir / "list.xlsx";
    ASSERT_EQ(sheet_reader::Convert(file, xlsx, dir.Path()), "");
    const sheet_reader::Sheet taken = sheet_reader::Read("xlsx", xlsx, dir.Path());
    ASSERT_TRUE(taken.read) << taken.error;
    for (std::size_t row = 0; row < model.RowCount(); ++row) {
        const int at = static_cast<int>(row) + 1;
        for (int column : {kColumnPath, kColumnCrc, kColumnChecksum}) {
            SCOPED_TRACE("row " + std::to_string(row) + " column " + std::to_string(column));
            const std::string shown = model.CellText(row, column);
            const sheet_reader::Cell* cell = taken.At(at, column);
            if (shown.empty()) {
                EXPECT_TRUE(cell == nullptr || cell->type == "e") << cell->value;
                continue;
            }
            ASSERT_NE(cell, nullptr);
            EXPECT_EQ(cell->type, "s");
            // A formula's name too: the apostrophe only marks it as text.
            EXPECT_EQ(cell->value, shown);
        }
        const sheet_reader::Cell* size = taken.At(at, kColumnSize);
        if (!model.Row(row).showsDetails) {
            EXPECT_TRUE(size == nullptr || size->type == "e") << "row " << row;
            continue;
        }
        ASSERT_NE(size, nullptr) << "row " << row;
        EXPECT_EQ(size->type, "n") << "row " << row;
        EXPECT_EQ(size->value, std::to_string(model.Row(row).record->m_nSize)) << "row " << row;
    }

    // The reading tells: the same cells written bare come back as numbers.
    const std::string bare = dir.WriteFile("bare.csv", "\"53e98\",\"00123\",\"dec1\"\r\n");
    ASSERT_EQ(sheet_reader::Convert(bare, dir / "bare.xlsx", dir.Path()), "");
    const sheet_reader::Sheet misread = sheet_reader::Read("xlsx", dir / "bare.xlsx", dir.Path());
    ASSERT_TRUE(misread.read) << misread.error;
    ASSERT_NE(misread.At(0, 0), nullptr);
    ASSERT_NE(misread.At(0, 1), nullptr);
    EXPECT_EQ(misread.At(0, 0)->type, "n");
    EXPECT_EQ(misread.At(0, 0)->value, "5.3e+99");
    EXPECT_EQ(misread.At(0, 1)->type, "n");
    EXPECT_EQ(misread.At(0, 1)->value, "123");
#endif
}
