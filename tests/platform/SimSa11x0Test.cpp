#include "platform/sim/SimSa11x0.h"

#include <gtest/gtest.h>

#include "platform/sim/SimHandheld.h"

namespace {

using Chip = SimSa11x0Chip;

TEST(Sa11x0Chip, CounterRunsAt3_6864MHzAndWraps) {
    SimHandheld handheld(*FindSimProfile("sa1110"));
    handheld.Clock().SetRegisterReadCost(0);
    ScopedMapping timer(handheld, Chip::kOsTimerBase, true);
    handheld.Sleep(1000);
    EXPECT_EQ(timer->Read32(Chip::kCounter), 3686400u);
    timer->Write32(Chip::kCounter, 0xFFFFFFFF);
    handheld.Sleep(1);
    EXPECT_EQ(timer->Read32(Chip::kCounter), 3686u - 1);
}

// The emitter lights while the transmit pin is an output driven high and the UART's
// transmitter leaves the pin to the pin controller.
struct EmitterCase {
    const char* name;
    bool output, uartTransmitter, high;
};

class Sa11x0Emitter : public ::testing::TestWithParam<EmitterCase> {};

TEST_P(Sa11x0Emitter, FollowsTheTransmitPin) {
    const EmitterCase& c = GetParam();
    SimHandheld handheld(*FindSimProfile("sa1110"));
    ScopedMapping pins(handheld, Chip::kPinControllerBase, true);
    ScopedMapping uart(handheld, Chip::kSerial2UartBase, true);
    uart->Write8(Chip::kSerial2Control, c.uartTransmitter ? Chip::kSerial2TransmitterOn : 0);
    pins->Write32(Chip::kPinState, c.high ? Chip::kTransmitPin : 0);
    pins->Write32(Chip::kPinDirection, c.output ? Chip::kTransmitPin : 0);
    EXPECT_EQ(handheld.Air().TransmitterOn(), c.output && !c.uartTransmitter && c.high);
    pins->Write32(Chip::kPinState, 0);
    EXPECT_FALSE(handheld.Air().TransmitterOn());
}

INSTANTIATE_TEST_SUITE_P(Pins, Sa11x0Emitter,
                         ::testing::Values(EmitterCase{"Lit", true, false, true},
                                           EmitterCase{"DarkAsInput", false, false, true},
                                           EmitterCase{"DarkWhileTheUartHasIt", true, true, true},
                                           EmitterCase{"DarkWhenLow", true, false, false}),
                         [](const auto& info) { return info.param.name; });

TEST(Sa11x0Chip, ReceivePinReadsTheAirWhileAnInput) {
    SimHandheld handheld(*FindSimProfile("sa1110"));
    RemoteWaveform wave;
    wave.durations = {1000};
    wave.delayNs = 1000000;
    handheld.Air().Play(wave, 0);
    ScopedMapping pins(handheld, Chip::kPinControllerBase, true);
    EXPECT_NE(pins->Read32(Chip::kPinState) & Chip::kReceivePin, 0u);
    handheld.Sleep(1);
    EXPECT_EQ(pins->Read32(Chip::kPinState) & Chip::kReceivePin, 0u);
}

TEST(Sa11x0Chip, IrdaPortTakesTheUartIntoInfraredAndBack) {
    SimHandheld handheld(*FindSimProfile("sa1110"));
    const uint32_t all =
        Chip::kSerial2Infrared | Chip::kSerial2ReceiverOn | Chip::kSerial2TransmitterOn;
    const SerialHandle port = handheld.OpenSerialPort("COM3:");
    handheld.SetSerialIrMode(port, true);
    EXPECT_EQ(handheld.Chip().Peek(Chip::kSerial2UartBase + Chip::kSerial2Control, 1), all);
    handheld.SetSerialIrMode(port, false);
    EXPECT_EQ(handheld.Chip().Peek(Chip::kSerial2UartBase + Chip::kSerial2Control, 1), 0u);
}

TEST(Sa11x0Chip, NarrowAccessToAWordRegisterIsAGuestError) {
    SimHandheld handheld(*FindSimProfile("sa1110"));
    ScopedMapping pins(handheld, Chip::kPinControllerBase, true);
    pins->Write8(Chip::kPinDirection, 0xFF);
    EXPECT_EQ(pins->Read16(Chip::kPinState), 0u);
    EXPECT_EQ(handheld.Chip().Peek(Chip::kPinControllerBase, 4), Chip::kBootDirection);
    EXPECT_EQ(handheld.GuestErrors().size(), 2u);
}

}  // namespace
