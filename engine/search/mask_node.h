// One element of a compiled mask chain: a literal run, or one '?' or '*' wildcard with the set of
// bytes it admits, plus the state a search leaves in it.
#pragma once

#include <memory>
#include <string>

// Most repetitions of a '*' node.
constexpr int kMaskStarMax = 32767;

class MaskNode {
public:
    MaskNode() = default;
    // Deletes the rest of the chain as well, one node after the other: a chain of any length
    // is freed without recursion.
    ~MaskNode();
    MaskNode(const MaskNode&) = delete;
    MaskNode& operator=(const MaskNode&) = delete;

    // True when this set node admits the byte. Valid once RefreshSet has seen the current text.
    bool Admits(unsigned char b) const { return m_admits[b]; }
    // Rebuilds the byte table behind Admits from `text`; whoever changes `text` calls it.
    void RefreshSet();
    // Forgets what a search placed here (planNext stays).
    void ResetMatch();

    // Literal: the bytes to match. Set: the admitted bytes.
    std::string text;
    int isSet = 0;            // 1 for a '?' or '*' node
    char op = 0;              // '*', '?', or 0 for a literal
    int minCount = 1;
    int maxCount = kMaskStarMax;
    int matchCount = 0;       // repetitions the last search consumed
    std::string matchedText;  // subject bytes the last search consumed
    int matchStart = -1;      // inclusive range consumed; -1 not placed, -2 placed empty
    int matchEnd = -1;
    std::unique_ptr<MaskNode> next;  // owned: deleting a head deletes the chain
    MaskNode* prev = nullptr;
    MaskNode* planNext = nullptr;    // next node of the matching plan

private:
    // Membership of `text`, kept beside it so that a '*' run tests one byte in constant time.
    bool m_admits[256] = {};
};
