#include "ir/CS3c24xxIrDriver.h"

#include <algorithm>
#include <limits>

#include "ir/Detect.h"
#include "ir/IrResult.h"

namespace {

constexpr uint32_t kPwmAddress = 0x51000000;
constexpr uint32_t kGpioAddress = 0x56000000;
constexpr uint32_t kInterruptAddress = 0x4A000000;

constexpr uint32_t kTimerConfig1 = 0x04;
constexpr uint32_t kTimerControl = 0x08;
constexpr uint32_t kPortHControl = 0x70;
constexpr uint32_t kPortHData = 0x74;
constexpr uint32_t kSourcePending = 0x00;
constexpr uint32_t kInterruptMask = 0x08;
constexpr uint32_t kInterruptPending = 0x10;

struct TimerBits {
    uint32_t start, manualUpdate, autoReload;
    uint32_t controlNibble, dividerNibble;
    uint32_t interrupt;
    uint32_t countBuffer, countObservation;
};
constexpr TimerBits kTimers[3] = {
    {0x1000, 0x2000, 0x8000, 0xF000, 0xF00, 0x1000, 0x24, 0x2C},
    {0x10000, 0x20000, 0x80000, 0xF0000, 0xF000, 0x2000, 0x30, 0x38},
    {0x100000, 0x200000, 0x400000, 0xF00000, 0xF0000, 0x4000, 0x3C, 0x40},
};

// Port H pins by IR UART index - 1.
struct UartPins {
    uint32_t transmitMask, transmitField, transmitOutput;
    uint32_t receiveMask, receiveField;
};
constexpr UartPins kPins[3] = {
    {0x4, 0x30, 0x10, 0x8, 0xC0},
    {0x10, 0x300, 0x100, 0x20, 0xC00},
    {0x40, 0x3000, 0x1000, 0x80, 0xC000},
};

constexpr uint32_t kCountTop = 0xFFFF;
constexpr uint32_t kSendBurstValue = 1;
constexpr uint32_t kCaptureValue = 1;

}  // namespace

CS3c24xxIrDriver::CS3c24xxIrDriver(IrPlatform& platform) : CIrDriver(platform) {
    pwm = platform.MapPage(kPwmAddress, true);
    gpio = platform.MapPage(kGpioAddress, true);
    interrupts = platform.MapPage(kInterruptAddress, true);
    timerTicksPerMs = S3cTimerRate(platform, pwm);
}

CS3c24xxIrDriver::~CS3c24xxIrDriver() {
    for (RegisterBlock* block : {pwm, gpio, interrupts}) {
        if (block) {
            platform.UnmapPage(block);
        }
    }
}

int CS3c24xxIrDriver::OpenPort() {
    return OpenPortProbing(ProbeS3cIrUart, irUart);
}

// --- The borrowed timer ---

// Timer 2 unless the system runs it; then timer 3 if idle, else timer 4 if idle, else
// timer 2 all the same.
int CS3c24xxIrDriver::ChooseTimer() {
    if (!pwm) {
        return 0;
    }
    const uint32_t control = pwm->Read32(kTimerControl);
    if ((control & (kTimers[0].start | kTimers[0].autoReload)) == 0) {
        return 0;
    }
    if ((control & (kTimers[1].start | kTimers[1].autoReload)) == 0) {
        return 1;
    }
    if ((control & (kTimers[2].start | kTimers[2].autoReload)) != 0) {
        return 0;
    }
    return 2;
}

// Makes the chosen timer a masked down-counter that reloads from 0xFFFF at 1/2 of the
// prescaled clock; `start` sets it running at once.
void CS3c24xxIrDriver::SetUpTimer(bool start) {
    const TimerBits& bits = kTimers[borrowed.timer];
    uint32_t control = pwm->Read32(kTimerControl);
    borrowed.control = control & bits.controlNibble;
    borrowed.divider = pwm->Read32(kTimerConfig1) & bits.dividerNibble;
    borrowed.countBuffer = pwm->Read32(bits.countBuffer);

    control &= ~bits.start;
    control |= bits.autoReload | bits.manualUpdate;
    pwm->Write32(kTimerControl, control);
    pwm->Write32(bits.countBuffer, kCountTop);
    if (start) {
        StartTimer();
    }
    interruptBit = bits.interrupt;
    countRegister = bits.countObservation;
    pwm->Write32(kTimerConfig1, pwm->Read32(kTimerConfig1) & ~bits.dividerNibble);

    const uint32_t mask = interrupts->Read32(kInterruptMask);
    borrowed.wasMasked = (mask & bits.interrupt) != 0;
    interrupts->Write32(kInterruptMask, mask | bits.interrupt);
    interrupts->Write32(kSourcePending, bits.interrupt);
    interrupts->Write32(kInterruptPending, bits.interrupt);
}

void CS3c24xxIrDriver::StartTimer() {
    const TimerBits& bits = kTimers[borrowed.timer];
    uint32_t control = pwm->Read32(kTimerControl) | bits.start;
    pwm->Write32(kTimerControl, control);
    control &= ~bits.manualUpdate;
    pwm->Write32(kTimerControl, control);
}

// Hands the timer back as it was found: its control bits, divider, count buffer and mask.
void CS3c24xxIrDriver::RestoreTimer() {
    const TimerBits& bits = kTimers[borrowed.timer];
    pwm->Write32(bits.countBuffer, borrowed.countBuffer);
    const uint32_t control = pwm->Read32(kTimerControl);
    pwm->Write32(kTimerControl, (control & ~bits.controlNibble) | borrowed.control);
    pwm->Write32(kTimerConfig1, pwm->Read32(kTimerConfig1) | borrowed.divider);
    const uint32_t mask = interrupts->Read32(kInterruptMask);
    if (((mask & bits.interrupt) != 0) != borrowed.wasMasked) {
        interrupts->Write32(kInterruptMask, borrowed.wasMasked ? (mask | bits.interrupt)
                                                               : (mask & ~bits.interrupt));
    }
}

uint32_t CS3c24xxIrDriver::Count() {
    return pwm->Read32(countRegister) & kCountTop;
}

bool CS3c24xxIrDriver::Pending() {
    return (interrupts->Read32(kSourcePending) & interruptBit) != 0;
}

void CS3c24xxIrDriver::ClearPending() {
    interrupts->Write32(kSourcePending, interruptBit);
    interrupts->Write32(kInterruptPending, interruptBit);
}

// --- Emission ---

void CS3c24xxIrDriver::WaitUntil(uint64_t tick) {
    PollUntil(tick, nullptr);
}

// Carrier cycles spread over the mark's place on the timeline, with all interrupts masked.
void CS3c24xxIrDriver::EmitMark(uint64_t from, uint64_t until, uint32_t markUs) {
    const MarkCycles cycles(from, until, markUs, signal.carrierPeriod);
    if (cycles.cycles == 0) {
        return;  // shorter than one carrier period: nothing to send
    }
    const uint32_t savedMask = interrupts->Read32(kInterruptMask);
    interrupts->Write32(kInterruptMask, 0xFFFFFFFF);
    const uint32_t transmit = kPins[irUart - 1].transmitMask;
    for (uint32_t k = 0; k < cycles.cycles; ++k) {
        WaitUntil(cycles.Rise(k));
        gpio->Write32(kPortHData, gpio->Read32(kPortHData) | transmit);
        WaitUntil(cycles.Fall(k));
        gpio->Write32(kPortHData, gpio->Read32(kPortHData) & ~transmit);
    }
    interrupts->Write32(kInterruptMask, savedMask);
}

int CS3c24xxIrDriver::Send(uint16_t repeat) {
    interruptBit = 0;
    countRegister = 0;
    if (!pwm || !gpio || !interrupts) {
        return kIrNotMapped;
    }
    if (innerValue == 0) {
        return kIrNoScheduling;
    }
    if (signal.carrierPeriod == 0) {
        return kIrNoCarrier;
    }
    if (irUart == 0) {
        return kIrNoIrUart;
    }
    // A timer too slow to make the carrier at all cannot send.
    if (signal.carrierPeriod * timerTicksPerMs / 1000 == 0) {
        return kIrNoCarrier;
    }

    const UartPins& pins = kPins[irUart - 1];
    const uint32_t portControl = gpio->Read32(kPortHControl);
    gpio->Write32(kPortHControl, (portControl & ~pins.transmitField) | pins.transmitOutput);

    platform.Sleep(100);
    SetOuter(0);
    borrowed.timer = ChooseTimer();
    SetUpTimer(true);
    reloads = 0;
    lastCount = Count();
    SendTimeline timeline{TicksPerSecond(), Now(), 0};

    RunPasses(repeat, kSendBurstValue, true, [&](int32_t entry) {
        uint64_t from = 0, until = 0;
        const uint32_t magnitude = timeline.Advance(entry, from, until);
        if (entry > 0) {
            EmitMark(from, until, magnitude);
        } else {
            WaitUntil(until);
        }
    });

    gpio->Write32(kPortHControl, portControl);
    RestoreTimer();
    SetOuter(outerValue);
    platform.FlushPenInput();
    return kIrOk;
}

// --- Capture ---

uint64_t CS3c24xxIrDriver::TicksPerSecond() const {
    return uint64_t{timerTicksPerMs} * 1000;
}

// Ticks since the timer started: the reloads counted so far and the current count. The
// driver reads the count in tight loops, far more often than the timer reloads (every 65536
// ticks, 52 ms and more), so a count above the one read before is a reload; that needs no
// read of the pending bit, which is then only cleared.
uint64_t CS3c24xxIrDriver::Now() {
    const uint32_t count = Count();
    return TakeCount(count, count > lastCount);
}

uint64_t CS3c24xxIrDriver::TakeCount(uint32_t count, bool reloaded) {
    if (reloaded) {
        reloads += kCountTop + 1;
        ClearPending();
    }
    lastCount = count;
    return reloads + kCountTop - count;
}

// Reads the count until Now() reaches `tick`; with `idle`, reads the receive pin before
// each count and ends when it no longer reads *idle (true). A reload ends a poll too, so
// that it is taken, and its pending bit cleared, at the read that shows it.
bool CS3c24xxIrDriver::PollUntil(uint64_t tick, const bool* idle) {
    for (;;) {
        const uint64_t now = reloads + kCountTop - lastCount;
        CounterPoll poll;
        poll.counter = pwm;
        poll.counterOffset = countRegister;
        poll.countMask = kCountTop;
        poll.countsDown = true;
        poll.from = lastCount;
        poll.ticks = std::min<uint64_t>(tick > now ? tick - now : 0, uint64_t{lastCount} + 1);
        if (idle) {
            poll.watch = gpio;
            poll.watchOffset = kPortHData;
            poll.watchMask = receiveMask;
            poll.watchWhile = *idle ? receiveMask : 0;
        }
        const PollResult result = platform.Poll(poll);
        // A poll that counted past the count it began from went through a reload at its
        // last read.
        const uint64_t reached = TakeCount(result.count, result.advanced > lastCount);
        if (result.watched) {
            return true;
        }
        if (reached >= tick) {
            return false;
        }
    }
}

// Polls the receive pin while it reads `idle`, and the counter in turn; false once the
// counter passed `deadline`.
bool CS3c24xxIrDriver::WaitWhile(bool idle, uint64_t deadline) {
    return PollUntil(deadline + 1, &idle);
}

bool CS3c24xxIrDriver::NextPulse(uint64_t deadline, bool onCounts, uint64_t& at) {
    if (!onCounts && !WaitWhile(false, deadline)) {
        return false;
    }
    if (!WaitWhile(true, deadline)) {
        return false;
    }
    at = Now();
    return true;
}

int CS3c24xxIrDriver::Capture() {
    interruptBit = 0;
    countRegister = 0;
    const int started = StartCapture(pwm && gpio && interrupts);
    if (started != kIrOk) {
        return started;
    }
    if (irUart == 0) {
        return kIrNoIrUart;
    }
    const UartPins& pins = kPins[irUart - 1];
    receiveMask = pins.receiveMask;

    SetOuter(0);
    SetInner(kCaptureValue);
    const uint32_t portControl = gpio->Read32(kPortHControl);
    gpio->Write32(kPortHControl, portControl & ~pins.receiveField);
    borrowed.timer = ChooseTimer();
    SetUpTimer(true);
    reloads = 0;
    lastCount = Count();

    CaptureReport report;
    CaptureSignal(*this, report);

    gpio->Write32(kPortHControl, portControl);
    RestoreTimer();
    RestoreScheduling();
    return FinishCapture(report);
}
