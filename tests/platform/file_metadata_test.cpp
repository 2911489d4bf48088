// A file's metadata read from one open file and given to another on real files: permission
// bits, owner, times to the nanosecond, extended attributes and the ACL; its journal form reads
// back the same and refuses damage.
#include "platform/file_metadata.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/file_attributes.h"
#include "support/temp_dir.h"
#include "support/unprivileged.h"
#endif

namespace {

#ifndef _WIN32
// The metadata of the file at `path`, read through a descriptor.
platform::FileMetadata Read(const std::string& path) {
    platform::FileMetadata m;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    int error = 0;
    EXPECT_TRUE(fd >= 0 && platform::ReadMetadata(fd, &m, &error)) << path << ": " << error;
    if (fd >= 0) close(fd);
    return m;
}

int Apply(const std::string& path, const platform::FileMetadata& m) {
    const int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return errno;
    const int code = platform::ApplyMetadata(fd, m);
    close(fd);
    return code;
}
#endif

}  // namespace

#ifndef _WIN32
TEST(FileMetadata, ReadAppliedEncodedAndComparedExactly) {
    TempDir dir;
    const std::string original = dir.WriteFile("original", "data");
    ASSERT_EQ(chmod(original.c_str(), 0640), 0);
    ASSERT_TRUE(attributes::Set(original, "user.tag", std::string("a\0b \n", 5)));
    ASSERT_TRUE(attributes::Set(original, "user.empty", ""));
    const struct timespec times[2] = {{1234567890, 123456789}, {1000000000, 987654321}};
    ASSERT_EQ(utimensat(AT_FDCWD, original.c_str(), times, 0), 0);
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown(original.c_str(), 1000, 1000), 0);
    }

    const platform::FileMetadata m = Read(original);
    EXPECT_EQ(m.mode, 0640u);
    EXPECT_EQ(m.owner, root ? 1000u : static_cast<std::uint32_t>(geteuid()));
    EXPECT_EQ(m.accessTime, 1234567890123456789LL);
    EXPECT_EQ(m.writeTime, 1000000000987654321LL);
    ASSERT_GE(m.extended.size(), 2u);  // and whatever the system adds (a security label)
    const auto value = [](const platform::FileMetadata& of, const std::string& name) {
        for (const auto& a : of.extended)
            if (a.first == name) return a.second;
        return std::string("<none>");
    };
    EXPECT_EQ(value(m, "user.tag"), std::string("a\0b \n", 5));
    EXPECT_EQ(value(m, "user.empty"), "");
    for (std::size_t i = 1; i < m.extended.size(); ++i)
        EXPECT_LT(m.extended[i - 1].first, m.extended[i].first);

    // Given to another file, which loses an attribute of its own and gets everything else.
    const std::string other = dir.WriteFile("other", "data");
    ASSERT_TRUE(attributes::Set(other, "user.stale", "x"));
    ASSERT_EQ(Apply(other, m), 0);
    const platform::FileMetadata copied = Read(other);
    EXPECT_EQ(copied, m);
    EXPECT_EQ(attributes::Get(other, "user.stale"), "<none>");
    EXPECT_TRUE(platform::SameAccess(copied, m));

    // The journal form: one printable line that reads back the same.
    const std::string line = platform::EncodeMetadata(m);
    for (char c : line) EXPECT_TRUE(c >= 0x20 && c < 0x7F) << line;
    platform::FileMetadata decoded;
    ASSERT_TRUE(platform::DecodeMetadata(line, &decoded)) << line;
    EXPECT_EQ(decoded, m);
    platform::FileMetadata before1970;
    before1970.writeTime = -1;  // a nanosecond before 1970
    before1970.accessTime = -86400000000001LL;
    ASSERT_TRUE(platform::DecodeMetadata(platform::EncodeMetadata(before1970), &decoded));
    EXPECT_EQ(decoded, before1970);
    ASSERT_EQ(Apply(other, before1970), 0);
    struct stat st;
    ASSERT_EQ(stat(other.c_str(), &st), 0);
    EXPECT_EQ(st.st_mtim.tv_sec, -1);
    EXPECT_EQ(st.st_mtim.tv_nsec, 999999999);
    EXPECT_EQ(st.st_mode & 07777, 0u);

    // Only who may do what counts for SameAccess: not the times.
    platform::FileMetadata changed = m;
    changed.writeTime += 1;
    EXPECT_TRUE(platform::SameAccess(changed, m));
    changed.extended[0].second += "x";
    EXPECT_FALSE(platform::SameAccess(changed, m));
    changed = m;
    changed.extended.erase(changed.extended.begin());
    EXPECT_FALSE(platform::SameAccess(changed, m));
    changed = m;
    changed.group += 1;
    EXPECT_FALSE(platform::SameAccess(changed, m));

    // An ACL that lets one more user read: the permission bits stay the same, the access does
    // not; applied, the ACL comes along, and goes where the metadata has none.
    const std::string shared = dir.WriteFile("shared", "data");
    ASSERT_EQ(chmod(shared.c_str(), 0640), 0);
    if (attributes::GiveReaderAcl(shared, 0640, 4242)) {
        const platform::FileMetadata withAcl = Read(shared);
        const std::string plain = dir.WriteFile("plain", "data");
        ASSERT_EQ(chmod(plain.c_str(), 0640), 0);
        if (root) {
            ASSERT_EQ(chown(plain.c_str(), withAcl.owner, withAcl.group), 0);
        }
        const platform::FileMetadata without = Read(plain);
        EXPECT_EQ(withAcl.mode, without.mode);
        EXPECT_FALSE(platform::SameAccess(withAcl, without));
        ASSERT_EQ(Apply(plain, withAcl), 0);
        EXPECT_EQ(attributes::Get(plain, platform::kAclAttribute),
                  attributes::Get(shared, platform::kAclAttribute));
        EXPECT_TRUE(platform::SameAccess(Read(plain), withAcl));
        ASSERT_EQ(Apply(plain, without), 0);
        EXPECT_EQ(attributes::Get(plain, platform::kAclAttribute), "<none>");
        EXPECT_TRUE(platform::SameAccess(Read(plain), without));
    } else {
        ADD_FAILURE() << "the file system of " << dir.Path() << " keeps no ACLs: " << errno;
    }

    // An ordinary user gives a read-only file's metadata to a new file of theirs: the user
    // attributes go on before the permission bits take write access away.
    TempDir mine;
    ASSERT_TRUE(unprivileged::GiveToNobody(mine.Path()));
    const std::string seen = unprivileged::RunUnprivileged([&mine]() -> std::string {
        const std::string path = mine / "read-only";
        const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) return "cannot make the file";
        platform::FileMetadata wanted;
        wanted.mode = 0400;
        wanted.owner = static_cast<std::uint32_t>(geteuid());
        wanted.group = static_cast<std::uint32_t>(getegid());
        wanted.writeTime = 5;
        wanted.extended = {{"user.tag", "kept"}};
        const int code = platform::ApplyMetadata(fd, wanted);
        platform::FileMetadata now;
        const bool read = platform::ReadMetadata(fd, &now, nullptr);
        close(fd);
        if (code != 0) return "ApplyMetadata: " + std::to_string(code);
        return read && now.mode == 0400 && now.extended == wanted.extended && now.writeTime == 5
                   ? "ok"
                   : "not as given: " + platform::EncodeMetadata(now);
    });
    EXPECT_EQ(seen, "ok");
}
#endif

TEST(FileMetadata, DamagedJournalFormsAreRefused) {
    platform::FileMetadata m;
    m.mode = 0640;
    m.owner = 1000;
    m.group = 100;
    m.writeTime = 1700000000123456789LL;
    m.extended = {{"user.a", "1"}, {"user.b", std::string("\0\xff", 2)}};
    const std::string good = platform::EncodeMetadata(m);
    platform::FileMetadata out;
    ASSERT_TRUE(platform::DecodeMetadata(good, &out)) << good;
    EXPECT_EQ(out, m);

    const std::string head = "m1 640 1000 100 0 0 1700000000123456789 ";
    const std::string damaged[] = {
        "",
        "m1",
        "m2" + good.substr(2),                                      // another version
        good + " ",                                                 // a field too many
        good.substr(0, good.size() - 1),                            // half a byte
        head + "2 757365722e61=31",                                 // fewer than counted
        head + "1 757365722e61=31 757365722e62=00ff",               // more than counted
        head + "2 757365722e62=31 757365722e61=31",                 // out of order
        head + "2 757365722e61=31 757365722e61=31",                 // twice
        head + "1 757365722E61=31",                                 // upper-case hex
        head + "1 757365722e61",                                    // no value
        head + "1 =31",                                             // no name
        head + "1 00=31",                                           // a name with a zero
        head + "1 " + std::string(512, 'a') + "=31",                // a name too long
        head + "1 6162=" + std::string(2 * 65536 + 2, '0'),         // a value too long
        head + "99999999999999999999999",                           // a count past every bound
        head + "4097",
        "m1 10000 1000 100 0 0 1 0",                                // a mode past 07777
        "m1 640 -1 100 0 0 1 0",                                    // a negative owner
        "m1 640 4294967296 100 0 0 1 0",                            // past 32 bits
        "m1 640 1000 100 0 0 9223372036854775808 0",                // past 64 bits
        "m1 640 1000 100 0 0 --1 0",
        "m1 640 1000 100 0 0 1x 0",
        "m1 0640 1000 100 0 0 1 0",                                 // written otherwise
        "m1 640  1000 100 0 0 1 0",
        "m1 640 1000 100 0 0 1 0\n",
    };
    for (const std::string& text : damaged) {
        platform::FileMetadata kept = m;
        EXPECT_FALSE(platform::DecodeMetadata(text, &kept)) << text.substr(0, 80);
        EXPECT_EQ(kept, m) << "a refused form must leave the metadata as it was";
    }

    // Random damage never crashes, and whatever still reads is written back just as it was
    // read: there is one form for each metadata.
    std::mt19937 random(7);
    for (int round = 0; round < 20000; ++round) {
        std::string text = good;
        const int changes = 1 + static_cast<int>(random() % 3);
        for (int k = 0; k < changes; ++k) {
            const std::size_t at = random() % text.size();
            switch (random() % 3) {
                case 0: text[at] = "0123456789abcdefm -=\x7f"[random() % 21]; break;
                case 1: text.erase(at, 1 + random() % 4); break;
                default: text.insert(at, 1, "0a =9"[random() % 5]); break;
            }
            if (text.empty()) text = "m";
        }
        platform::FileMetadata read;
        if (platform::DecodeMetadata(text, &read)) {
            EXPECT_EQ(platform::EncodeMetadata(read), text);
        }
    }
}
