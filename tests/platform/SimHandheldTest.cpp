#include "platform/sim/SimHandheld.h"

#include <gtest/gtest.h>

namespace {

TEST(SimHandheld, ReadsCostBusTimeAndWritesNone) {
    SimHandheld handheld(*FindSimProfile("pxa255"));
    handheld.Clock().SetRegisterReadCost(250);
    handheld.Clock().SetSystemCallCost(3000);
    RegisterBlock* uart = handheld.MapPage(0x40100000, true);  // a plain scratch register
    ASSERT_NE(uart, nullptr);
    uart->Write32(0x1C, 5);
    EXPECT_EQ(handheld.Clock().Now(), 0u);
    EXPECT_EQ(uart->Read32(0x1C), 5u);
    EXPECT_EQ(uart->Read8(0x1C), 5u);
    EXPECT_EQ(handheld.Clock().Now(), 500u);
    handheld.QueryPerformanceCounter();
    EXPECT_EQ(handheld.Clock().Now(), 3500u);
    handheld.Sleep(2);
    EXPECT_EQ(handheld.Clock().Now(), 2003500u);
    handheld.UnmapPage(uart);
    EXPECT_EQ(handheld.OpenMappings(), 0);
}

TEST(SimHandheld, PerformanceCounterFollowsTheClock) {
    SimHandheld handheld(*FindSimProfile("pxa255"));
    handheld.Sleep(1000);
    const uint64_t ticks = handheld.QueryPerformanceCounter();
    EXPECT_GE(ticks, 3686400u);
    EXPECT_LT(ticks, 3686400u + 10);
}

TEST(SimHandheld, BadAccessesAreGuestErrorsNotCrashes) {
    SimHandheld handheld(*FindSimProfile("pxa255"));
    RegisterBlock* gpio = handheld.MapPage(0x40E00000, false);
    ASSERT_NE(gpio, nullptr);
    EXPECT_EQ(gpio->Read32(4096), 0u);
    EXPECT_EQ(gpio->Read32(0x102), 0u);  // misaligned
    const uint32_t direction = handheld.Chip().Peek(0x40E00010, 4);
    gpio->Write32(0x10, ~direction);  // read-only mapping
    EXPECT_EQ(handheld.Chip().Peek(0x40E00010, 4), direction);
    EXPECT_EQ(handheld.GuestErrors().size(), 3u);
    handheld.UnmapPage(gpio);
}

TEST(SimHandheld, OnlyTheChipsPagesMap) {
    SimHandheld handheld(*FindSimProfile("pxa255"));
    EXPECT_EQ(handheld.MapPage(0x51000000, true), nullptr);  // an S3C page
    EXPECT_EQ(handheld.MapPage(0x40A00010, true), nullptr);  // not page-aligned
    handheld.FailMapping(0x40E00000);
    EXPECT_EQ(handheld.MapPage(0x40E00000, true), nullptr);
}

TEST(SimHandheld, SerialPortsOpenExclusively) {
    SimHandheld handheld(*FindSimProfile("pxa255"));
    const SerialHandle first = handheld.OpenSerialPort("com3:");
    ASSERT_NE(first, kInvalidSerialHandle);
    EXPECT_EQ(handheld.OpenSerialPort("COM3:"), kInvalidSerialHandle);
    EXPECT_EQ(handheld.OpenSerialPort("COM7:"), kInvalidSerialHandle);
    handheld.CloseSerialPort(first);
    EXPECT_NE(handheld.OpenSerialPort("COM3:"), kInvalidSerialHandle);
}

TEST(SimHandheld, StylusHeldForASpanOfVirtualTime) {
    SimHandheld handheld(*FindSimProfile("pxa255"));
    EXPECT_FALSE(handheld.IsStylusDown());
    handheld.HoldStylus(5000000);
    EXPECT_TRUE(handheld.IsStylusDown());
    handheld.Sleep(4);
    EXPECT_TRUE(handheld.IsStylusDown());
    handheld.Sleep(1);
    EXPECT_FALSE(handheld.IsStylusDown());
}

}  // namespace
