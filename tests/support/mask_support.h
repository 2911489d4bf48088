// Helpers of the mask engine tests.
#pragma once

#include <memory>
#include <string>

#include "engine/search/mask_matcher.h"

// The start folder that the tests' matchers get, as the scanner would give it ("" for none).
inline std::string& TestRoot() {
    static std::string root;
    return root;
}

// Sets TestRoot for the life of the object.
class ScopedRoot {
public:
    explicit ScopedRoot(const char* root) : m_old(TestRoot()) { TestRoot() = root ? root : ""; }
    ~ScopedRoot() { TestRoot() = m_old; }
    ScopedRoot(const ScopedRoot&) = delete;
    ScopedRoot& operator=(const ScopedRoot&) = delete;

private:
    std::string m_old;
};

// A matcher of `mask` (trimmed in place) under TestRoot.
class RootedMatcher : public MaskMatcher {
public:
    RootedMatcher(std::string& mask, int maskKind) : MaskMatcher(mask, maskKind) {
        ScanRoot = TestRoot();
    }
};

// FindPattern over an exact-size heap copy of `subject`, so that the sanitizer build catches
// any read outside it.
inline int FindIn(MaskMatcher& m, const std::string& subject) {
    std::unique_ptr<char[]> copy(new char[subject.size()]);
    subject.copy(copy.get(), subject.size());
    return m.FindPattern(copy.get(), static_cast<int>(subject.size()));
}
