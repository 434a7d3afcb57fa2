// The infrared light around the simulated handheld.
//
// The emitter side records every level change of the handheld's transmitter with its
// virtual time, and demodulates the record into a carrier period and marks and spaces.
// The receiver side plays what the device's own remote sends: marks as bursts of carrier
// pulses, during each of which the receive pin reads 0 (active low, not demodulated).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <limits>
#include <vector>

struct Demodulated {
    uint32_t carrierPeriodNs = 0;    // mean period of the carrier inside bursts
    uint32_t carrierPeriodUs = 0;    // the same, rounded to whole microseconds
    std::vector<int32_t> durations;  // microseconds; marks > 0, spaces < 0
};

struct RemoteWaveform {
    std::vector<int32_t> durations;  // microseconds; marks > 0, spaces < 0 (mark first)
    uint32_t carrierHz = 38000;
    uint32_t dutyPercent = 33;
    uint64_t delayNs = 0;    // from the moment it is played
    uint32_t jitterNs = 0;   // each pulse edge moves by up to this much, either way
    uint32_t stretchNs = 0;  // each burst lasts this much longer, its space as much shorter
    uint32_t seed = 1;       // for the jitter; the same seed gives the same waveform
};

class SimIrAir {
  public:
    static constexpr uint64_t kNever = std::numeric_limits<uint64_t>::max();

    // Emitter.
    void Transmit(uint64_t time, bool on);
    bool TransmitterOn() const { return transmitterOn_; }
    const std::vector<std::pair<uint64_t, bool>>& Emissions() const { return emissions_; }
    void ClearEmissions();
    // Told every change of the emitter's level as it happens (measurements of latency).
    void SetTransmitObserver(std::function<void(uint64_t time, bool on)> observer) {
        transmitObserver_ = std::move(observer);
    }
    // The recorded emission as marks and spaces: a mark runs from the first rising edge of
    // a burst to the end of its last whole carrier cycle, so a mark of n cycles measures
    // n periods; bursts are apart by more than four carrier periods of silence.
    Demodulated Demodulate() const;

    // Receiver: the remote sends `waveform`, starting `waveform.delayNs` after `now`.
    // A new waveform replaces one that has not finished.
    void Play(const RemoteWaveform& waveform, uint64_t now);
    void StopPlaying();
    // The receiver beside the emitter: what the emitter sent since ClearEmissions plays again
    // as received pulses, its first pulse `delayNs` after `now` (a handheld sends and captures
    // in turn, so its own signal reaches the capture that follows the send). False, and
    // nothing plays, when the emitter sent nothing.
    bool Echo(uint64_t now, uint64_t delayNs);
    // A faulty receiver: from `time` on its output stays active (as in one endless pulse).
    void StickReceiver(uint64_t time);
    // The receive pin: false (0) while a carrier pulse arrives. Drivers poll it every few
    // hundred nanoseconds, so the span over which it last read the same is kept.
    bool ReceiverIdle(uint64_t time) {
        if (time >= steadyFrom_ && time < steadyUntil_) {
            return steadyIdle_;
        }
        return ReceiverLevelAt(time);
    }
    // The time up to which the receive pin reads what it reads at `time`; kNever when for good.
    uint64_t ReceiverSteadyUntil(uint64_t time) {
        ReceiverIdle(time);
        return steadyUntil_;
    }
    // The start of the first pulse after `time`, or kNever.
    uint64_t NextPulseAfter(uint64_t time) const {
        return time == nextPulseQuery_ ? nextPulse_ : FindNextPulseAfter(time);
    }
    // When the last pulse ends; 0 when nothing plays.
    uint64_t PlayEnd() const { return pulses_.empty() ? 0 : pulses_.back().second; }

  private:
    // What plays changed: the receiver's place in it is looked up again.
    void Restart();
    bool ReceiverLevelAt(uint64_t time);
    uint64_t FindNextPulseAfter(uint64_t time) const;

    std::vector<std::pair<uint64_t, bool>> emissions_;
    bool transmitterOn_ = false;
    std::function<void(uint64_t, bool)> transmitObserver_;

    std::vector<std::pair<uint64_t, uint64_t>> pulses_;  // [start, end) of each pulse
    size_t cursor_ = 0;
    // The receive pin reads steadyIdle_ from steadyFrom_ up to steadyUntil_.
    uint64_t steadyFrom_ = kNever, steadyUntil_ = 0;
    bool steadyIdle_ = true;
    // The last question to NextPulseAfter and its answer (the wake-up detector asks the same
    // one until it is armed again).
    mutable uint64_t nextPulseQuery_ = kNever, nextPulse_ = kNever;
};
