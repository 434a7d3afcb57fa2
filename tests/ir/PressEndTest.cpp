#include "ir/PressEnd.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Entries = std::vector<int32_t>;

// A block of pulse-distance bits (mark 430, spaces 430 or 1290) after a 3500/1750 header,
// ending on a mark, then `pause`.
Entries Block(uint32_t bits, int32_t pause) {
    Entries block = {3500, -1750};
    for (int bit = 0; bit < 16; ++bit) {
        block.insert(block.end(), {430, (bits >> bit) & 1 ? -1290 : -430});
    }
    block.insert(block.end(), {430, -pause});
    return block;
}

Entries Join(std::initializer_list<Entries> parts) {
    Entries all;
    for (const Entries& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

const Entries kRepeatCode = {9000, -2250, 560, -96000};

struct PressCase {
    const char* name;
    Entries entries;
    bool whole;
};

class PressEndCases : public ::testing::TestWithParam<PressCase> {};

TEST_P(PressEndCases, Decides) {
    const PressCase& press = GetParam();
    EXPECT_EQ(PressHeardWhole(press.entries.data(), static_cast<int>(press.entries.size())),
              press.whole);
}

const Entries kHeader = Block(0x00A5, 30000), kStateA = Block(0x3C0F, 30000),
              kStateB = Block(0x1234, 30000), kGapB = Block(0x1234, 45000);

INSTANTIATE_TEST_SUITE_P(
    Presses, PressEndCases,
    ::testing::Values(
        // A held button: a first frame, then repeat codes; the third pause ends it.
        PressCase{"FirstFrameThenTwoRepeats",
                  Join({Block(0x10EF, 40000), kRepeatCode, kRepeatCode}), true},
        PressCase{"FirstFrameThenOneRepeat", Join({Block(0x10EF, 40000), kRepeatCode}), false},
        PressCase{"OneFrameThreeTimes", Join({kStateA, kStateA, kStateA}), true},
        // An air conditioner: blocks that differ, with pauses inside the frame.
        PressCase{"ThreeDifferentBlocks", Join({kHeader, kStateA, kStateB}), false},
        PressCase{"FrameSentTwiceBeforeItsEnd", Join({kHeader, kStateA, kGapB, kHeader, kStateA}),
                  false},
        // Frames that alternate repeat over two stretches.
        PressCase{"AlternatingFramesThree", Join({kStateA, kStateB, kStateA}), false},
        PressCase{"AlternatingFramesFour", Join({kStateA, kStateB, kStateA, kStateB}), true},
        PressCase{"EightStretchesThatNeverRepeat",
                  Join({Block(1, 30000), Block(2, 30000), Block(3, 30000), Block(4, 30000),
                        Block(5, 30000), Block(6, 30000), Block(7, 30000), Block(8, 30000)}),
                  true},
        // Only a long pause just heard can end it.
        PressCase{"EndsOnAShortSpace", Join({kStateA, kStateA, kStateA, {430, -430}}), false},
        PressCase{"NothingHeard", {}, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
