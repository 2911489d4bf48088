#include "engine/actions/action_plan.h"

#include <algorithm>

#include "engine/search/file_record.h"
#include "engine/results/keep_rules.h"
#include "engine/results/results_text.h"
#include "engine/text/string_table.h"
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

const PlannedFile* ActionPlan::Find(std::size_t row) const {
    const auto at = std::lower_bound(m_files.begin(), m_files.end(), row,
                                     [](const PlannedFile& f, std::size_t r) { return f.row < r; });
    return at != m_files.end() && at->row == row ? &*at : nullptr;
}

std::vector<std::pair<std::string, std::string>> ActionPlan::StaysBeforehand(
    const ResultsModel& model) const {
    std::vector<std::pair<std::string, std::string>> out;
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
