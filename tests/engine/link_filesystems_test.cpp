// Shared data blocks and hard links on real file systems made for the test: loop-mounted XFS
// (with reflink) and Btrfs images, which can share, and ext4, which cannot. Needs root, loop
// devices and the mkfs programs; skipped with the reason otherwise.
#ifndef _WIN32

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include <gtest/gtest.h>

#include "engine/actions/action_undo.h"
#include "engine/actions/duplicate_action.h"
#include "engine/search/duplicate_search.h"
#include "engine/text/string_table.h"
#include "engine/text/text_format.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

// A file system of `type` in an image file, mounted on a folder of its own for one test.
class LoopFileSystem {
public:
    // Empty Skip(): mounted at Root().
    LoopFileSystem(const std::string& type, const std::string& mkfsOptions, int megabytes) {
        if (geteuid() != 0) {
            m_skip = "needs root to mount a loop device";
            return;
        }
        const std::string mkfs = "mkfs." + type;
        if (std::system(("command -v " + mkfs + " >/dev/null 2>&1").c_str()) != 0) {
            m_skip = mkfs + " is not installed (Debian: " +
                     (type == "xfs" ? "xfsprogs" : type == "btrfs" ? "btrfs-progs" : "e2fsprogs") + ")";
            return;
        }
        m_image = m_dir / "image";
        m_root = m_dir.MakeDir("mnt");
        if (truncate(m_image.c_str(), static_cast<off_t>(megabytes) << 20) != 0 &&
            std::system(("truncate -s " + std::to_string(megabytes) + "M " + m_image).c_str()) != 0) {
            m_skip = "cannot make the image file";
            return;
        }
        if (std::system((mkfs + " -q " + mkfsOptions + " " + m_image + " >/dev/null 2>&1").c_str()) != 0) {
            m_skip = mkfs + " failed";
            return;
        }
        if (std::system(("mount -o loop " + m_image + " " + m_root + " >/dev/null 2>&1").c_str()) != 0) {
            m_skip = "no loop device can be had (mount -o loop failed)";
            return;
        }
        m_mounted = true;
    }
    ~LoopFileSystem() {
        if (m_mounted) umount2(m_root.c_str(), MNT_DETACH);
    }
    const std::string& Skip() const { return m_skip; }
    const std::string& Root() const { return m_root; }  // ends in "/"

private:
    TempDir m_dir;
    std::string m_image, m_root, m_skip;
    bool m_mounted = false;
};

std::string RandomBytes(std::size_t size) {
    std::mt19937_64 random(42);
    std::string out(size, '\0');
    for (char& c : out) c = static_cast<char>(random());
    return out;
}

void WriteFile(const std::string& path, const std::string& contents) {
    fs::create_directories(fs::path(path).parent_path());
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << path;
    ASSERT_EQ(write(fd, contents.data(), contents.size()), static_cast<ssize_t>(contents.size()));
    fsync(fd);
    close(fd);
}

// Searches `root` with the copies under `root`/keep kept.
void Search(const std::string& root, ResultsModel& model) {
    SearchOptions options;
    options.paths = {root};
    KeepRule rule;
    rule.kind = kKeptFolder;
    rule.folders = {root + "keep"};
    options.keep.rules.push_back(rule);
    DuplicateSearch search(nullptr);
    ASSERT_EQ(search.Run(options, model), DuplicateSearch::kFinished);
}

// Sharing frees the duplicate's blocks, keeps its name, permissions and times, and the free
// space the file system reports grows by about its size.
void ExpectSharing(const LoopFileSystem& disk) {
    constexpr std::size_t kSize = 16u << 20;
    const std::string bytes = RandomBytes(kSize);
    const std::string root = disk.Root();
    WriteFile(root + "keep/big", bytes);
    WriteFile(root + "dup/big", bytes);
    ASSERT_EQ(chmod((root + "dup/big").c_str(), 0600), 0);
    const struct timespec times[2] = {{1000000000, 0}, {1000000000, 500}};
    ASSERT_EQ(utimensat(AT_FDCWD, (root + "dup/big").c_str(), times, 0), 0);
    struct stat before;
    ASSERT_EQ(stat((root + "dup/big").c_str(), &before), 0);

    ResultsModel model;
    Search(root, model);
    ASSERT_EQ(model.DuplicateCount(), 1);
    DuplicateAction share(DuplicateActionKind::kShareData, nullptr);
    const ActionOutcome out = share.Run(model, model.DuplicateRows());
    ASSERT_EQ(out.done.size(), 1u) << (out.refused.empty() ? "" : out.refused[0].second);
    EXPECT_EQ(out.done[0].copy, root + "keep/big");

    struct stat after, kept;
    ASSERT_EQ(stat((root + "dup/big").c_str(), &after), 0);
    ASSERT_EQ(stat((root + "keep/big").c_str(), &kept), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_NE(after.st_ino, kept.st_ino);
    EXPECT_EQ(after.st_mode & 07777, 0600u);
    EXPECT_EQ(after.st_mtim.tv_sec, 1000000000);
    EXPECT_EQ(after.st_mtim.tv_nsec, 500);
    EXPECT_EQ(ReadWholeFile(root + "dup/big"), bytes);
    // The file system's own count: about the duplicate's size (metadata moves it a little).
    ASSERT_TRUE(out.freedKnown);
    EXPECT_GT(out.freedBytes, static_cast<std::int64_t>(kSize) * 9 / 10) << out.freedBytes;
    EXPECT_LT(out.freedBytes, static_cast<std::int64_t>(kSize) * 11 / 10) << out.freedBytes;
}

}  // namespace

TEST(SharedData, XfsWithReflinkSharesAndKeepsTheDuplicatesOwnDetails) {
    LoopFileSystem disk("xfs", "-m reflink=1", 320);
    if (!disk.Skip().empty()) GTEST_SKIP() << disk.Skip();
    EXPECT_TRUE(platform::FileSystemCanShareData(disk.Root()));
    ExpectSharing(disk);
}

TEST(SharedData, XfsWithoutReflinkIsToldApart) {
    LoopFileSystem disk("xfs", "-m reflink=0", 320);
    if (!disk.Skip().empty()) GTEST_SKIP() << disk.Skip();
    EXPECT_FALSE(platform::FileSystemCanShareData(disk.Root()));
}

TEST(SharedData, BtrfsSharesAndKeepsTheDuplicatesOwnDetails) {
    LoopFileSystem disk("btrfs", "", 160);
    if (!disk.Skip().empty()) GTEST_SKIP() << disk.Skip();
    EXPECT_TRUE(platform::FileSystemCanShareData(disk.Root()));
    ExpectSharing(disk);
}

TEST(SharedData, Ext4RefusesWithTheReasonAndAnotherDiskRefusesHardLinks) {
    LoopFileSystem disk("ext4", "-F", 64);
    if (!disk.Skip().empty()) GTEST_SKIP() << disk.Skip();
    const std::string root = disk.Root();
    EXPECT_FALSE(platform::FileSystemCanShareData(root));
    WriteFile(root + "keep/f", std::string(100000, 'e'));
    WriteFile(root + "dup/f", std::string(100000, 'e'));
    ResultsModel model;
    Search(root, model);
    DuplicateAction share(DuplicateActionKind::kShareData, nullptr);
    const ActionOutcome out = share.Run(model, model.DuplicateRows());
    EXPECT_TRUE(out.done.empty());
    ASSERT_EQ(out.refused.size(), 1u);
    EXPECT_EQ(out.refused[0].first, root + "dup/f");
    const std::string prefix = FormatCannotShare("");
    EXPECT_EQ(out.refused[0].second.rfind(prefix, 0), 0u) << out.refused[0].second;
    EXPECT_GT(out.refused[0].second.size(), prefix.size()) << "the system's reason follows";

    // A hard link between this disk and another is refused; a move across them copies,
    // checks and removes.
    TempDir other;
    WriteFile(other / "keep/g", std::string(70000, 'g'));
    WriteFile(root + "gd/g", std::string(70000, 'g'));
    ResultsModel across;
    SearchOptions options;
    options.paths = {other.Path(), root + "gd"};
    KeepRule rule;
    rule.kind = kKeptFolder;
    rule.folders = {other / "keep"};
    options.keep.rules.push_back(rule);
    DuplicateSearch search(nullptr);
    ASSERT_EQ(search.Run(options, across), DuplicateSearch::kFinished);
    ASSERT_EQ(across.DuplicateCount(), 1);
    DuplicateAction link(DuplicateActionKind::kHardLink, nullptr);
    const ActionOutcome refused = link.Run(across, across.DuplicateRows());
    ASSERT_EQ(refused.refused.size(), 1u);
    EXPECT_EQ(refused.refused[0].second, LoadStringText(IDS_ACTION_OTHER_FILE_SYSTEM));

    // A file already at a target stays, and so does the duplicate that would go there.
    WriteFile(root + "keep/h", std::string(5000, 'h'));
    WriteFile(root + "dup/h", std::string(5000, 'h'));
    TempDir aside;
    WriteFile(aside / "mnt/dup/h", "occupied");
    ResultsModel moving;
    Search(root, moving);
    DuplicateAction move(DuplicateActionKind::kMove, nullptr);
    move.SetMoveTarget(aside.Path(), {root});
    const ActionOutcome moved = move.Run(moving, moving.DuplicateRows());
    ASSERT_EQ(moved.done.size(), 1u) << (moved.refused.empty() ? "" : moved.refused[0].second);
    EXPECT_FALSE(fs::exists(root + "dup/f"));
    EXPECT_EQ(ReadWholeFile(moved.done[0].target), std::string(100000, 'e'));
    EXPECT_EQ(moved.done[0].target, aside / "mnt/dup/f");
    ASSERT_EQ(moved.refused.size(), 1u);
    EXPECT_EQ(ReadWholeFile(aside / "mnt/dup/h"), "occupied");
    EXPECT_EQ(ReadWholeFile(root + "dup/h"), std::string(5000, 'h'));

    // Taken back across the disks: copied back, checked, and removed where it went.
    ActionUndo undo;
    undo.Remember(DuplicateActionKind::kMove, moving, moved, nullptr);
    const UndoOutcome back = undo.Restore(nullptr);
    EXPECT_EQ(back.restored.size(), 1u) << (back.kept.empty() ? "" : back.kept[0].second);
    EXPECT_EQ(ReadWholeFile(root + "dup/f"), std::string(100000, 'e'));
    EXPECT_FALSE(fs::exists(moved.done[0].target));
}

#endif
