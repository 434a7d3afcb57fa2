// Signals that tests write out, and the durations of a signal to compare.
#pragma once

#include <algorithm>
#include <vector>

#include "ir/IrSignal.h"

// A signal of these durations; a carrier period of 26 us is 38 kHz.
inline IrSignal SignalFrom(std::vector<int32_t> durations, uint8_t frameStart = 0,
                           uint8_t carrierUs = 26) {
    IrSignal signal = MakeIrSignal(durations, frameStart, carrierUs);
    return signal;
}

inline std::vector<int32_t> Durations(const IrSignal& signal) {
    return {signal.durations, signal.durations + signal.count};
}
