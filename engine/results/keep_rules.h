// Which copy of a group stays. An ordered list of keep rules orders the files of every group so
// that the copy to keep is its first row (the row "select all duplicates" leaves alone); a tie
// falls to the next rule, and a tie on every rule keeps the order the search found. Files in
// protected folders are never selected nor deleted, and go ahead of every rule. The groups
// themselves are listed by the bytes their duplicates take, largest first, or as found.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "engine/results/results_model.h"

// A list of folders, each matched by whole path components: "/a/b" holds "/a/b/c.txt" but
// not "/a/bc/d.txt". Relative paths (of folders and of files) are taken from the current
// folder; "." and ".." are resolved by the text alone. Letter case counts where the file
// system's does. A listed folder that exists also holds whatever lies in it under another
// spelling: through a linked folder, a link to it, or a start path through a link. For that it
// is known by its identity (taken when the list is made), and so is each folder on a file's
// way (asked of the system once per folder and remembered: one list is not for several
// threads at once).
class FolderList {
public:
    FolderList() = default;
    explicit FolderList(const std::vector<std::string>& folders);
    bool Empty() const { return m_folders.empty(); }
    std::size_t Size() const { return m_folders.size(); }
    // The place in the list of the first folder that holds `path` (at any depth), or -1.
    int IndexOf(const std::string& path) const;
    bool Holds(const std::string& path) const { return IndexOf(path) >= 0; }

private:
    // The first listed folder that is, by identity, the folder of the first `count` of `parts`
    // or one above it (where it leads, for a link), or -1.
    int IndexByIdentity(const std::vector<std::string>& parts, std::size_t count) const;

    std::vector<std::vector<std::string>> m_folders;  // each as its path components
    // Of each listed folder: its device and inode; both 0 when it was not there.
    std::vector<std::pair<std::uint64_t, std::uint64_t>> m_identities;
    bool m_anyIdentity = false;
    std::string m_current;  // the current folder, for relative paths
    mutable std::unordered_map<std::string, int> m_byFolder;  // IndexByIdentity of each folder asked
};

// The path components of `path` made absolute from `currentFolder`, with "." and ".." resolved
// and, where letter case does not count, upper-cased. The root ("/"; Windows: "C:\", a server
// share "\\server\share\") is the first component.
std::vector<std::string> PathComponents(const std::string& path, const std::string& currentFolder);

// True when the name of a file (without its folder) is marked as a copy of another: "X (1).txt",
// "X - Copy.txt", "X copy 2.txt", "X (copy).txt", "Copy of X.txt", "Copy (2) of X.txt", and the
// Chinese forms "X 副本.txt", "X - 副本.txt", "X_备份.txt", "X (副本 2).txt", "复件 X.txt".
// Numbers of four digits or more in brackets ("Report (2019).pdf") are no copy mark.
bool HasCopyMark(const std::string& fileName);
// The same of a folder's name, which may also be the mark alone ("备份", "Backup", "backups").
bool FolderHasCopyMark(const std::string& folderName);
// The copy marks on `path`: its file name's and one for each folder whose name has one.
int CopyMarksOnPath(const std::string& path);

struct KeepRule {
    // kKeptFolder, kKeptOldest, kKeptNewest, kKeptShortestPath, kKeptLongestPath, kKeptMask or
    // kKeptNoCopyMark.
    KeepReason kind = kKeptOldest;
    std::vector<std::string> folders;  // kKeptFolder: a copy under an earlier folder stays
    std::string mask;                  // kKeptMask: the mask engine's own syntax
};

enum class GroupOrder { kAsFound, kFreedBytes };

struct KeepPolicy {
    std::vector<KeepRule> rules;  // empty: every group stays as found
    std::vector<std::string> protectedFolders;
    // Only the groups that hold a copy in a protected folder are listed (the files elsewhere
    // that a reference folder already holds).
    bool onlyGroupsWithProtected = false;
    GroupOrder order = GroupOrder::kAsFound;
};

// The rules a new user starts with: folder priority (no folders yet), then a name without
// copy marks, then the oldest. Groups by the bytes that could be freed.
KeepPolicy DefaultKeepPolicy();

// Marks the rows in protected folders, drops the groups without one when asked, orders the
// files of every group by the rules (protected copies first), records on each group's first
// row the rule that decided, and orders the groups. The totals stay right.
void ApplyKeepPolicy(const KeepPolicy& policy, ResultsModel& results);

// The text that says why a group's first file stays (IDS_KEEP_REASON_*).
const char* KeepReasonText(KeepReason reason);

// `rows` without those of groups whose first row is kept only as found because the keep rules
// tied on every file (kKeptTied); `*tiedGroups` gets how many such groups `rows` touched.
std::vector<std::size_t> WithoutTiedGroups(const ResultsModel& model,
                                           const std::vector<std::size_t>& rows,
                                           std::size_t* tiedGroups);
