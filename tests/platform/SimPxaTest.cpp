#include "platform/sim/SimPxa.h"

#include <gtest/gtest.h>

#include "platform/sim/SimHandheld.h"

namespace {

using Chip = SimPxaChip;

struct CounterCase {
    const char* profile;
    uint64_t hertz;
};

class PxaCounter : public ::testing::TestWithParam<CounterCase> {};

TEST_P(PxaCounter, FollowsTheClockAndWrapsAt32Bits) {
    SimHandheld handheld(*FindSimProfile(GetParam().profile));
    handheld.Clock().SetRegisterReadCost(0);
    ScopedMapping timer(handheld, Chip::kOsTimerBase, true);
    handheld.Sleep(1000);
    EXPECT_EQ(timer->Read32(Chip::kCounter), GetParam().hertz);
    timer->Write32(Chip::kCounter, 0xFFFFFFF0);
    handheld.Sleep(1);  // thousands of ticks later
    EXPECT_EQ(timer->Read32(Chip::kCounter), GetParam().hertz / 1000 - 0x10);
}

INSTANTIATE_TEST_SUITE_P(Timers, PxaCounter,
                         ::testing::Values(CounterCase{"pxa255", 3686400},
                                           CounterCase{"pxa27x", 3250000}),
                         [](const auto& info) { return std::string(info.param.profile); });

// The emitter lights only while the transmit pin is a GPIO output driven high.
struct EmitterCase {
    const char* name;
    const char* profile;  // IR UART 1, 2 or 3
    uint32_t transmitBit, transmitField;
    bool output, gpio, high;
};

class PxaEmitter : public ::testing::TestWithParam<EmitterCase> {};

TEST_P(PxaEmitter, FollowsTheTransmitPin) {
    const EmitterCase& c = GetParam();
    SimHandheld handheld(*FindSimProfile(c.profile));
    ScopedMapping gpio(handheld, Chip::kGpioBase, true);
    const uint32_t direction = gpio->Read32(Chip::kPinDirection1);
    const uint32_t alt = gpio->Read32(Chip::kAltFunction1Low);
    gpio->Write32(Chip::kPinSet1, c.high ? c.transmitBit : 0);
    gpio->Write32(Chip::kAltFunction1Low, c.gpio ? alt & ~c.transmitField : alt);
    gpio->Write32(Chip::kPinDirection1,
                  c.output ? direction | c.transmitBit : direction & ~c.transmitBit);
    EXPECT_EQ(handheld.Air().TransmitterOn(), c.output && c.gpio && c.high);
    gpio->Write32(Chip::kPinClear1, c.transmitBit);
    EXPECT_FALSE(handheld.Air().TransmitterOn());
    EXPECT_TRUE(handheld.GuestErrors().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Pins, PxaEmitter,
    ::testing::Values(
        EmitterCase{"LitOnFullFunctionUartPins", "pxa250", 0x80, 0xC000, true, true, true},
        EmitterCase{"LitOnBluetoothUartPins", "pxa26x", 0x800, 0xC00000, true, true, true},
        EmitterCase{"LitOnStandardUartPins", "pxa255", 0x8000, 0xC0000000, true, true, true},
        EmitterCase{"DarkAsInput", "pxa255", 0x8000, 0xC0000000, false, true, true},
        EmitterCase{"DarkInUartFunction", "pxa255", 0x8000, 0xC0000000, true, false, true},
        EmitterCase{"DarkWhenLow", "pxa255", 0x8000, 0xC0000000, true, true, false}),
    [](const auto& info) { return info.param.name; });

TEST(PxaChip, ReceivePinReadsTheAirAsInputAndTheLatchAsOutput) {
    SimHandheld handheld(*FindSimProfile("pxa255"));  // standard UART: receive pin GPIO 46
    constexpr uint32_t kReceive = 0x4000;
    RemoteWaveform wave;
    wave.durations = {1000};
    wave.delayNs = 1000000;
    handheld.Air().Play(wave, 0);
    ScopedMapping gpio(handheld, Chip::kGpioBase, true);
    EXPECT_EQ(gpio->Read32(Chip::kPinDirection1) & kReceive, 0u);
    EXPECT_NE(gpio->Read32(Chip::kPinLevel1) & kReceive, 0u);  // idle
    handheld.Sleep(1);
    EXPECT_EQ(gpio->Read32(Chip::kPinLevel1) & kReceive, 0u);  // a carrier pulse
    gpio->Write32(Chip::kPinSet1, kReceive);
    gpio->Write32(Chip::kPinDirection1, gpio->Read32(Chip::kPinDirection1) | kReceive);
    EXPECT_NE(gpio->Read32(Chip::kPinLevel1) & kReceive, 0u);
}

class PxaIrMode : public ::testing::TestWithParam<const char*> {};

TEST_P(PxaIrMode, OpeningTheIrdaPortSwitchesTheProfilesUart) {
    SimHandheld handheld(*FindSimProfile(GetParam()));
    const int index = handheld.Profile().irUartIndex;
    const uint32_t base = Chip::kUartBases[index - 1];
    const uint32_t modes = Chip::kUartIrTransmit | Chip::kUartIrReceive;
    const SerialHandle port = handheld.OpenSerialPort("COM3:");
    EXPECT_EQ(handheld.Chip().Peek(base + Chip::kUartInterruptEnable, 4) & Chip::kUartUnitEnable,
              0u);
    handheld.SetSerialIrMode(port, true);
    EXPECT_EQ(handheld.Chip().Peek(base + Chip::kUartIrSelect, 4) & modes, modes);
    EXPECT_NE(handheld.Chip().Peek(base + Chip::kUartInterruptEnable, 4) & Chip::kUartUnitEnable,
              0u);
    for (int k = 0; k < 3; ++k) {
        if (k != index - 1) {
            EXPECT_EQ(handheld.Chip().Peek(Chip::kUartBases[k] + Chip::kUartIrSelect, 4), 0u);
        }
    }
    handheld.SetSerialIrMode(port, false);
    EXPECT_EQ(handheld.Chip().Peek(base + Chip::kUartIrSelect, 4) & modes, 0u);
}

INSTANTIATE_TEST_SUITE_P(Profiles, PxaIrMode,
                         ::testing::Values("pxa250", "pxa255", "pxa26x", "pxa27x"),
                         [](const auto& info) { return std::string(info.param); });

// Accesses the chip would refuse are logged, change nothing and crash nothing.
struct BadAccess {
    const char* name;
    uint32_t page, offset;
    int width;
    bool write;
};

class PxaBadAccess : public ::testing::TestWithParam<BadAccess> {};

TEST_P(PxaBadAccess, IsAGuestError) {
    const BadAccess& c = GetParam();
    SimHandheld handheld(*FindSimProfile("pxa255"));
    ScopedMapping block(handheld, c.page, true);
    const uint32_t before = handheld.Chip().Peek(c.page + c.offset, 4);
    uint32_t read = 0;
    switch (c.width * (c.write ? -1 : 1)) {
        case 1:
            read = block->Read8(c.offset);
            break;
        case 2:
            read = block->Read16(c.offset);
            break;
        case 4:
            read = block->Read32(c.offset);
            break;
        case -1:
            block->Write8(c.offset, 0xFF);
            break;
        case -2:
            block->Write16(c.offset, 0xFFFF);
            break;
        case -4:
            block->Write32(c.offset, 0xFFFFFFFF);
            break;
    }
    EXPECT_EQ(read, 0u);
    EXPECT_EQ(handheld.Chip().Peek(c.page + c.offset, 4), before);
    EXPECT_EQ(handheld.GuestErrors().size(), 1u);
    EXPECT_FALSE(handheld.Air().TransmitterOn());
}

INSTANTIATE_TEST_SUITE_P(
    Registers, PxaBadAccess,
    ::testing::Values(
        BadAccess{"ByteOfTheCounter", Chip::kOsTimerBase, Chip::kCounter, 1, false},
        BadAccess{"ReadOfPinSet", Chip::kGpioBase, Chip::kPinSet1, 4, false},
        BadAccess{"ReadOfPinClear", Chip::kGpioBase, Chip::kPinClear1, 4, false},
        BadAccess{"WriteToPinLevel", Chip::kGpioBase, Chip::kPinLevel1, 4, true},
        BadAccess{"HalfwordToDirection", Chip::kGpioBase, Chip::kPinDirection1, 2, true},
        BadAccess{"ByteToTheMask", Chip::kInterruptBase, Chip::kInterruptMask, 1, true}),
    [](const auto& info) { return info.param.name; });

}  // namespace
