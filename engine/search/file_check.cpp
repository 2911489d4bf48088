#include "engine/search/file_check.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "engine/search/checksum.h"
#include "platform/error_text.h"
#include "platform/file_reader.h"

namespace {

// Opens `record`'s file and checks that it is the scanned one; 0 or the error code.
int OpenScanned(const CFileRecord& record, platform::FileReader& reader) {
    if (!reader.Open(record.Path())) return platform::LastErrorCode();
    return CheckScannedIdentity(record, reader.Identity());
}

}  // namespace

// A record without an identity was never read, so it was never compared either.
int CheckScannedIdentity(const CFileRecord& record, const platform::FileIdentity& identity) {
    if (!record.HasIdentity()) return platform::kErrorReplaced;
    return record.CheckIdentity(identity);
}

bool IsStillScannedFile(const CFileRecord& record, std::string* reason) {
    platform::FileIdentity identity;
    int error = 0;
    const int check = platform::QueryFileIdentity(record.Path(), &identity, &error)
                          ? CheckScannedIdentity(record, identity)
                          : error;
    if (check != 0 && reason != nullptr) *reason = CFileRecord::ErrorCodeText(check);
    return check == 0;
}

namespace {

// Reads up to `want` bytes (fewer only at the end of the file); the count, or -1.
long ReadFull(platform::FileReader& reader, unsigned char* buffer, std::size_t want) {
    std::size_t got = 0;
    while (got < want) {
        const long n = reader.Read(buffer + got, want - got);
        if (n < 0) return -1;
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    return static_cast<long>(got);
}

}  // namespace

ContentMatch CompareContents(const CFileRecord& a, const CFileRecord& b,
                             const std::function<bool()>& stop, std::string* reason,
                             int* error) {
    platform::FileReader readerA, readerB;
    // Small files are compared in one block: without this question a search or a delete that
    // compares a hundred thousand of them would never be asked whether to stop.
    if (stop && stop()) return ContentMatch::kStopped;
    int code = OpenScanned(a, readerA);
    if (code == 0) {
        code = OpenScanned(b, readerB);
        if (code == 0) return CompareOpenFiles(a, readerA, b, readerB, stop, reason, error);
        if (reason != nullptr) *reason = CFileRecord::ErrorCodeText(code);
        if (error != nullptr) *error = code;
        return ContentMatch::kSecondUnreadable;
    }
    if (reason != nullptr) *reason = CFileRecord::ErrorCodeText(code);
    if (error != nullptr) *error = code;
    return ContentMatch::kFirstUnreadable;
}

namespace {

// 0 when the open file still has `record`'s scanned size and last-write time and nothing can
// be read past what was read; else the error code.
int StillAsScanned(const CFileRecord& record, platform::FileReader& reader) {
    platform::FileIdentity now;
    if (!reader.Current(&now)) return platform::LastErrorCode();
    const int code = CheckScannedIdentity(record, now);
    // Bytes appended after the short read would show in the size asked for after it.
    if (code != 0) return code;
    unsigned char more;
    const long n = reader.Read(&more, 1);
    if (n < 0) return platform::LastErrorCode();
    return n == 0 ? 0 : kErrorChanged;
}

}  // namespace

int CheckOpenFileEnd(const CFileRecord& record, platform::FileReader& reader) {
    return StillAsScanned(record, reader);
}

ContentMatch CompareOpenFiles(const CFileRecord& a, platform::FileReader& readerA,
                              const CFileRecord& b, platform::FileReader& readerB,
                              const std::function<bool()>& stop, std::string* reason,
                              int* error) {
    thread_local std::array<unsigned char, kChecksumBlockSize> bufferA, bufferB;
    const auto fail = [reason, error](ContentMatch which, int code) {
        if (reason != nullptr) *reason = CFileRecord::ErrorCodeText(code);
        if (error != nullptr) *error = code;
        return which;
    };
    if (a.m_nSize != b.m_nSize) return ContentMatch::kDifferent;

    const std::uint64_t size = static_cast<std::uint64_t>(a.m_nSize);
    for (std::uint64_t done = 0; done < size;) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(kChecksumBlockSize, size - done));
        const long gotA = ReadFull(readerA, bufferA.data(), want);
        if (gotA < 0) return fail(ContentMatch::kFirstUnreadable, platform::LastErrorCode());
        if (static_cast<std::size_t>(gotA) != want)
            return fail(ContentMatch::kFirstUnreadable, kErrorChanged);
        const long gotB = ReadFull(readerB, bufferB.data(), want);
        if (gotB < 0) return fail(ContentMatch::kSecondUnreadable, platform::LastErrorCode());
        if (static_cast<std::size_t>(gotB) != want)
            return fail(ContentMatch::kSecondUnreadable, kErrorChanged);
        if (std::memcmp(bufferA.data(), bufferB.data(), want) != 0) return ContentMatch::kDifferent;
        done += want;
        if (done < size && stop && stop()) return ContentMatch::kStopped;
    }
    // Bytes written meanwhile past the scanned size were never compared: such a file is no
    // longer a duplicate (and deleting it would lose them).
    int code = StillAsScanned(a, readerA);
    if (code != 0) return fail(ContentMatch::kFirstUnreadable, code);
    code = StillAsScanned(b, readerB);
    if (code != 0) return fail(ContentMatch::kSecondUnreadable, code);
    return ContentMatch::kSame;
}
