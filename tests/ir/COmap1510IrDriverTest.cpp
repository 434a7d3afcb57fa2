#include "ir/COmap1510IrDriver.h"

#include <gtest/gtest.h>

#include <vector>

#include "ir/IrResult.h"
#include "platform/sim/SimHandheld.h"
#include "platform/sim/SimOmap1510.h"

namespace {

using namespace omap;

// UART 3, the timer and the configuration registers, and the thread's scheduling values.
struct Snapshot {
    SimOmap1510::UartState uart;
    uint32_t pinMux, moduleConfig, timerControl, timerLoad;
    int32_t priority;
    uint32_t quantum;
    bool operator==(const Snapshot&) const = default;
};

class OmapDriver {
  public:
    OmapDriver() : OmapDriver(*FindSimProfile("omap1510")) {}
    // `failingPage`: a page that does not map (0: none).
    explicit OmapDriver(const SimProfile& profile, uint32_t failingPage = 0)
        : handheld(profile), driver(FailingMapping(handheld, failingPage)) {
        driver.SetPortName("COM3:");
        handheld.SetThreadValues(180, 40);
        // Timer 3 as some other user left it.
        Chip().Poke(kTimer3 + kTimerLoad, 0x1234, 4);
        Chip().Poke(kTimer3 + kTimerControl, 0x28, 4);
    }

    static SimHandheld& FailingMapping(SimHandheld& handheld, uint32_t page) {
        if (page != 0) {
            handheld.FailMapping(page);
        }
        return handheld;
    }
    SimOmap1510& Chip() { return static_cast<SimOmap1510&>(handheld.Chip()); }
    Snapshot Take() {
        return {Chip().Uart(),
                Chip().Peek(kConfigPage + kPinMux, 4),
                Chip().Peek(kConfigPage + kModuleConfig, 4),
                Chip().Peek(kTimer3 + kTimerControl, 4),
                Chip().Peek(kTimer3 + kTimerLoad, 4),
                handheld.ThreadPriority(),
                handheld.ThreadQuantum()};
    }

    int Load(const std::vector<int32_t>& durations, uint8_t carrier = 26) {
        driver.ClosePort();
        const int result =
            driver.LoadSignal(durations.data(), static_cast<uint8_t>(durations.size()), 0, carrier);
        handheld.Air().ClearEmissions();
        return result;
    }

    void Play(const std::vector<int32_t>& durations, uint32_t carrierHz = 38000) {
        RemoteWaveform wave;
        wave.durations = durations;
        wave.carrierHz = carrierHz;
        wave.delayNs = 20000000;
        handheld.Air().Play(wave, handheld.Clock().Now());
    }

    std::vector<int32_t> Learnt() {
        std::vector<int32_t> durations;
        uint16_t count, frameStart;
        uint8_t carrier;
        driver.GetSignal(durations, count, frameStart, carrier);
        return durations;
    }

    SimHandheld handheld;
    COmap1510IrDriver driver;
};

// --- Loading ---

struct DivisorCase {
    uint8_t period;
    uint32_t divisor;
};

class OmapDivisor : public ::testing::TestWithParam<DivisorCase> {};

// The UART's bit time is divisor / 3 microseconds, so the emitted carrier period is two
// bit times. The mark is thirty such periods long: the driver puts a mark's last pulse one
// period before its end, off the UART's own grid unless the mark is whole periods long.
TEST_P(OmapDivisor, SetsTheUartsBitTime) {
    OmapDriver omap;
    const int32_t mark = 20 * static_cast<int32_t>(GetParam().divisor);
    ASSERT_EQ(omap.Load({mark}, GetParam().period), kIrOk);
    EXPECT_EQ(omap.Chip().Divisor(), GetParam().divisor);
    ASSERT_EQ(omap.driver.Send(1), kIrOk);
    const Demodulated emitted = omap.handheld.Air().Demodulate();
    EXPECT_NEAR(emitted.carrierPeriodNs, GetParam().divisor * 2000.0 / 3, 150);
    ASSERT_EQ(emitted.durations.size(), 1u);
    EXPECT_NEAR(emitted.durations[0], mark, 1);
}

INSTANTIATE_TEST_SUITE_P(Periods, OmapDivisor,
                         ::testing::Values(DivisorCase{26, 39}, DivisorCase{5, 17},
                                           DivisorCase{10, 17}, DivisorCase{11, 17},
                                           DivisorCase{55, 79}, DivisorCase{100, 144},
                                           DivisorCase{200, 144}),
                         [](const auto& info) {
                             return "Period" + std::to_string(info.param.period);
                         });

// The driver's timer ticks never leave it: a loaded signal reads back as it was given.
TEST(OmapLoad, HoldsTheSignalInMicroseconds) {
    OmapDriver omap;
    ASSERT_EQ(omap.Load({1000, -560, 1}), kIrOk);
    EXPECT_EQ(omap.Learnt(), (std::vector<int32_t>{1000, -560, 1}));
}

TEST(OmapLoad, ClosePortWithoutALoadTouchesNoRegister) {
    OmapDriver omap;
    const uint64_t writes = omap.Chip().Writes();
    omap.driver.ClosePort();
    ASSERT_EQ(omap.driver.OpenPort(), kIrOk);
    omap.driver.ClosePort();
    EXPECT_EQ(omap.Chip().Writes(), writes);
}

// The configuration to go back to is the system's, however the loads and captures in
// between were ordered.
TEST(OmapLoad, ClosePortRestoresTheSystemsConfiguration) {
    OmapDriver omap;
    const Snapshot system = omap.Take();
    ASSERT_EQ(omap.Load({1000, -500, 1000}), kIrOk);
    const int32_t other[] = {2000, -700, 600};
    ASSERT_EQ(omap.driver.LoadSignal(other, 3, 0, 38), kIrOk);  // a second load, no close
    EXPECT_EQ(omap.Chip().Divisor(), 56u);
    omap.Play({9000, -4500, 560});
    ASSERT_EQ(omap.driver.Capture(), kIrOk);  // closes the port
    EXPECT_EQ(omap.Take(), system);
    EXPECT_TRUE(omap.handheld.GuestErrors().empty());
}

TEST(OmapLoad, ErrorsComeAfterThePortOpened) {
    OmapDriver omap;
    EXPECT_EQ(omap.driver.LoadSignal(nullptr, 3, 0, 26), kIrNoDurations);
    EXPECT_TRUE(omap.driver.IsPortOpen());
    const int32_t signal[] = {500, -500};
    EXPECT_EQ(omap.driver.LoadSignal(signal, 2, 0, 0), kIrNoCarrier);
    omap.driver.SetPortName("");
    omap.driver.ClosePort();
    EXPECT_EQ(omap.driver.LoadSignal(signal, 2, 0, 26), kIrNoPortName);
}

// --- Sending ---

class OmapMarkPhase : public ::testing::TestWithParam<uint8_t> {};

// The UART's square wave rises once a period, but a mark's first and last pulse are placed
// where they belong: marks one microsecond apart over a whole carrier period, so that the
// last pulse meets every phase of the UART's bits (the ones right at a bit's edge too),
// come out as long as they were loaded, and so do the pauses between them.
TEST_P(OmapMarkPhase, MarksAndPausesKeepTheirLength) {
    const uint8_t carrier = GetParam();
    std::vector<int32_t> durations;
    for (int32_t extra = 0; extra <= carrier; ++extra) {
        durations.insert(durations.end(), {600 + extra, -700});
    }
    OmapDriver omap;
    ASSERT_EQ(omap.Load(durations, carrier), kIrOk);
    ASSERT_EQ(omap.driver.Send(1), kIrOk);
    const Demodulated emitted = omap.handheld.Air().Demodulate();
    durations.pop_back();  // no edge ends the last pause
    ASSERT_EQ(emitted.durations.size(), durations.size());
    for (size_t k = 0; k < durations.size(); ++k) {
        EXPECT_NEAR(emitted.durations[k], durations[k], 2) << "entry " << k;
    }
    EXPECT_TRUE(omap.handheld.GuestErrors().empty());
}

INSTANTIATE_TEST_SUITE_P(Carriers, OmapMarkPhase, ::testing::Values(18, 26, 28, 40, 72),
                         [](const auto& info) { return "Period" + std::to_string(info.param); });

// --- Capture ---

struct OverlongCase {
    const char* name;
    std::vector<int32_t> durations;
    uint32_t carrierHz;
};

class OmapOverlong : public ::testing::TestWithParam<OverlongCase> {};

TEST_P(OmapOverlong, Is6AfterTheCleanUp) {
    OmapDriver omap;
    const Snapshot before = omap.Take();
    omap.Play(GetParam().durations, GetParam().carrierHz);
    EXPECT_EQ(omap.driver.Capture(), kIrMarkTooLong);
    EXPECT_EQ(omap.Take(), before);
    EXPECT_FALSE(omap.driver.IsPortOpen());
}

INSTANTIATE_TEST_SUITE_P(
    Signals, OmapOverlong,
    ::testing::Values(OverlongCase{"FirstMarkOver800ms", {820000, -10000, 600}, 38000},
                      // A carrier that never stops ends the capture at 800 ms.
                      OverlongCase{"EndlessCarrier", {30000000}, 38000}),
    [](const auto& info) { return info.param.name; });

// --- Every exit puts back what it changed ---

struct ExitCase {
    const char* name;
    int result;
    bool capture;
    void (*arrange)(OmapDriver&);
};

class OmapExit : public ::testing::TestWithParam<ExitCase> {};

// Compared with the system's state once the port is closed again, as the callers close it
// after every send and capture: a send leaves the loaded UART in break until then.
TEST_P(OmapExit, RestoresRegistersAndScheduling) {
    OmapDriver omap(*FindSimProfile("omap1510"),
                    GetParam().result == kIrNotMapped ? kTimerPage : 0);
    Snapshot before = omap.Take();
    GetParam().arrange(omap);
    before.priority = omap.handheld.ThreadPriority();
    before.quantum = omap.handheld.ThreadQuantum();
    const int result = GetParam().capture ? omap.driver.Capture() : omap.driver.Send(1);
    EXPECT_EQ(result, GetParam().result);
    EXPECT_EQ(omap.handheld.ThreadPriority(), before.priority);
    EXPECT_EQ(omap.handheld.ThreadQuantum(), before.quantum);
    omap.driver.ClosePort();
    EXPECT_EQ(omap.Take(), before);
    EXPECT_TRUE(omap.handheld.GuestErrors().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Paths, OmapExit,
    ::testing::Values(ExitCase{"SendUnmapped", kIrNotMapped, false,
                               [](OmapDriver& omap) { omap.driver.OpenPort(); }},
                      ExitCase{"SendBeforeAnyOpen", kIrNoScheduling, false, [](OmapDriver&) {}},
                      ExitCase{"SendCarrier0", kIrNoCarrier, false,
                               [](OmapDriver& omap) {
                                   const int32_t signal[] = {900, -450};
                                   omap.driver.LoadSignal(signal, 2, 0, 0);
                               }},
                      ExitCase{"SendDone", kIrOk, false,
                               [](OmapDriver& omap) {
                                   omap.Load({900, -450, 560});
                               }},
                      ExitCase{"CaptureUnmapped", kIrNotMapped, true, [](OmapDriver&) {}},
                      ExitCase{"CaptureInnerValue0", kIrNoScheduling, true,
                               [](OmapDriver& omap) { omap.handheld.SetThreadValues(180, 0); }},
                      ExitCase{"CaptureNothing", kIrNoSignal, true, [](OmapDriver&) {}},
                      ExitCase{"CaptureDone", kIrOk, true,
                               [](OmapDriver& omap) {
                                   omap.Play({9000, -4500, 560});
                               }}),
    [](const auto& info) { return info.param.name; });

}  // namespace
