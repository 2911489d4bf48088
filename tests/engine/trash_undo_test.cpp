// Undo of a move to the trash on real files in a private trash: the files go back with their
// rows; a file changed in the trash, a name taken meanwhile and an emptied trash are refused
// and named. Also what a selection would free, and the rules applied anew to listed groups.
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/search/duplicate_search.h"
#include "engine/results/found_order.h"
#include "engine/actions/safe_delete.h"
#include "engine/actions/selection_total.h"
#include "engine/actions/trash_undo.h"
#include "support/platform_rules.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

ResultsModel Search(const std::string& folder, const KeepPolicy& keep = KeepPolicy()) {
    SearchOptions options;
    options.paths = {folder};
    options.keep = keep;
    ResultsModel model;
    EXPECT_EQ(DuplicateSearch(nullptr).Run(options, model), DuplicateSearch::kFinished);
    return model;
}

std::size_t RowOf(const ResultsModel& model, const std::string& path) {
    for (std::size_t row = 0; row < model.RowCount(); ++row)
        if (model.Row(row).record->Path() == path) return row;
    return static_cast<std::size_t>(-1);
}

std::vector<std::string> Paths(const ResultsModel& model) {
    std::vector<std::string> paths;
    for (std::size_t row = 0; row < model.RowCount(); ++row)
        paths.push_back(model.Row(row).record->Path());
    return paths;
}

void SetAge(const std::string& path, int hours) {
    fs::last_write_time(fs::u8path(path),
                        fs::file_time_type::clock::now() - std::chrono::hours(hours));
}

KeepPolicy Rules(std::vector<KeepReason> kinds, GroupOrder order = GroupOrder::kAsFound) {
    KeepPolicy policy;
    for (KeepReason kind : kinds) {
        KeepRule rule;
        rule.kind = kind;
        policy.rules.push_back(rule);
    }
    policy.order = order;
    return policy;
}

#ifndef _WIN32

// Groups: a/keep, a/d1, a/d2 (4000 bytes) and b/keep, b/d (3000 bytes), oldest first.
class TrashUndoTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"a/keep", "a/d1", "a/d2"}) dir.WriteFile(name, std::string(4000, 'a'));
        for (const char* name : {"b/keep", "b/d"}) dir.WriteFile(name, std::string(3000, 'b'));
        SetAge(dir / "a/keep", 30);
        SetAge(dir / "a/d1", 20);
        SetAge(dir / "a/d2", 10);
        SetAge(dir / "b/keep", 30);
        SetAge(dir / "b/d", 10);
        model = Search(dir.Path(), Rules({kKeptOldest}));
        ASSERT_EQ(model.RowCount(), 5u);
        found.Remember(model);
    }

    // Moves the files of `names` to the trash and removes their rows, remembering the move.
    void Trash(const std::vector<std::string>& names) {
        std::vector<std::size_t> rows;
        for (const std::string& name : names) rows.push_back(RowOf(model, dir / name));
        const DeleteOutcome out = SafeDelete(nullptr, true).Run(model, rows);
        ASSERT_EQ(out.goneRows.size(), names.size());
        ASSERT_EQ(out.trashed.size(), names.size());
        undo.Remember(model, out, &found);
        model.RemoveRows(out.goneRows);
    }

    TempDir dir, home;
    ScopedEnvVar data{"XDG_DATA_HOME", home.Path().c_str()};
    ResultsModel model;
    FoundOrder found;
    TrashUndo undo;
};

TEST_F(TrashUndoTest, MovedFilesComeBackWithTheirRowsInTheirGroups) {
    // d1 leaves its group of three with two rows; b/d leaves its group with one, so that group
    // goes from the list.
    Trash({"a/d1", "b/d"});
    ASSERT_EQ(Paths(model), (std::vector<std::string>{dir / "a/keep", dir / "a/d2"}));
    EXPECT_FALSE(fs::exists(dir / "a/d1"));
    EXPECT_TRUE(fs::exists(home / "Trash/info/d1.trashinfo"));
    EXPECT_EQ(undo.Count(), 2u);

    const UndoOutcome out = undo.Restore(nullptr);
    EXPECT_EQ(out.restored, (std::vector<std::size_t>{0, 1}));
    EXPECT_TRUE(out.kept.empty());
    EXPECT_EQ(ReadWholeFile(dir / "a/d1"), std::string(4000, 'a'));
    EXPECT_EQ(ReadWholeFile(dir / "b/d"), std::string(3000, 'b'));
    EXPECT_FALSE(fs::exists(home / "Trash/files/d1"));
    EXPECT_FALSE(fs::exists(home / "Trash/info/d1.trashinfo"));
    EXPECT_FALSE(fs::exists(home / "Trash/info/d.trashinfo"));

    undo.PutBackRows(out, model, true, &found);
    EXPECT_TRUE(undo.Empty());
    found.Reapply(Rules({kKeptOldest}), model);
    EXPECT_EQ(Paths(model), (std::vector<std::string>{dir / "a/keep", dir / "a/d1", dir / "a/d2",
                                                      dir / "b/keep", dir / "b/d"}));
    EXPECT_EQ(model.DuplicateCount(), 3);
    EXPECT_EQ(model.DuplicateBytes(), 2 * 4000 + 3000);
    EXPECT_EQ(model.Row(0).keptBy, kKeptOldest);
    EXPECT_EQ(model.Row(2).image, kImageGroupLast);
    EXPECT_TRUE(model.Row(3).showsDetails);

    // The restored rows are the files again: they can be deleted once more.
    const DeleteOutcome again = SafeDelete(nullptr, false).Run(model, {RowOf(model, dir / "a/d1")});
    EXPECT_EQ(again.goneRows.size(), 1u);
    EXPECT_TRUE(again.kept.empty());
}

// What the undo saves outlives it: loaded into another, it takes the files back and its rows
// join the groups still listed, as the rows they were. Damaged or cut lines are refused.
TEST_F(TrashUndoTest, SavedAndLoadedAnewItStillTakesTheFilesBack) {
    const CFileRecord before = *model.Row(RowOf(model, dir / "a/d1")).record;
    Trash({"a/d1", "b/d"});
    const std::vector<std::string> lines = undo.Save();
    ASSERT_FALSE(lines.empty());
    for (const std::string& line : lines)
        for (unsigned char c : line) ASSERT_TRUE(c >= 0x20 && c < 0x7f) << line;

    TrashUndo damaged;
    // Every cut, every line left out.
    for (std::size_t n = 0; n < lines.size(); ++n) {
        EXPECT_FALSE(damaged.Load({lines.begin(), lines.begin() + static_cast<long>(n)})) << n;
        std::vector<std::string> without = lines;
        without.erase(without.begin() + static_cast<long>(n));
        EXPECT_FALSE(damaged.Load(without)) << n;
        EXPECT_TRUE(damaged.Empty());
    }
    // A field cut short, a count or a group out of range, a bad escape, a line added.
    std::vector<std::string> bad = lines;
    bad[0] = bad[0].substr(0, bad[0].rfind(' '));
    EXPECT_FALSE(damaged.Load(bad));
    bad = lines;
    bad[0] = "T 1 0 2 99999999999999999999";
    EXPECT_FALSE(damaged.Load(bad));
    for (std::size_t n = 0; n < lines.size(); ++n) {
        if (lines[n].compare(0, 2, "F ") != 0) continue;
        bad = lines;
        bad[n] = "F 2" + lines[n].substr(3);
        EXPECT_FALSE(damaged.Load(bad));
        bad[n] = "F 0 %zz" + lines[n].substr(lines[n].find(' ', 4));
        EXPECT_FALSE(damaged.Load(bad));
    }
    bad = lines;
    bad.push_back(lines.back());
    EXPECT_FALSE(damaged.Load(bad));
    EXPECT_FALSE(damaged.Load({}));
    EXPECT_FALSE(damaged.Load({"", "T"}));
    EXPECT_TRUE(damaged.Empty());

    // A fresh undo (as after a restart) with the saved lines: the same move, line for line.
    TrashUndo loaded;
    ASSERT_TRUE(loaded.Load(lines));
    EXPECT_EQ(loaded.Count(), 2u);
    EXPECT_EQ(loaded.Save(), lines);
    undo.Clear();
    const UndoOutcome out = loaded.Restore(nullptr);
    EXPECT_EQ(out.restored, (std::vector<std::size_t>{0, 1}));
    EXPECT_EQ(ReadWholeFile(dir / "a/d1"), std::string(4000, 'a'));
    EXPECT_EQ(ReadWholeFile(dir / "b/d"), std::string(3000, 'b'));
    EXPECT_FALSE(fs::exists(home / "Trash/info/d1.trashinfo"));

    // Not the rows of the move's search: d1 joins its group still listed; b's group, gone
    // from the list, does not come back.
    loaded.PutBackRows(out, model, false, &found);
    EXPECT_TRUE(loaded.Empty());
    found.Reapply(Rules({kKeptOldest}), model);
    ASSERT_EQ(Paths(model), (std::vector<std::string>{dir / "a/keep", dir / "a/d1", dir / "a/d2"}));
    const CFileRecord& back = *model.Row(1).record;
    EXPECT_EQ(back.Folder(), before.Folder());
    EXPECT_EQ(back.Name(), "d1");
    EXPECT_EQ(back.m_nSize, 4000);
    EXPECT_EQ(back.m_ftWritten, before.m_ftWritten);
    EXPECT_EQ(back.m_ftCreated, before.m_ftCreated);
    EXPECT_EQ(back.m_ftAccessed, before.m_ftAccessed);
    EXPECT_EQ(back.m_ftWrittenUtc, before.m_ftWrittenUtc);
    EXPECT_EQ(back.FingerprintKey(), before.FingerprintKey());
    EXPECT_NE(back.FingerprintKey(), 0u);
    EXPECT_EQ(back.m_dwAttributes, before.m_dwAttributes);
    EXPECT_TRUE(back.SameIdentity(before));
    EXPECT_EQ(back.DetailsKnown(), before.DetailsKnown());
    EXPECT_FALSE(back.IsUnreadable());
    // The row is the file as scanned: its check before a delete passes.
    const DeleteOutcome again = SafeDelete(nullptr, false).Run(model, {1});
    EXPECT_EQ(again.goneRows.size(), 1u);
    EXPECT_TRUE(again.kept.empty());
    EXPECT_FALSE(fs::exists(dir / "a/d1"));
}

TEST_F(TrashUndoTest, FilesChangedTakenOrGoneStayAndAreNamed) {
    Trash({"a/d1", "a/d2", "b/d"});
    // a/d1 is changed in the trash, a/d2's name is taken, b/d's trash is emptied.
    { std::ofstream(home / "Trash/files/d1", std::ios::app) << "edited"; }
    dir.WriteFile("a/d2", "a new file under the old name");
    fs::remove(home / "Trash/files/d");
    fs::remove(home / "Trash/info/d.trashinfo");

    const UndoOutcome out = undo.Restore(nullptr);
    EXPECT_TRUE(out.restored.empty());
    ASSERT_EQ(out.kept.size(), 3u);
    EXPECT_EQ(out.kept[0], std::make_pair(dir / "a/d1", std::string("文件在回收站中已改变")));
    EXPECT_EQ(out.kept[1], std::make_pair(dir / "a/d2", std::string("原位置已有同名的文件")));
    EXPECT_EQ(out.kept[2], std::make_pair(dir / "b/d", std::string("回收站中已没有此文件")));
    EXPECT_FALSE(fs::exists(dir / "a/d1"));
    EXPECT_TRUE(fs::exists(home / "Trash/files/d1"));
    EXPECT_EQ(ReadWholeFile(dir / "a/d2"), "a new file under the old name");
    EXPECT_TRUE(fs::exists(home / "Trash/files/d2"));

    const std::string message = UndoKeptMessage(out.kept, 2);
    EXPECT_EQ(message, "以下文件没有恢复:\n\n" + dir / "a/d1" + ": 文件在回收站中已改变\n" +
                           dir / "a/d2" + ": 原位置已有同名的文件\n还有 1 个文件没有恢复");

    // Nothing came back: the rows stay as they were.
    undo.PutBackRows(out, model, true, &found);
    EXPECT_EQ(model.RowCount(), 0u);
}

TEST_F(TrashUndoTest, ATrashRecordNamingAnotherPathOrAFileChangedInTheTrashIsRefused) {
    Trash({"a/d1", "a/d2", "b/d"});
    std::ofstream(home / "Trash/info/d1.trashinfo") << "[Trash Info]\nPath=/elsewhere/d1\n";
    // d2 keeps its size and takes a new time; d takes another size and its time back.
    { std::ofstream(home / "Trash/files/d2", std::ios::in | std::ios::out) << 'z'; }
    const auto time = fs::last_write_time(home / "Trash/files/d");
    fs::resize_file(home / "Trash/files/d", 2999);
    fs::last_write_time(home / "Trash/files/d", time);
    const UndoOutcome out = undo.Restore(nullptr);
    ASSERT_EQ(out.kept.size(), 3u);
    for (const auto& kept : out.kept) EXPECT_EQ(kept.second, "文件在回收站中已改变") << kept.first;
    EXPECT_FALSE(fs::exists(dir / "a/d1") || fs::exists(dir / "a/d2") || fs::exists(dir / "b/d"));
}

#endif  // _WIN32

TEST(SelectionTotalTest, CountsWhatTheDeleteWouldRemove) {
    TempDir dir;
    for (const char* name : {"a/1", "a/2", "a/3"}) dir.WriteFile(name, std::string(4000, 'a'));
    for (const char* name : {"b/1", "b/2"}) dir.WriteFile(name, std::string(1000, 'b'));
    KeepPolicy keep;
    keep.protectedFolders = {dir / Native("b")};
    ResultsModel model = Search(dir.Path(), keep);
    ASSERT_EQ(model.RowCount(), 5u);
    ASSERT_LT(RowOf(model, dir / Native("a/1")), 3u);

    // Two of three: both go. Repeats and rows out of range are ignored.
    SelectionTotal total = TotalOfSelection(model, {1, 2, 2, 99});
    EXPECT_EQ(total.selected, 2);
    EXPECT_EQ(total.goes, 2);
    EXPECT_EQ(total.bytes, 8000);
    // The whole group: its last copy stays. Protected files never go.
    total = TotalOfSelection(model, {4, 3, 2, 1, 0});
    EXPECT_EQ(total.selected, 5);
    EXPECT_EQ(total.goes, 2);
    EXPECT_EQ(total.bytes, 8000);
    EXPECT_EQ(SelectionFreesText(total),
              "已选择 5 个文件, 可释放 " + FormatSizeText(8000.0));
    EXPECT_EQ(SelectionFreesText(TotalOfSelection(model, {})),
              "已选择 0 个文件, 可释放 " + FormatSizeText(0.0));
}

TEST(FoundOrderTest, RulesAppliedAnewToListedGroupsWithoutASearch) {
    TempDir dir;
    dir.WriteFile("old/f", "same bytes");
    dir.WriteFile("new/f (1)", "same bytes");
    dir.WriteFile("mid/f", "same bytes");
    dir.WriteFile("big/1", std::string(5000, 'x'));
    dir.WriteFile("big/2", std::string(5000, 'x'));
    SetAge(dir / Native("old/f"), 30);
    SetAge(dir / Native("mid/f"), 20);
    SetAge(dir / Native("new/f (1)"), 10);
    const ResultsModel asFound = Search(dir.Path());
    ResultsModel model = Search(dir.Path());
    FoundOrder found;
    found.Remember(model);

    found.Reapply(Rules({kKeptNewest}, GroupOrder::kFreedBytes), model);
    EXPECT_EQ(model.Row(0).record->m_nSize, 5000);  // 5000 bytes freed before 20
    EXPECT_EQ(model.Row(2).record->Path(), dir / Native("new/f (1)"));
    EXPECT_EQ(model.Row(2).keptBy, kKeptNewest);

    // Copy marks first, then the oldest: the tie on marks falls to the next rule.
    found.Reapply(Rules({kKeptNoCopyMark, kKeptOldest}, GroupOrder::kFreedBytes), model);
    EXPECT_EQ(model.Row(2).record->Path(), dir / Native("old/f"));
    EXPECT_EQ(model.Row(2).keptBy, kKeptOldest);
    EXPECT_EQ(model.Row(4).record->Path(), dir / Native("new/f (1)"));

    // A protected folder marks its file; dropping it again clears the mark.
    KeepPolicy keep = Rules({kKeptOldest});
    keep.protectedFolders = {dir / Native("new")};
    found.Reapply(keep, model);
    const std::size_t marked = RowOf(model, dir / Native("new/f (1)"));
    EXPECT_TRUE(model.Row(marked).isProtected);
    EXPECT_EQ(model.Row(marked).keptBy, kKeptProtected);

    // No rules: the order the search found.
    found.Reapply(KeepPolicy(), model);
    EXPECT_EQ(Paths(model), Paths(asFound));
    for (std::size_t row = 0; row < model.RowCount(); ++row) {
        EXPECT_FALSE(model.Row(row).isProtected);
        EXPECT_EQ(model.Row(row).keptBy, kKeptAsFound);
    }
    EXPECT_EQ(model.DuplicateBytes(), asFound.DuplicateBytes());
}

}  // namespace
