#include "engine/search/mask_node.h"

#include <algorithm>

MaskNode::~MaskNode() {
    // Moving each successor out before its predecessor dies leaves every node with a null
    // `next` when it is deleted, so no destructor calls another.
    std::unique_ptr<MaskNode> rest = std::move(next);
    while (rest) rest = std::move(rest->next);
}

void MaskNode::RefreshSet() {
    std::fill(std::begin(m_admits), std::end(m_admits), false);
    for (char c : text) m_admits[static_cast<unsigned char>(c)] = true;
}

void MaskNode::ResetMatch() {
    matchCount = 0;
    matchedText.clear();
    matchStart = -1;
    matchEnd = -1;
}
