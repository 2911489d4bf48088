// The printout on a real DC: a page of A4 drawn into a memory DC as the print preview draws it,
// the layout measured with the print font, nothing drawn outside the printable area; and the
// preview window of the view's command.
#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <wx/dcmemory.h>
#include <wx/printdlg.h>

#include "app/gui_test_env.h"
#include "engine/text/text_helpers.h"
#include "gui/wx_text.h"
#include "results/list_printout.h"
#include "platform/file_time.h"
#include "support/model_rows.h"
#include "support/temp_dir.h"

namespace {

const std::string kLongPath =
    "/home/李明/照片/2021年夏天/海边的日落与晚霞/北戴河/第二天早上/一个很长的文件夹名字/"
    "另一个更长的文件夹名字/IMG_20210715_063015_HDR_最终版本.jpg";

// Sets up `printout` as the preview does for A4 at 600 dots an inch, the printer keeping
// `hardMarginPx` printer pixels of margin on every side: `dc` draws into `bitmap`, a sixth of
// the printable page's size.
void PrepareOnA4(CListPrintout& printout, wxBitmap& bitmap, wxMemoryDC& dc, int hardMarginPx) {
    const int paperW = 4961, paperH = 7016;  // 210 x 297 mm
    const int pageW = paperW - 2 * hardMarginPx, pageH = paperH - 2 * hardMarginPx;
    bitmap.Create(pageW / 6, pageH / 6);
    dc.SelectObject(bitmap);
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    printout.SetDC(&dc);
    printout.SetPPIScreen(96, 96);
    printout.SetPPIPrinter(600, 600);
    printout.SetPageSizeMM(pageW * 254 / 6000, pageH * 254 / 6000);
    printout.SetPageSizePixels(pageW, pageH);
    printout.SetPaperRectPixels(wxRect(-hardMarginPx, -hardMarginPx, paperW, paperH));
    printout.OnPreparePrinting();
}

bool Dark(const wxImage& image, int x, int y) {
    return image.GetRed(x, y) < 128 && image.GetGreen(x, y) < 128 && image.GetBlue(x, y) < 128;
}

// The preview a preview window shows, from its control bar.
wxPrintPreviewBase* PreviewOf(wxPreviewFrame* frame) {
    for (wxWindow* child : frame->GetChildren())
        if (auto* bar = wxDynamicCast(child, wxPreviewControlBar)) return bar->GetPrintPreview();
    return nullptr;
}

std::unique_ptr<ResultsModel> ManyRows() {
    std::vector<std::vector<std::string>> groups = {{kLongPath, "/home/li/备份/海边.jpg"}};
    for (int i = 0; i < 99; ++i)
        groups.push_back({"/srv/data/set" + std::to_string(i) + "/file.bin",
                          "/srv/copy/set" + std::to_string(i) + "/file.bin"});
    auto model = Groups(groups);
    model->SetSearchTime(kWritten);
    return model;
}

TEST(ListPrintout, APageOnAMemoryDcStaysInsideThePrintableArea) {
    auto model = ManyRows();
    wxPageSetupDialogData setup;
    CListPrintout printout("Pairscout", *model, setup);
    wxBitmap bitmap;
    wxMemoryDC dc;

    // A printer that reports no margin of its own: the least margin, 10 mm, on every side, in
    // screen pixels of the paper (210 mm = 794 of them).
    PrepareOnA4(printout, bitmap, dc, 0);
    const PrintArea area = printout.Area();
    EXPECT_NEAR(area.left, 38, 1);
    EXPECT_NEAR(area.top, 38, 1);
    EXPECT_NEAR(area.left + area.width, 794 - 38, 2);
    EXPECT_NEAR(area.top + area.height, 1123 - 38, 2);
    const PrintLayout* layout = printout.Layout();
    ASSERT_NE(layout, nullptr);
    ASSERT_GT(layout->RowsPerPage(), 20);
    const int pages = (200 + layout->RowsPerPage() - 1) / layout->RowsPerPage();
    EXPECT_EQ(layout->PageCount(), pages);
    int minPage = 0, maxPage = 0, from = 0, to = 0;
    printout.GetPageInfo(&minPage, &maxPage, &from, &to);
    EXPECT_EQ(maxPage, pages);
    EXPECT_TRUE(printout.HasPage(pages));
    EXPECT_FALSE(printout.HasPage(pages + 1));

    // The page as laid out, measured with the DC's font: every text inside the area and inside
    // its column, no two on a line touching; the long path cut in the middle to its column.
    printout.OnPrintPage(1);
    const PrintedPage page = layout->LayOutPage(1);
    auto width = [&dc](const std::string& text) { return dc.GetTextExtent(Utf8ToWx(text)).x; };
    std::vector<PrintedText> texts = page.texts;
    std::sort(texts.begin(), texts.end(), [](const PrintedText& a, const PrintedText& b) {
        return a.y != b.y ? a.y < b.y : a.x < b.x;
    });
    for (std::size_t i = 0; i < texts.size(); ++i) {
        SCOPED_TRACE(texts[i].text);
        EXPECT_GE(texts[i].x, area.left);
        EXPECT_LE(texts[i].x + width(texts[i].text), area.left + area.width);
        if (i + 1 < texts.size() && texts[i + 1].y == texts[i].y) {
            EXPECT_LT(texts[i].x + width(texts[i].text), texts[i + 1].x);
        }
    }
    const std::vector<PrintColumn>& columns = layout->Columns();
    auto path = std::find_if(texts.begin(), texts.end(), [](const PrintedText& t) {
        return t.text.find("…") != std::string::npos;
    });
    ASSERT_NE(path, texts.end());
    EXPECT_EQ(path->x, columns[0].x);
    EXPECT_LE(width(path->text), columns[0].width);
    EXPECT_EQ(path->text.rfind("/home/李明/", 0), 0u);
    EXPECT_EQ(path->text.substr(path->text.size() - 16), "最终版本.jpg");
    EXPECT_EQ(ValidUtf8(path->text), path->text);
    // The heading row and the foot.
    auto has = [&texts](const std::string& text) {
        return std::any_of(texts.begin(), texts.end(),
                           [&](const PrintedText& t) { return t.text == text; });
    };
    EXPECT_TRUE(has("文件名"));
    EXPECT_TRUE(has("校验"));
    EXPECT_TRUE(has("第 1 页, 共 " + std::to_string(pages) + " 页"));
    EXPECT_TRUE(has("搜索日期: " + DateText()));

    // On the bitmap: ink in the heading row and at the foot, none in the margins.
    dc.SelectObject(wxNullBitmap);
    const wxImage image = bitmap.ConvertToImage();
    const double scale = image.GetWidth() / 794.0;  // bitmap pixels per screen pixel of paper
    auto inkIn = [&](double left, double top, double right, double bottom) {
        for (int y = std::max(0, int(top * scale)); y < std::min(image.GetHeight(), int(bottom * scale)); ++y)
            for (int x = std::max(0, int(left * scale)); x < std::min(image.GetWidth(), int(right * scale)); ++x)
                if (Dark(image, x, y)) return true;
        return false;
    };
    const double right = area.left + area.width, bottom = area.top + area.height;
    EXPECT_FALSE(inkIn(0, 0, 794, area.top - 1));          // above
    EXPECT_FALSE(inkIn(0, bottom + 1, 794, 1123));          // below
    EXPECT_FALSE(inkIn(0, 0, area.left - 1, 1123));         // left
    EXPECT_FALSE(inkIn(right + 1, 0, 794, 1123));           // right
    EXPECT_TRUE(inkIn(area.left, area.top, right, area.top + 15));  // the heading row
    EXPECT_TRUE(inkIn(area.left, bottom - 15, area.left + 100, bottom));   // the date
    EXPECT_TRUE(inkIn(right - 100, bottom - 15, right, bottom));          // the page number

    // A printer with a margin of its own wider than the least one: the page is laid out on
    // what it can print (an inch here), not on the paper.
    CListPrintout narrower("Pairscout", *model, setup);
    wxBitmap other;
    wxMemoryDC otherDc;
    PrepareOnA4(narrower, other, otherDc, 600);
    EXPECT_NEAR(narrower.Area().left, 96, 1);
    EXPECT_NEAR(narrower.Area().width, 794 - 2 * 96, 2);
    EXPECT_LT(narrower.Layout()->Columns()[0].width, columns[0].width);
    // And margins of the page setup wider still are kept too.
    wxPageSetupDialogData wide;
    wide.SetMarginTopLeft(wxPoint(40, 30));
    wide.SetMarginBottomRight(wxPoint(40, 30));
    CListPrintout inside("Pairscout", *model, wide);
    otherDc.SelectObject(wxNullBitmap);
    PrepareOnA4(inside, other, otherDc, 600);
    EXPECT_NEAR(inside.Area().left, 151, 1);  // 40 mm
    EXPECT_NEAR(inside.Area().top, 113, 1);   // 30 mm
    otherDc.SelectObject(wxNullBitmap);
    narrower.SetDC(nullptr);
    inside.SetDC(nullptr);
    printout.SetDC(nullptr);
}

TEST_F(GeminexViewAppTest, PrintPreviewShowsThePagesModally) {
    view->SetModel(ManyRows());
    list->SetFocus();
    const auto listHasFocus = [this] {
        wxWindow* focus = wxWindow::FindFocus();
        return focus != nullptr && (focus == list || list->IsDescendant(focus));
    };
    ASSERT_TRUE(guitest::WaitFor(listHasFocus));
    EXPECT_TRUE(frame->ExecuteCommand(WxId(cmd::ID_FILE_PRINT_PREVIEW)));
    wxPreviewFrame* preview = nullptr;
    for (wxWindow* window : wxTopLevelWindows)
        if (auto* found = wxDynamicCast(window, wxPreviewFrame)) preview = found;
    ASSERT_NE(preview, nullptr);
    guitest::ProcessEvents(200);
    EXPECT_EQ(preview->GetTitle(), wxString::FromUTF8("打印预览"));
    EXPECT_FALSE(frame->IsEnabled());  // the rows cannot change while it shows them
    wxPrintPreviewBase* pages = PreviewOf(preview);
    ASSERT_NE(pages, nullptr);
    EXPECT_GE(pages->GetMaxPage(), 2);
    EXPECT_EQ(pages->GetCurrentPage(), 1);
    // The pages take the keys at once, and the list has them again once the preview closes.
    EXPECT_TRUE(guitest::WaitFor([pages] { return wxWindow::FindFocus() == pages->GetCanvas(); }))
        << "focus on " << (wxWindow::FindFocus() ? wxWindow::FindFocus()->GetClassInfo()->GetClassName() : L"nothing");

    preview->Close();
    guitest::ProcessEvents(100);
    EXPECT_TRUE(frame->IsEnabled());
    EXPECT_TRUE(guitest::WaitFor(listHasFocus));
}

// The date at the foot of the printed pages is when the search began, in local time as the
// list's dates are.
TEST_F(GeminexViewAppTest, ASearchKeepsItsStartTimeForThePrintedFoot) {
    TempDir tree;
    guitest::WritePictureTree(tree);
    platform::FileTime before = 0, after = 0;
    ASSERT_TRUE(platform::SystemTimeToFileTime(platform::GetLocalTime(), &before));
    SearchOptions options;
    options.paths = {tree.Path()};
    ASSERT_TRUE(view->StartSearch(options));
    ASSERT_TRUE(guitest::WaitFor([this] { return !view->IsBusy(); }, 60000));
    ASSERT_TRUE(platform::SystemTimeToFileTime(platform::GetLocalTime(), &after));
    ASSERT_GT(view->GetModel().RowCount(), 0u);
    EXPECT_GE(view->GetModel().SearchTime(), before);
    EXPECT_LE(view->GetModel().SearchTime(), after);
}

}  // namespace
