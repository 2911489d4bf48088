// The printed list's pages, measured with a font whose Chinese characters are twice as wide as
// the others, as in real fonts: columns that never meet, paths cut in the middle, the heading
// row on every page, the foot with the page number and the search's date.
#include "engine/results/print_layout.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/text/text_helpers.h"
#include "support/model_rows.h"

namespace {

// 10 units a character, 20 for a character of three bytes or more (CJK, and the "…" too);
// a byte that is not UTF-8 counts as one character.
int FakeWidth(const std::string& text) {
    int width = 0;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = std::max<std::size_t>(1, Utf8SequenceLength(text, i));
        width += n >= 3 ? 20 : 10;
        i += n;
    }
    return width;
}

const std::string kLongPath =
    "/home/李明/照片/2021年夏天/海边的日落与晚霞/北戴河/第二天早上/IMG_20210715_063015.jpg";

// A page's texts that stand on line `y`.
std::vector<PrintedText> OnLine(const PrintedPage& page, int y) {
    std::vector<PrintedText> line;
    for (const PrintedText& text : page.texts)
        if (text.y == y) line.push_back(text);
    std::sort(line.begin(), line.end(),
              [](const PrintedText& a, const PrintedText& b) { return a.x < b.x; });
    return line;
}

TEST(PrintLayout, CutInTheMiddleByMeasuredWidth) {
    const PrintTextWidth width = FakeWidth;
    EXPECT_EQ(CutInMiddle("/a/b.txt", 80, width), "/a/b.txt");  // exactly fits
    EXPECT_EQ(CutInMiddle("/a/b.txt", 79, width), "/a/…xt");    // 3 + 2 characters and "…"
    EXPECT_EQ(CutInMiddle("abc", 20, width), "…");              // no character beside it
    EXPECT_EQ(CutInMiddle("abc", 19, width), "");               // not even "…"
    EXPECT_EQ(CutInMiddle("", 0, width), "");

    // A Chinese path: cut between characters, the start and the end kept, as many characters
    // as fit, never wider than the room.
    for (int room : {60, 150, 333, 500}) {
        const std::string cut = CutInMiddle(kLongPath, room, width);
        SCOPED_TRACE(cut);
        EXPECT_LE(FakeWidth(cut), room);
        EXPECT_GT(FakeWidth(cut), room - 40);  // one more character on each side would not fit
        EXPECT_EQ(ValidUtf8(cut), cut);        // no character split
        const std::size_t mark = cut.find("…");
        ASSERT_NE(mark, std::string::npos);
        EXPECT_EQ(kLongPath.compare(0, mark, cut, 0, mark), 0);
        const std::string tail = cut.substr(mark + 3);
        EXPECT_EQ(kLongPath.compare(kLongPath.size() - tail.size(), tail.size(), tail), 0);
    }
    EXPECT_EQ(CutInMiddle(kLongPath, 150, width), "/home/…15.jpg");  // one more: 160 wide

    // Bytes that are not UTF-8 are characters of their own; a real character beside them stays
    // whole.
    const std::string odd = "\xff\xfe中文\xff\xfe中文\xff";
    const std::string cut = CutInMiddle(odd, 70, width);
    EXPECT_EQ(cut, "\xff\xfe…文\xff");
}

// A model of `groups` groups of two files, searched at a known time.
std::unique_ptr<ResultsModel> Searched(int groups, const std::string& firstPath = "/data/a") {
    std::vector<std::vector<std::string>> paths;
    for (int g = 0; g < groups; ++g)
        paths.push_back({g == 0 ? firstPath : "/data/a" + std::to_string(g),
                         "/copy/b" + std::to_string(g)});
    auto model = Groups(paths);
    model->SetSearchTime(kWritten + 3600LL * platform::kFileTimeTicksPerSecond);
    return model;
}

TEST(PrintLayout, ColumnsNeverMeetAndALongPathIsCutInItsColumn) {
    const PrintArea area{50, 40, 1000, 600};
    auto model = Searched(3, kLongPath);
    const PrintLayout layout = ResultsPrintLayout(*model, FakeWidth, area, 20);

    // Five columns on the printable width: the others as wide as their widest text, the path
    // taking the rest; a gap between each two; the last ends at the area's right edge.
    const std::vector<PrintColumn>& columns = layout.Columns();
    ASSERT_EQ(columns.size(), 5u);
    EXPECT_EQ(columns[0].x, 50);
    EXPECT_EQ(columns[1].width, FakeWidth(DateText()));
    EXPECT_EQ(columns[2].width, FakeWidth("大小"));  // wider than "7"
    EXPECT_EQ(columns[3].width, FakeWidth("CRC"));
    for (int c = 0; c + 1 < 5; ++c)
        EXPECT_EQ(columns[c].x + columns[c].width + layout.Gap(), columns[c + 1].x) << c;
    EXPECT_EQ(columns[4].x + columns[4].width, 1050);
    EXPECT_GT(layout.Gap(), 0);

    const PrintedPage page = layout.LayOutPage(1);
    // The heading row: the five titles, on the first line of the area.
    const std::vector<PrintedText> heading = OnLine(page, 40);
    ASSERT_EQ(heading.size(), 5u);
    EXPECT_EQ(heading[0].text, "文件名");
    EXPECT_EQ(heading[1].text, "日期");
    EXPECT_EQ(heading[4].text, "校验");
    EXPECT_GT(page.headingRuleY, 40 + 0);
    EXPECT_LT(page.headingRuleY, 40 + 30);

    // The long path: cut in the middle to its column, the file name's end kept; the date beside
    // it starts after the gap.
    const std::vector<PrintedText> first = OnLine(page, 70);
    ASSERT_EQ(first.size(), 5u);
    EXPECT_NE(first[0].text, kLongPath);
    EXPECT_NE(first[0].text.find("…"), std::string::npos);
    EXPECT_EQ(first[0].text.substr(first[0].text.size() - 10), "063015.jpg");
    EXPECT_LE(FakeWidth(first[0].text), columns[0].width);
    EXPECT_EQ(first[1].text, DateText());
    EXPECT_EQ(first[1].x, columns[1].x);
    // Numbers end at their column's right edge.
    EXPECT_EQ(first[2].text, "7");
    EXPECT_EQ(first[2].x + FakeWidth("7"), columns[2].x + columns[2].width);

    // Nothing on any line overlaps, and everything stays inside the area, above the foot.
    for (int y = 40; y <= 600; ++y) {
        const std::vector<PrintedText> line = OnLine(page, y);
        for (std::size_t i = 0; i < line.size(); ++i) {
            EXPECT_GE(line[i].x, 50);
            EXPECT_LE(line[i].x + FakeWidth(line[i].text), 1050);
            if (i + 1 < line.size()) {
                EXPECT_LT(line[i].x + FakeWidth(line[i].text), line[i + 1].x);
            }
            if (y > 40 && y < page.footRuleY) {
                EXPECT_LE(y + 20, page.footRuleY);
            }
        }
    }
}

TEST(PrintLayout, PagesHoldTheHeadingRowAndTheRowsBelowIt) {
    const PrintArea area{0, 0, 1000, 600};
    // Rows from y = 30 (a line and a half under the top) to the foot at 580, less half a line:
    // 27 rows a page.
    auto model = Searched(30);  // 60 rows
    PrintLayout layout = ResultsPrintLayout(*model, FakeWidth, area, 20);
    EXPECT_EQ(layout.RowsPerPage(), 27);
    EXPECT_EQ(layout.PageCount(), 3);
    const PrintedPage last = layout.LayOutPage(3);
    EXPECT_EQ(OnLine(last, 0).size(), 5u);           // the heading row again
    EXPECT_EQ(OnLine(last, 30)[0].text, "/data/a27");  // row 54 heads the last page
    EXPECT_EQ(OnLine(last, 30 + 5 * 20)[0].text, "/copy/b29");
    EXPECT_TRUE(OnLine(last, 30 + 6 * 20).empty());
    // Rows after a group's first show no size: two cells, path and date.
    EXPECT_EQ(OnLine(last, 50).size(), 2u);

    // Exactly two full pages: no empty page after them.
    model = Searched(27);
    EXPECT_EQ(ResultsPrintLayout(*model, FakeWidth, area, 20).PageCount(), 2);
    // An empty list prints its heading row on one page; a page too short for a row holds one.
    ResultsModel empty;
    const PrintLayout none = ResultsPrintLayout(empty, FakeWidth, area, 20);
    EXPECT_EQ(none.PageCount(), 1);
    EXPECT_EQ(none.LayOutPage(1).texts.size(), 6u);  // five titles and the page number
    EXPECT_EQ(ResultsPrintLayout(*model, FakeWidth, {0, 0, 1000, 30}, 20).RowsPerPage(), 1);
}

TEST(PrintLayout, FootHasThePageNumberAndTheSearchDate) {
    const PrintArea area{50, 40, 1000, 600};
    auto model = Searched(30);
    const PrintLayout layout = ResultsPrintLayout(*model, FakeWidth, area, 20);
    const PrintedPage page = layout.LayOutPage(2);

    // The search's date in the form of the list's dates (the search ran an hour after the
    // files were written).
    std::string date;
    const platform::FileTime searched = model->SearchTime();
    FileTimeToText(&searched, date);
    ASSERT_FALSE(date.empty());
    EXPECT_NE(date, DateText());
    const std::vector<PrintedText> foot = OnLine(page, 620);
    ASSERT_EQ(foot.size(), 2u);
    EXPECT_EQ(foot[0].text, "搜索日期: " + date);
    EXPECT_EQ(foot[0].x, 50);
    EXPECT_EQ(foot[1].text, "第 2 页, 共 3 页");
    EXPECT_EQ(foot[1].x + FakeWidth(foot[1].text), 1050);  // at the right edge
    EXPECT_GT(page.footRuleY, 600);
    EXPECT_LT(page.footRuleY, 620);

    // A narrow page: the date gives way to the page number and is cut, never overprinted.
    const PrintLayout narrow = ResultsPrintLayout(*model, FakeWidth, {0, 0, 300, 600}, 20);
    const std::vector<PrintedText> tight = OnLine(narrow.LayOutPage(3), 580);
    ASSERT_EQ(tight.size(), 2u);
    EXPECT_EQ(tight[1].text, "第 3 页, 共 3 页");
    EXPECT_NE(tight[0].text.find("…"), std::string::npos);
    EXPECT_LT(FakeWidth(tight[0].text), tight[1].x);
    // Its columns: the four short ones squeezed into three fifths, cut; the path keeps the rest.
    const std::vector<PrintColumn>& columns = narrow.Columns();
    EXPECT_GE(columns[0].width, (300 - 4 * narrow.Gap()) * 2 / 5);
    EXPECT_LE(columns[4].x + columns[4].width, 300);
    const std::vector<PrintedText> row = OnLine(narrow.LayOutPage(1), 30);
    for (std::size_t i = 0; i + 1 < row.size(); ++i)
        EXPECT_LT(row[i].x + FakeWidth(row[i].text), row[i + 1].x) << row[i].text;

    // Rows that no search found: no date, the page number alone.
    model->SetSearchTime(0);
    const PrintLayout undated = ResultsPrintLayout(*model, FakeWidth, area, 20);
    EXPECT_EQ(undated.SearchDateText(), "");
    const std::vector<PrintedText> alone = OnLine(undated.LayOutPage(1), 620);
    ASSERT_EQ(alone.size(), 1u);
    EXPECT_EQ(alone[0].text, "第 1 页, 共 3 页");
}

}  // namespace
