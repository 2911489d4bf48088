// The results model's operations on many rows must give what the row-by-row loops of the list
// give: removing rows mends the groups, and the totals always match the rows.
#include <gtest/gtest.h>

#include <random>

#include "engine/results/keep_rules.h"
#include "engine/results/results_headline.h"
#include "engine/results/results_model.h"
#include "engine/results/results_text.h"
#include "engine/text/text_helpers.h"

namespace {

std::unique_ptr<CFileRecord> Record(const std::string& path, std::int64_t size) {
    auto record = std::make_unique<CFileRecord>(platform::FindData(), path);
    record->m_nSize = size;
    record->m_dwCrc = 0xabc;
    record->m_dwChecksum = 0x12;
    return record;
}

// Groups named by letter: {"a", 3} gives rows a0 a1 a2 of size 10 * (group number + 1).
ResultsModel Groups(const std::vector<std::pair<std::string, int>>& groups) {
    ResultsModel model;
    std::int64_t size = 10;
    for (const auto& group : groups) {
        std::vector<std::unique_ptr<CFileRecord>> files;
        for (int k = 0; k < group.second; ++k)
            files.push_back(Record(group.first + std::to_string(k), size));
        model.AppendGroup(std::move(files));
        size += 10;
    }
    return model;
}

// Rows as "path:image" with "+" where the size cells show, e.g. "a0:0+ a1:2".
std::string Layout(const ResultsModel& model) {
    std::string s;
    for (std::size_t r = 0; r < model.RowCount(); ++r) {
        if (!s.empty()) s += ' ';
        s += model.Row(r).record->Path() + ":" + std::to_string(model.Row(r).image);
        if (model.Row(r).showsDetails) s += '+';
    }
    return s;
}

// The totals as the rows imply them: every row of a group but the first.
void ExpectTotalsMatchRows(const ResultsModel& model) {
    int count = 0;
    std::int64_t bytes = 0;
    for (std::size_t r = 0; r < model.RowCount(); ++r) {
        if (model.Row(r).image == kImageGroupFirst) continue;
        ++count;
        bytes += model.Row(r).record->m_nSize;
    }
    EXPECT_EQ(model.DuplicateCount(), count);
    EXPECT_EQ(model.DuplicateBytes(), bytes);
}

// The list's delete loop, row by row on a plain vector of (path, image): returns the layout.
std::string RowByRowRemoval(std::vector<std::pair<std::string, int>> rows,
                            std::vector<bool> selected) {
    std::size_t r = 0;
    auto nextSelected = [&](std::size_t from) {
        while (from < rows.size() && !selected[from]) ++from;
        return from;
    };
    auto erase = [&](std::size_t at) {
        rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(at));
        selected.erase(selected.begin() + static_cast<std::ptrdiff_t>(at));
    };
    for (r = nextSelected(0); r < rows.size(); r = nextSelected(r)) {
        if (rows[r].second == kImageGroupFirst && r + 1 < rows.size()) {
            if (rows[r + 1].second == kImageGroupLast) erase(r + 1);
            else rows[r + 1].second = kImageGroupFirst;
        } else if (rows[r].second == kImageGroupLast && r > 0) {
            if (rows[r - 1].second == kImageGroupFirst) {
                erase(r - 1);
                --r;
            } else {
                rows[r - 1].second = kImageGroupLast;
            }
        }
        erase(r);
    }
    std::string s;
    for (const auto& row : rows) s += (s.empty() ? "" : " ") + row.first + ":" + std::to_string(row.second);
    return s;
}

}  // namespace

TEST(ResultsModel, GroupsRemovalMendsGroupsAndTotals) {
    ResultsModel two = Groups({{"a", 2}, {"b", 3}});
    EXPECT_EQ(Layout(two), "a0:0+ a1:2 b0:0+ b1:1 b2:2");
    EXPECT_EQ(two.DuplicateCount(), 3);
    EXPECT_EQ(two.DuplicateBytes(), 10 + 2 * 20);
    EXPECT_EQ(two.DuplicateRows(), (std::vector<std::size_t>{1, 3, 4}));
    // A copy in a protected folder is never among the rows that select-all takes.
    ResultsModel guarded = Groups({{"a", 2}, {"b", 3}});
    guarded.SetProtected(3, true);
    EXPECT_EQ(guarded.DuplicateRows(), (std::vector<std::size_t>{1, 4}));

    struct Case { std::vector<std::size_t> remove; const char* layout; };
    const Case cases[] = {
        {{0}, "b0:0+ b1:1 b2:2"},                     // first of two: both rows go
        {{1}, "b0:0+ b1:1 b2:2"},                     // last of two: its first goes too
        {{2}, "a0:0+ a1:2 b1:0+ b2:2"},               // first of three: next is first, with cells
        {{3}, "a0:0+ a1:2 b0:0+ b2:2"},               // middle of three
        {{4}, "a0:0+ a1:2 b0:0+ b1:2"},               // last of three: middle becomes last
        {{2, 4}, "a0:0+ a1:2"},                       // one survivor: no group
        {{4, 3, 3, 99}, "a0:0+ a1:2"},                // order, repeats, out of range ignored
        {{}, "a0:0+ a1:2 b0:0+ b1:1 b2:2"},
    };
    for (const Case& c : cases) {
        ResultsModel model = Groups({{"a", 2}, {"b", 3}});
        model.RemoveRows(c.remove);
        EXPECT_EQ(Layout(model), c.layout);
        ExpectTotalsMatchRows(model);
    }
}

TEST(ResultsModel, RemovalEqualsRowByRowLoopOnRandomSelections) {
    std::mt19937 random(7);
    for (int round = 0; round < 2000; ++round) {
        std::vector<std::pair<std::string, int>> groups;
        const int groupCount = 1 + static_cast<int>(random() % 5);
        for (int g = 0; g < groupCount; ++g)
            groups.push_back({std::string(1, static_cast<char>('a' + g)), 2 + static_cast<int>(random() % 4)});
        ResultsModel model = Groups(groups);
        std::vector<std::pair<std::string, int>> plain;
        for (std::size_t r = 0; r < model.RowCount(); ++r)
            plain.push_back({model.Row(r).record->Path(), model.Row(r).image});
        std::vector<bool> selected(plain.size());
        std::vector<std::size_t> remove;
        for (std::size_t r = 0; r < plain.size(); ++r)
            if ((selected[r] = random() % 3 == 0)) remove.push_back(r);
        model.RemoveRows(remove);
        std::string layout = Layout(model);
        std::string withoutDetails;
        for (char c : layout) if (c != '+') withoutDetails += c;
        ASSERT_EQ(withoutDetails, RowByRowRemoval(plain, selected)) << "round " << round;
        ExpectTotalsMatchRows(model);
        // The group's size and checksums stand on its first row, whichever file that is now.
        for (std::size_t r = 0; r < model.RowCount(); ++r) {
            const bool first = model.Row(r).image == kImageGroupFirst;
            ASSERT_EQ(model.Row(r).showsDetails, first) << "round " << round << " row " << r;
            ASSERT_EQ(model.CellText(r, kColumnSize).empty(), !first) << "round " << round;
        }
    }
}

TEST(ResultsModel, FindRowFollowsTheListRules) {
    ResultsModel model;
    std::vector<std::unique_ptr<CFileRecord>> files;
    for (const char* name : {"/x/files", "/x/_file", "/x/file2", "/x/FILE.txt", "/x/abab"})
        files.push_back(Record(name, 5));
    model.AppendGroup(std::move(files));

    // Down from no focused row starts at row 0; whole word skips files and _file.
    FoundText found = model.FindRow("file", -1, true, false, true);
    EXPECT_EQ(found.row, 2);
    EXPECT_EQ(found.start, 3u);
    EXPECT_EQ(found.length, 4u);
    // The focused row itself is never examined.
    EXPECT_EQ(model.FindRow("file", 2, true, false, true).row, 3);
    // Match case: FILE.txt no longer matches, and nothing after it does.
    EXPECT_EQ(model.FindRow("file", 2, true, true, true).row, -1);
    // Without whole word the first row matches.
    EXPECT_EQ(model.FindRow("FILE", -1, true, false, false).row, 0);
    // Up with no focused row starts at the last row; no wrap past row 0.
    EXPECT_EQ(model.FindRow("x", -1, false, false, false).row, 4);
    EXPECT_EQ(model.FindRow("files", 0, false, false, false).row, -1);
    // Down from the last row finds nothing.
    EXPECT_EQ(model.FindRow("x", 4, true, false, false).row, -1);
    // "ab" in "abab": the first is followed by a letter; the rest is a text of its own.
    found = model.FindRow("ab", -1, true, true, true);
    EXPECT_EQ(found.row, 4);
    EXPECT_EQ(found.start, 5u);
    EXPECT_EQ(model.FindRow("", -1, true, false, false).row, -1);
    // Row texts span the cells: a tab between path and date can be searched.
    EXPECT_EQ(FindInRowText("a\tb\r\n", "a\tb", true), 0u);
    EXPECT_EQ(FindInRowText("xab", "ab", true), std::string::npos);
}

TEST(ResultsModel, RowTextsForCopyAndExport) {
    ResultsModel model;
    std::vector<std::unique_ptr<CFileRecord>> files;
    files.push_back(Record("/t/a\"b,c", 7));
    files.push_back(Record("/t/d", 7));
    model.AppendGroup(std::move(files));
    const std::string time0 = model.CellText(0, kColumnTime);
    const std::string time1 = model.CellText(1, kColumnTime);
    EXPECT_EQ(model.RowsText({1}, "\t", false), "/t/d\t" + time1 + "\t\t\t\r\n");
    EXPECT_EQ(model.AllRowsText(",", true),
              "\"/t/a\"\"b,c\",\"" + time0 + "\",\"7\",\"abc\",\"12\"\r\n\"/t/d\",\"" + time1 +
                  "\",\"\",\"\",\"\"\r\n");
    EXPECT_EQ(model.RowsText({}, "\t", false), "");
    model.Clear();
    EXPECT_EQ(model.RowCount(), 0u);
    EXPECT_EQ(model.DuplicateCount(), 0);
    EXPECT_EQ(model.DuplicateBytes(), 0);
}

// The window's CSV for spreadsheets: a byte-order mark, the heading row, every cell valid
// UTF-8 with the list's replacement marks, formulas defused; the rows otherwise as exported.
TEST(ResultsModel, SpreadsheetCsvHasMarkHeadingAndValidText) {
    ResultsModel model;
    std::vector<std::unique_ptr<CFileRecord>> files;
    files.push_back(Record("/t/\xE4\xB8\xAD\xFF\xFE.txt", 7));  // a Chinese letter, two stray bytes
    files.push_back(Record("=1+1", 7));
    files.push_back(Record("/t/\xE6\x96", 7));  // cut in the middle of a character
    model.AppendGroup(std::move(files));
    const std::string csv = model.SpreadsheetCsvText();
    const std::string heading =
        "\xEF\xBB\xBF\"\xE6\x96\x87\xE4\xBB\xB6\xE5\x90\x8D\",\"\xE6\x97\xA5\xE6\x9C\x9F\","
        "\"\xE5\xA4\xA7\xE5\xB0\x8F\",\"CRC\",\"\xE6\xA0\xA1\xE9\xAA\x8C\"\r\n";
    ASSERT_EQ(csv.compare(0, heading.size(), heading), 0) << csv;
    const std::string rows = csv.substr(heading.size());
    const std::string mark = "\xEF\xBF\xBD";
    EXPECT_EQ(rows.find("\"/t/\xE4\xB8\xAD" + mark + mark + ".txt\","), 0u) << rows;
    EXPECT_NE(rows.find("\r\n\"'=1+1\","), std::string::npos) << rows;
    EXPECT_NE(rows.find("\r\n\"/t/" + mark + mark + "\","), std::string::npos) << rows;
    // Three rows, the heading not counted; nothing else differs from the plain export.
    std::string expected = model.AllRowsText(",", true);
    expected.replace(expected.find("\xFF\xFE"), 2, mark + mark);
    expected.replace(expected.find("\"=1+1"), 1, "\"'");
    expected.replace(expected.find("/t/\xE6\x96") + 3, 2, mark + mark);
    // The group's CRC and checksum: text formulas, so that no spreadsheet reads them as numbers.
    const std::string codes = "\"abc\",\"12\"";
    expected.replace(expected.find(codes), codes.size(), "\"=\"\"abc\"\"\",\"=\"\"12\"\"\"");
    EXPECT_EQ(rows, expected);
    EXPECT_EQ(ValidUtf8("ok \xE4\xB8\xAD"), "ok \xE4\xB8\xAD");
    EXPECT_EQ(ValidUtf8(""), "");
}

namespace {

// The group index against two recomputations: from the rows' pictures (a group runs from a
// first-row picture to the next), and from the paths (every file of group "b" is named b...,
// so a group is a run of one letter and the letters follow in group order).
void ExpectGroupIndexExact(const ResultsModel& model, const std::string& step) {
    SCOPED_TRACE(step);
    std::vector<RowGroup> byPicture;
    for (std::size_t r = 0; r < model.RowCount(); ++r) {
        if (model.Row(r).image == kImageGroupFirst) byPicture.push_back({r, r});
        ASSERT_FALSE(byPicture.empty()) << "row " << r << " before any first row";
        byPicture.back().end = r + 1;
    }
    std::vector<RowGroup> byName;
    for (std::size_t r = 0; r < model.RowCount(); ++r) {
        if (r == 0 || model.Row(r).record->Path()[0] != model.Row(r - 1).record->Path()[0])
            byName.push_back({r, r});
        byName.back().end = r + 1;
    }
    ASSERT_EQ(model.GroupCount(), byPicture.size());
    ASSERT_EQ(model.GroupCount(), byName.size());
    ASSERT_EQ(model.Groups().size(), byName.size());
    for (std::size_t g = 0; g < byName.size(); ++g) {
        EXPECT_EQ(model.Group(g).begin, byName[g].begin) << "group " << g;
        EXPECT_EQ(model.Group(g).end, byName[g].end) << "group " << g;
        EXPECT_EQ(model.Group(g).begin, byPicture[g].begin) << "group " << g;
        EXPECT_EQ(model.Group(g).end, byPicture[g].end) << "group " << g;
        EXPECT_EQ(model.Groups()[g].begin, byName[g].begin);
        EXPECT_GE(model.Group(g).Count(), 2u) << "group " << g;
        for (std::size_t r = byName[g].begin; r < byName[g].end; ++r) {
            EXPECT_EQ(model.GroupOf(r), g) << "row " << r;
            EXPECT_EQ(model.GroupOfRow(r).begin, byName[g].begin) << "row " << r;
            EXPECT_EQ(model.GroupOfRow(r).end, byName[g].end) << "row " << r;
            EXPECT_EQ(model.IsGroupFirst(r), r == byName[g].begin) << "row " << r;
            EXPECT_EQ(model.IsGroupLast(r), r + 1 == byName[g].end) << "row " << r;
            const int picture = r == byName[g].begin     ? kImageGroupFirst
                                : r + 1 == byName[g].end ? kImageGroupLast
                                                         : kImageGroupMiddle;
            EXPECT_EQ(model.Row(r).image, picture) << "row " << r;
        }
    }
    ExpectTotalsMatchRows(model);
}

}  // namespace

TEST(ResultsModel, GroupIndexStaysExactThroughEveryChange) {
    ResultsModel model = Groups({{"a", 3}, {"b", 2}, {"c", 4}});
    ExpectGroupIndexExact(model, "appended");
    EXPECT_EQ(Layout(model), "a0:0+ a1:1 a2:2 b0:0+ b1:2 c0:0+ c1:1 c2:1 c3:2");
    std::vector<std::unique_ptr<CFileRecord>> more;
    more.push_back(Record("d0", 40));
    more.push_back(Record("d1", 40));
    model.AppendGroup(std::move(more));
    std::vector<std::unique_ptr<CFileRecord>> alone;
    alone.push_back(Record("e0", 50));
    model.AppendGroup(std::move(alone));  // one file: no group
    ExpectGroupIndexExact(model, "appended after");
    ASSERT_EQ(model.GroupCount(), 4u);

    // a loses its first row, b is left with one file and goes, c loses its last row.
    model.RemoveRows({0, 4, 8});
    EXPECT_EQ(Layout(model), "a1:0+ a2:2 c0:0+ c1:1 c2:2 d0:0+ d1:2");
    ExpectGroupIndexExact(model, "removed");
    EXPECT_EQ(model.GroupOf(2), 1u);
    EXPECT_EQ(model.GroupOf(5), 2u);

    // Files come back: two into a (named by its last row), one into d (named by its first);
    // an addition naming no row is dropped.
    std::vector<std::pair<std::size_t, std::unique_ptr<CFileRecord>>> back;
    back.emplace_back(1, Record("a8", 10));
    back.emplace_back(5, Record("d9", 40));
    back.emplace_back(0, Record("a9", 10));
    back.emplace_back(99, Record("x0", 10));
    model.AddToGroups(std::move(back));
    EXPECT_EQ(Layout(model), "a1:0+ a2:1 a8:1 a9:2 c0:0+ c1:1 c2:2 d0:0+ d1:1 d9:2");
    ExpectGroupIndexExact(model, "added back");

    // The groups change places and their rows their order; c's last file becomes its first.
    ASSERT_TRUE(model.Rearrange({{7, 8, 9}, {6, 4, 5}, {3, 2, 1, 0}},
                                {kKeptAsFound, kKeptOldest, kKeptNewest}));
    EXPECT_EQ(Layout(model), "d0:0+ d1:1 d9:2 c2:0+ c0:1 c1:2 a9:0+ a8:1 a2:1 a1:2");
    ExpectGroupIndexExact(model, "rearranged");
    EXPECT_EQ(model.Row(3).keptBy, kKeptOldest);
    // A rearrangement that splits a group changes nothing.
    EXPECT_FALSE(model.Rearrange({{0, 1, 2, 3}, {4, 5}, {6, 7, 8, 9}},
                                 {kKeptAsFound, kKeptAsFound, kKeptAsFound}));
    ExpectGroupIndexExact(model, "refused");
    EXPECT_EQ(Layout(model), "d0:0+ d1:1 d9:2 c2:0+ c0:1 c1:2 a9:0+ a8:1 a2:1 a1:2");

    // Removing down to nothing, then appending again, starts the index afresh.
    model.RemoveRows({0, 1, 3, 4, 6, 7, 8});
    EXPECT_EQ(model.RowCount(), 0u);
    ExpectGroupIndexExact(model, "emptied");
    model = Groups({{"f", 2}});
    model.Clear();
    ExpectGroupIndexExact(model, "cleared");
    EXPECT_EQ(model.GroupCount(), 0u);
    model.AppendGroup([] {
        std::vector<std::unique_ptr<CFileRecord>> files;
        files.push_back(Record("g0", 5));
        files.push_back(Record("g1", 5));
        return files;
    }());
    ExpectGroupIndexExact(model, "appended after clear");
    EXPECT_EQ(model.GroupOf(1), 0u);
}

// The headline counts what can go: a reference folder's copies stay and are named apart.
TEST(ResultsModel, HeadlineCountsWhatCanGoAndNamesTheProtectedShare) {
    auto model = std::make_unique<ResultsModel>();
    std::int64_t size = 7;
    for (const std::vector<std::string>& paths :
         {std::vector<std::string>{"/photos/a.jpg", "/backup/a.jpg", "/backup/old/a.jpg"},
          std::vector<std::string>{"/photos/b.jpg", "/backup/b.jpg"},
          std::vector<std::string>{"/backup/c.jpg", "/backup/c copy.jpg"}}) {
        std::vector<std::unique_ptr<CFileRecord>> files;
        for (const std::string& path : paths) files.push_back(Record(path, size));
        model->AppendGroup(std::move(files));
        ++size;
    }
    // Before any folder is protected: every file but each group's first (sizes 7, 8, 9).
    EXPECT_EQ(HeadlineText(*model), "发现 4 个重复文件 (31 字节)");
    KeepPolicy policy;
    policy.protectedFolders = {"/photos"};
    ApplyKeepPolicy(policy, *model);
    const ResultsHeadline headline = CountHeadline(*model);
    EXPECT_EQ(headline.goes, 4);
    EXPECT_EQ(headline.bytes, 7 + 7 + 8 + 9);
    EXPECT_EQ(headline.protectedFiles, 2);
    EXPECT_EQ(HeadlineText(*model), "发现 4 个重复文件 (31 字节), 其中 2 个在受保护的文件夹中");
    // Both copies protected: nothing of that group can go, and both are counted apart.
    policy.protectedFolders = {"/photos", "/backup/old"};
    ApplyKeepPolicy(policy, *model);
    EXPECT_EQ(CountHeadline(*model).goes, 3);
    EXPECT_EQ(model->DuplicateCount(), 4);  // what the old headline counted
    EXPECT_EQ(CountHeadline(*model).protectedFiles, 3);
    policy.protectedFolders = {"/"};
    ApplyKeepPolicy(policy, *model);
    EXPECT_EQ(HeadlineText(*model), "发现 0 个重复文件 (0 字节), 其中 7 个在受保护的文件夹中");
    EXPECT_EQ(HeadlineText(ResultsModel()), "");
}
