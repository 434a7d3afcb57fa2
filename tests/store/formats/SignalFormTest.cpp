#include "store/formats/SignalForm.h"

#include <gtest/gtest.h>

#include "tests/store/formats/FormatTestSupport.h"

namespace {

struct MakeCase {
    const char* name;
    std::vector<int64_t> in;
    size_t frameStart;
    std::vector<int32_t> out;  // empty: refused
    uint8_t outFrameStart;
};

class MakeIrSignalCase : public ::testing::TestWithParam<MakeCase> {};

TEST_P(MakeIrSignalCase, GivesTheSignalForm) {
    const MakeCase& c = GetParam();
    IrSignal signal;
    QString reason;
    const bool made = MakeIrSignal(c.in, c.frameStart, 26, signal, reason);
    if (c.out.empty()) {
        EXPECT_FALSE(made);
        EXPECT_FALSE(reason.isEmpty());
        return;
    }
    ASSERT_TRUE(made) << reason.toStdString();
    EXPECT_EQ(Durations(signal), c.out);
    EXPECT_EQ(signal.frameStart, c.outFrameStart);
    EXPECT_EQ(signal.carrierPeriod, 26);
}

std::vector<int64_t> Alternating(size_t n) {
    std::vector<int64_t> d;
    for (size_t i = 0; i < n; ++i) {
        d.push_back(i % 2 ? -500 : 500);
    }
    return d;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MakeIrSignalCase,
    ::testing::Values(
        MakeCase{"EndsOnSpace", {900, -450, 560, -40000}, 2, {900, -450, 560, -40000}, 2},
        // The gap is the longest space, or kTrailingGapUs when that is shorter.
        MakeCase{"MarkGetsGap", {900, -450, 560}, 0, {900, -450, 560, -kTrailingGapUs}, 0},
        MakeCase{"GapAsLongAsLongestSpace", {900, -60000, 560}, 0, {900, -60000, 560, -60000}, 0},
        // Zeros go, a leading space goes, neighbours of one sign are joined, and the frame
        // start follows them.
        MakeCase{
            "Joined", {-100, 900, 0, 100, -450, -50, 560, -40000}, 6, {1000, -500, 560, -40000}, 2},
        MakeCase{
            "FrameStartInsideJoin", {900, -450, -50, 560, -40000}, 2, {900, -500, 560, -40000}, 1},
        MakeCase{"FrameStartBeyondEnd", {900, -450}, 9, {900, -450}, 0},
        MakeCase{"OnlySpaces", {-900, -450}, 0, {}, 0}, MakeCase{"Empty", {}, 0, {}, 0},
        // kMaxDurations fit; one more (or kMaxDurations that need a gap) do not.
        MakeCase{"TooMany", Alternating(kMaxDurations + 1), 0, {}, 0},
        // A button record holds 8192 values of a signal at most: 300 seconds of mark need 9156.
        MakeCase{"TooLongToStore", {300000000, -40000}, 0, {}, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MakeIrSignal, ExactlyFullSignalIsKept) {
    std::vector<int64_t> d = Alternating(kMaxDurations);
    IrSignal signal;
    QString reason;
    ASSERT_TRUE(MakeIrSignal(d, 0, 26, signal, reason)) << reason.toStdString();
    EXPECT_EQ(signal.count, kMaxDurations);
}

TEST(MakeIrSignal, RefusesACarrierThatCannotBeStored) {
    IrSignal signal;
    QString reason;
    const std::vector<int64_t> d = {900, -450};
    EXPECT_FALSE(MakeIrSignal(d, 0, 0, signal, reason));
    EXPECT_FALSE(MakeIrSignal(d, 0, 256, signal, reason));
    EXPECT_TRUE(MakeIrSignal(d, 0, 255, signal, reason));
}

// What an emitter sends for a held button: the first pass, then the frame again and again.
std::vector<int32_t> Held(const std::vector<int32_t>& intro, const std::vector<int32_t>& frame,
                          int repeats) {
    std::vector<int32_t> sent = intro;
    for (int i = 0; i < repeats; ++i) {
        sent.insert(sent.end(), frame.begin(), frame.end());
    }
    // Neighbouring spaces run together on the air.
    std::vector<int32_t> joined;
    for (int32_t d : sent) {
        if (!joined.empty() && (joined.back() < 0) == (d < 0)) {
            joined.back() += d;
        } else {
            joined.push_back(d);
        }
    }
    return joined;
}

struct SplitCase {
    const char* name;
    std::vector<int32_t> durations;
    uint8_t frameStart;
};

class SplitIntoBurstPairsCase : public ::testing::TestWithParam<SplitCase> {};

// Burst pairs start with a mark and end with a space, and sending them is sending the signal.
TEST_P(SplitIntoBurstPairsCase, SendsTheSame) {
    const SplitCase& c = GetParam();
    const IrSignal signal = SignalFrom(c.durations, c.frameStart, 26);
    const BurstPairs pairs = SplitIntoBurstPairs(signal);
    for (const std::vector<int32_t>* part : {&pairs.intro, &pairs.frame}) {
        ASSERT_EQ(part->size() % 2, 0u);
        for (size_t i = 0; i < part->size(); ++i) {
            EXPECT_EQ((*part)[i] > 0, i % 2 == 0) << c.name << " at " << i;
        }
    }
    ASSERT_FALSE(pairs.frame.empty());
    const std::vector<int32_t> first = FirstPass(signal);
    const std::vector<int32_t> frame(first.begin() + c.frameStart, first.end());
    const std::vector<int32_t> expected(first.begin(), first.begin() + c.frameStart);
    std::vector<int32_t> sent = Held(pairs.intro, pairs.frame, 3);
    std::vector<int32_t> original = Held(expected, frame, 3);
    // The turned frame carries its leading space at its end: the very last pause differs.
    sent.pop_back();
    original.pop_back();
    EXPECT_EQ(sent, original);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitIntoBurstPairsCase,
    ::testing::Values(SplitCase{"WholeRepeats", {900, -450, 560, -20000}, 0},
                      SplitCase{
                          "IntroAndFrame", {900, -450, 560, -20000, 900, -225, 560, -30000}, 4},
                      SplitCase{"EndsOnMark", {900, -450, 560, -20000, 900, -225, 560}, 4},
                      SplitCase{"FrameStartsWithSpace", {900, -450, 560, -20000, 900, -225}, 3}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
