// The window's actions without a window, on real files: the question counts what the plan does,
// the work leaves protected files alone whichever rows were chosen, the rows are mended after
// the list let go of them, and the one undo outlives the runner through the action journal.
#ifndef _WIN32

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <sys/stat.h>

#include "engine/actions/action_journal.h"
#include "engine/actions/action_kinds.h"
#include "engine/actions/undo_stack.h"
#include "engine/search/duplicate_search.h"
#include "engine/search/duplicate_search.h"
#include "engine/text/text_format.h"
#include "results/action_runner.h"
#include "support/temp_dir.h"

namespace fs = std::filesystem;

namespace {

ino_t InodeOf(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

std::size_t RowOf(const ResultsModel& model, const std::string& path) {
    for (std::size_t row = 0; row < model.RowCount(); ++row)
        if (model.Row(row).record->Path() == path) return row;
    ADD_FAILURE() << path << " is not listed";
    return model.RowCount();
}

std::vector<std::size_t> AllRows(const ResultsModel& model) {
    std::vector<std::size_t> rows;
    for (std::size_t row = 0; row < model.RowCount(); ++row) rows.push_back(row);
    return rows;
}

// keep/ holds the copies that stay; y/ is protected by the actions' setup alone (the search did
// not mark it).
class ActionRunnerTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"keep/a.txt", "x/a.txt", "y/a.txt"}) tree.WriteFile(name, std::string(300, 'a'));
        for (const char* name : {"keep/b.txt", "x/b.txt"}) tree.WriteFile(name, std::string(100, 'b'));
        setup.protectedFolders = {tree / "y"};
        setup.startPaths = {tree.Path().substr(0, tree.Path().size() - 1)};
        SearchOptions options;
        options.paths = setup.startPaths;
        KeepRule rule;
        rule.kind = kKeptFolder;
        rule.folders = {tree / "keep"};
        options.keep.rules.push_back(rule);
        listed.policy = options.keep;
        DuplicateSearch search(nullptr);
        ASSERT_EQ(search.Run(options, *listed.model), DuplicateSearch::kFinished);
        listed.found.Remember(*listed.model);
        listed.number = 1;
        ASSERT_EQ(listed.model->RowCount(), 5u);
    }

    // Runs a job to its end; `letGo` counts the calls before the rows change.
    ActionRunner::Report Complete(ActionRunner& runner, const std::shared_ptr<ActionRunner::Job>& job,
                                  int* letGo = nullptr) {
        EXPECT_TRUE(job);
        if (!job) return {};
        ActionRunner::Run(*job, nullptr);
        const std::size_t before = listed.model->RowCount();
        return runner.Finish(*job, listed, [&] {
            EXPECT_EQ(listed.model->RowCount(), before) << "told after the rows changed";
            if (letGo != nullptr) ++*letGo;
        });
    }

    TempDir tree;
    ActionRunner::Setup setup;
    ListedResults listed;
};

TEST_F(ActionRunnerTest, ReplacingAsksWhatThePlanDoesAndItsUndoOutlivesTheRunner) {
    ActionRunner runner;
    std::string question, refusal;
    // Every row chosen: the kept copies and the protected file are not counted, nor linked.
    auto job = runner.Act(*listed.model, AllRows(*listed.model), DuplicateActionKind::kHardLink,
                          std::string(), setup, &question, &refusal);
    ASSERT_TRUE(job);
    EXPECT_EQ(question, FormatConfirmHardLink(2, FormatSizeText(400.0)));
    EXPECT_TRUE(refusal.empty());
    EXPECT_EQ(runner.Total(*job), 2);
    int letGo = 0;
    const ActionRunner::Report report = Complete(runner, job, &letGo);
    EXPECT_EQ(letGo, 1);
    EXPECT_TRUE(report.rowsChanged);
    EXPECT_TRUE(report.messages.empty());
    EXPECT_EQ(InodeOf(tree / "x/a.txt"), InodeOf(tree / "keep/a.txt"));
    EXPECT_EQ(InodeOf(tree / "x/b.txt"), InodeOf(tree / "keep/b.txt"));
    EXPECT_NE(InodeOf(tree / "y/a.txt"), InodeOf(tree / "keep/a.txt"));
    const ResultsModel& model = *listed.model;
    EXPECT_EQ(model.Row(RowOf(model, tree / "x/a.txt")).replaced, kReplacedByLink);
    EXPECT_EQ(model.Row(RowOf(model, tree / "y/a.txt")).replaced, kNotReplaced);
    EXPECT_EQ(runner.LastActionText().rfind(FormatActionDone(ActionVerb(DuplicateActionKind::kHardLink),
                                                             2, FormatSizeText(400.0)), 0), 0u)
        << runner.LastActionText();
    EXPECT_EQ(runner.LastDoneCount(), 2u);
    // Rows already replaced are not offered again.
    EXPECT_FALSE(runner.Act(model, AllRows(model), DuplicateActionKind::kHardLink, std::string(),
                            setup, &question, &refusal));

    // A runner made later (the program started again) takes the undo up from the journal, and
    // it only adds rows to groups a later search lists.
    {
        ActionRunner later;
        later.LoadKeptUndo(listed);
        ASSERT_TRUE(later.CanUndo());
        EXPECT_EQ(later.UndoActionName(), ActionVerb(DuplicateActionKind::kHardLink));
    }
    ASSERT_TRUE(runner.CanUndo());
    const ActionRunner::Report undone = Complete(runner, runner.Undo());
    EXPECT_TRUE(undone.rowsChanged);
    EXPECT_TRUE(undone.messages.empty());
    EXPECT_NE(InodeOf(tree / "x/a.txt"), InodeOf(tree / "keep/a.txt"));
    EXPECT_EQ(model.Row(RowOf(model, tree / "x/a.txt")).replaced, kNotReplaced);
    EXPECT_EQ(model.RowCount(), 5u);
    EXPECT_EQ(runner.LastActionText(), FormatUndoDone(2, FormatSizeText(400.0)));
    EXPECT_FALSE(runner.CanUndo());
    EXPECT_FALSE(runner.Undo());
    ActionRunner afterUndo;
    afterUndo.LoadKeptUndo(listed);
    EXPECT_FALSE(afterUndo.CanUndo()) << "the journal still held the undo taken back";

    // The files the undo gave back are its own new files, which their rows now list: a move
    // takes them (not "replaced during the search"). With the setting on, the move that empties
    // x/ removes it, and its undo makes it again.
    setup.removeEmptiedFolders = true;
    const std::vector<std::size_t> inX = {RowOf(model, tree / "x/a.txt"), RowOf(model, tree / "x/b.txt")};
    auto move = runner.Act(model, inX, DuplicateActionKind::kMove, tree / "aside", setup, &question,
                           &refusal);
    ASSERT_TRUE(move) << refusal;
    const ActionRunner::Report moved = Complete(runner, move);
    EXPECT_TRUE(moved.messages.empty()) << moved.messages[0];
    EXPECT_FALSE(fs::exists(tree / "x"));
    EXPECT_TRUE(fs::exists(tree / "aside"));
    // The undo also takes away the folders the move made, while they hold nothing: one given
    // a file meanwhile stays, with that file.
    tree.WriteFile("aside/note.txt", "put here since");
    Complete(runner, runner.Undo());
    EXPECT_TRUE(fs::exists(tree / "x/a.txt") && fs::exists(tree / "x/b.txt"));
    EXPECT_EQ(model.RowCount(), 5u);
    EXPECT_EQ(ReadWholeFile(tree / "aside/note.txt"), "put here since");
    ASSERT_TRUE(fs::is_directory(tree / "aside"));
    std::size_t inAside = 0;
    for (const auto& entry : fs::recursive_directory_iterator(tree / "aside")) {
        (void)entry;
        ++inAside;
    }
    EXPECT_EQ(inAside, 1u) << "the folders the move made below aside/ are gone";
}

TEST_F(ActionRunnerTest, MovesAndDeletesKeepOutOfProtectedFolders) {
    ActionRunner runner;
    std::string question, refusal;
    // Into a protected folder: refused with its reason, nothing to run.
    EXPECT_FALSE(runner.Act(*listed.model, AllRows(*listed.model), DuplicateActionKind::kMove,
                            tree / "y/in", setup, &question, &refusal));
    EXPECT_EQ(refusal, FormatMoveIntoProtected(tree / "y/in"));
    EXPECT_TRUE(question.empty());

    // A delete of a protected file and another: only the other goes, whatever was chosen, and
    // the row after the deleted one is the next to select.
    std::vector<std::string> asked;
    runner.SetFileDeleter([&](const std::vector<std::string>& paths, bool toTrash) {
        EXPECT_TRUE(toTrash);
        asked.insert(asked.end(), paths.begin(), paths.end());
        return std::vector<std::string>();
    });
    const std::size_t x = RowOf(*listed.model, tree / "x/a.txt");
    const std::size_t y = RowOf(*listed.model, tree / "y/a.txt");
    auto job = runner.Delete(*listed.model, {x, y}, false, setup);
    ASSERT_TRUE(job);
    int letGo = 0;
    const ActionRunner::Report report = Complete(runner, job, &letGo);
    EXPECT_EQ(asked, std::vector<std::string>{tree / "x/a.txt"});
    EXPECT_EQ(letGo, 1);
    ASSERT_EQ(listed.model->RowCount(), 4u);
    ASSERT_GE(report.selectRow, 0);
    EXPECT_EQ(listed.model->Row(static_cast<std::size_t>(report.selectRow)).record->Path(),
              x < y ? tree / "y/a.txt" : listed.model->Row(x).record->Path());
    ASSERT_EQ(report.messages.size(), 1u) << "the protected file is named as left";
    EXPECT_NE(report.messages[0].find(tree / "y/a.txt"), std::string::npos) << report.messages[0];
    EXPECT_EQ(runner.LastDoneCount(), 1u);
    // The status names what went.
    EXPECT_EQ(runner.LastActionText(),
              FormatActionDone(ActionVerb(DuplicateActionKind::kTrash), 1, FormatSizeText(300.0)));
    EXPECT_FALSE(runner.Delete(*listed.model, {}, true, setup));
}

// Each action that did something is one more step; a refused one adds nothing and hides no
// step; Ctrl+Z takes the steps back newest first, each naming itself, and the stack outlives
// the runner.
TEST_F(ActionRunnerTest, TheUndoIsAStackThatAnActionDoingNothingLeavesAlone) {
    ActionRunner runner;
    std::string question, refusal;
    ResultsModel& model = *listed.model;
    auto link = runner.Act(model, {RowOf(model, tree / "x/a.txt")}, DuplicateActionKind::kHardLink,
                           std::string(), setup, &question, &refusal);
    ASSERT_TRUE(link);
    Complete(runner, link);
    auto move = runner.Act(model, {RowOf(model, tree / "x/b.txt")}, DuplicateActionKind::kMove,
                           tree / "aside", setup, &question, &refusal);
    ASSERT_TRUE(move);
    Complete(runner, move);
    ASSERT_EQ(runner.UndoSteps(), 2u);
    EXPECT_EQ(runner.UndoMenuText(), FormatUndoStep(ActionVerb(DuplicateActionKind::kMove), 1));

    // A duplicate changes behind the list's back: its link is refused in the act, and the two
    // steps stay as they were.
    setup.protectedFolders.clear();
    tree.WriteFile("y/a.txt", std::string(300, 'z'));
    auto refused = runner.Act(model, {RowOf(model, tree / "y/a.txt")}, DuplicateActionKind::kHardLink,
                              std::string(), setup, &question, &refusal);
    ASSERT_TRUE(refused);
    const ActionRunner::Report left = Complete(runner, refused);
    ASSERT_EQ(left.messages.size(), 1u);
    EXPECT_NE(left.messages[0].find(tree / "y/a.txt"), std::string::npos) << left.messages[0];
    EXPECT_EQ(runner.UndoSteps(), 2u);
    EXPECT_EQ(runner.UndoMenuText(), FormatUndoStep(ActionVerb(DuplicateActionKind::kMove), 1));

    // The journal holds both: a later runner has the same stack. A journal of one step, as
    // written before there was a stack, is still read.
    {
        ActionRunner later;
        later.LoadKeptUndo(listed);
        EXPECT_EQ(later.UndoSteps(), 2u);
        EXPECT_EQ(later.UndoMenuText(), runner.UndoMenuText());
        const JournalContents kept = ActionJournal().Read();
        ASSERT_GE(kept.undo.size(), 2u);
        ASSERT_EQ(kept.undo[0], (std::vector<std::string>{"step", "action"}));
        std::vector<std::vector<std::string>> single{{"action"}};
        for (std::size_t i = 1; i < kept.undo.size() && kept.undo[i].size() == 1; ++i)
            single.push_back(kept.undo[i]);
        UndoStack old;
        EXPECT_EQ(old.Load(single, 0, TrashUndo::Restorer()), 1u);
        EXPECT_EQ(old.Top()->Kind(), DuplicateActionKind::kHardLink);
        // Damage in one step passes over that step only.
        std::vector<std::vector<std::string>> damaged = kept.undo;
        damaged[1][0] += "x";
        UndoStack some;
        EXPECT_EQ(some.Load(damaged, 0, TrashUndo::Restorer()), 1u);
        EXPECT_EQ(some.Top()->Kind(), DuplicateActionKind::kMove);
    }

    // Newest first: the move (with the folders it made), then the link, each saying what it
    // put back.
    Complete(runner, runner.Undo());
    EXPECT_TRUE(fs::exists(tree / "x/b.txt"));
    EXPECT_FALSE(fs::exists(tree / "aside"));
    EXPECT_EQ(runner.LastActionText(), FormatUndoDone(1, FormatSizeText(100.0)));
    ASSERT_EQ(runner.UndoSteps(), 1u);
    EXPECT_EQ(runner.UndoMenuText(), FormatUndoStep(ActionVerb(DuplicateActionKind::kHardLink), 1));
    Complete(runner, runner.Undo());
    EXPECT_NE(InodeOf(tree / "x/a.txt"), InodeOf(tree / "keep/a.txt"));
    EXPECT_EQ(runner.LastActionText(), FormatUndoDone(1, FormatSizeText(300.0)));
    EXPECT_FALSE(runner.CanUndo());
    EXPECT_EQ(runner.UndoMenuText(), "");

    // The stack keeps its newest steps only; an empty step is none.
    UndoStack stack;
    EXPECT_FALSE(stack.Push(std::make_unique<UndoStep>()));
    EXPECT_TRUE(stack.Empty());
    EXPECT_TRUE(stack.Save(1 << 20).empty());
}

}  // namespace

#endif  // !_WIN32
