// The pictures of the README that show the window at work, taken on a virtual display by
// scripts/screenshot.sh (not a test: it checks nothing but that a picture was written).
//   window_pictures --gtest_filter=Pictures.WindowAfterASearch   PAIRSCOUT_SCREENSHOT=OUT.png
//   window_pictures --gtest_filter=Pictures.FirstWindow          PAIRSCOUT_SCREENSHOT=OUT.png
//   window_pictures --gtest_filter=Pictures.EmptyWindow          PAIRSCOUT_SCREENSHOT=OUT.png
//   window_pictures --gtest_filter=Pictures.PropertiesOfALongPath PAIRSCOUT_SCREENSHOT=OUT.png
//   window_pictures --gtest_filter=Pictures.FindInTheRows        PAIRSCOUT_SCREENSHOT=OUT.png
//   window_pictures --gtest_filter=Pictures.MessageBox           PAIRSCOUT_SCREENSHOT=OUT.png
//   window_pictures --gtest_filter=Pictures.KeepRulesPage        PAIRSCOUT_SCREENSHOT=OUT.png
//   window_pictures --gtest_filter=Pictures.KeepReasons          PAIRSCOUT_SCREENSHOT=OUT.png
//   window_pictures --gtest_filter=Pictures.PrintPreview         PAIRSCOUT_SCREENSHOT=OUT.png
//   window_pictures --gtest_filter=Pictures.AfterHardLinks       PAIRSCOUT_SCREENSHOT=OUT.png
//   window_pictures --gtest_filter=Pictures.HelpAboutMasks       PAIRSCOUT_SCREENSHOT=OUT.png
//   window_pictures --gtest_filter=Pictures.PathChangedInPlace   PAIRSCOUT_SCREENSHOT=OUT.png
//   window_pictures --gtest_filter=Pictures.ProgressWithDisks    PAIRSCOUT_SCREENSHOT=OUT.png
//   window_pictures --gtest_filter=Pictures.ReopenedResults      PAIRSCOUT_SCREENSHOT=OUT.png
//   window_pictures --gtest_filter=Pictures.CatalogComparison    PAIRSCOUT_SCREENSHOT=OUT.png
//   window_pictures --gtest_filter=Pictures.MarkMenu             PAIRSCOUT_SCREENSHOT=OUT.png
//   window_pictures --gtest_filter=Pictures.SortedList           PAIRSCOUT_SCREENSHOT=OUT.png
//   window_pictures --gtest_filter=Pictures.FilteredList         PAIRSCOUT_SCREENSHOT=OUT.png
//   window_pictures --gtest_filter=Pictures.PreviewOfAPhoto      PAIRSCOUT_SCREENSHOT=OUT.png
//   window_pictures --gtest_filter=Pictures.ProtectedRows        PAIRSCOUT_SCREENSHOT=OUT.png
// (run under the locale to show, e.g. LANG=zh_CN.UTF-8: the program takes the user's locale)
#include <algorithm>
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/fdrepdlg.h>
#include <wx/html/helpctrl.h>
#include <wx/html/helpwnd.h>
#include <wx/html/htmlwin.h>
#include <wx/listctrl.h>
#include <wx/textctrl.h>
#include <wx/image.h>
#include <wx/mstream.h>
#include <cmath>
#include <wx/print.h>
#include <wx/menu.h>
#include <wx/timer.h>
#include <wx/uiaction.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include <wx/bookctrl.h>
#include <wx/stattext.h>

#include "app/gui_test_env.h"
#include "app/geminex_app.h"
#include "engine/store/catalog.h"
#include "options/keep_rules_page.h"
#include "results/file_properties_dlg.h"
#include "results/folder_dialog.h"
#include "results/geminex_view.h"
#include "results/preview_pane.h"
#include "results/progress_dialog.h"
#include "options/paths_page.h"
#include "options/options_sheet.h"
#include "gui/command_ids.h"
#include "gui/frame_resources.h"
#include "gui/message_box.h"
#include "support/message_answers.h"
#include "gui/wx_text.h"
#include "support/model_rows.h"
#include "support/temp_dir.h"

namespace {

class Pictures : public GeminexViewAppTest {
protected:
    void SetUp() override {
        GeminexViewAppTest::SetUp();
        const char* path = std::getenv("PAIRSCOUT_SCREENSHOT");
        ASSERT_NE(path, nullptr) << "PAIRSCOUT_SCREENSHOT names the PNG file to write";
        out = path;
        if (wxImage::FindHandler(wxBITMAP_TYPE_PNG) == nullptr) wxImage::AddHandler(new wxPNGHandler);
    }

    // Saves `area` of the screen as it is now.
    void Save(const wxRect& area) {
        guitest::ProcessEvents(500);
        wxScreenDC screen;
        wxBitmap bitmap(area.width, area.height);
        wxMemoryDC memory(bitmap);
        memory.Blit(0, 0, area.width, area.height, &screen, area.x, area.y);
        memory.SelectObject(wxNullBitmap);
        ASSERT_TRUE(bitmap.SaveFile(Utf8ToWx(out), wxBITMAP_TYPE_PNG)) << out;
        std::printf("saved %s\n", out.c_str());
    }

    std::string out;
};

// A finished search with groups of three and two, the fifth row selected.
TEST_F(Pictures, WindowAfterASearch) {
    TempDir tree;
    guitest::WritePictureTree(tree);
    frame->SetSize(wxSize(900, 420));
    frame->Move(0, 0);
    SearchOptions options;
    options.paths = {tree.Path()};
    ASSERT_TRUE(view->StartSearch(options));
    ASSERT_TRUE(guitest::WaitFor([this] { return !view->IsBusy(); }, 60000));
    list->ClearSelection(true);
    list->SetItemState(4, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    list->SetItemState(4, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
    Save(frame->GetScreenRect());
}

// The window as it first opens (no place kept yet), after a search: every column in sight.
TEST_F(Pictures, FirstWindow) {
    TempDir tree;
    guitest::WritePictureTree(tree);
    SearchOptions options;
    options.paths = {tree.Path()};
    ASSERT_TRUE(view->StartSearch(options));
    ASSERT_TRUE(guitest::WaitFor([this] { return !view->IsBusy(); }, 60000));
    list->ClearSelection(true);
    list->SetItemState(0, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
    Save(frame->GetScreenRect());
}

// The window before any search: the empty list says where to begin.
TEST_F(Pictures, EmptyWindow) {
    frame->SetSize(wxSize(900, 420));
    frame->Move(0, 0);
    ASSERT_TRUE(list->EmptyHint()->IsShown());
    Save(frame->GetScreenRect());
}

// The properties of a file whose path is longer than the dialog is wide: the path wrapped.
TEST_F(Pictures, PropertiesOfALongPath) {
    TempDir tree;
    std::string folders;
    for (int i = 1; i <= 6; ++i)
        folders += "第" + std::to_string(i) + "层 一个相当长的文件夹名字 folder/";
    const std::string path = tree.WriteFile(folders + "2021 年夏天的照片.jpg", "x");
    CFilePropertiesDlg dialog(frame, path);
    dialog.Move(0, 0);
    dialog.Show();
    guitest::ProcessEvents(500);
    Save(dialog.GetScreenRect());
}

// Saved results opened again after one copy was written to and one removed: both greyed with
// why, the rest as saved.
TEST_F(Pictures, ReopenedResults) {
    TempDir tree, saved;
    guitest::WritePictureTree(tree);
    frame->SetSize(wxSize(980, 330));
    frame->Move(0, 0);
    SearchOptions options;
    options.paths = {tree.Path()};
    ASSERT_TRUE(view->StartSearch(options));
    ASSERT_TRUE(guitest::WaitFor([this] { return !view->IsBusy(); }, 60000));
    const std::string file = saved / "照片.pairscout";
    ASSERT_TRUE(view->SaveResults(file));
    tree.WriteFile("备份/海边.jpg", std::string(70000, 'q'));
    std::filesystem::remove(tree / "下载/report.pdf");
    MessageAnswers answers(wxID_OK);
    ASSERT_TRUE(view->OpenResults(file));
    ASSERT_TRUE(guitest::WaitFor([this] { return !view->IsBusy(); }, 60000));
    list->ClearSelection(true);
    view->SelectAllDuplicates();
    Save(frame->GetScreenRect());
}

// The files of a folder whose bytes a catalog of a drive that is not here already holds.
TEST_F(Pictures, CatalogComparison) {
    TempDir drive, here, saved;
    guitest::WritePictureTree(drive);
    here.WriteFile("新照片/海边.jpg", std::string(70000, 'p'));
    here.WriteFile("新照片/日落.jpg", std::string(60000, 'n'));
    here.WriteFile("文档/report (2).pdf", std::string(12000, 'r'));
    SearchOptions options;
    options.paths = {drive.Path()};
    Catalog catalog;
    ASSERT_TRUE(MakeCatalog(options, nullptr, nullptr, &catalog));
    catalog.name = "移动硬盘";
    const std::string file = saved / "移动硬盘.pscatalog";
    saved.WriteFile("移动硬盘.pscatalog", FormatCatalogDocument(catalog));
    frame->SetSize(wxSize(980, 260));
    frame->Move(0, 0);
    options.paths = {here.Path()};
    MessageAnswers answers(wxID_OK);
    ASSERT_TRUE(view->CompareWithCatalog(file, options));
    ASSERT_TRUE(guitest::WaitFor([this] { return !view->IsBusy(); }, 60000));
    list->ClearSelection(true);
    view->SelectAllDuplicates();
    Save(frame->GetScreenRect());
}

// The progress window of a search while it reads, with the line that tells how its disk is
// read. A slow stand-in for the disk keeps the window up.
TEST_F(Pictures, ProgressWithDisks) {
    TempDir tree;
    for (int i = 0; i < 40; ++i) {
        tree.WriteFile("a/" + std::to_string(i) + ".txt", std::string(1000 + i, 'x'));
        tree.WriteFile("b/" + std::to_string(i) + ".txt", std::string(1000 + i, 'x'));
    }
    frame->SetSize(wxSize(700, 360));
    frame->Move(0, 0);
    view->SetContentReader([](CFileRecord& record, const DetailsRequest& request) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        record.ComputeDetails(request);
    });
    SearchOptions options;
    options.paths = {tree.Path()};
    ASSERT_TRUE(view->StartSearch(options));
    CProgressDialog* dialog = nullptr;
    ASSERT_TRUE(guitest::WaitFor([&] {
        for (wxWindow* w : wxTopLevelWindows)
            if (auto* d = dynamic_cast<CProgressDialog*>(w); d != nullptr && d->IsShown())
                dialog = d;
        return dialog != nullptr && !dialog->Progress()->DetailsText().empty();
    }, 20000));
    guitest::ProcessEvents(400);
    const wxSize screen = wxGetDisplaySize();
    Save(wxRect(0, 0, std::min(screen.x, 700), std::min(screen.y, 360)));
    dialog->Cancel();
    ASSERT_TRUE(guitest::WaitFor([this] { return !view->IsBusy(); }, 20000));
}

// The rows with the find dialog over them, a row found.
TEST_F(Pictures, FindInTheRows) {
    view->SetModel(Groups({{"/home/li/照片/2021/海边.jpg", "/home/li/备份/海边.jpg",
                            "/media/usb/海边 (1).jpg"},
                           {"/home/li/文档/report.pdf", "/home/li/下载/report.pdf"},
                           {"/home/li/音乐/song.mp3", "/home/li/备份/音乐/song.mp3"}}));
    frame->SetSize(wxSize(900, 420));
    frame->Move(20, 20);
    // Sizing columns by their contents is the search's business; here they get fixed widths.
    const int widths[] = {300, 150, 60, 70, 60};
    for (int column = 0; column < 5; ++column) list->SetColumnWidth(column, widths[column]);
    wxFindDialogEvent find(wxEVT_FIND_NEXT, wxID_ANY);
    find.SetFindString("report");
    find.SetFlags(wxFR_DOWN);
    list->GetEventHandler()->ProcessEvent(find);
    list->ShowFindDialog(true);
    list->GetFindDialog()->Move(frame->GetScreenPosition() + wxPoint(430, 250));
    guitest::ProcessEvents(50);
    const wxSize screen = wxGetDisplaySize();
    Save(wxRect(0, 0, std::min(screen.x, 960), std::min(screen.y, 480)));
    list->GetFindDialog()->Close();
    guitest::ProcessEvents(50);
}

// A question of the program in its message box (title and buttons), over the window. The box
// runs the toolkit's own loop: the picture is taken from inside it, then Escape closes it.
TEST_F(Pictures, MessageBox) {
    frame->SetSize(wxSize(700, 360));
    frame->Move(0, 0);
    wxTheApp->CallAfter([this] {
        guitest::ProcessEvents(800);
        const wxSize screen = wxGetDisplaySize();
        Save(wxRect(0, 0, std::min(screen.x, 800), std::min(screen.y, 480)));
        wxUIActionSimulator().Char(WXK_ESCAPE);
    });
    const int answer = ShowMessageBox(frame, Utf8ToWx(FormatReplaceFile("/home/li/重复的文件.csv")),
                                      wxYES_NO | wxNO_DEFAULT | wxICON_WARNING);
    EXPECT_NE(answer, wxID_YES);
}

// The keep rules page of the options sheet: the default rules, a priority folder and a
// protected one.
TEST_F(Pictures, KeepRulesPage) {
    COptionsSheet sheet(frame);
    SearchOptions options = view->GetSearchOptions();
    options.paths = {"/home/li"};
    sheet.CopyIn(options);
    KeepSettings keep = KeepSettings::Defaults();
    keep.priorityFolders = {"/home/li/照片", "/home/li/文档"};
    keep.protectedFolders = {"/media/备份盘/原件"};
    sheet.CopyInKeep(keep);
    sheet.GetBookCtrl()->SetSelection(2);
    sheet.Move(0, 0);
    sheet.Show();
    guitest::ProcessEvents(300);
    Save(sheet.GetScreenRect());
    sheet.Hide();
}

// A search kept by the default rules: the originals head their groups, the sixth column says
// which rule kept each.
TEST_F(Pictures, KeepReasons) {
    TempDir tree;
    auto write = [&](const std::string& name, const std::string& bytes, int hours) {
        const std::string path = tree.WriteFile(name, bytes);
        std::filesystem::last_write_time(
            std::filesystem::u8path(path),
            std::filesystem::file_time_type::clock::now() - std::chrono::hours(hours));
    };
    write("视频/电影.mkv", std::string(9000, 'm'), 300);
    write("下载/电影 (副本).mkv", std::string(9000, 'm'), 100);
    write("2023年/旅行/长城.jpg", std::string(4000, 'j'), 200);
    write("2023年/旅行/长城_备份.jpg", std::string(4000, 'j'), 250);
    write("工作/报告.txt", std::string(700, 't'), 400);
    write("工作/报告 副本.txt", std::string(700, 't'), 300);
    write("备份/报告.txt", std::string(700, 't'), 50);
    frame->SetSize(wxSize(1000, 320));
    frame->Move(0, 0);
    SearchOptions options = view->GetSearchOptions();
    options.paths = {tree.Path()};
    options.mask = "*.*";
    options.filter = SearchFilter();
    options.keep = KeepSettings::Defaults().Policy();
    ASSERT_TRUE(view->StartSearch(options));
    ASSERT_TRUE(guitest::WaitFor([this] { return !view->IsBusy(); }, 60000));
    list->SelectRows(view->GetModel().DuplicateRows());
    Save(frame->GetScreenRect());
}

// The print preview of a search's rows (File, Print preview): the heading row, a long path cut
// in the middle, the date of the search and the page number at the foot.
TEST_F(Pictures, PrintPreview) {
    std::vector<std::vector<std::string>> groups = {
        {"/home/li/照片/2021/海边.jpg", "/home/li/备份/海边.jpg", "/media/usb/海边 (1).jpg"},
        {"/home/li/照片/2021年夏天/海边的日落与晚霞/北戴河/第二天早上/一个很长的文件夹名字/"
         "另一个更长的文件夹名字/IMG_20210715_063015_HDR.jpg",
         "/home/li/下载/IMG_20210715_063015_HDR.jpg"},
        {"/home/li/文档/report.pdf", "/home/li/下载/report.pdf"}};
    for (int i = 0; i < 40; ++i)
        groups.push_back({"/srv/data/set" + std::to_string(i) + "/file.bin",
                          "/srv/copy/set" + std::to_string(i) + "/file.bin"});
    auto model = Groups(groups);
    model->SetSearchTime(kWritten + 86400LL * platform::kFileTimeTicksPerSecond);
    view->SetModel(std::move(model));
    ASSERT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_FILE_PRINT_PREVIEW)));
    wxPreviewFrame* preview = nullptr;
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* found = wxDynamicCast(window, wxPreviewFrame)) preview = found;
    ASSERT_NE(preview, nullptr);
    preview->SetSize(0, 0, 700, 1000);
    for (wxWindow* child : preview->GetChildren())
        if (auto* bar = wxDynamicCast(child, wxPreviewControlBar)) {
            bar->SetZoomControl(75);
            bar->GetPrintPreview()->SetZoom(75);
        }
    guitest::ProcessEvents(300);
    Save(preview->GetScreenRect());
    preview->Close();
    guitest::ProcessEvents(100);
}

// The groups after 编辑 → 替换为硬链接 on the duplicates of one group: their rows stay, marked
// 硬链接, and the status bar says what was done and what the file system freed.
TEST_F(Pictures, AfterHardLinks) {
    TempDir tree;
    tree.WriteFile("照片/2023/长城.jpg", std::string(400000, 'j'));
    tree.WriteFile("下载/长城.jpg", std::string(400000, 'j'));
    tree.WriteFile("备份/旧手机/长城.jpg", std::string(400000, 'j'));
    tree.WriteFile("工作/报告.txt", std::string(7000, 't'));
    tree.WriteFile("工作/报告 副本.txt", std::string(7000, 't'));
    frame->SetSize(wxSize(1000, 300));
    frame->Move(0, 0);
    KeepSettings keep = KeepSettings::Defaults();
    keep.priorityFolders = {tree / "照片"};
    view->SetKeepSettings(keep);
    SearchOptions options = view->GetSearchOptions();
    options.paths = {tree.Path()};
    options.mask = "*.*";
    options.filter = SearchFilter();
    options.keep = keep.Policy();
    ASSERT_TRUE(view->StartSearch(options));
    ASSERT_TRUE(guitest::WaitFor([this] { return !view->IsBusy(); }, 60000));
    // The photo's two copies (the group of three comes first: it frees the most).
    list->SelectRows({1, 2});
    MessageAnswers answers(wxID_YES);
    ASSERT_TRUE(view->ReplaceSelected(DuplicateActionKind::kHardLink));
    ASSERT_TRUE(guitest::WaitFor([this] { return !view->IsBusy(); }, 60000));
    list->ClearSelection(true);
    Save(frame->GetScreenRect());
}

// The help book's page about masks, as this platform's book gives them, centred on the window.
TEST_F(Pictures, HelpAboutMasks) {
    frame->SetSize(wxSize(1000, 700));
    frame->Move(0, 0);
    ASSERT_TRUE(app->ShowHelpPage("masks.html"));
    wxFrame* help = app->GetHelpController()->GetFrame();
    ASSERT_NE(help, nullptr);
    // Taller than its first size, at the examples, still centred on the main window.
    help->SetSize(wxRect(110, 10, 780, 680));
    wxHtmlWindow* html = app->GetHelpController()->GetHelpWindow()->GetHtmlWindow();
    guitest::ProcessEvents(300);
    html->LoadPage(html->GetOpenedPage() + "#examples");
    guitest::ProcessEvents(500);
    Save(frame->GetScreenRect().Union(help->GetScreenRect()));
    app->CloseHelp();
}

// The Paths page with its selected path being changed in place (F2).
TEST_F(Pictures, PathChangedInPlace) {
    COptionsSheet sheet(frame);
    SearchOptions options = view->GetSearchOptions();
    options.paths = {"/home/li/照片/", "本地硬盘", "//nas"};
    options.mask = "*.*;~*.tmp";
    sheet.CopyIn(options);
    sheet.Move(0, 0);
    sheet.Show();
    guitest::ProcessEvents(300);
    CPathsPage* page = sheet.PathsPage();
    wxListCtrl* paths = page->PathList();
    paths->SetItemState(0, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                        wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    guitest::ProcessEvents(100);
    wxTextCtrl* editor = page->EditInPlace();
    ASSERT_NE(editor, nullptr);
    editor->ChangeValue(wxString::FromUTF8("/home/li/照片/2024年"));
    editor->SetInsertionPointEnd();
    Save(sheet.GetScreenRect());
    paths->EndEditLabel(true);
    sheet.Hide();
}

}  // namespace

// The folder view: a backup folder that is a copy of the photo folder, and a folder whose every
// file is already elsewhere, with the folders holding the copies under it.
TEST_F(Pictures, DuplicateFolders) {
    TempDir tree;
    for (const std::string top : {"照片/", "备份/照片 2023/"}) {
        tree.WriteFile(top + "海边.jpg", std::string(70000, 'p'));
        tree.WriteFile(top + "日落.jpg", std::string(60000, 'n'));
        tree.WriteFile(top + "旅行/山.jpg", std::string(50000, 'm'));
    }
    tree.WriteFile("旧手机/IMG_0001.jpg", std::string(70000, 'p'));
    tree.WriteFile("旧手机/IMG_0002.jpg", std::string(50000, 'm'));
    tree.WriteFile("下载/日落 (1).jpg", std::string(60000, 'n'));
    tree.WriteFile("旧手机/IMG_0003.jpg", std::string(60000, 'n'));
    SearchOptions options;
    options.paths = {tree.Path()};
    ASSERT_TRUE(view->StartSearch(options));
    ASSERT_TRUE(guitest::WaitFor([this] { return !view->IsBusy(); }, 60000));
    CFolderDialog dialog(frame, [this](bool names) {
        return FindFolderGroups(view->GetModel(), view->Listed().foldersSeen, names);
    }, true, nullptr);
    dialog.Move(0, 0);
    dialog.Show();
    dialog.SelectDuplicates();
    Save(dialog.GetScreenRect());
}

// A photo folder and its backup after a search, for the marking, sort and filter pictures.
void SearchPhotoBackup(CGeminexView* view, wxFrame* frame, const TempDir& tree) {
    guitest::WritePictureTree(tree);
    tree.WriteFile("照片/2022/山.jpg", std::string(90000, 'm'));
    tree.WriteFile("备份/2022/山.jpg", std::string(90000, 'm'));
    tree.WriteFile("照片/2023/日落.jpg", std::string(30000, 'n'));
    tree.WriteFile("备份/2023/日落.jpg", std::string(30000, 'n'));
    tree.WriteFile("下载/日落 (1).jpg", std::string(30000, 'n'));
    frame->SetSize(wxSize(960, 460));
    frame->Move(0, 0);
    SearchOptions options;
    options.paths = {tree.Path()};
    ASSERT_TRUE(view->StartSearch(options));
    ASSERT_TRUE(guitest::WaitFor([view] { return !view->IsBusy(); }, 60000));
}

// 编辑 → 标记 open over the list (the menu as the context menu shows it too), after
// 每组保留最新的 has marked the rows.
TEST_F(Pictures, MarkMenu) {
    TempDir tree;
    SearchPhotoBackup(view, frame, tree);
    ASSERT_TRUE(view->Mark(cmd::ID_MARK_BUT_NEWEST));
    list->SetItemState(1, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
    std::unique_ptr<wxMenu> menu(BuildSubmenu(*FindSubmenu(IDS_MENU_MARK)));
    // The picture is taken while the menu is open; the menu then closes.
    bool saved = false;
    wxTimer timer;
    timer.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        Save(frame->GetScreenRect());
        saved = true;
        wxUIActionSimulator().Char(WXK_ESCAPE);
    });
    timer.StartOnce(800);
    list->PopupMenu(menu.get(), wxPoint(220, 60));
    guitest::WaitFor([&] { return saved; }, 5000);
    EXPECT_TRUE(saved);
}

// The groups by size, largest first: the arrow on the size heading.
TEST_F(Pictures, SortedList) {
    TempDir tree;
    SearchPhotoBackup(view, frame, tree);
    ASSERT_TRUE(view->SortBy(SortKey::kSize));
    list->SetItemState(0, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
    Save(frame->GetScreenRect());
}

// "照片/20" in the filter box: the three groups with a copy in the photo folder's years, the
// count beside the box, their duplicates selected.
TEST_F(Pictures, FilteredList) {
    TempDir tree;
    SearchPhotoBackup(view, frame, tree);
    view->GetFilterBox()->ChangeValue(Utf8ToWx("照片/20"));
    view->SetFilterText("照片/20");
    frame->ExecuteCommand(WxId(cmd::ID_SELECT_ALL_DUPLICATES));
    Save(frame->GetScreenRect());
}

namespace {

// A small photo of its own: a sky over hills under a sun, as a JPEG.
std::string PhotoBytes(int width, int height) {
    wxImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double hill = height * (0.62 + 0.08 * std::sin(x * 0.03) + 0.05 * std::sin(x * 0.011 + 1));
            const double sun = std::hypot(x - width * 0.7, y - height * 0.3);
            unsigned char r, g, b;
            if (y > hill) {
                r = 40 + (y * 30) / height; g = 110 + (x * 40) / width; b = 50;
            } else if (sun < height * 0.12) {
                r = 255; g = 220; b = 90;
            } else {
                r = static_cast<unsigned char>(250 - (y * 150) / height);
                g = static_cast<unsigned char>(150 + (y * 60) / height);
                b = static_cast<unsigned char>(120 + (y * 120) / height);
            }
            image.SetRGB(x, y, r, g, b);
        }
    if (wxImage::FindHandler(wxBITMAP_TYPE_JPEG) == nullptr) wxImage::AddHandler(new wxJPEGHandler);
    wxMemoryOutputStream out;
    image.SaveFile(out, wxBITMAP_TYPE_JPEG);
    std::string bytes(out.GetLength(), '\0');
    out.CopyTo(&bytes[0], bytes.size());
    return bytes;
}

}  // namespace

// 查看 → 预览 on a photo that has two copies in the backup: the picture, its facts and the
// group's copies under it.
TEST_F(Pictures, PreviewOfAPhoto) {
    TempDir tree;
    const std::string photo = PhotoBytes(640, 427);
    tree.WriteFile("照片/2024/海边.jpg", photo);
    tree.WriteFile("备份/照片/2024/海边.jpg", photo);
    tree.WriteFile("备份/旧/海边 (1).jpg", photo);
    tree.WriteFile("照片/2024/说明.txt", "海边的照片\n拍摄于 2024 年夏天\n");
    tree.WriteFile("备份/说明.txt", "海边的照片\n拍摄于 2024 年夏天\n");
    frame->SetSize(wxSize(1100, 620));
    frame->Move(0, 0);
    SearchOptions options;
    options.paths = {tree.Path()};
    ASSERT_TRUE(view->StartSearch(options));
    ASSERT_TRUE(guitest::WaitFor([this] { return !view->IsBusy(); }, 60000));
    view->ShowPreview(true);
    list->ClearSelection(true);
    list->SetItemState(1, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                       wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    ASSERT_TRUE(guitest::WaitFor([this] {
        return view->GetPreviewPane()->Shown().kind == PreviewContent::kPicture;
    }, 10000));
    Save(frame->GetScreenRect());
}

// A reference folder marked protected: its files carry the padlock and their own colour, and
// the headline counts only the copies that can go.
TEST_F(Pictures, ProtectedRows) {
    TempDir tree;
    const std::string photo = PhotoBytes(64, 48);
    tree.WriteFile("参考/相册/海边.jpg", photo);
    tree.WriteFile("下载/海边.jpg", photo);
    tree.WriteFile("参考/文档/报告.txt", std::string(700, 't'));
    tree.WriteFile("桌面/报告 副本.txt", std::string(700, 't'));
    tree.WriteFile("下载/报告.txt", std::string(700, 't'));
    tree.WriteFile("下载/音乐.mp3", std::string(3000, 'm'));
    tree.WriteFile("桌面/音乐.mp3", std::string(3000, 'm'));
    frame->SetSize(wxSize(1000, 330));
    frame->Move(0, 0);
    SearchOptions options = view->GetSearchOptions();
    options.paths = {tree.Path()};
    options.mask = "*.*";
    options.filter = SearchFilter();
    options.keep = KeepSettings::Defaults().Policy();
    options.keep.protectedFolders = {tree.Path() + "参考"};
    ASSERT_TRUE(view->StartSearch(options));
    ASSERT_TRUE(guitest::WaitFor([this] { return !view->IsBusy(); }, 60000));
    list->ClearSelection(true);
    Save(frame->GetScreenRect());
}

