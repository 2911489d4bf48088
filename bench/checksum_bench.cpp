// Throughput of the content fingerprints: CRC-32 and byte sum over memory, and a whole file
// read through ChecksumFile (warm page cache after the first iteration).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "engine/search/checksum.h"

namespace {

constexpr std::size_t kSize = 64u << 20;

const std::vector<unsigned char>& Data() {
    static std::vector<unsigned char> data = [] {
        std::vector<unsigned char> d(kSize);
        std::mt19937 gen(1);
        for (auto& c : d) c = static_cast<unsigned char>(gen());
        return d;
    }();
    return data;
}

void BM_Crc32Update(benchmark::State& state) {
    const auto& data = Data();
    for (auto _ : state) benchmark::DoNotOptimize(Crc32Update(0, data.data(), data.size()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kSize);
}
BENCHMARK(BM_Crc32Update)->Unit(benchmark::kMillisecond);

void BM_ByteSum(benchmark::State& state) {
    const auto& data = Data();
    for (auto _ : state) benchmark::DoNotOptimize(ByteSumUpdate(0, data.data(), data.size()));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kSize);
}
BENCHMARK(BM_ByteSum)->Unit(benchmark::kMillisecond);

void BM_ChecksumFile(benchmark::State& state) {
    const auto& data = Data();
    char name[] = "/tmp/pairscout-bench-XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0) {
        state.SkipWithError("cannot make a temporary file");
        return;
    }
    FILE* f = fdopen(fd, "wb");
    fwrite(data.data(), 1, data.size(), f);
    fclose(f);
    for (auto _ : state) {
        std::uint32_t sum = 0, crc = 0;
        benchmark::DoNotOptimize(ChecksumFile(name, &sum, &crc));
        benchmark::DoNotOptimize(sum + crc);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * kSize);
    std::remove(name);
}
BENCHMARK(BM_ChecksumFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
