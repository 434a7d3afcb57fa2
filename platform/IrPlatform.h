// The services that the IR engine needs from the operating system and the hardware.
//
// The drivers reach the chip only through RegisterBlocks and everything else through
// IrPlatform, so that they run unchanged against the simulated handheld or a real device.
#pragma once

#include <cstdint>
#include <string>

// One mapped page (4096 bytes) of device registers.
class RegisterBlock {
  public:
    static constexpr uint32_t kPageSize = 4096;

    virtual ~RegisterBlock() = default;

    virtual uint8_t Read8(uint32_t offset) = 0;
    virtual uint16_t Read16(uint32_t offset) = 0;
    virtual uint32_t Read32(uint32_t offset) = 0;
    virtual void Write8(uint32_t offset, uint8_t value) = 0;
    virtual void Write16(uint32_t offset, uint16_t value) = 0;
    virtual void Write32(uint32_t offset, uint32_t value) = 0;
};

// What the kernel reports about the processor.
struct ProcessorInfo {
    std::string coreName;       // e.g. "ARM920T"
    std::string processorName;  // e.g. "S3C2440A"
    uint32_t clockSpeed = 0;    // MHz
};

using ThreadHandle = uintptr_t;
using SerialHandle = intptr_t;
constexpr SerialHandle kInvalidSerialHandle = -1;

constexpr uint32_t kMaxTimeout = 0xFFFFFFFF;

struct SerialTimeouts {
    uint32_t readInterval = 0;
    uint32_t readTotalMultiplier = 0;
    uint32_t readTotalConstant = 0;
    uint32_t writeTotalMultiplier = 0;
    uint32_t writeTotalConstant = 0;
};

enum class DtrControl : uint8_t { Disable, Enable, Handshake };
enum class RtsControl : uint8_t { Disable, Enable, Handshake, Toggle };

// Line settings of a serial port. The stop-bit setting counts as the platform does:
// 0 one stop bit, 1 one and a half, 2 two.
struct SerialSettings {
    uint32_t baudRate = 9600;
    bool binary = true;
    bool parityCheck = false;
    bool outxCtsFlow = false;
    bool outxDsrFlow = false;
    DtrControl dtrControl = DtrControl::Enable;
    bool dsrSensitivity = false;
    bool txContinueOnXoff = false;
    bool outX = false;
    bool inX = false;
    bool errorChar = false;
    bool nullStrip = false;
    RtsControl rtsControl = RtsControl::Enable;
    bool abortOnError = false;
    uint8_t byteSize = 8;
    uint8_t parity = 0;
    uint8_t stopBits = 0;
};

// A driver's busy-wait on a counter register: the counter at `counterOffset` of `counter` is
// read again and again until the reads show `ticks` ticks past `from` (the count the driver
// read last), counted in the counter's direction and modulo its width. With a `watch`
// register, that is read at every turn too, before the counter or after it, and the wait
// ends at the first read where `(value & watchMask) != watchWhile`.
struct CounterPoll {
    RegisterBlock* counter = nullptr;
    uint32_t counterOffset = 0;
    uint32_t countMask = 0xFFFFFFFF;  // the counter's width
    bool countsDown = false;
    uint32_t from = 0;
    uint64_t ticks = 0;
    RegisterBlock* watch = nullptr;
    uint32_t watchOffset = 0;
    int watchWidth = 4;  // 1 or 4 bytes
    uint32_t watchMask = 0;
    uint32_t watchWhile = 0;
    bool watchFirst = true;
};

struct PollResult {
    uint32_t count = 0;     // the counter's last value read (masked); `from` while unread
    uint64_t advanced = 0;  // the ticks past `from` that the reads showed, summed read by read
    bool watched = false;   // the watch register ended the wait
    uint32_t watchValue = 0;
};

class IrPlatform {
  public:
    virtual ~IrPlatform() = default;

    // Runs a busy-wait of a driver (see CounterPoll), read by read. A platform that knows
    // how its registers will read may leave out turns of reads that cannot end the wait and
    // give what they would have given; what the driver sees is the same.
    virtual PollResult Poll(const CounterPoll& poll) {
        return RunPoll(poll, [](const PollResult&) {});
    }

    // The kernel's processor-information query; false when the query fails.
    virtual bool QueryProcessorInfo(ProcessorInfo& info) = 0;

    // Maps one physical page of registers; null when the page cannot be mapped.
    virtual RegisterBlock* MapPage(uint32_t physicalAddress, bool writable) = 0;
    virtual void UnmapPage(RegisterBlock* block) = 0;

    // The high-resolution performance counter.
    virtual uint64_t QueryPerformanceCounter() = 0;
    virtual uint64_t QueryPerformanceFrequency() = 0;

    virtual void Sleep(uint32_t milliseconds) = 0;

    // The calling thread and its two scheduling values: the outer one is its priority,
    // the inner one its time quantum in milliseconds. 0 is the most urgent level of each.
    virtual ThreadHandle GetCurrentThread() = 0;
    virtual int32_t GetThreadPriority(ThreadHandle thread) = 0;
    virtual bool SetThreadPriority(ThreadHandle thread, int32_t priority) = 0;
    virtual uint32_t GetThreadQuantum(ThreadHandle thread) = 0;
    virtual bool SetThreadQuantum(ThreadHandle thread, uint32_t quantum) = 0;

    // Whether the stylus (the primary pointer button) is down at this moment.
    virtual bool IsStylusDown() = 0;
    // Drops the pen input (moves and presses) that is waiting in the thread's queue.
    virtual void FlushPenInput() = 0;

    // Serial ports, opened exclusively by device name ("COM3:").
    virtual SerialHandle OpenSerialPort(const std::string& name) = 0;
    virtual bool SetSerialTimeouts(SerialHandle port, const SerialTimeouts& timeouts) = 0;
    virtual bool GetSerialSettings(SerialHandle port, SerialSettings& settings) = 0;
    virtual bool SetSerialSettings(SerialHandle port, const SerialSettings& settings) = 0;
    virtual bool SetSerialIrMode(SerialHandle port, bool on) = 0;
    virtual void CloseSerialPort(SerialHandle port) = 0;

    // The system call that the SA-11x0 driver makes around a send (it lights the
    // notification LED on those handhelds).
    virtual bool SystemCall(uint32_t selector, uint32_t word0, uint32_t word1) = 0;

  protected:
    // The reads of a poll; `between(sofar)` runs after every turn that did not end it.
    template <typename Between>
    static PollResult RunPoll(const CounterPoll& poll, Between between) {
        PollResult result;
        result.count = poll.from & poll.countMask;
        auto watchGoesOn = [&] {
            const uint32_t value = poll.watchWidth == 1 ? poll.watch->Read8(poll.watchOffset)
                                                        : poll.watch->Read32(poll.watchOffset);
            if ((value & poll.watchMask) == poll.watchWhile) {
                return true;
            }
            result.watched = true;
            result.watchValue = value;
            return false;
        };
        for (;;) {
            if (poll.watch && poll.watchFirst && !watchGoesOn()) {
                return result;
            }
            const uint32_t count = poll.counter->Read32(poll.counterOffset) & poll.countMask;
            result.advanced +=
                (poll.countsDown ? result.count - count : count - result.count) & poll.countMask;
            result.count = count;
            if (result.advanced >= poll.ticks) {
                return result;
            }
            if (poll.watch && !poll.watchFirst && !watchGoesOn()) {
                return result;
            }
            between(result);
        }
    }
};

// Maps a page for the life of an object and unmaps it again.
class ScopedMapping {
  public:
    ScopedMapping(IrPlatform& platform, uint32_t physicalAddress, bool writable)
        : platform_(platform), block_(platform.MapPage(physicalAddress, writable)) {}
    ~ScopedMapping() {
        if (block_) {
            platform_.UnmapPage(block_);
        }
    }
    ScopedMapping(const ScopedMapping&) = delete;
    ScopedMapping& operator=(const ScopedMapping&) = delete;

    RegisterBlock* get() const { return block_; }
    explicit operator bool() const { return block_ != nullptr; }
    RegisterBlock* operator->() const { return block_; }

  private:
    IrPlatform& platform_;
    RegisterBlock* block_;
};
