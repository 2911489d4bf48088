// Helpers of the mask engine tests.
#pragma once

#include <memory>
#include <string>

#include "engine/mask_matcher.h"

// Sets ScanRoot for the life of the object.
class ScopedRoot {
public:
    explicit ScopedRoot(const char* root) : m_old(ScanRoot) { ScanRoot = root; }
    ~ScopedRoot() { ScanRoot = m_old; }
    ScopedRoot(const ScopedRoot&) = delete;
    ScopedRoot& operator=(const ScopedRoot&) = delete;

private:
    const char* m_old;
};

// FindPattern over an exact-size heap copy of `subject`, so that the sanitizer build catches
// any read outside it.
inline int FindIn(MaskMatcher& m, const std::string& subject) {
    std::unique_ptr<char[]> copy(new char[subject.size()]);
    subject.copy(copy.get(), subject.size());
    return m.FindPattern(copy.get(), static_cast<int>(subject.size()));
}
