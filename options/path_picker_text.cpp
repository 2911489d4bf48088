#include "options/path_picker_text.h"

#include <algorithm>

#include "engine/search/start_path_list.h"
#include "platform/file_find.h"
#include "platform/path_forms.h"

namespace {

constexpr char kSep = platform::kPathSeparator;

}  // namespace

void PathPickerText::SetPath(const std::string& text) {
    m_strListPrefix.clear();
    m_strPath = text;
    const std::string::size_type last = text.rfind(';');
    if (last == std::string::npos) return;
    m_strListPrefix = text.substr(0, last);
    m_strPath = text.substr(last + 1);
    if (m_strPath.empty()) {
        const std::string::size_type before = m_strListPrefix.rfind(';');
        m_strPath = before == std::string::npos ? m_strListPrefix
                                                : m_strListPrefix.substr(before + 1);
    }
}

std::string PathPickerText::GetPath() const {
    if (m_strListPrefix.empty()) return m_strPath;
    return m_strListPrefix + ";" + m_strPath;
}

std::string PathPickerText::InitialFolder() const {
    std::string folder = m_strPath;
    // A root keeps its separator.
    if (folder.size() > std::max<std::size_t>(platform::PathRootLength(folder), 1) &&
        folder.back() == kSep)
        folder.pop_back();
    return folder;
}

std::string PathPickerText::StartFolder(const std::string& home) const {
    return ExistingFolderOrHome(InitialFolder(), home);
}

std::string ExistingFolderOrHome(const std::string& folder, const std::string& home) {
    const std::size_t root = platform::PathRootLength(folder);
    if (root == 0) return home;
    std::string why;
    std::string candidate = folder;
    while (!IsSearchableFolder(candidate, &why)) {
        // The last name goes (with separators after it); the root is no nearer folder than
        // home is: a server or a removed disk opens at home.
        std::size_t end = candidate.size();
        while (end > root && candidate[end - 1] == kSep) --end;
        if (end <= root) return home;
        const std::size_t cut = candidate.find_last_of(kSep, end - 1);
        if (cut == std::string::npos || cut <= root) return home;
        candidate.erase(cut);
    }
    return candidate;
}

std::string FolderWithSeparator(const std::string& path) {
    if (path.empty() || path.back() == kSep) return path;
    return path + kSep;
}

void SplitAtLastSeparator(const std::string& fileName, std::string* folder, std::string* name) {
    const std::string::size_type last = fileName.rfind(kSep);
    if (last == std::string::npos) {
        folder->clear();
        *name = fileName;
        return;
    }
    *folder = fileName.substr(0, last + 1);
    *name = fileName.substr(last + 1);
}
