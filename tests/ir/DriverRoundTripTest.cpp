// Learning a remote's signal and sending it back, on every simulated chip.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "app/ctl/SimRun.h"
#include "ir/IrFactory.h"
#include "ir/IrResult.h"
#include "platform/sim/SimHandheld.h"
#include "store/CCodebaseFile.h"
#include "tests/ir/LongSignals.h"

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

// A 56 kHz remote: header 3400/1700, pulse-distance bits, the frame every 60 ms, twice.
Remote Fast56k() {
    std::vector<int32_t> frame = {3400, -1700};
    for (int bit = 0; bit < 24; ++bit) {
        frame.insert(frame.end(), {420, (0x5A3C1 >> bit) & 1 ? -1260 : -420});
    }
    frame.push_back(420);
    std::vector<int32_t> signal = Padded(frame, 60000);
    signal.insert(signal.end(), frame.begin(), frame.end());
    return {signal, 56000};
}

Remote AirConditioner() {
    return {AirConditionerPress(), 38000};
}

struct RemoteCase {
    const char* name;
    Remote (*remote)();
    uint8_t carrierUs;  // the remote's carrier to the nearest microsecond
};

const RemoteCase kRemotes[] = {
    {"HeldNec", HeldNec, 26},       {"BiPhase", BiPhase, 28},
    {"PulseWidth", PulseWidth, 25}, {"LongHeader", LongHeader, 26},
    {"Fast56k", Fast56k, 18},       {"AirConditioner", AirConditioner, 26},
};

const char* const kChips[] = {"sa1110", "pxa250",  "pxa255",  "pxa26x",
                              "pxa27x", "s3c2410", "s3c2440", "omap1510"};

class ChipRoundTrip : public ::testing::TestWithParam<std::tuple<const char*, RemoteCase>> {};

// Learnt against the remote: the carrier to the nearest microsecond; marks run from the first
// to the last pulse start of a burst, so they come out up to one carrier period short (and
// the pause after them as much longer). Sent back with the repeat rule of a tap (three
// passes): every mark within one carrier period and every pause within 2 us of the learnt
// signal, and every mark begins within 5 us of its place over the whole send, so that the
// passes do not drift.
TEST_P(ChipRoundTrip, LearnsAndSendsBack) {
    const auto& [chip, remoteCase] = GetParam();
    const bool uartCarrier = std::string(chip) == "omap1510";
    SimHandheld handheld(*FindSimProfile(chip));
    std::unique_ptr<CIrDriver> driver(CreateIrDriver(handheld.Profile().family, handheld));
    ASSERT_NE(driver, nullptr);
    driver->SetPortName(SimIrPortName(handheld.Profile()));

    const Remote remote = remoteCase.remote();
    const double period = 1e6 / remote.carrierHz;
    RemoteWaveform wave;
    wave.durations = remote.durations;
    wave.carrierHz = remote.carrierHz;
    wave.delayNs = 20000000;
    handheld.Air().Play(wave, handheld.Clock().Now());
    ASSERT_EQ(driver->Capture(), kIrOk);
    driver->ClosePort();
    std::vector<int32_t> learnt;
    uint16_t count, frameStart;
    uint8_t carrier;
    driver->GetSignal(learnt, count, frameStart, carrier);
    ASSERT_GE(learnt.size(), 4u);
    EXPECT_EQ(carrier, remoteCase.carrierUs);
    // A signal that ends on a mark keeps the silence after it, which the remote has not sent.
    for (size_t k = 0; k < std::min(learnt.size(), remote.durations.size()); ++k) {
        const double error = std::abs(learnt[k]) - std::abs(remote.durations[k]);
        if (learnt[k] > 0) {
            EXPECT_TRUE(error <= 1 && error >= -period - 1) << "mark " << k << ": " << error;
        } else {
            EXPECT_TRUE(error >= -1 && error <= period + 1) << "space " << k << ": " << error;
        }
    }
    EXPECT_LT(learnt.back(), 0);  // never a pass that ends on a mark
    if (std::string(remoteCase.name) == "AirConditioner") {
        EXPECT_EQ(count, 600);
        EXPECT_EQ(frameStart, 0);
    }
    // Stored in a button record and read back whole.
    EXPECT_EQ(CCodebaseFile::ValuesToDurations(
                  CCodebaseFile::DurationsToValues(learnt.data(), learnt.size())),
              learnt);

    ASSERT_EQ(driver->LoadSignal(learnt.data(), count, frameStart, carrier), kIrOk);
    handheld.Air().ClearEmissions();
    ASSERT_EQ(driver->Send(CIrDriver::kRepeatWhileHeld), kIrOk);
    driver->ClosePort();
    ASSERT_EQ(driver->LastPassCount(), 3);
    std::vector<int32_t> expected = learnt;
    for (int pass = 1; pass < 3; ++pass) {
        expected.insert(expected.end(), learnt.begin() + frameStart, learnt.end());
    }
    expected.pop_back();  // the last pause is silence that no edge ends

    const Demodulated emitted = handheld.Air().Demodulate();
    ASSERT_EQ(emitted.durations.size(), expected.size());
    // The OMAP1510's UART makes the carriers its divisor table holds (27.3 us for 28).
    EXPECT_NEAR(emitted.carrierPeriodUs, carrier, uartCarrier ? 1 : 0);
    for (size_t k = 0; k < expected.size(); ++k) {
        const double error = std::abs(emitted.durations[k]) - std::abs(expected[k]);
        if (expected[k] > 0) {
            EXPECT_LE(std::abs(error), carrier) << "mark " << k;
        } else {
            EXPECT_LE(std::abs(error), 2.0) << "space " << k;
        }
    }
    // Where each mark began, from the emitter's own record (a burst begins with a rise more
    // than four carrier periods after the one before), against where it belongs.
    std::vector<uint64_t> starts;
    uint64_t lastRise = 0;
    for (const auto& [time, on] : handheld.Air().Emissions()) {
        if (on) {
            if (starts.empty() || time - lastRise > 4 * uint64_t{emitted.carrierPeriodNs}) {
                starts.push_back(time);
            }
            lastRise = time;
        }
    }
    int64_t expectedAtUs = 0;
    size_t mark = 0;
    for (size_t k = 0; k < expected.size(); ++k) {
        if (expected[k] > 0) {
            ASSERT_LT(mark, starts.size());
            const double at = double(starts[mark] - starts[0]) / 1000.0;
            EXPECT_NEAR(at, double(expectedAtUs), 5.0) << "start of mark " << k;
            ++mark;
        }
        expectedAtUs += std::abs(expected[k]);
    }
    EXPECT_TRUE(handheld.GuestErrors().empty());
}

INSTANTIATE_TEST_SUITE_P(Chips, ChipRoundTrip,
                         ::testing::Combine(::testing::ValuesIn(kChips),
                                            ::testing::ValuesIn(kRemotes)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param)) + "_" +
                                    std::get<1>(info.param).name;
                         });

}  // namespace
