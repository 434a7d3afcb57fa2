// A LIRC driver on test devices: a receiver and a transmitter mounted as FUSE LIRC files
// (two devices, as on a Raspberry Pi), sharing one sped-up clock with the driver.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "ir/CLircIrDriver.h"
#include "ir/CaptureCore.h"
#include "platform/host/HostLircDevice.h"
#include "platform/host/LircPlatform.h"
#include "tests/support/FuseLircDevice.h"

// Device time runs this much faster than real time in the tests.
constexpr uint32_t kTestSpeedUp = 10;

inline FuseLircConfig ReceiverOnly(FuseLircConfig config = {}) {
    config.features &=
        ~(LIRC_CAN_SEND_PULSE | LIRC_CAN_SET_SEND_CARRIER | LIRC_CAN_SET_SEND_DUTY_CYCLE);
    return config;
}
inline FuseLircConfig TransmitterOnly(FuseLircConfig config = {}) {
    config.features &=
        LIRC_CAN_SEND_PULSE | LIRC_CAN_SET_SEND_CARRIER | LIRC_CAN_SET_SEND_DUTY_CYCLE;
    return config;
}

class LircTestBench {
  public:
    LircTestBench(FuseLircConfig receiverConfig, FuseLircConfig transmitterConfig)
        : clock(kTestSpeedUp),
          receiverDevice(clock, receiverConfig),
          transmitterDevice(clock, transmitterConfig),
          platform([this] { return heldChecks > 0 && heldChecks-- > 0; }),
          driver(platform, transmitter, receiver, clock) {
        driver.SetDevices(transmitterDevice.Path(), receiverDevice.Path());
    }

    bool Mounted() const { return receiverDevice.Mounted() && transmitterDevice.Mounted(); }
    std::string Error() const {
        return receiverDevice.Error().empty() ? transmitterDevice.Error() : receiverDevice.Error();
    }

    ScaledLircClock clock;
    FuseLircDevice receiverDevice;
    FuseLircDevice transmitterDevice;
    int heldChecks = 0;  // how many more times the button reads as held
    LircPlatform platform;
    HostLircDevice transmitter;
    HostLircDevice receiver;
    CLircIrDriver driver;
    CaptureWatch watch;  // for a case that watches the capture
};

// Skips the test when this machine cannot mount FUSE file systems.
#define LIRC_BENCH_OR_SKIP(bench)                                               \
    do {                                                                        \
        if (!(bench).Mounted()) {                                               \
            GTEST_SKIP() << "FUSE cannot be mounted here: " << (bench).Error(); \
        }                                                                       \
    } while (false)
