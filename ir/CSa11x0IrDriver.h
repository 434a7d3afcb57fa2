// The driver of the StrongARM SA-1100 and SA-1110: the transceiver on serial port 2's
// transmit and receive pins, worked through the peripheral pin controller.
#pragma once

#include <cstdint>

#include "ir/CGpioIrDriver.h"

class CSa11x0IrDriver : public CGpioIrDriver {
  public:
    explicit CSa11x0IrDriver(IrPlatform& platform);

    static constexpr uint32_t kSerial2UartAddress = 0x80030000;
    static constexpr uint32_t kSerial2HsspAddress = 0x80040000;
    static constexpr uint32_t kPinControllerAddress = 0x90060000;
    static constexpr uint32_t kOsTimerAddress = 0x90000000;
    static constexpr uint32_t kInterruptAddress = 0x90050000;

    static constexpr uint32_t kPinDirection = 0x00;
    static constexpr uint32_t kPinState = 0x04;
    static constexpr uint32_t kTransmitPin = 0x4000;
    static constexpr uint32_t kReceivePin = 0x8000;
    static constexpr uint32_t kSerial2Control = 0x00;  // byte register

    // The system call made around a send: it lights the notification LED meanwhile.
    static constexpr uint32_t kLedCall = 2;

  protected:
    GpioIrPins Pins() const override;
    void SetUpSendPins() override;
    void RestoreSendPins() override;
    void SendStarting() override { platform.SystemCall(kLedCall, 0, 1); }
    void SendFinished() override { platform.SystemCall(kLedCall, 0, 0); }

  private:
    RegisterBlock* uart_ = nullptr;  // optional: without it the UART byte is left alone
    uint8_t savedControl_ = 0;
    uint32_t savedDirection_ = 0;
};
