#include "platform/sim/SimOmap1510.h"

#include <gtest/gtest.h>

#include "platform/sim/SimHandheld.h"

namespace {

using namespace omap;

class OmapChip : public ::testing::Test {
  protected:
    OmapChip() : handheld(*FindSimProfile("omap1510")), chip(handheld.Chip()) {}

    uint32_t In(uint32_t offset) { return chip.Read(kUart3 + offset, 1); }
    void Out(uint32_t offset, uint32_t value) { chip.Write(kUart3 + offset, value, 1); }
    void Wait(uint64_t ns) { handheld.Clock().Advance(ns); }

    // UART 3 as a plain UART at `divisor`, its line routed to the transmitter.
    void PlainUart(uint8_t divisor) {
        chip.Write(kConfigPage + kPinMux, kPinMuxUart3Line, 4);
        Out(kUartLineControl, kLineConfigB);
        Out(kUartData, divisor);
        Out(kUartInterruptEnable, 0);
        Out(kUartLineControl, 0x03);
        Out(kUartMode1, kModeUart16x);
    }

    SimHandheld handheld;
    SimChip& chip;
};

TEST_F(OmapChip, LineControlSelectsTheRegisters) {
    Out(kUartLineControl, kLineConfigB);
    Out(kUartData, 39);
    Out(kUartInterruptEnable, 0);
    Out(kUartEnhanced, 0x10);
    Out(kUartSupplementary, 1);
    Out(kUartLineControl, 0x03);
    Out(kUartInterruptEnable, 0x05);
    Out(kUartSupplementary, 0x80);
    EXPECT_EQ(In(kUartInterruptEnable), 0x05u);
    EXPECT_EQ(In(kUartSupplementary), 0x80u);
    Out(kUartLineControl, 0x83);  // configuration mode A: the divisor, but no enhanced
    EXPECT_EQ(In(kUartData), 39u);
    EXPECT_EQ(In(kUartInterruptEnable), 0u);
    EXPECT_NE(In(kUartEnhanced), 0x10u);
    EXPECT_EQ(In(kUartSupplementary), 1u);
    Out(kUartLineControl, kLineConfigB);
    EXPECT_EQ(In(kUartEnhanced), 0x10u);
    auto* omap = static_cast<SimOmap1510*>(&chip);
    EXPECT_EQ(omap->Divisor(), 39u);
}

// 0x55 is start bit, eight alternating bits and stop bit: five carrier periods of two bit
// times each; bytes queued behind it follow without a gap.
TEST_F(OmapChip, BytesOf0x55AreACarrier) {
    PlainUart(39);  // 13 us bits
    handheld.Air().ClearEmissions();
    Out(kUartData, 0x55);
    EXPECT_EQ(In(kUartLineStatus) & (kStatusTransmitterEmpty | kStatusHoldingEmpty),
              kStatusHoldingEmpty);
    Out(kUartData, 0x55);
    Wait(261000);  // two frames
    EXPECT_NE(In(kUartLineStatus) & kStatusTransmitterEmpty, 0u);
    Out(kUartLineControl, 0x43);  // break: silence
    Wait(100000);
    In(kUartLineStatus);
    const auto& edges = handheld.Air().Emissions();
    ASSERT_EQ(edges.size(), 20u);  // ten pulses, the last one ended by the break
    for (size_t k = 0; k < 20; k += 2) {
        EXPECT_TRUE(edges[k].second);
        if (k < 18) {
            EXPECT_EQ(edges[k + 1].first - edges[k].first, 13000u) << k;
            EXPECT_EQ(edges[k + 2].first - edges[k].first, 26000u) << k;
        }
    }
    EXPECT_FALSE(handheld.Air().TransmitterOn());
}

TEST_F(OmapChip, TransmitterFollowsTheLineOnlyWhenRouted) {
    PlainUart(39);
    EXPECT_TRUE(handheld.Air().TransmitterOn());  // an idle line is high
    chip.Write(kConfigPage + kPinMux, 0x40, 4);
    EXPECT_FALSE(handheld.Air().TransmitterOn());
    chip.Write(kConfigPage + kPinMux, kPinMuxUart3Line, 4);
    Out(kUartMode1, kModeDisabled);
    EXPECT_FALSE(handheld.Air().TransmitterOn());
    Out(kUartData, 0x55);
    EXPECT_EQ(handheld.GuestErrors().size(), 1u);  // not a UART now
}

TEST_F(OmapChip, Timer3RunsAt3038TicksPerMillisecond) {
    const uint32_t control = kTimer3 + kTimerControl;
    chip.Write(kTimer3 + kTimerLoad, 3038, 4);
    chip.Write(control, 0x65, 4);  // one-shot
    Wait(500000);
    EXPECT_EQ(chip.Read(kTimer3 + kTimerCount, 4), 1519u);
    EXPECT_EQ(chip.Read(control, 4) & kTimerStart, kTimerStart);
    Wait(500400);
    EXPECT_EQ(chip.Read(control, 4) & kTimerStart, 0u);
    EXPECT_EQ(chip.Read(kTimer3 + kTimerCount, 4), 0u);

    chip.Write(kTimer3 + kTimerLoad, 0xFFFFFFFE, 4);
    chip.Write(control, 0x65, 4);
    Wait(20000000000);  // free-running in all but name
    EXPECT_EQ(chip.Read(kTimer3 + kTimerCount, 4), 0xFFFFFFFEu - 60760000);
    chip.Write(control, 0x64, 4);
    const uint32_t stopped = chip.Read(kTimer3 + kTimerCount, 4);
    Wait(1000000);
    EXPECT_EQ(chip.Read(kTimer3 + kTimerCount, 4), stopped);
}

// The detector flags the first falling edge of the receive line after it is enabled; a
// pulse already under way when it is enabled does not count.
TEST_F(OmapChip, WakeUpFlagReportsTheNextFallingEdge) {
    Out(kUartMode1, kModeUart16x);
    RemoteWaveform wave;
    wave.durations = {100, -1000, 100};
    wave.carrierHz = 40000;  // pulses at 0, 25, 50 and 75 us
    handheld.Air().Play(wave, handheld.Clock().Now());
    Wait(2000);  // inside the first pulse
    Out(kUartWakeControl, kWakeEnable);
    EXPECT_EQ(In(kUartWakeStatus) & kWakeEvent, 0u);
    Wait(24000);
    EXPECT_EQ(In(kUartWakeStatus) & kWakeEvent, kWakeEvent);
    Out(kUartWakeControl, 0);
    EXPECT_EQ(In(kUartWakeStatus) & kWakeEvent, 0u);
    Out(kUartWakeControl, kWakeEnable);
    Wait(10000);
    EXPECT_EQ(In(kUartWakeStatus) & kWakeEvent, 0u);
    Wait(20000);  // past the pulse at 50 us
    EXPECT_EQ(In(kUartWakeStatus) & kWakeEvent, kWakeEvent);
}

}  // namespace
