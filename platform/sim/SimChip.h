// The register pages of a simulated system-on-chip.
//
// The base class holds the memory of the chip's register pages. A chip model derives from
// it and handles each register it knows in a read and a write switch: registers with
// behaviour (counters, pins, pending bits) have handlers of their own, plain ones keep what
// was written. An offset the model does not know is a guest error that reads 0 and writes
// nothing, so a driver's wrong offset shows instead of passing as memory.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/sim/SimClock.h"
#include "platform/sim/SimIrAir.h"

// The accesses the chip would not accept, one line each, for tests and the user to see.
class SimGuestLog {
  public:
    void Add(std::string line) { lines_.push_back(std::move(line)); }
    const std::vector<std::string>& Lines() const { return lines_; }

  private:
    std::vector<std::string> lines_;
};

// What a chip model is wired to on the handheld's board: the virtual clock its timers
// follow, the IR air its transceiver faces, the log of guest errors, and the UART (1..3)
// that carries the IR transceiver (0: none).
struct SimChipWiring {
    SimClock& clock;
    SimIrAir& air;
    SimGuestLog& guestLog;
    int irUartIndex = 0;
};

class SimChip {
  public:
    explicit SimChip(const SimChipWiring& wiring)
        : clock_(wiring.clock), air_(wiring.air), guestLog_(wiring.guestLog) {}
    virtual ~SimChip() = default;
    SimChip(const SimChip&) = delete;
    SimChip& operator=(const SimChip&) = delete;

    void AddPage(uint32_t physicalPage);
    bool HasPage(uint32_t physicalPage) const {
        return (physicalPage & 0xFFF) == 0 && FindPage(physicalPage) != nullptr;
    }

    // A register access by the program; width is 1, 2 or 4 bytes. The address is aligned
    // to the width and inside a page of this chip. A chip without a model knows no register.
    virtual uint32_t Read(uint32_t address, int width) { return UnknownRead(address, width); }
    virtual void Write(uint32_t address, uint32_t value, int width) {
        (void)value;
        UnknownWrite(address, width);
    }

    // For leaving out the turns of a driver's busy-wait that cannot end it: the first
    // virtual time at which a read of the counter at `address` may show `ticks` more ticks
    // than the read at `readAt` did, and the time up to which reads of the register at
    // `address` give what the read at `readAt` gave. Neither may be late; a model that cannot
    // tell answers `readAt`, and every read is made.
    virtual uint64_t CounterAdvanceTime(uint32_t address, uint64_t readAt, uint64_t ticks) {
        (void)address;
        (void)ticks;
        return readAt;
    }
    virtual uint64_t SteadyUntil(uint32_t address, int width, uint64_t readAt) {
        (void)address;
        (void)width;
        return readAt;
    }

    // The serial driver switched the profile's IrDA port into or out of infrared mode.
    virtual void OnSerialIrMode(bool on) { (void)on; }

    // Timed level changes of a chip's interrupt mask register, for tests to check what was
    // enabled while the emitter was on.
    struct MaskChange {
        uint64_t time;
        uint32_t mask;
    };
    const std::vector<MaskChange>& MaskHistory() const { return maskHistory_; }

    // Plain memory behind the registers, for models and tests; no time passes.
    uint32_t Peek(uint32_t address, int width) const;
    void Poke(uint32_t address, uint32_t value, int width);

  protected:
    // Logs an access the real chip would not accept ("read of write-only register", ...).
    void GuestError(std::string what) { guestLog_.Add(std::move(what)); }
    void GuestAccessError(const char* what, uint32_t address, int width);
    // An offset the model does not know: one guest error; the read gives 0, the write is
    // dropped.
    [[gnu::noinline, gnu::cold]] uint32_t UnknownRead(uint32_t address, int width);
    [[gnu::noinline, gnu::cold]] void UnknownWrite(uint32_t address, int width);
    // Registers of the 32-bit peripheral bus take whole-word accesses only; anything else is
    // a guest error (reads give 0, writes are dropped).
    bool WordAccess(uint32_t address, int width) {
        return width == 4 || NarrowAccess(address, width);
    }
    // Stores a new interrupt mask and notes it in the mask history.
    void WriteMask(uint32_t address, uint32_t value);

    // The memory of a page added before, for registers that a model reads on every poll of
    // a driver: a word at `offset` of it reads without looking the page up.
    uint8_t* PageMemory(uint32_t physicalPage) { return FindPage(physicalPage)->data(); }
    static uint32_t WordAt(const uint8_t* page, uint32_t offset) {
        if constexpr (std::endian::native == std::endian::little) {
            uint32_t value = 0;
            std::memcpy(&value, page + offset, sizeof value);
            return value;
        }
        uint32_t value = 0;
        for (int k = 3; k >= 0; --k) {  // little-endian, as the ARM chips run
            value = (value << 8) | page[offset + static_cast<uint32_t>(k)];
        }
        return value;
    }

    SimClock& clock_;
    SimIrAir& air_;

  private:
    // Reports a narrow access to a word register; false.
    bool NarrowAccess(uint32_t address, int width);

    using PageBytes = std::array<uint8_t, 4096>;
    // The page of `address`, or null; the last one found is kept, as the drivers' loops
    // read the same few registers over and over.
    PageBytes* FindPage(uint32_t address) const;

    // A chip has a handful of pages: a short list searched in order beats a tree.
    struct Page {
        uint32_t base;
        std::unique_ptr<PageBytes> bytes;
    };
    std::vector<Page> pages_;
    mutable uint32_t cachedBase_ = 1;  // no page starts at an odd address
    mutable PageBytes* cachedPage_ = nullptr;
    std::vector<MaskChange> maskHistory_;
    SimGuestLog& guestLog_;
};

// A free-running 32-bit up-counter driven by the virtual clock, as the chips' operating-system
// timers are. Writing it sets the count from that moment on; it wraps at 2^32.
class SimFreeRunningCounter {
  public:
    explicit SimFreeRunningCounter(uint64_t hertz) : hertz_(hertz) {}
    uint32_t Read(const SimClock& clock) const { return Raw(clock) + offset_; }
    void Write(const SimClock& clock, uint32_t value) { offset_ = value - Raw(clock); }
    uint64_t Hertz() const { return hertz_; }
    // The first time at which the count is `ticks` past what it read at `at`.
    uint64_t TimeOfAdvance(uint64_t at, uint64_t ticks) const {
        return SimClock::TimeOfTick(SimClock::Scale(at, hertz_, SimClock::kSecond) + ticks, hertz_);
    }

  private:
    uint32_t Raw(const SimClock& clock) const { return static_cast<uint32_t>(clock.Ticks(hertz_)); }
    uint64_t hertz_;
    uint32_t offset_ = 0;
};

// Pin level register of a simple GPIO bank: output pins read their latch, input pins what
// drives them from outside.
inline uint32_t PinLevels(uint32_t latch, uint32_t direction, uint32_t inputs) {
    return (latch & direction) | (inputs & ~direction);
}
