// The LIRC driver against the FUSE LIRC device in real time: how long from the call that
// sends a loaded button to the first write() reaching the device, and how closely the
// waits between writes keep the pauses the signal asks for.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "ir/CLircIrDriver.h"
#include "platform/host/HostLircDevice.h"
#include "platform/host/LircPlatform.h"
#include "tests/support/FuseLircDevice.h"

namespace {

// Send() of a loaded button (the device already open, as after LoadSignal) to the first
// write() that the device sees; with `load`, LoadSignal (open, features) is counted too.
void FirstWrite(benchmark::State& state, bool load) {
    ScaledLircClock clock(1);
    FuseLircDevice device(clock);
    if (!device.Mounted()) {
        state.SkipWithError(device.Error().c_str());
        return;
    }
    const std::vector<int32_t> signal{600, -600, 600};
    LircPlatform platform;
    HostLircDevice transmitter, receiver;
    double totalUs = 0, worstUs = 0;
    for (auto _ : state) {
        CLircIrDriver driver(platform, transmitter, receiver, clock);
        driver.SetDevices(device.Path(), "");
        if (!load && driver.LoadSignal(signal.data(), 3, 0, 26) != 0) {
            state.SkipWithError("LoadSignal failed");
            return;
        }
        const size_t before = device.Writes().size();
        const uint64_t startUs = clock.NowUs();
        if (load) {
            driver.LoadSignal(signal.data(), 3, 0, 26);
        }
        driver.Send(1);
        const std::vector<FuseLircWrite> writes = device.Writes();
        const double us = static_cast<double>(writes.at(before).startUs - startUs);
        state.SetIterationTime(us / 1e6);
        totalUs += us;
        worstUs = std::max(worstUs, us);
        driver.ClosePort();
    }
    state.counters["mean_us"] = totalUs / static_cast<double>(state.iterations());
    state.counters["worst_us"] = worstUs;
}

// Five passes of a frame that ends in a pause of `range(0)` us: the time between the end of
// one write and the start of the next, less that pause.
void PassGap(benchmark::State& state) {
    ScaledLircClock clock(1);
    FuseLircDevice device(clock);
    if (!device.Mounted()) {
        state.SkipWithError(device.Error().c_str());
        return;
    }
    const int32_t gapUs = static_cast<int32_t>(state.range(0));
    const std::vector<int32_t> signal{9000, -4500, 560, -560, 560, -gapUs};
    LircPlatform platform;
    HostLircDevice transmitter, receiver;
    CLircIrDriver driver(platform, transmitter, receiver, clock);
    driver.SetDevices(device.Path(), "");
    double totalUs = 0, worstUs = 0, earliestUs = 1e9;
    int gaps = 0;
    for (auto _ : state) {
        const size_t before = device.Writes().size();
        driver.LoadSignal(signal.data(), 6, 0, 26);
        driver.Send(5);
        const std::vector<FuseLircWrite> writes = device.Writes();
        for (size_t w = before + 1; w < writes.size(); ++w) {
            const double late =
                static_cast<double>(writes[w].startUs - writes[w - 1].endUs) - gapUs;
            totalUs += late;
            worstUs = std::max(worstUs, late);
            earliestUs = std::min(earliestUs, late);
            ++gaps;
        }
    }
    state.counters["mean_late_us"] = totalUs / gaps;
    state.counters["worst_late_us"] = worstUs;
    state.counters["earliest_us"] = earliestUs;
}

}  // namespace

BENCHMARK_CAPTURE(FirstWrite, LoadedButton, false)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(FirstWrite, WithLoadSignal, true)->UseManualTime()->Unit(benchmark::kMicrosecond);
BENCHMARK(PassGap)->Arg(20000)->Arg(40000)->Iterations(20)->Unit(benchmark::kMillisecond);
