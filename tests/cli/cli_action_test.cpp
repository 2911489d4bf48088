// The command line's actions end to end: --trash, --delete (and its question), --dry-run with
// an action, --link and --move-to, with their output, summary and exit status.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli/cli_options.h"

TEST(CliOptions, OneActionAndItsCompanions) {
    const auto parse = [](std::vector<std::string> args, CliOptions* options, std::string* error) {
        args.push_back("somewhere");
        return ParseCliOptions(args, options, error);
    };
    CliOptions options;
    std::string error;
    ASSERT_TRUE(parse({"--link", "clone"}, &options, &error)) << error;
    EXPECT_TRUE(options.act);
    EXPECT_EQ(options.action, DuplicateActionKind::kShareData);
    CliOptions moving;
    ASSERT_TRUE(parse({"--move-to=/aside", "--dry-run"}, &moving, &error)) << error;
    EXPECT_EQ(moving.action, DuplicateActionKind::kMove);
    EXPECT_EQ(moving.moveTo, "/aside");
    CliOptions deleting;
    ASSERT_TRUE(parse({"--delete", "--yes"}, &deleting, &error)) << error;
    EXPECT_EQ(deleting.action, DuplicateActionKind::kDelete);
    EXPECT_TRUE(deleting.yes);
    // Refused: two actions, an unknown link, an action with --json, --link-any-owner alone.
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>{"--trash", "--delete"}, {"--link", "soft"},
          {"--move-to", "/a", "--link", "hard"}, {"--trash", "--json"},
          {"--link-any-owner", "--link", "clone"}, {"--move-to="},
          // A catalog is written alone; its files cannot be compared, only moved.
          {"--catalog", "c", "--trash"}, {"--catalog", "c", "--json"},
          {"--against", "c", "--delete"}, {"--against", "c", "--link", "hard"},
          {"--load", "r", "--against", "c"}}) {
        CliOptions refused;
        error.clear();
        EXPECT_FALSE(parse(bad, &refused, &error)) << bad[0];
        EXPECT_FALSE(error.empty()) << bad[0];
    }
    // --load names its files: a PATH beside it is refused.
    CliOptions loading;
    EXPECT_FALSE(parse({"--load", "r.pairscout"}, &loading, &error));
    EXPECT_TRUE(ParseCliOptions({"--load", "r.pairscout", "--dry-run", "--trash"}, &loading, &error))
        << error;
    EXPECT_EQ(loading.load, "r.pairscout");
}

#if defined(PAIRSCOUT_CLI_PATH) && !defined(_WIN32)

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/actions/action_journal.h"
#include "engine/text/string_table.h"
#include "platform/leftover_files.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

struct ActionRun {
    int status = -1;
    std::string out, err;
};

// Runs the program with `input` as its standard input (a file, so never a terminal).
ActionRun RunActionCli(const std::vector<std::string>& args, const std::string& input, const TempDir& scratch) {
    const std::string in = scratch.WriteFile("stdin.txt", input);
    const std::string out = scratch / "stdout.txt", err = scratch / "stderr.txt";
    const pid_t pid = fork();
    if (pid == 0) {
        const int i = open(in.c_str(), O_RDONLY), o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600),
                  e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(i, 0);
        dup2(o, 1);
        dup2(e, 2);
        std::vector<char*> argv{const_cast<char*>(PAIRSCOUT_CLI_PATH)};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(PAIRSCOUT_CLI_PATH, argv.data());
        _exit(127);
    }
    ActionRun run;
    int status = 0;
    waitpid(pid, &status, 0);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = ReadWholeFile(out);
    run.err = ReadWholeFile(err);
    return run;
}

// keep/ holds the copies to keep, prot/ a protected copy, x/ and y/ the duplicates.
void MakeTree(const TempDir& tree) {
    tree.WriteFile("prot/p", "protected twin");
    tree.WriteFile("x/p", "protected twin");
    tree.WriteFile("keep/a", "twin one");
    tree.WriteFile("x/a", "twin one");
    tree.WriteFile("y/a", "twin one");
}

}  // namespace

TEST(CliActions, DryRunDeleteAndTrashDoExactlyTheNonKeptCopies) {
    TempDir tree, scratch, home;
    MakeTree(tree);
    const std::vector<std::string> keep = {"--keep", "path:" + tree / "keep", "--protect",
                                           tree / "prot"};
    const auto with = [&](std::vector<std::string> args) {
        args.insert(args.begin(), keep.begin(), keep.end());
        args.push_back(tree.Path());
        return args;
    };
    // --dry-run with an action changes nothing and names the action.
    const ActionRun dry = RunActionCli(with({"--dry-run", "--delete"}), "", scratch);
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_NE(dry.out.find("delete\t-\t" + tree / "x/a\n"), std::string::npos) << dry.out;
    EXPECT_NE(dry.out.find("keep\tprotected\t" + tree / "prot/p\n"), std::string::npos) << dry.out;
    EXPECT_TRUE(fs::exists(tree / "x/a") && fs::exists(tree / "y/a") && fs::exists(tree / "x/p"));

    // --delete from a script without --yes: refused, nothing touched.
    const ActionRun refused = RunActionCli(with({"--delete"}), "y\n", scratch);
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find(LoadStringText(IDS_CLI_DELETE_NEEDS_YES)), std::string::npos)
        << refused.err;
    EXPECT_TRUE(fs::exists(tree / "x/a") && fs::exists(tree / "y/a") && fs::exists(tree / "x/p"));

    // --trash with the home trash in a folder of the test.
    const std::string trash = "XDG_DATA_HOME=" + home.Path();
    putenv(const_cast<char*>(trash.c_str()));
    const ActionRun trashed = RunActionCli(with({"--trash"}), "", scratch);
    unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(trashed.status, 0) << trashed.err;
    EXPECT_NE(trashed.out.find("trash\t" + tree / "x/a\n"), std::string::npos) << trashed.out;
    EXPECT_FALSE(fs::exists(tree / "x/a") || fs::exists(tree / "y/a") || fs::exists(tree / "x/p"));
    EXPECT_TRUE(fs::exists(tree / "keep/a") && fs::exists(tree / "prot/p"));
    EXPECT_TRUE(fs::exists(home / "Trash/files/a"));

    // --delete --yes: for good, without a question.
    tree.WriteFile("z/a", "twin one");
    const ActionRun deleted = RunActionCli(with({"--delete", "--yes"}), "", scratch);
    EXPECT_EQ(deleted.status, 0) << deleted.err;
    EXPECT_EQ(deleted.out, "delete\t" + tree / "z/a\n");
    EXPECT_FALSE(fs::exists(tree / "z/a"));
    EXPECT_TRUE(fs::exists(tree / "keep/a") && fs::exists(tree / "prot/p"));
}

TEST(CliActions, ALeftoverOfAKilledRunIsPutBackAtTheNextAction) {
    TempDir tree, scratch, config;
    ScopedEnvVar journalHome("XDG_CONFIG_HOME", config.Path().c_str());
    // A removal killed after its file left its name: the begin is in the journal, the file
    // under its spare name.
    const std::string file = tree.WriteFile("old/only", "the only copy");
    platform::FileIdentity id;
    ASSERT_TRUE(platform::EntryIdentity(file, &id));
    const pid_t gone = fork();
    if (gone == 0) _exit(0);
    waitpid(gone, nullptr, 0);
    JournalAct act;
    act.kind = DuplicateActionKind::kDelete;
    act.path = file;
    act.device = id.device;
    act.inode = id.inode;
    act.process = static_cast<std::uint64_t>(gone);
    ASSERT_FALSE(ActionJournal().Begin(act).empty());
    const std::string spare = tree / "old/.only.0123456789ab.pairscout";
    ASSERT_EQ(rename(file.c_str(), spare.c_str()), 0);
    // The next action, on other files.
    tree.WriteFile("new/a", "twin");
    tree.WriteFile("new/b", "twin");
    const ActionRun run = RunActionCli({"--delete", "--yes", tree / "new"}, "", scratch);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(ReadWholeFile(file), "the only copy");
    EXPECT_FALSE(fs::exists(spare));
    EXPECT_NE(run.err.find(LoadStringText(IDS_LEFTOVER_HEADING)), std::string::npos) << run.err;
    EXPECT_NE(run.err.find(file), std::string::npos) << run.err;
    EXPECT_TRUE(ActionJournal().Read().unfinished.empty());
}

TEST(CliActions, AFolderProtectedThroughALinkKeepsItsFiles) {
    TempDir tree, scratch;
    tree.MakeDir("sub");
    ASSERT_EQ(symlink("../real", (tree / "sub/r").c_str()), 0);
    ASSERT_EQ(symlink("real/keep", (tree / "keeplink").c_str()), 0);
    // Each time the protected copy would be the duplicate without its protection.
    const std::vector<std::vector<std::string>> runs = {
        {"--protect", tree / "sub/r/keep", tree / "real"},  // named through a linked folder
        {"--protect", tree / "keeplink", tree / "real"},    // named by a link to it
        {"--protect", tree / "real/keep", tree / "sub/r"},  // found through a linked start path
    };
    for (std::vector<std::string> args : runs) {
        tree.WriteFile("real/keep/p", "protected twin");
        tree.WriteFile("real/x/p", "protected twin");
        const std::string start = args.back();
        args.insert(args.begin(), {"--keep", "path:" + start + "/x", "--delete", "--yes"});
        const ActionRun run = RunActionCli(args, "", scratch);
        EXPECT_EQ(run.status, 0) << args[5] << ": " << run.err;
        EXPECT_EQ(run.out, "delete\t" + start + "/x/p\n") << args[5];
        EXPECT_TRUE(fs::exists(tree / "real/keep/p")) << args[5];
        EXPECT_FALSE(fs::exists(tree / "real/x/p")) << args[5];
    }
    // A link to a file is no folder.
    tree.WriteFile("file", "f");
    ASSERT_EQ(symlink("file", (tree / "filelink").c_str()), 0);
    EXPECT_EQ(RunActionCli({"--protect", tree / "filelink", tree / "real"}, "", scratch).status, 2);
}

TEST(CliActions, LinkMoveAndRefusalsSetTheExitStatus) {
    TempDir tree, scratch, aside;
    MakeTree(tree);
    ASSERT_EQ(chmod((tree / "y/a").c_str(), 0600), 0);
    ASSERT_EQ(chmod((tree / "keep/a").c_str(), 0644), 0);
    ASSERT_EQ(chmod((tree / "x/a").c_str(), 0644), 0);
    const ActionRun link = RunActionCli({"--keep", "path:" + tree / "keep", "--protect", tree / "prot",
                             "--link", "hard", tree.Path()}, "", scratch);
    // y/a's permissions differ: left, named, exit 1.
    EXPECT_EQ(link.status, 1) << link.err;
    EXPECT_NE(link.out.find("link\t" + tree / "x/a\t" + tree / "keep/a\n"), std::string::npos)
        << link.out;
    EXPECT_NE(link.err.find(tree / "y/a: " + LoadStringText(IDS_ACTION_OWNER_DIFFERS)),
              std::string::npos) << link.err;
    struct stat kept, linked;
    ASSERT_EQ(stat((tree / "keep/a").c_str(), &kept), 0);
    ASSERT_EQ(stat((tree / "x/a").c_str(), &linked), 0);
    EXPECT_EQ(kept.st_ino, linked.st_ino);

    // --link-any-owner only with --link hard; --move-to keeps the place below the start path.
    EXPECT_EQ(RunActionCli({"--link-any-owner", tree.Path()}, "", scratch).status, 2);
    const std::string start = tree.Path().substr(0, tree.Path().size() - 1);
    const ActionRun move = RunActionCli({"--keep", "path:" + tree / "keep", "--protect", tree / "prot",
                             "--move-to", aside / "m", start}, "", scratch);
    EXPECT_EQ(move.status, 0) << move.err;
    const std::string name = fs::path(start).filename().string();
    EXPECT_EQ(ReadWholeFile(aside / ("m/" + name + "/y/a")), "twin one");
    // x/p became a link of prot/p above: one file, no longer a duplicate.
    EXPECT_FALSE(fs::exists(aside / ("m/" + name + "/x/p")));
    EXPECT_TRUE(fs::exists(tree / "x/p"));
    EXPECT_FALSE(fs::exists(tree / "y/a"));
    EXPECT_TRUE(fs::exists(tree / "prot/p"));
    // Into a protected folder: refused before anything.
    EXPECT_EQ(RunActionCli({"--protect", tree / "prot", "--move-to", tree / "prot/in", start}, "",
                     scratch).status, 2);
}

// With -0 the fields of --dry-run and of the lines of what was done end in NUL too: a tab in a
// name can no longer pass for the end of a field. Without -0 a tab still separates them.
TEST(CliActions, NulEndsEveryFieldOfTheDryRunAndTheActionLines) {
    TempDir tree, scratch, aside;
    tree.WriteFile("keep/a\tb", "tab twin");
    tree.WriteFile("x\ty/a\tb", "tab twin");
    const std::string kept = tree / "keep/a\tb", goes = tree / "x\ty/a\tb";
    const std::string nul(1, '\0');
    const std::vector<std::string> keep = {"--keep", "path:" + tree / "keep"};
    const auto with = [&](std::vector<std::string> args) {
        args.insert(args.begin(), keep.begin(), keep.end());
        args.push_back(tree.Path());
        return args;
    };
    const ActionRun dry = RunActionCli(with({"--dry-run", "-0", "--delete"}), "", scratch);
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(dry.out, "keep" + nul + "path" + nul + kept + nul + "delete" + nul + "-" + nul +
                           goes + nul + nul);
    const ActionRun lines = RunActionCli(with({"--dry-run", "--delete"}), "", scratch);
    EXPECT_EQ(lines.out, "keep\tpath\t" + kept + "\ndelete\t-\t" + goes + "\n\n");

    // A move names the new place as one more field.
    const ActionRun plan = RunActionCli(with({"--dry-run", "-0", "--move-to", aside / "m"}), "", scratch);
    EXPECT_EQ(plan.status, 0) << plan.err;
    std::vector<std::string> fields;
    for (std::size_t at = 0, end; (end = plan.out.find('\0', at)) != std::string::npos; at = end + 1)
        fields.push_back(plan.out.substr(at, end - at));
    ASSERT_EQ(fields.size(), 8u) << plan.out;
    EXPECT_EQ(fields[3], "move");
    EXPECT_EQ(fields[5], goes);
    EXPECT_EQ(fields[6].rfind(aside / "m", 0), 0u) << fields[6];
    EXPECT_EQ(fields[6].substr(fields[6].size() - 8), "/x\ty/a\tb");
    EXPECT_EQ(fields[7], "");

    const ActionRun deleted = RunActionCli(with({"-0", "--delete", "--yes"}), "", scratch);
    EXPECT_EQ(deleted.status, 0) << deleted.err;
    EXPECT_EQ(deleted.out, "delete" + nul + goes + nul);
    EXPECT_FALSE(fs::exists(goes));
    EXPECT_TRUE(fs::exists(kept));
}

TEST(CliActions, ALoadedResultAndACatalogComparisonActOnlyOnWhatStillStands) {
    TempDir tree, scratch, home;
    MakeTree(tree);
    const std::string saved = scratch / "r.pairscout";
    const ActionRun json = RunActionCli({"--json", "--no-cache", "--keep", "path:" + tree / "keep",
                                         "--protect", tree / "prot", tree.Path()}, "", scratch);
    ASSERT_EQ(json.status, 0) << json.err;
    scratch.WriteFile("r.pairscout", json.out);
    // Since the search: y/a was written to.
    tree.WriteFile("y/a", "twin two");
    const ActionRun dry = RunActionCli({"--load", saved, "--dry-run", "--trash"}, "", scratch);
    EXPECT_EQ(dry.status, 0) << dry.err;
    EXPECT_NE(dry.out.find("changed\t-\t" + tree / "y/a\n"), std::string::npos) << dry.out;
    EXPECT_NE(dry.out.find("trash\t-\t" + tree / "x/a\n"), std::string::npos) << dry.out;
    EXPECT_NE(dry.out.find("keep\tprotected\t" + tree / "prot/p\n"), std::string::npos) << dry.out;
    EXPECT_NE(dry.err.find("1 个文件在保存后已改变或不存在"), std::string::npos) << dry.err;
    const ActionRun list = RunActionCli({"--load", saved}, "", scratch);
    EXPECT_EQ(list.out.find(tree / "y/a"), std::string::npos) << list.out;
    // Deleting for good what still stands: y/a stays, and so do the kept copies.
    const ActionRun deleted = RunActionCli({"--load", saved, "--delete", "--yes"}, "", scratch);
    EXPECT_EQ(deleted.status, 0) << deleted.err;
    EXPECT_EQ(deleted.out, "delete\t" + tree / "x/a\n" + "delete\t" + tree / "x/p\n");
    EXPECT_TRUE(fs::exists(tree / "y/a") && fs::exists(tree / "keep/a") && fs::exists(tree / "prot/p"));
    // A damaged file is refused with why; nothing is done.
    scratch.WriteFile("bad.pairscout", json.out.substr(0, json.out.size() / 3));
    const ActionRun bad = RunActionCli({"--load", scratch / "bad.pairscout", "--trash"}, "", scratch);
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("文件已损坏 (line "), std::string::npos) << bad.err;

    // A catalog of keep/, then keep/ is gone: y/a holds its bytes again, prot/p does not.
    tree.WriteFile("y/a", "twin one");
    const std::string catalog = scratch / "keep.pscatalog";
    const ActionRun made = RunActionCli({"--no-cache", "--catalog", catalog, tree / "keep"}, "", scratch);
    ASSERT_EQ(made.status, 0) << made.err;
    EXPECT_NE(made.err.find("目录已写入: " + catalog + " (1 个文件)"), std::string::npos) << made.err;
    fs::remove_all(tree / "keep");
    const ActionRun against = RunActionCli({"--no-cache", "--against", catalog, tree / "y", tree / "prot"}, "", scratch);
    EXPECT_EQ(against.status, 0) << against.err;
    EXPECT_EQ(against.out, "目录中: " + tree / "keep/a" + " (keep)\n" + tree / "y/a\n\n") << against.out;
    const ActionRun moved = RunActionCli({"--no-cache", "--against", catalog, "--move-to",
                                          scratch / "aside", tree / "y"}, "", scratch);
    EXPECT_EQ(moved.status, 0) << moved.err;
    EXPECT_TRUE(fs::exists(scratch / "aside/y/a"));
    EXPECT_FALSE(fs::exists(tree / "y/a"));
    const ActionRun trash = RunActionCli({"--against", catalog, "--trash", tree / "x"}, "", scratch);
    EXPECT_EQ(trash.status, 2);
    EXPECT_NE(trash.err.find("--against 只能与 --move-to 同用"), std::string::npos) << trash.err;
}

TEST(CliActions, FoldersListsIdenticalAndContainedFolders) {
    TempDir tree, scratch;
    for (const std::string top : {"photos/", "backup/photos/"}) {
        tree.WriteFile(top + "2021/a.jpg", "photo a");
        tree.WriteFile(top + "b.jpg", "photo bb");
    }
    tree.WriteFile("renamed/a1.jpg", "photo a");
    tree.WriteFile("renamed/b1.jpg", "photo bb");
    const ActionRun run = RunActionCli({"--no-cache", "--folders", tree.Path()}, "", scratch);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("same\t2\t15\t" + tree / "photos/\nsame\t2\t15\t" + tree / "backup/photos/\n\n", 0), 0u)
        << run.out;
    EXPECT_NE(run.out.find("contained\t2\t15\t" + tree / "renamed/\ncopies\t"), std::string::npos) << run.out;
    const ActionRun names = RunActionCli({"--no-cache", "--folders", "--ignore-names", "-0", tree.Path()}, "", scratch);
    const std::string nul(1, '\0');
    EXPECT_NE(names.out.find("same" + nul + "2" + nul + "15" + nul + tree / "renamed/" + nul),
              std::string::npos);
    const ActionRun json = RunActionCli({"--no-cache", "--folders", "--json", tree.Path()}, "", scratch);
    EXPECT_EQ(json.out.rfind("{\"identical\": [\n  {\"files\": 2, \"bytes\": 15, \"folders\": [", 0), 0u)
        << json.out;
    EXPECT_EQ(RunActionCli({"--folders", "--link", "hard", tree.Path()}, "", scratch).status, 2);
    EXPECT_EQ(RunActionCli({"--ignore-names", tree.Path()}, "", scratch).status, 2);
    EXPECT_EQ(RunActionCli({"--keep-empty-folders", tree.Path()}, "", scratch).status, 2);

    // Taken whole: backup/photos/ (the second of its group) and renamed/; photos/ stays, and
    // backup/ is not taken for itself (it holds a folder of the group) but goes once emptied.
    tree.MakeDir("photos/empty");
    const ActionRun plan = RunActionCli({"--no-cache", "--folders", "--dry-run", "--move-to",
                                         scratch / "aside", tree.Path()}, "", scratch);
    EXPECT_EQ(plan.status, 0) << plan.err;
    EXPECT_NE(plan.out.find("move\t2\t15\t" + tree / "backup/photos\n"), std::string::npos) << plan.out;
    EXPECT_EQ(plan.out.find(tree / "backup\n"), std::string::npos) << plan.out;
    EXPECT_NE(plan.out.find("move\t2\t15\t" + tree / "renamed\n"), std::string::npos) << plan.out;
    EXPECT_EQ(plan.out.find(tree / "photos"), std::string::npos) << plan.out;
    EXPECT_NE(plan.err.find("将移动 4 个文件"), std::string::npos) << plan.err;
    EXPECT_TRUE(fs::exists(tree / "backup/photos/b.jpg"));
    const ActionRun moved = RunActionCli({"--no-cache", "--folders", "--move-to", scratch / "aside",
                                          tree.Path()}, "", scratch);
    EXPECT_EQ(moved.status, 0) << moved.err;
    const std::string top = fs::path(tree.Path()).parent_path().filename().string();
    EXPECT_TRUE(fs::exists(scratch / ("aside/" + top + "/backup/photos/2021/a.jpg"))) << moved.out;
    EXPECT_FALSE(fs::exists(tree / "backup"));
    EXPECT_FALSE(fs::exists(tree / "renamed"));
    EXPECT_TRUE(fs::exists(tree / "photos/2021/a.jpg") && fs::exists(tree / "photos/empty"));
    EXPECT_NE(moved.err.find("4 个空文件夹已删除"), std::string::npos) << moved.err;

    // A file action removes what it emptied too, unless asked not to; never the start path.
    tree.WriteFile("one/deep/a.jpg", "photo a");
    tree.WriteFile("two/a.jpg", "photo a");
    const ActionRun kept = RunActionCli({"--no-cache", "--delete", "--yes", "--keep-empty-folders",
                                         "--keep", "path:" + tree / "photos", tree.Path()}, "", scratch);
    EXPECT_EQ(kept.status, 0) << kept.err;
    EXPECT_TRUE(fs::is_directory(tree / "one/deep") && fs::is_directory(tree / "two"));
    tree.WriteFile("one/deep/a.jpg", "photo a");
    const ActionRun removed = RunActionCli({"--no-cache", "--delete", "--yes", "--keep",
                                            "path:" + tree / "photos", tree / "photos", tree / "one"},
                                           "", scratch);
    EXPECT_EQ(removed.status, 0) << removed.err;
    EXPECT_FALSE(fs::exists(tree / "one/deep"));
    EXPECT_TRUE(fs::is_directory(tree / "one"));
}

#endif
