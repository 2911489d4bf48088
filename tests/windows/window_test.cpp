// The window on Windows (wxMSW, run under Wine): the main window with its Chinese title, menus
// and toolbar as the native controls hold them, a search started through the menu's command,
// select all duplicates and Delete into the recycle bin, the settings in the registry, and
// wx's own texts in Chinese from the catalog inside the program.
#include "platform/win32/win32.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/listctrl.h>
#include <wx/menu.h>
#include <wx/stockitem.h>
#include <wx/toolbar.h>
#include <wx/translation.h>

#include "engine/search/duplicate_search.h"
#include "engine/text/text_language.h"
#include "gui/command_ids.h"
#include "gui/message_box.h"
#include "platform/text_catalog.h"
#include "app/gui_test_env.h"
#include "gui/settings_store.h"
#include "gui/wx_text.h"
#include "options/kv_file_dialog.h"
#include "options/options_sheet.h"
#include "results/geminex_view.h"
#include "ui/about_dlg.h"
#include "support/message_answers.h"
#include "support/temp_dir.h"
#include "support/version_resource.h"
#include "support/windows_name_tree.h"

namespace {

// The string that names the maker's key (the program's settings are kept under it).
constexpr int kRegistryKeyId = 2139;

std::wstring Wide(const std::string& text) { return Utf8ToWx(text).ToStdWstring(); }

bool Exists(const std::string& path) {
    return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A value of HKEY_CURRENT_USER\Software\<vendor>\<program>\<section> as stored, with its type.
bool ReadRegistry(const std::string& section, const std::string& entry, DWORD* type,
                  std::vector<unsigned char>* data) {
    const std::wstring key = L"Software\\" + Wide(LoadStringText(kRegistryKeyId)) + L"\\" +
                             Wide(LoadStringText(IDS_APP_TITLE)) + L"\\" +
                             Wide(section);
    DWORD size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, key.c_str(), Wide(entry).c_str(), RRF_RT_ANY, type,
                     nullptr, &size) != ERROR_SUCCESS) {
        return false;
    }
    data->resize(size);
    return RegGetValueW(HKEY_CURRENT_USER, key.c_str(), Wide(entry).c_str(), RRF_RT_ANY, type,
                        data->data(), &size) == ERROR_SUCCESS;
}

class WindowsWindowTest : public GeminexViewAppTest {
protected:
    // Two groups: three copies of 300 bytes (one under a Chinese folder and name) and two of
    // 100 bytes; a file of the same size with other bytes and a file of its own size.
    void MakeTree() {
        a1 = tree.WriteFile("one\\a.txt", std::string(300, 'a'));
        a2 = tree.WriteFile("两个\\副本 a.txt", std::string(300, 'a'));
        a3 = tree.WriteFile("two\\deep\\a.bak", std::string(300, 'a'));
        b1 = tree.WriteFile("one\\b.dat", std::string(100, 'b'));
        b2 = tree.WriteFile("three\\b.dat", std::string(100, 'b'));
        tree.WriteFile("three\\c.dat", std::string(100, 'c'));
        tree.WriteFile("one\\d.txt", std::string(50, 'd'));
    }

    std::vector<std::string> Column(int column) {
        std::vector<std::string> cells;
        for (long row = 0; row < list->GetItemCount(); ++row)
            cells.push_back(WxToUtf8(list->GetItemText(row, column)));
        return cells;
    }

    TempDir tree;
    std::string a1, a2, a3, b1, b2;
};

TEST_F(WindowsWindowTest, MainWindowShowsItsTitleMenusAndToolbarInChinese) {
    ASSERT_TRUE(frame->IsShown());
    EXPECT_EQ(frame->GetTitle(), "Pairscout");
    const HWND window = static_cast<HWND>(frame->GetHandle());
    wchar_t title[64] = {};
    GetWindowTextW(window, title, 64);
    EXPECT_EQ(std::wstring(title), L"Pairscout");

    // The menu bar's labels as the native menu holds them: wide text, whatever the code page.
    wxMenuBar* bar = frame->GetMenuBar();
    ASSERT_NE(bar, nullptr);
    ASSERT_EQ(bar->GetMenuCount(), 4u);
    const HMENU menu = GetMenu(window);
    ASSERT_NE(menu, nullptr);
    const std::wstring wanted[] = {L"文件(&F)", L"编辑(&E)", L"查看(&V)", L"帮助(&H)"};
    for (int i = 0; i < 4; ++i) {
        wchar_t label[64] = {};
        GetMenuStringW(menu, i, label, 64, MF_BYPOSITION);
        EXPECT_EQ(std::wstring(label), wanted[i]) << i;
    }
    wxMenuItem* find = bar->FindItem(WxId(cmd::ID_FIND_DUPLICATES));
    ASSERT_NE(find, nullptr);
    EXPECT_EQ(find->GetHelp(), Utf8ToWx("查找重复的文件"));

    wxToolBar* tools = frame->GetToolBar();
    ASSERT_NE(tools, nullptr);
    EXPECT_TRUE(tools->IsShown());
    EXPECT_EQ(tools->GetToolsCount(), 9u);
    const wxToolBarToolBase* first = tools->GetToolByPos(0);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->GetId(), WxId(cmd::ID_FIND_DUPLICATES));
    EXPECT_TRUE(first->GetNormalBitmap().IsOk());
    // The five columns of the results and 保留原因, the rule that kept a group's first row.
    EXPECT_EQ(list->GetColumnCount(), 6);
}

TEST_F(WindowsWindowTest, SearchThroughTheMenuCommandListsTheGroups) {
    MakeTree();
    EXPECT_TRUE(SearchThroughTheCommand(tree.Path()));
    guitest::ProcessEvents(50);
    ASSERT_EQ(list->GetItemCount(), 5);
    const std::vector<std::string> paths = Column(0);
    EXPECT_EQ(std::set<std::string>(paths.begin(), paths.begin() + 3),
              (std::set<std::string>{a1, a2, a3}));
    EXPECT_EQ(std::set<std::string>(paths.begin() + 3, paths.end()),
              (std::set<std::string>{b1, b2}));
    // Windows paths: drive and backslashes, as the system gives them.
    EXPECT_EQ(paths[0].substr(1, 2), ":\\");
    EXPECT_EQ(Column(2), (std::vector<std::string>{"300", "", "", "100", ""}));
    EXPECT_EQ(Column(3), (std::vector<std::string>{"89971909", "", "", "250162db", ""}));
    EXPECT_EQ(WxToUtf8(frame->GetIdleText()), "发现 3 个重复文件 (700 字节)");
    // The Chinese name reached the native list as wide text.
    bool chineseShown = false;
    for (long row = 0; row < list->GetItemCount(); ++row)
        chineseShown |= list->GetItemText(row, 0).ToStdWstring().find(L"两个\\副本 a.txt") !=
                        std::wstring::npos;
    EXPECT_TRUE(chineseShown);
}

TEST_F(WindowsWindowTest, SelectAllDuplicatesAndDeleteMoveTheCopiesToTheRecycleBin) {
    MakeTree();
    EXPECT_TRUE(SearchThroughTheCommand(tree.Path()));
    guitest::ProcessEvents(50);
    ASSERT_EQ(list->GetItemCount(), 5);
    view->SetShiftDownHook([] { return false; });
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_SELECT_ALL_DUPLICATES)));
    ASSERT_EQ(list->GetSelectedItemCount(), 3);
    std::vector<std::string> victims, kept;
    for (long row = 0; row < list->GetItemCount(); ++row) {
        const bool selected = list->GetItemState(row, wxLIST_STATE_SELECTED) != 0;
        (selected ? victims : kept).push_back(WxToUtf8(list->GetItemText(row, 0)));
    }
    // Every copy but the first of each group.
    EXPECT_EQ(kept, (std::vector<std::string>{Column(0)[0], Column(0)[3]}));
    MessageAnswers answers(wxID_OK);
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_DELETE_FILES)));
    // The delete runs on a worker: its rows are gone once the view is no longer busy.
    ASSERT_TRUE(guitest::WaitFor([&] { return !view->IsBusy(); }, 60000));
    EXPECT_TRUE(answers.texts.empty()) << "no question before the recycle bin";
    for (const std::string& victim : victims) EXPECT_FALSE(Exists(victim)) << victim;
    // The first of each group stays; alone, it is no longer listed.
    for (const std::string& file : kept) EXPECT_TRUE(Exists(file)) << file;
    EXPECT_EQ(list->GetItemCount(), 0);
    EXPECT_EQ(view->GetModel().DuplicateCount(), 0);

    // Under Wine the recycle bin is the host's trash; the test script says where it is.
    if (const char* trash = std::getenv("PAIRSCOUT_TEST_TRASH_FILES")) {
        for (const std::string& victim : victims) {
            const std::string name = victim.substr(victim.rfind('\\') + 1);
            const std::string inBin = std::string(trash) + "\\" + name;
            EXPECT_TRUE(Exists(inBin)) << inBin;
            EXPECT_EQ(ReadWholeFile(inBin).size(), victim.find("b.dat") != std::string::npos
                                                       ? 100u
                                                       : 300u);
        }
    }
}

// Names outside every code page (Chinese, Cyrillic, emoji, a lone surrogate) and a file deeper
// than 260 characters: listed as the system names them, moved to the recycle bin; the deep
// file, which the bin cannot take, stays and the message says why.
TEST_F(WindowsWindowTest, NamesOutsideTheCodePageAreListedAndDeleted) {
    const WindowsNameTree names(tree);
    EXPECT_TRUE(SearchThroughTheCommand(tree.Path()));
    guitest::ProcessEvents(50);
    const ResultsModel& model = view->GetModel();
    ASSERT_EQ(static_cast<std::size_t>(list->GetItemCount()), names.All().size());
    std::vector<std::string> listed;
    for (long row = 0; row < list->GetItemCount(); ++row) {
        const std::string path = model.Row(static_cast<std::size_t>(row)).record->Path();
        listed.push_back(path);
        // The native list holds the very units of the name.
        EXPECT_EQ(list->GetItemText(row, 0).ToStdWstring(), platform::Wide(path)) << path;
    }
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(listed, names.All());
    // In the window's language: this test runs under Wine's English locale too.
    EXPECT_EQ(WxToUtf8(frame->GetIdleText()),
              SummaryText(names.DuplicateCount(), names.DuplicateBytes()));

    // Every copy but the first of each group, the deep file among them.
    view->SetShiftDownHook([] { return false; });
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_SELECT_ALL_DUPLICATES)));
    ASSERT_EQ(list->GetSelectedItemCount(), names.DuplicateCount());
    for (long row = 0; row < list->GetItemCount(); ++row) {
        const std::string path = model.Row(static_cast<std::size_t>(row)).record->Path();
        if (path == names.deep[0] || path == names.deep[1])
            list->SetItemState(row, path == names.deep[0] ? wxLIST_STATE_SELECTED : 0,
                               wxLIST_STATE_SELECTED);
    }
    std::vector<std::string> victims;
    for (long row = 0; row < list->GetItemCount(); ++row)
        if (list->GetItemState(row, wxLIST_STATE_SELECTED) != 0)
            victims.push_back(model.Row(static_cast<std::size_t>(row)).record->Path());
    ASSERT_EQ(static_cast<int>(victims.size()), names.DuplicateCount());
    MessageAnswers answers(wxID_OK);
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_DELETE_FILES)));
    ASSERT_TRUE(guitest::WaitFor([&] { return !view->IsBusy(); }, 60000));
    for (const std::string& victim : victims) {
        if (victim == names.deep[0]) continue;
        EXPECT_FALSE(WindowsNameTree::Exists(victim)) << victim;
    }
    EXPECT_TRUE(WindowsNameTree::Exists(names.deep[0]));
    EXPECT_TRUE(WindowsNameTree::Exists(names.deep[1]));
    ASSERT_EQ(answers.texts.size(), 1u);
    EXPECT_NE(answers.texts[0].find(LoadStringText(IDS_TRASH_PATH_TOO_LONG)), std::string::npos)
        << answers.texts[0];
    // Only the deep pair is left in the list.
    EXPECT_EQ(list->GetItemCount(), 2);
    if (const char* trash = std::getenv("PAIRSCOUT_TEST_TRASH_FILES")) {
        const std::string inBin = std::string(trash) + "\\" + u8"海边.jpg";
        if (std::find(victims.begin(), victims.end(), names.photos[0]) != victims.end()) {
            EXPECT_TRUE(WindowsNameTree::Exists(inBin)) << inBin;
        }
    }
}

// The workbook export from the File menu under a Chinese folder and name, the library's own
// temporary files in the user's temporary folder: a whole workbook, nothing else left beside
// it; a folder that is not there is named in a message.
TEST_F(WindowsWindowTest, WorkbookExportWritesUnderAChineseName) {
    wxMenuItem* item = frame->GetMenuBar()->FindItem(WxId(cmd::ID_EXPORT_XLSX));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(WxToUtf8(item->GetItemLabel()), "导出为 Excel 工作簿(&W)...");
    MakeTree();
    ASSERT_TRUE(SearchThroughTheCommand(tree.Path()));
    guitest::ProcessEvents(50);
    ASSERT_EQ(list->GetItemCount(), 5);
    const std::string folder = tree.MakeDir("导出 表格");
    std::string answer = folder + "结果.xlsx";
    view->SetSaveAsDialog([&answer](CKVFileDialog&, std::string* path) {
        *path = answer;
        return true;
    });
    MessageAnswers answers;
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_EXPORT_XLSX)));
    EXPECT_TRUE(answers.texts.empty());
    std::string bytes;
    if (FILE* file = _wfopen(Wide(answer).c_str(), L"rb")) {
        char buffer[4096];
        std::size_t n;
        while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, n);
        std::fclose(file);
    }
    // A zip file whose parts are a workbook's (the names of a zip's parts are not packed).
    ASSERT_EQ(bytes.substr(0, 2), "PK");
    EXPECT_NE(bytes.find("xl/worksheets/sheet1.xml"), std::string::npos);
    EXPECT_NE(bytes.find("xl/styles.xml"), std::string::npos);
    WIN32_FIND_DATAW found;
    int names = 0;
    const HANDLE find = FindFirstFileW(Wide(folder + "*").c_str(), &found);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    do {
        if (found.cFileName[0] != L'.') ++names;
    } while (FindNextFileW(find, &found));
    FindClose(find);
    EXPECT_EQ(names, 1);

    answer = tree.Path() + "没有\\x.xlsx";
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_EXPORT_XLSX)));
    ASSERT_EQ(answers.texts.size(), 1u);
    EXPECT_NE(answers.texts[0].find(answer), std::string::npos) << answers.texts[0];
    EXPECT_FALSE(Exists(answer));
}

TEST_F(WindowsWindowTest, SettingsLandInTheRegistry) {
    SearchOptions options = view->GetSearchOptions();
    options.paths = {"C:\\资料", "D:\\备份;旧\\"};
    options.mask = "*.txt;-*\\TEMP\\*";
    options.filter.m_nMinSize = 4096;
    view->SetSearchOptions(options);
    view->SaveSettings();
    ASSERT_TRUE(app->GetSettings()->Flush());

    DWORD type = 0;
    std::vector<unsigned char> data;
    ASSERT_TRUE(ReadRegistry("Settings", "Drives", &type, &data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    // The name holding ";" is quoted.
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(data.data())),
              L"C:\\资料;\"D:\\备份;旧\\\"");
    ASSERT_TRUE(ReadRegistry("Settings", "File Mask", &type, &data));
    EXPECT_EQ(std::wstring(reinterpret_cast<const wchar_t*>(data.data())), L"*.txt;-*\\TEMP\\*");
    // 8-byte values as binary, little-endian.
    ASSERT_TRUE(ReadRegistry("Options", "Min Size Filter", &type, &data));
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(data, (std::vector<unsigned char>{0x00, 0x10, 0, 0, 0, 0, 0, 0}));

    // Read back by a new view as the next start reads them.
    view->LoadSettings();
    EXPECT_EQ(view->GetSearchOptions().paths,
              (std::vector<std::string>{"C:\\资料", "D:\\备份;旧\\"}));
    EXPECT_EQ(view->GetSearchOptions().filter.m_nMinSize, 4096);
}

TEST_F(WindowsWindowTest, WxTextsAreChineseFromTheCatalogInsideTheProgram) {
    EXPECT_EQ(WxToUtf8(wxGetStockLabel(wxID_CANCEL, wxSTOCK_NOFLAGS)), "取消");
    EXPECT_EQ(WxToUtf8(wxGetTranslation("Find")), "查找");
}

// A question with 是 and 否 alone answers 否 to Escape (the system's own box takes no Escape
// without a Cancel button); a question with Cancel as well still answers Escape with it.
TEST_F(WindowsWindowTest, EscapeAnswersNoInAQuestion) {
    const auto escape = [](wxDialog* box) {
        wxKeyEvent key(wxEVT_CHAR_HOOK);
        key.m_keyCode = WXK_ESCAPE;
        key.SetEventObject(box);
        box->GetEventHandler()->ProcessEvent(key);
        // Not answered by Escape: ended here, so that the test goes on (and fails). A box
        // that was answered stays modal until its loop has ended.
        if (box->IsModal() && box->GetReturnCode() != wxID_NO) box->EndModal(wxID_OK);
    };
    guitest::WhenModal<wxDialog>(escape);
    EXPECT_EQ(ShowMessageBox(frame, Utf8ToWx("确定要删除 <本地硬盘>?"), wxYES_NO | wxICON_QUESTION),
              wxID_NO);
    guitest::WhenModal<wxDialog>([&](wxDialog* box) {
        EXPECT_EQ(WxToUtf8(box->GetTitle()), "Pairscout");
        escape(box);
    });
    EXPECT_EQ(ShowMessageBox(frame, Utf8ToWx("保存?"), wxYES_NO | wxNO_DEFAULT | wxICON_WARNING),
              wxID_NO);
}

// The interface follows the user's interface language: Chinese under a Chinese Windows (Wine's
// zh_CN locale), English under any other (scripts/windows-tests.sh runs it under both), with
// the English texts from the catalog inside the program.
TEST_F(WindowsWindowTest, MenusFollowTheInterfaceLanguage) {
    const bool chinese = std::getenv("PAIRSCOUT_LANG") == nullptr
                             ? LanguageOfName(platform::UserLanguageName(), TextLanguage::kEnglish) ==
                                   TextLanguage::kChinese
                             : LanguageOfName(std::getenv("PAIRSCOUT_LANG"), TextLanguage::kEnglish) ==
                                   TextLanguage::kChinese;
    std::printf("interface language of this run: %s (%s)\n", chinese ? "Chinese" : "English",
                platform::UserLanguageName().c_str());
    const HMENU menu = GetMenu(static_cast<HWND>(frame->GetHandle()));
    ASSERT_NE(menu, nullptr);
    wchar_t label[64] = {};
    GetMenuStringW(menu, 0, label, 64, MF_BYPOSITION);
    EXPECT_EQ(std::wstring(label), chinese ? L"文件(&F)" : L"&File");
    GetMenuStringW(menu, 3, label, 64, MF_BYPOSITION);
    EXPECT_EQ(std::wstring(label), chinese ? L"帮助(&H)" : L"&Help");
    EXPECT_EQ(WxToUtf8(wxGetStockLabel(wxID_CANCEL, wxSTOCK_NOFLAGS)), chinese ? "取消" : "Cancel");
    EXPECT_EQ(CurrentTextLanguage(), chinese ? TextLanguage::kChinese : TextLanguage::kEnglish);
}

// The test program carries the resources of pairscout.exe: Explorer shows its icon and version.
TEST(WindowsProgramResources, IconAndVersion) {
    wchar_t self[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    EXPECT_EQ(VersionString(self, L"FileVersion"), Wide(PAIRSCOUT_VERSION));
    EXPECT_EQ(VersionString(self, L"ProductVersion"), Wide(PAIRSCOUT_VERSION));
    EXPECT_EQ(VersionString(self, L"OriginalFilename"), L"pairscout.exe");
    EXPECT_TRUE(HasApplicationIcon(self));
}

// Writes the file named by PAIRSCOUT_SCREENSHOT and keeps the display live for a few seconds
// while scripts/screenshot-windows.sh photographs it.
void HoldForThePicture(const char* ready) {
    guitest::ProcessEvents(1000);
    std::FILE* marker = _wfopen(Wide(ready).c_str(), L"wb");
    ASSERT_NE(marker, nullptr);
    std::fclose(marker);
    guitest::ProcessEvents(5000);
}

// Not a check: shows the window after a search with groups of three and two for a picture
// (PAIRSCOUT_SCREENSHOT_OF=options: the options sheet; about: the About box).
TEST_F(WindowsWindowTest, Screenshot) {
    const char* ready = std::getenv("PAIRSCOUT_SCREENSHOT");
    if (ready == nullptr) GTEST_SKIP() << "PAIRSCOUT_SCREENSHOT not set";
    const char* what = std::getenv("PAIRSCOUT_SCREENSHOT_OF");
    const std::string of = what != nullptr ? what : "window";
    guitest::WritePictureTree(tree);
    frame->SetSize(wxSize(900, 440));
    frame->Move(0, 0);
    if (of == "options") {
        SearchOptions options = view->GetSearchOptions();
        options.paths = {tree.Path() + "照片", tree.Path() + "备份"};
        view->SetSearchOptions(options);
        guitest::WhenModal<COptionsSheet>([&](COptionsSheet* sheet) {
            sheet->Move(0, 0);
            HoldForThePicture(ready);
            sheet->EndModal(wxID_CANCEL);
        });
        frame->ExecuteCommand(WxId(cmd::ID_FIND_DUPLICATES));
        return;
    }
    if (of == "about") {
        CAboutDlg about(frame);
        about.Move(0, 0);
        wxTheApp->CallAfter([&] {
            HoldForThePicture(ready);
            about.EndModal(wxID_OK);
        });
        about.DoModal();
        return;
    }
    EXPECT_TRUE(SearchThroughTheCommand(tree.Path()));
    guitest::ProcessEvents(50);
    list->SetItemState(4, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                       wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
    list->SetFocus();
    frame->Raise();
    HoldForThePicture(ready);
}

}  // namespace
