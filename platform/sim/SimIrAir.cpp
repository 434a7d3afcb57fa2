#include "platform/sim/SimIrAir.h"

#include <algorithm>
#include <cmath>

void SimIrAir::Transmit(uint64_t time, bool on) {
    if (on == transmitterOn_) {
        return;
    }
    transmitterOn_ = on;
    if (transmitObserver_) {
        transmitObserver_(time, on);
    }
    if (!emissions_.empty() && emissions_.back().first == time) {
        emissions_.pop_back();  // a level that lasted no time never left the emitter
        return;
    }
    emissions_.emplace_back(time, on);
}

void SimIrAir::ClearEmissions() {
    emissions_.clear();
    if (transmitterOn_) {
        transmitterOn_ = false;
    }
}

Demodulated SimIrAir::Demodulate() const {
    Demodulated result;
    std::vector<uint64_t> rises;
    for (const auto& [time, on] : emissions_) {
        if (on) {
            rises.push_back(time);
        }
    }
    if (rises.empty()) {
        return result;
    }

    // The carrier period: the typical rise-to-rise interval. Silences between bursts are
    // few against the pulses inside them, so the lower median is a carrier period.
    std::vector<uint64_t> intervals;
    for (size_t k = 1; k < rises.size(); ++k) {
        intervals.push_back(rises[k] - rises[k - 1]);
    }
    uint64_t typical = 0;
    if (!intervals.empty()) {
        std::vector<uint64_t> sorted = intervals;
        std::nth_element(sorted.begin(), sorted.begin() + (sorted.size() - 1) / 2, sorted.end());
        typical = sorted[(sorted.size() - 1) / 2];
    }
    const uint64_t gap = typical * 4;

    // Bursts, and the mean period over every interval inside one.
    std::vector<std::pair<size_t, size_t>> bursts;  // first and last rise index
    uint64_t inside = 0;
    size_t insideCount = 0;
    size_t first = 0;
    for (size_t k = 1; k <= rises.size(); ++k) {
        if (k == rises.size() || rises[k] - rises[k - 1] > gap) {
            bursts.emplace_back(first, k - 1);
            first = k;
        } else {
            inside += rises[k] - rises[k - 1];
            ++insideCount;
        }
    }
    const double period =
        insideCount ? static_cast<double>(inside) / static_cast<double>(insideCount) : 0.0;
    result.carrierPeriodNs = static_cast<uint32_t>(std::lround(period));
    result.carrierPeriodUs = static_cast<uint32_t>(std::lround(period / 1000.0));

    double previousEnd = 0;
    for (size_t b = 0; b < bursts.size(); ++b) {
        const double start = static_cast<double>(rises[bursts[b].first]);
        const double end = static_cast<double>(rises[bursts[b].second]) + period;
        if (b > 0) {
            result.durations.push_back(
                -static_cast<int32_t>(std::lround((start - previousEnd) / 1000.0)));
        }
        result.durations.push_back(static_cast<int32_t>(std::lround((end - start) / 1000.0)));
        previousEnd = end;
    }
    return result;
}

void SimIrAir::Play(const RemoteWaveform& waveform, uint64_t now) {
    pulses_.clear();
    Restart();
    if (waveform.carrierHz == 0) {
        return;
    }
    const double period = 1e9 / waveform.carrierHz;
    const double high = period * std::clamp<uint32_t>(waveform.dutyPercent, 1, 99) / 100.0;
    uint32_t state = waveform.seed ? waveform.seed : 1;
    auto jitter = [&]() -> double {
        if (waveform.jitterNs == 0) {
            return 0.0;
        }
        state ^= state << 13;  // xorshift: cheap and repeatable
        state ^= state >> 17;
        state ^= state << 5;
        const double unit = static_cast<double>(state) / 4294967295.0;  // 0..1
        return (unit * 2.0 - 1.0) * waveform.jitterNs;
    };

    double t = static_cast<double>(now + waveform.delayNs);
    bool stretchedLast = false;
    for (int32_t duration : waveform.durations) {
        double length = std::abs(static_cast<double>(duration)) * 1000.0;
        if (duration > 0) {
            length += waveform.stretchNs;
            const double end = t + length;
            for (double p = t; p < end; p += period) {
                double a = p + jitter();
                double b = p + high + jitter();
                a = std::max(
                    a, pulses_.empty() ? 0.0 : static_cast<double>(pulses_.back().second) + 1);
                b = std::max(b, a + 1);
                pulses_.emplace_back(static_cast<uint64_t>(a), static_cast<uint64_t>(b));
            }
            stretchedLast = true;
        } else if (duration < 0 && stretchedLast) {
            length = std::max(0.0, length - waveform.stretchNs);
            stretchedLast = false;
        }
        t += length;
    }
}

bool SimIrAir::Echo(uint64_t now, uint64_t delayNs) {
    pulses_.clear();
    Restart();
    if (emissions_.empty()) {
        return false;
    }
    const uint64_t start = now + delayNs;
    const uint64_t first = emissions_.front().first;
    uint64_t rise = 0;
    bool on = false;
    for (const auto& [time, level] : emissions_) {
        if (level && !on) {
            rise = time;
        } else if (!level && on) {
            pulses_.emplace_back(start + (rise - first), start + (time - first));
        }
        on = level;
    }
    return !pulses_.empty();
}

void SimIrAir::StickReceiver(uint64_t time) {
    pulses_.assign(1, {time, kNever});
    Restart();
}

void SimIrAir::StopPlaying() {
    pulses_.clear();
    Restart();
}

void SimIrAir::Restart() {
    cursor_ = 0;
    steadyFrom_ = kNever;
    steadyUntil_ = 0;
    nextPulseQuery_ = kNever;
}

bool SimIrAir::ReceiverLevelAt(uint64_t time) {
    if (cursor_ > 0 && cursor_ <= pulses_.size() && pulses_[cursor_ - 1].second > time) {
        // Time went back (a new reader); find the place again.
        cursor_ = 0;
    }
    while (cursor_ < pulses_.size() && pulses_[cursor_].second <= time) {
        ++cursor_;
    }
    // Pulses are in order and apart: the level holds from the end of the pulse before to
    // the start of the next, or through the pulse under way.
    if (cursor_ < pulses_.size() && pulses_[cursor_].first <= time) {
        steadyFrom_ = pulses_[cursor_].first;
        steadyUntil_ = pulses_[cursor_].second;
        steadyIdle_ = false;
    } else {
        steadyFrom_ = cursor_ > 0 ? pulses_[cursor_ - 1].second : 0;
        steadyUntil_ = cursor_ < pulses_.size() ? pulses_[cursor_].first : kNever;
        steadyIdle_ = true;
    }
    return steadyIdle_;
}

uint64_t SimIrAir::FindNextPulseAfter(uint64_t time) const {
    auto it = std::upper_bound(pulses_.begin(), pulses_.end(), time,
                               [](uint64_t t, const auto& pulse) { return t < pulse.first; });
    nextPulseQuery_ = time;
    nextPulse_ = it == pulses_.end() ? kNever : it->first;
    return nextPulse_;
}
