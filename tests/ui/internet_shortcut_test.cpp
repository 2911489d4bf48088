// Shortcut names, the shortcut files and where they go (Favorites and the desktop of a
// temporary home).
#include <string>

#include <gtest/gtest.h>

#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "ui/internet_shortcut.h"

namespace {

bool IsValidUtf8Prefix(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        if (i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += length;
    }
    return true;
}

TEST(ShortcutName, CutAfterTheLastSeparatorOfTheFirstKindFound) {
    // No separator: the whole caption.
    EXPECT_EQ(ShortcutNameFromCaption("Pairscout 主页"), "Pairscout 主页");
    // ':' alone.
    EXPECT_EQ(ShortcutNameFromCaption("mailto:someone@host.example"), "someone@host.example");
    EXPECT_EQ(ShortcutNameFromCaption("a:b:c"), "c");
    // '/' wins over ':', even over a ':' after it.
    EXPECT_EQ(ShortcutNameFromCaption("https://host.example/page"), "page");
    EXPECT_EQ(ShortcutNameFromCaption("https://host.example/page:8080"), "page:8080");
    // ':' wins over '\'.
    EXPECT_EQ(ShortcutNameFromCaption("C:\\dir\\file"), "\\dir\\file");
    EXPECT_EQ(ShortcutNameFromCaption("dir\\file"), "file");
    // Multi-byte text around the separators stays whole.
    EXPECT_EQ(ShortcutNameFromCaption("欢迎访问/获取更多"), "获取更多");
    // The About box's captions.
    EXPECT_EQ(ShortcutNameFromCaption("欢迎访问 https://www.orvelle-software.example/ 获取更多的应用程序"),
              " 获取更多的应用程序");
    EXPECT_EQ(ShortcutNameFromCaption("如需更多信息, 请发邮件至 pairscout@orvelle-software.example"),
              "如需更多信息, 请发邮件至 pairscout@orvelle-software.example");
}

TEST(ShortcutName, TrailingSeparatorsAndLongCaptions) {
    // An address ending in '/' is named after its last part, not a hidden ".URL".
    EXPECT_EQ(ShortcutNameFromCaption("https://host.example/"), "host.example");
    EXPECT_EQ(ShortcutNameFromCaption("https://host.example/docs//"), "docs");
    EXPECT_EQ(ShortcutNameFromCaption("mailto:"), "mailto");
    EXPECT_EQ(ShortcutNameFromCaption("///"), "");
    EXPECT_EQ(ShortcutNameFromCaption(""), "");

    // A name too long for a file name is shortened on a character boundary.
    std::string caption;
    for (int i = 0; i < 100; ++i) caption += "长";  // 300 bytes
    const std::string name = ShortcutNameFromCaption(caption);
    EXPECT_LE(name.size() + std::string(".desktop").size(), 255u);
    EXPECT_GT(name.size(), 240u);
    EXPECT_TRUE(IsValidUtf8Prefix(name));
    EXPECT_EQ(caption.compare(0, name.size(), name), 0);
}

TEST(ShortcutFile, TextsAndPath) {
    EXPECT_EQ(InternetShortcutText("https://www.orvelle-software.example/"),
              "[InternetShortcut]\r\nURL=https://www.orvelle-software.example/\r\n");
    EXPECT_EQ(InternetShortcutText("mailto:a@b.example"), "[InternetShortcut]\r\nURL=mailto:a@b.example\r\n");
    EXPECT_EQ(DesktopLinkText("主页 a\\b", "https://x.example/"),
              "[Desktop Entry]\nVersion=1.0\nType=Link\nName=主页 a\\\\b\n"
              "URL=https://x.example/\nIcon=text-html\n");
    EXPECT_EQ(ShortcutFilePath("/home/u/Favorites", "name"), "/home/u/Favorites/name.URL");
    EXPECT_EQ(ShortcutFilePath("/home/u/Favorites/", "name"), "/home/u/Favorites/name.URL");
}

#ifndef _WIN32
// A home of its own for each test, so that made folders do not leak into other tests.
class ShortcutFolderTest : public ::testing::Test {
protected:
    TempDir home;
    ScopedEnvVar homeVar{"HOME", home.Path().c_str()};
    ScopedEnvVar configVar{"XDG_CONFIG_HOME", nullptr};
};

TEST_F(ShortcutFolderTest, FavoritesFolderIsMadeAndTheShortcutWrittenThere) {
    std::string path;
    ASSERT_TRUE(AddShortcutToFolder(kShortcutFolderFavorites, "访问 https://host.example/新闻",
                                    "https://host.example/news", &path));
    EXPECT_EQ(path, home / "Favorites/新闻.URL");
    EXPECT_EQ(ReadWholeFile(path), "[InternetShortcut]\r\nURL=https://host.example/news\r\n");
    // Favorites gets no desktop entry.
    EXPECT_EQ(ReadWholeFile(home / "Favorites/新闻.desktop"), "");

    // A shortcut of the same name is replaced, not appended to.
    ASSERT_TRUE(AddShortcutToFolder(kShortcutFolderFavorites, "新闻", "https://other.example/",
                                    &path));
    EXPECT_EQ(ReadWholeFile(home / "Favorites/新闻.URL"),
              "[InternetShortcut]\r\nURL=https://other.example/\r\n");
}

TEST_F(ShortcutFolderTest, DesktopGetsTheShortcutAndALinkEntry) {
    // No desktop folder: nothing is written and failure is told.
    EXPECT_FALSE(AddShortcutToFolder(kShortcutFolderDesktop, "mailto:me@host.example",
                                     "mailto:me@host.example"));
    home.MakeDir("Desktop");
    std::string path;
    ASSERT_TRUE(AddShortcutToFolder(kShortcutFolderDesktop, "mailto:me@host.example",
                                    "mailto:me@host.example", &path));
    EXPECT_EQ(path, home / "Desktop/me@host.example.URL");
    EXPECT_EQ(ReadWholeFile(path), "[InternetShortcut]\r\nURL=mailto:me@host.example\r\n");
    EXPECT_EQ(ReadWholeFile(home / "Desktop/me@host.example.desktop"),
              "[Desktop Entry]\nVersion=1.0\nType=Link\nName=me@host.example\n"
              "URL=mailto:me@host.example\nIcon=text-html\n");
}

TEST_F(ShortcutFolderTest, DesktopFolderFromUserDirs) {
    home.MakeDir("桌面");
    home.WriteFile(".config/user-dirs.dirs",
                   "# written by xdg-user-dirs-update\n"
                   "XDG_DOWNLOAD_DIR=\"$HOME/下载\"\n"
                   "XDG_DESKTOP_DIR=\"$HOME/桌面\"\n");
    std::string path;
    ASSERT_TRUE(AddShortcutToFolder(kShortcutFolderDesktop, "https://host.example/a", "https://host.example/a",
                                    &path));
    EXPECT_EQ(path, home / "桌面/a.URL");

    // An absolute value, and XDG_CONFIG_HOME naming where the file is.
    TempDir config;
    const std::string elsewhere = home.MakeDir("elsewhere");
    config.WriteFile("user-dirs.dirs", "XDG_DESKTOP_DIR=\"" + elsewhere + "\"\n");
    ScopedEnvVar configHome("XDG_CONFIG_HOME", config.Path().c_str());
    ASSERT_TRUE(AddShortcutToFolder(kShortcutFolderDesktop, "b", "https://host.example/b", &path));
    EXPECT_EQ(path, elsewhere + "b.URL");
}

TEST_F(ShortcutFolderTest, RefusedWithoutWritingAnything) {
    // A line break in the target would add lines of its own to the file.
    EXPECT_FALSE(AddShortcutToFolder(kShortcutFolderFavorites, "x",
                                     "https://host.example/\r\nURL=file:///etc/passwd"));
    EXPECT_EQ(ReadWholeFile(home / "Favorites/x.URL"), "");
    // A caption that leaves no name.
    EXPECT_FALSE(AddShortcutToFolder(kShortcutFolderFavorites, "//", "https://host.example/"));
    EXPECT_EQ(ReadWholeFile(home / "Favorites/.URL"), "");
    // An unknown folder id.
    EXPECT_FALSE(AddShortcutToFolder(5, "x", "https://host.example/"));
    // A folder that cannot be written to.
    EXPECT_FALSE(WriteInternetShortcut(home / "missing", "x", "https://host.example/", false));
}
#endif

}  // namespace
