#include "cli/report_writer.h"

#include <cinttypes>
#include <cstdio>

#include "cli/terminal_progress.h"
#include "engine/actions/duplicate_action.h"
#include "engine/results/results_text.h"
#include "engine/store/json_text.h"
#include "engine/store/saved_results.h"
#include "engine/text/text_format.h"
#include "platform/file_time.h"

std::string FormatActionSteps(const std::vector<ActionStep>& steps, bool nul, bool escape) {
    std::string out;
    const auto name = [escape](const std::string& path) {
        return escape ? EscapeControls(path) : path;
    };
    // With NUL after each record, fields end in NUL too: a tab is a character of a name.
    const char field = nul ? '\0' : '\t';
    for (const ActionStep& step : steps) {
        out += ActionWord(step.kind);
        out += field;
        out += name(step.path);
        if (step.kind == DuplicateActionKind::kHardLink ||
            step.kind == DuplicateActionKind::kShareData)
            out += field + name(step.copy);
        if (step.kind == DuplicateActionKind::kMove) out += field + name(step.target);
        out += nul ? '\0' : '\n';
    }
    return out;
}

std::string FormatDryRun(const ResultsModel& results, bool nul, bool escape, int* files,
                         std::int64_t* bytes, const CliOptions* action) {
    // The plan of the action (a delete without one) for every copy but the kept one of each
    // group: the lines say what the action would do, file by file.
    PlanSettings settings;
    settings.kind = action != nullptr ? action->action : DuplicateActionKind::kDelete;
    if (action != nullptr) {
        settings.protectedFolders = action->search.keep.protectedFolders;
        settings.moveFolder = action->moveTo;
        settings.startPaths = action->search.paths;
    }
    std::vector<std::size_t> copies;
    for (const RowGroup& group : results.Groups())
        for (std::size_t row = group.begin + 1; row < group.end; ++row) copies.push_back(row);
    const ActionPlan plan(results, copies, settings);
    std::string out;
    const char end = nul ? '\0' : '\n';
    // With NUL after each record, fields end in NUL too: a tab is a character of a name.
    const char field = nul ? '\0' : '\t';
    *files = plan.Goes();
    *bytes = plan.Bytes();
    for (std::size_t row = 0; row < results.RowCount(); ++row) {
        const ResultRow& r = results.Row(row);
        const PlannedFile* planned = plan.Find(row);
        const bool goes = planned != nullptr && planned->verdict == PlanVerdict::kGoes;
        if (!r.StandsHere()) {
            // A file of a reopened result that is no longer as saved, or a catalog's entry.
            out += StandingWord(r.standing);
            out += field;
            out += '-';
        } else if (planned == nullptr) {
            out += "keep";
            out += field;
            out += KeepReasonName(r.keptBy);
        } else if (planned->verdict == PlanVerdict::kProtected) {
            out += "protect";
            out += field;
            out += '-';
        } else {
            out += goes ? ActionWord(settings.kind) : "keep";
            out += field;
            out += '-';
        }
        out += field;
        const std::string path = r.record->Path();
        out += escape ? EscapeControls(path) : path;
        if (goes && settings.kind == DuplicateActionKind::kMove) {
            out += field;
            out += escape ? EscapeControls(planned->target) : planned->target;
        }
        out += end;
        if (results.IsGroupLast(row)) out += end;
    }
    return out;
}

std::string FormatFolderPlan(const ActionPlan& plan, bool nul, bool escape) {
    const char end = nul ? '\0' : '\n';
    const char field = nul ? '\0' : '\t';
    const auto name = [escape](const std::string& text) {
        return escape ? EscapeControls(text) : text;
    };
    std::string out;
    for (const PlannedFolder& folder : plan.Folders()) {
        out += folder.goes ? ActionWord(plan.Kind()) : "stay";
        out += field + std::to_string(folder.rows.size()) + field + std::to_string(folder.bytes) +
               field + name(folder.path);
        if (!folder.goes)
            out += field + name(folder.file.empty() ? folder.why
                                                    : FormatFolderStays(folder.file, folder.why));
        out += end;
    }
    return out;
}

std::string FormatResults(const ResultsModel& results, bool csv, bool nul, bool escape) {
    std::string out;
    const char end = nul ? '\0' : '\n';
    // A file no longer as saved is left out, and with it a group that has no duplicate left.
    std::vector<char> listed(results.RowCount(), 1);
    for (const RowGroup& group : results.Groups()) {
        std::size_t here = 0, counted = 0;
        for (std::size_t row = group.begin; row < group.end; ++row) {
            const RowStanding standing = results.Row(row).standing;
            here += standing == kStandsHere;
            counted += standing == kStandsHere || standing == kStandsInCatalog;
        }
        for (std::size_t row = group.begin; row < group.end; ++row) {
            const RowStanding standing = results.Row(row).standing;
            listed[row] = here > 0 && counted >= 2 &&
                          (standing == kStandsHere || standing == kStandsInCatalog);
        }
    }
    // The last listed row of each group ends it.
    std::vector<char> ends(results.RowCount(), 0);
    for (const RowGroup& group : results.Groups())
        for (std::size_t row = group.end; row > group.begin; --row)
            if (listed[row - 1]) {
                ends[row - 1] = 1;
                break;
            }
    for (std::size_t row = 0; row < results.RowCount(); ++row) {
        if (!listed[row]) continue;
        if (csv) {
            std::string line = RowText(results, row, ",", true);
            if (escape && line.size() >= 2) {
                // The cells, not the CR LF that ends the row.
                line = EscapeControls(line.substr(0, line.size() - 2)) + "\r\n";
            }
            out += line;
            continue;
        }
        // A catalog's entry says so: its path names a file on another drive.
        const std::string path = results.Row(row).standing == kStandsInCatalog
                                     ? CellText(results, row, kColumnPath)
                                     : results.Row(row).record->Path();
        out += escape ? EscapeControls(path) : path;
        out += end;
        if (ends[row]) out += end;
    }
    return out;
}

std::string FormatFolders(const FolderFindings& findings, bool nul, bool escape, bool json) {
    std::string out;
    const auto number = [](std::int64_t n) { return std::to_string(n); };
    if (json) {
        out = "{\"identical\": [";
        for (std::size_t g = 0; g < findings.identical.size(); ++g) {
            const FolderGroup& group = findings.identical[g];
            out += g > 0 ? ",\n  " : "\n  ";
            out += "{\"files\": " + number(group.files) + ", \"bytes\": " + number(group.bytes) +
                   ", \"folders\": [";
            for (std::size_t f = 0; f < group.folders.size(); ++f)
                out += (f > 0 ? ", \"" : "\"") + JsonString(group.folders[f]) + "\"";
            out += "]}";
        }
        out += "],\n \"contained\": [";
        for (std::size_t c = 0; c < findings.contained.size(); ++c) {
            const ContainedFolder& folder = findings.contained[c];
            out += c > 0 ? ",\n  " : "\n  ";
            out += "{\"folder\": \"" + JsonString(folder.folder) + "\", \"files\": " +
                   number(folder.files) + ", \"bytes\": " + number(folder.bytes) + ", \"holders\": [";
            for (std::size_t h = 0; h < folder.holders.size(); ++h)
                out += (h > 0 ? ", {\"folder\": \"" : "{\"folder\": \"") +
                       JsonString(folder.holders[h].first) + "\", \"files\": " +
                       number(folder.holders[h].second) + "}";
            out += "]}";
        }
        out += "]}\n";
        return out;
    }
    const char field = nul ? '\0' : '\t';
    const char end = nul ? '\0' : '\n';
    const auto name = [escape](const std::string& path) {
        return escape ? EscapeControls(path) : path;
    };
    for (const FolderGroup& group : findings.identical) {
        for (const std::string& folder : group.folders)
            out += "same" + std::string(1, field) + number(group.files) + field +
                   number(group.bytes) + field + name(folder) + end;
        out += end;
    }
    for (const ContainedFolder& folder : findings.contained) {
        out += "contained" + std::string(1, field) + number(folder.files) + field +
               number(folder.bytes) + field + name(folder.folder) + end;
        for (const auto& holder : folder.holders)
            out += "copies" + std::string(1, field) + number(holder.second) + field +
                   name(holder.first) + end;
        out += end;
    }
    return out;
}
