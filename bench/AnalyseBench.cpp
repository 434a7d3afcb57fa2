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

// An air conditioner's press as a full capture holds it: a 600-duration frame of three
// blocks 30 ms apart, and as much of its second copy as fits.
std::vector<int32_t> AirConditionerCapture() {
    std::vector<int32_t> frame;
    uint32_t state = 0x2C5A1F3B;
    for (int bits : {64, 104, 126}) {
        frame.insert(frame.end(), {3500, -1750});
        for (int bit = 0; bit < bits; ++bit) {
            state = state * 1103515245u + 12345u;
            frame.insert(frame.end(), {430, (state >> 16) & 1 ? -1290 : -430});
        }
        frame.insert(frame.end(), {430, -30000});
    }
    frame.back() = -40000;
    std::vector<int32_t> capture = frame;
    capture.insert(capture.end(), frame.begin(), frame.end());
    capture.resize(kMaxDurations - 1);
    capture.push_back(0);
    return capture;
}

void BM_AnalyseCaptureAirConditioner(benchmark::State& state) {
    const std::vector<int32_t> capture = AirConditionerCapture();
    IrSignal signal;
    for (auto _ : state) {
        benchmark::DoNotOptimize(AnalyseCapture(signal, capture.data(), kMaxDurations));
        benchmark::ClobberMemory();
    }
    state.counters["count"] = signal.count;
}
BENCHMARK(BM_AnalyseCaptureAirConditioner)->Unit(benchmark::kMicrosecond);

}  // namespace
