// Throughput of mask matching: MatchPath over one million full paths per iteration, each mask
// compiled once for the root as the scanner does.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "engine/search/mask_matcher.h"

namespace {

constexpr int kPaths = 1000000;
const char kRoot[] = "/data";

// Paths under kRoot with names of the usual shapes, a fixed mix of extensions and folders.
const std::vector<std::string>& Paths() {
    static const std::vector<std::string> paths = [] {
        const char* folders[] = {"/data/", "/data/src/", "/data/TEMP/", "/data/home/user/tmp/",
                                 "/data/a/b/TEMP/", "/data/docs/2023/reports/"};
        const char* extensions[] = {".txt", ".TXT", ".doc", ".DOC", ".dot", ".jpg", ".tmp",
                                    ".tar.gz", "", ".docx"};
        std::mt19937 gen(1);
        std::vector<std::string> v;
        v.reserve(kPaths);
        for (int i = 0; i < kPaths; ++i) {
            std::string name;
            const int stem = 3 + static_cast<int>(gen() % 14);
            for (int k = 0; k < stem; ++k) name += static_cast<char>("aAbBxXyY_-09"[gen() % 12]);
            if (gen() % 8 == 0) name[0] = 'A', name[2] = 'B';
            v.push_back(folders[gen() % 6] + name + extensions[gen() % 10]);
        }
        return v;
    }();
    return paths;
}

void MatchAll(benchmark::State& state, const char* maskText) {
    const auto& paths = Paths();
    std::string mask = maskText;
    MaskMatcher matcher(mask, 1);
    matcher.ScanRoot = kRoot;
    long matches = 0;
    for (auto _ : state) {
        matches = 0;
        for (const std::string& path : paths) matches += matcher.MatchPath(path);
        benchmark::DoNotOptimize(matches);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * kPaths);
    state.counters["matched"] = static_cast<double>(matches);
}

void BM_MatchAnyName(benchmark::State& state) { MatchAll(state, "*.*"); }
void BM_MatchExtension(benchmark::State& state) { MatchAll(state, "*.txt"); }
void BM_MatchQuestionMarks(benchmark::State& state) { MatchAll(state, "A?B*.DO?"); }
void BM_MatchFolder(benchmark::State& state) { MatchAll(state, "*/TEMP/*.TMP"); }

BENCHMARK(BM_MatchAnyName)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MatchExtension)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MatchQuestionMarks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MatchFolder)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
