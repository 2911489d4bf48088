// Page breaks and wrapping of the printed list, measured with a fixed-pitch fake: every
// character is 10 units wide.
#include "results/print_pages.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

class FixedPitch : public TextMeasurer {
public:
    int TextWidth(const std::string& text) const override {
        int characters = 0;
        for (unsigned char c : text) characters += (c & 0xC0) != 0x80;
        return 10 * characters;
    }
};

// The text of a printed line as "x:text|x:text".
std::string Show(const PrintedLine& line) {
    std::string shown;
    for (const TextRun& run : line.runs) {
        if (!shown.empty()) shown += "|";
        shown += std::to_string(run.x) + ":" + run.text;
    }
    return shown;
}

std::string Lines(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += "line " + std::to_string(i) + "\r\n";
    return text;
}

const PrintPageFormat kPage{10, 1000, 100};  // 100 / 10 - 1 = 9 lines a page

TEST(PrintPages, MeasuresOfThePage) {
    EXPECT_EQ(LinesPerPage(kPage), 9);
    EXPECT_EQ(LinesPerPage({12, 1000, 100}), 7);  // 100 / 12 = 8, less one
    EXPECT_EQ(LinesPerPage({10, 1000, 15}), 1);   // too short for one line: still one
    EXPECT_EQ(LinesPerPage({0, 1000, 100}), 99);  // no line height: taken as 1
    EXPECT_EQ(PrintTabStops(1000), (std::vector<int>{250, 400, 600, 1000}));
    EXPECT_EQ(PrintTabStops(4961), (std::vector<int>{1240, 1984, 2976, 4961}));

    FixedPitch pitch;
    const std::vector<int> stops = PrintTabStops(1000);
    int right = 0;
    // Stops count from 0 whatever the start; a piece that passes a stop goes to the next one.
    auto runs = LayOutTabbed(pitch, "ab\tc\t\tdddddddddddddddddddddd\tz", 50, stops, &right);
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].x, 50);
    EXPECT_EQ(runs[1].x, 250);
    EXPECT_EQ(runs[2].x, 600);   // "c" ends at 260: 400, then 600
    EXPECT_EQ(runs[3].x, 1000);  // the 22 d's end at 820: the last stop
    EXPECT_EQ(right, 1010);
    // Past the last stop, tabs go on at the distance between the last two stops.
    runs = LayOutTabbed(pitch, "x\t\t\t\t\ty", 50, stops, &right);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[1].x, 1400);
    EXPECT_EQ(TabbedWidth(pitch, "ab\t", stops), 250);  // a trailing tab counts
    EXPECT_EQ(TabbedWidth(pitch, "", stops), 0);
}

TEST(PrintPages, ExactlyFullPagesEndWithAnEmptyPage) {
    FixedPitch pitch;
    // Nine lines fill the first page; its end comes before the end of the text is seen.
    auto pages = PaginatePrintText(Lines(9), pitch, kPage);
    ASSERT_EQ(pages.size(), 2u);
    ASSERT_EQ(pages[0].size(), 9u);
    EXPECT_TRUE(pages[1].empty());
    for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(pages[0][i].y, (i + 1) * 10);
        EXPECT_EQ(Show(pages[0][i]), "50:line " + std::to_string(i));
    }

    pages = PaginatePrintText(Lines(18), pitch, kPage);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[1].size(), 9u);
    EXPECT_EQ(Show(pages[1][0]), "50:line 9");
    EXPECT_TRUE(pages[2].empty());

    pages = PaginatePrintText(Lines(10), pitch, kPage);
    ASSERT_EQ(pages.size(), 2u);
    ASSERT_EQ(pages[1].size(), 1u);
    EXPECT_EQ(pages[1][0].y, 10);

    // No text: one empty page. An empty line is printed as a line.
    pages = PaginatePrintText("", pitch, kPage);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_TRUE(pages[0].empty());
    pages = PaginatePrintText("\r\n\r\nx", pitch, kPage);
    ASSERT_EQ(pages[0].size(), 3u);
    EXPECT_TRUE(pages[0][0].runs.empty());
    EXPECT_EQ(pages[0][2].y, 30);
    EXPECT_EQ(Show(pages[0][2]), "50:x");
}

TEST(PrintPages, LongLinesWrapInsideThePageWidth) {
    FixedPitch pitch;
    // 120 characters are 1200 wide: the longest prefix narrower than 1000 - 50 is 94
    // characters (940); the other 26 follow on the next line.
    auto pages = PaginatePrintText(std::string(120, 'x') + "\r\nnext\r\n", pitch, kPage);
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_EQ(pages[0].size(), 3u);
    EXPECT_EQ(Show(pages[0][0]), "50:" + std::string(94, 'x'));
    EXPECT_EQ(Show(pages[0][1]), "50:" + std::string(26, 'x'));
    EXPECT_EQ(pages[0][1].y, 20);
    EXPECT_EQ(Show(pages[0][2]), "50:next");

    // A line that fills the width exactly (95 characters: 950 + 50) is not wrapped.
    pages = PaginatePrintText(std::string(95, 'x'), pitch, kPage);
    ASSERT_EQ(pages[0].size(), 1u);

    // The rows of a list: the checksum of a group's first row goes to a second line at the
    // first tab stop; the other rows' second line holds only their last tab.
    pages = PaginatePrintText("p\td1\t7\t3f0\t12\r\nq\td1\t\t\t\r\n", pitch, kPage);
    ASSERT_EQ(pages[0].size(), 4u);
    EXPECT_EQ(Show(pages[0][0]), "50:p|250:d1|400:7|600:3f0");
    EXPECT_EQ(Show(pages[0][1]), "250:12");
    EXPECT_EQ(Show(pages[0][2]), "50:q|250:d1");
    EXPECT_TRUE(pages[0][3].runs.empty());

    // Wrapped lines move on to the next page when the page is full.
    const PrintPageFormat twoLines{10, 1000, 30};
    pages = PaginatePrintText("a\r\n" + std::string(150, 'y'), pitch, twoLines);
    ASSERT_EQ(pages.size(), 2u);
    ASSERT_EQ(pages[0].size(), 2u);
    ASSERT_EQ(pages[1].size(), 1u);
    EXPECT_EQ(Show(pages[0][1]), "50:" + std::string(94, 'y'));
    EXPECT_EQ(Show(pages[1][0]), "50:" + std::string(56, 'y'));
    EXPECT_EQ(pages[1][0].y, 10);

    // Chinese text is cut between characters, never inside one.
    std::string chinese;
    for (int i = 0; i < 100; ++i) chinese += "文";
    pages = PaginatePrintText(chinese, pitch, kPage);
    ASSERT_EQ(pages[0].size(), 2u);
    EXPECT_EQ(pages[0][0].runs[0].text.size(), 94u * 3);
    EXPECT_EQ(pages[0][1].runs[0].text.size(), 6u * 3);

    // A page too narrow for one character still ends: one character a line.
    pages = PaginatePrintText("abc", pitch, {10, 40, 1000});
    ASSERT_EQ(pages.size(), 1u);
    ASSERT_GE(pages[0].size(), 3u);
    EXPECT_EQ(Show(pages[0][0]), "50:a");
    EXPECT_EQ(Show(pages[0][2]), "50:c");
}

TEST(PrintPages, ReadsTakeAtMost1023Characters) {
    FixedPitch pitch;
    const PrintPageFormat wide{10, 1000000, 1000};
    auto pages = PaginatePrintText(std::string(1500, 'a') + "\r\nb\r\n", pitch, wide);
    ASSERT_EQ(pages[0].size(), 3u);
    EXPECT_EQ(Show(pages[0][0]), "50:" + std::string(1023, 'a'));
    EXPECT_EQ(Show(pages[0][1]), "50:" + std::string(477, 'a'));
    EXPECT_EQ(Show(pages[0][2]), "50:b");

    // Characters, not bytes, are counted; a read never ends inside a character.
    std::string chinese;
    for (int i = 0; i < 1100; ++i) chinese += "中";
    pages = PaginatePrintText(chinese, pitch, wide);
    ASSERT_EQ(pages[0].size(), 2u);
    EXPECT_EQ(pages[0][0].runs[0].text.size(), 1023u * 3);
    EXPECT_EQ(pages[0][1].runs[0].text.size(), 77u * 3);

    // Exactly 1023 characters: the line end comes with the next read, as an empty line.
    PrintTextReader reader(std::string(1023, 'c') + "\r\nd\n");
    std::string piece;
    ASSERT_TRUE(reader.ReadString(&piece));
    EXPECT_EQ(piece, std::string(1023, 'c'));
    ASSERT_TRUE(reader.ReadString(&piece));
    EXPECT_EQ(piece, "\n");
    ASSERT_TRUE(reader.ReadString(&piece));
    EXPECT_EQ(piece, "d\n");
    EXPECT_FALSE(reader.ReadString(&piece));
    // A lone CR is text; CR LF is one line end.
    PrintTextReader cr("a\rb\r\n");
    ASSERT_TRUE(cr.ReadString(&piece));
    EXPECT_EQ(piece, "a\rb\n");
}

}  // namespace
