#include "engine/actions/undo_stack.h"

#include <utility>

namespace {
const char kStepLine[] = "step";
const char kTrashStep[] = "trash";
const char kActionStep[] = "action";

// One step's lines into `step` (a trash step or an action step); false when damaged.
bool LoadStep(const std::string& kind, const std::vector<std::string>& lines, UndoStep& step) {
    if (kind == kTrashStep) return step.trash.Load(lines);
    if (kind == kActionStep) return step.action.Load(lines);
    return false;
}
}  // namespace

bool UndoStack::Push(std::unique_ptr<UndoStep> step) {
    if (!step || step->Empty()) return false;
    m_steps.push_back(std::move(step));
    if (m_steps.size() > kMostSteps) m_steps.erase(m_steps.begin());
    return true;
}

void UndoStack::Pop() {
    if (!m_steps.empty()) m_steps.pop_back();
}

std::vector<std::vector<std::string>> UndoStack::Save(std::size_t maxBytes) const {
    // Newest first, as long as they fit; then written oldest first.
    std::vector<std::vector<std::string>> steps;
    std::size_t bytes = 0;
    for (auto it = m_steps.rbegin(); it != m_steps.rend(); ++it) {
        const UndoStep& step = **it;
        std::vector<std::string> lines = step.IsTrash() ? step.trash.Save() : step.action.Save();
        std::size_t size = 0;
        for (const std::string& line : lines) size += line.size();
        if (bytes + size > maxBytes) break;
        bytes += size;
        lines.insert(lines.begin(), step.IsTrash() ? kTrashStep : kActionStep);
        steps.push_back(std::move(lines));
    }
    std::vector<std::vector<std::string>> out;
    for (auto it = steps.rbegin(); it != steps.rend(); ++it) {
        out.push_back({kStepLine, it->front()});
        for (std::size_t i = 1; i < it->size(); ++i) out.push_back({(*it)[i]});
    }
    return out;
}

std::size_t UndoStack::Load(const std::vector<std::vector<std::string>>& lines, unsigned results,
                            const TrashUndo::Restorer& restorer) {
    std::size_t taken = 0;
    auto take = [&](const std::string& kind, const std::vector<std::string>& stepLines) {
        auto step = std::make_unique<UndoStep>();
        step->results = results;
        if (!LoadStep(kind, stepLines, *step)) return;
        if (restorer && step->IsTrash()) step->trash.SetRestorer(restorer);
        if (Push(std::move(step))) ++taken;
    };
    // A single step, as kept before there was a stack.
    if (!lines.empty() && lines[0].size() == 1) {
        std::vector<std::string> stepLines;
        for (std::size_t i = 1; i < lines.size(); ++i) {
            if (lines[i].size() != 1) return 0;
            stepLines.push_back(lines[i][0]);
        }
        take(lines[0][0], stepLines);
        return taken;
    }
    for (std::size_t at = 0; at < lines.size();) {
        if (lines[at].size() != 2 || lines[at][0] != kStepLine) {
            ++at;  // damage: look for the next step
            continue;
        }
        const std::string kind = lines[at][1];
        std::vector<std::string> stepLines;
        for (++at; at < lines.size() && lines[at].size() == 1; ++at) stepLines.push_back(lines[at][0]);
        take(kind, stepLines);
    }
    return taken;
}
