// The window takes the user's locale at start: dates in the locale's own form with the century,
// and the texts of GTK's dialogs, wx's stock buttons and the C library's error reasons in the
// user's language.
#include <libintl.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <string>

#include <gtest/gtest.h>
#include <wx/stockitem.h>

#include "app/gui_test_env.h"
#include "engine/text_helpers.h"
#include "gui/wx_text.h"
#include "results/geminex_view.h"
#include "platform/error_text.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace {

class ChineseDesktopTest : public GeminexViewAppTest {
protected:
    void SetUp() override {
        const char* old = std::setlocale(LC_ALL, nullptr);
        m_oldLocale = old != nullptr ? old : "C";
        GeminexViewAppTest::SetUp();
    }
    void TearDown() override {
        GeminexViewAppTest::TearDown();
        std::setlocale(LC_ALL, m_oldLocale.c_str());
    }

private:
    // The desktop's choice, read by the program at start as the environment gives it.
    ScopedEnvVar m_lcAll{"LC_ALL", "zh_CN.UTF-8"};
    std::string m_oldLocale;
};

TEST_F(ChineseDesktopTest, DatesButtonsAndSystemTextsFollowTheUsersLocale) {
    const char* time = std::setlocale(LC_TIME, nullptr);
    ASSERT_NE(time, nullptr);
    if (std::string(time).find("zh_CN") == std::string::npos)
        GTEST_SKIP() << "zh_CN.UTF-8 is not installed";

    TempDir tree;
    tree.WriteFile("a/one.txt", "same");
    tree.WriteFile("b/one.txt", "same");
    ASSERT_TRUE(SearchThroughTheCommand(tree.Path()));
    ASSERT_EQ(list->GetItemCount(), 2);
    // The date cell: the Chinese short date and time, as the command line writes it.
    const std::string cell = WxToUtf8(list->GetItemText(0, 1));
    std::string expected;
    FileTimeToText(&view->GetModel().Row(0).record->m_ftWritten, expected);
    EXPECT_EQ(cell, expected);
    EXPECT_EQ(cell.substr(4, 3), "年") << cell;
    EXPECT_NE(cell.find("秒"), std::string::npos) << cell;

    // GTK's own dialogs (the file chooser, the print dialog) draw their buttons from its
    // catalog, which now answers in Chinese.
    EXPECT_STRNE(dgettext("gtk30", "_Cancel"), "_Cancel");
    // wx's stock buttons come from its Chinese catalog.
    EXPECT_EQ(WxToUtf8(wxGetStockLabel(wxID_CANCEL, wxSTOCK_NOFLAGS)), "取消");
    // The C library's reasons (shown after a file that cannot be written).
    if (access("/usr/share/locale/zh_CN/LC_MESSAGES/libc.mo", R_OK) == 0) {
        EXPECT_EQ(platform::ErrorText(ENOENT), "没有那个文件或目录");
    }
}

}  // namespace
