// The include/exclude masks of a search, compiled once from the mask text: the walk asks it of
// every file, and the keep rule "mask" asks it of each listed file's path.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "engine/search/mask_matcher.h"

class MaskList {
public:
    // Compiles the pieces of `maskString` (";"-separated, "~" excludes; "readme" means a name
    // without an extension, ".txt" means "*.txt"). The pieces before are dropped.
    void Build(const std::string& maskString);
    // The folder the pieces' folder parts are matched below.
    void SetScanRoot(const std::string& folder);
    // The include/exclude decision for one file: the first include piece that matches
    // includes it, then the first later exclude piece that matches excludes it again, and so
    // on. With no pieces nothing is admitted. (Not const: matching uses the pieces' own state.)
    bool IsAdmitted(const std::string& fullPath);
    const std::vector<std::unique_ptr<MaskMatcher>>& Pieces() const { return m_masks; }

private:
    std::vector<std::unique_ptr<MaskMatcher>> m_masks;
};
