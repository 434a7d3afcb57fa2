// The Intel PXA drivers: the transceiver on the pins of whichever UART the system set to
// infrared mode, worked as GPIO pins 32 to 63. CPxa25xIrDriver and CPxa27xIrDriver differ
// only in their GpioIrChipTraits.
#pragma once

#include <cstdint>

#include "ir/CGpioIrDriver.h"

class CPxaIrDriver : public CGpioIrDriver {
  public:
    // Finds the UART in infrared mode, switching the named port's one into it if needed.
    int OpenPort() override;

    static constexpr uint32_t kOsTimerAddress = 0x40A00000;
    static constexpr uint32_t kGpioAddress = 0x40E00000;
    static constexpr uint32_t kInterruptAddress = 0x40D00000;

    // GPIO registers of pins 32 to 63.
    static constexpr uint32_t kPinLevel1 = 0x04;
    static constexpr uint32_t kPinDirection1 = 0x10;
    static constexpr uint32_t kPinSet1 = 0x1C;
    static constexpr uint32_t kPinClear1 = 0x28;
    static constexpr uint32_t kAltFunction1Low = 0x5C;

  protected:
    CPxaIrDriver(IrPlatform& platform, const GpioIrChipTraits& traits);

    int CheckPins() const override;
    GpioIrPins Pins() const override;
    void SetUpSendPins() override;
    void RestoreSendPins() override { RestorePins(); }
    void SetUpCapturePins() override;
    void RestoreCapturePins() override { RestorePins(); }

  private:
    void SavePins();
    void RestorePins();

    int uartIndex_ = 0;  // 1..3 once a UART in infrared mode is found
    uint32_t savedDirection_ = 0;
    uint32_t savedAltFunction_ = 0;
};
