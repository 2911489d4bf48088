// What a search in the window passed over: collected on the way to the progress dialog and named
// in one message (start paths first, a limit with the number of the rest); file names of any
// encoding made fit to show without spoiling the text around them.
#include <string>

#include <gtest/gtest.h>

#include "results/display_text.h"
#include "results/skipped_places.h"
#include "results/work_progress.h"
#include "support/recording_sink.h"

namespace {

TEST(SkippedPlacesTest, EveryOtherCallGoesOnAndSkippedPlacesAreNoted) {
    RecordingSink dialog;
    SkippedPlaces places(&dialog);
    places.SetStatus("/a/");
    places.SetTotal(10);
    places.StepProgress(1);
    EXPECT_FALSE(places.Cancelled());
    dialog.m_cancel = true;
    EXPECT_TRUE(places.Cancelled());
    places.Skipped(SkipKind::kFolder, "/a/locked/", "Permission denied");
    EXPECT_EQ(dialog.m_texts, (std::vector<std::string>{"/a/"}));
    ASSERT_EQ(dialog.m_skipped.size(), 1u);
    EXPECT_EQ(dialog.m_skipped[0].first, "/a/locked/");
    EXPECT_EQ(places.Count(), 1u);

    // The reading inside a size class and the disks' lines reach the progress dialog too.
    WorkProgress work("");
    SkippedPlaces search(&work);
    search.FilesLooked(3, 10, 4096);
    search.Detail("disk one");
    search.Detail("disk two");
    EXPECT_EQ(work.BarDone(), 3);
    EXPECT_EQ(work.BarTotal(), 10);
    EXPECT_EQ(work.DetailsText(), "disk one\ndisk two\n");

    SkippedPlaces alone(nullptr);
    EXPECT_FALSE(alone.Cancelled());
    EXPECT_EQ(alone.Message(), "") << "nothing passed over, nothing to say";
}

TEST(SkippedPlacesTest, MessageNamesStartPathsFirstUpToALimit) {
    SkippedPlaces places(nullptr);
    places.Skipped(SkipKind::kFile, "/a/f1", "Input/output error");
    places.Skipped(SkipKind::kFolder, "/a/locked/", "Permission denied");
    places.Skipped(SkipKind::kStartPath, "/gone", "No such file or directory");
    // The same place reached again by overlapping start paths is named once.
    places.Skipped(SkipKind::kFolder, "/a/locked/", "Permission denied");
    EXPECT_EQ(places.Count(), 3u);
    EXPECT_EQ(places.Message(),
              "搜索时跳过了以下位置:\n\n"
              "/gone: No such file or directory\n"
              "/a/locked/: Permission denied\n"
              "/a/f1: Input/output error");

    // More than the message names: the rest is counted, also past what is kept of a kind.
    for (int i = 2; i <= 30; ++i)
        places.Skipped(SkipKind::kFile, "/a/f" + std::to_string(i), "Input/output error");
    EXPECT_EQ(places.Count(), 32u);
    const std::string text = places.Message(5);
    EXPECT_EQ(text,
              "搜索时跳过了以下位置:\n\n"
              "/gone: No such file or directory\n"
              "/a/locked/: Permission denied\n"
              "/a/f1: Input/output error\n"
              "/a/f2: Input/output error\n"
              "/a/f3: Input/output error\n"
              "还有 27 个位置被跳过");
    const std::string full = places.Message();
    EXPECT_NE(full.find("/a/f8: "), std::string::npos);
    EXPECT_EQ(full.find("/a/f9: "), std::string::npos) << "10 lines at most";
    EXPECT_NE(full.find("\n还有 22 个位置被跳过"), std::string::npos) << full;
}

TEST(ShownUtf8Test, OnlyBytesOutsideWellFormedSequencesAreReplaced) {
    const std::string mark = "\xEF\xBF\xBD";
    // Well-formed text, 1 to 4 bytes a character, comes back as it was.
    const std::string good = "a/照片/\xF0\x9F\x98\x80/\xC3\xA9\xF4\x8F\xBF\xBF";
    EXPECT_EQ(ShownUtf8(good), good);
    EXPECT_EQ(ShownUtf8(""), "");
    // A Latin-1 name inside a Chinese line: only its own byte goes.
    EXPECT_EQ(ShownUtf8("/照片/caf\xE9.jpg: 没有"), "/照片/caf" + mark + ".jpg: 没有");
    EXPECT_EQ(ShownUtf8("\xFF\xFE"), mark + mark);
    EXPECT_EQ(ShownUtf8("x\x80y"), "x" + mark + "y");        // stray continuation byte
    EXPECT_EQ(ShownUtf8("x\xE7\x85"), "x" + mark + mark);     // cut at the end
    EXPECT_EQ(ShownUtf8("\xE7\x85z"), mark + mark + "z");     // cut in the middle
    EXPECT_EQ(ShownUtf8("\xC0\xAF"), mark + mark);            // overlong "/"
    EXPECT_EQ(ShownUtf8("\xE0\x80\xAF"), mark + mark + mark); // overlong again
    EXPECT_EQ(ShownUtf8("\xED\xA0\x80"), mark + mark + mark); // a surrogate
    EXPECT_EQ(ShownUtf8("\xF4\x90\x80\x80"), mark + mark + mark + mark);  // past U+10FFFF
    EXPECT_EQ(ShownUtf8("\xF5\x80"), mark + mark);
}

}  // namespace
