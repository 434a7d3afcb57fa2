#include "ir/CSa11x0IrDriver.h"

namespace {

// A 3.6864 MHz timer; interrupts and the thread's inner value as they are in the chip's
// tightest loops already (0 is the most urgent inner value).
constexpr GpioIrChipTraits kSa11x0 = {
    .ticksPerSecond = 3686400,
    .maskDuringMark = false,
    .markMaskKeep = 0,
    .maskDuringCapture = false,
    .captureMaskKeep = 0,
    .burstInner = 0,
    .lastEntryOutside = false,
};

// Serial port 2 control byte: infrared coding on; the UART's receiver and transmitter off,
// so that the pin controller has the pins.
constexpr uint8_t kInfrared = 0x01;
constexpr uint8_t kReceiverAndTransmitter = 0x18;

}  // namespace

CSa11x0IrDriver::CSa11x0IrDriver(IrPlatform& platform)
    : CGpioIrDriver(platform, kSa11x0, kOsTimerAddress, kInterruptAddress, kPinControllerAddress) {
    uart_ = MapBlock(kSerial2UartAddress);
    MapBlock(kSerial2HsspAddress);  // mapped as the chip's IrDA set, not used further
}

GpioIrPins CSa11x0IrDriver::Pins() const {
    return {kPinState, kReceivePin, kPinState, kTransmitPin, kPinState, 0};
}

void CSa11x0IrDriver::SetUpSendPins() {
    if (uart_) {
        savedControl_ = uart_->Read8(kSerial2Control);
        uart_->Write8(kSerial2Control, savedControl_ | kInfrared);
        uart_->Write8(kSerial2Control,
                      static_cast<uint8_t>((savedControl_ | kInfrared) & ~kReceiverAndTransmitter));
    }
    savedDirection_ = pinBlock->Read32(kPinDirection);
    pinBlock->Write32(kPinDirection, kTransmitPin);
}

void CSa11x0IrDriver::RestoreSendPins() {
    if (uart_) {
        uart_->Write8(kSerial2Control, savedControl_);
    }
    pinBlock->Write32(kPinDirection, savedDirection_);
}
