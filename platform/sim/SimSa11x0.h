// The StrongARM SA-11x0 as the IR engine sees it: the operating-system timer, the
// peripheral pin controller, the interrupt controller's mask and serial port 2 (the IrDA
// port) with its control byte.
//
// The IR transceiver hangs on serial port 2's pins, which the pin controller works as plain
// I/O while the UART's receiver and transmitter are off: the emitter lights while the
// transmit pin is an output driven high, and the receiver pulls the receive pin low during
// each carrier pulse, which the pin state register shows while the pin is an input.
#pragma once

#include <cstdint>

#include "platform/sim/SimChip.h"

class SimSa11x0Chip : public SimChip {
  public:
    // Physical pages.
    static constexpr uint32_t kSerial2UartBase = 0x80030000;
    static constexpr uint32_t kSerial2HsspBase = 0x80040000;
    static constexpr uint32_t kPinControllerBase = 0x90060000;
    static constexpr uint32_t kOsTimerBase = 0x90000000;
    static constexpr uint32_t kInterruptBase = 0x90050000;

    // Operating-system timer.
    static constexpr uint32_t kCounter = 0x10;

    // Peripheral pin controller.
    static constexpr uint32_t kPinDirection = 0x00;   // 1 = output
    static constexpr uint32_t kPinState = 0x04;       // outputs: written level; inputs: pin
    static constexpr uint32_t kTransmitPin = 0x4000;  // serial port 2 transmit
    static constexpr uint32_t kReceivePin = 0x8000;   // serial port 2 receive

    // Interrupt controller.
    static constexpr uint32_t kInterruptMask = 0x04;

    // Serial port 2 control byte: infrared line coding, and the UART's receiver and
    // transmitter, which own the port's pins while enabled.
    static constexpr uint32_t kSerial2Control = 0x00;
    static constexpr uint8_t kSerial2Infrared = 0x01;
    static constexpr uint8_t kSerial2ReceiverOn = 0x08;
    static constexpr uint8_t kSerial2TransmitterOn = 0x10;

    // What the boot code leaves behind: a few unrelated pins are outputs, the port's pins
    // inputs; some interrupt sources enabled.
    static constexpr uint32_t kBootDirection = 0x000020F1;
    static constexpr uint32_t kBootInterruptMask = 0x0C402A00;

    explicit SimSa11x0Chip(const SimChipWiring& wiring);

    uint32_t Read(uint32_t address, int width) override;
    void Write(uint32_t address, uint32_t value, int width) override;
    void OnSerialIrMode(bool on) override;
    uint64_t CounterAdvanceTime(uint32_t address, uint64_t readAt, uint64_t ticks) override;
    uint64_t SteadyUntil(uint32_t address, int width, uint64_t readAt) override;

  private:
    void UpdateEmitter();

    SimFreeRunningCounter counter_;
    uint32_t latch_ = 0;
    const uint8_t* pinController_ = nullptr;  // the pin controller page's memory
};
