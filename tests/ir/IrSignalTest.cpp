#include "ir/IrSignal.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "ir/IrResult.h"

namespace {

// A Sony-style frame: 2400 header, then twelve bits, as 25 entries, then the gap.
std::vector<int32_t> SonyFrame() {
    std::vector<int32_t> frame = {2400, -600};
    for (int bit = 0; bit < 12; ++bit) {
        frame.push_back(bit % 3 ? 600 : 1200);
        frame.push_back(-600);
    }
    frame.back() = -26000;  // the gap after the last bit
    return frame;
}

std::vector<int32_t> Repeat(const std::vector<int32_t>& frame, int times, bool lastGap) {
    std::vector<int32_t> out;
    for (int k = 0; k < times; ++k) {
        out.insert(out.end(), frame.begin(), frame.end());
    }
    if (!lastGap) {
        out.pop_back();
    }
    return out;
}

// An NEC-style press: the full code once, then short repeat codes while held.
std::vector<int32_t> NecPress(int repeats) {
    std::vector<int32_t> out = {9000, -4500};
    const uint32_t code = 0x20DF10EF;
    for (int bit = 0; bit < 32; ++bit) {
        out.push_back(560);
        out.push_back((code >> bit) & 1 ? -1690 : -560);
    }
    out.push_back(560);
    out.push_back(-40000);
    for (int k = 0; k < repeats; ++k) {
        out.insert(out.end(), {9000, -2250, 560, -96000});
    }
    out.pop_back();  // the capture ends on the last mark
    return out;
}

struct AnalyseCase {
    const char* name;
    std::vector<int32_t> capture;
    int frameStart;
    int count;
};

class AnalyseCaptureTest : public ::testing::TestWithParam<AnalyseCase> {};

TEST_P(AnalyseCaptureTest, FindsTheFrame) {
    const AnalyseCase& c = GetParam();
    std::vector<int32_t> buffer = c.capture;
    buffer.resize(kMaxDurations, 0);
    IrSignal signal;
    signal.nextStart = 7;
    ASSERT_EQ(AnalyseCapture(signal, buffer.data(), kMaxDurations), kIrOk);
    EXPECT_EQ(signal.frameStart, c.frameStart);
    EXPECT_EQ(signal.count, c.count);
    EXPECT_EQ(signal.nextStart, 0);
    for (int k = 0; k < c.count; ++k) {
        ASSERT_EQ(signal.durations[k], c.capture[k]) << "entry " << k;
    }
}

std::vector<int32_t> WithZeroInside() {
    std::vector<int32_t> capture = Repeat(SonyFrame(), 3, false);
    capture[60] = 0;      // the data ends inside the third frame...
    capture[61] = 12345;  // ...so this, which matches nothing, is never compared
    return capture;
}

std::vector<int32_t> ShortTail() {
    // A frame of ten entries whose second occurrence is cut after three entries.
    std::vector<int32_t> frame = {3000, -1000, 500, -500, 1000, -500, 500, -500, 1000, -30000};
    std::vector<int32_t> capture = frame;
    capture.insert(capture.end(), {3000, -1000, 500});
    return capture;
}

INSTANTIATE_TEST_SUITE_P(
    Captures, AnalyseCaptureTest,
    ::testing::Values(
        // Three equal frames: the signal is one frame plus its gap.
        AnalyseCase{"ThreeEqualFrames", Repeat(SonyFrame(), 3, false), 0, 26},
        AnalyseCase{"ThreeEqualFramesEndingOnGap", Repeat(SonyFrame(), 3, true), 0, 26},
        // First code, then a shorter repeat code: the frame is the repeat code.
        AnalyseCase{"NecThreeRepeats", NecPress(3), 68, 72},
        // Only two repeat codes: too little follows the second to accept it.
        AnalyseCase{"NecTwoRepeats", NecPress(2), 75, 75},
        // No space long enough before any candidate: no frame.
        // The longest space comes last, so no candidate follows a long enough space.
        AnalyseCase{
            "NoLongSpace", {900, -450, 900, -450, 900, -450, 900, -450, 900, -5000}, 10, 10},
        AnalyseCase{"OnlyMarks", {900, 900, 900, 900, 900, 900, 900, 900}, 8, 8},
        AnalyseCase{"ShortTailRejected", ShortTail(), 13, 13},
        AnalyseCase{"ZeroEndsTheData", WithZeroInside(), 0, 26}),
    [](const auto& info) { return info.param.name; });

TEST(AnalyseCapture, ZeroEndsTheDataEvenWhenMoreFollows) {
    std::vector<int32_t> buffer(kMaxDurations, 0);
    const std::vector<int32_t> data = {500, -500, 700};
    std::copy(data.begin(), data.end(), buffer.begin());
    buffer[10] = 900;  // after the zero at 3: not data
    IrSignal signal;
    ASSERT_EQ(AnalyseCapture(signal, buffer.data(), kMaxDurations), kIrOk);
    EXPECT_EQ(signal.count, 3);
    EXPECT_EQ(signal.frameStart, 3);
}

TEST(AnalyseCapture, NothingToAnalyse) {
    IrSignal signal;
    signal.count = 5;
    const int32_t one = 100;
    EXPECT_EQ(AnalyseCapture(signal, nullptr, 150), kIrNothingToAnalyse);
    EXPECT_EQ(AnalyseCapture(signal, &one, 0), kIrNothingToAnalyse);
    EXPECT_EQ(signal.count, 5);
}

TEST(AnalyseCapture, LimitsToOneHundredFiftyAndLeavesTheRest) {
    std::vector<int32_t> buffer(200);
    for (size_t k = 0; k < buffer.size(); ++k) {
        buffer[k] = k % 2 ? -100 - static_cast<int32_t>(k) : 100 + static_cast<int32_t>(k);
    }
    IrSignal signal;
    std::fill(std::begin(signal.durations), std::end(signal.durations), 77);
    ASSERT_EQ(AnalyseCapture(signal, buffer.data(), 200), kIrOk);
    EXPECT_LE(signal.count, 150);
}

TEST(AnalyseCapture, LeavesEntriesBeyondTheCountAsTheyWere) {
    std::vector<int32_t> buffer = Repeat(SonyFrame(), 3, false);
    buffer.resize(kMaxDurations, 0);
    IrSignal signal;
    std::fill(std::begin(signal.durations), std::end(signal.durations), 77);
    ASSERT_EQ(AnalyseCapture(signal, buffer.data(), kMaxDurations), kIrOk);
    ASSERT_EQ(signal.count, 26);
    EXPECT_EQ(signal.durations[26], 77);
    EXPECT_EQ(signal.durations[149], 77);
}

TEST(SetSignal, KeepsAtMostTheLongestSignal) {
    std::vector<int32_t> input(kMaxDurations + 100);
    std::iota(input.begin(), input.end(), 1);
    IrSignal signal;
    ASSERT_EQ(SetSignal(signal, input.data(), static_cast<uint16_t>(input.size()), 0, 26), kIrOk);
    EXPECT_EQ(signal.count, kMaxDurations);
    EXPECT_EQ(signal.durations[kMaxDurations - 1], kMaxDurations);
}

TEST(SetSignal, ClearsWhatTheNewSignalDoesNotCover) {
    IrSignal signal;
    std::fill(std::begin(signal.durations), std::end(signal.durations), 5);
    signal.nextStart = 3;
    const int32_t input[] = {100, -200};
    ASSERT_EQ(SetSignal(signal, input, 2, 1, 26), kIrOk);
    EXPECT_EQ(signal.nextStart, 0);
    EXPECT_EQ(signal.durations[1], -200);
    EXPECT_EQ(signal.durations[2], 0);
    EXPECT_EQ(signal.durations[149], 0);
}

TEST(SetSignal, NothingGivenLeavesTheSignal) {
    IrSignal signal;
    const int32_t input[] = {100, -200, 300};
    ASSERT_EQ(SetSignal(signal, input, 3, 1, 30), kIrOk);
    EXPECT_EQ(SetSignal(signal, nullptr, 3, 0, 26), kIrNoDurations);
    EXPECT_EQ(SetSignal(signal, input, 0, 0, 26), kIrNoDurations);
    EXPECT_EQ(signal.count, 3);
    EXPECT_EQ(signal.frameStart, 1);
    EXPECT_EQ(signal.carrierPeriod, 30);
}

TEST(SetSignal, CarrierZeroReplacesTheDurationsFirst) {
    IrSignal signal;
    const int32_t first[] = {100, -200, 300};
    ASSERT_EQ(SetSignal(signal, first, 3, 1, 30), kIrOk);
    const int32_t second[] = {900};
    EXPECT_EQ(SetSignal(signal, second, 1, 0, 0), kIrNoCarrier);
    EXPECT_EQ(signal.count, 1);
    EXPECT_EQ(signal.durations[0], 900);
    EXPECT_EQ(signal.durations[1], 0);
}

struct CarrierCase {
    uint8_t given;
    uint8_t stored;
};

class SetSignalCarrier : public ::testing::TestWithParam<CarrierCase> {};

TEST_P(SetSignalCarrier, OutsideTenToFiftyBecomesTwentySix) {
    IrSignal signal;
    const int32_t input[] = {100, -200};
    ASSERT_EQ(SetSignal(signal, input, 2, 0, GetParam().given), kIrOk);
    EXPECT_EQ(signal.carrierPeriod, GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(Periods, SetSignalCarrier,
                         ::testing::Values(CarrierCase{1, 26}, CarrierCase{9, 26},
                                           CarrierCase{10, 10}, CarrierCase{26, 26},
                                           CarrierCase{50, 50}, CarrierCase{51, 26},
                                           CarrierCase{255, 26}),
                         [](const auto& info) {
                             return "Given" + std::to_string(info.param.given);
                         });

TEST(SetSignal, FrameStartAtOrBeyondTheCountBecomesZero) {
    IrSignal signal;
    const int32_t input[] = {100, -200, 300, -400};
    ASSERT_EQ(SetSignal(signal, input, 4, 4, 26), kIrOk);
    EXPECT_EQ(signal.frameStart, 0);
    ASSERT_EQ(SetSignal(signal, input, 4, 3, 26), kIrOk);
    EXPECT_EQ(signal.frameStart, 3);
}

TEST(GetSignal, EmptySignalHandsOutNothing) {
    IrSignal signal;
    std::vector<int32_t> durations = {1, 2};
    uint16_t count = 9, frameStart = 9;
    uint8_t carrier = 9;
    GetSignal(signal, durations, count, frameStart, carrier);
    EXPECT_TRUE(durations.empty());
    EXPECT_EQ(count, 0);
    EXPECT_EQ(frameStart, 0);
    EXPECT_EQ(carrier, 0);
}

TEST(GetSignal, NoFrameIsHandedOutAsZeroAndFixedInTheSignal) {
    std::vector<int32_t> buffer = {900, -450, 900, -450, 900, -5000};
    buffer.resize(kMaxDurations, 0);
    IrSignal signal;
    ASSERT_EQ(AnalyseCapture(signal, buffer.data(), kMaxDurations), kIrOk);
    signal.carrierPeriod = 27;
    ASSERT_EQ(signal.frameStart, 6);

    std::vector<int32_t> durations;
    uint16_t count = 0, frameStart = 0;
    uint8_t carrier = 0;
    GetSignal(signal, durations, count, frameStart, carrier);
    EXPECT_EQ(count, 6);
    EXPECT_EQ(frameStart, 0);
    EXPECT_EQ(carrier, 27);
    EXPECT_EQ(signal.frameStart, 0);
    EXPECT_EQ(durations, std::vector<int32_t>({900, -450, 900, -450, 900, -5000}));
}

}  // namespace
