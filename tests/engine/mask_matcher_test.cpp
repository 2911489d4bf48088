#include "engine/search/mask_matcher.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/platform_rules.h"

// Masks and paths are written with "/" and turned into the platform's form (Native) where they
// are used; the backslash in them is the escape character, which only POSIX can write in a
// file part.

namespace {

// The start folder (written with "/", or null) of the matchers Compile makes.
std::string g_root;

class ScopedRoot {
public:
    explicit ScopedRoot(const char* root) : m_old(g_root) { g_root = root ? Native(root) : ""; }
    ~ScopedRoot() { g_root = m_old; }

private:
    std::string m_old;
};

// The chain as text: "*", "?", or the literal in quotes.
std::vector<std::string> Shape(const MaskNode* head) {
    std::vector<std::string> shape;
    for (const MaskNode* n = head; n != nullptr; n = n->next.get())
        shape.push_back(n->isSet ? std::string(1, n->op) : "'" + n->text + "'");
    return shape;
}

std::vector<std::string> Plan(const MaskNode* first) {
    std::vector<std::string> plan;
    for (const MaskNode* n = first; n != nullptr; n = n->planNext)
        plan.push_back(n->isSet ? std::string(1, n->op) : n->text);
    return plan;
}

using Strings = std::vector<std::string>;

std::unique_ptr<MaskMatcher> Compile(const std::string& mask, int kind = 1) {
    std::string text = Native(mask);
    auto m = std::make_unique<MaskMatcher>(text, kind);
    m->ScanRoot = g_root;
    return m;
}

int Match(const std::string& mask, const std::string& path) {
    return Compile(mask)->MatchPath(Native(path));
}

Strings NativeAll(Strings v) {
    for (std::string& s : v) s = Native(s);
    return v;
}

struct Split {
    std::string folder, file;
    int hasDir, anyPrefix, anySuffix;
};

Split SplitOf(const std::string& mask) {
    Split s{Native(mask), "", -1, -1, -1};
    SplitMaskPath(s.folder, s.file, s.hasDir, s.anyPrefix, s.anySuffix);
    return s;
}

// FindPattern over an exact-size heap copy, so that a read outside the text is caught by the
// sanitizer build.
int FindIn(MaskMatcher& m, const std::string& subject) {
    std::unique_ptr<char[]> copy(new char[subject.size()]);
    subject.copy(copy.get(), subject.size());
    const int saved = m.CaseExact;
    m.CaseExact = 1;
    const int n = m.FindPattern(copy.get(), static_cast<int>(subject.size()));
    m.CaseExact = saved;
    return n;
}

TEST(MaskCompile, ChainShapesAndBounds) {
    ScopedRoot root("/data");
    auto m = Compile("*.*");
    EXPECT_EQ(Shape(m->fileHead.get()), (Strings{"*", "'.'", "*"}));
    const MaskNode* star = m->fileHead.get();
    EXPECT_EQ(star->minCount, 0);
    EXPECT_EQ(star->maxCount, 32767);
    EXPECT_EQ(star->isSet, 1);
    const MaskNode* dot = star->next.get();
    EXPECT_EQ(dot->minCount, 1);
    EXPECT_EQ(dot->maxCount, 1);
    EXPECT_EQ(dot->prev, star);
    EXPECT_EQ(m->fileTail, dot->next.get());
    EXPECT_EQ(m->hasDir, 0);
    EXPECT_EQ(m->dirHead, nullptr);
    EXPECT_EQ(m->kind, 1);
    EXPECT_EQ(Compile("x", 0)->kind, 0);

    EXPECT_EQ(Shape(Compile("*.TXT")->fileHead.get()), (Strings{"*", "'.TXT'"}));
    auto q = Compile("A?B");
    EXPECT_EQ(Shape(q->fileHead.get()), (Strings{"'A'", "?", "'B'"}));
    EXPECT_EQ(q->fileHead->next->minCount, 1);
    EXPECT_EQ(q->fileHead->next->maxCount, 1);
    EXPECT_EQ(Shape(Compile("**")->fileHead.get()), (Strings{"*", "*"}));
    EXPECT_EQ(Shape(Compile("readme.txt")->fileHead.get()), (Strings{"'README.TXT'"}));
    EXPECT_EQ(Shape(Compile("a*b?c")->fileHead.get()), (Strings{"'A'", "*", "'B'", "?", "'C'"}));

#ifndef _WIN32
    // Escaped wildcards are literal; other escapes are processed; a dangling backslash after a
    // wildcard adds nothing.
    EXPECT_EQ(Shape(Compile("a\\*b")->fileHead.get()), (Strings{"'A*B'"}));
    EXPECT_EQ(Shape(Compile("\\?*")->fileHead.get()), (Strings{"'?'", "*"}));
    EXPECT_EQ(Shape(Compile("x\\\\*")->fileHead.get()), (Strings{"'X\\'", "*"}));
    EXPECT_EQ(Shape(Compile("\\101*")->fileHead.get()), (Strings{"'E'", "*"}));
    EXPECT_EQ(Shape(Compile("*\\")->fileHead.get()), (Strings{"*"}));
#else
    // The backslash is the folder separator: it splits the mask, so a file part never holds
    // one and nothing in it is escaped.
    auto split = Compile("a\\*b");
    EXPECT_EQ(Shape(split->fileHead.get()), (Strings{"*", "'B'"}));
    EXPECT_EQ(Shape(split->dirHead.get()), (Strings{"'\\A\\'"}));
    EXPECT_EQ(Shape(Compile("\\101*")->fileHead.get()), (Strings{"'101'", "*"}));
    EXPECT_EQ(Shape(Compile("*\\")->fileHead.get()), (Strings{"*", "'.'", "*"}));
#endif
}

TEST(MaskCompile, TrimsTheCallersMaskAndFoldsCase) {
    std::string mask = " \t *.txt \r\n";
    MaskMatcher m(mask, 1);
    EXPECT_EQ(mask, "*.txt");
    EXPECT_EQ(Shape(m.fileHead.get()), (Strings{"*", "'.TXT'"}));

    // The constructor compiles upper-cased.
    std::string lower = "abc?";
    MaskMatcher n(lower, 1);
    EXPECT_EQ(n.fileHead->text, "ABC");

    // A set node holds the admitted bytes: all 255 before folding, lower-case letters folded
    // away; control bytes are admitted like any other.
    const std::string& set = n.fileHead->next->text;
    EXPECT_EQ(set.find('a'), std::string::npos);
    EXPECT_NE(set.find('A'), std::string::npos);
    EXPECT_NE(set.find('\t'), std::string::npos);
    EXPECT_NE(set.find('\n'), std::string::npos);
    EXPECT_NE(set.find('\r'), std::string::npos);
    EXPECT_NE(set.find('\x01'), std::string::npos);

    MaskNode raw;
    raw.op = '?';
    SetNodeText(&raw, "ignored");
    ASSERT_EQ(raw.text.size(), 255u);
    EXPECT_EQ(raw.text.front(), '\x01');
    EXPECT_EQ(raw.text[1], '\x02');
    EXPECT_EQ(raw.text[9], '\n');
    EXPECT_EQ(static_cast<unsigned char>(raw.text.back()), 0xFF);
    EXPECT_EQ(raw.isSet, 1);

    MaskNode literal;
    SetNodeText(&literal, "a\\tb");
    SetNodeText(&literal, "c");
    EXPECT_EQ(literal.text, "a\tbc");
    EXPECT_EQ(literal.isSet, 0);
}

TEST(MaskCompile, SplitsFolderAndFilePatterns) {
    struct Case {
        std::string mask;
        std::string folder;
        std::string file;
        int hasDir, anyPrefix, anySuffix;
    } cases[] = {
        {"*/TEMP/*.TMP", "/TEMP/", "*.TMP", 1, 1, 0},
        {"TEMP/*/", "/TEMP/", "*.*", 1, 0, 1},
        {"TEMP/*/*.TMP", "/TEMP/", "*.TMP", 1, 0, 1},
        {"SUB/*.TXT", "/SUB/", "*.TXT", 1, 0, 0},
        {"/*.TXT", "/", "*.TXT", 1, 0, 0},
        {"/", "/", "*.*", 1, 0, 0},
        {"*/SUB/*/", "/SUB/", "*.*", 1, 1, 1},
        {"A/B/", "/A/B/", "*.*", 1, 0, 0},
        {"/A/B/c", "/A/B/", "c", 1, 0, 0},
        {"*/", "", "*.*", 1, 1, 0},
        {"//*/", "/", "*.*", 1, 0, 1},
        {"*.TXT", "", "*.TXT", 0, 0, 0},
        // The backslash separates nothing on POSIX; on Windows it is the separator.
        kWindows ? Case{"a\\b", "\\a\\", "b", 1, 0, 0} : Case{"a\\b", "", "a\\b", 0, 0, 0},
        {"", "", "", 0, 0, 0},
    };
    for (const Case& c : cases) {
        const Split s = SplitOf(c.mask);
        EXPECT_EQ(s.folder, Native(c.folder)) << c.mask;
        EXPECT_EQ(s.file, Native(c.file)) << c.mask;
        EXPECT_EQ(s.hasDir, c.hasDir) << c.mask;
        EXPECT_EQ(s.anyPrefix, c.anyPrefix) << c.mask;
        EXPECT_EQ(s.anySuffix, c.anySuffix) << c.mask;
    }

    std::string text = "a\\b\\\\c";
    EXPECT_EQ(DoubleBackslashes(text), 3);
    EXPECT_EQ(text, "a\\\\b\\\\\\\\c");
    std::string none = "abc";
    EXPECT_EQ(DoubleBackslashes(none), 0);
    EXPECT_EQ(none, "abc");
}

TEST(MaskCompile, FolderChains) {
    ScopedRoot root("/data");
    auto m = Compile("*/temp/*.tmp");
    EXPECT_EQ(m->hasDir, 1);
    EXPECT_EQ(m->anyPrefix, 1);
    EXPECT_EQ(Shape(m->dirHead.get()), NativeAll({"'/TEMP/'"}));
    EXPECT_EQ(m->dirTail, m->dirHead.get());
    EXPECT_EQ(m->dirPlanStart, m->dirHead.get());
    EXPECT_EQ(Shape(m->fileHead.get()), (Strings{"*", "'.TMP'"}));

    // Wildcards stay wildcards in a folder part.
    EXPECT_EQ(Shape(Compile("/A*/x")->dirHead.get()), NativeAll({"'/A'", "*", "'/'"}));
#ifndef _WIN32
    // An escaped one is literal.
    EXPECT_EQ(Shape(Compile("/A\\*/x")->dirHead.get()), (Strings{"'/A*/'"}));
#else
    // The folder backslashes are doubled before the escapes are read: "\t", "\n" and "\101"
    // stay a separator and letters or digits, never a TAB, a line feed or a byte by number.
    EXPECT_EQ(Shape(Compile("\\tmp\\n\\101\\*.x")->dirHead.get()),
              (Strings{"'\\TMP\\N\\101\\'"}));
    EXPECT_EQ(Compile("t\\a\\*.x")->dirHead->text, "\\T\\A\\");
#endif
    // "*/" alone names no folder: no folder chain.
    auto any = Compile("*/");
    EXPECT_EQ(any->hasDir, 1);
    EXPECT_EQ(any->dirHead, nullptr);
}

TEST(MaskCompile, PlanPlacesLiteralsFirst) {
    EXPECT_EQ(Plan(Compile("*.DO?")->filePlanStart), (Strings{".DO", "?", "*"}));
    EXPECT_EQ(Plan(Compile("A?B")->filePlanStart), (Strings{"A", "?", "B"}));
    EXPECT_EQ(Plan(Compile("X*?Y")->filePlanStart), (Strings{"X", "Y", "?", "*"}));
    EXPECT_EQ(Plan(Compile("?*?")->filePlanStart), (Strings{"?", "?", "*"}));
    auto m = Compile("*.*");
    EXPECT_EQ(m->filePlanStart, m->fileHead->next.get());
    EXPECT_EQ(m->filePlanStart->planNext, m->fileHead.get());
    EXPECT_EQ(m->fileHead->planNext, m->fileTail);
    EXPECT_EQ(m->fileTail->planNext, nullptr);
    // Planning leaves no match state behind.
    for (const MaskNode* n = m->fileHead.get(); n != nullptr; n = n->next.get()) {
        EXPECT_EQ(n->matchStart, -1);
        EXPECT_EQ(n->matchEnd, -1);
    }
    EXPECT_EQ(PlanChain(nullptr), nullptr);
}

TEST(MaskFileName, WildcardsAndFirstOccurrence) {
    ScopedRoot root("/data");
    EXPECT_EQ(Match("*.*", "/data/A.TXT"), 1);
    EXPECT_EQ(Match("*.*", "/data/README"), 1);
    EXPECT_EQ(Match("*.*", "/data/a.b.c"), 1);
    EXPECT_EQ(Match("*", "/data/README"), 1);
    EXPECT_EQ(Match("*", "/data/x.y"), 1);

    EXPECT_EQ(Match("*.", "/data/README"), 1);
    EXPECT_EQ(Match("*.", "/data/NAME."), 1);
    EXPECT_EQ(Match("*.", "/data/A.B"), 0);

    EXPECT_EQ(Match("*.TXT", "/data/A.B.TXT"), 1);
    EXPECT_EQ(Match("*.TXT", "/data/A.TXT"), 1);
    EXPECT_EQ(Match("*.TXT", "/data/A.TXT.TXT"), 0);  // .TXT is bound to its first occurrence
    EXPECT_EQ(Match("*.TXT", "/data/A.TX"), 0);
    EXPECT_EQ(Match("*.DO?", "/data/A.DOC"), 1);
    EXPECT_EQ(Match("*.DO?", "/data/A.DO.DOC"), 0);
    EXPECT_EQ(Match("A*B.TXT", "/data/AXB.TXT"), 1);
    EXPECT_EQ(Match("A*B.TXT", "/data/AB.TXTB.TXT"), 0);
    EXPECT_EQ(Match("A?B*.DO?", "/data/AXBYZ.DOC"), 1);
    EXPECT_EQ(Match("A?B*.DO?", "/data/AB.DOC"), 0);

    EXPECT_EQ(Match("?.TXT", "/data/A.TXT"), 1);
    EXPECT_EQ(Match("?.TXT", "/data/AB.TXT"), 0);
    EXPECT_EQ(Match("?A*", "/data/AA.X"), 1);  // after the window moves past the first A
    EXPECT_EQ(Match("?A*", "/data/A"), 0);
    EXPECT_EQ(Match("??", "/data/A"), 1);      // tested as "A."
    EXPECT_EQ(Match("??", "/data/AB"), 0);
    // Every unplaced predecessor leaves room before a node, so a leading '?' still fits.
    EXPECT_EQ(Match("?*.?", "/data/a.b"), 1);
    EXPECT_EQ(Match("?*.?", "/data/ab.c"), 1);
    EXPECT_EQ(Match("?*.?", "/data/.c"), 0);

    EXPECT_EQ(Match("A.TXT", "/data/A.TXT"), 1);
    EXPECT_EQ(Match("A.TXT", "/data/XA.TXT"), 0);
    EXPECT_EQ(Match("A.TXT", "/data/A.TXTX"), 0);
    EXPECT_EQ(Match("README.", "/data/README"), 1);
    EXPECT_EQ(Match("README", "/data/README"), 0);  // the name is matched as "README."

#ifndef _WIN32
    // Escapes: a literal star, a byte by number.
    EXPECT_EQ(Match("a\\*.txt", "/data/A*.TXT"), 1);
    EXPECT_EQ(Match("a\\*.txt", "/data/AB.TXT"), 0);
    EXPECT_EQ(Match("\\101.*", "/data/e.x"), 1);
#endif

    // A path without a separator is a bare name.
    EXPECT_EQ(Match("*.TXT", "A.TXT"), 1);
    // Wildcards admit control bytes: names with a line feed or a carriage return are searched.
    EXPECT_EQ(Match("*", "/data/a\x01" "b"), 1);
    EXPECT_EQ(Match("?.X", "/data/\x01.X"), 1);
    EXPECT_EQ(Match("*.txt", "/data/line\nfeed\r.txt"), 1);
    EXPECT_EQ(Match("a?b.*", "/data/a\nb.x"), 1);
    EXPECT_EQ(Match("*", "/data/a\tb"), 1);
    EXPECT_EQ(Match("*.*", "/data/caf\xC3\xA9.txt"), 1);
}

TEST(MaskFileName, CaseIsIgnoredAndCaseExactRestored) {
    ScopedRoot root("/data");
    EXPECT_EQ(Match("*.txt", "/data/a.TXT"), 1);
    EXPECT_EQ(Match("*.txt", "/data/A.txt"), 1);
    EXPECT_EQ(Match("*.TXT", "/data/a.txt"), 1);
    EXPECT_EQ(Match("sub/*.txt", "/data/SUB/a.txt"), 1);

    auto m = Compile("*.txt");
    m->CaseExact = 1;
    EXPECT_EQ(m->MatchPath(Native("/data/a.txt")), 1);
    EXPECT_EQ(m->CaseExact, 1);
    m->CaseExact = 0;
    EXPECT_EQ(m->MatchPath(Native("/data/a.txt")), 1);
    EXPECT_EQ(m->CaseExact, 0);
    // Two matchers of one mask under different roots keep their own.
    auto other = Compile("sub/*.txt");
    other->ScanRoot = Native("/other");
    EXPECT_EQ(Compile("sub/*.txt")->MatchPath(Native("/data/sub/a.txt")), 1);
    EXPECT_EQ(other->MatchPath(Native("/data/sub/a.txt")), 0);
    EXPECT_EQ(other->MatchPath(Native("/other/sub/a.txt")), 1);
}

TEST(MaskFileName, OneMatcherServesManyPaths) {
    ScopedRoot root("/data");
    auto m = Compile("*.DO?");
    const struct {
        const char* path;
        int expected;
    } paths[] = {
        {"/data/A.DOC", 1}, {"/data/A.DO.DOC", 0}, {"/data/LONGER_NAME.DOT", 1},
        {"/data/X", 0},     {"/data/B.DOX", 1},    {"/data/B.DOCX", 0},
    };
    for (int round = 0; round < 2; ++round)
        for (const auto& p : paths) EXPECT_EQ(m->MatchPath(Native(p.path)), p.expected) << p.path;

    // The match left behind is the one of the last search.
    EXPECT_EQ(m->MatchPath(Native("/data/NAME.DOC")), 1);
    std::string matched;
    m->CollectMatchedText(matched);
    EXPECT_EQ(matched, "NAME.DOC");
}

TEST(MaskFolder, RelativeFolderAndMarkers) {
    ScopedRoot root("/data");
    // Any depth below the root, folder ending in TEMP.
    EXPECT_EQ(Match("*/TEMP/*.TMP", "/data/X/TEMP/F.TMP"), 1);
    EXPECT_EQ(Match("*/TEMP/*.TMP", "/data/TEMP/F.TMP"), 1);
    EXPECT_EQ(Match("*/TEMP/*.TMP", "/data/TEMP/SUB/F.TMP"), 0);
    EXPECT_EQ(Match("*/TEMP/*.TMP", "/data/TEMP/X/TEMP/F.TMP"), 0);  // first occurrence
    EXPECT_EQ(Match("*/TEMP/*.TMP", "/data/X/TEMP/F.TXT"), 0);       // the name decides first
    // TEMP directly below the root, at any depth inside it.
    EXPECT_EQ(Match("TEMP/*/*.TMP", "/data/TEMP/F.TMP"), 1);
    EXPECT_EQ(Match("TEMP/*/*.TMP", "/data/TEMP/SUB/F.TMP"), 1);
    EXPECT_EQ(Match("TEMP/*/*.TMP", "/data/TEMP/SUB/DEEP/F.TMP"), 1);
    EXPECT_EQ(Match("TEMP/*/*.TMP", "/data/X/TEMP/F.TMP"), 0);
    EXPECT_EQ(Match("TEMP/*/", "/data/TEMP/ANY"), 1);
    // Both markers: TEMP anywhere.
    EXPECT_EQ(Match("*/TEMP/*/", "/data/A/TEMP/B/F"), 1);
    EXPECT_EQ(Match("*/TEMP/*/", "/data/TEMP/F"), 1);
    EXPECT_EQ(Match("*/TEMP/*/", "/data/TEMPO/F"), 0);
    // Exactly that folder.
    EXPECT_EQ(Match("SUB/*.TXT", "/data/SUB/A.TXT"), 1);
    EXPECT_EQ(Match("SUB/*.TXT", "/data/X/SUB/A.TXT"), 0);
    EXPECT_EQ(Match("SUB/*.TXT", "/data/SUB/X/A.TXT"), 0);
    EXPECT_EQ(Match("SUB/*.TXT", "/data/A.TXT"), 0);
    EXPECT_EQ(Match("/*.TXT", "/data/A.TXT"), 1);
    EXPECT_EQ(Match("/*.TXT", "/data/SUB/A.TXT"), 0);
    EXPECT_EQ(Match("/", "/data/A"), 1);
    EXPECT_EQ(Match("/", "/data/SUB/A"), 0);
    // A star in the folder pattern spans levels, up to the first occurrence of what follows.
    EXPECT_EQ(Match("A*C/*.*", "/data/AB/C/F.X"), 1);
    EXPECT_EQ(Match("A*/*.*", "/data/AB/F.X"), 1);
    EXPECT_EQ(Match("A*/*.*", "/data/AB/C/F.X"), 0);
    EXPECT_EQ(Match("A*/*.*", "/data/B/F.X"), 0);
    // A file-name wildcard never crosses into the folder.
    EXPECT_EQ(Match("*.TXT", "/data/X.TXT/A"), 0);
}

TEST(MaskFolder, RootWithAndWithoutTrailingSeparator) {
    for (const char* rootText : {"/data", "/data/"}) {
        ScopedRoot root(rootText);
        EXPECT_EQ(Match("SUB/*.*", "/data/SUB/A.B"), 1) << rootText;
        EXPECT_EQ(Match("/*.*", "/data/A.B"), 1) << rootText;
        EXPECT_EQ(Match("/*.*", "/data/SUB/A.B"), 0) << rootText;
    }
    {
        ScopedRoot root("/");
        EXPECT_EQ(Match("DATA/*.*", "/data/A.B"), 1);
        EXPECT_EQ(Match("/*.*", "/A.B"), 1);
    }
    {
        // No root: the whole folder is relative.
        ScopedRoot root(nullptr);
        auto m = Compile("DATA/*.*");
        EXPECT_EQ(m->MatchPath(Native("/data/A.B")), 1);
        EXPECT_EQ(m->MatchPath(Native("/other/A.B")), 0);
        EXPECT_EQ(Match("*/X/*.*", "A.B"), 0);  // no folder at all
    }
    {
        // A path shorter than the root leaves an empty folder that no pattern matches.
        ScopedRoot root("/a/very/long/root");
        EXPECT_EQ(Match("/*.*", "/x/A.B"), 0);
        EXPECT_EQ(Match("*/*/", "/A.B"), 0);
    }
}

TEST(MaskWindow, MasksWithoutStarSearchASlidingWindow) {
    ScopedRoot root("/data");
    // "AB" spans 4 bytes at most; the window is twice that and slides on when the literal is
    // not inside, overlapping the last window by the literal's length.
    auto ab = Compile("AB");
    EXPECT_EQ(FindIn(*ab, "XXXXXXXXXXXXAB"), 14);
    EXPECT_EQ(FindIn(*ab, "XXXXXXXAB"), 9);  // across the border of the first window
    EXPECT_EQ(FindIn(*ab, "XXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXAB"), 42);
    EXPECT_EQ(FindIn(*ab, "XXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXXA"), -1);
    EXPECT_EQ(FindIn(*ab, ""), -1);

    auto q = Compile("B?D");
    EXPECT_EQ(FindIn(*q, "XXXXXXXXXXXXXXXXBCD"), 19);
    std::string matched;
    q->CollectMatchedText(matched);
    EXPECT_EQ(matched, "BCD");

    // A later call on the same matcher starts from a clean chain.
    EXPECT_EQ(FindIn(*q, "BXD"), 3);
    EXPECT_EQ(FindIn(*q, "XXXX"), -1);
    q->CollectMatchedText(matched);
    EXPECT_EQ(matched, "");

    // A literal found in a name that does not end there: the reported end is short of the
    // name, so MatchPath says no.
    auto dot = Compile("*.TXT");
    EXPECT_EQ(FindIn(*dot, "A.TXT.TXT"), 5);
}

TEST(MaskBadInput, NeverMatchingMasks) {
    ScopedRoot root("/data");
    EXPECT_EQ(Match("", "/data/A"), 0);
    EXPECT_EQ(Match("   ", "/data/A"), 0);
    // A lone backslash is a dangling escape on POSIX; on Windows it names the root folder.
    EXPECT_EQ(Match("\\", "/data/A"), kWindows ? 1 : 0);

    // A part of 259 bytes compiles; one of 260 never matches rather than being cut short.
    const std::string name259 = std::string(258, 'N') + ".";
    const std::string name260 = std::string(259, 'N') + ".";
    EXPECT_EQ(Match(name259, "/data/" + name259), 1);
    auto tooLong = Compile("*" + std::string(259, 'N'));
    EXPECT_EQ(tooLong->fileHead, nullptr);
    EXPECT_EQ(tooLong->MatchPath(Native("/data/X") + std::string(259, 'N')), 0);
    EXPECT_EQ(Match(name260, "/data/" + name260), 0);
    const std::string folder = std::string(300, 'F');
    EXPECT_EQ(Match(folder + "/*.*", "/data/" + folder + "/A.B"), 0);
    EXPECT_EQ(Match(std::string(200, 'F') + "/*.*", "/data/" + std::string(200, 'F') + "/A.B"),
              1);
}

TEST(MaskBadInput, EmptyPlacementsStayInsideTheText) {
    ScopedRoot root("/data");
    // A head placed empty once moved the window before the start of the name.
    // The window must move on from 2 to 3, where ".?A" is found.
    auto stars = Compile("**.?a");
    EXPECT_EQ(FindIn(*stars, "A....A....A"), 6);
    EXPECT_EQ(stars->MatchPath(Native("/data/a....a....a")), 0);
    EXPECT_EQ(stars->MatchPath(Native("/data/x.ya")), 1);

    auto around = Compile("**?**");
    EXPECT_GE(FindIn(*around, std::string("AB\x01" "CD", 5)), 0);
    EXPECT_EQ(around->MatchPath(Native(std::string("/data/ab\x01" "cd", 11))), 1);
    EXPECT_EQ(around->MatchPath(Native("/data/abcd")), 1);
    EXPECT_GE(FindIn(*around, std::string("\x01\x02", 2)), 0);
}

TEST(MaskBadInput, LongChainsFreeWithoutRecursion) {
    // Compiling a long text does not recurse per node.
    std::string text;
    for (int i = 0; i < 5000; ++i) text += "a*";
    auto compiled = std::make_unique<MaskNode>();
    CompileWildcard(compiled.get(), text);
    int count = 0;
    for (const MaskNode* n = compiled.get(); n != nullptr; n = n->next.get()) ++count;
    EXPECT_EQ(count, 10000);
    compiled.reset();

    // Deleting the head of a million-node chain would overflow the stack if each node's
    // destructor deleted the next one.
    auto head = std::make_unique<MaskNode>();
    MaskNode* tail = head.get();
    for (int i = 0; i < 1000000; ++i) {
        tail->next = std::make_unique<MaskNode>();
        tail->next->prev = tail;
        tail = tail->next.get();
    }
    head.reset();
    EXPECT_EQ(head, nullptr);
}

#ifdef _WIN32
// Masks in the Windows form as typed, with backslash folder parts.
TEST(MaskFolder, WindowsSeparatorKeepsFolderBackslashesLiteral) {
    ScopedRoot root("C:\\DATA");
    EXPECT_EQ(Match("*\\TEMP\\*.TMP", "C:\\DATA\\X\\TEMP\\F.TMP"), 1);
    EXPECT_EQ(Match("*\\TEMP\\*.TMP", "C:\\DATA\\TEMP\\F.TMP"), 1);
    EXPECT_EQ(Match("*\\TEMP\\*.TMP", "C:\\DATA\\TEMP\\SUB\\F.TMP"), 0);
    EXPECT_EQ(Match("TEMP\\*\\*.TMP", "C:\\DATA\\TEMP\\SUB\\F.TMP"), 1);
    EXPECT_EQ(Match("TEMP\\*\\*.TMP", "C:\\DATA\\X\\TEMP\\F.TMP"), 0);
    EXPECT_EQ(Match("SUB\\*.TXT", "C:\\DATA\\SUB\\A.TXT"), 1);
    EXPECT_EQ(Match("\\*.TXT", "C:\\DATA\\S\\A.TXT"), 0);
    EXPECT_EQ(Match("\\A*\\*.*", "C:\\DATA\\AB\\F.X"), 1);
    // Doubled before compiling, the folder backslashes stay literal; wildcards stay wildcards.
    std::string mask = "\\A*\\x";
    MaskMatcher m(mask, 1);
    ASSERT_NE(m.dirHead, nullptr);
    EXPECT_EQ(m.dirHead->text, "\\A");
    EXPECT_EQ(m.dirHead->next->op, '*');
    EXPECT_EQ(m.dirTail->text, "\\");
}
#endif

}  // namespace
