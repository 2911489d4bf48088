// The window as it is used every day, by keyboard alone: the options sheet answered with Enter
// and Escape, the list taking the keys after a search, deleting on by keyboard, copying with
// Ctrl+C, failures said instead of passed over, columns and the window's place.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/clipbrd.h>
#include <wx/config.h>
#include <wx/dataobj.h>
#include <wx/display.h>
#include <wx/fdrepdlg.h>
#include <wx/stattext.h>
#include <wx/statusbr.h>
#include <wx/textctrl.h>

#include "app/gui_test_env.h"
#include "engine/text/text_format.h"
#include "gui/command_ids.h"
#include "gui/message_box.h"
#include "gui/settings_store.h"
#include "gui/wx_text.h"
#include "options/paths_page.h"
#include "results/file_launcher.h"
#include "support/message_answers.h"
#include "support/temp_dir.h"

namespace {

// A launcher with no application and no file manager behind it.
class NothingOpens : public CFileLauncher {
public:
    std::vector<std::string> asked;  // what the default application was given

protected:
    bool LaunchDefault(const std::string& target) override {
        asked.push_back(target);
        return false;
    }
    void CallFileManager(const char*, const std::string&, std::function<void()> fallback) override {
        if (fallback) fallback();
    }
};

class DailyUseTest : public GeminexViewAppTest {
protected:
    void SetUp() override {
        GeminexViewAppTest::SetUp();
        if (HasFatalFailure()) return;
        view->SetShiftDownHook([] { return false; });
        UnlinkOnDelete();
        // Three copies of one file, two of another.
        tree.WriteFile("one/a.txt", std::string(300, 'a'));
        tree.WriteFile("two/a copy.txt", std::string(300, 'a'));
        tree.WriteFile("two/deep/a.bak", std::string(300, 'a'));
        tree.WriteFile("one/b.dat", std::string(100, 'b'));
        tree.WriteFile("three/b.dat", std::string(100, 'b'));
        SearchTree();
    }

    void SearchTree() {
        SearchOptions options = view->GetSearchOptions();
        options.paths = {tree.Path()};
        options.mask = "*.*";
        options.filter = SearchFilter();
        view->SetSearchOptions(options);
    }

    // The program ended and started again: a new window, nothing of the last one's memory.
    void Restart() {
        StopApp();
        StartApp({});
        view = wxDynamicCast(app->GetDocManager()->GetCurrentView(), CGeminexView);
        ASSERT_NE(view, nullptr);
        list = view->GetListCtrl();
        ASSERT_NE(list, nullptr);
        view->SetShiftDownHook([] { return false; });
        SearchTree();
    }

    // Removed for good and noted: the trash is not what most of these tests are about.
    void UnlinkOnDelete() {
        view->SetFileDeleter([this](const std::vector<std::string>& paths, bool) {
            std::vector<std::string> left;
            for (const std::string& path : paths) {
                deleted.push_back(path);
                if (unlink(path.c_str()) != 0) left.push_back(path);
            }
            return left;
        });
    }

    // A key as the window system hands it to `window`'s top window first; true when taken.
    static bool SendKey(wxWindow* window, int keyCode, int modifiers = 0) {
        wxKeyEvent key(wxEVT_CHAR_HOOK);
        key.m_keyCode = keyCode;
        key.m_controlDown = (modifiers & wxMOD_CONTROL) != 0;
        key.m_shiftDown = (modifiers & wxMOD_SHIFT) != 0;
        key.SetEventObject(window);
        const bool processed = window->GetEventHandler()->ProcessEvent(key);
        return processed && !key.GetSkipped();
    }

    bool WaitForWork() { return guitest::WaitFor([&] { return !view->IsBusy(); }, 120000); }

    // The search from the menu, the sheet answered by Enter on the path list.
    void SearchByKeyboard() {
        bool pressed = false;
        guitest::WhenModal<COptionsSheet>([&](COptionsSheet* sheet) {
            wxWindow* paths = sheet->PathsPage()->PathList();
            paths->SetFocus();
            guitest::WaitFor([paths] { return wxWindow::FindFocus() == paths; }, 2000);
            pressed = SendKey(sheet, WXK_RETURN);
        });
        ASSERT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_FIND_DUPLICATES)));
        ASSERT_TRUE(pressed);
        ASSERT_TRUE(WaitForWork());
    }

    std::string Cell(long row, int column) { return WxToUtf8(list->GetItemText(row, column)); }
    std::string StatusText() { return WxToUtf8(frame->GetStatusBar()->GetStatusText(0)); }

    TempDir tree;
    std::vector<std::string> deleted;
};

TEST_F(DailyUseTest, SearchSelectDeleteAndUndoByKeyboardAlone) {
    // To the trash of the test's own home, so that Ctrl+Z can take the delete back.
    view->SetFileDeleter(nullptr);
    SearchByKeyboard();
    ASSERT_EQ(list->GetItemCount(), 5);
    const std::vector<std::string> listed = {Cell(0, 0), Cell(1, 0), Cell(2, 0), Cell(3, 0),
                                             Cell(4, 0)};
    // The list has the keys, its first row the focus rectangle.
    EXPECT_TRUE(guitest::WaitFor([&] { return wxWindow::FindFocus() == list; }, 2000));
    EXPECT_EQ(list->GetFocusedRow(), 0);
    EXPECT_EQ(list->GetSelectedItemCount(), 0);

    ASSERT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_SELECT_ALL_DUPLICATES)));
    EXPECT_EQ(list->GetSelectedRows(), (std::vector<std::size_t>{1, 2, 4}));
    EXPECT_TRUE(SendKey(frame, WXK_DELETE));
    ASSERT_TRUE(WaitForWork());
    ASSERT_EQ(list->GetItemCount(), 0);  // no group has a copy left
    for (const std::size_t row : {1, 2, 4})
        EXPECT_FALSE(std::filesystem::exists(std::filesystem::u8path(listed[row]))) << row;

    // Ctrl+Z: the three files are back where they were, and listed again as before.
    {
        MessageAnswers answers(wxID_OK);
        EXPECT_TRUE(SendKey(frame, 'Z', wxMOD_CONTROL));
        ASSERT_TRUE(WaitForWork());
        EXPECT_TRUE(answers.texts.empty()) << answers.texts[0];
    }
    for (const std::string& path : listed)
        EXPECT_TRUE(std::filesystem::exists(std::filesystem::u8path(path))) << path;
    ASSERT_EQ(list->GetItemCount(), 5);
    for (long row = 0; row < 5; ++row) EXPECT_EQ(Cell(row, 0), listed[row]);
    EXPECT_EQ(WxToUtf8(frame->GetIdleText()), "发现 3 个重复文件 (700 字节)  已恢复 3 个文件, 共 700 字节");

    // And deleted again, by the same keys.
    ASSERT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_SELECT_ALL_DUPLICATES)));
    EXPECT_TRUE(SendKey(frame, WXK_DELETE));
    ASSERT_TRUE(WaitForWork());
    ASSERT_EQ(list->GetItemCount(), 0);

    // The window lost with its undo, as when the program is killed: the next start's window
    // still takes the delete back with Ctrl+Z. No search lists the files yet: no rows come.
    Restart();
    ASSERT_TRUE(view->CanUndoDelete());
    for (const std::size_t row : {1, 2, 4})
        EXPECT_FALSE(std::filesystem::exists(std::filesystem::u8path(listed[row]))) << row;
    {
        MessageAnswers answers(wxID_OK);
        EXPECT_TRUE(SendKey(frame, 'Z', wxMOD_CONTROL));
        ASSERT_TRUE(WaitForWork());
        EXPECT_TRUE(answers.texts.empty()) << answers.texts[0];
    }
    for (const std::string& path : listed)
        EXPECT_TRUE(std::filesystem::exists(std::filesystem::u8path(path))) << path;
    EXPECT_EQ(list->GetItemCount(), 0);
    EXPECT_FALSE(view->CanUndoDelete());
    // Taken back once, it is gone for the start after too.
    Restart();
    EXPECT_FALSE(view->CanUndoDelete());
    SearchByKeyboard();
    ASSERT_EQ(list->GetItemCount(), 5);
    ASSERT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_SELECT_ALL_DUPLICATES)));
    EXPECT_TRUE(SendKey(frame, WXK_DELETE));
    ASSERT_TRUE(WaitForWork());
    ASSERT_EQ(list->GetItemCount(), 0);
    UnlinkOnDelete();

    // A group's first file deleted on its own: its next file heads the group, with the
    // group's size and checksums, and stays selected for the next Delete.
    tree.WriteFile("four/a.txt", std::string(300, 'a'));
    tree.WriteFile("four/a2.txt", std::string(300, 'a'));
    SearchByKeyboard();
    ASSERT_EQ(list->GetItemCount(), 3);
    const std::string size = Cell(0, 2), crc = Cell(0, 3), sum = Cell(0, 4);
    const std::string second = Cell(1, 0);
    EXPECT_EQ(size, "300");
    list->SetItemState(0, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    EXPECT_TRUE(SendKey(frame, WXK_DELETE));
    ASSERT_TRUE(WaitForWork());
    ASSERT_EQ(list->GetItemCount(), 2);
    EXPECT_EQ(Cell(0, 0), second);
    EXPECT_EQ(Cell(0, 2), size);
    EXPECT_EQ(Cell(0, 3), crc);
    EXPECT_EQ(Cell(0, 4), sum);
    EXPECT_EQ(list->GetSelectedRows(), (std::vector<std::size_t>{0}));
    EXPECT_EQ(list->GetFocusedRow(), 0);
    // Delete again: the group is down to one file and goes.
    EXPECT_TRUE(SendKey(frame, WXK_DELETE));
    ASSERT_TRUE(WaitForWork());
    EXPECT_EQ(list->GetItemCount(), 0);
    EXPECT_EQ(deleted.size(), 2u);
}

TEST_F(DailyUseTest, SheetTakesEnterForOkAndEscapeForCancel) {
    int answer = 0;
    // Escape: nothing is searched and the options stay.
    guitest::WhenModal<COptionsSheet>([&](COptionsSheet* sheet) {
        sheet->PathsPage()->FileTypesEdit()->SetFocus();
        sheet->PathsPage()->FileTypesEdit()->ChangeValue("*.nothing");
        EXPECT_TRUE(SendKey(sheet, WXK_ESCAPE));
        answer = sheet->GetReturnCode();
    });
    EXPECT_FALSE(view->FindDuplicates());
    EXPECT_EQ(answer, wxID_CANCEL);
    EXPECT_EQ(view->GetSearchOptions().mask, "*.*");

    // Enter in the mask field: OK, with what was typed.
    guitest::WhenModal<COptionsSheet>([&](COptionsSheet* sheet) {
        sheet->PathsPage()->FileTypesEdit()->SetFocus();
        sheet->PathsPage()->FileTypesEdit()->ChangeValue("*.txt");
        EXPECT_TRUE(SendKey(sheet, WXK_NUMPAD_ENTER));
        answer = sheet->GetReturnCode();
    });
    EXPECT_TRUE(view->FindDuplicates());
    ASSERT_TRUE(WaitForWork());
    EXPECT_EQ(answer, wxID_OK);
    EXPECT_EQ(view->GetSearchOptions().mask, "*.txt");
    EXPECT_EQ(list->GetItemCount(), 2);  // a.txt and "a copy.txt"
}

TEST_F(DailyUseTest, CtrlCAndCtrlInsertCopyTheSelectedRows) {
    SearchByKeyboard();
    ASSERT_EQ(list->GetItemCount(), 5);
    list->SelectRows({1, 4});
    const std::string wanted = view->GetModel().RowsText({1, 4}, "\t", false);
    for (int key : {static_cast<int>('C'), static_cast<int>(WXK_INSERT)}) {
        {
            wxClipboardLocker clipboard;
            ASSERT_FALSE(!clipboard);
            wxTheClipboard->SetData(new wxTextDataObject("before"));
        }
        EXPECT_TRUE(SendKey(frame, key, wxMOD_CONTROL));
        wxTextDataObject data;
        {
            wxClipboardLocker clipboard;
            ASSERT_FALSE(!clipboard);
            ASSERT_TRUE(wxTheClipboard->GetData(data));
        }
        // The toolkit may hand CR LF back as it was given.
        EXPECT_EQ(WxToUtf8(data.GetText()), wanted) << key;
    }
}

TEST_F(DailyUseTest, OpenAndExploreThatNothingCanDoAreSaid) {
    SearchByKeyboard();
    ASSERT_GT(list->GetItemCount(), 0);
    auto* launcher = new NothingOpens;
    view->SetLauncher(std::unique_ptr<CFileLauncher>(launcher));
    list->SetItemState(1, wxLIST_STATE_FOCUSED | wxLIST_STATE_SELECTED,
                       wxLIST_STATE_FOCUSED | wxLIST_STATE_SELECTED);
    const std::string path = Cell(1, 0);
    const std::string folder = path.substr(0, path.rfind('/'));
    {
        // Enter on a row: the box names the file and asks for its folder; Yes tries that,
        // and the folder that nothing shows is said too.
        MessageAnswers answers(wxID_YES);
        EXPECT_TRUE(SendKey(frame, WXK_RETURN));
        ASSERT_EQ(answers.texts.size(), 2u);
        EXPECT_NE(answers.texts[0].find(path), std::string::npos) << answers.texts[0];
        EXPECT_NE(answers.texts[0].find("没有能打开这种文件的应用程序"), std::string::npos);
        EXPECT_NE(answers.texts[1].find(path), std::string::npos);
        EXPECT_NE(answers.texts[1].find("没有可用的文件管理器"), std::string::npos);
        ASSERT_EQ(launcher->asked.size(), 2u);
        EXPECT_EQ(launcher->asked[1], FileUri(folder));
    }
    {
        // No: nothing more is tried.
        MessageAnswers answers(wxID_NO);
        view->OpenFile();
        EXPECT_EQ(answers.texts.size(), 1u);
        EXPECT_EQ(launcher->asked.size(), 3u);
    }
}

TEST_F(DailyUseTest, FindThatFindsNothingSaysSoInTheStatusBar) {
    SearchByKeyboard();
    int beeps = 0;
    list->SetBeepHook([&beeps] { ++beeps; });
    wxFindDialogEvent find(wxEVT_FIND, list->GetId());
    find.SetFindString("no such name");
    find.SetFlags(wxFR_DOWN);
    list->GetEventHandler()->ProcessEvent(find);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(StatusText(), "找不到 \"no such name\"");
    // Find next (F3) says it again.
    frame->SetStatusText("");
    list->FindNext();
    EXPECT_EQ(beeps, 2);
    EXPECT_EQ(StatusText(), "找不到 \"no such name\"");
    list->SetBeepHook(nullptr);
}

TEST_F(DailyUseTest, ANewSearchClearsTheLastSummaryAndPromptsLeaveForDialogs) {
    SearchByKeyboard();
    EXPECT_EQ(StatusText(), "发现 3 个重复文件 (700 字节)");
    // A search that is still running shows no summary of the last one.
    ASSERT_TRUE(view->StartSearch(view->GetSearchOptions()));
    EXPECT_EQ(StatusText(), "准备");
    ASSERT_TRUE(WaitForWork());
    EXPECT_EQ(StatusText(), "发现 3 个重复文件 (700 字节)");

    // A toolbar button's prompt goes when the dialog it opened takes the focus.
    frame->DoGiveHelp(LoadWxPrompt(cmd::ID_FIND_DUPLICATES), true);
    EXPECT_EQ(StatusText(), "查找重复的文件");
    wxActivateEvent away(wxEVT_ACTIVATE, false, frame->GetId());
    away.SetEventObject(frame);
    frame->GetEventHandler()->ProcessEvent(away);
    EXPECT_EQ(StatusText(), "发现 3 个重复文件 (700 字节)");
}

TEST_F(DailyUseTest, PathColumnFillsTheWindowAndThePlaceIsRemembered) {
    auto columnsWidth = [&] {
        int sum = 0;
        for (int i = 0; i < list->GetColumnCount(); ++i) sum += list->GetColumnWidth(i);
        return sum;
    };
    // The first start (no place kept): every column of a search shows, with a path of some
    // length, and the window stays on the screen.
    StopApp();
    {
        CSettingsStore settings("Orvelle Software Inc.", "Pairscout");
        settings.Config()->DeleteGroup("/Window");
    }
    StartApp({});
    view = wxDynamicCast(app->GetDocManager()->GetCurrentView(), CGeminexView);
    ASSERT_NE(view, nullptr);
    list = view->GetListCtrl();
    view->SetShiftDownHook([] { return false; });
    SearchTree();
    const std::string deep = tree.WriteFile(
        "第二季度的报告/another rather long folder name/照片 2021 年夏天.jpg", std::string(300, 'a'));
    SearchByKeyboard();
    ASSERT_GE(list->GetItemCount(), 6);
    ASSERT_LE(static_cast<int>(deep.size()), 120);
    const wxRect screen = wxDisplay(0u).GetClientArea();
    EXPECT_TRUE(screen.Contains(frame->GetRect())) << frame->GetRect().x << "," << frame->GetRect().width;
    guitest::ProcessEvents(100);
    EXPECT_LE(columnsWidth(), list->GetClientSize().x)
        << "the last columns are out of sight at " << frame->GetSize().x;
    for (int i = 1; i < list->GetColumnCount(); ++i)
        EXPECT_GT(list->GetColumnWidth(i), 10) << "column " << i;
    EXPECT_EQ(FirstWindowPlace(wxSize(5000, 300), wxRect(-1280, 0, 1280, 1024)),
              wxRect(-1280, 362, 1280, 300));

    // The path column takes the room the window gives it.
    std::filesystem::remove(deep);
    SearchByKeyboard();
    frame->SetSize(wxSize(700, 400));
    guitest::ProcessEvents(100);
    const int path = list->GetColumnWidth(0);
    const int crc = list->GetColumnWidth(3);
    frame->SetSize(wxSize(1100, 500));
    ASSERT_TRUE(guitest::WaitFor([&] { return list->GetClientSize().x > 900; }));
    guitest::ProcessEvents(100);
    // The path column took the room; the others kept their widths.
    EXPECT_EQ(columnsWidth(), list->GetClientSize().x);
    EXPECT_GT(list->GetColumnWidth(0), path);
    EXPECT_EQ(list->GetColumnWidth(3), crc);

    frame->SetSize(wxRect(40, 30, 900, 450));
    list->SetColumnWidth(3, crc + 37);
    guitest::ProcessEvents(100);
    const wxRect place = frame->GetRect();
    StopApp();
    StartApp({});
    view = wxDynamicCast(app->GetDocManager()->GetCurrentView(), CGeminexView);
    ASSERT_NE(view, nullptr);
    list = view->GetListCtrl();
    guitest::ProcessEvents(100);
    EXPECT_EQ(frame->GetSize(), place.GetSize());
    EXPECT_EQ(frame->GetPosition(), place.GetPosition());
    EXPECT_EQ(list->GetColumnWidth(3), crc + 37);
}

}  // namespace

namespace {

// Saves the screen's picture of `window` into $PAIRSCOUT_PICTURE_DIR/name, when that is set.
void SavePicture(wxWindow* window, const char* name) {
    const char* dir = std::getenv("PAIRSCOUT_PICTURE_DIR");
    if (dir == nullptr || *dir == '\0') return;
    window->Raise();
    window->Refresh();
    window->Update();
    guitest::ProcessEvents(1500);
    const wxRect rect = window->GetScreenRect();
    const wxString command = wxString::Format("import -window root -crop %dx%d+%d+%d +repage %s/%s",
                                              rect.width, rect.height, rect.x, rect.y,
                                              wxString::FromUTF8(dir), name);
    EXPECT_EQ(wxExecute(command, wxEXEC_SYNC), 0) << WxToUtf8(command);
}

TEST_F(DailyUseTest, MessageBoxIsAsWideAsItsTextWithTheProgramsNameAndIcon) {
    const std::string path = tree.Path() + "一个很长的文件夹名字/another rather long folder/照片 2021 年夏天.jpg";
    const wxString text = wxString::FromUTF8(FormatOpenFailed(path));
    int answer = 0;
    guitest::WhenModal<wxDialog>([&](wxDialog* box) {
        EXPECT_EQ(box->GetTitle(), "Pairscout");
        EXPECT_TRUE(box->GetIcons().GetIconCount() > 0 || box->GetIcon().IsOk());
        // The path's line stands whole on one line of the box, and the box holds it.
        const wxString firstLine = text.BeforeFirst('\n');
        bool whole = false;
        for (wxWindow* child : box->GetChildren()) {
            auto* label = wxDynamicCast(child, wxStaticText);
            if (label == nullptr || label->GetLabel() != firstLine) continue;
            whole = true;
            EXPECT_GE(label->GetSize().x, label->GetBestSize().x);
            EXPECT_LE(label->GetRect().GetRight(), box->GetClientSize().x);
        }
        EXPECT_TRUE(whole) << "the path's line was wrapped";
        // The title has room: the box is wider than the title's text.
        EXPECT_GT(box->GetSize().x, box->GetTextExtent(box->GetTitle()).x * 3);
        SavePicture(box, "message-box.png");
        // Escape answers No: the question has no Cancel button for it to press.
        wxWindow* focus = wxWindow::FindFocus();
        EXPECT_TRUE(SendKey(focus != nullptr && box->IsDescendant(focus) ? focus : box,
                            WXK_ESCAPE));
        if (box->IsModal() && box->GetReturnCode() != wxID_NO) box->EndModal(wxID_CANCEL);
    });
    answer = ShowMessageBox(frame, text, wxYES_NO | wxICON_EXCLAMATION);
    EXPECT_EQ(answer, wxID_NO);
    // The same with No as the default button (deleting for good, replacing a file).
    guitest::WhenModal<wxDialog>([&](wxDialog* box) {
        EXPECT_TRUE(SendKey(box, WXK_ESCAPE));
        if (box->IsModal() && box->GetReturnCode() != wxID_NO) box->EndModal(wxID_OK);
    });
    EXPECT_EQ(ShowMessageBox(frame, text, wxYES_NO | wxNO_DEFAULT | wxICON_WARNING), wxID_NO);
}

TEST_F(DailyUseTest, PictureOfTheListAfterDeletingByKeyboard) {
    if (std::getenv("PAIRSCOUT_PICTURE_DIR") == nullptr) GTEST_SKIP() << "pictures only";
    tree.WriteFile("four/a.txt", std::string(300, 'a'));
    frame->SetSize(wxRect(0, 0, 900, 360));
    SearchByKeyboard();
    // The group of four: its first file deleted, the next one heads it and stays selected.
    list->SetItemState(0, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    EXPECT_TRUE(SendKey(frame, WXK_DELETE));
    ASSERT_TRUE(WaitForWork());
    SavePicture(frame, "keyboard-delete.png");
}

}  // namespace

namespace {

TEST_F(DailyUseTest, FoundRowComesOutFromUnderTheFindDialog) {
    SearchByKeyboard();
    ASSERT_EQ(list->GetItemCount(), 5);
    list->ShowFindDialog(true);
    wxFindReplaceDialog* dialog = list->GetFindDialog();
    ASSERT_NE(dialog, nullptr);
    // The dialog over row 3.
    const wxRect row = list->RowScreenRect(3);
    ASSERT_FALSE(row.IsEmpty());
    dialog->Move(row.x, row.y - 5);
    ASSERT_TRUE(guitest::WaitFor([&] { return dialog->GetScreenRect().Intersects(list->RowScreenRect(3)); }));
    list->SelectFoundRow(3, 0, 1);
    EXPECT_TRUE(guitest::WaitFor(
        [&] { return !dialog->GetScreenRect().Intersects(list->RowScreenRect(3)); }))
        << "row at " << list->RowScreenRect(3).y << ", dialog at " << dialog->GetScreenRect().y;
    EXPECT_EQ(list->GetSelectedRows(), (std::vector<std::size_t>{3}));
    dialog->Close();
    guitest::ProcessEvents(50);
}

}  // namespace

TEST_F(DailyUseTest, FilterKeepsEveryActionToTheGroupsShown) {
    ASSERT_TRUE(view->StartSearch(view->GetSearchOptions()));
    ASSERT_TRUE(WaitForWork());
    ASSERT_EQ(list->GetItemCount(), 5);
    wxTextCtrl* box = view->GetFilterBox();
    ASSERT_NE(box, nullptr);

    // Ctrl+Shift+F from the list: the box has the keys, and a Delete there is the box's.
    EXPECT_TRUE(SendKey(frame, 'F', wxMOD_CONTROL | wxMOD_SHIFT));
    EXPECT_TRUE(guitest::WaitFor([&] { return wxWindow::FindFocus() == box; }, 2000));
    EXPECT_FALSE(SendKey(frame, WXK_DELETE));
    EXPECT_TRUE(deleted.empty());

    // Only the b group holds "THREE" (letters without case): its rows alone are listed.
    view->SetFilterText("THREE");
    ASSERT_EQ(list->GetItemCount(), 2);
    EXPECT_EQ(view->FilterCountText(), "显示 1 / 2 组");
    EXPECT_NE(StatusText().find("显示 1 / 2 组"), std::string::npos) << StatusText();
    // Select all duplicates, select all and invert keep to them, and the status says so.
    ASSERT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_SELECT_ALL_DUPLICATES)));
    EXPECT_EQ(list->GetSelectedRows(), (std::vector<std::size_t>{1}));
    EXPECT_TRUE(guitest::WaitFor([&] { return StatusText().find("筛选中") != std::string::npos; }, 2000))
        << StatusText();
    list->SelectAllRows();
    EXPECT_EQ(list->GetSelectedItemCount(), 2);
    ASSERT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_MARK_INVERT)));
    EXPECT_EQ(list->GetSelectedItemCount(), 0);
    ASSERT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_SELECT_ALL_DUPLICATES)));

    // Deleted: b is down to one file and goes; the a group stays hidden, the count follows.
    ASSERT_TRUE(view->DeleteFiles(false));
    ASSERT_TRUE(WaitForWork());
    EXPECT_EQ(deleted.size(), 1u);
    EXPECT_EQ(list->GetItemCount(), 0);
    EXPECT_EQ(view->GetModel().RowCount(), 3u);
    EXPECT_EQ(view->FilterCountText(), "显示 0 / 1 组");

    // Escape in the box takes the filter away and gives the keys back to the list.
    box->SetValue("three");
    box->SetFocus();
    wxKeyEvent escape(wxEVT_KEY_DOWN);
    escape.m_keyCode = WXK_ESCAPE;
    escape.SetEventObject(box);
    box->GetEventHandler()->ProcessEvent(escape);
    EXPECT_TRUE(box->GetValue().empty());
    EXPECT_EQ(list->GetItemCount(), 3);
    EXPECT_TRUE(guitest::WaitFor([&] { return wxWindow::FindFocus() == list; }, 2000));
    // A mask: only groups with a .bak.
    view->SetFilterText("*.bak");
    EXPECT_EQ(list->GetItemCount(), 3);
    view->SetFilterText("*.none");
    EXPECT_EQ(list->GetItemCount(), 0);
}

TEST_F(DailyUseTest, SortByHeadingIsKeptForTheNextSearches) {
    ASSERT_TRUE(view->StartSearch(view->GetSearchOptions()));
    ASSERT_TRUE(WaitForWork());
    ASSERT_EQ(list->GetItemCount(), 5);
    EXPECT_EQ(list->GetSortIndicator(), -1);
    // The size heading: largest first (a), clicked again smallest first (b); the arrow says it.
    wxListEvent click(wxEVT_LIST_COL_CLICK, list->GetId());
    click.m_col = kColumnSize;
    click.SetEventObject(list);
    list->GetEventHandler()->ProcessEvent(click);
    EXPECT_EQ(Cell(0, 2), "300");
    list->SetItemState(3, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    const std::string selected = Cell(3, 0);
    list->GetEventHandler()->ProcessEvent(click);
    EXPECT_EQ(Cell(0, 2), "100");
    EXPECT_EQ(list->GetSortIndicator(), kColumnSize);
    EXPECT_TRUE(list->IsAscendingSortIndicator());
    // The selection went with its file.
    ASSERT_EQ(list->GetSelectedRows().size(), 1u);
    EXPECT_EQ(Cell(static_cast<long>(list->GetSelectedRows()[0]), 0), selected);

    // The next search, and the one after the next start, list b first too.
    ASSERT_TRUE(view->StartSearch(view->GetSearchOptions()));
    ASSERT_TRUE(WaitForWork());
    EXPECT_EQ(Cell(0, 2), "100");
    Restart();
    EXPECT_EQ(view->GetSort(), (GroupSort{SortKey::kSize, false}));
    ASSERT_TRUE(view->StartSearch(view->GetSearchOptions()));
    ASSERT_TRUE(WaitForWork());
    EXPECT_EQ(Cell(0, 2), "100");
    EXPECT_EQ(list->GetSortIndicator(), kColumnSize);
    // By the 排序 menu: the file count, then back to the keep rules' order (a frees more).
    ASSERT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_SORT_COUNT)));
    EXPECT_EQ(Cell(0, 2), "300");
    EXPECT_EQ(list->GetSortIndicator(), -1);
    ASSERT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_SORT_PATH)));
    EXPECT_EQ(list->GetSortIndicator(), kColumnPath);
    ASSERT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_SORT_NONE)));
    EXPECT_EQ(Cell(0, 2), "300");
    EXPECT_EQ(view->GetSort(), GroupSort());

    // A marking command that would select a whole group says it held it back.
    ASSERT_TRUE(view->Mark(cmd::ID_MARK_INVERT));
    EXPECT_EQ(list->GetSelectedItemCount(), 3);
    EXPECT_EQ(view->MarkNote(), FormatMarkHeldBack(2));
    EXPECT_TRUE(guitest::WaitFor([&] { return StatusText().find(FormatMarkHeldBack(2)) != std::string::npos; }, 2000))
        << StatusText();
    view->SetMaskQuestion([] { return std::string("*.bak"); });
    list->ClearSelection();
    ASSERT_TRUE(view->Mark(cmd::ID_MARK_MASK));
    ASSERT_EQ(list->GetSelectedItemCount(), 1);
    EXPECT_NE(Cell(static_cast<long>(list->GetSelectedRows()[0]), 0).find("a.bak"), std::string::npos);
}
