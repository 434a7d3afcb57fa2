// Decoding runs on every learnt button that a list shows; its worst case is a full signal
// that no protocol takes, so that every decoder is tried at every frame start.
#include <benchmark/benchmark.h>

#include <vector>

#include "ir/IrSignal.h"
#include "ir/protocols/IrProtocol.h"
#include "ir/protocols/Protocols.h"

namespace {

// 150 durations that start like an NEC frame and keep going with bits: every pulse-distance
// decoder with a matching header reads far before it gives up.
std::vector<int32_t> UnknownSignal() {
    std::vector<int32_t> durations = {kNecTiming.headerMarkUs, -kNecTiming.headerSpaceUs};
    while (durations.size() < kMaxDurations) {
        durations.push_back(kNecTiming.bitMarkUs);
        durations.push_back(durations.size() % 4 ? -kNecTiming.oneSpaceUs
                                                 : -kNecTiming.zeroSpaceUs);
    }
    return durations;
}

// Decoding every frame start of the signal, as walking it frame by frame would at worst.
void BM_DecodeAllProtocolsEveryStart(benchmark::State& state) {
    const std::vector<int32_t> durations = UnknownSignal();
    for (auto _ : state) {
        for (size_t start = 0; start < durations.size(); ++start) {
            benchmark::DoNotOptimize(DecodeIrFrame(durations, start, 0));
        }
    }
}
BENCHMARK(BM_DecodeAllProtocolsEveryStart)->Unit(benchmark::kMicrosecond);

// What the decode command and the button list do: the signal by its first frame.
void BM_DecodeAllProtocolsFirstFrame(benchmark::State& state) {
    const std::vector<int32_t> durations = UnknownSignal();
    for (auto _ : state) {
        benchmark::DoNotOptimize(DecodeIrSignal(durations, 0));
    }
}
BENCHMARK(BM_DecodeAllProtocolsFirstFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
