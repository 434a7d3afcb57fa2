#include "ir/CGpioIrDriver.h"

#include <algorithm>
#include <functional>
#include <limits>

#include "ir/CaptureCore.h"
#include "ir/IrResult.h"

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

uint64_t CGpioIrDriver::SendNow() {
    return sendTicks.Take(Counter());
}

void CGpioIrDriver::WaitUntil(uint64_t tick) {
    CounterPoll poll;
    poll.counter = timer;
    poll.counterOffset = kTimerCounter;
    sendTicks.PollUntil(platform, poll, tick);
}

// Carrier cycles spread over the mark's place on the timeline, with the interrupts that the
// chip keeps; the emitter is off again at the end of the last cycle.
void CGpioIrDriver::EmitMark(const GpioIrPins& pins, uint64_t from, uint64_t until,
                             uint32_t markUs) {
    const MarkCycles cycles(from, until, markUs, signal.carrierPeriod);
    if (cycles.cycles == 0) {
        return;  // shorter than one carrier period: nothing to send
    }
    uint32_t savedMask = 0;
    if (traits.maskDuringMark) {
        savedMask = interrupts->Read32(kInterruptMask);
        interrupts->Write32(kInterruptMask, savedMask & traits.markMaskKeep);
    }
    for (uint32_t k = 0; k < cycles.cycles; ++k) {
        WaitUntil(cycles.Rise(k));
        pinBlock->Write32(pins.onOffset, pins.onValue);
        WaitUntil(cycles.Fall(k));
        pinBlock->Write32(pins.offOffset, pins.offValue);
    }
    if (traits.maskDuringMark) {
        interrupts->Write32(kInterruptMask, interrupts->Read32(kInterruptMask) | savedMask);
    }
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

    SendStarting();
    platform.Sleep(100);
    SetOuter(0);
    SetUpSendPins();
    sendTicks.Start(Counter());
    SendTimeline timeline{traits.ticksPerSecond, SendNow(), 0};
    RunPasses(repeat, traits.burstInner, traits.lastEntryOutside, [&](int32_t entry) {
        uint64_t from = 0, until = 0;
        const uint32_t magnitude = timeline.Advance(entry, from, until);
        if (entry > 0) {
            EmitMark(pins, from, until, magnitude);
        } else {
            WaitUntil(until);
        }
    });
    RestoreSendPins();
    SetOuter(outerValue);
    SendFinished();
    platform.FlushPenInput();
    return kIrOk;
}

namespace {

// The receive pin and the timer counter as the capture core sees them.
class GpioEdges final : public CCaptureEdges {
  public:
    GpioEdges(IrPlatform& platform, RegisterBlock& timer, RegisterBlock& pins,
              const GpioIrPins& wiring, uint64_t ticksPerSecond, std::function<void()> firstPulse)
        : platform_(platform),
          timer_(timer),
          pins_(pins),
          wiring_(wiring),
          rate_(ticksPerSecond),
          firstPulse_(std::move(firstPulse)) {
        ticks_.Start(Counter());
    }

    uint64_t TicksPerSecond() const override { return rate_; }

    uint64_t Now() override { return ticks_.Take(Counter()); }

    bool NextPulse(uint64_t deadline, bool onCounts, uint64_t& at) override {
        if (!onCounts && !WaitWhile(false, deadline)) {
            return false;
        }
        if (!WaitWhile(true, deadline)) {
            return false;
        }
        at = Now();
        if (firstPulse_) {
            firstPulse_();
            firstPulse_ = nullptr;
        }
        return true;
    }

  private:
    uint32_t Counter() { return timer_.Read32(CGpioIrDriver::kTimerCounter); }
    // Polls the pin while it reads `idle`, and the counter in turn: the deadline is checked
    // at every turn, and a pulse's start is still seen within two register reads. False
    // once the counter passed `deadline`.
    bool WaitWhile(bool idle, uint64_t deadline) {
        CounterPoll poll;
        poll.counter = &timer_;
        poll.counterOffset = CGpioIrDriver::kTimerCounter;
        poll.watch = &pins_;
        poll.watchOffset = wiring_.levelOffset;
        poll.watchMask = wiring_.receiveMask;
        poll.watchWhile = idle ? wiring_.receiveMask : 0;
        return ticks_.PollUntil(platform_, poll, deadline + 1).watched;
    }

    IrPlatform& platform_;
    RegisterBlock& timer_;
    RegisterBlock& pins_;
    const GpioIrPins wiring_;
    const uint64_t rate_;
    std::function<void()> firstPulse_;
    CountedTicks ticks_;
};

}  // namespace

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
    if (const int result = CheckPins(); result != kIrOk) {
        return result;
    }

    SetOuter(0);
    SetInner(traits.burstInner);
    SetUpCapturePins();
    // From the first pulse on, only the interrupts that the chip keeps stay enabled.
    bool masked = false;
    uint32_t savedMask = 0;
    GpioEdges edges(platform, *timer, *pinBlock, Pins(), traits.ticksPerSecond, [&] {
        if (traits.maskDuringCapture) {
            savedMask = interrupts->Read32(kInterruptMask);
            interrupts->Write32(kInterruptMask, savedMask & traits.captureMaskKeep);
            masked = true;
        }
    });
    CaptureReport report;
    CaptureSignal(edges, report);
    if (masked) {
        interrupts->Write32(kInterruptMask, interrupts->Read32(kInterruptMask) | savedMask);
    }
    RestoreCapturePins();
    RestoreScheduling();
    return FinishCapture(report);
}
