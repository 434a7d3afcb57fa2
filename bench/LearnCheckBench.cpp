// Host time of the learning check on every simulated chip: a learnt NEC-style button sent once
// into the handheld's own receiver and captured again, as the program does after each learn.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <vector>

#include "app/ctl/SimRun.h"
#include "ir/IrFactory.h"
#include "model/CRemoteModel.h"
#include "model/LearnCheck.h"
#include "platform/sim/SimHandheld.h"

namespace {

const char* const kChips[] = {"sa1110", "pxa250",  "pxa255",  "pxa26x",
                              "pxa27x", "s3c2410", "s3c2440", "omap1510"};

// A held NEC-style button as its remote sends it: the code, then two repeats.
RemoteWaveform HeldNec() {
    RemoteWaveform wave;
    wave.durations = {9000, -4500};
    for (int bit = 0; bit < 32; ++bit) {
        wave.durations.push_back(560);
        wave.durations.push_back((0x04FB08F7u >> bit) & 1 ? -1690 : -560);
    }
    wave.durations.insert(wave.durations.end(),
                          {560, -40000, 9000, -2250, 560, -96000, 9000, -2250, 560});
    return wave;
}

double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

// Learns a held button through the remote model, as the program does, and times the check
// that follows the read: from the moment the check makes the receiver listen to its own
// emitter to the end of the learn. Reports the host milliseconds per check, the virtual
// milliseconds it covers, and the largest error of a mark and of a space heard back.
void BM_LearnCheck(benchmark::State& state) {
    const char* chip = kChips[state.range(0)];
    const RemoteWaveform wave = HeldNec();
    double host = 0, simulated = 0;
    int64_t checks = 0;
    int32_t markError = 0, spaceError = 0;
    for (auto _ : state) {
        SimHandheld handheld(*FindSimProfile(chip));
        CIrDriverFactory drivers(handheld);
        RemoteServices services;  // a learn that stores nothing reads and writes no files
        services.driver = [&drivers] { return drivers.GetIrDriver(); };
        CRemoteModel model(services);
        model.SetIrPort(SimIrPortName(handheld.Profile()));
        model.beforeCapture = [&handheld, &wave](const QString&, int) {
            handheld.Air().Play(wave, handheld.Clock().Now());
        };
        InstallSimOwnReceiver(handheld, model);
        double start = 0;
        uint64_t virtualStart = 0;
        const std::function<void()> listen = model.ownReceiver.listen;
        model.ownReceiver.listen = [&] {
            start = CpuSeconds();
            virtualStart = handheld.Clock().Now();
            listen();
        };
        LearnFace face;
        LearnRequest request;
        request.button = "Power";
        const LearnOutcome learnt = model.LearnButton(request, face);
        if (learnt.code != kOpOk || learnt.checks.empty() ||
            learnt.checks.front().outcome != CheckOutcome::Yes) {
            state.SkipWithError("the learnt signal does not check");
            return;
        }
        host += CpuSeconds() - start;
        simulated += static_cast<double>(handheld.Clock().Now() - virtualStart) / 1e9;
        ++checks;
        // How far what was heard lies from what was learnt, against the check's tolerance.
        const IrSignal& signal = learnt.learnt.front();
        const std::vector<int32_t>& heard = drivers.GetIrDriver()->LastCaptureHeard();
        for (size_t k = 0; k < heard.size() && k < signal.count; ++k) {
            const int32_t error = std::abs(heard[k] - signal.durations[k]);
            int32_t& largest = heard[k] > 0 ? markError : spaceError;
            largest = std::max(largest, error);
        }
    }
    state.SetLabel(chip);
    state.counters["mark_err_us"] = markError;
    state.counters["space_err_us"] = spaceError;
    state.counters["host_ms"] = checks ? host * 1000 / static_cast<double>(checks) : 0;
    state.counters["ir_ms"] = checks ? simulated * 1000 / static_cast<double>(checks) : 0;
}
BENCHMARK(BM_LearnCheck)->DenseRange(0, 7)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace
