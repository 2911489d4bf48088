// Include/exclude masks: one mask piece ("*.txt", "*/TEMP/*.TMP", "TEMP/*/") compiled into
// chains of MaskNodes and matched against the full paths the scanner finds.
//
// Syntax: '*' any run of bytes, '?' exactly one byte (both admit every byte except 0x00-0x08,
// LF and CR; in a folder part they admit the separator too); the backslash escapes the next
// character (a lone trailing one is dropped); everything else is literal, compared without
// regard to case. A piece holding the folder separator has a folder part, everything up to its
// last separator, matched against the file's folder relative to the matcher's ScanRoot. A leading "*/"
// means at any depth below the root, a trailing "/*/" means in that folder or below it; an
// empty file part means "*.*". (Written with "/"; the separator is platform::kPathSeparator.)
//
// Matching places literal runs first, each at its first occurrence, then fills the gaps with
// the wildcards, and requires the result to cover the whole name: "*.TXT" does not match
// "A.TXT.TXT". A name without a dot is matched with one appended ("README" as "README."), so
// "*." selects names without an extension and "??" matches "A" but not "AB".
//
// A matcher keeps its match state in itself and its nodes: one thread at a time per matcher;
// matchers of different searches never share anything.
#pragma once

#include <memory>
#include <string>

#include "engine/search/mask_node.h"

// Longest folder or file part of a mask piece. A piece with a longer part compiles to a
// matcher that never matches: shortening it would make it match names the user did not write.
constexpr int kMaxMaskPart = 259;

// Splits a trimmed mask. On entry `folder` holds the mask; on return it holds the folder
// pattern (empty, or beginning and ending with the separator) and `file` the file pattern.
// hasDir: the mask held a separator; anyPrefix: the folder part began with "*/"; anySuffix: it
// ended with "/*/" (both markers are removed from the folder pattern).
void SplitMaskPath(std::string& folder, std::string& file, int& hasDir, int& anyPrefix,
                   int& anySuffix);

// Replaces every backslash by two; returns how many there were. Used on folder patterns only
// where the backslash is the folder separator, so that escape processing keeps it literal.
int DoubleBackslashes(std::string& text);

// Fills `node` from `text`, creating, upper-casing and linking further nodes as needed: an
// alternating chain of literal runs and single '?'/'*' nodes. `node` itself is left as the
// text gives it; its creator upper-cases it.
void CompileWildcard(MaskNode* node, const std::string& text);

// A '?'/'*' node gets the set of admitted bytes; a literal gets `text`, escape-processed,
// appended to its text.
void SetNodeText(MaskNode* node, const std::string& text);

// Orders a chain for matching: literal runs left to right, each '?' as soon as a neighbour is
// planned, then the other '?' nodes, then the '*' nodes left to right. Links the order through
// planNext and returns its first node (nullptr for a null head).
MaskNode* PlanChain(MaskNode* head);
// The next node to plan of a chain whose planned nodes have matchStart != -1, or nullptr.
MaskNode* PickNextPlanned(MaskNode* head);

class MaskMatcher {
public:
    // Trims `mask` in place (leading, then trailing white space) and compiles it, upper-cased.
    // `kind`: 1 include, 0 exclude; kept for the caller. Never fails.
    MaskMatcher(std::string& mask, int kind);
    ~MaskMatcher();
    MaskMatcher(const MaskMatcher&) = delete;
    MaskMatcher& operator=(const MaskMatcher&) = delete;

    // 1 when the file at `path` (folder text ending in the separator, then the name; a path
    // without a separator is a bare name) satisfies the mask, else 0. The folder part is
    // matched relative to ScanRoot. Cost: a few passes over the name (and folder). Leaves
    // CaseExact as it found it.
    int MatchPath(const std::string& path);

    // The search routines behind MatchPath, on the chain in use (the file chain, or the folder
    // chain while MatchPath has swapped it in).

    // Searches `subject` (`length` bytes; already upper-cased when CaseExact is set) and
    // returns the position just past the match, or -1.
    int FindPattern(const char* subject, int length);
    // `out` = the bytes every node of the chain consumed, head to tail.
    void CollectMatchedText(std::string& out) const;
    // Places `node` within the window and the bounds `start`/`limit` (-1: none), then the rest
    // of the plan. 1 when every node of the plan was placed.
    int MatchNode(MaskNode* node, const char* s, int length, int start, int limit);
    // The position just past the match when the placed nodes follow on without a gap, else -1.
    int CheckContiguous() const;
    // Moves WindowLow on after a failed attempt whose plan began with `first`; returns the
    // distance moved (always at least 1).
    int AdvanceWindow(MaskNode* first, int length);

    int kind;
    // Start folder of the walk in progress ("" is an empty root): the scanner sets it for
    // every start folder; the mask is compiled once per search.
    std::string ScanRoot;
    // 0: subject bytes are upper-cased as they are read; nonzero: they are compared as stored
    // (MatchPath upper-cases the name once and sets it for its own searches).
    int CaseExact = 0;
    // The search window of the match in progress; -1 outside a search.
    int WindowLow = -1, WindowHigh = -1;
    MaskNode* filePlanStart = nullptr;
    std::unique_ptr<MaskNode> fileHead;  // null only when the mask never matches
    MaskNode* fileTail = nullptr;
    std::unique_ptr<MaskNode> dirHead;   // null when the mask has no folder part
    MaskNode* dirTail = nullptr;
    MaskNode* dirPlanStart = nullptr;
    int hasDir = 0;
    int anyPrefix = 0;
    int anySuffix = 0;

private:
    void ResetChain();
    void SwapChains();

    int m_fresh = 1;           // the chain in use holds no state of an earlier search
    std::string m_name;        // buffers of MatchPath, kept to reuse their memory
    std::string m_folder;
    std::string m_matched;
};
