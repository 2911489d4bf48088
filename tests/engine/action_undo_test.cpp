// Taking back a replacement by hard links, shared data or a move, on real files: a hard link gets
// a file of its own again only while its name holds the kept copy unchanged; a moved file goes
// back only while it is as it went, never over a file that took its old name; the rows follow.
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#ifndef _WIN32

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/actions/action_journal.h"
#include "engine/actions/action_undo.h"
#include "engine/search/duplicate_search.h"
#include "engine/text/string_table.h"
#include "engine/text/text_format.h"
#include "platform/error_text.h"
#include "support/file_attributes.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

ino_t InodeOf(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

std::size_t RowOf(const ResultsModel& model, const std::string& path) {
    for (std::size_t row = 0; row < model.RowCount(); ++row)
        if (model.Row(row).record->Path() == path) return row;
    return static_cast<std::size_t>(-1);
}

// Everything left in `folder` whose name says it is ours: a spare name never stays.
std::vector<std::string> SpareNames(const std::string& folder) {
    std::vector<std::string> out;
    for (const auto& entry : fs::directory_iterator(folder))
        if (entry.path().filename().string().find(".pairscout") != std::string::npos)
            out.push_back(entry.path().string());
    return out;
}

std::set<std::string> Paths(const std::vector<ActionStep>& steps) {
    std::set<std::string> out;
    for (const ActionStep& step : steps) out.insert(step.path);
    return out;
}

class UndoTree : public ::testing::Test {
protected:
    // Group a: keep/a, x/a, y/a; group b: keep/b, x/b. keep/ holds the copies that stay.
    void SetUp() override {
        dir.WriteFile("keep/a", std::string(5000, 'a'));
        dir.WriteFile("x/a", std::string(5000, 'a'));
        dir.WriteFile("y/a", std::string(5000, 'a'));
        dir.WriteFile("keep/b", std::string(3000, 'b'));
        dir.WriteFile("x/b", std::string(3000, 'b'));
        SearchOptions options;
        options.paths = {dir.Path()};
        KeepRule rule;
        rule.kind = kKeptFolder;
        rule.folders = {dir / "keep"};
        options.keep.rules.push_back(rule);
        ASSERT_EQ(DuplicateSearch(nullptr).Run(options, model), DuplicateSearch::kFinished);
        ASSERT_EQ(model.RowCount(), 5u);
    }
    // Runs `kind` on every duplicate and does to the rows what the window does.
    ActionOutcome Act(DuplicateActionKind kind) {
        DuplicateAction action(kind, nullptr);
        const std::string start = dir.Path().substr(0, dir.Path().size() - 1);
        action.SetMoveTarget(aside.Path(), {start});
        ActionOutcome out = action.Run(model, model.DuplicateRows());
        undo.Remember(kind, model, out, nullptr);
        std::vector<std::size_t> gone;
        for (const ActionStep& step : out.done) {
            if (kind == DuplicateActionKind::kMove) gone.push_back(step.row);
            else model.SetReplaced(step.row, kind == DuplicateActionKind::kHardLink ? kReplacedByLink
                                                                                    : kReplacedShared);
        }
        model.RemoveRows(gone);
        return out;
    }
    TempDir dir;
    TempDir aside;
    ResultsModel model;
    ActionUndo undo;
};

}  // namespace

TEST_F(UndoTree, HardLinksGetFilesOfTheirOwnAgain) {
    const ino_t keptA = InodeOf(dir / "keep/a");
    const ActionOutcome out = Act(DuplicateActionKind::kHardLink);
    ASSERT_EQ(out.done.size(), 3u);
    EXPECT_EQ(InodeOf(dir / "x/a"), keptA);
    EXPECT_EQ(model.CellText(RowOf(model, dir / "x/a"), kColumnKeepReason),
              LoadStringText(IDS_ROW_HARD_LINK));
    // Replaced rows are done with: "select all duplicates" passes them over.
    EXPECT_TRUE(model.DuplicateRows().empty());
    ASSERT_EQ(undo.Count(), 3u);

    const UndoOutcome back = undo.Restore(nullptr);
    EXPECT_EQ(back.restored.size(), 3u);
    EXPECT_TRUE(back.kept.empty()) << back.kept[0].first << ": " << back.kept[0].second;
    std::set<ino_t> inodes;
    for (const char* name : {"keep/a", "x/a", "y/a"}) {
        EXPECT_EQ(ReadWholeFile(dir / name), std::string(5000, 'a')) << name;
        inodes.insert(InodeOf(dir / name));
    }
    EXPECT_EQ(inodes.size(), 3u);  // three files again
    EXPECT_EQ(InodeOf(dir / "keep/a"), keptA);  // the kept copy is the one it was
    EXPECT_NE(InodeOf(dir / "x/b"), InodeOf(dir / "keep/b"));
    EXPECT_TRUE(SpareNames(dir / "x").empty());

    undo.PutBackRows(back, model, true, nullptr);
    EXPECT_TRUE(undo.Empty());
    EXPECT_EQ(model.RowCount(), 5u);
    EXPECT_EQ(model.DuplicateRows().size(), 3u);
    EXPECT_EQ(model.CellText(RowOf(model, dir / "x/a"), kColumnKeepReason), "");
}

TEST_F(UndoTree, AHardLinkStaysWhenTheKeptCopyChangedOrItsNameHoldsAnotherFile) {
    Act(DuplicateActionKind::kHardLink);
    // Group a: the kept copy (and so every name of it) is written to after the link.
    {
        std::ofstream(dir / "keep/a", std::ios::app) << "more";
    }
    // Group b: x/b is replaced by a file of its own of the same size and time.
    const auto time = fs::last_write_time(dir / "x/b");
    fs::remove(dir / "x/b");
    dir.WriteFile("x/b", std::string(3000, 'B'));
    fs::last_write_time(dir / "x/b", time);

    const UndoOutcome back = undo.Restore(nullptr);
    EXPECT_TRUE(back.restored.empty());
    std::set<std::pair<std::string, std::string>> kept(back.kept.begin(), back.kept.end());
    EXPECT_EQ(kept, (std::set<std::pair<std::string, std::string>>{
                        {dir / "x/a", LoadStringText(IDS_UNDO_COPY_CHANGED)},
                        {dir / "y/a", LoadStringText(IDS_UNDO_COPY_CHANGED)},
                        {dir / "x/b", LoadStringText(IDS_UNDO_LINK_REPLACED)}}));
    // Nothing was touched: the names of group a are still the kept copy, x/b the new file.
    EXPECT_EQ(InodeOf(dir / "x/a"), InodeOf(dir / "keep/a"));
    EXPECT_EQ(ReadWholeFile(dir / "x/b"), std::string(3000, 'B'));
    EXPECT_EQ(ReadWholeFile(dir / "keep/b"), std::string(3000, 'b'));
    undo.PutBackRows(back, model, true, nullptr);
    EXPECT_EQ(model.CellText(RowOf(model, dir / "y/a"), kColumnKeepReason),
              LoadStringText(IDS_ROW_HARD_LINK));
}

TEST_F(UndoTree, AHardLinkTakenBackIsTheDuplicateItWasInEveryDetail) {
    // x/a: private, another user's where root can make it so, an old time and an attribute of
    // its own, all unlike the kept copy; linked all the same (--link-any-owner).
    const std::string duplicate = dir / "x/a";
    ASSERT_EQ(chmod(duplicate.c_str(), 0600), 0);
    ASSERT_EQ(chmod((dir / "keep/a").c_str(), 0644), 0);
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown(duplicate.c_str(), 1000, 1000), 0);
    }
    ASSERT_TRUE(attributes::Set(duplicate, "user.note", "the duplicate's own"));
    const struct timespec times[2] = {{1300000000, 5}, {1200000000, 123456789}};
    ASSERT_EQ(utimensat(AT_FDCWD, duplicate.c_str(), times, 0), 0);
    struct stat kept;
    ASSERT_EQ(stat((dir / "keep/a").c_str(), &kept), 0);

    ResultsModel fresh;
    SearchOptions options;
    options.paths = {dir.Path()};
    KeepRule rule;
    rule.kind = kKeptFolder;
    rule.folders = {dir / "keep"};
    options.keep.rules.push_back(rule);
    ASSERT_EQ(DuplicateSearch(nullptr).Run(options, fresh), DuplicateSearch::kFinished);
    DuplicateAction link(DuplicateActionKind::kHardLink, nullptr);
    link.SetAnyOwner(true);
    const ActionOutcome out = link.Run(fresh, fresh.DuplicateRows());
    ASSERT_EQ(Paths(out.done).count(duplicate), 1u);
    ASSERT_EQ(InodeOf(duplicate), kept.st_ino);
    ActionUndo linked;
    linked.Remember(DuplicateActionKind::kHardLink, fresh, out, nullptr);
    // Taken back by another undo that has only the saved lines, as after a restart; those
    // lines damaged or cut are refused.
    const std::vector<std::string> lines = linked.Save();
    ASSERT_EQ(lines.size(), 1 + out.done.size());
    ActionUndo damaged;
    for (std::size_t n = 0; n < lines.size(); ++n)
        EXPECT_FALSE(damaged.Load({lines.begin(), lines.begin() + static_cast<long>(n)})) << n;
    std::vector<std::string> bad = lines;
    bad[1] = bad[1].substr(0, bad[1].rfind(' ')) + " not-metadata";
    EXPECT_FALSE(damaged.Load(bad));
    bad[1] = lines[1].substr(0, lines[1].rfind(' '));
    EXPECT_FALSE(damaged.Load(bad));
    bad = lines;
    bad[0] = "A 1 4 " + NumberField(out.done.size()) + " 0";  // a move without its files
    EXPECT_FALSE(damaged.Load(bad));
    bad[0] = "A 1 0 " + NumberField(out.done.size()) + " 0";  // not an action taken back
    EXPECT_FALSE(damaged.Load(bad));
    EXPECT_TRUE(damaged.Empty());
    ActionUndo loaded;
    ASSERT_TRUE(loaded.Load(lines));
    EXPECT_EQ(loaded.Kind(), DuplicateActionKind::kHardLink);
    EXPECT_EQ(loaded.Save(), lines);
    linked.Clear();
    const UndoOutcome back = loaded.Restore(nullptr);
    ASSERT_TRUE(back.kept.empty()) << back.kept[0].first << ": " << back.kept[0].second;

    struct stat st;
    ASSERT_EQ(stat(duplicate.c_str(), &st), 0);
    EXPECT_NE(st.st_ino, kept.st_ino);
    EXPECT_EQ(ReadWholeFile(duplicate), std::string(5000, 'a'));
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_EQ(st.st_uid, root ? 1000u : geteuid());
    EXPECT_EQ(st.st_gid, root ? 1000u : getegid());
    EXPECT_EQ(st.st_mtim.tv_sec, 1200000000);
    EXPECT_EQ(st.st_mtim.tv_nsec, 123456789);
    EXPECT_EQ(attributes::Get(duplicate, "user.note"), "the duplicate's own");
    // The kept copy is as it was.
    struct stat now;
    ASSERT_EQ(stat((dir / "keep/a").c_str(), &now), 0);
    EXPECT_EQ(now.st_mode & 07777, 0644u);
    EXPECT_EQ(now.st_uid, kept.st_uid);
    EXPECT_EQ(now.st_mtim.tv_sec, kept.st_mtim.tv_sec);
    EXPECT_EQ(attributes::Get(dir / "keep/a", "user.note"), "<none>");
    EXPECT_TRUE(SpareNames(dir / "x").empty());
}

TEST_F(UndoTree, SharedDataNeedsOnlyItsRowBack) {
    // Shared blocks need a file system that has them (link_filesystems_test); the way back
    // touches no file, so a step as the action records it is enough here.
    ActionOutcome out;
    const std::size_t row = RowOf(model, dir / "x/a");
    out.done.push_back({DuplicateActionKind::kShareData, row, dir / "x/a", dir / "keep/a",
                        std::string(), 5000, {}, false, {}, {}});
    model.SetReplaced(row, kReplacedShared);
    EXPECT_EQ(model.CellText(row, kColumnKeepReason), LoadStringText(IDS_ROW_SHARED));
    undo.Remember(DuplicateActionKind::kShareData, model, out, nullptr);
    const ino_t before = InodeOf(dir / "x/a");
    const UndoOutcome back = undo.Restore(nullptr);
    EXPECT_EQ(back.restored, (std::vector<std::size_t>{0}));
    EXPECT_EQ(InodeOf(dir / "x/a"), before);
    undo.PutBackRows(back, model, true, nullptr);
    EXPECT_EQ(model.Row(row).replaced, kNotReplaced);
}

TEST_F(UndoTree, AMoveGoesBackButNeverOverAFileThatTookItsName) {
    const ActionOutcome out = Act(DuplicateActionKind::kMove);
    ASSERT_EQ(out.done.size(), 3u);
    EXPECT_EQ(model.RowCount(), 0u);  // each group is left with its kept copy alone
    std::string movedXa, movedYa, movedXb;
    for (const ActionStep& step : out.done) {
        if (step.path == dir / "x/a") movedXa = step.target;
        if (step.path == dir / "y/a") movedYa = step.target;
        if (step.path == dir / "x/b") movedXb = step.target;
    }
    // x/b's old name is taken; y/a is changed where it went.
    dir.WriteFile("x/b", "newcomer");
    {
        std::ofstream(movedYa, std::ios::app) << "more";
    }

    // Taken back from its saved lines by an undo of its own, as after a restart.
    ActionUndo saved;
    ASSERT_TRUE(saved.Load(undo.Save()));
    EXPECT_EQ(saved.Kind(), DuplicateActionKind::kMove);
    EXPECT_EQ(saved.Count(), 3u);
    std::vector<std::string> cut = undo.Save();
    cut.pop_back();
    EXPECT_FALSE(ActionUndo().Load(cut));
    undo.Clear();
    const UndoOutcome back = saved.Restore(nullptr);
    ASSERT_EQ(back.restored.size(), 1u);
    std::set<std::pair<std::string, std::string>> kept(back.kept.begin(), back.kept.end());
    EXPECT_EQ(kept, (std::set<std::pair<std::string, std::string>>{
                        {dir / "y/a", LoadStringText(IDS_UNDO_MOVED_CHANGED)},
                        {dir / "x/b", LoadStringText(IDS_UNDO_NAME_TAKEN)}}));
    EXPECT_EQ(ReadWholeFile(dir / "x/a"), std::string(5000, 'a'));
    EXPECT_FALSE(fs::exists(movedXa));
    EXPECT_EQ(ReadWholeFile(dir / "x/b"), "newcomer");
    EXPECT_EQ(ReadWholeFile(movedXb), std::string(3000, 'b'));
    EXPECT_FALSE(fs::exists(dir / "y/a"));

    // Group a comes back with its kept copy and the file that came back.
    saved.PutBackRows(back, model, true, nullptr);
    ASSERT_EQ(model.RowCount(), 2u);
    EXPECT_EQ(model.Row(0).record->Path(), dir / "keep/a");
    EXPECT_EQ(model.Row(1).record->Path(), dir / "x/a");
}

TEST_F(UndoTree, AMovedFileThatIsGoneOrAnotherFileIsNotTakenBack) {
    const ActionOutcome out = Act(DuplicateActionKind::kMove);
    ASSERT_EQ(out.done.size(), 3u);
    for (const ActionStep& step : out.done) {
        if (step.path == dir / "x/a") fs::remove(step.target);
        if (step.path == dir / "y/a") {
            // Other bytes of the same size and time in the same file (as a new file that got
            // the freed inode would be): only its change time tells.
            const auto time = fs::last_write_time(step.target);
            std::ofstream(step.target, std::ios::in | std::ios::out) << std::string(5000, 'z');
            fs::last_write_time(step.target, time);
        }
    }
    const UndoOutcome back = undo.Restore(nullptr);
    std::set<std::pair<std::string, std::string>> kept(back.kept.begin(), back.kept.end());
    EXPECT_EQ(kept, (std::set<std::pair<std::string, std::string>>{
                        {dir / "x/a", LoadStringText(IDS_UNDO_MOVED_GONE)},
                        {dir / "y/a", LoadStringText(IDS_UNDO_MOVED_CHANGED)}}));
    EXPECT_FALSE(fs::exists(dir / "y/a"));
    EXPECT_EQ(ReadWholeFile(dir / "x/b"), std::string(3000, 'b'));
}

TEST(ReplaceByCopy, TheEntryMustStillBeTheHeldFile) {
    TempDir dir;
    dir.WriteFile("f", "held bytes");
    platform::HeldFile file;
    ASSERT_EQ(file.Open(dir / "f", platform::HeldFile::kGoes), 0);
    // Another file takes the name while the first is held: it is never replaced.
    fs::rename(dir / "f", dir / "old");
    dir.WriteFile("f", "someone else's");
    EXPECT_EQ(file.ReplaceByCopy(), platform::kErrorReplaced);
    EXPECT_EQ(ReadWholeFile(dir / "f"), "someone else's");
    EXPECT_TRUE(SpareNames(dir.Path()).empty());

    // Held and still in place: a file of its own with the same bytes, mode and time.
    dir.WriteFile("g", "own bytes");
    fs::permissions(dir / "g", fs::perms::owner_read | fs::perms::group_read);
    fs::create_hard_link(dir / "g", dir / "h");
    const auto time = fs::last_write_time(dir / "g");
    platform::HeldFile link;
    ASSERT_EQ(link.Open(dir / "h", platform::HeldFile::kGoes), 0);
    EXPECT_EQ(link.ReplaceByCopy(), 0);
    EXPECT_NE(InodeOf(dir / "h"), InodeOf(dir / "g"));
    EXPECT_EQ(ReadWholeFile(dir / "h"), "own bytes");
    EXPECT_EQ(fs::status(dir / "h").permissions(), fs::perms::owner_read | fs::perms::group_read);
    EXPECT_EQ(fs::last_write_time(dir / "h"), time);
    EXPECT_EQ(fs::hard_link_count(dir / "g"), 1u);
}

TEST(ActionLeftMessage, NamesEachFileAndHowManyMore) {
    EXPECT_EQ(ActionLeftMessage({}), "");
    const std::string text = ActionLeftMessage({{"/a", "why a"}, {"/b", "why b"}, {"/c", "why c"}}, 2);
    EXPECT_NE(text.find("/a: why a"), std::string::npos);
    EXPECT_NE(text.find("/b: why b"), std::string::npos);
    EXPECT_EQ(text.find("/c"), std::string::npos);
    EXPECT_EQ(text.find(FormatActionRefused(3)), 0u);
    EXPECT_NE(text.find(FormatActionLeftMore(1)), std::string::npos);
}

#endif  // _WIN32
