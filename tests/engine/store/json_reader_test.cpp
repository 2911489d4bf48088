// The reader of saved results: a valid document read back value by value, every kind of damage
// refused at its place with the first fault kept, and no input that crashes, loops or recurses.
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/store/json_reader.h"

namespace {

// Reads every value by its type, as a consumer would, without recursion. `steps` counts the
// calls so that a reader that stops consuming shows as a loop.
bool WalkAll(JsonReader& r, std::size_t maxSteps, bool* looped) {
    std::vector<bool> open;  // true for an object
    std::string s;
    for (std::size_t steps = 0;; ++steps) {
        if (steps > maxSteps) {
            *looped = true;
            return false;
        }
        if (!open.empty()) {
            if (!(open.back() ? r.NextMember(&s) : r.NextElement())) {
                if (r.Failed()) return false;
                open.pop_back();
                if (open.empty()) break;
                continue;
            }
        }
        bool ok = false, b;
        double d;
        const JsonType type = r.Peek();
        switch (type) {
            case JsonType::kObject:
            case JsonType::kArray:
                open.push_back(type == JsonType::kObject);
                ok = open.back() ? r.BeginObject() : r.BeginArray();
                break;
            case JsonType::kString: ok = r.ReadString(&s); break;
            case JsonType::kNumber: ok = r.ReadDouble(&d); break;
            case JsonType::kBool: ok = r.ReadBool(&b); break;
            case JsonType::kNull: ok = r.ReadNull(); break;
            default: EXPECT_TRUE(r.Failed()) << "Peek gave no type and no fault"; return false;
        }
        if (!ok) return false;
        if (open.empty()) break;
    }
    return r.Finish();
}

// The first fault of a full walk, "" when the document is read whole.
std::string WalkError(std::string_view doc, int maxDepth = 64) {
    JsonReader r(doc, maxDepth);
    bool looped = false;
    const bool ok = WalkAll(r, doc.size() * 2 + 16, &looped);
    EXPECT_FALSE(looped) << doc;
    EXPECT_EQ(ok, !r.Failed());
    return r.Error();
}

bool Int64(JsonReader& r) { return r.ReadInt64(nullptr); }
bool Uint64(JsonReader& r) { return r.ReadUint64(nullptr); }
bool Short5(JsonReader& r) { return r.ReadString(nullptr, 5); }

}  // namespace

TEST(JsonReader, ReadsEveryKindOfValueOfAValidDocument) {
    const std::string doc =
        "\xEF\xBB\xBF{\r\n\t\"version\": 3, \"empty\": {}, \"none\": [],\n"
        " \"flags\": [true, false, null],\n"
        " \"ints\": [0, -0, 9223372036854775807, -9223372036854775808, 18446744073709551615, -0],\n"
        " \"reals\": [1.5, -2.5e-3, 1E2, 0.1, 1e-400, -1e-400, 7],\n"
        " \"text\": \"q\\\"b\\\\s\\/ \\b\\f\\n\\r\\t \xC3\xA9 \\u00e9 \\u20AC \\uD83D\\uDE00 "
        "\\ud83d\\udc80 \\uDBFF\\uDFFF \\udcff\\udc80 a\\u0000b\",\n"
        " \"nested\": [[[{\"k\": [1]}]]]\n}";
    JsonReader r(doc);
    std::string key, s;
    std::int64_t i = -1;
    std::uint64_t u = 1;
    double d = 0;
    bool b = false;
    ASSERT_EQ(r.Peek(), JsonType::kObject);
    ASSERT_TRUE(r.BeginObject());
    EXPECT_EQ(r.Peek(), JsonType::kEnd);  // a member name must come first
    ASSERT_TRUE(r.NextMember(&key) && key == "version");
    EXPECT_TRUE(r.ReadInt64(&i) && i == 3);
    EXPECT_TRUE(r.NextMember(&key) && r.BeginObject() && !r.NextMember(&key));  // {}
    EXPECT_TRUE(r.NextMember(&key) && r.BeginArray() && !r.NextElement());      // []
    ASSERT_FALSE(r.Failed()) << r.Error();

    ASSERT_TRUE(r.NextMember(&key) && r.BeginArray());
    EXPECT_TRUE(r.NextElement() && r.ReadBool(&b) && b);
    EXPECT_TRUE(r.NextElement() && r.ReadBool(&b) && !b);
    EXPECT_TRUE(r.NextElement() && r.Peek() == JsonType::kNull && r.ReadNull());
    EXPECT_FALSE(r.NextElement());

    ASSERT_TRUE(r.NextMember(&key) && r.BeginArray());
    for (std::int64_t want : {std::int64_t{0}, std::int64_t{0}, INT64_MAX, INT64_MIN})
        EXPECT_TRUE(r.NextElement() && r.ReadInt64(&i) && i == want) << want;
    EXPECT_TRUE(r.NextElement() && r.ReadUint64(&u) && u == UINT64_MAX);
    EXPECT_TRUE(r.NextElement() && r.ReadUint64(&u) && u == 0);
    EXPECT_FALSE(r.NextElement());

    ASSERT_TRUE(r.NextMember(&key) && r.BeginArray());
    for (double want : {1.5, -2.5e-3, 100.0, 0.1, 0.0, -0.0, 7.0}) {
        ASSERT_TRUE(r.NextElement() && r.ReadDouble(&d)) << r.Error();
        EXPECT_EQ(d, want);  // exact: correctly rounded
        EXPECT_EQ(std::signbit(d), std::signbit(want));
    }
    EXPECT_FALSE(r.NextElement());

    ASSERT_TRUE(r.NextMember(&key) && key == "text");
    const std::size_t before = r.Offset();
    ASSERT_TRUE(r.ReadString(&s)) << r.Error();
    EXPECT_GT(r.Offset(), before);
    using namespace std::string_literals;
    EXPECT_EQ(
        s,
        "q\"b\\s/ \b\f\n\r\t \xC3\xA9 \xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80 \xF0\x9F\x92\x80 "
        "\xF4\x8F\xBF\xBF \xFF\x80 a\0b"s);

    // The rest skipped whole, nesting and all.
    ASSERT_TRUE(r.NextMember(&key) && r.Skip());
    EXPECT_FALSE(r.NextMember(&key));
    EXPECT_EQ(r.Peek(), JsonType::kEnd);
    EXPECT_TRUE(r.Finish()) << r.Error();
    EXPECT_EQ(r.Offset(), doc.size());
    EXPECT_EQ(r.Error(), "");

    // The same document walked generically and skipped in one call; a scalar at the top, too.
    EXPECT_EQ(WalkError(doc), "");
    JsonReader skipped(doc);
    EXPECT_TRUE(skipped.Skip() && skipped.Finish());
    JsonReader scalar(" -12 \n");
    EXPECT_TRUE(scalar.ReadInt64(&i) && i == -12 && scalar.Finish());
}

TEST(JsonReader, RefusesEachFaultAtItsPlace) {
    const struct {
        std::string doc, error;
    } cases[] = {
        {"", "line 1, column 1: unexpected end of input, expected a value"},
        {" \n  ", "line 2, column 3: unexpected end of input, expected a value"},
        {"{\n  \"a\": 1,\n  \"b\": [1, 2,, 3]\n}",
         "line 3, column 14: expected a value, found ','"},
        {"[1,]", "line 1, column 4: trailing comma before ']'"},
        {"{\"a\":1,}", "line 1, column 8: trailing comma before '}'"},
        {"[1 2]", "line 1, column 4: expected ',' or ']', found '2'"},
        {"{\"a\" 1}", "line 1, column 6: expected ':', found '1'"},
        {"{'a':1}", "line 1, column 2: expected a member name or '}', found '''"},
        {"{\"a\":1]", "line 1, column 7: expected ',' or '}', found ']'"},
        {"[}", "line 1, column 2: expected a value, found '}'"},
        {"{\"a\":[1,2", "line 1, column 10: unexpected end of input, expected ',' or ']'"},
        {"// x\n[1]", "line 1, column 1: expected a value, found '/'"},
        {"[\v1]", "line 1, column 2: expected a value, found byte 0x0B"},
        {"[01]", "line 1, column 2: leading zeros are not allowed in a number"},
        {"[1.]", "line 1, column 4: expected a digit after '.', found ']'"},
        {"[1e+]", "line 1, column 5: expected a digit in the exponent, found ']'"},
        {"[.5, +1]", "line 1, column 2: expected a value, found '.'"},
        {"[NaN]", "line 1, column 2: expected a value, found 'N'"},
        {"[-Infinity]", "line 1, column 3: expected a digit, found 'I'"},
        {"[0x10]", "line 1, column 3: invalid number, found 'x'"},
        {"[-1e400]", "line 1, column 2: number out of range: -1e400"},
        {"[" + std::string(65, '1') + "]", "line 1, column 2: number longer than 64 characters"},
        {"[truex]", "line 1, column 2: invalid literal, expected 'true'"},
        {"nul", "line 1, column 4: unexpected end of input in 'null'"},
        {"\"a\x1f\"", "line 1, column 3: control character 0x1F in a string (it must be escaped)"},
        {"\"a\nb\"", "line 1, column 3: control character 0x0A in a string (it must be escaped)"},
        {"\"\\x\"", "line 1, column 2: invalid escape in a string: '\\' followed by 'x'"},
        {"\"\\u12G4\"", "line 1, column 2: invalid \\u escape (four hex digits must follow)"},
        {"\"abc", "line 1, column 5: unexpected end of input in a string"},
        {"\"\\uD83D\\uDE00", "line 1, column 14: unexpected end of input in a string"},
        {"\"\xC0\x80\"", "line 1, column 2: invalid UTF-8 byte 0xC0 in a string"},      // overlong
        {"\"\xE0\x80\xAF\"", "line 1, column 2: invalid UTF-8 byte 0xE0 in a string"},  // overlong
        {"\"\xED\xA0\x80\"", "line 1, column 2: invalid UTF-8 byte 0xED in a string"},  // surrogate
        {"\"\xF4\x90\x80\x80\"", "line 1, column 2: invalid UTF-8 byte 0xF4 in a string"},
        {"\"ok\xFF\"", "line 1, column 4: invalid UTF-8 byte 0xFF in a string"},
        {"\"\xC3\"", "line 1, column 2: invalid UTF-8 byte 0xC3 in a string"},
        {"\"\xE2\x82", "line 1, column 4: unexpected end of input in a string"},
        {"\"\\uD83D\"", "line 1, column 2: unpaired surrogate \\uD83D in a string"},
        {"\"\\uD83D\\uD83D\"", "line 1, column 2: unpaired surrogate \\uD83D in a string"},
        {"\"x\\uDE00\"", "line 1, column 3: unpaired surrogate \\uDE00 in a string"},
        {"\"\\udc7f\"", "line 1, column 2: unpaired surrogate \\uDC7F in a string"},
        {std::string(64, '[') + std::string(64, ']'), ""},
        {std::string(65, '['), "line 1, column 65: nested too deeply (more than 64 levels)"},
    };
    for (const auto& c : cases) EXPECT_EQ(WalkError(c.doc), c.error) << c.doc;

    // Reads of one kind on a value of another, numbers out of the asked type's range, and
    // strings and names longer than asked for (counted in decoded bytes), all on line 1.
    const struct {
        std::string doc;
        bool (*read)(JsonReader&);
        std::string error;
    } reads[] = {
        // clang-format off
        {"99999999999999999999", Int64, "1: integer out of range: 99999999999999999999"},
        {"9223372036854775808", Int64, "1: integer out of range: 9223372036854775808"},
        {"-9223372036854775809", Int64, "1: integer out of range: -9223372036854775809"},
        {"18446744073709551616", Uint64, "1: integer out of range: 18446744073709551616"},
        {" -1", Uint64, "2: expected a non-negative integer, found -1"},
        {"1e3", Int64, "1: expected an integer, found 1e3"},
        {"1.0", Uint64, "1: expected an integer, found 1.0"},
        {"\"12\"", Int64, "1: expected an integer, found a string"},
        {"12", Short5, "1: expected a string, found a number"},
        {"[]", [](JsonReader& r) { return r.BeginObject(); }, "1: expected an object, found an array"},
        {"null", [](JsonReader& r) { return r.ReadBool(nullptr); }, "1: expected a boolean, found null"},
        {"{}", [](JsonReader& r) { return r.ReadNull(); }, "1: expected null, found an object"},
        {"[1]", [](JsonReader& r) { return r.BeginArray() && Int64(r); },
         "2: read out of order: an integer was asked for where no value may come"},
        {"[1]", [](JsonReader& r) { return r.BeginArray() && r.NextMember(nullptr); },
         "2: read out of order: a member asked for outside an object"},
        {"1 2", [](JsonReader& r) { return Int64(r) && r.Finish(); },
         "3: unexpected data after the top-level value, found '2'"},
        {"\"ab\xC3\xA9\\u00e9!\"", Short5, "1: string longer than 5 bytes"},
        {"\"\\udcff\\udcff\\udcff\\udcff\\udcff\\udcff\"", Short5, "1: string longer than 5 bytes"},
        {"{\"abcdef\":1}", [](JsonReader& r) { return r.BeginObject() && r.NextMember(nullptr, 5); },
         "2: string longer than 5 bytes"},
        // clang-format on
    };
    for (const auto& c : reads) {
        JsonReader r(c.doc);
        EXPECT_FALSE(c.read(r)) << c.doc;
        EXPECT_EQ(r.Error(), "line 1, column " + c.error);
    }
    std::string s;
    std::int64_t i;
    EXPECT_TRUE(JsonReader("\"ab\xC3\xA9\\u00e9\"").ReadString(&s, 6) && s.size() == 6);

    // The consumer's own fault is placed at the value it refused; the first fault is kept.
    JsonReader r("{\n  \"version\": 99, \"x\": [}");
    ASSERT_TRUE(r.BeginObject() && r.NextMember(&s) && r.ReadInt64(&i));
    EXPECT_FALSE(r.Fail("version 99 is newer than this program"));
    EXPECT_FALSE(r.Fail("second") || r.NextMember(&s) || r.Skip() || r.ReadString(&s) ||
                 r.Finish());
    EXPECT_EQ(r.Peek(), JsonType::kBad);
    EXPECT_TRUE(r.Failed());
    EXPECT_EQ(r.Error(), "line 2, column 14: version 99 is newer than this program");
}

TEST(JsonReader, DeepNestingNeverRecurses) {
    const std::string deep(1000000, '[');
    JsonReader refused(deep);
    EXPECT_FALSE(refused.Skip());
    EXPECT_EQ(refused.Error(), "line 1, column 65: nested too deeply (more than 64 levels)");
    // Allowed that deep, a million levels are skipped by a loop, not by the stack.
    const std::string closed = deep + std::string(1000000, ']');
    JsonReader allowed(closed, 2000000);
    EXPECT_TRUE(allowed.Skip() && allowed.Finish()) << allowed.Error();
    JsonReader cut(deep, 2000000);
    EXPECT_FALSE(cut.Skip());
    EXPECT_EQ(cut.Error(),
              "line 1, column 1000001: unexpected end of input, expected a value or ']'");
}

TEST(JsonReader, DamagedDocumentsAreRefusedWithoutHarm) {
    // Saved results as the writer lays them out: ASCII but one name in raw UTF-8.
    std::string doc = "{\"format\":\"pairscout-results\",\"version\":1,\"groups\":[";
    for (int g = 0; g < 12; ++g) {
        doc += std::string(g ? "," : "") + "{\"size\":" + std::to_string(4096 * (g + 1)) +
               ",\"hash\":\"9f86d0" + std::to_string(g) + "\",\"ratio\":-0." +
               std::to_string(g + 5) + ",\"files\":[";
        for (int f = 0; f < 3; ++f)
            doc += std::string(f ? "," : "") + "{\"path\":\"/home/ana/IMG_" +
                   std::to_string(g * 3 + f) +
                   (g == 4 && f == 1 ? "_can\xC3\xA7\xC3\xA3o"
                    : g == 7         ? "\\udcff\\u00e9\\ud83d\\ude00"
                                     : "") +
                   ".jpg\",\"mtime\":" + std::to_string(1700000000 + f) +
                   ",\"keep\":" + (f ? "false" : "true") + ",\"note\":null}";
        doc += "]}";
    }
    doc += "],\"complete\":true}";
    ASSERT_EQ(WalkError(doc), "");

    auto check = [](const std::string& text, bool mustRefuse) {
        const std::string walked = WalkError(text);
        JsonReader r(text);
        const bool skipped = r.Skip() && r.Finish();
        EXPECT_LE(r.Offset(), text.size());
        // A walk that reads numbers also refuses those out of range, else they agree.
        EXPECT_TRUE(skipped || !walked.empty()) << r.Error() << '\n' << text;
        for (const std::string& error : {walked, r.Error()})
            EXPECT_TRUE(error.empty() || error.rfind("line ", 0) == 0) << error;
        EXPECT_FALSE(mustRefuse && skipped) << text;
    };
    for (std::size_t n = 0; n < doc.size(); ++n) check(doc.substr(0, n), true);

    std::mt19937 gen(20240611);
    const std::string special = "\"\\{}[],:0-e.u \x01\x7f\x80\xc3\xed\xf4\xff";
    for (int k = 0; k < 4000; ++k) {
        std::string text = doc;
        const std::size_t at = gen() % text.size();
        const unsigned kind = gen() % 4;
        if (kind == 0)
            text[at] = static_cast<char>(text[at] ^ (1 << (gen() % 8)));
        else if (kind == 1)
            text[at] = special[gen() % special.size()];
        else if (kind == 2)
            text[at] = static_cast<char>(gen() & 0xFF);
        else
            text.erase(at, 1);
        // A byte that is no whitespace, never valid alone among ASCII, wherever it lands.
        auto ascii = [&](std::size_t i) {
            return i >= doc.size() || static_cast<unsigned char>(doc[i]) < 0x80;
        };
        const unsigned char c = static_cast<unsigned char>(text[at]);
        const bool lone = kind != 3 && ascii(at - 1) && ascii(at) && ascii(at + 1);
        check(text, lone && (c >= 0x80 || (c < 0x20 && c != '\t' && c != '\n' && c != '\r')));
    }
}
