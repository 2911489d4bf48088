// The workbook export without a window: a workbook of real groups read back cell by cell with
// openpyxl (types, values, fills, formats, frozen heading, filters), and a failed write that
// leaves the old file and no temporary file behind.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/results/results_model.h"
#include "engine/results/results_text.h"
#include "engine/text/string_table.h"
#include "engine/text/text_helpers.h"
#include "results/workbook_writer.h"
#include "support/model_rows.h"
#include "support/scoped_env.h"
#include "support/sheet_reader.h"
#include "support/temp_dir.h"

namespace {

std::vector<std::string> NamesIn(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* d = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(d)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::unique_ptr<CFileRecord> Coded(const std::string& path, std::int64_t size, std::uint32_t crc,
                                   std::uint32_t checksum, platform::FileTime written) {
    auto record = Record(path, size);
    record->m_dwCrc = crc;
    record->m_dwChecksum = checksum;
    record->m_ftWritten = written;
    return record;
}

// 2022-06-18 04:26:40 as a local file time; 1899-12-31 is too early for a spreadsheet's date.
constexpr platform::FileTime kJune2022 = 133000000000000000LL;
constexpr platform::FileTime kBefore1900 = 94353984000000000LL;

// Three groups: codes that read as numbers, names with every character that XML or a reader
// could trip on, sizes past 32 bits, a date a spreadsheet cannot hold.
ResultsModel RealGroups() {
    ResultsModel model;
    std::vector<std::unique_ptr<CFileRecord>> files;
    files.push_back(Coded("/t/a <&> \"q\" 'p'", 5000000000LL, 0x53e98, 0x24209e13, kJune2022));
    files.push_back(Coded("/t/\xE4\xB8\xAD\xE6\x96\x87\nline", 5000000000LL, 0, 0, kJune2022));
    model.AppendGroup(std::move(files));
    files.clear();
    files.push_back(Coded("=1+1", 7, 0x123456, 0xdec1, kJune2022 + 59 * 10000000LL));
    files.push_back(Coded("1e5", 7, 0, 0, kBefore1900));
    files.push_back(Coded("/t/bad\xFF\xFE", 7, 0, 0, kJune2022));
    model.AppendGroup(std::move(files));
    files.clear();
    files.push_back(Coded("/t/c", 0, 0x3f0, 0x7, kJune2022));
    files.push_back(Coded("/t/d", 0, 0, 0, kJune2022));
    model.AppendGroup(std::move(files));
    return model;
}

}  // namespace

TEST(WorkbookWriter, EveryCellReadsBackWithItsTypeBandAndTheHeading) {
    ASSERT_TRUE(WorkbookWriter::Available());
    TempDir dir;
    const std::string temp = dir.MakeDir("tmp");
    ScopedEnvVar tempFolder("TMPDIR", temp.c_str());  // the writer's temporary files
    const ResultsModel model = RealGroups();
    const std::string out = dir / "list.xlsx";
    std::string reason = "unchanged";
    ASSERT_TRUE(WorkbookWriter(model).Write(out, &reason)) << reason;
    EXPECT_EQ(ReadWholeFile(out).substr(0, 2), "PK");  // a zip file, as every workbook
    EXPECT_TRUE(NamesIn(temp).empty());                 // the temporary file is gone

    const sheet_reader::Sheet sheet = sheet_reader::Read("xlsx", out, dir.Path());
    ASSERT_TRUE(sheet.read) << sheet.error;
    EXPECT_EQ(sheet.sheets, 1);
    EXPECT_EQ(sheet.title, "重复的文件");
    EXPECT_EQ(sheet.freeze, "A2");       // the heading row stays in view
    EXPECT_EQ(sheet.filter, "A1:E8");    // filters on the heading, over every row
    // Nothing outside the heading and the seven rows of five cells.
    EXPECT_EQ(sheet.cells.size(), 8u * 5u);
    for (const auto& entry : sheet.cells) {
        EXPECT_LT(entry.first.first, 8);
        EXPECT_LT(entry.first.second, 5);
    }

    for (int column = 0; column < kResultColumnCount; ++column) {
        const sheet_reader::Cell* cell = sheet.At(0, column);
        ASSERT_NE(cell, nullptr) << column;
        EXPECT_EQ(cell->type, "s");
        EXPECT_EQ(cell->value, LoadStringText(IDS_COLUMN_NAME + column));
        EXPECT_TRUE(cell->bold) << column;
        EXPECT_EQ(cell->fill, "none") << column;
    }

    // What each row must hold, written out: the dates as the calendar has them.
    const std::string mark = "\xEF\xBF\xBD";
    struct Expected {
        std::string path, date, size, crc, checksum;
    };
    const std::vector<Expected> rows = {
        {"/t/a <&> \"q\" 'p'", "2022-06-18 04:26:40", "5000000000", "53e98", "24209e13"},
        {"/t/中文\nline", "2022-06-18 04:26:40", "", "", ""},
        {"=1+1", "2022-06-18 04:27:39", "7", "123456", "dec1"},
        {"1e5", "", "", "", ""},
        {"/t/bad" + mark + mark, "2022-06-18 04:26:40", "", "", ""},
        {"/t/c", "2022-06-18 04:26:40", "0", "3f0", "7"},
        {"/t/d", "2022-06-18 04:26:40", "", "", ""},
    };
    ASSERT_EQ(rows.size(), model.RowCount());
    const std::string band = "FFDDEBF7";
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const int at = static_cast<int>(r) + 1;
        SCOPED_TRACE("row " + std::to_string(at));
        // Groups 0 and 2 on the band's fill, group 1 on none: every cell of the row alike.
        const std::string fill = model.GroupOf(r) % 2 == 0 ? band : "none";
        for (int column = 0; column < kResultColumnCount; ++column) {
            const sheet_reader::Cell* cell = sheet.At(at, column);
            ASSERT_NE(cell, nullptr) << column;
            EXPECT_EQ(cell->fill, fill) << column;
            EXPECT_FALSE(cell->bold) << column;
        }
        const Expected& want = rows[r];
        const sheet_reader::Cell& path = *sheet.At(at, kColumnPath);
        EXPECT_EQ(path.type, "s");
        EXPECT_EQ(path.value, want.path);  // a formula's name is text: no apostrophe needed
        const sheet_reader::Cell& date = *sheet.At(at, kColumnTime);
        if (want.date.empty()) {
            // Before 1900: the text the list shows.
            EXPECT_EQ(date.type, "s");
            EXPECT_EQ(date.value, model.CellText(r, kColumnTime));
            EXPECT_FALSE(date.value.empty());
        } else {
            EXPECT_EQ(date.type, "d");
            EXPECT_EQ(date.value, want.date);
            EXPECT_EQ(date.format, WorkbookWriter::kDateFormat);
        }
        const sheet_reader::Cell& size = *sheet.At(at, kColumnSize);
        if (want.size.empty()) {
            EXPECT_EQ(size.type, "e");
        } else {
            EXPECT_EQ(size.type, "n");
            EXPECT_EQ(size.value, want.size);
            EXPECT_EQ(size.format, WorkbookWriter::kSizeFormat);
        }
        const std::pair<int, std::string> codes[] = {{kColumnCrc, want.crc},
                                                     {kColumnChecksum, want.checksum}};
        for (const auto& code : codes) {
            const sheet_reader::Cell& cell = *sheet.At(at, code.first);
            EXPECT_EQ(cell.type, code.second.empty() ? "e" : "s") << code.first;
            EXPECT_EQ(cell.value, code.second) << code.first;
        }
    }

    // A spreadsheet program opens it too: Gnumeric finds the same texts, number and date (its
    // CSV writes numbers bare and dates in a form of its own).
    ASSERT_EQ(sheet_reader::Convert(out, dir / "shown.csv", dir.Path()), "");
    const sheet_reader::Sheet shown = sheet_reader::Read("csv", dir / "shown.csv", dir.Path());
    ASSERT_TRUE(shown.read) << shown.error;
    ASSERT_NE(shown.At(1, kColumnChecksum), nullptr);
    EXPECT_EQ(shown.At(1, kColumnPath)->value, rows[0].path);
    EXPECT_EQ(shown.At(1, kColumnTime)->value, "2022/06/18 04:26:40");
    EXPECT_EQ(shown.At(1, kColumnSize)->value, "5000000000");
    EXPECT_EQ(shown.At(1, kColumnChecksum)->value, "24209e13");
}

TEST(WorkbookWriter, AFailedWriteLeavesTheOldFileAndNoTemporaryFile) {
    TempDir dir;
    const std::string temp = dir.MakeDir("tmp");
    ScopedEnvVar tempFolder("TMPDIR", temp.c_str());  // the writer's temporary files
    const ResultsModel model = RealGroups();
    std::string reason;

    // A folder that is not there: refused with the system's reason, nothing made.
    EXPECT_FALSE(WorkbookWriter(model).Write(dir / "missing/list.xlsx", &reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(NamesIn(dir.Path()), (std::vector<std::string>{"tmp"}));

    // A folder in the way of the name: it stays a folder with what it holds.
    const std::string inTheWay = dir.MakeDir("list.xlsx");
    dir.WriteFile("list.xlsx/kept", "kept");
    reason.clear();
    EXPECT_FALSE(WorkbookWriter(model).Write(dir / "list.xlsx", &reason));
    EXPECT_FALSE(reason.empty());
    EXPECT_EQ(NamesIn(inTheWay), (std::vector<std::string>{"kept"}));
    EXPECT_EQ(NamesIn(dir.Path()), (std::vector<std::string>{"list.xlsx", "tmp"}));

    // An old file is replaced whole; no other name is left in its folder.
    const std::string old = dir.WriteFile("old.xlsx", std::string(100000, 'o'));
    ASSERT_TRUE(WorkbookWriter(model).Write(old, &reason)) << reason;
    const std::string written = ReadWholeFile(old);
    EXPECT_EQ(written.substr(0, 2), "PK");
    EXPECT_EQ(written.find("ooooo"), std::string::npos);
    EXPECT_EQ(NamesIn(dir.Path()), (std::vector<std::string>{"list.xlsx", "old.xlsx", "tmp"}));

    // No temporary folder to write in: refused before anything reaches the target.
    const std::string before = ReadWholeFile(old);
    {
        const std::string none = dir / "no-such-folder";
        ScopedEnvVar gone("TMPDIR", none.c_str());
        reason.clear();
        EXPECT_FALSE(WorkbookWriter(model).Write(old, &reason));
        EXPECT_FALSE(reason.empty());
    }
    EXPECT_EQ(ReadWholeFile(old), before);
    EXPECT_TRUE(NamesIn(temp).empty());
}

// The window runs in the user's locale: one that writes a decimal comma must not reach the
// numbers in the workbook (a date is a fraction of days), nor change the dates' texts.
TEST(WorkbookWriter, NumbersAreTheSameInALocaleWithADecimalComma) {
    ScopedLocale german("de_DE.UTF-8");
    if (!german.Ok()) GTEST_SKIP() << "no de_DE.UTF-8 locale";
    TempDir dir;
    const ResultsModel model = RealGroups();
    const std::string shown = model.CellText(3, kColumnTime);  // the date before 1900
    std::string reason;
    ASSERT_TRUE(WorkbookWriter(model).Write(dir / "list.xlsx", &reason)) << reason;
    char decimal[8];
    std::snprintf(decimal, sizeof decimal, "%.1f", 0.5);
    EXPECT_STREQ(decimal, "0,5");  // the locale is still the user's afterwards
    const sheet_reader::Sheet sheet = sheet_reader::Read("xlsx", dir / "list.xlsx", dir.Path());
    ASSERT_TRUE(sheet.read) << sheet.error;
    ASSERT_NE(sheet.At(3, kColumnTime), nullptr);
    EXPECT_EQ(sheet.At(3, kColumnTime)->type, "d");
    EXPECT_EQ(sheet.At(3, kColumnTime)->value, "2022-06-18 04:27:39");
    ASSERT_NE(sheet.At(1, kColumnSize), nullptr);
    EXPECT_EQ(sheet.At(1, kColumnSize)->value, "5000000000");
    ASSERT_NE(sheet.At(4, kColumnTime), nullptr);
    EXPECT_EQ(sheet.At(4, kColumnTime)->value, shown);
}
