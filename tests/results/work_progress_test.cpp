// What the worker reports and the window reads: texts made from counts only when read, the
// bar's position, the stop flag and the probe, and a worker writing while the window reads.
#include <atomic>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "results/work_progress.h"

namespace {

TEST(WorkProgressTest, StatusIsTheLatestTextOrCountsAndTheBarFollowsTheTotal) {
    WorkProgress progress("相同的文件名");
    EXPECT_EQ(progress.StatusText(), "相同的文件名");
    EXPECT_EQ(progress.Position(200), 0) << "no total, no bar";
    progress.SetStatus("/a/");
    progress.FilesFound(7, 2);
    EXPECT_EQ(progress.StatusText(), "发现 7 个文件在 2 个目录中");
    progress.SetStatus("/a/b/");
    EXPECT_EQ(progress.StatusText(), "/a/b/");
    progress.DuplicatesFound(3, 5000000000LL);
    EXPECT_EQ(progress.StatusText(), "发现 3 个重复的文件, 总共 5000000000 字节");

    progress.SetTotal(400);
    progress.StepProgress(100);
    EXPECT_EQ(progress.Position(200), 50);
    progress.StepProgress(1000);
    EXPECT_EQ(progress.Position(200), 200) << "never past the end";
    progress.SetTotal(10);
    EXPECT_EQ(progress.Done(), 0) << "a new total starts again";

    int asked = 0;
    progress.SetProbe([&](WorkProgress& p) {
        if (++asked == 2) p.Stop();
    });
    EXPECT_FALSE(progress.Cancelled());
    EXPECT_TRUE(progress.Cancelled());
    EXPECT_TRUE(progress.StopRequested());
    EXPECT_EQ(asked, 2);
}

TEST(WorkProgressTest, AWorkerReportsWhileTheWindowReadsAndStops) {
    WorkProgress progress("");
    progress.SetTotal(1000000);
    std::atomic<bool> started{false};
    long steps = 0;
    std::thread worker([&] {
        for (int i = 1; !progress.Cancelled(); ++i) {
            progress.FilesFound(i, 1);
            if (i % 3 == 0) progress.SetStatus("/folder/");
            progress.StepProgress(1);
            ++steps;
            started = true;
        }
    });
    while (!started) std::this_thread::yield();
    for (int round = 0; round < 2000; ++round) {
        const std::string text = progress.StatusText();
        EXPECT_TRUE(text == "/folder/" || text.rfind("发现 ", 0) == 0) << text;
        EXPECT_GE(progress.Position(200), 0);
    }
    progress.Stop();
    worker.join();
    EXPECT_EQ(progress.Done(), steps);
}

}  // namespace

TEST(WorkProgressTest, FilesLookedAtMoveTheBarAndTheCountInsideASizeClass) {
    WorkProgress progress("");
    progress.SetTotal(300000);  // one size class of 300 000 files
    progress.StepProgress(1);   // its first record waits for the class to be read
    EXPECT_EQ(progress.Position(200), 0);
    progress.FilesLooked(150000, 300000, 150000 * 4096LL);
    // Half the files looked at: a quarter of the bar (the records are still to come).
    EXPECT_EQ(progress.Position(200), 50);
    EXPECT_EQ(progress.StatusText(), "已查看 150000 / 300000 个文件, 已读取 585.94 MB");
    EXPECT_EQ(progress.BarTotal(), 600000);
    EXPECT_EQ(progress.BarDone(), 150001);
    // Listed groups are the better news; the bar keeps counting.
    progress.DuplicatesFound(2, 600);
    progress.FilesLooked(300000, 300000, 300000 * 4096LL);
    EXPECT_EQ(progress.StatusText(), "发现 2 个重复的文件, 总共 600 字节");
    EXPECT_EQ(progress.Position(200), 100);
    // A new total is a new stage: the looks go with the old one.
    progress.SetTotal(10);
    EXPECT_EQ(progress.BarTotal(), 10);
    EXPECT_EQ(progress.Position(200), 0);
}
