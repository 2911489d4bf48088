// Permission bits, owner, times and extended attributes through the descriptor calls, so that
// what is read and set is the open file, whatever its name stands for by then.
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <ctime>

#include "platform/file_metadata.h"
#include "platform/posix/open_nofollow.h"

namespace platform {

namespace {

constexpr std::int64_t kNanosPerSecond = 1000000000;

std::int64_t Nanos(const struct timespec& t) {
    return static_cast<std::int64_t>(t.tv_sec) * kNanosPerSecond + t.tv_nsec;
}

struct timespec FromNanos(std::int64_t ns) {
    std::int64_t seconds = ns / kNanosPerSecond, rest = ns % kNanosPerSecond;
    if (rest < 0) {  // before 1970: the nanoseconds count forwards from a whole second
        rest += kNanosPerSecond;
        --seconds;
    }
    struct timespec t;
    t.tv_sec = static_cast<time_t>(seconds);
    t.tv_nsec = static_cast<long>(rest);
    return t;
}

bool NoAttributesHere(int error) { return error == ENOTSUP || error == EOPNOTSUPP; }

bool IsSecurity(const std::string& name) { return name.compare(0, 9, "security.") == 0; }

// The names of the extended attributes of `fd`: false with errno; none where the file system
// keeps none.
bool ListNames(int fd, std::vector<std::string>* names) {
    names->clear();
    std::vector<char> buffer;
    for (int tries = 0;; ++tries) {
        const ssize_t size = flistxattr(fd, nullptr, 0);
        if (size < 0) return NoAttributesHere(errno);
        buffer.resize(static_cast<std::size_t>(size) + 1);
        const ssize_t got = flistxattr(fd, buffer.data(), buffer.size());
        if (got >= 0) {
            for (std::size_t at = 0; at < static_cast<std::size_t>(got);) {
                const std::string name(buffer.data() + at);
                at += name.size() + 1;
                if (!name.empty()) names->push_back(name);
            }
            return true;
        }
        if (errno != ERANGE || tries == 10) return NoAttributesHere(errno);  // grew meanwhile: again
    }
}

// The value of attribute `name`: 1, 0 when it went meanwhile, -1 with errno.
int ReadValue(int fd, const std::string& name, std::string* value) {
    for (int tries = 0;; ++tries) {
        const ssize_t size = fgetxattr(fd, name.c_str(), nullptr, 0);
        if (size < 0) return errno == ENODATA ? 0 : -1;
        value->assign(static_cast<std::size_t>(size) + 1, '\0');
        const ssize_t got = fgetxattr(fd, name.c_str(), &(*value)[0], value->size());
        if (got >= 0) {
            value->resize(static_cast<std::size_t>(got));
            return 1;
        }
        if (errno == ENODATA) return 0;
        if (errno != ERANGE || tries == 10) return -1;
    }
}

}  // namespace

bool ReadMetadata(NativeFile fd, FileMetadata* out, int* error) {
    struct stat st;
    std::vector<std::string> names;
    FileMetadata m;
    if (fstat(fd, &st) != 0 || !ListNames(fd, &names)) {
        if (error != nullptr) *error = errno != 0 ? errno : EIO;
        return false;
    }
    m.mode = static_cast<std::uint32_t>(st.st_mode & 07777);
    m.owner = static_cast<std::uint32_t>(st.st_uid);
    m.group = static_cast<std::uint32_t>(st.st_gid);
    m.accessTime = Nanos(st.st_atim);
    m.writeTime = Nanos(st.st_mtim);
    for (const std::string& name : names) {
        std::string value;
        const int read = ReadValue(fd, name, &value);
        if (read < 0) {
            if (error != nullptr) *error = errno != 0 ? errno : EIO;
            return false;
        }
        if (read > 0) m.extended.emplace_back(name, std::move(value));
    }
    std::sort(m.extended.begin(), m.extended.end());
    *out = std::move(m);
    return true;
}

bool SameAccess(const FileMetadata& a, const FileMetadata& b) {
    return a.mode == b.mode && a.owner == b.owner && a.group == b.group && a.extended == b.extended;
}

int ApplyMetadata(NativeFile fd, const FileMetadata& m) {
    // The owner first: giving a file away clears its capabilities and set-id bits, which come
    // back below. Only root may give a file away: for anyone else it stays theirs.
    [[maybe_unused]] const int owned =
        fchown(fd, static_cast<uid_t>(m.owner), static_cast<gid_t>(m.group));
    // Attributes the new file got on its own (an ACL inherited from its folder) go.
    std::vector<std::string> names;
    if (!ListNames(fd, &names)) return errno;
    for (const std::string& name : names) {
        const bool wanted = std::any_of(m.extended.begin(), m.extended.end(),
                                        [&name](const auto& a) { return a.first == name; });
        if (!wanted && fremovexattr(fd, name.c_str()) != 0 && errno != ENODATA &&
            !IsSecurity(name) && !NoAttributesHere(errno))
            return errno;
    }
    // The ACL after the others (user attributes need write access, which an ACL can take
    // away), and the permission bits after the ACL, which also sets them.
    for (int pass = 0; pass < 2; ++pass) {
        for (const auto& attribute : m.extended) {
            if ((attribute.first == kAclAttribute) != (pass == 1)) continue;
            if (fsetxattr(fd, attribute.first.c_str(), attribute.second.data(),
                          attribute.second.size(), 0) == 0)
                continue;
            if (IsSecurity(attribute.first) || NoAttributesHere(errno)) continue;
            return errno;
        }
    }
    if (fchmod(fd, static_cast<mode_t>(m.mode & 07777)) != 0) return errno;
    const struct timespec times[2] = {FromNanos(m.accessTime), FromNanos(m.writeTime)};
    return futimens(fd, times) == 0 ? 0 : errno;
}

bool QueryFolderIdentity(const std::string& path, FileIdentity* out) {
    struct stat st;
    if (path.empty() || stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    *out = FileIdentity();
    out->device = DeviceOf(st);
    out->inode = static_cast<std::uint64_t>(st.st_ino);
    return true;
}

std::string LinkedFolderTarget(const std::string& path) {
    struct stat st;
    if (path.empty() || lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return std::string();
    char* real = realpath(path.c_str(), nullptr);
    if (real == nullptr) return std::string();
    std::string target = real;
    std::free(real);
    return stat(target.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? target : std::string();
}

}  // namespace platform
