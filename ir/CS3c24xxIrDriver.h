// The IR driver of S3C2410 and S3C2440 handhelds.
//
// The transceiver hangs on the pins of the chip's infrared UART, which the driver works as
// plain port H pins. These chips have no free-running counter, so the driver borrows one
// of the 16-bit PWM timers 2 to 4 that the system leaves idle, runs it as a reloading
// down-counter from 0xFFFF, and counts its reloads through the timer's pending bit with the
// interrupt itself masked. Inside the driver every time is in ticks of that timer.
#pragma once

#include <cstdint>

#include "ir/CIrDriver.h"

class CS3c24xxIrDriver : public CIrDriver, private CCaptureEdges {
  public:
    explicit CS3c24xxIrDriver(IrPlatform& platform);
    ~CS3c24xxIrDriver() override;

    int Send(uint16_t repeat) override;
    int Capture() override;
    int OpenPort() override;

  private:
    // The borrowed timer and what it looked like before.
    struct Borrowed {
        int timer = 0;  // 0..2 for timers 2..4
        uint32_t control = 0;
        uint32_t divider = 0;
        uint32_t countBuffer = 0;
        bool wasMasked = false;
    };

    int ChooseTimer();
    void SetUpTimer(bool start);
    void StartTimer();
    void RestoreTimer();
    uint32_t Count();
    bool Pending();
    void ClearPending();

    void WaitUntil(uint64_t tick);
    void EmitMark(uint64_t from, uint64_t until, uint32_t markUs);

    // The receiver for the capture core: the receive pin, timed on the borrowed timer.
    uint64_t TicksPerSecond() const override;
    uint64_t Now() override;
    // Takes a count read from the timer into Now()'s reckoning; `reloaded` when the timer
    // reloaded since the count read before.
    uint64_t TakeCount(uint32_t count, bool reloaded);
    bool PollUntil(uint64_t tick, const bool* idle);
    bool NextPulse(uint64_t deadline, bool onCounts, uint64_t& at) override;
    bool WaitWhile(bool idle, uint64_t deadline);

    RegisterBlock* pwm = nullptr;
    RegisterBlock* gpio = nullptr;
    RegisterBlock* interrupts = nullptr;
    uint32_t timerTicksPerMs = 1000;
    int irUart = 0;

    Borrowed borrowed;
    uint32_t interruptBit = 0;   // of the borrowed timer; 0 outside Send and Capture
    uint32_t countRegister = 0;  // its count observation register
    uint32_t receiveMask = 0;
    uint64_t reloads = 0;
    uint32_t lastCount =
        0;  // the count read last  // capture: ticks of the reloads seen since the timer started
};
