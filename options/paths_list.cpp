#include "options/paths_list.h"

#include "engine/search/duplicate_search.h"
#include "engine/search/start_path_list.h"
#include "engine/text/string_table.h"
#include "platform/error_text.h"
#include "options/path_picker_text.h"

void PathsList::Load(const std::vector<std::string>& paths) {
    m_items = paths;
    m_nSelected = Count() - 1;
}

void PathsList::Select(int index) { m_nSelected = (index >= 0 && index < Count()) ? index : -1; }

std::string PathsList::SelectedText() const {
    return m_nSelected >= 0 ? m_items[m_nSelected] : std::string();
}

void PathsList::Append(const std::string& chosen) {
    m_items.push_back(FolderWithSeparator(chosen));
}

bool PathsList::ReplaceSelected(const std::string& chosen) {
    if (m_nSelected < 0) return false;
    m_items[m_nSelected] = FolderWithSeparator(chosen);
    return true;
}

bool PathsList::DeleteSelected() {
    if (m_nSelected < 0) return false;
    m_items.erase(m_items.begin() + m_nSelected);
    if (m_nSelected >= Count()) m_nSelected = Count() - 1;
    return true;
}

std::string PathsList::CheckTyped(const std::string& typed, std::string* why) {
    const std::size_t begin = typed.find_first_not_of(" \t");
    const std::size_t end = typed.find_last_not_of(" \t");
    const std::string path = begin == std::string::npos ? std::string()
                                                        : typed.substr(begin, end - begin + 1);
    why->clear();
    if (path.empty()) {
        *why = LoadStringText(IDS_PATH_NOT_A_FOLDER);
        return std::string();
    }
    if (path == LoadStringText(IDS_LOCAL_HARD_DISKS)) return path;
    // A server: its shares are found when the search runs.
    constexpr char sep = platform::kPathSeparator;
    if (path.size() > 2 && path[0] == sep && path[1] == sep && path[2] != sep) {
        // As the scanner takes it: a name, and at most one further separator.
        const std::string name = path.substr(2);
        if (name.find(sep) == name.rfind(sep)) return path;
    }
    // Checked outside this file: windows.h, which wx brings in, renames GetFileAttributes.
    if (!IsSearchableFolder(path, why)) return std::string();
    return FolderWithSeparator(path);
}

bool PathsList::AppendTyped(const std::string& typed, std::string* why) {
    const std::string path = CheckTyped(typed, why);
    if (path.empty()) return false;
    m_items.push_back(path);
    m_nSelected = Count() - 1;
    return true;
}

bool PathsList::ReplaceTyped(int index, const std::string& typed, std::string* why) {
    why->clear();
    if (index < 0 || index >= Count()) return false;
    const std::string path = CheckTyped(typed, why);
    if (path.empty()) return false;
    m_items[index] = path;
    m_nSelected = index;
    return true;
}
