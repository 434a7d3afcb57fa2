#include "platform/sim/SimS3c24xx.h"

#include <algorithm>
#include <cstdio>

using namespace s3c;

namespace {

constexpr uint64_t kNsPerSecond = 1000000000;

// Port H pins of the IR UART (1..3): transmit GPH2/4/6, receive GPH3/5/7.
uint32_t TransmitPin(int uart) {
    return static_cast<uint32_t>(2 * uart);
}
uint32_t ReceivePin(int uart) {
    return static_cast<uint32_t>(2 * uart + 1);
}
uint32_t PinMode(uint32_t control, uint32_t pin) {
    return (control >> (2 * pin)) & 0x3;
}

bool InPage(uint32_t address, uint32_t page) {
    return (address & ~0xFFFu) == page;
}

}  // namespace

SimS3c24xxConfig SimS3c2410Config() {
    // 203 MHz core, HCLK = FCLK / 2, PCLK = HCLK / 2 = 50.75 MHz; prescaler 1 at 24 and
    // the 1/2 divider make 1.015 MHz. The system tick runs on timer 4 every millisecond.
    SimS3c24xxConfig config;
    config.twoBitHclkDivider = false;
    config.coreClockMHz = 203;
    config.clockDivider = 0x3;
    config.prescaler1 = 24;
    config.timerControl = kTimers[2].start | kTimers[2].autoReload;
    config.countBuffers[2] = 1014;
    config.interruptMask = 0xFFFFFFFF & ~kTimers[2].interrupt;
    return config;
}

SimS3c24xxConfig SimS3c2440Config() {
    // 400 MHz core, HCLK = FCLK / 4, PCLK = HCLK / 2 = 50 MHz; prescaler 1 at 19 and the
    // 1/2 divider make 1.25 MHz. The system tick runs on timer 4, the backlight PWM on
    // timer 2.
    SimS3c24xxConfig config;
    config.twoBitHclkDivider = true;
    config.coreClockMHz = 400;
    config.clockDivider = 0x5;
    config.prescaler1 = 19;
    config.timerControl =
        kTimers[0].start | kTimers[0].autoReload | kTimers[2].start | kTimers[2].autoReload;
    config.countBuffers[0] = 200;
    config.countBuffers[2] = 1249;
    config.interruptMask = 0xFFFFFFFF & ~kTimers[2].interrupt;
    return config;
}

std::function<std::unique_ptr<SimChip>(const SimChipWiring&)> SimS3c24xx::Maker(
    const SimS3c24xxConfig& config) {
    return [config](const SimChipWiring& wiring) {
        return std::make_unique<SimS3c24xx>(wiring, config);
    };
}

SimS3c24xx::SimS3c24xx(const SimChipWiring& wiring, const SimS3c24xxConfig& config)
    : SimChip(wiring), config_(config) {
    for (uint32_t page : {kPwmBase, kGpioBase, kInterruptBase, kClockBase}) {
        AddPage(page);
    }
    for (uint32_t page : kUartBases) {
        AddPage(page);
        Poke(page + kUartLineControl, 0x03, 4);  // 8 data bits, no parity, 1 stop bit
    }
    irUart_ = wiring.irUartIndex;
    pwm_ = PageMemory(kPwmBase);
    gpio_ = PageMemory(kGpioBase);
    Poke(kClockBase + kClockDivider, config.clockDivider, 4);
    Poke(kPwmBase + kTimerConfig0, config.prescaler1 << kPrescaler1Shift, 4);
    Poke(kPwmBase + kTimerControl, config.timerControl, 4);
    for (int t = 0; t < 3; ++t) {
        Poke(kPwmBase + kTimers[t].countBuffer, config.countBuffers[t], 4);
        timers_[t].count = config.countBuffers[t];
        UpdateRunning(t);
    }
    Poke(kInterruptBase + kInterruptMask, config.interruptMask, 4);
    UpdateRates();
    // Port H pins 0 to 7 serve the UARTs; the transmit latches are low.
    Poke(kGpioBase + kPortHControl, 0xAAAA, 4);
}

double SimS3c24xx::TimerHz(int timer) const {
    const uint64_t ticks = TicksIn(timer, 1000 * kNsPerSecond);
    return static_cast<double>(ticks) / 1000.0;
}

// The clock divisor of each timer: HCLK and PCLK dividers, prescaler 1 and its own divider.
void SimS3c24xx::UpdateRates() {
    const uint32_t divider = Reg(kClockBase + kClockDivider);
    const uint32_t hclkField = (divider & (config_.twoBitHclkDivider ? 0x6u : 0x2u)) >> 1;
    static constexpr uint64_t kHclkDivisors[4] = {1, 2, 4, 3};
    uint64_t pclk = kHclkDivisors[hclkField] * ((divider & 0x1) ? 2 : 1);
    pclk *= ((Reg(kPwmBase + kTimerConfig0) >> kPrescaler1Shift) & 0xFF) + 1;
    for (int t = 0; t < 3; ++t) {
        const uint32_t mux = (Reg(kPwmBase + kTimerConfig1) >> kTimers[t].dividerShift) & 0xF;
        // 1/2 ... 1/16; the external clock input is not connected.
        divisors_[t] = pclk * (uint64_t{2} << (mux > 3 ? 3 : mux));
        timers_[t].rate = SimTickRate(config_.coreClockMHz, divisors_[t] * 1000);
        Forget(t);
    }
}

// Ticks of `timer` in a span of virtual time: nanoseconds * MHz / (divisor * 1000).
uint64_t SimS3c24xx::TicksIn(int timer, uint64_t nanoseconds) const {
    const uint64_t denominator = divisors_[timer] * 1000;
    const uint64_t numerator = config_.coreClockMHz;
    return nanoseconds / denominator * numerator +
           nanoseconds % denominator * numerator / denominator;
}

void SimS3c24xx::UpdateRunning(int timer) {
    const uint32_t control = Reg(kPwmBase + kTimerControl);
    Timer& state = timers_[timer];
    state.running = (control & kTimers[timer].start) && !(control & kTimers[timer].manualUpdate) &&
                    !state.expired;
}

// The count runs from its value down to 0, then reloads from the count buffer (one
// underflow) or, without auto-reload, stays at 0. What is found holds as long as the
// ticks stay the same.
SimS3c24xx::Progress SimS3c24xx::EvaluateAnew(int timer, uint64_t now) const {
    const Timer& state = timers_[timer];
    const uint64_t before = state.steadyTicks;
    state.steadyTicks = kNoTicks;
    if (!state.running) {
        state.steady = {state.count, 0};  // until the timer's course changes
        state.steadyFrom = 0;
        state.steadySpan = ~uint64_t{0};
        return state.steady;
    }
    if (now <= state.since) {
        state.steady = {state.count, 0};
        state.steadyFrom = 0;
        state.steadySpan = state.since + 1;
        return state.steady;
    }
    const uint64_t elapsed = state.rate.Ticks(now - state.since);
    const bool autoReload = (PwmReg(kTimerControl) & kTimers[timer].autoReload) != 0;
    const uint64_t buffer = PwmReg(kTimers[timer].countBuffer) & 0xFFFF;
    Progress progress{0, 1};
    if (before != kNoTicks && elapsed == before + 1) {
        // The next tick, as nearly always: one step down, without a division.
        progress = state.steady;
        if (progress.count > 0) {
            --progress.count;
        } else if (autoReload) {
            progress = {static_cast<uint32_t>(buffer), progress.underflows + 1};
        } else {
            progress.underflows = 1;  // a one-shot run ends at 0
        }
    } else if (elapsed <= state.count) {
        progress = {static_cast<uint32_t>(state.count - elapsed), 0};
    } else if (autoReload) {
        const uint64_t rest = elapsed - state.count - 1;
        progress = {static_cast<uint32_t>(buffer - rest % (buffer + 1)), 1 + rest / (buffer + 1)};
    }
    state.steadyTicks = elapsed;
    state.steady = progress;
    state.steadyFrom = state.since + state.rate.SteadyFrom();
    state.steadySpan = state.rate.SteadyUntil() - state.rate.SteadyFrom();
    return progress;
}

// Fixes a timer's progress up to `now`, before something that changes its course.
void SimS3c24xx::Rebase(int timer, uint64_t now) {
    const Progress progress = Evaluate(timer, now);
    Timer& state = timers_[timer];
    if (progress.underflows && !(Reg(kPwmBase + kTimerControl) & kTimers[timer].autoReload)) {
        state.expired = true;
        UpdateRunning(timer);
    }
    state.count = progress.count;
    state.underflows += progress.underflows;
    state.since = now;
    Forget(timer);
}

void SimS3c24xx::RebaseAll(uint64_t now) {
    for (int t = 0; t < 3; ++t) {
        Rebase(t, now);
    }
}

// Every reload since the last look sets the timer's source-pending bit, and its interrupt
// pending bit when the interrupt is enabled and no other one is pending.
void SimS3c24xx::UpdatePending(uint64_t now) {
    for (int t = 0; t < 3; ++t) {
        Timer& state = timers_[t];
        const uint64_t total = state.underflows + Evaluate(t, now).underflows;
        if (total <= state.seen) {
            continue;
        }
        state.seen = total;
        const uint32_t bit = kTimers[t].interrupt;
        Poke(kInterruptBase + kSourcePending, Reg(kInterruptBase + kSourcePending) | bit, 4);
        if (!(Reg(kInterruptBase + kInterruptMask) & bit) &&
            Reg(kInterruptBase + kInterruptPending) == 0) {
            Poke(kInterruptBase + kInterruptPending, bit, 4);
        }
    }
}

void SimS3c24xx::WriteTimerControl(uint32_t value, uint64_t now) {
    UpdatePending(now);
    RebaseAll(now);
    const uint32_t before = Reg(kPwmBase + kTimerControl);
    Poke(kPwmBase + kTimerControl, value, 4);
    for (int t = 0; t < 3; ++t) {
        Timer& state = timers_[t];
        if (value & kTimers[t].manualUpdate) {
            // While manual update is set the count holds the count buffer.
            state.count = Reg(kPwmBase + kTimers[t].countBuffer) & 0xFFFF;
            state.expired = false;
        } else if ((value & kTimers[t].start) && !(before & kTimers[t].start)) {
            state.expired = false;  // started again from where it stands
        }
        UpdateRunning(t);
        Forget(t);
    }
}

uint32_t SimS3c24xx::ReadPortHData(uint64_t now) {
    uint32_t data = WordAt(gpio_, kPortHData);
    if (irUart_ == 0) {
        return data;
    }
    const uint32_t pin = ReceivePin(irUart_);
    if (PinMode(WordAt(gpio_, kPortHControl), pin) == kPinInput) {
        const uint32_t mask = 1u << pin;
        data = air_.ReceiverIdle(now) ? (data | mask) : (data & ~mask);
    }
    return data;
}

void SimS3c24xx::UpdateEmitter(uint64_t now) {
    if (irUart_ == 0) {
        return;
    }
    const uint32_t pin = TransmitPin(irUart_);
    const bool on = PinMode(Reg(kGpioBase + kPortHControl), pin) == kPinOutput &&
                    (Reg(kGpioBase + kPortHData) & (1u << pin)) != 0;
    air_.Transmit(now, on);
}

uint32_t SimS3c24xx::Read(uint32_t address, int width) {
    // The drivers poll a timer's count and the receive pin in tight loops: those reads take
    // the short way.
    if ((address & ~0xFFFu) == kPwmBase && width == 4) {
        for (int t = 0; t < 3; ++t) {
            if (address == kPwmBase + kTimers[t].countObservation) {
                return Evaluate(t, clock_.Now()).count;
            }
        }
    } else if (address == kGpioBase + kPortHData && width == 4) {
        return ReadPortHData(clock_.Now());
    }
    return ReadRegister(address, width);
}

bool SimS3c24xx::IsUartPage(uint32_t address) {
    return InPage(address, kUartBases[0]) || InPage(address, kUartBases[1]) ||
           InPage(address, kUartBases[2]);
}

bool SimS3c24xx::IsPlainRegister(uint32_t address) {
    if (IsUartPage(address)) {
        switch (address & 0xFFF) {
            case kUartLineControl:
            case kUartControl:
            case kUartFifoControl:
            case kUartModemControl:
                return true;
            default:
                return false;
        }
    }
    switch (address) {
        case kPwmBase + kTimerConfig0:
        case kPwmBase + kTimerConfig1:
        case kPwmBase + kTimerControl:
        case kPwmBase + kTimers[0].countBuffer:
        case kPwmBase + kTimers[1].countBuffer:
        case kPwmBase + kTimers[2].countBuffer:
        case kPwmBase + kCompareBuffer2:
        case kPwmBase + kCompareBuffer3:
        case kGpioBase + kPortHControl:
        case kGpioBase + kPortHPullUp:
        case kInterruptBase + kInterruptMode:
        case kInterruptBase + kInterruptMask:
        case kInterruptBase + kInterruptPriority:
        case kClockBase + kClockDivider:
            return true;
        default:
            return false;
    }
}

uint32_t SimS3c24xx::ReadRegister(uint32_t address, int width) {
    if (IsUartPage(address)) {  // the UARTs take byte and word accesses alike
        return IsPlainRegister(address) ? Peek(address, width) : UnknownRead(address, width);
    }
    if (width != 4) [[unlikely]] {
        char text[80];
        std::snprintf(text, sizeof text, "%d-byte read of word register 0x%08X", width, address);
        GuestError(text);
        return 0;
    }
    const uint64_t now = clock_.Now();
    switch (address) {
        case kPwmBase + kTimers[0].countObservation:
            return Evaluate(0, now).count;
        case kPwmBase + kTimers[1].countObservation:
            return Evaluate(1, now).count;
        case kPwmBase + kTimers[2].countObservation:
            return Evaluate(2, now).count;
        case kGpioBase + kPortHData:
            return ReadPortHData(now);
        case kInterruptBase + kSourcePending:
        case kInterruptBase + kInterruptPending:
            UpdatePending(now);
            return Peek(address, width);
        default:
            return IsPlainRegister(address) ? Peek(address, width) : UnknownRead(address, width);
    }
}

void SimS3c24xx::Write(uint32_t address, uint32_t value, int width) {
    if (IsUartPage(address)) {
        if (IsPlainRegister(address)) {
            Poke(address, value, width);
        } else {
            UnknownWrite(address, width);
        }
        return;
    }
    if (width != 4) {
        char text[80];
        std::snprintf(text, sizeof text, "%d-byte write of word register 0x%08X", width, address);
        GuestError(text);
        return;
    }
    const uint64_t now = clock_.Now();
    for (int t = 0; t < 3; ++t) {
        if (address == kPwmBase + kTimers[t].countObservation) {
            GuestError("write to a timer's count observation register");
            return;
        }
        if (address == kPwmBase + kTimers[t].countBuffer) {
            UpdatePending(now);
            Rebase(t, now);
            Poke(address, value & 0xFFFF, 4);
            return;
        }
    }
    if (address == kPwmBase + kTimerControl) {
        WriteTimerControl(value, now);
        return;
    }
    if (address == kPwmBase + kTimerConfig0 || address == kPwmBase + kTimerConfig1 ||
        address == kClockBase + kClockDivider) {
        UpdatePending(now);  // the clocks change from now on
        RebaseAll(now);
        Poke(address, value, 4);
        UpdateRates();
        return;
    }
    if (address == kInterruptBase + kSourcePending ||
        address == kInterruptBase + kInterruptPending) {
        UpdatePending(now);  // write 1 to clear
        Poke(address, Reg(address) & ~value, 4);
        return;
    }
    if (address != kGpioBase + kPortHData && !IsPlainRegister(address)) {
        UnknownWrite(address, width);
        return;
    }
    Poke(address, value, 4);
    if (address == kGpioBase + kPortHControl || address == kGpioBase + kPortHData) {
        UpdateEmitter(now);
    }
}

// Up to the timer's next reload, where the count jumps, the count steps down once a tick.
uint64_t SimS3c24xx::CounterAdvanceTime(uint32_t address, uint64_t readAt, uint64_t ticks) {
    for (int t = 0; t < 3; ++t) {
        if (address != kPwmBase + kTimers[t].countObservation) {
            continue;
        }
        const Timer& state = timers_[t];
        if (!state.running) {
            return SimIrAir::kNever;  // the count holds until a write
        }
        const uint64_t numerator = config_.coreClockMHz;
        const uint64_t denominator = divisors_[t] * 1000;
        const uint64_t span = readAt > state.since ? readAt - state.since : 0;
        const uint64_t count = Evaluate(t, readAt).count;
        const uint64_t target =
            SimClock::Scale(span, numerator, denominator) + std::min<uint64_t>(ticks, count + 1);
        // The first span that shows `target` ticks.
        uint64_t until = SimClock::Scale(target, denominator, numerator);
        while (SimClock::Scale(until, numerator, denominator) < target) {
            ++until;
        }
        return state.since + until;
    }
    return readAt;
}

uint64_t SimS3c24xx::SteadyUntil(uint32_t address, int width, uint64_t readAt) {
    if (address != kGpioBase + kPortHData || width != 4) {
        return readAt;
    }
    // Only the receive pin changes without a write, and only while it is an input.
    if (irUart_ == 0 || PinMode(WordAt(gpio_, kPortHControl), ReceivePin(irUart_)) != kPinInput) {
        return SimIrAir::kNever;
    }
    return air_.ReceiverSteadyUntil(readAt);
}

void SimS3c24xx::OnSerialIrMode(bool on) {
    if (irUart_ < 1 || irUart_ > 3) {
        return;
    }
    const uint32_t address = kUartBases[irUart_ - 1] + kUartLineControl;
    const uint32_t control = Peek(address, 4);
    Poke(address, on ? (control | kUartInfraredMode) : (control & ~kUartInfraredMode), 4);
}
