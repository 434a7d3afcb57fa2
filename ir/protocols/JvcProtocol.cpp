#include "ir/protocols/Protocols.h"

namespace {

bool DecodeJvc(CDurationCursor& cursor, IrFrame& frame) {
    // A frame without the header is the repeat form.
    frame.repeat = !cursor.Mark(kJvcTiming.headerMarkUs);
    uint64_t bits = 0;
    if ((!frame.repeat && !cursor.Space(kJvcTiming.headerSpaceUs)) ||
        !ReadPulseDistanceData(cursor, kJvcTiming, bits)) {
        return false;
    }
    frame.code.address = bits & 0xFF;
    frame.code.command = (bits >> 8) & 0xFF;
    return true;
}

void EncodeJvc(const IrCode& code, CSignalBuilder& builder) {
    const uint64_t bits = (code.address & 0xFF) | (code.command & 0xFF) << 8;
    WritePulseDistanceFrame(builder, kJvcTiming, bits);
    builder.StartRepeat();
    WritePulseDistanceData(builder, kJvcTiming, bits);
}

}  // namespace

const IrProtocol kJvcProtocol = {"JVC",    kJvcTiming.carrierHz, 0xFF, 0xFF, false, DecodeJvc,
                                 EncodeJvc};
