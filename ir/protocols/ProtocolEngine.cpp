#include "ir/protocols/ProtocolEngine.h"

#include <algorithm>
#include <cstdlib>

namespace {

// Durations are compared in 64 bits: a measured value may be anything a file holds.
bool Within(int64_t valueUs, int64_t lowUs, int64_t highUs) {
    return valueUs >= lowUs && valueUs <= highUs;
}

}  // namespace

bool MarkMatches(int32_t measuredUs, int32_t nominalUs, int32_t slackUs) {
    const int64_t quarter = nominalUs / 4;
    return measuredUs > 0 &&
           Within(measuredUs, nominalUs - quarter, int64_t{nominalUs} + quarter + slackUs);
}

bool SpaceMatches(int32_t measuredUs, int32_t nominalUs, int32_t slackUs) {
    const int64_t quarter = nominalUs / 4;
    return measuredUs < 0 && Within(-int64_t{measuredUs}, int64_t{nominalUs} - quarter - slackUs,
                                    int64_t{nominalUs} + quarter);
}

int64_t MarkOffUs(int64_t measuredUs, int64_t nominalUs, int64_t slackUs) {
    return measuredUs < nominalUs             ? nominalUs - measuredUs
           : measuredUs > nominalUs + slackUs ? measuredUs - nominalUs - slackUs
                                              : 0;
}

int64_t SpaceOffUs(int64_t measuredUs, int64_t nominalUs, int64_t slackUs) {
    const int64_t lengthUs = measuredUs < 0 ? -measuredUs : measuredUs;
    return lengthUs > nominalUs             ? lengthUs - nominalUs
           : lengthUs < nominalUs - slackUs ? nominalUs - slackUs - lengthUs
                                            : 0;
}

bool CDurationCursor::Mark(int32_t nominalUs) {
    if (!MarkMatches(Peek(), nominalUs, slackUs_)) {
        return false;
    }
    Weigh(MarkOffUs(Peek(), nominalUs, slackUs_), nominalUs);
    ++position_;
    return true;
}

bool CDurationCursor::Space(int32_t nominalUs) {
    if (!SpaceMatches(Peek(), nominalUs, slackUs_)) {
        return false;
    }
    Weigh(SpaceOffUs(Peek(), nominalUs, slackUs_), nominalUs);
    ++position_;
    return true;
}

bool CDurationCursor::Gap(int32_t minGapUs) {
    if (AtEnd()) {
        return true;
    }
    const int32_t value = Peek();
    if (value >= 0 || -int64_t{value} < int64_t{minGapUs} - slackUs_) {
        return false;
    }
    ++position_;
    return true;
}

bool CDurationCursor::PulseDistanceBits(int count, int32_t markUs, int32_t zeroSpaceUs,
                                        int32_t oneSpaceUs, uint64_t& bits, int firstBit) {
    for (int k = 0; k < count; ++k) {
        if (!Mark(markUs)) {
            return false;
        }
        if (Space(oneSpaceUs)) {
            bits |= uint64_t{1} << (firstBit + k);
        } else if (!Space(zeroSpaceUs)) {
            return false;
        }
    }
    return true;
}

bool CDurationCursor::PulseWidthBits(int count, int32_t zeroMarkUs, int32_t oneMarkUs,
                                     int32_t spaceUs, uint64_t& bits) {
    for (int k = 0; k < count; ++k) {
        if (k > 0 && !Space(spaceUs)) {
            return false;
        }
        if (Mark(oneMarkUs)) {
            bits |= uint64_t{1} << k;
        } else if (!Mark(zeroMarkUs)) {
            return false;
        }
    }
    return true;
}

bool CBiphaseReader::Load() {
    if (cursor_.AtEnd()) {
        inGap_ = true;
        mark_ = false;
        return true;
    }
    const int64_t value = cursor_.Peek();
    const int64_t slack = cursor_.SlackUs();
    mark_ = value > 0;
    if (!mark_ && -value >= minGapUs_ - slack) {
        inGap_ = true;
        cursor_.Skip();
        return true;
    }
    // A learnt mark is longer by up to one carrier period; take half of that off as the
    // likely stretch and round to whole units.
    const int64_t lengthUs = mark_ ? value - slack / 2 : -value + slack / 2;
    const int64_t units = (lengthUs + unitUs_ / 2) / unitUs_;
    if (units < 1 || units > maxUnits_) {
        return false;
    }
    const int64_t allowedUs = int64_t{unitUs_} * 3 / 8 + slack / 2;
    const int64_t offUs = std::llabs(lengthUs - units * unitUs_);
    if (offUs > allowedUs) {
        return false;
    }
    cursor_.Weigh(std::max<int64_t>(offUs - slack / 2, 0), units * unitUs_);
    left_ = static_cast<int>(units);
    cursor_.Skip();
    return true;
}

bool CBiphaseReader::Next(bool& mark) {
    if (!inGap_ && left_ == 0 && !Load()) {
        return false;
    }
    if (!inGap_) {
        --left_;
    }
    mark = mark_;
    return true;
}

bool CBiphaseReader::Bit(bool markFirstIsOne, bool& one) {
    bool first = false;
    bool second = false;
    if (!Next(first) || !Next(second) || first == second) {
        return false;
    }
    one = first == markFirstIsOne;
    return true;
}

bool CBiphaseReader::Bits(int count, bool markFirstIsOne, uint32_t& value) {
    value = 0;
    for (int k = 0; k < count; ++k) {
        bool one = false;
        if (!Bit(markFirstIsOne, one)) {
            return false;
        }
        value = value << 1 | one;
    }
    return true;
}

bool CBiphaseReader::Run(int units, bool& mark) {
    if (!Next(mark)) {
        return false;
    }
    for (int k = 1; k < units; ++k) {
        bool next = false;
        if (!Next(next) || next != mark) {
            return false;
        }
    }
    return true;
}

bool CBiphaseReader::Finish() {
    if (inGap_) {
        return true;
    }
    if (left_ > 0) {
        return false;  // the last duration reaches beyond the frame
    }
    return Load() && inGap_;
}

void CSignalBuilder::Mark(int32_t us) {
    passUs_ += us;
    if (!durations_.empty() && durations_.back() > 0 && durations_.size() > frameStart_) {
        durations_.back() += us;
    } else {
        durations_.push_back(us);
    }
}

void CSignalBuilder::Space(int32_t us) {
    if (durations_.size() == frameStart_) {
        return;  // the silence before the pass is the gap of the one before
    }
    passUs_ += us;
    if (durations_.back() < 0) {
        durations_.back() -= us;
    } else {
        durations_.push_back(-us);
    }
}

void CSignalBuilder::StartRepeat() {
    frameStart_ = durations_.size();
    passUs_ = 0;
}

void CSignalBuilder::EndPass(int32_t periodUs, int32_t minGapUs) {
    const int64_t gapUs = periodUs - passUs_ > minGapUs ? periodUs - passUs_ : minGapUs;
    Space(static_cast<int32_t>(gapUs));
}

void CSignalBuilder::PulseDistanceBits(uint64_t bits, int count, int32_t markUs,
                                       int32_t zeroSpaceUs, int32_t oneSpaceUs) {
    for (int k = 0; k < count; ++k) {
        Mark(markUs);
        Space((bits >> k) & 1 ? oneSpaceUs : zeroSpaceUs);
    }
}

void CSignalBuilder::PulseWidthBits(uint64_t bits, int count, int32_t zeroMarkUs, int32_t oneMarkUs,
                                    int32_t spaceUs) {
    for (int k = 0; k < count; ++k) {
        if (k > 0) {
            Space(spaceUs);
        }
        Mark((bits >> k) & 1 ? oneMarkUs : zeroMarkUs);
    }
}

void CSignalBuilder::BiphaseBit(bool one, bool markFirstIsOne, int32_t halfUs) {
    if (one == markFirstIsOne) {
        Mark(halfUs);
        Space(halfUs);
    } else {
        Space(halfUs);
        Mark(halfUs);
    }
}

void CSignalBuilder::BiphaseBits(uint64_t bits, int count, bool markFirstIsOne, int32_t halfUs) {
    for (int k = count - 1; k >= 0; --k) {
        BiphaseBit((bits >> k) & 1, markFirstIsOne, halfUs);
    }
}

bool ReadPulseDistanceData(CDurationCursor& cursor, const PulseDistanceTiming& timing,
                           uint64_t& bits) {
    return cursor.PulseDistanceBits(timing.bits, timing.bitMarkUs, timing.zeroSpaceUs,
                                    timing.oneSpaceUs, bits) &&
           cursor.Mark(timing.bitMarkUs) && cursor.Gap(timing.minGapUs);
}

bool ReadPulseDistanceFrame(CDurationCursor& cursor, const PulseDistanceTiming& timing,
                            uint64_t& bits) {
    if (timing.headerMarkUs > 0 &&
        (!cursor.Mark(timing.headerMarkUs) || !cursor.Space(timing.headerSpaceUs))) {
        return false;
    }
    return ReadPulseDistanceData(cursor, timing, bits);
}

void WritePulseDistanceData(CSignalBuilder& builder, const PulseDistanceTiming& timing,
                            uint64_t bits) {
    builder.PulseDistanceBits(bits, timing.bits, timing.bitMarkUs, timing.zeroSpaceUs,
                              timing.oneSpaceUs);
    builder.Mark(timing.bitMarkUs);
    builder.EndPass(timing.framePeriodUs, timing.gapUs);
}

void WritePulseDistanceFrame(CSignalBuilder& builder, const PulseDistanceTiming& timing,
                             uint64_t bits) {
    if (timing.headerMarkUs > 0) {
        builder.Mark(timing.headerMarkUs);
        builder.Space(timing.headerSpaceUs);
    }
    WritePulseDistanceData(builder, timing, bits);
}
