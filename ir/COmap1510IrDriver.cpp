#include "ir/COmap1510IrDriver.h"

#include <algorithm>
#include <limits>

#include "ir/IrResult.h"

namespace {

constexpr uint32_t kUartPageAddress = 0xFFFB9000;
constexpr uint32_t kTimerAddress = 0xFFFEC000;
constexpr uint32_t kConfigAddress = 0xFFFE1000;

// UART 3 inside its page, and its registers.
constexpr uint32_t kUart3 = 0x800;
constexpr uint32_t kData = 0x00;             // transmit holding; divisor low in config mode
constexpr uint32_t kInterruptEnable = 0x04;  // divisor high in config mode
constexpr uint32_t kDivisorLow = 0x00;
constexpr uint32_t kDivisorHigh = 0x04;
constexpr uint32_t kEnhanced = 0x08;  // in configuration mode B
constexpr uint32_t kLineControl = 0x0C;
constexpr uint32_t kModemControl = 0x10;
constexpr uint32_t kLineStatus = 0x14;
constexpr uint32_t kMode1 = 0x20;
constexpr uint32_t kSupplementary = 0x3C;
constexpr uint32_t kWakeControl = 0x40;
constexpr uint32_t kWakeStatus = 0x44;
constexpr uint32_t kAuxiliary = 0x4C;

constexpr uint8_t kLine8N1 = 0x03;
constexpr uint8_t kLine8N1Break = 0x43;
constexpr uint8_t kLineConfigB = 0xBF;
constexpr uint8_t kLineOperational = 0x00;
constexpr uint8_t kEnhancedFunctions = 0x10;
constexpr uint8_t kSleepEnable = 0x10;  // interrupt enable bit 4
constexpr uint8_t kHoldingEmpty = 0x20;
constexpr uint8_t kModeDisabled = 0x07;
constexpr uint8_t kModeUart = 0x00;
constexpr uint8_t kModeUartLoaded = 0x80;
constexpr uint8_t kWakeValueLoaded = 0x09;
constexpr uint8_t kWakeEnable = 0x10;
constexpr uint8_t kWakeEvent = 0x02;
constexpr uint8_t kSupplementaryBit7 = 0x80;
constexpr uint8_t kTransmitByte = 0x55;  // alternating bits: one carrier period per two bits
constexpr uint64_t kUartClockHz = 48000000;
constexpr uint64_t kOversampling = 16;
// Sub-tick fixed point for the UART's bit grid, whose bit time is no whole number of ticks.
constexpr uint64_t kFx = 65536;
// A rise is placed at least this far after the start of its high bit (where the bit
// really starts is known to half a tick) and this far before its end (a release comes up
// to a tick and a poll late); a mark is moved so that there is room for both.
constexpr uint64_t kEarlySlackTicks = 1;
constexpr uint64_t kLateSlackTicks = 3;
constexpr uint64_t kNearestEdgeTicks = kEarlySlackTicks + kLateSlackTicks + 1;

// MPU timer 3.
constexpr uint32_t kTimer3 = 0x700;
constexpr uint32_t kTimerControl = 0x00;
constexpr uint32_t kTimerLoad = 0x04;
constexpr uint32_t kTimerCount = 0x08;
constexpr uint32_t kTimerStopped = 0x64;  // clock on, prescale by 4, free, stopped
constexpr uint32_t kTimerOneShot = 0x65;  // the same, started
constexpr uint32_t kTimerRunning = 0x01;
constexpr uint32_t kTicksPerMs = 3038;
constexpr uint32_t kFreeRunLoad = 0xFFFFFFFE;

// Pin multiplexing and module configuration.
constexpr uint32_t kPinMux = 0x18;
constexpr uint32_t kModuleConfig = 0x80;
constexpr uint32_t kPinMuxField = 0xFC0;
constexpr uint32_t kPinMuxUartLine = 0x080;
constexpr uint32_t kModuleConfigBit31 = 0x80000000;

constexpr uint32_t kSendBurstValue = 0;
constexpr uint32_t kCaptureValue = 1;

// Divisors for carrier periods of 10 to 100 microseconds.
constexpr uint8_t kDivisors[91] = {
    14,  17,  18,  19,  21,  22,  24,  25,  27,  28,   // 10
    30,  31,  32,  34,  35,  37,  39,  40,  41,  42,   // 20
    44,  45,  47,  48,  50,  51,  53,  54,  56,  57,   // 30
    58,  60,  61,  63,  64,  66,  67,  69,  70,  72,   // 40
    73,  74,  76,  77,  79,  79,  80,  84,  85,  86,   // 50
    87,  88,  90,  91,  92,  94,  95,  98,  99,  101,  // 60
    103, 104, 105, 106, 108, 109, 110, 112, 113, 114,  // 70
    116, 118, 119, 121, 123, 125, 125, 126, 128, 129,  // 80
    130, 132, 135, 136, 137, 139, 140, 141, 142, 143,  // 90
    144,                                               // 100
};

}  // namespace

COmap1510IrDriver::COmap1510IrDriver(IrPlatform& platform) : CIrDriver(platform) {
    uartPage = platform.MapPage(kUartPageAddress, true);
    timers = platform.MapPage(kTimerAddress, true);
    config = platform.MapPage(kConfigAddress, true);
}

COmap1510IrDriver::~COmap1510IrDriver() {
    ClosePort();
    for (RegisterBlock* block : {uartPage, timers, config}) {
        if (block) {
            platform.UnmapPage(block);
        }
    }
}

uint8_t COmap1510IrDriver::DivisorFor(uint8_t period) {
    return kDivisors[std::clamp<uint8_t>(period, 11, 100) - 10];
}

uint8_t COmap1510IrDriver::In(uint32_t offset) {
    return uartPage->Read8(kUart3 + offset);
}
void COmap1510IrDriver::Out(uint32_t offset, uint8_t value) {
    uartPage->Write8(kUart3 + offset, value);
}
uint32_t COmap1510IrDriver::Timer(uint32_t offset) {
    return timers->Read32(kTimer3 + offset);
}
void COmap1510IrDriver::SetTimer(uint32_t offset, uint32_t value) {
    timers->Write32(kTimer3 + offset, value);
}

// --- Loading: UART 3 as a carrier generator ---

int COmap1510IrDriver::LoadSignal(const int32_t* durations, uint16_t count, uint16_t frameStart,
                                  uint8_t carrierPeriod) {
    const int opened = OpenPort();
    if (opened != kIrOk) {
        return opened;
    }
    if (!durations || count == 0) {
        return kIrNoDurations;
    }
    // Held in microseconds, as every driver holds its signal; Send times it on timer 3.
    signal.nextStart = 0;
    signal.frameStart = 0;
    signal.count = std::min<uint16_t>(count, kMaxDurations);
    std::fill(std::begin(signal.durations), std::end(signal.durations), 0);
    std::copy(durations, durations + signal.count, signal.durations);
    if (carrierPeriod == 0) {
        return kIrNoCarrier;
    }
    signal.frameStart = frameStart >= signal.count ? 0 : frameStart;
    signal.carrierPeriod = carrierPeriod;

    if (!uartPage || !timers || !config) {
        return kIrNotMapped;
    }
    if (uartReprogrammed) {
        RestoreUart();  // a second load keeps the system's configuration to go back to
    }
    ProgramUart(DivisorFor(carrierPeriod));
    uartReprogrammed = 1;
    return kIrOk;
}

// Switches UART 3 to a plain 8-bit UART at `divisor`, routes its line to the transmitter,
// and saves everything it changes.
void COmap1510IrDriver::ProgramUart(uint8_t divisor) {
    saved.wakeControl = In(kWakeControl);
    Out(kWakeControl, kWakeValueLoaded);
    saved.mode1 = In(kMode1);
    Out(kMode1, kModeDisabled);
    saved.lineControl = In(kLineControl);

    savedPinMux = config->Read32(kPinMux);
    config->Write32(kPinMux, (savedPinMux & ~kPinMuxField) | kPinMuxUartLine);
    savedModuleConfig = config->Read32(kModuleConfig);
    config->Write32(kModuleConfig, savedModuleConfig | kModuleConfigBit31);

    Out(kLineControl, kLineConfigB);
    saved.enhanced = In(kEnhanced);
    Out(kEnhanced, saved.enhanced | kEnhancedFunctions);

    Out(kLineControl, kLineOperational);
    saved.interruptEnable = In(kInterruptEnable);
    Out(kInterruptEnable, 0);
    Out(kModemControl, 0);
    Out(kAuxiliary, 0);

    Out(kLineControl, kLineConfigB);
    saved.divisorLow = In(kDivisorLow);
    saved.divisorHigh = In(kDivisorHigh);
    saved.supplementaryConfig = In(kSupplementary);
    Out(kDivisorHigh, 0);
    Out(kDivisorLow, 0);
    Out(kLineControl, kLineConfigB);
    Out(kSupplementary, 1);
    Out(kDivisorLow, divisor);
    Out(kEnhanced, saved.enhanced);
    Out(kLineControl, kLine8N1);

    saved.supplementaryOperational = In(kSupplementary);
    Out(kSupplementary, saved.supplementaryOperational & ~kSupplementaryBit7);
    // Held in break: an idle UART line is high, and would light the emitter until the send.
    Out(kLineControl, kLine8N1Break);
    Out(kMode1, kModeUartLoaded);
}

// Puts UART 3 and the pin configuration back as ProgramUart found them.
void COmap1510IrDriver::RestoreUart() {
    Out(kMode1, kModeDisabled);
    Out(kLineControl, kLineConfigB);
    Out(kEnhanced, In(kEnhanced) | kEnhancedFunctions);
    Out(kLineControl, kLine8N1);
    Out(kAuxiliary, 1);
    Out(kLineControl, kLineConfigB);
    Out(kDivisorLow, saved.divisorLow);
    Out(kDivisorHigh, saved.divisorHigh);
    Out(kSupplementary, saved.supplementaryConfig);
    Out(kLineControl, kLineOperational);
    Out(kInterruptEnable, saved.interruptEnable);
    Out(kLineControl, kLineConfigB);
    Out(kEnhanced, saved.enhanced);
    Out(kLineControl, kLine8N1);
    Out(kSupplementary, saved.supplementaryOperational);
    Out(kLineControl, saved.lineControl);
    Out(kMode1, saved.mode1);
    config->Write32(kModuleConfig, savedModuleConfig);
    config->Write32(kPinMux, savedPinMux);
    Out(kWakeControl, saved.wakeControl);
    uartReprogrammed = 0;
}

void COmap1510IrDriver::ClosePort() {
    if (uartReprogrammed) {
        RestoreUart();
    }
    CIrDriver::ClosePort();
}

// --- Sending ---

// Timer 3 runs down freely through a send or a capture; Now() counts its ticks from then.
void COmap1510IrDriver::StartFreeRunning() {
    SetTimer(kTimerControl, kTimerStopped);
    SetTimer(kTimerLoad, kFreeRunLoad);
    SetTimer(kTimerControl, kTimerOneShot);
    elapsed.Start(Timer(kTimerCount));
}

void COmap1510IrDriver::WaitUntil(uint64_t tick) {
    PollTimer(tick, {});
}

// Reads timer 3 until Now() reaches `tick`, and the register that `watch` names in turn.
PollResult COmap1510IrDriver::PollTimer(uint64_t tick, CounterPoll watch) {
    watch.counter = timers;
    watch.counterOffset = kTimer3 + kTimerCount;
    return elapsed.PollUntil(platform, watch, tick);
}

// A mark is a fresh 0x55 stream, so that its carrier phase is the driver's choice. The
// stream starts in break, a little before the mark; releasing break during a high bit
// makes a rising edge at that moment, so the mark's first pulse rises at its deadline.
// The phase is picked so that the rise one UART period before the mark's end also falls
// in a high bit: break is set over the low bit before it and released at that moment.
// The mark then runs from its first to its last pulse start plus one period, the length
// it was learnt as, and the space after it is not left with the remainder of a period.
// The stream is topped up whenever the holding register empties, so it never idles.
void COmap1510IrDriver::EmitMark(uint64_t from, uint64_t until) {
    const uint64_t bit = bitFx;
    const uint64_t period = 2 * bit;
    // Where the last pulse belongs, and how far past whole periods it lies from the first.
    const uint64_t lengthFx = (until - from) * kFx;
    const bool oneRise = lengthFx < period + bit;
    uint64_t fromFx = from * kFx;
    uint64_t span = oneRise ? 0 : lengthFx - period;
    uint64_t rest = span % period;
    // Both rises must fall inside a high bit, with room for where the stream's bits really
    // are (known to a tick) and for a release that comes up to a tick late. When the mark's
    // length leaves no such room, it is stretched or shortened by up to kNearestEdgeTicks,
    // half at each end, so that neither space moves by more than half of that.
    const uint64_t nearest = kNearestEdgeTicks * kFx;
    if (!oneRise && rest + nearest > bit && rest < bit + nearest) {
        if (rest < bit) {
            const uint64_t shorter = rest + nearest - bit;
            fromFx += shorter / 2;
            span -= shorter;
            rest -= shorter;
        } else {
            const uint64_t longer = bit + nearest - rest;
            fromFx -= longer / 2;
            span += longer;
            rest += longer;
        }
    }
    // How far into its high bit the first rise falls: the middle of the room both rises have.
    const uint64_t early = kEarlySlackTicks * kFx, late = kLateSlackTicks * kFx;
    uint64_t into = bit / 2;
    if (!oneRise) {
        into =
            rest < bit ? (bit - rest + early - late) / 2 : (period - rest + bit + early - late) / 2;
    }

    // The stream starts one period ahead, its start bit then a high bit ending `into` later
    // than the first rise.
    const uint64_t startFx = fromFx - into - bit - period;
    WaitUntil(startFx / kFx);
    Out(kMode1, kModeDisabled);  // leaving UART mode empties the transmitter
    Out(kMode1, kModeUartLoaded);
    const uint64_t written = Now();
    Out(kData, kTransmitByte);
    Out(kData, kTransmitByte);
    // Rising edges of the stream's square wave fall at origin + k * period.
    const uint64_t origin = written * kFx + kFx / 2 + bit;

    CounterPoll holdingEmpty;
    holdingEmpty.watch = uartPage;
    holdingEmpty.watchOffset = kUart3 + kLineStatus;
    holdingEmpty.watchWidth = 1;
    holdingEmpty.watchMask = kHoldingEmpty;
    holdingEmpty.watchFirst = false;
    auto streamUntil = [&](uint64_t tick) {
        while (PollTimer(tick, holdingEmpty).watched) {
            Out(kData, kTransmitByte);
        }
    };
    auto riseAt = [&](uint64_t atFx) {  // the grid rise that `atFx` follows within a high bit
        return atFx < origin ? origin : origin + (atFx - origin) / period * period;
    };
    streamUntil((fromFx + kFx - 1) / kFx);
    Out(kLineControl, kLine8N1);
    uint64_t lastRise = riseAt(fromFx);
    if (!oneRise) {
        const uint64_t lastFx = fromFx + span;
        lastRise = riseAt(lastFx);
        streamUntil((lastRise - bit / 2) / kFx);
        Out(kLineControl, kLine8N1Break);
        streamUntil((lastFx + kFx - 1) / kFx);
        Out(kLineControl, kLine8N1);
    }
    // Dark again in the low bit after the last pulse; the stream runs on unseen.
    streamUntil((lastRise + bit + bit / 2) / kFx);
    Out(kLineControl, kLine8N1Break);
}

int COmap1510IrDriver::Send(uint16_t repeat) {
    if (!uartPage || !timers || !config) {
        return kIrNotMapped;
    }
    if (innerValue == 0) {
        return kIrNoScheduling;
    }
    if (signal.carrierPeriod == 0) {
        return kIrNoCarrier;
    }
    platform.Sleep(100);
    SetOuter(0);
    const uint32_t timerControl = Timer(kTimerControl);
    const uint32_t timerLoad = Timer(kTimerLoad);
    StartFreeRunning();
    Out(kLineControl, kLine8N1Break);  // the emitter stays dark until the first mark
    bitFx = uint64_t{DivisorFor(signal.carrierPeriod)} * kOversampling * TicksPerSecond() * kFx /
            kUartClockHz;
    // A mark's stream starts up to four UART bits and a few ticks before the mark, so every
    // pause hands over that much early (the first one too); the send still ends on time.
    const uint64_t lead = (5 * bitFx) / kFx + 1;
    SendTimeline timeline{TicksPerSecond(), Now() + lead, 0};

    RunPasses(repeat, kSendBurstValue, false, [&](int32_t entry) {
        uint64_t from = 0, until = 0;
        timeline.Advance(entry, from, until);
        if (entry > 0) {
            EmitMark(from, until);
        } else {
            WaitUntil(until > from + lead ? until - lead : from);
        }
    });
    WaitUntil(timeline.TickAt(timeline.positionUs));

    SetTimer(kTimerControl, Timer(kTimerControl) & ~kTimerRunning);
    SetTimer(kTimerLoad, timerLoad);
    SetTimer(kTimerControl, timerControl);
    SetOuter(outerValue);
    platform.FlushPenInput();
    return kIrOk;
}

// --- Capture ---

void COmap1510IrDriver::Arm() {
    Disarm();  // the detector reports the edges that follow its enabling
    Out(kWakeControl, In(kWakeControl) | kWakeEnable);
}

void COmap1510IrDriver::Disarm() {
    Out(kWakeControl, In(kWakeControl) & ~kWakeEnable);
}

uint64_t COmap1510IrDriver::TicksPerSecond() const {
    return uint64_t{kTicksPerMs} * 1000;
}

// The timer runs down freely; its ticks since the capture set-up.
uint64_t COmap1510IrDriver::Now() {
    return elapsed.Take(Timer(kTimerCount));
}

// The detector reports falling edges of the receive line only, so a pulse that is on already
// is not seen until the next one begins.
bool COmap1510IrDriver::NextPulse(uint64_t deadline, bool onCounts, uint64_t& at) {
    (void)onCounts;
    Arm();
    // The status, then the timer, in turn.
    CounterPoll wake;
    wake.watch = uartPage;
    wake.watchOffset = kUart3 + kWakeStatus;
    wake.watchWidth = 1;
    wake.watchMask = kWakeEvent;
    if (PollTimer(deadline + 1, wake).watched) {
        at = Now();
        Disarm();
        return true;
    }
    Disarm();
    return false;
}

int COmap1510IrDriver::Capture() {
    const int started = StartCapture(uartPage && timers && config);
    if (started != kIrOk) {
        return started;
    }

    SetOuter(0);
    SetInner(kCaptureValue);
    const uint32_t timerControl = Timer(kTimerControl);
    const uint32_t timerLoad = Timer(kTimerLoad);
    StartFreeRunning();

    // The UART is set up for edge detection on its receive line. What is saved here is
    // kept apart from what a load saved, so that a capture never loses the system's
    // configuration that ClosePort puts back.
    const uint8_t lineControl = In(kLineControl);
    const uint8_t mode1 = In(kMode1);
    const uint8_t wakeControl = In(kWakeControl);
    Out(kLineControl, kLineConfigB);
    const uint8_t enhanced = In(kEnhanced);
    Out(kEnhanced, enhanced | kEnhancedFunctions);
    Out(kLineControl, kLine8N1Break);
    const uint8_t interruptEnable = In(kInterruptEnable);
    Out(kInterruptEnable, interruptEnable & ~kSleepEnable);
    Out(kMode1, kModeUart);

    CaptureReport report;
    CaptureSignal(*this, report);

    SetTimer(kTimerControl, kTimerStopped);
    SetTimer(kTimerLoad, timerLoad);
    SetTimer(kTimerControl, timerControl);
    Out(kWakeControl, wakeControl);
    Out(kLineControl, kLineOperational);
    Out(kInterruptEnable, interruptEnable);
    Out(kLineControl, kLineConfigB);
    Out(kEnhanced, enhanced);
    Out(kLineControl, lineControl);
    Out(kMode1, mode1);
    RestoreScheduling();
    return FinishCapture(report);
}
