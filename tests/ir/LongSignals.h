// The press of an air conditioner, for the tests of long signals: one frame of 600
// durations in three blocks (header 3500/1750, pulse-distance bits of 430/430 or 430/1290,
// each block ending on a mark), with pauses of 30 ms between the blocks, sent twice 40 ms
// apart. Twice does not fit a capture: the frame is found on its partial repetition.
#pragma once

#include <cstdint>
#include <vector>

inline std::vector<int32_t> AirConditionerPress() {
    std::vector<int32_t> frame;
    const int bitsPerBlock[] = {64, 104, 126};  // 600 durations with the pauses
    uint32_t state = 0x2C5A1F3B;
    for (int block = 0; block < 3; ++block) {
        frame.insert(frame.end(), {3500, -1750});
        for (int bit = 0; bit < bitsPerBlock[block]; ++bit) {
            state = state * 1103515245u + 12345u;
            frame.insert(frame.end(), {430, (state >> 16) & 1 ? -1290 : -430});
        }
        frame.insert(frame.end(), {430, block < 2 ? -30000 : -40000});
    }
    std::vector<int32_t> press = frame;
    press.insert(press.end(), frame.begin(), frame.end() - 1);
    return press;
}
