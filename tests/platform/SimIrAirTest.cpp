#include "platform/sim/SimIrAir.h"

#include <gtest/gtest.h>

namespace {

// Emits `cycles` carrier cycles of `period` ns starting at `start`; returns the end.
uint64_t Burst(SimIrAir& air, uint64_t start, int cycles, uint64_t period) {
    for (int k = 0; k < cycles; ++k) {
        air.Transmit(start + k * period, true);
        air.Transmit(start + k * period + period / 2, false);
    }
    return start + cycles * period;
}

TEST(SimIrAir, MarkOfNCyclesMeasuresNPeriods) {
    SimIrAir air;
    const uint64_t period = 26000;
    uint64_t t = Burst(air, 1000000, 19, period);  // 494 us
    t = Burst(air, t + 1000000, 40, period);       // after 1000 us: 1040 us
    Burst(air, t + 20000000, 1, period);           // after 20 ms: 26 us
    const Demodulated d = air.Demodulate();
    EXPECT_EQ(d.carrierPeriodUs, 26u);
    EXPECT_EQ(d.durations, (std::vector<int32_t>{494, -1000, 1040, -20000, 26}));
}

TEST(SimIrAir, NothingEmittedDemodulatesToNothing) {
    SimIrAir air;
    EXPECT_TRUE(air.Demodulate().durations.empty());
    EXPECT_EQ(air.Demodulate().carrierPeriodUs, 0u);
}

TEST(SimIrAir, ReceivePinReadsZeroDuringEachPulse) {
    SimIrAir air;
    RemoteWaveform wave;
    wave.durations = {100, -1000, 52};
    wave.carrierHz = 40000;  // 25 us
    wave.dutyPercent = 40;   // 10 us pulses
    wave.delayNs = 5000;
    air.Play(wave, 1000);
    EXPECT_TRUE(air.ReceiverIdle(0));
    EXPECT_TRUE(air.ReceiverIdle(5999));
    EXPECT_FALSE(air.ReceiverIdle(6000));
    EXPECT_FALSE(air.ReceiverIdle(15999));
    EXPECT_TRUE(air.ReceiverIdle(16000));
    EXPECT_FALSE(air.ReceiverIdle(31000));  // second pulse
    EXPECT_TRUE(air.ReceiverIdle(106000));  // the space
    EXPECT_FALSE(air.ReceiverIdle(1106000));
    EXPECT_FALSE(air.ReceiverIdle(1156000));  // 52 us: pulses at 0, 25 and 50 us
    EXPECT_TRUE(air.ReceiverIdle(1166000));
    EXPECT_EQ(air.NextPulseAfter(16000), 31000u);
    EXPECT_EQ(air.NextPulseAfter(1131000), 1156000u);
    EXPECT_EQ(air.NextPulseAfter(1156000), SimIrAir::kNever);
    EXPECT_TRUE(air.ReceiverIdle(10));  // reading earlier again still works
    EXPECT_FALSE(air.ReceiverIdle(6001));
}

TEST(SimIrAir, StretchLengthensMarksAndShortensSpaces) {
    SimIrAir air;
    RemoteWaveform wave;
    wave.durations = {100, -1000, 100};
    wave.carrierHz = 40000;
    wave.stretchNs = 50000;
    air.Play(wave, 0);
    EXPECT_FALSE(air.ReceiverIdle(125000));           // a sixth pulse in the stretched mark
    EXPECT_EQ(air.NextPulseAfter(130000), 1100000u);  // the next mark is not delayed
}

// Switching on and off at the same instant (a UART's line released from break as its next
// byte's start bit begins) sends no light and leaves no edge.
TEST(SimIrAir, PulseOfNoLengthIsNoPulse) {
    SimIrAir air;
    air.Transmit(1000, true);
    air.Transmit(1000, false);
    air.Transmit(1013, true);
    air.Transmit(1026, false);
    air.Transmit(1026, true);
    EXPECT_EQ(air.Emissions(), (std::vector<std::pair<uint64_t, bool>>{{1013, true}}));
    EXPECT_TRUE(air.TransmitterOn());
}

// A stuck receiver: one falling edge, then an output that stays active, and no edge after.
TEST(SimIrAir, StuckReceiverStaysActive) {
    SimIrAir air;
    air.StickReceiver(5000);
    EXPECT_TRUE(air.ReceiverIdle(4999));
    EXPECT_FALSE(air.ReceiverIdle(5000));
    EXPECT_FALSE(air.ReceiverIdle(60000000000ull));
    EXPECT_EQ(air.NextPulseAfter(0), 5000u);
    EXPECT_EQ(air.NextPulseAfter(5000), SimIrAir::kNever);
}

// The receiver answers from where it last looked: whatever plays next, the device's remote
// again, its own echo, a stuck receiver or nothing, is heard from the same moment on.
TEST(SimIrAir, WhatPlaysNextIsHeardAtOnce) {
    SimIrAir air;
    RemoteWaveform wave;
    wave.durations = {100};
    wave.carrierHz = 40000;  // 10 us pulses every 25 us
    wave.dutyPercent = 40;
    air.Play(wave, 0);
    EXPECT_FALSE(air.ReceiverIdle(3000));
    EXPECT_TRUE(air.ReceiverIdle(15000));
    EXPECT_EQ(air.NextPulseAfter(3000), 25000u);

    wave.delayNs = 12000;  // the same, 12 us later
    air.Play(wave, 0);
    EXPECT_TRUE(air.ReceiverIdle(3000));
    EXPECT_FALSE(air.ReceiverIdle(15000));
    EXPECT_EQ(air.NextPulseAfter(3000), 12000u);

    air.Transmit(40000, true);
    air.Transmit(45000, false);
    ASSERT_TRUE(air.Echo(0, 1000));  // a 5 us pulse from 1 us on
    EXPECT_FALSE(air.ReceiverIdle(3000));
    EXPECT_TRUE(air.ReceiverIdle(15000));
    EXPECT_EQ(air.NextPulseAfter(3000), SimIrAir::kNever);

    air.StickReceiver(10000);
    EXPECT_TRUE(air.ReceiverIdle(3000));
    EXPECT_FALSE(air.ReceiverIdle(15000));
    EXPECT_EQ(air.NextPulseAfter(3000), 10000u);

    air.StopPlaying();
    EXPECT_TRUE(air.ReceiverIdle(15000));
    EXPECT_EQ(air.NextPulseAfter(3000), SimIrAir::kNever);
}

}  // namespace
