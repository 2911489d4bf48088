// Times a search of a tree in the window, as the user starts it, and reports the longest
// stretch without a tick of the progress dialog's timer (not a test: it checks nothing).
//   PAIRSCOUT_BENCH_TREE=/some/tree xvfb-run -a build/tests/window_search
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "app/gui_test_env.h"
#include "support/stall_probe.h"

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
