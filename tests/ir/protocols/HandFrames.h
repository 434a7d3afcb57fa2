// Frames written out by hand from a protocol's definition, for the decoders to read: marks
// and spaces appended one by one, neighbours of one kind merged as the carrier merges them.
#pragma once

#include <cstdint>
#include <vector>

class CHandFrame {
  public:
    CHandFrame& Mark(int32_t us) {
        if (!durations_.empty() && durations_.back() > 0) {
            durations_.back() += us;
        } else {
            durations_.push_back(us);
        }
        return *this;
    }
    CHandFrame& Space(int32_t us) {
        if (durations_.empty()) {
            return *this;  // silence before the first mark is no duration
        }
        if (durations_.back() < 0) {
            durations_.back() -= us;
        } else {
            durations_.push_back(-us);
        }
        return *this;
    }
    // Mark of `markUs` and a space telling the bit, first bit lowest.
    CHandFrame& PulseDistance(uint64_t bits, int count, int32_t markUs, int32_t zeroUs,
                              int32_t oneUs) {
        for (int k = 0; k < count; ++k) {
            Mark(markUs).Space((bits >> k) & 1 ? oneUs : zeroUs);
        }
        return *this;
    }
    // The bits' marks, spaces of `spaceUs` between them, first bit lowest.
    CHandFrame& PulseWidth(uint64_t bits, int count, int32_t zeroUs, int32_t oneUs,
                           int32_t spaceUs) {
        for (int k = 0; k < count; ++k) {
            if (k) {
                Space(spaceUs);
            }
            Mark((bits >> k) & 1 ? oneUs : zeroUs);
        }
        return *this;
    }
    // Bi-phase bits, most significant first; a one is `onFirst` ? on-off : off-on.
    CHandFrame& Biphase(uint32_t bits, int count, int32_t halfUs, bool onFirst) {
        for (int k = count - 1; k >= 0; --k) {
            const bool first = ((bits >> k) & 1) == onFirst;
            first ? Mark(halfUs).Space(halfUs) : Space(halfUs).Mark(halfUs);
        }
        return *this;
    }
    const std::vector<int32_t>& Durations() const { return durations_; }

  private:
    std::vector<int32_t> durations_;
};

// A learnt version of a signal: each mark longer and each space shorter by `stretchUs`.
inline std::vector<int32_t> Stretched(std::vector<int32_t> durations, int32_t stretchUs) {
    for (int32_t& value : durations) {
        value += stretchUs;  // a mark grows, a (negative) space shrinks
    }
    return durations;
}
