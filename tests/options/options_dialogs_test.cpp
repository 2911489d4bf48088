// The options dialogs on the display, driven as a user drives them: the sheet over a
// SearchOptions, the Paths page with its folder picker and delete question, the Filters page's
// refusals, the mask editor, and Cancel everywhere.
#include <dlfcn.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/bookctrl.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/dirdlg.h>
#include <wx/listbox.h>
#include <wx/listctrl.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/radiobut.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include "app/gui_test_env.h"
#include "gui/wx_text.h"
#include "engine/search/date_value.h"
#include "options/filter_prop_page.h"
#include "options/include_exclude_dlg.h"
#include "options/kv_file_dialog.h"
#include "options/options_sheet.h"
#include "options/options_test_support.h"
#include "options/paths_page.h"
#include "options/select_path_dialog.h"
#include "support/temp_dir.h"
#include "support/message_answers.h"

using optionstest::DateText;

namespace {

// The desktop's file choosers run in a loop of their own, outside wx: the tests find and
// answer them through the toolkit, looked up at run time (the toolkit is loaded with wx).
namespace gtk {

struct GList {
    void* data;
    GList* next;
    GList* prev;
};

template <typename F>
F Fn(const char* name) {
    F f = reinterpret_cast<F>(dlsym(RTLD_DEFAULT, name));
    if (f == nullptr) ADD_FAILURE() << "no " << name;
    return f;
}

// The visible file chooser dialog, or null.
void* FindChooser() {
    auto list = Fn<GList* (*)()>("gtk_window_list_toplevels");
    auto chooserType = Fn<unsigned long (*)()>("gtk_file_chooser_dialog_get_type");
    auto isA = Fn<int (*)(void*, unsigned long)>("g_type_check_instance_is_a");
    auto visible = Fn<int (*)(void*)>("gtk_widget_get_visible");
    auto freeList = Fn<void (*)(GList*)>("g_list_free");
    if (!list || !chooserType || !isA || !visible || !freeList) return nullptr;
    void* found = nullptr;
    GList* windows = list();
    for (GList* w = windows; w != nullptr; w = w->next)
        if (isA(w->data, chooserType()) && visible(w->data)) found = w->data;
    freeList(windows);
    return found;
}

// Runs `body` with the chooser once it is shown (the body answers it).
void WhenChooserShown(std::function<void(void*)> body, int triesLeft = 500) {
    wxTheApp->CallAfter([body, triesLeft] {
        if (void* chooser = FindChooser()) {
            body(chooser);
        } else if (triesLeft > 0) {
            wxMilliSleep(10);
            WhenChooserShown(body, triesLeft - 1);
        } else {
            ADD_FAILURE() << "the chooser was never shown";
        }
    });
}

std::string CurrentFolder(void* chooser) {
    auto get = Fn<char* (*)(void*)>("gtk_file_chooser_get_current_folder");
    auto release = Fn<void (*)(void*)>("g_free");
    char* folder = get ? get(chooser) : nullptr;
    std::string text = folder ? folder : "";
    if (folder && release) release(folder);
    return text;
}

std::string Title(void* chooser) {
    auto get = Fn<const char* (*)(void*)>("gtk_window_get_title");
    const char* title = get ? get(chooser) : nullptr;
    return title ? title : "";
}

// Answers the chooser as its Open (with `folder` chosen first, unless empty) or Cancel button.
void Accept(void* chooser, const std::string& folder) {
    if (!folder.empty()) {
        auto set = Fn<int (*)(void*, const char*)>("gtk_file_chooser_set_current_folder");
        if (set) set(chooser, folder.c_str());
    }
    guitest::ProcessEvents(200);
    auto respond = Fn<void (*)(void*, int)>("gtk_dialog_response");
    if (respond) respond(chooser, -3 /* GTK_RESPONSE_ACCEPT */);
}

void Cancel(void* chooser) {
    auto respond = Fn<void (*)(void*, int)>("gtk_dialog_response");
    if (respond) respond(chooser, -6 /* GTK_RESPONSE_CANCEL */);
}

}  // namespace gtk

std::vector<std::string> ListItems(wxListCtrl* list) {
    std::vector<std::string> items;
    for (long i = 0; i < list->GetItemCount(); ++i) items.push_back(WxToUtf8(list->GetItemText(i)));
    return items;
}

long SelectedItem(wxListCtrl* list) {
    return list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED);
}

void SelectItem(wxListCtrl* list, long index) {
    list->SetItemState(index, wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED,
                       wxLIST_STATE_SELECTED | wxLIST_STATE_FOCUSED);
}

using Strings = std::vector<std::string>;

TEST(OptionsSheetTest, ShowsBothPagesAndCancelLeavesTheOptions) {
    SearchOptions options;
    options.paths = {"/a/", "", "/b/"};
    options.mask = "*.txt";
    options.filter.m_nMinSize = 100;
    const SearchOptions before = options;
    bool seen = false;
    guitest::WhenModal<COptionsSheet>([&](COptionsSheet* sheet) {
        seen = true;
        EXPECT_EQ(WxToUtf8(sheet->GetTitle()), "查找重复的文件");
        wxBookCtrlBase* book = sheet->GetBookCtrl();
        ASSERT_EQ(book->GetPageCount(), 3u);
        EXPECT_EQ(book->GetSelection(), 0);
        EXPECT_EQ(WxToUtf8(book->GetPageText(0)), "路径");
        EXPECT_EQ(WxToUtf8(book->GetPageText(1)), "过滤器");
        EXPECT_EQ(WxToUtf8(book->GetPageText(2)), "保留规则");
        EXPECT_EQ(sheet->FindWindow(wxID_APPLY), nullptr);
        EXPECT_EQ(WxToUtf8(sheet->FindWindow(wxID_OK)->GetLabel()), "确定");
        EXPECT_EQ(WxToUtf8(sheet->FindWindow(wxID_CANCEL)->GetLabel()), "取消");

        CPathsPage* paths = sheet->PathsPage();
        EXPECT_EQ(ListItems(paths->PathList()), (Strings{"/a/", "", "/b/"}));
        EXPECT_EQ(SelectedItem(paths->PathList()), 2);
        wxListItem column;
        column.SetMask(wxLIST_MASK_TEXT);
        paths->PathList()->GetColumn(0, column);
        EXPECT_EQ(WxToUtf8(column.GetText()), "要查找的路径");
        EXPECT_GE(paths->PathList()->GetColumnWidth(0), 10);
        EXPECT_EQ(WxToUtf8(paths->FileTypesEdit()->GetValue()), "*.txt");

        // Changes on both pages, then Cancel.
        paths->FileTypesEdit()->ChangeValue("*.c");
        book->SetSelection(1);
        sheet->FilterPage()->Edit(FilterFields::kMinSizeEdit)->ChangeValue("5K");
        sheet->EndModal(wxID_CANCEL);
    });
    EXPECT_FALSE(RunSearchOptionsSheet(nullptr, options));
    EXPECT_TRUE(seen);
    EXPECT_EQ(options.paths, before.paths);
    EXPECT_EQ(options.mask, before.mask);
    EXPECT_EQ(options.filter.ToWords(), before.filter.ToWords());
}

TEST(OptionsSheetTest, OkCarriesPathsMaskAndFilterBack) {
    SearchOptions options;
    options.paths = {"/a/", "/b/"};
    options.mask = "*.*";
    guitest::WhenModal<COptionsSheet>([&](COptionsSheet* sheet) {
        CPathsPage* paths = sheet->PathsPage();
        EXPECT_EQ(ListItems(paths->PathList()), (Strings{"/a/", "/b/"}));
        paths->FileTypesEdit()->ChangeValue("*.c;~*.o");
        sheet->GetBookCtrl()->SetSelection(1);
        CFilterPropPage* filters = sheet->FilterPage();
        // Every box indeterminate as the filter was constructed; hidden checked now.
        for (int id : {CFilterPropPage::IDC_READ_ONLY, CFilterPropPage::IDC_ARCHIVE,
                       CFilterPropPage::IDC_HIDDEN, CFilterPropPage::IDC_SYSTEM,
                       CFilterPropPage::IDC_DIRECTORY})
            EXPECT_EQ(filters->AttributeBox(id)->Get3StateValue(), wxCHK_UNDETERMINED) << id;
        filters->AttributeBox(CFilterPropPage::IDC_HIDDEN)->Set3StateValue(wxCHK_CHECKED);
        filters->ReverseBox()->SetValue(true);
        EXPECT_FALSE(filters->NoEmptyBox()->GetValue());
        EXPECT_EQ(WxToUtf8(filters->NoEmptyBox()->GetLabel()), "不包括空文件(&E)");
        filters->NoEmptyBox()->SetValue(true);
        EXPECT_FALSE(filters->VerifyCachedBox()->GetValue());
        EXPECT_EQ(WxToUtf8(filters->VerifyCachedBox()->GetLabel()), "来自缓存的组也比较字节(&C)");
        filters->VerifyCachedBox()->SetValue(true);
        filters->Edit(FilterFields::kMinSizeEdit)->ChangeValue("10K");
        filters->Edit(FilterFields::kMaxSizeEdit)->ChangeValue("2m");
        filters->Edit(FilterFields::kMinDateEdit)->ChangeValue("%%today");
        sheet->OnOK();
    });
    ASSERT_TRUE(RunSearchOptionsSheet(nullptr, options));
    EXPECT_EQ(options.paths, (Strings{"/a/", "/b/"}));
    EXPECT_EQ(options.mask, "*.c;~*.o");
    EXPECT_EQ(options.filter.m_nMinSize, 10240);
    EXPECT_EQ(options.filter.m_nMaxSize, 2097152);
    EXPECT_EQ(options.filter.m_nMode, 1);
    EXPECT_TRUE(options.filter.m_bLeaveOutEmpty);
    EXPECT_TRUE(options.verifyCached);
    EXPECT_EQ(options.filter.m_dwAttrStates, 0x02u);
    EXPECT_EQ(options.filter.m_dwIgnoreAttrs, 0x35u);
    EXPECT_NE(options.filter.m_ftMinDate, 0);
    EXPECT_EQ(options.filter.m_ftMaxDate, 0);

    // The next showing: the keyword is now a fixed date, the label shows today, the sizes are
    // in bytes and the boxes as they were left.
    std::string today;
    FormatShortDate(today, 0);
    guitest::WhenModal<COptionsSheet>([&](COptionsSheet* sheet) {
        sheet->GetBookCtrl()->SetSelection(1);
        CFilterPropPage* filters = sheet->FilterPage();
        EXPECT_EQ(WxToUtf8(filters->Edit(FilterFields::kMinDateEdit)->GetValue()), today);
        EXPECT_EQ(WxToUtf8(filters->TodayLabel()->GetLabel()), "修改日期 (今天是 " + today + "):");
        EXPECT_EQ(WxToUtf8(filters->Edit(FilterFields::kMinSizeEdit)->GetValue()), "10240");
        EXPECT_EQ(filters->AttributeBox(CFilterPropPage::IDC_HIDDEN)->Get3StateValue(),
                  wxCHK_CHECKED);
        EXPECT_EQ(filters->AttributeBox(CFilterPropPage::IDC_SYSTEM)->Get3StateValue(),
                  wxCHK_UNDETERMINED);
        EXPECT_TRUE(filters->ReverseBox()->GetValue());
        EXPECT_TRUE(filters->NoEmptyBox()->GetValue());
        EXPECT_TRUE(filters->VerifyCachedBox()->GetValue());
        // Reset: everything back to indeterminate and empty.
        filters->OnReset();
        EXPECT_FALSE(filters->NoEmptyBox()->GetValue());
        EXPECT_EQ(filters->AttributeBox(CFilterPropPage::IDC_HIDDEN)->Get3StateValue(),
                  wxCHK_UNDETERMINED);
        EXPECT_EQ(filters->Edit(FilterFields::kMinSizeEdit)->GetValue(), "");
        EXPECT_FALSE(filters->ReverseBox()->GetValue());
        sheet->OnOK();
    });
    ASSERT_TRUE(RunSearchOptionsSheet(nullptr, options));
    EXPECT_EQ(options.filter.m_dwAttrStates, 0u);
    EXPECT_EQ(options.filter.m_dwIgnoreAttrs, 0x37u);
    EXPECT_EQ(options.filter.m_nMinSize, 0);
    EXPECT_EQ(options.filter.m_ftMinDate, 0);
    EXPECT_EQ(options.filter.m_nMode, 0);
    EXPECT_FALSE(options.filter.m_bLeaveOutEmpty);
}

TEST(OptionsSheetTest, FiltersPageRefusesBadTextsAndKeepsTheFocus) {
    struct Case {
        FilterFields::Edit edit;
        std::string text;
        std::string message;
        FilterFields::Edit focus;
    };
    const Case cases[] = {
        {FilterFields::kMinSizeEdit, "10 K", "不正确文件大小!", FilterFields::kMinSizeEdit},
        {FilterFields::kMaxSizeEdit, "1.5M", "不正确文件大小!", FilterFields::kMaxSizeEdit},
        {FilterFields::kMinSizeEdit, "K", "不正确文件大小!", FilterFields::kMinSizeEdit},
        // A date refusal names the forms the fields read on a line of its own.
        {FilterFields::kMinDateEdit, "abc", "不正确日期\n" + DateFormsText(), FilterFields::kMinDateEdit},
        {FilterFields::kMaxDateEdit, DateText(5, 13, 2020), "不正确月份\n" + DateFormsText(),
         FilterFields::kMaxDateEdit},
        {FilterFields::kMinDateEdit, DateText(32, 1, 2020), "不正确日\n" + DateFormsText(),
         FilterFields::kMinDateEdit},
        {FilterFields::kMaxDateEdit, DateText(1, 1, 1500), "不正确年份\n" + DateFormsText(),
         FilterFields::kMaxDateEdit},
        {FilterFields::kMaxDateEdit, "2020-02-30", "不正确日\n" + DateFormsText(),
         FilterFields::kMaxDateEdit},
    };
    for (const Case& c : cases) {
        SearchOptions options;
        options.filter.m_nMaxSize = 1000;
        const SearchOptions before = options;
        MessageAnswers answers(wxID_OK);
        answers.onDialog = [&](wxMessageDialogBase& box) {
            EXPECT_EQ(WxToUtf8(box.GetTitle()), "Pairscout");
            EXPECT_EQ(WxToUtf8(box.GetOKLabel()), "确定");
        };
        guitest::WhenModal<COptionsSheet>([&](COptionsSheet* sheet) {
            wxBookCtrlBase* book = sheet->GetBookCtrl();
            book->SetSelection(1);
            CFilterPropPage* filters = sheet->FilterPage();
            if (c.edit == FilterFields::kMaxSizeEdit) filters->Edit(c.edit)->ChangeValue("");
            filters->Edit(c.edit)->ChangeValue(Utf8ToWx(c.text));
            sheet->OnOK();
            EXPECT_TRUE(sheet->IsModal()) << "the sheet stays open: " << c.text;
            EXPECT_EQ(wxWindow::FindFocus(), filters->Edit(c.focus)) << c.text;
            // Leaving the page is refused as well.
            book->SetSelection(0);
            guitest::ProcessEvents(50);
            EXPECT_EQ(book->GetSelection(), 1) << c.text;
            sheet->EndModal(wxID_CANCEL);
        });
        EXPECT_FALSE(RunSearchOptionsSheet(nullptr, options));
        EXPECT_EQ(answers.texts, (Strings{c.message, c.message})) << c.text;
        EXPECT_EQ(options.filter.ToWords(), before.filter.ToWords());
    }

    // A minimum above the maximum: refused with the focus on the maximum.
    SearchOptions options;
    MessageAnswers answers(wxID_OK);
    guitest::WhenModal<COptionsSheet>([&](COptionsSheet* sheet) {
        sheet->GetBookCtrl()->SetSelection(1);
        CFilterPropPage* filters = sheet->FilterPage();
        filters->Edit(FilterFields::kMinSizeEdit)->ChangeValue("2K");
        filters->Edit(FilterFields::kMaxSizeEdit)->ChangeValue("1K");
        sheet->OnOK();
        EXPECT_TRUE(sheet->IsModal());
        EXPECT_EQ(wxWindow::FindFocus(), filters->Edit(FilterFields::kMaxSizeEdit));
        filters->Edit(FilterFields::kMaxSizeEdit)->ChangeValue("");
        filters->Edit(FilterFields::kMinSizeEdit)->ChangeValue("15");
        sheet->OnOK();  // now accepted
    });
    ASSERT_TRUE(RunSearchOptionsSheet(nullptr, options));
    EXPECT_EQ(answers.texts, (Strings{"不正确文件大小!"}));
    EXPECT_EQ(options.filter.m_nMinSize, 15);
    EXPECT_EQ(options.filter.m_nMaxSize, 0);
}

TEST(PathsPageTest, DeleteAsksAndKeepsTheSelectionRules) {
    SearchOptions options;
    options.paths = {"/a/", "/b/", "/c/"};
    MessageAnswers answers(wxID_NO);
    guitest::WhenModal<COptionsSheet>([&](COptionsSheet* sheet) {
        CPathsPage* page = sheet->PathsPage();
        wxListCtrl* list = page->PathList();
        page->OnDelete();  // No: nothing changes
        EXPECT_EQ(ListItems(list), (Strings{"/a/", "/b/", "/c/"}));
        answers.m_answer = wxID_YES;
        page->OnDelete();  // the last: the new last is selected
        EXPECT_EQ(ListItems(list), (Strings{"/a/", "/b/"}));
        EXPECT_EQ(SelectedItem(list), 1);
        SelectItem(list, 0);
        page->OnDelete();  // the first: the new first is selected
        EXPECT_EQ(ListItems(list), (Strings{"/b/"}));
        EXPECT_EQ(SelectedItem(list), 0);
        page->OnDelete();  // the only one
        EXPECT_EQ(list->GetItemCount(), 0);
        EXPECT_EQ(SelectedItem(list), -1);
        page->OnDelete();  // nothing selected: no question
        page->OnEdit();    // nothing selected: no picker
        sheet->OnOK();
    });
    ASSERT_TRUE(RunSearchOptionsSheet(nullptr, options));
    EXPECT_EQ(answers.texts, (Strings{"确定要删除 </c/>?", "确定要删除 </c/>?",
                                      "确定要删除 </a/>?", "确定要删除 </b/>?"}));
    EXPECT_TRUE(options.paths.empty());
}

TEST(PathsPageTest, AddAndEditThroughTheFolderChooser) {
    TempDir temp;
    const std::string data = temp.MakeDir("data");   // ends in "/"
    const std::string other = temp.MakeDir("other");
    SearchOptions options;
    options.paths = {data};
    guitest::WhenModal<COptionsSheet>([&](COptionsSheet* sheet) {
        CPathsPage* page = sheet->PathsPage();
        // Add: a chosen folder gets its separator; the selection stays on the old item.
        gtk::WhenChooserShown([&](void* chooser) {
            EXPECT_EQ(gtk::Title(chooser), "选择路径");
            gtk::Accept(chooser, other);
        });
        page->OnAdd();
        EXPECT_EQ(ListItems(page->PathList()), (Strings{data, other}));
        EXPECT_EQ(SelectedItem(page->PathList()), 0);
        // Edit: the chooser opens on the selected folder; accepting it keeps it.
        gtk::WhenChooserShown([&](void* chooser) {
            EXPECT_EQ(gtk::CurrentFolder(chooser) + "/", data);
            gtk::Accept(chooser, "");
        });
        page->OnEdit();
        EXPECT_EQ(ListItems(page->PathList()), (Strings{data, other}));
        // A cancelled chooser changes nothing.
        gtk::WhenChooserShown([](void* chooser) { gtk::Cancel(chooser); });
        page->OnAdd();
        EXPECT_EQ(page->PathList()->GetItemCount(), 2);
        // The root stays as it is.
        SelectItem(page->PathList(), 1);
        gtk::WhenChooserShown([](void* chooser) { gtk::Accept(chooser, "/"); });
        page->OnEdit();
        EXPECT_EQ(ListItems(page->PathList()), (Strings{data, "/"}));
        sheet->OnOK();
    });
    ASSERT_TRUE(RunSearchOptionsSheet(nullptr, options));
    EXPECT_EQ(options.paths, (Strings{data, "/"}));
}

TEST(PathsPageTest, TypedMaskReachesTheEditorAndComesBack) {
    SearchOptions options;
    options.mask = "*.*";
    guitest::WhenModal<COptionsSheet>([&](COptionsSheet* sheet) {
        CPathsPage* page = sheet->PathsPage();
        page->FileTypesEdit()->ChangeValue("*.txt;~*.tmp");  // typed, not saved yet
        guitest::WhenModal<CIncludeExcludeDlg>([](CIncludeExcludeDlg* editor) {
            EXPECT_EQ(editor->m_strMask, "*.txt;~*.tmp");
            EXPECT_EQ(editor->EntryList()->GetCount(), 2u);
            editor->OnSelectionChanged(1);
            editor->FileMatchEdit()->ChangeValue("*.bak");
            editor->OnOK();
        });
        page->OnMaskEditor();
        EXPECT_EQ(WxToUtf8(page->FileTypesEdit()->GetValue()), "*.txt;~*.bak");
        // Cancel in the editor keeps the text.
        guitest::WhenModal<CIncludeExcludeDlg>([](CIncludeExcludeDlg* editor) {
            editor->FileMatchEdit()->ChangeValue("changed");
            editor->EndModal(wxID_CANCEL);
        });
        page->OnMaskEditor();
        EXPECT_EQ(WxToUtf8(page->FileTypesEdit()->GetValue()), "*.txt;~*.bak");
        sheet->OnOK();
    });
    ASSERT_TRUE(RunSearchOptionsSheet(nullptr, options));
    EXPECT_EQ(options.mask, "*.txt;~*.bak");
}

// Runs the editor over `mask`, lets `body` use it and returns the mask text after OK.
std::string EditMask(const std::string& mask, const std::function<void(CIncludeExcludeDlg*)>& body) {
    CIncludeExcludeDlg editor(mask, nullptr);
    guitest::WhenModal<CIncludeExcludeDlg>([&](CIncludeExcludeDlg* shown) {
        body(shown);
        shown->OnOK();
    });
    EXPECT_EQ(editor.ShowModal(), wxID_OK);
    return editor.m_strMask;
}

TEST(MaskEditorTest, ControlsShowAndBuildThePieces) {
    const std::string result = EditMask("*.*;~/*/cache/*/*.dat", [](CIncludeExcludeDlg* dlg) {
        EXPECT_EQ(WxToUtf8(dlg->GetTitle()), "包括/不包括 文件和文件夹");
        EXPECT_EQ(dlg->EntryList()->GetSelection(), 0);
        EXPECT_TRUE(dlg->Radio(CIncludeExcludeDlg::IDC_INCLUDE)->GetValue());
        EXPECT_TRUE(dlg->Radio(CIncludeExcludeDlg::IDC_ALL_FOLDERS)->GetValue());
        EXPECT_FALSE(dlg->Button(CIncludeExcludeDlg::IDC_UP)->IsEnabled());
        EXPECT_TRUE(dlg->Button(CIncludeExcludeDlg::IDC_DOWN)->IsEnabled());

        dlg->OnSelectionChanged(1);
        EXPECT_TRUE(dlg->Radio(CIncludeExcludeDlg::IDC_EXCLUDE)->GetValue());
        EXPECT_FALSE(dlg->Radio(CIncludeExcludeDlg::IDC_INCLUDE)->GetValue());
        EXPECT_TRUE(dlg->Radio(CIncludeExcludeDlg::IDC_USE_MATCH)->GetValue());
        EXPECT_EQ(dlg->DirMatchEdit()->GetValue(), "/cache/");
        EXPECT_EQ(dlg->FileMatchEdit()->GetValue(), "*.dat");
        EXPECT_TRUE(dlg->AnyLevelBox()->GetValue());
        EXPECT_TRUE(dlg->SubfoldersBox()->GetValue());
        EXPECT_FALSE(dlg->Button(CIncludeExcludeDlg::IDC_DOWN)->IsEnabled());
        dlg->OnApply();
        EXPECT_EQ(dlg->EntryList()->GetString(1), "~/*/cache/*/*.dat");

        // A new include entry "temp" + "*.log": typing the folder switches the radio.
        dlg->Radio(CIncludeExcludeDlg::IDC_INCLUDE)->SetValue(true);
        EXPECT_FALSE(dlg->Radio(CIncludeExcludeDlg::IDC_EXCLUDE)->GetValue());
        dlg->AnyLevelBox()->SetValue(false);
        dlg->SubfoldersBox()->SetValue(false);
        dlg->DirMatchEdit()->SetValue("");
        EXPECT_TRUE(dlg->Radio(CIncludeExcludeDlg::IDC_ALL_FOLDERS)->GetValue());
        dlg->DirMatchEdit()->SetValue("temp");
        EXPECT_TRUE(dlg->Radio(CIncludeExcludeDlg::IDC_USE_MATCH)->GetValue());
        EXPECT_FALSE(dlg->Radio(CIncludeExcludeDlg::IDC_ALL_FOLDERS)->GetValue());
        dlg->FileMatchEdit()->ChangeValue("*.log");
        dlg->OnAdd();
        EXPECT_EQ(dlg->EntryList()->GetString(2), "/temp/*.log");
        EXPECT_EQ(dlg->DirMatchEdit()->GetValue(), "/temp/");

        // The root folder with both boxes: both cleared.
        dlg->DirMatchEdit()->SetValue("/");
        dlg->AnyLevelBox()->SetValue(true);
        dlg->SubfoldersBox()->SetValue(true);
        dlg->FileMatchEdit()->ChangeValue("*.txt");
        dlg->OnApply();
        EXPECT_EQ(dlg->EntryList()->GetString(2), "/*.txt");
        EXPECT_FALSE(dlg->AnyLevelBox()->GetValue());
        EXPECT_FALSE(dlg->SubfoldersBox()->GetValue());

        dlg->OnUp();
        EXPECT_EQ(dlg->EntryList()->GetString(1), "/*.txt");
        EXPECT_EQ(dlg->EntryList()->GetSelection(), 1);
    });
    EXPECT_EQ(result, "*.*;/*.txt;~/*/cache/*/*.dat");
}

TEST(MaskEditorTest, EmptiedEntriesGoAndAnEmptyTextStaysEmpty) {
    std::string result = EditMask("a;b;c", [](CIncludeExcludeDlg* dlg) {
        dlg->FileMatchEdit()->ChangeValue("");
        dlg->EntryList()->SetSelection(2);
        dlg->OnSelectionChanged(2);
        EXPECT_EQ(dlg->EntryList()->GetCount(), 2u);
        EXPECT_EQ(dlg->EntryList()->GetSelection(), 1);
        EXPECT_EQ(dlg->FileMatchEdit()->GetValue(), "c");
    });
    EXPECT_EQ(result, "b;c");

    result = EditMask("", [](CIncludeExcludeDlg* dlg) {
        EXPECT_EQ(dlg->EntryList()->GetCount(), 0u);
        for (int id : {CIncludeExcludeDlg::IDC_INCLUDE, CIncludeExcludeDlg::IDC_EXCLUDE,
                       CIncludeExcludeDlg::IDC_ALL_FOLDERS, CIncludeExcludeDlg::IDC_USE_MATCH})
            EXPECT_FALSE(dlg->Radio(id)->GetValue()) << id;
        for (int id : {CIncludeExcludeDlg::IDC_DELETE, CIncludeExcludeDlg::IDC_APPLY,
                       CIncludeExcludeDlg::IDC_UP, CIncludeExcludeDlg::IDC_DOWN})
            EXPECT_FALSE(dlg->Button(id)->IsEnabled()) << id;
        dlg->OnAdd();  // nothing described: no entry
        EXPECT_EQ(dlg->EntryList()->GetCount(), 0u);
    });
    EXPECT_EQ(result, "");
}

// A mask of exclude parts only matches no file: the editor says so before it closes, and
// Cancel on that warning keeps it open.
TEST(MaskEditorTest, OnlyExcludePartsAreWarnedAboutBeforeOk) {
    CIncludeExcludeDlg editor("~*.tmp;~*.bak", nullptr);
    guitest::WhenModal<CIncludeExcludeDlg>([&](CIncludeExcludeDlg* shown) {
        {
            MessageAnswers answers(wxID_CANCEL);
            shown->OnOK();
            EXPECT_EQ(answers.texts,
                      (std::vector<std::string>{"文件掩码只有排除部分 (~), 没有文件能匹配"}));
            EXPECT_TRUE(shown->IsModal()) << "Cancel goes back to the entries";
        }
        MessageAnswers answers(wxID_OK);
        shown->OnOK();
        EXPECT_EQ(answers.texts.size(), 1u);
    });
    EXPECT_EQ(editor.ShowModal(), wxID_OK);
    EXPECT_EQ(editor.m_strMask, "~*.tmp;~*.bak");
    // With an include part nothing is said.
    MessageAnswers none(wxID_OK);
    EXPECT_EQ(EditMask("*.txt;~*.tmp", [](CIncludeExcludeDlg*) {}), "*.txt;~*.tmp");
    EXPECT_TRUE(none.texts.empty());
}

TEST(PathPickerTest, FileDialogOpensInTheFolderOfTheName) {
    TempDir temp;
    const std::string out = temp.MakeDir("out");
    CKVFileDialog dialog(false, "csv", out + "list.csv", wxFD_OVERWRITE_PROMPT, "CSV|*.csv||",
                         nullptr);
    EXPECT_EQ(dialog.m_strInitialDir, out);
    EXPECT_EQ(WxToUtf8(dialog.GetFilename()), "list.csv");
    EXPECT_EQ(dialog.GetWindowStyle() & (wxFD_SAVE | wxFD_OVERWRITE_PROMPT | wxFD_OPEN),
              wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    gtk::WhenChooserShown([&](void* chooser) {
        EXPECT_EQ(gtk::CurrentFolder(chooser) + "/", out);
        gtk::Cancel(chooser);
    });
    EXPECT_EQ(dialog.DoModal(), 2);

    // The folder picker returns the list prefix with the choice after it.
    CSelectPathDialog picker(nullptr);
    picker.SetPath("/x/;" + out);
    EXPECT_EQ(picker.InitialFolder(), out.substr(0, out.size() - 1));
    gtk::WhenChooserShown([](void* chooser) { gtk::Accept(chooser, ""); });
    EXPECT_EQ(picker.DoModal(), 1);
    EXPECT_EQ(picker.GetPath(), "/x/;" + out.substr(0, out.size() - 1));

    // A start path that is no folder (本地硬盘), or nothing to edit: the chooser opens at home,
    // not on the desktop's recent files, where a typed path is not taken; a folder since
    // removed opens at the nearest folder above it.
    const std::string home = guitest::TempHome();
    for (const std::string& start : {std::string("本地硬盘"), std::string(), out + "gone/deeper/"}) {
        SCOPED_TRACE(start);
        CSelectPathDialog nowhere(nullptr);
        nowhere.SetSinglePath(start);
        std::string opened;
        gtk::WhenChooserShown([&](void* chooser) {
            opened = gtk::CurrentFolder(chooser) + "/";
            gtk::Cancel(chooser);
        });
        EXPECT_EQ(nowhere.DoModal(), 2);
        EXPECT_EQ(opened, start.empty() || start[0] != '/' ? home : out);
    }
    // The file dialog given a name without a folder: home too.
    CKVFileDialog bare(true, "pairscout", "results.pairscout", wxFD_FILE_MUST_EXIST,
                       "Pairscout|*.pairscout||", nullptr);
    std::string opened;
    gtk::WhenChooserShown([&](void* chooser) {
        opened = gtk::CurrentFolder(chooser) + "/";
        gtk::Cancel(chooser);
    });
    EXPECT_EQ(bare.DoModal(), 2);
    EXPECT_EQ(opened, home);
}

}  // namespace
