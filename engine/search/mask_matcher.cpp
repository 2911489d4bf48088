#include "engine/search/mask_matcher.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <utility>

#include "engine/text/text_helpers.h"
#include "platform/file_find.h"
#include "platform/locale_text.h"

namespace {

constexpr char kSep = platform::kPathSeparator;

// The root is the start folder as the user typed it; on Windows the walker reads "/" there as
// the separator, so a typed "C:/Data/" is the same root as "C:\Data\".
inline bool IsSeparatorAsTyped(char c) { return c == kSep || (kSep == '\\' && c == '/'); }

// Whether byte `pos` of `s` (`length` bytes) begins a character rather than being the second
// byte of a two-byte character of the code page, which may equal "\\". Only the searches for
// the separator and the dot look at characters; everything else works byte by byte. UTF-8 has
// no such second bytes, so POSIX skips the scan.
bool StartsCharacter(const char* s, std::size_t length, std::size_t pos) {
    if (!platform::kTwoByteCharacters) return true;
    std::size_t i = 0;
    while (i < pos)
        i += platform::IsLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < length ? 2 : 1;
    return i == pos;
}

bool IsCharAt(const std::string& s, std::size_t pos, char c) {
    return pos < s.size() && s[pos] == c && StartsCharacter(s.data(), s.size(), pos);
}

// The first / last `c` that is a character of its own, or npos.
std::string::size_type FindChar(const std::string& s, char c) {
    for (std::string::size_type i = s.find(c); i != std::string::npos; i = s.find(c, i + 1))
        if (StartsCharacter(s.data(), s.size(), i)) return i;
    return std::string::npos;
}

std::string::size_type FindLastChar(const std::string& s, char c) {
    std::string::size_type found = s.rfind(c);
    while (found != std::string::npos && !StartsCharacter(s.data(), s.size(), found))
        found = found == 0 ? std::string::npos : s.rfind(c, found - 1);
    return found;
}

// Subjects longer than this never match: positions and lengths must stay far from INT_MAX.
constexpr std::size_t kMaxSubject = 1u << 28;

// The bytes '?' and '*' admit, in ascending order: every byte a name can hold. A name with a
// line feed or an escape in it is a file like any other, and must not drop out of a search.
const std::string& AnyCharSet() {
    static const std::string set = [] {
        std::string s;
        for (int b = 0x01; b <= 0xFF; ++b) s += static_cast<char>(b);
        return s;
    }();
    return set;
}

void UpperCaseText(std::string& s) {
    for (char& c : s) c = static_cast<char>(UpperCaseByte(static_cast<unsigned char>(c)));
}

// Every node is upper-cased once, by its creator, right after it was compiled.
void UpperCaseNodeText(MaskNode* node) {
    UpperCaseText(node->text);
    node->RefreshSet();
}

void SetBounds(MaskNode* node) {
    if (node->op == '*') {
        node->minCount = 0;
        node->maxCount = kMaskStarMax;
    } else {
        node->minCount = 1;
        node->maxCount = 1;
    }
}

// "Placed" in the planning and matching sense: holding a range or placed empty.
bool Placed(const MaskNode* n) { return n->matchStart != -1; }
// Holding a real range of the subject.
bool HasPosition(const MaskNode* n) { return n->matchStart >= 0; }

MaskNode* LastNode(MaskNode* head) {
    if (head == nullptr) return nullptr;
    while (head->next) head = head->next.get();
    return head;
}

void ResetChainState(MaskNode* head) {
    for (MaskNode* n = head; n != nullptr; n = n->next.get()) n->ResetMatch();
}

// Widest text the chain can cover; a literal counts twice its length.
long long MaxChainLength(const MaskNode* head) {
    long long total = 0;
    for (const MaskNode* n = head; n != nullptr; n = n->next.get()) {
        if (n->isSet) {
            total += n->maxCount;
        } else {
            const long long len = static_cast<long long>(n->text.size());
            total += len * n->maxCount + (n->maxCount < 3 ? len : 0);
        }
    }
    return total;
}

long long NodeLength(const MaskNode* n) {
    if (Placed(n)) return static_cast<long long>(n->matchedText.size());
    if (n->isSet) return n->maxCount;
    return static_cast<long long>(n->text.size()) * n->maxCount;
}

// Length of the node itself and of everything after it.
long long LengthFrom(const MaskNode* n) {
    long long total = 0;
    for (; n != nullptr; n = n->next.get()) total += NodeLength(n);
    return total;
}

const MaskNode* NearestPredecessorWithEnd(const MaskNode* node) {
    for (const MaskNode* p = node->prev; p != nullptr; p = p->prev)
        if (p->matchEnd >= 0) return p;
    return nullptr;
}

const MaskNode* NearestSuccessorWithStart(const MaskNode* node) {
    for (const MaskNode* s = node->next.get(); s != nullptr; s = s->next.get())
        if (s->matchStart >= 0) return s;
    return nullptr;
}

bool LiesAfter(const MaskNode* q, const MaskNode* node) {
    for (const MaskNode* n = node->next.get(); n != nullptr; n = n->next.get())
        if (n == q) return true;
    return false;
}

inline unsigned char SubjectByte(const char* s, int pos, int caseExact) {
    const unsigned char b = static_cast<unsigned char>(s[pos]);
    return caseExact != 0 ? b : UpperCaseByte(b);
}

bool LiteralAt(const std::string& text, const char* s, int pos, int caseExact) {
    if (caseExact != 0) return std::memcmp(text.data(), s + pos, text.size()) == 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (UpperCaseByte(static_cast<unsigned char>(s[pos + i])) !=
            static_cast<unsigned char>(text[i]))
            return false;
    return true;
}

void Place(MaskNode* node, const char* s, int first, int last, int count) {
    node->matchStart = first;
    node->matchEnd = last;
    node->matchCount = count;
    node->matchedText.assign(s + first, static_cast<std::size_t>(last - first + 1));
}

// A set node just before an already placed node takes, greedily, what lies right before `hi`
// and after `before` (or within the node's own length of `hi` when nothing before is placed).
void PlaceBackward(MaskNode* node, const char* s, int hi, const MaskNode* before,
                   int caseExact) {
    const long long floor =
        before != nullptr ? before->matchEnd : std::max(-1LL, hi - NodeLength(node) - 1);
    int pos = hi - 1;
    int count = 0;
    while (pos > floor && count < node->maxCount && node->Admits(SubjectByte(s, pos, caseExact))) {
        ++count;
        --pos;
    }
    if (count >= 1 && count >= node->minCount && count <= node->maxCount)
        Place(node, s, pos + 1, hi - 1, count);
}

// Places the node at the first position from `lo` where it fits before `hi` (and before the
// next placed node `after`); a literal at its first occurrence, a set as a greedy run.
void PlaceForward(MaskNode* node, const char* s, int length, int lo, int hi,
                  const MaskNode* before, const MaskNode* after, int caseExact) {
    const bool last = !node->next;
    for (int p = lo; p < hi; ++p) {
        const int cutoff = std::min(after != nullptr ? after->matchStart : hi, length);
        int end = p;
        int count = 0;
        if (!node->isSet) {
            const int len = static_cast<int>(node->text.size());
            while (len > 0 && count < node->maxCount && end + len <= cutoff &&
                   LiteralAt(node->text, s, end, caseExact)) {
                end += len;
                ++count;
            }
        } else {
            while (end < cutoff && count < node->maxCount && node->Admits(SubjectByte(s, end, caseExact))) {
                ++end;
                ++count;
            }
        }
        if (count > 0 && count >= node->minCount && count <= node->maxCount) {
            Place(node, s, p, end - 1, count);
            return;
        }
        // A trailing '*' after placed text may just as well stay empty.
        if (count == 0 && before != nullptr && node->minCount == 0 && last) return;
        // A trailing set that found nothing usable may look one byte further.
        if (node->isSet && last && hi < length) ++hi;
    }
}

}  // namespace

void SplitMaskPath(std::string& folder, std::string& file, int& hasDir, int& anyPrefix,
                   int& anySuffix) {
    std::string s;
    s.swap(folder);
    file.clear();
    hasDir = anyPrefix = anySuffix = 0;
    if (s.empty()) return;

    if (FindChar(s, kSep) != std::string::npos && s[0] != kSep) s.insert(0, 1, kSep);
    if (s[0] != kSep) {
        file = s;
        return;
    }
    s.erase(0, 1);
    hasDir = 1;
    if (s.empty()) {
        file = "*.*";
        folder.assign(1, kSep);
        return;
    }
    if (!IsCharAt(s, s.size() - 1, kSep)) {
        const std::string::size_type k = FindLastChar(s, kSep);
        if (k == std::string::npos) {
            file = s;
            folder.assign(1, kSep);
            return;
        }
        file = s.substr(k + 1);
        s.erase(k + 1);
    }
    if (s.size() > 1 && s[0] == '*' && s[1] == kSep) {
        anyPrefix = 1;
        s.erase(0, 2);
    }
    if (s.size() >= 3 && IsCharAt(s, s.size() - 3, kSep) && s[s.size() - 2] == '*' &&
        s.back() == kSep) {
        anySuffix = 1;
        s.erase(s.size() - 2);  // the separator left closes the folder
    }
    if (!s.empty()) {
        if (s[0] != kSep) s.insert(0, 1, kSep);
        if (!IsCharAt(s, s.size() - 1, kSep)) s += kSep;
    }
    folder = s;
    if (file.empty()) file = "*.*";
}

int DoubleBackslashes(std::string& text) {
    std::string doubled;
    doubled.reserve(text.size() * 2);
    int count = 0;
    for (char c : text) {
        doubled += c;
        if (c == '\\') {
            doubled += c;
            ++count;
        }
    }
    text.swap(doubled);
    return count;
}

void SetNodeText(MaskNode* node, const std::string& text) {
    if (node->op == '?' || node->op == '*') {
        node->text = AnyCharSet();
        node->isSet = 1;
    } else {
        std::string literal = text;
        UnescapeText(literal);
        node->text += literal;
    }
    node->RefreshSet();
}

void CompileWildcard(MaskNode* node, const std::string& text) {
    // One node per turn rather than one call per node: a long mask cannot exhaust the stack.
    std::string rest = text;
    for (bool first = true;; first = false) {
        std::string follow;
        const int p = FindFirstUnescapedOf(rest, "?*");
        if (p < 0) {
            SetNodeText(node, rest);
        } else if (p == 0) {
            node->op = rest[0];
            SetNodeText(node, std::string());
            follow = rest.substr(1);
            // A lone backslash after a wildcard escapes nothing and would leave an empty
            // literal that can never be placed; it is dropped like any trailing backslash.
            if (follow == "\\") follow.clear();
        } else {
            SetNodeText(node, rest.substr(0, static_cast<std::size_t>(p)));
            follow = rest.substr(static_cast<std::size_t>(p));
        }
        SetBounds(node);
        if (!first) UpperCaseNodeText(node);
        if (follow.empty()) return;
        node->next = std::make_unique<MaskNode>();
        node->next->prev = node;
        node = node->next.get();
        rest.swap(follow);
    }
}

MaskNode* PickNextPlanned(MaskNode* head) {
    for (MaskNode* n = head; n != nullptr; n = n->next.get()) {
        if (Placed(n)) continue;
        if (!n->isSet) return n;
        const bool neighbourPlanned =
            (n->prev != nullptr && Placed(n->prev)) || (n->next && Placed(n->next.get()));
        if (n->minCount == n->maxCount && neighbourPlanned) return n;
    }
    for (MaskNode* n = head; n != nullptr; n = n->next.get())
        if (!Placed(n) && n->op == '?') return n;
    for (MaskNode* n = head; n != nullptr; n = n->next.get())
        if (!Placed(n)) return n;
    return nullptr;
}

MaskNode* PlanChain(MaskNode* head) {
    ResetChainState(head);
    for (MaskNode* n = head; n != nullptr; n = n->next.get()) n->planNext = nullptr;
    MaskNode* first = nullptr;
    MaskNode* last = nullptr;
    while (MaskNode* n = PickNextPlanned(head)) {
        n->matchStart = n->matchEnd = 0;  // the planned mark
        if (last != nullptr)
            last->planNext = n;
        else
            first = n;
        last = n;
    }
    ResetChainState(head);
    return first;
}

MaskMatcher::MaskMatcher(std::string& mask, int maskKind) : kind(maskKind) {
    TrimBlanks(mask);

    std::string folder = mask;
    std::string file;
    SplitMaskPath(folder, file, hasDir, anyPrefix, anySuffix);
    if (folder.size() <= static_cast<std::size_t>(kMaxMaskPart) &&
        file.size() <= static_cast<std::size_t>(kMaxMaskPart)) {
        fileHead = std::make_unique<MaskNode>();
        CompileWildcard(fileHead.get(), file);
        UpperCaseNodeText(fileHead.get());
        if (!folder.empty() && hasDir) {
            // Where the backslash separates folders it must stay literal in the folder
            // pattern; elsewhere it escapes, as in the file pattern.
            if (kSep == '\\') DoubleBackslashes(folder);
            dirHead = std::make_unique<MaskNode>();
            CompileWildcard(dirHead.get(), folder);
            UpperCaseNodeText(dirHead.get());
            dirTail = LastNode(dirHead.get());
            dirPlanStart = PlanChain(dirHead.get());
        }
        fileTail = LastNode(fileHead.get());
        filePlanStart = PlanChain(fileHead.get());
    }
}

MaskMatcher::~MaskMatcher() = default;

void MaskMatcher::ResetChain() { ResetChainState(fileHead.get()); }

void MaskMatcher::SwapChains() {
    std::swap(fileHead, dirHead);
    std::swap(fileTail, dirTail);
    std::swap(filePlanStart, dirPlanStart);
}

void MaskMatcher::CollectMatchedText(std::string& out) const {
    out.clear();
    for (const MaskNode* n = fileHead.get(); n != nullptr; n = n->next.get())
        out += n->matchedText;
}

int MaskMatcher::MatchNode(MaskNode* node, const char* s, int length, int start, int limit) {
    // Each turn places one node of the plan and hands bounds to the next; the first node that
    // cannot be placed fails the whole attempt.
    while (node != nullptr) {
        const MaskNode* before = NearestPredecessorWithEnd(node);
        const MaskNode* after = NearestSuccessorWithStart(node);
        int lo = before != nullptr ? before->matchEnd + 1 : WindowLow;
        int hi = after != nullptr ? after->matchStart : WindowHigh;
        if (start >= 0 && lo < start) lo = start;
        if (limit >= 0 && hi > limit) hi = limit;
        lo = std::max(lo, 0);
        hi = std::min(hi, length);
        node->matchedText.clear();
        node->matchCount = 0;

        const bool backward = node->next && Placed(node->next.get()) &&
                              (node->prev == nullptr || !Placed(node->prev));
        if (backward)
            PlaceBackward(node, s, hi, before, CaseExact);
        else
            PlaceForward(node, s, length, lo, hi, before, after, CaseExact);

        if (node->matchStart == -1 && node->minCount == 0) node->matchStart = node->matchEnd = -2;
        if (node->matchStart == -1) return 0;
        const MaskNode* next = node->next.get();
        if (node->matchStart > 0 && next != nullptr && next->matchStart > 0 &&
            next->matchStart > node->matchEnd + 1) {
            node->ResetMatch();
            return 0;
        }

        MaskNode* q = node->planNext;
        if (q == nullptr) return 1;
        int nextStart = -1;
        int nextLimit = -1;
        if (node->matchStart != -2) {
            if (q->prev != nullptr && q->prev->matchEnd >= 0) {
                nextStart = q->prev->matchEnd + 1;
            } else {
                // Leave room before this node for every predecessor still to be placed.
                long long room = 0;
                for (const MaskNode* p = node->prev; p != nullptr; p = p->prev)
                    if (!Placed(p)) room += NodeLength(p);
                nextStart = static_cast<int>(std::max(0LL, node->matchStart - room));
                if (nextStart == node->matchStart) nextStart = node->matchEnd + 1;
            }
            nextLimit = static_cast<int>(
                std::min<long long>(length, node->matchEnd + 1LL + LengthFrom(node)));
            if (nextLimit > WindowHigh) WindowHigh = nextLimit;
            if (LiesAfter(q, node)) nextStart = node->matchEnd + 1;
        }
        node = q;
        start = nextStart;
        limit = nextLimit;
    }
    return 0;
}

int MaskMatcher::CheckContiguous() const {
    const MaskNode* head = fileHead.get();
    if (head == nullptr) return -1;
    int b = head->matchStart;
    long long total = 0;
    for (const MaskNode* n = head; n != nullptr; n = n->next.get()) {
        if (n->matchStart == -1) return -1;
        if (n->matchStart == -2) continue;
        if (n->matchStart != b && b != -2) return -1;
        if (!n->matchedText.empty()) {
            b = n->matchEnd + 1;
            total += static_cast<long long>(n->matchedText.size());
        }
    }
    if (head->matchStart >= b || total <= 0) return -1;
    return b;
}

int MaskMatcher::AdvanceWindow(MaskNode* first, int length) {
    const int old = WindowLow;
    // Only a node with a real range counts as placed here: one placed empty (-2) would move
    // the window before the start of the subject.
    if (HasPosition(first)) {
        WindowLow = (first->isSet ? first->matchEnd : first->matchStart) + 1;
        MaskNode* head = fileHead.get();
        if (first != head && head != nullptr && HasPosition(head)) {
            // Restart just after the first node that a gap separated from its predecessor.
            for (MaskNode* q = head->next.get(); q != nullptr; q = q->next.get()) {
                if (!HasPosition(q)) break;
                if (q->matchStart != q->prev->matchEnd + 1) {
                    WindowLow = (first->isSet ? q->prev->matchEnd : q->prev->matchStart) + 1;
                    break;
                }
                if (q == first) break;
            }
        }
        WindowLow = std::min(WindowLow, length);
    } else if (!first->isSet) {
        // The literal is not in this window: the next one overlaps it by the literal's length.
        const int len = static_cast<int>(first->text.size());
        WindowLow = std::max(old, WindowHigh - len);
        if (WindowLow == old) WindowLow += len;
        if (WindowLow < 0) WindowLow = WindowHigh;
        WindowLow = std::min(WindowLow, length);
    } else {
        WindowLow = std::min(std::max(WindowLow, old + 1), length);
    }
    // Every failed attempt moves on, so a search always ends.
    if (WindowLow <= old) WindowLow = old + 1;
    return WindowLow - old;
}

int MaskMatcher::FindPattern(const char* subject, int length) {
    if (!m_fresh) {
        ResetChain();
        m_fresh = 1;
    }
    MaskNode* first = filePlanStart;
    if (first == nullptr || subject == nullptr || length < 0) return -1;

    long long e = MaxChainLength(fileHead.get());
    if (e < kMaskStarMax) e *= 2;
    e = std::min<long long>(e, INT_MAX / 2);
    WindowLow = 0;
    WindowHigh = static_cast<int>(std::min<long long>(e, length));
    for (;;) {
        if (MatchNode(first, subject, length, -1, -1)) {
            const int n = CheckContiguous();
            if (n >= 0) {
                m_fresh = 0;
                return n;
            }
        }
        AdvanceWindow(first, length);
        ResetChain();
        if (WindowLow >= length) return -1;
        WindowHigh = static_cast<int>(std::min<long long>(WindowLow + e, length));
    }
}

int MaskMatcher::MatchPath(const std::string& path) {
    const int savedCase = CaseExact;
    CaseExact = 0;
    int result = 0;
    if (path.size() <= kMaxSubject) {
        const std::string::size_type k = FindLastChar(path, kSep);
        const std::string::size_type nameStart = k == std::string::npos ? 0 : k + 1;
        m_name.assign(path, nameStart, std::string::npos);
        if (FindChar(m_name, '.') == std::string::npos) m_name += '.';
        UpperCaseText(m_name);
        CaseExact = 1;

        const int nameLength = static_cast<int>(m_name.size());
        const int n = FindPattern(m_name.data(), nameLength);
        CollectMatchedText(m_matched);
        result = n == nameLength && m_matched.size() == m_name.size() ? 1 : 0;

        if (result == 1 && dirHead) {
            SwapChains();
            ResetChain();
            m_fresh = 1;

            // The folder relative to the root begins and ends with the separator; a file
            // directly in the root has a single separator.
            m_folder.assign(path, 0, nameStart);
            std::size_t rootLength = ScanRoot.size();
            if (rootLength > 0 && IsSeparatorAsTyped(ScanRoot[rootLength - 1]) &&
                StartsCharacter(ScanRoot.data(), rootLength, rootLength - 1))
                --rootLength;
            m_folder.erase(0, std::min(rootLength, m_folder.size()));
            UpperCaseText(m_folder);

            const int folderLength = static_cast<int>(m_folder.size());
            const int found = FindPattern(m_folder.data(), folderLength);
            CollectMatchedText(m_matched);
            const int matched = static_cast<int>(m_matched.size());
            if (found < 0)
                result = 0;
            else if (anyPrefix != 0)
                result = anySuffix != 0 || found == folderLength ? 1 : 0;
            else
                result = (anySuffix != 0 ? found == matched : matched == folderLength) ? 1 : 0;

            SwapChains();
            ResetChain();
            m_fresh = 1;
        }
    }
    CaseExact = savedCase;
    return result;
}
