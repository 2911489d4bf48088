#include "options/mask_entries.h"

#include "engine/search/duplicate_search.h"
#include "platform/file_find.h"

namespace {

constexpr char kSep = platform::kPathSeparator;
// "/*/" (any level) at the start of a folder part, "/*/" (subfolders) at its end.
const std::string kWildFolder = std::string(1, kSep) + "*" + std::string(1, kSep);

}  // namespace

const char MaskEntries::kPlaceholder[] = " ";

void MaskEntries::FillList(const std::string& mask) {
    SplitString(mask, m_entries, ";");
    m_nSel = -1;
    m_nCurSel = -1;
    if (!m_entries.empty()) {
        Select(0);
        LoadEntry();
    }
}

std::string MaskEntries::BuildMaskString() const {
    std::vector<std::string> pieces;
    for (const std::string& entry : m_entries)
        if (entry != kPlaceholder) pieces.push_back(entry);
    return JoinString(pieces, ";");
}

void MaskEntries::LoadEntry() {
    std::string text = m_nSel >= 0 ? m_entries[m_nSel] : std::string();
    if (text == kPlaceholder) text.clear();
    Fields f;
    f.m_nKind = 0;
    if (!text.empty() && text[0] == '~') {
        f.m_nKind = 1;
        text.erase(0, 1);
    }
    f.m_nDirMode = 0;
    const std::string::size_type last = text.rfind(kSep);
    if (last == std::string::npos) {
        f.m_strFileMatch = text;
    } else {
        f.m_strFileMatch = text.substr(last + 1);
        std::string folder = text.substr(0, last + 1);
        f.m_nDirMode = 1;
        if (folder.size() > 3 && folder.compare(0, 3, kWildFolder) == 0) {
            folder.erase(0, 2);
            f.m_bAnyLevel = 1;
        }
        if (folder.size() > 3 && folder.compare(folder.size() - 3, 3, kWildFolder) == 0) {
            folder.erase(folder.size() - 2);
            f.m_bSubfolders = 1;
        }
        f.m_strDirMatch = folder;
    }
    m_fields = f;
    // The fields belong to the entry shown from now on: a later selection change stores them
    // there, and nowhere else.
    m_nCurSel = m_nSel;
}

std::string MaskEntries::EncodeFields() const {
    Fields f = m_fields;
    if (f.m_strDirMatch.empty() || f.m_nDirMode == 0)
        return f.m_strFileMatch;
    if (f.m_strDirMatch == std::string(1, kSep)) {
        f.m_bSubfolders = 0;
        f.m_bAnyLevel = 0;
    }
    std::string piece;
    if (f.m_bAnyLevel) piece = std::string(1, kSep) + "*";
    if (f.m_strDirMatch.front() != kSep) piece += kSep;
    piece += f.m_strDirMatch;
    if (f.m_strDirMatch.back() != kSep) piece += kSep;
    if (f.m_bSubfolders) piece += std::string("*") + kSep;
    piece += f.m_strFileMatch;
    return piece;
}

bool MaskEntries::StoreEntry() {
    std::string piece = EncodeFields();
    if (m_nSel < 0) return false;
    if (piece.empty()) {
        RemoveSelected();
        return true;
    }
    if (m_fields.m_nKind == 1) piece.insert(0, "~");
    m_entries[m_nSel] = piece;
    return false;
}

void MaskEntries::RemoveSelected() {
    m_entries.erase(m_entries.begin() + m_nSel);
    Select(m_nSel < Count() ? m_nSel : Count() - 1);
    LoadEntry();
}

void MaskEntries::SelectionChanged(int index) {
    int target = index;
    if (m_nCurSel >= 0 && m_nCurSel < Count()) {
        const int stored = m_nCurSel;
        Select(stored);
        if (StoreEntry() && stored < target) --target;
    }
    Select(target);
    LoadEntry();
}

void MaskEntries::AddAt(int index) {
    m_entries.insert(m_entries.begin() + index, kPlaceholder);
    Select(index);
    StoreEntry();
    LoadEntry();
}

void MaskEntries::Add() { AddAt(Count()); }

void MaskEntries::Insert() { AddAt(m_nSel >= 0 ? m_nSel : Count()); }

void MaskEntries::Delete() {
    if (m_nSel < 0) return;
    RemoveSelected();
}

void MaskEntries::Up() {
    const int i = m_nSel;
    if (i < 0 || StoreEntry() || i <= 0) return;
    std::swap(m_entries[i - 1], m_entries[i]);
    Select(i - 1);
    LoadEntry();
}

void MaskEntries::Down() {
    const int i = m_nSel;
    if (i < 0 || StoreEntry() || i + 1 >= Count()) return;
    std::swap(m_entries[i], m_entries[i + 1]);
    Select(i + 1);
    LoadEntry();
}

void MaskEntries::Apply() {
    StoreEntry();
    LoadEntry();
}

void MaskEntries::DirMatchChanged(const std::string& text) {
    m_fields.m_strDirMatch = text;
    m_fields.m_nDirMode = text.empty() ? 0 : 1;
}
