#include "JvcProtocol.h"

#include "ProtocolEngine.h"

using namespace jvc;

namespace {

bool DecodeJvc(CDurationCursor& cursor, IrFrame& frame) {
    // A frame without the header is the repeat form.
    frame.repeat = !cursor.Mark(kHeaderMarkUs);
    uint64_t bits = 0;
    if ((!frame.repeat && !cursor.Space(kHeaderSpaceUs)) ||
        !cursor.PulseDistanceBits(kBits, kBitMarkUs, kZeroSpaceUs, kOneSpaceUs, bits) ||
        !cursor.Mark(kBitMarkUs) || !cursor.Gap(kMinGapUs)) {
        return false;
    }
    frame.code.address = bits & 0xFF;
    frame.code.command = (bits >> 8) & 0xFF;
    return true;
}

void EncodeFrame(const IrCode& code, CSignalBuilder& builder) {
    builder.PulseDistanceBits((code.address & 0xFF) | (code.command & 0xFF) << 8, kBits, kBitMarkUs,
                              kZeroSpaceUs, kOneSpaceUs);
    builder.Mark(kBitMarkUs);
    builder.EndPass(kFramePeriodUs, kMinGapUs);
}

void EncodeJvc(const IrCode& code, CSignalBuilder& builder) {
    builder.Mark(kHeaderMarkUs);
    builder.Space(kHeaderSpaceUs);
    EncodeFrame(code, builder);
    builder.StartRepeat();
    EncodeFrame(code, builder);
}

}  // namespace

const IrProtocol kJvcProtocol = {"JVC", kCarrierHz, 0xFF, 0xFF, false, DecodeJvc, EncodeJvc};
