// The engine under every protocol codec: tolerant comparison of durations, a cursor that
// reads marks and spaces with the usual bit codings, and a builder that writes them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "ir/protocols/IrProtocol.h"

// A duration matches its nominal length within a quarter either way. A learnt mark runs
// longer by up to one carrier period (`slackUs`) and the space after it shorter by as much.
bool MarkMatches(int32_t measuredUs, int32_t nominalUs, int32_t slackUs);
bool SpaceMatches(int32_t measuredUs, int32_t nominalUs, int32_t slackUs);

// How far a learnt duration lies from its nominal length, in microseconds, once the stretch
// a learnt signal may have (marks longer, spaces shorter by up to `slackUs`) is forgiven.
int64_t MarkOffUs(int64_t measuredUs, int64_t nominalUs, int64_t slackUs);
int64_t SpaceOffUs(int64_t measuredUs, int64_t nominalUs, int64_t slackUs);

// Reads a list of signed durations (marks > 0, spaces < 0) from a position on. Every read
// either consumes what it matched and returns true, or returns false; a decoder gives up
// at the first false. Every duration read is weighed by how far it lies from its nominal
// length, so that of several protocols that read a signal the best-fitting can win.
class CDurationCursor {
  public:
    // `measuredCarrierPeriodUs` is the carrier the signal was learnt with, 0 when it was not
    // measured; `slackUs` the stretch forgiven (the measured period, or the protocol's own).
    CDurationCursor(std::span<const int32_t> durations, size_t position, int32_t slackUs,
                    uint32_t measuredCarrierPeriodUs = 0)
        : durations_(durations),
          position_(position),
          slackUs_(slackUs),
          measuredCarrierPeriodUs_(measuredCarrierPeriodUs) {}

    size_t Position() const { return position_; }
    bool AtEnd() const { return position_ >= durations_.size(); }
    int32_t SlackUs() const { return slackUs_; }
    uint32_t MeasuredCarrierPeriodUs() const { return measuredCarrierPeriodUs_; }
    // Counts one duration read `offUs` from its nominal length `nominalUs`.
    void Weigh(int64_t offUs, int64_t nominalUs) {
        offSumUs_ += offUs;
        nominalSumUs_ += nominalUs;
    }
    // How far the durations read so far lie from their nominal lengths, in thousandths of
    // those lengths, all taken together.
    int64_t MeanDeviationPermille() const {
        return nominalSumUs_ > 0 ? offSumUs_ * 1000 / nominalSumUs_ : 0;
    }
    // The duration at the position, 0 at the end.
    int32_t Peek() const { return AtEnd() ? 0 : durations_[position_]; }
    void Skip() { ++position_; }

    bool Mark(int32_t nominalUs);
    bool Space(int32_t nominalUs);
    // The end of a frame: the data ends here, or a space of at least `minGapUs` follows
    // (and is consumed). A frame that goes on with more bits is not at its end.
    bool Gap(int32_t minGapUs);

    // Pulse-distance coding: every bit a mark of `markUs` and a space whose length tells
    // the bit. Bits arrive least significant first and are or-ed into `bits` from bit
    // `firstBit` on.
    bool PulseDistanceBits(int count, int32_t markUs, int32_t zeroSpaceUs, int32_t oneSpaceUs,
                           uint64_t& bits, int firstBit = 0);
    // Pulse-width coding: the mark's length tells the bit, spaces of `spaceUs` between the
    // bits. Stops after the last bit's mark (its space is the gap). Least significant first.
    bool PulseWidthBits(int count, int32_t zeroMarkUs, int32_t oneMarkUs, int32_t spaceUs,
                        uint64_t& bits);

  private:
    std::span<const int32_t> durations_;
    size_t position_;
    int32_t slackUs_;
    uint32_t measuredCarrierPeriodUs_;
    int64_t offSumUs_ = 0;
    int64_t nominalSumUs_ = 0;
};

// Reads a bi-phase (Manchester) coded stretch in units of half a bit: each duration is one
// or more units of carrier on or off. A space of at least `minGapUs`, or the end of the
// data, is the gap after the frame, which also swallows a last half bit that is a space.
class CBiphaseReader {
  public:
    CBiphaseReader(CDurationCursor& cursor, int32_t unitUs, int maxUnits, int32_t minGapUs)
        : cursor_(cursor), unitUs_(unitUs), maxUnits_(maxUnits), minGapUs_(minGapUs) {}

    // The level of the next unit (true: carrier on).
    bool Next(bool& mark);
    // Two units, `first` then its opposite: one bit. `markFirstIsOne` tells the coding.
    bool Bit(bool markFirstIsOne, bool& one);
    // `count` bits, most significant first, into `value`.
    bool Bits(int count, bool markFirstIsOne, uint32_t& value);
    // Units of one level only, `units` long (a double-width half bit).
    bool Run(int units, bool& mark);
    // The frame ends here: nothing is left of the last duration but the gap.
    bool Finish();

  private:
    bool Load();

    CDurationCursor& cursor_;
    int32_t unitUs_;
    int maxUnits_;
    int32_t minGapUs_;
    int left_ = 0;  // units left of the current duration
    bool mark_ = false;
    bool inGap_ = false;
};

// Writes the durations of a held button: consecutive marks (or spaces) merge into one, as
// the carrier sees them; a space at the start of a pass is the silence before it and is
// left out.
class CSignalBuilder {
  public:
    void Mark(int32_t us);
    void Space(int32_t us);
    // The repeating frame begins here.
    void StartRepeat();
    // Ends the pass with a space such that the pass, from its first mark, lasts `periodUs`,
    // and at least `minGapUs`.
    void EndPass(int32_t periodUs, int32_t minGapUs);

    void PulseDistanceBits(uint64_t bits, int count, int32_t markUs, int32_t zeroSpaceUs,
                           int32_t oneSpaceUs);
    // Ends after the last bit's mark.
    void PulseWidthBits(uint64_t bits, int count, int32_t zeroMarkUs, int32_t oneMarkUs,
                        int32_t spaceUs);
    // One bi-phase bit of two halves of `halfUs`; `markFirstIsOne` tells the coding.
    void BiphaseBit(bool one, bool markFirstIsOne, int32_t halfUs);
    // The low `count` bits of `bits`, most significant first.
    void BiphaseBits(uint64_t bits, int count, bool markFirstIsOne, int32_t halfUs);

    const std::vector<int32_t>& Durations() const { return durations_; }
    size_t FrameStart() const { return frameStart_; }

  private:
    std::vector<int32_t> durations_;
    size_t frameStart_ = 0;
    int64_t passUs_ = 0;  // length of the pass so far
};

// The timing of a pulse-distance protocol: a header (none where its mark is 0), bits of one
// mark each and a space whose length tells the bit, least significant first, a stop mark and
// a gap.
struct PulseDistanceTiming {
    uint32_t carrierHz;
    int32_t headerMarkUs;
    int32_t headerSpaceUs;
    int32_t bitMarkUs;
    int32_t zeroSpaceUs;
    int32_t oneSpaceUs;
    int bits;
    int32_t framePeriodUs;  // from one sent frame's start to the next one's; 0: the gap alone
    int32_t gapUs;          // the least space after a sent frame
    int32_t minGapUs;       // the least space that ends a received frame
};

// What follows the header: the bits, the stop mark and the gap.
bool ReadPulseDistanceData(CDurationCursor& cursor, const PulseDistanceTiming& timing,
                           uint64_t& bits);
// A whole frame: the header, then the data.
bool ReadPulseDistanceFrame(CDurationCursor& cursor, const PulseDistanceTiming& timing,
                            uint64_t& bits);
// The bits and the stop mark, and the end of the pass.
void WritePulseDistanceData(CSignalBuilder& builder, const PulseDistanceTiming& timing,
                            uint64_t bits);
// The header, then the data.
void WritePulseDistanceFrame(CSignalBuilder& builder, const PulseDistanceTiming& timing,
                             uint64_t bits);
