// The Intel PXA25x/26x and PXA27x as the IR engine sees them: the operating-system timer,
// the GPIO controller (pins 32 to 63 have behaviour), the interrupt controller's mask and
// the three UARTs' infrared selection and interrupt enable registers.
//
// The IR transceiver hangs on the pins of the profile's IR UART. Its emitter lights while
// the transmit pin is a GPIO output driven high; its receiver pulls the receive pin low
// during each carrier pulse, which the pin level register shows while the pin is an input.
#pragma once

#include <cstdint>

#include "platform/sim/SimChip.h"

class SimPxaChip : public SimChip {
  public:
    // Physical pages.
    static constexpr uint32_t kOsTimerBase = 0x40A00000;
    static constexpr uint32_t kGpioBase = 0x40E00000;
    static constexpr uint32_t kInterruptBase = 0x40D00000;
    static constexpr uint32_t kUartBases[3] = {0x40100000, 0x40200000, 0x40700000};

    // Operating-system timer.
    static constexpr uint32_t kCounter = 0x10;  // free-running up-counter

    // GPIO bank 1 (pins 32 to 63; pin 32 + k is bit k).
    static constexpr uint32_t kPinLevel1 = 0x04;        // read-only
    static constexpr uint32_t kPinDirection1 = 0x10;    // 1 = output
    static constexpr uint32_t kPinSet1 = 0x1C;          // write-only: drive the bits high
    static constexpr uint32_t kPinClear1 = 0x28;        // write-only: drive the bits low
    static constexpr uint32_t kAltFunction1Low = 0x5C;  // two bits per pin 32..47; 0 = GPIO

    // Interrupt controller.
    static constexpr uint32_t kInterruptMask = 0x04;  // 1 = source enabled

    // UART.
    static constexpr uint32_t kUartInterruptEnable = 0x04;
    static constexpr uint32_t kUartScratch = 0x1C;  // plain
    static constexpr uint32_t kUartUnitEnable = 0x40;
    static constexpr uint32_t kUartIrSelect = 0x20;
    static constexpr uint32_t kUartIrTransmit = 0x01;
    static constexpr uint32_t kUartIrReceive = 0x02;

    // What the handheld's boot code leaves behind: every UART's pins in their UART function
    // (receive pins inputs, transmit pins outputs), and some interrupt sources enabled,
    // the OS timer matches 0 and 1 among them.
    static constexpr uint32_t kBootDirection1 = 0x00108881;
    static constexpr uint32_t kBootAltFunction1Low = 0x60908010;
    static constexpr uint32_t kBootInterruptMask = 0x0C402A00;

    // `timerHertz` is 3686400 on the PXA25x/26x and 3250000 on the PXA27x.
    SimPxaChip(const SimChipWiring& wiring, uint64_t timerHertz);

    uint32_t Read(uint32_t address, int width) override;
    void Write(uint32_t address, uint32_t value, int width) override;
    void OnSerialIrMode(bool on) override;
    uint64_t CounterAdvanceTime(uint32_t address, uint64_t readAt, uint64_t ticks) override;
    uint64_t SteadyUntil(uint32_t address, int width, uint64_t readAt) override;

    // The transceiver's pins (32..63), or -1 when the profile has no IR UART.
    int ReceivePin() const { return receivePin_; }
    int TransmitPin() const { return transmitPin_; }
    // The pin set/clear latch of bank 1.
    uint32_t OutputLatch1() const { return latch1_; }

  private:
    uint32_t ReadUart(uint32_t address, int width);
    void WriteUart(uint32_t address, uint32_t value, int width);
    bool PinIsGpio(int pin) const;
    void UpdateEmitter();

    SimFreeRunningCounter counter_;
    uint32_t latch1_ = 0;
    const uint8_t* gpio_ = nullptr;  // the GPIO page's memory
    int irUart_;
    int receivePin_ = -1;
    int transmitPin_ = -1;
};
