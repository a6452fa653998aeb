// Encoding a full-window screenshot: the per-capture cost on top of the GL read-back.
#include <benchmark/benchmark.h>

#include <vector>

#include "io/bmp.h"

namespace {

void BM_EncodeBmp32(benchmark::State& state) {
    const int w = int(state.range(0)), h = int(state.range(1));
    std::vector<uint8_t> rgba(size_t(w) * h * 4);
    for (size_t i = 0; i < rgba.size(); ++i)
        rgba[i] = uint8_t(i * 31 + 7);
    for (auto _ : state) {
        std::vector<uint8_t> bmp = orva::io::encodeBmp32(rgba.data(), w, h);
        benchmark::DoNotOptimize(bmp.data());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(w) * h);
    state.SetBytesProcessed(state.iterations() * int64_t(rgba.size()));
}
BENCHMARK(BM_EncodeBmp32)->Args({1440, 900})->Args({2880, 1800})->Unit(benchmark::kMillisecond);

} // namespace
