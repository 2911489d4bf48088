#include "options/paths_list.h"

#include "engine/duplicate_search.h"
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
