// The results list's own selection: the rules of clicks and keys with the anchor, rows that go
// when the list shrinks, and what the list tells the toolkit after a change of few or many rows.
#include <gtest/gtest.h>

#include "results/row_selection.h"

namespace {

using Rows = std::vector<std::size_t>;

TEST(RowSelectionTest, ClicksAndKeysFollowTheRulesOfAMultipleSelectionList) {
    RowSelection s;
    s.Resize(10);
    EXPECT_EQ(s.Count(), 0u);
    EXPECT_EQ(s.Anchor(), -1);

    // Shift without an anchor is a plain click, and sets it.
    s.Click(4, false, true);
    EXPECT_EQ(s.Rows(), (Rows{4}));
    EXPECT_EQ(s.Anchor(), 4);
    // Shift: the range from the anchor, either way, instead of the selection.
    s.Click(7, false, true);
    EXPECT_EQ(s.Rows(), (Rows{4, 5, 6, 7}));
    s.Click(2, false, true);
    EXPECT_EQ(s.Rows(), (Rows{2, 3, 4}));
    EXPECT_EQ(s.Anchor(), 4) << "Shift leaves the anchor";
    // Ctrl turns one row over and makes it the anchor; Ctrl+Shift adds a range.
    s.Click(9, true, false);
    s.Click(3, true, false);
    EXPECT_EQ(s.Rows(), (Rows{2, 4, 9}));
    EXPECT_EQ(s.Anchor(), 3);
    s.Click(0, true, true);
    EXPECT_EQ(s.Rows(), (Rows{0, 1, 2, 3, 4, 9}));
    // A plain click: the row alone.
    s.Click(6, false, false);
    EXPECT_EQ(s.Rows(), (Rows{6}));
    EXPECT_EQ(s.Count(), 1u);

    // Keys: Ctrl moves the focus only; Shift selects from the anchor; alone, the row alone.
    s.MoveTo(8, true, false);
    EXPECT_EQ(s.Rows(), (Rows{6}));
    EXPECT_EQ(s.Anchor(), 6);
    s.MoveTo(8, false, true);
    EXPECT_EQ(s.Rows(), (Rows{6, 7, 8}));
    s.MoveTo(1, true, true);
    EXPECT_EQ(s.Rows(), (Rows{1, 2, 3, 4, 5, 6, 7, 8}));
    s.MoveTo(0, false, false);
    EXPECT_EQ(s.Rows(), (Rows{0}));
    EXPECT_EQ(s.Anchor(), 0);

    // Rows out of range change nothing.
    s.Click(10, false, false);
    s.MoveTo(12, false, true);
    EXPECT_FALSE(s.Set(10, true));
    EXPECT_EQ(s.Rows(), (Rows{0}));
}

TEST(RowSelectionTest, AssignRangesNextAndAShrinkingList) {
    RowSelection s;
    s.Resize(8);
    s.Assign({5, 1, 5, 99, 3});
    EXPECT_EQ(s.Rows(), (Rows{1, 3, 5}));
    EXPECT_EQ(s.Count(), 3u);
    EXPECT_EQ(s.Next(-1), 1);
    EXPECT_EQ(s.Next(1), 3);
    EXPECT_EQ(s.Next(4), 5);
    EXPECT_EQ(s.Next(5), -1);
    EXPECT_TRUE(s.IsSelected(3));
    EXPECT_FALSE(s.IsSelected(4));
    EXPECT_FALSE(s.IsSelected(1000));

    s.SetRange(6, 2, true);
    EXPECT_EQ(s.Rows(), (Rows{1, 2, 3, 4, 5, 6}));
    s.SetRange(5, 100, false);
    EXPECT_EQ(s.Rows(), (Rows{1, 2, 3, 4}));
    s.SelectAll();
    EXPECT_EQ(s.Count(), 8u);

    // Shrinking drops the rows beyond the end and an anchor among them; growing adds
    // unselected rows.
    s.SetAnchor(6);
    s.Resize(5);
    EXPECT_EQ(s.Count(), 5u);
    EXPECT_EQ(s.Anchor(), -1);
    s.Resize(7);
    EXPECT_EQ(s.Rows(), (Rows{0, 1, 2, 3, 4}));
    s.SetAnchor(2);
    s.Resize(3);
    EXPECT_EQ(s.Anchor(), 2);
    s.Clear();
    EXPECT_EQ(s.Count(), 0u);
    EXPECT_EQ(s.Next(-1), -1);
}

TEST(RowSelectionTest, ChangesAreFewRowsOrAll) {
    RowSelection s;
    s.Resize(1000);
    s.TakeChanges();
    RowSelection::Changes none = s.TakeChanges();
    EXPECT_FALSE(none.all);
    EXPECT_TRUE(none.rows.empty());

    // A row changed twice is told once, with the state it has now.
    s.Set(5, true);
    s.Set(9, true);
    s.Set(5, false);
    s.Set(9, true);  // no change
    RowSelection::Changes few = s.TakeChanges();
    EXPECT_FALSE(few.all);
    EXPECT_EQ(few.rows, (Rows{5, 9}));
    EXPECT_FALSE(s.IsSelected(5));
    EXPECT_TRUE(s.TakeChanges().rows.empty()) << "taken changes are forgotten";

    // A click replaces the selection: all rows may have changed.
    s.Click(3, false, false);
    EXPECT_TRUE(s.TakeChanges().all);
    s.Click(4, true, false);
    EXPECT_EQ(s.TakeChanges().rows, (Rows{4}));
    // Many single rows, a long range, an assignment and a new size are changes of all.
    for (std::size_t row = 100; row < 100 + RowSelection::kFewChanges + 1; ++row) s.Set(row, true);
    EXPECT_TRUE(s.TakeChanges().all);
    s.SetRange(200, 200 + RowSelection::kFewChanges, true);
    EXPECT_TRUE(s.TakeChanges().all);
    s.SetRange(600, 601, true);
    EXPECT_EQ(s.TakeChanges().rows, (Rows{600, 601}));
    s.Assign({1});
    EXPECT_TRUE(s.TakeChanges().all);
    s.Resize(10);
    EXPECT_TRUE(s.TakeChanges().all);
}

}  // namespace
