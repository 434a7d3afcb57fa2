// One capture for every chip: the same waveform gives the same result on all eight
// simulated handhelds, whatever counter and receiver each one has.
#include "ir/CaptureCore.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "app/ctl/SimRun.h"
#include "ir/IrFactory.h"
#include "ir/IrResult.h"
#include "platform/sim/SimHandheld.h"

namespace {

constexpr uint64_t kMs = 1000000;  // virtual nanoseconds

const char* const kChips[] = {"sa1110", "pxa250",  "pxa255",  "pxa26x",
                              "pxa27x", "s3c2410", "s3c2440", "omap1510"};

enum class Air { Silent, Play, Stuck };

struct Waveform {
    const char* name;
    Air air;
    std::vector<int32_t> durations;
    uint32_t carrierHz;
    int result;
    // Cases that wait out the 20 s poll more coarsely, so that they run quickly.
    uint64_t readCostNs;
};

// A short NEC-style frame.
const std::vector<int32_t> kFrame = {9000, -4500, 560, -560, 560, -1690, 560, -560, 560};

const Waveform kWaveforms[] = {
    // A flash too short to measure a carrier in is no signal: the capture goes on listening
    // and ends as one that heard nothing.
    {"LoneShortFlash", Air::Play, {60}, 38000, kIrNoSignal, 5000},
    // A receiver whose output went active and stays so sends no pulses to time: the same.
    {"StuckReceiver", Air::Stuck, {}, 0, kIrNoSignal, 5000},
    {"NothingWithinTheTimeOut", Air::Silent, {}, 0, kIrNoSignal, 5000},
    {"CarrierSlowerThan10kHz", Air::Play, {5000, -5000, 5000}, 9000, kIrCarrierTooLong, 100},
    {"CarrierWithoutEnd", Air::Play, {2000000}, 38000, kIrMarkTooLong, 500},
    {"NormalRemote", Air::Play, kFrame, 38000, kIrOk, 100},
};

class SameOnEveryChip : public ::testing::TestWithParam<std::tuple<const char*, Waveform>> {};

TEST_P(SameOnEveryChip, Result) {
    const auto& [chip, wave] = GetParam();
    SimHandheld handheld(*FindSimProfile(chip));
    handheld.Clock().SetRegisterReadCost(wave.readCostNs);
    std::unique_ptr<CIrDriver> driver(CreateIrDriver(handheld.Profile().family, handheld));
    ASSERT_NE(driver, nullptr);
    driver->SetPortName(SimIrPortName(handheld.Profile()));
    if (wave.air == Air::Play) {
        RemoteWaveform remote;
        remote.durations = wave.durations;
        remote.carrierHz = wave.carrierHz;
        remote.delayNs = 5 * kMs;
        handheld.Air().Play(remote, handheld.Clock().Now());
    } else if (wave.air == Air::Stuck) {
        handheld.Air().StickReceiver(handheld.Clock().Now() + 5 * kMs);
    }
    EXPECT_EQ(driver->Capture(), wave.result);
    EXPECT_TRUE(handheld.GuestErrors().empty());
    if (wave.result == kIrNoSignal) {
        // It listened for the whole time-out, not less.
        EXPECT_GE(handheld.Clock().Now(), 20000 * kMs);
    }
    if (wave.result != kIrOk) {
        return;
    }
    // Marks run from the first to the last pulse start of a burst: up to one period short.
    const IrSignal& signal = driver->Signal();
    EXPECT_EQ(signal.carrierPeriod, 26);
    ASSERT_EQ(signal.count, kFrame.size() + 1);
    for (size_t k = 0; k < kFrame.size(); ++k) {
        const int32_t error = std::abs(signal.durations[k]) - std::abs(kFrame[k]);
        if (kFrame[k] > 0) {
            EXPECT_TRUE(error <= 1 && error >= -27) << k << ": " << error;
        } else {
            EXPECT_TRUE(error >= -1 && error <= 27) << k << ": " << error;
        }
    }
    EXPECT_EQ(signal.durations[kFrame.size()], -20000);  // the silence, at its shortest
}

INSTANTIATE_TEST_SUITE_P(Chips, SameOnEveryChip,
                         ::testing::Combine(::testing::ValuesIn(kChips),
                                            ::testing::ValuesIn(kWaveforms)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param)) + "_" +
                                    std::get<1>(info.param).name;
                         });

// A stray flash before the remote's signal does not spoil the learning.
TEST(CaptureCore, FlashBeforeTheSignalIsIgnored) {
    for (const char* chip : kChips) {
        SimHandheld handheld(*FindSimProfile(chip));
        std::unique_ptr<CIrDriver> driver(CreateIrDriver(handheld.Profile().family, handheld));
        driver->SetPortName(SimIrPortName(handheld.Profile()));
        RemoteWaveform remote;
        remote.durations = {60, -300000};
        remote.durations.insert(remote.durations.end(), kFrame.begin(), kFrame.end());
        remote.delayNs = 5 * kMs;
        handheld.Air().Play(remote, handheld.Clock().Now());
        ASSERT_EQ(driver->Capture(), kIrOk) << chip;
        EXPECT_EQ(driver->Signal().count, kFrame.size() + 1) << chip;
        EXPECT_NEAR(driver->Signal().durations[0], 9000, 27) << chip;
    }
}

// The trailing gap: the longest pause of the signal, within the long-pause threshold and the
// silence that ends a capture.
TEST(CaptureCore, TrailingGapIsTheLongestPauseWithinBounds) {
    struct Case {
        std::vector<int32_t> durations;
        int32_t gap;
    };
    const Case cases[] = {
        {{9000, -4500, 560}, 20000},                // shorter pauses: the threshold
        {{9000, -40000, 560, -96000, 560}, 96000},  // the longest pause
        {{9000, -250000, 560}, 200000},             // at most the capture's silence
        {{560}, 20000},                             // no pause at all
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TrailingGapUs(c.durations.data(), static_cast<int>(c.durations.size())), c.gap);
    }
}

}  // namespace
