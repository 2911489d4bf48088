// ActionRunner: the window's actions on the listed duplicates (to the trash, delete for good,
// replace by hard links or shared data, move into a folder, and undo), out of the view. Each
// goes plan → question → work → mended rows:
// - the plan of the chosen rows decides who goes; the questions, the totals and the rows acted
//   on all read it;
// - a Job is made on the window's thread, run on the worker (Run: it only reads the rows, which
//   do not change while the window is busy) and finished back on the window's thread (Finish:
//   the rows mended, the undo kept, what to tell the user);
// - an undo stack, one step per action that did something, kept in the action journal so that
//   it outlives the program.
// No window here: the view asks the questions, runs the work and shows the report.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/actions/action_plan.h"
#include "engine/actions/action_undo.h"
#include "engine/actions/trash_undo.h"
#include "engine/actions/undo_stack.h"
#include "engine/search/progress_sink.h"
#include "results/listed_results.h"

class ActionRunner {
public:
    // What an action is given beside the rows: the keep settings' protected folders and
    // whether links may join files of other owners, the search's start paths (a move keeps a
    // file's place below them).
    struct Setup {
        std::vector<std::string> protectedFolders;
        std::vector<std::string> startPaths;
        bool linkAnyOwner = false;
        bool removeEmptiedFolders = false;  // below the start paths
    };

    // Replaceable for tests: the file remover of deletes (gets the paths and whether to the
    // trash; returns the paths still there; none: the checked handles remove them), and how a
    // file is taken out of the trash (applies to the next delete's undo).
    using FileDeleter =
        std::function<std::vector<std::string>(const std::vector<std::string>&, bool toTrash)>;
    void SetFileDeleter(FileDeleter deleter) { m_deleter = std::move(deleter); }
    void SetTrashRestorer(TrashUndo::Restorer restorer) { m_restorer = std::move(restorer); }

    // The plan of `kind` for the chosen `rows` (`folder`: a move's).
    static ActionPlan Plan(const ResultsModel& model, const std::vector<std::size_t>& rows,
                           DuplicateActionKind kind, const std::string& folder, const Setup& setup);
    // The chosen rows the plan of `kind` would act on.
    static std::vector<std::size_t> ActionRows(const ResultsModel& model,
                                               const std::vector<std::size_t>& rows,
                                               DuplicateActionKind kind, const Setup& setup);
    // Whether the file systems of the chosen duplicates can share data blocks (each asked once
    // until the next search).
    bool CanShare(const ResultsModel& model, const std::vector<std::size_t>& rows,
                  const Setup& setup);

    struct Job;
    // The work of one action or undo; Total is its count of steps, for the progress bar.
    std::int64_t Total(const Job& job) const;

    // A delete of the chosen rows: to the trash, or for good (the caller has asked first,
    // with the plan's count of files that go).
    std::shared_ptr<Job> Delete(const ResultsModel& model, const std::vector<std::size_t>& rows,
                                bool forGood, const Setup& setup);
    // A replacement or a move of the chosen rows. Null with nothing to do; null with
    // `*refusal` set when it may not be done (a move into a protected folder); else the job
    // and `*question`, what the user is asked first.
    std::shared_ptr<Job> Act(const ResultsModel& model, const std::vector<std::size_t>& rows,
                             DuplicateActionKind kind, const std::string& folder,
                             const Setup& setup, std::string* question, std::string* refusal);
    // An action on folders taken whole (trash, delete or a move into `moveFolder`). Null with
    // `*refusal` set when no folder can go (each one that stays named with why) or the move
    // may not be done; else the job and `*question`, what the user is asked first.
    std::shared_ptr<Job> ActOnFolders(const ResultsModel& model,
                                      const std::vector<std::string>& folders,
                                      DuplicateActionKind kind, const std::string& moveFolder,
                                      const Setup& setup, std::string* question,
                                      std::string* refusal);
    // The undo of the newest action not yet taken back (null: nothing to undo).
    std::shared_ptr<Job> Undo();

    // On the worker.
    static void Run(Job& job, ProgressSink* progress);

    // What the window does once a job is over.
    struct Report {
        bool rowsChanged = false;
        long selectRow = -1;  // the row to select and focus (-1: none)
        std::vector<std::string> messages;  // the files left and why, one box each
    };
    // On the window's thread: mends the listed rows and keeps the undo. `rowsWillChange` is
    // called right before the rows change (the list lets go of its selection).
    Report Finish(Job& job, ListedResults& listed, const std::function<void()>& rowsWillChange);

    // Whether there is an undo; what the next one takes back ("" for a move to the trash),
    // and how many steps there are.
    bool CanUndo() const { return !m_undo.Empty(); }
    std::string UndoActionName() const;
    std::size_t UndoSteps() const { return m_undo.Size(); }
    // The undo command's label: what it takes back and how many files ("" when nothing).
    std::string UndoMenuText() const;
    // What the last action or undo did, as the status bar shows it ("" after a new search).
    const std::string& LastActionText() const { return m_strLastAction; }
    // The number of files the last delete or action removed or replaced.
    std::size_t LastDoneCount() const { return m_nLastDone; }

    // A new search is listed: what the last action did no longer stands, its file systems
    // are asked again.
    void NewSearch();
    // The undo written to the action journal whenever it changes, and taken up again when the
    // window is made (it then only adds rows to groups a search lists again).
    void KeepUndo() const;
    void LoadKeptUndo(const ListedResults& listed);

private:
    UndoStack m_undo;
    TrashUndo::Restorer m_restorer;
    std::string m_strLastAction;
    std::size_t m_nLastDone = 0;
    std::map<std::uint64_t, bool> m_shareByDevice;  // what each file system said, this search
    FileDeleter m_deleter;

    Report FinishDelete(Job& job, ListedResults& listed, const std::function<void()>& rowsWillChange);
    Report FinishAct(Job& job, ListedResults& listed, const std::function<void()>& rowsWillChange);
    Report FinishUndo(Job& job, ListedResults& listed, const std::function<void()>& rowsWillChange);
};
