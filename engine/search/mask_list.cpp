#include "engine/search/mask_list.h"

#include "engine/text/text_helpers.h"

void MaskList::Build(const std::string& maskString) {
    m_masks.clear();
    std::vector<std::string> pieces;
    SplitString(maskString, pieces, ";");
    for (std::string& piece : pieces) {
        int kind = 1;
        if (!piece.empty() && piece[0] == '~') {
            piece.erase(0, 1);
            kind = 0;
        }
        if (piece.empty()) continue;
        const bool hasDot = piece.find('.') != std::string::npos;
        if (!hasDot && piece.find('*') == std::string::npos)
            piece += '.';  // "readme" means a name without an extension
        else if (hasDot && piece[0] == '.')
            piece.insert(0, 1, '*');  // ".txt" means "*.txt"
        m_masks.push_back(std::make_unique<MaskMatcher>(piece, kind));
    }
}

bool MaskList::IsAdmitted(const std::string& fullPath) {
    int state = 1;  // not yet included
    for (const auto& mask : m_masks)
        if (mask->kind == state && mask->MatchPath(fullPath)) state = mask->kind == 0 ? 1 : 0;
    return state == 0;
}

void MaskList::SetScanRoot(const std::string& folder) {
    for (const auto& mask : m_masks) mask->ScanRoot = folder;
}
