// The duplicates view on the display: its settings, Find duplicates over real files under the
// progress dialog (rows, pictures, cells, summary, cancel in both phases), select all
// duplicates, the checked delete (trash, for good, files that stay), the file commands on the
// focused row, the commands refused while work runs, folder arguments, and wx's texts in
// Chinese.
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/button.h>
#include <wx/config.h>
#include <wx/dcmemory.h>
#include <wx/dcscreen.h>
#include <wx/display.h>
#include <wx/image.h>
#include <wx/imaglist.h>
#include <wx/modalhook.h>
#include <wx/msgdlg.h>
#include <wx/statusbr.h>
#include <wx/stockitem.h>
#include <wx/stopwatch.h>
#include <wx/textctrl.h>
#include <wx/timer.h>

#include "engine/store/saved_results.h"
#include "gui/command_ids.h"
#include "app/gui_test_env.h"
#include "gui/settings_store.h"
#include "gui/wx_text.h"
#include "engine/results/results_model.h"
#include "options/options_sheet.h"
#include "options/paths_page.h"
#include "platform/drives.h"
#include "results/file_launcher.h"
#include "results/file_properties_dlg.h"
#include "results/folder_dialog.h"
#include "results/geminex_view.h"
#include "results/kv_list_ctrl.h"
#include "results/progress_dialog.h"
#include "support/stall_probe.h"
#include "support/temp_dir.h"
#include "support/message_answers.h"
#include "ui/about_dlg.h"

namespace {

// Holds the worker at a point the test chooses (Hold, on the worker's thread) until the test
// lets it go, or until the work is told to stop.
class Gate {
public:
    void Hold(const WorkProgress& progress) {
        std::unique_lock<std::mutex> lock(m_lock);
        m_reached = true;
        // The stop flag is not tied to this lock: it is looked at every few milliseconds.
        while (!m_open && !progress.StopRequested())
            m_changed.wait_for(lock, std::chrono::milliseconds(2));
    }
    bool Reached() {
        std::lock_guard<std::mutex> lock(m_lock);
        return m_reached;
    }
    void Open() {
        std::lock_guard<std::mutex> lock(m_lock);
        m_open = true;
        m_changed.notify_all();
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_reached = false;
    bool m_open = false;
};

// A launcher that only records what it was asked.
struct Launches {
    std::vector<std::string> calls;
};
class RecordingLauncher : public CFileLauncher {
public:
    explicit RecordingLauncher(Launches* out) : m_out(out) {}
    void Open(const std::string& path) override { m_out->calls.push_back("open " + path); }
    void Explore(const std::string& path, const std::string& folder) override {
        m_out->calls.push_back("explore " + path + " in " + folder);
    }
    void Properties(const std::string& path, wxWindow*) override {
        m_out->calls.push_back("properties " + path);
    }

private:
    Launches* m_out;
};

// A launcher whose two doors to the desktop only note what would go through them; everything
// before them (which file, its address) is the real launcher's.
class DoorLauncher : public CFileLauncher {
public:
    std::vector<std::string> opened;                          // given to the default application
    std::vector<std::pair<std::string, std::string>> calls;   // file manager: method, address
    bool refuse = false;                                      // the file manager says no
    bool noApplication = false;                               // nothing opens anything

protected:
    bool LaunchDefault(const std::string& target) override {
        opened.push_back(target);
        return !noApplication;
    }
    void CallFileManager(const char* method, const std::string& uri,
                         std::function<void()> fallback) override {
        calls.emplace_back(method, uri);
        if (refuse && fallback) fallback();
    }
};

// The path a file:// address stands for, its %XX read back as bytes.
std::string PathOfAddress(const std::string& uri) {
    EXPECT_EQ(uri.rfind("file://", 0), 0u) << uri;
    std::string path;
    for (std::size_t i = 7; i < uri.size(); ++i) {
        if (uri[i] == '%' && i + 2 < uri.size()) {
            path += static_cast<char>(std::stoi(uri.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            path += uri[i];
        }
    }
    return path;
}

bool IsPlainAscii(const std::string& text) {
    for (unsigned char c : text)
        if (c <= ' ' || c >= 0x7F || c == '"' || c == '\'' || c == '\\') return false;
    return true;
}

bool Exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

class GeminexViewTest : public GeminexViewAppTest {
protected:
    void SetUp() override {
        GeminexViewAppTest::SetUp();
        if (HasFatalFailure()) return;
        view->SetLauncher(std::make_unique<RecordingLauncher>(&launches));
    }

    void TearDown() override {
        // A view still there (its window not closed by the test) drops the test's hooks.
        if (app != nullptr && app->GetMainFrame() != nullptr) {
            view->SetWorkProbe(nullptr);
            view->SetContentReader(nullptr);
            view->SetProgressWatcher(nullptr);
        }
        GeminexViewAppTest::TearDown();
    }

    // Waits (handling events) until the running work is over and its results are shown.
    bool WaitForWork() { return guitest::WaitFor([&] { return !view->IsBusy(); }, 120000); }

    // The tree most tests search: three copies of a 300-byte file, two of a 100-byte file, a
    // third 100-byte file with other bytes, and a file of its own size.
    void MakeTree() {
        a1 = tree.WriteFile("one/a.txt", std::string(300, 'a'));
        a2 = tree.WriteFile("two/a copy.txt", std::string(300, 'a'));
        a3 = tree.WriteFile("two/deep/a.bak", std::string(300, 'a'));
        b1 = tree.WriteFile("one/b.dat", std::string(100, 'b'));
        b2 = tree.WriteFile("three/b.dat", std::string(100, 'b'));
        tree.WriteFile("three/c.dat", std::string(100, 'c'));
        tree.WriteFile("one/d.txt", std::string(50, 'd'));
    }

    DuplicateSearch::Outcome Search(const std::string& path) {
        return Search(std::vector<std::string>{path});
    }
    DuplicateSearch::Outcome Search(const std::vector<std::string>& paths) {
        SearchOptions options;
        options.paths = paths;
        EXPECT_TRUE(view->StartSearch(options));
        EXPECT_TRUE(WaitForWork());
        return view->LastOutcome();
    }

    // The delete command, to its end: the number of files removed.
    std::size_t Delete(bool forGood) {
        if (!view->DeleteFiles(forGood)) return 0;
        EXPECT_TRUE(WaitForWork());
        return view->LastRemovedCount();
    }

    std::vector<std::string> Column(int column) {
        std::vector<std::string> cells;
        for (long row = 0; row < list->GetItemCount(); ++row)
            cells.push_back(WxToUtf8(list->GetItemText(row, column)));
        return cells;
    }

    std::vector<int> Images() {
        std::vector<int> images;
        for (std::size_t row = 0; row < view->GetModel().RowCount(); ++row)
            images.push_back(view->GetModel().Row(row).image);
        return images;
    }

    void Select(std::initializer_list<long> rows) {
        list->ClearSelection(true);
        for (long row : rows) list->SetItemState(row, wxLIST_STATE_SELECTED, wxLIST_STATE_SELECTED);
    }

    void Focus(long row) { list->SetItemState(row, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED); }

    bool IsEnabled(int number) {
        wxUpdateUIEvent update(WxId(number));
        update.SetEventObject(frame);
        frame->ProcessWindowEvent(update);
        return !update.GetSetEnabled() || update.GetEnabled();
    }

    std::string StatusBarText() { return WxToUtf8(frame->GetStatusBar()->GetStatusText(0)); }

    // A remover that removes for good and notes what it was given; the paths in `refuse` stay.
    void RecordDeletes(std::set<std::string> refuse = {}) {
        view->SetFileDeleter([this, refuse](const std::vector<std::string>& paths, bool toTrash) {
            std::vector<std::string> left;
            for (const std::string& path : paths) {
                deleted.push_back(path);
                trashFlags.push_back(toTrash);
                if (refuse.count(path) != 0 || unlink(path.c_str()) != 0) left.push_back(path);
            }
            return left;
        });
    }

    TempDir tree;
    std::string a1, a2, a3, b1, b2;
    Launches launches;
    std::vector<std::string> deleted;
    std::vector<bool> trashFlags;
};

// ---- Settings ----

void ClearSettings(CSettingsStore& store) {
    wxConfigBase* config = store.Config();
    config->DeleteGroup("/Settings");
    config->DeleteGroup("/Options");
}

TEST_F(GeminexViewTest, SettingsOnFirstStartAndAfterARoundTrip) {
    // The view reads and writes the store it is given, not the application's.
    CSettingsStore store("Orvelle Software Inc.", "Pairscout view settings");
    ClearSettings(store);
    // A first start searches the local disks, under the keyword that stands for them.
    const std::vector<std::string> roots = {"本地硬盘"};
    const std::string disks = "本地硬盘";
    {
        CGeminexView fresh(store);
        const SearchOptions options = fresh.GetSearchOptions();
        EXPECT_EQ(options.paths, roots);
        EXPECT_EQ(options.mask, "*.*");
        EXPECT_EQ(options.filter.m_nMinSize, 0);
        EXPECT_EQ(options.filter.m_nMaxSize, 0);
        EXPECT_EQ(options.filter.m_ftMinDate, 0);
        EXPECT_EQ(options.filter.m_ftMaxDate, 0);
        EXPECT_EQ(options.filter.m_nMode, 0);
        EXPECT_EQ(options.filter.m_dwAttrStates, 0u);
        EXPECT_EQ(options.filter.m_dwIgnoreAttrs, 55u);
        EXPECT_EQ(fresh.GetLastSaveFile(), "");
    }
    // The destructor wrote them all.
    EXPECT_EQ(store.GetProfileString("Settings", "Drives", "?"), disks);
    EXPECT_EQ(store.GetProfileInt("Options", "Ignore Attributes", -1), 55);

    SearchOptions wanted;
    wanted.paths = {"/srv/a", "/srv/semi;colon"};
    wanted.mask = "*.jpg;~*.tmp";
    wanted.filter.m_nMinSize = 5000000000LL;  // needs all 8 bytes
    wanted.filter.m_nMaxSize = 7;
    wanted.filter.m_ftMinDate = 132000000000000000LL;
    wanted.filter.m_ftMaxDate = 133000000000000000LL;
    wanted.filter.m_nMode = 1;
    wanted.filter.m_dwAttrStates = 0x01;
    wanted.filter.m_dwIgnoreAttrs = 0x34;
    {
        CGeminexView first(store);
        first.SetSearchOptions(wanted);
        first.SetLastSaveFile("/home/li/list.csv");
    }
    std::vector<unsigned char> bytes;
    ASSERT_TRUE(store.GetProfileBinary("Options", "Min Size Filter", bytes));
    EXPECT_EQ(bytes.size(), 8u);
    {
        CGeminexView second(store);
        const SearchOptions read = second.GetSearchOptions();
        EXPECT_EQ(read.paths, wanted.paths);
        EXPECT_EQ(read.mask, wanted.mask);
        EXPECT_EQ(read.filter.m_nMinSize, wanted.filter.m_nMinSize);
        EXPECT_EQ(read.filter.m_nMaxSize, 7);
        EXPECT_EQ(read.filter.m_ftMinDate, wanted.filter.m_ftMinDate);
        EXPECT_EQ(read.filter.m_ftMaxDate, wanted.filter.m_ftMaxDate);
        EXPECT_EQ(read.filter.m_nMode, 1);
        EXPECT_EQ(read.filter.m_dwAttrStates, 0x01u);
        EXPECT_EQ(read.filter.m_dwIgnoreAttrs, 0x34u);
        EXPECT_EQ(second.GetLastSaveFile(), "/home/li/list.csv");
    }

    // A limit of another length than 8 bytes is not taken; the others still are.
    const unsigned char four[4] = {1, 2, 3, 4};
    const unsigned char nine[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    store.WriteProfileBinary("Options", "Min Size Filter", four, sizeof four);
    store.WriteProfileBinary("Options", "Max Date Filter", nine, sizeof nine);
    {
        CGeminexView third(store);
        const SearchOptions read = third.GetSearchOptions();
        EXPECT_EQ(read.filter.m_nMinSize, 0);
        EXPECT_EQ(read.filter.m_ftMaxDate, 0);
        EXPECT_EQ(read.filter.m_nMaxSize, 7);
        EXPECT_EQ(read.filter.m_ftMinDate, wanted.filter.m_ftMinDate);
    }
    ClearSettings(store);
}

// ---- The search ----

TEST_F(GeminexViewTest, SearchFillsRowsPicturesCellsAndTheSummary) {
    MakeTree();
    // Through the command, the options sheet and its OK, as the user does it.
    EXPECT_TRUE(SearchThroughTheCommand(tree.Path()));

    ASSERT_EQ(list->GetItemCount(), 5);
    EXPECT_EQ(Images(), (std::vector<int>{0, 1, 2, 0, 2}));
    const std::vector<std::string> paths = Column(0);
    EXPECT_EQ(std::set<std::string>(paths.begin(), paths.begin() + 3),
              (std::set<std::string>{a1, a2, a3}));
    EXPECT_EQ(std::set<std::string>(paths.begin() + 3, paths.end()),
              (std::set<std::string>{b1, b2}));
    EXPECT_EQ(Column(2), (std::vector<std::string>{"300", "", "", "100", ""}));
    // CRC-32 and byte sum of 300 times "a" and 100 times "b".
    EXPECT_EQ(Column(3), (std::vector<std::string>{"89971909", "", "", "250162db", ""}));
    EXPECT_EQ(Column(4), (std::vector<std::string>{"71ac", "", "", "2648", ""}));
    for (const std::string& date : Column(1)) EXPECT_FALSE(date.empty());

    EXPECT_EQ(view->GetModel().DuplicateCount(), 3);
    EXPECT_EQ(view->GetModel().DuplicateBytes(), 700);
    EXPECT_EQ(WxToUtf8(frame->GetIdleText()), "发现 3 个重复文件 (700 字节)");
    EXPECT_EQ(StatusBarText(), "发现 3 个重复文件 (700 字节)");

    // The dialog is gone, the list is live again, the columns fit.
    guitest::ProcessEvents(50);
    EXPECT_EQ(view->GetProgressDialog(), nullptr);
    EXPECT_TRUE(list->IsEnabled());
    EXPECT_FALSE(view->IsBusy());
    EXPECT_GE(list->GetColumnWidth(0), list->GetTextExtent(Utf8ToWx(a3)).x);
    for (int column = 0; column < 5; ++column) EXPECT_GE(list->GetColumnWidth(column), 10);

    // The pictures: four 16 by 16 images, with a transparent ground, and the first three again
    // with a padlock.
    wxImageList* images = list->GetImageList(wxIMAGE_LIST_SMALL);
    ASSERT_NE(images, nullptr);
    EXPECT_EQ(images->GetImageCount(), 7);
    const wxImage locked = images->GetBitmap(kImageGroupLast + 4).ConvertToImage();
    EXPECT_FALSE(locked.IsTransparent(12, 4)) << "the padlock";
    EXPECT_FALSE(locked.IsTransparent(7, 0)) << "the line from the top";
    const wxImage corner = images->GetBitmap(kImageGroupLast).ConvertToImage();
    ASSERT_EQ(corner.GetWidth(), 16);
    EXPECT_TRUE(corner.HasMask() || corner.HasAlpha());
    EXPECT_TRUE(corner.IsTransparent(15, 0)) << "the ground shows through";
    EXPECT_FALSE(corner.IsTransparent(7, 0)) << "the line from the top";

    // The settings the sheet gave back are kept.
    EXPECT_EQ(view->GetSearchOptions().paths, std::vector<std::string>{tree.Path()});
}

TEST_F(GeminexViewTest, SearchThatFindsNothingSaysWhatItLookedAt) {
    MakeTree();
    ASSERT_EQ(Search(tree.Path()), DuplicateSearch::kFinished);
    ASSERT_NE(frame->GetIdleText(), "");

    // Not "准备", as if nothing had happened: how many files it saw, how many the masks left out.
    TempDir lonely;
    lonely.WriteFile("x", "1");
    lonely.WriteFile("y", "22");
    lonely.WriteFile("z.tmp", "22");
    SearchOptions options;
    options.paths = {lonely.Path()};
    options.mask = "*.*;~*.tmp";
    ASSERT_TRUE(view->StartSearch(options));
    ASSERT_TRUE(WaitForWork());
    EXPECT_EQ(list->GetItemCount(), 0);
    EXPECT_EQ(StatusBarText(), FormatSearchFoundNone(3, 1));
    EXPECT_EQ(WxToUtf8(frame->GetTitle()), LoadStringText(IDS_APP_TITLE));
}

TEST_F(GeminexViewTest, CancelWhileScanningLeavesTheListEmptyAndTheStatusReady) {
    MakeTree();
    frame->SetIdleText("earlier text");
    frame->OnSetMessageString(IDS_IDLE_MESSAGE);
    // Stopped at the work's very first question, before any folder is read.
    view->SetWorkProbe([](WorkProgress& progress) { progress.Stop(); });
    SearchOptions options;
    options.paths = {tree.Path()};
    ASSERT_TRUE(view->StartSearch(options));
    ASSERT_NE(view->GetProgressDialog(), nullptr);
    EXPECT_EQ(view->GetProgressDialog()->GetStatus(), "相同的文件名");
    EXPECT_FALSE(list->IsEnabled());
    ASSERT_TRUE(WaitForWork());
    EXPECT_EQ(view->LastOutcome(), DuplicateSearch::kCancelledWhileScanning);
    EXPECT_EQ(list->GetItemCount(), 0);
    // The last search's summary went when this one started: it would stand over no rows.
    EXPECT_EQ(WxToUtf8(frame->GetIdleText()), "");
    EXPECT_EQ(StatusBarText(), "准备");
    EXPECT_TRUE(list->IsEnabled());
    EXPECT_FALSE(view->IsBusy());
    guitest::ProcessEvents(50);
    EXPECT_EQ(view->GetProgressDialog(), nullptr);
}

TEST_F(GeminexViewTest, CancelWhileGroupingKeepsTheGroupsSoFar) {
    MakeTree();
    tree.WriteFile("four/e1", std::string(30, 'e'));
    tree.WriteFile("four/e2", std::string(30, 'e'));
    // The status at every question the work asks; it is stopped as soon as the first group
    // is counted.
    std::vector<std::string> statuses;
    view->SetWorkProbe([&](WorkProgress& progress) {
        const std::string status = progress.StatusText();
        if (statuses.empty() || statuses.back() != status) statuses.push_back(status);
        if (status.find("重复的文件") != std::string::npos) progress.Stop();
    });
    const DuplicateSearch::Outcome outcome = Search(tree.Path());
    EXPECT_EQ(outcome, DuplicateSearch::kFinished);
    EXPECT_NE(std::find(statuses.begin(), statuses.end(), "正在分类..."), statuses.end());
    EXPECT_NE(std::find(statuses.begin(), statuses.end(), "正在查找重复文件..."), statuses.end());
    EXPECT_EQ(statuses.back(), "发现 2 个重复的文件, 总共 600 字节");
    // Only the largest files' group was listed before the cancel.
    EXPECT_EQ(Images(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(view->GetModel().DuplicateCount(), 2);
    // The list is partial and says so, in the status bar and the title, until the next search.
    const std::string partial = LoadStringText(IDS_SEARCH_CANCELLED_PARTIAL);
    EXPECT_EQ(WxToUtf8(frame->GetIdleText()), partial + "  发现 2 个重复文件 (600 字节)");
    EXPECT_EQ(WxToUtf8(frame->GetTitle()), LoadStringText(IDS_APP_TITLE) + std::string(" - ") + partial);
    view->SetWorkProbe(nullptr);
    ASSERT_EQ(Search(tree.Path()), DuplicateSearch::kFinished);
    EXPECT_EQ(WxToUtf8(frame->GetTitle()), LoadStringText(IDS_APP_TITLE));
}

TEST_F(GeminexViewTest, ProgressDialogLooksAsItShould) {
    CProgressDialog* owner = nullptr;
    int ticks = 0;
    auto* dialog = new CProgressDialog(&owner, 1000, list, [&](CProgressDialog&) { ++ticks; });
    std::shared_ptr<WorkProgress> progress = dialog->Progress();
    EXPECT_EQ(owner, dialog);
    EXPECT_EQ(WxToUtf8(dialog->GetTitle()), "正在处理");
    EXPECT_FALSE(list->IsEnabled());
    auto* cancel = wxDynamicCast(dialog->FindWindow(wxID_CANCEL), wxButton);
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(WxToUtf8(cancel->GetLabel()), "取消");
    // What the work reports is shown by the timer, the counts made into text only then.
    progress->SetTotal(400);
    progress->StepProgress(100);
    progress->FilesFound(12, 3);
    ASSERT_TRUE(guitest::WaitFor([&] { return ticks > 0 && dialog->GetPos() == 50; }));
    EXPECT_EQ(dialog->GetStatus(), "发现 12 个文件在 3 个目录中");
    progress->DuplicatesFound(2, 600);
    dialog->ShowProgress();
    EXPECT_EQ(dialog->GetStatus(), "发现 2 个重复的文件, 总共 600 字节");
    // Everything inside the dialog, nothing cut off.
    for (wxWindow* child : dialog->GetChildren()) {
        EXPECT_TRUE(wxRect(wxPoint(0, 0), dialog->GetClientSize()).Contains(child->GetRect()));
        if (wxDynamicCast(child, wxButton)) {
            EXPECT_GE(child->GetSize().x, child->GetBestSize().x);
        }
    }
    if (const char* pictures = std::getenv("PAIRSCOUT_PICTURE_DIR")) {
        progress->SetStatus("/home/li/照片/2021/");
        dialog->ShowProgress();
        dialog->Raise();
        guitest::ProcessEvents(1000);
        const wxRect rect = dialog->GetScreenRect();
        const wxString command = wxString::Format(
            "import -window root -crop %dx%d+%d+%d +repage %s/progress.png", rect.width,
            rect.height, rect.x, rect.y, wxString::FromUTF8(pictures));
        EXPECT_EQ(wxExecute(command, wxEXEC_SYNC), 0);
    }
    // Escape is Cancel: it stops the work and gives the list back.
    wxCommandEvent escape(wxEVT_BUTTON, dialog->GetEscapeId());
    dialog->GetEventHandler()->ProcessEvent(escape);
    EXPECT_TRUE(progress->StopRequested());
    EXPECT_TRUE(progress->Cancelled());
    EXPECT_TRUE(list->IsEnabled());
    EXPECT_TRUE(dialog->Cancelled());
    dialog->DestroyWindow();
    EXPECT_EQ(owner, nullptr);
    guitest::ProcessEvents(50);

    // Ended by its owner: no stop. Gone with its parent instead: stop.
    dialog = new CProgressDialog(&owner, 10, list);
    progress = dialog->Progress();
    dialog->DestroyWindow();
    guitest::ProcessEvents(50);
    EXPECT_FALSE(progress->StopRequested());
    EXPECT_TRUE(list->IsEnabled());
    auto* parent = new wxFrame(nullptr, wxID_ANY, "parent");
    auto* inner = new wxWindow(parent, wxID_ANY);
    dialog = new CProgressDialog(&owner, 10, inner);
    progress = dialog->Progress();
    parent->Destroy();
    guitest::ProcessEvents(50);
    EXPECT_TRUE(progress->StopRequested());
    EXPECT_EQ(owner, nullptr);
}

// ---- Select all duplicates and delete ----

TEST_F(GeminexViewTest, SelectAllDuplicatesOnGroupsOfTwoAndThree) {
    MakeTree();
    Search(tree.Path());
    Select({0, 3});
    Focus(0);
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_SELECT_ALL_DUPLICATES)));
    EXPECT_EQ(list->GetSelectedRows(), (std::vector<std::size_t>{1, 2, 4}));
    EXPECT_NE(list->GetFocusedRow(), 0);
    EXPECT_NE(list->GetFocusedRow(), 3);
}

TEST_F(GeminexViewTest, DeleteMendsTheGroupsOfTwoAndThree) {
    MakeTree();
    RecordDeletes();
    // First row of the group of two: both rows go, the count drops by one.
    Search(tree.Path());
    Select({3});
    EXPECT_EQ(Delete(false), 1u);
    EXPECT_EQ(Images(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(view->GetModel().DuplicateCount(), 2);
    EXPECT_EQ(view->GetModel().DuplicateBytes(), 600);
    // The delete leaves a row selected, and the status says what it would free; with
    // nothing selected it shows the mended counts.
    EXPECT_EQ(list->GetSelectedRows().size(), 1u);
    guitest::ProcessEvents(50);
    EXPECT_EQ(WxToUtf8(frame->GetIdleText()), "已选择 1 个文件, 可释放 300 字节");
    Select({});
    guitest::ProcessEvents(50);
    // The summary, then what the delete did.
    EXPECT_EQ(WxToUtf8(frame->GetIdleText()), "发现 2 个重复文件 (600 字节)  已移到回收站 1 个文件, 共 100 字节");
    EXPECT_EQ(trashFlags, (std::vector<bool>{true}));

    // First row of the group of three: the middle row becomes the first, with the group's
    // size.
    const std::string first = WxToUtf8(list->GetItemText(0, 0));
    const std::string middle = WxToUtf8(list->GetItemText(1, 0));
    Select({0});
    EXPECT_EQ(Delete(false), 1u);
    EXPECT_FALSE(Exists(first));
    EXPECT_EQ(Images(), (std::vector<int>{0, 2}));
    EXPECT_EQ(WxToUtf8(list->GetItemText(0, 0)), middle);
    EXPECT_EQ(Column(2), (std::vector<std::string>{"300", ""}));
    Select({});
    guitest::ProcessEvents(50);
    EXPECT_EQ(WxToUtf8(frame->GetIdleText()), "发现 1 个重复文件 (300 字节)  已移到回收站 1 个文件, 共 300 字节");

    // Middle and last rows of a fresh group of three.
    tree.WriteFile("five/a.again", std::string(300, 'a'));
    Search(tree.Path());
    ASSERT_EQ(Images(), (std::vector<int>{0, 1, 2}));
    const std::string last = WxToUtf8(list->GetItemText(2, 0));
    Select({1});
    EXPECT_EQ(Delete(false), 1u);
    EXPECT_EQ(Images(), (std::vector<int>{0, 2}));
    EXPECT_EQ(WxToUtf8(list->GetItemText(1, 0)), last);
    tree.WriteFile("five/a.more", std::string(300, 'a'));
    Search(tree.Path());
    ASSERT_EQ(Images(), (std::vector<int>{0, 1, 2}));
    Select({2});
    EXPECT_EQ(Delete(false), 1u);
    EXPECT_EQ(Images(), (std::vector<int>{0, 2}));
    EXPECT_EQ(view->GetModel().DuplicateCount(), 1);
}

TEST_F(GeminexViewTest, DeleteKeyMovesTheFilesIntoTheTrashOfTheHome) {
    MakeTree();
    Search(tree.Path());
    view->SetShiftDownHook([] { return false; });
    EXPECT_FALSE(IsEnabled(cmd::ID_DELETE_FILES));
    Select({4});
    EXPECT_TRUE(IsEnabled(cmd::ID_DELETE_FILES));
    const std::string victim = WxToUtf8(list->GetItemText(4, 0));
    const std::string name = victim.substr(victim.rfind('/') + 1);
    MessageAnswers answers(wxID_OK);
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_DELETE_FILES)));
    ASSERT_TRUE(WaitForWork());
    EXPECT_TRUE(answers.texts.empty()) << "no question before the trash";
    EXPECT_FALSE(Exists(victim));
    const std::string trash = guitest::TempHome() + ".local/share/Trash/";
    EXPECT_EQ(ReadWholeFile(trash + "files/" + name), std::string(100, 'b'));
    EXPECT_NE(ReadWholeFile(trash + "info/" + name + ".trashinfo").find("Path="), std::string::npos);
    EXPECT_EQ(list->GetItemCount(), 3);
}

TEST_F(GeminexViewTest, DeleteOnAnotherFileSystemUsesThatFileSystemsTrash) {
    struct stat shm, tmp;
    if (stat("/dev/shm", &shm) != 0 || stat(tree.Path().c_str(), &tmp) != 0 ||
        shm.st_dev == tmp.st_dev || access("/dev/shm", W_OK) != 0)
        GTEST_SKIP() << "no writable file system of its own at /dev/shm";
    const std::string trashTop = "/dev/shm/.Trash-" + std::to_string(getuid());
    const bool trashExisted = Exists(trashTop);
    char folderName[] = "/dev/shm/pairscout-XXXXXX";
    ASSERT_NE(mkdtemp(folderName), nullptr);
    const std::string folder = std::string(folderName) + "/";
    const std::string far = folder + "far-copy.bin";
    { std::FILE* f = std::fopen(far.c_str(), "wb"); std::fputs(std::string(300, 'a').c_str(), f); std::fclose(f); }
    MakeTree();
    Search({tree.Path(), folder});
    ASSERT_EQ(view->GetModel().RowCount(), 6u);
    long farRow = -1;
    for (long row = 0; row < list->GetItemCount(); ++row)
        if (WxToUtf8(list->GetItemText(row, 0)) == far) farRow = row;
    ASSERT_GE(farRow, 0);
    Select({farRow});
    EXPECT_EQ(Delete(false), 1u);
    EXPECT_FALSE(Exists(far));
    EXPECT_TRUE(Exists(trashTop + "/files/far-copy.bin"));
    EXPECT_FALSE(Exists(guitest::TempHome() + ".local/share/Trash/files/far-copy.bin"));
    std::system(("rm -rf '" + folder + "'").c_str());
    if (!trashExisted) std::system(("rm -rf '" + trashTop + "'").c_str());
    else std::system(("rm -f '" + trashTop + "/files/far-copy.bin' '" + trashTop +
                      "/info/far-copy.bin.trashinfo'").c_str());
}

TEST_F(GeminexViewTest, ShiftDeleteAsksFirstAndNoDeletesNothing) {
    MakeTree();
    Search(tree.Path());
    view->SetShiftDownHook([] { return true; });
    Select({1, 4});
    {
        // The question says the files cannot come back; No is the default, so Enter keeps
        // them; the buttons read 是(Y) and 否(N).
        MessageAnswers answers(wxID_NO);
        long style = 0;
        std::string yes, no;
        answers.onDialog = [&](wxMessageDialogBase& box) {
            style = box.GetMessageDialogStyle();
            // GTK keeps the mnemonic as "_", Windows as "&".
            wxString y = box.GetYesLabel(), n = box.GetNoLabel();
            y.Replace("_", "&");
            n.Replace("_", "&");
            yes = WxToUtf8(y);
            no = WxToUtf8(n);
        };
        EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_DELETE_FILES)));
        EXPECT_EQ(answers.texts, (std::vector<std::string>{
                                     "你确定要删除 2 个文件吗?\n\n这些文件将被永久删除, 无法恢复。"}));
        EXPECT_NE(style & wxNO_DEFAULT, 0);
        EXPECT_EQ(yes, "是(&Y)");
        EXPECT_EQ(no, "否(&N)");
    }
    EXPECT_EQ(list->GetItemCount(), 5);
    for (const std::string& path : Column(0)) EXPECT_TRUE(Exists(path)) << path;

    const std::string second = WxToUtf8(list->GetItemText(1, 0));
    const std::string name = second.substr(second.rfind('/') + 1);
    // Earlier tests in the same home may have trashed files (one of this name among them).
    const std::string trashFiles = guitest::TempHome() + ".local/share/Trash/files";
    const auto trashed = [&] {
        std::error_code error;
        std::size_t count = 0;
        for (auto it = std::filesystem::directory_iterator(trashFiles, error);
             !error && it != std::filesystem::directory_iterator(); ++it)
            ++count;
        return count;
    };
    const std::size_t before = trashed();
    {
        MessageAnswers answers(wxID_YES);
        EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_DELETE_FILES)));
        ASSERT_TRUE(WaitForWork());
        EXPECT_EQ(answers.texts.size(), 1u);
    }
    EXPECT_FALSE(Exists(second));
    EXPECT_EQ(trashed(), before) << "for good, not into the trash";
    EXPECT_EQ(Images(), (std::vector<int>{0, 2}));
}

TEST_F(GeminexViewTest, ChangedAndUndeletableFilesKeepTheirRowsAndAreNamed) {
    MakeTree();
    Search(tree.Path());
    const std::vector<std::string> paths = Column(0);
    // Row 1 is changed after the search; the system refuses to remove row 2; row 4 goes.
    tree.WriteFile(paths[1].substr(tree.Path().size()), std::string(299, 'a') + "z");
    std::set<std::string> refuse{paths[2]};
    RecordDeletes(refuse);
    Select({1, 2, 4});
    MessageAnswers answers(wxID_OK);
    EXPECT_EQ(Delete(false), 1u);
    ASSERT_EQ(answers.texts.size(), 1u);
    const std::string& message = answers.texts[0];
    EXPECT_EQ(message.rfind("以下文件没有被删除:", 0), 0u) << message;
    EXPECT_NE(message.find(paths[1] + ": "), std::string::npos) << message;
    EXPECT_NE(message.find(paths[2] + ": 系统无法删除此文件"), std::string::npos) << message;
    EXPECT_EQ(message.find(paths[4]), std::string::npos) << message;
    EXPECT_EQ(deleted, (std::vector<std::string>{paths[2], paths[4]}));
    EXPECT_TRUE(Exists(paths[1]));
    EXPECT_TRUE(Exists(paths[2]));
    EXPECT_FALSE(Exists(paths[4]));
    // The rows of the files that stayed are still listed; the group of two is gone.
    EXPECT_EQ(Column(0), (std::vector<std::string>{paths[0], paths[1], paths[2]}));
    EXPECT_EQ(view->GetModel().DuplicateCount(), 2);
}

TEST_F(GeminexViewTest, AWholeGroupSelectedKeepsItsFirstFile) {
    MakeTree();
    Search(tree.Path());
    RecordDeletes();
    const std::vector<std::string> paths = Column(0);
    list->SelectAllRows();
    MessageAnswers answers(wxID_OK);
    EXPECT_EQ(Delete(false), 3u);
    EXPECT_TRUE(Exists(paths[0]));
    EXPECT_TRUE(Exists(paths[3]));
    for (std::size_t row : {1, 2, 4}) EXPECT_FALSE(Exists(paths[row])) << paths[row];
    // The two first rows kept share one reason, and are named under it once.
    ASSERT_EQ(answers.texts.size(), 1u);
    EXPECT_NE(answers.texts[0].find("该组的所有文件都被选择, 保留这最后一份 (2 个):\n    " + paths[0]),
              std::string::npos)
        << answers.texts[0];
    EXPECT_EQ(list->GetItemCount(), 0);
    EXPECT_EQ(StatusBarText(), "已移到回收站 3 个文件, 共 700 字节; 2 个空文件夹已删除");
}

TEST_F(GeminexViewTest, ProtectedFilesAreNeitherSelectedNorDeleted) {
    MakeTree();
    RecordDeletes();
    SearchOptions options;
    options.paths = {tree.Path()};
    options.keep.protectedFolders = {tree / "two"};
    ASSERT_TRUE(view->StartSearch(options));
    ASSERT_TRUE(WaitForWork());
    const std::vector<std::string> paths = Column(0);
    ASSERT_EQ(paths.size(), 5u);
    // The protected copies head their group; select all duplicates passes over them.
    const std::string two = tree / "two/";
    EXPECT_EQ(paths[0].rfind(two, 0), 0u) << paths[0];
    EXPECT_EQ(paths[1].rfind(two, 0), 0u) << paths[1];
    EXPECT_EQ(paths[2], a1);
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_SELECT_ALL_DUPLICATES)));
    EXPECT_EQ(list->GetSelectedRows(), (std::vector<std::size_t>{2, 4}));

    // Chosen by hand, every row: the protected files stay and are named.
    list->SelectAllRows();
    MessageAnswers answers(wxID_OK);
    EXPECT_EQ(Delete(false), 2u);
    EXPECT_EQ(deleted, (std::vector<std::string>{a1, paths[4]}));
    EXPECT_TRUE(Exists(paths[0]));
    EXPECT_TRUE(Exists(paths[1]));
    ASSERT_EQ(answers.texts.size(), 1u);
    EXPECT_NE(answers.texts[0].find("文件在受保护的文件夹中, 不删除 (2 个):\n    " + paths[0] + "\n    " + paths[1]),
              std::string::npos)
        << answers.texts[0];
}

// ---- File commands ----

TEST_F(GeminexViewTest, OpenExploreAndPropertiesActOnTheFocusedRow) {
    MakeTree();
    Search(tree.Path());
    const std::vector<std::string> paths = Column(0);
    list->ClearSelection(true);
    EXPECT_FALSE(IsEnabled(cmd::ID_FILE_OPEN));
    view->OpenFile();
    view->ExploreFolder();
    view->FileProperties();
    EXPECT_TRUE(launches.calls.empty()) << "nothing without a focused row";

    Select({1});
    Focus(3);
    EXPECT_TRUE(IsEnabled(cmd::ID_FILE_OPEN));
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_FILE_OPEN)));
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_EXPLORE_FOLDER)));
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_FILE_PROPERTIES)));
    // Double-click (the list's activation) opens too.
    wxListEvent activated(wxEVT_LIST_ITEM_ACTIVATED, list->GetId());
    activated.SetEventObject(list);
    activated.m_itemIndex = 1;
    list->GetEventHandler()->ProcessEvent(activated);
    const std::string folder = paths[3].substr(0, paths[3].rfind('/'));
    EXPECT_EQ(launches.calls,
              (std::vector<std::string>{"open " + paths[3], "explore " + paths[3] + " in " + folder,
                                        "properties " + paths[3], "open " + paths[3]}));
}

TEST(FileLauncherTest, FolderAndAddressOfAFile) {
    EXPECT_EQ(FolderOfFile("/home/li/a.txt"), "/home/li");
    EXPECT_EQ(FolderOfFile("/a.txt"), "/");
    EXPECT_EQ(FolderOfFile("a.txt"), "");
    EXPECT_EQ(FileUri("/tmp/a b/\xC3\xBC'x\xFF"), "file:///tmp/a%20b/%C3%BC%27x%FF");
}

TEST(FilePropertiesTest, LinesOfAFile) {
    TempDir dir;
    const std::string path = dir.WriteFile("p.txt", "hello");
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    const auto lines = FilePropertyLines(path);
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0], (std::pair<std::string, std::string>("路径", path)));
    EXPECT_EQ(lines[1].second, "5 字节");
    EXPECT_EQ(lines[6].second, "-rw-r----- (0640)");
    EXPECT_NE(lines[5].second.find(" / "), std::string::npos);
    const auto missing = FilePropertyLines(dir / "nothing");
    ASSERT_EQ(missing.size(), 2u);
    EXPECT_EQ(missing[1].first, "错误");

    CFilePropertiesDlg dialog(nullptr, path);
    EXPECT_EQ(WxToUtf8(dialog.GetTitle()), "属性");
    EXPECT_NE(dialog.FindWindow(wxID_OK), nullptr);

    // A path longer than the screen is wide is shown whole: wrapped, selectable, every
    // character inside the dialog on the screen.
    std::string folders;
    for (int i = 0; i < 12; ++i) folders += "一个相当长的文件夹名字 folder " + std::to_string(i) + "/";
    const std::string longPath = dir.WriteFile(folders + "最后的文件.txt", "x");
    CFilePropertiesDlg shown(nullptr, longPath);
    shown.Show();
    guitest::ProcessEvents(300);
    wxTextCtrl* value = nullptr;
    for (wxWindow* child : shown.GetChildren()) {
        auto* text = wxDynamicCast(child, wxTextCtrl);
        if (text != nullptr && WxToUtf8(text->GetValue()) == longPath) value = text;
    }
    ASSERT_NE(value, nullptr) << "the path is not shown as it is";
    EXPECT_FALSE(value->IsEditable());
    const wxRect screen = wxDisplay(0u).GetClientArea();
    EXPECT_LE(shown.GetSize().x, screen.width);
    const wxPoint end = value->PositionToCoords(value->GetLastPosition());
    EXPECT_NE(end, wxDefaultPosition);
    EXPECT_TRUE(wxRect(value->GetClientSize()).Contains(end))
        << "the path's end at " << end.x << "," << end.y << " of " << value->GetClientSize().x
        << "x" << value->GetClientSize().y;
    value->SetSelection(-1, -1);
    EXPECT_EQ(WxToUtf8(value->GetStringSelection()), longPath);
    shown.Hide();
}

// Names that are not valid UTF-8 reach the desktop as the file's own bytes: the list shows
// replacement marks, the address names the real file.
TEST_F(GeminexViewTest, OpenAndExploreGiveTheDesktopTheRealBytesOfTheName) {
    const std::string latin1 = tree.WriteFile("caf\xE9/r\xE9sum\xE9.txt", std::string(64, 'r'));
    const std::string broken = tree.WriteFile("\xFF\xFE x'\"y.txt", std::string(64, 'r'));
    auto doors = std::make_unique<DoorLauncher>();
    DoorLauncher* launcher = doors.get();
    view->SetLauncher(std::move(doors));
    Search(tree.Path());
    ASSERT_EQ(list->GetItemCount(), 2);
    for (long row = 0; row < 2; ++row) {
        const std::string path = view->GetModel().Row(static_cast<std::size_t>(row)).record->Path();
        ASSERT_TRUE(path == latin1 || path == broken) << path;
        EXPECT_NE(WxToUtf8(list->GetItemText(row, 0)).find("\xEF\xBF\xBD"), std::string::npos)
            << "shown with replacement marks";
        launcher->opened.clear();
        launcher->calls.clear();
        Select({row});
        Focus(row);
        view->OpenFile();
        ASSERT_EQ(launcher->opened.size(), 1u);
        const std::string target = launcher->opened[0];
        EXPECT_TRUE(IsPlainAscii(target)) << target;
        EXPECT_EQ(PathOfAddress(target), path);
        struct stat named, real;
        ASSERT_EQ(lstat(PathOfAddress(target).c_str(), &named), 0);
        ASSERT_EQ(lstat(path.c_str(), &real), 0);
        EXPECT_EQ(named.st_ino, real.st_ino);

        // Explore: the file manager is asked to show the file; when it refuses, the folder opens.
        launcher->refuse = true;
        view->ExploreFolder();
        ASSERT_EQ(launcher->calls.size(), 1u);
        EXPECT_EQ(launcher->calls[0].first, "ShowItems");
        EXPECT_TRUE(IsPlainAscii(launcher->calls[0].second));
        EXPECT_EQ(PathOfAddress(launcher->calls[0].second), path);
        ASSERT_EQ(launcher->opened.size(), 2u);
        EXPECT_EQ(PathOfAddress(launcher->opened[1]), path.substr(0, path.rfind('/')));
        launcher->refuse = false;
        view->FileProperties();
        ASSERT_EQ(launcher->calls.size(), 2u);
        EXPECT_EQ(launcher->calls[1].first, "ShowItemProperties");
        EXPECT_EQ(PathOfAddress(launcher->calls[1].second), path);
        // The program's own properties read the file by its bytes.
        const auto lines = FilePropertyLines(path);
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(lines[1].second, "64 字节");
    }

    // A file of such a name that stays after a delete is named without spoiling the message.
    RecordDeletes({broken});
    list->SelectAllRows();
    MessageAnswers answers(wxID_OK);
    Delete(false);
    ASSERT_EQ(answers.texts.size(), 1u);
    EXPECT_EQ(answers.texts[0].rfind("以下文件没有被删除:", 0), 0u) << answers.texts[0];
    EXPECT_NE(answers.texts[0].find("\xEF\xBF\xBD\xEF\xBF\xBD x'\"y.txt: "), std::string::npos)
        << answers.texts[0];
}

// ---- What the search passed over ----

// A second search of an unchanged tree lists its groups from the cache and says so; asked to
// compare them, or once the cache is emptied from the File menu, it reads them again.
TEST_F(GeminexViewTest, TheSecondSearchComesFromTheCacheUntilItIsCleared) {
    MakeTree();
    // Files changed a moment ago are not learnt (a change in the same tick would be unseen).
    wxMilliSleep(2200);
    const std::string summary = "发现 3 个重复文件 (700 字节)";
    ASSERT_EQ(Search(tree.Path()), DuplicateSearch::kFinished);
    EXPECT_EQ(StatusBarText(), summary);
    ASSERT_EQ(Search(tree.Path()), DuplicateSearch::kFinished);
    EXPECT_EQ(StatusBarText(), summary + "  2 组来自缓存");
    EXPECT_EQ(Column(3), (std::vector<std::string>{"89971909", "", "", "250162db", ""}));
    SearchOptions verify;
    verify.paths = {tree.Path()};
    verify.verifyCached = true;
    ASSERT_TRUE(view->StartSearch(verify));
    ASSERT_TRUE(WaitForWork());
    EXPECT_EQ(StatusBarText(), summary);
    {
        MessageAnswers answers(wxID_OK);
        EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_CLEAR_CACHE)));
        ASSERT_EQ(answers.texts.size(), 1u);
        EXPECT_EQ(answers.texts[0].rfind("缓存已清空: ", 0), 0u) << answers.texts[0];
    }
    ASSERT_EQ(Search(tree.Path()), DuplicateSearch::kFinished);
    EXPECT_EQ(StatusBarText(), summary);
}

TEST_F(GeminexViewTest, SavedResultsReopenCheckedAndADamagedFileIsRefused) {
    MakeTree();
    ASSERT_EQ(Search(tree.Path()), DuplicateSearch::kFinished);
    const std::vector<std::string> paths = Column(0);
    const std::string saved = tree.Path() + "r.pairscout";
    view->SetResultsFileChooser([&](bool, const std::string&) { return saved; });
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_SAVE_RESULTS)));
    // Since then: one copy of "a" is gone and one of "b" was written.
    ASSERT_EQ(unlink(a3.c_str()), 0);
    tree.WriteFile("three/b.dat", std::string(100, 'B'));
    {
        MessageAnswers answers(wxID_OK);
        EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_OPEN_RESULTS)));
        ASSERT_TRUE(WaitForWork());
        ASSERT_EQ(answers.texts.size(), 1u);
        EXPECT_EQ(answers.texts[0], "2 个文件在保存后已改变或不存在, 它们不会被选择或处理");
    }
    EXPECT_EQ(Column(0), paths) << "the same groups in the same order";
    const ResultsModel& model = view->GetModel();
    std::vector<std::string> reasons = Column(kColumnKeepReason);
    for (std::size_t row = 0; row < model.RowCount(); ++row) {
        const std::string path = model.Row(row).record->Path();
        const RowStanding expected = path == a3 ? kStandsMissing
                                     : path == b2 ? kStandsChanged
                                                  : kStandsHere;
        EXPECT_EQ(model.Row(row).standing, expected) << path;
        if (path == a3) {
            EXPECT_EQ(reasons[row], "保存后已不存在");
        }
        if (path == b2) {
            EXPECT_EQ(reasons[row], "保存后已改变");
        }
    }
    // The group of "b" has one file left: nothing in it is selected; of "a" one copy goes.
    view->SelectAllDuplicates();
    const std::vector<std::size_t> chosen = list->GetSelectedRows();
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(model.Row(chosen[0]).record->Path(), model.Row(0).record->Path() == a1 ? a2 : a1);
    EXPECT_EQ(StatusBarText().rfind("发现 1 个重复文件", 0), 0u) << StatusBarText();

    // A file cut short is refused with why, and the rows stay as they were.
    std::string text;
    std::string why;
    ASSERT_TRUE(ReadWholeFile(saved, &text, &why)) << why;
    tree.WriteFile("r.pairscout", text.substr(0, text.size() / 2));
    {
        MessageAnswers answers(wxID_OK);
        EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_OPEN_RESULTS)));
        ASSERT_TRUE(WaitForWork());
        ASSERT_EQ(answers.texts.size(), 1u);
        EXPECT_EQ(answers.texts[0].rfind("不能打开结果 " + saved + ": 文件已损坏 (line ", 0), 0u)
            << answers.texts[0];
    }
    EXPECT_EQ(Column(0), paths);
}

// The folder view takes folders whole: to the trash with every file, the folders left empty
// removed, and all of it back with one undo.
TEST_F(GeminexViewTest, DuplicateFoldersGoWholeToTheTrashAndComeBack) {
    for (const std::string top : {"photos/", "backup/photos/"}) {
        tree.WriteFile(top + "2021/a.jpg", std::string(300, 'a'));
        tree.WriteFile(top + "b.jpg", std::string(200, 'b'));
    }
    tree.WriteFile("loose/a1.jpg", std::string(300, 'a'));
    ASSERT_EQ(Search(tree.Path()), DuplicateSearch::kFinished);
    std::vector<FolderRow> rows;
    std::vector<std::string> taken;
    view->SetFolderChooser([&](const std::function<FolderFindings(bool)>& find,
                               std::vector<std::string>* folders, DuplicateActionKind* kind) {
        rows = MakeFolderRows(find(false));
        *folders = taken = FoldersToTake(rows, DuplicateFolderRows(rows));
        *kind = DuplicateActionKind::kTrash;
        return true;
    });
    std::vector<std::string> questions;
    view->SetActionQuestion([&](const std::string& question) {
        questions.push_back(question);
        return true;
    });
    {
        MessageAnswers none(wxID_OK);
        ASSERT_TRUE(view->ShowDuplicateFolders());
        ASSERT_TRUE(WaitForWork());
        EXPECT_TRUE(none.texts.empty()) << none.texts[0];
    }
    // photos/ and backup/photos/ are one group, loose/ and backup/ hold only copies: of the
    // group the first folder stays whole, the other goes; loose/ goes; backup/ is not taken
    // (it holds a folder of the group, which says what stays).
    ASSERT_GE(rows.size(), 4u);
    EXPECT_TRUE(rows[0].first);
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_NE(questions[0].find("移到回收站这 2 个文件夹吗? 共 3 个文件"), std::string::npos) << questions[0];
    EXPECT_FALSE(Exists(tree.Path() + "loose"));
    const bool photos = Exists(tree.Path() + "photos/2021/a.jpg") && Exists(tree.Path() + "photos/b.jpg");
    const bool backup = Exists(tree.Path() + "backup/photos/2021/a.jpg") &&
                        Exists(tree.Path() + "backup/photos/b.jpg");
    EXPECT_NE(photos, backup) << "one copy stays whole";
    EXPECT_EQ(Exists(tree.Path() + "backup"), backup) << "an emptied folder goes";
    EXPECT_EQ(backup, rows[0].path == tree.Path() + "backup/photos/");
    EXPECT_EQ(list->GetItemCount(), 0) << "every group lost its copies";

    ASSERT_TRUE(view->UndoDelete());
    ASSERT_TRUE(WaitForWork());
    EXPECT_EQ(ReadWholeFile(tree.Path() + "backup/photos/2021/a.jpg"), std::string(300, 'a'));
    EXPECT_TRUE(Exists(tree.Path() + "loose/a1.jpg"));
    EXPECT_EQ(list->GetItemCount(), 5);

    // The dialog itself: its rows, the duplicate folders selected, Escape closes it.
    CFolderDialog dialog(frame, [&](bool names) {
        return FindFolderGroups(view->GetModel(), view->Listed().foldersSeen, names);
    }, true, nullptr);
    EXPECT_EQ(dialog.List()->GetItemCount(), static_cast<int>(dialog.Rows().size()));
    dialog.SelectDuplicates();
    EXPECT_EQ(dialog.List()->GetSelectedItemCount(),
              static_cast<int>(DuplicateFolderRows(dialog.Rows()).size()));
    EXPECT_EQ(dialog.GetEscapeId(), wxID_CANCEL);
    // Opened results have no walk to find folders from.
    view->Listed().foldersSeen.clear();
    MessageAnswers answers(wxID_OK);
    EXPECT_FALSE(view->ShowDuplicateFolders());
    ASSERT_EQ(answers.texts.size(), 1u);
    EXPECT_EQ(answers.texts[0], LoadStringText(IDS_FOLDER_NEEDS_SEARCH));
}

TEST_F(GeminexViewTest, PlacesPassedOverAreNamedOnceTheRowsAreShown) {
    MakeTree();
    const std::string missing = tree.Path() + "gone \xFF";
    std::string locked;
    // A folder that cannot be read (not for a user whom permissions do not stop).
    const std::string folder = tree.MakeDir("locked");
    tree.WriteFile("locked/inner.txt", "x");
    if (chmod(folder.c_str(), 0) == 0 && access(folder.c_str(), R_OK) != 0) locked = folder;
    std::size_t rowsWhenAsked = 0;
    MessageAnswers answers(wxID_OK);
    answers.onEnter = [&] { rowsWhenAsked = view->GetModel().RowCount(); };
    ASSERT_EQ(Search({tree.Path(), missing, "/proc"}), DuplicateSearch::kFinished);
    chmod(folder.c_str(), 0755);
    EXPECT_EQ(list->GetItemCount(), 5);
    EXPECT_EQ(rowsWhenAsked, 5u) << "the rows are there when the message comes";
    ASSERT_EQ(answers.texts.size(), 1u);
    const std::string& text = answers.texts[0];
    EXPECT_EQ(text.rfind("搜索时跳过了以下位置:\n\n", 0), 0u) << text;
    EXPECT_NE(text.find("\n" + tree.Path() + "gone \xEF\xBF\xBD: "), std::string::npos) << text;
    EXPECT_NE(text.find("\n/proc: 虚拟文件系统, 不搜索"), std::string::npos) << text;
    if (!locked.empty()) {
        EXPECT_NE(text.find("\n" + locked.substr(0, locked.size() - 1)), std::string::npos) << text;
    }
    EXPECT_FALSE(view->IsBusy());

    // Nothing passed over, or the search stopped while scanning: no message.
    answers.texts.clear();
    ASSERT_EQ(Search(tree.Path()), DuplicateSearch::kFinished);
    view->SetWorkProbe([](WorkProgress& progress) { progress.Stop(); });
    EXPECT_EQ(Search({tree.Path(), missing}), DuplicateSearch::kCancelledWhileScanning);
    view->SetWorkProbe(nullptr);
    EXPECT_TRUE(answers.texts.empty());
}

// ---- While work runs ----

// No window of the program is left: with the last one gone the program ends.
bool NoWindowLeft() {
    for (wxWindow* window : wxTopLevelWindows)
        if (!window->IsBeingDeleted() && (wxDynamicCast(window, CMainFrame) != nullptr ||
                                          dynamic_cast<CProgressDialog*>(window) != nullptr))
            return false;
    return true;
}

// Opens About through its command while work runs and closes it from inside its own modal
// loop once the progress dialog has shown `ticks` more rounds there: the window's thread keeps
// handling events (timers, queued calls, a modal box) while the worker is held. True when the
// box was shown and the rounds came.
bool AboutWhileWorking(CMainFrame* frame, std::atomic<int>* ticks) {
    bool shown = false, ticked = false;
    const int before = ticks->load();
    // Looked for on a timer of its own: the box's modal loop must run the dialog's timer too.
    wxTimer look;
    look.Bind(wxEVT_TIMER, [&](wxTimerEvent&) {
        for (wxWindow* window : wxTopLevelWindows) {
            auto* about = dynamic_cast<CAboutDlg*>(window);
            if (about == nullptr || !about->IsModal()) continue;
            shown = true;
            if (ticks->load() >= before + 3) {
                ticked = true;
                look.Stop();
                about->EndModal(wxID_OK);
            }
        }
    });
    look.Start(10);
    frame->ExecuteCommand(WxId(cmd::ID_APP_ABOUT));
    look.Stop();
    return shown && ticked;
}

TEST_F(GeminexViewTest, TheWindowAnswersWhileSlowReadsAndADeleteRun) {
    MakeTree();
    Search(tree.Path());
    ASSERT_EQ(list->GetItemCount(), 5);
    std::atomic<int> ticks{0};
    view->SetProgressWatcher([&](CProgressDialog&) { ++ticks; });

    // The search's first read of a file waits until the test lets it go.
    Gate reads;
    std::atomic<int> readCount{0};
    // The work's progress as the worker sees it (the probe runs before any read or removal).
    WorkProgress* held = nullptr;
    view->SetWorkProbe([&](WorkProgress& progress) { held = &progress; });
    view->SetContentReader([&](CFileRecord& record, const DetailsRequest& request) {
        if (readCount++ == 0) reads.Hold(*held);
        record.ComputeDetails(request);
    });
    SearchOptions options;
    options.paths = {tree.Path()};
    ASSERT_TRUE(view->StartSearch(options));
    CProgressDialog* dialog = view->GetProgressDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(guitest::WaitFor([&] { return reads.Reached(); }, 60000));
    // The worker waits on the disk; the window does not.
    EXPECT_TRUE(guitest::WaitFor([&] { return dialog->GetStatus() == "正在查找重复文件..."; }));
    EXPECT_TRUE(view->IsBusy());
    EXPECT_FALSE(IsEnabled(cmd::ID_FIND_DUPLICATES));
    EXPECT_TRUE(AboutWhileWorking(frame, &ticks));
    bool queued = false;
    view->CallAfter([&] { queued = true; });
    EXPECT_TRUE(guitest::WaitFor([&] { return queued; }));
    EXPECT_TRUE(view->IsBusy()) << "still held at its first read";
    // Cancel, as the user presses it: the held read gives up and the search ends at once.
    wxCommandEvent press(wxEVT_BUTTON, wxID_CANCEL);
    dialog->GetEventHandler()->ProcessEvent(press);
    ASSERT_TRUE(WaitForWork());
    EXPECT_EQ(view->LastOutcome(), DuplicateSearch::kFinished);
    EXPECT_EQ(list->GetItemCount(), 0) << "stopped before the first group";
    EXPECT_TRUE(list->IsEnabled());
    view->SetContentReader(nullptr);

    // The same for a delete: its remover is held while About comes and goes, then Cancel.
    Search(tree.Path());
    ASSERT_EQ(list->GetItemCount(), 5);
    Gate removes;
    std::atomic<int> calls{0};
    view->SetFileDeleter([&](const std::vector<std::string>& paths, bool) {
        ++calls;
        removes.Hold(*held);
        return paths;  // nothing removed
    });
    list->SelectAllRows();
    ASSERT_TRUE(view->DeleteFiles(false));
    dialog = view->GetProgressDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(guitest::WaitFor([&] { return removes.Reached(); }, 60000));
    EXPECT_FALSE(IsEnabled(cmd::ID_DELETE_FILES));
    EXPECT_TRUE(AboutWhileWorking(frame, &ticks));
    MessageAnswers answers(wxID_OK);
    dialog->GetEventHandler()->ProcessEvent(press);
    ASSERT_TRUE(WaitForWork());
    EXPECT_EQ(calls.load(), 1) << "no batch after Cancel";
    EXPECT_EQ(view->LastRemovedCount(), 0u);
    EXPECT_EQ(list->GetItemCount(), 5);
    EXPECT_TRUE(list->IsEnabled());
    EXPECT_EQ(view->GetProgressDialog(), nullptr);
}

TEST_F(GeminexViewTest, CommandsThatChangeRowsAreRefusedWhileASearchRuns) {
    MakeTree();
    Search(tree.Path());
    Select({1});
    // Held at the search's first question.
    Gate gate;
    view->SetWorkProbe([&](WorkProgress& progress) { gate.Hold(progress); });
    SearchOptions options;
    options.paths = {tree.Path()};
    ASSERT_TRUE(view->StartSearch(options));
    ASSERT_TRUE(guitest::WaitFor([&] { return gate.Reached(); }, 60000));
    CProgressDialog* dialog = view->GetProgressDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(view->IsBusy());
    EXPECT_FALSE(IsEnabled(cmd::ID_FIND_DUPLICATES));
    EXPECT_FALSE(IsEnabled(cmd::ID_DELETE_FILES));
    EXPECT_FALSE(IsEnabled(cmd::ID_FILE_SAVE_AS));
    EXPECT_FALSE(frame->ExecuteCommand(WxId(cmd::ID_FIND_DUPLICATES)));
    EXPECT_FALSE(view->FindDuplicates());
    EXPECT_FALSE(view->StartSearch(options));
    EXPECT_FALSE(view->DeleteFiles(true));
    // Closing the window stops the search first (which lets the held worker go).
    EXPECT_FALSE(frame->Close());
    EXPECT_TRUE(dialog->Cancelled());
    // The close asked for meanwhile follows once the search has stopped.
    EXPECT_TRUE(guitest::WaitFor([&] { return app->GetMainFrame() == nullptr; }, 60000));
    EXPECT_TRUE(guitest::WaitFor(NoWindowLeft));
}

TEST_F(GeminexViewTest, ClosingTheWindowDuringADeleteStopsItAndCloses) {
    MakeTree();
    Search(tree.Path());
    const std::vector<std::string> paths = Column(0);
    RecordDeletes();
    list->SelectAllRows();
    Gate gate;
    view->SetWorkProbe([&](WorkProgress& progress) { gate.Hold(progress); });
    MessageAnswers answers(wxID_OK);
    ASSERT_TRUE(view->DeleteFiles(false));
    ASSERT_TRUE(guitest::WaitFor([&] { return gate.Reached(); }, 60000));
    EXPECT_FALSE(frame->Close()) << "refused while the delete runs";
    EXPECT_TRUE(guitest::WaitFor([&] { return app->GetMainFrame() == nullptr; }, 60000));
    EXPECT_TRUE(guitest::WaitFor(NoWindowLeft));
    // Stopped before anything went: every file is still there.
    EXPECT_TRUE(deleted.empty());
    for (const std::string& path : paths) EXPECT_TRUE(Exists(path)) << path;
}

TEST_F(GeminexViewTest, AForcedCloseDuringASearchStopsAndWaitsForTheWorker) {
    MakeTree();
    tree.WriteFile("gone", "");
    // Held in the grouping, after its first group.
    Gate gate;
    view->SetWorkProbe([&](WorkProgress& progress) {
        if (progress.StatusText().find("重复的文件") != std::string::npos) gate.Hold(progress);
    });
    MessageAnswers answers(wxID_OK);
    SearchOptions options;
    options.paths = {tree.Path(), tree.Path() + "missing"};
    ASSERT_TRUE(view->StartSearch(options));
    ASSERT_TRUE(guitest::WaitFor([&] { return gate.Reached(); }, 60000));
    // A close that may not be refused (the session ends): the worker is stopped and joined
    // before the window, its rows and the view go.
    frame->Close(true);
    EXPECT_TRUE(guitest::WaitFor([&] { return app->GetMainFrame() == nullptr; }));
    EXPECT_TRUE(guitest::WaitFor(NoWindowLeft));
    guitest::ProcessEvents(50);
    EXPECT_TRUE(answers.texts.empty()) << "a closing window names nothing passed over";
}

// Not a check: 300 000 files (150 000 pairs) made in a temporary folder when PAIRSCOUT_BENCH_300K
// is set: the time Cancel takes in the scan and in the grouping, the longest stretch without
// events in each search, in select all duplicates, and in the delete of 150 000 files with the
// removal of their rows (the remover only counts; with PAIRSCOUT_BENCH_300K=unlink it removes the
// files for good, with "trash" the view's own remover moves them into the trash).
TEST_F(GeminexViewTest, Bench300000Files) {
    const char* bench = std::getenv("PAIRSCOUT_BENCH_300K");
    if (bench == nullptr) GTEST_SKIP() << "PAIRSCOUT_BENCH_300K not set";
    const bool reallyRemove = std::string(bench) == "unlink";
    const bool toTrash = std::string(bench) == "trash";
    constexpr int kFiles = 300000;
    wxStopWatch watch;
    for (int i = 0; i < kFiles; ++i) {
        char name[64], body[32];
        std::snprintf(name, sizeof name, "d%03d/f%06d", i % 500, i);
        std::snprintf(body, sizeof body, "%08d", i / 2);
        tree.WriteFile(name, body);
    }
    std::printf("[ bench    ] made %d files in %ld ms\n", kFiles, watch.Time());

    StallProbe probe(view);
    wxStopWatch sinceCancel;
    long cancelAfterMs = -1;
    bool cancelled = false;
    std::string cancelStatus;
    view->SetProgressWatcher([&](CProgressDialog& dialog) {
        probe.Round(dialog.GetStatus());
        if (cancelAfterMs >= 0 && !cancelled && watch.Time() >= cancelAfterMs &&
            (cancelStatus.empty() || dialog.GetStatus().find(cancelStatus) != std::string::npos)) {
            cancelled = true;
            sinceCancel.Start();
            dialog.Cancel();
        }
    });
    auto run = [&](long cancelAt, const std::string& status, const char* what) {
        cancelAfterMs = cancelAt;
        cancelStatus = status;
        cancelled = false;
        probe.Begin(what);
        watch.Start();
        const DuplicateSearch::Outcome outcome = Search(tree.Path());
        const long cancelMs = cancelled ? sinceCancel.Time() : -1;
        return probe.End(std::to_string(view->GetModel().RowCount()) + " rows, outcome " +
                         std::to_string(static_cast<int>(outcome)) +
                         (cancelled ? ", Cancel to return " + std::to_string(cancelMs) + " ms"
                                    : std::string()));
    };
    run(1000, "", "search cancelled after 1 s (scan)");
    run(0, "重复", "search cancelled in the grouping");
    run(-1, "", "whole search");
    run(-1, "", "whole search again (the old rows go first)");

    probe.Begin("select all duplicates");
    view->SelectAllDuplicates();
    const int selected = list->GetSelectedItemCount();
    probe.End(std::to_string(selected) + " selected");

    std::size_t removed = 0;
    if (!toTrash) {
        view->SetFileDeleter([&](const std::vector<std::string>& paths, bool) {
            removed += paths.size();
            if (!reallyRemove) return std::vector<std::string>();
            std::vector<std::string> left;
            for (const std::string& path : paths)
                if (unlink(path.c_str()) != 0) left.push_back(path);
            return left;
        });
    }
    view->SetProgressWatcher([&](CProgressDialog& dialog) { probe.Round(dialog.GetStatus()); });
    probe.Begin(toTrash ? "delete (trash)" : reallyRemove ? "delete (unlink)" : "delete (counted)");
    const std::size_t gone = Delete(false);
    probe.End(std::to_string(gone) + " files gone, " +
              std::to_string(view->GetModel().RowCount()) + " rows left");
    EXPECT_EQ(gone, static_cast<std::size_t>(kFiles / 2));
    if (toTrash) {
        std::system(("rm -rf '" + guitest::TempHome() + ".local/share/Trash'").c_str());
    } else {
        EXPECT_EQ(removed, gone);
    }
}

// ---- Start-up ----

TEST_F(GeminexViewTest, WxTextsAreChinese) {
    EXPECT_EQ(WxToUtf8(wxGetStockLabel(wxID_CANCEL, wxSTOCK_NOFLAGS)), "取消");
    EXPECT_EQ(WxToUtf8(wxGetTranslation("Find")), "查找");
}

class FolderArgumentsTest : public GeminexAppTest {
protected:
    void SetUp() override {}
};

TEST_F(FolderArgumentsTest, SheetOpensWithTheFoldersAndCancelKeepsTheStoredPaths) {
    TempDir a, b;
    {
        // Written to the settings file the started program reads.
        CSettingsStore store("Orvelle Software Inc.", "Pairscout");
        store.WriteProfileString("Settings", "Drives", "/stored/one");
    }
    std::string shown;
    guitest::WhenModal<COptionsSheet>([&](COptionsSheet* sheet) {
        SearchOptions options;
        sheet->CopyBack(options);
        shown = JoinString(options.paths, ";");
        sheet->EndModal(wxID_CANCEL);
    });
    StartApp({a.Path(), b.Path()});
    ASSERT_TRUE(guitest::WaitFor([&] { return !shown.empty(); }));
    std::string strip = a.Path().substr(0, a.Path().size() - 1) + ";" +
                        b.Path().substr(0, b.Path().size() - 1);
    EXPECT_EQ(shown, strip);
    auto* view = wxDynamicCast(app->GetDocManager()->GetCurrentView(), CGeminexView);
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->GetSearchOptions().paths, std::vector<std::string>{"/stored/one"});
    EXPECT_EQ(view->GetListCtrl()->GetItemCount(), 0);
}

}  // namespace
