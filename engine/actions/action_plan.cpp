#include "engine/actions/action_plan.h"

#include <algorithm>
#include <unordered_map>

#include "engine/search/file_record.h"
#include "engine/results/keep_rules.h"
#include "engine/results/results_text.h"
#include "engine/text/string_table.h"
#include "engine/text/text_format.h"
#include "platform/file_find.h"
#include "platform/path_forms.h"

namespace {

// The last `count` names of `path`, joined by the separator.
std::string LastNames(const std::string& path, std::size_t count) {
    std::string::size_type at = path.size();
    for (std::size_t k = 0; k < count && at != std::string::npos && at > 0; ++k)
        at = path.find_last_of(platform::kPathSeparator == '/' ? "/" : "\\/", at - 1);
    return at == std::string::npos ? path : path.substr(at + 1);
}

// `path` without the separators at its end (a root keeps its own).
std::string Trimmed(std::string path) {
    while (path.size() > 1 && platform::IsPathSeparator(path.back()) &&
           !(path.size() == 3 && path[1] == ':'))
        path.pop_back();
    return path;
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

ActionPlan::ActionPlan(const ResultsModel& model, const std::vector<std::size_t>& rows,
                       const PlanSettings& settings)
    : m_settings(settings) {
    const ActionKindInfo& kind = ActionKind(settings.kind);
    // The chosen rows in order, once each, and the groups they lie in: the work grows with
    // the selection, not with the list (the window plans on every change of selection).
    std::vector<std::size_t> chosen;
    chosen.reserve(rows.size());
    for (std::size_t row : rows)
        if (row < model.RowCount()) chosen.push_back(row);
    std::sort(chosen.begin(), chosen.end());
    chosen.erase(std::unique(chosen.begin(), chosen.end()), chosen.end());
    const auto isChosen = [&chosen](std::size_t row) {
        return std::binary_search(chosen.begin(), chosen.end(), row);
    };
    const FolderList protectedFolders(settings.protectedFolders);
    const bool replaces = !kind.removesName;
    std::vector<std::size_t> stays;
    for (std::size_t at = 0; at < chosen.size();) {
        const RowGroup& group = model.GroupOfRow(chosen[at]);
        while (at < chosen.size() && chosen[at] < group.end) ++at;
        const std::size_t first = m_files.size();
        // What each chosen row is, before the copies are known.
        for (std::size_t r = group.begin; r < group.end; ++r) {
            if (!isChosen(r)) continue;
            const ResultRow& row = model.Row(r);
            PlannedFile file;
            file.row = r;
            if (!row.StandsHere())
                file.verdict = PlanVerdict::kNotHere;
            else if (row.isProtected || protectedFolders.Holds(row.record->Path()))
                file.verdict = PlanVerdict::kProtected;
            else if (kind.keepsFirstRow && r == group.begin)
                file.verdict = PlanVerdict::kKeptCopy;
            else if (row.replaced == kReplacedByLink || (replaces && row.replaced != kNotReplaced))
                file.verdict = PlanVerdict::kReplaced;
            m_files.push_back(std::move(file));
        }
        // The copies that stay: every row here not going (a row not here is no copy). A group
        // chosen whole keeps its first chosen row, so the file is not lost.
        stays.clear();
        bool inCatalog = false;
        std::size_t next = first;
        std::size_t firstGoing = group.end;
        for (std::size_t r = group.begin; r < group.end; ++r) {
            const bool going = next < m_files.size() && m_files[next].row == r &&
                               m_files[next].verdict == PlanVerdict::kGoes;
            if (next < m_files.size() && m_files[next].row == r) ++next;
            if (model.Row(r).standing == kStandsInCatalog) inCatalog = true;
            if (!model.Row(r).StandsHere()) continue;
            if (!going) stays.push_back(r);
            else if (firstGoing == group.end) firstGoing = r;
        }
        if (firstGoing == group.end) continue;
        const bool onlyInCatalog = stays.empty() && inCatalog;
        if (onlyInCatalog && settings.kind != DuplicateActionKind::kMove) {
            for (std::size_t k = first; k < m_files.size(); ++k)
                if (m_files[k].verdict == PlanVerdict::kGoes)
                    m_files[k].verdict = PlanVerdict::kOnlyInCatalog;
            continue;
        }
        if (stays.empty() && !onlyInCatalog) {
            for (std::size_t k = first; k < m_files.size(); ++k)
                if (m_files[k].row == firstGoing) m_files[k].verdict = PlanVerdict::kLastCopy;
            stays.push_back(firstGoing);
        }
        for (std::size_t k = first; k < m_files.size(); ++k) {
            PlannedFile& file = m_files[k];
            if (file.verdict != PlanVerdict::kGoes) continue;
            if (settings.kind == DuplicateActionKind::kMove) {
                file.target = MoveTarget(settings.moveFolder, settings.startPaths,
                                         model.Row(file.row).record->Path());
                if (file.target.empty()) {
                    file.verdict = PlanVerdict::kNoTarget;
                    continue;
                }
            }
            file.copies = stays;
            file.copiesAbsent = onlyInCatalog;
            // Sharing blocks already shared frees nothing.
            const ResultRow& row = model.Row(file.row);
            file.bytes = row.replaced == kReplacedShared ? 0 : row.record->m_nSize;
            ++m_goes;
            m_bytes += file.bytes;
        }
    }
}

ActionPlan::ActionPlan(const ResultsModel& model, const std::vector<std::string>& folders,
                       const PlanSettings& settings)
    : m_settings(settings) {
    // The folders given, once each, none inside another given.
    std::vector<std::string> given;
    for (const std::string& folder : folders) given.push_back(Trimmed(folder));
    const auto inside = [](const std::string& path, const std::string& folder) {
        return path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
               (platform::IsPathSeparator(path[folder.size()]) ||
                platform::IsPathSeparator(folder.back()));
    };
    std::unordered_map<std::string, std::size_t> indexOf;
    for (const std::string& folder : given) {
        if (folder.empty() || indexOf.count(folder) != 0) continue;
        bool nested = false;
        for (const std::string& other : given) nested = nested || inside(folder, other);
        if (nested) continue;
        indexOf.emplace(folder, m_folders.size());
        PlannedFolder planned;
        planned.path = folder;
        m_folders.push_back(std::move(planned));
    }
    // Each listed row to the folder it lies in: its own folder or one above, found by cutting
    // its path at each separator from the end.
    std::vector<std::size_t> folderOf(model.RowCount(), PlannedFile::kNoFolder);
    for (std::size_t r = 0; r < model.RowCount() && !m_folders.empty(); ++r) {
        if (model.Row(r).standing == kStandsInCatalog) continue;
        const std::string& path = model.Row(r).record->Path();
        for (std::size_t at = path.size(); at > 0; --at) {
            if (!platform::IsPathSeparator(path[at - 1])) continue;
            auto hit = indexOf.find(path.substr(0, at - 1));
            if (hit == indexOf.end() && at == 1) hit = indexOf.find(path.substr(0, 1));
            if (hit != indexOf.end()) {
                folderOf[r] = hit->second;
                m_folders[hit->second].rows.push_back(r);
                break;
            }
        }
    }
    const FolderList protectedFolders(settings.protectedFolders);
    const std::vector<RowGroup>& groups = model.Groups();
    const auto groupIndex = [&](std::size_t row) {
        return static_cast<std::size_t>(&model.GroupOfRow(row) - groups.data());
    };
    // Per group, its rows here that no folder takes: the copies that stay.
    std::vector<std::size_t> staying(groups.size(), 0);
    for (std::size_t r = 0; r < model.RowCount(); ++r)
        if (model.Row(r).StandsHere()) ++staying[groupIndex(r)];
    std::unordered_map<std::size_t, std::size_t> takes;  // group -> rows this folder takes
    for (PlannedFolder& folder : m_folders) {
        folder.goes = !folder.rows.empty();
        if (!folder.goes) folder.why = LoadStringText(IDS_FOLDER_NOTHING_LISTED);
        takes.clear();
        for (std::size_t r : folder.rows) {
            if (!folder.goes) break;
            const ResultRow& row = model.Row(r);
            int why = 0;
            if (!row.StandsHere())
                why = StandingTextId(row.standing);
            else if (row.isProtected || protectedFolders.Holds(row.record->Path()))
                why = IDS_DELETE_PROTECTED;
            else if (settings.kind == DuplicateActionKind::kMove &&
                     MoveTarget(settings.moveFolder, settings.startPaths, row.record->Path()).empty())
                why = IDS_ACTION_NO_START_PATH;
            if (why != 0) {
                folder.goes = false;
                folder.file = row.record->Path();
                folder.why = LoadStringText(why);
                break;
            }
            ++takes[groupIndex(r)];
        }
        // Every file needs a copy here outside the folders that go, this one included.
        for (std::size_t r : folder.rows) {
            if (!folder.goes) break;
            const std::size_t g = groupIndex(r);
            if (staying[g] > takes[g]) continue;
            folder.goes = false;
            folder.file = model.Row(r).record->Path();
            folder.why = LoadStringText(IDS_FOLDER_NO_COPY_OUTSIDE);
        }
        if (!folder.goes) continue;
        for (const auto& entry : takes) staying[entry.first] -= entry.second;
    }
    // The files: those of a folder that goes are compared with the rows here outside every
    // folder that goes, in row order.
    for (std::size_t f = 0; f < m_folders.size(); ++f) {
        PlannedFolder& folder = m_folders[f];
        for (std::size_t r : folder.rows) {
            PlannedFile file;
            file.row = r;
            file.folder = f;
            if (!folder.goes) {
                file.verdict = PlanVerdict::kFolderStays;
                m_files.push_back(std::move(file));
                continue;
            }
            const RowGroup& group = model.GroupOfRow(r);
            for (std::size_t c = group.begin; c < group.end; ++c) {
                if (!model.Row(c).StandsHere()) continue;
                const std::size_t in = folderOf[c];
                if (in == PlannedFile::kNoFolder || !m_folders[in].goes) file.copies.push_back(c);
            }
            const ResultRow& row = model.Row(r);
            if (settings.kind == DuplicateActionKind::kMove)
                file.target = MoveTarget(settings.moveFolder, settings.startPaths, row.record->Path());
            file.bytes = row.record->m_nSize;
            folder.bytes += file.bytes;
            ++m_goes;
            m_bytes += file.bytes;
            m_files.push_back(std::move(file));
        }
    }
    std::sort(m_files.begin(), m_files.end(),
              [](const PlannedFile& a, const PlannedFile& b) { return a.row < b.row; });
}

int ActionPlan::FoldersGoing() const {
    return static_cast<int>(std::count_if(m_folders.begin(), m_folders.end(),
                                          [](const PlannedFolder& f) { return f.goes; }));
}

const PlannedFile* ActionPlan::Find(std::size_t row) const {
    const auto at = std::lower_bound(m_files.begin(), m_files.end(), row,
                                     [](const PlannedFile& f, std::size_t r) { return f.row < r; });
    return at != m_files.end() && at->row == row ? &*at : nullptr;
}

std::vector<std::pair<std::string, std::string>> ActionPlan::StaysBeforehand(
    const ResultsModel& model) const {
    std::vector<std::pair<std::string, std::string>> out;
    for (const PlannedFolder& folder : m_folders)
        if (!folder.goes)
            out.emplace_back(folder.path, folder.file.empty()
                                              ? folder.why
                                              : FormatFolderStays(folder.file, folder.why));
    for (PlanVerdict verdict : {PlanVerdict::kNotHere, PlanVerdict::kOnlyInCatalog,
                                PlanVerdict::kProtected, PlanVerdict::kLastCopy,
                                PlanVerdict::kReplaced}) {
        if (verdict == PlanVerdict::kReplaced && !ActionKind(Kind()).removesName) continue;
        for (const PlannedFile& file : m_files) {
            if (file.verdict != verdict) continue;
            const ResultRow& row = model.Row(file.row);
            // A catalog's entry chosen by hand is no file here: nothing to name.
            if (row.standing == kStandsInCatalog) continue;
            const int text = verdict == PlanVerdict::kNotHere ? StandingTextId(row.standing)
                             : verdict == PlanVerdict::kOnlyInCatalog ? IDS_ONLY_IN_CATALOG
                             : verdict == PlanVerdict::kProtected     ? IDS_DELETE_PROTECTED
                             : verdict == PlanVerdict::kLastCopy      ? IDS_DELETE_LAST_COPY
                                                                      : IDS_FILE_REPLACED;
            out.emplace_back(row.record->Path(), LoadStringText(text));
        }
    }
    return out;
}
