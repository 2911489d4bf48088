// Start paths typed on the Paths page: the keyword, servers and folders that exist go in;
// anything else is refused with its reason.
#include <gtest/gtest.h>

#include <wx/frame.h>
#include <wx/textctrl.h>

#include "app/gui_test_env.h"
#include "options/paths_list.h"
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

}  // namespace
