#include "engine/file_check.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "engine/checksum.h"
#include "platform/error_text.h"
#include "platform/file_reader.h"

namespace {

// Whether the file now open under `record`'s path is the scanned one: 0 or the error code. A
// record without an identity was never read, so it was never compared either.
int CheckScanned(const CFileRecord& record, const platform::FileIdentity& identity) {
    if (!record.HasIdentity()) return platform::kErrorReplaced;
    return record.CheckIdentity(identity);
}

// Opens `record`'s file and checks that it is the scanned one; 0 or the error code.
int OpenScanned(const CFileRecord& record, platform::FileReader& reader) {
    if (!reader.Open(record.Path())) return platform::LastErrorCode();
    return CheckScanned(record, reader.Identity());
}

}  // namespace

bool IsStillScannedFile(const CFileRecord& record, std::string* reason) {
    platform::FileIdentity identity;
    int error = 0;
    const int check = platform::QueryFileIdentity(record.Path(), &identity, &error)
                          ? CheckScanned(record, identity)
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
    thread_local std::array<unsigned char, kChecksumBlockSize> bufferA, bufferB;
    platform::FileReader readerA, readerB;
    const auto fail = [reason, error](ContentMatch which, int code) {
        if (reason != nullptr) *reason = CFileRecord::ErrorCodeText(code);
        if (error != nullptr) *error = code;
        return which;
    };
    // Small files are compared in one block: without this question a search or a delete that
    // compares a hundred thousand of them would never be asked whether to stop.
    if (stop && stop()) return ContentMatch::kStopped;
    int code = OpenScanned(a, readerA);
    if (code != 0) return fail(ContentMatch::kFirstUnreadable, code);
    code = OpenScanned(b, readerB);
    if (code != 0) return fail(ContentMatch::kSecondUnreadable, code);
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
    return ContentMatch::kSame;
}
