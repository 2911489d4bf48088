// What is done with the duplicates of a search, as the command line and the window's
// replacements ask for it: the plan of `kind` for the chosen rows, applied by the one checked
// loop (engine/actions/apply_plan.h) with the free space measured before and after. Files in
// protected folders are never touched. Each file done is recorded (what, from where, to where)
// so that it can be reported, and taken back later.
#pragma once

#include <string>
#include <vector>

#include "engine/actions/action_kinds.h"
#include "engine/actions/action_plan.h"
#include "engine/actions/apply_plan.h"
#include "engine/actions/leftovers.h"

class DuplicateAction {
public:
    // `progress` (may be null, not owned) shows the work and can stop it.
    DuplicateAction(DuplicateActionKind kind, ProgressSink* progress);

    DuplicateActionKind Kind() const { return m_settings.kind; }
    void SetProtectedFolders(const std::vector<std::string>& folders) {
        m_settings.protectedFolders = folders;
    }
    // kMove: the folder the duplicates go into, and the search's start paths (a file goes to
    // MoveTarget(folder, startPaths, path)).
    void SetMoveTarget(const std::string& folder, const std::vector<std::string>& startPaths) {
        m_settings.moveFolder = folder;
        m_settings.startPaths = startPaths;
    }
    // kHardLink: also replace a duplicate whose permissions or owner differ from the copy's
    // (it then takes the copy's). Off: such a file is left and named.
    void SetAnyOwner(bool any) { m_parts.anyOwner = any; }
    // The folders the action leaves empty are removed, up to below the start path that holds
    // them (a move's start paths are these too).
    void SetRemoveEmptiedFolders(const std::vector<std::string>& startPaths) {
        m_settings.startPaths = startPaths;
        m_settings.removeEmptiedFolders = true;
    }
    // The loop's replaceable parts, for tests.
    ApplyParts& Parts() { return m_parts; }

    // The plan for the files of `rows` of `model`.
    ActionPlan Plan(const ResultsModel& model, const std::vector<std::size_t>& rows) const {
        return ActionPlan(model, rows, m_settings);
    }
    // The plan that takes `folders` of `model` whole.
    ActionPlan PlanFolders(const ResultsModel& model, const std::vector<std::string>& folders) const {
        return ActionPlan(model, folders, m_settings);
    }
    // Acts on the files of `rows` of `model` (which is not changed).
    ActionOutcome Run(const ResultsModel& model, const std::vector<std::size_t>& rows);
    // Does what `plan` (made by Plan for `model`) says, after settling what an interrupted
    // run left (Leftovers() tells what).
    ActionOutcome Apply(const ResultsModel& model, const ActionPlan& plan) {
        m_leftovers = SettleLeftovers();
        return ApplyPlan(model, plan, m_progress, m_parts);
    }
    const LeftoverReport& Leftovers() const { return m_leftovers; }

private:
    ProgressSink* m_progress;
    PlanSettings m_settings;
    ApplyParts m_parts;
    LeftoverReport m_leftovers;
};
