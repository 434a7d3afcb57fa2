#include "ir/CPxaIrDriver.h"

#include "ir/Detect.h"
#include "ir/IrResult.h"

namespace {

// The transceiver's pins by IR UART index - 1: bit in the bank-1 registers and the pin's
// field in alternate function 1 low.
struct PxaIrPins {
    uint32_t receiveMask, receiveField;
    uint32_t transmitMask, transmitField;
};
constexpr PxaIrPins kPinsByUart[3] = {
    {0x4, 0x30, 0x80, 0xC000},                 // full-function UART: GPIO 34 and 39
    {0x400, 0x300000, 0x800, 0xC00000},        // Bluetooth UART: GPIO 42 and 43
    {0x4000, 0x30000000, 0x8000, 0xC0000000},  // standard UART: GPIO 46 and 47
};

}  // namespace

CPxaIrDriver::CPxaIrDriver(IrPlatform& platform, const GpioIrChipTraits& traits)
    : CGpioIrDriver(platform, traits, kOsTimerAddress, kInterruptAddress, kGpioAddress) {}

int CPxaIrDriver::OpenPort() {
    return OpenPortProbing(ProbePxaIrUart, uartIndex_);
}

int CPxaIrDriver::CheckPins() const {
    return uartIndex_ >= 1 && uartIndex_ <= 3 ? kIrOk : kIrNoIrUart;
}

GpioIrPins CPxaIrDriver::Pins() const {
    const PxaIrPins& pins = kPinsByUart[uartIndex_ - 1];
    return {kPinLevel1,        pins.receiveMask, kPinSet1,
            pins.transmitMask, kPinClear1,       pins.transmitMask};
}

void CPxaIrDriver::SavePins() {
    savedDirection_ = pinBlock->Read32(kPinDirection1);
    savedAltFunction_ = pinBlock->Read32(kAltFunction1Low);
}

void CPxaIrDriver::RestorePins() {
    pinBlock->Write32(kAltFunction1Low, savedAltFunction_);
    pinBlock->Write32(kPinDirection1, savedDirection_);
}

void CPxaIrDriver::SetUpSendPins() {
    const PxaIrPins& pins = kPinsByUart[uartIndex_ - 1];
    SavePins();
    pinBlock->Write32(kAltFunction1Low, savedAltFunction_ & ~pins.transmitField);
    pinBlock->Write32(kPinDirection1, savedDirection_ | pins.transmitMask);
}

void CPxaIrDriver::SetUpCapturePins() {
    const PxaIrPins& pins = kPinsByUart[uartIndex_ - 1];
    SavePins();
    pinBlock->Write32(kAltFunction1Low, savedAltFunction_ & ~pins.receiveField);
    pinBlock->Write32(kPinDirection1, savedDirection_ & ~pins.receiveMask);
}
