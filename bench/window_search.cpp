// Times a search of a tree in the window, as the user starts it, and reports the longest
// stretch without a tick of the progress dialog's timer (not a test: it checks nothing).
//   PAIRSCOUT_BENCH_TREE=/some/tree xvfb-run -a build/tests/window_search
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include <wx/image.h>
#include <wx/mstream.h>

#include <gtest/gtest.h>

#include "app/gui_test_env.h"
#include "results/geminex_view.h"
#include "results/kv_list_ctrl.h"
#include "results/preview_pane.h"
#include "support/model_rows.h"
#include "support/stall_probe.h"
#include "support/temp_dir.h"

namespace {

class WindowBench : public GeminexViewAppTest {};

TEST_F(WindowBench, SearchOfATree) {
    const char* root = std::getenv("PAIRSCOUT_BENCH_TREE");
    ASSERT_NE(root, nullptr) << "PAIRSCOUT_BENCH_TREE names the tree to search";
    StallProbe probe(view);
    probe.Begin("window search");
    SearchOptions options;
    options.paths = {root};
    ASSERT_TRUE(view->StartSearch(options));
    guitest::WaitFor([this] { return !view->IsBusy(); }, 3600 * 1000);
    probe.End(std::string(root) + ", " + std::to_string(view->GetModel().RowCount()) + " rows");
}

}  // namespace

// How soon the preview pane follows the focus over 200 000 rows when the focused file is a
// JPEG of about 5 MB (not a test: it prints what it measured).
//   xvfb-run -a build/tests/window_search --gtest_filter=WindowBench.PreviewFollowsTheFocus
TEST_F(WindowBench, PreviewFollowsTheFocus) {
    TempDir dir;
    // A 3000 by 2000 photo-like picture with grain, so the JPEG keeps about 5 MB.
    wxImage image(3000, 2000);
    std::mt19937 random(7);
    for (int y = 0; y < 2000; ++y)
        for (int x = 0; x < 3000; ++x) {
            const int grain = static_cast<int>(random() % 128);
            image.SetRGB(x, y, static_cast<unsigned char>((x / 12 + grain) & 0xFF),
                         static_cast<unsigned char>((y / 8 + grain) & 0xFF),
                         static_cast<unsigned char>((x + y) / 20 + grain / 2));
        }
    if (wxImage::FindHandler(wxBITMAP_TYPE_JPEG) == nullptr) wxImage::AddHandler(new wxJPEGHandler);
    image.SetOption(wxIMAGE_OPTION_QUALITY, 92);
    wxMemoryOutputStream out;
    ASSERT_TRUE(image.SaveFile(out, wxBITMAP_TYPE_JPEG));
    std::string bytes(out.GetLength(), '\0');
    out.CopyTo(&bytes[0], bytes.size());
    const std::string photoA = dir.WriteFile("a.jpg", bytes);
    const std::string photoB = dir.WriteFile("b.jpg", bytes + std::string(1, '\0'));

    auto model = std::make_unique<ResultsModel>();
    for (int g = 0; g < 100000; ++g) {
        std::vector<std::unique_ptr<CFileRecord>> files;
        const bool photo = g == 50000 || g == 50001;
        const std::string path = photo ? (g == 50000 ? photoA : photoB)
                                       : "/nowhere/" + std::to_string(g) + ".dat";
        files.push_back(Record(path, 5000000 + g));
        files.push_back(Record(path + ".copy", 5000000 + g));
        model->AppendGroup(std::move(files));
    }
    frame->SetSize(wxSize(1200, 800));
    view->SetModel(std::move(model));
    view->ShowPreview(true);
    CPreviewPane* pane = view->GetPreviewPane();
    std::chrono::steady_clock::time_point asked, shown;
    double work = 0;
    pane->SetShownWatcher([&](const PreviewContent& content) {
        shown = std::chrono::steady_clock::now();
        work = content.milliseconds;
    });
    std::vector<double> follow, decode;
    for (int round = 0; round < 12; ++round) {
        const long row = round % 2 == 0 ? 100000 : 100002;  // a.jpg, b.jpg by turns
        shown = {};
        asked = std::chrono::steady_clock::now();
        list->SetItemState(row, wxLIST_STATE_FOCUSED, wxLIST_STATE_FOCUSED);
        ASSERT_TRUE(guitest::WaitFor([&] { return shown != std::chrono::steady_clock::time_point(); }, 10000));
        if (round < 2) continue;  // the page cache and the decoder warm up
        follow.push_back(std::chrono::duration<double, std::milli>(shown - asked).count());
        decode.push_back(work);
    }
    std::sort(follow.begin(), follow.end());
    std::sort(decode.begin(), decode.end());
    std::printf("JPEG of %zu bytes, 3000 x 2000, 200000 rows: focus to picture shown median %.1f ms, "
                "max %.1f ms; read + decode + scale median %.1f ms, max %.1f ms\n",
                bytes.size(), follow[follow.size() / 2], follow.back(), decode[decode.size() / 2],
                decode.back());
}
