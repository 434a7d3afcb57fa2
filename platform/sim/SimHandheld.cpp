#include "platform/sim/SimHandheld.h"

#include <strings.h>

#include <cstdio>

// One mapped page: every access goes to the chip model; reads cost bus time.
class SimHandheld::Page : public RegisterBlock {
  public:
    Page(SimHandheld& handheld, uint32_t base, bool writable)
        : handheld_(handheld),
          clock_(handheld.clock_),
          chip_(*handheld.chip_),
          base_(base),
          writable_(writable) {}

    uint8_t Read8(uint32_t offset) override { return static_cast<uint8_t>(Read(offset, 1)); }
    uint16_t Read16(uint32_t offset) override { return static_cast<uint16_t>(Read(offset, 2)); }
    uint32_t Read32(uint32_t offset) override { return Read(offset, 4); }
    void Write8(uint32_t offset, uint8_t value) override { Write(offset, value, 1); }
    void Write16(uint32_t offset, uint16_t value) override { Write(offset, value, 2); }
    void Write32(uint32_t offset, uint32_t value) override { Write(offset, value, 4); }

    uint32_t Base() const { return base_; }
    // Widths are 1, 2 or 4: a mask tests the alignment without a division.
    static bool Valid(uint32_t offset, int width) {
        return offset + static_cast<uint32_t>(width) <= kPageSize &&
               (offset & static_cast<uint32_t>(width - 1)) == 0;
    }

  private:
    // Every poll of a driver comes through here: the checks are inline, the reports of
    // what fails are not.
    uint32_t Read(uint32_t offset, int width) {
        clock_.ChargeRegisterRead();
        if (!Valid(offset, width)) [[unlikely]] {
            return BadAccess(offset, width, "bad read");
        }
        return chip_.Read(base_ + offset, width);
    }
    void Write(uint32_t offset, uint32_t value, int width) {
        if (!Valid(offset, width)) [[unlikely]] {
            BadAccess(offset, width, "bad write");
            return;
        }
        if (!writable_) [[unlikely]] {
            char text[96];
            std::snprintf(text, sizeof text, "write to read-only mapping at 0x%08X + 0x%X", base_,
                          offset);
            handheld_.GuestError(text);
            return;
        }
        chip_.Write(base_ + offset, value, width);
    }
    [[gnu::noinline, gnu::cold]] uint32_t BadAccess(uint32_t offset, int width, const char* what) {
        char text[96];
        std::snprintf(text, sizeof text, "%s of %d bytes at 0x%08X + 0x%X", what, width, base_,
                      offset);
        handheld_.GuestError(text);
        return 0;
    }

    SimHandheld& handheld_;
    SimClock& clock_;
    SimChip& chip_;
    uint32_t base_;
    bool writable_;
};

SimHandheld::SimHandheld(const SimProfile& profile) : profile_(profile) {
    queryFails_ = profile.queryFails;
    const SimChipWiring wiring{clock_, air_, guestLog_, profile.irUartIndex};
    chip_ = profile.makeChip ? profile.makeChip(wiring) : std::make_unique<SimChip>(wiring);
    FillSimRegistry(profile_, registry_);
}

SimHandheld::~SimHandheld() {
    for (Page* page : mappings_) {
        delete page;
    }
}

void SimHandheld::SetThreadValues(int32_t priority, uint32_t quantum) {
    priority_ = priority;
    quantum_ = quantum;
}

// The reads of a driver's busy-wait cost far more host time than the chip models need to
// tell when an answer can change: after each turn of reads, the turns before the counter
// can reach its mark and before the watched register can change are left out, and only
// their time passes. Every read that can end the wait is made as it would be.
PollResult SimHandheld::Poll(const CounterPoll& poll) {
    auto* counter = static_cast<Page*>(poll.counter);
    auto* watch = static_cast<Page*>(poll.watch);
    if (!mappings_.count(counter) || !Page::Valid(poll.counterOffset, 4) ||
        (poll.watch && (!mappings_.count(watch) || (poll.watchWidth != 1 && poll.watchWidth != 4) ||
                        !Page::Valid(poll.watchOffset, poll.watchWidth)))) {
        return IrPlatform::Poll(poll);  // the bus reports what is wrong, read by read
    }
    // However long the wait, virtual time moves on in steps that pacing can follow.
    constexpr uint64_t kLongestStepNs = 10'000'000;
    // A mark further than this many ticks away is as far as this one.
    constexpr uint64_t kFarTicks = uint64_t{1} << 40;
    const uint32_t counterAddress = counter->Base() + poll.counterOffset;
    const uint32_t watchAddress = watch ? watch->Base() + poll.watchOffset : 0;
    const uint64_t cost = clock_.RegisterReadCost();
    const uint64_t turn = watch ? 2 * cost : cost;
    return RunPoll(poll, [&](const PollResult& sofar) {
        const uint64_t now = clock_.Now();  // the time of the turn's last read
        if (turn == 0) {
            return;
        }
        const bool counterLast = !watch || poll.watchFirst;
        uint64_t until =
            chip_->CounterAdvanceTime(counterAddress, counterLast ? now : now - cost,
                                      std::min(poll.ticks - sofar.advanced, kFarTicks));
        if (watch) {
            until = std::min(until, chip_->SteadyUntil(watchAddress, poll.watchWidth,
                                                       counterLast ? now - cost : now));
        }
        if (until > now + turn) {
            const uint64_t turns = std::min(until - now - 1, kLongestStepNs) / turn;
            clock_.Advance(turns * turn);
        }
    });
}

bool SimHandheld::QueryProcessorInfo(ProcessorInfo& info) {
    clock_.ChargeSystemCall();
    if (queryFails_) {
        return false;
    }
    info = profile_.info;
    return true;
}

RegisterBlock* SimHandheld::MapPage(uint32_t physicalAddress, bool writable) {
    if (physicalAddress % RegisterBlock::kPageSize != 0 || !chip_->HasPage(physicalAddress) ||
        failingPages_.count(physicalAddress)) {
        return nullptr;
    }
    Page* page = new Page(*this, physicalAddress, writable);
    mappings_.insert(page);
    return page;
}

void SimHandheld::UnmapPage(RegisterBlock* block) {
    auto* page = static_cast<Page*>(block);
    if (mappings_.erase(page)) {
        delete page;
    } else if (block) {
        GuestError("unmapping a page that is not mapped");
    }
}

uint64_t SimHandheld::QueryPerformanceCounter() {
    clock_.ChargeSystemCall();
    return clock_.Ticks(profile_.performanceFrequency);
}

void SimHandheld::Sleep(uint32_t milliseconds) {
    clock_.Advance(static_cast<uint64_t>(milliseconds) * 1000000u);
}

int32_t SimHandheld::GetThreadPriority(ThreadHandle thread) {
    return thread == kThread ? priority_ : 0;
}

bool SimHandheld::SetThreadPriority(ThreadHandle thread, int32_t priority) {
    if (thread != kThread) {
        return false;
    }
    priority_ = priority;
    schedulingLog_.push_back({true, priority});
    return true;
}

uint32_t SimHandheld::GetThreadQuantum(ThreadHandle thread) {
    return thread == kThread ? quantum_ : 0;
}

bool SimHandheld::SetThreadQuantum(ThreadHandle thread, uint32_t quantum) {
    if (thread != kThread) {
        return false;
    }
    quantum_ = quantum;
    schedulingLog_.push_back({false, quantum});
    return true;
}

bool SimHandheld::IsStylusDown() {
    clock_.ChargeSystemCall();
    if (stylusSource_) {
        return stylusSource_();
    }
    return clock_.Now() < stylusUntil_;
}

void SimHandheld::SetPortBusy(const std::string& name, bool busy) {
    for (SimComPort& port : profile_.comPorts) {
        if (strcasecmp(port.name.c_str(), name.c_str()) == 0) {
            port.busy = busy;
        }
    }
}

bool SimHandheld::IsSerialOpen(const std::string& name) const {
    for (const auto& [handle, open] : openPorts_) {
        if (strcasecmp(open.c_str(), name.c_str()) == 0) {
            return true;
        }
    }
    return false;
}

SimComPort* SimHandheld::PortOf(SerialHandle handle) {
    const auto it = openPorts_.find(handle);
    if (it == openPorts_.end()) {
        return nullptr;
    }
    for (SimComPort& port : profile_.comPorts) {
        if (port.name == it->second) {
            return &port;
        }
    }
    return nullptr;
}

SerialHandle SimHandheld::OpenSerialPort(const std::string& name) {
    serialLog_.push_back("open " + name);
    for (const SimComPort& port : profile_.comPorts) {
        if (strcasecmp(port.name.c_str(), name.c_str()) == 0) {
            if (port.busy || IsSerialOpen(port.name)) {
                return kInvalidSerialHandle;
            }
            const SerialHandle handle = nextHandle_++;
            openPorts_[handle] = port.name;
            portSettings_ = SerialSettings{};
            return handle;
        }
    }
    return kInvalidSerialHandle;
}

bool SimHandheld::SetSerialTimeouts(SerialHandle port, const SerialTimeouts& timeouts) {
    if (!PortOf(port)) {
        return false;
    }
    serialLog_.push_back("timeouts");
    lastTimeouts_ = timeouts;
    return true;
}

bool SimHandheld::GetSerialSettings(SerialHandle port, SerialSettings& settings) {
    if (!PortOf(port)) {
        return false;
    }
    settings = portSettings_;
    return true;
}

bool SimHandheld::SetSerialSettings(SerialHandle port, const SerialSettings& settings) {
    if (!PortOf(port)) {
        return false;
    }
    serialLog_.push_back("settings");
    portSettings_ = settings;
    lastSettings_ = settings;
    return true;
}

bool SimHandheld::SetSerialIrMode(SerialHandle port, bool on) {
    SimComPort* com = PortOf(port);
    if (!com) {
        return false;
    }
    serialLog_.push_back(on ? "ir on" : "ir off");
    if (com->irda) {
        chip_->OnSerialIrMode(on);
    }
    return true;
}

void SimHandheld::CloseSerialPort(SerialHandle port) {
    if (openPorts_.erase(port)) {
        serialLog_.push_back("close");
    } else {
        GuestError("closing a serial handle that is not open");
    }
}

bool SimHandheld::SystemCall(uint32_t selector, uint32_t word0, uint32_t word1) {
    systemCalls_.push_back({selector, word0, word1});
    return true;
}

void SimHandheld::ListenToOwnEmitter() {
    air_.StopPlaying();
    air_.ClearEmissions();
}

bool SimHandheld::HearOwnEmitter() {
    return air_.Echo(clock_.Now(), kOwnEchoDelayNs);
}
