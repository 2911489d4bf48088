// Save as (CSV), print and print setup on the real view: the file written, its cells read back
// with a CSV reader, errors shown and the old file kept, and a real print to a PDF file read
// back as text.
#include <dirent.h>
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/cmndata.h>
#include <wx/gtk/print.h>
#include <wx/docview.h>
#include <wx/menu.h>
#include <wx/msgdlg.h>
#include <wx/modalhook.h>

#include "gui/command_ids.h"
#include "app/gui_test_env.h"
#include "gui/settings_store.h"
#include "gui/wx_text.h"
#include "engine/results/results_model.h"
#include "engine/text/text_helpers.h"
#include "options/kv_file_dialog.h"
#include "results/csv_export.h"
#include "results/geminex_view.h"
#include "results/list_printout.h"
#include "support/message_answers.h"
#include "support/model_rows.h"
#include "support/sheet_reader.h"
#include "support/temp_dir.h"

namespace {

// A CSV reader as a spreadsheet reads the file: lines end in CR LF, cells are separated by
// commas, a quoted cell may hold commas and doubled quotes. `allQuoted` turns false when any
// cell is not in quotes; `bad` when the text is not CSV at all.
struct Csv {
    std::vector<std::vector<std::string>> rows;
    bool allQuoted = true;
    bool bad = false;
};

Csv ReadCsv(const std::string& text) {
    Csv csv;
    std::size_t i = 0;
    while (i < text.size()) {
        std::vector<std::string> row;
        for (;;) {
            std::string cell;
            if (i < text.size() && text[i] == '"') {
                ++i;
                for (;;) {
                    if (i >= text.size()) {
                        csv.bad = true;
                        return csv;
                    }
                    if (text[i] == '"') {
                        if (i + 1 < text.size() && text[i + 1] == '"') {
                            cell += '"';
                            i += 2;
                            continue;
                        }
                        ++i;
                        break;
                    }
                    cell += text[i++];
                }
            } else {
                csv.allQuoted = false;
                while (i < text.size() && text[i] != ',' && text[i] != '\r' && text[i] != '\n')
                    cell += text[i++];
            }
            row.push_back(cell);
            if (i < text.size() && text[i] == ',') {
                ++i;
                continue;
            }
            if (text.compare(i, 2, "\r\n") == 0) {
                i += 2;
                break;
            }
            csv.bad = true;  // a line without CR LF, or text after a closing quote
            return csv;
        }
        csv.rows.push_back(row);
    }
    return csv;
}

// Answers every message box with OK without showing it and keeps its text.
// The names in `folder`, sorted.
std::vector<std::string> Names(const std::string& folder) {
    std::vector<std::string> names;
    if (DIR* d = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(d)) {
            const std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        closedir(d);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// The output of a shell command, or "<failed>".
std::string Shell(const std::string& command) {
    std::string out;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return "<failed>";
    char buffer[4096];
    std::size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    return pclose(pipe) == 0 ? out : "<failed>";
}

template <typename F>
F Gtk(const char* name) {
    F f = reinterpret_cast<F>(dlsym(RTLD_DEFAULT, name));
    if (f == nullptr) ADD_FAILURE() << "no " << name;
    return f;
}

// Presets the desktop's file printer with `pdf` as its output in `print`, as a user's earlier
// choice in the print dialog does. The toolkit is looked up at run time (it is loaded with wx).
void PresetFilePrinter(wxPrintData& print, const std::string& pdf) {
    // Only the file printer: the test machine has no print server to wait for.
    auto settings = Gtk<void* (*)()>("gtk_settings_get_default");
    auto objectSet = Gtk<void (*)(void*, const char*, ...)>("g_object_set");
    auto set = Gtk<void (*)(void*, const char*, const char*)>("gtk_print_settings_set");
    if (!settings || !objectSet || !set) return;
    objectSet(settings(), "gtk-print-backends", "file", nullptr);
    print.SetPrinterName("Print to File");
    print.ConvertToNative();
    auto* native = dynamic_cast<wxGtkPrintNativeData*>(print.GetNativeData());
    ASSERT_NE(native, nullptr);
    set(native->GetPrintConfig(), "output-uri", ("file://" + pdf).c_str());
    set(native->GetPrintConfig(), "output-file-format", "pdf");
}

struct GList {
    void* data;
    GList* next;
    GList* prev;
};

// Answers the desktop's print dialog once it is shown and has its printer: `response` is
// GTK_RESPONSE_OK (-5) to print or GTK_RESPONSE_CANCEL (-6). `answered` counts the answers.
void WhenPrintDialogShown(int response, int* answered, int triesLeft = 500) {
    wxTheApp->CallAfter([response, answered, triesLeft] {
        auto list = Gtk<GList* (*)()>("gtk_window_list_toplevels");
        auto type = Gtk<unsigned long (*)()>("gtk_print_unix_dialog_get_type");
        auto isA = Gtk<int (*)(void*, unsigned long)>("g_type_check_instance_is_a");
        auto visible = Gtk<int (*)(void*)>("gtk_widget_get_visible");
        auto printer = Gtk<void* (*)(void*)>("gtk_print_unix_dialog_get_selected_printer");
        auto respond = Gtk<void (*)(void*, int)>("gtk_dialog_response");
        auto freeList = Gtk<void (*)(GList*)>("g_list_free");
        if (!list || !type || !isA || !visible || !printer || !respond || !freeList) return;
        void* dialog = nullptr;
        GList* windows = list();
        for (GList* w = windows; w != nullptr; w = w->next)
            if (isA(w->data, type()) && visible(w->data)) dialog = w->data;
        freeList(windows);
        if (dialog != nullptr && printer(dialog) != nullptr) {
            respond(dialog, response);
            ++*answered;
        } else if (triesLeft > 0) {
            wxMilliSleep(10);
            WhenPrintDialogShown(response, answered, triesLeft - 1);
        } else {
            ADD_FAILURE() << "the print dialog was never shown with a printer";
        }
    });
}

// What the Save as dialog was shown with.
struct DialogSeen {
    int calls = 0;
    std::string name;
    std::string folder;
    std::string wildcard;
    std::string title;
    long style = 0;
};

class ExportPrintTest : public GeminexAppTest {
protected:
    void SetUp() override {
        GeminexAppTest::SetUp();
        view = wxDynamicCast(app->GetDocManager()->GetCurrentView(), CGeminexView);
        ASSERT_NE(view, nullptr);
    }


    // The Save as command with the dialog answered by `answer` ("" cancels).
    void SaveAs(const std::string& answer) {
        view->SetSaveAsDialog([this, answer](CKVFileDialog& dialog, std::string* path) {
            ++seen.calls;
            seen.name = WxToUtf8(dialog.GetFilename());
            seen.folder = WxToUtf8(dialog.GetDirectory());
            seen.wildcard = WxToUtf8(dialog.GetWildcard());
            seen.title = WxToUtf8(dialog.GetTitle());
            seen.style = dialog.GetWindowStyle();
            *path = answer;
            return !answer.empty();
        });
        EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_FILE_SAVE_AS)));
    }

    // The view keeps "Last save file" with its other settings while it lives.
    std::string LastSaveFile() { return view->GetLastSaveFile(); }
    void SetLastSaveFile(const std::string& path) { view->SetLastSaveFile(path); }

    bool IsEnabled(int number) {
        wxUpdateUIEvent update(WxId(number));
        update.SetEventObject(frame);
        frame->ProcessWindowEvent(update);
        return !update.GetSetEnabled() || update.GetEnabled();
    }

    CGeminexView* view = nullptr;
    DialogSeen seen;
};

TEST(CsvExportText, SplitOfTheLastSaveFile) {
    std::string folder = "x", name = "x";
    SplitSaveFileName("", &folder, &name);
    EXPECT_EQ(folder, "");
    EXPECT_EQ(name, "");
    SplitSaveFileName("list.csv", &folder, &name);
    EXPECT_EQ(folder, "");
    EXPECT_EQ(name, "list.csv");
    SplitSaveFileName("/home/li/out/list.csv", &folder, &name);
    EXPECT_EQ(folder, "/home/li/out");
    EXPECT_EQ(name, "list.csv");
    // A file in the root folder keeps the root, separator and all.
    SplitSaveFileName("/list.csv", &folder, &name);
    EXPECT_EQ(folder, "/");
    EXPECT_EQ(name, "list.csv");
    SplitSaveFileName("/home/li/", &folder, &name);
    EXPECT_EQ(folder, "/home/li");
    EXPECT_EQ(name, "");

    const std::string text = FileErrorText("/x/list.csv", EACCES);
    EXPECT_EQ(text.rfind("不能写入 /x/list.csv, 它是只读文件或正被使用.\n", 0), 0u) << text;
    EXPECT_GT(text.size(), std::string("不能写入 /x/list.csv, 它是只读文件或正被使用.\n").size());
}

TEST_F(ExportPrintTest, CommandsNeedRows) {
    EXPECT_FALSE(IsEnabled(cmd::ID_FILE_SAVE_AS));
    EXPECT_FALSE(IsEnabled(cmd::ID_FILE_PRINT));
    EXPECT_TRUE(IsEnabled(cmd::ID_FILE_PRINT_SETUP));
    view->SetModel(Groups({{"/a/1", "/a/2"}}));
    EXPECT_TRUE(IsEnabled(cmd::ID_FILE_SAVE_AS));
    EXPECT_TRUE(IsEnabled(cmd::ID_FILE_PRINT));
    EXPECT_TRUE(IsEnabled(cmd::ID_FILE_PRINT_SETUP));
}

TEST_F(ExportPrintTest, CsvHasAMarkAHeadingAndFiveQuotedCellsPerLine) {
    TempDir dir;
    const std::string odd = "/data/a \"quoted\", and more.txt";
    view->SetModel(Groups({{odd, "/data/b.txt", "/data/c.txt"}, {"/文件/d", "/文件/e"}}));
    const std::string out = dir / "list.csv";
    SetLastSaveFile("");
    SaveAs(out);

    // An empty setting: the dialog opens with no name in its own folder.
    EXPECT_EQ(seen.calls, 1);
    EXPECT_EQ(seen.name, "");
    EXPECT_EQ(seen.folder, "");
    EXPECT_EQ(seen.wildcard, "逗号分隔的文件 (*.csv)|*.csv");
    EXPECT_EQ(seen.title, "另存为");  // the desktop's save dialog has a title of its own
    EXPECT_EQ(seen.style & (wxFD_OVERWRITE_PROMPT | wxFD_FILE_MUST_EXIST), 0);
    EXPECT_EQ(LastSaveFile(), out);

    const std::string file = ReadWholeFile(out);
    // UTF-8 with its byte-order mark, so that a spreadsheet reads the Chinese names as they are.
    ASSERT_EQ(file.rfind("\xEF\xBB\xBF", 0), 0u) << file;
    const std::string text = file.substr(3);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n");
    const Csv csv = ReadCsv(text);
    ASSERT_FALSE(csv.bad) << text;
    EXPECT_TRUE(csv.allQuoted) << text;
    ASSERT_EQ(csv.rows.size(), 6u);
    for (const auto& row : csv.rows) EXPECT_EQ(row.size(), 5u);
    EXPECT_EQ(csv.rows[0], (std::vector<std::string>{"文件名", "日期", "大小", "CRC", "校验"}));
    const std::string date = DateText();
    // The codes as text formulas, which spreadsheets show as the text and never as a number.
    EXPECT_EQ(csv.rows[1], (std::vector<std::string>{odd, date, "7", "=\"3f0\"", "=\"12\""}));
    EXPECT_EQ(csv.rows[2], (std::vector<std::string>{"/data/b.txt", date, "", "", ""}));
    EXPECT_EQ(csv.rows[3], (std::vector<std::string>{"/data/c.txt", date, "", "", ""}));
    EXPECT_EQ(csv.rows[4],
              (std::vector<std::string>{"/文件/d", date, "8", "=\"3f0\"", "=\"12\""}));
    EXPECT_EQ(csv.rows[5][0], "/文件/e");
    // Empty cells are two quotes each; no bare line feed anywhere.
    EXPECT_NE(text.find("\"/data/b.txt\",\"" + date + "\",\"\",\"\",\"\"\r\n"), std::string::npos);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            EXPECT_EQ(text[i - 1], '\r') << i;
        }
    }

    // The next export starts in the folder of this one, with its name.
    SaveAs("");
    EXPECT_EQ(seen.name, "list.csv");
    EXPECT_EQ(seen.folder + "/", dir.Path());
    EXPECT_EQ(LastSaveFile(), out);  // cancelled: unchanged

    // A file in the root folder: the dialog opens in the root.
    SetLastSaveFile("/list.csv");
    SaveAs("");
    EXPECT_EQ(seen.folder, "/");
    EXPECT_EQ(seen.name, "list.csv");
}

TEST_F(ExportPrintTest, ExistingFileIsReplacedOnlyWhenAskedAndReadOnlyFileKept) {
    TempDir dir;
    view->SetModel(Groups({{"/a/1", "/a/2"}}));
    const std::string out = dir.WriteFile("old.csv", std::string(5000, 'o'));
    // No: the old file stays as it was.
    MessageAnswers answers(wxID_NO);
    std::vector<std::string> titles, yesLabels, noLabels;
    answers.onDialog = [&](wxMessageDialogBase& box) {
        titles.push_back(WxToUtf8(box.GetTitle()));
        yesLabels.push_back(WxToUtf8(box.GetYesLabel()));
        noLabels.push_back(WxToUtf8(box.GetNoLabel()));
    };
    SaveAs(out);
    ASSERT_EQ(answers.texts.size(), 1u);
    EXPECT_EQ(answers.texts[0], out + " 已经存在。\n要替换它吗?");
    EXPECT_EQ(titles[0], "Pairscout");
    // The table's labels, the mnemonic in wx's writing (the box is made of wx's own parts).
    EXPECT_EQ(yesLabels[0], "是(&Y)");
    EXPECT_EQ(noLabels[0], "否(&N)");
    EXPECT_EQ(ReadWholeFile(out), std::string(5000, 'o'));
    // Yes: replaced.
    answers.m_answer = wxID_YES;
    SaveAs(out);
    EXPECT_EQ(answers.texts.size(), 2u);
    const std::string date = DateText();
    EXPECT_EQ(ReadWholeFile(out), "\xEF\xBB\xBF\"文件名\",\"日期\",\"大小\",\"CRC\",\"校验\"\r\n"
                                  "\"/a/1\",\"" + date +
                                      "\",\"7\",\"=\"\"3f0\"\"\",\"=\"\"12\"\"\"\r\n\"/a/2\",\"" +
                                      date + "\",\"\",\"\",\"\"\r\n");
    // A new file: no question.
    answers.texts.clear();
    SaveAs(dir / "new.csv");
    EXPECT_TRUE(answers.texts.empty());
    ASSERT_EQ(unlink((dir / "new.csv").c_str()), 0);

    // Read-only: the question, then the error with the system's reason, the old file whole,
    // nothing beside it.
    const std::string locked = dir.WriteFile("locked.csv", "old text");
    ASSERT_EQ(chmod(locked.c_str(), 0444), 0);
    SaveAs(locked);
    ASSERT_EQ(answers.texts.size(), 2u);
    EXPECT_EQ(answers.texts[1].rfind("不能写入 " + locked + ", 它是只读文件或正被使用.\n", 0), 0u)
        << answers.texts[1];
    EXPECT_EQ(ReadWholeFile(locked), "old text");
    EXPECT_EQ(LastSaveFile(), locked);  // the name is kept all the same

    // A folder that does not exist: reported, nothing made.
    SaveAs(dir / "none/x.csv");
    EXPECT_EQ(answers.texts.size(), 3u);
    struct stat st;
    EXPECT_NE(stat((dir / "none").c_str(), &st), 0);
    // Only the two files are in the folder: no temporary file was left.
    EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"locked.csv", "old.csv"}));
}

// 文件 → 导出为 Excel 工作簿: beside Save as, with rows only; its own dialog and last file; the
// workbook read back; an existing file replaced only when asked; a failure named with the path
// and the reason, leaving nothing under the chosen name.
TEST_F(ExportPrintTest, WorkbookExportAsksWritesAndReportsFailures) {
    wxMenu* fileMenu = frame->GetMenuBar()->GetMenu(0);
    const int saveAs = fileMenu->GetMenuItems().IndexOf(fileMenu->FindItem(wxID_SAVEAS));
    wxMenuItem* item = fileMenu->FindItemByPosition(static_cast<std::size_t>(saveAs) + 1);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(CommandFromWxId(item->GetId()), cmd::ID_EXPORT_XLSX);
    EXPECT_EQ(WxToUtf8(item->GetItemLabel()), "导出为 Excel 工作簿(&W)...");
    EXPECT_EQ(WxToUtf8(item->GetHelp()), "把列出的结果导出为 Excel 工作簿");
    EXPECT_FALSE(IsEnabled(cmd::ID_EXPORT_XLSX));
    view->SetModel(Groups({{"/data/中文.txt", "/data/b.txt"}, {"/x/1", "/x/2", "/x/3"}}));
    EXPECT_TRUE(IsEnabled(cmd::ID_EXPORT_XLSX));

    TempDir dir;
    SetLastSaveFile(dir / "list.csv");
    const std::string out = dir / "list.xlsx";
    MessageAnswers answers(wxID_NO);
    auto exportTo = [this](const std::string& answer) {
        view->SetSaveAsDialog([this, answer](CKVFileDialog& dialog, std::string* path) {
            ++seen.calls;
            seen.name = WxToUtf8(dialog.GetFilename());
            seen.wildcard = WxToUtf8(dialog.GetWildcard());
            seen.title = WxToUtf8(dialog.GetTitle());
            *path = answer;
            return !answer.empty();
        });
        EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_EXPORT_XLSX)));
    };
    exportTo(out);
    EXPECT_EQ(seen.calls, 1);
    EXPECT_EQ(seen.name, "");  // its own last file, not the CSV's
    EXPECT_EQ(seen.wildcard, "Excel 工作簿 (*.xlsx)|*.xlsx");
    EXPECT_EQ(seen.title, "导出为 Excel 工作簿");
    EXPECT_TRUE(answers.texts.empty());
    EXPECT_EQ(view->GetLastWorkbookFile(), out);
    EXPECT_EQ(LastSaveFile(), dir / "list.csv");
    const sheet_reader::Sheet sheet = sheet_reader::Read("xlsx", out, dir.Path());
    ASSERT_TRUE(sheet.read) << sheet.error;
    EXPECT_EQ(sheet.filter, "A1:E6");
    ASSERT_NE(sheet.At(1, kColumnPath), nullptr);
    EXPECT_EQ(sheet.At(1, kColumnPath)->value, "/data/中文.txt");
    ASSERT_NE(sheet.At(3, kColumnSize), nullptr);
    EXPECT_EQ(sheet.At(3, kColumnSize)->type, "n");
    EXPECT_EQ(sheet.At(3, kColumnSize)->value, "8");
    ASSERT_NE(sheet.At(5, kColumnPath), nullptr);
    EXPECT_EQ(sheet.At(5, kColumnPath)->value, "/x/3");

    // There already: No keeps it as it was, and the next dialog proposes its name.
    const std::string before = ReadWholeFile(out);
    view->SetModel(Groups({{"/y/1", "/y/2"}}));
    exportTo(out);
    EXPECT_EQ(seen.name, "list.xlsx");
    ASSERT_EQ(answers.texts.size(), 1u);
    EXPECT_NE(answers.texts[0].find(out), std::string::npos) << answers.texts[0];
    EXPECT_EQ(ReadWholeFile(out), before);
    // Yes: replaced by the new rows.
    answers.m_answer = wxID_YES;
    exportTo(out);
    EXPECT_EQ(answers.texts.size(), 2u);
    EXPECT_EQ(sheet_reader::Read("xlsx", out, dir.Path()).filter, "A1:E3");

    // A folder that is not there: the path and the system's reason, nothing made.
    const std::string missing = dir / "none/x.xlsx";
    exportTo(missing);
    ASSERT_EQ(answers.texts.size(), 3u);
    const std::string failed = "不能写入 " + missing + ", 它是只读文件或正被使用.\n";
    EXPECT_EQ(answers.texts[2].rfind(failed, 0), 0u) << answers.texts[2];
    EXPECT_GT(answers.texts[2].size(), failed.size());
    EXPECT_EQ(view->GetLastWorkbookFile(), missing);
    EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"list.xlsx", "read_sheet.py"}));

    // A cancelled dialog writes nothing and keeps the last file.
    exportTo("");
    EXPECT_EQ(answers.texts.size(), 3u);
    EXPECT_EQ(view->GetLastWorkbookFile(), missing);
}

TEST_F(ExportPrintTest, PrintsTheRowsToAPdfFile) {
    TempDir dir;
    const std::string longPath =
        "/home/li/照片/2021年夏天/海边的日落与晚霞/北戴河/第二天早上/一个很长的文件夹名字/"
        "另一个更长的文件夹名字/还有一个文件夹/IMG_20210715_063015_HDR_最终版本.jpg";
    std::vector<std::vector<std::string>> groups = {
        {"/home/li/照片/2021/海边.jpg", "/home/li/备份/海边.jpg", "/media/usb/海边 (1).jpg"},
        {longPath, "/home/li/下载/report.pdf"}};
    for (int i = 0; i < 40; ++i)
        groups.push_back({"/srv/data/set" + std::to_string(i) + "/file.bin",
                          "/srv/copy/set" + std::to_string(i) + "/file.bin"});
    auto model = Groups(groups);
    const platform::FileTime searched = kWritten + 86400LL * platform::kFileTimeTicksPerSecond;
    model->SetSearchTime(searched);
    view->SetModel(std::move(model));
    const std::string pdf = dir / "list.pdf";
    wxPageSetupDialogData& setup = app->GetDocManager()->GetPageSetupDialogData();
    PresetFilePrinter(setup.GetPrintData(), pdf);
    int answered = 0;
    WhenPrintDialogShown(-5, &answered);
    MessageAnswers answers;
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_FILE_PRINT)));
    EXPECT_EQ(answered, 1);
    EXPECT_TRUE(answers.texts.empty());
    const std::string printed = ReadWholeFile(pdf);
    ASSERT_EQ(printed.substr(0, 4), "%PDF");

    if (access("/usr/bin/pdftotext", X_OK) != 0) GTEST_SKIP() << "pdftotext not installed";
    const std::string first = Shell("pdftotext -f 1 -l 1 -layout '" + pdf + "' -");
    // The heading row, then the rows in their columns.
    const std::size_t heading = first.find("文件名");
    ASSERT_NE(heading, std::string::npos) << first;
    EXPECT_LT(heading, first.find("/home/li/照片/2021/海边.jpg")) << first;
    EXPECT_NE(first.find("校验"), std::string::npos) << first;
    EXPECT_NE(first.find("/home/li/备份/海边.jpg"), std::string::npos) << first;
    EXPECT_NE(first.find("3f0"), std::string::npos) << first;
    // The long path cut in the middle, its start and its file name kept, and the date of its
    // row after it on the same line.
    EXPECT_EQ(first.find(longPath), std::string::npos) << first;
    const std::size_t cut = first.find("/home/li/照片/2021年");
    ASSERT_NE(cut, std::string::npos) << first;
    const std::string line = first.substr(cut, first.find('\n', cut) - cut);
    EXPECT_NE(line.find("…"), std::string::npos) << line;
    EXPECT_LT(line.find("最终版本.jpg"), line.find(DateText())) << line;
    // The foot: the search's date and the page number of the pages the PDF has.
    std::string date;
    FileTimeToText(&searched, date);
    EXPECT_NE(first.find("搜索日期: " + date), std::string::npos) << first;
    const std::string info = Shell("pdfinfo '" + pdf + "'");
    const std::size_t pagesAt = info.find("Pages:");
    ASSERT_NE(pagesAt, std::string::npos) << info;
    const int pages = std::atoi(info.c_str() + pagesAt + 6);
    EXPECT_GE(pages, 2);
    EXPECT_NE(first.find("第 1 页, 共 " + std::to_string(pages) + " 页"), std::string::npos)
        << first;
    const std::string all = Shell("pdftotext -layout '" + pdf + "' -");
    EXPECT_NE(all.find("/srv/copy/set39/file.bin"), std::string::npos);
    EXPECT_EQ(first.find("/srv/copy/set39/file.bin"), std::string::npos);  // a later page
    EXPECT_NE(all.find("第 " + std::to_string(pages) + " 页, 共 " + std::to_string(pages) + " 页"),
              std::string::npos);

    // A picture of the first page when asked for (not a check).
    if (const char* picture = std::getenv("PAIRSCOUT_PRINT_PICTURE")) {
        const std::string base = std::string(picture).substr(0, std::string(picture).size() - 4);
        EXPECT_NE(Shell("pdftoppm -png -r 70 -f 1 -l 1 -singlefile '" + pdf + "' '" + base + "'"),
                  "<failed>");
    }
}

TEST_F(ExportPrintTest, PrintCancelledOrFailingSaysNothing) {
    TempDir dir;
    view->SetModel(Groups({{"/a/1", "/a/2"}}));
    MessageAnswers answers;

    wxPageSetupDialogData& setup = app->GetDocManager()->GetPageSetupDialogData();

    // Cancelled: nothing made.
    PresetFilePrinter(setup.GetPrintData(), dir / "list.pdf");
    int answered = 0;
    WhenPrintDialogShown(-6, &answered);
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_FILE_PRINT)));
    EXPECT_EQ(answered, 1);
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{});

    // A printer that cannot print (here: output into a folder that does not exist) ends
    // printing without a message of ours.
    PresetFilePrinter(setup.GetPrintData(), dir / "none/list.pdf");
    WhenPrintDialogShown(-5, &answered);
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_FILE_PRINT)));
    EXPECT_EQ(answered, 2);
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{});
    EXPECT_TRUE(answers.texts.empty());
}

TEST_F(ExportPrintTest, PrintSetupIsKeptForTheNextPrint) {
    wxPageSetupDialogData& setup = app->GetDocManager()->GetPageSetupDialogData();
    setup.GetPrintData().SetOrientation(wxPORTRAIT);

    // Cancelled: the changes made in the dialog are dropped.
    view->SetPageSetupDialog([](wxPageSetupDialogData& data) {
        data.GetPrintData().SetOrientation(wxLANDSCAPE);
        return false;
    });
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_FILE_PRINT_SETUP)));
    EXPECT_EQ(setup.GetPrintData().GetOrientation(), wxPORTRAIT);

    view->SetPageSetupDialog([](wxPageSetupDialogData& data) {
        EXPECT_EQ(data.GetPrintData().GetOrientation(), wxPORTRAIT);
        data.GetPrintData().SetOrientation(wxLANDSCAPE);
        return true;
    });
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_FILE_PRINT_SETUP)));
    EXPECT_EQ(setup.GetPrintData().GetOrientation(), wxLANDSCAPE);

    setup.GetPrintData().SetOrientation(wxPORTRAIT);
}

}  // namespace
