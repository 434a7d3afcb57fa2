#include "ir/CLircIrDriver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <numeric>

#include "ir/IrResult.h"
#include "platform/sim/SimRemotes.h"
#include "tests/ir/LircTestBench.h"
#include "tests/ir/LongSignals.h"

namespace {

// Everything the transmitter was given, one value per entry, marks positive.
std::vector<int32_t> Flatten(const std::vector<FuseLircWrite>& writes) {
    std::vector<int32_t> all;
    for (const FuseLircWrite& write : writes) {
        for (size_t k = 0; k < write.values.size(); ++k) {
            all.push_back(k % 2 == 0 ? static_cast<int32_t>(write.values[k])
                                     : -static_cast<int32_t>(write.values[k]));
        }
    }
    return all;
}

std::vector<int32_t> Learnt(CLircIrDriver& driver) {
    const IrSignal& signal = driver.Signal();
    return std::vector<int32_t>(signal.durations, signal.durations + signal.count);
}

// --- Learning a sample remote and sending it back --------------------------------------

struct RoundTripCase {
    const char* category;  // a sample remote's, or none for an air conditioner's press
    const char* button;
};

class LircRoundTrip : public testing::TestWithParam<RoundTripCase> {};

TEST_P(LircRoundTrip, LearntSignalComesBackAsTheRemoteSentIt) {
    LircTestBench bench(ReceiverOnly(), TransmitterOnly());
    LIRC_BENCH_OR_SKIP(bench);
    RemoteWaveform wave;
    uint32_t carrierHz = 38000;
    if (GetParam().category) {
        const SimRemote* remote = FindSimRemote(GetParam().category);
        ASSERT_NE(remote, nullptr);
        wave = remote->Press(GetParam().button, 400);
        carrierHz = remote->CarrierHz();
    } else {
        wave.durations = AirConditionerPress();
    }
    ASSERT_FALSE(wave.durations.empty());
    bench.receiverDevice.Press({wave.durations, carrierHz});

    ASSERT_EQ(bench.driver.Capture(), kIrOk);
    const IrSignal& signal = bench.driver.Signal();
    EXPECT_EQ(signal.carrierPeriod, (1000000 + carrierHz / 2) / carrierHz);
    if (!GetParam().category) {
        EXPECT_EQ(signal.count, 600);  // the whole frame, found on its repetition
        EXPECT_EQ(signal.frameStart, 0);
    }
    // The receiver's 100 us bias is taken off again; what is left is its 50 us rounding.
    EXPECT_NEAR(bench.driver.LastReceiverBiasUs(), 100, 25);
    ASSERT_GE(signal.count, 3);
    for (int k = 0; k + 1 < signal.count; ++k) {
        EXPECT_NEAR(signal.durations[k], wave.durations[static_cast<size_t>(k)], 50)
            << "entry " << k;
    }

    std::vector<int32_t> durations = Learnt(bench.driver);
    const uint16_t frameStart = signal.frameStart;
    ASSERT_EQ(bench.driver.LoadSignal(durations.data(), static_cast<uint16_t>(durations.size()),
                                      frameStart, signal.carrierPeriod),
              kIrOk);
    ASSERT_EQ(bench.driver.Send(3), kIrOk);
    EXPECT_EQ(bench.driver.LastPassCount(), 3);

    // What went out: the whole signal, then the frame twice, with every space kept either
    // inside a write or as the wait between two writes.
    std::vector<int32_t> expected(durations);
    for (int pass = 1; pass < 3; ++pass) {
        expected.insert(expected.end(), durations.begin() + frameStart, durations.end());
    }
    const std::vector<FuseLircWrite> writes = bench.transmitterDevice.Writes();
    if (!GetParam().category) {
        EXPECT_GE(writes.size(), 6u);  // 600 values a pass: more than one write may carry
    }
    std::vector<int32_t> sent;
    for (size_t w = 0; w < writes.size(); ++w) {
        EXPECT_EQ(writes[w].carrierHz,
                  (1000000u + signal.carrierPeriod / 2) / signal.carrierPeriod);
        EXPECT_EQ(writes[w].dutyPercent, CLircIrDriver::kSendDutyPercent);
        const std::vector<int32_t> values = Flatten({writes[w]});
        sent.insert(sent.end(), values.begin(), values.end());
        if (w + 1 < writes.size()) {
            sent.push_back(-static_cast<int32_t>(writes[w + 1].startUs - writes[w].endUs));
        }
    }
    ASSERT_EQ(sent.size() + 1, expected.size());  // the last pause is only waited after
    for (size_t k = 0; k < sent.size(); ++k) {
        if (sent[k] > 0) {
            EXPECT_EQ(sent[k], expected[k]) << "entry " << k;
        } else {
            // A space inside a write is the signal's own; a wait between writes lasts at
            // least its space (how much longer is the benchmark's business).
            EXPECT_LE(sent[k], expected[k]) << "entry " << k;
        }
    }
    bench.driver.ClosePort();
    EXPECT_EQ(bench.transmitterDevice.Settings(), bench.transmitterDevice.InitialSettings());
    EXPECT_EQ(bench.receiverDevice.Settings(), bench.receiverDevice.InitialSettings());
    EXPECT_EQ(
        bench.transmitterDevice.OpenFilesAfterClose() + bench.receiverDevice.OpenFilesAfterClose(),
        0);
}

INSTANTIATE_TEST_SUITE_P(
    SampleRemotes, LircRoundTrip,
    testing::Values(RoundTripCase{"TV", "Power"}, RoundTripCase{"Cab/Sat", "Power"},
                    RoundTripCase{"DVD/CD", "Power"}, RoundTripCase{"VCR", "Power"},
                    RoundTripCase{"Audio", "Power"}, RoundTripCase{"TiVo", "Power"},
                    RoundTripCase{nullptr, "AirConditioner"}),
    [](const auto& info) {
        std::string name = info.param.category ? info.param.category : info.param.button;
        name.erase(
            std::remove_if(name.begin(), name.end(), [](char c) { return !std::isalnum(c); }),
            name.end());
        return name;
    });

// --- Receivers of different kinds --------------------------------------------------------

struct ReceiverCase {
    const char* name;
    uint32_t removeFeatures;
    uint32_t maxTimeoutUs;
    uint32_t expectedCarrierUs;
    uint32_t recMode = LIRC_MODE_MODE2;
};

class LircReceiverKinds : public testing::TestWithParam<ReceiverCase> {};

TEST_P(LircReceiverKinds, LearnTheSameFrameAndLeaveTheirSettingsAsFound) {
    FuseLircConfig config = ReceiverOnly();
    config.features &= ~GetParam().removeFeatures;
    config.maxTimeoutUs = GetParam().maxTimeoutUs;
    config.timeoutUs = std::min(config.timeoutUs, config.maxTimeoutUs);
    config.recMode = GetParam().recMode;
    LircTestBench bench(config, TransmitterOnly());
    LIRC_BENCH_OR_SKIP(bench);
    // Frames with pauses of 89 ms, longer than some receivers' longest time-out.
    const SimRemote* remote = FindSimRemote("Cab/Sat");
    const RemoteWaveform wave = remote->Press("Ch+", 400);
    bench.receiverDevice.Press({wave.durations, 36000});
    size_t frameLength = 0;
    while (frameLength < wave.durations.size() && wave.durations[frameLength] > -20000) {
        ++frameLength;
    }

    ASSERT_EQ(bench.driver.Capture(), kIrOk);
    const IrSignal& signal = bench.driver.Signal();
    EXPECT_EQ(signal.carrierPeriod, GetParam().expectedCarrierUs);
    // The learnt signal is one frame and its pause, whether or not the receiver's
    // time-out cut the pauses.
    ASSERT_EQ(signal.count, frameLength + 1) << testing::PrintToString(Learnt(bench.driver));
    EXPECT_EQ(signal.frameStart, 0);
    EXPECT_NEAR(std::abs(signal.durations[signal.count - 1]),
                std::abs(wave.durations[static_cast<size_t>(signal.count - 1)]), 50);
    EXPECT_EQ(bench.receiverDevice.Settings(), bench.receiverDevice.InitialSettings());
    EXPECT_EQ(bench.receiverDevice.OpenFilesAfterClose(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Receivers, LircReceiverKinds,
    testing::Values(
        ReceiverCase{"MeasuresCarrier", 0, 500000, 28},
        // Without a measured carrier the driver gives none: the store takes the protocol's.
        ReceiverCase{"NoCarrierMeasure", LIRC_CAN_MEASURE_CARRIER, 500000, 0},
        ReceiverCase{"ShortestTimeoutBelowTheGaps", 0, 30000, 28},
        ReceiverCase{"FixedTimeout", LIRC_CAN_SET_REC_TIMEOUT, 500000, 28},
        ReceiverCase{"LeftInScancodeMode", 0, 500000, 28, LIRC_MODE_SCANCODE}),
    [](const testing::TestParamInfo<ReceiverCase>& info) { return info.param.name; });

// --- The repeat rules --------------------------------------------------------------------

struct RepeatCase {
    uint16_t repeat;
    int heldChecks;  // how often "held" answers yes
    int passes;
};

class LircRepeat : public testing::TestWithParam<RepeatCase> {};

TEST_P(LircRepeat, PassesFollowTheRepeatValueAndTheHeldButton) {
    LircTestBench bench(ReceiverOnly(), TransmitterOnly());
    LIRC_BENCH_OR_SKIP(bench);
    // A header, two bits and a trailing pause; the frame starts after the header.
    const std::vector<int32_t> signal{9000, -4500, 560, -560, 560, -1690, 560, -40000};
    ASSERT_EQ(bench.driver.LoadSignal(signal.data(), 8, 2, 26), kIrOk);
    bench.heldChecks = GetParam().heldChecks;
    ASSERT_EQ(bench.driver.Send(GetParam().repeat), kIrOk);
    EXPECT_EQ(bench.driver.LastPassCount(), GetParam().passes);
    const std::vector<FuseLircWrite> writes = bench.transmitterDevice.Writes();
    ASSERT_EQ(static_cast<int>(writes.size()), GetParam().passes);
    EXPECT_EQ(writes[0].values, (std::vector<uint32_t>{9000, 4500, 560, 560, 560, 1690, 560}));
    for (size_t w = 1; w < writes.size(); ++w) {
        EXPECT_EQ(writes[w].values, (std::vector<uint32_t>{560, 560, 560, 1690, 560}));
        EXPECT_GE(writes[w].startUs - writes[w - 1].endUs, 40000u);
    }
}

INSTANTIATE_TEST_SUITE_P(RepeatValues, LircRepeat,
                         testing::Values(RepeatCase{2, 5, 2},       // exact, held or not
                                         RepeatCase{0, 0, 3},       // at least three
                                         RepeatCase{0, 2, 5},       // then while held
                                         RepeatCase{0xFFFF, 0, 1},  // at least one
                                         RepeatCase{0xFFFF, 2, 3}));

TEST(LircSend, SignalEndingOnAMarkGetsAPauseBeforeTheNextPass) {
    LircTestBench bench(ReceiverOnly(), TransmitterOnly());
    LIRC_BENCH_OR_SKIP(bench);
    const std::vector<int32_t> signal{9000, -4500, 560};
    ASSERT_EQ(bench.driver.LoadSignal(signal.data(), 3, 0, 26), kIrOk);
    ASSERT_EQ(bench.driver.Send(2), kIrOk);
    const std::vector<FuseLircWrite> writes = bench.transmitterDevice.Writes();
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_GE(writes[1].startUs - writes[0].endUs, CLircIrDriver::kMinPassGapUs);
}

TEST(LircSend, LongPassIsSplitAtItsSpacesAndTheSpacesAreWaitedOut) {
    LircTestBench bench(ReceiverOnly(), TransmitterOnly());
    LIRC_BENCH_OR_SKIP(bench);
    // 1.2 s of marks and spaces: more than two writes' worth.
    std::vector<int32_t> signal;
    for (int k = 0; k < 60; ++k) {
        signal.push_back(10000);
        signal.push_back(-10000);
    }
    ASSERT_EQ(bench.driver.LoadSignal(signal.data(), 120, 0, 26), kIrOk);
    ASSERT_EQ(bench.driver.Send(1), kIrOk);
    const std::vector<FuseLircWrite> writes = bench.transmitterDevice.Writes();
    ASSERT_GE(writes.size(), 3u);
    std::vector<int32_t> sent;
    for (size_t w = 0; w < writes.size(); ++w) {
        EXPECT_EQ(writes[w].values.size() % 2, 1u);
        EXPECT_LE(std::accumulate(writes[w].values.begin(), writes[w].values.end(), 0u), 500000u);
        if (w > 0) {
            EXPECT_GE(writes[w].startUs - writes[w - 1].endUs, 10000u);
        }
        const std::vector<int32_t> values = Flatten({writes[w]});
        sent.insert(sent.end(), values.begin(), values.end());
        sent.push_back(-10000);
    }
    EXPECT_EQ(sent, signal);
}

// --- Splitting a pass, without a device ----------------------------------------------------

TEST(SplitLircPass, KeepsTheKernelsLimitsAndTheSignal) {
    // 1201 short values: more than one write may carry.
    std::vector<int32_t> signal{-3000};  // a pass that starts with a space
    for (int k = 0; k < 600; ++k) {
        signal.push_back(100);
        signal.push_back(k == 599 ? -7000 : -100);
    }
    signal.push_back(0);    // dropped
    signal.push_back(-50);  // joins the space before it
    uint64_t leadingUs = 0;
    std::vector<std::vector<uint32_t>> writes;
    std::vector<uint64_t> trailingUs;
    ASSERT_TRUE(SplitLircPass(signal.data(), static_cast<int>(signal.size()), 20000, leadingUs,
                              writes, trailingUs));
    EXPECT_EQ(leadingUs, 3000u);
    ASSERT_EQ(writes.size(), 3u);
    size_t marks = 0;
    for (const auto& write : writes) {
        EXPECT_LE(write.size(), 511u);
        EXPECT_EQ(write.size() % 2, 1u);
        marks += (write.size() + 1) / 2;
    }
    EXPECT_EQ(marks, 600u);
    EXPECT_EQ(trailingUs, (std::vector<uint64_t>{100, 100, 7050}));
}

TEST(SplitLircPass, RefusesAMarkLongerThanOneWrite) {
    const std::vector<int32_t> signal{500001, -1000, 500};
    uint64_t leadingUs = 0;
    std::vector<std::vector<uint32_t>> writes;
    std::vector<uint64_t> trailingUs;
    EXPECT_FALSE(SplitLircPass(signal.data(), 3, 20000, leadingUs, writes, trailingUs));
}

// --- Receiver bias -----------------------------------------------------------------------

TEST(ReceiverBias, IsHalfTheDifferenceOfShortMarkAndShortSpace) {
    for (int32_t bias : {0, 60, 150}) {
        // A pulse-distance frame as a receiver with `bias` reports it.
        std::vector<int32_t> capture{9000 + bias, -(4500 - bias)};
        for (int k = 0; k < 16; ++k) {
            capture.push_back(560 + bias);
            capture.push_back(-((k % 3 == 0 ? 1690 : 560) - bias));
        }
        capture.push_back(560 + bias);
        capture.push_back(-40000);
        EXPECT_EQ(EstimateReceiverBiasUs(capture.data(), static_cast<int>(capture.size())), bias);
    }
    // Short marks well apart from short spaces are the protocol's own, not a bias.
    const std::vector<int32_t> unequal{300, -1700, 300, -700, 300, -700, 300, -1700, 300};
    EXPECT_EQ(EstimateReceiverBiasUs(unequal.data(), 9), 0);
}

// Three frames of 16 pulse-distance bits, 40 ms apart.
std::vector<int32_t> PulseDistancePress(std::vector<int32_t> header, int32_t mark, int32_t zero,
                                        int32_t one) {
    std::vector<int32_t> frame = std::move(header);
    for (int bit = 0; bit < 16; ++bit) {
        frame.insert(frame.end(), {mark, -((0xB4C9 >> bit) & 1 ? one : zero)});
    }
    frame.insert(frame.end(), {mark, -40000});
    std::vector<int32_t> press;
    for (int k = 0; k < 3; ++k) {
        press.insert(press.end(), frame.begin(), frame.end());
    }
    press.pop_back();
    return press;
}

// The test receiver lengthens marks by 100 us. A remote whose spaces are all longer than its
// marks shows no bias in its own capture; once the receiver's bias is known from remotes
// that show it (or remembered with the settings), it comes out as sent all the same.
TEST(ReceiverBias, BelongsToTheReceiverAndCorrectsRemotesThatShowNone) {
    LircTestBench bench(ReceiverOnly(), TransmitterOnly());
    LIRC_BENCH_OR_SKIP(bench);
    const std::vector<int32_t> showsIt = PulseDistancePress({9000, -4500}, 550, 550, 1700);
    const std::vector<int32_t> showsNone = PulseDistancePress({}, 300, 700, 1700);
    auto learn = [&](const std::vector<int32_t>& press) {
        bench.receiverDevice.Press({press, 38000});
        EXPECT_EQ(bench.driver.Capture(), kIrOk);
        return Learnt(bench.driver);
    };
    auto expectAsSent = [&](const std::vector<int32_t>& learnt) {
        ASSERT_GE(learnt.size(), 33u);
        for (size_t k = 0; k + 1 < 33; ++k) {
            EXPECT_NEAR(learnt[k], showsNone[k], 3) << "entry " << k;
        }
    };

    EXPECT_NEAR(learn(showsNone)[0], 400, 3);  // nothing to go on yet: the bias stays
    for (int k = 0; k < 3; ++k) {
        learn(showsIt);
        EXPECT_EQ(bench.driver.LastReceiverBiasUs(), 100);
    }
    expectAsSent(learn(showsNone));
    const ReceiverBiasMemo memo = bench.driver.ReceiverBias();
    EXPECT_EQ(memo.receiver, bench.receiverDevice.Path());
    EXPECT_EQ(memo.biasUs, 100);
    EXPECT_EQ(memo.captures, 3);

    // Another receiver starts afresh; the estimate remembered for this one serves at once,
    // one remembered for another is not taken.
    bench.driver.SetDevices(bench.transmitterDevice.Path(), bench.transmitterDevice.Path());
    EXPECT_EQ(bench.driver.ReceiverBias().captures, 0);
    bench.driver.SetDevices(bench.transmitterDevice.Path(), bench.receiverDevice.Path());
    bench.driver.SetReceiverBias({"/dev/lirc9", 200, 5});
    EXPECT_EQ(bench.driver.ReceiverBias().captures, 0);
    bench.driver.SetReceiverBias(memo);
    expectAsSent(learn(showsNone));
}

// --- Faults ------------------------------------------------------------------------------

enum class Step { Load, Send, Capture };

struct FaultCase {
    const char* name;
    Step step;
    int result;
    void (*arrange)(FuseLircConfig& receiver, FuseLircConfig& transmitter);
    void (*act)(LircTestBench& bench);  // just before the step
    uint8_t carrierUs = 26;
};

class LircFaults : public testing::TestWithParam<FaultCase> {};

TEST_P(LircFaults, EachFaultHasItsOwnResultAndNothingIsLeftChanged) {
    FuseLircConfig receiverConfig = ReceiverOnly();
    FuseLircConfig transmitterConfig = TransmitterOnly();
    if (GetParam().arrange) {
        GetParam().arrange(receiverConfig, transmitterConfig);
    }
    LircTestBench bench(receiverConfig, transmitterConfig);
    LIRC_BENCH_OR_SKIP(bench);
    bench.driver.SetLearnTimeoutMs(200);

    // A previously learnt signal, which a failed capture must leave alone.
    const std::vector<int32_t> signal{2400, -600, 1200, -600, 600, -25000};
    if (GetParam().act) {
        GetParam().act(bench);
    }
    int result = bench.driver.LoadSignal(signal.data(), 6, 0, GetParam().carrierUs);
    if (GetParam().step != Step::Load) {
        ASSERT_TRUE(result == kIrOk || GetParam().step == Step::Capture) << result;
        result = GetParam().step == Step::Send ? bench.driver.Send(3) : bench.driver.Capture();
    }
    EXPECT_EQ(result, GetParam().result);
    if (GetParam().step == Step::Capture) {
        EXPECT_EQ(Learnt(bench.driver), signal);
    }
    bench.driver.ClosePort();
    EXPECT_EQ(
        bench.transmitterDevice.OpenFilesAfterClose() + bench.receiverDevice.OpenFilesAfterClose(),
        0);
    if (result != kIrLircUnplugged) {
        EXPECT_EQ(bench.transmitterDevice.Settings(), bench.transmitterDevice.InitialSettings());
        EXPECT_EQ(bench.receiverDevice.Settings(), bench.receiverDevice.InitialSettings());
    }
}

FuseLircPress ShortPress() {
    return {{2400, -600, 1200, -600, 600, -600, 600}, 40000};
}

INSTANTIATE_TEST_SUITE_P(
    Table, LircFaults,
    testing::Values(
        FaultCase{"NoTransmitter", Step::Load, kIrLircNoDevice, nullptr,
                  [](LircTestBench& b) {
                      b.driver.SetDevices(b.transmitterDevice.MountPoint() + "/lirc9",
                                          b.receiverDevice.Path());
                  }},
        FaultCase{"NoReceiver", Step::Capture, kIrLircNoDevice, nullptr,
                  [](LircTestBench& b) {
                      b.driver.SetDevices(b.transmitterDevice.Path(),
                                          b.receiverDevice.MountPoint() + "/lirc9");
                  }},
        FaultCase{"NoPermission", Step::Load, kIrLircNoPermission,
                  [](FuseLircConfig&, FuseLircConfig& t) { t.openError = EACCES; }, nullptr},
        FaultCase{"Busy", Step::Capture, kIrLircBusy,
                  [](FuseLircConfig& r, FuseLircConfig&) { r.openError = EBUSY; }, nullptr},
        FaultCase{"TransmitterCannotSend", Step::Load, kIrLircCannotSend,
                  [](FuseLircConfig&, FuseLircConfig& t) { t = ReceiverOnly(); }, nullptr},
        FaultCase{"TransmitterCannotReceive", Step::Capture, kIrLircCannotReceive, nullptr,
                  [](LircTestBench& b) {
                      b.driver.SetDevices(b.transmitterDevice.Path(), b.transmitterDevice.Path());
                  }},
        FaultCase{"UnpluggedWhileSending", Step::Send, kIrLircUnplugged, nullptr,
                  [](LircTestBench& b) { b.transmitterDevice.UnplugAfterWrites(1); }},
        FaultCase{"UnpluggedWhileLearning", Step::Capture, kIrLircUnplugged, nullptr,
                  [](LircTestBench& b) {
                      FuseLircPress press = ShortPress();
                      press.durations.resize(3);
                      press.unplugAfter = true;
                      b.receiverDevice.Press(press);
                  }},
        FaultCase{"KernelRefusesAWrite", Step::Send, kIrLircInvalid,
                  [](FuseLircConfig&, FuseLircConfig& t) { t.maxWriteValues = 3; }, nullptr},
        FaultCase{"ReceiverOverflow", Step::Capture, kIrLircOverflow, nullptr,
                  [](LircTestBench& b) {
                      FuseLircPress press = ShortPress();
                      press.overflowAfter = true;
                      b.receiverDevice.Press(press);
                  }},
        FaultCase{"MeasuredCarrierTooLow", Step::Capture, kIrCarrierTooLong, nullptr,
                  [](LircTestBench& b) {
                      FuseLircPress press = ShortPress();
                      press.carrierHz = 15000;
                      b.receiverDevice.Press(press);
                  }},
        FaultCase{"CarrierOutOfRange", Step::Send, kIrLircCannotCarry, nullptr, nullptr, 12},
        FaultCase{"NothingArrives", Step::Capture, kIrNoSignal, nullptr, nullptr},
        FaultCase{"Cancelled", Step::Capture, kIrNoSignal, [](FuseLircConfig&, FuseLircConfig&) {},
                  [](LircTestBench& b) {
                      // Whoever waits for the read ends it as soon as it is told that
                      // the read waits.
                      CaptureWatch& watch = b.watch;
                      watch.waiting = [&watch](uint32_t) { watch.cancelled = true; };
                      b.driver.SetLearnTimeoutMs(60000);
                      b.driver.WatchCapture(&watch);
                  }}),
    [](const testing::TestParamInfo<FaultCase>& info) { return info.param.name; });

TEST(LircFaultFacts, NoPermissionGivesTheDeviceAndTheGroupThatOwnsIt) {
    FuseLircConfig transmitter = TransmitterOnly();
    transmitter.openError = EACCES;
    transmitter.group = 29;  // "audio" on Debian; any group the system knows will do
    LircTestBench bench(ReceiverOnly(), transmitter);
    LIRC_BENCH_OR_SKIP(bench);
    const std::vector<int32_t> signal{600, -600, 600};
    ASSERT_EQ(bench.driver.LoadSignal(signal.data(), 3, 0, 26), kIrLircNoPermission);
    const std::string group = bench.transmitter.OwnerGroup(bench.transmitterDevice.Path());
    ASSERT_FALSE(group.empty());
    EXPECT_EQ(bench.driver.FaultGroup(), group);
    EXPECT_EQ(bench.driver.FaultPort(), bench.transmitterDevice.Path());
}

}  // namespace
