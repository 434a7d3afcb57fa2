#include "ir/CS3c24xxIrDriver.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "ir/IrResult.h"
#include "platform/sim/SimHandheld.h"
#include "platform/sim/SimS3c24xx.h"

namespace {

using namespace s3c;

// An S3C2410 handheld whose timers tick at 1.5859 MHz (prescaler 15): 1585 ticks per
// millisecond for the driver, a 26 us carrier is 41 ticks.
SimProfile FastTimerProfile() {
    SimProfile profile = *FindSimProfile("s3c2410");
    SimS3c24xxConfig config = SimS3c2410Config();
    config.prescaler1 = 15;
    profile.makeChip = SimS3c24xx::Maker(config);
    return profile;
}
constexpr double kFastHz = 50750000.0 / 16 / 2;

// The registers that a send or capture borrows, and the thread's scheduling values.
struct Snapshot {
    uint32_t portControl, timerControl, divider, mask, buffers[3];
    int32_t priority;
    uint32_t quantum;
    bool operator==(const Snapshot&) const = default;
};

Snapshot Take(SimHandheld& handheld) {
    SimChip& chip = handheld.Chip();
    return {chip.Peek(kGpioBase + kPortHControl, 4),
            chip.Peek(kPwmBase + kTimerControl, 4),
            chip.Peek(kPwmBase + kTimerConfig1, 4),
            chip.Peek(kInterruptBase + kInterruptMask, 4),
            {chip.Peek(kPwmBase + kTimers[0].countBuffer, 4),
             chip.Peek(kPwmBase + kTimers[1].countBuffer, 4),
             chip.Peek(kPwmBase + kTimers[2].countBuffer, 4)},
            handheld.ThreadPriority(),
            handheld.ThreadQuantum()};
}

class S3cDriver {
  public:
    // `failingPage`: a page that does not map (0: none).
    explicit S3cDriver(const SimProfile& profile, uint32_t failingPage = 0)
        : handheld(profile), driver(FailingMapping(handheld, failingPage)) {
        driver.SetPortName("COM3:");
    }
    static SimHandheld& FailingMapping(SimHandheld& handheld, uint32_t page) {
        if (page != 0) {
            handheld.FailMapping(page);
        }
        return handheld;
    }

    // Loads a signal and sends it once; the emitter's record starts with the send.
    int SendOnce(const std::vector<int32_t>& durations, uint8_t carrier = 26) {
        driver.ClosePort();
        const int loaded =
            driver.LoadSignal(durations.data(), static_cast<uint8_t>(durations.size()), 0, carrier);
        if (loaded != kIrOk) {
            return loaded;
        }
        handheld.Air().ClearEmissions();
        const int result = driver.Send(1);
        driver.ClosePort();
        return result;
    }

    int Learn(const std::vector<int32_t>& durations, uint32_t carrierHz = 38000) {
        RemoteWaveform wave;
        wave.durations = durations;
        wave.carrierHz = carrierHz;
        wave.delayNs = 50000000;
        handheld.Air().Play(wave, handheld.Clock().Now());
        const int result = driver.Capture();
        driver.ClosePort();
        return result;
    }

    SimHandheld handheld;
    CS3c24xxIrDriver driver;
};

// --- Emission ---

// 631 us at 26 us: 24 cycles spread over the mark, each on for half its length, every edge
// within a tick (and the polling) of its place.
TEST(S3cEmission, CyclesSpreadEvenlyOverTheMark) {
    S3cDriver s3c(FastTimerProfile());
    ASSERT_EQ(s3c.SendOnce({631}), kIrOk);
    const auto& edges = s3c.handheld.Air().Emissions();
    ASSERT_EQ(edges.size(), 48u);
    const double tick = 1e9 / kFastHz;
    const double cycle = 631000.0 / 24;
    // From the second cycle on: the first starts late by the set-up after the timer started.
    for (size_t k = 2; k < edges.size(); k += 2) {
        ASSERT_TRUE(edges[k].second);
        EXPECT_NEAR(double(edges[k].first - edges[2].first), cycle * double(k / 2 - 1), tick + 250)
            << k;
        EXPECT_NEAR(double(edges[k + 1].first - edges[k].first), cycle / 2, tick + 250) << k;
    }
}

struct SpaceCase {
    const char* name;
    int32_t firstMark;  // sets the count at which the space begins
    int32_t space;      // microseconds
};

class S3cLongSpace : public ::testing::TestWithParam<SpaceCase> {};

// Spaces beyond the 16-bit counter wait out whole reloads; whatever the count when the
// space begins, the pause lasts its full length.
TEST_P(S3cLongSpace, LastsItsLengthAcrossReloads) {
    S3cDriver s3c(FastTimerProfile());
    ASSERT_EQ(s3c.SendOnce({GetParam().firstMark, GetParam().space, 600}), kIrOk);
    const Demodulated emitted = s3c.handheld.Air().Demodulate();
    ASSERT_EQ(emitted.durations.size(), 3u);
    const double ticks = -double(GetParam().space) * 1585 / 1000;
    EXPECT_NEAR(-emitted.durations[1], ticks * 1e6 / kFastHz, 3.0);
}

INSTANTIATE_TEST_SUITE_P(Counts, S3cLongSpace,
                         ::testing::Values(SpaceCase{"From30000Over200000Ticks", 22427,
                                                     -126183},  // 3 reloads
                                           SpaceCase{"JustBeforeAReload", 41300, -126183},
                                           SpaceCase{"JustAfterAReload", 41400, -126183},
                                           SpaceCase{"ShorterThanTheCount", 600, -20000},
                                           SpaceCase{"BeyondTheCountWithinARange", 22427, -30000},
                                           SpaceCase{"ExactlyOneRange", 22427, -41347}),
                         [](const auto& info) { return info.param.name; });

TEST(S3cEmission, MarkShorterThanAPeriodEmitsNothing) {
    S3cDriver s3c(*FindSimProfile("s3c2440"));
    ASSERT_EQ(s3c.SendOnce({20, -1000, 520}), kIrOk);
    const Demodulated emitted = s3c.handheld.Air().Demodulate();
    ASSERT_EQ(emitted.durations.size(), 1u);
    EXPECT_NEAR(emitted.durations[0], 520, 26);
}

// A timer too slow to make the carrier at all (prescaler 255 on the 50 MHz PCLK: 97 ticks
// per millisecond, a 10 us carrier is no tick) is refused instead of dividing by zero.
TEST(S3cEmission, CarrierBelowOneTickIs12) {
    SimProfile profile = *FindSimProfile("s3c2440");
    SimS3c24xxConfig config = SimS3c2440Config();
    config.prescaler1 = 255;
    profile.makeChip = SimS3c24xx::Maker(config);
    S3cDriver s3c(profile);
    const Snapshot before = Take(s3c.handheld);
    EXPECT_EQ(s3c.SendOnce({500, -500, 500}, 10), kIrNoCarrier);
    EXPECT_TRUE(s3c.handheld.Air().Emissions().empty());
    EXPECT_EQ(Take(s3c.handheld), before);
}

// --- The borrowed timer ---

struct TimerCase {
    const char* name;
    uint32_t control;  // what the system runs
    int borrowed;      // index 0..2 for timers 2..4
};

class S3cChooseTimer : public ::testing::TestWithParam<TimerCase> {};

TEST_P(S3cChooseTimer, BorrowsAnIdleTimerAndHandsItBack) {
    S3cDriver s3c(*FindSimProfile("s3c2410"));
    SimChip& chip = s3c.handheld.Chip();
    chip.Write(kPwmBase + kTimerControl, GetParam().control, 4);
    chip.Write(kPwmBase + kTimerConfig1, 0x11100, 4);  // every timer at 1/4
    for (const TimerLayout& timer : kTimers) {
        chip.Write(kPwmBase + timer.countBuffer, 5000, 4);
    }
    const Snapshot before = Take(s3c.handheld);

    // Between passes, the borrowed timer is the one at 1/2 and running from 0xFFFF.
    int seen = -1;
    s3c.handheld.SetStylusSource([&] {
        for (int t = 0; t < 3; ++t) {
            if ((chip.Peek(kPwmBase + kTimerConfig1, 4) >> kTimers[t].dividerShift & 0xF) == 0) {
                seen = t;
            }
        }
        return false;
    });
    const int32_t signal[] = {600, -600, 600};
    ASSERT_EQ(s3c.driver.LoadSignal(signal, 3, 0, 26), kIrOk);
    s3c.handheld.Air().ClearEmissions();
    ASSERT_EQ(s3c.driver.Send(CIrDriver::kRepeatOnceThenHeld), kIrOk);
    s3c.driver.ClosePort();

    EXPECT_EQ(seen, GetParam().borrowed);
    EXPECT_EQ(s3c.handheld.Air().Demodulate().durations.size(), 3u);
    EXPECT_EQ(Take(s3c.handheld), before);
}

constexpr uint32_t kRun2 = 0x1000 | 0x8000, kRun3 = 0x10000 | 0x80000, kRun4 = 0x100000 | 0x400000;

INSTANTIATE_TEST_SUITE_P(Systems, S3cChooseTimer,
                         ::testing::Values(TimerCase{"AllIdle", 0, 0},
                                           TimerCase{"Timer4Running", kRun4, 0},
                                           TimerCase{"Timer2Running", kRun2, 1},
                                           TimerCase{"Timer2AutoReloadOnly", 0x8000, 1},
                                           TimerCase{"Timers2And3Running", kRun2 | kRun3, 2},
                                           TimerCase{"Timer3StartOnly", kRun2 | 0x10000, 2},
                                           TimerCase{"AllRunning", kRun2 | kRun3 | kRun4, 0}),
                         [](const auto& info) { return info.param.name; });

// --- Capture ---

struct CarrierCase {
    const char* name;
    bool fastTimer;
    uint32_t carrierHz;
    int result;
};

class S3cCarrierLimit : public ::testing::TestWithParam<CarrierCase> {};

// The limit is 100 microseconds whatever the timer's rate.
TEST_P(S3cCarrierLimit, IsCountedInMicroseconds) {
    S3cDriver s3c(GetParam().fastTimer ? FastTimerProfile() : *FindSimProfile("s3c2410"));
    const Snapshot before = Take(s3c.handheld);
    EXPECT_EQ(s3c.Learn({2000, -2000, 2000}, GetParam().carrierHz), GetParam().result);
    EXPECT_EQ(Take(s3c.handheld), before);
}

INSTANTIATE_TEST_SUITE_P(Rates, S3cCarrierLimit,
                         ::testing::Values(CarrierCase{"Fast71us", true, 14000, kIrOk},
                                           CarrierCase{"Slow71us", false, 14000, kIrOk},
                                           CarrierCase{"Fast111us", true, 9000, kIrCarrierTooLong},
                                           CarrierCase{"Slow111us", false, 9000,
                                                       kIrCarrierTooLong}),
                         [](const auto& info) { return info.param.name; });

// An edge that comes as the timer reloads is timed after the reload, not a whole counter
// range early (with this carrier, a reload falls on an edge of the 70th entry).
TEST(S3cCapture, EdgeAtAReloadIsTimedRight) {
    S3cDriver s3c(*FindSimProfile("s3c2410"));
    std::vector<int32_t> bursts;
    for (int k = 0; k < 40; ++k) {
        bursts.insert(bursts.end(), {20000, -600});
    }
    ASSERT_EQ(s3c.Learn(bursts, 36777), kIrOk);
    std::vector<int32_t> learnt;
    uint16_t count, frameStart;
    uint8_t carrier;
    s3c.driver.GetSignal(learnt, count, frameStart, carrier);
    ASSERT_GE(learnt.size(), 2u);
    for (size_t k = 0; k < learnt.size(); ++k) {
        EXPECT_NEAR(std::abs(learnt[k]), k % 2 ? 640 : 19970, 60) << k;
    }
}

// A carrier that never stops is a mark beyond the limit, not an empty success.
TEST(S3cCapture, EndlessCarrierIsAnOverlongMark) {
    S3cDriver s3c(*FindSimProfile("s3c2410"));
    EXPECT_EQ(s3c.Learn({3000000}), kIrMarkTooLong);
}

// --- Every exit puts back what it borrowed ---

struct ExitCase {
    const char* name;
    int result;
    bool capture;
    void (*arrange)(S3cDriver&);
};

class S3cExit : public ::testing::TestWithParam<ExitCase> {};

TEST_P(S3cExit, RestoresRegistersAndScheduling) {
    SimProfile profile = *FindSimProfile("s3c2410");
    if (GetParam().result == kIrNoIrUart) {
        profile.irUartIndex = 0;  // the IrDA port switches no UART
    }
    S3cDriver s3c(profile, GetParam().result == kIrNotMapped ? kInterruptBase : 0);
    s3c.handheld.SetThreadValues(180, 40);
    GetParam().arrange(s3c);
    const Snapshot before = Take(s3c.handheld);
    int result;
    if (GetParam().capture) {
        result = s3c.driver.Capture();
    } else {
        result = s3c.driver.Send(1);
    }
    EXPECT_EQ(result, GetParam().result);
    EXPECT_EQ(Take(s3c.handheld), before);
    EXPECT_TRUE(s3c.handheld.GuestErrors().empty());
}

void Load(S3cDriver& s3c) {
    const int32_t signal[] = {900, -450, 560};
    s3c.driver.LoadSignal(signal, 3, 0, 26);
}
void Play(S3cDriver& s3c, std::vector<int32_t> durations, uint32_t hz) {
    RemoteWaveform wave;
    wave.durations = std::move(durations);
    wave.carrierHz = hz;
    wave.delayNs = 10000000;
    s3c.handheld.Air().Play(wave, s3c.handheld.Clock().Now());
}

INSTANTIATE_TEST_SUITE_P(
    Paths, S3cExit,
    ::testing::Values(ExitCase{"SendUnmapped", kIrNotMapped, false, Load},
                      ExitCase{"SendBeforeAnyOpen", kIrNoScheduling, false, [](S3cDriver&) {}},
                      ExitCase{"SendWithoutIrUart", kIrNoIrUart, false, Load},
                      ExitCase{"SendCarrier0", kIrNoCarrier, false,
                               [](S3cDriver& s3c) {
                                   s3c.driver.OpenPort();  // no carrier was ever loaded
                                   const int32_t signal[] = {900, -450};
                                   s3c.driver.LoadSignal(signal, 2, 0, 0);
                               }},
                      ExitCase{"SendDone", kIrOk, false, Load},
                      ExitCase{"CaptureUnmapped", kIrNotMapped, true, [](S3cDriver&) {}},
                      ExitCase{"CaptureInnerValue0", kIrNoScheduling, true,
                               [](S3cDriver& s3c) { s3c.handheld.SetThreadValues(180, 0); }},
                      ExitCase{"CaptureWithoutIrUart", kIrNoIrUart, true, [](S3cDriver&) {}},
                      ExitCase{"CaptureNothing", kIrNoSignal, true, [](S3cDriver&) {}},
                      ExitCase{"CaptureSlowCarrier", kIrCarrierTooLong, true,
                               [](S3cDriver& s3c) { Play(s3c, {3000}, 8000); }},
                      ExitCase{"CaptureOverlongMark", kIrMarkTooLong, true,
                               [](S3cDriver& s3c) {
                                   Play(s3c, {850000, -200000, 500}, 38000);
                               }},
                      ExitCase{"CaptureDone", kIrOk, true,
                               [](S3cDriver& s3c) {
                                   Play(s3c, {9000, -4500, 560}, 38000);
                               }}),
    [](const auto& info) { return info.param.name; });

}  // namespace
