// Learning and sending on a simulated handheld, as ardelctl sim, tests and benchmarks run
// them: one handheld per run, its driver made by the factory, its IrDA port selected, and
// the remote model doing the work as it does in the program.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ir/IrSignal.h"
#include "model/LearnCheck.h"
#include "model/Operations.h"
#include "platform/sim/SimHandheld.h"

class CRemoteModel;
class HandheldFs;

struct SimLearnOutcome {
    int result = 0;
    uint8_t carrierPeriod = 0;
    uint16_t frameStart = 0;
    std::vector<int32_t> durations;
    LearnReport report;
    LearnCheck check;    // the learnt signal sent back into the handheld's own receiver
    LearnOutcome learn;  // the whole outcome of the model's learn
};

struct SimSendRequest {
    std::vector<int32_t> durations;
    uint8_t carrierPeriod = 26;
    uint16_t frameStart = 0;
    uint16_t repeat = 0;
    uint64_t holdNs = 0;  // the stylus stays down this long from the start of the send
};

struct SimSendOutcome {
    int result = 0;
    int passes = 0;
    Demodulated emitted;
    PressOutcome press;  // the whole outcome of the model's send or press
};

// Lets the model's learning check hear the handheld's emitter through the IR air.
void InstallSimOwnReceiver(SimHandheld& handheld, CRemoteModel& model);

// The name of the profile's port that switches the IR UART into infrared mode.
std::string SimIrPortName(const SimProfile& profile);

// The device's remote sends `waveform` while the handheld learns it through the remote
// model, storing it as `request` says in `files` (nothing is stored without them); the
// learning check sends what was learnt into the handheld's own receiver. A handheld without
// a driver gives result -1.
SimLearnOutcome SimLearn(SimHandheld& handheld, const RemoteWaveform& waveform,
                         HandheldFs* files = nullptr, const LearnRequest& request = {});

// Loads and sends a signal; what the emitter sent comes back demodulated.
SimSendOutcome SimSend(SimHandheld& handheld, const SimSendRequest& request);

// Presses signal `which` of `button` of the codebase at `path` in `files`, as a tap on the
// remote does (the button's repeat rule), the stylus down for `holdNs` from the start of the
// send; what the emitter sent comes back demodulated.
SimSendOutcome SimPress(SimHandheld& handheld, HandheldFs& files, const QString& path,
                        const QString& button, int which, uint64_t holdNs);

// The result given when the handheld has no IR driver.
constexpr int kSimNoDriver = -1;
