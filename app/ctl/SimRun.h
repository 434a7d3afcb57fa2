// Learning and sending on a simulated handheld, as ardelctl sim, tests and benchmarks run
// them: one handheld per run, its driver made by the factory, its IrDA port selected.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <QString>

#include "HandheldFs.h"
#include "IrSignal.h"
#include "SimHandheld.h"

struct SimLearnOutcome {
    int result = 0;
    uint8_t carrierPeriod = 0;
    uint8_t frameStart = 0;
    std::vector<int32_t> durations;
};

struct SimSendRequest {
    std::vector<int32_t> durations;
    uint8_t carrierPeriod = 26;
    uint8_t frameStart = 0;
    uint16_t repeat = 0;
    uint64_t holdNs = 0;  // the stylus stays down this long from the start of the send
};

struct SimSendOutcome {
    int result = 0;
    int passes = 0;
    Demodulated emitted;
};

// The name of the profile's port that switches the IR UART into infrared mode.
std::string SimIrPortName(const SimProfile& profile);

// The device's remote sends `waveform` while the handheld captures it. `handheld` is made
// the current platform for the run. A handheld without a driver gives result -1.
SimLearnOutcome SimLearn(SimHandheld& handheld, const RemoteWaveform& waveform);

// Loads and sends a signal; what the emitter sent comes back demodulated.
SimSendOutcome SimSend(SimHandheld& handheld, const SimSendRequest& request);

// The result given when the handheld has no IR driver.
constexpr int kSimNoDriver = -1;

// How keeping a learnt signal in a codebase, or taking one from it, ended.
enum CodebaseOutcome : int {
    kCodebaseDone = 0,
    kCodebaseNotCreated,    // the file was missing and could not be created
    kCodebaseNotACodebase,  // the file is there but holds something else
    kCodebaseNotOpened,     // the file could not be opened
    kCodebaseNotStored,     // nothing was learnt, or the file could not be changed
    kCodebaseNoButton,      // the button has no record
    kCodebaseNoSignal,      // the button's record holds no signal
};

// Stores a learnt signal as signal `signal` (1 or 2) of `button` in the codebase at `path`,
// as learning a button does: the codebase is created with its first button.
int StoreLearnt(HandheldFs& fs, const QString& path, const std::string& button, int signal,
                const SimLearnOutcome& learnt);

// Takes signal `signal` of `button` from the codebase at `path` into the request: its
// durations, frame start and carrier period.
int LoadStored(HandheldFs& fs, const QString& path, const std::string& button, int signal,
               SimSendRequest& request);
