#include "platform/sim/SimS3c24xx.h"

#include <gtest/gtest.h>

#include "ir/Detect.h"
#include "platform/sim/SimHandheld.h"

namespace {

using namespace s3c;

struct RateCase {
    const char* name;
    bool is2440;
    uint32_t clockDivider, prescaler, timer2Divider;
    double hz;
};

class S3cTimerClock : public ::testing::TestWithParam<RateCase> {};

// Timer 2 counts down from its buffer at PCLK / (prescaler + 1) / divider, and the rate
// that the driver computes from the same registers agrees with it.
TEST_P(S3cTimerClock, FollowsTheClockConfiguration) {
    SimProfile profile = *FindSimProfile(GetParam().is2440 ? "s3c2440" : "s3c2410");
    SimS3c24xxConfig config = GetParam().is2440 ? SimS3c2440Config() : SimS3c2410Config();
    config.clockDivider = GetParam().clockDivider;
    config.prescaler1 = GetParam().prescaler;
    profile.makeChip = SimS3c24xx::Maker(config);
    SimHandheld handheld(profile);
    SimChip& chip = handheld.Chip();
    chip.Write(kPwmBase + kTimerConfig1, GetParam().timer2Divider << 8, 4);
    chip.Write(kPwmBase + kTimers[0].countBuffer, 0xFFFF, 4);
    chip.Write(kPwmBase + kTimerControl, kTimers[0].manualUpdate | kTimers[0].autoReload, 4);
    chip.Write(kPwmBase + kTimerControl, kTimers[0].start | kTimers[0].autoReload, 4);
    handheld.Sleep(10);
    const double ticks = 0xFFFF - chip.Read(kPwmBase + kTimers[0].countObservation, 4);
    EXPECT_NEAR(ticks, GetParam().hz / 100, 1.0);

    if (GetParam().timer2Divider == 0) {
        RegisterBlock* pwm = handheld.MapPage(kPwmBase, false);
        EXPECT_EQ(S3cTimerRate(handheld, pwm), static_cast<uint32_t>(GetParam().hz / 1000));
        handheld.UnmapPage(pwm);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Clocks, S3cTimerClock,
    ::testing::Values(RateCase{"S3c2410", false, 0x3, 24, 0, 1015000},
                      RateCase{"S3c2440", true, 0x5, 19, 0, 1250000},
                      RateCase{"S3c2440HclkThird", true, 0x7, 19, 0, 400e6 / 6 / 20 / 2},
                      RateCase{"S3c2410NoDividers", false, 0x0, 24, 0, 203e6 / 25 / 2},
                      // On the S3C2410 the HCLK divider has one bit: 0x4 does nothing.
                      RateCase{"S3c2410IgnoresBit2", false, 0x5, 24, 0, 203e6 / 2 / 25 / 2},
                      RateCase{"Divider16", false, 0x3, 24, 3, 50.75e6 / 25 / 16}),
    [](const auto& info) { return info.param.name; });

class S3cTimer : public ::testing::Test {
  protected:
    S3cTimer() : handheld(*FindSimProfile("s3c2440")), chip(handheld.Chip()) {}

    // Timer 3 (index 1) from a buffer of 999: 1000 ticks (800 us) between reloads.
    void Start(bool autoReload) {
        const TimerLayout& t = kTimers[1];
        chip.Write(kPwmBase + t.countBuffer, 999, 4);
        chip.Write(kPwmBase + kTimerControl, t.manualUpdate, 4);
        chip.Write(kPwmBase + kTimerControl, t.start | (autoReload ? t.autoReload : 0), 4);
    }
    uint32_t Count() { return chip.Read(kPwmBase + kTimers[1].countObservation, 4); }
    uint32_t Pending(uint32_t reg) { return chip.Read(kInterruptBase + reg, 4) & 0x2000; }
    void Wait(uint64_t ns) { handheld.Clock().Advance(ns); }

    SimHandheld handheld;
    SimChip& chip;
};

TEST_F(S3cTimer, ReloadsSetSourcePendingUntilCleared) {
    Start(true);
    Wait(400000);  // 500 ticks
    EXPECT_EQ(Count(), 499u);
    EXPECT_EQ(Pending(kSourcePending), 0u);
    Wait(800000);  // one reload later: 1500 ticks
    EXPECT_EQ(Count(), 499u);
    EXPECT_NE(Pending(kSourcePending), 0u);
    EXPECT_EQ(Pending(kInterruptPending), 0u);  // masked
    chip.Write(kInterruptBase + kSourcePending, 0x2000, 4);
    EXPECT_EQ(Pending(kSourcePending), 0u);
    Wait(800000);
    EXPECT_NE(Pending(kSourcePending), 0u);

    // Unmasked, the reload reaches interrupt pending too.
    chip.Write(kInterruptBase + kInterruptMask, ~0x2000u, 4);
    chip.Write(kInterruptBase + kSourcePending, 0x2000, 4);
    Wait(800000);
    EXPECT_NE(Pending(kInterruptPending), 0u);
}

TEST_F(S3cTimer, ManualUpdateHoldsAndOneShotStopsAtZero) {
    Start(false);
    chip.Write(kPwmBase + kTimerControl, kTimers[1].start | kTimers[1].manualUpdate, 4);
    Wait(400000);
    EXPECT_EQ(Count(), 999u);  // held while manual update is set
    chip.Write(kPwmBase + kTimerControl, kTimers[1].start, 4);
    Wait(4000000);
    EXPECT_EQ(Count(), 0u);
    EXPECT_NE(Pending(kSourcePending), 0u);
    chip.Write(kInterruptBase + kSourcePending, 0x2000, 4);
    Wait(4000000);
    EXPECT_EQ(Count(), 0u);
    EXPECT_EQ(Pending(kSourcePending), 0u);
}

// Polled as a driver polls it, every 100 ns, the count steps down tick by tick (800 ns) and
// reloads, or one-shot stays at 0, exactly where the rate puts it; each reload sets the
// source-pending bit once.
TEST_F(S3cTimer, PolledCountFollowsEveryTick) {
    for (const bool autoReload : {true, false}) {
        Start(autoReload);
        const uint64_t start = handheld.Clock().Now();
        uint64_t seen = 0;
        for (int k = 0; k < 40000; ++k) {  // 4 ms: five reload periods
            Wait(100);
            const uint64_t ticks = (handheld.Clock().Now() - start) / 800;
            const uint64_t reloads = ticks < 1000 ? 0 : autoReload ? 1 + (ticks - 1000) / 1000 : 1;
            const uint64_t count = ticks < 1000 ? 999 - ticks
                                   : autoReload ? 999 - (ticks - 1000) % 1000
                                                : 0;
            ASSERT_EQ(Count(), count) << "auto-reload " << autoReload << ", tick " << ticks;
            ASSERT_EQ(Pending(kSourcePending) != 0, reloads > seen)
                << "auto-reload " << autoReload << ", tick " << ticks;
            if (reloads > seen) {
                chip.Write(kInterruptBase + kSourcePending, 0x2000, 4);
                seen = reloads;
            }
        }
    }
}

// The profile's IR UART is UART 2: transmit GPH6, receive GPH7.
TEST(S3cPortH, PinsReachTheIrAirOnlyAsPlainIo) {
    SimHandheld handheld(*FindSimProfile("s3c2410"));
    SimChip& chip = handheld.Chip();
    chip.Write(kGpioBase + kPortHData, 0x40, 4);
    EXPECT_FALSE(handheld.Air().TransmitterOn());  // still the UART's pin
    chip.Write(kGpioBase + kPortHControl, (0xAAAA & ~0x3000u) | 0x1000, 4);
    EXPECT_TRUE(handheld.Air().TransmitterOn());
    chip.Write(kGpioBase + kPortHData, 0x00, 4);
    EXPECT_FALSE(handheld.Air().TransmitterOn());

    RemoteWaveform wave;
    wave.durations = {1000};
    handheld.Air().Play(wave, handheld.Clock().Now());
    handheld.Clock().Advance(2000);                              // inside the first pulse
    EXPECT_EQ(chip.Read(kGpioBase + kPortHData, 4) & 0x80, 0u);  // latch, not the pin
    chip.Write(kGpioBase + kPortHData, 0x80, 4);
    EXPECT_EQ(chip.Read(kGpioBase + kPortHData, 4) & 0x80, 0x80u);
    chip.Write(kGpioBase + kPortHControl, 0xAAAA & ~0xC000u, 4);  // GPH7 an input
    EXPECT_EQ(chip.Read(kGpioBase + kPortHData, 4) & 0x80, 0u);   // a pulse arrives
    handheld.Clock().Advance(20000);
    EXPECT_EQ(chip.Read(kGpioBase + kPortHData, 4) & 0x80, 0x80u);
}

TEST(S3cUart, TheIrdaPortSwitchesTheIrUartIntoInfraredMode) {
    SimHandheld handheld(*FindSimProfile("s3c2440"));
    const SerialHandle port = handheld.OpenSerialPort("COM3:");
    handheld.SetSerialIrMode(port, true);
    EXPECT_EQ(handheld.Chip().Peek(kUartBases[2] + kUartLineControl, 4), 0x43u);
    EXPECT_EQ(handheld.Chip().Peek(kUartBases[0] + kUartLineControl, 4), 0x03u);
    handheld.SetSerialIrMode(port, false);
    EXPECT_EQ(handheld.Chip().Peek(kUartBases[2] + kUartLineControl, 4), 0x03u);
    handheld.CloseSerialPort(port);
}

TEST(S3cChip, AccessesTheChipRefusesAreGuestErrors) {
    SimHandheld handheld(*FindSimProfile("s3c2410"));
    RegisterBlock* pwm = handheld.MapPage(kPwmBase, true);
    pwm->Write16(kTimerControl, 0x1000);
    EXPECT_EQ(pwm->Read8(kTimers[0].countObservation), 0u);
    pwm->Write32(kTimers[0].countObservation, 5);
    EXPECT_EQ(pwm->Read32(kTimerControl), SimS3c2410Config().timerControl);
    EXPECT_EQ(handheld.GuestErrors().size(), 3u);
    handheld.UnmapPage(pwm);
}

}  // namespace
