#include "platform/sim/SimOmap1510.h"

#include <algorithm>
#include <cstdio>

using namespace omap;

namespace {

constexpr uint64_t kNsPerSecond = 1000000000;
constexpr uint32_t kFrameBits = 10;  // start, eight data bits, stop

}  // namespace

std::function<std::unique_ptr<SimChip>(const SimChipWiring&)> SimOmap1510::Maker() {
    return [](const SimChipWiring& wiring) { return std::make_unique<SimOmap1510>(wiring); };
}

SimOmap1510::SimOmap1510(const SimChipWiring& wiring) : SimChip(wiring) {
    AddPage(kUartPage);
    AddPage(kTimerPage);
    AddPage(kConfigPage);
    timerPage_ = PageMemory(kTimerPage);
    uart3_ = PageMemory(kUartPage) + (kUart3 - kUartPage);
    // UART 3 as the system leaves it with the port closed: disabled, 2400 baud, 8N1.
    dll_ = 0xE2;
    dlh_ = 0x04;
    Poke(kUart3 + kUartAuxiliary, 1, 1);
    // The system's pin and module configuration; the IR transmitter is not routed to the
    // plain UART line.
    Poke(kConfigPage + kPinMux, 0x00249040, 4);
    Poke(kConfigPage + kModuleConfig, 0x00000C00, 4);
}

SimOmap1510::UartState SimOmap1510::Uart() const {
    return {lcr_,
            mdr1_,
            efr_,
            ier_,
            dll_,
            dlh_,
            supplementaryConfig_,
            supplementaryOperational_,
            wakeControl_,
            mcr_,
            static_cast<uint8_t>(Peek(kUart3 + kUartAuxiliary, 1))};
}

void SimOmap1510::OnSerialIrMode(bool on) {
    // The serial driver puts the UART into slow infrared mode, or disables it.
    const uint64_t now = clock_.Now();
    Sync(now);
    mdr1_ = on ? 0x01 : kModeDisabled;
    Report(now);
}

SimOmap1510::Bank SimOmap1510::CurrentBank() const {
    if (lcr_ == kLineConfigB) {
        return Bank::ConfigB;
    }
    return (lcr_ & kLineDivisorAccess) ? Bank::ConfigA : Bank::Operational;
}

// --- The transmit line ---

bool SimOmap1510::UartMode() const {
    const uint8_t mode = mdr1_ & kModeMask;
    return mode == kModeUart16x || mode == kModeUart16xAutoBaud || mode == kModeUart13x;
}

// When a bit of the current frame begins: the bit time is divisor * oversampling clocks.
uint64_t SimOmap1510::BitStart(uint32_t bit) const {
    return frameStart_ +
           uint64_t{bit} * frameDivisor_ * frameOversampling_ * kNsPerSecond / kUartClockHz;
}

bool SimOmap1510::LineHigh() const {
    if (!UartMode()) {
        return false;
    }
    if (lcr_ & kLineBreak) {
        return false;
    }
    if (!frameActive_) {
        return true;  // idle
    }
    const uint32_t bit = nextBit_ - 1;
    if (bit == 0) {
        return false;  // start bit
    }
    if (bit == kFrameBits - 1) {
        return true;  // stop bit
    }
    return (frameByte_ >> (bit - 1)) & 1;
}

bool SimOmap1510::EmitterOn() const {
    return (Peek(kConfigPage + kPinMux, 4) & kPinMuxIrField) == kPinMuxUart3Line && LineHigh();
}

void SimOmap1510::Report(uint64_t time) {
    air_.Transmit(time, EmitterOn());
}

void SimOmap1510::FindNextEdge() {
    nextEdge_ = frameActive_ && frameDivisor_ != 0 ? BitStart(nextBit_) : kNoEdge;
}

// Brings the line's bit edges up to `now`; writes report their own changes at once.
void SimOmap1510::SyncEdges(uint64_t now) {
    while (nextEdge_ < now) {
        const uint64_t edge = nextEdge_;
        if (nextBit_ < kFrameBits) {
            ++nextBit_;
        } else if (!fifo_.empty()) {
            frameStart_ = edge;  // the next byte follows at once
            frameByte_ = fifo_.front();
            fifo_.pop_front();
            nextBit_ = 1;
        } else {
            frameActive_ = false;
        }
        FindNextEdge();
        Report(edge);
    }
}

bool SimOmap1510::WakeEvent(uint64_t now) const {
    if (!(wakeControl_ & kWakeEnable) || (mdr1_ & kModeMask) == kModeDisabled) {
        return false;
    }
    const uint64_t edge = air_.NextPulseAfter(armedSince_);
    return edge != SimIrAir::kNever && edge <= now;
}

// --- UART registers ---

uint8_t SimOmap1510::ReadUart(uint32_t offset, uint64_t now) {
    const Bank bank = CurrentBank();
    switch (offset) {
        case kUartData:
            return bank == Bank::Operational ? 0 : dll_;  // nothing is ever received
        case kUartInterruptEnable:
            return bank == Bank::Operational ? ier_ : dlh_;
        case kUartEnhanced:
            return bank == Bank::ConfigB ? efr_ : 0x01;  // no interrupt pending
        case kUartLineControl:
            return lcr_;
        case kUartModemControl:
            return bank == Bank::ConfigB ? uart3_[offset] : mcr_;
        case kUartLineStatus: {
            if (bank == Bank::ConfigB) {
                return uart3_[offset];
            }
            uint8_t status = 0;
            if (fifo_.empty()) {
                status |= kStatusHoldingEmpty;
                if (!frameActive_) {
                    status |= kStatusTransmitterEmpty;
                }
            }
            return status;
        }
        case kUartMode1:
            return mdr1_;
        case kUartSupplementary:
            return bank == Bank::Operational ? supplementaryOperational_ : supplementaryConfig_;
        case kUartWakeControl:
            return wakeControl_;
        case kUartWakeStatus:
            return static_cast<uint8_t>((uart3_[offset] & ~kWakeEvent) |
                                        (WakeEvent(now) ? kWakeEvent : 0));
        case kUartAuxiliary:
            return uart3_[offset];
        default:
            return static_cast<uint8_t>(UnknownRead(kUart3 + offset, 1));
    }
}

void SimOmap1510::WriteUart(uint32_t offset, uint8_t value, uint64_t now) {
    const Bank bank = CurrentBank();
    switch (offset) {
        case kUartData:
            if (bank != Bank::Operational) {
                dll_ = value;
            } else if (!UartMode()) {
                GuestError("UART 3: byte written while not in UART mode");
            } else if (fifo_.size() >= kUartFifo) {
                GuestError("UART 3: byte written to a full transmit FIFO");
            } else if (!frameActive_) {
                frameActive_ = true;
                frameStart_ = now;
                frameByte_ = value;
                frameDivisor_ = Divisor();
                frameOversampling_ = (mdr1_ & kModeMask) == kModeUart13x ? 13 : 16;
                nextBit_ = 1;
                FindNextEdge();
            } else {
                fifo_.push_back(value);
            }
            return;
        case kUartInterruptEnable:
            (bank == Bank::Operational ? ier_ : dlh_) = value;
            return;
        case kUartEnhanced:
            if (bank == Bank::ConfigB) {
                efr_ = value;
            }  // else the FIFO control: the FIFO is always on here
            return;
        case kUartLineControl:
            lcr_ = value;
            return;
        case kUartModemControl:
            if (bank == Bank::ConfigB) {
                Poke(kUart3 + offset, value, 1);
            } else {
                mcr_ = value;
            }
            return;
        case kUartLineStatus:
            if (bank == Bank::ConfigB) {
                Poke(kUart3 + offset, value, 1);
            } else {
                GuestError("UART 3: write to the line status register");
            }
            return;
        case kUartMode1:
            mdr1_ = value;
            if (!UartMode()) {
                fifo_.clear();  // leaving UART mode resets the transmitter
                frameActive_ = false;
                FindNextEdge();
            }
            return;
        case kUartSupplementary:
            (bank == Bank::Operational ? supplementaryOperational_ : supplementaryConfig_) = value;
            return;
        case kUartWakeControl:
            if ((value & kWakeEnable) && !(wakeControl_ & kWakeEnable)) {
                armedSince_ = now;  // only edges from now on count
            }
            wakeControl_ = value;
            return;
        case kUartWakeStatus:
            GuestError("UART 3: write to the wake-up status register");
            return;
        case kUartAuxiliary:
            Poke(kUart3 + offset, value, 1);
            return;
        default:
            UnknownWrite(kUart3 + offset, 1);
            return;
    }
}

// --- Timer 3 ---

uint64_t SimOmap1510::TimerTicks(uint64_t nanoseconds) const {
    // The prescaler divides by a power of two: a shift, where a division would cost more
    // than the rest of a read of the count.
    const uint32_t control = WordAt(timerPage_, kTimer3 - kTimerPage + kTimerControl);
    const uint64_t hz = kTimerInputHz >> (((control >> kTimerPrescaleShift) & 0x7) + 1);
    return nanoseconds / kNsPerSecond * hz + nanoseconds % kNsPerSecond * hz / kNsPerSecond;
}

uint32_t SimOmap1510::TimerCount(uint64_t now, bool& expired) const {
    expired = false;
    if (!timerRunning_ || now <= timerSince_) {
        return timerCount_;
    }
    const uint64_t elapsed = TimerTicks(now - timerSince_);
    if (elapsed < timerCount_) {
        return static_cast<uint32_t>(timerCount_ - elapsed);
    }
    const uint32_t control = Peek(kTimer3 + kTimerControl, 4);
    if (!(control & kTimerAutoReload)) {
        expired = true;  // a one-shot run stops at 0
        return 0;
    }
    const uint64_t load = Peek(kTimer3 + kTimerLoad, 4);
    const uint64_t rest = elapsed - timerCount_;
    return static_cast<uint32_t>(load - rest % (load + 1));
}

// Fixes the timer's progress at `now`, before a change of its course. (The part of a tick
// that has passed is dropped, so this happens on changes only, not on every read.)
void SimOmap1510::RebaseTimer(uint64_t now) {
    bool expired = false;
    timerCount_ = TimerCount(now, expired);
    timerSince_ = now;
    if (expired) {
        timerRunning_ = false;
        Poke(kTimer3 + kTimerControl, Peek(kTimer3 + kTimerControl, 4) & ~kTimerStart, 4);
    }
}

// Up to the end of the run, where the count reloads or stops, it steps down once a tick:
// the count a read shows is the one at the start of the run less the ticks since.
uint64_t SimOmap1510::CounterAdvanceTime(uint32_t address, uint64_t readAt, uint64_t ticks) {
    if (address != kTimer3 + kTimerCount) {
        return readAt;
    }
    if (!timerRunning_) {
        return SimIrAir::kNever;  // the count holds until a write
    }
    const uint64_t elapsed = readAt > timerSince_ ? TimerTicks(readAt - timerSince_) : 0;
    if (elapsed >= timerCount_) {
        return readAt;
    }
    const uint32_t control = WordAt(timerPage_, kTimer3 - kTimerPage + kTimerControl);
    const uint64_t hz = kTimerInputHz >> (((control >> kTimerPrescaleShift) & 0x7) + 1);
    const uint64_t target = elapsed + std::min<uint64_t>(ticks, timerCount_ - elapsed);
    return timerSince_ + SimClock::TimeOfTick(target, hz);
}

uint64_t SimOmap1510::SteadyUntil(uint32_t address, int width, uint64_t readAt) {
    if (width != 1) {
        return readAt;
    }
    if (address == kUart3 + kUartWakeStatus) {
        // The event bit rises at the first pulse after the detector was armed, and stays.
        if (!(wakeControl_ & kWakeEnable) || (mdr1_ & kModeMask) == kModeDisabled) {
            return SimIrAir::kNever;
        }
        const uint64_t edge = air_.NextPulseAfter(armedSince_);
        return edge == SimIrAir::kNever || edge <= readAt ? SimIrAir::kNever : edge;
    }
    if (address == kUart3 + kUartLineStatus) {
        // The transmitter's state changes at the line's bit edges only; a read sees the edges
        // before it.
        if (CurrentBank() == Bank::ConfigB) {
            return SimIrAir::kNever;
        }
        return nextEdge_ == kNoEdge ? SimIrAir::kNever : std::max(nextEdge_ + 1, readAt);
    }
    return readAt;
}

// --- Accesses ---

uint32_t SimOmap1510::Read(uint32_t address, int width) {
    const uint64_t now = clock_.Now();
    Sync(now);
    // The drivers poll the timer's count and the UART's status in tight loops: those reads
    // take the short way.
    if (address == kTimer3 + kTimerCount && width == 4) {
        bool expired = false;
        return TimerCount(now, expired);
    }
    if (address >= kUart3 && address < kUart3 + 0x100 && width != 2) {
        return ReadUart(address - kUart3, now);
    }
    return ReadRegister(address, width, now);
}

uint32_t SimOmap1510::ReadRegister(uint32_t address, int width, uint64_t now) {
    if (address >= kUart3 && address < kUart3 + 0x100) {
        if (width == 2) {
            GuestError("UART 3: 16-bit read");
            return 0;
        }
        return ReadUart(address - kUart3, now);
    }
    if (address >= kTimer3 && address < kTimer3 + 0x10) {
        if (width != 4) {
            GuestError("timer 3: access narrower than a word");
            return 0;
        }
        bool expired = false;
        if (address == kTimer3 + kTimerControl) {
            TimerCount(now, expired);
            if (expired) {
                RebaseTimer(now);  // the run is over: the start bit drops
            }
        } else if (address == kTimer3 + kTimerCount) {
            return TimerCount(now, expired);
        } else if (address != kTimer3 + kTimerLoad) {
            return UnknownRead(address, width);
        }
        return Peek(address, width);
    }
    if (address == kConfigPage + kPinMux || address == kConfigPage + kModuleConfig) {
        return Peek(address, width);
    }
    return UnknownRead(address, width);
}

void SimOmap1510::Write(uint32_t address, uint32_t value, int width) {
    const uint64_t now = clock_.Now();
    Sync(now);
    ++writes_;
    if (address >= kUart3 && address < kUart3 + 0x100) {
        if (width == 2) {
            GuestError("UART 3: 16-bit write");
            return;
        }
        WriteUart(address - kUart3, static_cast<uint8_t>(value), now);
        Report(now);
        return;
    }
    if (address >= kTimer3 && address < kTimer3 + 0x10) {
        if (width != 4) {
            GuestError("timer 3: access narrower than a word");
            return;
        }
        if (address == kTimer3 + kTimerCount) {
            GuestError("timer 3: write to the count register");
            return;
        }
        if (address == kTimer3 + kTimerControl) {
            RebaseTimer(now);
            const uint32_t before = Peek(address, 4);
            Poke(address, value, 4);
            if ((value & kTimerStart) && !(before & kTimerStart)) {
                timerCount_ = Peek(kTimer3 + kTimerLoad, 4);  // a start loads the counter
            }
            timerRunning_ = (value & kTimerStart) && (value & kTimerClockEnable);
            return;
        }
        if (address != kTimer3 + kTimerLoad) {
            UnknownWrite(address, width);
            return;
        }
        Poke(address, value, width);
        Report(now);
        return;
    }
    if (address != kConfigPage + kPinMux && address != kConfigPage + kModuleConfig) {
        UnknownWrite(address, width);
        return;
    }
    Poke(address, value, width);
    Report(now);  // the pin multiplexer may have routed the line to the transmitter
}
