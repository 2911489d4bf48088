#include "platform/file_find.h"

#include <gtest/gtest.h>

#include <map>

#include "support/temp_dir.h"

#ifndef _WIN32
#include <dirent.h>
#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

#ifndef _WIN32
// While set, every entry read from a folder comes without its type, as some file systems give
// them: the finder must then ask the system what each entry is.
static bool g_typesUnknown = false;
#endif
#ifdef __linux__
// Stands between the finder and the system's readdir (the program's own definition is the one
// every caller in it reaches).
extern "C" struct dirent* readdir(DIR* dir) {
    using Readdir = struct dirent* (*)(DIR*);
    static const Readdir next = reinterpret_cast<Readdir>(dlsym(RTLD_NEXT, "readdir"));
    struct dirent* entry = next(dir);
    if (entry != nullptr && g_typesUnknown) entry->d_type = DT_UNKNOWN;
    return entry;
}
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

// The root, the dots' attributes, and a listing that gives no entry types: files and folders
// are still reported, links and FIFOs still not.
TEST(FileFinder, RootDotsAndEntriesWithoutATypeFromTheListing) {
    const auto root = ListFolder("/");
    ASSERT_EQ(root.count(".."), 1u);
    EXPECT_EQ(platform::GetFileAttributes("/"), platform::kAttrDirectory);
    TempDir dir;
    dir.WriteFile("file", "12");
    dir.MakeDir("sub");
    EXPECT_EQ(platform::GetFileAttributes(dir / "sub/.."), platform::kAttrDirectory);  // not hidden
    ASSERT_EQ(symlink("file", (dir / "link").c_str()), 0);
    ASSERT_EQ(mkfifo((dir / "fifo").c_str(), 0600), 0);
    for (const bool unknown : {false, true}) {
        g_typesUnknown = unknown;
        const auto entries = ListFolder(dir.Path());
        g_typesUnknown = false;
        std::string names;
        for (const auto& entry : entries) names += entry.first + " ";
        EXPECT_EQ(names, ". .. file sub ") << unknown;
        for (const char* dots : {".", ".."}) {
            if (entries.count(dots) != 0) {
                EXPECT_EQ(entries.at(dots).dwFileAttributes, platform::kAttrDirectory) << dots;
            }
        }
        if (entries.count("file") != 0) {
            EXPECT_EQ(entries.at("file").nFileSize, 2u);
        }
    }
}
#endif

}  // namespace
