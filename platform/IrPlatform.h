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

class IrPlatform {
  public:
    virtual ~IrPlatform() = default;

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
