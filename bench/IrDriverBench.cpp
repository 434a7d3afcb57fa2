// Host time that the simulated handheld needs per second of IR, for a send and for a capture,
// on every chip. The drivers busy-wait on the chips' counters, so this is what a user of
// `ardelctl sim` or a test waits; faster than real time by the reported factor.
#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>
#include <vector>

#include "ir/IrFactory.h"
#include "platform/sim/SimHandheld.h"

namespace {

const char* const kChips[] = {"sa1110", "pxa250",  "pxa255",  "pxa26x",
                              "pxa27x", "s3c2410", "s3c2440", "omap1510"};

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

// The IrDA port of each profile: the one that switches the IR UART into infrared mode.
std::string IrPort(const SimProfile& profile) {
    for (const SimComPort& port : profile.comPorts) {
        if (port.irda) {
            return port.name;
        }
    }
    return {};
}

// Processor time of this process: what the simulation costs, however busy the machine is.
double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Runs `run` per iteration on a fresh handheld and reports how many virtual seconds pass per
// host second of processor time.
template <typename Run>
void Measure(benchmark::State& state, Run run) {
    const char* chip = kChips[state.range(0)];
    double host = 0, simulated = 0;
    for (auto _ : state) {
        SimHandheld handheld(*FindSimProfile(chip));
        std::unique_ptr<CIrDriver> driver(CreateIrDriver(handheld.Profile().family, handheld));
        driver->SetPortName(IrPort(handheld.Profile()));
        const double start = CpuSeconds();
        const uint64_t virtualStart = handheld.Clock().Now();
        run(handheld, *driver);
        host += CpuSeconds() - start;
        simulated += static_cast<double>(handheld.Clock().Now() - virtualStart) / 1e9;
    }
    state.SetLabel(chip);
    state.counters["virtual_s"] = simulated / static_cast<double>(state.iterations());
    state.counters["faster_than_real"] = simulated / host;
}

void BM_Send(benchmark::State& state) {
    const std::vector<int32_t> signal = OneSecondSignal();
    Measure(state, [&](SimHandheld&, CIrDriver& driver) {
        driver.LoadSignal(signal.data(), static_cast<uint8_t>(signal.size()), 0, 26);
        benchmark::DoNotOptimize(driver.Send(1));
        driver.ClosePort();
    });
}

void BM_Capture(benchmark::State& state) {
    RemoteWaveform wave;
    wave.durations = OneSecondSignal();
    Measure(state, [&](SimHandheld& handheld, CIrDriver& driver) {
        handheld.Air().Play(wave, handheld.Clock().Now());
        benchmark::DoNotOptimize(driver.Capture());
        driver.ClosePort();
    });
}

BENCHMARK(BM_Send)->DenseRange(0, 7)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Capture)->DenseRange(0, 7)->Unit(benchmark::kMillisecond);

}  // namespace
