// The main window as the program starts it: title, menu tree, toolbar, status bar, the idle-text
// rule, accelerator table 128 and the state of the commands.
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/docview.h>
#include <wx/listctrl.h>
#include <wx/textctrl.h>
#include <wx/menu.h>
#include <wx/statusbr.h>
#include <wx/toolbar.h>
#include <wx/uiaction.h>

#include "gui/command_ids.h"
#include "gui/frame_resources.h"
#include "app/gui_test_env.h"
#include "engine/text/string_table.h"
#include "engine/text/text_helpers.h"
#include "results/geminex_view.h"

namespace {

wxString U(const char* utf8) { return wxString::FromUTF8(utf8); }

// Records the commands that reach the frame and enables the commands it is told to. It takes
// the commands it records: none goes on to a handler (which might open a dialog).
class CommandRecorder : public wxEvtHandler {
public:
    explicit CommandRecorder(std::vector<int> enable) : m_enable(std::move(enable)) {
        Bind(wxEVT_MENU, &CommandRecorder::OnCommand, this);
        Bind(wxEVT_UPDATE_UI, &CommandRecorder::OnUpdate, this);
    }
    std::vector<int> commands;  // command numbers, in order

private:
    void OnCommand(wxCommandEvent& event) {
        commands.push_back(CommandFromWxId(event.GetId()));
    }
    void OnUpdate(wxUpdateUIEvent& event) {
        for (int number : m_enable) {
            if (event.GetId() == WxId(number)) {
                event.Enable(true);
                return;
            }
        }
        event.Skip();
    }
    std::vector<int> m_enable;
};

class MainFrameTest : public GeminexAppTest {
protected:
    // Sends a key to the frame as the window system delivers it first (the char hook); true
    // when the frame consumed it.
    bool SendKey(int keyCode, int modifiers) {
        wxKeyEvent key(wxEVT_CHAR_HOOK);
        key.m_keyCode = keyCode;
        key.m_controlDown = (modifiers & wxMOD_CONTROL) != 0;
        key.m_shiftDown = (modifiers & wxMOD_SHIFT) != 0;
        key.m_altDown = (modifiers & wxMOD_ALT) != 0;
        key.SetEventObject(frame);
        const bool processed = frame->GetEventHandler()->ProcessEvent(key);
        return processed && !key.GetSkipped();
    }

    // Whether command `number` is enabled, asked the way menus and toolbar ask.
    bool IsEnabled(int number) {
        wxUpdateUIEvent update(WxId(number));
        update.SetEventObject(frame);
        frame->ProcessWindowEvent(update);
        return !update.GetSetEnabled() || update.GetEnabled();
    }

    wxString MessagePane() { return frame->GetStatusBar()->GetStatusText(0); }
};

TEST_F(MainFrameTest, TitleIsTheApplicationTitle) {
    EXPECT_EQ(frame->GetTitle(), "Pairscout");
    EXPECT_TRUE(frame->IsShown());
}

TEST_F(MainFrameTest, TitleNeverShowsTheDocumentName) {
    wxDocument* doc = app->GetDocManager()->GetCurrentDocument();
    ASSERT_NE(doc, nullptr);
    doc->SetFilename(guitest::TempHome() + "list.csv", true);
    doc->SetTitle("list.csv");
    doc->Modify(true);
    doc->Modify(false);
    EXPECT_EQ(frame->GetTitle(), "Pairscout");
    frame->SetTitle("list.csv - Pairscout");
    EXPECT_EQ(frame->GetTitle(), "Pairscout");
    frame->SetLabel("list.csv");
    EXPECT_EQ(frame->GetTitle(), "Pairscout");
}

TEST_F(MainFrameTest, DocumentTemplateTiesDocumentFrameAndView) {
    wxDocManager* manager = app->GetDocManager();
    ASSERT_NE(manager, nullptr);
    ASSERT_EQ(manager->GetTemplates().GetCount(), 1u);
    wxDocTemplate* templ = app->GetDocTemplate();
    EXPECT_EQ(templ->GetDocumentName(), "Geminex.Document");
    EXPECT_EQ(templ->GetDescription(), "Geminex Document");
    ASSERT_EQ(manager->GetDocuments().GetCount(), 1u);
    wxDocument* doc = manager->GetCurrentDocument();
    ASSERT_NE(doc, nullptr);
    EXPECT_STREQ(doc->GetClassInfo()->GetClassName(), L"CGeminexDoc");
    EXPECT_FALSE(doc->IsModified());
    wxView* view = doc->GetFirstView();
    ASSERT_NE(view, nullptr);
    EXPECT_STREQ(view->GetClassInfo()->GetClassName(), L"CGeminexView");
    EXPECT_EQ(view->GetFrame(), frame);
    EXPECT_STREQ(frame->GetClassInfo()->GetClassName(), L"CMainFrame");
    EXPECT_EQ(app->GetTopWindow(), frame);
}

TEST_F(MainFrameTest, ViewIsAReportListWithFiveHeadingsAndNoRows) {
    auto* view = wxDynamicCast(app->GetDocManager()->GetCurrentView(), CGeminexView);
    ASSERT_NE(view, nullptr);
    wxListCtrl* list = view->GetListCtrl();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->InReportView());
    // In the splitter that holds the preview pane beside it, the splitter in the frame.
    EXPECT_EQ(list->GetParent(), view->GetSplitter());
    EXPECT_EQ(list->GetParent()->GetParent(), frame);
    EXPECT_EQ(list->GetItemCount(), 0);
    // The five columns of the results, then the reason the first copy of a group stays.
    const char* headings[] = {"文件名", "日期", "大小", "CRC", "校验", "保留原因"};
    ASSERT_EQ(list->GetColumnCount(), 6);
    for (int i = 0; i < 6; ++i) {
        wxListItem column;
        column.SetMask(wxLIST_MASK_TEXT | wxLIST_MASK_FORMAT);
        ASSERT_TRUE(list->GetColumn(i, column));
        EXPECT_EQ(column.GetText(), U(headings[i])) << i;
        EXPECT_EQ(column.GetAlign(), wxLIST_FORMAT_LEFT) << i;
        EXPECT_GE(list->GetColumnWidth(i), 10) << i;
    }
    // The filter bar spans the frame's client area on top, the list fills the rest below it.
    ASSERT_NE(view->GetFilterBox(), nullptr);
    const wxWindow* bar = view->GetFilterBox()->GetParent();
    EXPECT_EQ(bar->GetSize().x, frame->GetClientSize().x);
    EXPECT_GT(bar->GetSize().y, 0);
    EXPECT_EQ(list->GetSize(), frame->GetClientSize() - wxSize(0, bar->GetSize().y));
    EXPECT_EQ(list->GetPosition(), wxPoint(0, bar->GetSize().y));
}

struct ItemWanted {
    const char* text;  // nullptr for a separator
    int command;
};

struct PopupWanted {
    const char* text;
    std::vector<ItemWanted> items;
};

// Menu 128 as it must be, written out by hand.
const std::vector<PopupWanted>& WantedMenu() {
    static const std::vector<PopupWanted> menu = {
        {"文件(&F)",
         {{"搜索重复的文件(&S)", 32780},
          {"与目录比较(&G)...", 32799},
          {nullptr, 0},
          {"打开结果(&L)...\tCtrl+O", 32798},
          {"保存结果(&E)...\tCtrl+Shift+S", 32797},
          {nullptr, 0},
          {"打开(&O)\tEnter", 57601},
          {"另存为(&A)...\tCtrl+S", 57604},
          {"导出为 Excel 工作簿(&W)...", 32800},
          {nullptr, 0},
          {"打印(&P)...\tCtrl+P", 57607},
          // Beyond menu 128: the pages as they will print.
          {"打印预览(&V)", 57609},
          {"打印设置(&R)...", 57606},
          {nullptr, 0},
          {"清除缓存(&C)", 32796},
          {"忽略列表(&I)...", 32842},
          {nullptr, 0},
          {"退出(&X)", 57665}}},
        {"编辑(&E)",
         {{"全选(&S)\tCtrl+A", 32786},
          {"选择全部重复的文件(&E)", 32782},
          {"复制(&C)\tCtrl+C", 32787},
          {"删除(&D)\tDel", 32781},
          {"撤销删除(&U)\tCtrl+Z", 32790},
          {nullptr, 0},
          {"替换为硬链接(&H)", 32793},
          {"共享数据块(&B)", 32794},
          {"移动到(&M)...", 32795},
          {"忽略此组(&I)\tCtrl+Shift+I", 32841},
          {nullptr, 0},
          {"查找(&F)\tCtrl+F", 57636},
          {"查找下一个(&N)\tF3", 57640},
          {nullptr, 0},
          // Marking by criteria: a menu of its own (command 0).
          {"标记(&K)", 0}}},
        {"查看(&V)",
         {{"工具栏(&T)", 59392},
          {"状态栏(&S)", 59393},
          {"预览(&P)\tCtrl+Shift+P", 32840},
          {nullptr, 0},
          {"属性(&O)", 32772},
          {"浏览目录(&E)", 32773},
          {nullptr, 0},
          {"重复的文件夹(&F)...", 32801},
          {"筛选(&I)...\tCtrl+Shift+F", 32834},
          {nullptr, 0},
          {"排序(&R)", 0},
          {nullptr, 0},
          // The interface's language: a menu of its own (command 0), Chinese and English.
          {"语言(&L)", 0}}},
        {"帮助(&H)",
         {{"内容(&C)\tF1", 57670},
          {"查找(&S)", 40013},
          {nullptr, 0},
          {"关于 Pairscout (&A)...", 57664}}},
    };
    return menu;
}

TEST_F(MainFrameTest, MenuTreeIsMenu128) {
    wxMenuBar* bar = frame->GetMenuBar();
    ASSERT_NE(bar, nullptr);
    const std::vector<PopupWanted>& wanted = WantedMenu();
    ASSERT_EQ(bar->GetMenuCount(), wanted.size());
    for (std::size_t p = 0; p < wanted.size(); ++p) {
        EXPECT_EQ(bar->GetMenuLabel(p), U(wanted[p].text)) << p;
        wxMenu* menu = bar->GetMenu(p);
        ASSERT_EQ(menu->GetMenuItemCount(), wanted[p].items.size()) << wanted[p].text;
        for (std::size_t i = 0; i < wanted[p].items.size(); ++i) {
            const ItemWanted& want = wanted[p].items[i];
            wxMenuItem* item = menu->FindItemByPosition(i);
            SCOPED_TRACE(std::string(wanted[p].text) + " item " + std::to_string(i));
            if (want.text == nullptr) {
                EXPECT_TRUE(item->IsSeparator());
                continue;
            }
            EXPECT_FALSE(item->IsSeparator());
            EXPECT_EQ(item->GetItemLabel(), U(want.text));
            if (want.command == 0 && item->GetItemLabel() == U("标记(&K)")) {
                ASSERT_TRUE(item->IsSubMenu());
                wxMenu* mark = item->GetSubMenu();
                ASSERT_EQ(mark->GetMenuItemCount(), 11u);
                EXPECT_EQ(mark->FindItemByPosition(0)->GetItemLabel(), U("反向选择(&I)"));
                EXPECT_EQ(CommandFromWxId(mark->FindItemByPosition(0)->GetId()), 32820);
                EXPECT_EQ(CommandFromWxId(mark->FindItemByPosition(10)->GetId()), 32827);
                continue;
            }
            if (want.command == 0 && item->GetItemLabel() == U("排序(&R)")) {
                ASSERT_TRUE(item->IsSubMenu());
                wxMenu* sort = item->GetSubMenu();
                ASSERT_EQ(sort->GetMenuItemCount(), 7u);
                EXPECT_EQ(sort->FindItemByPosition(0)->GetItemLabel(), U("按路径(&P)"));
                EXPECT_EQ(CommandFromWxId(sort->FindItemByPosition(4)->GetId()), 32832);
                EXPECT_EQ(CommandFromWxId(sort->FindItemByPosition(6)->GetId()), 32833);
                continue;
            }
            if (want.command == 0) {
                ASSERT_TRUE(item->IsSubMenu());
                wxMenu* languages = item->GetSubMenu();
                ASSERT_EQ(languages->GetMenuItemCount(), 2u);
                EXPECT_EQ(languages->FindItemByPosition(0)->GetItemLabel(), U("中文(&C)"));
                EXPECT_EQ(languages->FindItemByPosition(1)->GetItemLabel(), U("English(&E)"));
                EXPECT_TRUE(languages->FindItemByPosition(0)->IsRadio());
                EXPECT_EQ(CommandFromWxId(languages->FindItemByPosition(1)->GetId()), 32792);
                continue;
            }
            EXPECT_FALSE(item->IsSubMenu());
            EXPECT_EQ(CommandFromWxId(item->GetId()), want.command);
            EXPECT_LT(item->GetId(), 0x7FFF);
        }
    }
}

TEST_F(MainFrameTest, MenuItemsCarryTheirPrompts) {
    wxMenuBar* bar = frame->GetMenuBar();
    const int own[] = {32780, 32781, 32782, 32772, 32773, 40013};
    for (int command : own) {
        wxMenuItem* item = bar->FindItem(WxId(command));
        ASSERT_NE(item, nullptr) << command;
        EXPECT_EQ(item->GetHelp(), wxString::FromUTF8(LoadPromptText(command).c_str()))
            << command;
    }
    EXPECT_EQ(bar->FindItem(WxId(32780))->GetHelp(), U("查找重复的文件"));
    EXPECT_EQ(bar->FindItem(WxId(40013))->GetHelp(), U("查找帮助"));
}

TEST_F(MainFrameTest, ToolbarHasTheButtonsInOrder) {
    wxToolBar* toolBar = frame->GetToolBar();
    ASSERT_NE(toolBar, nullptr);
    EXPECT_EQ(toolBar, frame->GetMainToolBar());
    EXPECT_TRUE(toolBar->IsShown());
    EXPECT_TRUE(toolBar->HasFlag(wxTB_HORIZONTAL));
    // Docked on top: the toolbar spans the frame above the list.
    guitest::ProcessEvents(50);
    auto* view = wxDynamicCast(app->GetDocManager()->GetCurrentView(), CGeminexView);
    ASSERT_NE(view, nullptr);
    const wxRect tools = toolBar->GetScreenRect();
    EXPECT_LE(tools.GetBottom(), view->GetListCtrl()->GetScreenPosition().y);
    EXPECT_EQ(tools.GetWidth(), frame->GetClientSize().GetWidth());

    const int order[] = {32780, 0, 32772, 32773, 0, 57604, 0, 57607, 57664};
    ASSERT_EQ(toolBar->GetToolsCount(), sizeof order / sizeof order[0]);
    for (std::size_t i = 0; i < sizeof order / sizeof order[0]; ++i) {
        const wxToolBarToolBase* tool = toolBar->GetToolByPos(static_cast<int>(i));
        ASSERT_NE(tool, nullptr) << i;
        if (order[i] == 0) {
            EXPECT_TRUE(tool->IsSeparator()) << i;
            continue;
        }
        EXPECT_FALSE(tool->IsSeparator()) << i;
        EXPECT_EQ(CommandFromWxId(tool->GetId()), order[i]) << i;
        EXPECT_TRUE(tool->GetNormalBitmap().IsOk()) << i;
        EXPECT_EQ(tool->GetNormalBitmap().GetWidth(), 16) << i;
        EXPECT_EQ(tool->GetNormalBitmap().GetHeight(), 15) << i;
        EXPECT_EQ(tool->GetShortHelp(), wxString::FromUTF8(LoadTooltipText(order[i]).c_str()));
        EXPECT_EQ(tool->GetLongHelp(), wxString::FromUTF8(LoadPromptText(order[i]).c_str()));
    }
    EXPECT_EQ(toolBar->GetToolShortHelp(WxId(32780)), U("查找"));
    EXPECT_EQ(toolBar->GetToolLongHelp(WxId(32780)), U("查找重复的文件"));
    EXPECT_EQ(toolBar->GetToolShortHelp(WxId(32772)), U("属性"));
    EXPECT_EQ(toolBar->GetToolShortHelp(WxId(32773)), U("资源管理器"));
}

TEST_F(MainFrameTest, StatusBarHasMessageCapNumAndScrlPanes) {
    wxStatusBar* bar = frame->GetStatusBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar, frame->GetMainStatusBar());
    EXPECT_TRUE(bar->IsShown());
    ASSERT_EQ(bar->GetFieldsCount(), 4);
    // The message pane stretches; each indicator pane is as wide as its text.
    EXPECT_EQ(bar->GetStatusWidth(0), -1);
    const char* texts[] = {"CAP", "NUM", "SCRL"};
    for (int i = 1; i <= 3; ++i) {
        EXPECT_GE(bar->GetStatusWidth(i), bar->GetTextExtent(texts[i - 1]).GetWidth()) << i;
    }
    EXPECT_EQ(MessagePane(), U("准备"));
    EXPECT_EQ(CMainFrame::IndicatorText(59137, true), "CAP");
    EXPECT_EQ(CMainFrame::IndicatorText(59138, true), "NUM");
    EXPECT_EQ(CMainFrame::IndicatorText(59139, true), "SCRL");
    EXPECT_EQ(CMainFrame::IndicatorText(59137, false), "");
    // A pane shows its text or nothing.
    for (int i = 1; i <= 3; ++i) {
        const wxString text = bar->GetStatusText(i);
        EXPECT_TRUE(text.empty() || text == texts[i - 1]) << i;
    }
}

TEST_F(MainFrameTest, MenuPromptThenIdleMessage) {
    ASSERT_TRUE(frame->GetIdleText().empty());
    wxMenuEvent highlight(wxEVT_MENU_HIGHLIGHT, WxId(32780));
    frame->ProcessWindowEvent(highlight);
    EXPECT_EQ(MessagePane(), U("查找重复的文件"));
    wxMenuEvent close(wxEVT_MENU_CLOSE, wxID_ANY, frame->GetMenuBar()->GetMenu(0));
    frame->ProcessWindowEvent(close);
    EXPECT_EQ(MessagePane(), U("准备"));
}

TEST_F(MainFrameTest, IdleTextOfASearchStaysAfterAMenuPrompt) {
    const wxString summary = U("发现 2 个重复文件 (10 KB)");
    frame->SetIdleText(summary);
    frame->OnSetMessageString(IDS_IDLE_MESSAGE);
    EXPECT_EQ(MessagePane(), summary);

    wxMenuEvent highlight(wxEVT_MENU_HIGHLIGHT, WxId(32781));
    frame->ProcessWindowEvent(highlight);
    EXPECT_EQ(MessagePane(), U("删除选择的文件"));
    wxMenuEvent close(wxEVT_MENU_CLOSE, wxID_ANY, frame->GetMenuBar()->GetMenu(1));
    frame->ProcessWindowEvent(close);
    EXPECT_EQ(MessagePane(), summary);

    // Toolbar fly-by prompts follow the same rule.
    frame->GetToolBar()->OnMouseEnter(WxId(32772));
    EXPECT_EQ(MessagePane(), U("文件属性"));
    frame->GetToolBar()->OnMouseEnter(wxID_ANY);
    EXPECT_EQ(MessagePane(), summary);

    // A search that finds nothing empties the idle text: the idle message is back.
    frame->SetIdleText(wxString());
    frame->OnSetMessageString(IDS_IDLE_MESSAGE);
    EXPECT_EQ(MessagePane(), U("准备"));
    frame->ProcessWindowEvent(highlight);
    frame->ProcessWindowEvent(close);
    EXPECT_EQ(MessagePane(), U("准备"));
}

TEST_F(MainFrameTest, OtherMessagesAreNotReplacedByTheIdleText) {
    frame->SetIdleText(U("发现 1 个重复文件 (3 字节)"));
    frame->OnSetMessageString(32773);
    EXPECT_EQ(MessagePane(), U("在资源管理器中打开选择文件"));
    frame->OnSetMessageString(0, "free text");
    EXPECT_EQ(MessagePane(), "free text");
}

TEST(Accelerators, KeypadKeysCountAndModifiersMatchExactly) {
    EXPECT_EQ(FindAcceleratorCommand(wxACCEL_NORMAL, WXK_NUMPAD_DELETE), 32781);
    EXPECT_EQ(FindAcceleratorCommand(wxACCEL_NORMAL, WXK_NUMPAD_ENTER), 57601);
    EXPECT_EQ(FindAcceleratorCommand(wxACCEL_CTRL, 'c'), 32787);
    EXPECT_EQ(FindAcceleratorCommand(wxACCEL_CTRL, WXK_NUMPAD_INSERT), 32787);
    EXPECT_EQ(FindAcceleratorCommand(wxACCEL_CTRL | wxACCEL_SHIFT, 'C'), 0);
    EXPECT_EQ(FindAcceleratorCommand(wxACCEL_CTRL, WXK_DELETE), 0);
    EXPECT_EQ(FindAcceleratorCommand(wxACCEL_NORMAL, 'C'), 0);
    EXPECT_EQ(FindAcceleratorCommand(wxACCEL_CTRL, 'A'), 0);
    EXPECT_EQ(FindAcceleratorCommand(wxACCEL_CTRL, 'F'), 0);
}

TEST_F(MainFrameTest, DeleteAndShiftDeleteBothReachCommand32781) {
    CommandRecorder recorder({32781});
    frame->PushEventHandler(&recorder);
    EXPECT_TRUE(SendKey(WXK_DELETE, 0));
    EXPECT_TRUE(SendKey(WXK_DELETE, wxMOD_SHIFT));
    EXPECT_TRUE(SendKey(WXK_NUMPAD_DELETE, wxMOD_SHIFT));
    frame->PopEventHandler();
    EXPECT_EQ(recorder.commands, (std::vector<int>{32781, 32781, 32781}));
}

TEST_F(MainFrameTest, OtherAcceleratorsSendTheirCommands) {
    CommandRecorder recorder({57601, 57604, 57607, 57680, 57681});
    frame->PushEventHandler(&recorder);
    EXPECT_TRUE(SendKey(WXK_RETURN, 0));
    EXPECT_TRUE(SendKey('S', wxMOD_CONTROL));
    EXPECT_TRUE(SendKey('P', wxMOD_CONTROL));
    EXPECT_TRUE(SendKey(WXK_F6, 0));
    EXPECT_TRUE(SendKey(WXK_F6, wxMOD_SHIFT));
    EXPECT_FALSE(SendKey('A', wxMOD_CONTROL));  // not in the table: passed on
    EXPECT_FALSE(SendKey('X', 0));
    frame->PopEventHandler();
    EXPECT_EQ(recorder.commands, (std::vector<int>{57601, 57604, 57607, 57680, 57681}));
}

TEST_F(MainFrameTest, CtrlCAndCtrlInsertSendTheCopyCommand) {
    CommandRecorder recorder({32787});
    frame->PushEventHandler(&recorder);
    EXPECT_TRUE(SendKey('C', wxMOD_CONTROL));
    EXPECT_TRUE(SendKey(WXK_INSERT, wxMOD_CONTROL));
    frame->PopEventHandler();
    // The menu's 复制, the command that copies the rows.
    EXPECT_EQ(recorder.commands, (std::vector<int>{32787, 32787}));
}

TEST_F(MainFrameTest, DisabledCommandIsNotRunFromItsAccelerator) {
    // The delete command is disabled (no rows): Delete is claimed but sends nothing.
    CommandRecorder recorder({});
    frame->PushEventHandler(&recorder);
    EXPECT_TRUE(SendKey(WXK_DELETE, 0));
    EXPECT_TRUE(SendKey(WXK_F6, 0));
    frame->PopEventHandler();
    EXPECT_TRUE(recorder.commands.empty());
}

TEST_F(MainFrameTest, CommandsOfLaterPartsAreDisabled) {
    // With no rows and no selection, only the search of the view's commands can run.
    const int later[] = {32772, 32773, 57601, 32781, 57604, 57607, 57608, 57609,
                         57636, 57641, 57640, 32786, 32787, 32782};
    for (int command : later) EXPECT_FALSE(IsEnabled(command)) << command;
    const int live[] = {32780, 57606, 57665, 59392, 59393, 57670, 40013, 57664};
    for (int command : live) EXPECT_TRUE(IsEnabled(command)) << command;
    EXPECT_FALSE(IsEnabled(57680));
    EXPECT_FALSE(IsEnabled(57681));

    // What the menus and the toolbar show.
    frame->GetMenuBar()->UpdateMenus();
    frame->GetToolBar()->UpdateWindowUI();
    EXPECT_FALSE(frame->GetMenuBar()->IsEnabled(WxId(32781)));
    EXPECT_TRUE(frame->GetMenuBar()->IsEnabled(WxId(32780)));
    EXPECT_TRUE(frame->GetMenuBar()->IsEnabled(WxId(57665)));
    EXPECT_FALSE(frame->GetToolBar()->GetToolEnabled(WxId(32772)));
    EXPECT_TRUE(frame->GetToolBar()->GetToolEnabled(WxId(32780)));
    EXPECT_TRUE(frame->GetToolBar()->GetToolEnabled(WxId(57664)));
}

TEST_F(MainFrameTest, ToolbarAndStatusBarCommandsShowAndHideTheBars) {
    frame->GetMenuBar()->UpdateMenus();
    EXPECT_TRUE(frame->GetMenuBar()->IsChecked(WxId(59392)));
    EXPECT_TRUE(frame->GetMenuBar()->IsChecked(WxId(59393)));

    EXPECT_TRUE(frame->ExecuteCommand(WxId(59392)));
    EXPECT_FALSE(frame->GetToolBar()->IsShown());
    EXPECT_TRUE(frame->ExecuteCommand(WxId(59393)));
    EXPECT_FALSE(frame->GetStatusBar()->IsShown());
    frame->GetMenuBar()->UpdateMenus();
    EXPECT_FALSE(frame->GetMenuBar()->IsChecked(WxId(59392)));
    EXPECT_FALSE(frame->GetMenuBar()->IsChecked(WxId(59393)));
    guitest::ProcessEvents(50);
    auto* view = wxDynamicCast(app->GetDocManager()->GetCurrentView(), CGeminexView);
    ASSERT_NE(view, nullptr);
    const int bar = view->GetFilterBox()->GetParent()->GetSize().y;
    EXPECT_EQ(view->GetListCtrl()->GetSize(), frame->GetClientSize() - wxSize(0, bar));
    EXPECT_EQ(view->GetListCtrl()->GetScreenPosition().y,
              frame->ClientToScreen(wxPoint(0, bar)).y);

    EXPECT_TRUE(frame->ExecuteCommand(WxId(59392)));
    EXPECT_TRUE(frame->ExecuteCommand(WxId(59393)));
    EXPECT_TRUE(frame->GetToolBar()->IsShown());
    EXPECT_TRUE(frame->GetStatusBar()->IsShown());
}

TEST_F(MainFrameTest, ExitClosesTheMainWindow) {
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_APP_EXIT)));
    EXPECT_TRUE(guitest::WaitFor([this] { return GetMainFrame() == nullptr; }));
    EXPECT_EQ(app->GetDocManager()->GetDocuments().GetCount(), 0u);
}

}  // namespace

namespace {

// Real key presses through the X server (XTest): the keys reach the frame's accelerator table
// before the list that has the focus. Other test programs share the virtual display and may take
// the keyboard focus for a moment; a key that reached no window of this program is sent again.
TEST_F(MainFrameTest, KeyPressesOnTheListReachCommand32781) {
    auto* view = wxDynamicCast(app->GetDocManager()->GetCurrentView(), CGeminexView);
    ASSERT_NE(view, nullptr);
    wxListCtrl* list = view->GetListCtrl();
    int listSawKey = 0;
    int frameSawKey = 0;
    list->Bind(wxEVT_KEY_DOWN, [&listSawKey](wxKeyEvent& event) {
        if (event.GetKeyCode() == WXK_DELETE) ++listSawKey;
        event.Skip();
    });
    frame->Bind(wxEVT_CHAR_HOOK, [&frameSawKey](wxKeyEvent& event) {
        if (event.GetKeyCode() == WXK_DELETE) ++frameSawKey;
        event.Skip();
    });

    CommandRecorder recorder({32781});
    frame->PushEventHandler(&recorder);
    wxUIActionSimulator sim;
    const int modifiers[] = {wxMOD_NONE, wxMOD_SHIFT};
    bool reached = true;
    for (std::size_t i = 0; i < 2 && reached; ++i) {
        reached = false;
        for (int attempt = 0; attempt < 3 && !reached; ++attempt) {
            frame->Raise();
            list->SetFocus();
            guitest::WaitFor([list] { return wxWindow::FindFocus() == list; }, 2000);
            const int before = frameSawKey;
            sim.Char(WXK_DELETE, modifiers[i]);
            reached = guitest::WaitFor([&] { return frameSawKey > before; }, 3000);
        }
    }
    guitest::ProcessEvents(100);
    frame->PopEventHandler();

    // Whatever reached this program went to the accelerator, never to the list.
    EXPECT_EQ(listSawKey, 0);
    EXPECT_EQ(recorder.commands.size(), static_cast<std::size_t>(frameSawKey));
    for (int command : recorder.commands) EXPECT_EQ(command, 32781);
    if (!reached) GTEST_SKIP() << "the key presses did not reach the window";
    EXPECT_EQ(recorder.commands, (std::vector<int>{32781, 32781}));
}

}  // namespace
