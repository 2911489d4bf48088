// Start paths typed on the Paths page, or changed in place in its list (F2): the keyword,
// servers and folders that exist go in; anything else is refused with its reason.
#include <gtest/gtest.h>

#include <wx/bookctrl.h>
#include <wx/frame.h>
#include <wx/listctrl.h>
#include <wx/textctrl.h>

#include "app/gui_test_env.h"
#include "options/paths_list.h"
#include "options/options_sheet.h"
#include "options/paths_page.h"
#include "support/message_answers.h"
#include "support/temp_dir.h"

namespace {

TEST(TypedStartPath, KeywordServersAndFoldersThatExist) {
    TempDir dir;
    const std::string folder = dir.MakeDir("照片");
    const std::string file = dir.WriteFile("note.txt", "x");
    std::string why;
    EXPECT_EQ(PathsList::CheckTyped("本地硬盘", &why), "本地硬盘");
    EXPECT_EQ(why, "");
    EXPECT_EQ(PathsList::CheckTyped("  //server ", &why), "//server");
    EXPECT_EQ(PathsList::CheckTyped("//server/", &why), "//server/");
    EXPECT_EQ(PathsList::CheckTyped("//server/share", &why), "//server/share");
    // A folder gets its separator; one typed with it keeps one.
    const std::string bare = folder.substr(0, folder.size() - 1);
    EXPECT_EQ(PathsList::CheckTyped(bare, &why), folder);
    EXPECT_EQ(PathsList::CheckTyped(folder, &why), folder);
    EXPECT_EQ(why, "");

    // Refused, each with its reason.
    EXPECT_EQ(PathsList::CheckTyped(dir / "missing", &why), "");
    EXPECT_FALSE(why.empty());
    const std::string missingWhy = why;
    EXPECT_EQ(PathsList::CheckTyped(file, &why), "");
    EXPECT_EQ(why, "它不是文件夹");
    EXPECT_NE(missingWhy, why);
    EXPECT_EQ(PathsList::CheckTyped("   ", &why), "");
    EXPECT_FALSE(why.empty());
    // Two paths in one ("a;b") are no folder.
    EXPECT_EQ(PathsList::CheckTyped(folder + ";" + folder, &why), "");
    EXPECT_EQ(PathsList::CheckTyped("//server/share/deeper", &why), "");

    PathsList list;
    list.Load({"/a/"});
    EXPECT_FALSE(list.AppendTyped(dir / "missing", &why));
    EXPECT_EQ(list.Items(), (std::vector<std::string>{"/a/"}));
    EXPECT_TRUE(list.AppendTyped("本地硬盘", &why));
    EXPECT_EQ(list.Items(), (std::vector<std::string>{"/a/", "本地硬盘"}));
    EXPECT_EQ(list.Selection(), 1);
}

TEST(TypedStartPath, PageAddsTheTypedPathByAddOrByOkAndRefusesAMissingOne) {
    TempDir dir;
    const std::string folder = dir.MakeDir("文档");
    wxFrame frame(nullptr, wxID_ANY, "paths");
    auto* page = new CPathsPage(&frame);
    page->m_startPaths = {"本地硬盘"};
    page->InitPage();
    page->TransferDataToWindow();
    EXPECT_EQ(page->Paths().Items(), (std::vector<std::string>{"本地硬盘"}));

    page->PathEdit()->ChangeValue(wxString::FromUTF8(folder));
    page->OnAdd();  // the typed path, not the picker
    EXPECT_EQ(page->Paths().Items(), (std::vector<std::string>{"本地硬盘", folder}));
    EXPECT_TRUE(page->PathEdit()->GetValue().empty());

    {
        MessageAnswers answers(wxID_OK);
        page->PathEdit()->ChangeValue(wxString::FromUTF8(dir / "没有这个"));
        EXPECT_FALSE(page->TransferDataFromWindow());  // OK refused: the sheet stays
        ASSERT_EQ(answers.texts.size(), 1u);
        EXPECT_EQ(answers.texts[0].rfind("不能添加路径 " + dir / "没有这个" + ": ", 0), 0u)
            << answers.texts[0];
        EXPECT_EQ(page->Paths().Count(), 2);
    }
    page->PathEdit()->ChangeValue("//fileserver");
    EXPECT_TRUE(page->TransferDataFromWindow());
    EXPECT_EQ(page->m_startPaths,
              (std::vector<std::string>{"本地硬盘", folder, "//fileserver"}));
}

TEST(TypedStartPath, AChangeInPlaceIsCheckedAsAnAddedPathIs) {
    TempDir dir;
    const std::string folder = dir.MakeDir("新的");
    PathsList list;
    list.Load({"/a/", "本地硬盘"});
    std::string why;
    EXPECT_TRUE(list.ReplaceTyped(0, folder.substr(0, folder.size() - 1), &why));
    EXPECT_EQ(list.Items(), (std::vector<std::string>{folder, "本地硬盘"}));
    EXPECT_EQ(list.Selection(), 0);
    EXPECT_TRUE(list.ReplaceTyped(1, " //nas ", &why));
    EXPECT_EQ(list.Items(), (std::vector<std::string>{folder, "//nas"}));
    EXPECT_EQ(list.Selection(), 1);
    // Refused: the list and its selection stay.
    EXPECT_FALSE(list.ReplaceTyped(0, dir / "没有", &why));
    EXPECT_FALSE(why.empty());
    EXPECT_FALSE(list.ReplaceTyped(0, folder + ";" + folder, &why));
    EXPECT_FALSE(list.ReplaceTyped(2, "本地硬盘", &why));
    EXPECT_EQ(why, "");
    EXPECT_FALSE(list.ReplaceTyped(-1, "本地硬盘", &why));
    EXPECT_EQ(list.Items(), (std::vector<std::string>{folder, "//nas"}));
    EXPECT_EQ(list.Selection(), 1);
}

// A key as the window system hands it: to the focused window, which passes it up.
bool Press(wxWindow* focus, wxEventType type, int keyCode, int modifiers = 0) {
    wxKeyEvent key(type);
    key.m_keyCode = keyCode;
    key.m_controlDown = (modifiers & wxMOD_CONTROL) != 0;
    key.m_shiftDown = (modifiers & wxMOD_SHIFT) != 0;
    key.SetEventObject(focus);
    return focus->GetEventHandler()->ProcessEvent(key) && !key.GetSkipped();
}

TEST(TypedStartPath, F2ChangesTheSelectedPathInTheOptionsSheetByKeyboard) {
    TempDir dir;
    const std::string first = dir.MakeDir("一");
    const std::string second = dir.MakeDir("二");
    wxFrame frame(nullptr, wxID_ANY, "paths");
    SearchOptions options;
    options.paths = {first, "本地硬盘"};
    options.mask = "*.*";
    guitest::WhenModal<COptionsSheet>([&](COptionsSheet* sheet) {
        CPathsPage* page = sheet->PathsPage();
        wxListCtrl* list = page->PathList();
        list->SetFocus();
        ASSERT_TRUE(guitest::WaitFor([list] {
            wxWindow* focus = wxWindow::FindFocus();
            return focus != nullptr && (focus == list || list->IsDescendant(focus));
        }));
        // F2 on the list, as its rows' window gets it (the list is made of a header and
        // the rows, which take the keys).
        for (wxWindow* part : list->GetChildren())
            if (list->GetEditControl() == nullptr) Press(part, wxEVT_KEY_DOWN, WXK_F2);
        wxTextCtrl* editor = list->GetEditControl();
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(WxToUtf8(editor->GetValue()), "本地硬盘");

        // A folder that does not exist: Enter ends the edit (not the sheet), the refusal
        // names it with why, and the editor is back with what was typed.
        const std::string missing = dir / "没有这个";
        editor->ChangeValue(wxString::FromUTF8(missing));
        {
            MessageAnswers answers(wxID_OK);
            EXPECT_TRUE(Press(editor, wxEVT_CHAR_HOOK, WXK_RETURN));
            ASSERT_TRUE(guitest::WaitFor([&] { return !answers.texts.empty(); }));
            EXPECT_EQ(answers.texts[0].rfind("不能把路径改为 " + missing + ": ", 0), 0u)
                << answers.texts[0];
            EXPECT_GT(answers.texts[0].size(), ("不能把路径改为 " + missing + ": ").size());
        }
        EXPECT_TRUE(sheet->IsModal());
        EXPECT_EQ(page->Paths().Items(), (std::vector<std::string>{first, "本地硬盘"}));
        ASSERT_TRUE(guitest::WaitFor([list] { return list->GetEditControl() != nullptr; }));
        editor = list->GetEditControl();
        EXPECT_EQ(WxToUtf8(editor->GetValue()), missing);

        // Escape leaves the path as it was, and the sheet open.
        EXPECT_TRUE(Press(editor, wxEVT_CHAR_HOOK, WXK_ESCAPE));
        EXPECT_TRUE(sheet->IsModal());
        EXPECT_EQ(list->GetEditControl(), nullptr);
        EXPECT_EQ(WxToUtf8(list->GetItemText(1)), "本地硬盘");

        // A folder that exists, typed without its separator: shown and kept with it.
        editor = page->EditInPlace();
        ASSERT_NE(editor, nullptr);
        editor->ChangeValue(wxString::FromUTF8(second.substr(0, second.size() - 1)));
        EXPECT_TRUE(Press(editor, wxEVT_CHAR_HOOK, WXK_RETURN));
        EXPECT_EQ(page->Paths().Items(), (std::vector<std::string>{first, second}));
        EXPECT_EQ(WxToUtf8(list->GetItemText(1)), second);
        EXPECT_TRUE(sheet->IsModal());

        // Ctrl+PageDown, Ctrl+PageUp, Ctrl+Tab and Ctrl+Shift+Tab change the page from the
        // list, which would take PageDown and Tab for itself; PageDown alone stays the list's.
        wxBookCtrlBase* book = sheet->GetBookCtrl();
        list->SetFocus();
        guitest::WaitFor([list] { return list->IsDescendant(wxWindow::FindFocus()); });
        wxWindow* rows = wxWindow::FindFocus();
        ASSERT_NE(rows, nullptr);
        EXPECT_FALSE(Press(rows, wxEVT_CHAR_HOOK, WXK_PAGEDOWN));
        EXPECT_EQ(book->GetSelection(), 0);
        EXPECT_TRUE(Press(rows, wxEVT_CHAR_HOOK, WXK_PAGEDOWN, wxMOD_CONTROL));
        EXPECT_EQ(book->GetSelection(), 1);
        EXPECT_TRUE(Press(rows, wxEVT_CHAR_HOOK, WXK_PAGEUP, wxMOD_CONTROL));
        EXPECT_EQ(book->GetSelection(), 0);
        EXPECT_TRUE(Press(rows, wxEVT_CHAR_HOOK, WXK_PAGEUP, wxMOD_CONTROL));
        EXPECT_EQ(book->GetSelection(), 2) << "round from the first page to the last";
        EXPECT_TRUE(Press(rows, wxEVT_CHAR_HOOK, WXK_TAB, wxMOD_CONTROL));
        EXPECT_EQ(book->GetSelection(), 0);
        EXPECT_TRUE(Press(rows, wxEVT_CHAR_HOOK, WXK_TAB, wxMOD_CONTROL));
        EXPECT_EQ(book->GetSelection(), 1);
        EXPECT_TRUE(Press(rows, wxEVT_CHAR_HOOK, WXK_TAB, wxMOD_CONTROL | wxMOD_SHIFT));
        EXPECT_EQ(book->GetSelection(), 0);
        EXPECT_EQ(page->Paths().Items(), (std::vector<std::string>{first, second}));

        // Enter on the list now presses OK.
        list->SetFocus();
        guitest::WaitFor([list] { return list->IsDescendant(wxWindow::FindFocus()); });
        EXPECT_TRUE(Press(wxWindow::FindFocus(), wxEVT_CHAR_HOOK, WXK_RETURN));
    });
    ASSERT_TRUE(RunSearchOptionsSheet(&frame, options));
    EXPECT_EQ(options.paths, (std::vector<std::string>{first, second}));
}

}  // namespace
