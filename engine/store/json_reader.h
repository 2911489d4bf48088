// A strict JSON reader that walks a document in order without building a tree, for files a
// user opens (saved results of a million files): they may be damaged, cut short, written by a
// newer version or made to do harm. It never recurses, never allocates more than the caller
// asks for, and names the first fault with its line and column.
//
// Strict grammar only: no comments, no trailing commas, no leading zeros, no NaN or Infinity,
// whitespace only space, tab, CR and LF. A string's bytes must be valid UTF-8. A leading UTF-8
// byte order mark is skipped (editors on Windows add one when they save). An unpaired
// \udc80..\udcff decodes to that single raw byte: the writer escapes so each byte of a file
// name that is not valid UTF-8. \u0000 decodes to a NUL byte; the caller decides whether to
// accept it.
//
// Once a fault is found every call returns false (or kBad) and Error() keeps the first one.
// Every out-pointer may be null: the value is then checked and dropped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class JsonType { kNull, kBool, kNumber, kString, kArray, kObject, kEnd, kBad };

class JsonReader {
public:
    // `text` must outlive the reader. maxDepth: more arrays and objects open at once than this
    // is a fault.
    explicit JsonReader(std::string_view text, int maxDepth = 64);

    // The type of the value that must come next (skipping whitespace), judged by its first
    // byte. kEnd where no value may come: between an array's elements or an object's members
    // (call NextElement or NextMember), or after the top-level value. kBad on a fault, also
    // when the next byte cannot start a value.
    JsonType Peek();

    // Consumes the '{' of the next value; false when it is not an object.
    bool BeginObject();
    // Inside an object, after its previous member's value was read: true with the name (and
    // the ':' consumed) when a member follows; false at '}' (consumed) or on a fault (see
    // Failed()). A name longer than maxKeyBytes is a fault.
    bool NextMember(std::string* key, std::size_t maxKeyBytes = 4096);
    // Consumes the '[' of the next value; false when it is not an array.
    bool BeginArray();
    // Inside an array, after the previous element was read: true when an element follows;
    // false at ']' (consumed) or on a fault.
    bool NextElement();

    // The next value as a string, decoded; more than maxBytes bytes decoded is a fault.
    bool ReadString(std::string* out, std::size_t maxBytes = 1 << 20);
    // An integer literal only (no fraction or exponent) within the type's range; anything else
    // is a fault, never a wrapped or rounded value. A minus sign is a fault for Uint64 (but
    // -0 is 0).
    bool ReadInt64(std::int64_t* out);
    bool ReadUint64(std::uint64_t* out);
    // Any number; one too large for a double is a fault, one too small becomes zero.
    bool ReadDouble(double* out);
    bool ReadBool(bool* out);
    bool ReadNull();
    // Skips the next value of any kind without recursion; its nesting counts against maxDepth.
    // Numbers are checked by their grammar only, strings have no length limit.
    bool Skip();
    // After the top-level value: only whitespace may follow.
    bool Finish();

    bool Failed() const { return m_failed; }
    // "line 3, column 17: expected ',' or '}'" (the column counts bytes); "" without a fault.
    const std::string& Error() const { return m_error; }
    // A fault of the caller's own (a value its schema refuses), placed at the start of the
    // last value or token read. Returns false; a fault found earlier is kept.
    bool Fail(const std::string& why);
    // Bytes consumed so far, for progress on big files.
    std::size_t Offset() const { return m_pos; }

private:
    // A number's literal, checked against the grammar.
    struct Number {
        std::size_t begin = 0, end = 0;
        bool negative = false, integer = true;
    };

    bool Fault(std::size_t at, const std::string& why);
    // "expected <what>, found <the byte at `at`>" or "unexpected end of input, expected <what>".
    bool Expected(std::size_t at, const char* what);
    std::string Found(std::size_t at) const;
    void SkipWhitespace();
    // Peek(), and a fault naming `what` unless the next value is of type `want`.
    bool Expect(JsonType want, const char* what);
    // A value was read: where it lay expects a ',' or a close now.
    void ValueDone();
    bool Open(bool object);
    void Close();
    bool ScanString(std::string* out, std::size_t maxBytes);
    bool ScanNumber(Number* number);
    bool ScanLiteral(std::string_view word);

    std::string_view m_text;
    std::size_t m_pos = 0;
    // Where the last value or token read began, for Fail().
    std::size_t m_tokenStart = 0;
    int m_maxDepth;
    // The open arrays and objects, innermost last: 1 for an object.
    std::vector<char> m_open;
    // The innermost container has had no element yet.
    bool m_first = false;
    // A value must come next: at the start, and after NextMember or NextElement said so.
    bool m_valueExpected = true;
    bool m_failed = false;
    std::string m_error;
};
