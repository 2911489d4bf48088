// The preview pane beside the results, the padlock and headline of protected rows, and ignored
// groups, on the display over real files: a JPEG built with an EXIF orientation, text, bytes
// that are neither, and a file gone since the search.
#include <cstdio>
#include <string>
#include <vector>

#include <wx/image.h>
#include <wx/listbox.h>
#include <wx/menu.h>
#include <wx/mstream.h>
#include <wx/splitter.h>

#include <gtest/gtest.h>

#include "app/gui_test_env.h"
#include "engine/store/ignore_list.h"
#include "gui/command_ids.h"
#include "gui/settings_store.h"
#include "gui/wx_text.h"
#include "platform/user_folders.h"
#include "results/geminex_view.h"
#include "results/ignore_list_dialog.h"
#include "results/kv_list_ctrl.h"
#include "results/preview_pane.h"
#include "support/temp_dir.h"

namespace {

std::string Be16(unsigned v) { return {static_cast<char>(v >> 8), static_cast<char>(v & 0xFF)}; }

// A JPEG of `width` by `height` pixels (left half red, right half blue) whose EXIF block says
// `orientation`.
std::string JpegWithOrientation(int width, int height, int orientation) {
    wxImage image(width, height);
    for (int x = 0; x < width; ++x)
        for (int y = 0; y < height; ++y)
            image.SetRGB(x, y, x < width / 2 ? 255 : 0, 0, x < width / 2 ? 0 : 255);
    wxMemoryOutputStream out;
    EXPECT_TRUE(image.SaveFile(out, wxBITMAP_TYPE_JPEG));
    std::string bytes(out.GetLength(), '\0');
    out.CopyTo(&bytes[0], bytes.size());
    // Big-endian TIFF: header, one directory of one entry (orientation, SHORT, 1), no next.
    std::string tiff = std::string("MM\0*\0\0\0\x08", 8) + Be16(1) + Be16(0x0112) + Be16(3) +
                       std::string("\0\0\0\x01", 4) + Be16(static_cast<unsigned>(orientation)) +
                       Be16(0) + std::string(4, '\0');
    const std::string body = std::string("Exif\0\0", 6) + tiff;
    const std::string app1 = "\xFF\xE1" + Be16(static_cast<unsigned>(body.size() + 2)) + body;
    return bytes.substr(0, 2) + app1 + bytes.substr(2);
}

class PreviewViewTest : public GeminexViewAppTest {
protected:
    void SetUp() override {
        GeminexViewAppTest::SetUp();
        if (HasFatalFailure()) return;
        ignorePath = view->GetIgnoreList().Path();
    }
    void TearDown() override {
        // The settings folder is the whole run's: no group stays ignored for later tests.
        int error = 0;
        platform::RemoveFileIfThere(ignorePath, &error);
        GeminexViewAppTest::TearDown();
    }

    void Search(const std::vector<std::string>& paths, const std::vector<std::string>& protectedFolders = {}) {
        SearchOptions options;
        options.paths = paths;
        options.keep.protectedFolders = protectedFolders;
        ASSERT_TRUE(view->StartSearch(options));
        ASSERT_TRUE(guitest::WaitFor([&] { return !view->IsBusy(); }, 120000));
    }
    long RowOf(const std::string& path) {
        for (std::size_t row = 0; row < view->GetModel().RowCount(); ++row)
            if (view->GetModel().Row(row).record->Path() == path) return static_cast<long>(row);
        return -1;
    }
    // Focuses `row` as a click does, and waits for its preview.
    bool FocusAndWait(long row) {
        list->SetItemState(row, wxLIST_STATE_FOCUSED | wxLIST_STATE_SELECTED,
                           wxLIST_STATE_FOCUSED | wxLIST_STATE_SELECTED);
        const std::string path = view->GetModel().Row(static_cast<std::size_t>(row)).record->Path();
        return guitest::WaitFor([&] {
            CPreviewPane* pane = view->GetPreviewPane();
            return pane->Path() == path && pane->Shown().kind != PreviewContent::kNothing &&
                   !pane->Shown().facts.empty() &&
                   pane->Shown().facts.front().second == path;
        }, 10000);
    }
    std::string Idle() { return WxToUtf8(frame->GetIdleText()); }

    TempDir tree;
    std::string ignorePath;
};

}  // namespace

TEST_F(PreviewViewTest, PaneFollowsTheFocusWithPicturesTextCopiesAndReasons) {
    const std::string photo = JpegWithOrientation(64, 32, 6);
    const std::string p1 = tree.WriteFile("photos/IMG_0001.jpg", photo);
    const std::string p2 = tree.WriteFile("backup/IMG_0001.jpg", photo);
    const std::string p3 = tree.WriteFile("backup/old/IMG_0001 copy.jpg", photo);
    const std::string t1 = tree.WriteFile("photos/说明.txt", "第一行\nsecond line\n");
    const std::string t2 = tree.WriteFile("backup/说明.txt", "第一行\nsecond line\n");
    const std::string b1 = tree.WriteFile("photos/raw.bin", std::string("\x01\x00\x02\x00", 4) + std::string(100, 'x'));
    const std::string b2 = tree.WriteFile("backup/raw.bin", std::string("\x01\x00\x02\x00", 4) + std::string(100, 'x'));
    Search({tree.Path()});
    ASSERT_EQ(view->GetModel().RowCount(), 7u);

    // 查看 → 预览 by its command; the menu item is checked.
    EXPECT_FALSE(view->IsPreviewShown());
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_VIEW_PREVIEW)));
    ASSERT_TRUE(view->IsPreviewShown());
    frame->GetMenuBar()->UpdateMenus();
    EXPECT_TRUE(frame->GetMenuBar()->FindItem(WxId(cmd::ID_VIEW_PREVIEW))->IsChecked());
    CPreviewPane* pane = view->GetPreviewPane();
    ASSERT_NE(pane, nullptr);

    // The photo: decoded, turned upright (64 by 32 stored, a quarter turn: 32 by 64), scaled
    // into the pane, its group's three copies listed.
    ASSERT_TRUE(FocusAndWait(RowOf(p2)));
    EXPECT_EQ(pane->Shown().kind, PreviewContent::kPicture);
    EXPECT_EQ(pane->Shown().width, 32);
    EXPECT_EQ(pane->Shown().height, 64);
    const wxImage& shown = pane->Shown().picture;
    ASSERT_TRUE(shown.IsOk());
    EXPECT_GT(shown.GetHeight(), shown.GetWidth());
    // Turned clockwise: the left half (red) is now on top.
    EXPECT_GT(shown.GetRed(shown.GetWidth() / 2, 2), 150);
    EXPECT_GT(shown.GetBlue(shown.GetWidth() / 2, shown.GetHeight() - 3), 150);
    ASSERT_EQ(pane->CopiesList()->GetCount(), 3u);
    const int current = pane->CopiesList()->GetSelection();
    ASSERT_NE(current, wxNOT_FOUND);
    EXPECT_EQ(WxToUtf8(pane->CopiesList()->GetString(static_cast<unsigned>(current))), "\xE2\x96\xB6 " + p2);

    // A copy picked in the pane becomes the focused row, and its preview follows.
    const int third = pane->CopiesList()->FindString(wxString("   ") + Utf8ToWx(p3));
    ASSERT_NE(third, wxNOT_FOUND);
    wxCommandEvent pick(wxEVT_LISTBOX_DCLICK, pane->CopiesList()->GetId());
    pick.SetEventObject(pane->CopiesList());
    pick.SetInt(third);
    pane->CopiesList()->GetEventHandler()->ProcessEvent(pick);
    EXPECT_EQ(list->GetFocusedRow(), RowOf(p3));
    EXPECT_TRUE(guitest::WaitFor([&] { return pane->Path() == p3; }, 5000));

    // Text by its bytes: its first lines.
    ASSERT_TRUE(FocusAndWait(RowOf(t1)));
    EXPECT_EQ(pane->Shown().kind, PreviewContent::kText);
    EXPECT_EQ(pane->Shown().lines, (std::vector<std::string>{"第一行", "second line"}));
    // Neither text nor picture.
    ASSERT_TRUE(FocusAndWait(RowOf(b1)));
    EXPECT_EQ(pane->Shown().kind, PreviewContent::kMessage);
    EXPECT_EQ(pane->Shown().lines, std::vector<std::string>{"不是文本或图片, 没有内容预览"});
    // A file gone since the search says why.
    ASSERT_EQ(std::remove(b2.c_str()), 0);
    ASSERT_TRUE(FocusAndWait(RowOf(b2)));
    EXPECT_EQ(pane->Shown().kind, PreviewContent::kMessage);
    ASSERT_EQ(pane->Shown().lines.size(), 1u);
    EXPECT_EQ(pane->Shown().lines[0].rfind("不能读取此文件: ", 0), 0u) << pane->Shown().lines[0];

    // Hidden again by the accelerator's command; the setting remembers it for the next start.
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_VIEW_PREVIEW)));
    EXPECT_FALSE(view->IsPreviewShown());
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_VIEW_PREVIEW)));
    view->SavePreviewPlace();
    EXPECT_EQ(app->GetSettings()->GetProfileInt("Settings", "Preview", 0), 1);
    EXPECT_GT(app->GetSettings()->GetProfileInt("Settings", "Preview Width", 0), 100);
}

TEST_F(PreviewViewTest, ProtectedRowsCarryThePadlockAndTheHeadlineCountsWhatCanGo) {
    const std::string a1 = tree.WriteFile("reference/a.txt", std::string(300, 'a'));
    tree.WriteFile("work/a.txt", std::string(300, 'a'));
    tree.WriteFile("work/b.txt", std::string(100, 'b'));
    tree.WriteFile("reference/b.txt", std::string(100, 'b'));
    tree.WriteFile("reference/sub/b.txt", std::string(100, 'b'));
    Search({tree.Path()}, {tree.Path() + "reference"});
    ASSERT_EQ(view->GetModel().RowCount(), 5u);
    // Two can go (300 + 100 bytes); three files lie in the reference folder.
    EXPECT_EQ(Idle(), "发现 2 个重复文件 (400 字节), 其中 3 个在受保护的文件夹中");
    int locked = 0;
    for (std::size_t row = 0; row < view->GetModel().RowCount(); ++row) {
        const ResultRow& r = view->GetModel().Row(row);
        wxListItem item;
        item.SetId(static_cast<long>(row));
        item.SetMask(wxLIST_MASK_IMAGE);
        ASSERT_TRUE(list->GetItem(item));
        EXPECT_EQ(item.GetImage(), r.isProtected ? r.image + 4 : r.image) << row;
        locked += r.isProtected;
    }
    EXPECT_EQ(locked, 3);
}

TEST_F(PreviewViewTest, IgnoredGroupLeavesTheListAndLaterSearchesUntilTakenBack) {
    const std::string a1 = tree.WriteFile("one/a.txt", std::string(300, 'a'));
    const std::string a2 = tree.WriteFile("two/a.txt", std::string(300, 'a'));
    tree.WriteFile("one/b.txt", std::string(300, 'b'));
    tree.WriteFile("two/b.txt", std::string(300, 'b'));
    Search({tree.Path()});
    ASSERT_EQ(view->GetModel().GroupCount(), 2u);
    const long row = RowOf(a2);
    list->SetItemState(row, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
    // 编辑 → 忽略此组: the group goes at once, its identity is stored.
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_IGNORE_GROUP)));
    EXPECT_EQ(view->GetModel().GroupCount(), 1u);
    EXPECT_EQ(RowOf(a1), -1);
    EXPECT_EQ(Idle(), "发现 1 个重复文件 (300 字节)  1 组已忽略");
    ASSERT_EQ(ReadWholeFile(ignorePath).find(a1) != std::string::npos, true);

    // A later search, in a new view reading the stored list, leaves it out.
    view->LoadIgnoreList();
    Search({tree.Path()});
    EXPECT_EQ(view->GetModel().GroupCount(), 1u);
    EXPECT_EQ(RowOf(a1), -1);
    EXPECT_EQ(view->IgnoredLeftOut(), 1);

    // 文件 → 忽略列表 takes it back; the next search lists it again.
    bool seen = false;
    guitest::WhenModal<CIgnoreListDialog>([&](CIgnoreListDialog* dialog) {
        seen = true;
        EXPECT_EQ(dialog->GroupList()->GetItemCount(), 1);
        EXPECT_TRUE(dialog->TakeBackSelected());
        EXPECT_FALSE(dialog->TakeBackSelected());  // nothing left to take
        dialog->EndModal(wxID_OK);
    });
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_IGNORE_LIST)));
    EXPECT_TRUE(seen);
    EXPECT_TRUE(view->GetIgnoreList().Groups().empty());
    Search({tree.Path()});
    EXPECT_EQ(view->GetModel().GroupCount(), 2u);
    EXPECT_EQ(view->IgnoredLeftOut(), 0);

    // A damaged list is named, used as none and left as it is.
    const std::string damaged = "{\"version\": 1, \"groups\": [{\"size\": 300";
    {
        FILE* file = std::fopen(ignorePath.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(damaged.data(), 1, damaged.size(), file);
        std::fclose(file);
    }
    view->LoadIgnoreList();
    EXPECT_EQ(view->IgnoreListProblem().rfind("忽略列表 " + ignorePath + " 不能读取, 没有使用: ", 0), 0u)
        << view->IgnoreListProblem();
    Search({tree.Path()});
    EXPECT_EQ(view->GetModel().GroupCount(), 2u);
    EXPECT_EQ(ReadWholeFile(ignorePath), damaged);
}
