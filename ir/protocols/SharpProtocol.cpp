#include "SharpProtocol.h"

#include "ProtocolEngine.h"

namespace {

constexpr int kAddressBits = 5;
constexpr int kCommandBits = 8;
constexpr uint64_t kInvertedInEcho = 0x3FFu << kAddressBits;  // command and frame bits

struct Timing {
    int32_t bitMarkUs, zeroSpaceUs, oneSpaceUs, echoSpaceUs, gapUs, minGapUs;
    uint32_t frameBits;
};

constexpr Timing kSharpTiming = {sharp::kBitMarkUs,   sharp::kZeroSpaceUs, sharp::kOneSpaceUs,
                                 sharp::kEchoSpaceUs, sharp::kGapUs,       sharp::kMinGapUs,
                                 sharp::kFrameBits};
constexpr Timing kDenonTiming = {denon::kBitMarkUs,   denon::kZeroSpaceUs, denon::kOneSpaceUs,
                                 denon::kEchoSpaceUs, denon::kGapUs,       denon::kMinGapUs,
                                 denon::kFrameBits};

bool Decode(const Timing& timing, CDurationCursor& cursor, IrFrame& frame) {
    uint64_t first = 0;
    uint64_t echo = 0;
    if (!cursor.PulseDistanceBits(sharp::kBits, timing.bitMarkUs, timing.zeroSpaceUs,
                                  timing.oneSpaceUs, first) ||
        !cursor.Mark(timing.bitMarkUs) || !cursor.Space(timing.echoSpaceUs) ||
        !cursor.PulseDistanceBits(sharp::kBits, timing.bitMarkUs, timing.zeroSpaceUs,
                                  timing.oneSpaceUs, echo) ||
        !cursor.Mark(timing.bitMarkUs) || !cursor.Gap(timing.minGapUs)) {
        return false;
    }
    if ((first ^ echo) != kInvertedInEcho ||
        first >> (kAddressBits + kCommandBits) != timing.frameBits) {
        return false;
    }
    frame.code.address = first & 0x1F;
    frame.code.command = (first >> kAddressBits) & 0xFF;
    return true;
}

void Encode(const Timing& timing, const IrCode& code, CSignalBuilder& builder) {
    const uint64_t first = (code.address & 0x1F) | uint64_t{code.command & 0xFF} << kAddressBits |
                           uint64_t{timing.frameBits} << (kAddressBits + kCommandBits);
    builder.PulseDistanceBits(first, sharp::kBits, timing.bitMarkUs, timing.zeroSpaceUs,
                              timing.oneSpaceUs);
    builder.Mark(timing.bitMarkUs);
    builder.Space(timing.echoSpaceUs);
    builder.PulseDistanceBits(first ^ kInvertedInEcho, sharp::kBits, timing.bitMarkUs,
                              timing.zeroSpaceUs, timing.oneSpaceUs);
    builder.Mark(timing.bitMarkUs);
    builder.EndPass(0, timing.gapUs);
}

bool DecodeSharp(CDurationCursor& cursor, IrFrame& frame) {
    return Decode(kSharpTiming, cursor, frame);
}
bool DecodeDenon(CDurationCursor& cursor, IrFrame& frame) {
    return Decode(kDenonTiming, cursor, frame);
}
void EncodeSharp(const IrCode& code, CSignalBuilder& builder) {
    Encode(kSharpTiming, code, builder);
}
void EncodeDenon(const IrCode& code, CSignalBuilder& builder) {
    Encode(kDenonTiming, code, builder);
}

}  // namespace

const IrProtocol kSharpProtocol = {"Sharp", sharp::kCarrierHz, 0x1F,       0xFF,
                                   false,   DecodeSharp,       EncodeSharp};
const IrProtocol kDenonProtocol = {"Denon", denon::kCarrierHz, 0x1F,       0xFF,
                                   false,   DecodeDenon,       EncodeDenon};
