#include "engine/actions/action_undo.h"

#include <algorithm>
#include <map>
#include <unordered_map>

#include "engine/search/file_record.h"
#include "engine/actions/action_journal.h"
#include "engine/text/string_table.h"
#include "engine/text/text_format.h"
#include "platform/empty_folders.h"
#include "platform/error_text.h"
#include "platform/file_delete.h"
#include "platform/file_find.h"
#include "platform/file_metadata.h"

std::string UndoHardLink(const ActionStep& step) {
    platform::HeldFile file;
    const int code = file.Open(step.path, platform::HeldFile::kGoes);
    if (code == platform::kErrorReplaced) return LoadStringText(IDS_UNDO_LINK_REPLACED);
    if (code != 0) return CFileRecord::ErrorCodeText(code);
    // The name must still hold the kept copy's file, unchanged since the link: its data is
    // what the duplicate held.
    const platform::FileIdentity& now = file.Reader().Identity();
    if (now.device != step.after.device || now.inode != step.after.inode)
        return LoadStringText(IDS_UNDO_LINK_REPLACED);
    if (now.size != step.after.size || now.lastWrite != step.after.lastWrite)
        return LoadStringText(IDS_UNDO_COPY_CHANGED);
    const int copied = file.ReplaceByCopy(step.before ? &*step.before : nullptr);
    if (copied == platform::kErrorReplaced) return LoadStringText(IDS_UNDO_LINK_REPLACED);
    return copied == 0 ? std::string() : CFileRecord::ErrorCodeText(copied);
}

platform::RestoreResult MoveBack(const platform::TrashedFile& moved,
                                 const platform::FileIdentity& expected, int* error) {
    if (error != nullptr) *error = 0;
    if (platform::GetFileAttributes(moved.trashFile) == platform::kInvalidFileAttributes)
        return platform::RestoreResult::kNotInTrash;
    platform::HeldFile file;
    const int code = file.Open(moved.trashFile, platform::HeldFile::kGoes);
    if (code == platform::kErrorReplaced) return platform::RestoreResult::kChanged;
    if (code != 0) {
        if (error != nullptr) *error = code;
        return platform::RestoreResult::kFailed;
    }
    const platform::FileIdentity& now = file.Reader().Identity();
    if (now.device != expected.device || now.inode != expected.inode ||
        now.size != expected.size || now.lastWrite != expected.lastWrite ||
        now.changed != expected.changed)
        return platform::RestoreResult::kChanged;
    // Never over a file that took the old name: asked first for a plain answer, and the move
    // itself refuses to replace one that comes in between.
    if (platform::GetFileAttributes(moved.original) != platform::kInvalidFileAttributes)
        return platform::RestoreResult::kNameTaken;
    const int back = file.MoveTo(moved.original);
    if (back == 0) return platform::RestoreResult::kRestored;
    if (platform::GetFileAttributes(moved.original) != platform::kInvalidFileAttributes)
        return platform::RestoreResult::kNameTaken;
    if (error != nullptr) *error = back;
    return platform::RestoreResult::kFailed;
}

ActionUndo::ActionUndo() = default;

void ActionUndo::Clear() {
    m_steps.clear();
    m_moved.Clear();
    m_movedAs.clear();
    m_madeFolders.clear();
}

void ActionUndo::SetMoveRestorer() {
    m_moved.SetMovedToFolder(true);
    m_moved.SetRestorer([identities = m_movedAs](const platform::TrashedFile& moved, int* error) {
        const auto it = identities.find(moved.trashFile);
        if (it == identities.end()) return platform::RestoreResult::kChanged;
        return MoveBack(moved, it->second, error);
    });
}

void ActionUndo::Remember(DuplicateActionKind kind, const ResultsModel& model,
                          const ActionOutcome& outcome, const FoundOrder* found) {
    Clear();
    m_kind = kind;
    if (kind == DuplicateActionKind::kHardLink || kind == DuplicateActionKind::kShareData) {
        for (const ActionStep& step : outcome.done)
            if (step.kind == kind) m_steps.push_back(step);
        return;
    }
    if (kind != DuplicateActionKind::kMove) return;
    // A moved file leaves the list as a file put in the trash does, and comes back the same way.
    DeleteOutcome gone;
    for (const ActionStep& step : outcome.done) {
        if (step.kind != kind || step.row >= model.RowCount()) continue;
        gone.goneRows.push_back(step.row);
        gone.trashed.emplace_back(step.row, platform::TrashedFile{step.path, step.target, std::string(),
                                                                  step.after.size, step.after.lastWrite});
        m_movedAs[step.target] = step.after;
    }
    std::sort(gone.goneRows.begin(), gone.goneRows.end());
    gone.removedFolders = outcome.removedFolders;
    m_moved.Remember(model, gone, found);
    if (!m_moved.Empty()) {
        m_madeFolders = outcome.madeFolders;
        std::stable_sort(m_madeFolders.begin(), m_madeFolders.end(),
                         [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
    }
    SetMoveRestorer();
}

namespace {

// The saved lines of an action: "A <version> <kind> <steps> <moved files>"; per hard link or
// shared data one "S" line (the step with its metadata before, see EncodeMetadata); per moved
// file "I <where it went> <identity there>", then the move's own lines (TrashUndo::Save).
// Version 2 adds the count of folders the move made to the first line, and an "M <folder>"
// line each after the "I" lines; a move that made none is still written as version 1.
constexpr const char kActionVersion[] = "1";
constexpr const char kActionFoldersVersion[] = "2";

bool ToKind(const std::string& text, DuplicateActionKind* kind) {
    std::uint64_t value = 0;
    if (!ParseNumberField(text, &value) ||
        value > static_cast<std::uint64_t>(DuplicateActionKind::kMove))
        return false;
    *kind = static_cast<DuplicateActionKind>(value);
    return *kind == DuplicateActionKind::kHardLink || *kind == DuplicateActionKind::kShareData ||
           *kind == DuplicateActionKind::kMove;
}

void AddIdentity(std::vector<std::string>* fields, const platform::FileIdentity& id) {
    for (std::uint64_t n : {id.device, id.inode, id.size}) fields->push_back(NumberField(n));
    fields->push_back(SignedField(id.lastWrite));
    fields->push_back(SignedField(id.changed));
}

// Five fields from `at`.
bool IdentityFrom(const std::vector<std::string>& f, std::size_t at, platform::FileIdentity* id) {
    return ParseNumberField(f[at], &id->device) && ParseNumberField(f[at + 1], &id->inode) &&
           ParseNumberField(f[at + 2], &id->size) && ParseSignedField(f[at + 3], &id->lastWrite) &&
           ParseSignedField(f[at + 4], &id->changed);
}

std::string StepLine(const ActionStep& step) {
    std::vector<std::string> f{"S", NumberField(static_cast<std::uint64_t>(step.kind)), NumberField(step.row),
                               step.path, step.copy, step.target, SignedField(step.bytes)};
    AddIdentity(&f, step.after);
    f.push_back(step.trashed ? "1" : "0");
    for (const std::string* text : {&step.trash.original, &step.trash.trashFile, &step.trash.infoFile})
        f.push_back(*text);
    f.push_back(NumberField(step.trash.size));
    f.push_back(SignedField(step.trash.lastWrite));
    f.push_back(step.before ? platform::EncodeMetadata(*step.before) : std::string());
    return UndoLine(f);
}

constexpr std::size_t kStepFields = 19;

bool StepFromLine(const std::string& line, ActionStep* step) {
    std::vector<std::string> f;
    std::uint64_t row = 0;
    if (!UndoLineFields(line, &f) || f.size() != kStepFields || f[0] != "S" ||
        !ToKind(f[1], &step->kind) || step->kind == DuplicateActionKind::kMove ||
        !ParseNumberField(f[2], &row) || row > static_cast<std::size_t>(-1) || f[3].empty() ||
        !ParseSignedField(f[6], &step->bytes) || !IdentityFrom(f, 7, &step->after) ||
        (f[12] != "0" && f[12] != "1") || !ParseNumberField(f[16], &step->trash.size) ||
        !ParseSignedField(f[17], &step->trash.lastWrite))
        return false;
    step->row = static_cast<std::size_t>(row);
    step->path = f[3];
    step->copy = f[4];
    step->target = f[5];
    step->trashed = f[12] == "1";
    step->trash.original = f[13];
    step->trash.trashFile = f[14];
    step->trash.infoFile = f[15];
    step->before.reset();
    if (!f[18].empty()) {
        platform::FileMetadata before;
        if (!platform::DecodeMetadata(f[18], &before)) return false;
        step->before = std::move(before);
    }
    return true;
}

}  // namespace

std::vector<std::string> ActionUndo::Save() const {
    std::vector<std::string> lines;
    if (Empty()) return lines;
    std::vector<std::string> head{"A", kActionVersion, NumberField(static_cast<std::uint64_t>(m_kind)),
                                  NumberField(m_steps.size()), NumberField(m_movedAs.size())};
    if (!m_madeFolders.empty()) {
        head[1] = kActionFoldersVersion;
        head.push_back(NumberField(m_madeFolders.size()));
    }
    lines.push_back(UndoLine(head));
    for (const ActionStep& step : m_steps) lines.push_back(StepLine(step));
    for (const auto& moved : m_movedAs) {
        std::vector<std::string> f{"I", moved.first};
        AddIdentity(&f, moved.second);
        lines.push_back(UndoLine(f));
    }
    for (const std::string& folder : m_madeFolders) lines.push_back(UndoLine({"M", folder}));
    if (m_kind == DuplicateActionKind::kMove) {
        const std::vector<std::string> move = m_moved.Save();
        lines.insert(lines.end(), move.begin(), move.end());
    }
    return lines;
}

bool ActionUndo::Load(const std::vector<std::string>& lines) {
    Clear();
    std::vector<std::string> f;
    std::uint64_t steps = 0, moved = 0, made = 0;
    DuplicateActionKind kind = DuplicateActionKind::kHardLink;
    if (lines.empty() || !UndoLineFields(lines[0], &f) || f.size() < 5 || f[0] != "A" ||
        !((f[1] == kActionVersion && f.size() == 5) ||
          (f[1] == kActionFoldersVersion && f.size() == 6 && ParseNumberField(f[5], &made))) ||
        !ToKind(f[2], &kind) || !ParseNumberField(f[3], &steps) ||
        !ParseNumberField(f[4], &moved) || steps > lines.size() - 1 ||
        moved > lines.size() - 1 - steps || made > lines.size() - 1 - steps - moved ||
        (made != 0 && kind != DuplicateActionKind::kMove))
        return false;
    // A move has files and no steps; a replacement steps and no files.
    const bool isMove = kind == DuplicateActionKind::kMove;
    if (isMove ? (steps != 0 || moved == 0) : (steps == 0 || moved != 0 || lines.size() != 1 + steps))
        return false;
    std::size_t at = 1;
    for (std::uint64_t i = 0; i < steps; ++i) {
        ActionStep step;
        if (!StepFromLine(lines[at++], &step) || step.kind != kind) {
            Clear();
            return false;
        }
        m_steps.push_back(std::move(step));
    }
    for (std::uint64_t i = 0; i < moved; ++i) {
        platform::FileIdentity identity;
        if (!UndoLineFields(lines[at++], &f) || f.size() != 7 || f[0] != "I" || f[1].empty() ||
            !IdentityFrom(f, 2, &identity) || !m_movedAs.emplace(f[1], identity).second) {
            Clear();
            return false;
        }
    }
    for (std::uint64_t i = 0; i < made; ++i) {
        if (!UndoLineFields(lines[at++], &f) || f.size() != 2 || f[0] != "M" || f[1].empty()) {
            Clear();
            return false;
        }
        m_madeFolders.push_back(std::move(f[1]));
    }
    if (isMove) {
        if (!m_moved.Load(std::vector<std::string>(lines.begin() + static_cast<std::ptrdiff_t>(at),
                                                   lines.end()))) {
            Clear();
            return false;
        }
        SetMoveRestorer();
    }
    m_kind = kind;
    return true;
}

UndoOutcome ActionUndo::Restore(ProgressSink* progress) const {
    if (m_kind == DuplicateActionKind::kMove) {
        UndoOutcome out = m_moved.Restore(progress);
        // The folders the move made go again, deepest first, while they hold nothing: a file
        // that stayed, or one put there since, keeps its folder.
        for (const std::string& folder : m_madeFolders) {
            platform::RemovedFolder was;
            platform::RemoveEmptyFolder(folder, &was);
        }
        return out;
    }
    UndoOutcome out = UndoSteps(m_steps.size(), progress, [this](std::size_t i) {
        // Shared blocks hold the same data as the file's own would: only its row goes back.
        return std::make_pair(m_steps[i].path, m_steps[i].kind == DuplicateActionKind::kHardLink
                                                   ? UndoHardLink(m_steps[i])
                                                   : std::string());
    });
    for (std::size_t i : out.restored) {
        out.bytes += m_steps[i].bytes;
        if (m_steps[i].kind != DuplicateActionKind::kHardLink) continue;
        platform::FileIdentity now;
        int error = 0;
        if (platform::QueryFileIdentity(m_steps[i].path, &now, &error))
            out.identities.emplace_back(i, now);
    }
    return out;
}

void ActionUndo::PutBackRows(const UndoOutcome& outcome, ResultsModel& model, bool sameResults,
                             FoundOrder* found) {
    if (m_kind == DuplicateActionKind::kMove) {
        m_moved.PutBackRows(outcome, model, sameResults, found);
        Clear();
        return;
    }
    std::unordered_map<std::string, std::size_t> rowOf;
    rowOf.reserve(model.RowCount());
    for (std::size_t row = 0; row < model.RowCount(); ++row)
        if (model.Row(row).replaced != kNotReplaced) rowOf.emplace(model.Row(row).record->Path(), row);
    for (std::size_t i : outcome.restored) {
        if (i >= m_steps.size()) continue;
        const auto hit = rowOf.find(m_steps[i].path);
        if (hit != rowOf.end()) model.SetReplaced(hit->second, kNotReplaced);
    }
    // The name holds a file of its own again, made by the undo itself: the row lists that one
    // (else the next action would take it for a file replaced behind its back).
    for (const auto& entry : outcome.identities) {
        if (entry.first >= m_steps.size()) continue;
        const auto hit = rowOf.find(m_steps[entry.first].path);
        if (hit != rowOf.end()) model.SetRowIdentity(hit->second, entry.second);
    }
    Clear();
}

std::string ActionLeftMessage(const std::vector<std::pair<std::string, std::string>>& left,
                              std::size_t maxLines) {
    if (left.empty()) return std::string();
    return FormatActionRefused(static_cast<int>(left.size())) + "\n" +
           FilesLeftText(left, maxLines, FormatActionLeftMore);
}
