// The keep rules in the window: the options sheet's page and its settings, the groups ordered
// anew when only the rules change, the reason column, what a selection would free, and the
// undo of the last move to the trash (Ctrl+Z), on real files in the test's own home.
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/bookctrl.h>
#include <wx/checkbox.h>
#include <wx/checklst.h>
#include <wx/choice.h>
#include <wx/config.h>
#include <wx/listbox.h>
#include <wx/statusbr.h>

#include "app/gui_test_env.h"
#include "engine/search/duplicate_search.h"
#include "gui/command_ids.h"
#include "gui/settings_store.h"
#include "gui/wx_text.h"
#include "options/keep_rules_page.h"
#include "options/options_sheet.h"
#include "results/geminex_view.h"
#include "results/kv_list_ctrl.h"
#include "support/message_answers.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

void SetAge(const std::string& path, int hours) {
    fs::last_write_time(fs::u8path(path),
                        fs::file_time_type::clock::now() - std::chrono::hours(hours));
}

class KeepRulesViewTest : public GeminexViewAppTest {
protected:
    // Two groups: 报告.txt (oldest) with 报告 副本.txt and new/报告.txt; 长城.jpg with
    // 长城_备份.jpg (older: only the copy mark keeps 长城.jpg first).
    void MakeTree() {
        report = tree.WriteFile("work/报告.txt", std::string(300, 'r'));
        reportCopy = tree.WriteFile("work/报告 副本.txt", std::string(300, 'r'));
        reportNew = tree.WriteFile("new/报告.txt", std::string(300, 'r'));
        wall = tree.WriteFile("trip/长城.jpg", std::string(100, 'w'));
        wallCopy = tree.WriteFile("trip/长城_备份.jpg", std::string(100, 'w'));
        SetAge(report, 50);
        SetAge(reportCopy, 40);
        SetAge(reportNew, 10);
        SetAge(wall, 20);
        SetAge(wallCopy, 30);
    }

    void Search() {
        SearchOptions options = view->GetSearchOptions();
        options.paths = {tree.Path()};
        options.mask = "*.*";
        options.filter = SearchFilter();
        ASSERT_TRUE(view->StartSearch(options));
        ASSERT_TRUE(guitest::WaitFor([&] { return !view->IsBusy(); }, 120000));
    }

    bool WaitForWork() { return guitest::WaitFor([&] { return !view->IsBusy(); }, 120000); }

    std::vector<std::string> Column(int column) {
        std::vector<std::string> cells;
        for (long row = 0; row < list->GetItemCount(); ++row)
            cells.push_back(WxToUtf8(list->GetItemText(row, column)));
        return cells;
    }

    // A key as the frame gets it before any control (its accelerators).
    bool SendKey(int keyCode, int modifiers) {
        wxKeyEvent key(wxEVT_CHAR_HOOK);
        key.m_keyCode = keyCode;
        key.m_controlDown = (modifiers & wxMOD_CONTROL) != 0;
        key.m_shiftDown = (modifiers & wxMOD_SHIFT) != 0;
        key.SetEventObject(frame);
        const bool processed = frame->GetEventHandler()->ProcessEvent(key);
        return processed && !key.GetSkipped();
    }

    bool IsEnabled(int number) {
        wxUpdateUIEvent update(WxId(number));
        update.SetEventObject(frame);
        frame->ProcessWindowEvent(update);
        return !update.GetSetEnabled() || update.GetEnabled();
    }

    std::string IdleText() { return WxToUtf8(frame->GetIdleText()); }

    TempDir tree;
    std::string report, reportCopy, reportNew, wall, wallCopy;
};

TEST_F(KeepRulesViewTest, RulesPageEditsTheRulesAndTheSettingsKeepThem) {
    CSettingsStore store("Orvelle Software Inc.", "Pairscout keep rules settings");
    store.Config()->DeleteGroup("/Keep Rules");
    KeepSettings edited;
    {
        CGeminexView fresh(store);
        // A new user: folder priority, no copy marks, oldest; by the bytes freed.
        EXPECT_EQ(fresh.GetKeepSettings(), KeepSettings::Defaults());
        EXPECT_EQ(fresh.GetKeepSettings().RulesText(),
                  "folder,nocopy,oldest,-newest,-shortest,-longest,-mask");

        COptionsSheet sheet(frame);
        sheet.CopyInKeep(fresh.GetKeepSettings());
        CKeepRulesPage* page = sheet.KeepRulesPage();
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(WxToUtf8(sheet.GetBookCtrl()->GetPageText(2)), "保留规则");
        wxCheckListBox* rules = page->RuleList();
        ASSERT_EQ(rules->GetCount(), 7u);
        EXPECT_EQ(WxToUtf8(rules->GetString(0)), "优先的文件夹");
        EXPECT_TRUE(rules->IsChecked(2));
        EXPECT_FALSE(rules->IsChecked(3));
        // "最新修改的" up to the top and on; "oldest" off; the first rule cannot go higher.
        rules->SetSelection(3);
        rules->Check(3, true);
        page->OnRuleUp();
        page->OnRuleUp();
        page->OnRuleUp();
        page->OnRuleUp();
        EXPECT_EQ(rules->GetSelection(), 0);
        EXPECT_EQ(WxToUtf8(rules->GetString(0)), "最新修改的");
        rules->Check(3, false);
        rules->SetSelection(6);
        page->OnRuleDown();  // the last stays last
        EXPECT_EQ(rules->GetSelection(), 6);
        // Folders from the picker, in order; one moved up, a repeat ignored, one removed.
        std::vector<std::string> picks = {"/srv/b", "/srv/a;semi", "/srv/a;semi", "/srv/keep", ""};
        std::size_t next = 0;
        page->SetFolderChooser([&] { return picks[next++]; });
        page->OnAddFolder(false);
        page->OnAddFolder(false);
        page->OnAddFolder(false);
        EXPECT_EQ(page->PriorityList()->GetCount(), 2u);
        page->OnFolderUp();
        page->OnAddFolder(true);
        page->OnAddFolder(true);  // nothing chosen: nothing added
        EXPECT_EQ(page->ProtectedList()->GetCount(), 1u);
        page->MaskEdit()->ChangeValue("*\\原件\\*");
        page->OnlyProtectedBox()->SetValue(true);
        page->OrderChoice()->SetSelection(1);
        ASSERT_TRUE(page->TransferDataFromWindow());
        sheet.CopyBackKeep(edited);
        EXPECT_EQ(edited.RulesText(), "newest,folder,nocopy,-oldest,-shortest,-longest,-mask");
        EXPECT_EQ(edited.priorityFolders, (std::vector<std::string>{"/srv/a;semi", "/srv/b"}));
        EXPECT_EQ(edited.protectedFolders, (std::vector<std::string>{"/srv/keep"}));
        EXPECT_EQ(edited.mask, "*\\原件\\*");
        EXPECT_TRUE(edited.onlyGroupsWithProtected);
        EXPECT_EQ(edited.order, GroupOrder::kAsFound);
        fresh.SetKeepSettings(edited);
    }
    {
        CGeminexView second(store);
        EXPECT_EQ(second.GetKeepSettings(), edited);
        // The search takes the rules that are on, in order.
        const KeepPolicy policy = second.GetSearchOptions().keep;
        ASSERT_EQ(policy.rules.size(), 3u);
        EXPECT_EQ(policy.rules[0].kind, kKeptNewest);
        EXPECT_EQ(policy.rules[1].folders, edited.priorityFolders);
        EXPECT_EQ(policy.protectedFolders, edited.protectedFolders);
    }
    // A rules text naming nothing known leaves the defaults.
    store.WriteProfileString("Keep Rules", "Rules", "nonsense,,");
    {
        CGeminexView third(store);
        EXPECT_EQ(third.GetKeepSettings().rules, KeepSettings::Defaults().rules);
    }
    store.Config()->DeleteGroup("/Keep Rules");
}

TEST_F(KeepRulesViewTest, TheSearchKeepsByTheRulesAndShowsWhy) {
    MakeTree();
    view->SetKeepSettings(KeepSettings::Defaults());
    Search();
    // The group freeing 600 bytes first; the originals head their groups, marked copies last.
    EXPECT_EQ(Column(0), (std::vector<std::string>{report, reportNew, reportCopy, wall, wallCopy}));
    wxListItem heading;
    heading.SetMask(wxLIST_MASK_TEXT);
    ASSERT_TRUE(list->GetColumn(5, heading));
    EXPECT_EQ(WxToUtf8(heading.GetText()), "保留原因");
    // 报告.txt is older than the other copy without a mark; 长城.jpg is kept for its name.
    EXPECT_EQ(Column(5), (std::vector<std::string>{"最早修改", "", "", "文件名没有副本标记", ""}));
    // Copies, the CSV export and printing keep their five columns.
    const std::string all = view->GetModel().AllRowsText("\t", false);
    EXPECT_EQ(all.find("最早修改"), std::string::npos);
    EXPECT_EQ(std::count(all.begin(), all.begin() + all.find("\r\n"), '\t'), 4);
    EXPECT_EQ(view->GetModel().SpreadsheetCsvText().find("保留原因"), std::string::npos);
}

TEST_F(KeepRulesViewTest, OkWithOnlyTheRulesChangedOrdersTheGroupsWithoutASearch) {
    MakeTree();
    view->SetKeepSettings(KeepSettings::Defaults());
    Search();
    ASSERT_EQ(list->GetItemCount(), 5);
    // Gone from the disk since: a new search would drop its group.
    fs::remove(fs::u8path(wallCopy));

    bool sheetSeen = false;
    guitest::WhenModal<COptionsSheet>([&](COptionsSheet* sheet) {
        sheetSeen = true;
        CKeepRulesPage* page = sheet->KeepRulesPage();
        page->m_settings.SetRulesText("newest,folder,nocopy,oldest");
        page->m_settings.order = GroupOrder::kAsFound;
        page->TransferDataToWindow();
        sheet->EndModal(wxID_OK);
    });
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_FIND_DUPLICATES)));
    EXPECT_TRUE(WaitForWork());
    EXPECT_TRUE(sheetSeen);
    // The same rows, ordered anew: no search ran.
    ASSERT_EQ(list->GetItemCount(), 5);
    EXPECT_EQ(Column(0), (std::vector<std::string>{reportNew, reportCopy, report, wall, wallCopy}));
    EXPECT_EQ(Column(5), (std::vector<std::string>{"最新修改", "", "", "最新修改", ""}));
    EXPECT_EQ(view->GetKeepSettings().RulesText(),
              "newest,folder,nocopy,oldest,-shortest,-longest,-mask");

    // Back to the defaults by code: ordered anew, still without a search.
    view->SetKeepSettings(KeepSettings::Defaults());
    EXPECT_EQ(Column(0), (std::vector<std::string>{report, reportNew, reportCopy, wall, wallCopy}));
    EXPECT_EQ(Column(5)[3], "文件名没有副本标记");
}

TEST_F(KeepRulesViewTest, TheStatusBarSaysWhatTheSelectionWouldFree) {
    MakeTree();
    Search();
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_SELECT_ALL_DUPLICATES)));
    ASSERT_TRUE(guitest::WaitFor([&] { return IdleText().rfind("已选择", 0) == 0; }));
    EXPECT_EQ(IdleText(), "已选择 3 个文件, 可释放 " + FormatSizeText(700.0));
    EXPECT_EQ(WxToUtf8(frame->GetStatusBar()->GetStatusText(0)), IdleText());
    // A whole group chosen keeps one copy.
    list->SelectRows({3, 4});
    ASSERT_TRUE(guitest::WaitFor([&] { return IdleText().rfind("已选择 2 ", 0) == 0; }));
    EXPECT_EQ(IdleText(), "已选择 2 个文件, 可释放 " + FormatSizeText(100.0));
    // Nothing chosen: the summary of the search again.
    list->ClearSelection(true);
    ASSERT_TRUE(guitest::WaitFor([&] { return IdleText().rfind("发现", 0) == 0; }));
}

TEST_F(KeepRulesViewTest, CtrlZPutsTheTrashedFilesAndTheirRowsBack) {
    MakeTree();
    view->SetKeepSettings(KeepSettings::Defaults());
    Search();
    const std::vector<std::string> before = Column(0);
    EXPECT_FALSE(IsEnabled(cmd::ID_UNDO_DELETE));
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_SELECT_ALL_DUPLICATES)));
    ASSERT_TRUE(view->DeleteFiles(false));
    ASSERT_TRUE(WaitForWork());
    EXPECT_EQ(view->LastRemovedCount(), 3u);
    EXPECT_EQ(list->GetItemCount(), 0);
    EXPECT_FALSE(fs::exists(fs::u8path(reportCopy)));
    EXPECT_TRUE(IsEnabled(cmd::ID_UNDO_DELETE));

    MessageAnswers answers(wxID_OK);
    EXPECT_TRUE(SendKey('Z', wxMOD_CONTROL));
    ASSERT_TRUE(WaitForWork());
    EXPECT_TRUE(answers.texts.empty());
    EXPECT_EQ(Column(0), before);
    EXPECT_EQ(Column(5)[0], "最早修改");
    for (const std::string& path : {reportCopy, reportNew, wallCopy})
        EXPECT_TRUE(fs::exists(fs::u8path(path))) << path;
    EXPECT_EQ(IdleText(), "发现 3 个重复文件 (700 字节)  已恢复 3 个文件, 共 700 字节");
    EXPECT_FALSE(IsEnabled(cmd::ID_UNDO_DELETE));
    EXPECT_FALSE(SendKey('Z', wxMOD_CONTROL) && view->IsBusy());

    // Again; in the trash one file changes and another's name is taken meanwhile.
    list->SelectRows({1, 2});
    ASSERT_TRUE(view->DeleteFiles(false));
    ASSERT_TRUE(WaitForWork());
    const std::string trash = guitest::TempHome() + ".local/share/Trash/files/";
    ASSERT_TRUE(fs::exists(trash + "报告 副本.txt"));
    { std::ofstream(trash + "报告 副本.txt", std::ios::app) << "changed"; }
    tree.WriteFile("new/报告.txt", "someone else's");
    EXPECT_TRUE(SendKey('Z', wxMOD_CONTROL));
    ASSERT_TRUE(WaitForWork());
    ASSERT_EQ(answers.texts.size(), 1u);
    EXPECT_EQ(answers.texts[0], "以下文件没有恢复:\n\n" + reportNew + ": 原位置已有同名的文件\n" +
                                    reportCopy + ": 文件在回收站中已改变");
    EXPECT_EQ(Column(0), (std::vector<std::string>{wall, wallCopy}));
    EXPECT_EQ(ReadWholeFile(reportNew), "someone else's");
}

TEST_F(KeepRulesViewTest, DeletingForGoodSaysItCannotBeUndone) {
    MakeTree();
    Search();
    list->SelectRows({1});
    MessageAnswers answers(wxID_NO);
    EXPECT_FALSE(view->DeleteFiles(true));
    ASSERT_EQ(answers.texts.size(), 1u);
    EXPECT_NE(answers.texts[0].find("无法恢复"), std::string::npos) << answers.texts[0];
    EXPECT_TRUE(fs::exists(fs::u8path(reportCopy)));
}

}  // namespace
