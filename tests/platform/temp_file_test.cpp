#include "platform/temp_file.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "platform/file_find.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace {

TEST(TempFile, NewEmptyFilesWithThePrefix) {
#ifndef _WIN32
    TempDir dir;
    ScopedEnvVar tmpdir("TMPDIR", dir.Path().c_str());
    EXPECT_EQ(platform::TempFolder(), dir.Path());
#endif
    const std::string folder = platform::TempFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), platform::kPathSeparator);

    const std::string first = platform::CreateTempFile("psc");
    const std::string second = platform::CreateTempFile("psc");
    ASSERT_FALSE(first.empty());
    ASSERT_FALSE(second.empty());
    EXPECT_NE(first, second);
    for (const std::string& path : {first, second}) {
        EXPECT_EQ(path.compare(0, folder.size(), folder), 0) << path;
        EXPECT_EQ(path.compare(folder.size(), 3, "psc"), 0) << path;
        EXPECT_EQ(path.find(platform::kPathSeparator, folder.size()), std::string::npos) << path;
        EXPECT_EQ(platform::GetFileAttributes(path) & platform::kAttrDirectory, 0u) << path;
        EXPECT_EQ(ReadWholeFile(path), "");
        EXPECT_EQ(std::remove(path.c_str()), 0);
    }
    // A prefix naming another folder is refused rather than followed.
    EXPECT_EQ(platform::CreateTempFile("../x"), "");
}

#ifndef _WIN32
TEST(TempFile, FolderThatCannotHoldFiles) {
    TempDir dir;
    ScopedEnvVar tmpdir("TMPDIR", (dir / "missing").c_str());
    EXPECT_EQ(platform::TempFolder(), dir / "missing/");
    EXPECT_EQ(platform::CreateTempFile("psc"), "");
    ScopedEnvVar unset("TMPDIR", nullptr);
    EXPECT_EQ(platform::TempFolder(), "/tmp/");
}
#endif

}  // namespace

namespace {

// The form a library that opens files only with the C library's narrow calls is given: the
// same file opens through it, whatever the characters of its name (on Windows, code page or
// not: the short name stands in for a name the code page cannot hold).
TEST(TempFile, NarrowFilePathOpensTheSameFile) {
    TempDir dir;
    for (const std::string name : {"plain.txt", "中文 名字.txt", "emoji \xF0\x9F\x98\x80 x.txt"}) {
        const std::string path = dir.WriteFile(name, "contents of " + name);
        const std::string narrow = platform::NarrowFilePath(path);
        ASSERT_FALSE(narrow.empty()) << name;
        std::string read;
        if (FILE* file = std::fopen(narrow.c_str(), "rb")) {
            char buffer[256];
            std::size_t n;
            while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) read.append(buffer, n);
            std::fclose(file);
        }
        EXPECT_EQ(read, "contents of " + name) << name << " as " << narrow;
    }
#ifdef _WIN32
    // Nothing there has no short name: a name outside every code page then has no form.
    EXPECT_EQ(platform::NarrowFilePath(dir / "none \xF0\x9F\x98\x80"), "");
#endif
}

}  // namespace
