#include "ir/protocols/Protocols.h"

namespace {

bool DecodeRca(CDurationCursor& cursor, IrFrame& frame) {
    uint64_t bits = 0;
    if (!ReadPulseDistanceFrame(cursor, kRcaTiming, bits) ||
        ((bits ^ (bits >> 12)) & 0xFFF) != 0xFFF) {
        return false;
    }
    frame.code.address = bits & 0xF;
    frame.code.command = (bits >> 4) & 0xFF;
    return true;
}

void EncodeRca(const IrCode& code, CSignalBuilder& builder) {
    const uint64_t half = (code.address & 0xF) | uint64_t{code.command & 0xFF} << 4;
    WritePulseDistanceFrame(builder, kRcaTiming, half | (~half & 0xFFF) << 12);
}

}  // namespace

const IrProtocol kRcaProtocol = {"RCA",    kRcaTiming.carrierHz, 0xF, 0xFF, false, DecodeRca,
                                 EncodeRca};
