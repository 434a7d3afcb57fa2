// The GPIO drivers of the PXA25x/26x, PXA27x and SA-11x0 on their simulated chips: what the
// emitter sent, what the capture found, and the registers and scheduling values they leave.
#include "ir/CGpioIrDriver.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/ctl/Durations.h"
#include "app/ctl/SimRun.h"
#include "ir/IrFactory.h"
#include "ir/IrResult.h"
#include "platform/sim/SimHandheld.h"

namespace {

constexpr uint64_t kMs = 1000000;  // virtual nanoseconds

struct Family {
    const char* profile;
    bool pxa;
    uint64_t timerHertz;
    uint32_t timerPage;
    uint32_t maskAddress;
    std::vector<std::pair<uint32_t, int>> pinRegisters;  // address and width
};

const Family kPxa255 = {"pxa255",   true,       3686400,
                        0x40A00000, 0x40D00004, {{0x40E00010, 4}, {0x40E0005C, 4}}};
const Family kPxa27x = {"pxa27x",   true,       3250000,
                        0x40A00000, 0x40D00004, {{0x40E00010, 4}, {0x40E0005C, 4}}};
const Family kSa1110 = {"sa1110",   false,      3686400,
                        0x90000000, 0x90050004, {{0x90060000, 4}, {0x80030000, 1}}};

std::unique_ptr<CIrDriver> MakeDriver(SimHandheld& handheld) {
    std::unique_ptr<CIrDriver> driver(CreateIrDriver(handheld.Profile().family, handheld));
    if (driver) {
        driver->SetPortName(SimIrPortName(handheld.Profile()));
    }
    return driver;
}

uint64_t TickAt(uint64_t time, uint64_t hertz) {
    return time / SimClock::kSecond * hertz + time % SimClock::kSecond * hertz / SimClock::kSecond;
}

// The interrupt mask in force at `time`.
uint32_t MaskAt(const SimChip& chip, uint32_t initial, uint64_t time) {
    uint32_t mask = initial;
    for (const SimChip::MaskChange& change : chip.MaskHistory()) {
        if (change.time <= time) {
            mask = change.mask;
        }
    }
    return mask;
}

std::vector<int32_t> Fixture(const std::string& path) {
    std::vector<int32_t> durations;
    std::string error;
    std::istringstream none;
    EXPECT_TRUE(ReadDurationsFrom(path, none, durations, error)) << error;
    return durations;
}

// ---------------------------------------------------------------------------------------
// A 500 us mark at 26 us: 19 carrier cycles spread evenly over the 500 us on the chip's own
// timer, each on for half its length; the interrupts that stay on meanwhile.

struct MarkCase {
    const char* name;
    Family family;
    uint32_t maskKeep;  // the boot mask is ANDed with this during the mark
    bool acrossWrap;    // the timer counter wraps during the mark
};

class MarkCycles : public ::testing::TestWithParam<MarkCase> {};

TEST_P(MarkCycles, SpreadEvenlyOverTheMark) {
    const MarkCase& c = GetParam();
    SimHandheld handheld(*FindSimProfile(c.family.profile));
    std::unique_ptr<CIrDriver> driver = MakeDriver(handheld);
    const int32_t signal[] = {500, -1000};
    ASSERT_EQ(driver->LoadSignal(signal, 2, 0, 26), kIrOk);
    const uint32_t bootMask = handheld.Chip().Peek(c.family.maskAddress, 4);
    if (c.acrossWrap) {
        // 100 ms of sleep pass before the mark: set the counter to wrap 60 ticks into it.
        ScopedMapping timer(handheld, c.family.timerPage, true);
        const uint32_t sleepTicks = static_cast<uint32_t>(c.family.timerHertz / 10);
        timer->Write32(0x10, 0u - sleepTicks - 60);
    }

    ASSERT_EQ(driver->Send(1), kIrOk);
    const auto& edges = handheld.Air().Emissions();
    ASSERT_EQ(edges.size(), 38u);
    const double cycleTicks = 500e-6 * static_cast<double>(c.family.timerHertz) / 19;
    // From the second cycle on: the first starts late by the set-up after the timer was read.
    const uint64_t second = TickAt(edges[2].first, c.family.timerHertz);
    for (size_t k = 2; k < edges.size(); k += 2) {
        ASSERT_TRUE(edges[k].second);
        const uint64_t rise = TickAt(edges[k].first, c.family.timerHertz);
        const uint64_t fall = TickAt(edges[k + 1].first, c.family.timerHertz);
        // Each edge within a tick of its place: no error adds up over the mark.
        EXPECT_NEAR(double(rise - second), cycleTicks * double(k / 2 - 1), 1.0)
            << "cycle " << k / 2;
        EXPECT_NEAR(double(fall - rise), cycleTicks / 2, 1.0) << "cycle " << k / 2;
        EXPECT_EQ(MaskAt(handheld.Chip(), bootMask, edges[k].first), bootMask & c.maskKeep);
    }
    EXPECT_EQ(handheld.Chip().Peek(c.family.maskAddress, 4), bootMask);
    EXPECT_TRUE(handheld.GuestErrors().empty());
}

INSTANTIATE_TEST_SUITE_P(Families, MarkCycles,
                         ::testing::Values(MarkCase{"Pxa25x", kPxa255, 0x3C000000, false},
                                           MarkCase{"Pxa25xAcrossTheWrap", kPxa255, 0x3C000000,
                                                    true},
                                           MarkCase{"Pxa27x", kPxa27x, 0, false},
                                           MarkCase{"Pxa27xAcrossTheWrap", kPxa27x, 0, true},
                                           MarkCase{"Sa11x0", kSa1110, 0xFFFFFFFF, false}),
                         [](const auto& info) { return info.param.name; });

// ---------------------------------------------------------------------------------------
// Sending, per family.

class GpioSend : public ::testing::TestWithParam<Family> {};

// A mark shorter than one carrier period has no cycle to send, but the signal after it
// keeps its place.
TEST_P(GpioSend, MarkShorterThanAPeriodEmitsNothingButKeepsItsPlace) {
    auto firstRise = [&](std::vector<int32_t> signal, size_t& rises) {
        SimHandheld handheld(*FindSimProfile(GetParam().profile));
        std::unique_ptr<CIrDriver> driver = MakeDriver(handheld);
        EXPECT_EQ(driver->LoadSignal(signal.data(), static_cast<uint8_t>(signal.size()), 0, 26),
                  kIrOk);
        EXPECT_EQ(driver->Send(1), kIrOk);
        rises = handheld.Air().Emissions().size() / 2;
        return handheld.Air().Emissions().empty() ? 0 : handheld.Air().Emissions()[0].first;
    };
    size_t withShort = 0, without = 0;
    const uint64_t a = firstRise({25, -1000, 52}, withShort);
    const uint64_t b = firstRise({-1025, 52}, without);
    EXPECT_EQ(withShort, 2u);
    EXPECT_EQ(without, 2u);
    EXPECT_NEAR(double(a), double(b), 300.0);  // the polling's latency
}

TEST_P(GpioSend, SpaceLongerThanTheCounterArithmeticAllows) {
    // 2 s of pause is more than 2^32 / 1000 ticks: the tick count must not wrap.
    SimHandheld handheld(*FindSimProfile(GetParam().profile));
    handheld.Clock().SetRegisterReadCost(1000);  // coarser polling: a shorter run
    std::unique_ptr<CIrDriver> driver = MakeDriver(handheld);
    const int32_t signal[] = {520, -2000000, 520};
    ASSERT_EQ(driver->LoadSignal(signal, 3, 0, 26), kIrOk);
    ASSERT_EQ(driver->Send(1), kIrOk);
    const Demodulated emitted = handheld.Air().Demodulate();
    ASSERT_EQ(emitted.durations.size(), 3u);
    EXPECT_NEAR(emitted.durations[1], -2000000, 2000000 * 0.00012 + 3);
}

TEST_P(GpioSend, NoIrUartIs303OnPxaOnly) {
    SimProfile profile = *FindSimProfile(GetParam().profile);
    profile.irUartIndex = 0;
    SimHandheld handheld(profile);
    handheld.Clock().SetSystemCallCost(20000);  // the SA-11x0 polls 20 s for nothing
    std::unique_ptr<CIrDriver> driver = MakeDriver(handheld);
    const int32_t signal[] = {520, -1000, 520};
    ASSERT_EQ(driver->LoadSignal(signal, 3, 0, 26), kIrOk);
    EXPECT_EQ(driver->Send(1), GetParam().pxa ? kIrNoIrUart : kIrOk);
    EXPECT_EQ(driver->Capture(), GetParam().pxa ? kIrNoIrUart : kIrNoSignal);
}

INSTANTIATE_TEST_SUITE_P(Families, GpioSend, ::testing::Values(kPxa255, kPxa27x, kSa1110),
                         [](const auto& info) { return std::string(info.param.profile); });

// ---------------------------------------------------------------------------------------
// Capturing, per family.

class GpioCapture : public ::testing::TestWithParam<Family> {
  protected:
    GpioCapture() : handheld(*FindSimProfile(GetParam().profile)), driver(MakeDriver(handheld)) {}

    int Learn(std::vector<int32_t> durations, uint32_t carrierHz, uint32_t delayMs = 5) {
        RemoteWaveform wave;
        wave.durations = std::move(durations);
        wave.carrierHz = carrierHz;
        wave.delayNs = delayMs * kMs;
        handheld.Air().Play(wave, handheld.Clock().Now());
        return driver->Capture();
    }
    std::vector<int32_t> Learnt() {
        std::vector<int32_t> durations;
        uint16_t count, frameStart;
        uint8_t carrier;
        driver->GetSignal(durations, count, frameStart, carrier);
        return durations;
    }

    SimHandheld handheld;
    std::unique_ptr<CIrDriver> driver;
};

// A mark runs from the first to the last pulse of its burst; the silence that ended the
// capture stays as a pause after it (here the shortest such pause, as the signal has none).
TEST_P(GpioCapture, MarkRunsFromFirstToLastPulseAndTheSilenceStays) {
    const uint32_t bootMask = handheld.Chip().Peek(GetParam().maskAddress, 4);
    ASSERT_EQ(Learn({520}, 38461), kIrOk);      // 20 pulses, 26 us apart
    EXPECT_EQ(driver->Signal().frameStart, 2);  // no repeating frame
    const std::vector<int32_t> learnt = Learnt();
    ASSERT_EQ(learnt.size(), 2u);
    EXPECT_NEAR(learnt[0], 19 * 26, 1);
    EXPECT_EQ(learnt[1], -20000);
    EXPECT_NEAR(driver->Signal().carrierPeriod, 26, 1);
    // Interrupts: all but OS timer match 0 off from the first edge on (PXA), untouched (SA).
    const auto& masks = handheld.Chip().MaskHistory();
    if (GetParam().pxa) {
        ASSERT_EQ(masks.size(), 2u);
        EXPECT_EQ(masks[0].mask, bootMask & 0x04000000);
        EXPECT_EQ(masks[1].mask, bootMask);
    } else {
        EXPECT_TRUE(masks.empty());
    }
}

TEST_P(GpioCapture, TheThirdLongPauseEndsARepeatingPress) {
    ASSERT_EQ(Learn({500, -30000, 1000, -30000, 1000, -30000, 1000, -30000, 500}, 38000), kIrOk);
    const std::vector<int32_t>& heard = driver->LastCaptureHeard();
    ASSERT_EQ(heard.size(), 6u);
    for (size_t k = 1; k < 6; k += 2) {
        EXPECT_NEAR(heard[k], -30000, 26 + 6) << k;  // a carrier period and the tick rate
    }
    EXPECT_NEAR(heard[4], 1000, 27);
}

// Pauses inside one frame that does not repeat (an air conditioner's blocks): the press is
// read whole, to the silence after it.
TEST_P(GpioCapture, PausesInsideAFrameDoNotEndThePress) {
    ASSERT_EQ(Learn({500, -30000, 1000, -30000, 2000, -30000, 4000, -30000, 500}, 38000), kIrOk);
    const std::vector<int32_t> learnt = Learnt();
    ASSERT_EQ(learnt.size(), 10u);  // no repeating frame: all of it, and the silence after it
    for (size_t k = 1; k < 8; k += 2) {
        EXPECT_NEAR(learnt[k], -30000, 26 + 6) << k;
    }
    EXPECT_NEAR(learnt[6], 4000, 27);
    EXPECT_LT(learnt[9], -20000);
}

TEST_P(GpioCapture, CarrierWithoutPauseEndsAsOverLongMark) {
    handheld.Clock().SetRegisterReadCost(500);  // coarser polling: a shorter run
    ASSERT_EQ(Learn({2000000}, 38000), kIrMarkTooLong);
    EXPECT_LT(handheld.Clock().Now(), 1000 * kMs);  // did not wait for the end of the carrier
}

INSTANTIATE_TEST_SUITE_P(Families, GpioCapture, ::testing::Values(kPxa255, kPxa27x, kSa1110),
                         [](const auto& info) { return std::string(info.param.profile); });

// ---------------------------------------------------------------------------------------
// Round trips: a remote's signal learnt and sent back.

struct RoundTripCase {
    const char* name;
    const char* profile;
    const char* file;  // below the source tree
    uint32_t carrierHz;
    uint8_t carrierUs;   // as learnt
    uint8_t frameStart;  // as the analysis finds it
    size_t count;
    uint16_t repeat;
};

class RoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(RoundTrip, SentBackAsLearnt) {
    const RoundTripCase& c = GetParam();
    RemoteWaveform wave;
    wave.durations = Fixture(std::string(ARDEL_TEST_DATA) + "/../../" + c.file);
    wave.carrierHz = c.carrierHz;
    wave.delayNs = 500 * kMs;
    SimHandheld learner(*FindSimProfile(c.profile));
    const SimLearnOutcome learnt = SimLearn(learner, wave);
    ASSERT_EQ(learnt.result, kIrOk);
    // Four periods of a 40 kHz carrier are 368.6 ticks at 3.6864 MHz: 24 or 25 us, as the
    // polling meets the edges.
    EXPECT_NEAR(learnt.carrierPeriod, c.carrierUs, c.carrierHz == 40000 ? 1 : 0);
    EXPECT_EQ(learnt.frameStart, c.frameStart);
    ASSERT_EQ(learnt.durations.size(), c.count);

    SimHandheld sender(*FindSimProfile(c.profile));
    SimSendRequest request;
    request.durations = learnt.durations;
    request.carrierPeriod = learnt.carrierPeriod;
    request.frameStart = learnt.frameStart;
    request.repeat = c.repeat;
    const SimSendOutcome sent = SimSend(sender, request);
    ASSERT_EQ(sent.result, kIrOk);
    ASSERT_EQ(sent.passes, c.repeat);

    std::vector<int32_t> expected = learnt.durations;
    for (int pass = 1; pass < c.repeat; ++pass) {
        expected.insert(expected.end(), learnt.durations.begin() + c.frameStart,
                        learnt.durations.end());
    }
    if (expected.back() < 0) {
        expected.pop_back();  // a trailing pause leaves nothing to see
    }
    ASSERT_EQ(sent.emitted.durations.size(), expected.size());
    // Marks are whole carrier cycles spread over the mark, so they stay within one period;
    // pauses are timed to the tick.
    const double periodUs = sent.emitted.carrierPeriodNs / 1000.0;
    for (size_t k = 0; k < expected.size(); ++k) {
        if (expected[k] > 0) {
            EXPECT_NEAR(sent.emitted.durations[k], expected[k], periodUs) << k;
        } else {
            EXPECT_NEAR(sent.emitted.durations[k], expected[k], 2) << k;
        }
    }
}

constexpr const char* kNec = "tests/ir/fixtures/nec-held.txt";
constexpr const char* kTv = "resources/captures/tv-power-held.txt";

INSTANTIATE_TEST_SUITE_P(Families, RoundTrip,
                         ::testing::Values(
                             // The NEC repeat frame never shows five entries past its second start
                             // before the capture falls silent: no repeating frame, the whole
                             // capture and the silence after it are the signal.
                             RoundTripCase{"NecOnPxa250", "pxa250", kNec, 38000, 26, 0, 76, 1},
                             RoundTripCase{"NecOnPxa255", "pxa255", kNec, 38000, 26, 0, 76, 1},
                             RoundTripCase{"NecOnPxa26x", "pxa26x", kNec, 38000, 26, 0, 76, 1},
                             RoundTripCase{"NecOnPxa27x", "pxa27x", kNec, 38000, 26, 0, 76, 1},
                             RoundTripCase{"NecOnSa1110", "sa1110", kNec, 38000, 26, 0, 76, 1},
                             // Three equal frames: one frame and its pause, sent three times.
                             RoundTripCase{"TvOnPxa255", "pxa255", kTv, 40000, 25, 0, 26, 3},
                             RoundTripCase{"TvOnPxa27x", "pxa27x", kTv, 40000, 25, 0, 26, 3},
                             RoundTripCase{"TvOnSa1110", "sa1110", kTv, 40000, 25, 0, 26, 3}),
                         [](const auto& info) { return info.param.name; });

// ---------------------------------------------------------------------------------------
// Every way out of Send and Capture leaves pins, interrupt mask and scheduling as found.

enum class Setup {
    NotMapped,
    NoScheduling,
    NoIrUart,
    NoCarrier,
    Silence,
    SlowCarrier,
    EndlessMark,
    Normal
};

struct ExitCase {
    const char* name;
    bool capture;
    Setup setup;
    int pxaResult, saResult;
};

class ExitPaths : public ::testing::TestWithParam<std::tuple<ExitCase, Family>> {};

TEST_P(ExitPaths, LeaveEverythingAsFound) {
    const auto& [c, family] = GetParam();
    SimProfile profile = *FindSimProfile(family.profile);
    if (c.setup == Setup::NoIrUart) {
        profile.irUartIndex = 0;
    }
    SimHandheld handheld(profile);
    handheld.SetThreadValues(130, c.setup == Setup::NoScheduling && c.capture ? 0 : 25);
    if (c.setup == Setup::NotMapped) {
        handheld.FailMapping(family.timerPage);
    }
    std::unique_ptr<CIrDriver> driver = MakeDriver(handheld);
    const int32_t signal[] = {1000, -1000, 1000};
    if (!c.capture && c.setup != Setup::NoScheduling) {
        const uint8_t carrier = c.setup == Setup::NoCarrier ? 0 : 26;
        driver->LoadSignal(signal, 3, 0, carrier);
        driver->OpenPort();
    }

    RemoteWaveform wave;
    wave.durations = {1000, -1000, 1000};
    wave.delayNs = 10 * kMs;
    if (c.setup == Setup::SlowCarrier) {
        wave.carrierHz = 9000;
    } else if (c.setup == Setup::EndlessMark) {
        wave.durations = {2000000};
        handheld.Clock().SetRegisterReadCost(500);  // coarser polling: a shorter run
    }
    if (c.setup != Setup::Silence) {
        handheld.Air().Play(wave, handheld.Clock().Now());
    } else {
        handheld.Clock().SetSystemCallCost(20000);  // 20 s of polling in fewer steps
    }

    std::vector<uint32_t> pins;
    for (const auto& [address, width] : family.pinRegisters) {
        pins.push_back(handheld.Chip().Peek(address, width));
    }
    const uint32_t mask = handheld.Chip().Peek(family.maskAddress, 4);
    const int32_t priority = handheld.ThreadPriority();
    const uint32_t quantum = handheld.ThreadQuantum();

    const int result = c.capture ? driver->Capture() : driver->Send(1);
    EXPECT_EQ(result, family.pxa ? c.pxaResult : c.saResult);
    for (size_t k = 0; k < pins.size(); ++k) {
        const auto& [address, width] = family.pinRegisters[k];
        if (c.capture && width == 1) {
            continue;  // the serial port's own infrared switch, not the driver's pins
        }
        EXPECT_EQ(handheld.Chip().Peek(address, width), pins[k]) << std::hex << address;
    }
    EXPECT_EQ(handheld.Chip().Peek(family.maskAddress, 4), mask);
    EXPECT_EQ(handheld.ThreadPriority(), priority);
    EXPECT_EQ(handheld.ThreadQuantum(), quantum);
    EXPECT_FALSE(handheld.Air().TransmitterOn());
    EXPECT_TRUE(handheld.GuestErrors().empty());

    // Once under way: the outer value at its most urgent first, then the inner value of the
    // bursts (1 on the PXA, 0 on the SA-11x0, whose send also lights the LED meanwhile).
    const auto& log = handheld.SchedulingLog();
    const bool underWay = c.setup == Setup::Normal || c.setup == Setup::Silence ||
                          c.setup == Setup::SlowCarrier || c.setup == Setup::EndlessMark ||
                          (c.setup == Setup::NoIrUart && !family.pxa);
    if (underWay) {
        ASSERT_GE(log.size(), 2u);
        EXPECT_TRUE(log[0].priority && log[0].value == 0);
        EXPECT_TRUE(!log[1].priority && log[1].value == (family.pxa ? 1 : 0));
    } else {
        EXPECT_TRUE(log.empty());
    }
    const auto& calls = handheld.SystemCalls();
    if (!family.pxa && !c.capture && underWay) {
        ASSERT_EQ(calls.size(), 2u);
        EXPECT_TRUE(calls[0].selector == 2 && calls[0].word0 == 0 && calls[0].word1 == 1);
        EXPECT_TRUE(calls[1].selector == 2 && calls[1].word0 == 0 && calls[1].word1 == 0);
    } else {
        EXPECT_TRUE(calls.empty());
    }
}

const ExitCase kExitCases[] = {
    {"SendNotMapped", false, Setup::NotMapped, kIrNotMapped, kIrNotMapped},
    {"SendBeforeOpen", false, Setup::NoScheduling, kIrNoScheduling, kIrNoScheduling},
    {"SendNoIrUart", false, Setup::NoIrUart, kIrNoIrUart, kIrOk},
    {"SendNoCarrier", false, Setup::NoCarrier, kIrNoCarrier, kIrNoCarrier},
    {"SendDone", false, Setup::Normal, kIrOk, kIrOk},
    {"CaptureNotMapped", true, Setup::NotMapped, kIrNotMapped, kIrNotMapped},
    {"CaptureNoScheduling", true, Setup::NoScheduling, kIrNoScheduling, kIrNoScheduling},
    {"CaptureNoIrUart", true, Setup::NoIrUart, kIrNoIrUart, kIrOk},
    {"CaptureSilence", true, Setup::Silence, kIrNoSignal, kIrNoSignal},
    {"CaptureSlowCarrier", true, Setup::SlowCarrier, kIrCarrierTooLong, kIrCarrierTooLong},
    {"CaptureEndlessMark", true, Setup::EndlessMark, kIrMarkTooLong, kIrMarkTooLong},
    {"CaptureDone", true, Setup::Normal, kIrOk, kIrOk},
};

INSTANTIATE_TEST_SUITE_P(Families, ExitPaths,
                         ::testing::Combine(::testing::ValuesIn(kExitCases),
                                            ::testing::Values(kPxa255, kPxa27x, kSa1110)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) + "On" +
                                    std::get<1>(info.param).profile;
                         });

}  // namespace
