// What a file is besides its data: who may do what with it (permission bits, owner, group, the
// access control list and the other extended attributes) and its times. Read from one open file
// and given to another, so that a copy that takes a file's place (a hard link taken back, a move
// to another file system) is the file it stands for in every detail the system lets us set.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "platform/file_identity.h"

namespace platform {

// The open file the calls below take, as HeldFile and FileReader hold it.
#ifdef _WIN32
using NativeFile = void*;  // a HANDLE (reading: FILE_READ_ATTRIBUTES; applying: FILE_WRITE_ATTRIBUTES)
#else
using NativeFile = int;    // a file descriptor (applying: one that may write the file)
#endif

// The extended attribute that holds a file's access control list on Linux.
constexpr const char kAclAttribute[] = "system.posix_acl_access";

struct FileMetadata {
    std::uint32_t mode = 0;        // POSIX: the permission bits (07777); Windows: 0
    std::uint32_t owner = 0;       // POSIX: uid
    std::uint32_t group = 0;       // POSIX: gid
    std::uint32_t attributes = 0;  // Windows: the FILE_ATTRIBUTE_* bits; POSIX: 0
    std::int64_t accessTime = 0;   // nanoseconds since 1970-01-01 UTC
    std::int64_t writeTime = 0;    // nanoseconds since 1970-01-01 UTC
    // POSIX: every extended attribute (the ACL included) as (name, value), sorted by name.
    std::vector<std::pair<std::string, std::string>> extended;
};

bool operator==(const FileMetadata& a, const FileMetadata& b);
inline bool operator!=(const FileMetadata& a, const FileMetadata& b) { return !(a == b); }

// Reads the metadata of the open file `file`: false with the system's code (never 0) in
// *error (may be null) when any part of it cannot be read (a half-read set of attributes
// would compare equal where it is not). A file system without extended attributes gives none.
bool ReadMetadata(NativeFile file, FileMetadata* out, int* error);

// True when `a` and `b` let the same people do the same things: the same permission bits,
// owner, group, ACL and other extended attributes (Windows: always, its permissions are not
// kept here).
bool SameAccess(const FileMetadata& a, const FileMetadata& b);

// Gives the open file `file` the metadata `m`: its owner (only where the system lets this
// process; as root always), its extended attributes exactly (those it has and `m` has not are
// removed), its ACL, its permission bits, then its times (last: each earlier step may touch
// them). Attributes of the "security." namespace this process may not set, and any attribute
// the file's file system cannot hold, are left out. 0 or the system's code.
int ApplyMetadata(NativeFile file, const FileMetadata& m);

// `m` as one line of printable ASCII (no line breaks), for a journal; DecodeMetadata reads it
// back, and refuses (false, *out untouched) anything damaged, of another version or too large.
std::string EncodeMetadata(const FileMetadata& m);
bool DecodeMetadata(const std::string& text, FileMetadata* out);

// The identity (device and inode; Windows: volume serial and file index) of the folder at
// `path`, a link to it followed. False when there is no folder there.
bool QueryFolderIdentity(const std::string& path, FileIdentity* out);

// When `path` is a symbolic link to a folder: that folder's absolute path with every link on
// the way resolved. Else (or on Windows) "".
std::string LinkedFolderTarget(const std::string& path);

}  // namespace platform
