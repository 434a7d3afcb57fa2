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

// `frame` sent `times` times, `gapUs` of silence apart: a held button.
inline std::vector<int32_t> Repeated(const std::vector<int32_t>& frame, int times, int32_t gapUs) {
    std::vector<int32_t> held;
    for (int k = 0; k < times; ++k) {
        held.insert(held.end(), frame.begin(), frame.end());
        held.push_back(-gapUs);
    }
    held.pop_back();
    return held;
}

// A frame of 1041 durations, longer than a capture holds, that never repeats itself.
inline std::vector<int32_t> NeverRepeatingFrame() {
    std::vector<int32_t> frame;
    uint32_t seed = 12345;
    for (int k = 0; k < 520; ++k) {
        seed = seed * 1103515245u + 12345u;
        frame.push_back(300 + int32_t((seed >> 16) % 3000));
        seed = seed * 1103515245u + 12345u;
        frame.push_back(-(300 + int32_t((seed >> 16) % 3000)));
    }
    frame.push_back(500);
    return frame;
}
