#include "ir/CIrDriver.h"

#include <gtest/gtest.h>

#include <vector>

#include "ir/IrFactory.h"
#include "ir/IrResult.h"
#include "platform/sim/SimHandheld.h"

namespace {

// A driver whose passes write each emitted entry down, on the simulated handheld.
class RecordingDriver : public CIrDriver {
  public:
    using CIrDriver::CIrDriver;

    int Send(uint16_t repeat) override {
        if (innerValue == 0) {
            return kIrNoScheduling;
        }
        SetOuter(0);
        RunPasses(repeat, 1, false, [&](int32_t entry) {
            emitted.push_back(entry);
            platform.Sleep(1);  // each entry takes a millisecond of virtual time
        });
        SetOuter(outerValue);
        return kIrOk;
    }
    int Capture() override { return kIrOk; }

    std::vector<int32_t> emitted;
};

class DriverTest : public ::testing::Test {
  protected:
    DriverTest() : handheld(*FindSimProfile("pxa255")), driver(handheld) {}

    SimHandheld handheld;
    RecordingDriver driver;
};

TEST_F(DriverTest, OpenPortWithoutNameIs304) {
    driver.SetPortName("COM3:");
    driver.SetPortName("");
    EXPECT_EQ(driver.GetPortName(), "");
    EXPECT_EQ(driver.OpenPort(), kIrNoPortName);
    EXPECT_FALSE(driver.IsPortOpen());
}

TEST_F(DriverTest, OpenPortSetsUpTheSerialPortForInfrared) {
    driver.SetPortName("COM3:");
    ASSERT_EQ(driver.OpenPort(), kIrOk);
    EXPECT_TRUE(driver.IsPortOpen());
    EXPECT_EQ(handheld.SerialLog(),
              (std::vector<std::string>{"open COM3:", "timeouts", "settings", "ir on"}));
    EXPECT_EQ(handheld.LastSerialTimeouts().readInterval, kMaxTimeout);
    EXPECT_EQ(handheld.LastSerialTimeouts().readTotalConstant, 0u);
    EXPECT_EQ(handheld.LastSerialTimeouts().writeTotalConstant, 0u);
    const SerialSettings& s = handheld.LastSerialSettings();
    EXPECT_EQ(s.baudRate, 2400u);
    EXPECT_EQ(s.dtrControl, DtrControl::Disable);
    EXPECT_EQ(s.rtsControl, RtsControl::Disable);
    EXPECT_TRUE(s.txContinueOnXoff);
    EXPECT_FALSE(s.outX || s.inX || s.outxCtsFlow || s.outxDsrFlow || s.parityCheck);
    EXPECT_EQ(s.byteSize, 8);
    EXPECT_EQ(s.parity, 0);
    EXPECT_EQ(s.stopBits, 1);

    // Open already: nothing is opened again.
    ASSERT_EQ(driver.OpenPort(), kIrOk);
    EXPECT_EQ(handheld.SerialLog().size(), 4u);

    driver.ClosePort();
    EXPECT_FALSE(driver.IsPortOpen());
    EXPECT_EQ(handheld.SerialLog().back(), "close");
    EXPECT_EQ(handheld.SerialLog()[handheld.SerialLog().size() - 2], "ir off");
    driver.ClosePort();  // closed already: nothing happens
    EXPECT_EQ(handheld.SerialLog().back(), "close");
    EXPECT_TRUE(handheld.GuestErrors().empty());
}

TEST_F(DriverTest, BusyOrAbsentPortIs13AndStaysClosed) {
    handheld.SetPortBusy("COM3:", true);
    driver.SetPortName("COM3:");
    EXPECT_EQ(driver.OpenPort(), kIrPortBusy);
    EXPECT_FALSE(driver.IsPortOpen());
    driver.SetPortName("COM9:");
    EXPECT_EQ(driver.OpenPort(), kIrPortBusy);
}

TEST_F(DriverTest, FailedOpenAfterLoadKeepsTheNewSignal) {
    handheld.SetPortBusy("COM3:", true);
    driver.SetPortName("COM3:");
    const int32_t signal[] = {700, -300, 700};
    EXPECT_EQ(driver.LoadSignal(signal, 3, 0, 30), kIrPortBusy);
    EXPECT_EQ(driver.Signal().count, 3);
    EXPECT_EQ(driver.Signal().durations[2], 700);
    EXPECT_EQ(driver.Signal().carrierPeriod, 30);
}

TEST_F(DriverTest, SendBeforeAnyOpenIs302) {
    EXPECT_EQ(driver.Send(3), kIrNoScheduling);
}

TEST_F(DriverTest, SchedulingValuesAreThoseOfTheFirstOpen) {
    driver.SetPortName("COM3:");
    handheld.SetThreadValues(130, 25);
    const int32_t signal[] = {700, -300};
    ASSERT_EQ(driver.LoadSignal(signal, 2, 0, 26), kIrOk);
    driver.ClosePort();
    handheld.SetThreadValues(200, 50);  // changed later: not taken up
    ASSERT_EQ(driver.OpenPort(), kIrOk);
    ASSERT_EQ(driver.Send(1), kIrOk);
    EXPECT_EQ(handheld.ThreadPriority(), 130);
    EXPECT_EQ(handheld.ThreadQuantum(), 25u);
}

// Passes and stylus: each entry takes 1 ms; a signal of two entries, 2 ms a pass.
struct PassCase {
    const char* name;
    uint16_t repeat;
    uint64_t holdMs;  // stylus held from the start of the send
    int passes;
};

class SendPasses : public DriverTest, public ::testing::WithParamInterface<PassCase> {};

TEST_P(SendPasses, FollowTheRepeatRule) {
    driver.SetPortName("COM3:");
    const int32_t signal[] = {700, -300};
    ASSERT_EQ(driver.LoadSignal(signal, 2, 0, 26), kIrOk);
    handheld.HoldStylus(GetParam().holdMs * 1000000);
    ASSERT_EQ(driver.Send(GetParam().repeat), kIrOk);
    EXPECT_EQ(driver.LastPassCount(), GetParam().passes);
    EXPECT_EQ(driver.emitted.size(), 2u * GetParam().passes);
}

INSTANTIATE_TEST_SUITE_P(
    Repeats, SendPasses,
    ::testing::Values(PassCase{"ThreeEvenIfHeld", 3, 1000, 3}, PassCase{"AtLeastThree", 0, 0, 3},
                      PassCase{"ThreeThenWhileHeld", 0, 11, 6},  // held through 11 ms
                      PassCase{"AtLeastOne", 0xFFFF, 0, 1},
                      PassCase{"OneThenWhileHeld", 0xFFFF, 5, 3}),
    [](const auto& info) { return info.param.name; });

TEST_F(DriverTest, FurtherPassesSendOnlyTheFrame) {
    driver.SetPortName("COM3:");
    const int32_t signal[] = {1, -2, 3, -4, 5, -6, 7, -8, 9, -10};
    ASSERT_EQ(driver.LoadSignal(signal, 10, 4, 26), kIrOk);
    ASSERT_EQ(driver.Send(2), kIrOk);
    EXPECT_EQ(driver.emitted,
              (std::vector<int32_t>{1, -2, 3, -4, 5, -6, 7, -8, 9, -10, 5, -6, 7, -8, 9, -10}));
    driver.emitted.clear();
    ASSERT_EQ(driver.Send(1), kIrOk);  // no new load: starts at the frame
    EXPECT_EQ(driver.emitted, (std::vector<int32_t>{5, -6, 7, -8, 9, -10}));
}

TEST(IrFactory, UnknownProcessorGivesNoDriverEveryTime) {
    SimHandheld handheld(*FindSimProfile("unknown"));
    CIrDriverFactory drivers(handheld);
    EXPECT_EQ(drivers.GetIrDriver(), nullptr);
    EXPECT_EQ(drivers.GetIrDriver(), nullptr);
    EXPECT_EQ(handheld.OpenMappings(), 0);
}

TEST(IrFactory, TheDriverIsMadeOnceAndMadeAgainAfterItWasDestroyed) {
    SimHandheld handheld(*FindSimProfile("pxa255"));
    CIrDriverFactory drivers(handheld);
    CIrDriver* first = drivers.GetIrDriver();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(drivers.GetIrDriver(), first);
    drivers.DestroyIrDriver();
    EXPECT_NE(drivers.GetIrDriver(), nullptr);
}

}  // namespace
