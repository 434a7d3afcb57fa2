// The IR driver of OMAP1510 handhelds.
//
// The transceiver sits on the IrDA-capable UART 3, and the UART makes the carrier: while a
// signal is loaded, UART 3 runs as a plain UART whose bit time is half a carrier period,
// so that a stream of 0x55 bytes is a square wave; a space holds the line in break. MPU
// timer 3, running down freely, times the durations against the send's start. Learning uses
// the UART's wake-up detector as an edge detector on the receive line and times the edges
// with the same timer running free.
#pragma once

#include <cstdint>

#include "ir/CIrDriver.h"

class COmap1510IrDriver : public CIrDriver, private CCaptureEdges {
  public:
    explicit COmap1510IrDriver(IrPlatform& platform);
    ~COmap1510IrDriver() override;

    void ClosePort() override;
    int LoadSignal(const int32_t* durations, uint16_t count, uint16_t frameStart,
                   uint8_t carrierPeriod) override;
    int Send(uint16_t repeat) override;
    int Capture() override;

  private:
    // The UART divisor that makes a carrier of `period` microseconds.
    static uint8_t DivisorFor(uint8_t period);

    uint8_t In(uint32_t offset);
    void Out(uint32_t offset, uint8_t value);
    uint32_t Timer(uint32_t offset);
    void SetTimer(uint32_t offset, uint32_t value);

    void ProgramUart(uint8_t divisor);
    void RestoreUart();
    void StartFreeRunning();
    void WaitUntil(uint64_t tick);
    PollResult PollTimer(uint64_t tick, CounterPoll watch);
    void EmitMark(uint64_t from, uint64_t until);

    // The receiver for the capture core: the wake-up detector's falling edges, timed on
    // timer 3 running down freely.
    uint64_t TicksPerSecond() const override;
    uint64_t Now() override;
    bool NextPulse(uint64_t deadline, bool onCounts, uint64_t& at) override;
    void Arm();
    void Disarm();

    RegisterBlock* uartPage = nullptr;
    RegisterBlock* timers = nullptr;
    RegisterBlock* config = nullptr;

    // What LoadSignal found and changed, put back by ClosePort.
    uint32_t uartReprogrammed = 0;
    struct SavedUart {
        uint8_t wakeControl, mode1, lineControl, enhanced, interruptEnable;
        uint8_t divisorLow, divisorHigh, supplementaryConfig, supplementaryOperational;
    } saved = {};
    uint32_t savedModuleConfig = 0;
    uint32_t savedPinMux = 0;

    // Send: the UART's bit time in timer ticks times 65536.
    uint64_t bitFx = 0;

    // Capture: the timer count last read, and the ticks since the set-up.
    CountedTicks elapsed{.countsDown = true};
};
