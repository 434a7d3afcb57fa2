// The OMAP1510 system-on-chip of a simulated handheld, as far as the IR engine sees it:
// the IrDA-capable UART 3, MPU timer 3, and the pin multiplexing and module configuration
// registers.
//
// The IR transceiver's transmit input is wired, through the pin multiplexer, to UART 3's
// transmit line: while the multiplexer routes the plain UART line there, the emitter
// shines whenever that line is high. The line idles high, sends each byte as a start bit,
// eight data bits (least significant first) and a stop bit at the programmed bit time, and
// is held low in the break state. The transceiver's receive output goes to the UART's
// wake-up detector, which flags each falling edge (the start of a carrier pulse) while it
// is enabled.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>

#include "platform/sim/SimChip.h"

namespace omap {

constexpr uint32_t kUartPage = 0xFFFB9000;
constexpr uint32_t kUart3 = 0xFFFB9800;
constexpr uint32_t kTimerPage = 0xFFFEC000;
constexpr uint32_t kTimer3 = 0xFFFEC700;
constexpr uint32_t kConfigPage = 0xFFFE1000;

// UART 3, byte registers four bytes apart. Which register an offset reaches depends on
// the line control: 0xBF opens configuration mode B, any other value with bit 7 set
// configuration mode A.
constexpr uint32_t kUartData = 0x00;  // receive / transmit holding; divisor low in config
constexpr uint32_t kUartInterruptEnable = 0x04;  // divisor high in configuration modes
constexpr uint32_t kUartEnhanced = 0x08;         // enhanced features in mode B
constexpr uint32_t kUartLineControl = 0x0C;
constexpr uint32_t kUartModemControl = 0x10;
constexpr uint32_t kUartLineStatus = 0x14;
constexpr uint32_t kUartMode1 = 0x20;
constexpr uint32_t kUartSupplementary = 0x3C;  // one in configuration, one in operation
constexpr uint32_t kUartWakeControl = 0x40;
constexpr uint32_t kUartWakeStatus = 0x44;
constexpr uint32_t kUartAuxiliary = 0x4C;

constexpr uint8_t kLineConfigB = 0xBF;
constexpr uint8_t kLineDivisorAccess = 0x80;
constexpr uint8_t kLineBreak = 0x40;
constexpr uint8_t kStatusHoldingEmpty = 0x20;
constexpr uint8_t kStatusTransmitterEmpty = 0x40;
constexpr uint8_t kModeMask = 0x07;
constexpr uint8_t kModeUart16x = 0;
constexpr uint8_t kModeUart16xAutoBaud = 2;
constexpr uint8_t kModeUart13x = 3;
constexpr uint8_t kModeDisabled = 7;
constexpr uint8_t kWakeEnable = 0x10;
constexpr uint8_t kWakeEvent = 0x02;
constexpr uint32_t kUartClockHz = 48000000;
constexpr size_t kUartFifo = 64;

// MPU timer 3.
constexpr uint32_t kTimerControl = 0x00;
constexpr uint32_t kTimerLoad = 0x04;
constexpr uint32_t kTimerCount = 0x08;
constexpr uint32_t kTimerStart = 0x01;
constexpr uint32_t kTimerAutoReload = 0x02;
constexpr uint32_t kTimerPrescaleShift = 2;  // 3 bits: the clock is divided by 2^(n+1)
constexpr uint32_t kTimerClockEnable = 0x20;
constexpr uint32_t kTimerInputHz = 12152000;  // 3038 ticks per millisecond divided by 4

// Configuration block.
constexpr uint32_t kPinMux = 0x18;
constexpr uint32_t kModuleConfig = 0x80;
constexpr uint32_t kPinMuxIrField = 0xFC0;
constexpr uint32_t kPinMuxUart3Line = 0x080;  // the IR transmitter follows UART 3's line

}  // namespace omap

class SimOmap1510 : public SimChip {
  public:
    explicit SimOmap1510(const SimChipWiring& wiring);

    uint32_t Read(uint32_t address, int width) override;
    void Write(uint32_t address, uint32_t value, int width) override;
    void OnSerialIrMode(bool on) override;
    uint64_t CounterAdvanceTime(uint32_t address, uint64_t readAt, uint64_t ticks) override;
    uint64_t SteadyUntil(uint32_t address, int width, uint64_t readAt) override;

    // For tests: the divisor as programmed, UART 3's registers whatever the line control
    // selects, and how many register writes the program made.
    uint32_t Divisor() const { return dll_ | (dlh_ << 8); }
    struct UartState {
        uint8_t lineControl, mode1, enhanced, interruptEnable, divisorLow, divisorHigh;
        uint8_t supplementaryConfig, supplementaryOperational, wakeControl, modemControl;
        uint8_t auxiliary;
        bool operator==(const UartState&) const = default;
    };
    UartState Uart() const;
    uint64_t Writes() const { return writes_; }

    static std::function<std::unique_ptr<SimChip>(const SimChipWiring&)> Maker();

  private:
    enum class Bank { Operational, ConfigA, ConfigB };
    Bank CurrentBank() const;
    [[gnu::noinline]] uint32_t ReadRegister(uint32_t address, int width, uint64_t now);
    uint8_t ReadUart(uint32_t offset, uint64_t now);
    void WriteUart(uint32_t offset, uint8_t value, uint64_t now);

    // The transmit line.
    bool UartMode() const;
    uint64_t BitStart(uint32_t bit) const;
    bool LineHigh() const;
    bool EmitterOn() const;
    void Report(uint64_t time);
    // Brings the line's bit edges up to `now`. Every access does, so the next edge's time
    // is kept and compared inline.
    void Sync(uint64_t now) {
        if (nextEdge_ < now) {
            SyncEdges(now);
        }
    }
    void SyncEdges(uint64_t now);
    void FindNextEdge();
    bool WakeEvent(uint64_t now) const;

    // Timer 3.
    uint64_t TimerTicks(uint64_t nanoseconds) const;
    uint32_t TimerCount(uint64_t now, bool& expired) const;
    void RebaseTimer(uint64_t now);

    uint8_t lcr_ = 0x03, dll_ = 0, dlh_ = 0, efr_ = 0, ier_ = 0, mcr_ = 0,
            mdr1_ = omap::kModeDisabled;
    uint8_t supplementaryConfig_ = 0, supplementaryOperational_ = 0;
    uint8_t wakeControl_ = 0;
    uint64_t armedSince_ = 0;

    std::deque<uint8_t> fifo_;
    bool frameActive_ = false;
    uint64_t frameStart_ = 0;
    uint8_t frameByte_ = 0;
    uint32_t frameDivisor_ = 0, frameOversampling_ = 16;
    uint32_t nextBit_ = 0;  // the bit that begins next (1..10); bit 0 is the start bit
    static constexpr uint64_t kNoEdge = ~uint64_t{0};
    uint64_t nextEdge_ = kNoEdge;  // when that bit begins; kNoEdge while the line is idle

    const uint8_t* uart3_ = nullptr;  // UART 3's registers and the timer page in memory
    const uint8_t* timerPage_ = nullptr;
    uint64_t timerSince_ = 0;
    uint32_t timerCount_ = 0;
    bool timerRunning_ = false;

    uint64_t writes_ = 0;
};
