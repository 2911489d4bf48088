// The settings store: strings, integers and 8-byte binary values written and read back, in a
// configuration under the temporary HOME of the test process.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/gui_test_env.h"
#include "gui/settings_store.h"
#include "support/temp_dir.h"

namespace {

const char kVendor[] = "Orvelle Software Inc.";

// A store of its own application name, so tests do not see each other's values.
std::string AppName(const char* test) { return std::string("PairscoutTest") + test; }

TEST(SettingsStore, FileLivesUnderXdgConfigHome) {
    const std::string config = std::getenv("XDG_CONFIG_HOME");
    EXPECT_EQ(config, guitest::TempHome() + ".config");
    CSettingsStore store(kVendor, "Pairscout");
    EXPECT_EQ(store.FilePath(), config + "/Pairscout/Pairscout.conf");
    EXPECT_EQ(store.Vendor(), kVendor);
    EXPECT_EQ(store.Application(), "Pairscout");
}

TEST(SettingsStore, StringsIntegersAndBinaryValuesRoundTrip) {
    const std::string app = AppName("RoundTrip");
    std::string path;
    {
        CSettingsStore store(kVendor, app);
        path = store.FilePath();
        EXPECT_TRUE(store.WriteProfileString("Settings", "Drives", "/srv/数据/;/home/"));
        EXPECT_TRUE(store.WriteProfileString("Settings", "File Mask", "*.*;~*.tmp"));
        EXPECT_TRUE(store.WriteProfileString("Settings", "Last save file", ""));
        EXPECT_TRUE(store.WriteProfileInt("Options", "Reverse Filters", 1));
        EXPECT_TRUE(store.WriteProfileInt("Options", "Ignore Attributes", 55));
        EXPECT_TRUE(store.WriteProfileInt("Options", "Skip Files Mask", -7));
        EXPECT_TRUE(store.WriteProfileInt64("Options", "Min Size Filter", 5000000000LL));
        EXPECT_TRUE(store.WriteProfileInt64("Options", "Max Date Filter", -2));
        EXPECT_TRUE(store.Flush());
    }
    EXPECT_FALSE(ReadWholeFile(path).empty());

    CSettingsStore store(kVendor, app);
    EXPECT_EQ(store.GetProfileString("Settings", "Drives"), "/srv/数据/;/home/");
    EXPECT_EQ(store.GetProfileString("Settings", "File Mask", "*.*"), "*.*;~*.tmp");
    EXPECT_TRUE(store.HasEntry("Settings", "Last save file"));
    EXPECT_EQ(store.GetProfileString("Settings", "Last save file", "x"), "");
    EXPECT_EQ(store.GetProfileInt("Options", "Reverse Filters", 0), 1);
    EXPECT_EQ(store.GetProfileInt("Options", "Ignore Attributes", 0), 55);
    EXPECT_EQ(store.GetProfileInt("Options", "Skip Files Mask", 0), -7);

    std::int64_t value = 0;
    EXPECT_TRUE(store.GetProfileInt64("Options", "Min Size Filter", value));
    EXPECT_EQ(value, 5000000000LL);
    EXPECT_TRUE(store.GetProfileInt64("Options", "Max Date Filter", value));
    EXPECT_EQ(value, -2);

    std::vector<unsigned char> bytes;
    EXPECT_TRUE(store.GetProfileBinary("Options", "Min Size Filter", bytes));
    const std::vector<unsigned char> expected = {0x00, 0xF2, 0x05, 0x2A, 0x01, 0x00, 0x00, 0x00};
    EXPECT_EQ(bytes, expected);  // low byte first, as the registry holds a 64-bit value
}

TEST(SettingsStore, PathListsKeepASemicolonInANameAndReadOldTexts) {
    const std::string app = AppName("PathLists");
    using Paths = std::vector<std::string>;
    const Paths paths = {"/srv/数据/", "/semi/a;b/", "", "/home/"};
    {
        CSettingsStore store(kVendor, app);
        EXPECT_TRUE(store.WriteProfilePathList("Settings", "Drives", paths));
        // Only the name holding ";" is quoted: older versions read the rest as before.
        EXPECT_EQ(store.GetProfileString("Settings", "Drives"),
                  "/srv/数据/;\"/semi/a;b/\";;/home/");
        EXPECT_TRUE(store.WriteProfileString("Settings", "Old", " /srv/数据/ ;;/home/;"));
        EXPECT_TRUE(store.Flush());
    }
    CSettingsStore store(kVendor, app);
    EXPECT_EQ(store.GetProfilePathList("Settings", "Drives"), paths);
    // A text an older version wrote: split at every ";", blanks around the items dropped.
    EXPECT_EQ(store.GetProfilePathList("Settings", "Old"), (Paths{"/srv/数据/", "", "/home/"}));
    EXPECT_TRUE(store.GetProfilePathList("Settings", "Missing").empty());
}

TEST(SettingsStore, MissingEntriesGiveTheDefaults) {
    CSettingsStore store(kVendor, AppName("Defaults"));
    EXPECT_EQ(store.GetProfileString("Settings", "File Mask", "*.*"), "*.*");
    EXPECT_EQ(store.GetProfileInt("Options", "Ignore Attributes", 55), 55);
    std::int64_t value = 17;
    EXPECT_FALSE(store.GetProfileInt64("Options", "Min Date Filter", value));
    EXPECT_EQ(value, 17);
    std::vector<unsigned char> bytes{1, 2};
    EXPECT_FALSE(store.GetProfileBinary("Options", "Min Date Filter", bytes));
    EXPECT_TRUE(bytes.empty());
}

TEST(SettingsStore, BinaryValueOfAnotherLengthIsIgnored) {
    const std::string app = AppName("Length");
    {
        CSettingsStore store(kVendor, app);
        const unsigned char four[] = {1, 2, 3, 4};
        EXPECT_TRUE(store.WriteProfileBinary("Options", "Max Size Filter", four, sizeof four));
    }
    CSettingsStore store(kVendor, app);
    std::vector<unsigned char> bytes;
    EXPECT_TRUE(store.GetProfileBinary("Options", "Max Size Filter", bytes));
    EXPECT_EQ(bytes.size(), 4u);
    std::int64_t value = 99;
    EXPECT_FALSE(store.GetProfileInt64("Options", "Max Size Filter", value));
    EXPECT_EQ(value, 99);
}

TEST(SettingsStore, ValuesAreTakenAsStored) {
    // A "$" or "%" in a path is not an environment variable.
    const std::string app = AppName("Literal");
    {
        CSettingsStore store(kVendor, app);
        store.WriteProfileString("Settings", "Drives", "$HOME/a;%PATH%");
    }
    CSettingsStore store(kVendor, app);
    EXPECT_EQ(store.GetProfileString("Settings", "Drives"), "$HOME/a;%PATH%");
}

TEST(SettingsStore, NothingWrittenMakesNoFile) {
    std::string path;
    {
        CSettingsStore store(kVendor, AppName("Untouched"));
        path = store.FilePath();
        store.GetProfileString("Settings", "Drives");
    }
    EXPECT_TRUE(ReadWholeFile(path).empty());
}

TEST_F(GeminexAppTest, ApplicationSettingsUseTheVendorAndTheApplicationTitle) {
    CSettingsStore* settings = app->GetSettings();
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(settings->Vendor(), "Orvelle Software Inc.");
    EXPECT_EQ(settings->Application(), "Pairscout");
    EXPECT_EQ(app->GetVendorName(), "Orvelle Software Inc.");
    EXPECT_EQ(app->GetAppName(), "Pairscout");

    // The view the program makes keeps its settings in this store.
    auto* view = wxDynamicCast(app->GetDocManager()->GetCurrentView(), CGeminexView);
    ASSERT_NE(view, nullptr);
    const std::string before = view->GetLastSaveFile();
    view->SetLastSaveFile("/srv/lists/found.csv");
    view->SaveSettings();
    EXPECT_EQ(settings->GetProfileString("Settings", "Last save file"), "/srv/lists/found.csv");
    view->SetLastSaveFile(before);
    view->SaveSettings();
}

}  // namespace
