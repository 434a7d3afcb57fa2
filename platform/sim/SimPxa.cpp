#include "platform/sim/SimPxa.h"

#include "platform/sim/SimHandheld.h"

namespace {

// The receive and transmit pins of each UART, by IR UART index - 1.
struct UartPins {
    int receive, transmit;
};
constexpr UartPins kUartPins[3] = {{34, 39}, {42, 43}, {46, 47}};

uint32_t Bit1(int pin) {
    return 1u << (pin - 32);
}

}  // namespace

SimPxaChip::SimPxaChip(SimHandheld& handheld, uint64_t timerHertz)
    : SimChip(handheld), counter_(timerHertz), irUart_(handheld.Profile().irUartIndex) {
    for (uint32_t page : {kOsTimerBase, kGpioBase, kInterruptBase}) {
        AddPage(page);
    }
    for (uint32_t page : kUartBases) {
        AddPage(page);
    }
    if (irUart_ >= 1 && irUart_ <= 3) {
        receivePin_ = kUartPins[irUart_ - 1].receive;
        transmitPin_ = kUartPins[irUart_ - 1].transmit;
    }
    gpio_ = PageMemory(kGpioBase);
    Poke(kGpioBase + kPinDirection1, kBootDirection1, 4);
    Poke(kGpioBase + kAltFunction1Low, kBootAltFunction1Low, 4);
    Poke(kInterruptBase + kInterruptMask, kBootInterruptMask, 4);
    // The UARTs that are not the IR port run as plain serial ports.
    for (int k = 0; k < 3; ++k) {
        if (k + 1 != irUart_) {
            Poke(kUartBases[k] + kUartInterruptEnable, kUartUnitEnable, 4);
        }
    }
}

bool SimPxaChip::PinIsGpio(int pin) const {
    const uint32_t field = 3u << (2 * (pin - 32));
    return pin < 48 && (Peek(kGpioBase + kAltFunction1Low, 4) & field) == 0;
}

void SimPxaChip::UpdateEmitter() {
    if (transmitPin_ < 0) {
        return;
    }
    const uint32_t bit = Bit1(transmitPin_);
    const bool output = (Peek(kGpioBase + kPinDirection1, 4) & bit) != 0;
    handheld.Air().Transmit(handheld.Clock().Now(),
                            output && PinIsGpio(transmitPin_) && (latch1_ & bit) != 0);
}

uint32_t SimPxaChip::Read(uint32_t address, int width) {
    const uint32_t page = address & ~0xFFFu;
    if (page != kOsTimerBase && page != kGpioBase && page != kInterruptBase) {
        return Peek(address, width);  // UART registers take byte accesses too
    }
    if (!WordAccess(address, width)) {
        return 0;
    }
    switch (address) {
        case kOsTimerBase + kCounter:
            return counter_.Read(handheld.Clock());
        case kGpioBase + kPinLevel1: {
            uint32_t inputs = 0;
            if (receivePin_ >= 0 && handheld.Air().ReceiverIdle(handheld.Clock().Now())) {
                inputs |= Bit1(receivePin_);
            }
            return PinLevels(latch1_, WordAt(gpio_, kPinDirection1), inputs);
        }
        case kGpioBase + kPinSet1:
        case kGpioBase + kPinClear1:
            GuestAccessError("read of a write-only pin register", address, width);
            return 0;
        default:
            return Peek(address, width);
    }
}

void SimPxaChip::Write(uint32_t address, uint32_t value, int width) {
    const uint32_t page = address & ~0xFFFu;
    if (page != kOsTimerBase && page != kGpioBase && page != kInterruptBase) {
        Poke(address, value, width);
        return;
    }
    if (!WordAccess(address, width)) {
        return;
    }
    switch (address) {
        case kOsTimerBase + kCounter:
            counter_.Write(handheld.Clock(), value);
            return;
        case kGpioBase + kPinLevel1:
            GuestAccessError("write to the read-only pin level register", address, width);
            return;
        case kGpioBase + kPinSet1:
            latch1_ |= value;
            break;
        case kGpioBase + kPinClear1:
            latch1_ &= ~value;
            break;
        case kInterruptBase + kInterruptMask:
            WriteMask(address, value);
            return;
        default:
            Poke(address, value, width);
            break;
    }
    if (page == kGpioBase) {
        UpdateEmitter();
    }
}

void SimPxaChip::OnSerialIrMode(bool on) {
    if (irUart_ < 1 || irUart_ > 3) {
        return;
    }
    // The serial driver selects infrared transmit and receive and enables the unit; switching
    // back leaves the UART off, as a closed port is.
    const uint32_t base = kUartBases[irUart_ - 1];
    const uint32_t select = Peek(base + kUartIrSelect, 4);
    const uint32_t enable = Peek(base + kUartInterruptEnable, 4);
    const uint32_t modes = kUartIrTransmit | kUartIrReceive;
    Poke(base + kUartIrSelect, on ? select | modes : select & ~modes, 4);
    Poke(base + kUartInterruptEnable, on ? enable | kUartUnitEnable : enable & ~kUartUnitEnable, 4);
}
