#include "engine/results/folder_rows.h"

#include <algorithm>

#include "engine/search/duplicate_search.h"
#include "engine/text/string_table.h"
#include "engine/text/text_format.h"
#include "engine/text/text_helpers.h"

std::vector<FolderRow> MakeFolderRows(const FolderFindings& findings) {
    std::vector<FolderRow> rows;
    for (const FolderGroup& group : findings.identical) {
        for (std::size_t f = 0; f < group.folders.size(); ++f) {
            FolderRow row;
            row.kind = FolderRow::kSame;
            row.path = group.folders[f];
            row.files = group.files;
            row.bytes = group.bytes;
            row.newest = group.newest;
            row.first = f == 0;
            rows.push_back(std::move(row));
        }
    }
    for (const ContainedFolder& folder : findings.contained) {
        FolderRow row;
        row.kind = FolderRow::kContained;
        row.path = folder.folder;
        row.files = folder.files;
        row.bytes = folder.bytes;
        rows.push_back(std::move(row));
        for (const auto& holder : folder.holders) {
            FolderRow held;
            held.kind = FolderRow::kHolder;
            held.path = holder.first;
            held.files = holder.second;
            rows.push_back(std::move(held));
        }
    }
    return rows;
}

std::string FolderCellText(const FolderRow& row, int column) {
    switch (column) {
        case kFolderColumnPath: return row.path;
        case kFolderColumnFiles: return std::to_string(row.files);
        case kFolderColumnSize:
            return row.kind == FolderRow::kHolder ? std::string()
                                                  : FormatSizeText(static_cast<double>(row.bytes));
        case kFolderColumnNewest: {
            if (row.kind != FolderRow::kSame || row.newest == 0) return std::string();
            std::string text;
            FileTimeToText(&row.newest, text);
            return text;
        }
        case kFolderColumnWhat:
            switch (row.kind) {
                case FolderRow::kSame:
                    return LoadStringText(row.first ? IDS_FOLDER_SAME_FIRST : IDS_FOLDER_SAME);
                case FolderRow::kContained: return LoadStringText(IDS_FOLDER_CONTAINED);
                case FolderRow::kHolder: return FormatFolderHolder(static_cast<int>(row.files));
            }
            break;
        default: break;
    }
    return std::string();
}

std::vector<std::size_t> DuplicateFolderRows(const std::vector<FolderRow>& rows) {
    // The paths end in the separator: one is inside another when it starts with it.
    const auto nested = [](const std::string& a, const std::string& b) {
        return a.compare(0, b.size(), b) == 0 || b.compare(0, a.size(), a) == 0;
    };
    std::vector<std::size_t> out;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        if (rows[r].kind == FolderRow::kSame && !rows[r].first) out.push_back(r);
        if (rows[r].kind != FolderRow::kContained) continue;
        bool grouped = false;
        for (const FolderRow& other : rows)
            grouped = grouped || (other.kind == FolderRow::kSame && nested(rows[r].path, other.path));
        if (!grouped) out.push_back(r);
    }
    return out;
}

std::vector<std::string> FoldersToTake(const std::vector<FolderRow>& rows,
                                       const std::vector<std::size_t>& chosen) {
    std::vector<std::size_t> sorted = chosen;
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    std::vector<std::string> folders;
    for (auto it = sorted.rbegin(); it != sorted.rend(); ++it)
        if (*it < rows.size() && rows[*it].kind != FolderRow::kHolder)
            folders.push_back(rows[*it].path);
    return folders;
}
