#include "PioneerProtocol.h"

#include "NecProtocol.h"
#include "ProtocolEngine.h"

using namespace pioneer;

namespace {

bool DecodePioneer(CDurationCursor& cursor, IrFrame& frame) {
    const int64_t headerMarkUs = cursor.Peek();
    if (!cursor.Mark(kHeaderMarkUs) || headerMarkUs - cursor.Peek() >= nec::kPioneerHeaderSplitUs) {
        return false;
    }
    uint64_t bits = 0;
    if (!cursor.Space(kHeaderSpaceUs) ||
        !cursor.PulseDistanceBits(kBits, kBitMarkUs, kZeroSpaceUs, kOneSpaceUs, bits) ||
        !cursor.Mark(kBitMarkUs) || !cursor.Gap(kMinGapUs)) {
        return false;
    }
    if (((bits ^ (bits >> 8)) & 0xFF) != 0xFF || (((bits >> 16) ^ (bits >> 24)) & 0xFF) != 0xFF) {
        return false;
    }
    frame.code.address = bits & 0xFF;
    frame.code.command = (bits >> 16) & 0xFF;
    return true;
}

void EncodePioneer(const IrCode& code, CSignalBuilder& builder) {
    const uint64_t address = code.address & 0xFF;
    const uint64_t command = code.command & 0xFF;
    builder.Mark(kHeaderMarkUs);
    builder.Space(kHeaderSpaceUs);
    builder.PulseDistanceBits(
        address | (~address & 0xFF) << 8 | command << 16 | (~command & 0xFF) << 24, kBits,
        kBitMarkUs, kZeroSpaceUs, kOneSpaceUs);
    builder.Mark(kBitMarkUs);
    builder.EndPass(0, kGapUs);
}

}  // namespace

const IrProtocol kPioneerProtocol = {"Pioneer", kCarrierHz,    0xFF,         0xFF,
                                     false,     DecodePioneer, EncodePioneer};
