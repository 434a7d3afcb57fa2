// The S3C2410 / S3C2440 system-on-chip of a simulated handheld, as far as the IR engine
// sees it: PWM timers 2 to 4, port H (the IR UART's pins), the interrupt controller's
// pending and mask registers, the clock divider register and the UARTs' line control.
//
// The timers count down at PCLK / (prescaler 1 + 1) / divider, where PCLK comes from the
// core clock and the clock divider register; they reload from their count buffer after
// reaching 0 and set their source-pending bit at every reload. The IR transceiver hangs
// on the transmit and receive pins of the profile's IR UART: the emitter shines while the
// transmit pin is a plain output driven high, and the receive pin, as a plain input,
// reads 0 while a carrier pulse arrives.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/sim/SimChip.h"

namespace s3c {

constexpr uint32_t kPwmBase = 0x51000000;
constexpr uint32_t kGpioBase = 0x56000000;
constexpr uint32_t kInterruptBase = 0x4A000000;
constexpr uint32_t kClockBase = 0x4C000000;
constexpr uint32_t kUartBases[3] = {0x50000000, 0x50004000, 0x50008000};

// PWM block.
constexpr uint32_t kTimerConfig0 = 0x00;  // bits 8-15: prescaler 1 (timers 2 to 4)
constexpr uint32_t kTimerConfig1 = 0x04;  // a divider nibble per timer: 0 = /2 ... 3 = /16
constexpr uint32_t kTimerControl = 0x08;
constexpr uint32_t kPrescaler1Shift = 8;

// Timers 2, 3 and 4 (index 0..2).
struct TimerLayout {
    uint32_t countBuffer, countObservation;
    uint32_t start, manualUpdate, autoReload;
    uint32_t dividerShift;
    uint32_t interrupt;  // bit in source pending, mask and interrupt pending
};
constexpr uint32_t kCompareBuffer2 = 0x28;  // plain: the drivers do not use the PWM outputs
constexpr uint32_t kCompareBuffer3 = 0x34;
constexpr TimerLayout kTimers[3] = {
    {0x24, 0x2C, 0x1000, 0x2000, 0x8000, 8, 0x1000},
    {0x30, 0x38, 0x10000, 0x20000, 0x80000, 12, 0x2000},
    {0x3C, 0x40, 0x100000, 0x200000, 0x400000, 16, 0x4000},
};

// GPIO block: port H, two control bits per pin.
constexpr uint32_t kPortHControl = 0x70;
constexpr uint32_t kPortHData = 0x74;
constexpr uint32_t kPortHPullUp = 0x78;  // plain
constexpr uint32_t kPinInput = 0x0;
constexpr uint32_t kPinOutput = 0x1;
constexpr uint32_t kPinFunction = 0x2;

// Interrupt controller.
constexpr uint32_t kSourcePending = 0x00;
constexpr uint32_t kInterruptMode = 0x04;      // plain
constexpr uint32_t kInterruptMask = 0x08;      // 1 = masked
constexpr uint32_t kInterruptPriority = 0x0C;  // plain
constexpr uint32_t kInterruptPending = 0x10;

// Clock block.
constexpr uint32_t kClockDivider = 0x14;  // bit 0: PCLK = HCLK / 2; bits 1(-2): HCLK divider

// UART: line control, and the control, FIFO and modem registers as plain values.
constexpr uint32_t kUartLineControl = 0x00;
constexpr uint32_t kUartControl = 0x04;
constexpr uint32_t kUartFifoControl = 0x08;
constexpr uint32_t kUartModemControl = 0x0C;
constexpr uint32_t kUartInfraredMode = 0x40;

}  // namespace s3c

// What the boot loader and the system left in the chip: clocks, and the timers the system
// itself runs (its tick, a backlight PWM).
struct SimS3c24xxConfig {
    bool twoBitHclkDivider = false;  // the S3C2440's HCLK divider has two bits
    uint32_t coreClockMHz = 203;
    uint32_t clockDivider = 0;  // clock divider register
    uint32_t prescaler1 = 0;
    uint32_t timerControl = 0;
    uint16_t countBuffers[3] = {0, 0, 0};  // timers 2, 3, 4
    uint32_t interruptMask = 0xFFFFFFFF;
};

SimS3c24xxConfig SimS3c2410Config();
SimS3c24xxConfig SimS3c2440Config();

class SimS3c24xx : public SimChip {
  public:
    SimS3c24xx(const SimChipWiring& wiring, const SimS3c24xxConfig& config);

    uint32_t Read(uint32_t address, int width) override;
    void Write(uint32_t address, uint32_t value, int width) override;
    void OnSerialIrMode(bool on) override;
    uint64_t CounterAdvanceTime(uint32_t address, uint64_t readAt, uint64_t ticks) override;
    uint64_t SteadyUntil(uint32_t address, int width, uint64_t readAt) override;

    // The rate of timer 2, 3 or 4 (index 0..2) in ticks per second, as now configured.
    double TimerHz(int timer) const;

    static std::function<std::unique_ptr<SimChip>(const SimChipWiring&)> Maker(
        const SimS3c24xxConfig& config);

  private:
    struct Progress {
        uint32_t count;
        uint64_t underflows;
    };
    static constexpr uint64_t kNoTicks = ~uint64_t{0};
    struct Timer {
        uint64_t since = 0;       // virtual time of the state below
        uint32_t count = 0;       // count at `since`
        uint64_t underflows = 0;  // reloads before `since`
        uint64_t seen = 0;        // reloads that have set the pending bit
        bool expired = false;     // a one-shot run has reached 0
        bool running = false;     // see UpdateRunning
        // The ticks since `since` at the current rate, and the progress last worked out:
        // it holds from steadyFrom for steadySpan nanoseconds. The count changes only
        // every few reads of it.
        mutable SimTickRate rate;
        mutable uint64_t steadyFrom = 0, steadySpan = 0;
        mutable Progress steady = {0, 0};
        mutable uint64_t steadyTicks = kNoTicks;  // the ticks of that progress, if counted
    };

    [[gnu::noinline]] uint32_t ReadRegister(uint32_t address, int width);
    static bool IsUartPage(uint32_t address);
    // The registers that keep what was written.
    static bool IsPlainRegister(uint32_t address);
    uint32_t Reg(uint32_t address) const { return Peek(address, 4); }
    uint32_t PwmReg(uint32_t offset) const { return WordAt(pwm_, offset); }
    // The course of a timer changed: its progress is worked out afresh.
    void Forget(int timer) {
        timers_[timer].steadySpan = 0;
        timers_[timer].steadyTicks = kNoTicks;
    }
    // Notes whether a timer counts: started, not held by manual update, not expired.
    void UpdateRunning(int timer);
    void UpdateRates();
    uint64_t TicksIn(int timer, uint64_t nanoseconds) const;
    // The count of a timer at `now` and the reloads since its last rebase. The drivers read
    // the count in tight loops: this much is inline.
    Progress Evaluate(int timer, uint64_t now) const {
        const Timer& state = timers_[timer];
        if (now - state.steadyFrom < state.steadySpan) {
            return state.steady;
        }
        return EvaluateAnew(timer, now);
    }
    Progress EvaluateAnew(int timer, uint64_t now) const;
    void Rebase(int timer, uint64_t now);
    void RebaseAll(uint64_t now);
    void UpdatePending(uint64_t now);
    void WriteTimerControl(uint32_t value, uint64_t now);
    uint32_t ReadPortHData(uint64_t now);
    void UpdateEmitter(uint64_t now);

    SimS3c24xxConfig config_;
    const uint8_t* pwm_ = nullptr;  // the PWM and GPIO pages' memory
    const uint8_t* gpio_ = nullptr;
    Timer timers_[3];
    uint64_t divisors_[3] = {2, 2, 2};
    int irUart_ = 0;  // 1..3; 0: no transceiver
};
