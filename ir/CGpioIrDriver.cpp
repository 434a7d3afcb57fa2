#include "CGpioIrDriver.h"

#include <algorithm>
#include <limits>

#include "IrResult.h"

CGpioIrDriver::CGpioIrDriver(IrPlatform& platform, const GpioIrChipTraits& traits,
                             uint32_t timerAddress, uint32_t interruptAddress, uint32_t pinAddress)
    : CIrDriver(platform), traits(traits) {
    timer = MapBlock(timerAddress);
    interrupts = MapBlock(interruptAddress);
    pinBlock = MapBlock(pinAddress);
}

CGpioIrDriver::~CGpioIrDriver() {
    CIrDriver::ClosePort();
    for (int k = 0; k < mappedCount_; ++k) {
        platform.UnmapPage(mapped_[k]);
    }
}

RegisterBlock* CGpioIrDriver::MapBlock(uint32_t address) {
    RegisterBlock* block = platform.MapPage(address, true);
    if (block && mappedCount_ < static_cast<int>(std::size(mapped_))) {
        mapped_[mappedCount_++] = block;
    }
    return block;
}

bool CGpioIrDriver::Mapped() const {
    return timer && interrupts && pinBlock;
}

uint32_t CGpioIrDriver::TicksOfUs(uint64_t microseconds) const {
    return static_cast<uint32_t>(std::min<uint64_t>(microseconds * traits.ticksPerMs / 1000,
                                                    std::numeric_limits<uint32_t>::max()));
}

uint32_t CGpioIrDriver::UsOfTicks(uint32_t ticks) const {
    return static_cast<uint32_t>(static_cast<uint64_t>(ticks) * 1000 / traits.ticksPerMs);
}

uint32_t CGpioIrDriver::WaitTicks(uint32_t start, uint64_t ticks) {
    // Elapsed ticks are measured modulo 2^32, so one wait may span at most half the range.
    constexpr uint64_t kLongestWait = 0x80000000u;
    while (ticks > 0) {
        const uint32_t chunk = static_cast<uint32_t>(std::min(ticks, kLongestWait));
        while (static_cast<uint32_t>(Counter() - start) < chunk) {
        }
        start += chunk;
        ticks -= chunk;
    }
    return start;
}

void CGpioIrDriver::EmitMark(const GpioIrPins& pins) {
    const uint32_t cycles = static_cast<uint32_t>(currentEntry) / signal.carrierPeriod;
    if (cycles == 0) {
        return;  // shorter than one carrier period: nothing to send
    }
    const uint32_t high = Halves().high;
    const uint32_t period = high + Halves().low;

    uint32_t savedMask = 0;
    if (traits.maskDuringMark) {
        savedMask = interrupts->Read32(kInterruptMask);
        interrupts->Write32(kInterruptMask, savedMask & traits.markMaskKeep);
    }
    uint32_t start = Counter();
    for (uint32_t k = 0; k < cycles; ++k) {
        pinBlock->Write32(pins.onOffset, pins.onValue);
        while (static_cast<uint32_t>(Counter() - start) < high) {
        }
        pinBlock->Write32(pins.offOffset, pins.offValue);
        while (static_cast<uint32_t>(Counter() - start) < period) {
        }
        start += period;
    }
    if (traits.maskDuringMark) {
        interrupts->Write32(kInterruptMask, interrupts->Read32(kInterruptMask) | savedMask);
    }
}

void CGpioIrDriver::EmitSpace() {
    // Computed in 64 bits: pauses above about 1.16 s would overflow 32 (and come out short).
    const uint32_t magnitude = 0u - static_cast<uint32_t>(currentEntry);
    WaitTicks(Counter(), static_cast<uint64_t>(magnitude) * traits.ticksPerMs / 1000);
}

int CGpioIrDriver::Send(uint16_t repeat) {
    if (!Mapped()) {
        return kIrNotMapped;
    }
    if (innerValue == 0) {
        return kIrNoScheduling;
    }
    if (signal.carrierPeriod == 0) {
        return kIrNoCarrier;
    }
    if (const int result = CheckPins(); result != kIrOk) {
        return result;
    }
    const GpioIrPins pins = Pins();
    if (traits.ownHalves) {
        Halves() = HalvesOfTicks(static_cast<float>(signal.carrierPeriod) *
                                 static_cast<float>(traits.ticksPerMs) / 1000.0f);
    }

    SendStarting();
    platform.Sleep(100);
    SetOuter(0);
    SetUpSendPins();
    RunPasses(repeat, traits.burstInner, traits.lastEntryOutside, [&](int32_t entry) {
        if (entry > 0) {
            EmitMark(pins);
        } else if (entry < 0) {
            EmitSpace();
        }
    });
    RestoreSendPins();
    SetOuter(outerValue);
    SendFinished();
    platform.FlushPenInput();
    return kIrOk;
}

int CGpioIrDriver::Capture() {
    if (!Mapped()) {
        return kIrNotMapped;
    }
    if (const int result = OpenPort(); result != kIrOk) {
        return result;
    }
    if (innerValue == 0) {
        return kIrNoScheduling;
    }
    int32_t buffer[kMaxDurations] = {};
    int longPauses = kLongPauses;
    const uint64_t deadline =
        platform.QueryPerformanceCounter() + uint64_t{kCaptureTimeoutMs} * counterTicksPerMs;
    if (const int result = CheckPins(); result != kIrOk) {
        return result;
    }
    const GpioIrPins pins = Pins();

    SetOuter(0);
    SetInner(traits.burstInner);
    SetUpCapturePins();
    auto idle = [&] { return (pinBlock->Read32(pins.levelOffset) & pins.receiveMask) != 0; };
    auto restorePinsAndScheduling = [&] {
        RestoreCapturePins();
        RestoreScheduling();
    };

    // Nothing happens until the remote's first pulse, or the time-out.
    while (idle()) {
        if (platform.QueryPerformanceCounter() > deadline) {
            restorePinsAndScheduling();
            return kIrNoSignal;
        }
    }

    uint32_t savedMask = 0;
    if (traits.maskDuringCapture) {
        savedMask = interrupts->Read32(kInterruptMask);
        interrupts->Write32(kInterruptMask, savedMask & traits.captureMaskKeep);
    }
    auto restoreMask = [&] {
        if (traits.maskDuringCapture) {
            interrupts->Write32(kInterruptMask, interrupts->Read32(kInterruptMask) | savedMask);
        }
    };

    // The carrier period over four cycles, from the second falling edge on. A pulse that no
    // other follows within the silence limit (a stray flash, a receiver stuck low) leaves
    // nothing to measure: reported like a carrier too slow to use, instead of waiting forever.
    const uint32_t silence = kSilenceMs * traits.ticksPerMs;
    auto nextFallingEdge = [&] {
        const uint32_t from = Counter();
        while (!idle()) {
            if (static_cast<uint32_t>(Counter() - from) > silence) {
                return false;
            }
        }
        while (idle()) {
            if (static_cast<uint32_t>(Counter() - from) > silence) {
                return false;
            }
        }
        return true;
    };
    bool measured = nextFallingEdge();
    const uint32_t t0 = Counter();
    for (int k = 0; measured && k < 4; ++k) {
        measured = nextFallingEdge();
    }
    const uint32_t t1 = Counter();
    const uint32_t carrierUs =
        measured
            ? static_cast<uint32_t>(static_cast<uint64_t>(t1 - t0) * 1000 / (4 * traits.ticksPerMs))
            : std::numeric_limits<uint32_t>::max();
    if (carrierUs > kMaxCarrierPeriodUs) {
        restoreMask();
        restorePinsAndScheduling();
        return kIrCarrierTooLong;
    }
    const uint32_t gapUs = 5 * carrierUs;
    const uint32_t markLimit = TicksOfUs(kMaxMarkUs);

    // Marks run from the first to the last falling edge of a burst, pauses from there to the
    // first falling edge of the next burst.
    uint32_t burstStart = t0;
    uint32_t previousEdge = Counter();
    int filled = 0;
    bool overLong = false;
    while (filled < kMaxDurations - 1) {
        while (!idle()) {
            // A receiver that stays low is a mark without end.
            if (static_cast<uint32_t>(Counter() - burstStart) > markLimit) {
                overLong = true;
                break;
            }
        }
        if (overLong) {
            break;
        }
        bool end = false;
        const uint32_t silentFrom = Counter();
        while (idle()) {
            if (static_cast<uint32_t>(Counter() - silentFrom) > silence) {
                end = true;
                break;
            }
        }
        const uint32_t t = Counter();
        const uint32_t intervalUs = UsOfTicks(t - previousEdge);
        if (intervalUs > gapUs) {
            const uint32_t markUs = UsOfTicks(previousEdge - burstStart);
            if (markUs > kMaxMarkUs) {
                overLong = true;
                break;
            }
            buffer[filled] = static_cast<int32_t>(markUs);
            if (!end) {
                buffer[filled + 1] = -static_cast<int32_t>(intervalUs);
            }
            filled += 2;
            burstStart = t;
            if (intervalUs > kLongPauseUs && --longPauses == 0) {
                break;
            }
        } else if (static_cast<uint32_t>(t - burstStart) > markLimit) {
            overLong = true;  // a carrier without pause: no need to wait for its end
            break;
        }
        if (end) {
            break;
        }
        previousEdge = t;
    }

    restoreMask();
    restorePinsAndScheduling();
    ClosePort();
    platform.FlushPenInput();
    if (overLong) {
        return kIrMarkTooLong;
    }
    signal.carrierPeriod = static_cast<uint8_t>(carrierUs);
    return AnalyseCapture(buffer, kMaxDurations);
}
