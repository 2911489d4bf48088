// The results list's sort, filter and marking over 200 000 rows in 19 188 groups (the size of
// a photo folder's backup), each iteration from the same unsorted model: what a click on a
// heading, a filter text or a marking command costs the window.
#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/results/group_order.h"
#include "engine/results/row_marking.h"
#include "engine/results/shown_groups.h"

namespace {

constexpr int kRows = 200000;
constexpr int kGroups = 19188;

// Groups of two to about twenty files, in a few hundred folders below /photos and /backup.
std::unique_ptr<ResultsModel> MakeModel() {
    auto model = std::make_unique<ResultsModel>();
    std::mt19937 gen(7);
    int rows = 0;
    for (int g = 0; g < kGroups; ++g) {
        const int left = kRows - rows, groupsLeft = kGroups - g;
        int count = groupsLeft == 1 ? left : 2 + static_cast<int>(gen() % (2 * left / groupsLeft - 3));
        if (left - count < 2 * (groupsLeft - 1)) count = left - 2 * (groupsLeft - 1);
        const std::int64_t size = 1000 + static_cast<std::int64_t>(gen() % 5000000);
        std::vector<std::unique_ptr<CFileRecord>> files;
        for (int k = 0; k < count; ++k) {
            const std::string path = std::string(k % 2 == 0 ? "/photos/" : "/backup/") +
                                     std::to_string(2000 + gen() % 25) + "/" +
                                     std::to_string(gen() % 12) + "/IMG_" + std::to_string(g) +
                                     "_" + std::to_string(k) + (gen() % 4 == 0 ? ".png" : ".jpg");
            auto record = std::make_unique<CFileRecord>(platform::FindData(), path);
            record->m_nSize = size;
            record->m_ftWrittenUtc = static_cast<platform::FileTime>(gen());
            files.push_back(std::move(record));
        }
        rows += count;
        model->AppendGroup(std::move(files));
    }
    return model;
}

void Sort(benchmark::State& state, SortKey key) {
    const auto model = MakeModel();
    for (auto _ : state) {
        state.PauseTiming();
        ResultsModel copy;
        for (std::size_t g = 0; g < model->GroupCount(); ++g) {
            std::vector<std::unique_ptr<CFileRecord>> files;
            for (std::size_t row = model->Group(g).begin; row < model->Group(g).end; ++row)
                files.push_back(std::make_unique<CFileRecord>(*model->Row(row).record));
            copy.AppendGroup(std::move(files));
        }
        state.ResumeTiming();
        SortGroups(copy, {key, true});
        benchmark::DoNotOptimize(copy.Row(0));
    }
}

// The filter: remembered once (after the sort), then a text applied and taken away again.
void Filter(benchmark::State& state, const char* text) {
    auto model = MakeModel();
    ShownGroups shown;
    shown.Remember(*model);
    for (auto _ : state) {
        shown.SetText(text);
        shown.Apply(*model);
        benchmark::DoNotOptimize(shown.ShownRowCount());
        shown.SetText("");
        shown.Apply(*model);
    }
    state.counters["passes"] = 2;
}

void MarkAllButNewest(benchmark::State& state) {
    const auto model = MakeModel();
    for (auto _ : state) {
        const RowMarking marking(*model, model->RowCount());
        benchmark::DoNotOptimize(marking.AllButNewest().rows.size());
    }
}

void MarkMask(benchmark::State& state) {
    const auto model = MakeModel();
    for (auto _ : state) {
        const RowMarking marking(*model, model->RowCount());
        benchmark::DoNotOptimize(marking.MarkMask({}, "*.png").rows.size());
    }
}

BENCHMARK_CAPTURE(Sort, path, SortKey::kPath)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Sort, date, SortKey::kDate)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Sort, size, SortKey::kSize)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Sort, freed, SortKey::kFreed)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Filter, text, "2013/7")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Filter, mask, "*/backup/2013/*.png")->Unit(benchmark::kMillisecond);
BENCHMARK(MarkAllButNewest)->Unit(benchmark::kMillisecond);
BENCHMARK(MarkMask)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
