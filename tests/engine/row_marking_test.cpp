// Marking rows by a criterion on a searched tree, the groups' sort and the list's filter: no
// marking leaves every copy of a group selected, rows not here and protected rows are never
// selected by one, the sort moves whole groups and keeps ties in order, and the filter shows the
// matching groups first with counts that stay right after rows go.
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/results/group_order.h"
#include "engine/results/keep_rules.h"
#include "engine/results/results_text.h"
#include "engine/results/row_marking.h"
#include "engine/results/shown_groups.h"
#include "engine/search/duplicate_search.h"
#include "support/model_rows.h"
#include "support/platform_rules.h"
#include "support/temp_dir.h"

namespace {

const std::string kSep(1, kWindows ? '\\' : '/');

std::string Native(std::string path) {
    for (char& c : path)
        if (c == '/') c = kSep[0];
    return path;
}

// A photo folder, its backup and some others: A three copies, B to E two each; E has a copy in
// the protected folder "keep".
class MarkingTree : public ::testing::Test {
protected:
    void SetUp() override {
        static const auto base = std::chrono::time_point_cast<std::chrono::seconds>(
            std::filesystem::file_time_type::clock::now() - std::chrono::hours(24 * 400));
        const struct {
            const char* path;
            const char* contents;
            int hoursOld;
        } files[] = {
            {"photos/a.jpg", "aaaa", 30}, {"backup/a.jpg", "aaaa", 10}, {"backup/old/a.jpg", "aaaa", 20},
            {"photos/b.png", "bbbbb", 10}, {"backup/b.png", "bbbbb", 20},
            {"photos/c.txt", "cccccc", 5}, {"other/c.txt", "cccccc", 6},
            {"backup/d.jpg", "ddddddd", 40}, {"backup/sub/d.jpg", "ddddddd", 41},
            {"keep/e.dat", "eeeeeeee", 1}, {"photos/e.dat", "eeeeeeee", 50},
        };
        for (const auto& file : files) {
            const std::string path = root.WriteFile(Native(file.path), file.contents);
            std::filesystem::last_write_time(std::filesystem::u8path(path),
                                             base - std::chrono::hours(file.hoursOld));
        }
        SearchOptions options;
        options.paths = {root.Path()};
        options.keep.protectedFolders = {root / "keep"};
        DuplicateSearch search(nullptr);
        ASSERT_EQ(search.Run(options, model), DuplicateSearch::kFinished);
        ASSERT_EQ(model.GroupCount(), 5u);
    }

    std::string Folder(const std::string& relative) const { return root / Native(relative) + kSep; }

    std::size_t RowOf(const std::string& relative) const {
        for (std::size_t row = 0; row < model.RowCount(); ++row)
            if (model.Row(row).record->Path() == root / Native(relative)) return row;
        ADD_FAILURE() << relative;
        return 0;
    }

    // The rows as relative paths with "/", sorted.
    std::set<std::string> Paths(const std::vector<std::size_t>& rows) const {
        std::set<std::string> paths;
        for (std::size_t row : rows) {
            std::string path = model.Row(row).record->Path().substr(root.Path().size());
            std::replace(path.begin(), path.end(), '\\', '/');
            paths.insert(path);
        }
        return paths;
    }

    // No group has every copy here selected; no protected row or row not here is selected
    // unless `byHand` holds it.
    void ExpectSafe(const RowMarking::Result& result,
                    const std::vector<std::size_t>& byHand = {}) const {
        std::vector<char> on(model.RowCount(), 0);
        for (std::size_t row : result.rows) on[row] = 1;
        for (std::size_t g = 0; g < model.GroupCount(); ++g) {
            std::size_t here = 0, chosen = 0;
            for (std::size_t row = model.Group(g).begin; row < model.Group(g).end; ++row) {
                if (!model.Row(row).StandsHere()) continue;
                ++here;
                chosen += on[row];
            }
            EXPECT_LT(chosen, here) << "group " << g;
        }
        for (std::size_t row : result.rows) {
            if (std::find(byHand.begin(), byHand.end(), row) != byHand.end()) continue;
            EXPECT_TRUE(model.Row(row).StandsHere()) << row;
            EXPECT_FALSE(model.Row(row).isProtected) << row;
        }
    }

    TempDir root;
    ResultsModel model;
};

using Set = std::set<std::string>;

TEST_F(MarkingTree, EachCriterionKeepsACopyOfEveryGroup) {
    const RowMarking marking(model, model.RowCount());

    RowMarking::Result newest = marking.AllButNewest();
    EXPECT_EQ(Paths(newest.rows), (Set{"photos/a.jpg", "backup/old/a.jpg", "backup/b.png",
                                       "other/c.txt", "backup/sub/d.jpg", "photos/e.dat"}));
    EXPECT_EQ(newest.heldBack, 0u);
    ExpectSafe(newest);

    // E's oldest is the copy outside the protected folder: it stays, and the protected one is
    // never selected, so E has nothing selected.
    RowMarking::Result oldest = marking.AllButOldest();
    EXPECT_EQ(Paths(oldest.rows), (Set{"backup/a.jpg", "backup/old/a.jpg", "photos/b.png",
                                       "photos/c.txt", "backup/d.jpg"}));
    ExpectSafe(oldest);

    // The copy in the backup stays; groups with none there are left alone; D (both in the
    // backup) keeps its first one there.
    RowMarking::Result inBackup = marking.AllButInFolder(Folder("backup"));
    const Set backup = Paths(inBackup.rows);
    EXPECT_TRUE(backup.count("photos/a.jpg"));
    EXPECT_EQ(backup.count("backup/a.jpg") + backup.count("backup/old/a.jpg"), 1u);
    EXPECT_TRUE(backup.count("photos/b.png"));
    EXPECT_EQ(backup.count("backup/d.jpg") + backup.count("backup/sub/d.jpg"), 1u);
    EXPECT_EQ(backup.size(), 4u);
    EXPECT_EQ(inBackup.heldBack, 0u);
    ExpectSafe(inBackup);

    // The folder and below: D would lose both copies, so its first row stays unselected.
    RowMarking::Result folder = marking.MarkFolder({}, Folder("backup"), true);
    EXPECT_EQ(folder.heldBack, 1u);
    const std::size_t dFirst = model.GroupOfRow(RowOf("backup/d.jpg")).begin;
    EXPECT_EQ(Paths(folder.rows), (Set{"backup/a.jpg", "backup/old/a.jpg", "backup/b.png",
                                       Paths({dFirst}) == Set{"backup/d.jpg"} ? "backup/sub/d.jpg"
                                                                              : "backup/d.jpg"}));
    ExpectSafe(folder);
    // Unselecting a folder below takes only its rows out; a name that only begins like the
    // folder ("backup/o" of "backup/old") is no folder of it.
    EXPECT_EQ(Paths(marking.MarkFolder(folder.rows, Folder("backup/old"), false).rows).count(
                  "backup/old/a.jpg"),
              0u);
    EXPECT_EQ(marking.MarkFolder(folder.rows, root / Native("backup/o"), false).rows, folder.rows);

    // The mask editor's syntax: A and D are all .jpg, each keeps one; an exclusion takes
    // back what it names.
    RowMarking::Result jpg = marking.MarkMask({}, "*.jpg");
    EXPECT_EQ(jpg.heldBack, 2u);
    EXPECT_EQ(jpg.rows.size(), 3u);
    ExpectSafe(jpg);
    RowMarking::Result notOld = marking.MarkMask({}, "*.jpg;~" + Native("*/old/*"));
    EXPECT_EQ(Paths(notOld.rows).count("backup/old/a.jpg"), 0u);
    ExpectSafe(notOld);
}

TEST_F(MarkingTree, InvertProtectedAndRowsNotHere) {
    const RowMarking marking(model, model.RowCount());
    // From nothing: every group but E would be selected whole; each keeps its first row.
    RowMarking::Result all = marking.Invert({});
    EXPECT_EQ(all.heldBack, 4u);
    EXPECT_EQ(all.rows.size(), 6u);  // 11 rows, the protected one and five first rows stay
    ExpectSafe(all);
    EXPECT_FALSE(Paths(all.rows).count("keep/e.dat"));
    // Back again: the held-back first rows, never the protected one.
    RowMarking::Result back = marking.Invert(all.rows);
    EXPECT_EQ(back.rows.size(), 4u);
    for (std::size_t row : back.rows) EXPECT_TRUE(model.IsGroupFirst(row));
    EXPECT_FALSE(Paths(back.rows).count("keep/e.dat"));

    // A protected row chosen by hand: a marking leaves it, the unmarking takes it out.
    const std::vector<std::size_t> byHand = {RowOf("keep/e.dat"), RowOf("photos/a.jpg")};
    RowMarking::Result kept = marking.MarkMask(byHand, "*.png");
    EXPECT_TRUE(Paths(kept.rows).count("keep/e.dat"));
    ExpectSafe(kept, byHand);
    EXPECT_EQ(Paths(marking.UnmarkProtected(kept.rows).rows),
              (Set{"photos/a.jpg", Paths({model.GroupOfRow(RowOf("photos/b.png")).begin}) ==
                                           Set{"photos/b.png"}
                                       ? "backup/b.png"
                                       : "photos/b.png"}));

    // A reopened result whose backup copy of B changed: only one copy of B is here, so no
    // command selects it, and the changed one is never selected.
    const std::size_t b = model.GroupOf(RowOf("backup/b.png"));
    std::vector<RowStanding> standing(model.Group(b).Count(), kStandsHere);
    standing[RowOf("backup/b.png") - model.Group(b).begin] = kStandsChanged;
    model.SetGroupStanding(b, standing);
    const RowMarking reopened(model, model.RowCount());
    for (const RowMarking::Result& result :
         {reopened.Invert({}), reopened.AllButNewest(), reopened.AllButOldest(),
          reopened.MarkMask({}, "*.png"), reopened.MarkFolder({}, Folder("photos"), true)}) {
        EXPECT_FALSE(Paths(result.rows).count("backup/b.png"));
        EXPECT_FALSE(Paths(result.rows).count("photos/b.png"));
        ExpectSafe(result);
    }

    // A catalog's entry stands for C's copy elsewhere: every file of C here may be selected, as
    // select-all-duplicates does, and the entry itself never is.
    const std::size_t c = model.GroupOf(RowOf("other/c.txt"));
    std::vector<RowStanding> inCatalog(model.Group(c).Count(), kStandsHere);
    inCatalog[RowOf("other/c.txt") - model.Group(c).begin] = kStandsInCatalog;
    model.SetGroupStanding(c, inCatalog);
    const Set withCatalog = Paths(RowMarking(model, model.RowCount()).Invert({}).rows);
    EXPECT_TRUE(withCatalog.count("photos/c.txt"));
    EXPECT_FALSE(withCatalog.count("other/c.txt"));

    // Only the rows shown count: with the first two groups shown nothing after them is marked.
    const std::size_t shown = model.Group(1).end;
    for (std::size_t row : RowMarking(model, shown).Invert({}).rows) EXPECT_LT(row, shown);
}

// Groups for the sort: sizes, counts, times and paths that tie in places.
ResultsModel SortModel() {
    ResultsModel model;
    const struct {
        std::vector<std::string> paths;
        std::int64_t size;
        platform::FileTime newest;
    } groups[] = {
        {{"/b/1", "/b/2"}, 10, 500},
        {{"/a/1", "/a/2", "/a/3"}, 10, 700},
        {{"/C/1", "/C/2"}, 30, 500},
        {{"/d/1", "/d/2"}, 10, 100},
    };
    for (const auto& group : groups) {
        std::vector<std::unique_ptr<CFileRecord>> files;
        for (const std::string& path : group.paths) {
            files.push_back(Record(path, group.size));
            files.back()->m_ftWrittenUtc = group.newest - static_cast<platform::FileTime>(files.size());
        }
        model.AppendGroup(std::move(files));
    }
    model.SetKeptBy(model.Group(1).begin, kKeptOldest);
    return model;
}

// The groups as their first paths, " " between.
std::string Firsts(const ResultsModel& model) {
    std::string text;
    for (const RowGroup& group : model.Groups())
        text += (text.empty() ? "" : " ") + model.Row(group.begin).record->Path();
    return text;
}

TEST(GroupSort, WholeGroupsStableAndReversed) {
    const struct {
        SortKey key;
        bool descending;
        const char* order;
    } cases[] = {
        {SortKey::kSize, true, "/C/1 /b/1 /a/1 /d/1"},   // ties keep their order
        {SortKey::kSize, false, "/b/1 /a/1 /d/1 /C/1"},
        {SortKey::kCount, true, "/a/1 /b/1 /C/1 /d/1"},
        {SortKey::kFreed, true, "/C/1 /a/1 /b/1 /d/1"},
        {SortKey::kDate, true, "/a/1 /b/1 /C/1 /d/1"},
        {SortKey::kPath, false, "/a/1 /b/1 /C/1 /d/1"},  // letters without case
        {SortKey::kPath, true, "/d/1 /C/1 /b/1 /a/1"},
        {SortKey::kNone, false, "/b/1 /a/1 /C/1 /d/1"},
    };
    for (const auto& c : cases) {
        ResultsModel model = SortModel();
        const std::string before = AllRowsText(model, "\t", false);
        SortGroups(model, {c.key, c.descending});
        SCOPED_TRACE(SortSettingText({c.key, c.descending}));
        EXPECT_EQ(Firsts(model), c.order);
        // Every group whole, its rows in their order, its first row still the kept one.
        ASSERT_EQ(model.GroupCount(), 4u);
        for (const RowGroup& group : model.Groups()) {
            const std::string first = model.Row(group.begin).record->Path();
            EXPECT_TRUE(model.Row(group.begin).showsDetails);
            for (std::size_t row = group.begin; row < group.end; ++row) {
                EXPECT_EQ(model.Row(row).record->Path().substr(0, 3), first.substr(0, 3));
                EXPECT_EQ(model.Row(row).record->Path().back(), static_cast<char>('1' + row - group.begin));
            }
            EXPECT_EQ(model.Row(group.begin).keptBy, first == "/a/1" ? kKeptOldest : kKeptAsFound);
        }
        EXPECT_EQ(AllRowsText(model, "\t", false).size(), before.size());
        EXPECT_EQ(model.DuplicateCount(), 5);
    }
    // A heading clicked again turns the order over; another starts in its own direction.
    EXPECT_EQ(NextSort({}, SortKey::kPath), (GroupSort{SortKey::kPath, false}));
    EXPECT_EQ(NextSort({SortKey::kPath, false}, SortKey::kPath), (GroupSort{SortKey::kPath, true}));
    EXPECT_EQ(NextSort({SortKey::kPath, true}, SortKey::kSize), (GroupSort{SortKey::kSize, true}));
    // As the settings keep it.
    for (SortKey key : {SortKey::kPath, SortKey::kDate, SortKey::kSize, SortKey::kCount, SortKey::kFreed})
        for (bool down : {false, true})
            EXPECT_EQ(ParseSortSetting(SortSettingText({key, down})), (GroupSort{key, down}));
    EXPECT_EQ(ParseSortSetting("size sideways"), GroupSort());
    EXPECT_EQ(ParseSortSetting("colour asc"), GroupSort());
    EXPECT_EQ(SortSettingText(GroupSort()), "");
}

TEST(ShownGroups, MatchingGroupsFirstAndCountsAfterRemoval) {
    std::unique_ptr<ResultsModel> model =
        Groups({{"/photos/x.jpg", "/backup/x.jpg", "/photos/x2.jpg"},
                {"/docs/y.txt", "/backup/y.txt"},
                {"/Photos/z.jpg", "/old/z.jpg", "/old2/z.jpg"},
                {"/music/w.mp3", "/old/w.mp3"}});
    ShownGroups shown;
    shown.Remember(*model);
    shown.Apply(*model);
    EXPECT_EQ(shown.ShownGroupCount(), 4u);
    EXPECT_EQ(shown.ShownRowCount(), 10u);

    shown.SetText("  PHOTOS ");
    EXPECT_EQ(shown.Text(), "PHOTOS");
    shown.Apply(*model);
    EXPECT_EQ(Firsts(*model), "/photos/x.jpg /Photos/z.jpg /docs/y.txt /music/w.mp3");
    EXPECT_EQ(shown.ShownGroupCount(), 2u);
    EXPECT_EQ(shown.ShownRowCount(), 6u);
    // What select-all-duplicates and the markings take of it: the rows shown only.
    for (std::size_t row : RowMarking(*model, shown.ShownRowCount()).Invert({}).rows)
        EXPECT_LT(row, 6u);
    // The export of a filtered list: the groups shown, with their totals.
    std::unique_ptr<ResultsModel> copy = CopyOfFirstRows(*model, shown.ShownRowCount());
    EXPECT_EQ(copy->GroupCount(), 2u);
    EXPECT_EQ(copy->DuplicateCount(), 4);
    EXPECT_EQ(AllRowsText(*copy, "\t", false), RowsText(*model, {0, 1, 2, 3, 4, 5}, "\t", false));

    // A mask.
    shown.SetText("*.mp3");
    shown.Apply(*model);
    EXPECT_EQ(Firsts(*model), "/music/w.mp3 /photos/x.jpg /docs/y.txt /Photos/z.jpg");
    EXPECT_EQ(shown.ShownGroupCount(), 1u);

    // Rows go: x keeps a photo and stays shown, z loses its only one and is hidden.
    shown.SetText("photos");
    shown.Apply(*model);
    std::vector<std::size_t> gone;
    for (std::size_t row = 0; row < model->RowCount(); ++row)
        if (model->Row(row).record->Path() == "/photos/x.jpg" ||
            model->Row(row).record->Path() == "/Photos/z.jpg")
            gone.push_back(row);
    model->RemoveRows(gone);
    shown.Apply(*model);
    EXPECT_EQ(shown.ShownGroupCount(), 1u);
    EXPECT_EQ(shown.ShownRowCount(), 2u);
    EXPECT_EQ(model->Row(0).record->Path(), "/backup/x.jpg");
    // Without the filter the groups are back in the order they had.
    shown.SetText("");
    shown.Apply(*model);
    EXPECT_EQ(Firsts(*model), "/backup/x.jpg /docs/y.txt /old/z.jpg /music/w.mp3");
    EXPECT_EQ(shown.ShownRowCount(), model->RowCount());
}

}  // namespace
