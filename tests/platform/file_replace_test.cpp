#include "platform/file_replace.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/file_find.h"
#include "support/temp_dir.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// The names in `folder` other than "." and "..".
std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    platform::FileFinder finder;
    if (!finder.First(folder)) return names;
    do {
        const std::string& name = finder.Data().cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (finder.Next());
    return names;
}

TEST(FileReplace, CreatesReplacesAndLeavesNothingBehind) {
    TempDir dir;
    const std::string path = dir / "list.csv";
    int error = -1;
    ASSERT_TRUE(platform::ReplaceFileContents(path, "one\r\n", &error));
    EXPECT_EQ(error, 0);
    EXPECT_EQ(ReadWholeFile(path), "one\r\n");

    // A longer file is replaced by a shorter one without a tail of the old text.
    ASSERT_TRUE(platform::ReplaceFileContents(path, std::string(100000, 'x'), &error));
    ASSERT_TRUE(platform::ReplaceFileContents(path, "two", &error));
    EXPECT_EQ(ReadWholeFile(path), "two");
    ASSERT_TRUE(platform::ReplaceFileContents(path, "", &error));
    EXPECT_EQ(ReadWholeFile(path), "");
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"list.csv"});

    // A folder that does not exist: refused, nothing made.
    EXPECT_FALSE(platform::ReplaceFileContents(dir / "none/list.csv", "x", &error));
    EXPECT_NE(error, 0);
    // A folder is not a file to write.
    const std::string sub = dir.MakeDir("sub");
    EXPECT_FALSE(platform::ReplaceFileContents(sub.substr(0, sub.size() - 1), "x", &error));
    EXPECT_NE(error, 0);
    EXPECT_EQ(Names(sub), std::vector<std::string>{});
}

#ifndef _WIN32
TEST(FileReplace, ReadOnlyTargetsAndFailedWritesKeepTheOldFile) {
    TempDir dir;
    const std::string path = dir.WriteFile("old.csv", "old text");
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    int error = 0;
    EXPECT_FALSE(platform::ReplaceFileContents(path, "new text", &error));
    EXPECT_EQ(error, EACCES);
    EXPECT_EQ(ReadWholeFile(path), "old text");
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"old.csv"});

    // The mode of a replaced file carries over.
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    ASSERT_TRUE(platform::ReplaceFileContents(path, "new text", &error));
    struct stat st;
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);

    // A write that fails half-way (here: over the file size limit) leaves the old file whole
    // and no partial file beside it.
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    void (*oldHandler)(int) = signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = platform::ReplaceFileContents(path, std::string(100000, 'y'), &error);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(written);
    EXPECT_EQ(error, EFBIG);
    EXPECT_EQ(ReadWholeFile(path), "new text");
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"old.csv"});

    // Through a symbolic link: the file it names gets the text, the link stays a link.
    const std::string link = dir / "link.csv";
    ASSERT_EQ(symlink(path.c_str(), link.c_str()), 0);
    ASSERT_TRUE(platform::ReplaceFileContents(link, "via link", &error));
    EXPECT_EQ(ReadWholeFile(path), "via link");
    struct stat ls;
    ASSERT_EQ(lstat(link.c_str(), &ls), 0);
    EXPECT_TRUE(S_ISLNK(ls.st_mode));
}
#endif

}  // namespace
