// Random masks, roots and paths through the mask engine. Under the sanitizer build these catch
// reads outside the texts; everywhere they check properties every answer must have.
#include "engine/search/mask_matcher.h"

#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/file_find.h"
#include "platform/locale_text.h"
#include "support/mask_support.h"

namespace {

class Random {
public:
    explicit Random(unsigned seed) : m_gen(seed) {}
    int Below(int n) { return static_cast<int>(m_gen() % static_cast<unsigned>(n)); }
    bool OneIn(int n) { return Below(n) == 0; }

    // Text from pieces that stress the engine: wildcards, separators, escapes, dots, letters of
    // both cases, control bytes, high bytes; now and then very long.
    std::string Text(const std::vector<std::string>& pieces, int maxPieces) {
        const int count = OneIn(40) ? 100 + Below(300) : Below(maxPieces + 1);
        std::string s;
        for (int i = 0; i < count; ++i) s += pieces[Below(static_cast<int>(pieces.size()))];
        return s;
    }

private:
    std::mt19937 m_gen;
};

const std::vector<std::string> kMaskPieces = {
    "*", "*", "?", "?", "/", ".", ".", "a", "B", "c", "\\", "\\*", "\\?", "\\0x41", "\\12",
    "\x01", "\t", "\n", "\r", "\xFF", "\xC3\xA9", "*/", "/*/", " ", "TXT", "x", "**"};
const std::vector<std::string> kNamePieces = {
    "a", "A", "b", "B", "c", ".", ".", "/", "x", "TXT", "txt", "\\", "*", "?", "\x01", "\x08",
    "\t", "\n", "\r", "\x7F", "\x80", "\xFF", "\xC3\xA9", " ", std::string(1, '\0')};
const std::vector<std::string> kGlobPieces = {"*", "?", ".", "A", "b", "c", "\xE9", "\x01", "\t"};
const std::vector<std::string> kGlobNamePieces = {"a", "B", "c", "C", ".", "\xE9", "\x01", "\t",
                                                  "\x0B"};


bool Admitted(unsigned char b) { return b != 0; }

// Plain glob matching, independent of the engine: '*' any run and '?' one of the admitted
// bytes, every other byte literal, ASCII case ignored.
bool GlobMatches(const std::string& pattern, const std::string& name) {
    std::vector<std::vector<char>> ok(pattern.size() + 1, std::vector<char>(name.size() + 1, 0));
    ok[pattern.size()][name.size()] = 1;
    for (int i = static_cast<int>(pattern.size()) - 1; i >= 0; --i) {
        for (int j = static_cast<int>(name.size()); j >= 0; --j) {
            const char p = pattern[i];
            const bool here = j < static_cast<int>(name.size());
            const unsigned char c = here ? static_cast<unsigned char>(name[j]) : 0;
            if (p == '*')
                ok[i][j] = ok[i + 1][j] || (here && Admitted(c) && ok[i][j + 1]);
            else if (p == '?')
                ok[i][j] = here && Admitted(c) && ok[i + 1][j + 1];
            else
                ok[i][j] = here && std::toupper(static_cast<unsigned char>(p)) == std::toupper(c) &&
                           ok[i + 1][j + 1];
        }
    }
    return ok[0][0] != 0;
}

// Whether the name has a dot of its own, the second byte of a two-byte character not counting
// (on a two-byte code page the engine reads "\xE9." as one character).
bool HasDot(const std::string& name) {
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (platform::IsLeadByte(static_cast<unsigned char>(name[i])) && i + 1 < name.size()) {
            ++i;
            continue;
        }
        if (name[i] == '.') return true;
    }
    return false;
}

std::string AsciiLower(std::string s) {
    for (char& c : s)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return s;
}

TEST(MaskFuzz, RandomMasksRootsAndPaths) {
    Random rnd(20240611);
    const char* roots[] = {nullptr, "", "/", "/data", "/data/", "/data/sub", "/x\\y/"};
    for (int round = 0; round < 6000; ++round) {
        ScopedRoot root(roots[rnd.Below(7)]);
        std::string mask = rnd.Text(kMaskPieces, 12);
        const int caseBefore = rnd.Below(2);
        RootedMatcher m(mask, rnd.Below(2));
        m.CaseExact = caseBefore;

        for (int k = 0; k < 6; ++k) {
            std::string prefix = !rnd.OneIn(5) ? m.ScanRoot : "";
            if (!prefix.empty() && prefix.back() != '/') prefix += '/';
            const std::string path = prefix + rnd.Text(kNamePieces, 16);
            const int result = m.MatchPath(path);
            ASSERT_TRUE(result == 0 || result == 1);
            ASSERT_EQ(m.CaseExact, caseBefore);
            // Upper and lower case give one answer; so does a freshly compiled matcher, and
            // the same matcher asked again.
            ASSERT_EQ(m.MatchPath(AsciiLower(path)), result) << path;
            std::string again = mask;
            RootedMatcher fresh(again, 1);
            ASSERT_EQ(fresh.MatchPath(path), result) << "mask " << mask << " path " << path;
            ASSERT_EQ(m.MatchPath(path), result);

            const std::string subject = rnd.Text(kNamePieces, 24);
            const int n = FindIn(m, subject);
            ASSERT_GE(n, -1);
            ASSERT_LE(n, static_cast<int>(subject.size()));
        }
    }
}

TEST(MaskFuzz, AMatchIsAlwaysAGlobMatch) {
    // The engine may miss a glob match (literals bind to their first occurrence) but never
    // reports one that is not there; a wildcard-free mask matches exactly its own name; a lone
    // star matches exactly the names of admitted bytes.
    Random rnd(77);
    const std::string root = std::string("r") + platform::kPathSeparator;
    ScopedRoot scopedRoot(root.c_str());
    std::string star = "*";
    RootedMatcher any(star, 1);
    for (int round = 0; round < 8000; ++round) {
        std::string mask = rnd.Text(kGlobPieces, 8);
        if (mask.empty()) continue;
        RootedMatcher m(mask, 1);
        const std::string pattern = mask;  // as trimmed
        for (int k = 0; k < 5; ++k) {
            std::string name = rnd.Text(kGlobNamePieces, 10);
            const std::string path = root + name;
            if (!HasDot(name)) name += '.';
            const bool glob = GlobMatches(pattern, name);
            const int result = m.MatchPath(path);
            if (result == 1) {
                ASSERT_TRUE(glob) << "mask " << pattern << " name " << name;
            }
            if (pattern.find_first_of("*?") == std::string::npos) {
                ASSERT_EQ(result == 1, glob) << "mask " << pattern << " name " << name;
            }
            ASSERT_EQ(any.MatchPath(path) == 1, GlobMatches("*", name)) << name;
        }
    }
}

}  // namespace
