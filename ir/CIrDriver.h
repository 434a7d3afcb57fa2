// The IR driver: one object per process, of the subclass that fits the processor.
// The base class owns the signal, the serial port that switches the chip's UART into
// infrared mode, and the calling thread's scheduling values found at the first OpenPort.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ir/CaptureCore.h"
#include "ir/IrSignal.h"
#include "platform/IrPlatform.h"

// Where the entries of a send lie on the chip's counter. Every boundary between entries is
// computed from the microseconds since the send began, rounded once to the counter's tick,
// so that rounding never adds up over a long mark, a long signal or many passes.
struct SendTimeline {
    uint64_t ticksPerSecond = 1000000;
    uint64_t startTicks = 0;  // the counter when the first entry began
    uint64_t positionUs = 0;  // where the next entry begins, since the start

    uint64_t TickAt(uint64_t us) const {
        return startTicks + (us * ticksPerSecond + 500000) / 1000000;
    }
    // Moves past a signal entry (a mark > 0 or a space < 0); gives the ticks where it begins
    // and ends, and returns its length in microseconds.
    uint32_t Advance(int32_t entry, uint64_t& from, uint64_t& until) {
        const uint32_t us =
            entry < 0 ? 0u - static_cast<uint32_t>(entry) : static_cast<uint32_t>(entry);
        from = TickAt(positionUs);
        positionUs += us;
        until = TickAt(positionUs);
        return us;
    }
};

// A chip's free-running counter as a driver times with it: extended to 64 bits from the read
// that started it, so that it never wraps.
struct CountedTicks {
    bool countsDown = false;
    uint32_t last = 0;   // the count read last
    uint64_t ticks = 0;  // since the start

    void Start(uint32_t count) {
        last = count;
        ticks = 0;
    }
    // Takes a count just read; the ticks since the start.
    uint64_t Take(uint32_t count) {
        ticks += countsDown ? last - count : count - last;
        last = count;
        return ticks;
    }
    // Busy-waits until the ticks reach `until`, on the counter that `poll` names (and the
    // register it watches, if any).
    PollResult PollUntil(IrPlatform& platform, CounterPoll poll, uint64_t until) {
        poll.countsDown = countsDown;
        poll.from = last;
        poll.ticks = until > ticks ? until - ticks : 0;
        const PollResult result = platform.Poll(poll);
        ticks += result.advanced;
        last = result.count;
        return result;
    }
};

// The carrier cycles of one mark: `cycles` whole cycles spread evenly from `from` to `until`
// (ticks), so that the mark lasts its full length whatever the carrier's rounding. A mark
// shorter than one carrier period has no cycle. Cycle k rises at Rise(k) and falls at Fall(k).
struct MarkCycles {
    MarkCycles(uint64_t from, uint64_t until, uint32_t markUs, uint32_t carrierUs)
        : from(from),
          span(until - from),
          cycles(carrierUs == 0 || markUs < carrierUs ? 0 : (markUs + carrierUs / 2) / carrierUs) {}
    uint64_t Rise(uint32_t k) const { return from + span * k / cycles; }
    uint64_t Fall(uint32_t k) const { return from + (span * (2 * k + 1)) / (2 * uint64_t{cycles}); }

    uint64_t from, span;
    uint32_t cycles;
};

// The bias estimate of a receiving device (see ReceiverBias.h), as it is remembered with the
// device's settings: the device, the bias and how many captures made it.
struct ReceiverBiasMemo {
    std::string receiver;
    int32_t biasUs = 0;
    int captures = 0;
};

class CIrDriver {
  public:
    explicit CIrDriver(IrPlatform& platform);
    virtual ~CIrDriver();
    CIrDriver(const CIrDriver&) = delete;
    CIrDriver& operator=(const CIrDriver&) = delete;

    virtual void ClosePort();
    virtual int LoadSignal(const int32_t* durations, uint16_t count, uint16_t frameStart,
                           uint8_t carrierPeriod);
    virtual int Send(uint16_t repeat) = 0;
    virtual int Capture() = 0;
    virtual int OpenPort();

    void SetPortName(const std::string& name);
    const std::string& GetPortName() const { return portName; }
    // The facts of the last failure that a message names: the port or device it came from,
    // and the group that owns that device when the system denied it (else empty).
    virtual std::string FaultPort() const { return portName; }
    virtual std::string FaultGroup() const { return {}; }

    void GetSignal(std::vector<int32_t>& durations, uint16_t& count, uint16_t& frameStart,
                   uint8_t& carrierPeriod);
    int AnalyseCapture(const int32_t* buffer, uint32_t n);

    // The receiver's bias estimate, for drivers whose receiver reports marks longer than sent
    // (LIRC receivers); the chips' receivers are timed by the driver itself and have none.
    // Setting it takes an estimate remembered for the receiver in use; one for another
    // receiver is ignored.
    virtual ReceiverBiasMemo ReceiverBias() const { return {}; }
    virtual void SetReceiverBias(const ReceiverBiasMemo&) {}

    const IrSignal& Signal() const { return signal; }
    bool IsPortOpen() const { return portHandle != kInvalidSerialHandle; }

    // Passes made by the last Send.
    int LastPassCount() const { return lastPassCount; }
    // Whether the last successful Capture filled its whole buffer, so that the remote may
    // have sent more than was heard.
    bool LastCaptureFull() const { return lastCaptureFull; }
    // The marks and spaces that the last successful Capture heard, before the frame analysis
    // reduced them to the signal.
    const std::vector<int32_t>& LastCaptureHeard() const { return lastCaptureHeard; }

    // Watches the captures that follow (null: none): they end early when the watch is
    // cancelled and tell it how long they have waited. The watch outlives the captures.
    void WatchCapture(CaptureWatch* watch) { captureWatch = watch; }

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
    // The capture core, watched by the caller's watch.
    void CaptureSignal(CCaptureEdges& edges, CaptureReport& report) {
        ::CaptureSignal(edges, report, captureWatch);
    }
    // For a driver that waits for the remote itself: tells the watch how long it has waited
    // and says whether to go on.
    bool CaptureGoesOn(uint32_t waitedMs) { return !captureWatch || captureWatch->GoOn(waitedMs); }
    bool CaptureCancelled() const { return captureWatch && captureWatch->cancelled.load(); }

    // The end that every capture shares, after the driver restored what it changed: with a
    // signal received (result 0 or 6) the port is closed and pending pen input dropped; a
    // signal becomes the driver's signal through the frame analysis, and one that ends on a
    // mark because the receiver fell silent keeps that silence as a trailing gap.
    int FinishCapture(const CaptureReport& report);

    // Runs the passes of a send; `emitEntry(microseconds)` emits one entry (a mark when
    // positive). A pass emits entries nextStart..count-1; one that ends on a mark is followed
    // by the signal's trailing gap, so that passes never run into each other. Passes follow
    // the repeat rule; the inner scheduling value is `burstValue` during them. The driver
    // passes `lastOutside` when the last entry of a held pass runs under normal scheduling.
    // Returns the number of passes made.
    template <typename EmitEntry>
    int RunPasses(uint16_t repeat, uint32_t burstValue, bool lastOutside, EmitEntry emitEntry);

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
    bool lastCaptureFull = false;
    std::vector<int32_t> lastCaptureHeard;
    CaptureWatch* captureWatch = nullptr;
};

template <typename EmitEntry>
int CIrDriver::RunPasses(uint16_t repeat, uint32_t burstValue, bool lastOutside,
                         EmitEntry emitEntry) {
    const int32_t* values = signal.durations;
    const int32_t gap =
        signal.count > 0 && values[signal.count - 1] > 0 ? -TrailingGapUs(values, signal.count) : 0;
    auto emitRange = [&](int from, int to) {
        for (int k = from; k < to; ++k) {
            currentEntry = values[k];
            emitEntry(currentEntry);
        }
        if (to == signal.count && gap != 0) {
            emitEntry(gap);
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
