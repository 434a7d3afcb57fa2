#include "ir/protocols/Protocols.h"

namespace {

constexpr int kAddressBits = 5;
constexpr int kCommandBits = 8;
constexpr uint64_t kInvertedInEcho = 0x3FFu << kAddressBits;  // command and frame bits

template <const EchoTiming& timing>
bool DecodeEcho(CDurationCursor& cursor, IrFrame& frame) {
    const PulseDistanceTiming& bitTiming = timing.frame;
    uint64_t first = 0;
    uint64_t echo = 0;
    if (!cursor.PulseDistanceBits(bitTiming.bits, bitTiming.bitMarkUs, bitTiming.zeroSpaceUs,
                                  bitTiming.oneSpaceUs, first) ||
        !cursor.Mark(bitTiming.bitMarkUs) || !cursor.Space(timing.echoSpaceUs) ||
        !ReadPulseDistanceData(cursor, bitTiming, echo)) {
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

template <const EchoTiming& timing>
void EncodeEcho(const IrCode& code, CSignalBuilder& builder) {
    const PulseDistanceTiming& bitTiming = timing.frame;
    const uint64_t first = (code.address & 0x1F) | uint64_t{code.command & 0xFF} << kAddressBits |
                           uint64_t{timing.frameBits} << (kAddressBits + kCommandBits);
    builder.PulseDistanceBits(first, bitTiming.bits, bitTiming.bitMarkUs, bitTiming.zeroSpaceUs,
                              bitTiming.oneSpaceUs);
    builder.Mark(bitTiming.bitMarkUs);
    builder.Space(timing.echoSpaceUs);
    WritePulseDistanceData(builder, bitTiming, first ^ kInvertedInEcho);
}

}  // namespace

const IrProtocol kSharpProtocol = {"Sharp",
                                   kSharpTiming.frame.carrierHz,
                                   0x1F,
                                   0xFF,
                                   false,
                                   DecodeEcho<kSharpTiming>,
                                   EncodeEcho<kSharpTiming>};
const IrProtocol kDenonProtocol = {"Denon",
                                   kDenonTiming.frame.carrierHz,
                                   0x1F,
                                   0xFF,
                                   false,
                                   DecodeEcho<kDenonTiming>,
                                   EncodeEcho<kDenonTiming>};
