// Extended attributes and access control lists of test files, set through the raw calls: an
// ACL is written as the kernel keeps it in "system.posix_acl_access", so no ACL tools are
// needed. POSIX only.
#pragma once

#ifndef _WIN32

#include <sys/stat.h>
#include <sys/xattr.h>

#include <cstdint>
#include <string>

namespace attributes {

// Where Linux keeps a file's ACL.
constexpr char kAcl[] = "system.posix_acl_access";

inline bool Set(const std::string& path, const std::string& name, const std::string& value) {
    return setxattr(path.c_str(), name.c_str(), value.data(), value.size(), 0) == 0;
}

// The value of `name`, or "<none>" when the file has no such attribute.
inline std::string Get(const std::string& path, const std::string& name) {
    char buffer[65536];
    const ssize_t n = getxattr(path.c_str(), name.c_str(), buffer, sizeof buffer);
    return n < 0 ? std::string("<none>") : std::string(buffer, static_cast<std::size_t>(n));
}

// The ACL of a file of permission bits `mode` that also lets user `uid` read it: the owner,
// owning group and others as `mode` says, the named user, and the mask (the group's bits).
inline std::string AclWithReader(mode_t mode, std::uint32_t uid) {
    std::string out;
    const auto put = [&out](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    const auto entry = [&put](std::uint16_t tag, std::uint16_t perm, std::uint32_t id) {
        put(tag, 2);
        put(perm, 2);
        put(id, 4);
    };
    constexpr std::uint32_t kUndefined = 0xFFFFFFFFu;
    put(2, 4);  // the version
    entry(0x01, (mode >> 6) & 7, kUndefined);  // the owner
    entry(0x02, 4, uid);                        // the named user: read
    entry(0x04, (mode >> 3) & 7, kUndefined);  // the owning group
    entry(0x10, ((mode >> 3) & 7) | 4, kUndefined);  // the mask
    entry(0x20, mode & 7, kUndefined);         // others
    return out;
}

// Gives `path` (of permission bits `mode`) the ACL of AclWithReader: false when its file
// system keeps no ACLs.
inline bool GiveReaderAcl(const std::string& path, mode_t mode, std::uint32_t uid) {
    return Set(path, kAcl, AclWithReader(mode, uid));
}

}  // namespace attributes

#endif
