#include "ir/Detect.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "ir/CIrDriver.h"
#include "ir/IrResult.h"
#include "platform/sim/SimHandheld.h"

namespace {

struct NameCase {
    const char* core;
    const char* processor;
    int family;
};

class DetectProcessorTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(DetectProcessorTest, SearchesTheNamesInTableOrder) {
    SimProfile profile = *FindSimProfile("unknown");
    profile.info = {GetParam().core, GetParam().processor, 400};
    SimHandheld handheld(profile);
    EXPECT_EQ(DetectProcessor(handheld), GetParam().family);
}

INSTANTIATE_TEST_SUITE_P(
    Names, DetectProcessorTest,
    ::testing::Values(NameCase{"StrongARM", "SA1110", 1}, NameCase{"XScale", "PXA250", 2},
                      NameCase{"XScale", "PXA255", 3}, NameCase{"XScale", "PXA263", 4},
                      NameCase{"XScale", "PXA270", 5}, NameCase{"ARM920T", "S3C2440A", 6},
                      NameCase{"ARM920T", "S3C2410", 6}, NameCase{"ARM925T", "OMAP1510", 7},
                      NameCase{"ARM1136", "MX31", 0},
                      // Case matters; the blank joins core and processor name.
                      NameCase{"XScale", "pxa255", 0}, NameCase{"SA11", "", 1},
                      // "PXA250" is searched before "PXA255".
                      NameCase{"PXA255", "PXA250", 2}),
    [](const auto& info) {
        std::string name = std::string(info.param.core) + "_" + info.param.processor;
        for (char& c : name) {
            if (!isalnum(static_cast<unsigned char>(c))) {
                c = '_';
            }
        }
        return name;
    });

TEST(DetectProcessor, FailingQueryIsUnknown) {
    SimHandheld handheld(*FindSimProfile("pxa255"));
    handheld.SetQueryFails(true);
    EXPECT_EQ(DetectProcessor(handheld), 0);
}

TEST(DetectProcessor, EveryProfileIsWhatItClaims) {
    for (const SimProfile& profile : SimProfiles()) {
        SimHandheld handheld(profile);
        EXPECT_EQ(DetectProcessor(handheld), profile.family) << profile.id;
    }
}

constexpr uint32_t kPxaIrSelect = 0x20;
constexpr uint32_t kPxaInterruptEnable = 0x04;

struct PxaUartCase {
    const char* name;
    uint32_t irSelect[3];
    uint32_t interruptEnable[3];
    int index;
};

class PxaProbeTest : public ::testing::TestWithParam<PxaUartCase> {};

TEST_P(PxaProbeTest, NeedsInfraredModeAndTheUnitEnabled) {
    SimHandheld handheld(*FindSimProfile("pxa255"));
    for (int k = 0; k < 3; ++k) {
        handheld.Chip().Poke(kPxaUartBases[k] + kPxaIrSelect, GetParam().irSelect[k], 4);
        handheld.Chip().Poke(kPxaUartBases[k] + kPxaInterruptEnable, GetParam().interruptEnable[k],
                             4);
    }
    EXPECT_EQ(ProbePxaIrUart(handheld), GetParam().index);
    EXPECT_EQ(handheld.OpenMappings(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Uarts, PxaProbeTest,
    ::testing::Values(PxaUartCase{"None", {0, 0, 0}, {0x40, 0x40, 0x40}, 0},
                      PxaUartCase{"TransmitOnSecond", {0, 1, 0}, {0, 0x40, 0}, 2},
                      PxaUartCase{"ReceiveOnThird", {0, 0, 2}, {0, 0, 0x40}, 3},
                      PxaUartCase{"FirstWins", {1, 3, 0}, {0x40, 0x40, 0}, 1},
                      PxaUartCase{"UnitDisabled", {1, 0, 0}, {0x3F, 0, 0}, 0},
                      PxaUartCase{"DisabledThenEnabled", {1, 0, 1}, {0, 0, 0x40}, 3}),
    [](const auto& info) { return info.param.name; });

TEST(UartProbe, UnmappableUartIsSkipped) {
    SimHandheld handheld(*FindSimProfile("s3c2440"));
    handheld.Chip().Poke(kS3cUartBases[0], 0x43, 4);
    handheld.Chip().Poke(kS3cUartBases[2], 0x40, 4);
    EXPECT_EQ(ProbeS3cIrUart(handheld), 1);
    handheld.FailMapping(kS3cUartBases[0]);
    EXPECT_EQ(ProbeS3cIrUart(handheld), 3);
    handheld.Chip().Poke(kS3cUartBases[2], 0x3F, 4);
    EXPECT_EQ(ProbeS3cIrUart(handheld), 0);
}

// A driver that only opens its port the PXA way.
class ProbingDriver : public CIrDriver {
  public:
    using CIrDriver::CIrDriver;
    int OpenPort() override { return OpenPortProbing(ProbePxaIrUart, uartIndex); }
    int Send(uint16_t) override { return kIrOk; }
    int Capture() override { return kIrOk; }
    int uartIndex = -1;
};

TEST(UartProbe, FoundUartLeavesTheSerialPortAlone) {
    SimHandheld handheld(*FindSimProfile("pxa255"));
    handheld.Chip().Poke(kPxaUartBases[2] + kPxaIrSelect, 1, 4);
    handheld.Chip().Poke(kPxaUartBases[2] + kPxaInterruptEnable, 0x40, 4);
    ProbingDriver driver(handheld);
    EXPECT_EQ(driver.OpenPort(), kIrOk);  // no port name needed
    EXPECT_EQ(driver.uartIndex, 3);
    EXPECT_TRUE(handheld.SerialLog().empty());
}

TEST(UartProbe, WithoutInfraredUartOpensThePortAndProbesAgain) {
    SimHandheld handheld(*FindSimProfile("pxa255"));
    ProbingDriver driver(handheld);
    EXPECT_EQ(driver.OpenPort(), kIrNoPortName);
    driver.SetPortName("COM1:");
    EXPECT_EQ(driver.OpenPort(), kIrOk);  // opened, but still no UART in infrared mode
    EXPECT_EQ(driver.uartIndex, 0);
    EXPECT_TRUE(driver.IsPortOpen());
}

struct RateCase {
    const char* name;
    const char* processor;
    uint32_t clock;
    uint32_t divider;    // clock divider register
    uint32_t prescaler;  // prescaler 1
    uint32_t rate;       // ticks per millisecond
};

class S3cRateTest : public ::testing::TestWithParam<RateCase> {};

TEST_P(S3cRateTest, FromClockDividersAndPrescaler) {
    SimProfile profile = *FindSimProfile("s3c2440");
    profile.info = {"ARM920T", GetParam().processor, GetParam().clock};
    SimHandheld handheld(profile);
    handheld.Chip().Poke(kS3cClockDividerAddress, GetParam().divider, 4);
    handheld.Chip().Poke(0x51000000, GetParam().prescaler << 8 | 0x12, 4);
    ScopedMapping pwm(handheld, 0x51000000, true);
    EXPECT_EQ(S3cTimerRate(handheld, pwm.get()), GetParam().rate);
    EXPECT_EQ(handheld.OpenMappings(), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Clocks, S3cRateTest,
    ::testing::Values(
        // Clock 0 counts as 203 MHz: 203000 / (prescaler + 1) / 2, truncated.
        RateCase{"ZeroClockNoDividers", "S3C2410", 0, 0, 0, 101500},
        RateCase{"ZeroClockPrescaler2", "S3C2410", 0, 0, 2, 33833},
        // S3C2440: two-bit HCLK divider; 400 MHz / 3 / 2 (PCLK) / 25 / 2.
        RateCase{"S3c2440DividerThree", "S3C2440A", 400, 0x7, 24, 1333},
        RateCase{"S3c2440DividerTwo", "S3C2440A", 400, 0x5, 24, 1000},
        // S3C2410 reads bit 1 alone, so bit 2 changes nothing: 203 / 2 / 2 / 16 / 2.
        RateCase{"S3c2410IgnoresBitTwo", "S3C2410", 203, 0x7, 15, 1585},
        RateCase{"S3c2410HalvedHclk", "S3C2410", 203, 0x3, 15, 1585}),
    [](const auto& info) { return info.param.name; });

TEST(S3cRate, FailingQueryKeepsOneThousand) {
    SimHandheld handheld(*FindSimProfile("s3c2410"));
    handheld.SetQueryFails(true);
    ScopedMapping pwm(handheld, 0x51000000, true);
    EXPECT_EQ(S3cTimerRate(handheld, pwm.get()), 1000u);
}

}  // namespace
