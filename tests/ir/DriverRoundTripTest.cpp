// Learning a remote's signal and sending it back, on each simulated chip whose driver
// times with a borrowed timer or the UART.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "IrFactory.h"
#include "IrResult.h"
#include "SimHandheld.h"

namespace {

struct Remote {
    std::vector<int32_t> durations;
    uint32_t carrierHz;
};

// Pads a frame with a space up to `period` microseconds from its start.
std::vector<int32_t> Padded(std::vector<int32_t> frame, int32_t period) {
    int32_t length = 0;
    for (int32_t d : frame) {
        length += std::abs(d);
    }
    if (frame.back() < 0) {
        frame.back() -= period - length;
    } else {
        frame.push_back(-(period - length));
    }
    return frame;
}

// A held NEC-style button: header 9000/4500, 32 bits, stop bit, then repeat frames of
// 9000/2250/560 every 108 ms.
Remote HeldNec() {
    std::vector<int32_t> frame = {9000, -4500};
    const uint32_t code = 0x20DF10EF;
    for (int bit = 0; bit < 32; ++bit) {
        frame.insert(frame.end(), {560, (code >> bit) & 1 ? -1690 : -560});
    }
    frame.push_back(560);
    std::vector<int32_t> signal = Padded(frame, 108000);
    for (int k = 0; k < 2; ++k) {
        const std::vector<int32_t> repeat = Padded({9000, -2250, 560}, 108000);
        signal.insert(signal.end(), repeat.begin(), repeat.end());
    }
    signal.insert(signal.end(), {9000, -2250, 560});
    return {signal, 38000};
}

// Bi-phase bits of 1778 us at 36 kHz, the frame every 114 ms.
Remote BiPhase() {
    const int bits[] = {1, 1, 0, 0, 0, 1, 1, 1, 0, 0, 1, 1, 0, 0};
    std::vector<int32_t> frame;
    for (int bit : bits) {
        for (int32_t half : {bit ? -889 : 889, bit ? 889 : -889}) {
            if (!frame.empty() && (frame.back() > 0) == (half > 0)) {
                frame.back() += half;
            } else {
                frame.push_back(half);
            }
        }
    }
    frame.erase(frame.begin());  // the leading half-bit space is no part of a capture
    std::vector<int32_t> signal;
    for (int k = 0; k < 3; ++k) {
        const std::vector<int32_t> padded = Padded(frame, 113778);
        signal.insert(signal.end(), padded.begin(), padded.end());
    }
    signal.pop_back();
    return {signal, 36000};
}

// Pulse-width bits at 40 kHz: header 2400, marks 600 or 1200, spaces 600, every 45 ms.
Remote PulseWidth() {
    std::vector<int32_t> frame = {2400};
    for (int bit = 0; bit < 12; ++bit) {
        frame.insert(frame.end(), {-600, (0x95 >> bit) & 1 ? 1200 : 600});
    }
    std::vector<int32_t> signal;
    for (int k = 0; k < 3; ++k) {
        const std::vector<int32_t> padded = Padded(frame, 45000);
        signal.insert(signal.end(), padded.begin(), padded.end());
    }
    signal.pop_back();
    return {signal, 40000};
}

// A 12 ms header and 16 bits, twice.
Remote LongHeader() {
    std::vector<int32_t> frame = {12000, -6000};
    for (int bit = 0; bit < 16; ++bit) {
        frame.insert(frame.end(), {600, bit % 3 ? -600 : -1800});
    }
    frame.push_back(600);
    std::vector<int32_t> signal = Padded(frame, 110000);
    signal.insert(signal.end(), frame.begin(), frame.end());
    return {signal, 38000};
}

struct RoundTripCase {
    const char* chip;
    const char* name;
    Remote (*remote)();
    double spaceTolerance;  // microseconds of a sent space, beyond the learnt one
};

class TimerChipRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

// Learnt marks lose up to two carrier periods (they run from the first to the last falling
// edge, and the first burst's measurement starts at its second pulse) and spaces gain up
// to one. Sent back, every mark is within one carrier period of the learnt mark.
TEST_P(TimerChipRoundTrip, LearnsAndSendsBack) {
    SimHandheld handheld(*FindSimProfile(GetParam().chip));
    SetCurrentIrPlatform(&handheld);
    DestroyIrDriver();
    CIrDriver* driver = GetIrDriver();
    ASSERT_NE(driver, nullptr);
    driver->SetPortName("COM3:");

    const Remote remote = GetParam().remote();
    const double period = 1e6 / remote.carrierHz;
    RemoteWaveform wave;
    wave.durations = remote.durations;
    wave.carrierHz = remote.carrierHz;
    wave.delayNs = 20000000;
    handheld.Air().Play(wave, handheld.Clock().Now());
    ASSERT_EQ(driver->Capture(), kIrOk);
    driver->ClosePort();
    std::vector<int32_t> learnt;
    uint8_t count, frameStart, carrier;
    driver->GetSignal(learnt, count, frameStart, carrier);
    ASSERT_GE(learnt.size(), 4u);
    EXPECT_NEAR(carrier, period, 1.5);  // truncated to whole microseconds
    // A signal that ends on a mark keeps the silence after it, which the remote has not sent.
    for (size_t k = 0; k < std::min(learnt.size(), remote.durations.size()); ++k) {
        const double error = std::abs(learnt[k]) - std::abs(remote.durations[k]);
        if (learnt[k] > 0) {
            EXPECT_TRUE(error <= 2 && error >= -2.2 * period) << "mark " << k << ": " << error;
        } else {
            EXPECT_TRUE(error >= -2 && error <= 1.2 * period) << "space " << k << ": " << error;
        }
    }

    ASSERT_EQ(driver->LoadSignal(learnt.data(), count, frameStart, carrier), kIrOk);
    handheld.Air().ClearEmissions();
    ASSERT_EQ(driver->Send(1), kIrOk);
    driver->ClosePort();
    const Demodulated emitted = handheld.Air().Demodulate();
    // A trailing space of the pass is silence that no edge ends.
    ASSERT_EQ(emitted.durations.size(), learnt.back() < 0 ? learnt.size() - 1 : learnt.size());
    const double sentPeriod = emitted.carrierPeriodNs / 1000.0;
    EXPECT_NEAR(sentPeriod, carrier, 1.0);
    for (size_t k = 0; k < emitted.durations.size(); ++k) {
        const double error = std::abs(emitted.durations[k]) - std::abs(learnt[k]);
        if (learnt[k] > 0) {
            EXPECT_LE(std::abs(error), sentPeriod) << "mark " << k;
        } else {
            EXPECT_LE(std::abs(error), GetParam().spaceTolerance) << "space " << k;
        }
    }
    EXPECT_TRUE(handheld.GuestErrors().empty());
    DestroyIrDriver();
    SetCurrentIrPlatform(nullptr);
}

// The GPIO-timed drivers end each space to the tick; the UART ends a mark at whatever
// point of its bit the timer runs out, which moves the following space by up to a period.
INSTANTIATE_TEST_SUITE_P(Chips, TimerChipRoundTrip,
                         ::testing::Values(RoundTripCase{"s3c2410", "HeldNec", HeldNec, 3},
                                           RoundTripCase{"s3c2410", "BiPhase", BiPhase, 3},
                                           RoundTripCase{"s3c2410", "PulseWidth", PulseWidth, 3},
                                           RoundTripCase{"s3c2410", "LongHeader", LongHeader, 3},
                                           RoundTripCase{"s3c2440", "HeldNec", HeldNec, 3},
                                           RoundTripCase{"s3c2440", "BiPhase", BiPhase, 3},
                                           RoundTripCase{"s3c2440", "PulseWidth", PulseWidth, 3},
                                           RoundTripCase{"s3c2440", "LongHeader", LongHeader, 3},
                                           RoundTripCase{"omap1510", "HeldNec", HeldNec, 27},
                                           RoundTripCase{"omap1510", "BiPhase", BiPhase, 28},
                                           RoundTripCase{"omap1510", "PulseWidth", PulseWidth, 25},
                                           RoundTripCase{"omap1510", "LongHeader", LongHeader, 27}),
                         [](const auto& info) {
                             return std::string(info.param.chip) + "_" + info.param.name;
                         });

}  // namespace
