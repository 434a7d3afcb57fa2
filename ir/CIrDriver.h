// The IR driver: one object per process, of the subclass that fits the processor.
// The base class owns the signal, the serial port that switches the chip's UART into
// infrared mode, and the calling thread's scheduling values found at the first OpenPort.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "CaptureCore.h"
#include "IrPlatform.h"
#include "IrSignal.h"

// Carrier half-periods in timer ticks, shared by all drivers: LoadSignal computes them for
// a 3.6864 MHz timer, and drivers with another timer replace them before emitting.
struct EmissionHalves {
    uint32_t high = 0;  // emitter on
    uint32_t low = 0;   // emitter off
};

class CIrDriver {
  public:
    explicit CIrDriver(IrPlatform& platform);
    virtual ~CIrDriver();
    CIrDriver(const CIrDriver&) = delete;
    CIrDriver& operator=(const CIrDriver&) = delete;

    virtual void ClosePort();
    virtual int LoadSignal(const int32_t* durations, uint8_t count, uint8_t frameStart,
                           uint8_t carrierPeriod);
    virtual int Send(uint16_t repeat) = 0;
    virtual int Capture() = 0;
    virtual int OpenPort();

    void SetPortName(const std::string& name);
    const std::string& GetPortName() const { return portName; }

    void GetSignal(std::vector<int32_t>& durations, uint8_t& count, uint8_t& frameStart,
                   uint8_t& carrierPeriod);
    int AnalyseCapture(const int32_t* buffer, uint32_t n);

    const IrSignal& Signal() const { return signal; }
    bool IsPortOpen() const { return portHandle != kInvalidSerialHandle; }

    // Passes made by the last Send.
    int LastPassCount() const { return lastPassCount; }

    static EmissionHalves& Halves();
    // The halves of a carrier period of `ticks` timer ticks: the whole ticks, plus one when
    // the fraction cut off exceeds 0.4; the low half is the smaller one.
    static EmissionHalves HalvesOfTicks(float ticks);

    // Repeat values of Send: at least three passes, or at least one, then more while the
    // stylus stays down.
    static constexpr uint16_t kRepeatWhileHeld = 0;
    static constexpr uint16_t kRepeatOnceThenHeld = 0xFFFF;

  protected:
    // Records the calling thread and its scheduling values, once per driver lifetime.
    void RecordScheduling();

    // The PXA and S3C OpenPort: find the UART that is already in infrared mode, else open
    // the serial port (which switches it) and look again. `probe` returns the UART index.
    int OpenPortProbing(int (*probe)(IrPlatform&), int& uartIndex);

    // The start that every capture shares: 301 when the driver's register blocks are not
    // `mapped`, else the result of OpenPort when it fails, else 302 when no scheduling
    // values were recorded; else 0.
    int StartCapture(bool mapped);
    // The end that every capture shares, after the driver restored what it changed: with a
    // signal received (result 0 or 6) the port is closed and pending pen input dropped; a
    // signal becomes the driver's signal through the frame analysis, and one that ends on a
    // mark because the receiver fell silent keeps that silence as a trailing gap.
    int FinishCapture(const CaptureReport& report);

    // Runs the passes of a send; `emitPass(lastInside)` emits entries nextStart..count-1.
    // Passes follow the repeat rule; the inner scheduling value is `burstValue` during them.
    // The driver passes `lastOutside` when the last entry of a held pass runs under normal
    // scheduling. `entries` holds the values to emit by index (the signal's own durations
    // when null), for drivers that emit a converted copy. Returns the number of passes made.
    template <typename EmitEntry>
    int RunPasses(uint16_t repeat, uint32_t burstValue, bool lastOutside, EmitEntry emitEntry,
                  const int32_t* entries = nullptr);

    void SetOuter(int32_t value) { platform.SetThreadPriority(thread, value); }
    void SetInner(uint32_t value) { platform.SetThreadQuantum(thread, value); }
    void RestoreScheduling() {
        platform.SetThreadQuantum(thread, innerValue);
        platform.SetThreadPriority(thread, outerValue);
    }

    IrPlatform& platform;
    IrSignal signal;
    SerialHandle portHandle = kInvalidSerialHandle;
    std::string portName;
    int32_t currentEntry = 0;
    uint32_t counterTicksPerMs = 0;
    ThreadHandle thread = 0;
    uint32_t innerValue = 0;
    int32_t outerValue = 100;
    int lastPassCount = 0;
};

template <typename EmitEntry>
int CIrDriver::RunPasses(uint16_t repeat, uint32_t burstValue, bool lastOutside,
                         EmitEntry emitEntry, const int32_t* entries) {
    const int32_t* values = entries ? entries : signal.durations;
    auto emitRange = [&](int from, int to) {
        for (int k = from; k < to; ++k) {
            currentEntry = values[k];
            emitEntry(currentEntry);
        }
    };
    int passes = 0;
    if (repeat != kRepeatWhileHeld && repeat != kRepeatOnceThenHeld) {
        SetInner(burstValue);
        for (; passes < repeat; ++passes) {
            emitRange(signal.nextStart, signal.count);
            signal.nextStart = signal.frameStart;
        }
        SetInner(innerValue);
        lastPassCount = passes;
        return passes;
    }
    const int minimum = repeat == kRepeatWhileHeld ? 3 : 1;
    while (passes < minimum || platform.IsStylusDown()) {
        SetInner(burstValue);
        if (lastOutside && signal.count > 0) {
            emitRange(signal.nextStart, signal.count - 1);
            SetInner(innerValue);
            emitRange(signal.count - 1, signal.count);
        } else {
            emitRange(signal.nextStart, signal.count);
            SetInner(innerValue);
        }
        signal.nextStart = signal.frameStart;
        ++passes;
    }
    lastPassCount = passes;
    return passes;
}
