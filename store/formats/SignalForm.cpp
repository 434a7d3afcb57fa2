#include "store/formats/SignalForm.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "store/CCodebaseFile.h"

namespace {

// What a button record holds of one signal: values of at most 32767 each.
constexpr int64_t kMaxStoredValue = 32767;
constexpr int64_t kMaxStoredValues = CCodebaseFile::kMaxValues;

int32_t LongestSpace(std::span<const int32_t> durations) {
    int32_t longest = 0;
    for (int32_t d : durations) {
        longest = std::min(longest, d);
    }
    return -longest;
}

int32_t GapAfter(std::span<const int32_t> durations) {
    return -std::max(LongestSpace(durations), kTrailingGapUs);
}

}  // namespace

uint32_t CarrierPeriodOfHz(double carrierHz) {
    if (!(carrierHz > 0)) {
        return 0;
    }
    const double period = std::round(1e6 / carrierHz);
    return period > 1e6 ? 1000000u : static_cast<uint32_t>(period);
}

bool MakeIrSignal(std::span<const int64_t> durations, size_t frameStart, uint32_t carrierPeriodUs,
                  IrSignal& signal, QString& reason) {
    if (carrierPeriodUs == 0 || carrierPeriodUs > 255) {
        reason = carrierPeriodUs == 0
                     ? QStringLiteral("no carrier frequency")
                     : QStringLiteral("a carrier of %1 Hz is below what can be stored")
                           .arg(std::lround(1e6 / carrierPeriodUs));
        return false;
    }
    std::vector<int64_t> joined;
    size_t joinedFrameStart = 0;
    bool frameFound = false;
    for (size_t i = 0; i < durations.size(); ++i) {
        const int64_t d = durations[i];
        if (i == frameStart && !frameFound) {
            frameFound = true;
            joinedFrameStart = joined.size();
        }
        if (d == 0 || (joined.empty() && d < 0)) {
            continue;
        }
        if (!joined.empty() && (joined.back() < 0) == (d < 0)) {
            if (i == frameStart) {
                joinedFrameStart = joined.size() - 1;
            }
            joined.back() += d;
        } else {
            joined.push_back(d);
        }
    }
    if (joined.empty()) {
        reason = QStringLiteral("no marks");
        return false;
    }
    int64_t values = 0;
    for (int64_t d : joined) {
        const int64_t magnitude = d < 0 ? -d : d;
        values += (magnitude + kMaxStoredValue - 1) / kMaxStoredValue;
    }
    // The trailing gap that MakeIrSignal adds is at most one value more per kTrailingGapUs.
    const bool needsGap = joined.back() > 0;
    size_t count = joined.size() + (needsGap ? 1 : 0);
    if (count > size_t{kMaxDurations}) {
        reason = QStringLiteral("%1 durations, more than the %2 a signal holds")
                     .arg(count)
                     .arg(kMaxDurations);
        return false;
    }
    signal = IrSignal{};
    for (size_t i = 0; i < joined.size(); ++i) {
        signal.durations[i] = static_cast<int32_t>(std::clamp<int64_t>(
            joined[i], -kMaxStoredValue * kMaxStoredValues, kMaxStoredValue * kMaxStoredValues));
    }
    signal.count = static_cast<uint16_t>(joined.size());
    if (needsGap) {
        const int32_t gap = GapAfter({signal.durations, signal.count});
        signal.durations[signal.count++] = gap;
        values += (-int64_t{gap} + kMaxStoredValue - 1) / kMaxStoredValue;
    }
    if (values > kMaxStoredValues) {
        signal = IrSignal{};
        reason = QStringLiteral("too long to store: %1 values, more than the %2 a button holds")
                     .arg(values)
                     .arg(kMaxStoredValues);
        return false;
    }
    signal.frameStart =
        frameFound && joinedFrameStart < signal.count ? static_cast<uint16_t>(joinedFrameStart) : 0;
    signal.carrierPeriod = static_cast<uint8_t>(carrierPeriodUs);
    return true;
}

std::vector<int32_t> FirstPass(const IrSignal& signal) {
    const size_t count = std::min<size_t>(signal.count, kMaxDurations);
    std::vector<int32_t> pass(signal.durations, signal.durations + count);
    if (!pass.empty() && pass.back() > 0) {
        pass.push_back(GapAfter(pass));
    }
    return pass;
}

BurstPairs SplitIntoBurstPairs(const IrSignal& signal) {
    const std::vector<int32_t> pass = FirstPass(signal);
    BurstPairs pairs;
    if (pass.empty()) {
        return pairs;
    }
    size_t frameStart = signal.frameStart < pass.size() ? signal.frameStart : 0;
    pairs.intro.assign(pass.begin(), pass.begin() + static_cast<ptrdiff_t>(frameStart));
    pairs.frame.assign(pass.begin() + static_cast<ptrdiff_t>(frameStart), pass.end());
    if (pairs.frame.front() < 0) {
        // The frame starts with a space: the intro takes that space, and every later frame
        // ends with it (added to the frame's own last space, which a repeat runs into).
        const int32_t space = pairs.frame.front();
        pairs.intro.push_back(space);
        pairs.frame.erase(pairs.frame.begin());
        if (pairs.frame.empty()) {
            pairs.frame = pairs.intro;  // nothing but a space repeated: repeat it all
            pairs.intro.clear();
        } else {
            pairs.frame.back() += space;
        }
    }
    return pairs;
}
