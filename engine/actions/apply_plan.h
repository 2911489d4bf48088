// The one checked loop of every action. For each file the plan says goes, in row order: hold
// it (locked, leased against writers), check it is still the file that was listed, hold and
// check a copy that stays and compare their bytes, then act in two steps (the file leaves its
// name, both files are checked once more, and only then is it removed or replaced; on any
// doubt it goes back), check the copy again afterwards, and record the step for the report and
// the undo. What the plan keeps is never touched. A folder chosen whole is checked whole first
// (it holds no file but its listed ones, each still as listed): a folder that fails keeps every
// file, and one whose file fails later keeps the rest of them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/actions/action_plan.h"
#include "engine/search/file_check.h"
#include "engine/search/progress_sink.h"
#include "engine/results/results_model.h"
#include "platform/empty_folders.h"
#include "platform/file_delete.h"
#include "platform/file_metadata.h"
#include "platform/trash_restore.h"

// One file done.
struct ActionStep {
    DuplicateActionKind kind = DuplicateActionKind::kTrash;
    std::size_t row = 0;
    std::string path;    // the duplicate, where it was
    std::string copy;    // the copy it was compared with (the one linked to or shared with)
    std::string target;  // kMove: where it is now; kTrash: where in the trash, if known
    std::int64_t bytes = 0;
    // The file as it stood right after the step, for taking it back: kHardLink the copy's file
    // (which the path names too now), kMove the file at `target`.
    platform::FileIdentity after;
    bool trashed = false;           // kTrash: `trash` tells where it went
    platform::TrashedFile trash;
    // kHardLink: the duplicate's own metadata, taken just before the link, for giving it back.
    std::optional<platform::FileMetadata> before;
};

struct ActionOutcome {
    std::vector<ActionStep> done;  // in the order done
    // Files that were to be acted on and were left, with why: the plan's own first (protected
    // files, last copies), then those that failed a check or the act, in row order. A file
    // done whose copy changed meanwhile is named here too.
    std::vector<std::pair<std::string, std::string>> refused;
    bool stopped = false;  // the user stopped it; the files not reached yet were left alone
    // Free space of the file systems acted on, after less before, as they report it; known
    // only when every one of them could tell both times (and only measured when asked).
    bool freedKnown = false;
    std::int64_t freedBytes = 0;
    // The folders chosen whole that went with every file of them.
    std::vector<std::string> foldersDone;
    // The folders the action left empty and removed (PlanSettings::removeEmptiedFolders),
    // deepest first.
    std::vector<platform::RemovedFolder> removedFolders;
};

// The parts of the loop that tests (and the window's own replacement of the file system) may
// put in place of the real ones.
struct ApplyParts {
    // Removes one checked file held in `file` (trash, delete), asking `confirm` between the
    // two steps: 0, or the error code (-1: refused without a reason of its own).
    using Remover = std::function<int(platform::HeldFile& file, const platform::HeldFile::Confirm& confirm)>;
    // Compares two checked files held open (see CompareOpenFiles).
    using Compare = std::function<ContentMatch(
        const CFileRecord& a, platform::FileReader& readerA, const CFileRecord& b,
        platform::FileReader& readerB, const std::function<bool()>& stop, std::string* reason)>;

    Remover remover;  // empty: HeldFile::Remove
    Compare compare;  // empty: CompareOpenFiles
    // Called inside each act between its two steps, before its last checks: where tests let
    // another program come at the worst moment.
    std::function<void()> betweenSteps;
    // A hard link: also replace a duplicate whose permissions or owner differ from the copy's
    // (it then takes the copy's). Off: such a file is left and named.
    bool anyOwner = false;
    // Measure the free space of the file systems acted on before and after.
    bool measureFreed = false;
};

// Applies `plan`, made for `model` (which is not changed: the caller mends its rows from the
// steps). `progress` (may be null, not owned) shows the work and can stop it.
ActionOutcome ApplyPlan(const ResultsModel& model, const ActionPlan& plan, ProgressSink* progress,
                        const ApplyParts& parts = ApplyParts());
