// The About box: its texts and figures, its links, and how it is shown and closed.
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/display.h>
#include <wx/stattext.h>

#include "gui/command_ids.h"
#include "app/gui_test_env.h"
#include "engine/text/string_table.h"
#include "engine/text/text_language.h"
#include "platform/disk_space.h"
#include "platform/memory_status.h"
#include "ui/about_dlg.h"
#include "ui/about_texts.h"
#include "ui/kv_hyper_link.h"
#include "ui/kv_icon_button.h"
#include "support/message_answers.h"

namespace {

wxString U(const char* utf8) { return wxString::FromUTF8(utf8); }

TEST(AboutTexts, VersionAndTitle) {
    EXPECT_EQ(DisplayVersion("2.3.0"), "2.3");
    EXPECT_EQ(DisplayVersion("2.3.1"), "2.3.1");
    EXPECT_EQ(DisplayVersion("10.0.0"), "10.0");
    EXPECT_EQ(DisplayVersion("2.3"), "2.3");
    EXPECT_EQ(DisplayVersion("2.3.0.5"), "2.3.0.5");
    EXPECT_EQ(AboutTitleText("2.3"), "Pairscout \n 版本 2.3");
}

TEST(AboutTexts, MemoryFigureInWholeKilobytes) {
    EXPECT_EQ(MemoryText(std::uint64_t(256) << 20), "262144 KB");
    EXPECT_EQ(MemoryText(1023), "0 KB");
    EXPECT_EQ(MemoryText(2047), "1 KB");
    // Beyond 4 GB the count is not cut to 32 bits.
    EXPECT_EQ(MemoryText(std::uint64_t(8) << 30), "8388608 KB");
    EXPECT_EQ(MemoryText((std::uint64_t(5) << 32) + 1024), "20971521 KB");
}

TEST(AboutTexts, DiskFigure) {
    EXPECT_EQ(DiskFreeText(true, 1073741824), "1024.00 MB");
    EXPECT_EQ(DiskFreeText(true, 1073741825), "1.00 GB");
    EXPECT_EQ(DiskFreeText(true, 0), "0 字节");
    EXPECT_EQ(DiskFreeText(false, 123456), "0 字节");
    EXPECT_EQ(DiskFreeText(true, 1536), "2 KB");  // whole KB, rounded
    // Far beyond 32 bits.
    EXPECT_EQ(DiskFreeText(true, std::uint64_t(5) << 40), "5120.00 GB");
}

CAboutDlg* FindAboutDlg() {
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* dlg = wxDynamicCast(window, CAboutDlg)) return dlg;
    return nullptr;
}

long FigureNumber(const wxString& text) { return std::strtol(text.utf8_str().data(), nullptr, 10); }

TEST(AboutDlg, TextsFiguresLinksAndIcon) {
    std::vector<std::string> opened;
    CAboutDlg dlg(nullptr, [&opened](const std::string& target) {
        opened.push_back(target);
        return true;
    });
    EXPECT_EQ(dlg.GetTitle(), U("关于 Pairscout"));
    auto* title = wxDynamicCast(dlg.FindWindow(CAboutDlg::IDC_TITLE), wxStaticText);
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(title->GetLabel(), U(AboutTitleText(DisplayVersion(PAIRSCOUT_VERSION)).c_str()));

    // The links: the maker's web site and mail address, captions from the string table.
    CKvHyperLink* web = dlg.GetWebLink();
    CKvHyperLink* mail = dlg.GetMailLink();
    ASSERT_NE(web, nullptr);
    ASSERT_NE(mail, nullptr);
    EXPECT_EQ(web->GetId(), 154);
    EXPECT_EQ(mail->GetId(), 153);
    EXPECT_EQ(web->GetTarget(), kMakerWebAddress);
    EXPECT_EQ(web->GetCaption(), LoadStringText(3014));
    EXPECT_EQ(mail->GetTarget(), std::string("mailto:") + kMakerMailAddress);
    EXPECT_EQ(mail->GetCaption(), LoadStringText(3015));
    EXPECT_FALSE(web->GetLinkState().GetHoverShadow());
    EXPECT_FALSE(mail->GetLinkState().GetHoverShadow());
    EXPECT_NE(web->GetCaption().find(kMakerWebAddress), std::string::npos);
    EXPECT_NE(mail->GetCaption().find(kMakerMailAddress), std::string::npos);
    // Each link is shown whole.
    EXPECT_GE(web->GetSize().x, web->GetBestSize().x);
    EXPECT_GE(mail->GetSize().x, mail->GetBestSize().x);

    // The icon at twice its size with frame and shadow.
    CKvIconButton* icon = dlg.GetIconButton();
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->GetId(), 1008);
    const wxSize iconSize = icon->IconSize();
    EXPECT_EQ(icon->GetClientSize(), wxSize(2 * iconSize.x + 8, 2 * iconSize.y + 8));
    EXPECT_FALSE(icon->AcceptsFocusFromKeyboard());

    // The memory figure is the available memory the label names, not the total.
    auto* memory = wxDynamicCast(dlg.FindWindow(CAboutDlg::IDC_MEMORY), wxStaticText);
    ASSERT_NE(memory, nullptr);
    EXPECT_TRUE(memory->GetLabel().EndsWith(" KB")) << memory->GetLabel();
    const long kb = FigureNumber(memory->GetLabel());
    EXPECT_GT(kb, 0);
    EXPECT_LT(static_cast<std::uint64_t>(kb), platform::PhysicalMemoryBytes() >> 10);

    // The disk figure: the free space of the current folder's disk, in FormatSizeText's form.
    auto* disk = wxDynamicCast(dlg.FindWindow(CAboutDlg::IDC_DISK), wxStaticText);
    ASSERT_NE(disk, nullptr);
    std::uint64_t freeBytes = 0;
    ASSERT_TRUE(platform::FreeDiskSpaceOfCurrentFolder(&freeBytes));
    const wxString unit = U(DiskFreeText(true, freeBytes).c_str()).AfterLast(' ');
    EXPECT_EQ(disk->GetLabel().AfterLast(' '), unit);
    EXPECT_NE(disk->GetLabel(), U("(磁盘空间)"));

    // Tab goes from the web link to the mail link to OK; nothing else takes the focus.
    std::vector<wxWindow*> tabStops;
    for (wxWindow* child : dlg.GetChildren())
        if (child->AcceptsFocusFromKeyboard()) tabStops.push_back(child);
    ASSERT_EQ(tabStops.size(), 3u);
    EXPECT_EQ(tabStops[0], web);
    EXPECT_EQ(tabStops[1], mail);
    EXPECT_EQ(tabStops[2]->GetId(), wxID_OK);

    // OK is the default button and has the focus, so Enter closes the box at once.
    auto* ok = wxDynamicCast(dlg.FindWindow(wxID_OK), wxButton);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->GetLabel(), U("确定"));
    EXPECT_EQ(dlg.GetDefaultItem(), ok);

    // Both links open through the opener the box was given.
    EXPECT_TRUE(web->OpenTarget());
    EXPECT_TRUE(mail->OpenTarget());
    EXPECT_EQ(opened, (std::vector<std::string>{kMakerWebAddress,
                                                std::string("mailto:") + kMakerMailAddress}));
}

// A link that nothing on the desktop opens says so when clicked (or opened by key), naming the
// address, in the interface's language only; a programmatic open stays silent.
TEST(AboutDlg, ALinkNothingOpensSaysSoNamingTheAddress) {
    bool opens = false;
    int tries = 0;
    CAboutDlg dlg(nullptr, [&](const std::string&) {
        ++tries;
        return opens;
    });
    dlg.Show();
    guitest::ProcessEvents(50);
    MessageAnswers answers;
    auto click = [&](CKvHyperLink* link) {
        wxMouseEvent down(wxEVT_LEFT_DOWN);
        down.SetPosition(wxPoint(3, 3));
        down.SetEventObject(link);
        link->GetEventHandler()->ProcessEvent(down);
        guitest::ProcessEvents(50);
    };

    click(dlg.GetWebLink());
    ASSERT_EQ(answers.texts.size(), 1u);
    EXPECT_EQ(answers.texts[0],
              "无法打开 https://www.orvelle-software.example/: 没有可用的网页浏览器.");
    EXPECT_EQ(dlg.GetWebLink()->GetLinkState().GetState(), HyperLinkState::kNormal);
    // The mail link by Enter: the address without "mailto:", and no mail program.
    wxKeyEvent enter(wxEVT_CHAR_HOOK);
    enter.m_keyCode = WXK_RETURN;
    enter.SetEventObject(dlg.GetMailLink());
    dlg.GetMailLink()->GetEventHandler()->ProcessEvent(enter);
    guitest::ProcessEvents(50);
    ASSERT_EQ(answers.texts.size(), 2u);
    EXPECT_EQ(answers.texts[1], "无法打开 pairscout@orvelle-software.example: 没有可用的邮件程序.");
    EXPECT_FALSE(dlg.GetMailLink()->OpenTarget());
    EXPECT_EQ(answers.texts.size(), 2u);

    // In English the whole message is English.
    std::string why;
    ASSERT_TRUE(UseTextLanguage(TextLanguage::kEnglish, &why)) << why;
    click(dlg.GetWebLink());
    ASSERT_TRUE(UseTextLanguage(TextLanguage::kChinese, &why)) << why;
    ASSERT_EQ(answers.texts.size(), 3u);
    EXPECT_EQ(answers.texts[2],
              "Cannot open https://www.orvelle-software.example/: no web browser is available.");

    // A link that opens says nothing.
    opens = true;
    click(dlg.GetWebLink());
    EXPECT_EQ(answers.texts.size(), 3u);
    EXPECT_EQ(tries, 5);
    EXPECT_EQ(dlg.GetWebLink()->GetLinkState().GetState(), HyperLinkState::kVisited);
    dlg.Hide();
}

TEST(AboutDlg, EscapeAndOkCloseItCentred) {
    {
        CAboutDlg dlg;
        wxPoint centre;
        guitest::WhenModal<CAboutDlg>([&dlg, &centre](CAboutDlg*) {
            centre = dlg.GetScreenRect().GetPosition() + dlg.GetSize() / 2;
            wxKeyEvent escape(wxEVT_CHAR_HOOK);
            escape.m_keyCode = WXK_ESCAPE;
            escape.SetEventObject(&dlg);
            dlg.GetEventHandler()->ProcessEvent(escape);
        });
        EXPECT_EQ(dlg.DoModal(), wxID_OK);
        // With no parent and no main window it is centred on the screen.
        const wxRect screen = wxDisplay(&dlg).GetGeometry();
        const wxPoint screenCentre = screen.GetPosition() + screen.GetSize() / 2;
        EXPECT_NEAR(centre.x, screenCentre.x, 2);
        EXPECT_NEAR(centre.y, screenCentre.y, 2);
    }
    {
        CAboutDlg dlg;
        guitest::WhenModal<CAboutDlg>([&dlg](CAboutDlg*) {
            wxCommandEvent click(wxEVT_BUTTON, wxID_OK);
            click.SetEventObject(dlg.FindWindow(wxID_OK));
            dlg.FindWindow(wxID_OK)->GetEventHandler()->ProcessEvent(click);
        });
        EXPECT_EQ(dlg.DoModal(), wxID_OK);
    }
}

class AboutCommandTest : public GeminexAppTest {};

TEST_F(AboutCommandTest, AboutCommandShowsTheBoxModallyOverTheMainWindow) {
    bool seen = false;
    guitest::WhenModal<CAboutDlg>([this, &seen](CAboutDlg* dlg) {
        seen = dlg->IsModal();
        EXPECT_EQ(dlg->GetParent(), frame);
        // Centred over the main window.
        const wxRect outer = frame->GetScreenRect();
        const wxRect inner = dlg->GetScreenRect();
        EXPECT_NEAR(inner.x + inner.width / 2, outer.x + outer.width / 2, 40);
        dlg->EndModal(wxID_OK);
    });
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_APP_ABOUT)));
    EXPECT_TRUE(seen);
    guitest::ProcessEvents(20);
    EXPECT_EQ(FindAboutDlg(), nullptr);  // gone with the command
}

}  // namespace
