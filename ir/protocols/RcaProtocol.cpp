#include "RcaProtocol.h"

#include "ProtocolEngine.h"

using namespace rca;

namespace {

bool DecodeRca(CDurationCursor& cursor, IrFrame& frame) {
    uint64_t bits = 0;
    if (!cursor.Mark(kHeaderMarkUs) || !cursor.Space(kHeaderSpaceUs) ||
        !cursor.PulseDistanceBits(kBits, kBitMarkUs, kZeroSpaceUs, kOneSpaceUs, bits) ||
        !cursor.Mark(kBitMarkUs) || !cursor.Gap(kMinGapUs)) {
        return false;
    }
    if (((bits ^ (bits >> 12)) & 0xFFF) != 0xFFF) {
        return false;
    }
    frame.code.address = bits & 0xF;
    frame.code.command = (bits >> 4) & 0xFF;
    return true;
}

void EncodeRca(const IrCode& code, CSignalBuilder& builder) {
    const uint64_t half = (code.address & 0xF) | uint64_t{code.command & 0xFF} << 4;
    builder.Mark(kHeaderMarkUs);
    builder.Space(kHeaderSpaceUs);
    builder.PulseDistanceBits(half | (~half & 0xFFF) << 12, kBits, kBitMarkUs, kZeroSpaceUs,
                              kOneSpaceUs);
    builder.Mark(kBitMarkUs);
    builder.EndPass(0, kGapUs);
}

}  // namespace

const IrProtocol kRcaProtocol = {"RCA", kCarrierHz, 0xF, 0xFF, false, DecodeRca, EncodeRca};
