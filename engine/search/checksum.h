// Content fingerprints: CRC-32 and the byte sum of a file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/file_reader.h"

// Files are read in blocks of this size.
constexpr std::size_t kChecksumBlockSize = 64000;

// The standard CRC-32 (reflected, polynomial 0xEDB88320), chainable: Crc32Update(0, data) is
// the CRC of data, and feeding a result into the next call gives the CRC of the concatenation.
// A null `data` gives 0 whatever `crc` is.
std::uint32_t Crc32Update(std::uint32_t crc, const void* data, std::size_t length);

// The same CRC from the portable table code (slicing by eight); Crc32Update uses it where no
// faster implementation is built in.
std::uint32_t Crc32UpdateTable(std::uint32_t crc, const void* data, std::size_t length);

// Adds every byte (0..255) of `data` to `sum`, modulo 2^32.
std::uint32_t ByteSumUpdate(std::uint32_t sum, const void* data, std::size_t length);

// Reads the file at `path` from start to end in 64000-byte blocks through one buffer per
// thread, adding its bytes into *sum and chaining its CRC into *crc, each starting
// from the caller's value; either pointer may be null to skip that fingerprint. *bytesRead (if
// not null) receives the number of bytes read. Returns false when the file cannot be found,
// opened or read, with the system's error code in *error (if not null); what was added before
// a read error stays added.
bool ChecksumFile(const std::string& path, std::uint32_t* sum, std::uint32_t* crc,
                  std::uint64_t* bytesRead = nullptr, int* error = nullptr);

// The read loop behind ChecksumFile, on a file already open: reads at most `limit` bytes
// (never past the size the scan found, so a file that grows without end cannot hold the search),
// adding them into *sum and *crc (either may be null) and counting them in *bytesRead. `stop`
// (may be empty) is asked after every block; when it says so the read ends. Returns 0, the
// system's error code of a failed read, or -1 when stopped. `copy` (may be null, else room for
// `limit` bytes) receives the bytes read. With `endSeen` (may be null) a last read that fits the
// buffer asks one byte more than `limit`: *endSeen tells that it came short, so the file ended
// at `limit` then (a byte past it is neither counted nor copied).
int ReadFingerprints(platform::FileReader& reader, std::uint64_t limit, std::uint32_t* sum,
                     std::uint32_t* crc, std::uint64_t* bytesRead,
                     const std::function<bool()>& stop, unsigned char* copy = nullptr,
                     bool* endSeen = nullptr);
