// The frame analysis runs right after every capture; its worst case must stay far below
// anything a person would notice.
#include <benchmark/benchmark.h>

#include <vector>

#include "ir/IrSignal.h"

namespace {

// The worst case: all spaces are equally long, so every pair (i, j) of equal-signed
// entries is close and follows a long enough space and reaches the frame test; every
// frame test then walks to the next-to-last entry, the only one that differs, and fails.
std::vector<int32_t> WorstCapture() {
    std::vector<int32_t> capture;
    for (int k = 0; k < kMaxDurations; ++k) {
        capture.push_back(k % 2 ? -1000 : 1000);
    }
    capture[kMaxDurations - 2] = 2000;
    return capture;
}

void BM_AnalyseCaptureWorstCase(benchmark::State& state) {
    const std::vector<int32_t> capture = WorstCapture();
    IrSignal signal;
    for (auto _ : state) {
        benchmark::DoNotOptimize(AnalyseCapture(signal, capture.data(), kMaxDurations));
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_AnalyseCaptureWorstCase)->Unit(benchmark::kMicrosecond);

}  // namespace
