// Replacing duplicates by hard links, sharing data blocks and moving them into a folder from the
// window's Edit menu, on real files: the question first, never a group's kept copy, rows marked
// or gone, the status bar's account, the option for differing owners, and Ctrl+Z.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/checkbox.h>
#include <wx/config.h>
#include <wx/menu.h>

#include <sys/stat.h>

#include "app/gui_test_env.h"
#include "engine/actions/duplicate_action.h"
#include "engine/search/duplicate_search.h"
#include "engine/text/text_format.h"
#include "gui/command_ids.h"
#include "gui/settings_store.h"
#include "gui/wx_text.h"
#include "options/keep_rules_page.h"
#include "options/options_sheet.h"
#include "platform/file_delete.h"
#include "results/geminex_view.h"
#include "results/kv_list_ctrl.h"
#include "support/message_answers.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

ino_t InodeOf(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

class ReplaceViewTest : public GeminexViewAppTest {
protected:
    // Two groups, the copies under keep/ first: keep/报告.txt with a/报告.txt and b/报告.txt
    // (300 bytes), keep/长城.jpg with a/长城.jpg (100 bytes).
    void SetUp() override {
        GeminexViewAppTest::SetUp();
        for (const char* name : {"keep/报告.txt", "a/报告.txt", "b/报告.txt"})
            tree.WriteFile(name, std::string(300, 'r'));
        for (const char* name : {"keep/长城.jpg", "a/长城.jpg"}) tree.WriteFile(name, std::string(100, 'w'));
        KeepSettings keep = KeepSettings::Defaults();
        keep.priorityFolders = {tree / "keep"};
        view->SetKeepSettings(keep);
        SearchOptions options = view->GetSearchOptions();
        options.paths = {tree.Path().substr(0, tree.Path().size() - 1)};
        options.mask = "*.*";
        options.filter = SearchFilter();
        options.keep = keep.Policy();
        ASSERT_TRUE(view->StartSearch(options));
        ASSERT_TRUE(WaitForWork());
        ASSERT_EQ(list->GetItemCount(), 5);
    }

    bool WaitForWork() { return guitest::WaitFor([&] { return !view->IsBusy(); }, 120000); }

    std::vector<std::string> Column(int column) {
        std::vector<std::string> cells;
        for (long row = 0; row < list->GetItemCount(); ++row)
            cells.push_back(WxToUtf8(list->GetItemText(row, column)));
        return cells;
    }

    wxUpdateUIEvent Update(int number) {
        wxUpdateUIEvent update(WxId(number));
        update.SetEventObject(frame);
        frame->ProcessWindowEvent(update);
        return update;
    }
    bool IsEnabled(int number) {
        const wxUpdateUIEvent update = Update(number);
        return !update.GetSetEnabled() || update.GetEnabled();
    }

    bool SendKey(int keyCode, int modifiers) {
        wxKeyEvent key(wxEVT_CHAR_HOOK);
        key.m_keyCode = keyCode;
        key.m_controlDown = (modifiers & wxMOD_CONTROL) != 0;
        key.SetEventObject(frame);
        const bool processed = frame->GetEventHandler()->ProcessEvent(key);
        return processed && !key.GetSkipped();
    }

    // Selects every duplicate and waits for the status bar to say so.
    void SelectDuplicates() {
        ASSERT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_SELECT_ALL_DUPLICATES)));
        ASSERT_TRUE(guitest::WaitFor([&] { return IdleText().rfind("已选择", 0) == 0; }));
    }

    std::string IdleText() { return WxToUtf8(frame->GetIdleText()); }

    TempDir tree;
};

}  // namespace

TEST_F(ReplaceViewTest, HardLinksAfterTheQuestionMarkTheRowsAndCtrlZGivesTheFilesBack) {
    EXPECT_FALSE(IsEnabled(cmd::ID_REPLACE_HARD_LINK));  // nothing selected
    // A group's kept copy alone: nothing to do, nothing asked.
    list->SelectRows({0});
    {
        MessageAnswers answers(wxID_YES);
        EXPECT_FALSE(view->ReplaceSelected(DuplicateActionKind::kHardLink));
        EXPECT_TRUE(answers.texts.empty());
    }
    list->ClearSelection(true);
    SelectDuplicates();
    EXPECT_TRUE(IsEnabled(cmd::ID_REPLACE_HARD_LINK));
    EXPECT_TRUE(IsEnabled(cmd::ID_MOVE_TO));

    // Answered No: nothing changes.
    {
        MessageAnswers answers(wxID_NO);
        EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_REPLACE_HARD_LINK)));
        ASSERT_EQ(answers.texts.size(), 1u);
        EXPECT_EQ(answers.texts[0], FormatConfirmHardLink(3, FormatSizeText(700.0)));
        EXPECT_FALSE(view->IsBusy());
        EXPECT_NE(InodeOf(tree / "a/报告.txt"), InodeOf(tree / "keep/报告.txt"));
    }
    MessageAnswers answers(wxID_YES);
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_REPLACE_HARD_LINK)));
    ASSERT_TRUE(WaitForWork());
    EXPECT_EQ(answers.texts.size(), 1u);  // the question only: nothing was left
    EXPECT_EQ(InodeOf(tree / "a/报告.txt"), InodeOf(tree / "keep/报告.txt"));
    EXPECT_EQ(InodeOf(tree / "b/报告.txt"), InodeOf(tree / "keep/报告.txt"));
    EXPECT_EQ(InodeOf(tree / "a/长城.jpg"), InodeOf(tree / "keep/长城.jpg"));
    // The rows stay, marked; the kept copies keep their reason.
    EXPECT_EQ(Column(0), (std::vector<std::string>{tree / "keep/报告.txt", tree / "a/报告.txt",
                                                   tree / "b/报告.txt", tree / "keep/长城.jpg",
                                                   tree / "a/长城.jpg"}));
    EXPECT_EQ(Column(5), (std::vector<std::string>{"在优先的文件夹中", "硬链接", "硬链接",
                                                   "在优先的文件夹中", "硬链接"}));
    // The status bar: the summary, what was done, and what the file system freed.
    const std::string done = FormatActionDone(ActionVerb(DuplicateActionKind::kHardLink), 3,
                                              FormatSizeText(700.0));
    EXPECT_EQ(view->LastActionText().rfind(done + "; ", 0), 0u) << view->LastActionText();
    EXPECT_NE(IdleText().find(done), std::string::npos) << IdleText();
    // Replaced rows are not selected again with the duplicates.
    list->ClearSelection(true);
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_SELECT_ALL_DUPLICATES)));
    EXPECT_EQ(list->GetSelectedItemCount(), 0);

    // The undo item says what it takes back; Ctrl+Z gives each name a file of its own again.
    ASSERT_TRUE(IsEnabled(cmd::ID_UNDO_DELETE));
    EXPECT_EQ(WxToUtf8(Update(cmd::ID_UNDO_DELETE).GetText()), "撤销替换为硬链接 3 个文件(&U)\tCtrl+Z");
    EXPECT_TRUE(SendKey('Z', wxMOD_CONTROL));
    ASSERT_TRUE(WaitForWork());
    EXPECT_EQ(answers.texts.size(), 1u);
    for (const char* name : {"a/报告.txt", "b/报告.txt"}) {
        EXPECT_NE(InodeOf(tree / name), InodeOf(tree / "keep/报告.txt")) << name;
        EXPECT_EQ(ReadWholeFile(tree / name), std::string(300, 'r')) << name;
    }
    EXPECT_EQ(Column(5), (std::vector<std::string>{"在优先的文件夹中", "", "", "在优先的文件夹中", ""}));
    EXPECT_EQ(IdleText(), "发现 3 个重复文件 (700 字节)  已恢复 3 个文件, 共 700 字节");
    EXPECT_FALSE(IsEnabled(cmd::ID_UNDO_DELETE));
    EXPECT_EQ(WxToUtf8(Update(cmd::ID_UNDO_DELETE).GetText()), "撤销删除(&U)\tCtrl+Z");
}

TEST_F(ReplaceViewTest, MoveToTakesTheChosenFolderAndTheMovedRowsLeaveUntilUndone) {
    TempDir aside;
    const std::string into = aside.Path().substr(0, aside.Path().size() - 1);
    view->SetMoveFolderChooser([&] { return into; });
    // Into a protected folder: refused before anything is asked.
    KeepSettings keep = view->GetKeepSettings();
    keep.protectedFolders = {into};
    view->SetKeepSettings(keep);
    SelectDuplicates();
    {
        MessageAnswers answers(wxID_YES);
        EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_MOVE_TO)));
        EXPECT_FALSE(view->IsBusy());
        EXPECT_EQ(answers.texts, (std::vector<std::string>{FormatMoveIntoProtected(into)}));
    }
    keep.protectedFolders.clear();
    view->SetKeepSettings(keep);
    SelectDuplicates();

    // Someone has put a file where one duplicate would go: that one stays and is named.
    const std::string start = fs::path(tree.Path().substr(0, tree.Path().size() - 1)).filename().string();
    aside.WriteFile(start + "/b/报告.txt", "already here");
    MessageAnswers answers(wxID_YES);
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_MOVE_TO)));
    ASSERT_TRUE(WaitForWork());
    ASSERT_EQ(answers.texts.size(), 2u);
    EXPECT_EQ(answers.texts[0], FormatConfirmMoveTo(3, FormatSizeText(700.0), into));
    EXPECT_NE(answers.texts[1].find(tree / "b/报告.txt"), std::string::npos) << answers.texts[1];
    EXPECT_EQ(ReadWholeFile(aside / (start + "/a/报告.txt")), std::string(300, 'r'));
    EXPECT_EQ(ReadWholeFile(aside / (start + "/b/报告.txt")), "already here");
    EXPECT_FALSE(fs::exists(fs::u8path(tree / "a/报告.txt")));
    EXPECT_EQ(Column(0), (std::vector<std::string>{tree / "keep/报告.txt", tree / "b/报告.txt"}));

    EXPECT_EQ(WxToUtf8(Update(cmd::ID_UNDO_DELETE).GetText()), "撤销移动 2 个文件(&U)\tCtrl+Z");
    EXPECT_TRUE(SendKey('Z', wxMOD_CONTROL));
    ASSERT_TRUE(WaitForWork());
    EXPECT_EQ(ReadWholeFile(tree / "a/报告.txt"), std::string(300, 'r'));
    EXPECT_EQ(ReadWholeFile(tree / "a/长城.jpg"), std::string(100, 'w'));
    EXPECT_FALSE(fs::exists(fs::u8path(aside / (start + "/a/报告.txt"))));
    EXPECT_EQ(list->GetItemCount(), 5);
}

TEST_F(ReplaceViewTest, SharingIsOffWhereTheFileSystemCannotAndTheOwnerOptionIsKept) {
    SelectDuplicates();
    // The test's files lie where the machine's temporary files do; the window asks the same
    // question of the file system as the test.
    const bool can = platform::FileSystemCanShareData(tree.Path());
    EXPECT_EQ(view->SelectionCanShare(), can);
    EXPECT_EQ(IsEnabled(cmd::ID_SHARE_DATA), can);
    wxMenuItem* item = frame->GetMenuBar()->FindItem(WxId(cmd::ID_SHARE_DATA));
    ASSERT_NE(item, nullptr);
    if (!can) {
        EXPECT_EQ(WxToUtf8(item->GetHelp()), LoadStringText(IDS_SHARE_NOT_SUPPORTED));
    }
    list->ClearSelection(true);
    ASSERT_TRUE(guitest::WaitFor([&] { return IdleText().rfind("发现", 0) == 0; }));
    EXPECT_FALSE(IsEnabled(cmd::ID_SHARE_DATA));

    // The option for hard links over differing permissions: on the keep rules page, stored.
    CSettingsStore store("Orvelle Software Inc.", "Pairscout replace settings");
    store.Config()->DeleteGroup("/Keep Rules");
    {
        CGeminexView fresh(store);
        EXPECT_FALSE(fresh.GetKeepSettings().linkAnyOwner);
        COptionsSheet sheet(frame);
        sheet.CopyInKeep(fresh.GetKeepSettings());
        CKeepRulesPage* page = sheet.KeepRulesPage();
        ASSERT_NE(page, nullptr);
        page->TransferDataToWindow();
        EXPECT_EQ(WxToUtf8(page->LinkAnyOwnerBox()->GetLabel()), LoadStringText(IDS_KEEP_LINK_ANY_OWNER));
        EXPECT_FALSE(page->LinkAnyOwnerBox()->GetValue());
        page->LinkAnyOwnerBox()->SetValue(true);
        page->TransferDataFromWindow();
        EXPECT_TRUE(page->m_settings.linkAnyOwner);
        KeepSettings edited = page->m_settings;
        fresh.SetKeepSettings(edited);
    }
    CGeminexView again(store);
    EXPECT_TRUE(again.GetKeepSettings().linkAnyOwner);
    store.Config()->DeleteGroup("/Keep Rules");
}
