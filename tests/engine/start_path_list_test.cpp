#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/search/start_path_list.h"

namespace {

using Paths = std::vector<std::string>;

TEST(StartPathText, TextsWithoutQuotesReadAsTheyAlwaysDid) {
    EXPECT_EQ(ReadStartPathText("/a/;/b/"), (Paths{"/a/", "/b/"}));
    // An empty item in the middle stays; a trailing ";" adds none.
    EXPECT_EQ(ReadStartPathText("/a/;;/b/"), (Paths{"/a/", "", "/b/"}));
    EXPECT_EQ(ReadStartPathText("/a/;/b/;"), (Paths{"/a/", "/b/"}));
    EXPECT_EQ(ReadStartPathText(""), Paths{});
    EXPECT_EQ(ReadStartPathText(";"), Paths{""});
    // Blanks around the items of a list go; a single path stays exactly as written.
    EXPECT_EQ(ReadStartPathText(" /a ;\t/b/ "), (Paths{"/a", "/b/"}));
    EXPECT_EQ(ReadStartPathText(" /a "), Paths{" /a "});
    // A quote that never closes is an ordinary character.
    EXPECT_EQ(ReadStartPathText("\"/a;/b"), (Paths{"\"/a", "/b"}));
    EXPECT_EQ(ReadStartPathText("/x\"y\";/z"), (Paths{"/x\"y\"", "/z"}));
}

TEST(StartPathText, ItemsHoldingSeparatorsOrQuotesComeBackWhole) {
    EXPECT_EQ(StartPathText({"/a/", "/b/"}), "/a/;/b/");
    EXPECT_EQ(StartPathText({"/semi/a;b/", "/c/"}), "\"/semi/a;b/\";/c/");
    EXPECT_EQ(StartPathText({}), "");

    const std::vector<Paths> lists = {
        {"/semi/a;b/"},
        {"/a/", "/semi/a;b/", "", "/c/"},
        {"\"quoted\"/", "/q\"\";/", "x\"y"},
        {" blank at the start/", "blank at the end/ ", "; "},
        {"/a/", ""},
        {"本地硬盘", "//server", "C:\\资料;备份\\"},
    };
    for (const Paths& paths : lists) {
        const std::string text = StartPathText(paths);
        EXPECT_EQ(ReadStartPathText(text), paths) << text;
    }
}

TEST(StartPathText, TypedListsLoseBlanksAndEmptyElements) {
    EXPECT_EQ(SplitStartPathList("A; B ;"), (Paths{"A", "B"}));
    EXPECT_EQ(SplitStartPathList(";;\tA\t;"), Paths{"A"});
    EXPECT_EQ(SplitStartPathList("; ;"), Paths{});
}

}  // namespace
