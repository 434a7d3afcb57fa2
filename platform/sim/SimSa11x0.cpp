#include "platform/sim/SimSa11x0.h"

SimSa11x0Chip::SimSa11x0Chip(const SimChipWiring& wiring) : SimChip(wiring), counter_(3686400) {
    for (uint32_t page :
         {kSerial2UartBase, kSerial2HsspBase, kPinControllerBase, kOsTimerBase, kInterruptBase}) {
        AddPage(page);
    }
    pinController_ = PageMemory(kPinControllerBase);
    Poke(kPinControllerBase + kPinDirection, kBootDirection, 4);
    Poke(kInterruptBase + kInterruptMask, kBootInterruptMask, 4);
}

void SimSa11x0Chip::UpdateEmitter() {
    const uint32_t direction = Peek(kPinControllerBase + kPinDirection, 4);
    const bool uartOwnsPin =
        (Peek(kSerial2UartBase + kSerial2Control, 1) & kSerial2TransmitterOn) != 0;
    air_.Transmit(clock_.Now(),
                  (direction & kTransmitPin) != 0 && !uartOwnsPin && (latch_ & kTransmitPin) != 0);
}

uint32_t SimSa11x0Chip::Read(uint32_t address, int width) {
    // The serial port's control byte takes byte accesses; the other registers of its pages
    // are not modelled.
    if (address == kSerial2UartBase + kSerial2Control) {
        return Peek(address, width);
    }
    const uint32_t page = address & ~0xFFFu;
    if (page == kSerial2UartBase || page == kSerial2HsspBase) {
        return UnknownRead(address, width);
    }
    if (!WordAccess(address, width)) {
        return 0;
    }
    switch (address) {
        case kOsTimerBase + kCounter:
            return counter_.Read(clock_);
        case kPinControllerBase + kPinState: {
            const uint32_t inputs = air_.ReceiverIdle(clock_.Now()) ? kReceivePin : 0;
            return PinLevels(latch_, WordAt(pinController_, kPinDirection), inputs);
        }
        case kPinControllerBase + kPinDirection:
        case kInterruptBase + kInterruptMask:
            return Peek(address, width);
        default:
            return UnknownRead(address, width);
    }
}

void SimSa11x0Chip::Write(uint32_t address, uint32_t value, int width) {
    if (address == kSerial2UartBase + kSerial2Control) {
        Poke(address, value, width);
        UpdateEmitter();
        return;
    }
    const uint32_t page = address & ~0xFFFu;
    if (page == kSerial2UartBase || page == kSerial2HsspBase) {
        UnknownWrite(address, width);
        return;
    }
    if (!WordAccess(address, width)) {
        return;
    }
    switch (address) {
        case kOsTimerBase + kCounter:
            counter_.Write(clock_, value);
            return;
        case kPinControllerBase + kPinState:
            latch_ = value;
            break;
        case kPinControllerBase + kPinDirection:
            Poke(address, value, width);
            break;
        case kInterruptBase + kInterruptMask:
            WriteMask(address, value);
            return;
        default:
            UnknownWrite(address, width);
            return;
    }
    UpdateEmitter();
}

uint64_t SimSa11x0Chip::CounterAdvanceTime(uint32_t address, uint64_t readAt, uint64_t ticks) {
    return address == kOsTimerBase + kCounter ? counter_.TimeOfAdvance(readAt, ticks) : readAt;
}

uint64_t SimSa11x0Chip::SteadyUntil(uint32_t address, int width, uint64_t readAt) {
    // Only the receive pin changes without a write.
    return address == kPinControllerBase + kPinState && width == 4
               ? air_.ReceiverSteadyUntil(readAt)
               : readAt;
}

void SimSa11x0Chip::OnSerialIrMode(bool on) {
    // The serial driver selects the infrared coding and lets the UART run the port's pins.
    const uint32_t modes = kSerial2Infrared | kSerial2ReceiverOn | kSerial2TransmitterOn;
    const uint32_t control = Peek(kSerial2UartBase + kSerial2Control, 1);
    Poke(kSerial2UartBase + kSerial2Control, on ? control | modes : control & ~modes, 1);
    UpdateEmitter();
}
