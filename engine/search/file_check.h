// The safety checks that stand between "Pairscout listed it" and "the file is gone": is a
// listed file still the file that was compared, and are two files' contents really equal.
// Every check opens the file without following a link and compares the identity the system
// reports for the open file (device and inode; on Windows volume serial and file index) with
// the one the scan recorded.
#pragma once

#include <functional>
#include <string>

#include "engine/search/file_record.h"
#include "platform/file_reader.h"

// True when the file at `record`'s path is still the file that was scanned and compared: a
// regular file reached without following a link, with the same device and inode (Windows:
// volume serial and file index), size and last-write time as when it was listed. Otherwise
// false, with the reason in *reason (if not null): the system's text, or the program's own
// when the file was changed or replaced.
bool IsStillScannedFile(const CFileRecord& record, std::string* reason);

// Whether `identity`, of a file opened under `record`'s path, is the scanned file: 0 or the
// error code (see CFileRecord::ErrorCodeText).
int CheckScannedIdentity(const CFileRecord& record, const platform::FileIdentity& identity);

enum class ContentMatch {
    kSame,               // every byte equal, both still the files that were scanned
    kDifferent,          // some byte differs
    kFirstUnreadable,    // `a` could not be read completely, or is no longer the scanned file
    kSecondUnreadable,   // the same for `b`
    kStopped,            // `stop` asked to stop
};

// Compares the contents of two scanned files of one size byte for byte, each read at most to
// its scanned size. `stop` (may be empty) is asked before the files are opened and between
// blocks, so that a caller comparing many small files is asked once per comparison; *reason
// and *error (if not null) receive the reason and its code (CFileRecord::ErrorCodeText) when a
// file could not be read.
ContentMatch CompareContents(const CFileRecord& a, const CFileRecord& b,
                             const std::function<bool()>& stop, std::string* reason = nullptr,
                             int* error = nullptr);

// The same for two files already open (and checked) in `readerA` and `readerB`, read from
// where they stand. After the last block both open files must still have their scanned size
// and last-write time and hold nothing more: a file that grew while it was read is not the
// same as the other, whatever its first bytes are.
ContentMatch CompareOpenFiles(const CFileRecord& a, platform::FileReader& readerA,
                              const CFileRecord& b, platform::FileReader& readerB,
                              const std::function<bool()>& stop, std::string* reason = nullptr,
                              int* error = nullptr);

// For a file open in `reader` and read to its scanned size: 0 when the open file still has
// `record`'s scanned identity, size and last-write time and holds nothing more; else the error
// code (CFileRecord::ErrorCodeText).
int CheckOpenFileEnd(const CFileRecord& record, platform::FileReader& reader);
