#include "ir/IrSignal.h"

#include <algorithm>
#include <cstdlib>

#include "ir/IrResult.h"

namespace {

constexpr uint8_t kDefaultCarrier = 26;  // about 38 kHz
constexpr uint8_t kMinCarrier = 10;
constexpr uint8_t kMaxCarrier = 50;
// A repetition must leave this many entries of the buffer to compare.
constexpr int kRepetitionRoom = 10;
// A frame at least this long is taken on a partial repetition: a remote that sends a long
// frame twice fills the buffer before the second copy ends.
constexpr int kLongFrameStart = 75;

int64_t Magnitude(int32_t value) {
    return std::llabs(static_cast<int64_t>(value));
}

// b is close to the reference a when they differ by no more than a third of a.
bool Close(int32_t reference, int32_t value) {
    const int64_t a = Magnitude(reference);
    return std::llabs(a - Magnitude(value)) <= a / 3;
}

bool SameSign(int32_t a, int32_t b) {
    return (a < 0) == (b < 0);
}

// Does the capture from j on repeat the frame [i, j)?
bool FrameRepeats(const int32_t* e, int n, int i, int j) {
    if (!(i < j && j < n)) {
        return false;
    }
    if (i != 0 && j > 3 * i) {
        return false;
    }
    if (j > kMaxDurations - kRepetitionRoom) {
        return false;
    }
    const int len = j - i;
    for (int k = 0; k < len; ++k) {
        if (j + k >= n) {
            if (k <= 4) {
                return false;  // too little follows to tell
            }
            break;
        }
        if (!Close(e[i + k], e[j + k])) {
            return false;
        }
    }
    int repetitions = 0;
    int m = 0;
    for (int p = j; p < n; ++p) {
        if (!Close(e[i + m], e[p])) {
            return false;
        }
        if (++m == len) {
            m = 0;
            ++repetitions;
        }
    }
    return repetitions >= 1 || j > kLongFrameStart;
}

}  // namespace

IrSignal MakeIrSignal(std::span<const int32_t> durations, uint16_t frameStart,
                      uint8_t carrierPeriod) {
    IrSignal signal;
    const size_t kept = std::min<size_t>(durations.size(), kMaxDurations);
    std::copy_n(durations.begin(), kept, signal.durations);
    signal.count = static_cast<uint16_t>(kept);
    signal.frameStart = frameStart < kept ? frameStart : 0;
    signal.carrierPeriod = carrierPeriod;
    return signal;
}

int SetSignal(IrSignal& signal, const int32_t* durations, uint16_t count, uint16_t frameStart,
              uint8_t carrierPeriod) {
    if (durations == nullptr || count == 0) {
        return kIrNoDurations;
    }
    const uint16_t kept = std::min<uint16_t>(count, kMaxDurations);
    signal.nextStart = 0;
    signal.frameStart = 0;
    signal.count = kept;
    std::fill(std::begin(signal.durations), std::end(signal.durations), 0);
    std::copy(durations, durations + kept, signal.durations);
    if (carrierPeriod == 0) {
        return kIrNoCarrier;
    }
    if (carrierPeriod < kMinCarrier || carrierPeriod > kMaxCarrier) {
        carrierPeriod = kDefaultCarrier;
    }
    if (frameStart >= kept) {
        frameStart = 0;
    }
    signal.frameStart = frameStart;
    signal.carrierPeriod = carrierPeriod;
    return kIrOk;
}

void GetSignal(IrSignal& signal, std::vector<int32_t>& durations, uint16_t& count,
               uint16_t& frameStart, uint8_t& carrierPeriod) {
    durations.clear();
    count = 0;
    frameStart = 0;
    carrierPeriod = 0;
    if (signal.count == 0) {
        return;
    }
    count = signal.count;
    durations.assign(signal.durations, signal.durations + signal.count);
    if (signal.frameStart >= signal.count) {
        signal.frameStart = 0;
    }
    frameStart = signal.frameStart;
    carrierPeriod = signal.carrierPeriod;
}

int AnalyseCapture(IrSignal& signal, const int32_t* buffer, uint32_t n) {
    if (buffer == nullptr || n == 0) {
        return kIrNothingToAnalyse;
    }
    const int limit = static_cast<int>(std::min<uint32_t>(n, kMaxDurations));
    const int used = static_cast<int>(std::find(buffer, buffer + limit, 0) - buffer);

    int32_t longest = 0;
    for (int k = 0; k < used; ++k) {
        longest = std::min(longest, buffer[k]);
    }

    // The first pair (i, j) in scan order that passes every test. The cheap tests run
    // before the frame test; all are pure, so the order does not change which pair wins.
    int count = used;
    int frameStart = used;
    bool found = false;
    for (int i = 0; i < used && !found; ++i) {
        for (int j = std::max(i + 1, 2); j < used; ++j) {
            if (!SameSign(buffer[i], buffer[j]) || !Close(buffer[i], buffer[j])) {
                continue;
            }
            // The entry before the repetition must be a space of at least about 0.714 of
            // the longest space of the capture.
            if (static_cast<int64_t>(buffer[j - 1]) * 140 / 100 >= longest) {
                continue;
            }
            if (FrameRepeats(buffer, used, i, j)) {
                count = j;
                frameStart = i;
                found = true;
                break;
            }
        }
    }

    signal.nextStart = 0;
    signal.count = static_cast<uint16_t>(count);
    signal.frameStart = static_cast<uint16_t>(frameStart);
    std::copy(buffer, buffer + count, signal.durations);
    return kIrOk;
}
