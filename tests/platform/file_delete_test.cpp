#include "platform/file_delete.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#ifndef _WIN32
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#endif

#include "platform/file_find.h"
#include "support/platform_rules.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "support/unprivileged.h"

namespace {

using Paths = std::vector<std::string>;

bool Exists(const std::string& path) {
    return platform::GetFileAttributes(path) != platform::kInvalidFileAttributes;
}

// The caller of DeleteFiles asks its own question first.
constexpr unsigned kQuiet =
    platform::kDeleteNoConfirmation | platform::kDeleteSilent | platform::kDeleteNoErrorUi;

TEST(DeleteFiles, ForGood) {
    TempDir dir;
    const std::string a = dir.WriteFile("a.txt", "a");
    const std::string b = dir.WriteFile("b c.txt", "b");
    const std::string missing = dir / "missing.txt";
    // A file that is not there (any more) is gone: it is not reported.
    EXPECT_EQ(platform::DeleteFiles({a, missing, b}, kQuiet), Paths{});
    EXPECT_FALSE(Exists(a));
    EXPECT_FALSE(Exists(b));
    EXPECT_EQ(platform::DeleteFiles({}, kQuiet), Paths{});
}

#ifndef _WIN32
TEST(DeleteFiles, ToTheFreedesktopTrash) {
    TempDir dir;
    ScopedEnvVar data("XDG_DATA_HOME", (dir / "data").c_str());
    const std::string trash = dir / "data/Trash/";
    const std::string a = dir.WriteFile("one/a b%.txt", "first");
    const std::string again = dir.WriteFile("two/a b%.txt", "second");
    const std::string keep = dir.WriteFile("keep.txt", "k");

    EXPECT_EQ(platform::DeleteFiles({a, again}, platform::kDeleteToTrash), Paths{});
    EXPECT_FALSE(Exists(a));
    EXPECT_FALSE(Exists(again));
    EXPECT_TRUE(Exists(keep));
    // Both kept under names of their own, each with its record of where it came from.
    EXPECT_EQ(ReadWholeFile(trash + "files/a b%.txt"), "first");
    EXPECT_EQ(ReadWholeFile(trash + "files/a b%.txt.2"), "second");
    const std::string info = ReadWholeFile(trash + "info/a b%.txt.trashinfo");
    EXPECT_EQ(info.find("[Trash Info]\nPath=" + dir.Path() + "one/a%20b%25.txt\nDeletionDate="),
              0u)
        << info;
    EXPECT_EQ(info.size(), std::string("[Trash Info]\nPath=\nDeletionDate=\n").size() +
                               (dir.Path() + "one/a%20b%25.txt").size() + 19);
    EXPECT_NE(ReadWholeFile(trash + "info/a b%.txt.2.trashinfo").find("two/a%20b%25.txt"),
              std::string::npos);

    // A file that cannot be moved (its folder is read-only) stays and is reported; nothing of
    // it is left in the trash. Deleted as nobody, since root may write anywhere.
    const std::string locked = dir.WriteFile("locked/x.txt", "x");
    ASSERT_EQ(chmod((dir / "locked").c_str(), 0500), 0);
    ASSERT_TRUE(unprivileged::GiveToNobody(dir.Path()));
    const std::string left = unprivileged::RunUnprivileged([&locked] {
        std::string text;
        for (const std::string& path : platform::DeleteFiles({locked}, platform::kDeleteToTrash))
            text += path + "\n";
        return text;
    });
    EXPECT_EQ(left, locked + "\n");
    EXPECT_TRUE(Exists(locked));
    EXPECT_FALSE(Exists(trash + "info/x.txt.trashinfo"));
    EXPECT_FALSE(Exists(trash + "files/x.txt"));
    chmod((dir / "locked").c_str(), 0700);

    // No trash to be found: nothing is removed.
    ScopedEnvVar noData("XDG_DATA_HOME", nullptr);
    ScopedEnvVar noHome("HOME", nullptr);
    EXPECT_EQ(platform::DeleteFiles({keep}, platform::kDeleteToTrash), Paths{keep});
    EXPECT_TRUE(Exists(keep));
}

// Thousands of copies of desktop.ini or folder.jpg go to the trash together: each keeps a name
// and a record of its own, and a name of the longest kind fits beside its record.
TEST(DeleteFiles, ManyOfOneNameAndLongNamesToTheTrash) {
    TempDir dir;
    ScopedEnvVar data("XDG_DATA_HOME", (dir / "data").c_str());
    const std::string trash = dir / "data/Trash/";
    Paths paths;
    for (int i = 0; i < 130; ++i)
        paths.push_back(dir.WriteFile(std::to_string(i) + "/desktop.ini", std::to_string(i)));
    std::string longName;
    while (longName.size() + 3 <= 255) longName += "\xe9\x87\x8d";  // 85 times the same character
    paths.push_back(dir.WriteFile(longName, "long"));
    EXPECT_EQ(platform::DeleteFiles(paths, platform::kDeleteToTrash), Paths{});

    std::map<std::string, std::string> kept;  // content -> name in the trash
    DIR* files = opendir((trash + "files").c_str());
    ASSERT_NE(files, nullptr);
    while (const dirent* entry = readdir(files)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        const std::string content = ReadWholeFile(trash + "files/" + name);
        EXPECT_TRUE(kept.emplace(content, name).second) << content;
        const std::string info = ReadWholeFile(trash + "info/" + name + ".trashinfo");
        const std::string from = content == "long" ? dir.Path() : dir.Path() + content + "/";
        EXPECT_NE(info.find("\nPath=" + from), std::string::npos) << name << "\n" << info;
    }
    closedir(files);
    ASSERT_EQ(kept.size(), paths.size());
    EXPECT_EQ(kept["0"], "desktop.ini");
    EXPECT_EQ(kept["99"], "desktop.ini.100");
    EXPECT_EQ(kept["129"].rfind("desktop.ini.", 0), 0u);
    EXPECT_EQ(kept["long"].rfind(longName.substr(0, 200), 0), 0u);
    EXPECT_LT(kept["long"].size(), longName.size());
    EXPECT_EQ(kept["long"].size() % 3, 0u);  // cut between characters
}

// More than a hundred files of one name of 255 bytes; a name cut where a 4-byte character
// stands; a file on another file system, whose trash is at that file system's top folder.
TEST(DeleteFiles, LongNamesOftenAndTrashesOfOtherFileSystems) {
    TempDir dir;
    ScopedEnvVar data("XDG_DATA_HOME", (dir / "data").c_str());
    const std::string longest(255, 'n');
    Paths paths;
    for (int i = 0; i < 102; ++i) paths.push_back(dir.WriteFile(std::to_string(i) + "/" + longest, "x"));
    const std::string emoji = std::string(229, 'e') + "\xF0\x9F\x98\x80" + std::string(22, 'e');
    paths.push_back(dir.WriteFile(emoji, "emoji"));
    EXPECT_EQ(platform::DeleteFiles(paths, platform::kDeleteToTrash), Paths{});
    EXPECT_EQ(ReadWholeFile(dir / "data/Trash/files/" + std::string(229, 'e')), "emoji");

    // /dev/shm where it is a file system of its own: its top folder holds the trash, and the
    // record names the file from there.
    struct stat shm, temp;
    char folder[] = "/dev/shm/pairscout-XXXXXX";
    if (stat("/dev/shm", &shm) != 0 || stat(dir.Path().c_str(), &temp) != 0 ||
        shm.st_dev == temp.st_dev || mkdtemp(folder) == nullptr)
        GTEST_SKIP() << "no second file system to trash to";
    const std::string name = std::string(folder).substr(9);
    const std::string base = name + ".txt";  // a name of its own in a trash others share
    const std::string file = std::string(folder) + "/" + base;
    fclose(fopen(file.c_str(), "w"));
    const std::string trash = "/dev/shm/.Trash-" + std::to_string(getuid()) + "/";
    const Paths left = platform::DeleteFiles({file}, platform::kDeleteToTrash);
    const std::string info = ReadWholeFile(trash + "info/" + base + ".trashinfo");
    std::remove((trash + "files/" + base).c_str());
    std::remove((trash + "info/" + base + ".trashinfo").c_str());
    std::remove(file.c_str());
    rmdir(folder);
    EXPECT_EQ(left, Paths{});
    EXPECT_EQ(info.find("[Trash Info]\nPath=" + name + "/" + base + "\n"), 0u) << info;
}
#else
// Under Wine the recycle bin is the host's trash; the test script names its files folder in
// PAIRSCOUT_TEST_TRASH_FILES (as a Windows path).
TEST(DeleteFiles, ToTheRecycleBin) {
    TempDir dir;
    const std::string name = "recycled-" + dir.Path().substr(dir.Path().size() - 8, 7) + ".txt";
    const std::string a = dir.WriteFile(name, "recycled");
    EXPECT_EQ(platform::DeleteFiles({a}, platform::kDeleteToTrash | kQuiet), Paths{});
    EXPECT_FALSE(Exists(a));
    const char* trash = std::getenv("PAIRSCOUT_TEST_TRASH_FILES");
    if (trash != nullptr && *trash != '\0') {
        const std::string kept = std::string(trash) + "\\" + name;
        EXPECT_EQ(ReadWholeFile(kept), "recycled") << kept;
        EXPECT_EQ(platform::DeleteFiles({kept}, kQuiet), Paths{});
    }
}
#endif

}  // namespace
