// The action journal and the settling of what a killed action left, on real files.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "engine/actions/action_journal.h"
#include "engine/actions/leftovers.h"
#include "engine/actions/safe_delete.h"
#include "engine/search/duplicate_search.h"
#include "platform/file_delete.h"
#include "platform/leftover_files.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace {

bool Exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

// The id of a process that has ended.
std::uint64_t DeadProcess() {
    const pid_t child = fork();
    if (child == 0) _exit(0);
    int status = 0;
    waitpid(child, &status, 0);
    return static_cast<std::uint64_t>(child);
}

// A begin of `kind` on `path` (as it stands now) by a process that is gone.
JournalAct KilledAct(DuplicateActionKind kind, const std::string& path, std::uint64_t process) {
    platform::FileIdentity id;
    EXPECT_TRUE(platform::EntryIdentity(path, &id)) << path;
    JournalAct act;
    act.kind = kind;
    act.path = path;
    act.device = id.device;
    act.inode = id.inode;
    act.size = id.size;
    act.process = process;
    return act;
}

std::string Spare(const std::string& folder, const std::string& name) {
    return folder + "." + name + ".0123456789ab.pairscout";
}

bool Names(const std::vector<std::string>& texts, const std::string& part) {
    for (const std::string& text : texts)
        if (text.find(part) != std::string::npos) return true;
    return false;
}

}  // namespace

TEST(ActionJournal, WrittenAndReadBackWithDamagedLinesSkipped) {
    TempDir dir;
    ActionJournal journal(dir / "j/actions.journal");
    // Any bytes of a name survive: spaces, a line break, "%", bytes that are no UTF-8.
    const std::string odd = dir.Path() + "a b\n%25\xff\x01.txt";
    JournalAct act;
    act.kind = DuplicateActionKind::kMove;
    act.path = odd;
    act.device = 7;
    act.inode = 18446744073709551615ull;
    act.size = 12;
    act.copy = "";
    act.target = dir.Path() + "m/" + "a b";
    const std::string open = journal.Begin(act);
    const std::string done = journal.Begin(act);
    ASSERT_FALSE(open.empty());
    ASSERT_NE(open, done);
    journal.End(done);
    ASSERT_TRUE(journal.SaveUndo({{"T", odd, ""}, {"G"}}));
    {
        std::ofstream out(journal.Path(), std::ios::app | std::ios::binary);
        out << "B x 1 0 /f 1 2 3 % % #00000000\n";  // wrong checksum
        out << "garbage\n" << std::string(ActionJournal::kMaxLine + 5, 'x') << "\n";
        std::string line = ActionJournal::EncodeLine({"E", open});
        out << line.substr(0, line.size() - 3);  // cut by a kill: this end never counts
    }
    JournalContents read = journal.Read();
    ASSERT_EQ(read.unfinished.size(), 1u);
    EXPECT_EQ(read.unfinished[0].id, open);
    EXPECT_EQ(read.unfinished[0].path, odd);
    EXPECT_EQ(read.unfinished[0].kind, DuplicateActionKind::kMove);
    EXPECT_EQ(read.unfinished[0].inode, 18446744073709551615ull);
    EXPECT_EQ(read.unfinished[0].target, act.target);
    EXPECT_EQ(read.unfinished[0].process, platform::CurrentProcessId());
    ASSERT_EQ(read.undo.size(), 2u);
    EXPECT_EQ(read.undo[0], (std::vector<std::string>{"T", odd, ""}));
    EXPECT_EQ(read.skipped, 4u);

    // A line damaged in one byte is refused.
    std::string line = ActionJournal::EncodeLine({"E", "abc"});
    std::vector<std::string> fields;
    EXPECT_TRUE(ActionJournal::DecodeLine(line, &fields));
    line[2] = 'X';
    EXPECT_FALSE(ActionJournal::DecodeLine(line, &fields));
    EXPECT_FALSE(ActionJournal::DecodeLine("%4 #12345678\n", &fields));

    // A new undo not finished replaces the one before all the same; a clear ends it.
    {
        std::ofstream out(journal.Path(), std::ios::app | std::ios::binary);
        out << "\n" << ActionJournal::EncodeLine({"US"}) << ActionJournal::EncodeLine({"U", "x"});
    }
    EXPECT_TRUE(journal.Read().undo.empty());
    ASSERT_TRUE(journal.SaveUndo({{"T", "y"}}));
    EXPECT_EQ(journal.Read().undo.size(), 1u);
    ASSERT_TRUE(journal.ClearUndo());
    EXPECT_TRUE(journal.Read().undo.empty());

    // Compacting keeps what is open, and drops what was settled.
    ASSERT_TRUE(journal.SaveUndo({{"T", "z"}}));
    journal.Compact({});
    read = journal.Read();
    EXPECT_EQ(read.skipped, 0u);
    ASSERT_EQ(read.unfinished.size(), 1u);
    EXPECT_EQ(read.undo.size(), 1u);
    journal.Compact({open});
    EXPECT_TRUE(journal.Read().unfinished.empty());
    EXPECT_EQ(journal.Read().undo.size(), 1u);
}

TEST(Leftovers, KilledActsAreSettledAndTheOnlyCopyNeverGoes) {
    TempDir dir;
    ScopedEnvVar config("XDG_CONFIG_HOME", dir.MakeDir("config").c_str());
    ScopedEnvVar data("XDG_DATA_HOME", dir.MakeDir("data").c_str());
    const std::string folder = dir.MakeDir("f");
    ActionJournal journal;
    ASSERT_EQ(journal.Path(), dir.Path() + "config/Pairscout/actions.journal");
    const std::uint64_t dead = DeadProcess();

    // Killed after the file left its name: it goes back.
    const std::string a = dir.WriteFile("f/a.txt", "only copy");
    journal.Begin(KilledAct(DuplicateActionKind::kDelete, a, dead));
    ASSERT_EQ(std::rename(a.c_str(), Spare(folder, "a.txt").c_str()), 0);
    // A spare that is a second name of the file under the name: the spare goes.
    const std::string b = dir.WriteFile("f/b.txt", "bbb");
    journal.Begin(KilledAct(DuplicateActionKind::kHardLink, b, dead));
    ASSERT_EQ(link(b.c_str(), Spare(folder, "b.txt").c_str()), 0);
    // Another file took the name: both stay, and the spare is named.
    const std::string c = dir.WriteFile("f/c.txt", "ccc");
    journal.Begin(KilledAct(DuplicateActionKind::kDelete, c, dead));
    ASSERT_EQ(std::rename(c.c_str(), Spare(folder, "c.txt").c_str()), 0);
    dir.WriteFile("f/c.txt", "another file");
    // A hard link killed before its exchange: the spare names the copy that stays.
    const std::string copy = dir.WriteFile("f/kept", "ddd");
    const std::string d = dir.WriteFile("f/d.txt", "ddd");
    JournalAct linking = KilledAct(DuplicateActionKind::kHardLink, d, dead);
    linking.copy = copy;
    journal.Begin(linking);
    ASSERT_EQ(link(copy.c_str(), Spare(folder, "d.txt").c_str()), 0);
    // An act of a process still running is not touched.
    const std::string e = dir.WriteFile("f/e.txt", "eee");
    journal.Begin(KilledAct(DuplicateActionKind::kDelete, e, 0) /* this process */);
    ASSERT_EQ(std::rename(e.c_str(), Spare(folder, "e.txt").c_str()), 0);

    const LeftoverReport report = SettleLeftovers();
    EXPECT_EQ(ReadWholeFile(a), "only copy");
    EXPECT_FALSE(Exists(Spare(folder, "a.txt")));
    EXPECT_TRUE(Names(report.settled, a));
    EXPECT_EQ(ReadWholeFile(b), "bbb");
    EXPECT_FALSE(Exists(Spare(folder, "b.txt")));
    EXPECT_EQ(ReadWholeFile(c), "another file");
    EXPECT_EQ(ReadWholeFile(Spare(folder, "c.txt")), "ccc");
    EXPECT_TRUE(Names(report.left, Spare(folder, "c.txt")));
    EXPECT_FALSE(Exists(Spare(folder, "d.txt")));
    EXPECT_EQ(ReadWholeFile(copy), "ddd");
    EXPECT_EQ(ReadWholeFile(d), "ddd");
    EXPECT_TRUE(Exists(Spare(folder, "e.txt")));
    EXPECT_FALSE(Exists(e));
    EXPECT_EQ(report.settled.size(), 3u);
    EXPECT_EQ(report.left.size(), 1u);
    const std::string message = LeftoverMessage(report);
    EXPECT_NE(message.find(Spare(folder, "c.txt")), std::string::npos);
    // Settled once: only the running process's act stays in the journal.
    const JournalContents after = journal.Read();
    ASSERT_EQ(after.unfinished.size(), 1u);
    EXPECT_EQ(after.unfinished[0].path, e);
    EXPECT_TRUE(SettleLeftovers().Empty());

    // Without a journal, by the names alone.
    const LeftoverReport found = FindLeftovers(folder);
    EXPECT_EQ(ReadWholeFile(e), "eee");
    EXPECT_TRUE(Names(found.settled, e));
    EXPECT_TRUE(Names(found.left, Spare(folder, "c.txt")));
}

TEST(Leftovers, UnfinishedTrashRecordsAndAKilledMoveCopy) {
    TempDir dir;
    ScopedEnvVar config("XDG_CONFIG_HOME", dir.MakeDir("config").c_str());
    ScopedEnvVar data("XDG_DATA_HOME", (dir.Path() + "data").c_str());
    const std::string trash = dir.MakeDir("data/Trash");
    dir.MakeDir("data/Trash/files");
    const std::string f = dir.MakeDir("f");
    ActionJournal journal;
    const std::uint64_t dead = DeadProcess();
    // Killed between the claim and the move: an empty record, no file.
    const std::string lost = dir.WriteFile("data/Trash/info/lost.trashinfo", "");
    // Someone else's record of a file already taken out: not ours to remove.
    const std::string other =
        dir.WriteFile("data/Trash/info/other.trashinfo", "[Trash Info]\nPath=/x/other\n");
    // Killed after the move, before the record was written: the file goes back.
    const std::string g = dir.WriteFile("f/g.txt", "in the trash");
    journal.Begin(KilledAct(DuplicateActionKind::kTrash, g, dead));
    const std::string gRecord = dir.WriteFile("data/Trash/info/g.txt.trashinfo", "");
    ASSERT_EQ(std::rename(g.c_str(), (trash + "files/g.txt").c_str()), 0);
    // A move to another file system killed while writing its copy beside the target: the
    // original is where it was, the copy goes.
    const std::string h = dir.WriteFile("f/h.txt", "hhh");
    JournalAct move = KilledAct(DuplicateActionKind::kMove, h, dead);
    move.target = dir.Path() + "m/h.txt";
    journal.Begin(move);
    const std::string half = Spare(dir.MakeDir("m"), "h.txt");
    dir.WriteFile("m/.h.txt.0123456789ab.pairscout", "hh");

    const LeftoverReport report = SettleLeftovers();
    EXPECT_FALSE(Exists(lost));
    EXPECT_TRUE(Names(report.settled, lost));
    EXPECT_TRUE(Exists(other));
    EXPECT_EQ(ReadWholeFile(g), "in the trash");
    EXPECT_FALSE(Exists(gRecord));
    EXPECT_FALSE(Exists(trash + "files/g.txt"));
    EXPECT_FALSE(Exists(half));
    EXPECT_FALSE(Exists(move.target));
    EXPECT_EQ(ReadWholeFile(h), "hhh");
    EXPECT_TRUE(report.left.empty());
}

// A real kill between the two steps of a removal for good: the next start puts it back.
TEST(Leftovers, ARemovalKilledBetweenItsStepsIsTakenBack) {
    TempDir dir;
    ScopedEnvVar config("XDG_CONFIG_HOME", dir.MakeDir("config").c_str());
    dir.WriteFile("x/a1", std::string(5000, 'a'));
    dir.WriteFile("y/a2", std::string(5000, 'a'));
    ResultsModel model;
    SearchOptions options;
    options.paths = {dir.Path() + "x", dir.Path() + "y"};
    DuplicateSearch search(nullptr);
    ASSERT_EQ(search.Run(options, model), DuplicateSearch::kFinished);
    ASSERT_EQ(model.RowCount(), 2u);
    const std::string victim = model.Row(1).record->Path();
    const pid_t child = fork();
    if (child == 0) {
        SafeDelete remover(nullptr, false);
        remover.SetRemover([](platform::HeldFile& file, const platform::HeldFile::Confirm&) {
            return file.Remove(false, [] {
                _exit(9);  // killed with the file under its spare name
                return 0;
            });
        });
        remover.Run(model, {1});
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    ASSERT_EQ(WEXITSTATUS(status), 9);
    ASSERT_FALSE(Exists(victim));
    const LeftoverReport report = SettleLeftovers();
    EXPECT_EQ(ReadWholeFile(victim), std::string(5000, 'a'));
    EXPECT_TRUE(Names(report.settled, victim));
    EXPECT_TRUE(ActionJournal().Read().unfinished.empty());
}

#endif
