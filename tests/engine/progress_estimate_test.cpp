#include "engine/search/progress_estimate.h"

#include <gtest/gtest.h>

TEST(ProgressEstimate, TimeLeftOnlyOnceItCanBeTold) {
    ProgressEstimate estimate;
    estimate.Restart(10.0);
    // Nothing done, no total, or under a second spent: no telling.
    EXPECT_EQ(estimate.SecondsLeft(20.0, 0, 100), -1);
    EXPECT_EQ(estimate.SecondsLeft(20.0, 50, 0), -1);
    EXPECT_EQ(estimate.SecondsLeft(10.5, 50, 100), -1);
    // The rate so far to the end, counted from the restart, rounded up.
    EXPECT_EQ(estimate.SecondsLeft(12.0, 50, 100), 2);
    EXPECT_EQ(estimate.SecondsLeft(13.0, 40, 100), 5);  // 3 s for 40: 4.5 s for 60
    EXPECT_EQ(estimate.SecondsLeft(13.0, 100, 100), 0);
    EXPECT_EQ(estimate.SecondsLeft(13.0, 120, 100), 0);
    // A tiny share seen early swings too much; after five seconds it is taken.
    EXPECT_EQ(estimate.SecondsLeft(14.0, 9, 1000), -1);
    EXPECT_EQ(estimate.SecondsLeft(15.0, 10, 1000), 495);
    EXPECT_EQ(estimate.SecondsLeft(14.0, 10, 1000), 396);  // one hundredth: taken
    // 300 000 files at 25 000 a second: 2 s spent, 10 s left.
    estimate.Restart(100.0);
    EXPECT_EQ(estimate.SecondsLeft(102.0, 50000, 300000), 10);
}

TEST(ProgressEstimate, DurationsAndTheTimeLine) {
    EXPECT_EQ(ProgressEstimate::DurationText(0), "0:00");
    EXPECT_EQ(ProgressEstimate::DurationText(-5), "0:00");
    EXPECT_EQ(ProgressEstimate::DurationText(59), "0:59");
    EXPECT_EQ(ProgressEstimate::DurationText(61), "1:01");
    EXPECT_EQ(ProgressEstimate::DurationText(3599), "59:59");
    EXPECT_EQ(ProgressEstimate::DurationText(3600), "1:00:00");
    EXPECT_EQ(ProgressEstimate::DurationText(100 * 3600 + 62), "100:01:02");
    EXPECT_EQ(ProgressEstimate::TimeLine(13, -1), "已用时间 0:13");
    EXPECT_EQ(ProgressEstimate::TimeLine(75, 3), "已用时间 1:15, 剩余时间约 0:03");
}
