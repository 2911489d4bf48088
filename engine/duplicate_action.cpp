#include "engine/duplicate_action.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "engine/keep_rules.h"
#include "engine/string_table.h"
#include "engine/text_format.h"
#include "platform/disk_space.h"
#include "platform/error_text.h"
#include "platform/file_find.h"
#include "platform/path_forms.h"

namespace {

// The folder part of `path` (without its last separator).
std::string FolderOf(const std::string& path) {
    const std::string::size_type at = path.find_last_of(
        platform::kPathSeparator == '/' ? "/" : "\\/");
    if (at == std::string::npos) return ".";
    return at == 0 ? path.substr(0, 1) : path.substr(0, at);
}

// The last `count` names of `path`, joined by the separator.
std::string LastNames(const std::string& path, std::size_t count) {
    std::string::size_type at = path.size();
    for (std::size_t k = 0; k < count && at != std::string::npos && at > 0; ++k)
        at = path.find_last_of(platform::kPathSeparator == '/' ? "/" : "\\/", at - 1);
    return at == std::string::npos ? path : path.substr(at + 1);
}

// Whether `file`, held after its check, is still as it was when it was compared: a save in
// place after the comparison must not be lost to a replacement.
bool StillAsCompared(platform::HeldFile& file) {
    platform::FileIdentity now;
    if (!file.Reader().Current(&now)) return false;
    const platform::FileIdentity& then = file.Reader().Identity();
    return now.size == then.size && now.lastWrite == then.lastWrite && now.changed == then.changed;
}

}  // namespace

std::string MoveTarget(const std::string& folder, const std::vector<std::string>& startPaths,
                       const std::string& path) {
    const std::string current = platform::CurrentFolder();
    const std::vector<std::string> file = PathComponents(path, current);
    std::size_t best = 0;
    std::string name;
    for (const std::string& start : startPaths) {
        const std::vector<std::string> parts = PathComponents(start, current);
        if (parts.empty() || parts.size() >= file.size() || parts.size() <= best) continue;
        if (!std::equal(parts.begin(), parts.end(), file.begin())) continue;
        best = parts.size();
        std::string trimmed = start;  // a start path typed with a separator at its end
        while (trimmed.size() > 1 &&
               (trimmed.back() == '/' || trimmed.back() == platform::kPathSeparator))
            trimmed.pop_back();
        name = parts.size() == 1 ? std::string("root") : LastNames(trimmed, 1);
    }
    if (best == 0) return std::string();
    std::string target = folder;
    if (!target.empty() && target.back() != platform::kPathSeparator && target.back() != '/')
        target += platform::kPathSeparator;
    return target + name + platform::kPathSeparator + LastNames(path, file.size() - best);
}

const char* ActionVerb(DuplicateActionKind kind) {
    switch (kind) {
        case DuplicateActionKind::kTrash: return LoadStringText(IDS_ACTION_VERB_TRASH);
        case DuplicateActionKind::kDelete: return LoadStringText(IDS_ACTION_VERB_DELETE);
        case DuplicateActionKind::kHardLink: return LoadStringText(IDS_ACTION_VERB_LINK);
        case DuplicateActionKind::kShareData: return LoadStringText(IDS_ACTION_VERB_SHARE);
        case DuplicateActionKind::kMove: return LoadStringText(IDS_ACTION_VERB_MOVE);
    }
    return "";
}

DuplicateAction::DuplicateAction(DuplicateActionKind kind, ProgressSink* progress)
    : m_kind(kind), m_checks(progress, kind == DuplicateActionKind::kTrash) {
    if (kind == DuplicateActionKind::kTrash || kind == DuplicateActionKind::kDelete) {
        // The removal and what follows it (a file put back from the trash when its copy
        // changed) stay SafeDelete's; only the record is added.
        const SafeDelete::Remover remove = m_checks.DefaultRemover();
        m_checks.SetRemover([this, remove](platform::HeldFile& file) {
            const int code = remove(file);
            if (code == 0)
                m_steps.push_back({m_kind, 0, file.Path(), std::string(), file.Trashed() ? file.TrashRecord().trashFile : std::string(),
                                   static_cast<std::int64_t>(file.Reader().Identity().size), {}, {}});
            return code;
        });
        return;
    }
    m_checks.SetStatusText(IDS_ACTION_CHECKING);
    m_checks.SetAction([this](platform::HeldFile& file, const CFileRecord& record,
                              platform::HeldFile& copy, const CFileRecord& copyRecord,
                              std::string* why) { return Act(file, record, copy, copyRecord, why); });
}

void DuplicateAction::SetProtectedFolders(const std::vector<std::string>& folders) {
    m_checks.SetProtectedFolders(folders);
}

void DuplicateAction::SetMoveTarget(const std::string& folder,
                                    const std::vector<std::string>& startPaths) {
    m_moveFolder = folder;
    m_startPaths = startPaths;
}

int DuplicateAction::Act(platform::HeldFile& file, const CFileRecord& record,
                         platform::HeldFile& copy, const CFileRecord& copyRecord,
                         std::string* why) {
    ActionStep step{m_kind, 0, record.Path(), copyRecord.Path(), std::string(), record.m_nSize, {}, {}};
    if (!StillAsCompared(file)) return kErrorChanged;
    int code = 0;
    switch (m_kind) {
        case DuplicateActionKind::kHardLink:
            if (file.Reader().Identity().device != copy.Reader().Identity().device) {
                *why = LoadStringText(IDS_ACTION_OTHER_FILE_SYSTEM);
                return -1;
            }
            if (!m_anyOwner && !file.SameAccess(copy)) {
                *why = LoadStringText(IDS_ACTION_OWNER_DIFFERS);
                return -1;
            }
            step.before = file.Metadata();
            code = file.LinkFrom(copy);
            break;
        case DuplicateActionKind::kShareData:
            code = file.ShareDataWith(copy, static_cast<std::uint64_t>(record.m_nSize));
            if (code == platform::kErrorContentsDiffer) {
                *why = LoadStringText(IDS_CONTENTS_DIFFER);
            } else if (code != 0) {
                *why = FormatCannotShare(platform::ErrorText(code));
            }
            break;
        case DuplicateActionKind::kMove:
            step.target = MoveTarget(m_moveFolder, m_startPaths, record.Path());
            if (step.target.empty()) {
                *why = LoadStringText(IDS_ACTION_NO_START_PATH);
                return -1;
            }
            code = file.MoveTo(step.target);
            if (code != 0 && platform::GetFileAttributes(step.target) != platform::kInvalidFileAttributes) *why = FormatTargetExists(step.target);
            break;
        default:
            return -1;
    }
    if (code == 0) {
        if (m_kind == DuplicateActionKind::kHardLink) {
            copy.Reader().Current(&step.after);
        } else if (m_kind == DuplicateActionKind::kMove) {
            int error = 0;
            platform::QueryFileIdentity(step.target, &step.after, &error);
        }
        m_steps.push_back(step);
    }
    return code;
}

ActionOutcome DuplicateAction::Run(const ResultsModel& model, const std::vector<std::size_t>& rows) {
    ActionOutcome out;
    m_steps.clear();
    // Free space before and after, once per file system acted on (by one of its folders).
    std::map<std::uint64_t, std::string> folders;
    for (std::size_t row : rows)
        if (row < model.RowCount())
            folders.emplace(model.Row(row).record->m_nDevice,
                            FolderOf(model.Row(row).record->Path()));
    std::map<std::uint64_t, std::uint64_t> before;
    bool known = true;
    for (const auto& entry : folders) {
        std::uint64_t bytes = 0;
        known = known && platform::FreeDiskSpaceOf(entry.second, &bytes);
        before[entry.first] = bytes;
    }
    const DeleteOutcome checked = m_checks.Run(model, rows);
    // Some file systems free the blocks of a removed file in the background a moment later
    // (XFS): the figure is taken once it holds still (for a second at most).
    const auto freeNow = [&](std::int64_t* total) {
        *total = 0;
        bool all = true;
        for (const auto& entry : folders) {
            std::uint64_t bytes = 0;
            all = all && platform::FreeDiskSpaceOf(entry.second, &bytes);
            *total += static_cast<std::int64_t>(bytes) - static_cast<std::int64_t>(before[entry.first]);
        }
        return all;
    };
    known = known && freeNow(&out.freedBytes);
    for (int tries = 0; known && !folders.empty() && tries < 20; ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        std::int64_t again = 0;
        known = freeNow(&again);
        if (again == out.freedBytes) break;
        out.freedBytes = again;
    }
    out.freedKnown = known;
    // The steps of the rows gone (a file put back from the trash has a step but no gone row).
    std::map<std::string, std::size_t> gone;
    for (std::size_t row : checked.goneRows) gone.emplace(model.Row(row).record->Path(), row);
    for (ActionStep& step : m_steps) {
        const auto found = gone.find(step.path);
        if (found == gone.end()) continue;
        step.row = found->second;
        out.done.push_back(std::move(step));
    }
    m_steps.clear();
    out.refused = checked.kept;
    out.stopped = checked.stopped;
    return out;
}
