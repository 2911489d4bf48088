// The actions on duplicates on real files: trash, delete, hard link, shared data and move do
// exactly the non-kept copies, never a file in a protected folder, never a file changed after
// its check, never over an existing file; a hard-link replacement never leaves its path
// missing.
#include <atomic>
#include <filesystem>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

// POSIX: the paths are written with "/", the trash is the freedesktop one, and the checks of
// links and permissions are POSIX calls. (The Windows side is cross-built, not run here.)
#ifndef _WIN32

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/actions/action_undo.h"
#include "engine/actions/duplicate_action.h"
#include "engine/search/duplicate_search.h"
#include "engine/search/file_check.h"
#include "engine/text/string_table.h"
#include "support/file_attributes.h"
#include "support/another_program.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// The groups of `root` with the copy under `keepFirst` kept and `protect` protected.
void Search(const std::string& root, ResultsModel& model, const std::string& keepFirst = "",
            const std::string& protect = "") {
    SearchOptions options;
    options.paths = {root};
    if (!keepFirst.empty()) {
        KeepRule rule;
        rule.kind = kKeptFolder;
        rule.folders = {keepFirst};
        options.keep.rules.push_back(rule);
    }
    if (!protect.empty()) options.keep.protectedFolders = {protect};
    DuplicateSearch search(nullptr);
    ASSERT_EQ(search.Run(options, model), DuplicateSearch::kFinished);
}

std::set<std::string> Paths(const std::vector<ActionStep>& steps) {
    std::set<std::string> out;
    for (const ActionStep& step : steps) out.insert(step.path);
    return out;
}

class ActionTree : public ::testing::Test {
protected:
    // Group a: prot/a (protected), keep/a, x/a; group b: keep/b, x/b, y/b.
    void SetUp() override {
        dir.WriteFile("prot/a", std::string(5000, 'a'));
        dir.WriteFile("keep/a", std::string(5000, 'a'));
        dir.WriteFile("x/a", std::string(5000, 'a'));
        dir.WriteFile("keep/b", std::string(3000, 'b'));
        dir.WriteFile("x/b", std::string(3000, 'b'));
        dir.WriteFile("y/b", std::string(3000, 'b'));
        dir.WriteFile("lone", std::string(3000, 'c'));
        Search(dir.Path(), model, dir / "keep", dir / "prot");
        ASSERT_EQ(model.RowCount(), 6u);
    }
    std::set<std::string> NonKept() const {
        return {dir / "keep/a", dir / "x/a", dir / "x/b", dir / "y/b"};
    }
    void ExpectOnlyKeptLeft() const {
        for (const std::string& gone : NonKept()) EXPECT_FALSE(fs::exists(gone)) << gone;
        EXPECT_EQ(ReadWholeFile(dir / "prot/a"), std::string(5000, 'a'));
        EXPECT_EQ(ReadWholeFile(dir / "keep/b"), std::string(3000, 'b'));
        EXPECT_TRUE(fs::exists(dir / "lone"));
    }
    TempDir dir;
    ResultsModel model;
};

}  // namespace

TEST_F(ActionTree, TrashRemovesExactlyTheNonKeptCopies) {
    TempDir home;
    ScopedEnvVar data("XDG_DATA_HOME", home.Path().c_str());
    {
        DuplicateAction trash(DuplicateActionKind::kTrash, nullptr);
        trash.SetProtectedFolders({dir / "prot"});
        const ActionOutcome out = trash.Run(model, model.DuplicateRows());
        EXPECT_EQ(Paths(out.done), NonKept());
        EXPECT_TRUE(out.refused.empty()) << out.refused[0].first << ": " << out.refused[0].second;
        ExpectOnlyKeptLeft();
        // Each step says where its file went, for taking it back.
        for (const ActionStep& step : out.done)
            EXPECT_EQ(ReadWholeFile(step.target), step.path.back() == 'a' ? std::string(5000, 'a')
                                                                          : std::string(3000, 'b'))
                << step.path << " -> " << step.target;
        EXPECT_EQ(ReadWholeFile(home / "Trash/files/b"), std::string(3000, 'b'));
    }
}

TEST_F(ActionTree, DeleteNeverTouchesAProtectedFileEvenWhenChosen) {
    ResultsModel plain;  // searched without the protected folder, given to the action alone
    Search(dir.Path(), plain, dir / "keep");
    std::size_t prot = 0;
    while (plain.Row(prot).record->Path() != dir / "prot/a") ++prot;
    DuplicateAction guarded(DuplicateActionKind::kDelete, nullptr);
    guarded.SetProtectedFolders({dir / "prot"});
    EXPECT_TRUE(guarded.Run(plain, {prot}).done.empty());
    EXPECT_TRUE(fs::exists(dir / "prot/a"));

    DuplicateAction remove(DuplicateActionKind::kDelete, nullptr);
    remove.SetProtectedFolders({dir / "prot"});
    std::vector<std::size_t> all;
    for (std::size_t row = 0; row < model.RowCount(); ++row) all.push_back(row);
    const ActionOutcome out = remove.Run(model, all);
    EXPECT_EQ(Paths(out.done), NonKept());
    // The protected copy is named with its reason; the last copy of group b stays as well.
    std::set<std::string> refused;
    for (const auto& entry : out.refused) refused.insert(entry.first);
    EXPECT_EQ(refused, (std::set<std::string>{dir / "prot/a", dir / "keep/b"}));
    for (const auto& entry : out.refused) {
        if (entry.first == dir / "prot/a") {
            EXPECT_EQ(entry.second, LoadStringText(IDS_DELETE_PROTECTED));
        }
    }
    ExpectOnlyKeptLeft();
    for (const ActionStep& step : out.done) EXPECT_EQ(step.bytes, step.path.back() == 'a' ? 5000 : 3000);
}

TEST_F(ActionTree, MoveKeepsRelativePathsAndNeverOverwrites) {
    TempDir aside;
    const std::string start = dir.Path().substr(0, dir.Path().size() - 1);
    const std::string name = fs::path(start).filename().string();
    const std::string into = aside / "taken";
    DuplicateAction move(DuplicateActionKind::kMove, nullptr);
    move.SetProtectedFolders({dir / "prot"});
    move.SetMoveTarget(into, {start});
    const ActionOutcome out = move.Run(model, model.DuplicateRows());
    EXPECT_EQ(Paths(out.done), NonKept());
    for (const ActionStep& step : out.done) {
        EXPECT_EQ(step.target, into + "/" + name + step.path.substr(start.size())) << step.path;
        EXPECT_TRUE(fs::exists(step.target));
    }

    // Again with the target taken: refused, named, and both files as they were.
    TempDir tree;
    tree.WriteFile("k/f", "twin bytes");
    tree.WriteFile("d/f", "twin bytes");
    ResultsModel twins;
    Search(tree.Path(), twins, tree / "k");
    const std::string treeStart = tree.Path().substr(0, tree.Path().size() - 1);
    const std::string target =
        aside / ("t2/" + fs::path(treeStart).filename().string() + "/d/f");
    aside.WriteFile(target.substr(aside.Path().size()), "occupied");
    DuplicateAction again(DuplicateActionKind::kMove, nullptr);
    again.SetMoveTarget(aside / "t2", {treeStart});
    const ActionOutcome refused = again.Run(twins, twins.DuplicateRows());
    EXPECT_TRUE(refused.done.empty());
    ASSERT_EQ(refused.refused.size(), 1u);
    EXPECT_EQ(refused.refused[0].first, tree / "d/f");
    EXPECT_NE(refused.refused[0].second.find(target), std::string::npos)
        << refused.refused[0].second;
    EXPECT_EQ(ReadWholeFile(target), "occupied");
    EXPECT_EQ(ReadWholeFile(tree / "d/f"), "twin bytes");
}

TEST(MoveTargetTest, ThePlaceBelowTheLongestStartPath) {
    EXPECT_EQ(MoveTarget("/m", {"/s", "/s/t/"}, "/s/t/u/f"), "/m/t/u/f");
    EXPECT_EQ(MoveTarget("/m/", {"/s"}, "/s/t/u/f"), "/m/s/t/u/f");
    EXPECT_EQ(MoveTarget("/m", {"/"}, "/s/f"), "/m/root/s/f");
    EXPECT_EQ(MoveTarget("/m", {"/s"}, "/st/f"), "") << "a start path holds by whole names";
}

TEST_F(ActionTree, HardLinksShareTheKeptFileUnlessPermissionsDiffer) {
    // y/b has other permission bits than the kept keep/b: left and named.
    ASSERT_EQ(chmod((dir / "y/b").c_str(), 0600), 0);
    ASSERT_EQ(chmod((dir / "keep/b").c_str(), 0644), 0);
    ASSERT_EQ(chmod((dir / "x/b").c_str(), 0644), 0);
    ResultsModel fresh;
    Search(dir.Path(), fresh, dir / "keep", dir / "prot");
    DuplicateAction link(DuplicateActionKind::kHardLink, nullptr);
    link.SetProtectedFolders({dir / "prot"});
    const ActionOutcome out = link.Run(fresh, fresh.DuplicateRows());
    EXPECT_EQ(Paths(out.done), (std::set<std::string>{dir / "keep/a", dir / "x/a", dir / "x/b"}));
    ASSERT_EQ(out.refused.size(), 1u);
    EXPECT_EQ(out.refused[0].first, dir / "y/b");
    EXPECT_EQ(out.refused[0].second, LoadStringText(IDS_ACTION_OWNER_DIFFERS));
    struct stat kept, linked, prot, left;
    ASSERT_EQ(stat((dir / "keep/b").c_str(), &kept), 0);
    ASSERT_EQ(stat((dir / "x/b").c_str(), &linked), 0);
    ASSERT_EQ(stat((dir / "prot/a").c_str(), &prot), 0);
    ASSERT_EQ(stat((dir / "y/b").c_str(), &left), 0);
    EXPECT_EQ(kept.st_ino, linked.st_ino);
    EXPECT_EQ(kept.st_nlink, 2u);
    EXPECT_EQ(prot.st_nlink, 3u) << "the protected copy is the one linked to, never replaced";
    EXPECT_NE(left.st_ino, kept.st_ino);
    // No temporary name is left behind in any folder.
    for (const auto& entry : fs::recursive_directory_iterator(dir.Path()))
        EXPECT_EQ(entry.path().string().find(".pairscout"), std::string::npos) << entry.path();

    // Its owner alone differs (root can give a file away): left as well.
    if (geteuid() == 0) {
        TempDir tree;
        tree.WriteFile("k/f", "owned");
        tree.WriteFile("d/f", "owned");
        ASSERT_EQ(chown((tree / "d/f").c_str(), 1, static_cast<gid_t>(-1)), 0);
        ResultsModel twins;
        Search(tree.Path(), twins, tree / "k");
        DuplicateAction owned(DuplicateActionKind::kHardLink, nullptr);
        EXPECT_TRUE(owned.Run(twins, twins.DuplicateRows()).done.empty());
    }

    // Allowed: it is replaced too.
    ResultsModel again;
    Search(dir.Path(), again, dir / "keep", dir / "prot");
    DuplicateAction anyOwner(DuplicateActionKind::kHardLink, nullptr);
    anyOwner.SetAnyOwner(true);
    const ActionOutcome second = anyOwner.Run(again, again.DuplicateRows());
    EXPECT_EQ(Paths(second.done), (std::set<std::string>{dir / "y/b"}));
    ASSERT_EQ(stat((dir / "y/b").c_str(), &left), 0);
    EXPECT_EQ(left.st_ino, kept.st_ino);
}

TEST_F(ActionTree, AFileChangedAfterItsCheckIsNeverReplaced) {
    // The comparison passes, then d/f is saved anew in place (0), saved in place with its time
    // put back (1: only its change time tells), or replaced by another file under its name (2).
    for (DuplicateActionKind kind : {DuplicateActionKind::kHardLink, DuplicateActionKind::kMove}) {
        for (int how = 0; how < 3; ++how) {
            TempDir tree, aside;
            tree.WriteFile("k/f", std::string(3000, 'f'));
            tree.WriteFile("d/f", std::string(3000, 'f'));
            ResultsModel twins;
            Search(tree.Path(), twins, tree / "k");
            DuplicateAction action(kind, nullptr);
            action.SetMoveTarget(aside.Path(), {tree.Path()});
            std::unique_ptr<AnotherProgram> editor;
            action.Parts().compare = ([&](const CFileRecord& a, platform::FileReader& ra,
                                           const CFileRecord& b, platform::FileReader& rb,
                                           const std::function<bool()>& stop, std::string* why) {
                const ContentMatch match = CompareOpenFiles(a, ra, b, rb, stop, why);
                editor = std::make_unique<AnotherProgram>([&] {
                    const auto time = fs::last_write_time(tree / "d/f");
                    std::this_thread::sleep_for(std::chrono::milliseconds(20));  // a later time
                    tree.WriteFile(how == 2 ? "new" : "d/f", std::string(2999, 'f') + "!");
                    if (how == 2) fs::rename(tree / "new", tree / "d/f");
                    if (how == 1) fs::last_write_time(tree / "d/f", time);
                });
                return match;
            });
            const ActionOutcome out = action.Run(twins, twins.DuplicateRows());
            // An editor that opened the file to save it waited until the action let go.
            editor->Wait();
            EXPECT_TRUE(out.done.empty()) << how;
            ASSERT_EQ(out.refused.size(), 1u) << how;
            EXPECT_EQ(out.refused[0].first, tree / "d/f");
            EXPECT_EQ(ReadWholeFile(tree / "d/f"), std::string(2999, 'f') + "!") << how;
            struct stat k, d;
            ASSERT_EQ(stat((tree / "k/f").c_str(), &k), 0);
            ASSERT_EQ(stat((tree / "d/f").c_str(), &d), 0);
            EXPECT_NE(k.st_ino, d.st_ino);
            for (const auto& entry : fs::recursive_directory_iterator(tree.Path()))
                EXPECT_EQ(entry.path().string().find(".pairscout"), std::string::npos) << entry.path();
        }
    }
}

TEST(HardLinkReplacement, ACopyWhoseAclOrExtendedAttributesDifferIsLeft) {
    TempDir tree;
    for (const char* name : {"k/f", "same/f", "other/f", "none/f", "acl/f"}) {
        ASSERT_EQ(chmod(tree.WriteFile(name, std::string(4000, 'f')).c_str(), 0640), 0);
        if (std::string(name) == "none/f") continue;
        ASSERT_TRUE(attributes::Set(tree / name, "user.tag", name == std::string("other/f") ? "b" : "a"));
    }
    ASSERT_TRUE(attributes::GiveReaderAcl(tree / "acl/f", 0640, 4242)) << "no ACLs in " << tree.Path();
    ResultsModel model;
    Search(tree.Path(), model, tree / "k");
    ASSERT_EQ(model.RowCount(), 5u);
    DuplicateAction link(DuplicateActionKind::kHardLink, nullptr);
    const ActionOutcome out = link.Run(model, model.DuplicateRows());
    EXPECT_EQ(Paths(out.done), (std::set<std::string>{tree / "same/f"}));
    std::set<std::string> refused;
    for (const auto& file : out.refused) {
        refused.insert(file.first);
        EXPECT_EQ(file.second, LoadStringText(IDS_ACTION_OWNER_DIFFERS)) << file.first;
    }
    EXPECT_EQ(refused, (std::set<std::string>{tree / "other/f", tree / "none/f", tree / "acl/f"}));
    struct stat kept, st;
    ASSERT_EQ(stat((tree / "k/f").c_str(), &kept), 0);
    for (const char* name : {"other/f", "none/f", "acl/f"}) {
        ASSERT_EQ(stat((tree / name).c_str(), &st), 0);
        EXPECT_NE(st.st_ino, kept.st_ino) << name;
    }
    EXPECT_EQ(attributes::Get(tree / "other/f", "user.tag"), "b");
    EXPECT_NE(attributes::Get(tree / "acl/f", attributes::kAcl), "<none>");
    EXPECT_EQ(attributes::Get(tree / "k/f", attributes::kAcl), "<none>");

    // Allowed: replaced as well, and they take the kept copy's attributes with its file.
    ResultsModel again;
    Search(tree.Path(), again, tree / "k");
    DuplicateAction anyOwner(DuplicateActionKind::kHardLink, nullptr);
    anyOwner.SetAnyOwner(true);
    EXPECT_EQ(Paths(anyOwner.Run(again, again.DuplicateRows()).done),
              (std::set<std::string>{tree / "other/f", tree / "none/f", tree / "acl/f"}));
    EXPECT_EQ(attributes::Get(tree / "other/f", "user.tag"), "a");
}

// A folder on another file system than the temporary folders': /dev/shm, where it is a
// memory file system of its own. Removed with everything in it at the end.
class OtherFileSystemDir {
public:
    explicit OtherFileSystemDir(const std::string& near) {
        struct stat here, there;
        char name[] = "/dev/shm/pairscout-test-XXXXXX";
        if (stat(near.c_str(), &here) != 0 || stat("/dev/shm", &there) != 0 ||
            here.st_dev == there.st_dev || mkdtemp(name) == nullptr)
            return;
        m_path = std::string(name) + "/";
    }
    ~OtherFileSystemDir() {
        std::error_code ignored;
        if (!m_path.empty()) fs::remove_all(m_path, ignored);
    }
    const std::string& Path() const { return m_path; }  // "" when there is none

private:
    std::string m_path;
};

TEST(MoveAcrossFileSystems, TheCopyKeepsItsExtendedAttributesAclAndTimes) {
    TempDir tree;
    OtherFileSystemDir aside(tree.Path());
    if (aside.Path().empty()) GTEST_SKIP() << "/dev/shm is missing or on the file system of " << tree.Path();
    tree.WriteFile("k/f", std::string(70000, 'm'));
    const std::string moved = tree.WriteFile("x/f", std::string(70000, 'm'));
    ASSERT_EQ(chmod(moved.c_str(), 0640), 0);
    ASSERT_TRUE(attributes::Set(moved, "user.origin", "from far away"));
    ASSERT_TRUE(attributes::GiveReaderAcl(moved, 0640, 4242));
    const struct timespec times[2] = {{1500000000, 111111111}, {1400000000, 222222222}};
    ASSERT_EQ(utimensat(AT_FDCWD, moved.c_str(), times, 0), 0);
    const std::string acl = attributes::Get(moved, attributes::kAcl);

    ResultsModel model;
    Search(tree.Path(), model, tree / "k");
    DuplicateAction move(DuplicateActionKind::kMove, nullptr);
    const std::string start = tree.Path().substr(0, tree.Path().size() - 1);
    move.SetMoveTarget(aside.Path(), {start});
    const ActionOutcome out = move.Run(model, model.DuplicateRows());
    ASSERT_EQ(out.done.size(), 1u);
    const std::string target = out.done[0].target;
    EXPECT_EQ(target.compare(0, aside.Path().size(), aside.Path()), 0) << target;
    EXPECT_FALSE(fs::exists(moved));
    const auto expectAsItWas = [&](const std::string& path) {
        EXPECT_EQ(ReadWholeFile(path), std::string(70000, 'm'));
        EXPECT_EQ(attributes::Get(path, "user.origin"), "from far away") << path;
        EXPECT_EQ(attributes::Get(path, attributes::kAcl), acl) << path;
        struct stat st;
        ASSERT_EQ(stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0640u) << path;
        EXPECT_EQ(st.st_mtim.tv_sec, 1400000000) << path;
        EXPECT_EQ(st.st_mtim.tv_nsec, 222222222) << path;
    };
    expectAsItWas(target);

    // And back again, across the file systems the other way.
    ActionUndo undo;
    undo.Remember(DuplicateActionKind::kMove, model, out, nullptr);
    const UndoOutcome back = undo.Restore(nullptr);
    EXPECT_EQ(back.restored.size(), 1u);
    EXPECT_FALSE(fs::exists(target));
    expectAsItWas(moved);
}

TEST(HardLinkReplacement, ThePathIsNeverMissing) {
    TempDir dir;
    constexpr int kPairs = 150;
    for (int i = 0; i < kPairs; ++i) {
        const std::string contents = "contents of pair " + std::to_string(i);
        dir.WriteFile("keep/" + std::to_string(i), contents);
        dir.WriteFile("dup/" + std::to_string(i), contents);
    }
    ResultsModel model;
    Search(dir.Path(), model, dir / "keep");
    ASSERT_EQ(model.DuplicateCount(), kPairs);
    // Not even for a moment too brief for the reader: no name of dup/ is ever removed.
    const int watch = inotify_init1(IN_NONBLOCK);
    ASSERT_GE(watch, 0);
    ASSERT_GE(inotify_add_watch(watch, (dir / "dup").c_str(), IN_DELETE), 0);
    std::atomic<bool> done{false};
    std::atomic<long> looks{0}, missing{0};
    std::thread reader([&] {
        while (!done) {
            for (int i = 0; i < kPairs; ++i) {
                struct stat st;
                if (stat((dir / ("dup/" + std::to_string(i))).c_str(), &st) != 0) ++missing;
                ++looks;
            }
        }
    });
    DuplicateAction link(DuplicateActionKind::kHardLink, nullptr);
    const ActionOutcome out = link.Run(model, model.DuplicateRows());
    done = true;
    reader.join();
    EXPECT_EQ(out.done.size(), static_cast<std::size_t>(kPairs));
    EXPECT_GT(looks.load(), 0);
    EXPECT_EQ(missing.load(), 0) << "of " << looks.load() << " looks";
    // Only the spare names the duplicates left through are removed, never a listed one.
    alignas(struct inotify_event) char events[64 * 1024];
    int removedSpares = 0;
    for (ssize_t got; (got = read(watch, events, sizeof events)) > 0;) {
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const struct inotify_event*>(events + at);
            const std::string name = event->len > 0 ? event->name : "";
            EXPECT_TRUE(platform::IsSpareName(name, nullptr)) << "removed: " << name;
            ++removedSpares;
            at += static_cast<ssize_t>(sizeof(struct inotify_event) + event->len);
        }
    }
    EXPECT_EQ(removedSpares, kPairs);
    close(watch);
    struct stat a, b;
    ASSERT_EQ(stat((dir / "keep/7").c_str(), &a), 0);
    ASSERT_EQ(stat((dir / "dup/7").c_str(), &b), 0);
    EXPECT_EQ(a.st_ino, b.st_ino);
}
#endif
