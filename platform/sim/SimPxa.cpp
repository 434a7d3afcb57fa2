#include "platform/sim/SimPxa.h"

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

SimPxaChip::SimPxaChip(const SimChipWiring& wiring, uint64_t timerHertz)
    : SimChip(wiring), counter_(timerHertz), irUart_(wiring.irUartIndex) {
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
    air_.Transmit(clock_.Now(), output && PinIsGpio(transmitPin_) && (latch1_ & bit) != 0);
}

// The UART registers take byte accesses too; the three that the IR engine and the serial
// driver use are plain.
uint32_t SimPxaChip::ReadUart(uint32_t address, int width) {
    switch (address & 0xFFF) {
        case kUartInterruptEnable:
        case kUartScratch:
        case kUartIrSelect:
            return Peek(address, width);
        default:
            return UnknownRead(address, width);
    }
}

void SimPxaChip::WriteUart(uint32_t address, uint32_t value, int width) {
    switch (address & 0xFFF) {
        case kUartInterruptEnable:
        case kUartScratch:
        case kUartIrSelect:
            Poke(address, value, width);
            return;
        default:
            UnknownWrite(address, width);
            return;
    }
}

uint32_t SimPxaChip::Read(uint32_t address, int width) {
    const uint32_t page = address & ~0xFFFu;
    if (page != kOsTimerBase && page != kGpioBase && page != kInterruptBase) {
        return ReadUart(address, width);
    }
    if (!WordAccess(address, width)) {
        return 0;
    }
    switch (address) {
        case kOsTimerBase + kCounter:
            return counter_.Read(clock_);
        case kGpioBase + kPinLevel1: {
            uint32_t inputs = 0;
            if (receivePin_ >= 0 && air_.ReceiverIdle(clock_.Now())) {
                inputs |= Bit1(receivePin_);
            }
            return PinLevels(latch1_, WordAt(gpio_, kPinDirection1), inputs);
        }
        case kGpioBase + kPinSet1:
        case kGpioBase + kPinClear1:
            GuestAccessError("read of a write-only pin register", address, width);
            return 0;
        case kGpioBase + kPinDirection1:
        case kGpioBase + kAltFunction1Low:
        case kInterruptBase + kInterruptMask:
            return Peek(address, width);
        default:
            return UnknownRead(address, width);
    }
}

void SimPxaChip::Write(uint32_t address, uint32_t value, int width) {
    const uint32_t page = address & ~0xFFFu;
    if (page != kOsTimerBase && page != kGpioBase && page != kInterruptBase) {
        WriteUart(address, value, width);
        return;
    }
    if (!WordAccess(address, width)) {
        return;
    }
    switch (address) {
        case kOsTimerBase + kCounter:
            counter_.Write(clock_, value);
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
        case kGpioBase + kPinDirection1:
        case kGpioBase + kAltFunction1Low:
            Poke(address, value, width);
            break;
        default:
            UnknownWrite(address, width);
            return;
    }
    UpdateEmitter();
}

uint64_t SimPxaChip::CounterAdvanceTime(uint32_t address, uint64_t readAt, uint64_t ticks) {
    return address == kOsTimerBase + kCounter ? counter_.TimeOfAdvance(readAt, ticks) : readAt;
}

uint64_t SimPxaChip::SteadyUntil(uint32_t address, int width, uint64_t readAt) {
    if (address != kGpioBase + kPinLevel1 || width != 4) {
        return readAt;
    }
    // Only the receive pin changes without a write.
    return receivePin_ < 0 ? SimIrAir::kNever : air_.ReceiverSteadyUntil(readAt);
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
