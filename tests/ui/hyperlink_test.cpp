// The link control: colours by state, opening on a posted command from a click or a key, the
// clipboard copy, menu 103 and its commands, the size that follows the caption.
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/clipbrd.h>
#include <wx/frame.h>
#include <wx/menu.h>
#include <wx/panel.h>
#include <wx/sizer.h>

#include "gui/command_ids.h"
#include "app/gui_test_env.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "ui/hyperlink_state.h"
#include "ui/kv_hyper_link.h"

namespace {

const LinkColour kBlue{0, 0, 238};
const LinkColour kPurple{85, 26, 139};
const LinkColour kRed{255, 0, 0};

TEST(HyperLinkState, ColoursFollowHoverAndVisits) {
    HyperLinkState state;
    EXPECT_EQ(state.GetState(), HyperLinkState::kNormal);
    EXPECT_EQ(state.Colour(), kBlue);
    EXPECT_TRUE(state.PointerAt(true));
    EXPECT_EQ(state.Colour(), kRed);
    EXPECT_FALSE(state.PointerAt(true));  // still inside: nothing to repaint
    EXPECT_TRUE(state.PointerAt(false));
    EXPECT_EQ(state.Colour(), kBlue);
    EXPECT_FALSE(state.PointerAt(false));

    // A failed open changes nothing; a good one makes the link visited, also while hovered.
    state.Opened(false);
    EXPECT_EQ(state.Colour(), kBlue);
    state.PointerAt(true);
    state.Opened(true);
    EXPECT_EQ(state.GetState(), HyperLinkState::kVisited);
    EXPECT_EQ(state.Colour(), kPurple);
    EXPECT_TRUE(state.PointerAt(true));  // the next move over it shows hover again
    EXPECT_EQ(state.Colour(), kRed);
    EXPECT_TRUE(state.PointerAt(false));
    EXPECT_EQ(state.Colour(), kPurple);  // and leaving returns to visited

    // The context menu ends hover without the pointer leaving.
    state.PointerAt(true);
    EXPECT_TRUE(state.LeaveHover());
    EXPECT_EQ(state.Colour(), kPurple);
    EXPECT_FALSE(state.LeaveHover());
}

TEST(HyperLinkState, TrackingOffAndShadow) {
    HyperLinkState state;
    EXPECT_TRUE(state.GetUnderline());
    EXPECT_FALSE(state.DrawsShadow());
    state.PointerAt(true);
    EXPECT_TRUE(state.DrawsShadow());
    state.SetHoverShadow(false);
    EXPECT_FALSE(state.DrawsShadow());

    // Turning tracking off ends the hover, and moves no longer change anything.
    state.SetHoverTracking(false);
    EXPECT_EQ(state.Colour(), kBlue);
    EXPECT_FALSE(state.PointerAt(true));
    EXPECT_EQ(state.Colour(), kBlue);
}

class HyperLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        frame = new wxFrame(nullptr, wxID_ANY, "links");
        panel = new wxPanel(frame);
        link = new CKvHyperLink(panel, 154, wxPoint(10, 10), wxSize(30, 20),
                                [this](const std::string& target) {
            opened.push_back(target);
            return openResult;
        });
        link->SetLink("https://host.example/news", "欢迎访问 https://host.example/news", true);
        frame->SetClientSize(600, 200);
        frame->Show();
        guitest::ProcessEvents(50);
    }
    void TearDown() override {
        frame->Destroy();
        guitest::ProcessEvents();
    }

    void Move(int x, int y) {
        wxMouseEvent move(wxEVT_MOTION);
        move.SetPosition(wxPoint(x, y));
        move.SetEventObject(link);
        link->GetEventHandler()->ProcessEvent(move);
    }
    bool Key(int code, bool shift = false) {
        wxKeyEvent key(wxEVT_CHAR_HOOK);
        key.m_keyCode = code;
        key.m_shiftDown = shift;
        key.SetEventObject(link);
        link->GetEventHandler()->ProcessEvent(key);
        return !key.GetSkipped();
    }
    void Command(int number) {
        wxCommandEvent command(wxEVT_MENU, WxId(number));
        command.SetEventObject(link);
        link->GetEventHandler()->ProcessEvent(command);
    }
    LinkColour Colour() const { return link->GetLinkState().Colour(); }

    wxFrame* frame = nullptr;
    wxPanel* panel = nullptr;
    CKvHyperLink* link = nullptr;
    std::vector<std::string> opened;
    bool openResult = true;
};

TEST_F(HyperLinkTest, HoverColoursAndVisitedAfterAGoodOpen) {
    EXPECT_EQ(Colour(), kBlue);
    Move(3, 3);
    EXPECT_EQ(Colour(), kRed);
    Move(-5, 3);  // outside
    EXPECT_EQ(Colour(), kBlue);
    Move(3, 3);
    wxMouseEvent leave(wxEVT_LEAVE_WINDOW);
    leave.SetEventObject(link);
    link->GetEventHandler()->ProcessEvent(leave);
    EXPECT_EQ(Colour(), kBlue);

    openResult = false;
    EXPECT_FALSE(link->OpenTarget());
    EXPECT_EQ(Colour(), kBlue);
    openResult = true;
    EXPECT_TRUE(link->OpenTarget());
    EXPECT_EQ(opened, std::vector<std::string>(2, "https://host.example/news"));
    EXPECT_EQ(Colour(), kPurple);
    Move(3, 3);
    EXPECT_EQ(Colour(), kRed);
    Move(3, link->GetClientSize().y + 5);
    EXPECT_EQ(Colour(), kPurple);

    link->SetHoverTracking(false);
    Move(3, 3);
    EXPECT_EQ(Colour(), kPurple);
}

TEST_F(HyperLinkTest, ClickOpensOnThePostedCommand) {
    Move(3, 3);
    wxMouseEvent click(wxEVT_LEFT_DOWN);
    click.SetPosition(wxPoint(3, 3));
    click.SetEventObject(link);
    link->GetEventHandler()->ProcessEvent(click);
    EXPECT_TRUE(opened.empty());  // not inside the click handler
    ASSERT_TRUE(guitest::WaitFor([&] { return !opened.empty(); }));
    EXPECT_EQ(opened, std::vector<std::string>{"https://host.example/news"});
    EXPECT_EQ(link->GetLinkState().GetState(), HyperLinkState::kVisited);
}

TEST_F(HyperLinkTest, EnterAndSpaceOpenOtherKeysPassOn) {
    EXPECT_TRUE(link->AcceptsFocusFromKeyboard());
    EXPECT_TRUE(Key(WXK_RETURN));
    EXPECT_TRUE(Key(WXK_SPACE));
    EXPECT_TRUE(Key(WXK_NUMPAD_ENTER));
    EXPECT_FALSE(Key('A'));
    EXPECT_FALSE(Key(WXK_RETURN, true));
    EXPECT_FALSE(Key(WXK_TAB));
    EXPECT_TRUE(opened.empty());
    guitest::ProcessEvents(50);
    EXPECT_EQ(opened.size(), 3u);
}

TEST_F(HyperLinkTest, CopyPutsExactlyTheTargetOnTheClipboard) {
    link->SetLink("mailto:名字@host.example", "如需更多信息, 请发邮件至 名字@host.example", true);
    ASSERT_TRUE(link->CopyTarget());
    wxTextDataObject data;
    {
        wxClipboardLocker lock(wxTheClipboard);
        ASSERT_TRUE(!!lock);
        ASSERT_TRUE(wxTheClipboard->IsSupported(wxDF_UNICODETEXT));
        ASSERT_TRUE(wxTheClipboard->GetData(data));
    }
    EXPECT_EQ(data.GetText(), wxString::FromUTF8("mailto:名字@host.example"));

    // The menu's copy command does the same.
    link->SetLink("https://host.example/b", "b", true);
    Command(cmd::ID_LINK_COPY_SHORTCUT);
    {
        wxClipboardLocker lock(wxTheClipboard);
        ASSERT_TRUE(wxTheClipboard->GetData(data));
    }
    EXPECT_EQ(data.GetText(), "https://host.example/b");
}

TEST_F(HyperLinkTest, MenuAndItsCommands) {
    std::unique_ptr<wxMenu> menu(CKvHyperLink::CreateLinkMenu());
    ASSERT_EQ(menu->GetMenuItemCount(), 4u);
    const int ids[] = {32776, 32771, 32774, 32775};
    const char* texts[] = {"打开(&O)", "复制快捷方式(&T)", "添加到收藏夹(&F)", "添加到桌面(&D)"};
    for (std::size_t i = 0; i < 4; ++i) {
        const wxMenuItem* item = menu->FindItemByPosition(i);
        EXPECT_EQ(item->GetId(), WxId(ids[i]));
        EXPECT_EQ(item->GetItemLabel(), wxString::FromUTF8(texts[i]));
    }
    // From the keyboard the menu opens 5 pixels into the control; from the mouse at the pointer.
    EXPECT_EQ(link->ContextMenuPosition(wxDefaultPosition), wxPoint(5, 5));
    EXPECT_EQ(link->ContextMenuPosition(link->ClientToScreen(wxPoint(7, 3))), wxPoint(7, 3));

    // Open.
    Command(cmd::ID_LINK_OPEN);
    EXPECT_EQ(opened.size(), 1u);

    // Favorites and desktop of a home of this test's own.
    TempDir home;
    ScopedEnvVar homeVar("HOME", home.Path().c_str());
    ScopedEnvVar configVar("XDG_CONFIG_HOME", nullptr);
    Command(cmd::ID_LINK_ADD_FAVORITES);
    EXPECT_EQ(ReadWholeFile(home / "Favorites/news.URL"),
              "[InternetShortcut]\r\nURL=https://host.example/news\r\n");
    home.MakeDir("Desktop");
    Command(cmd::ID_LINK_ADD_DESKTOP);
    EXPECT_EQ(ReadWholeFile(home / "Desktop/news.URL"),
              "[InternetShortcut]\r\nURL=https://host.example/news\r\n");
    EXPECT_NE(ReadWholeFile(home / "Desktop/news.desktop").find("Type=Link\n"), std::string::npos);
}

TEST_F(HyperLinkTest, SizeFollowsTheCaption) {
    const wxSize first = link->GetSize();
    EXPECT_GT(first.x, 100);  // grown from 30 to the caption
    EXPECT_GE(first.y, 20);   // the height kept
    link->SetLink("x", "短", true);
    EXPECT_LT(link->GetSize().x, first.x / 4);
    // Without auto-size the control keeps its size.
    const wxSize small = link->GetSize();
    link->SetLink("x", "一个长得多的标题, 一个长得多的标题", false);
    EXPECT_EQ(link->GetSize(), small);
    EXPECT_EQ(link->GetLabelText(), wxString::FromUTF8("一个长得多的标题, 一个长得多的标题"));
    EXPECT_EQ(link->GetCaption(), "一个长得多的标题, 一个长得多的标题");
}

}  // namespace
