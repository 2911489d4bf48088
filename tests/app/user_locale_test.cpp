// The window takes the user's locale at start: dates in the locale's own form with the century,
// and the texts of GTK's dialogs, wx's stock buttons and the C library's error reasons in the
// user's language.
#include <libintl.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <string>

#include <gtest/gtest.h>
#include <wx/menu.h>
#include <wx/stockitem.h>

#include "app/gui_test_env.h"
#include "engine/text/string_table.h"
#include "engine/text/text_helpers.h"
#include "gui/settings_store.h"
#include "gui/wx_text.h"
#include "results/geminex_view.h"
#include "platform/error_text.h"
#include "support/message_answers.h"
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
    // The desktop's choice, read by the program at start as the environment gives it, with
    // nothing forcing the interface's language.
    ScopedEnvVar m_lcAll{"LC_ALL", "zh_CN.UTF-8"};
    ScopedEnvVar m_language{"LANGUAGE", nullptr};
    ScopedEnvVar m_forced{"PAIRSCOUT_LANG", nullptr};
    std::string m_oldLocale;
};

// The same on an English desktop.
class EnglishDesktopTest : public GeminexViewAppTest {
protected:
    void SetUp() override {
        const char* old = std::setlocale(LC_ALL, nullptr);
        m_oldLocale = old != nullptr ? old : "C";
        GeminexViewAppTest::SetUp();
    }
    void TearDown() override {
        GeminexViewAppTest::TearDown();
        std::setlocale(LC_ALL, m_oldLocale.c_str());
        // Tests without an application of their own read the table as it is.
        UseOriginalTexts();
    }

private:
    ScopedEnvVar m_lcAll{"LC_ALL", "en_US.UTF-8"};
    ScopedEnvVar m_language{"LANGUAGE", nullptr};
    ScopedEnvVar m_forced{"PAIRSCOUT_LANG", nullptr};
    std::string m_oldLocale;
};

std::string ColumnTitle(wxListCtrl* list, int column) {
    wxListItem item;
    item.SetMask(wxLIST_MASK_TEXT);
    return list->GetColumn(column, item) ? WxToUtf8(item.GetText()) : std::string();
}

// The labels of the menu bar's menus, joined by "|".
std::string MenuLabels(wxFrame* frame) {
    std::string labels;
    wxMenuBar* bar = frame->GetMenuBar();
    for (std::size_t i = 0; bar != nullptr && i < bar->GetMenuCount(); ++i)
        labels += (i > 0 ? "|" : "") + WxToUtf8(bar->GetMenuLabel(i));
    return labels;
}

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
    // The program's own texts: Chinese menus, the language menu marking Chinese.
    EXPECT_EQ(MenuLabels(frame), "文件(&F)|编辑(&E)|查看(&V)|帮助(&H)");
    wxMenuItem* chinese = frame->GetMenuBar()->FindItem(WxId(cmd::ID_VIEW_LANGUAGE_CHINESE));
    ASSERT_NE(chinese, nullptr);
    frame->UpdateWindowUI(wxUPDATE_UI_RECURSE);
    guitest::ProcessEvents();
    EXPECT_TRUE(chinese->IsChecked());
    EXPECT_EQ(ColumnTitle(list, 0), "文件名");

    // The C library's reasons (shown after a file that cannot be written).
    if (access("/usr/share/locale/zh_CN/LC_MESSAGES/libc.mo", R_OK) == 0) {
        EXPECT_EQ(platform::ErrorText(ENOENT), "没有那个文件或目录");
    }
}

}  // namespace

namespace {

TEST_F(EnglishDesktopTest, MenusMessagesAndButtonsAreEnglish) {
    EXPECT_EQ(MenuLabels(frame), "&File|&Edit|&View|&Help");
    wxMenuItem* search = frame->GetMenuBar()->FindItem(WxId(cmd::ID_FIND_DUPLICATES));
    ASSERT_NE(search, nullptr);
    EXPECT_EQ(WxToUtf8(search->GetItemLabel()), "&Search for Duplicates");
    EXPECT_EQ(ColumnTitle(list, 0), "File Name");
    // wx's own buttons in its own English, not from the Chinese catalog.
    EXPECT_EQ(WxToUtf8(wxGetStockLabel(wxID_CANCEL, wxSTOCK_NOFLAGS)), "Cancel");

    // View > Language > Chinese: remembered, and a message in English says when it counts.
    wxMenuItem* english = frame->GetMenuBar()->FindItem(WxId(cmd::ID_VIEW_LANGUAGE_ENGLISH));
    ASSERT_NE(english, nullptr);
    EXPECT_EQ(WxToUtf8(english->GetItemLabel()), "&English");
    frame->UpdateWindowUI(wxUPDATE_UI_RECURSE);
    guitest::ProcessEvents();
    EXPECT_TRUE(english->IsChecked());
    MessageAnswers answers;
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_VIEW_LANGUAGE_CHINESE)));
    ASSERT_EQ(answers.texts.size(), 1u);
    EXPECT_EQ(answers.texts[0], "Pairscout will be in Chinese the next time it starts.");
    EXPECT_EQ(app->ChosenLanguage(), "zh_CN");
    frame->UpdateWindowUI(wxUPDATE_UI_RECURSE);
    guitest::ProcessEvents();
    EXPECT_FALSE(english->IsChecked());
    // Choosing the language in use again says nothing.
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_VIEW_LANGUAGE_ENGLISH)));
    EXPECT_EQ(answers.texts.size(), 1u);
    EXPECT_EQ(app->ChosenLanguage(), "en");
    // The other tests start from the desktop's language again.
    app->GetSettings()->WriteProfileString("Settings", "Language", "");
}

}  // namespace
