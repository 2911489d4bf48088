#include "platform/file_find.h"

#include <gtest/gtest.h>

#include <map>

#include "support/temp_dir.h"

#ifndef _WIN32
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

namespace {

std::map<std::string, platform::FindData> ListFolder(const std::string& folder) {
    std::map<std::string, platform::FindData> entries;
    platform::FileFinder finder;
    for (bool ok = finder.First(folder); ok; ok = finder.Next())
        entries[finder.Data().cFileName] = finder.Data();
    return entries;
}

TEST(FileFinder, ReportsFilesFoldersAndDots) {
    TempDir dir;
    dir.WriteFile("plain.txt", "12345");
    dir.WriteFile(".hidden", "");
    dir.MakeDir("sub");
    const auto entries = ListFolder(dir.Path());
    ASSERT_EQ(entries.count("plain.txt"), 1u);
    EXPECT_EQ(entries.at("plain.txt").nFileSize, 5u);
    EXPECT_EQ(entries.at("plain.txt").dwFileAttributes & platform::kAttrDirectory, 0u);
    EXPECT_NE(entries.at("plain.txt").ftLastWriteTime, 0);
    EXPECT_NE(entries.at("sub").dwFileAttributes & platform::kAttrDirectory, 0u);
    EXPECT_EQ(entries.count("."), 1u);
    EXPECT_EQ(entries.count(".."), 1u);
#ifndef _WIN32
    EXPECT_NE(entries.at(".hidden").dwFileAttributes & platform::kAttrHidden, 0u);
    EXPECT_EQ(entries.at(".").dwFileAttributes & platform::kAttrHidden, 0u);
    EXPECT_EQ(entries.at("plain.txt").dwFileAttributes & platform::kAttrHidden, 0u);
    EXPECT_NE(entries.at("plain.txt").nInode, 0u);
#endif

    platform::FileFinder finder;
    EXPECT_FALSE(finder.First(dir / "missing/"));
    EXPECT_EQ(platform::GetFileAttributes(dir / "missing"), platform::kInvalidFileAttributes);
    EXPECT_NE(platform::GetFileAttributes(dir / "sub") & platform::kAttrDirectory, 0u);
    EXPECT_EQ(platform::GetFileAttributes(dir / "plain.txt") & platform::kAttrDirectory, 0u);
}

#ifndef _WIN32
TEST(FileFinder, SkipsLinksFifosSocketsAndKeepsOddNames) {
    TempDir dir;
    dir.WriteFile("real", "x");
    ASSERT_EQ(symlink("real", (dir / "link").c_str()), 0);
    ASSERT_EQ(symlink(".", (dir / "loop").c_str()), 0);
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    const int sock = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(sock, 0);
    struct sockaddr_un addr = {};
    addr.sun_family = AF_UNIX;
    const std::string sockPath = dir / "sock";
    if (sockPath.size() < sizeof addr.sun_path) {
        std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", sockPath.c_str());
        ASSERT_EQ(bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    }
    close(sock);
    dir.WriteFile("new\nline \\ \xFF\xFE", "y");
    chmod((dir / "real").c_str(), 0444);

    const auto entries = ListFolder(dir.Path());
    EXPECT_EQ(entries.count("link"), 0u);
    EXPECT_EQ(entries.count("loop"), 0u);
    EXPECT_EQ(entries.count("fifo"), 0u);
    EXPECT_EQ(entries.count("sock"), 0u);
    ASSERT_EQ(entries.count("real"), 1u);
    EXPECT_NE(entries.at("real").dwFileAttributes & platform::kAttrReadOnly, 0u);
    EXPECT_EQ(entries.count("new\nline \\ \xFF\xFE"), 1u);
}
#endif

}  // namespace
