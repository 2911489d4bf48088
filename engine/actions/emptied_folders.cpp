#include "engine/actions/emptied_folders.h"

#include <algorithm>
#include <set>

#include "engine/actions/action_journal.h"
#include "engine/actions/trash_undo.h"
#include "engine/search/file_record.h"
#include "engine/results/keep_rules.h"
#include "platform/file_find.h"
#include "platform/path_forms.h"

namespace {

// The folder that holds `path`, "" for a root or a bare name.
std::string ParentOf(const std::string& path) {
    const std::string parent = platform::FolderOf(path);
    return parent == "." || parent == path ? std::string() : parent;
}

class StartPaths {
public:
    explicit StartPaths(const std::vector<std::string>& paths)
        : m_current(platform::CurrentFolder()) {
        for (const std::string& path : paths) {
            std::vector<std::string> parts = PathComponents(path, m_current);
            if (!parts.empty()) m_starts.push_back(std::move(parts));
        }
    }
    // True when `folder` lies strictly below one of them.
    bool Below(const std::string& folder) const {
        const std::vector<std::string> parts = PathComponents(folder, m_current);
        for (const std::vector<std::string>& start : m_starts)
            if (parts.size() > start.size() && std::equal(start.begin(), start.end(), parts.begin()))
                return true;
        return false;
    }

private:
    std::string m_current;
    std::vector<std::vector<std::string>> m_starts;
};

std::size_t Depth(const std::string& path) {
    return static_cast<std::size_t>(
        std::count_if(path.begin(), path.end(), platform::IsPathSeparator));
}

// `gone` with its times as they were before the action, where known.
platform::RemovedFolder AsBefore(platform::RemovedFolder gone, const FolderStates* before) {
    if (before == nullptr) return gone;
    const auto was = before->find(gone.path);
    if (was != before->end()) {
        gone.accessTime = was->second.accessTime;
        gone.writeTime = was->second.writeTime;
    }
    return gone;
}

// Removes every empty folder below `folder`, deepest first.
void RemoveEmptyBelow(const std::string& folder, std::vector<platform::RemovedFolder>* removed,
                      int depth, const FolderStates* before) {
    if (depth > 256) return;
    std::string listed = folder;
    if (!platform::IsPathSeparator(listed.back())) listed += platform::kPathSeparator;
    std::vector<std::string> subfolders;
    platform::FileFinder finder;
    for (bool more = finder.First(listed); more; more = finder.Next()) {
        const platform::FindData& entry = finder.Data();
        if ((entry.dwFileAttributes & platform::kAttrDirectory) == 0 || entry.cFileName == "." ||
            entry.cFileName == "..")
            continue;
        subfolders.push_back(listed + entry.cFileName);
    }
    finder.Close();
    for (const std::string& sub : subfolders) {
        RemoveEmptyBelow(sub, removed, depth + 1, before);
        platform::RemovedFolder gone;
        if (platform::RemoveEmptyFolder(sub, &gone) == 0)
            removed->push_back(AsBefore(std::move(gone), before));
    }
}

}  // namespace

FolderStates FoldersBefore(const std::vector<std::string>& paths,
                           const std::vector<std::string>& startPaths) {
    FolderStates states;
    const StartPaths starts(startPaths);
    for (const std::string& path : paths) {
        for (std::string folder = ParentOf(path); !folder.empty(); folder = ParentOf(folder)) {
            if (states.count(folder) != 0 || !starts.Below(folder)) break;
            platform::RemovedFolder state;
            if (!platform::ReadFolderState(folder, &state)) break;
            states.emplace(folder, std::move(state));
        }
    }
    return states;
}

std::vector<platform::RemovedFolder> RemoveEmptiedFolders(
    const std::vector<std::string>& leftPaths, const std::vector<std::string>& wholeFolders,
    const std::vector<std::string>& startPaths, const FolderStates* before) {
    std::vector<platform::RemovedFolder> removed;
    const StartPaths starts(startPaths);
    // Deepest first, so that a folder is tried once each of its emptied subfolders has gone.
    using Candidate = std::pair<std::size_t, std::string>;
    std::set<Candidate, std::greater<Candidate>> next;
    std::set<std::string> tried;
    for (const std::string& folder : wholeFolders) {
        if (folder.empty() || !starts.Below(folder)) continue;
        RemoveEmptyBelow(folder, &removed, 0, before);
        next.emplace(Depth(folder), folder);
    }
    for (const std::string& path : leftPaths) {
        const std::string parent = ParentOf(path);
        if (!parent.empty()) next.emplace(Depth(parent), parent);
    }
    while (!next.empty()) {
        const std::string folder = next.begin()->second;
        next.erase(next.begin());
        if (!tried.insert(folder).second || !starts.Below(folder)) continue;
        platform::RemovedFolder gone;
        if (platform::RemoveEmptyFolder(folder, &gone) != 0) continue;
        removed.push_back(AsBefore(std::move(gone), before));
        const std::string parent = ParentOf(folder);
        if (!parent.empty()) next.emplace(Depth(parent), parent);
    }
    return removed;
}

std::vector<std::pair<std::string, std::string>> MakeFoldersAgain(
    const std::vector<platform::RemovedFolder>& removed) {
    std::vector<std::pair<std::string, std::string>> failed;
    for (auto it = removed.rbegin(); it != removed.rend(); ++it) {
        const int code = platform::MakeFolderAgain(*it);
        if (code != 0) failed.emplace_back(it->path, CFileRecord::ErrorCodeText(code));
    }
    return failed;
}

void GiveFoldersTheirTimes(const std::vector<platform::RemovedFolder>& removed) {
    // Deepest first: setting a folder's times after its subfolder's leaves them as they were.
    for (const platform::RemovedFolder& folder : removed) platform::SetFolderTimes(folder);
}

std::string RemovedFolderLine(const platform::RemovedFolder& folder) {
    return UndoLine({"D", folder.path, NumberField(folder.mode), NumberField(folder.attributes),
                     SignedField(folder.accessTime), SignedField(folder.writeTime)});
}

bool RemovedFolderFromLine(const std::string& line, platform::RemovedFolder* folder) {
    std::vector<std::string> f;
    std::uint64_t mode = 0, attributes = 0;
    platform::RemovedFolder out;
    if (!UndoLineFields(line, &f) || f.size() != 6 || f[0] != "D" || f[1].empty() ||
        !ParseNumberField(f[2], &mode) || mode > 07777 || !ParseNumberField(f[3], &attributes) ||
        attributes > UINT32_MAX || !ParseSignedField(f[4], &out.accessTime) ||
        !ParseSignedField(f[5], &out.writeTime))
        return false;
    out.path = std::move(f[1]);
    out.mode = static_cast<std::uint32_t>(mode);
    out.attributes = static_cast<std::uint32_t>(attributes);
    *folder = std::move(out);
    return true;
}
