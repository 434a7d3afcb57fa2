#include "ir/CaptureCore.h"

#include <algorithm>

#include "ir/IrResult.h"

namespace {

// Microseconds to ticks and back, rounded to the nearest.
uint64_t TicksOfUs(uint64_t microseconds, uint64_t ticksPerSecond) {
    return (microseconds * ticksPerSecond + 500000) / 1000000;
}
int32_t UsOfTicks(uint64_t ticks, uint64_t ticksPerSecond) {
    return static_cast<int32_t>(
        std::min<uint64_t>((ticks * 1000000 + ticksPerSecond / 2) / ticksPerSecond, INT32_MAX));
}

// The limits in the chip's ticks.
struct TickLimits {
    explicit TickLimits(uint64_t rate)
        : maxCarrierPeriods(TicksOfUs(
              uint64_t{CaptureLimits::kMaxCarrierPeriodUs} * CaptureLimits::kCarrierPeriods, rate)),
          maxMark(TicksOfUs(CaptureLimits::kMaxMarkUs, rate)),
          longPause(TicksOfUs(CaptureLimits::kLongPauseUs, rate)),
          silence(TicksOfUs(CaptureLimits::kSilenceUs, rate)),
          noSignal(TicksOfUs(CaptureLimits::kNoSignalUs, rate)) {}
    uint64_t maxCarrierPeriods;  // kCarrierPeriods periods of the slowest carrier
    uint64_t maxMark;
    uint64_t longPause;
    uint64_t silence;
    uint64_t noSignal;
};

// Waits for the remote's first pulse until `deadline`, a slice at a time when watched.
bool FirstPulse(CCaptureEdges& edges, uint64_t start, uint64_t deadline, bool onCounts,
                CaptureWatch* watch, uint64_t& at) {
    if (!watch) {
        return edges.NextPulse(deadline, onCounts, at);
    }
    const uint64_t rate = edges.TicksPerSecond();
    const uint64_t slice = std::max<uint64_t>(TicksOfUs(CaptureWatch::kSliceUs, rate), 1);
    for (uint64_t sliceEnd = edges.Now();;) {
        if (watch->cancelled.load()) {
            return false;
        }
        sliceEnd = std::min(deadline, sliceEnd + slice);
        // A pulse that is on when a slice begins began at the end of the one before.
        if (edges.NextPulse(sliceEnd, onCounts || sliceEnd > start + slice, at)) {
            return true;
        }
        const uint64_t waited = edges.Now() - start;
        if (!watch->GoOn(
                static_cast<uint32_t>(std::min<uint64_t>(waited * 1000 / rate, UINT32_MAX))) ||
            sliceEnd >= deadline) {
            return false;
        }
    }
}

}  // namespace

void CaptureSignal(CCaptureEdges& edges, CaptureReport& report, CaptureWatch* watch) {
    report = CaptureReport{};
    const uint64_t rate = edges.TicksPerSecond();
    const TickLimits limits(rate);
    const uint64_t start = edges.Now();
    const uint64_t deadline = start + limits.noSignal;
    auto cancelled = [watch] { return watch && watch->cancelled.load(); };

    // The first pulse, then as many more as the carrier measurement needs, each within the
    // silence limit of the one before. A burst that stops short of them is ignored.
    constexpr int kPulses = CaptureLimits::kCarrierPeriods + 2;
    uint64_t pulses[kPulses] = {};
    bool onCounts = true;
    for (;;) {
        if (!FirstPulse(edges, start, deadline, onCounts, watch, pulses[0])) {
            report.result = kIrNoSignal;
            return;
        }
        onCounts = false;
        int seen = 1;
        while (seen < kPulses &&
               edges.NextPulse(pulses[seen - 1] + limits.silence, false, pulses[seen])) {
            ++seen;
        }
        if (seen == kPulses) {
            break;
        }
    }
    if (cancelled()) {
        report.result = kIrNoSignal;
        return;
    }
    // Measured from the second pulse on: the first one's start is the least sure.
    const uint64_t carrierSpan = pulses[kPulses - 1] - pulses[1];
    if (carrierSpan > limits.maxCarrierPeriods) {
        report.result = kIrCarrierTooLong;
        return;
    }
    report.carrierPeriodUs =
        static_cast<uint8_t>((carrierSpan * 1000000 + rate * CaptureLimits::kCarrierPeriods / 2) /
                             (rate * CaptureLimits::kCarrierPeriods));
    const uint64_t gap = carrierSpan * CaptureLimits::kGapPeriods / CaptureLimits::kCarrierPeriods;

    // A mark runs from the first to the last pulse start of a burst; a pause from there to
    // the first pulse start of the next burst.
    uint64_t burstStart = pulses[0];
    uint64_t previous = pulses[kPulses - 1];
    int filled = 0;
    bool pausesEnded = false;
    while (filled < kMaxDurations - 1) {
        if (cancelled()) {
            report.result = kIrNoSignal;
            return;
        }
        uint64_t now = 0;
        const bool pulse = edges.NextPulse(previous + limits.silence, false, now);
        if (!pulse || now - previous > gap) {
            const uint64_t mark = previous - burstStart;
            if (mark > limits.maxMark) {
                report.result = kIrMarkTooLong;
                return;
            }
            report.raw[filled++] = std::max(UsOfTicks(mark, rate), 1);
            if (!pulse) {
                report.endedInSilence = true;
                break;
            }
            const uint64_t pause = now - previous;
            report.raw[filled++] = -UsOfTicks(pause, rate);
            burstStart = now;
            if (pause > limits.longPause && PressHeardWhole(report.raw, filled)) {
                pausesEnded = true;
                break;
            }
        } else if (now - burstStart > limits.maxMark) {
            report.result = kIrMarkTooLong;  // a carrier without end: no need to wait for it
            return;
        }
        previous = now;
    }
    report.bufferFull = !report.endedInSilence && !pausesEnded;
    report.entries = filled;
    report.result = kIrOk;
}

int32_t TrailingGapUs(const int32_t* durations, int count) {
    int32_t longest = 0;
    for (int k = 0; k < count; ++k) {
        longest = std::max(longest, -durations[k]);
    }
    return std::clamp<int32_t>(longest, CaptureLimits::kLongPauseUs, CaptureLimits::kSilenceUs);
}
