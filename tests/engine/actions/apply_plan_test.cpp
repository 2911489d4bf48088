// The plan of an action and the one loop that applies it: what the plan says goes is what
// goes, and anything another program does between a check and the act takes the act back.
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "engine/actions/duplicate_action.h"
#include "engine/actions/selection_total.h"
#include "engine/search/duplicate_search.h"
#include "engine/text/string_table.h"
#include "platform/file_delete.h"
#include "support/another_program.h"
#include "support/platform_rules.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "support/unprivileged.h"

namespace fs = std::filesystem;

namespace {

ResultsModel SearchFolders(const std::vector<std::string>& folders, KeepPolicy keep = KeepPolicy()) {
    SearchOptions options;
    options.paths = folders;
    options.keep = std::move(keep);
    ResultsModel model;
    EXPECT_EQ(DuplicateSearch(nullptr).Run(options, model), DuplicateSearch::kFinished);
    return model;
}

std::size_t RowOf(const ResultsModel& model, const std::string& path) {
    for (std::size_t row = 0; row < model.RowCount(); ++row)
        if (model.Row(row).record->Path() == path) return row;
    ADD_FAILURE() << path << " is not listed";
    return model.RowCount();
}

std::vector<std::size_t> GoingRows(const ActionPlan& plan) {
    std::vector<std::size_t> rows;
    for (const PlannedFile& file : plan.Files())
        if (file.verdict == PlanVerdict::kGoes) rows.push_back(file.row);
    return rows;
}

}  // namespace

// Every verdict the plan gives, its totals, and that the loop does exactly the files it says
// go: the window's total and the command line's dry run read these.
TEST(ActionPlan, SaysWhoGoesAndWhyAndTheLoopDoesJustThat) {
    TempDir dir;
    for (const char* name : {"a/1", "b/1", "c/1"}) dir.WriteFile(Native(name), std::string(700, '1'));
    for (const char* name : {"a/2", "b/2"}) dir.WriteFile(Native(name), std::string(900, '2'));
    for (const char* name : {"a/3", "p/3"}) dir.WriteFile(Native(name), std::string(500, '3'));
    KeepPolicy keep;
    keep.protectedFolders = {dir / "p"};
    ResultsModel model = SearchFolders({dir / "a", dir / "b", dir / "c", dir / "p"}, keep);
    ASSERT_EQ(model.Groups().size(), 3u);
    const std::size_t a1 = RowOf(model, dir / Native("a/1")), b1 = RowOf(model, dir / Native("b/1")),
                      c1 = RowOf(model, dir / Native("c/1")), a2 = RowOf(model, dir / Native("a/2")),
                      b2 = RowOf(model, dir / Native("b/2")), a3 = RowOf(model, dir / Native("a/3")),
                      p3 = RowOf(model, dir / Native("p/3"));
    // Group 1: b/1 is already a link to the kept a/1; group 2 chosen whole; group 3: the
    // protected copy chosen by hand. Row numbers out of range and repeats count once.
    model.SetReplaced(b1, kReplacedByLink);
    const std::vector<std::size_t> chosen = {a1, b1, c1, c1, a2, b2, a3, p3, 999};
    const ActionPlan plan(model, chosen, PlanSettings());
    EXPECT_EQ(plan.Chosen(), 7);
    ASSERT_NE(plan.Find(b1), nullptr);
    EXPECT_EQ(plan.Find(b1)->verdict, PlanVerdict::kReplaced);
    EXPECT_EQ(plan.Find(p3)->verdict, PlanVerdict::kProtected);
    EXPECT_EQ(plan.Find(a3)->verdict, PlanVerdict::kGoes);
    EXPECT_EQ(plan.Find(a3)->copies, (std::vector<std::size_t>{p3}));  // a protected copy vouches
    // a/1 and c/1 go, each compared with the row that stays: the replaced b/1 (no copy left
    // unchosen otherwise would be a last copy).
    EXPECT_EQ(plan.Find(a1)->verdict, PlanVerdict::kGoes);
    EXPECT_EQ(plan.Find(c1)->copies, (std::vector<std::size_t>{b1}));
    // Group 2 chosen whole: its first chosen row stays as the last copy.
    const std::size_t first2 = std::min(a2, b2), second2 = std::max(a2, b2);
    EXPECT_EQ(plan.Find(first2)->verdict, PlanVerdict::kLastCopy);
    EXPECT_EQ(plan.Find(second2)->copies, (std::vector<std::size_t>{first2}));
    EXPECT_EQ(plan.Goes(), 4);
    EXPECT_EQ(plan.Bytes(), 700 + 700 + 900 + 500);
    EXPECT_EQ(plan.Find(dir.Path().size()), nullptr);
    // The window's total is the plan's: the linked name frees nothing.
    const SelectionTotal total = TotalOfSelection(model, chosen);
    EXPECT_EQ(total.selected, 7);
    EXPECT_EQ(total.goes, plan.Goes());
    EXPECT_EQ(total.bytes, plan.Bytes());
    const auto stays = plan.StaysBeforehand(model);
    ASSERT_EQ(stays.size(), 3u);
    EXPECT_EQ(stays[0], std::make_pair(dir / Native("p/3"), std::string(LoadStringText(IDS_DELETE_PROTECTED))));
    EXPECT_EQ(stays[1].second, LoadStringText(IDS_DELETE_LAST_COPY));
    EXPECT_EQ(stays[2].second, LoadStringText(IDS_FILE_REPLACED));

    // A replacement never takes a group's first row, nor a row already replaced; a move needs
    // a start path above the file.
    PlanSettings link;
    link.kind = DuplicateActionKind::kHardLink;
    const std::size_t head = model.Groups()[0].begin;
    const ActionPlan linking(model, {head, b1, c1}, link);
    EXPECT_EQ(linking.Find(head)->verdict, PlanVerdict::kKeptCopy);
    EXPECT_EQ(linking.Find(b1)->verdict, PlanVerdict::kReplaced);
    EXPECT_EQ(linking.Goes(), c1 == head ? 0 : 1);
    EXPECT_TRUE(linking.StaysBeforehand(model).empty());
    PlanSettings move;
    move.kind = DuplicateActionKind::kMove;
    move.moveFolder = dir / "aside";
    move.startPaths = {dir / "c"};
    const ActionPlan moving(model, {a3, c1}, move);
    EXPECT_EQ(moving.Find(a3)->verdict, PlanVerdict::kNoTarget);
    if (c1 != head) {
        EXPECT_EQ(moving.Find(c1)->verdict, PlanVerdict::kGoes);
        EXPECT_EQ(moving.Find(c1)->target, dir / Native("aside/c/1"));
    }

    // What the loop does is what the plan said goes, and nothing else.
    DuplicateAction removal(DuplicateActionKind::kDelete, nullptr);
    const ActionPlan again = removal.Plan(model, chosen);
    const ActionOutcome out = removal.Apply(model, again);
    std::vector<std::size_t> done;
    for (const ActionStep& step : out.done) done.push_back(step.row);
    EXPECT_EQ(done, GoingRows(again));
    for (std::size_t row : GoingRows(again)) EXPECT_FALSE(fs::exists(model.Row(row).record->Path()));
    for (std::size_t row : {b1, first2, p3}) EXPECT_TRUE(fs::exists(model.Row(row).record->Path()));
}

TEST(SpareNames, AreToldApartFromTheUsersOwnFiles) {
    std::string original;
    EXPECT_TRUE(platform::IsSpareName(".photo.jpg.0123456789ab.pairscout", &original));
    EXPECT_EQ(original, "photo.jpg");
    EXPECT_TRUE(platform::IsSpareName("." + std::string(200, 'x') + ".0123456789ab.pairscout", &original));
    EXPECT_EQ(original, "");  // cut: the name it stood for is not known
    for (const char* name : {"photo.jpg", ".photo.jpg.0123456789AB.pairscout",
                             ".photo.jpg.0123456789a.pairscout", "photo.jpg.0123456789ab.pairscout",
                             ".photo.jpg.0123456789ab.pairscout.txt", "..0123456789ab.pairscout"})
        EXPECT_FALSE(platform::IsSpareName(name, nullptr)) << name;
}

#ifndef _WIN32
namespace {

// No spare name of an act is left anywhere under `folder`.
void ExpectNoSpares(const std::string& folder) {
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        EXPECT_FALSE(platform::IsSpareName(entry.path().filename().string(), nullptr)) << entry.path();
}

ino_t InodeOf(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

const DuplicateActionKind kRemovingAndLinking[] = {DuplicateActionKind::kDelete,
                                                   DuplicateActionKind::kTrash,
                                                   DuplicateActionKind::kHardLink};

}  // namespace

// Another program removes the kept copy, or puts another file in its place, while the action
// compares the duplicate with it: the duplicate, now the only copy, stays under its name.
TEST(ApplyPlanRaces, TheKeptCopyGoneOrReplacedDuringTheComparisonKeepsTheDuplicate) {
    for (DuplicateActionKind kind : kRemovingAndLinking) {
        for (const bool replaced : {false, true}) {
            TempDir dir, home;
            ScopedEnvVar data("XDG_DATA_HOME", home.Path().c_str());
            const std::string bytes(70000, 'k');
            dir.WriteFile("k/f", bytes);
            dir.WriteFile("d/f", bytes);
            ResultsModel model = SearchFolders({dir / "k", dir / "d"});
            ASSERT_EQ(model.RowCount(), 2u);
            ASSERT_EQ(model.Row(0).record->Path(), dir / "k/f");
            DuplicateAction action(kind, nullptr);
            action.Parts().compare = [&](const CFileRecord& a, platform::FileReader& ra,
                                         const CFileRecord& b, platform::FileReader& rb,
                                         const std::function<bool()>& stop, std::string* why) {
                const ContentMatch match = CompareOpenFiles(a, ra, b, rb, stop, why);
                AnotherProgram([&] {
                    if (replaced) {
                        dir.WriteFile("k/new", "something else");
                        fs::rename(dir / "k/new", dir / "k/f");
                    } else {
                        fs::remove(dir / "k/f");
                    }
                });
                return match;
            };
            const ActionOutcome out = action.Run(model, {1});
            EXPECT_TRUE(out.done.empty()) << ActionVerb(kind) << replaced;
            ASSERT_EQ(out.refused.size(), 1u) << ActionVerb(kind) << replaced;
            EXPECT_EQ(out.refused[0].first, dir / "d/f");
            EXPECT_EQ(ReadWholeFile(dir / "d/f"), bytes) << ActionVerb(kind) << replaced;
            ExpectNoSpares(dir.Path());
        }
    }
}

// Another program opens the duplicate, or the kept copy, for writing after the comparison:
// it is kept waiting (a lease), the act is taken back, and its write lands in the file that
// is still there under its name.
TEST(ApplyPlanRaces, AWriterAtTheActIsKeptWaitingAndNothingIsLost) {
    const DuplicateActionKind kinds[] = {DuplicateActionKind::kDelete, DuplicateActionKind::kTrash,
                                         DuplicateActionKind::kHardLink, DuplicateActionKind::kMove};
    for (DuplicateActionKind kind : kinds) {
        for (const bool toCopy : {false, true}) {
            TempDir dir, home;
            ScopedEnvVar data("XDG_DATA_HOME", home.Path().c_str());
            const std::string bytes(5000, 'w');
            dir.WriteFile("k/f", bytes);
            dir.WriteFile("d/f", bytes);
            ResultsModel model = SearchFolders({dir / "k", dir / "d"});
            ASSERT_EQ(model.Row(0).record->Path(), dir / "k/f");
            const ino_t dupInode = InodeOf(dir / "d/f");
            DuplicateAction action(kind, nullptr);
            action.SetMoveTarget(dir / "aside", {dir / "d"});
            std::unique_ptr<AnotherProgram> writer;
            action.Parts().compare = [&](const CFileRecord& a, platform::FileReader& ra,
                                         const CFileRecord& b, platform::FileReader& rb,
                                         const std::function<bool()>& stop, std::string* why) {
                const ContentMatch match = CompareOpenFiles(a, ra, b, rb, stop, why);
                const std::string target = toCopy ? dir / "k/f" : dir / "d/f";
                writer = std::make_unique<AnotherProgram>([target] {
                    std::ofstream out(target, std::ios::binary | std::ios::app);
                    out << "late";
                });
                return match;
            };
            const ActionOutcome out = action.Run(model, {1});
            writer->Wait();
            const std::string what = std::string(ActionVerb(kind)) + (toCopy ? " copy" : " dup");
            EXPECT_TRUE(writer->WasKeptWaiting()) << what;
            EXPECT_TRUE(out.done.empty()) << what;
            ASSERT_EQ(out.refused.size(), 1u) << what;
            EXPECT_EQ(out.refused[0].second, CFileRecord::ErrorCodeText(platform::kErrorLocked)) << what;
            EXPECT_EQ(ReadWholeFile(dir / "d/f"), toCopy ? bytes : bytes + "late") << what;
            EXPECT_EQ(ReadWholeFile(dir / "k/f"), toCopy ? bytes + "late" : bytes) << what;
            EXPECT_EQ(InodeOf(dir / "d/f"), dupInode) << what;
            EXPECT_FALSE(fs::exists(dir / "aside/d/f")) << what;
            ExpectNoSpares(dir.Path());
        }
    }
}

// Another program comes between an act's two steps, when the duplicate has left its name (a
// spare name, the trash, the target) and before it is gone for good: it opens the duplicate
// for writing, or puts a file of its own in the duplicate's new place. Either is seen by the
// act's last checks: the act is taken back and nothing either program wrote is lost.
TEST(ApplyPlanRaces, WhatComesBetweenTheTwoStepsOfAnActTakesItBack) {
    const DuplicateActionKind kinds[] = {DuplicateActionKind::kDelete, DuplicateActionKind::kTrash,
                                         DuplicateActionKind::kHardLink, DuplicateActionKind::kMove};
    for (DuplicateActionKind kind : kinds) {
        for (const bool swapped : {false, true}) {
            TempDir dir, home;
            ScopedEnvVar data("XDG_DATA_HOME", home.Path().c_str());
            const std::string bytes(5000, 'b');
            dir.WriteFile("k/f", bytes);
            dir.WriteFile("d/f", bytes);
            ResultsModel model = SearchFolders({dir / "k", dir / "d"});
            ASSERT_EQ(model.Row(0).record->Path(), dir / "k/f");
            const ino_t dupInode = InodeOf(dir / "d/f");
            DuplicateAction action(kind, nullptr);
            action.SetMoveTarget(dir / "aside", {dir / "d"});
            std::unique_ptr<AnotherProgram> writer;
            std::string placeBetween;
            action.Parts().betweenSteps = [&] {
                if (!placeBetween.empty()) return;
                for (const std::string& root : {dir.Path(), home.Path()})
                    for (const auto& entry : fs::recursive_directory_iterator(root))
                        if (entry.is_regular_file() && InodeOf(entry.path()) == dupInode &&
                            entry.path() != dir / "d/f")
                            placeBetween = entry.path();
                ASSERT_FALSE(placeBetween.empty());
                if (swapped) {
                    // The duplicate stays alive under a second name; a stranger takes its place.
                    fs::create_hard_link(placeBetween, dir / "alive");
                    dir.WriteFile("stranger", "a file of another program");
                    fs::rename(dir / "stranger", placeBetween);
                } else {
                    writer = std::make_unique<AnotherProgram>([place = placeBetween] {
                        std::ofstream out(place, std::ios::binary | std::ios::app);
                        out << "late";
                    });
                }
            };
            const ActionOutcome out = action.Run(model, {1});
            if (writer) writer->Wait();
            const std::string what =
                std::string(ActionVerb(kind)) + (swapped ? " swapped" : " written") + " at " +
                placeBetween;
            EXPECT_FALSE(placeBetween.empty()) << what;
            EXPECT_EQ(ReadWholeFile(dir / "k/f"), bytes) << what;
            if (swapped) {
                // The stranger's file is somewhere still (the trash keeps it, having no way to
                // tell it from the duplicate); the duplicate is kept by its second name.
                EXPECT_EQ(ReadWholeFile(dir / "alive"), bytes) << what;
                bool strangerKept = false;
                for (const std::string& root : {dir.Path(), home.Path()})
                    for (const auto& entry : fs::recursive_directory_iterator(root))
                        if (entry.is_regular_file() &&
                            ReadWholeFile(entry.path()) == "a file of another program")
                            strangerKept = true;
                EXPECT_TRUE(strangerKept) << what;
                if (kind != DuplicateActionKind::kTrash) {
                    EXPECT_TRUE(out.done.empty()) << what;
                    EXPECT_EQ(out.refused.size(), 1u) << what;
                }
            } else {
                EXPECT_TRUE(writer && writer->WasKeptWaiting()) << what;
                EXPECT_TRUE(out.done.empty()) << what;
                ASSERT_EQ(out.refused.size(), 1u) << what;
                EXPECT_EQ(out.refused[0].second, CFileRecord::ErrorCodeText(platform::kErrorLocked))
                    << what;
                EXPECT_EQ(ReadWholeFile(dir / "d/f"), bytes + "late") << what;
                EXPECT_EQ(InodeOf(dir / "d/f"), dupInode) << what;
                EXPECT_FALSE(fs::exists(dir / "aside/d/f")) << what;
            }
            ExpectNoSpares(dir.Path());
        }
    }
}

// Without a lease (another owner's file, held by a program that may not lease it), a file
// saved in place with its size and last-write time put back is told by its change time: it
// is not removed.
TEST(ApplyPlanRaces, WithoutALeaseASaveInPlaceWithItsTimePutBackIsSeen) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root, to hold a file of another owner";
    TempDir dir;
    dir.WriteFile("d/f", "first words");
    const std::string path = dir / "d/f";
    ASSERT_EQ(lchown(path.c_str(), unprivileged::NobodyUid(), unprivileged::NobodyGid()), 0);
    std::string failure;
    // Capabilities belong to a thread: this one alone gives up leasing files it does not own.
    std::thread([&] {
        __user_cap_header_struct header = {_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct caps[2] = {};
        if (syscall(SYS_capget, &header, caps) != 0) return void(failure = "capget");
        caps[CAP_LEASE / 32].effective &= ~(1u << (CAP_LEASE % 32));
        if (syscall(SYS_capset, &header, caps) != 0) return void(failure = "capset");
        const int probe = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        const bool leases = fcntl(probe, F_SETLEASE, F_RDLCK) == 0;
        close(probe);
        if (leases) return void(failure = "a lease is still granted");
        platform::HeldFile held;
        if (held.Open(path, platform::HeldFile::kGoes) != 0) return void(failure = "open");
        struct stat before;
        stat(path.c_str(), &before);
        const int out = open(path.c_str(), O_WRONLY | O_CLOEXEC);
        const bool rewritten = pwrite(out, "other words", 11, 0) == 11;
        const struct timespec times[2] = {before.st_atim, before.st_mtim};
        const bool putBack = futimens(out, times) == 0;
        close(out);
        if (!rewritten || !putBack) return void(failure = "rewrite");
        if (held.CheckUnchanged() != platform::kErrorChanged) failure += "check passed; ";
        if (held.Remove(false) != platform::kErrorChanged) failure += "removal not refused";
    }).join();
    EXPECT_EQ(failure, "");
    EXPECT_EQ(ReadWholeFile(path), "other words");
    ExpectNoSpares(dir.Path());
}

// A file that another program holds open for writing, or holds a record lock on, is left
// with the reason; so is a kept copy in that state (no other copy then vouches).
TEST(ApplyPlanRaces, AFileInUseByAnotherProgramIsLeft) {
    for (DuplicateActionKind kind : kRemovingAndLinking) {
        for (int how = 0; how < 3; ++how) {  // the duplicate open for writing, locked; the copy open
            TempDir dir, home;
            ScopedEnvVar data("XDG_DATA_HOME", home.Path().c_str());
            dir.WriteFile("k/f", "in use");
            dir.WriteFile("d/f", "in use");
            ResultsModel model = SearchFolders({dir / "k", dir / "d"});
            ASSERT_EQ(model.Row(0).record->Path(), dir / "k/f");
            int ready[2], release[2];
            ASSERT_EQ(pipe(ready), 0);
            ASSERT_EQ(pipe(release), 0);
            const pid_t holder = fork();
            if (holder == 0) {
                close(release[1]);
                close(ready[0]);
                const std::string path = how == 2 ? dir / "k/f" : dir / "d/f";
                const int fd = open(path.c_str(), how == 1 ? O_RDONLY : O_WRONLY);
                struct flock lock = {};
                lock.l_type = F_RDLCK;
                lock.l_whence = SEEK_SET;
                if (how == 1 && fcntl(fd, F_SETLK, &lock) != 0) _exit(1);
                char c = 'r';
                if (write(ready[1], &c, 1) != 1) _exit(1);
                if (read(release[0], &c, 1) < 0) _exit(1);  // until the parent lets it go
                _exit(0);
            }
            close(ready[1]);
            close(release[0]);
            char c;
            ASSERT_EQ(read(ready[0], &c, 1), 1);
            DuplicateAction action(kind, nullptr);
            const ActionOutcome out = action.Run(model, {1});
            close(release[1]);
            waitpid(holder, nullptr, 0);
            close(ready[0]);
            const std::string what = std::string(ActionVerb(kind)) + " " + std::to_string(how);
            EXPECT_TRUE(out.done.empty()) << what;
            ASSERT_EQ(out.refused.size(), 1u) << what;
            EXPECT_NE(out.refused[0].second.find("另一个程序正在使用此文件"), std::string::npos)
                << what << ": " << out.refused[0].second;
            EXPECT_EQ(ReadWholeFile(dir / "d/f"), "in use") << what;
        }
    }
}

// A move to another file system writes its copy under a spare name and renames it into place
// only once it holds the whole file as it still is; a writer meanwhile takes the move back.
TEST(MoveAcrossFileSystems, TheCopyNeverStandsUnderItsNameUnfinished) {
    TempDir dir;
    const std::string shm = "/dev/shm";
    struct stat a, b;
    if (stat(dir.Path().c_str(), &a) != 0 || stat(shm.c_str(), &b) != 0 || a.st_dev == b.st_dev)
        GTEST_SKIP() << "no second file system at " << shm;
    const std::string aside = shm + "/pairscout-move-" + std::to_string(getpid());
    fs::create_directories(aside + "/d");
    const std::string bytes(3 * 1024 * 1024, 'm');
    dir.WriteFile("k/f", bytes);
    dir.WriteFile("d/f", bytes);
    dir.WriteFile("d/g", bytes);
    ResultsModel model = SearchFolders({dir / "k", dir / "d"});
    ASSERT_EQ(model.Row(0).record->Path(), dir / "k/f");
    const int watch = inotify_init1(IN_NONBLOCK);
    ASSERT_GE(inotify_add_watch(watch, (aside + "/d").c_str(), IN_CREATE | IN_MOVED_TO), 0);
    DuplicateAction move(DuplicateActionKind::kMove, nullptr);
    move.SetMoveTarget(aside, {dir / "d"});
    // The writer comes once g's copy is written, before it takes its name.
    std::unique_ptr<AnotherProgram> writer;
    std::string moving;
    move.Parts().compare = [&](const CFileRecord& x, platform::FileReader& rx,
                               const CFileRecord& y, platform::FileReader& ry,
                               const std::function<bool()>& stop, std::string* why) {
        moving = x.Path();
        return CompareOpenFiles(x, rx, y, ry, stop, why);
    };
    move.Parts().betweenSteps = [&] {
        if (moving == dir / "d/g" && !writer)
            writer = std::make_unique<AnotherProgram>([&] {
                std::ofstream out(dir / "d/g", std::ios::binary | std::ios::app);
                out << "appended while it was moved";
            });
    };
    const ActionOutcome out = move.Run(model, model.DuplicateRows());
    ASSERT_TRUE(writer);
    writer->Wait();
    EXPECT_TRUE(writer->WasKeptWaiting());
    ASSERT_EQ(out.done.size(), 1u);
    EXPECT_EQ(out.done[0].path, dir / "d/f");
    EXPECT_EQ(ReadWholeFile(aside + "/d/f"), bytes);
    ASSERT_EQ(out.refused.size(), 1u);
    EXPECT_EQ(out.refused[0].first, dir / "d/g");
    EXPECT_EQ(ReadWholeFile(dir / "d/g"), bytes + "appended while it was moved");
    EXPECT_FALSE(fs::exists(aside + "/d/g"));
    // In the target folder a name of the user's only ever comes by a rename.
    alignas(struct inotify_event) char events[16 * 1024];
    std::set<std::string> created, renamedInto;
    for (ssize_t got; (got = read(watch, events, sizeof events)) > 0;) {
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const struct inotify_event*>(events + at);
            ((event->mask & IN_CREATE) != 0 ? created : renamedInto).insert(event->name);
            at += static_cast<ssize_t>(sizeof(struct inotify_event) + event->len);
        }
    }
    close(watch);
    EXPECT_EQ(renamedInto, (std::set<std::string>{"f"}));
    for (const std::string& name : created) EXPECT_TRUE(platform::IsSpareName(name, nullptr)) << name;
    ExpectNoSpares(aside);
    ExpectNoSpares(dir.Path());
    fs::remove_all(aside);
}
#endif
