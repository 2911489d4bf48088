#include "results/action_runner.h"

#include <algorithm>

#include "engine/actions/action_journal.h"
#include "engine/actions/action_kinds.h"
#include "engine/actions/duplicate_action.h"
#include "engine/actions/leftovers.h"
#include "engine/actions/safe_delete.h"
#include "engine/results/keep_rules.h"
#include "engine/search/duplicate_search.h"
#include "engine/text/string_table.h"
#include "engine/text/text_format.h"
#include "engine/text/text_helpers.h"
#include "platform/file_delete.h"
#include "results/file_launcher.h"

struct ActionRunner::Job {
    enum Kind { kDelete, kAct, kUndo } job = kDelete;
    DuplicateActionKind kind = DuplicateActionKind::kTrash;
    std::vector<std::size_t> rows;
    Setup setup;
    std::string folder;                 // a move's
    std::vector<std::string> folders;   // folders taken whole (in place of `rows`)
    SafeDelete::Deleter deleter;        // a delete's replacement remover (none: the handles)
    const ResultsModel* model = nullptr;  // the listed rows: not changed while the work runs
    // What came back.
    DeleteOutcome deleted;
    ActionOutcome acted;
    std::string leftovers;  // what an interrupted run had left, settled first
    // An undo's: one of the two.
    const TrashUndo* trashUndo = nullptr;
    const ActionUndo* actionUndo = nullptr;
    UndoOutcome undone;
};

namespace {
// The first row after the first of `rows` that is not among them (null: none).
const CFileRecord* RowAfter(const ResultsModel& model, const std::vector<std::size_t>& rows) {
    std::vector<char> gone(model.RowCount(), 0);
    std::size_t first = model.RowCount();
    for (std::size_t row : rows) {
        if (row >= gone.size()) continue;
        gone[row] = 1;
        first = std::min(first, row);
    }
    for (std::size_t row = first; row < model.RowCount(); ++row)
        if (!gone[row]) return model.Row(row).record.get();
    return nullptr;
}
}  // namespace

ActionPlan ActionRunner::Plan(const ResultsModel& model, const std::vector<std::size_t>& rows,
                              DuplicateActionKind kind, const std::string& folder,
                              const Setup& setup) {
    PlanSettings settings;
    settings.kind = kind;
    settings.protectedFolders = setup.protectedFolders;
    settings.moveFolder = folder;
    settings.startPaths = setup.startPaths;
    return ActionPlan(model, rows, settings);
}

std::vector<std::size_t> ActionRunner::ActionRows(const ResultsModel& model,
                                                  const std::vector<std::size_t>& rows,
                                                  DuplicateActionKind kind, const Setup& setup) {
    // The plan decides: no group's first row, no row replaced already, no protected file.
    std::vector<std::size_t> acted;
    const ActionPlan plan = Plan(model, rows, kind, std::string(), setup);
    for (const PlannedFile& file : plan.Files())
        if (file.verdict == PlanVerdict::kGoes || file.verdict == PlanVerdict::kNoTarget)
            acted.push_back(file.row);
    return acted;
}

bool ActionRunner::CanShare(const ResultsModel& model, const std::vector<std::size_t>& rows,
                            const Setup& setup) {
    for (std::size_t row : ActionRows(model, rows, DuplicateActionKind::kShareData, setup)) {
        const CFileRecord& record = *model.Row(row).record;
        auto known = m_shareByDevice.find(record.m_nDevice);
        if (known == m_shareByDevice.end())
            known = m_shareByDevice
                        .emplace(record.m_nDevice,
                                 platform::FileSystemCanShareData(FolderOfFile(record.Path())))
                        .first;
        if (known->second) return true;
    }
    return false;
}

std::int64_t ActionRunner::Total(const Job& job) const {
    if (job.job != Job::kUndo) return static_cast<std::int64_t>(job.rows.size());
    return static_cast<std::int64_t>(job.actionUndo != nullptr ? job.actionUndo->Count()
                                                               : job.trashUndo->Count());
}

std::shared_ptr<ActionRunner::Job> ActionRunner::Delete(const ResultsModel& model,
                                                        const std::vector<std::size_t>& rows,
                                                        bool forGood, const Setup& setup) {
    if (rows.empty()) return nullptr;
    auto job = std::make_shared<Job>();
    job->job = Job::kDelete;
    job->kind = forGood ? DuplicateActionKind::kDelete : DuplicateActionKind::kTrash;
    job->rows = rows;
    job->setup = setup;
    job->model = &model;
    if (m_deleter) {
        job->deleter = [deleter = m_deleter, forGood](const std::vector<std::string>& paths) {
            return deleter(paths, !forGood);
        };
    }
    return job;
}

std::shared_ptr<ActionRunner::Job> ActionRunner::Act(const ResultsModel& model,
                                                     const std::vector<std::size_t>& rows,
                                                     DuplicateActionKind kind,
                                                     const std::string& folder, const Setup& setup,
                                                     std::string* question, std::string* refusal) {
    const std::vector<std::size_t> acted = ActionRows(model, rows, kind, setup);
    if (acted.empty()) return nullptr;
    if (kind == DuplicateActionKind::kMove) {
        if (folder.empty()) return nullptr;
        // Files moved into a protected folder could never be acted on again from there.
        if (FolderList(setup.protectedFolders).Holds(folder + platform::kPathSeparator + "x")) {
            if (refusal != nullptr) *refusal = FormatMoveIntoProtected(folder);
            return nullptr;
        }
    }
    // The question names what the plan would do.
    const ActionPlan plan = Plan(model, rows, kind, folder, setup);
    if (plan.Goes() == 0 && plan.StaysBeforehand(model).empty()) return nullptr;
    const int count = plan.Goes();
    const std::string size = FormatSizeText(static_cast<double>(plan.Bytes()));
    if (question != nullptr)
        *question = kind == DuplicateActionKind::kHardLink    ? FormatConfirmHardLink(count, size)
                    : kind == DuplicateActionKind::kShareData ? FormatConfirmShareData(count, size)
                                                              : FormatConfirmMoveTo(count, size, folder);
    auto job = std::make_shared<Job>();
    job->job = Job::kAct;
    job->kind = kind;
    job->rows = acted;
    job->folder = folder;
    job->setup = setup;
    job->model = &model;
    return job;
}

std::shared_ptr<ActionRunner::Job> ActionRunner::ActOnFolders(
    const ResultsModel& model, const std::vector<std::string>& folders, DuplicateActionKind kind,
    const std::string& moveFolder, const Setup& setup, std::string* question,
    std::string* refusal) {
    if (folders.empty() || !ActionKind(kind).removesName) return nullptr;
    if (kind == DuplicateActionKind::kMove) {
        if (moveFolder.empty()) return nullptr;
        if (FolderList(setup.protectedFolders).Holds(moveFolder + platform::kPathSeparator + "x")) {
            if (refusal != nullptr) *refusal = FormatMoveIntoProtected(moveFolder);
            return nullptr;
        }
    }
    PlanSettings settings;
    settings.kind = kind;
    settings.protectedFolders = setup.protectedFolders;
    settings.moveFolder = moveFolder;
    settings.startPaths = setup.startPaths;
    const ActionPlan plan(model, folders, settings);
    if (plan.FoldersGoing() == 0) {
        if (refusal != nullptr) {
            *refusal = LoadStringText(IDS_FOLDERS_NONE_GO);
            for (const auto& stays : plan.StaysBeforehand(model))
                *refusal += "\n" + stays.first + ": " + stays.second;
        }
        return nullptr;
    }
    if (question != nullptr)
        *question = FormatConfirmFolders(ActionVerb(kind), plan.FoldersGoing(), plan.Goes(),
                                         FormatSizeText(static_cast<double>(plan.Bytes())));
    auto job = std::make_shared<Job>();
    job->job = kind == DuplicateActionKind::kMove ? Job::kAct : Job::kDelete;
    job->kind = kind;
    for (const PlannedFile& file : plan.Files())
        if (file.verdict == PlanVerdict::kGoes) job->rows.push_back(file.row);
    job->folders = folders;
    job->folder = moveFolder;
    job->setup = setup;
    job->model = &model;
    if (m_deleter && kind != DuplicateActionKind::kMove) {
        const bool forGood = kind == DuplicateActionKind::kDelete;
        job->deleter = [deleter = m_deleter, forGood](const std::vector<std::string>& paths) {
            return deleter(paths, !forGood);
        };
    }
    return job;
}

std::shared_ptr<ActionRunner::Job> ActionRunner::Undo() {
    const UndoStep* step = m_undo.Top();
    if (step == nullptr) return nullptr;
    auto job = std::make_shared<Job>();
    job->job = Job::kUndo;
    // The step stays on the stack while its work runs (nothing else runs meanwhile).
    if (step->IsTrash()) {
        job->trashUndo = &step->trash;
    } else {
        job->actionUndo = &step->action;
    }
    return job;
}

void ActionRunner::Run(Job& job, ProgressSink* progress) {
    switch (job.job) {
    case Job::kDelete: {
        // Without a replacement, files go through the handles their checks held.
        const bool toTrash = job.kind == DuplicateActionKind::kTrash;
        SafeDelete remover = job.deleter ? SafeDelete(progress, job.deleter)
                                         : SafeDelete(progress, toTrash);
        remover.SetProtectedFolders(job.setup.protectedFolders);
        if (job.setup.removeEmptiedFolders) remover.SetRemoveEmptiedFolders(job.setup.startPaths);
        job.deleted = job.folders.empty() ? remover.Run(*job.model, job.rows)
                                          : remover.RunFolders(*job.model, job.folders);
        job.leftovers = LeftoverMessage(remover.Leftovers());
        break;
    }
    case Job::kAct: {
        DuplicateAction action(job.kind, progress);
        action.SetProtectedFolders(job.setup.protectedFolders);
        action.SetMoveTarget(job.folder, job.setup.startPaths);
        action.SetAnyOwner(job.setup.linkAnyOwner);
        if (job.setup.removeEmptiedFolders) action.SetRemoveEmptiedFolders(job.setup.startPaths);
        job.acted = job.folders.empty()
                        ? action.Run(*job.model, job.rows)
                        : action.Apply(*job.model, action.PlanFolders(*job.model, job.folders));
        job.leftovers = LeftoverMessage(action.Leftovers());
        break;
    }
    case Job::kUndo:
        job.undone = job.actionUndo != nullptr ? job.actionUndo->Restore(progress)
                                               : job.trashUndo->Restore(progress);
        break;
    }
}

ActionRunner::Report ActionRunner::Finish(Job& job, ListedResults& listed,
                                          const std::function<void()>& rowsWillChange) {
    switch (job.job) {
    case Job::kDelete: return FinishDelete(job, listed, rowsWillChange);
    case Job::kAct: return FinishAct(job, listed, rowsWillChange);
    case Job::kUndo: break;
    }
    return FinishUndo(job, listed, rowsWillChange);
}

ActionRunner::Report ActionRunner::FinishDelete(Job& job, ListedResults& listed,
                                                const std::function<void()>& rowsWillChange) {
    Report report;
    const DeleteOutcome& outcome = job.deleted;
    ResultsModel& model = *listed.model;
    // The undo takes the files as listed, before their rows go; a move to the trash is one
    // more step, a delete for good (or one that removed nothing) leaves the steps as they were.
    if (!outcome.trashed.empty()) {
        auto step = std::make_unique<UndoStep>();
        step->trash.Remember(model, outcome, &listed.found);
        if (m_restorer) step->trash.SetRestorer(m_restorer);
        step->results = listed.number;
        m_undo.Push(std::move(step));
        KeepUndo();
    }
    std::int64_t bytes = 0;
    for (std::size_t row : outcome.goneRows)
        if (row < model.RowCount()) bytes += model.Row(row).record->m_nSize;
    if (!outcome.goneRows.empty()) {
        if (rowsWillChange) rowsWillChange();
        const CFileRecord* next = RowAfter(model, outcome.goneRows);
        const std::size_t firstGone =
            *std::min_element(outcome.goneRows.begin(), outcome.goneRows.end());
        model.RemoveRows(outcome.goneRows);
        report.rowsChanged = true;
        // The row after the deleted ones is selected, so that the next delete by keyboard
        // has its row.
        for (std::size_t r = 0; next != nullptr && r < model.RowCount() && report.selectRow < 0; ++r)
            if (model.Row(r).record.get() == next) report.selectRow = static_cast<long>(r);
        if (report.selectRow < 0 && model.RowCount() > 0)
            report.selectRow = static_cast<long>(std::min(firstGone, model.RowCount() - 1));
    }
    m_nLastDone = outcome.goneRows.size();
    // What went stays in view (the summary above it counts what is left).
    m_strLastAction = FormatActionDone(ActionVerb(job.kind), static_cast<int>(outcome.goneRows.size()),
                                       FormatSizeText(static_cast<double>(bytes)));
    if (!outcome.removedFolders.empty())
        m_strLastAction += "; " + FormatFoldersRemoved(static_cast<int>(outcome.removedFolders.size()));
    if (!job.leftovers.empty()) report.messages.push_back(job.leftovers);
    if (!outcome.kept.empty()) report.messages.push_back(KeptFilesMessage(outcome.kept));
    return report;
}

ActionRunner::Report ActionRunner::FinishAct(Job& job, ListedResults& listed,
                                             const std::function<void()>& rowsWillChange) {
    Report report;
    const ActionOutcome& outcome = job.acted;
    ResultsModel& model = *listed.model;
    // The undo takes the files as listed, before moved rows go: one more step, when anything
    // was done.
    auto step = std::make_unique<UndoStep>();
    step->action.Remember(job.kind, model, outcome, &listed.found);
    step->results = listed.number;
    if (m_undo.Push(std::move(step))) KeepUndo();
    if (rowsWillChange) rowsWillChange();
    const ActionKindInfo& info = ActionKind(job.kind);
    std::vector<std::size_t> gone;
    std::int64_t bytes = 0;
    for (const ActionStep& step : outcome.done) {
        bytes += step.bytes;
        if (info.removesName) {
            gone.push_back(step.row);
        } else if (step.row < model.RowCount()) {
            model.SetReplaced(step.row, job.kind == DuplicateActionKind::kHardLink ? kReplacedByLink
                                                                                   : kReplacedShared);
        }
    }
    model.RemoveRows(gone);
    report.rowsChanged = true;
    // What was done and, as the file systems tell it, what it freed.
    m_strLastAction = FormatActionDone(ActionVerb(job.kind), static_cast<int>(outcome.done.size()),
                                       FormatSizeText(static_cast<double>(bytes)));
    if (outcome.freedKnown)
        m_strLastAction += "; " + FormatActionFreed(FormatSizeText(static_cast<double>(
                                      std::max<std::int64_t>(outcome.freedBytes, 0))));
    m_nLastDone = outcome.done.size();
    if (!job.leftovers.empty()) report.messages.push_back(job.leftovers);
    if (!outcome.refused.empty())
        report.messages.push_back(m_strLastAction + "\n\n" + ActionLeftMessage(outcome.refused));
    return report;
}

ActionRunner::Report ActionRunner::FinishUndo(Job& job, ListedResults& listed,
                                              const std::function<void()>& rowsWillChange) {
    Report report;
    UndoStep* step = m_undo.Top();
    if (step == nullptr) return report;
    if (!job.undone.restored.empty()) {
        if (rowsWillChange) rowsWillChange();
        const bool sameRows = step->results == listed.number;
        if (job.actionUndo != nullptr) {
            step->action.PutBackRows(job.undone, *listed.model, sameRows, &listed.found);
        } else {
            step->trash.PutBackRows(job.undone, *listed.model, sameRows, &listed.found);
        }
        listed.found.Reapply(listed.policy, *listed.model);
        report.rowsChanged = true;
    }
    // Taken back as far as it could be: what stayed is named, the steps below it wait.
    m_undo.Pop();
    KeepUndo();
    m_strLastAction = FormatUndoDone(static_cast<int>(job.undone.restored.size()),
                                     FormatSizeText(static_cast<double>(job.undone.bytes)));
    if (!job.undone.kept.empty()) report.messages.push_back(UndoKeptMessage(job.undone.kept));
    return report;
}

std::string ActionRunner::UndoActionName() const {
    const UndoStep* step = m_undo.Top();
    return step == nullptr || step->IsTrash() ? std::string() : ActionVerb(step->Kind());
}

std::string ActionRunner::UndoMenuText() const {
    const UndoStep* step = m_undo.Top();
    if (step == nullptr) return std::string();
    return FormatUndoStep(ActionVerb(step->Kind()), static_cast<int>(step->Count()));
}

void ActionRunner::NewSearch() {
    m_strLastAction.clear();
    m_shareByDevice.clear();
}

void ActionRunner::KeepUndo() const {
    ActionJournal journal;
    // Steps too large would crowd out of the journal what an interrupted run left: those stay
    // in memory only.
    const std::vector<std::vector<std::string>> lines = m_undo.Save(ActionJournal::kMaxJournal / 4);
    if (lines.empty()) {
        journal.ClearUndo();
        return;
    }
    journal.SaveUndo(lines);
}

void ActionRunner::LoadKeptUndo(const ListedResults& listed) {
    const JournalContents contents = ActionJournal().Read();
    // The rows they were made from are gone with the program: they only add rows to groups
    // a search lists again.
    m_undo.Clear();
    m_undo.Load(contents.undo, listed.number - 1, m_restorer);
}
