// The results list base on the real view: copy to the clipboard, select all, the find dialog
// and find next, the keys, the context menu and the commands that reach the list.
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/clipbrd.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/image.h>
#include <wx/menu.h>
#include <wx/stattext.h>
#include <wx/stopwatch.h>
#include <wx/uiaction.h>

#include "gui/command_ids.h"
#include "app/gui_test_env.h"
#include "gui/wx_text.h"
#include "engine/results/results_model.h"
#include "engine/text/text_helpers.h"
#include "results/geminex_view.h"
#include "results/kv_list_ctrl.h"
#include "support/model_rows.h"

namespace {

std::string ReadClipboard() {
    wxClipboardLocker lock;
    if (!lock) return "<clipboard not open>";
    wxTextDataObject data;
    if (!wxTheClipboard->GetData(data)) return "<no text>";
    return WxToUtf8(data.GetText());
}

void WriteClipboard(const std::string& text) {
    wxClipboardLocker lock;
    ASSERT_TRUE(!!lock);
    ASSERT_TRUE(wxTheClipboard->SetData(new wxTextDataObject(Utf8ToWx(text))));
}

class KvListTest : public GeminexViewAppTest {
protected:
    void SetUp() override {
        GeminexViewAppTest::SetUp();
        if (HasFatalFailure()) return;
        list->SetBeepHook([this] { ++beeps; });
        list->SetCtrlDownHook([this] { return ctrlDown; });
    }

    void Show(const std::vector<std::vector<std::string>>& groups) {
        view->SetModel(Groups(groups));
    }

    void Select(std::initializer_list<long> rows) {
        list->ClearSelection();
        for (long row : rows) list->SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    }

    void Focus(long row) { list->SetItemState(row, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED); }

    std::vector<std::size_t> Selected() { return list->GetSelectedRows(); }

    // The rows the toolkit draws as selected, asked of its own store row by row (slow for a
    // long list, fine for these).
    std::vector<std::size_t> Drawn() {
        const wxListCtrl& shown = *list;
        std::vector<std::size_t> rows;
        for (long row = 0; row < shown.GetItemCount(); ++row)
            if (shown.GetItemState(row, wxLIST_STATE_SELECTED) != 0)
                rows.push_back(static_cast<std::size_t>(row));
        return rows;
    }

    // The window of the rows (the list's tallest child; the other is its heading), which hands
    // its mouse events to the list in its own coordinates.
    wxWindow* RowWindow() {
        wxWindow* rows = nullptr;
        for (wxWindow* child : list->GetChildren())
            if (rows == nullptr || child->GetSize().y > rows->GetSize().y) rows = child;
        return rows;
    }

    // A mouse event on row `row` (-1: below the last row) as the row window hands it on.
    bool Mouse(wxEventType type, long row, bool ctrl = false, bool shift = false) {
        wxWindow* rows = RowWindow();
        if (rows == nullptr) return false;
        wxPoint at(20, rows->GetClientSize().y - 3);
        if (row >= 0) {
            wxRect rect;
            list->GetItemRect(row, rect);
            at = rows->ScreenToClient(list->ClientToScreen(rect.GetPosition())) +
                 wxPoint(20, rect.height / 2);
        }
        wxMouseEvent mouse(type);
        mouse.SetPosition(at);
        mouse.m_controlDown = ctrl;
        mouse.m_shiftDown = shift;
        mouse.SetEventObject(list);
        return list->GetEventHandler()->ProcessEvent(mouse);
    }

    // A search as the find dialog reports it.
    void FindFromDialog(const std::string& what, int flags,
                        wxEventType type = wxEVT_FIND_NEXT) {
        wxFindDialogEvent event(type, wxID_ANY);
        event.SetFindString(Utf8ToWx(what));
        event.SetFlags(flags);
        list->GetEventHandler()->ProcessEvent(event);
    }

    // A key-down as the list receives it; true when the list consumed it (it did not go on to
    // the list's own key handling).
    bool KeyDown(int keyCode, bool ctrl = false, bool shift = false) {
        wxKeyEvent key(wxEVT_KEY_DOWN);
        key.m_keyCode = keyCode;
        key.m_controlDown = ctrl;
        key.m_shiftDown = shift;
        key.SetEventObject(list);
        return list->GetEventHandler()->ProcessEvent(key);
    }

    bool IsEnabled(int number) {
        wxUpdateUIEvent update(WxId(number));
        update.SetEventObject(frame);
        frame->ProcessWindowEvent(update);
        return !update.GetSetEnabled() || update.GetEnabled();
    }

    int beeps = 0;
    bool ctrlDown = false;
};

TEST_F(KvListTest, RowsComeFromTheModel) {
    // The empty list says where to begin, in the middle of its rows' window.
    const wxStaticText* hint = list->EmptyHint();
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(WxToUtf8(hint->GetLabel()), "点击 搜索重复的文件 开始");
    EXPECT_TRUE(hint->IsShown());
    EXPECT_EQ(hint->GetParent(), RowWindow());
    const auto centred = [hint] {
        const wxSize room = hint->GetParent()->GetClientSize();
        const wxRect at = hint->GetRect();
        EXPECT_GT(room.x, at.width);
        EXPECT_LE(std::abs(at.x + at.width / 2 - room.x / 2), 1);
        EXPECT_LE(std::abs(at.y + at.height / 2 - room.y / 2), 1);
    };
    centred();
    frame->SetSize(frame->GetSize() + wxSize(120, 80));
    guitest::ProcessEvents(50);
    centred();

    Show({{"/a/x", "/b/x", "/c/x"}, {"/d/y", "/e/y"}});
    EXPECT_FALSE(hint->IsShown()) << "rows came";
    ASSERT_EQ(list->GetItemCount(), 5);
    EXPECT_EQ(list->GetItemText(0, 0), "/a/x");
    EXPECT_EQ(list->GetItemText(0, 2), "7");
    EXPECT_EQ(list->GetItemText(0, 3), "3f0");
    EXPECT_EQ(list->GetItemText(1, 2), "");
    EXPECT_EQ(list->GetItemText(4, 0), "/e/y");
    EXPECT_EQ(list->GetItemText(3, 1), Utf8ToWx(DateText()));
    const int images[] = {kImageGroupFirst, kImageGroupMiddle, kImageGroupLast,
                          kImageGroupFirst, kImageGroupLast};
    for (long row = 0; row < 5; ++row) {
        wxListItem item;
        item.SetId(row);
        item.SetMask(wxLIST_MASK_IMAGE);
        ASSERT_TRUE(list->GetItem(item));
        EXPECT_EQ(item.GetImage(), images[row]) << row;
    }

    // Rows changed in place show after one refresh; a new model replaces the rows and drops
    // the selection and the focus.
    Select({0, 4});
    Focus(4);
    view->GetModel().RemoveRows({3});
    view->RefreshRows();
    EXPECT_EQ(list->GetItemCount(), 3);
    Select({1, 2});
    Focus(2);
    Show({{"/n/1", "/n/2"}});
    EXPECT_EQ(list->GetItemCount(), 2);
    EXPECT_EQ(list->GetSelectedItemCount(), 0);
    EXPECT_EQ(list->GetFocusedRow(), -1);
    // Every row gone (a delete): the hint is back, in the middle.
    EXPECT_FALSE(hint->IsShown());
    view->GetModel().RemoveRows({0, 1});
    view->RefreshRows();
    EXPECT_TRUE(hint->IsShown());
    centred();
    Show({{"/n/1", "/n/2"}});
    EXPECT_FALSE(hint->IsShown());
    view->SetModel(nullptr);
    EXPECT_EQ(list->GetItemCount(), 0);
    EXPECT_TRUE(hint->IsShown());
}

TEST_F(KvListTest, CopyPutsTabSeparatedRowsWithCrLfOnTheClipboard) {
    Show({{"a0", "a1", "a2"}});
    const std::string date = DateText();
    ASSERT_FALSE(date.empty());

    // Rows 0 and 2 selected: exactly those two rows, no heading.
    Select({0, 2});
    ASSERT_TRUE(list->CopyRowsToClipboard());
    EXPECT_EQ(ReadClipboard(), "a0\t" + date + "\t7\t3f0\t12\r\n" + "a2\t" + date + "\t\t\t\r\n");

    // No selection: every row.
    list->ClearSelection();
    ASSERT_TRUE(list->CopyRowsToClipboard());
    EXPECT_EQ(ReadClipboard(), "a0\t" + date + "\t7\t3f0\t12\r\n" + "a1\t" + date +
                                   "\t\t\t\r\n" + "a2\t" + date + "\t\t\t\r\n");

    // A quote in a cell is copied as it is; Chinese text comes through as UTF-8.
    Show({{"say \"hi\"", "/文件/名"}});
    Select({1});
    ASSERT_TRUE(list->CopyRowsToClipboard());
    EXPECT_EQ(ReadClipboard(), "/文件/名\t" + date + "\t\t\t\r\n");
    Select({0});
    ASSERT_TRUE(list->CopyRowsToClipboard());
    EXPECT_EQ(ReadClipboard(), "say \"hi\"\t" + date + "\t7\t3f0\t12\r\n");

    // The copy command of the menu does the same.
    list->ClearSelection();
    WriteClipboard("before");
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_COPY_ROWS)));
    EXPECT_EQ(ReadClipboard(), "say \"hi\"\t" + date + "\t7\t3f0\t12\r\n" + "/文件/名\t" + date +
                                   "\t\t\t\r\n");
}

TEST_F(KvListTest, CopyOfAnEmptyListLeavesTheClipboardAlone) {
    WriteClipboard("kept text");
    EXPECT_FALSE(list->CopyRowsToClipboard());
    // Also through the context menu's command, which is enabled on an empty list.
    wxCommandEvent copy(wxEVT_MENU, WxId(cmd::ID_COPY_ROWS));
    copy.SetEventObject(list);
    list->GetEventHandler()->ProcessEvent(copy);
    EXPECT_EQ(ReadClipboard(), "kept text");
}

TEST_F(KvListTest, SelectAllSelectsEveryRowAndFocusesTheLast) {
    Show({{"/a/1", "/a/2"}, {"/b/1", "/b/2", "/b/3"}});
    list->SelectAllRows();
    EXPECT_EQ(Selected(), (std::vector<std::size_t>{0, 1, 2, 3, 4}));
    EXPECT_EQ(list->GetFocusedRow(), 4);

    list->ClearSelection();
    EXPECT_TRUE(KeyDown('A', true));
    EXPECT_EQ(list->GetSelectedItemCount(), 5);

    list->ClearSelection();
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_SELECT_ALL_ROWS)));
    EXPECT_EQ(list->GetSelectedItemCount(), 5);

    // On an empty list nothing happens.
    view->SetModel(nullptr);
    list->SelectAllRows();
    EXPECT_EQ(list->GetSelectedItemCount(), 0);
    EXPECT_EQ(list->GetFocusedRow(), -1);
}

TEST_F(KvListTest, FindStartsAfterTheFocusedRowAndNeverWraps) {
    Show({{"/m/note", "/n/note", "/o/note"}, {"/p/other", "/q/other"}});
    // Down from the last row: nothing, a beep, the selection stays.
    Select({1, 4});
    Focus(4);
    FindFromDialog("note", wxFR_DOWN);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(Selected(), (std::vector<std::size_t>{1, 4}));
    EXPECT_EQ(list->GetFocusedRow(), 4);
    EXPECT_EQ(list->GetFoundRow(), -1);

    // Up with no focused row: the search starts at the last row.
    view->SetModel(Groups({{"/m/note", "/n/note", "/o/note"}, {"/p/other", "/q/other"}}));
    ASSERT_EQ(list->GetFocusedRow(), -1);
    FindFromDialog("other", 0);
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(Selected(), (std::vector<std::size_t>{4}));
    EXPECT_EQ(list->GetFocusedRow(), 4);
    // Up again from row 4: row 3, then nothing (no wrap to the end).
    list->FindNext();
    EXPECT_EQ(Selected(), (std::vector<std::size_t>{3}));
    list->FindNext();
    EXPECT_EQ(beeps, 2);
    EXPECT_EQ(Selected(), (std::vector<std::size_t>{3}));

    // The focused row itself is never looked at.
    view->SetModel(Groups({{"/x/alpha", "/x/only-here", "/x/beta"}}));
    Focus(1);
    beeps = 0;
    FindFromDialog("only-here", wxFR_DOWN);
    FindFromDialog("only-here", 0);
    EXPECT_EQ(beeps, 2);
    EXPECT_EQ(list->GetFocusedRow(), 1);
}

TEST_F(KvListTest, WholeWordMatchCaseAndTheRemainderRule) {
    Show({{"/d/files", "/d/_file", "/d/file2", "/d/file.txt", "/d/FILE", "/d/abab"}});
    // Whole word, any case: file2 and file.txt and FILE, not files or _file.
    FindFromDialog("file", wxFR_DOWN | wxFR_WHOLEWORD);
    EXPECT_EQ(list->GetFocusedRow(), 2);
    list->FindNext();
    EXPECT_EQ(list->GetFocusedRow(), 3);
    list->FindNext();
    EXPECT_EQ(list->GetFocusedRow(), 4);
    EXPECT_EQ(beeps, 0);
    list->FindNext();
    EXPECT_EQ(beeps, 1);
    EXPECT_EQ(list->GetFocusedRow(), 4);

    // With match case FILE is passed over.
    list->ClearSelection(true);
    FindFromDialog("file", wxFR_DOWN | wxFR_WHOLEWORD | wxFR_MATCHCASE);
    EXPECT_TRUE(list->GetMatchCase());
    EXPECT_EQ(list->GetFocusedRow(), 2);
    list->FindNext();
    EXPECT_EQ(list->GetFocusedRow(), 3);
    list->FindNext();
    EXPECT_EQ(beeps, 2);
    EXPECT_EQ(list->GetFocusedRow(), 3);

    // "ab" in "abab": the first occurrence has a letter after it; the rest, searched as a
    // text of its own, is accepted ("/d/abab": the match starts at byte 5).
    list->ClearSelection(true);
    FindFromDialog("ab", wxFR_DOWN | wxFR_WHOLEWORD);
    EXPECT_EQ(list->GetFoundRow(), 5);
    EXPECT_EQ(list->GetFoundStart(), 5);
    EXPECT_EQ(list->GetFoundLength(), 2);
}

TEST_F(KvListTest, CtrlAddsTheFoundRowToTheSelection) {
    Show({{"/k/one", "/k/two", "/k/three"}});
    Select({0});
    ctrlDown = true;
    FindFromDialog("three", wxFR_DOWN);
    EXPECT_EQ(Selected(), (std::vector<std::size_t>{0, 2}));
    EXPECT_EQ(list->GetFocusedRow(), 2);
    ctrlDown = false;
    FindFromDialog("two", 0);
    EXPECT_EQ(Selected(), (std::vector<std::size_t>{1}));
}

TEST_F(KvListTest, FindDialogRemembersItsOptionsAndComesBackOnce) {
    Show({{"/r/Report.txt", "/s/report.txt"}});
    ASSERT_EQ(list->GetFindDialog(), nullptr);
    list->ShowFindDialog(true);
    wxFindReplaceDialog* first = list->GetFindDialog();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->IsShown());
    EXPECT_FALSE(first->HasFlag(wxFR_REPLACEDIALOG));
    EXPECT_EQ(first->GetTitle(), wxString::FromUTF8("查找"));
    EXPECT_EQ(first->GetData()->GetFindString(), "");
    EXPECT_EQ(first->GetData()->GetFlags(), wxFR_DOWN);

    // Asked for again: the same dialog.
    list->ShowFindDialog(true);
    EXPECT_EQ(list->GetFindDialog(), first);
    EXPECT_TRUE(list->IsFindOnly());

    // A search from it is remembered: text, direction, case, whole word.
    FindFromDialog("REPORT", wxFR_DOWN | wxFR_WHOLEWORD, wxEVT_FIND);
    EXPECT_EQ(list->GetFoundRow(), 0);
    EXPECT_EQ(list->GetFindWhat(), "REPORT");
    EXPECT_TRUE(list->GetSearchDown());
    EXPECT_TRUE(list->GetWholeWord());
    EXPECT_FALSE(list->GetMatchCase());
    // Replace requests change nothing.
    FindFromDialog("other", 0, wxEVT_FIND_REPLACE);
    FindFromDialog("other", 0, wxEVT_FIND_REPLACE_ALL);
    EXPECT_EQ(list->GetFindWhat(), "REPORT");
    EXPECT_EQ(beeps, 0);

    // The other form replaces the open dialog, with the found text as it stands in the row.
    list->ShowFindDialog(false);
    wxFindReplaceDialog* second = list->GetFindDialog();
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_TRUE(second->HasFlag(wxFR_REPLACEDIALOG));
    EXPECT_EQ(second->GetTitle(), wxString::FromUTF8("替换"));
    EXPECT_FALSE(list->IsFindOnly());
    EXPECT_EQ(second->GetData()->GetFindString(), "Report");
    EXPECT_EQ(second->GetData()->GetFlags(), wxFR_DOWN | wxFR_WHOLEWORD);
    guitest::ProcessEvents(50);
    int findDialogs = 0;
    for (wxWindow* window : wxTopLevelWindows) {
        if (wxDynamicCast(window, wxFindReplaceDialog) != nullptr) ++findDialogs;
    }
    EXPECT_EQ(findDialogs, 1);

    // Closing it forgets it and gives the keys back to the rows. A found row that is gone
    // falls back to the search text.
    second->SetFocus();
    guitest::WaitFor([second] { return second->IsDescendant(wxWindow::FindFocus()); });
    second->Close();
    EXPECT_EQ(list->GetFindDialog(), nullptr);
    EXPECT_TRUE(guitest::WaitFor([this] {
        wxWindow* focus = wxWindow::FindFocus();
        return focus != nullptr && (focus == list || list->IsDescendant(focus));
    }));
    view->SetModel(Groups({{"/t/1", "/t/2"}}));
    view->GetModel().Clear();
    view->RefreshRows();
    EXPECT_EQ(list->InitialFindText(), "REPORT");
    guitest::ProcessEvents(50);
}

TEST_F(KvListTest, FindNextWithNothingRememberedOpensTheDialog) {
    Show({{"/u/1", "/u/2"}});
    EXPECT_TRUE(KeyDown(WXK_F3));
    EXPECT_EQ(beeps, 0);
    ASSERT_NE(list->GetFindDialog(), nullptr);
    EXPECT_TRUE(list->IsFindOnly());
    list->GetFindDialog()->Close();

    // On an empty list (context menu) find opens the dialog and a search beeps.
    view->SetModel(nullptr);
    list->FindNext();
    ASSERT_NE(list->GetFindDialog(), nullptr);
    FindFromDialog("x", wxFR_DOWN);
    EXPECT_EQ(beeps, 1);
    list->FindNext();
    EXPECT_EQ(beeps, 2);
    list->GetFindDialog()->Close();
    guitest::ProcessEvents(50);
}

TEST_F(KvListTest, KeysOfTheList) {
    Show({{"/v/1", "/v/2", "/v/3"}});
    // Shift and Ctrl alone never go on to the list's own handling; letters do. The keys that
    // move the focus are the list's (the next test).
    EXPECT_TRUE(KeyDown(WXK_SHIFT, false, true));
    EXPECT_TRUE(KeyDown(WXK_CONTROL, true));
    EXPECT_FALSE(KeyDown('A'));
    EXPECT_EQ(list->GetSelectedItemCount(), 0);

    EXPECT_TRUE(KeyDown('F', true));
    ASSERT_NE(list->GetFindDialog(), nullptr);
    FindFromDialog("/v/", wxFR_DOWN);
    EXPECT_EQ(list->GetFocusedRow(), 0);
    EXPECT_TRUE(KeyDown(WXK_F3));
    EXPECT_EQ(list->GetFocusedRow(), 1);

    WriteClipboard("x");
    EXPECT_TRUE(KeyDown('C', true));
    EXPECT_EQ(ReadClipboard().substr(0, 5), "/v/2\t");
    list->GetFindDialog()->Close();
    guitest::ProcessEvents(50);
}

TEST_F(KvListTest, CommandsAreEnabledWhileTheListHasRows) {
    const int commands[] = {cmd::ID_EDIT_FIND, cmd::ID_EDIT_REPLACE, cmd::ID_EDIT_REPEAT,
                            cmd::ID_SELECT_ALL_ROWS, cmd::ID_COPY_ROWS};
    for (int command : commands) EXPECT_FALSE(IsEnabled(command)) << command;
    EXPECT_FALSE(frame->ExecuteCommand(WxId(cmd::ID_EDIT_FIND)));
    EXPECT_EQ(list->GetFindDialog(), nullptr);

    Show({{"/w/1", "/w/2"}});
    for (int command : commands) EXPECT_TRUE(IsEnabled(command)) << command;
    EXPECT_TRUE(IsEnabled(cmd::ID_SELECT_ALL_DUPLICATES));

    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_EDIT_FIND)));
    ASSERT_NE(list->GetFindDialog(), nullptr);
    EXPECT_TRUE(list->IsFindOnly());
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_EDIT_REPLACE)));
    ASSERT_NE(list->GetFindDialog(), nullptr);
    EXPECT_FALSE(list->IsFindOnly());
    FindFromDialog("/w/", wxFR_DOWN);
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_EDIT_REPEAT)));
    EXPECT_EQ(list->GetFocusedRow(), 1);
    list->GetFindDialog()->Close();
    guitest::ProcessEvents(50);
}

struct MenuSeen {
    int calls = 0;
    wxPoint at;
    std::vector<std::string> labels;  // "" for a separator
    std::vector<int> commands;
    std::vector<bool> enabled;
};

TEST_F(KvListTest, ContextMenuAtThePointerOrBelowTheTopLeftCorner) {
    MenuSeen seen;
    list->SetPopupMenuHook([&seen, this](wxMenu& menu, const wxPoint& at) {
        ++seen.calls;
        seen.at = at;
        // Ask for the items' state as a shown menu does.
        menu.UpdateUI(list->GetEventHandler());
        seen.labels.clear();
        seen.commands.clear();
        seen.enabled.clear();
        for (wxMenuItem* item : menu.GetMenuItems()) {
            seen.labels.push_back(item->IsSeparator() ? "" : WxToUtf8(item->GetItemLabel()));
            seen.commands.push_back(item->IsSeparator() ? 0 : CommandFromWxId(item->GetId()));
            seen.enabled.push_back(item->IsEnabled());
        }
    });

    // From the keyboard: 5 pixels right of and below the client area's top-left corner.
    wxContextMenuEvent keyboard(wxEVT_CONTEXT_MENU, list->GetId(), wxDefaultPosition);
    keyboard.SetEventObject(list);
    list->GetEventHandler()->ProcessEvent(keyboard);
    ASSERT_EQ(seen.calls, 1);
    EXPECT_EQ(seen.at, wxPoint(5, 5));
    // Last, after a separator, the marking commands of 编辑 → 标记 in a menu of their own.
    ASSERT_EQ(seen.labels.size(), 18u);
    EXPECT_EQ(seen.labels.back(), "标记(&K)");
    seen.labels.resize(16);
    seen.commands.resize(16);
    seen.enabled.resize(16);
    EXPECT_EQ(seen.labels,
              (std::vector<std::string>{
                  "打开(&O)\tEnter", "资源管理器(&X)", "属性(&R)", "", "全选(&S)\tCtrl+A",
                  "选择全部重复的文件(&E)", "复制(&C)\tCtrl+C", "删除(&D)\tDel", "",
                  "查找(&F)\tCtrl+F", "查找下一个(&N)\tF3", "", "替换为硬链接(&H)",
                  "共享数据块(&B)", "移动到(&M)...", "忽略此组(&I)\tCtrl+Shift+I"}));
    EXPECT_EQ(seen.commands,
              (std::vector<int>{57601, 32773, 32772, 0, 32786, 32782, 32787, 32781, 0, 57636,
                                57640, 0, 32793, 32794, 32795, 32841}));
    // No two items share a letter: a letter pressed in the open menu runs its item.
    std::set<wxChar> letters;
    for (const std::string& label : seen.labels) {
        const wxString text = Utf8ToWx(label);
        const int amp = text.Find('&');
        if (amp == wxNOT_FOUND) continue;
        EXPECT_TRUE(letters.insert(wxToupper(text[static_cast<std::size_t>(amp) + 1])).second)
            << label;
    }
    // The list's own items are enabled, even on this empty list (the menu bar's are not); the
    // file commands follow the view's rules: nothing is listed, nothing selected.
    EXPECT_EQ(seen.enabled, (std::vector<bool>{false, false, false, true, true, false, true,
                                               false, true, true, true, true, false, false,
                                               false, false}));
    EXPECT_FALSE(IsEnabled(cmd::ID_SELECT_ALL_ROWS));
    // The file commands are enabled exactly when the main menu's are: on an empty list, with
    // rows and no selection, with a selection.
    const auto sameAsMainMenu = [&seen, this](const char* state) {
        for (std::size_t i = 0; i < seen.commands.size(); ++i) {
            const int command = seen.commands[i];
            if (command == 0 || command == cmd::ID_SELECT_ALL_ROWS ||
                command == cmd::ID_COPY_ROWS || command == cmd::ID_EDIT_FIND ||
                command == cmd::ID_EDIT_REPEAT)
                continue;
            EXPECT_EQ(seen.enabled[i], IsEnabled(command)) << state << ": " << seen.labels[i];
        }
    };
    sameAsMainMenu("empty");
    const auto enabledOf = [&seen](int command) {
        for (std::size_t i = 0; i < seen.commands.size(); ++i)
            if (seen.commands[i] == command) return static_cast<bool>(seen.enabled[i]);
        ADD_FAILURE() << command << " not in the menu";
        return false;
    };
    Show({{"/m/1", "/m/2"}, {"/n/1", "/n/2"}});
    list->ClearSelection();
    list->GetEventHandler()->ProcessEvent(keyboard);
    ASSERT_EQ(seen.calls, 2);
    sameAsMainMenu("rows");
    EXPECT_TRUE(enabledOf(cmd::ID_SELECT_ALL_DUPLICATES));
    EXPECT_FALSE(enabledOf(cmd::ID_DELETE_FILES));
    EXPECT_FALSE(enabledOf(cmd::ID_FILE_OPEN));
    Select({1});
    list->GetEventHandler()->ProcessEvent(keyboard);
    ASSERT_EQ(seen.calls, 3);
    sameAsMainMenu("selected");
    for (int command : {cmd::ID_FILE_OPEN, cmd::ID_EXPLORE_FOLDER, cmd::ID_FILE_PROPERTIES,
                        cmd::ID_DELETE_FILES, cmd::ID_SELECT_ALL_DUPLICATES})
        EXPECT_TRUE(enabledOf(command)) << command;
    // 选择全部重复的文件 from the context menu reaches the view: every row but each group's first.
    wxCommandEvent duplicates(wxEVT_MENU, WxId(cmd::ID_SELECT_ALL_DUPLICATES));
    duplicates.SetEventObject(list);
    list->GetEventHandler()->ProcessEvent(duplicates);
    EXPECT_EQ(Selected(), (std::vector<std::size_t>{1, 3}));

    // With the mouse: at the pointer.
    const wxPoint screen = list->ClientToScreen(wxPoint(40, 30));
    wxContextMenuEvent mouse(wxEVT_CONTEXT_MENU, list->GetId(), screen);
    mouse.SetEventObject(list);
    list->GetEventHandler()->ProcessEvent(mouse);
    ASSERT_EQ(seen.calls, 4);
    EXPECT_EQ(seen.at, wxPoint(40, 30));

    // A chosen item reaches the view's command routing from the list.
    Show({{"/z/1", "/z/2", "/z/3"}});
    wxCommandEvent selectAll(wxEVT_MENU, WxId(cmd::ID_SELECT_ALL_ROWS));
    selectAll.SetEventObject(list);
    list->GetEventHandler()->ProcessEvent(selectAll);
    EXPECT_EQ(list->GetSelectedItemCount(), 3);

    EXPECT_EQ(CKvListCtrl::LoadContextMenu(140), nullptr);
}

// Real key presses through the X server: F3 runs find next once, although the menu bar also
// names F3 as its shortcut. Other test programs share the virtual display and may take the focus
// for a moment; a key that reached no window of this program is sent again.
TEST_F(KvListTest, F3PressedOnTheListFindsOnce) {
    Show({{"/f/1", "/f/2", "/f/3", "/f/4", "/f/5"}});
    FindFromDialog("/f/", wxFR_DOWN);
    ASSERT_EQ(list->GetFocusedRow(), 0);
    int framesSaw = 0;
    frame->Bind(wxEVT_CHAR_HOOK, [&framesSaw](wxKeyEvent& event) {
        if (event.GetKeyCode() == WXK_F3) ++framesSaw;
        event.Skip();
    });
    wxUIActionSimulator sim;
    bool reached = false;
    for (int attempt = 0; attempt < 3 && !reached; ++attempt) {
        frame->Raise();
        list->SetFocus();
        guitest::WaitFor(
            [this] {
                wxWindow* focus = wxWindow::FindFocus();
                return focus != nullptr && (focus == list || focus->GetParent() == list);
            },
            2000);
        sim.Char(WXK_F3);
        reached = guitest::WaitFor([&] { return framesSaw > 0; }, 3000);
    }
    guitest::ProcessEvents(100);
    if (!reached) GTEST_SKIP() << "the key press did not reach the window";
    EXPECT_EQ(framesSaw, 1);
    EXPECT_EQ(list->GetFocusedRow(), 1);
    EXPECT_EQ(Selected(), (std::vector<std::size_t>{1}));
}

using Rows = std::vector<std::size_t>;

TEST_F(KvListTest, KeysMoveTheFocusAndSelectAsDrawn) {
#ifdef __WXMSW__
    GTEST_SKIP() << "the native list of Windows keeps its own rules for clicks and keys";
#endif
    Show({{"/k/0", "/k/1", "/k/2"}, {"/k/3", "/k/4"}, {"/k/5", "/k/6", "/k/7"}});
    // No focus yet: Down goes to the first row.
    EXPECT_TRUE(KeyDown(WXK_DOWN));
    EXPECT_EQ(list->GetFocusedRow(), 0);
    EXPECT_EQ(Selected(), (Rows{0}));
    EXPECT_TRUE(KeyDown(WXK_DOWN));
    EXPECT_TRUE(KeyDown(WXK_DOWN));
    EXPECT_EQ(list->GetFocusedRow(), 2);
    EXPECT_EQ(Selected(), (Rows{2}));
    EXPECT_EQ(Drawn(), Selected());
    // Shift extends from the anchor, Ctrl moves the focus alone, Space turns a row over.
    EXPECT_TRUE(KeyDown(WXK_DOWN, false, true));
    EXPECT_TRUE(KeyDown(WXK_DOWN, false, true));
    EXPECT_EQ(Selected(), (Rows{2, 3, 4}));
    EXPECT_TRUE(KeyDown(WXK_UP, true));
    EXPECT_EQ(list->GetFocusedRow(), 3);
    EXPECT_EQ(Selected(), (Rows{2, 3, 4}));
    EXPECT_TRUE(KeyDown(WXK_SPACE));
    EXPECT_EQ(Selected(), (Rows{2, 4}));
    EXPECT_EQ(Drawn(), Selected());
    EXPECT_TRUE(KeyDown(WXK_END, false, true));
    EXPECT_EQ(list->GetFocusedRow(), 7);
    EXPECT_EQ(Selected(), (Rows{3, 4, 5, 6, 7}));
    EXPECT_EQ(Drawn(), Selected());
    EXPECT_TRUE(KeyDown(WXK_HOME));
    EXPECT_EQ(Selected(), (Rows{0}));
    EXPECT_TRUE(KeyDown(WXK_UP));
    EXPECT_EQ(list->GetFocusedRow(), 0);
    EXPECT_TRUE(KeyDown(WXK_PAGEDOWN));
    const long paged = list->GetFocusedRow();
    EXPECT_GT(paged, 0);
    EXPECT_EQ(Selected(), (Rows{static_cast<std::size_t>(paged)}));
    EXPECT_TRUE(KeyDown(WXK_PAGEUP));
    EXPECT_EQ(list->GetFocusedRow(), 0);
    EXPECT_EQ(Drawn(), Selected());

    // Letters never reach the toolkit, which would jump to a row and select it by itself.
    wxKeyEvent letter(wxEVT_CHAR);
    letter.m_keyCode = 'k';
    letter.m_uniChar = 'k';
    letter.SetEventObject(list);
    EXPECT_TRUE(list->GetEventHandler()->ProcessEvent(letter));
    EXPECT_EQ(Selected(), (Rows{0}));
}

TEST_F(KvListTest, ClicksSelectAsDrawnAndADoubleClickOpens) {
#ifdef __WXMSW__
    GTEST_SKIP() << "the native list of Windows keeps its own rules for clicks and keys";
#endif
    Show({{"/m/0", "/m/1", "/m/2"}, {"/m/3", "/m/4"}, {"/m/5", "/m/6", "/m/7"}});
    guitest::ProcessEvents(50);
    ASSERT_NE(RowWindow(), nullptr);
    std::vector<long> activated;
    list->Bind(wxEVT_LIST_ITEM_ACTIVATED, [&activated](wxListEvent& event) {
        activated.push_back(event.GetIndex());
    });
    // Taken by the list, not handed on to the toolkit's own rules.
    EXPECT_TRUE(Mouse(wxEVT_LEFT_DOWN, 2));
    EXPECT_EQ(Selected(), (Rows{2}));
    EXPECT_EQ(list->GetFocusedRow(), 2);
    EXPECT_TRUE(Mouse(wxEVT_LEFT_DOWN, 5, false, true));
    EXPECT_EQ(Selected(), (Rows{2, 3, 4, 5}));
    EXPECT_TRUE(Mouse(wxEVT_LEFT_DOWN, 3, true));
    EXPECT_EQ(Selected(), (Rows{2, 4, 5}));
    EXPECT_TRUE(Mouse(wxEVT_LEFT_DOWN, 7, true, true));
    EXPECT_EQ(Selected(), (Rows{2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(Drawn(), Selected());
    EXPECT_EQ(list->GetFocusedRow(), 7);

    // The right button keeps a selection that holds its row, else selects the row alone.
    list->SetPopupMenuHook([](wxMenu&, const wxPoint&) {});
    Mouse(wxEVT_RIGHT_DOWN, 4);
    EXPECT_EQ(Selected(), (Rows{2, 3, 4, 5, 6, 7}));
    Mouse(wxEVT_RIGHT_DOWN, 1);
    EXPECT_EQ(Selected(), (Rows{1}));
    EXPECT_EQ(Drawn(), Selected());

    // A double click on the row just clicked opens it; on another row it is a click.
    EXPECT_TRUE(Mouse(wxEVT_LEFT_DCLICK, 6));
    EXPECT_TRUE(activated.empty());
    EXPECT_EQ(Selected(), (Rows{6}));
    EXPECT_TRUE(Mouse(wxEVT_LEFT_DCLICK, 6));
    EXPECT_EQ(activated, (std::vector<long>{6}));

    // Below the last row a plain click unselects everything.
    EXPECT_TRUE(Mouse(wxEVT_LEFT_DOWN, -1));
    EXPECT_EQ(Selected(), Rows{});
    EXPECT_EQ(Drawn(), Selected());
}

// Should the toolkit change its selection by a way the list does not take (here: its own
// functions called directly), the rows it shows are the ones a command gets.
TEST_F(KvListTest, WhatTheToolkitChangesByItselfIsFollowed) {
    Show({{"/t/0", "/t/1", "/t/2"}, {"/t/3", "/t/4"}});
    Select({1, 3});
    wxListCtrl& toolkit = *list;
    toolkit.SetItemState(4, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);  // told by an event
    EXPECT_EQ(Selected(), (Rows{1, 3, 4}));
    toolkit.SetItemState(-1, 0, wxLIST_STATE_SELECTED);  // no event for this one
    toolkit.SetItemState(2, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    EXPECT_EQ(Selected(), (Rows{2}));
    EXPECT_EQ(list->GetSelectedItemCount(), 1);
    EXPECT_EQ(Drawn(), Selected());
}

// Real clicks through the X server: the row under the pointer is the one selected.
TEST_F(KvListTest, ARealClickSelectsTheRowUnderThePointer) {
#ifdef __WXMSW__
    GTEST_SKIP() << "the native list of Windows keeps its own rules for clicks and keys";
#endif
    Show({{"/r/0", "/r/1", "/r/2"}, {"/r/3", "/r/4"}});
    frame->Raise();
    guitest::ProcessEvents(200);
    wxRect rect;
    ASSERT_TRUE(list->GetItemRect(3, rect));
    wxUIActionSimulator sim;
    bool reached = false;
    for (int attempt = 0; attempt < 3 && !reached; ++attempt) {
        frame->Raise();
        sim.MouseMove(list->ClientToScreen(rect.GetPosition() + wxPoint(30, rect.height / 2)));
        guitest::ProcessEvents(50);
        sim.MouseClick();
        reached = guitest::WaitFor([this] { return list->GetSelectedItemCount() > 0; }, 2000);
    }
    if (!reached) GTEST_SKIP() << "the click did not reach the window";
    EXPECT_EQ(Selected(), (Rows{3}));
    EXPECT_EQ(list->GetFocusedRow(), 3);
    EXPECT_EQ(Drawn(), Selected());
}

// A benchmark, not a check of speed: how long select all and copy take on 300 000 rows.
TEST_F(KvListTest, SelectAllAndCopyOf300000Rows) {
    constexpr int kGroups = 150000;
    auto model = std::make_unique<ResultsModel>();
    for (int g = 0; g < kGroups; ++g) {
        std::vector<std::unique_ptr<CFileRecord>> files;
        const std::string folder = "/data/set" + std::to_string(g % 97) + "/";
        files.push_back(Record(folder + "file" + std::to_string(g) + ".bin", 1000 + g));
        files.push_back(Record(folder + "copy of file" + std::to_string(g) + ".bin", 1000 + g));
        model->AppendGroup(std::move(files));
    }
    wxStopWatch watch;
    view->SetModel(std::move(model));
    const long setModelMs = watch.Time();
    ASSERT_EQ(list->GetItemCount(), 2 * kGroups);

    watch.Start();
    list->SelectAllRows();
    const long selectMs = watch.Time();
    EXPECT_EQ(list->GetSelectedItemCount(), 2 * kGroups);
    EXPECT_EQ(list->GetFocusedRow(), 2 * kGroups - 1);

    watch.Start();
    ASSERT_TRUE(list->CopyRowsToClipboard());
    const long copySelectedMs = watch.Time();
    list->ClearSelection();
    watch.Start();
    ASSERT_TRUE(list->CopyRowsToClipboard());
    const long copyAllMs = watch.Time();

    watch.Start();
    const std::string text = ReadClipboard();
    const long readMs = watch.Time();
    std::size_t lines = 0;
    for (std::size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at + 2))
        ++lines;
    EXPECT_EQ(lines, static_cast<std::size_t>(2 * kGroups));
    EXPECT_EQ(text.substr(0, 19), "/data/set0/file0.bi");

    std::printf("[ bench    ] 300000 rows: show %ld ms, select all %ld ms, copy selected %ld ms, "
                "copy all %ld ms (%zu bytes), read back %ld ms\n",
                setModelMs, selectMs, copySelectedMs, copyAllMs, text.size(), readMs);
}

}  // namespace
