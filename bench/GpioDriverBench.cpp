// How much host time the simulated handheld needs for the GPIO drivers' busy-wait loops: per
// second of virtual IR time for a send and for a capture, and for a learn that times out.
// `ardelctl sim` runs unpaced, so these figures are what a user waits.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <vector>

#include "SimRun.h"

namespace {

// 74 bursts of 6.7 ms with pauses as long: one second of IR, no pause long enough to end a
// capture early.
std::vector<int32_t> OneSecondSignal() {
    std::vector<int32_t> durations;
    for (int k = 0; k < 74; ++k) {
        durations.push_back(6700);
        durations.push_back(-6700);
    }
    return durations;
}

// Runs `run` per iteration and reports host seconds per virtual second.
template <typename Run>
void Measure(benchmark::State& state, const char* chip, Run run) {
    double host = 0, simulated = 0;
    for (auto _ : state) {
        SimHandheld handheld(*FindSimProfile(chip));
        const auto start = std::chrono::steady_clock::now();
        const uint64_t virtualStart = handheld.Clock().Now();
        run(handheld);
        host += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        simulated += static_cast<double>(handheld.Clock().Now() - virtualStart) / 1e9;
    }
    state.counters["virtual_s"] = simulated / static_cast<double>(state.iterations());
    state.counters["host_per_virtual_s"] = host / simulated;
}

void BM_Send(benchmark::State& state, const char* chip) {
    SimSendRequest request;
    request.durations = OneSecondSignal();
    request.repeat = 1;
    Measure(state, chip, [&](SimHandheld& handheld) {
        benchmark::DoNotOptimize(SimSend(handheld, request).result);
    });
}

void BM_Capture(benchmark::State& state, const char* chip) {
    RemoteWaveform wave;
    wave.durations = OneSecondSignal();
    Measure(state, chip, [&](SimHandheld& handheld) {
        benchmark::DoNotOptimize(SimLearn(handheld, wave).result);
    });
}

// The remote never sends: 20 virtual seconds of polling until the time-out.
void BM_LearnTimesOut(benchmark::State& state, const char* chip) {
    RemoteWaveform wave;
    wave.durations = {560};
    wave.delayNs = 60ull * 1000000000;
    Measure(state, chip, [&](SimHandheld& handheld) {
        benchmark::DoNotOptimize(SimLearn(handheld, wave).result);
    });
}

BENCHMARK_CAPTURE(BM_Send, pxa255, "pxa255")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Send, pxa27x, "pxa27x")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Send, sa1110, "sa1110")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Capture, pxa255, "pxa255")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Capture, pxa27x, "pxa27x")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Capture, sa1110, "sa1110")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LearnTimesOut, pxa255, "pxa255")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_LearnTimesOut, sa1110, "sa1110")->Unit(benchmark::kMillisecond);

}  // namespace
