#include "engine/search/checksum.h"

#include <algorithm>
#include <array>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if PAIRSCOUT_HAVE_LIBDEFLATE
#include <libdeflate.h>
#endif

#include "platform/error_text.h"
#include "platform/file_reader.h"

namespace {

// Slicing-by-8 tables: kTables[0] is the classic byte table, kTables[k] advances a byte that
// sits k places further ahead.
struct CrcTables {
    std::uint32_t t[8][256];
    CrcTables() {
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[0][i] = c;
        }
        for (std::uint32_t i = 0; i < 256; ++i)
            for (int k = 1; k < 8; ++k) t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
    }
};

const CrcTables& Tables() {
    static const CrcTables tables;
    return tables;
}

std::uint32_t LoadLittleEndian32(const unsigned char* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace

std::uint32_t Crc32Update(std::uint32_t crc, const void* data, std::size_t length) {
    if (data == nullptr) return 0;
#if PAIRSCOUT_HAVE_LIBDEFLATE
    // Carry-less multiplication where the processor has it: four times the table code.
    return libdeflate_crc32(crc, data, length);
#else
    return Crc32UpdateTable(crc, data, length);
#endif
}

std::uint32_t Crc32UpdateTable(std::uint32_t crc, const void* data, std::size_t length) {
    if (data == nullptr) return 0;
    const auto& t = Tables().t;
    const unsigned char* p = static_cast<const unsigned char*>(data);
    crc = ~crc;
    while (length >= 8) {
        const std::uint32_t lo = LoadLittleEndian32(p) ^ crc;
        const std::uint32_t hi = LoadLittleEndian32(p + 4);
        crc = t[7][lo & 0xFF] ^ t[6][(lo >> 8) & 0xFF] ^ t[5][(lo >> 16) & 0xFF] ^ t[4][lo >> 24] ^
              t[3][hi & 0xFF] ^ t[2][(hi >> 8) & 0xFF] ^ t[1][(hi >> 16) & 0xFF] ^ t[0][hi >> 24];
        p += 8;
        length -= 8;
    }
    while (length-- > 0) crc = t[0][(crc ^ *p++) & 0xFF] ^ (crc >> 8);
    return ~crc;
}

std::uint32_t ByteSumUpdate(std::uint32_t sum, const void* data, std::size_t length) {
    const unsigned char* p = static_cast<const unsigned char*>(data);
    std::size_t i = 0;
#if defined(__SSE2__)
    // Sums of absolute differences against zero add 16 bytes at a time into two 64-bit lanes.
    const __m128i zero = _mm_setzero_si128();
    __m128i acc0 = zero, acc1 = zero;
    for (; i + 32 <= length; i += 32) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i + 16));
        acc0 = _mm_add_epi64(acc0, _mm_sad_epu8(a, zero));
        acc1 = _mm_add_epi64(acc1, _mm_sad_epu8(b, zero));
    }
    const __m128i acc = _mm_add_epi64(acc0, acc1);
    alignas(16) std::uint64_t lanes[2];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), acc);
    sum += static_cast<std::uint32_t>(lanes[0] + lanes[1]);
#endif
    for (; i < length; ++i) sum += p[i];
    return sum;
}

int ReadFingerprints(platform::FileReader& reader, std::uint64_t limit, std::uint32_t* sum,
                     std::uint32_t* crc, std::uint64_t* bytesRead,
                     const std::function<bool()>& stop, unsigned char* copy, bool* endSeen) {
    // One buffer per thread: the fingerprints of a search are read on every core.
    thread_local std::array<unsigned char, kChecksumBlockSize> buffer;
    std::uint64_t done = 0;
    if (bytesRead != nullptr) *bytesRead = 0;
    if (endSeen != nullptr) *endSeen = false;
    while (done < limit) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(buffer.size(), limit - done));
        // One byte more where it fits: a read that comes short saw the end, and no read is
        // needed after the last one only to find nothing.
        const std::size_t ask = endSeen != nullptr && want < buffer.size() ? want + 1 : want;
        const long n = reader.Read(buffer.data(), ask);
        if (n < 0) return platform::LastErrorCode();
        if (ask > want && static_cast<std::size_t>(n) < ask) *endSeen = true;
        const std::size_t got = std::min(static_cast<std::size_t>(n), want);
        if (copy != nullptr) std::memcpy(copy + done, buffer.data(), got);
        if (sum != nullptr) *sum = ByteSumUpdate(*sum, buffer.data(), got);
        if (crc != nullptr) *crc = Crc32Update(*crc, buffer.data(), got);
        done += got;
        if (bytesRead != nullptr) *bytesRead = done;
        // A short block ends the file; the size the file had when it was opened tells a rare
        // short read in the middle from the end, and spares a last read that would find nothing.
        if (got == 0 || (got < want && done >= reader.SizeAtOpen())) break;
        if (stop && stop()) return -1;
    }
    return 0;
}

bool ChecksumFile(const std::string& path, std::uint32_t* sum, std::uint32_t* crc,
                  std::uint64_t* bytesRead, int* error) {
    if (bytesRead != nullptr) *bytesRead = 0;
    // A path that cannot be opened fails here, before any output is touched.
    platform::FileReader reader;
    if (!reader.Open(path)) {
        if (error != nullptr) *error = platform::LastErrorCode();
        return false;
    }
    const int result = ReadFingerprints(reader, UINT64_MAX, sum, crc, bytesRead, nullptr);
    if (result != 0 && error != nullptr) *error = result;
    return result == 0;
}
