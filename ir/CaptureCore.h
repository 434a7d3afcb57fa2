// Learning a signal from the receiver, the same on every chip.
//
// A chip driver supplies only what differs between chips: how to wait, with a deadline, for
// the receiver's next carrier pulse, and what time it is on the counter it times with. This
// core turns the pulses into the carrier period and the marks and spaces, with one set of
// limits in microseconds (turned into the chip's ticks once), and decides the result.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

#include "ir/IrSignal.h"
#include "ir/PressEnd.h"

// The receiver as the capture core sees it. Times are ticks of the chip's counter, counted
// from the chip's capture set-up and extended to 64 bits by the chip, so that they never wrap.
class CCaptureEdges {
  public:
    virtual ~CCaptureEdges() = default;

    // Rate of the counter.
    virtual uint64_t TicksPerSecond() const = 0;
    // The counter now.
    virtual uint64_t Now() = 0;
    // Waits for the start of the receiver's next carrier pulse (its output turning active)
    // until the counter passes `deadline`. True with the pulse's start in `at`; false when the
    // deadline came first. With `onCounts`, a pulse that is on already counts as starting now.
    virtual bool NextPulse(uint64_t deadline, bool onCounts, uint64_t& at) = 0;
};

// The limits of every capture.
struct CaptureLimits {
    // A carrier slower than 10 kHz is not one that a remote sends.
    static constexpr uint32_t kMaxCarrierPeriodUs = 100;
    // The carrier is measured over this many periods.
    static constexpr uint32_t kCarrierPeriods = 4;
    // Pulses further apart than this many carrier periods belong to different marks.
    static constexpr uint32_t kGapPeriods = 5;
    // A mark longer than this is a receiver that no longer sees a remote.
    static constexpr uint32_t kMaxMarkUs = 800000;
    // A pause longer than kLongPauseUs ends the capture once the press is heard whole
    // (PressHeardWhole).
    static constexpr uint32_t kLongPauseUs = PressEnd::kLongPauseUs;
    // This much silence after a pulse ends the capture.
    static constexpr uint32_t kSilenceUs = 200000;
    // Nothing usable within this time is no signal.
    static constexpr uint32_t kNoSignalUs = 20000000;
};

// What one capture found.
struct CaptureReport {
    int result = 0;                   // an IrResult
    uint8_t carrierPeriodUs = 0;      // rounded to the nearest microsecond
    int32_t raw[kMaxDurations] = {};  // microseconds, marks > 0, spaces < 0; 0 ends the data
    int entries = 0;                  // valid entries of `raw`
    // The capture ended in silence, not on a full buffer or a long pause that ended the
    // press: the signal's last mark is followed by at least kSilenceUs of nothing.
    bool endedInSilence = false;
    // The capture ended because its buffer was full: whatever the remote sent after the
    // last entry was not heard.
    bool bufferFull = false;
};

// A capture as whoever waits for it on another thread sees it: that thread may end it early,
// and hears how long it has waited for the remote.
struct CaptureWatch {
    // How often, in the device's time, a capture looks at the watch.
    static constexpr uint32_t kSliceUs = 50000;

    // Set from any thread: the capture ends within one slice with kIrNoSignal.
    std::atomic<bool> cancelled{false};
    // Told on the capturing thread, once a slice, how long the capture has waited for the
    // remote's first pulse.
    std::function<void(uint32_t waitedMs)> waiting;

    // Tells `waitedMs` and says whether the capture is to go on.
    bool GoOn(uint32_t waitedMs) {
        if (waiting) {
            waiting(waitedMs);
        }
        return !cancelled.load();
    }
};

// Learns one signal from `edges`: waits up to kNoSignalUs for a pulse, measures the carrier,
// then times marks and spaces until the silence, a long pause that ends the press or a full
// buffer.
// A burst too short to measure a carrier in (a stray flash, a receiver that went active and
// stays so) is ignored and the wait goes on. Results: 0, kIrNoSignal, kIrCarrierTooLong,
// kIrMarkTooLong. With a `watch`, the wait goes in slices so that it can be ended and its
// progress told.
void CaptureSignal(CCaptureEdges& edges, CaptureReport& report, CaptureWatch* watch = nullptr);

// The pause that follows a signal ending on a mark when it is sent or stored: the longest
// pause of the signal, at least the long-pause threshold and at most the silence that ends a
// capture, so that passes sent back to back stay apart as the remote's frames were.
int32_t TrailingGapUs(const int32_t* durations, int count);
